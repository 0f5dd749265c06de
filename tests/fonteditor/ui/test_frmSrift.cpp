#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTimer>
#include <set>

#include "FontFixtures.h"
#include "fonteditor/FontPage.h"
#include "fonteditor/ui/FontPageSurface.h"
#include "fonteditor/ui/frmFontPaint.h"
#include "fonteditor/ui/frmSrift.h"
#include "main/ui/frmGCode.h"

namespace {
// Magenta drawn over white, with or without smoothing; black and blue never qualify.
bool isMagenta(QRgb p) { return qRed(p) > 150 && qBlue(p) > 150 && qGreen(p) < 120; }

QRect magentaBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isMagenta(image.pixel(x, y))) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

const FontPageSurface::Text* textAt(const frmSrift& viewer, fontpage::PagePoint at) {
    for (const auto& t : viewer.picpic->texts())
        if (std::abs(t.topLeft.x - at.x) < 1e-9 && std::abs(t.topLeft.y - at.y) < 1e-9) return &t;
    return nullptr;
}
}  // namespace

// A viewer is opened to look at the letters: the first page is there at once.
TEST(frmSrift, OpensOnTheFirstPageWithItsLettersDrawn) {
    makeFont("F", {{65, "0,0\r\n100,100\r\n"}});
    frmSrift viewer(testSession());
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Просмотр/выбор шрифта [font/F]"));
    EXPECT_EQ(viewer.PageWidth, 1000);
    EXPECT_EQ(viewer.PageHeight, 1000);
    EXPECT_TRUE(viewer.opt[0]->isChecked());
    EXPECT_FALSE(viewer.opt[1]->isChecked());
    EXPECT_EQ(viewer.opt[0]->text(), QStringLiteral("0-127"));
    EXPECT_EQ(viewer.opt[1]->objectName(), QStringLiteral("opt_2"));
    EXPECT_TRUE(viewer.picpic->gridShown());
    EXPECT_EQ(textAt(viewer, fontpage::codeTextPosition(4, 1))->text, QStringLiteral("65"));
    EXPECT_EQ(viewer.picpic->polylines().size(), 1u);
}

TEST(frmSrift, FirstPageDrawsTheOnlyLetterInItsCell) {
    makeFont("Only65", {{65, "0,0\r\n100,0\r\n100,100\r\n0,100\r\n0,0\r\n"}});
    frmSrift viewer(testSession());
    viewer.opt[0]->click();
    EXPECT_TRUE(viewer.opt[0]->isChecked());
    EXPECT_TRUE(viewer.picpic->gridShown());
    ASSERT_EQ(viewer.picpic->polylines().size(), 1u);
    // A letter point at (0,0) lands at the cell's letter origin.
    const auto origin = fontpage::letterOrigin(4, 1);
    EXPECT_NEAR(viewer.picpic->polylines()[0][0].x, origin.x, 1e-3);
    EXPECT_NEAR(viewer.picpic->polylines()[0][0].y, origin.y, 1e-3);

    // Column 4 spans x 500..625 and row 1 spans y 62.5..125; the 40-unit
    // drawing starts 89.3 units into the cell and may reach 4.3 units past it.
    const QImage page = viewer.picpic->render(QSize(1000, 1000));
    const QRect bounds = magentaBounds(page);
    ASSERT_FALSE(bounds.isEmpty());
    EXPECT_GE(bounds.left(), 587);
    EXPECT_LE(bounds.right(), 631);
    EXPECT_GE(bounds.top(), 76);
    EXPECT_LE(bounds.bottom(), 120);
    EXPECT_GE(bounds.width(), 38);  // the whole square, not a stray pixel
    EXPECT_GE(bounds.height(), 38);

    // Every cell shows its code; the cell of 65 also its character.
    int codes = 0;
    for (const auto& t : viewer.picpic->texts())
        if (t.colour == QColor(Qt::black)) ++codes;
    EXPECT_EQ(codes, 128);
    const auto* code = textAt(viewer, fontpage::codeTextPosition(4, 1));
    ASSERT_TRUE(code);
    EXPECT_EQ(code->text, QStringLiteral("65"));
    const auto* character = textAt(viewer, fontpage::characterTextPosition(4, 1));
    ASSERT_TRUE(character);
    EXPECT_EQ(character->text, QStringLiteral("A"));
    EXPECT_EQ(character->colour, QColor(0, 0, 255));

    // Clicking on the page changes nothing.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), QPointF(10, 10),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewer.picpic, &release);
    EXPECT_EQ(viewer.picpic->polylines().size(), 1u);
}

