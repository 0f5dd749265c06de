// Inputs far larger than anyone types by hand: each still gives its result,
// in time that grows with the input and memory a fixed multiple of it.
#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <string>
#include <vector>

#include "../main/TestFont.h"
#include "RobustSupport.h"
#include "TestSupport.h"
#include "font/FontStorage.h"
#include "fonteditor/FontPage.h"
#include "gcode/GCodeReader.h"
#include "lib/EventPump.h"
#include "lib/MachiningSettings.h"
#include "lib/ProgramFolder.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

namespace {

const std::string kParameters = "4.97//a\r\n100//b\r\n4.4//c\r\n0.75//d\r\n";

std::string projectFile(const std::string& body) {
    const std::string path = joinPath(testProgramFolder(), "big.txt");
    writeFile(path, kParameters + body);
    return path;
}

TEST(LargeInputs, ProjectOfAHundredThousandLines) {
    writeTestFont();
    std::string body;
    for (int i = 0; i < 100000; ++i) body += i % 100 == 0 ? "A<@XXX=10>B CD\r\n" : "AB CD\r\n";
    const std::string path = projectFile(body);

    PeakMemory peak;
    Stopwatch clock;
    EventPump pump;
    const Project project = ReadProjectFile(path, pump);
    ASSERT_EQ(project.ProjectLines.Count(), 100000u);
    EXPECT_EQ(project.ProjectLines.Item(1).Text, "AB CD");
    EXPECT_EQ(project.ProjectLines.Item(1).TagPositions.items(), std::vector<std::size_t>{2});

    const LayoutResult laid = LayOutProject(project, kTestFont, MachiningSettings{});
    // Per line: four one-point letters, the space's lift and the line-end lift;
    // a tag adds its own lift.
    EXPECT_EQ(laid.points->count(), 1u + 100000u * 6 + 1000u);
    EXPECT_TRUE(laid.messages.empty());
    EXPECT_EQ((*laid.points)[laid.points->count()].Z, 15.0);
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
    EXPECT_MEMORY_BELOW_MB(peak, 600);
}

TEST(LargeInputs, LineOfAMillionCharacters) {
    writeTestFont();
    std::string line;
    line.reserve(1000000);
    while (line.size() < 999999) line += "AB ";
    line += 'A';
    ASSERT_EQ(line.size(), 1000000u);
    const std::string path = projectFile(line + "\r\n");

    PeakMemory peak;
    Stopwatch clock;
    EventPump pump;
    const Project project = ReadProjectFile(path, pump);
    ASSERT_EQ(project.ProjectLines.Count(), 1u);
    EXPECT_EQ(project.ProjectLines.Item(1).Text.size(), 1000000u);
    const LayoutResult laid = LayOutProject(project, kTestFont, MachiningSettings{});
    // Two letters and a lift for every "AB ", then the last letter and the line-end lift.
    EXPECT_EQ(laid.points->count(), 1u + 333333u * 3 + 2);
    // The pen goes on to the right, far past any field: nothing wraps or overflows.
    const PenPoint& last = (*laid.points)[laid.points->count() - 1];
    EXPECT_GT(last.X, 1e6);
    EXPECT_TRUE(std::isfinite(last.X));
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
    EXPECT_MEMORY_BELOW_MB(peak, 600);
}

TEST(LargeInputs, LineOfAMillionCharactersFullOfTags) {
    writeTestFont();
    std::string line;
    while (line.size() < 1000000) line += "<@XXX=1>A";
    const std::size_t letters = line.size() / 9;
    const std::string path = projectFile(line + "\r\n");

    Stopwatch clock;
    EventPump pump;
    const Project project = ReadProjectFile(path, pump);
    ASSERT_EQ(project.ProjectLines.Item(1).TagPositions.Count(), letters);
    const LayoutResult laid = LayOutProject(project, kTestFont, MachiningSettings{});
    // Every letter follows its tag: a lift to the tag's X, then the letter's point.
    EXPECT_EQ(laid.points->count(), 1u + 2 * letters + 1);
    EXPECT_EQ((*laid.points)[laid.points->count() - 1].X, 1 + 1.65);
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
}

TEST(LargeInputs, GCodeLineOfTenMegabytes) {
    const std::string path = joinPath(testProgramFolder(), "long.gcode");
    const std::size_t tenMb = 10u << 20;
    EventPump pump;

    // A feed word of ten million digits is no axis word: the line reads.
    writeFile(path, "T1M6\r\nG1X1Y2F" + std::string(tenMb, '5') + "\r\nM30\r\n");
    {
        PeakMemory peak;
        Stopwatch clock;
        PenPoints points;
        ViewBounds bounds;
        ReadGCodeFile(path, points, bounds, pump);
        ASSERT_EQ(points.count(), 3u);
        EXPECT_EQ(points[2], (PenPoint{1, 2, 0}));
        EXPECT_EQ(points.line(2).size(), tenMb + 7);
        EXPECT_LT(clock.seconds(), kSecondsCeiling);
        EXPECT_MEMORY_BELOW_MB(peak, 200);
    }

    // Leading zeros of any length still make a number.
    writeFile(path, "G1X" + std::string(tenMb, '0') + ".5Y1\r\n");
    {
        PenPoints points;
        ViewBounds bounds;
        ReadGCodeFile(path, points, bounds, pump);
        ASSERT_EQ(points.count(), 1u);
        EXPECT_EQ(points[1].X, 0.5);
    }

    // A coordinate of ten million digits is no coordinate: the file is
    // rejected, and the message stays short enough for a message box.
    writeFile(path, "G0Z5\r\nG1X" + std::string(tenMb, '7') + "Y1\r\n");
    {
        PenPoints points;
        ViewBounds bounds;
        try {
            ReadGCodeFile(path, points, bounds, pump);
            ADD_FAILURE() << "a ten-megabyte number is read";
        } catch (const GCodeReadError& e) {
            EXPECT_EQ(e.line().size(), tenMb + 5);
            EXPECT_LT(e.message().size(), 1000u);
            EXPECT_NE(e.message().find("'G1X777"), std::string::npos);
        }
        EXPECT_EQ(points.count(), 2u);
    }
}

TEST(LargeInputs, LetterOfAMillionPoints) {
    const std::string folder = joinPath(testProgramFolder(), "font/Big");
    std::string letter;
    letter.reserve(9000000);
    for (int i = 0; i < 1000000; ++i) letter += i % 2 ? "12.5,40\r\n" : "60,80\r\n";
    writeFile(joinPath(folder, "65"), letter);

    PeakMemory peak;
    Stopwatch clock;
    const std::vector<std::string> lines = ReadLetterLines(joinPath(folder, "65"));
    ASSERT_EQ(lines.size(), 1000000u);
    double x = 0;
    double y = 0;
    EXPECT_TRUE(ParsePointLine(lines.back(), x, y));
    EXPECT_EQ(x, 12.5);

    // The viewer's drawing of it, and a layout of one such letter.
    EXPECT_EQ(fontpage::letterStrokes(lines, fontpage::letterOrigin(0, 0)).front().size(),
              1000000u);
    Project project;
    project.LetterHeight = 10;
    project.WidthFactor = 1;
    project.ProjectLines.Add(ProjectLine{"A", {}, {}, {}, {}});
    const LayoutResult laid = LayOutProject(project, "font/Big", MachiningSettings{});
    EXPECT_EQ(laid.points->count(), 1u + 1000000u + 1u);
    EXPECT_EQ((*laid.points)[2], (PenPoint{6, -8, 0}));
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
    EXPECT_MEMORY_BELOW_MB(peak, 700);
}

TEST(LargeInputs, FontFolderWithAThousandFilesThatAreNoLetters) {
    const std::string folder = joinPath(testProgramFolder(), "font/Crowded");
    writeFile(joinPath(folder, "65"), "20,100\r\n60,50\r\n");
    writeFile(joinPath(folder, "66"), "50,100\r\n");
    for (int i = 0; i < 990; ++i) writeFile(joinPath(folder, "note" + std::to_string(i)), "x");
    std::vector<std::string> oddNames{"0065", "256", "-1", "1e2", " 65", "65.bak", ".65", "+66"};
#ifndef _WIN32
    oddNames.emplace_back("65 ");  // Windows drops a name's trailing spaces: "65" itself there
#endif
    for (const std::string& name : oddNames) writeFile(joinPath(folder, name), "10,10\r\n");
    QDir().mkpath(QString::fromStdString(joinPath(folder, "67")));  // a folder, not a file

    Stopwatch clock;
    EXPECT_EQ(ListFontLetters("font/Crowded"), (std::vector<int>{65, 66}));

    Project project;
    project.LetterHeight = 10;
    project.WidthFactor = 1;
    project.ProjectLines.Add(ProjectLine{"ABC", {}, {}, {}, {}});
    const LayoutResult laid = LayOutProject(project, "font/Crowded", MachiningSettings{});
    EXPECT_EQ(laid.points->count(), 1u + 2 + 1 + 1);
    EXPECT_EQ(laid.messages, std::vector<std::string>{MissingLetterMessage('C')});
    EXPECT_LT(clock.seconds(), kSecondsCeiling);
}

}  // namespace
