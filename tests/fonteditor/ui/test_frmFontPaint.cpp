#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "FontFixtures.h"
#include "font/FontStorage.h"
#include "fonteditor/ui/LetterSamplePanel.h"
#include "fonteditor/ui/LetterSurface.h"
#include "fonteditor/ui/frmFontPaint.h"
#include "lib/Win1251.h"
#include "lib/ui/QtDialogs.h"
#include "lib/ui/QtText.h"
#include "main/ui/frmGCode.h"

namespace {
using Lines = std::vector<std::string>;

std::string statusUtf8(const frmFontPaint& editor) { return editor.status().toStdString(); }

void selectPoint(frmFontPaint& editor, int row) {
    editor.spsPoint->setCurrentRow(row);  // as a click in the list
}

Lines shownPoints(const frmFontPaint& editor) {
    Lines lines;
    for (int i = 0; i < editor.spsPoint->count(); ++i)
        lines.push_back(fromQ(editor.spsPoint->item(i)->text()));
    return lines;
}

void typeInto(QWidget* target, const QString& text) {
    QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(target, &event);
}

void releaseKey(QWidget* target, int key, bool autoRepeat = false) {
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(target, &event);
}
}  // namespace

TEST(frmFontPaint, OpensOnTheFirstLetterOfTheListInCodeOrder) {
    makeFont("Two", {{65, "1,1\r\n"}, {192, "10,20\r\n30,40\r\n"}, {7, ""}});
    writeFile(testProgramFolder() + "/font/Two/readme.txt", "not a letter");
    frmFontPaint editor(testSession());

    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Отрисовка шрифта [font/Two]"));
    // Every code from 32 on, and the lower ones the font has; missing letters greyed.
    ASSERT_EQ(editor.cboLiter->count(), 1 + 224);
    EXPECT_EQ(editor.cboLiter->itemText(0), QStringLiteral("[7]\a"));
    EXPECT_EQ(editor.cboLiter->itemText(1), QStringLiteral("[32] "));
    EXPECT_EQ(editor.cboLiter->itemText(161), QStringLiteral("[192]А"));
    EXPECT_EQ(editor.cboLiter->itemData(161).toInt(), 192);
    EXPECT_FALSE(editor.cboLiter->itemData(161, Qt::ForegroundRole).isValid());
    EXPECT_TRUE(editor.cboLiter->itemData(1, Qt::ForegroundRole).isValid());
    EXPECT_EQ(editor.cboLiter->currentIndex(), 0);
    // Typing a character goes to its letter.
    typeInto(editor.cboLiter, QStringLiteral("А"));
    EXPECT_EQ(editor.cboLiter->currentIndex(), 161);
    EXPECT_EQ(shownPoints(editor), (Lines{"10,20", "30,40"}));
    EXPECT_EQ(editor.picMask->drawing().marks.size(), 2u);

    EXPECT_TRUE(editor.optReg[0]->isChecked());
    EXPECT_TRUE(editor.optReg[1]->isEnabled());
    EXPECT_FALSE(editor.optReg[2]->isEnabled());
    EXPECT_EQ(statusUtf8(editor), "...");
    EXPECT_EQ(editor.optReg[2]->objectName(), QStringLiteral("optReg_2"));
    EXPECT_EQ(editor.optReg[1]->toolTip(), QStringLiteral("Поставить точки"));

    // Choosing another letter discards the edits once the user agrees.
    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 5, 5);
    testDialogs().questionAnswers = {true};
    typeInto(editor.cboLiter, QStringLiteral("A"));
    EXPECT_EQ(shownPoints(editor), Lines{"1,1"});
    EXPECT_EQ(testDialogs().calls.size(), 1u);

    // A missing letter is a new, empty one; saving it makes it a letter of the font.
    typeInto(editor.cboLiter, QStringLiteral("Z"));
    EXPECT_TRUE(shownPoints(editor).empty());
    EXPECT_EQ(statusUtf8(editor), "/новая буква 'Z'");
    editor.picMask_MouseDown(Qt::LeftButton, 7, 7);
    editor.cmdSavePoint_Click();
    EXPECT_EQ(readFile(testProgramFolder() + "/font/Two/90"), "7,7\r\n");
    EXPECT_FALSE(editor.cboLiter->currentData(Qt::ForegroundRole).isValid());
    EXPECT_EQ(readFile(testProgramFolder() + "/font/Two/192"), "10,20\r\n30,40\r\n");
}

TEST(frmFontPaint, SelectingAPointHighlightsItAndEnablesMoving) {
    makeFont("F", {{65, "10,20\r\n0,50\r\n"}});
    frmFontPaint editor(testSession());
    selectPoint(editor, 1);
    ASSERT_TRUE(editor.picMask->highlight());
    // Highlighted even where no red mark goes.
    EXPECT_EQ(editor.picMask->highlight()->x, 0);
    EXPECT_EQ(editor.picMask->drawing().marks.size(), 1u);
    EXPECT_TRUE(editor.optReg[2]->isEnabled());

    editor.selectMode(2);
    EXPECT_EQ(statusUtf8(editor), "/используя мышку укажите новое место точки");
    EXPECT_FALSE(editor.letter().selected);
    EXPECT_EQ(editor.spsPoint->currentRow(), -1);
    EXPECT_FALSE(editor.picMask->highlight());
    editor.selectMode(0);
    EXPECT_EQ(statusUtf8(editor), "...");
    // Once enabled, moving stays available.
    EXPECT_TRUE(editor.optReg[2]->isEnabled());
}

