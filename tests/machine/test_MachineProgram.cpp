// Programs as they go to the machine: lines cleaned, their path and extent as
// the controller runs them, the check against the machine's travel, the line
// the machine runs, the lines of a resume.
#include <gtest/gtest.h>

#include "lib/Win1251.h"
#include "machine/MachineProgram.h"
#include "machine/ProgramFit.h"
#include "machine/ResumePlan.h"

namespace {

GrblSettings machine(double travel, bool softLimits) {
    GrblSettings s;
    s.values = {{20, softLimits ? 1.0 : 0.0}, {130, travel}, {131, travel}, {132, 50}};
    return s;
}

}  // namespace

TEST(MachineProgram, LinesWithoutCommentsAndBlanksKeepTheirNumbers) {
    const MachineProgram p = MachineProgram::fromText(
        "(writing_mm 28.9)\r\n%\r\nG21 G90 G17\r\n\r\nG0 Z5.00 ; lift\r\nG1X1(a)Y2 F500\n");
    ASSERT_EQ(p.size(), 3U);
    EXPECT_EQ(p.line(0), "G21G90G17");
    EXPECT_EQ(p.line(1), "G0Z5.00");
    EXPECT_EQ(p.line(2), "G1X1Y2F500");
    EXPECT_EQ(p.sourceLine(0), 3U);
    EXPECT_EQ(p.sourceLine(2), 6U);
    EXPECT_EQ(p.indexOfSourceLine(4), 1U);
    EXPECT_GT(p.totalSeconds(), 0);
    EXPECT_LE(p.secondsBefore(2), p.totalSeconds());
    try {
        MachineProgram::fromText("G21\nG1X" + std::string(90, '1') + "\n");
        FAIL() << "a line longer than GRBL's buffer was taken";
    } catch (const MachineProgramError& e) {
        EXPECT_EQ(win1251::toUtf8(e.message()).rfind("Строка 2 длиннее", 0), 0U) << e.message();
    }
}

TEST(MachineProgram, ExtentFollowsUnitsIncrementsAndArcs) {
    // Inches, then an incremental move, then a half circle of radius 10 about
    // (20, 0) from (10, 0) to (30, 0), clockwise over the top.
    const MachineProgram p = MachineProgram::fromText(
        "G20G90\nG0X1Y1\nG21\nG91G1X5F100\nG90G0X10Y0Z-1\nG2X30Y0I10J0\nG53G0X-300\n");
    const ProgramExtent& e = p.extent();
    EXPECT_TRUE(e.used[0] && e.used[1] && e.used[2]);
    EXPECT_DOUBLE_EQ(e.min[0], 10);
    EXPECT_DOUBLE_EQ(e.max[0], 30.4);  // 25.4 + 5
    EXPECT_DOUBLE_EQ(e.min[1], 0);
    EXPECT_NEAR(e.max[1], 25.4, 1e-9);
    // Counter-clockwise the same ends pass under the centre.
    const MachineProgram under = MachineProgram::fromText("G0X10Y0\nG3X30Y0R10F100\n");
    EXPECT_NEAR(under.extent().min[1], -10, 1e-9);
    EXPECT_NEAR(under.extent().max[1], 0, 1e-9);
    EXPECT_FALSE(under.extent().used[2]);
}

TEST(MachineProgram, FitAgainstTravelWithAndWithoutSoftLimits) {
    const MachineProgram p = MachineProgram::fromText("G0X0Y0Z5\nG1X150Y-20Z-0.5F500\n");
    // Soft limits off: only the size counts.
    EXPECT_FALSE(CheckProgramFits(p.extent(), machine(200, false), {}));
    const auto tooWide = CheckProgramFits(p.extent(), machine(120, false), {});
    ASSERT_TRUE(tooWide);
    EXPECT_EQ(win1251::toUtf8(*tooWide),
              "Программа больше хода станка по оси X на 30 мм: её размер 150 мм, ход станка "
              "120 мм ($130).");
    // Soft limits on: machine space is -travel..0; work zero at machine -180.
    EXPECT_FALSE(CheckProgramFits(p.extent(), machine(200, true), {-180, -30, -10}).has_value());
    const auto over = CheckProgramFits(p.extent(), machine(200, true), {-100, -30, -10});
    ASSERT_TRUE(over);
    EXPECT_NE(win1251::toUtf8(*over).find("по оси X на 50 мм в плюс"), std::string::npos)
        << win1251::toUtf8(*over);
    const auto low = CheckProgramFits(p.extent(), machine(200, true), {-180, -190, -10});
    ASSERT_TRUE(low);
    EXPECT_NE(win1251::toUtf8(*low).find("по оси Y на 10 мм в минус"), std::string::npos)
        << win1251::toUtf8(*low);
    // Z: 5 above a work zero at -2 goes 3 mm beyond machine zero.
    const auto z = CheckProgramFits(p.extent(), machine(200, true), {-180, -30, -2});
    ASSERT_TRUE(z);
    EXPECT_NE(win1251::toUtf8(*z).find("по оси Z на 3 мм"), std::string::npos);
    EXPECT_TRUE(CheckProgramFits(p.extent(), GrblSettings{}, {}));  // travel unknown
}

