#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QListView>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "TestSupport.h"
#include "lib/MachiningSettings.h"
#include "lib/ProgramFolder.h"
#include "main/paint/PreviewPainter.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmGCode.h"

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

// A laid-out project in a 100 mm field: a lift, a travel to (10,-10), a stroke
// right to (40,-10) and down to (40,-40), a lift and a travel to (60,-60).
PenPoints projectPath() {
    PenPoints p;
    p.append({0, 0, 5}, "G0Z5,00");
    p.append({10, -10, 0}, "G1X10Y-10");
    p.append({40, -10, 0}, "G1X40Y-10");
    p.append({40, -40, 0}, "G1X40Y-40");
    p.append({0, 0, 5}, "G0Z5,00");
    p.append({60, -60, 0}, "G1X60Y-60");
    return p;
}

QImage paintProject(const char* scale, std::size_t count = 1000) {
    const PenPoints path = projectPath();
    EventPump pump;
    return paintPreview(QSize(1001, 1001), path, count, DrawingMode::Project,
                        previewView(ViewBounds{0, -100, 100, 0}, previewScale(scale)), 100, pump);
}

bool contains(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour) return true;
    return false;
}

TEST(PaintPreview, ProjectAtFullScaleShowsTravelStrokeAndBorder) {
    // 1001 pixels over 100 mm: 10 pixels a millimetre, Y downwards from 0.
    const QImage image = paintProject("100");
    EXPECT_EQ(image.pixel(50, 50), kGreen) << "travel from the origin to the stroke";
    EXPECT_EQ(image.pixel(250, 100), kRed) << "stroke along Y = -10";
    EXPECT_EQ(image.pixel(400, 250), kRed) << "stroke down X = 40";
    EXPECT_EQ(image.pixel(500, 500), kGreen) << "travel after the second lift";
    EXPECT_EQ(image.pixel(250, 250), kWhite);
    for (int y : {0, 500, 1000}) EXPECT_EQ(image.pixel(1000, y), kBlue) << y;
    EXPECT_EQ(image.pixel(999, 500), kWhite);
}

TEST(PaintPreview, DoubleScaleShowsTheTopLeftQuarterWithoutTheBorder) {
    // 50 mm over 1001 pixels: 20 pixels a millimetre; the border at 100 mm lies outside.
    const QImage image = paintProject("200");
    EXPECT_EQ(image.pixel(500, 200), kRed);
    EXPECT_EQ(image.pixel(800, 500), kRed);
    EXPECT_EQ(image.pixel(100, 100), kGreen);
    EXPECT_FALSE(contains(image, kBlue));
}

TEST(PaintPreview, StopsAtTheLimitAndSurvivesAFlatView) {
    const QImage firstStroke = paintProject("100", 4);
    EXPECT_EQ(firstStroke.pixel(250, 100), kRed);
    EXPECT_EQ(firstStroke.pixel(400, 250), kWhite) << "record 5 is not drawn";

    PenPoints column;
    column.clear();
    column.append({0, -10, 0}, "G1X0Y-10");
    column.append({0, -30, 0}, "G1X0Y-30");
    EventPump pump;
    const QImage flat = paintPreview(QSize(101, 101), column, 2, DrawingMode::GCodeFile,
                                     previewView(ViewBounds{0, -30, 0, 0}, 1.0), 0, pump);
    EXPECT_EQ(flat.pixel(50, 70), qRgb(0, 0, 0)) << "a column at X 0 in the middle";

    const QImage nothing = paintPreview(QSize(0, 0), column, 2, DrawingMode::GCodeFile,
                                        previewView(ViewBounds{}, 1.0), 0, pump);
    EXPECT_FALSE(nothing.isNull());
}