TEST(frmFontPaint, PlacingPointsAppendsOrInsertsBehindTheSelection) {
    makeFont("F", {{65, ""}});
    frmFontPaint editor(testSession());
    editor.picMask_MouseDown(Qt::LeftButton, 10, 10);  // mode 0: nothing
    EXPECT_TRUE(shownPoints(editor).empty());

    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 10, 10);
    editor.picMask_MouseDown(Qt::LeftButton, 20.004, 30.125);
    editor.picMask_MouseDown(Qt::LeftButton, 40, 50);
    EXPECT_EQ(shownPoints(editor), (Lines{"10,10", "20,30.12", "40,50"}));
    EXPECT_EQ(editor.spsPoint->currentRow(), -1);
    EXPECT_FALSE(editor.optReg[2]->isEnabled());

    selectPoint(editor, 1);
    editor.picMask_MouseDown(Qt::LeftButton, 1, 2);
    editor.picMask_MouseDown(Qt::LeftButton, 3, 4);
    EXPECT_EQ(shownPoints(editor), (Lines{"10,10", "20,30.12", "1,2", "3,4", "40,50"}));
    EXPECT_EQ(editor.spsPoint->currentRow(), 3);
    EXPECT_EQ(editor.letter().selected, 3u);
    EXPECT_TRUE(editor.optReg[2]->isEnabled());
    // The redraw after a click shows the selected point in red like the others.
    EXPECT_FALSE(editor.picMask->highlight());
    EXPECT_EQ(editor.picMask->drawing().marks.size(), 5u);
}

TEST(frmFontPaint, MovingReplacesTheSelectedPointOnly) {
    makeFont("F", {{65, "1,1\r\n2,2\r\n3,3\r\n4,4\r\n"}});
    frmFontPaint editor(testSession());
    selectPoint(editor, 0);
    editor.selectMode(2);
    editor.picMask_MouseDown(Qt::LeftButton, 70, 80);  // nothing selected now
    EXPECT_EQ(shownPoints(editor), (Lines{"1,1", "2,2", "3,3", "4,4"}));

    selectPoint(editor, 2);
    editor.picMask_MouseDown(Qt::LeftButton, 70, 80);
    EXPECT_EQ(shownPoints(editor), (Lines{"1,1", "2,2", "70,80", "4,4"}));
    EXPECT_EQ(editor.spsPoint->currentRow(), 2);
    editor.picMask_MouseDown(Qt::LeftButton, 71, 81);
    EXPECT_EQ(shownPoints(editor), (Lines{"1,1", "2,2", "71,81", "4,4"}));
}

TEST(frmFontPaint, OnlyTheLeftButtonCounts) {
    makeFont("F", {{65, "1,1\r\n2,2\r\n"}});
    frmFontPaint editor(testSession());
    selectPoint(editor, 0);
    for (int mode : {1, 2, 0}) {
        editor.selectMode(mode);
        selectPoint(editor, 0);
        editor.picMask_MouseDown(Qt::RightButton, 50, 50);
        editor.picMask_MouseDown(Qt::MiddleButton, 50, 50);
        EXPECT_EQ(shownPoints(editor), (Lines{"1,1", "2,2"}));
        EXPECT_EQ(editor.spsPoint->currentRow(), 0);
        // Not even a redraw: the highlight stays.
        EXPECT_TRUE(editor.picMask->highlight());
    }
}

TEST(frmFontPaint, MousePositionsArriveInLetterUnits) {
    makeFont("F", {{65, ""}});
    frmFontPaint editor(testSession());
    editor.selectMode(1);
    editor.picMask->setGeometry(0, 0, 240, 240);
    for (QPointF at : {QPointF(120, 120), QPointF(60, 180), QPointF(0, 0)}) {
        QMouseEvent press(QEvent::MouseButtonPress, at, editor.picMask->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor.picMask, &press);
    }
    EXPECT_EQ(shownPoints(editor), (Lines{"50,50", "20,80", "-10,-10"}));
    editor.picMask->resize(480, 120);
    const QPointF back = editor.picMask->toLetterUnits(editor.picMask->toWidget({25, 75}));
    EXPECT_NEAR(back.x(), 25, 1e-9);
    EXPECT_NEAR(back.y(), 75, 1e-9);
}

