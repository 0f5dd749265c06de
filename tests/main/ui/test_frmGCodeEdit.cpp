#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <functional>
#include <utility>

#include "TestSupport.h"
#include "lib/Dialogs.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/Win1251.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmGCode.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0);

int redPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == kRed;
    return n;
}

// The main window with the shipped main font and a project opened in it.
class EditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString from = QStringLiteral(VEZOR_BINARY_DIR "/font/A-Chertezh");
        const QString to = QString::fromStdString(testProgramFolder() + "/font/A-Chertezh");
        QDir().mkpath(to);
        for (const QString& name : QDir(from).entryList(QDir::Files))
            QFile::copy(from + "/" + name, to + "/" + name);
        window.Form_Load();
        window.resize(1100, 760);
        window.show();
        QApplication::processEvents();
    }

    std::string open(const std::string& bytes) {
        const std::string path = joinPath(testProgramFolder(), "plate.txt");
        writeFile(path, bytes);
        window.project().ProjectPath = path;
        window.DrawMode = DrawingMode::Project;
        window.LoadProject(path);
        return path;
    }

    void type(QWidget* target, const QString& text) {
        target->setFocus();
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
        }
    }

    // Lets the pause after typing run out, as it does for a user.
    void pause() {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 400) QApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    frmGCode window{testSession()};
};

const std::string kPlate = w("5//Интервал\r\n80//Поле\r\n6//Высота\r\n1//Ширина\r\nАБ\r\n");

TEST_F(EditTest, TypingAndParametersLayOutAgainAfterAPause) {
    open(kPlate);
    const int rows = window.spsModel->rowCount();
    const int red = redPixels(window.pic->image());
    ASSERT_GT(red, 0);

    window.txtPaint->moveCursor(QTextCursor::End);
    type(window.txtPaint, QStringLiteral("ВГ"));
    EXPECT_EQ(window.spsModel->rowCount(), rows) << "not while typing";
    pause();
    EXPECT_TRUE(window.isModified());
    EXPECT_GT(window.spsModel->rowCount(), rows);
    const int typed = redPixels(window.pic->image());
    EXPECT_GT(typed, red) << "the preview shows the new letters";
    EXPECT_EQ(window.spsModel->shown(), testSession().penPoints());

    window.txtParameters[2]->selectAll();
    type(window.txtParameters[2], QStringLiteral("12"));
    pause();
    EXPECT_EQ(window.project().LetterHeight, 12);
    EXPECT_GT(redPixels(window.pic->image()), typed * 3 / 2) << "letters twice as high";
    EXPECT_TRUE(testDialogs().calls.empty());
    saveScreenshot(&window, "frmGCode_typed");
}

// Metre-high letters in a field of a tenth of a millimetre: the fit is far
// below one percent, which the box says rather than «0».
TEST_F(EditTest, TheScaleBoxNeverShowsAZeroScale) {
    open(w("5//a\r\n0.1//b\r\n1000//c\r\n1//d\r\nАБ\r\n"));
    window.cmdFit_Click();
    ASSERT_LT(window.pic->scalePercent(), 0.5);
    EXPECT_EQ(window.cboMash->currentText(), QStringLiteral("<1"));
}