// The main window with a G-code file read into it.
class PreviewWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        window.Form_Load();
        window.show();
        window.resize(1000, 700);
        QApplication::processEvents();
    }

    std::string gcodeFile(const std::string& name, const std::string& text) {
        const std::string path = joinPath(testProgramFolder(), name);
        writeFile(path, text);
        return path;
    }

    // The colour around the point (x, y) in millimetres on the pic: the wanted colour
    // when a pixel next to it has it (a slanted line may pass one pixel aside),
    // otherwise the pixel's own colour.
    QRgb at(double x, double y, QRgb wanted = kRed) const {
        const QImage& image = window.pic->image();
        const PixelPoint p = window.pic->transform().toPixel(x, y);
        const int px = static_cast<int>(std::floor(p.x + 0.5));
        const int py = static_cast<int>(std::floor(p.y + 0.5));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (image.valid(px + dx, py + dy) && image.pixel(px + dx, py + dy) == wanted)
                    return wanted;
        return image.pixel(px, py);
    }

    frmGCode window{testSession()};
};

const char* kSquare = "G0Z5\r\nG0X10Y10\r\nG1Z-1\r\nG1X90Y10\r\nG1X90Y90\r\nG1X10Y90\r\nG0Z5\r\n";

TEST_F(PreviewWindow, ReadFileListsItsLinesAndDrawsThemAll) {
    window.ReadGCodeFile(gcodeFile("square.gcode", kSquare));
    EXPECT_TRUE(testDialogs().calls.empty());
    EXPECT_EQ(window.DrawMode, DrawingMode::GCodeFile);
    ASSERT_EQ(testSession().penPoints()->count(), 7u);
    EXPECT_EQ(window.spsModel->shown(), testSession().penPoints());
    EXPECT_EQ(window.spsModel->rowCount(), 7);
    EXPECT_EQ(window.spsModel->index(3).data().toString(), QStringLiteral("G1X90Y10"));
    EXPECT_EQ(testSession().viewBounds(), (ViewBounds{0, 0, 90, 90}));

    window.cmdPaint_Click();
    EXPECT_EQ(window.DrawLimit, 7);
    EXPECT_EQ(window.pic->image().size(), window.pic->pictureSize());
    EXPECT_EQ(at(5, 5, kGreen), kGreen);
    EXPECT_EQ(at(50, 10), kRed);
    EXPECT_EQ(at(90, 50), kRed);
    EXPECT_EQ(at(50, 90), kRed);
    EXPECT_NE(at(50, 50), kRed);
    EXPECT_NE(at(50, 50), kGreen);
    saveScreenshot(&window, "frmGCode_preview");
}

TEST_F(PreviewWindow, DoubleClickDrawsTheRecordsBeforeTheEntry) {
    window.ReadGCodeFile(gcodeFile("square.gcode", kSquare));
    window.sps->setCurrentIndex(window.spsModel->index(5));
    window.sps_DblClick();
    EXPECT_EQ(window.DrawLimit, 5);
    EXPECT_EQ(at(90, 50), kRed) << "record 5";
    EXPECT_NE(at(50, 90), kRed) << "record 6 is the entry double-clicked";

    window.sps->setCurrentIndex(window.spsModel->index(0));
    window.sps_DblClick();
    EXPECT_EQ(window.DrawLimit, 3000);
    EXPECT_EQ(at(50, 90), kRed) << "a limit past the end draws all";
}

TEST_F(PreviewWindow, FailedReadKeepsTheListAndReportsTheLine) {
    window.project().FieldWidth = 0;
    window.ReadGCodeFile(gcodeFile("square.gcode", kSquare));
    const auto shown = window.spsModel->shown();
    testSession().viewBounds() = ViewBounds{0, -100, 100, 0};

    window.ReadGCodeFile(gcodeFile("text.gcode", "G1X120Y5\nG1X-5Y3\n(Text)\nG1X1Y1\n"));
    ASSERT_EQ(testDialogs().calls.size(), 2u);
    EXPECT_EQ(testDialogs().calls[0].text,
              w("Файл не читается как программа VEzor.\rНепонятна строка 3 (после буквы X, Y "
                "или Z нет числа):\r'(Text)'"));
    EXPECT_EQ(testDialogs().calls[0].title, AppCaption());
    EXPECT_EQ(testDialogs().calls[1].kind, "question") << "No: the file stays unread";
    EXPECT_EQ(window.DrawMode, DrawingMode::None);
    EXPECT_EQ(window.spsModel->shown(), shown) << "the list keeps the file read before";
    ASSERT_EQ(testSession().penPoints()->count(), 3u);
    EXPECT_EQ(testSession().penPoints()->line(3), "(Text)");
    EXPECT_EQ(testSession().viewBounds(), (ViewBounds{-5, 0, 120, 5}))
        << "from the origin, as far as read";

    testDialogs().reset();
    const auto partial = testSession().penPoints();
    window.ReadGCodeFile(joinPath(testProgramFolder(), "missing.gcode"));
    ASSERT_EQ(testDialogs().calls.size(), 1u);
    EXPECT_NE(testDialogs().calls[0].text.find("missing.gcode"), std::string::npos);
    EXPECT_EQ(testSession().penPoints(), partial)
        << "a file that cannot be opened changes no records";
    EXPECT_EQ(window.DrawMode, DrawingMode::None);
}