TEST(frmFontPaint, ArrowReleasesShiftTheWholeLetterOneUnit) {
    makeFont("F", {{65, "10,20\r\n-.5,3\r\n"}});
    frmFontPaint editor(testSession());
    // Without a selection (a selection moves alone).
    releaseKey(editor.picMask, Qt::Key_Right);
    EXPECT_EQ(shownPoints(editor), (Lines{"11,20", ".5,3"}));
    EXPECT_FALSE(editor.letter().selected);
    EXPECT_EQ(editor.spsPoint->currentRow(), -1);

    releaseKey(editor.picMask, Qt::Key_Up);
    EXPECT_EQ(shownPoints(editor), (Lines{"11,19", ".5,2"}));
    // A held key repeats, but only the real release moves the letter.
    releaseKey(editor.picMask, Qt::Key_Down, true);
    releaseKey(editor.picMask, Qt::Key_Down, true);
    releaseKey(editor.picMask, Qt::Key_Down);
    releaseKey(editor.picMask, Qt::Key_Left);
    EXPECT_EQ(shownPoints(editor), (Lines{"10,20", "-.5,3"}));
    // Nothing was saved.
    EXPECT_EQ(readFile(testProgramFolder() + "/font/F/65"), "10,20\r\n-.5,3\r\n");
}

TEST(frmFontPaint, DeletingAPointAsksFirst) {
    makeFont("F", {{65, "10,20\r\n"}});
    frmFontPaint editor(testSession());
    editor.cmdDelTema_Click();  // nothing selected: no question
    EXPECT_TRUE(testDialogs().calls.empty());

    selectPoint(editor, 0);
    testDialogs().questionAnswers = {false};
    editor.cmdDelTema_Click();
    EXPECT_EQ(shownPoints(editor), Lines{"10,20"});
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testDialogs().calls[0].kind, "question");
    EXPECT_EQ(testDialogs().calls[0].text, w("Вы хотите удалить точку?"));
    EXPECT_EQ(testDialogs().calls[0].title, w("Удаление точки"));

    testDialogs().questionAnswers = {true};
    editor.cmdDelTema_Click();
    EXPECT_TRUE(shownPoints(editor).empty());
    EXPECT_FALSE(editor.letter().selected);
    EXPECT_TRUE(editor.picMask->drawing().marks.empty());
    EXPECT_TRUE(editor.picMask->drawing().lines.empty());
    EXPECT_FALSE(editor.picMask->highlight());
}

TEST(frmFontPaint, SaveWritesThePointListAsItStands) {
    const std::string folder = makeFont("F", {{65, " 7.50 ,20\r\n1,1\r\n"}, {66, "9,9\r\n"}});
    frmFontPaint editor(testSession());
    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 30.125, 40);
    editor.cmdSavePoint_Click();
    // Lines that were not touched keep their bytes.
    EXPECT_EQ(readFile(folder + "/65"), " 7.50 ,20\r\n1,1\r\n30.12,40\r\n");
    EXPECT_EQ(statusUtf8(editor), "/буква 'A' сохранена");
    EXPECT_TRUE(testDialogs().calls.empty());

    // A letter emptied of its points is saved as an empty file.
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(66));
    selectPoint(editor, 0);
    testDialogs().questionAnswers = {true};
    editor.cmdDelTema_Click();
    editor.cmdSavePoint_Click();
    EXPECT_EQ(readFile(folder + "/66"), "");
    EXPECT_EQ(statusUtf8(editor), "/буква 'B' сохранена");
}

TEST(frmFontPaint, BreakMarksAreListedPutAndSavedByteForByte) {
    const std::string letter = "2,80\r\n2,36\r\n0,0\r\n2,17\r\n2,16\r\n0,0\r\n2,80\r\n";
    const std::string folder = makeFont("F", {{105, letter}});
    frmFontPaint editor(testSession());
    EXPECT_EQ(shownPoints(editor)[2], w("— разрыв —"));
    editor.cmdSavePoint_Click();
    EXPECT_EQ(readFile(folder + "/105"), letter);

    selectPoint(editor, 0);
    editor.mnuRazriv_Click();
    EXPECT_EQ(shownPoints(editor)[1], w("— разрыв —"));
    editor.cmdSavePoint_Click();
    EXPECT_EQ(readFile(folder + "/105"), "2,80\r\n0,0\r\n" + letter.substr(6));
}

TEST(frmFontPaint, SaveAsOntoAnExistingLetterAsksFirst) {
    const std::string folder = makeFont("F", {{65, "1,1\r\n"}, {193, "old\r\n"}});
    frmFontPaint editor(testSession());
    ASSERT_EQ(editor.cboLiter->currentText(), QStringLiteral("[65]A"));
    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 2, 2);

    testDialogs().inputAnswers = {w("Бв")};
    testDialogs().questionAnswers = {false};
    editor.mnuLiterAs_Click();
    EXPECT_EQ(readFile(folder + "/193"), "old\r\n");
    ASSERT_EQ(testDialogs().calls.size(), 2u);
    EXPECT_EQ(testDialogs().calls[0].kind, "input");
    EXPECT_EQ(testDialogs().calls[0].text, w("Введите новую букву для сохранения ..."));
    EXPECT_EQ(testDialogs().calls[0].title, w("Сохранение буквы"));
    EXPECT_EQ(testDialogs().calls[1].text, w("Буква 'Бв' есть. Сохранить?"));
    EXPECT_EQ(testDialogs().calls[1].preferred, Dialogs::Answer::No) << "Enter keeps the letter";
    EXPECT_EQ(testDialogs().calls[1].title, w("Отрисовка шрифта [font/F]"));

    testDialogs().reset();
    testDialogs().inputAnswers = {w("Бв")};
    testDialogs().questionAnswers = {true};
    editor.mnuLiterAs_Click();
    EXPECT_EQ(readFile(folder + "/193"), "1,1\r\n2,2\r\n");
    EXPECT_EQ(readFile(folder + "/65"), "1,1\r\n");
    EXPECT_EQ(statusUtf8(editor), "/буква 'Б' сохранена");
    // The list is read again and the remembered position loaded from disk.
    EXPECT_EQ(editor.cboLiter->currentData().toInt(), 65);
    EXPECT_EQ(shownPoints(editor), Lines{"1,1"});

    // A new letter needs no question and joins the list.
    testDialogs().reset();
    testDialogs().inputAnswers = {"Z"};
    editor.mnuLiterAs_Click();
    EXPECT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(readFile(folder + "/90"), "1,1\r\n");
    EXPECT_FALSE(
        editor.cboLiter->itemData(editor.cboLiter->findData(90), Qt::ForegroundRole).isValid());

    // Cancel ends the command.
    testDialogs().reset();
    editor.mnuLiterAs_Click();
    EXPECT_EQ(testDialogs().calls.size(), 1u);
}