TEST(frmSrift, SecondPageStartsAt128) {
    const std::string folder = makeFont("Only65", {{65, "10,10\r\n90,90\r\n"}});
    frmSrift viewer(testSession());
    viewer.opt_Click(2);
    EXPECT_TRUE(viewer.opt[1]->isChecked());
    EXPECT_EQ(textAt(viewer, fontpage::codeTextPosition(0, 0))->text, QStringLiteral("128"));
    EXPECT_EQ(textAt(viewer, fontpage::codeTextPosition(4, 0))->text, QStringLiteral("192"));
    EXPECT_EQ(textAt(viewer, fontpage::characterTextPosition(4, 0))->text, QStringLiteral("А"));
    EXPECT_EQ(textAt(viewer, fontpage::codeTextPosition(7, 15))->text, QStringLiteral("255"));
    EXPECT_EQ(textAt(viewer, fontpage::characterTextPosition(7, 15))->text, QStringLiteral("я"));
    EXPECT_TRUE(viewer.picpic->polylines().empty());
    EXPECT_TRUE(magentaBounds(viewer.picpic->render(QSize(500, 500))).isEmpty());

    // Nothing is kept between choices: a letter written meanwhile shows.
    writeFile(folder + "/192", "0,0\r\n50,50\r\n");
    viewer.opt_Click(2);
    ASSERT_EQ(viewer.picpic->polylines().size(), 1u);
    EXPECT_NEAR(viewer.picpic->polylines()[0][1].x, fontpage::letterOrigin(4, 0).x + 20, 1e-3);
}

TEST(frmSrift, EmptyOrBrokenLettersDrawWhatTheyCan) {
    makeFont("F", {{48, ""}, {49, "nothing\r\n"}, {50, "10,10\r\nx\r\n20,20\r\n"}});
    frmSrift viewer(testSession());
    viewer.opt_Click(1);
    // «0» and «1» have nothing to draw; the line without "," in «2» is passed over.
    ASSERT_EQ(viewer.picpic->polylines().size(), 2u);
    EXPECT_TRUE(viewer.picpic->polylines()[0].empty());
    EXPECT_EQ(viewer.picpic->polylines()[1].size(), 2u);
}

// The pictures show each of the font's letters in its own cell and no drawing
// in the others: a blank or misplaced page fails.
TEST(frmSrift, ScreenshotWithASampleFont) {
    makeFont("Sample", sampleLetters());
    frmSrift viewer(testSession());
    viewer.show();
    const auto expectLettersIn = [&](const QImage& shot, const std::set<int>& codes, int first) {
        ASSERT_FALSE(shot.isNull());
        const QPoint page = viewer.picpic->mapTo(&viewer, QPoint(0, 0));
        const double ratio = shot.width() / double(viewer.width());
        for (int column = 0; column < fontpage::kColumns; ++column) {
            for (int row = 0; row < fontpage::kRows; ++row) {
                const int code = fontpage::cellCode(first, column, row);
                const QRect cell(
                    QPoint(page.x() + column * viewer.picpic->width() / fontpage::kColumns,
                           page.y() + row * viewer.picpic->height() / fontpage::kRows) *
                        ratio,
                    QSize(viewer.picpic->width() / fontpage::kColumns,
                          viewer.picpic->height() / fontpage::kRows) *
                        ratio);
                int magenta = 0;
                for (int y = cell.top() + 1; y < cell.bottom(); ++y)
                    for (int x = cell.left() + 1; x < cell.right(); ++x)
                        magenta += isMagenta(shot.pixel(x, y));
                if (codes.count(code))
                    EXPECT_GE(magenta, 10) << "the letter " << code << " is drawn in its cell";
                else
                    EXPECT_LT(magenta, 5) << "no letter " << code;
            }
        }
    };
    viewer.opt_Click(2);
    QApplication::processEvents();
    expectLettersIn(QImage(QString::fromStdString(saveScreenshot(&viewer, "frmSrift_128"))),
                    {192, 193, 206}, 128);
    viewer.opt_Click(1);
    viewer.resize(500, 560);
    QApplication::processEvents();
    expectLettersIn(QImage(QString::fromStdString(saveScreenshot(&viewer, "frmSrift_0_small"))),
                    {49, 65, 90}, 0);
}