TEST_F(EditTest, SavingKeepsCommentsTagsAndTheFilesEncoding) {
    const std::string path =
        open(w("5 //Интервал\r\n80//Поле\r\n6//Высота\r\n1//Ширина\r\nА<@XXX=20>Б // метка\r\n"));
    EXPECT_EQ(window.txtPaint->toPlainText(), QStringLiteral("А<@XXX=20>Б // метка"));
    window.txtParameters[1]->selectAll();
    type(window.txtParameters[1], QStringLiteral("120"));
    window.txtPaint->appendPlainText(QStringLiteral("Ёж"));
    window.mnuSaveProject_Click();
    EXPECT_FALSE(window.isModified());
    EXPECT_EQ(readFile(path), w("5 //Интервал\r\n120//Поле\r\n6//Высота\r\n1//Ширина\r\n"
                                "А<@XXX=20>Б // метка\r\nЁж\r\n"));

    const std::string utf8 = "5//a\r\n80//поле\r\n6//c\r\n1//d\r\nЖ\r\n";
    open(utf8);
    window.txtPaint->appendPlainText(QStringLiteral("ё"));
    window.mnuSaveProject_Click();
    EXPECT_EQ(readFile(path), "5//a\r\n80//поле\r\n6//c\r\n1//d\r\nЖ\r\nё\r\n");

    open(kPlate);
    window.txtPaint->appendPlainText(QStringLiteral("日本"));
    window.mnuSaveProject_Click();
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_NE(testDialogs().calls[0].text.find(w("Проект не записан")), std::string::npos);
    EXPECT_TRUE(window.isModified());
    EXPECT_EQ(readFile(path), kPlate) << "the file stays whole";
}

TEST_F(EditTest, UnsavedChangesAreAskedAboutOnCloseAndReload) {
    const std::string path = open(kPlate);
    window.close();
    EXPECT_TRUE(testDialogs().calls.empty()) << "nothing changed, nothing asked";

    window.show();
    window.txtPaint->appendPlainText(QStringLiteral("В"));
    testDialogs().threeWayAnswers = {Dialogs::Answer::Yes};
    window.mnuReloadProject_Click();
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testDialogs().calls[0].kind, "questionOrCancel");
    EXPECT_EQ(testDialogs().calls[0].text, w("Проект изменён. Сохранить изменения?"));
    EXPECT_EQ(readFile(path), kPlate.substr(0, kPlate.size()) + w("В\r\n")) << "saved, then read";
    EXPECT_EQ(window.txtPaint->toPlainText(), QStringLiteral("АБ\nВ"));

    testDialogs().reset();
    window.txtPaint->appendPlainText(QStringLiteral("Г"));
    testDialogs().threeWayAnswers = {Dialogs::Answer::No};
    EXPECT_TRUE(window.close()) << "No: closes without saving";
    EXPECT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(readFile(path), kPlate + w("В\r\n"));
}

// Esc and the question's close box answer Cancel: the command does nothing,
// the edits stay in the window and out of the file.
TEST_F(EditTest, CancelAtTheUnsavedQuestionKeepsTheEditsWhereverItIsAsked) {
    const std::string path = open(kPlate);
    const std::string other = joinPath(testProgramFolder(), "other.txt");
    writeFile(other, w("1//a\r\n50//b\r\n5//c\r\n1//d\r\nЯ\r\n"));
    window.txtPaint->appendPlainText(QStringLiteral("В"));
    const QString edited = window.txtPaint->toPlainText();
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Ctrl+Q", [&] { window.cmdClose_Click(); }},
        {"close box", [&] { EXPECT_FALSE(window.close()); }},
        {"open",
         [&] {
             testDialogs().fileAnswers.push_back(FileChoice{testProgramFolder(), "other.txt", 1});
             window.mnuOpenProject_Click();
         }},
        {"reload", [&] { window.mnuReloadProject_Click(); }},
        {"new project", [&] { window.mnuNewProject_Click(); }},
        {"batch", [&] { window.cmdBatch_Click(); }},
    };
    for (const auto& [name, command] : commands) {
        testDialogs().reset();
        command();
        ASSERT_FALSE(testDialogs().calls.empty()) << name;
        EXPECT_EQ(testDialogs().calls[0].kind, "questionOrCancel") << name;
        EXPECT_EQ(testDialogs().calls.size(), 1u) << name << ": nothing after Cancel";
        EXPECT_TRUE(window.isVisible()) << name;
        EXPECT_TRUE(window.isModified()) << name;
        EXPECT_EQ(window.txtPaint->toPlainText(), edited) << name;
        EXPECT_EQ(window.project().ProjectPath, path) << name;
        EXPECT_EQ(readFile(path), kPlate) << name;
    }
}

