#include <gtest/gtest.h>

#include "TestSupport.h"
#include "gcode/GCodeOpening.h"
#include "lib/ProgramFolder.h"

namespace {

OpenedGCode open(const std::string& text) {
    const std::string path = joinPath(testProgramFolder(), "other.nc");
    writeFile(path, text);
    PenPoints points;
    ViewBounds bounds;
    EventPump none;
    return OpenGCodeFile(path, points, bounds, none);
}

// A refused file is told by the first line the word-by-word reading does not
// understand, with its number: also one it passed over without a word (a
// parameter), not only the one it stopped at.
TEST(OpenGCodeFile, ARefusalNamesTheFirstLineNotUnderstoodByNumberAndText) {
    const OpenedGCode parameters = open("G21\nG90\n#1=5\nG1 X[#1*2] Y0 F1000\nG1 X1 Y1\n");
    ASSERT_EQ(parameters.reading, OpenedGCode::Reading::Refused);
    EXPECT_EQ(parameters.refusal,
              w("Файл не читается как программа VEzor.\rНепонятна строка 3 (параметры # и "
                "выражения [ ] не выполняются):\r'#1=5'"));
    EXPECT_TRUE(parameters.readsAsProgram);

    // Nothing before it: the line the reading stopped at, and why.
    EXPECT_EQ(open("G1X1Y1\nG1X5Y 5\nG1X2Y2\n").refusal,
              w("Файл не читается как программа VEzor.\rНепонятна строка 2 (после буквы X, Y "
                "или Z нет числа):\r'G1X5Y 5'"));
}

}  // namespace