TEST(frmFontPaint, EmptyFontAsksForTheCharacterOnEverySave) {
    const std::string folder = makeFont("Empty", {});
    frmFontPaint editor(testSession());
    EXPECT_EQ(editor.cboLiter->currentIndex(), -1);
    EXPECT_TRUE(shownPoints(editor).empty());
    EXPECT_TRUE(editor.picMask->drawing().marks.empty());

    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 50, 10);
    editor.cmdSavePoint_Click();  // cancelled
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_EQ(testDialogs().calls[0].text, w("Введите ту букву, которую вы нарисовали"));
    EXPECT_EQ(testDialogs().calls[0].title, w("Сохранение буквы"));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(folder + "/198")));

    testDialogs().inputAnswers = {w("Жук")};
    editor.cmdSavePoint_Click();
    EXPECT_EQ(readFile(folder + "/198"), "50,10\r\n");
    EXPECT_EQ(statusUtf8(editor), "/буква 'Ж' сохранена");
    EXPECT_EQ(editor.cboLiter->currentIndex(), -1);

    testDialogs().inputAnswers = {"&"};
    editor.cmdSavePoint_Click();
    EXPECT_EQ(testDialogs().calls.size(), 3u);
    EXPECT_EQ(readFile(folder + "/38"), "50,10\r\n");
    EXPECT_EQ(statusUtf8(editor), "/буква '&' сохранена");
}

TEST(frmFontPaint, SaveAsInAnEmptyFontShowsTheNewLetter) {
    makeFont("Empty", {});
    frmFontPaint editor(testSession());
    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 5, 6);
    testDialogs().inputAnswers = {"q"};
    editor.mnuLiterAs_Click();
    EXPECT_EQ(editor.cboLiter->currentText(), QStringLiteral("[113]q"));
    EXPECT_EQ(shownPoints(editor), Lines{"5,6"});
}

TEST(frmFontPaint, AFailedWriteIsReportedAndKeepsTheEdits) {
    const std::string folder = makeFont("F", {});
    // A folder where the letter file should go cannot be replaced by a file.
    QDir().mkpath(QString::fromStdString(folder + "/65"));
    frmFontPaint editor(testSession());
    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 5, 6);
    testDialogs().inputAnswers = {"A"};
    editor.cmdSavePoint_Click();
    ASSERT_EQ(testDialogs().calls.size(), 2u);
    EXPECT_EQ(testDialogs().calls[1].kind, "message");
    EXPECT_EQ(testDialogs().calls[1].title, w("Отрисовка шрифта [font/F]"));
    EXPECT_FALSE(testDialogs().calls[1].text.empty());
    EXPECT_EQ(statusUtf8(editor), "...");
    EXPECT_EQ(shownPoints(editor), Lines{"5,6"});
}

TEST(frmFontPaint, ALineWithoutCommaIsShownAndReported) {
    makeFont("F", {{65, "10,20\r\nbroken\r\n30,40\r\n"}, {66, "1,1\r\n"}});
    frmFontPaint editor(testSession());
    EXPECT_EQ(shownPoints(editor), (Lines{"10,20", "broken", "30,40"}));
    EXPECT_EQ(statusUtf8(editor), "/в строке 2 буквы 'A' нет запятой");
    EXPECT_EQ(editor.picMask->drawing().marks.size(), 2u);
    // A sound letter puts the status back.
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(66));
    EXPECT_EQ(statusUtf8(editor), "...");
}

TEST(frmFontPaint, ScreenshotWithASampleFont) {
    makeFont("Sample", sampleLetters());
    frmFontPaint editor(testSession());
    editor.resize(820, 640);
    editor.show();
    QApplication::processEvents();
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(193));
    selectPoint(editor, 4);
    QApplication::processEvents();
    EXPECT_TRUE(editor.picMask->highlight());
    // The surface stays square inside its frame.
    EXPECT_EQ(editor.picMask->width(), editor.picMask->height());
    saveScreenshot(&editor, "frmFontPaint");
    editor.resize(520, 420);
    QApplication::processEvents();
    EXPECT_EQ(editor.picMask->width(), editor.picMask->height());
    saveScreenshot(&editor, "frmFontPaint_small");
}