// A project is never written over another file without a question whose
// Enter answers No; No asks for another name.
TEST_F(EditTest, SavingUnderTheNameOfAnExistingFileAsksFirst) {
    const std::string other = joinPath(testProgramFolder(), "other.txt");
    writeFile(other, "keep");
    const FileChoice here{testProgramFolder(), "", 1};
    window.txtPaint->setPlainText(QStringLiteral("Ж"));
    // Ctrl+S with no project open asks for a name, as «Сохранить проект как…» does.
    testDialogs().fileAnswers = {here};
    testDialogs().inputAnswers = {"other.txt"};
    window.mnuSaveProject_Click();
    const auto& calls = testDialogs().calls;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, "input");
    EXPECT_EQ(calls[1].kind, "question");
    EXPECT_EQ(calls[1].text, w("Файл «other.txt» уже есть. Заменить его?"));
    EXPECT_EQ(calls[1].preferred, Dialogs::Answer::No);
    EXPECT_EQ(calls[2].kind, "input") << "No: another name";
    EXPECT_EQ(calls[2].defaultText, "other.txt");
    EXPECT_EQ(readFile(other), "keep");
    EXPECT_TRUE(window.isModified());

    testDialogs().reset();
    testDialogs().fileAnswers = {here};
    testDialogs().inputAnswers = {"other.txt"};
    testDialogs().questionAnswers = {true};
    window.mnuSaveProjectAs_Click();
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_NE(readFile(other), "keep");
    EXPECT_EQ(window.project().ProjectPath, other);
    EXPECT_FALSE(window.isModified());
}

TEST_F(EditTest, TabLeavesTheTextAndCtrlTabWritesATab) {
    open(kPlate);
    window.txtPaint->setFocus();
    window.txtPaint->moveCursor(QTextCursor::End);
    const auto press = [&](Qt::KeyboardModifiers modifiers) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Tab, modifiers, QStringLiteral("\t"));
        QApplication::sendEvent(QApplication::focusWidget(), &key);
    };
    press(Qt::ControlModifier);
    EXPECT_EQ(window.txtPaint->toPlainText(), QStringLiteral("АБ\t"));
    EXPECT_TRUE(window.txtPaint->hasFocus());
    press(Qt::NoModifier);
    EXPECT_EQ(window.txtPaint->toPlainText(), QStringLiteral("АБ\t"));
    EXPECT_FALSE(window.txtPaint->hasFocus()) << "Tab moves on";
}

// Bad values in the parameter fields are marked and named; the last good
// picture, list and figures stay until the values are good again.
TEST_F(EditTest, ABadParameterIsMarkedAndNamedAndTheLastGoodPictureStays) {
    open(kPlate);
    auto points = testSession().penPoints();
    const QColor plain = window.txtParameters[0]->palette().color(QPalette::Base);
    const QString good[] = {QStringLiteral("5"), QStringLiteral("80"), QStringLiteral("6"),
                            QStringLiteral("1")};
    const std::pair<int, QString> bad[] = {
        {2, QStringLiteral("abc")}, {2, QStringLiteral("0")},   {1, QStringLiteral("-100")},
        {3, QStringLiteral("")},    {0, QStringLiteral("5мм")},
    };
    for (const auto& [field, text] : bad) {
        points = testSession().penPoints();
        const QImage picture = window.pic->image();
        window.txtParameters[field]->selectAll();
        if (text.isEmpty())
            window.txtParameters[field]->del();
        else
            type(window.txtParameters[field], text);
        pause();
        EXPECT_EQ(testSession().penPoints(), points) << text.toStdString();
        EXPECT_EQ(window.pic->image(), picture) << text.toStdString();
        EXPECT_NE(window.txtParameters[field]->palette().color(QPalette::Base), plain);
        EXPECT_FALSE(window.lblParameterFault->text().isEmpty());
        window.txtParameters[field]->selectAll();
        type(window.txtParameters[field], good[field]);
        pause();
    }
    EXPECT_TRUE(window.lblParameterFault->text().isEmpty());

    window.txtParameters[2]->selectAll();
    type(window.txtParameters[2], QStringLiteral("abc"));
    EXPECT_EQ(window.lblParameterFault->text(), QStringLiteral("Высота: введите число больше 0"));
    window.txtParameters[2]->selectAll();
    type(window.txtParameters[2], QStringLiteral("4,5"));
    EXPECT_EQ(window.lblParameterFault->text(),
              QStringLiteral("Высота: дробную часть отделяйте точкой (4.5)"));
    saveScreenshot(&window, "frmGCode_bad_parameter");
    window.txtParameters[2]->selectAll();
    type(window.txtParameters[2], QStringLiteral("4.5"));
    pause();
    EXPECT_EQ(window.txtParameters[2]->palette().color(QPalette::Base), plain);
    EXPECT_TRUE(window.lblParameterFault->text().isEmpty());
    EXPECT_NE(testSession().penPoints(), points) << "laid out again";
    EXPECT_EQ(window.project().LetterHeight, 4.5);
}

