// vezor-gcode --send against the scripted GRBL: a file streamed to the end, a
// file refused for the machine's travel before anything is sent, a line GRBL
// refuses, a resume from a line, each with its exit status and message; and the
// processor time the waiting costs.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QElapsedTimer>

#include "FakeGrbl.h"
#include "TestSupport.h"
#include "ToolRun.h"
#include "gcode/HeightMap.h"
#include "lib/ProgramFolder.h"

namespace {

std::string programFile(const std::string& text) {
    const std::string path = joinPath(testProgramFolder(), "plate.nc");
    writeFile(path, text);
    return path;
}

std::string moves(int count, int width) {
    std::string text = "(seconds 1)\nG21G90G17\n";
    for (int i = 0; i < count; ++i)
        text += "G1X" + std::to_string(i % width) + "Y" + std::to_string(i % 3) + "F500\n";
    return text;
}

TEST(SendCommand, StreamsTheFileChecksTheTravelAndNamesARefusedLine) {
    {
        FakeGrbl grbl;
        const Outcome done = vezorGcode({"--send", QString::fromStdString(grbl.port()),
                                         QString::fromStdString(programFile(moves(300, 50)))});
        EXPECT_EQ(done.status, 0) << done.err;
        EXPECT_NE(done.err.find("301 из 301 строк (100 %)"), std::string::npos) << done.err;
        EXPECT_EQ(grbl.programLines().size(), 301U);
    }
    {
        FakeGrbl grbl;
        grbl.setSetting(130, 40);
        const Outcome refused = vezorGcode({"--send", QString::fromStdString(grbl.port()),
                                            QString::fromStdString(programFile(moves(60, 50)))});
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find("по оси X на 9 мм"), std::string::npos) << refused.err;
        EXPECT_TRUE(grbl.programLines().empty());  // nothing of the program went out
    }
    {
        FakeGrbl grbl;
        grbl.failLine("G1X7Y1F500", 20);
        const Outcome failed = vezorGcode({"--send", QString::fromStdString(grbl.port()),
                                           QString::fromStdString(programFile(moves(60, 50)))});
        EXPECT_EQ(failed.status, 1);
        EXPECT_NE(failed.err.find("Строка 10 программы «G1X7Y1F500» не принята: error:20"),
                  std::string::npos)
            << failed.err;
    }
}

}  // namespace

namespace {

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST(SendCommand, ResumesFromALineAndRefusesAProgramThatLeavesTheMachine) {
    {
        // Three strokes; resumed at the second one's plunge.
        FakeGrbl grbl;
        const std::string file = programFile(
            "G21G90G17\nG0Z5\nM3S1000\nG0X1Y1\nG1Z-0.2F100\nG1X4Y1F500\nG0Z5\n"
            "G0X6Y1\nG1Z-0.2F100\nG1X9Y1F500\nG0Z5\nM5\nM30\n");
        const Outcome resumed = vezorGcode({"--send", QString::fromStdString(grbl.port()), "--from",
                                            "9", QString::fromStdString(file)});
        EXPECT_EQ(resumed.status, 0) << resumed.err;
        EXPECT_NE(resumed.err.find("Продолжение со строки 9"), std::string::npos) << resumed.err;
        // Up, the spindle on, across to where line 9 starts (above the work), then line 9 on.
        EXPECT_EQ(
            grbl.programLines(),
            (std::vector<std::string>{"G21G90G17", "G0Z5", "M3S1000", "G0X6Y1", "G0Z5", "G0F500",
                                      "G1Z-0.2F100", "G1X9Y1F500", "G0Z5", "M5", "M30"}));
    }
    {
        // Nothing of it is wider than the machine, but from where the tool stands it goes 500 mm.
        FakeGrbl grbl;
        const Outcome refused = vezorGcode(
            {"--send", QString::fromStdString(grbl.port()),
             QString::fromStdString(programFile("G21G90\nG0Z5\nG1X500Y-10F500\nM30\n"))});
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find("по оси X на 300 мм"), std::string::npos) << refused.err;
        EXPECT_TRUE(grbl.programLines().empty());
    }
}

TEST(SendCommand, WaitingForTheMachineCostsNoProcessorTime) {
    FakeGrbl::Options slow;
    slow.moveTime = std::chrono::milliseconds(25);
    FakeGrbl grbl(slow);
    const double before = childCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const Outcome done = vezorGcode({"--send", QString::fromStdString(grbl.port()),
                                     QString::fromStdString(programFile(moves(120, 50)))});
    const double seconds = static_cast<double>(wall.elapsed()) / 1000;
    const double cpu = childCpuSeconds() - before;
    ASSERT_EQ(done.status, 0) << done.err;
    ASSERT_GT(seconds, 3);
    // Below a tenth of one core over the whole run, start-up included.
    EXPECT_LT(cpu / seconds, 0.1) << cpu << " s of processor time in " << seconds << " s";
}

}  // namespace

namespace {

TEST(SendCommand, ProbesAMapWritesByItAndStopsForAToolChange) {
    FakeGrbl::Options plate;
    plate.surfaceZ = -0.5;
    FakeGrbl grbl(plate);
    const std::string map = joinPath(testProgramFolder(), "plate-map.csv");
    const Outcome probed =
        vezorGcode({"--probe", QString::fromStdString(grbl.port()), "--area", "0,0,20,10", "--grid",
                    "3,2", "--out", QString::fromStdString(map)});
    ASSERT_EQ(probed.status, 0) << probed.err;
    const HeightMap read = ReadHeightMapFile(map);
    EXPECT_EQ(read.columns, 3U);
    for (const double z : read.z) EXPECT_DOUBLE_EQ(z, -0.5);
    // The program by the map, with a tool change the operator confirms on standard input.
    const std::string file = programFile(
        "G21G90\nG0Z2\nM3S1000\nG0X1Y1\nG1Z-0.1F100\nG1X9Y1F500\nG0Z2\nT3 M6\nG0X12Y5\n"
        "G1Z-0.1F100\nG1X18Y5F500\nG0Z2\nM5\nM30\n");
    const Outcome sent = vezorGcode({"--send", QString::fromStdString(grbl.port()), "--height-map",
                                     QString::fromStdString(map), QString::fromStdString(file)},
                                    {}, std::string("\n"));
    EXPECT_EQ(sent.status, 0) << sent.err;
    EXPECT_NE(sent.err.find("поставьте инструмент T3"), std::string::npos) << sent.err;
    const std::vector<std::string> lines = grbl.programLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "G1X9Y1Z-0.6"), lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("M6") != std::string::npos; }),
              0);
    // No work piece where the probe goes down: the point is named.
    FakeGrbl empty;
    const Outcome missed =
        vezorGcode({"--probe", QString::fromStdString(empty.port()), "--area", "0,0,20,10",
                    "--grid", "2,2", "--out", QString::fromStdString(map + "2")});
    EXPECT_EQ(missed.status, 1);
    EXPECT_NE(missed.err.find("Щуп не коснулся заготовки в точке 1 из 4 (X 0, Y 0)"),
              std::string::npos)
        << missed.err;
}

}  // namespace