TEST(frmFontPaint, MainWindowOpensTheEditorOnTheSelectedFont) {
    makeFont("Main", {{65, "1,1\r\n"}});
    frmGCode main(testSession());
    main.Form_Load();
    QString caption;
    QTimer::singleShot(0, [&caption] {
        if (auto* editor = qobject_cast<frmFontPaint*>(QApplication::activeModalWidget())) {
            caption = editor->windowTitle();
            editor->mnuExit_Click();
        }
    });
    main.mnuFontEdit_Click();
    EXPECT_EQ(caption, QStringLiteral("Отрисовка шрифта [font/Main]"));
    EXPECT_EQ(testSession().CurrentFont(), "font/Main");
}

TEST(frmFontPaint, ScreenshotWithTheShippedMainFont) {
    useShippedMainFont();
    frmFontPaint editor(testSession());
    editor.resize(820, 640);
    editor.show();
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(198));  // Ж
    QApplication::processEvents();
    EXPECT_GT(editor.spsPoint->count(), 5);
    saveScreenshot(&editor, "frmFontPaint_shipped");
}

TEST(frmFontPaint, NothingBecomesSelectedUnlessTheUserSelectsIt) {
    // The list takes the focus back when a question, a menu or an input box
    // closes; that must not select its first point behind the user's back.
    const auto focusReturns = [](frmFontPaint& editor) {
        QFocusEvent in(QEvent::FocusIn, Qt::PopupFocusReason);
        QApplication::sendEvent(editor.spsPoint, &in);
    };
    const std::string folder = makeFont("F", {{65, "1,1\r\n2,2\r\n3,3\r\n"}});
    frmFontPaint editor(testSession());
    selectPoint(editor, 1);
    testDialogs().questionAnswers = {true};
    editor.cmdDelTema_Click();
    focusReturns(editor);
    EXPECT_FALSE(editor.letter().selected);
    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 9, 9);
    EXPECT_EQ(shownPoints(editor), (Lines{"1,1", "3,3", "9,9"}));

    selectPoint(editor, 0);
    editor.selectMode(0);
    focusReturns(editor);
    EXPECT_FALSE(editor.letter().selected);
    EXPECT_FALSE(editor.picMask->highlight());

    testDialogs().inputAnswers = {"B"};
    editor.mnuLiterAs_Click();
    focusReturns(editor);
    EXPECT_FALSE(editor.letter().selected);
    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 8, 8);
    EXPECT_EQ(shownPoints(editor), (Lines{"1,1", "2,2", "3,3", "8,8"}));
}

TEST(frmFontPaint, ClosingALetterWithUnsavedEditsAsksFirst) {
    const std::string folder = makeFont("F", {{65, "1,1\r\n"}, {66, "2,2\r\n"}});
    frmFontPaint editor(testSession());
    editor.show();
    // Unchanged letters go without a question.
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(66));
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(65));
    EXPECT_TRUE(testDialogs().calls.empty());

    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 5, 5);
    const Lines edited{"1,1", "5,5"};
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&editor, &esc);
    editor.close();
    editor.cmdClose_Click();
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(66));
    QWheelEvent wheel(QPointF(5, 5), editor.cboLiter->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(editor.cboLiter, &wheel);
    ASSERT_EQ(testDialogs().calls.size(), 5u);
    EXPECT_EQ(testDialogs().calls[0].text,
              w("Изменения буквы 'A' не сохранены. Закрыть её без сохранения?"));
    EXPECT_EQ(testDialogs().calls[0].title, w("Отрисовка шрифта [font/F]"));
    EXPECT_EQ(testDialogs().calls[0].preferred, Dialogs::Answer::No) << "Enter keeps the edits";
    // Every answer No kept the window, the letter and the edits.
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.cboLiter->currentData().toInt(), 65);
    EXPECT_EQ(shownPoints(editor), edited);

    testDialogs().questionAnswers = {true};
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(66));
    EXPECT_EQ(shownPoints(editor), Lines{"2,2"});
    EXPECT_EQ(readFile(folder + "/65"), "1,1\r\n");
    // A saved letter is no longer changed.
    editor.picMask_MouseDown(Qt::LeftButton, 6, 6);
    editor.cmdSavePoint_Click();
    testDialogs().reset();
    editor.cmdClose_Click();
    EXPECT_TRUE(testDialogs().calls.empty());
    EXPECT_FALSE(editor.isVisible());
}