// A value the fields mark is neither saved nor written: both say which field;
// a reload that would save first goes no further. The user's decimal comma is
// a number, kept in the file with a point.
TEST_F(EditTest, MarkedValuesAreNeitherSavedNorWritten) {
    const std::string path = open(kPlate);
    const std::string saved = readFile(path);
    window.txtParameters[0]->selectAll();
    type(window.txtParameters[0], QStringLiteral("abc"));
    pause();
    window.mnuSaveProject_Click();
    EXPECT_EQ(readFile(path), saved);
    EXPECT_TRUE(window.isModified());
    window.cmdSaveGCODE_Click();
    EXPECT_EQ(testDialogs().messagesUtf8(),
              (std::vector<std::string>{"Проект не сохранён:\r\nИнтервал: введите число больше 0",
                                        "G-code не записан:\r\nИнтервал: введите число больше 0"}));
    EXPECT_EQ(testDialogs().calls.size(), 2u) << "no file name asked for";
    testDialogs().reset();
    testDialogs().threeWayAnswers = {Dialogs::Answer::Yes};
    window.mnuReloadProject_Click();
    EXPECT_EQ(window.txtParameters[0]->text(), QStringLiteral("abc")) << "not reloaded";
    EXPECT_EQ(readFile(path), saved);

    numtext::setDecimalSeparator(',');
    window.txtParameters[0]->selectAll();
    type(window.txtParameters[0], QStringLiteral("5"));
    window.txtParameters[3]->selectAll();
    type(window.txtParameters[3], QStringLiteral("4,5"));
    pause();
    EXPECT_TRUE(window.lblParameterFault->text().isEmpty());
    EXPECT_EQ(window.project().WidthFactor, 4.5);
    window.mnuSaveProject_Click();
    EXPECT_NE(readFile(path).find("\r\n4.5//"), std::string::npos) << readFile(path);
}