TEST(MachineProgram, ResumeComesBackThroughTheSafeHeightWithTheToolAsTheProgramHadIt) {
    // A servo pen: up is M3 S50, down M3 S30, each with its pause.
    const MachineProgram pen = MachineProgram::fromText(
        "G21G90G17\nM3S50\nG4P0.2\nG0X1Y1\nM3S30\nG4P0.2\nG1X2Y1F800\nG1X3Y2\nM3S50\nG4P0.2\n"
        "G0X5Y5\nM3S30\nG4P0.2\nG1X6Y5F800\n");
    EXPECT_EQ(StrokeStart(pen, 7), 4U);  // G1X3Y2 belongs to the stroke from M3S30
    EXPECT_EQ(ResumeLines(pen, 4),
              (std::vector<std::string>{"G21G90G17", "M3S50", "G4P0.2", "G0X1Y1", "G0"}));
    EXPECT_EQ(ResumeLines(pen, 7),
              (std::vector<std::string>{"G21G90G17", "M3S50", "G4P0.2", "G0X2Y1", "M3S30", "G4P0.2",
                                        "G1F800"}));
    // An engraver in inches: up to the highest Z, plunge at the program's plunge feed.
    const MachineProgram router = MachineProgram::fromText(
        "G20G90\nG0Z0.2\nM3S9000\nG0X1Y1\nG1Z-0.01F4\nG1X2Y1F20\nG0Z0.5\n");
    EXPECT_EQ(ResumeLines(router, 5),
              (std::vector<std::string>{"G21G90G17", "G0Z12.7", "M3S9000", "G0X25.4Y25.4",
                                        "G1Z-0.254F101.6", "G1F101.6", "G20"}));
    // A laser travels at power 0: its frame runs at the low framing power, then off.
    const MachineProgram laser =
        MachineProgram::fromText("G21G90G17\nM4S0\nG0X1Y2\nS1000\nG1X4Y2F500\nG1X4Y6\nS0\nM5\n");
    EXPECT_TRUE(ReadToolHandling(laser).laser);
    EXPECT_EQ(FrameLines(laser, 600, 10),
              (std::vector<std::string>{"G21G90", "G0X1Y2", "M3S10", "G1X4Y2F600", "G1X4Y6",
                                        "G1X1Y6", "G1X1Y2", "M5"}));
    EXPECT_EQ(FrameLines(router, 600, 10)[1], "G0Z12.7");
}

TEST(MachineProgram, PathFollowsOffsetsAndArcsAsTheControllerDoes) {
    // G92 inside the program: X150 after it is X250 where the program began.
    const MachineProgram shifted =
        MachineProgram::fromText("G21G90\nG0Z5\nG0X100\nG92X0\nG0X150\nG10L20P1Y0\nG0Y10\n");
    EXPECT_DOUBLE_EQ(shifted.extent().max[0], 250);
    EXPECT_DOUBLE_EQ(shifted.extent().min[0], 100);
    // Run from a machine standing at X0 of a 200 mm travel: refused with the start counted.
    GCodeInterpreter::State start;
    const ProgramPath onMachine(shifted, start);
    const auto refusal = CheckPathFits(onMachine, machine(200, false));
    ASSERT_TRUE(refusal);
    EXPECT_NE(win1251::toUtf8(*refusal).find("по оси X на 50 мм"), std::string::npos)
        << win1251::toUtf8(*refusal);
    // A program whose own size is nothing, but which leaves the machine from where it stands.
    const MachineProgram away = MachineProgram::fromText("G21G90\nG0Z5\nG1X500Y-10F500\nM30\n");
    EXPECT_FALSE(CheckProgramFits(away.extent(), machine(200, false), {}));
    const auto leaves = CheckPathFits(ProgramPath(away, start), machine(200, false));
    ASSERT_TRUE(leaves);
    EXPECT_NE(win1251::toUtf8(*leaves).find("по оси X на 300 мм"), std::string::npos)
        << win1251::toUtf8(*leaves);
    // Offsets the machine keeps: G54 at machine X-150, the tool at machine X-140.
    start.position = {-140, -10, 0};
    start.systems[0] = {-150, -100, -20};
    EXPECT_DOUBLE_EQ(ProgramPath(away, start).extent().max[0], 350);
    EXPECT_FALSE(CheckPathFits(ProgramPath(MachineProgram::fromText("G0X140Y90Z20\n"), start),
                               machine(200, true)));
    EXPECT_TRUE(CheckPathFits(ProgramPath(MachineProgram::fromText("G0X151\n"), start),
                              machine(200, true)));
}