TEST(frmFontPaint, LettersThatCannotBeEditedSafelyAreRefused) {
    // A coordinate far outside the box would reach the G-code as a huge number.
    makeFont("F", {{65, "10,20\r\n1e300,20\r\n"}, {66, "1,-10001\r\n"}, {67, "-10000,10000\r\n"}});
    frmFontPaint editor(testSession());
    EXPECT_TRUE(shownPoints(editor).empty());
    EXPECT_EQ(statusUtf8(editor),
              "/в строке 2 буквы 'A' число за пределами ±10000: буква не открыта");
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(66));
    EXPECT_EQ(statusUtf8(editor),
              "/в строке 1 буквы 'B' число за пределами ±10000: буква не открыта");
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(67));
    EXPECT_EQ(shownPoints(editor), Lines{"-10000,10000"});

    // A character Windows-1251 lacks cannot name a letter file; a typed '?' can.
    QtDialogs qtDialogs;
    setDialogs(&qtDialogs);
    QStringList messages;
    QString answer = QStringLiteral("中");
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QInputDialog*>(modal)) {
            box->setTextValue(answer);
            box->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            box->accept();
        }
    });
    answering.start(10);
    editor.mnuLiterAs_Click();
    EXPECT_EQ(messages, QStringList{QStringLiteral(
                            "Этого символа нет в кодировке Windows-1251: буква не сохранена")});
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(testProgramFolder() + "/font/F/63")));
    answer = QStringLiteral("?");
    editor.mnuLiterAs_Click();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(readFile(testProgramFolder() + "/font/F/63"), "-10000,10000\r\n");
}

TEST(frmFontPaint, AHeldArrowMovesTheLetterOneUnit) {
    // Some keyboards flag only part of the repeats: a repeated press then comes
    // unflagged, with the time of the release before it.
    makeFont("F", {{65, "10,20\r\n"}});
    frmFontPaint editor(testSession());
    const auto send = [&](QEvent::Type type, bool repeat, unsigned long time) {
        QKeyEvent event(type, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
        event.setTimestamp(time);
        QApplication::sendEvent(editor.picMask, &event);
    };
    send(QEvent::KeyPress, false, 1000);
    send(QEvent::KeyRelease, false, 1500);
    send(QEvent::KeyPress, false, 1500);
    send(QEvent::KeyRelease, true, 1533);
    send(QEvent::KeyPress, true, 1533);
    send(QEvent::KeyRelease, false, 1566);
    send(QEvent::KeyPress, false, 1566);
    send(QEvent::KeyRelease, false, 2000);
    EXPECT_EQ(shownPoints(editor), Lines{"11,20"});
    send(QEvent::KeyPress, false, 3000);
    send(QEvent::KeyRelease, false, 3100);
    EXPECT_EQ(shownPoints(editor), Lines{"12,20"});
}

TEST(frmFontPaint, PointsAreSelectedAndDraggedOnTheDrawingAndEveryEditUndone) {
    const auto letters = sampleLetters();
    makeFont("Sample", letters);
    frmFontPaint editor(testSession());
    editor.resize(820, 640);
    editor.show();
    QApplication::setActiveWindow(&editor);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    editor.cboLiter->setCurrentIndex(editor.cboLiter->findData(193));  // Б
    const Lines original = editor.letter().points;
    LetterSurface* s = editor.picMask;
    const auto at = [s](double x, double y) { return s->toWidget({x, y}).toPoint(); };
    editor.chkSnap->setChecked(true);  // step 5: exact points whatever the pixels

    QTest::mouseClick(s, Qt::LeftButton, {}, at(78, 20));
    EXPECT_EQ(editor.letter().selection, std::vector<std::size_t>{0});
    EXPECT_EQ(editor.spsPoint->currentRow(), 0);
    EXPECT_EQ(editor.txtX->value(), 78);
    QTest::mousePress(s, Qt::LeftButton, {}, at(78, 20));
    for (double x : {81.0, 84.0, 88.0}) QTest::mouseMove(s, at(x, 20));
    QTest::mouseRelease(s, Qt::LeftButton, {}, at(88, 20));
    EXPECT_EQ(editor.letter().points[0], "90,20");
    EXPECT_EQ(shownPoints(editor)[0], "90,20");

    // A rectangle on empty space selects what it holds, in the list too.
    QTest::mousePress(s, Qt::LeftButton, {}, at(55, 55));
    QTest::mouseMove(s, at(70, 80));
    QTest::mouseMove(s, at(95, 105));
    QTest::mouseRelease(s, Qt::LeftButton, {}, at(95, 105));
    EXPECT_EQ(editor.letter().selection, (std::vector<std::size_t>{3, 4, 5, 6}));
    EXPECT_EQ(editor.spsPoint->selectionModel()->selectedRows().size(), 4);
    QTest::mouseClick(s, Qt::LeftButton, Qt::ControlModifier, at(14, 60));
    EXPECT_EQ(editor.letter().selection, (std::vector<std::size_t>{3, 4, 5, 6, 7}));
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(editor.letter().points,
              (Lines{"90,20", "14,20", "14,100", "68,100", "86,90", "86,70", "68,60", "24,60"}));

    // A double click on a line puts a point there.
    QTest::mouseDClick(s, Qt::LeftButton, {}, at(50, 20));
    ASSERT_EQ(editor.letter().points.size(), 9u);
    EXPECT_TRUE(editor.letter().points[1].ends_with(",20"));

    for (int i = 0; i < 4; ++i) QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.letter().points, original);
    EXPECT_FALSE(editor.mnuUndo->isEnabled());
    QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editor.letter().points[0], "90,20");

    // Zoomed in about the bowl, with the grid and a selection.
    editor.chkGrid->setChecked(true);
    const QPoint bowl = at(70, 80);
    QWheelEvent wheel(bowl, s->mapToGlobal(bowl), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(s, &wheel);
    EXPECT_EQ(s->toWidget({70, 80}).toPoint(), bowl);
    QTest::mousePress(s, Qt::LeftButton, {}, at(65, 65));
    QTest::mouseRelease(s, Qt::LeftButton, {}, at(85, 95));
    EXPECT_EQ(editor.letter().selection, (std::vector<std::size_t>{4, 5}));
    QApplication::processEvents();
    saveScreenshot(&editor, "frmFontPaint_zoomed");
    // The selection must not pass for the stroke's green start.
    const QImage shown = s->grab().toImage();
    const QPoint selected = s->toWidget({76, 90}).toPoint();
    const QColor listColour =
        editor.spsPoint->palette().color(QPalette::Active, QPalette::Highlight);
    int ring = 0;
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -6; dx <= 6; ++dx) {
            const QColor c = shown.pixelColor(selected + QPoint(dx, dy));
            ring += c == listColour;
            EXPECT_FALSE(c.green() > 120 && c.red() < 60 && c.blue() < 60) << dx << "," << dy;
        }
    EXPECT_GT(ring, 20);
    editor.cmdFit_Click();
    EXPECT_EQ(s->toWidget({-10, -10}).toPoint(), QPoint(0, 0));
}