TEST_F(EditTest, MissingLettersAreMarkedAndCountedWithoutMessageBoxes) {
    open(kPlate);
    window.txtPaint->moveCursor(QTextCursor::End);
    type(window.txtPaint, QStringLiteral("†Я‡ †//†"));
    pause();
    EXPECT_TRUE(testDialogs().calls.empty()) << testDialogs().messagesUtf8().size();
    const auto marks = window.txtPaint->extraSelections();
    ASSERT_EQ(marks.size(), 3);
    EXPECT_EQ(marks[0].cursor.selectedText(), QStringLiteral("†"));
    EXPECT_EQ(marks[1].cursor.selectedText(), QStringLiteral("‡"));
    EXPECT_EQ(window.lblMissing->text(), QStringLiteral("Нет в шрифте знаков: 3"));
    saveScreenshot(&window, "frmGCode_missing_letters");

    window.txtPaint->undo();
    pause();
    EXPECT_TRUE(window.txtPaint->extraSelections().isEmpty());
    EXPECT_TRUE(window.lblMissing->text().isEmpty());

    // Characters Windows-1251 lacks are missing letters too, never a «?».
    window.txtPaint->moveCursor(QTextCursor::End);
    window.txtPaint->insertPlainText(QStringLiteral("Ω😀"));
    pause();
    const auto foreign = window.txtPaint->extraSelections();
    ASSERT_EQ(foreign.size(), 2);
    EXPECT_EQ(foreign[1].cursor.selectedText(), QStringLiteral("😀"));
    EXPECT_EQ(window.lblMissing->text(), QStringLiteral("Нет в шрифте знаков: 2"));
}

TEST_F(EditTest, MirrorBoxPutsTheTagIntoTheTextAndFollowsIt) {
    open(kPlate);
    ASSERT_FALSE(window.chkMirror->isChecked());
    const double left = (*testSession().penPoints())[2].X;
    window.chkMirror->click();
    pause();
    EXPECT_TRUE(window.txtPaint->toPlainText().startsWith(QStringLiteral("<@MIRROR>\n")));
    EXPECT_NEAR((*testSession().penPoints())[2].X, 80 - left, 0.011) << "about the field's middle";
    EXPECT_TRUE(window.isModified());
    saveScreenshot(&window, "frmGCode_mirrored");
    window.chkMirror->click();
    pause();
    EXPECT_EQ(window.txtPaint->toPlainText(), QStringLiteral("АБ"));
    EXPECT_EQ((*testSession().penPoints())[2].X, left);
    // A tag typed into the text checks the box.
    window.txtPaint->moveCursor(QTextCursor::End);
    type(window.txtPaint, QStringLiteral("<@MIRROR>"));
    pause();
    EXPECT_TRUE(window.chkMirror->isChecked());
}

TEST_F(EditTest, PlateIsSavedAsSvgOrDxfByTheNamesExtension) {
    open(kPlate + w("<@QR=VEzor;12>\r\n"));
    const std::string folder = testProgramFolder();
    ScriptedDialogs& d = testDialogs();
    d.reset();
    d.fileAnswers.push_back(FileChoice{folder, "", 1});
    d.inputAnswers.push_back("plate.svg");
    window.mnuExportPlate->trigger();
    const std::string svg = readFile(joinPath(folder, "plate.svg"));
    EXPECT_NE(svg.find("width=\"80mm\""), std::string::npos);
    ASSERT_EQ(d.calls.size(), 2u);
    EXPECT_EQ(win1251::toUtf8(d.calls[0].defaultText), "plate.svg") << "the project's name";

    // Another extension is refused; a file there is replaced only when the answer is Yes.
    d.reset();
    d.fileAnswers.push_back(FileChoice{folder, "", 1});
    d.inputAnswers.push_back("plate.txt");
    window.mnuExportPlate->trigger();
    EXPECT_EQ(d.messagesUtf8().back(), "Имя файла должно кончаться на .svg или .dxf");
    d.reset();
    d.fileAnswers.push_back(FileChoice{folder, "", 1});
    d.inputAnswers.push_back("plate.svg");
    writeFile(joinPath(folder, "plate.svg"), "mine");
    window.mnuExportPlate->trigger();
    EXPECT_EQ(readFile(joinPath(folder, "plate.svg")), "mine") << "No keeps the file";
    d.reset();
    d.fileAnswers.push_back(FileChoice{folder, "", 1});
    d.inputAnswers.push_back("plate.dxf");
    window.mnuExportPlate->trigger();
    EXPECT_NE(readFile(joinPath(folder, "plate.dxf")).find("WRITING"), std::string::npos);
}

}  // namespace