TEST(MachineProgram, TheLineTheMachineRunsFromWhereItStands) {
    // A half circle over the top from (10, 0) to (30, 0), then a straight line on.
    const MachineProgram arc =
        MachineProgram::fromText("G21G90\nG0X10Y0\nG2X30Y0I10J0F100\nG1X40Y0\nG1X40Y10\n");
    const ProgramPath& path = arc.path();
    EXPECT_EQ(path.executingLine(0, 5, 15, {20, 10, 0}), 2U);  // on the arc's top
    EXPECT_EQ(path.executingLine(0, 5, 15, {30, 0, 0}), 3U);   // its end: the next is due
    EXPECT_EQ(path.executingLine(0, 5, 15, {40, 5, 0}), 4U);
    EXPECT_EQ(path.executingLine(0, 2, 15, {10, 0, 0}), 2U);  // all it took is done
    // GRBL takes lines up to its planner's depth before running them: the
    // line run is among the last depth + 1 moving lines taken.
    std::string text = "G21G90\n";
    for (int i = 1; i <= 40; ++i) text += "G1X" + std::to_string(i) + "F500\n";
    const MachineProgram lines = MachineProgram::fromText(text);
    EXPECT_EQ(lines.path().executingLine(0, 41, 15, {30, 0, 0}), 31U);
    EXPECT_EQ(lines.path().executingLine(0, 41, 15, {30.5, 0, 0}), 31U);
    // Off the path (moved by hand): the earliest line that may not have run.
    EXPECT_EQ(lines.path().executingLine(0, 41, 15, {30, 3, 0}), 25U);
    EXPECT_EQ(lines.path().executingLine(28, 41, 15, {30, 3, 0}), 28U);
}

TEST(MachineProgram, BytesGrblActsOnAtOnceAreRefusedOutsideComments) {
    const auto refusal = [](const std::string& text) {
        try {
            MachineProgram::fromText(text);
        } catch (const MachineProgramError& e) {
            return win1251::toUtf8(e.message());
        }
        return std::string();
    };
    EXPECT_EQ(refusal("G21\n(Табличка «Склад»!)\nG1X1F100 ; ok?\n"), "");
    EXPECT_EQ(refusal("G21\nG1X1!Y2F100\n").rfind("Строка 2 держит вне комментария знак «!»", 0),
              0U);
    EXPECT_NE(refusal("G21\n\nG1X1 Склад\n").find("Строка 3"), std::string::npos);
    EXPECT_NE(refusal("G21\n\nG1X1 Склад\n").find("0xD0"), std::string::npos);
    EXPECT_NE(refusal("G1X1~\n").find("«~»"), std::string::npos);
    EXPECT_NE(refusal("G1X1\x18\n").find("Ctrl-X"), std::string::npos);
}

TEST(MachineProgram, ResumeRefusesWhereAResetWouldHaveUndoneTheProgramsG92) {
    const MachineProgram shifted =
        MachineProgram::fromText("G21G90\nG0X10\nG92X0\nG1X5F100\nG92.1\nG1X20\n");
    EXPECT_THROW(ResumeLines(shifted, 3), MachineProgramError);
    EXPECT_NO_THROW(ResumeLines(shifted, 5));
    EXPECT_NO_THROW(ResumeLines(shifted, 1));
}