TEST(frmFontPaint, TheSampleLineShowsTheLetterAsItStandsUnsaved) {
    const std::string folder = makeFont("Sample", sampleLetters());
    frmFontPaint editor(testSession());
    editor.openLetter(65);
    // Typed by the user, the text stays when the letter changes.
    editor.sample->txtSample->clear();
    typeInto(editor.sample->txtSample, QStringLiteral("ZAZ"));
    editor.openLetter(90);
    editor.openLetter(65);
    EXPECT_EQ(editor.sample->txtSample->text(), QStringLiteral("ZAZ"));

    const auto drawingPoints = [&] {
        std::vector<PenPoint> points;
        const PenPoints& path = *editor.sample->sample().points;
        for (std::size_t i = 1; i <= path.count(); ++i)
            if (path[i].X != 0 && path[i].Y != 0) points.push_back(path[i]);
        return points;
    };
    ASSERT_EQ(drawingPoints().size(), 4u + 5u + 4u);
    EXPECT_TRUE(editor.sample->missingText().isEmpty());
    // A point at x 95 widens «A»: it lands after «Z» and its gap (letter
    // height 4.4 mm, width factor 0.75) and pushes the second «Z» on.
    editor.selectMode(1);
    editor.picMask_MouseDown(Qt::LeftButton, 95, 95);
    const auto points = drawingPoints();
    ASSERT_EQ(points.size(), 14u);
    const double unit = 0.044 * 0.75;
    const double startOfA = 78 * unit + 4.4 / 5 * 0.75;
    EXPECT_NEAR(points[9].X, startOfA + 95 * unit, 0.006);
    EXPECT_NEAR(points[9].Y, -95 * 0.044, 0.006);
    EXPECT_NEAR(points[10].X, startOfA + 95 * unit + 4.4 / 5 * 0.75 + 10 * unit, 0.006);
    EXPECT_EQ(readFile(folder + "/65"), sampleLetters().at(65));
    typeInto(editor.sample->txtSample, QStringLiteral("ЖжZ"));
    editor.sample->sample();
    EXPECT_EQ(editor.sample->missingText(), QStringLiteral("Нет в шрифте: Жж"));
    const QImage picture = editor.sample->render(QSize(600, 80));
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) red += picture.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(red, 300) << "the line is drawn";
}

// Whether the font's letters join is the font's own: the switch writes it at
// once, and the sample lifts the pen between the letters of a word.
TEST(frmFontPaint, TheJoinSwitchIsTheFontsAndTheSampleFollowsIt) {
    const std::string folder = makeFont("Sample", sampleLetters());
    frmFontPaint editor(testSession());
    editor.openLetter(65);
    editor.sample->txtSample->clear();
    typeInto(editor.sample->txtSample, QStringLiteral("ZAZ"));
    const auto liftsInside = [&] {
        const PenPoints& path = *editor.sample->sample().points;
        int lifts = 0;
        for (std::size_t i = 2; i < path.count(); ++i) lifts += path[i].Z != 0;
        return lifts;
    };
    EXPECT_TRUE(editor.sample->chkJoinLetters->isChecked());
    EXPECT_EQ(liftsInside(), 0);
    editor.sample->chkJoinLetters->click();
    EXPECT_FALSE(FontLettersJoin(folder));
    EXPECT_EQ(liftsInside(), 2);
}

