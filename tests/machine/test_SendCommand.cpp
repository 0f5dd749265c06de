// vezor-gcode --send against the scripted GRBL: a file streamed to the end, a
// file refused for the machine's travel before anything is sent, and a line
// GRBL refuses, each with its exit status and message.
#include <gtest/gtest.h>

#include "FakeGrbl.h"
#include "TestSupport.h"
#include "ToolRun.h"
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
