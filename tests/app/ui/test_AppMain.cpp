#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "TestSupport.h"
#include "app/ui/AppMain.h"
#include "lib/ProgramFolder.h"
#include "lib/ui/QtDialogs.h"

namespace {

// Opens a box with `open` and hands it to `answer`, which must close it.
template <typename Open, typename Answer>
auto withBox(Open open, Answer answer) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        seen = true;
        answer(box);
    });
    auto result = open();
    EXPECT_TRUE(seen);
    return result;
}

QAbstractButton* button(QWidget* box, const QString& text) {
    for (auto* b : box->findChildren<QAbstractButton*>())
        if (b->text().remove(QLatin1Char('&')) == text) return b;
    ADD_FAILURE() << "no button " << text.toStdString() << " in "
                  << box->windowTitle().toStdString();
    return nullptr;
}

// The Qt boxes as the program installs them at start.
class QtBoxes : public ::testing::Test {
  protected:
    void SetUp() override {
        QApplication::setApplicationDisplayName(QString());
        InstallPlatform(*qApp);
        setDialogs(&testDialogs());
        setProgramFolder(testProgramFolder());
    }
    QtDialogs boxes;
};

TEST_F(QtBoxes, CaptionsAreTheTextsGivenAndFitTheirBox) {
    // With a display name the platform shows every caption as "<caption> — <name>".
    EXPECT_EQ(QApplication::applicationDisplayName(), QString());

    const std::string answer = withBox(
        [&] { return boxes.input(w("Будет записано в ..."), w("Файл для сохранения"), "p.gcode"); },
        [](QWidget* box) {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Файл для сохранения"));
            QFont bold = QApplication::font();
            bold.setBold(true);
            EXPECT_GT(box->width(), QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 120)
                << "room for the caption beside the title bar's buttons";
            saveScreenshot(box, "input_box");
            button(box, QStringLiteral("Отмена"))->click();
        });
    EXPECT_EQ(answer, "") << "cancelled";
}

TEST_F(QtBoxes, QtButtonsSpeakRussianAndASeriesOfMessagesCanBeSkipped) {
    for (const bool yes : {true, false}) {
        const bool answer =
            withBox([&] { return boxes.question(w("Удалить?"), "VEzor"); },
                    [yes](QWidget* box) {
                        button(box, QStringLiteral("Нет"));
                        button(box, yes ? QStringLiteral("Да") : QStringLiteral("Нет"))->click();
                    });
        EXPECT_EQ(answer, yes);
    }
    for (const bool skip : {true, false}) {
        const bool skipped = withBox(
            [&] {
                return boxes.messageOrSkip(w("Буква 'ж' не найдена"), "",
                                           w("Пропустить остальные"));
            },
            [skip](QWidget* box) {
                if (skip) saveScreenshot(box, "missing_letter_box");
                QAbstractButton* skipButton = button(box, QStringLiteral("Пропустить остальные"));
                auto* messageBox = qobject_cast<QMessageBox*>(box);
                ASSERT_NE(messageBox, nullptr);
                (skip ? skipButton : messageBox->button(QMessageBox::Ok))->click();
            });
        EXPECT_EQ(skipped, skip);
    }
}

// Esc and the close box never answer Yes to a question, nor No to the
// question about unsaved edits: they step back.
TEST_F(QtBoxes, EscapeAndTheCloseBoxStepBackAndEnterTakesThePreferredAnswer) {
    const auto key = [](QWidget* box, int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    };
    using Answer = Dialogs::Answer;
    const std::string text = w("Проект изменён. Сохранить изменения?");
    const std::function<void(QWidget*)> ways[] = {
        [&](QWidget* box) { key(box, Qt::Key_Escape); },
        [](QWidget* box) { box->close(); },
    };
    for (const auto& way : ways)
        EXPECT_EQ(withBox([&] { return boxes.questionOrCancel(text, "VEzor"); }, way),
                  Answer::Cancel);
    const Answer chosen = withBox([&] { return boxes.questionOrCancel(text, "VEzor"); },
                                  [](QWidget* box) {
                                      button(box, QStringLiteral("Да"));
                                      button(box, QStringLiteral("Отмена"));
                                      saveScreenshot(box, "unsaved_question_box");
                                      button(box, QStringLiteral("Нет"))->click();
                                  });
    EXPECT_EQ(chosen, Answer::No);
    EXPECT_EQ(withBox([&] { return boxes.questionOrCancel(text, "VEzor"); },
                      [&](QWidget* box) { key(box, Qt::Key_Return); }),
              Answer::Yes);

    const std::string replace = w("Файл «plate.txt» уже есть. Заменить его?");
    EXPECT_FALSE(withBox([&] { return boxes.question(replace, "VEzor", Answer::No); },
                         [&](QWidget* box) { key(box, Qt::Key_Return); }));
    EXPECT_FALSE(withBox([&] { return boxes.question(replace, "VEzor", Answer::No); },
                         [&](QWidget* box) { key(box, Qt::Key_Escape); }));
    EXPECT_TRUE(withBox([&] { return boxes.question(w("Удалить?"), "VEzor"); },
                        [&](QWidget* box) { key(box, Qt::Key_Return); }));
}

}  // namespace