TEST(frmFontPaint, ScreenshotOfTheStrokeWithArrowsNumbersAndConnectors) {
    // «ё»-like: a bowl, a pass back over its top, a break, two dots.
    makeFont("Anatomy", {{184,
                          "20,60\r\n70,60\r\n70,90\r\n30,95\r\n20,60\r\n70,60\r\n"
                          "20,60\r\n0,0\r\n35,35\r\n35,36\r\n0,0\r\n60,35\r\n60,36\r\n"},
                         {200, ""},
                         {201, ""}});
    std::string many;
    for (int i = 0; i < 400; ++i)
        many += std::to_string(50 + 40 * std::cos(i / 20.0)) + "," +
                std::to_string(50 + 40 * std::sin(i / 15.0)) + "\r\n";
    writeFile(testProgramFolder() + "/font/Anatomy/200", many);
    frmFontPaint editor(testSession());
    editor.resize(820, 720);
    editor.show();
    editor.openLetter(184);
    QApplication::processEvents();
    saveScreenshot(&editor, "frmFontPaint_stroke");

    const QImage surface = editor.picMask->render(QSize(600, 600));
    const auto at = [](double x, double y) {
        return QPoint(static_cast<int>((x + 10) * 5), static_cast<int>((y + 10) * 5));
    };
    EXPECT_EQ(surface.pixelColor(at(20, 60)), QColor(0, 160, 0)) << "the start is green";
    EXPECT_EQ(surface.pixelColor(at(60, 36) + QPoint(0, 2)), QColor(190, 0, 0)) << "the end red";
    // The join from the bowl to the first dot is pale, dashed; the top, drawn
    // three times, carries a pale band beside its red line.
    const QColor pale(255, 160, 160);
    int paleOnJoin = 0;
    for (int t = 20; t <= 80; ++t) {
        const QPoint p = at(20 + (35 - 20) * t / 100.0, 60 + (35 - 60) * t / 100.0);
        for (int dx = -1; dx <= 1; ++dx)
            if (const QColor c = surface.pixelColor(p + QPoint(dx, 0));
                c.red() > 240 && c.green() > 120 && c.green() < 215 && c.blue() > 120)
                ++paleOnJoin;
    }
    EXPECT_GT(paleOnJoin, 20);
    EXPECT_EQ(surface.pixelColor(at(45, 60) + QPoint(0, 2)), pale);
    EXPECT_TRUE(editor.picMask->showPoints());

    // Thousands of lines take the quick way and are still drawn in ink.
    std::string spiral;
    for (int i = 0; i < 5000; ++i)
        spiral += std::to_string(50 + 40.0 * i / 5000 * std::cos(i / 50.0)) + "," +
                  std::to_string(50 + 40.0 * i / 5000 * std::sin(i / 50.0)) + "\r\n";
    writeFile(testProgramFolder() + "/font/Anatomy/201", spiral);
    editor.openLetter(201);
    const QImage dense = editor.picMask->render(QSize(600, 600));
    int ink = 0;
    for (int y = 0; y < dense.height(); ++y)
        for (int x = 0; x < dense.width(); ++x) ink += dense.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(ink, 10000);

    // Four hundred points: no marks by default, the switch brings them back.
    editor.openLetter(200);
    EXPECT_FALSE(editor.picMask->showPoints());
    EXPECT_FALSE(editor.sample->chkPoints->isChecked());
    QApplication::processEvents();
    saveScreenshot(&editor, "frmFontPaint_many_points");
    editor.sample->chkPoints->click();
    EXPECT_TRUE(editor.picMask->showPoints());
}

TEST(frmFontPaint, PointsGoBetweenFontsAndTakeTypedPlacesMirrorsAndScales) {
    makeFont("One", {{65, "10,10\r\n20,10\r\n20,30\r\n"}});
    auto from = std::make_unique<frmFontPaint>(testSession());
    makeFont("Two", {{66, "50,50\r\n"}});
    frmFontPaint to(testSession());
    selectPoint(*from, 1);
    from->spsPoint->setCurrentRow(2, QItemSelectionModel::Select);
    from->mnuCopy_Click();
    from.reset();  // the clipboard outlives the window it was copied in
    selectPoint(to, 0);
    to.mnuPaste_Click();
    EXPECT_EQ(shownPoints(to), (Lines{"50,50", "20,10", "20,30"}));
    EXPECT_EQ(to.letter().selection, (std::vector<std::size_t>{1, 2}));

    to.mnuMirror_Click(false);  // top to bottom about their middle
    EXPECT_EQ(shownPoints(to), (Lines{"50,50", "20,30", "20,10"}));
    testDialogs().inputAnswers = {"3", "0"};
    to.mnuScale_Click();
    EXPECT_EQ(shownPoints(to), (Lines{"50,50", "20,50", "20,-10"}));
    to.mnuScale_Click();  // not above zero: a message, nothing changed
    EXPECT_EQ(testDialogs().calls.back().kind, "message");
    EXPECT_EQ(shownPoints(to), (Lines{"50,50", "20,50", "20,-10"}));

    selectPoint(to, 0);
    to.txtX->setValue(12.345);
    QTest::keyClick(to.txtX, Qt::Key_Enter);
    EXPECT_EQ(shownPoints(to)[0], "12.35,50");
    QApplication::clipboard()->setText(QStringLiteral("no points here, sorry"));
    to.mnuPaste_Click();
    EXPECT_EQ(statusUtf8(to), "/в буфере обмена нет точек буквы");
    // Each command was one step.
    for (int i = 0; i < 4; ++i) to.mnuUndo_Click();
    EXPECT_EQ(shownPoints(to), Lines{"50,50"});
}