TEST_F(PreviewWindow, AFileReadAfterAProjectIsShownOnItsOwnWithTheProjectsBorder) {
    testSession().viewBounds() = ViewBounds{0, -100, 100, 0};
    window.project().FieldWidth = 100;
    window.ReadGCodeFile(gcodeFile("three.nc", "G0X10Y-10\nG1Z-1\nG1X120Y-20\n"));
    EXPECT_EQ(window.spsModel->rowCount(), 3);
    EXPECT_EQ(testSession().viewBounds(), (ViewBounds{0, -20, 120, 0}))
        << "from the origin, not the project's";
    EXPECT_EQ(at(100, -10, kBlue), kBlue) << "the last project's border";
    EXPECT_EQ(at(65, -15), kRed);
}

TEST_F(PreviewWindow, LaidOutProjectIsDrawnRedWithItsFieldBorderAndKeptOnResize) {
    // "L": from (10,10) down to (10,90) and right to (60,90); 50 mm high in a 100 mm field.
    writeFile(joinPath(testProgramFolder(), "font/One/76"), "10,10\r\n10,90\r\n60,90\r\n");
    window.Form_Load();
    const std::string path = joinPath(testProgramFolder(), "one.txt");
    writeFile(path, "10//spacing\r\n100//field\r\n50//height\r\n1//width\r\nL\r\n");
    window.project().ProjectPath = path;
    window.DrawMode = DrawingMode::Project;
    window.LoadProject(path);
    ASSERT_EQ(testSession().viewBounds(), (ViewBounds{0, -100, 100, 0}));
    window.cmdPaint_Click();

    EXPECT_EQ(at(5, -25), kRed) << "down stroke at X 5";
    EXPECT_EQ(at(20, -45), kRed) << "foot along Y -45";
    EXPECT_NE(at(50, -25), kRed);
    EXPECT_EQ(at(100, -50, kBlue), kBlue);
    saveScreenshot(&window, "frmGCode_project");

    window.resize(1200, 800);
    QApplication::processEvents();
    EXPECT_EQ(window.pic->image().size(), window.pic->pictureSize()) << "drawn anew";
    EXPECT_EQ(at(5, -25), kRed) << "the picture follows when the window grows";
}

// Runs `check` on the modal window that `open` shows, then closes it.
template <typename Open, typename Check>
void withModal(Open open, Check check) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        check(dialog);
        dialog->reject();
    });
    open();
    EXPECT_TRUE(seen);
}

TEST_F(PreviewWindow, MenuCommandsOpenTheirWindowsModally) {
    withModal([&] { window.mnuParam_Click(); },
              [](QDialog* d) { EXPECT_EQ(d->objectName(), QStringLiteral("frmParam")); });
    withModal([&] { window.mnuHelp_Click(); },
              [](QDialog* d) { EXPECT_EQ(d->objectName(), QStringLiteral("frmAutor")); });

    window.DrawLimit = 42;
    window.mnuOpenCode_Click();
    EXPECT_EQ(testDialogs().fileChoosings, 1);
    EXPECT_EQ(window.DrawLimit, 0) << "a new file is drawn whole";
    EXPECT_TRUE(window.cmdPaint->isEnabled()) << "enabled even when the choice is cancelled";
    EXPECT_EQ(testSession().penPoints()->count(), 1u);
}

}  // namespace
