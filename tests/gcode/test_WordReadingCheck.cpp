// Which programs the word-by-word reading draws rightly: all that VEzor
// writes, and none with the constructs it would draw wrongly.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "gcode/WordReadingCheck.h"
#include "lib/Win1251.h"

namespace {

TEST(WordReadingCheck, EveryProgramVEzorWritesIsDrawnRight) {
    std::size_t programs = 0;
    for (const char* folder : {"/gcode", "/shipped"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::string(VEZOR_TEST_DATA_DIR) + folder)) {
            const auto misdrawn = FindMisdrawnLine(readFile(entry.path().string()));
            EXPECT_FALSE(misdrawn) << entry.path() << ": line " << misdrawn->line << ", "
                                   << win1251::toUtf8(misdrawn->what);
            ++programs;
        }
    }
    EXPECT_GE(programs, 20u) << "the six profiles' programs and the shipped fonts'";
}

TEST(WordReadingCheck, NamesTheFirstLineItWouldDrawWrongly) {
    const std::vector<std::pair<std::string, std::size_t>> cases{
        {"G0X1Y1\nG2X2Y2I1J0\n", 2},
        {"G21\nG91\n", 2},
        {"(inches)\nG20\n", 2},
        {"G18\n", 1},
        {"G0X5\nG92X0\n", 2},
        {"G55\n", 1},
        {"G81X1Y1Z-1R1F100\n", 1},
        {"G28\n", 1},
        {"G0X1\nX5Y5\n", 2},
        {"G1X5Y5F100\nG1X0Y5\nG1X3Y3\n", 2},  // drawn as no move across
    };
    for (const auto& [text, line] : cases) {
        const auto misdrawn = FindMisdrawnLine(text);
        ASSERT_TRUE(misdrawn) << text;
        EXPECT_EQ(misdrawn->line, line) << text;
    }
    // The way home after the last move, as the Servo pen profile writes it, leaves
    // out only that travel; a move to X0 from X0 is no move at all.
    EXPECT_FALSE(FindMisdrawnLine("G1X5Y5F100\nG0X0Y0\nM5\nM30\n"));
    EXPECT_FALSE(FindMisdrawnLine("G0X0.00Y0.00\nG1X0Y3\n"));
}

}  // namespace
