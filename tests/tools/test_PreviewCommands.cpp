// vezor-gcode --check, --read and --png, run as the user runs them.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>

#include "TestSupport.h"
#include "ToolRun.h"
#include "lib/ProgramFolder.h"

namespace {

QString file(const std::string& name, const std::string& bytes) {
    const std::string path = joinPath(testProgramFolder(), name);
    writeFile(path, bytes);
    return QString::fromStdString(path);
}

QString pathOf(const std::string& name) {
    return QString::fromStdString(joinPath(testProgramFolder(), name));
}

// True when the pixel or one next to it has the colour.
bool near(const QImage& image, int x, int y, QRgb colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(x + dx, y + dy) && image.pixel(x + dx, y + dy) == colour) return true;
    return false;
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

TEST(VezorGcodeCheck, PrintsRecordsAndBoundsOrTheReadersMessage) {
    const Outcome ok = vezorGcode(
        {"--check", file("ok.gcode", "%\r\nG0Z5\r\nG0X10.5Y-3\r\nG1Z-1\r\nG1X-2,25Y40\r\n")});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "records 5 bounds -2.25 -3 10.5 40\n");

    const Outcome bad = vezorGcode(
        {"--check", file("bad.gcode", "G1X1Y1\nG1X5Y 5\nG1X2Y2\n"), "--png", pathOf("bad.png")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err,
              "Файл скорее всего не является VEzor,\nнайдены непонятные строки \n'G1X5Y 5'\n");
    EXPECT_FALSE(QFileInfo::exists(pathOf("bad.png"))) << "no picture of a file that fails";

    const Outcome missing = vezorGcode({"--check", pathOf("missing.gcode")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("missing.gcode"), std::string::npos) << missing.err;
}

TEST(VezorGcodeRead, PrintsThePathsExtentAndTheLinesItCouldNotRun) {
    // In inches: a circle of radius 12.7 mm about X 38.1 mm, then on to X 50.8 mm.
    const Outcome circle =
        vezorGcode({"--read", file("circle.nc", "G20 G0 X1\nG2 I0.5 F10\n#1=2\nG1 X2\n")});
    EXPECT_EQ(circle.status, 3);
    EXPECT_EQ(circle.out, "records 4 bounds 0 -12.7 50.8 12.7\n");
    EXPECT_EQ(circle.err, "строка 3: #1=2 — параметры # и выражения [ ] не выполняются\n");

    const Outcome clean = vezorGcode({"--read", file("clean.nc", "G0 X1\nG1 Y-2 F100\n")});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "records 2 bounds 0 -2 1 0\n");

    const Outcome text = vezorGcode({"--read", file("letter.txt", "Dear reader\n")});
    EXPECT_EQ(text.status, 2);
    EXPECT_EQ(text.err,
              "Файл скорее всего не является VEzor,\nнайдены непонятные строки \n'Dear reader'\n");
}

TEST(VezorGcodePng, OneScaleForBothAxes) {
    // A stroke 100 mm long and 20 mm high: the picture shows 100 mm both ways.
    const QString gcode = file("wide.nc", "G0 X0 Y20\nG1 X100 F100\n");
    ASSERT_EQ(vezorGcode({"--read", gcode, "--png", pathOf("wide.png")}).status, 0);
    const QImage image(pathOf("wide.png"));
    // 999 pixels over 100 mm, Y 20 at the top: the stroke in the top row, nothing below Y 0.
    EXPECT_TRUE(near(image, 500, 0, kRed));
    EXPECT_TRUE(near(image, 0, 100, kGreen)) << "the travel up from the origin";
    EXPECT_EQ(image.pixel(500, 600), qRgb(255, 255, 255));
}

TEST(VezorGcodePng, DrawsAGCodeFileAtTheChosenScale) {
    const QString gcode = file("square.gcode", "G0Z5\nG0X10Y10\nG1Z-1\nG1X90Y10\nG1X90Y90\n");
    const Outcome run =
        vezorGcode({"--check", gcode, "--png", pathOf("square.png"), "--scale", "200"});
    ASSERT_EQ(run.status, 0) << run.err;
    const QImage image(pathOf("square.png"));
    ASSERT_EQ(image.size(), QSize(1000, 1000));
    // At 200 the view is X 0..45, Y 45 down to 0: the stroke along Y = 10 crosses it.
    EXPECT_TRUE(near(image, 500, 777, kRed));
    EXPECT_EQ(image.pixel(500, 500), qRgb(255, 255, 255));

    EXPECT_EQ(vezorGcode({"--check", gcode, "--scale", "20"}).status, 1);
}

TEST(VezorGcodePng, DrawsALaidOutProjectWithItsFieldBorder) {
    // One letter "L" from (10,10) down to (10,90) and right to (60,90), 50 mm high in a 100 mm
    // field: the stroke runs at X 5 from Y -5 to -45 and along Y -45 to X 30.
    const std::string font = joinPath(testProgramFolder(), "font/One");
    writeFile(joinPath(font, "76"), "10,10\r\n10,90\r\n60,90\r\n");
    const QString project =
        file("one.txt", "10//spacing\r\n100//field\r\n50//height\r\n1//width\r\nL\r\n");
    const Outcome run = vezorGcode({"--font", QString::fromStdString(font), "--out",
                                    pathOf("one.nc"), "--png", pathOf("one.png"), project});
    ASSERT_EQ(run.status, 0) << run.err;
    const QImage image(pathOf("one.png"));
    ASSERT_EQ(image.size(), QSize(1000, 1000));
    // 999 pixels over 100 mm, Y 0 at the top.
    EXPECT_TRUE(near(image, 50, 250, kRed)) << "down stroke";
    EXPECT_TRUE(near(image, 175, 450, kRed)) << "foot";
    EXPECT_FALSE(near(image, 500, 250, kRed));
    for (int y : {0, 500, 999}) EXPECT_EQ(image.pixel(999, y), kBlue) << y;
    EXPECT_NE(image.pixel(998, 500), kBlue);

    // A second line: the travel after the line-end lift is green, as in the window.
    const QString twoLines =
        file("two.txt", "10//spacing\r\n100//field\r\n50//height\r\n1//width\r\nL\r\nL\r\n");
    ASSERT_EQ(vezorGcode({"--font", QString::fromStdString(font), "--out", pathOf("two.nc"),
                          "--png", pathOf("two.png"), twoLines})
                  .status,
              0);
    const QImage second(pathOf("two.png"));
    // From the first foot's end (30, -45) back up to the second stroke's top (5, -15).
    EXPECT_TRUE(near(second, 175, 300, kGreen)) << "travel between the lines";
}

}  // namespace