TEST(frmSrift, MainWindowOpensTheViewerModally) {
    makeFont("Main", {{65, "1,1\r\n"}});
    frmGCode main(testSession());
    main.Form_Load();
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (auto* viewer = qobject_cast<frmSrift*>(QApplication::activeModalWidget())) {
            opened = true;
            viewer->close();
        }
    });
    main.nmuOpen_Click();
    EXPECT_TRUE(opened);
    EXPECT_EQ(testSession().CurrentFont(), "font/Main");
}

TEST(frmSrift, ScreenshotWithTheShippedMainFont) {
    useShippedMainFont();
    frmSrift viewer(testSession());
    viewer.resize(900, 1000);
    viewer.show();
    viewer.opt_Click(2);
    QApplication::processEvents();
    saveScreenshot(&viewer, "frmSrift_shipped_128");
    EXPECT_GT(viewer.picpic->polylines().size(), 60u) << "Cyrillic letters are drawn";
}

TEST(frmSrift, AClickOnACellBringsUpThatLetterInTheEditor) {
    const std::string folder = makeFont("Sample", sampleLetters());
    frmSrift viewer(testSession());
    viewer.resize(800, 820);
    viewer.show();
    QApplication::processEvents();
    const auto click = [&](int column, int row) {
        const QPointF at((column + 0.5) * viewer.picpic->width() / 8.0,
                         (row + 0.5) * viewer.picpic->height() / 16.0);
        QMouseEvent release(QEvent::MouseButtonRelease, at, viewer.picpic->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewer.picpic, &release);
    };
    click(0, 3);  // a control code the font has no letter for
    EXPECT_FALSE(viewer.editor());
    click(4, 1);  // «A»
    frmFontPaint* editor = viewer.editor();
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->cboLiter->currentData().toInt(), 65);
    EXPECT_EQ(editor->letter().points.front(), "8,100");

    // The same editor goes to the next letter; a letter saved there shows on the page.
    click(5, 10);  // «Z»
    EXPECT_EQ(viewer.editor(), editor);
    EXPECT_EQ(editor->cboLiter->currentData().toInt(), 90);
    const std::size_t drawn = viewer.picpic->polylines().size();
    editor->openLetter(66);  // «B», not in the font yet
    editor->selectMode(1);
    editor->picMask_MouseDown(Qt::LeftButton, 30, 30);
    editor->picMask_MouseDown(Qt::LeftButton, 60, 60);
    editor->cmdSavePoint_Click();
    EXPECT_EQ(readFile(folder + "/66"), "30,30\r\n60,60\r\n");
    EXPECT_EQ(viewer.picpic->polylines().size(), drawn + 1);

    // Unsaved edits keep the viewer open until the editor may let them go.
    editor->picMask_MouseDown(Qt::LeftButton, 70, 70);
    testDialogs().questionAnswers = {false};
    viewer.reject();
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_TRUE(editor->isVisible());
    testDialogs().questionAnswers = {true};
    viewer.reject();
    EXPECT_FALSE(viewer.isVisible());
}
