#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QToolButton>

#include "TestSupport.h"
#include "main/ProjectFile.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmGCode.h"

namespace {

void makeFolder(const std::string& relative) {
    QDir().mkpath(QString::fromStdString(testProgramFolder() + "/" + relative));
}

QStringList comboItems(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

TEST(MainWindow, MenusInOrderWithSeparatorsAndStatesAtStart) {
    frmGCode window(testSession());
    window.Form_Load();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VEzor из текста"));

    QStringList fileMenu;
    for (QAction* a : window.mnuF->actions())
        fileMenu << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(fileMenu,
              (QStringList{"Создать проект", "Открыть файл проекта", "Перегрузить проект",
                           "Сохранить проект", "Сохранить проект как…", "Сохранить как SVG/DXF…",
                           "-", "Редактировать шрифт", "Просмотр шрифта", "Открыть .tap/.gcode",
                           "Свойства нового кода", "-", "Выход"}));
    QStringList keys;
    for (QAction* a : window.mnuF->actions() + QList<QAction*>{window.saveGCodeAction})
        if (!a->isSeparator()) keys << a->shortcut().toString();
    EXPECT_EQ(keys, (QStringList{"Ctrl+N", "Ctrl+O", "F5", "Ctrl+S", "Ctrl+Shift+S", "", "Ctrl+E",
                                 "Ctrl+F", "Ctrl+Shift+O", "Ctrl+P", "Ctrl+Q", "Ctrl+G"}));
    const auto top = window.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), QStringLiteral("Файл"));
    EXPECT_EQ(top[1]->text(), QStringLiteral("O ..."));

    EXPECT_FALSE(window.mnuReloadProject->isEnabled());
    EXPECT_FALSE(window.cmdReloadProject->isEnabled());
    EXPECT_FALSE(window.cmdPaint->isEnabled());
    EXPECT_FALSE(window.cmdSaveGCODE->isEnabled());
    EXPECT_TRUE(window.cmdClose->isEnabled());
    for (QAction* a : window.mnuF->actions()) {
        if (a == window.mnuReloadProject) continue;
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    }

    EXPECT_EQ(window.cmdReloadProject->toolTip(), QStringLiteral("Перегрузить проект"));
    EXPECT_EQ(window.cmdPaint->toolTip(), QStringLiteral("Отрисовать загруженный проект/gcode"));
    EXPECT_EQ(window.cmdSaveGCODE->toolTip(), QStringLiteral("Сохранить"));
    EXPECT_EQ(window.cmdClose->toolTip(), QStringLiteral("Закрыть окно"));
    EXPECT_EQ(window.cboMash->toolTip(), QStringLiteral("Масштаб изображения"));
    EXPECT_EQ(window.sps->toolTip(), QStringLiteral("VEzor"));
    EXPECT_FALSE(window.cmdPaint->icon().isNull());

    EXPECT_EQ(comboItems(window.cboMash),
              (QStringList{"25", "50", "75", "100", "125", "150", "175", "200"}));
    EXPECT_EQ(window.cboMash->currentText(), QStringLiteral("100"));
    EXPECT_EQ(window.DrawLimit, 0);
    EXPECT_EQ(window.DrawMode, DrawingMode::None);
    EXPECT_EQ(window.spsModel->rowCount(), 0);
    // Every control is found by its name.
    for (const char* name : {"cmdReloadProject", "cmdPaint", "cmdSaveGCODE", "cmdClose",
                             "cboShrift", "cboMash", "pic", "sps", "txtPaint"})
        EXPECT_NE(window.findChild<QWidget*>(name), nullptr) << name;
}

TEST(MainWindow, FontListIsBreadthFirstAndSelectsTheFirst) {
    makeFolder("font/B");
    makeFolder("font/A/X");
    makeFolder("font/.hidden");
    frmGCode window(testSession());
    window.Form_Load();
    EXPECT_EQ(comboItems(window.cboShrift), (QStringList{"font/A", "font/B", "font/A/X"}));
    EXPECT_EQ(window.cboShrift->currentIndex(), 0);
}

TEST(MainWindow, EmptyFontListRefusesBothFontCommands) {
    frmGCode window(testSession());
    window.Form_Load();
    EXPECT_EQ(window.cboShrift->count(), 0);
    EXPECT_EQ(window.cboMash->currentText(), QStringLiteral("100"));
    window.mnuFontEdit_Click();
    window.nmuOpen_Click();
    const auto& calls = testDialogs().calls;
    ASSERT_EQ(calls.size(), 2u);
    for (const auto& c : calls) {
        EXPECT_EQ(c.text, w("Создайте папку расположения шрифта в папке FONT"));
        EXPECT_EQ(c.title, w("VEzor из текста"));
    }
    EXPECT_EQ(testSession().CurrentFont(), "");
}

// Made as small as it goes, the window still shows every control whole: the
// buttons' and labels' texts, a few lines of the list and of the text, the
// parameter fields' values.
TEST(MainWindow, AtItsSmallestEveryControlStaysReadable) {
    makeFolder("font/Simplex");
    frmGCode window(testSession());
    window.Form_Load();
    window.show();
    // Long notes in the status bar are cut short: they neither widen the
    // window nor run over the figures.
    window.lblEstimate->setText(
        QStringLiteral("Письмо 1234,5 мм · Холостой ход 456,7 мм · Подъёмов 89 · Время 1:14"));
    window.lblMissing->setText(QStringLiteral("Нет в шрифте знаков: 12"));
    window.lblPlacement->setText(
        QStringLiteral("Строка 3 шире поля (129,7 мм при ширине 100 мм): оставлена у левого края; ")
            .repeated(6));
    // The list column dragged away as far as the splitter lets it go.
    auto* split = window.findChild<QSplitter*>("split");
    ASSERT_NE(split, nullptr);
    split->setSizes({100000, 0});
    window.resize(1, 1);
    QApplication::processEvents();
    saveScreenshot(&window, "main_window_smallest");
    EXPECT_LE(window.width(), 1024) << "fits a small screen";
    EXPECT_LE(window.height(), 600);
    EXPECT_GE(window.lblEstimate->contentsRect().width(),
              window.lblEstimate->fontMetrics().horizontalAdvance(window.lblEstimate->text()));
    const QList<QWidget*> bar = {window.lblCursor, window.lblMeasure, window.lblEstimate,
                                 window.lblMissing, window.lblPlacement};
    for (QWidget* a : bar) {
        for (QWidget* b : bar) {
            if (a == b || !a->isVisible() || !b->isVisible()) continue;
            EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " over " << b->objectName().toStdString() << " "
                << a->x() << "+" << a->width() << " " << b->x() << "+" << b->width() << " window "
                << window.width();
        }
    }
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisible()) continue;
        const std::string name =
            control->objectName().toStdString() + " " + control->metaObject()->className();
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QLabel*>(control)) {
            EXPECT_GE(control->width(), control->minimumSizeHint().width()) << name;
            EXPECT_GE(control->height(), control->minimumSizeHint().height()) << name;
        }
        auto* label = qobject_cast<QLabel*>(control);
        if (label && !label->wordWrap() && label->parent() != window.statusBar()) {
            EXPECT_GE(label->contentsRect().width(),
                      label->fontMetrics().horizontalAdvance(label->text()))
                << name;
        }
    }
    const QFontMetrics metrics = window.fontMetrics();
    for (QLineEdit* field : window.txtParameters)
        EXPECT_GE(field->width(), metrics.horizontalAdvance(QStringLiteral("0000.00")));
    for (QWidget* text :
         {static_cast<QWidget*>(window.sps), static_cast<QWidget*>(window.txtPaint)}) {
        EXPECT_GE(text->width(),
                  metrics.horizontalAdvance(QStringLiteral("G1X100.25Y-100.25")) + 30)
            << text->objectName().toStdString();
        EXPECT_GE(text->height(), metrics.lineSpacing() * 5) << text->objectName().toStdString();
    }
    EXPECT_GE(window.pic->width(), 300);
    EXPECT_GE(window.pic->height(), 300);
    split->setSizes({0, 100000});
    QApplication::processEvents();
    EXPECT_GE(window.pic->width(), 300) << "nor can the preview be dragged away";
}

TEST(MainWindow, ScreenshotAtStart) {
    makeFolder("font/Simplex");
    frmGCode window(testSession());
    window.Form_Load();
    window.show();
    const std::string path = saveScreenshot(&window, "main_window_start");
    EXPECT_FALSE(path.empty());
}

}  // namespace

namespace {

TEST(GCodeList, ShowsEveryRecordAndOnlyTheStartOfAHugeLine) {
    auto points = std::make_shared<PenPoints>();
    points->append(PenPoint{1, 2, 0}, "G1X1Y2");
    points->append(PenPoint{}, std::string(5000000, 'M'));
    PenPointsListModel model;
    model.show(points);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(0)).toString(), QString());
    EXPECT_EQ(model.data(model.index(1)).toString(), QStringLiteral("G1X1Y2"));
    const QString huge = model.data(model.index(2)).toString();
    EXPECT_EQ(huge.size(), 1001);
    EXPECT_TRUE(huge.endsWith(QStringLiteral("…")));
}

}  // namespace

namespace {

TEST(MainWindow, TemplateProjectWithTheShippedFontDrawsWithoutMissingLetters) {
    const QString from = QStringLiteral(VEZOR_BINARY_DIR "/font/A-Chertezh");
    const QString to = QString::fromStdString(testProgramFolder() + "/font/A-Chertezh");
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        QFile::copy(from + "/" + name, to + "/" + name);
    const std::string project = testProgramFolder() + "/NewProject.txt";
    WriteProjectTemplate(project);

    frmGCode window(testSession());
    window.Form_Load();
    window.resize(1100, 760);
    window.show();
    window.project().ProjectPath = project;
    window.DrawMode = DrawingMode::Project;
    window.LoadProject(project);
    window.cmdPaint_Click();
    QApplication::processEvents();
    EXPECT_TRUE(testDialogs().calls.empty()) << testDialogs().messagesUtf8().size();
    EXPECT_TRUE(window.cmdPaint->isEnabled());
    EXPECT_GT(window.spsModel->rowCount(), 100);
    while (window.isEstimating()) {  // the status bar's figures, for the picture
        QApplication::processEvents();
        QThread::msleep(2);
    }
    QApplication::processEvents();  // the status bar makes room for them
    saveScreenshot(&window, "main_window_template");
}

}  // namespace
