// Height maps: the table read and written, the surface between its points,
// and a program made to follow it.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "gcode/GCodeInterpreter.h"
#include "gcode/HeightMap.h"
#include "gcode/HeightMapApply.h"
#include "lib/Win1251.h"

namespace {

// A plate tilted 1 mm over 100 mm in X, warped by 0.001·x·y: 3 × 3 points over 0..100, 0..50.
HeightMap warped() {
    HeightMap map;
    map.columns = 3;
    map.rows = 3;
    map.x1 = 100;
    map.y1 = 50;
    for (std::size_t row = 0; row < 3; ++row)
        for (std::size_t column = 0; column < 3; ++column) {
            const double x = map.pointX(column), y = map.pointY(row);
            map.z.push_back(0.01 * x + 0.0001 * x * y);
        }
    return map;
}

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const HeightMapError& e) {
        return win1251::toUtf8(e.message());
    }
    return {};
}

TEST(HeightMap, TheTableAndTheSurfaceBetweenItsPoints) {
    HeightMap map = warped();
    map.workOffset = std::array<double, 3>{-120, -80, -30.5};
    const HeightMap back = ParseHeightMap(HeightMapText(map));
    EXPECT_EQ(back.columns, 3U);
    EXPECT_EQ(back.rows, 3U);
    EXPECT_EQ(back.x1, 100);
    EXPECT_EQ(back.z, map.z);
    ASSERT_TRUE(back.workOffset);
    EXPECT_EQ((*back.workOffset)[2], -30.5);
    // Bilinear holds a tilted and a saddle-warped plate exactly.
    EXPECT_NEAR(map.height(37, 21), 0.37 + 0.0001 * 37 * 21, 1e-12);
    EXPECT_DOUBLE_EQ(map.height(-10, 80), map.at(0, 2));  // the nearest edge beyond
    EXPECT_DOUBLE_EQ(map.highest(), 1.5);
    // Points in any order, semicolons; a missing point, a stray line and a crooked grid told.
    EXPECT_EQ(ParseHeightMap("x;y;z\n10;0;1\n0;0;0\n0;5;2\n10;5;3\n").height(5, 2.5), 1.5);
    EXPECT_NE(messageOf([] { ParseHeightMap("0,0,0\n10,0,1\n0,5,2\n"); }).find("неполна"),
              std::string::npos);
    EXPECT_EQ(messageOf([] {
                  ParseHeightMap("0,0,0\n10,0,1\nten,5,2\n10,5,3\n");
              }).rfind("Карта высот, строка 3:", 0),
              0U);
    EXPECT_NE(messageOf([] {
                  ParseHeightMap("0,0,0\n10,0,1\n12,0,1\n0,5,2\n10,5,3\n12,5,3\n");
              }).find("равномерной"),
              std::string::npos);
}

// The lowest point of every line that writes, after the map: the surface minus the depth.
TEST(HeightMap, AProgramFollowsTheSurfaceAtItsDepthAndTravelsClearOfIt) {
    const HeightMap map = warped();
    const std::string program =
        "(a word)\nG21G90G17\nG0Z5\nM3S10000\nG0X10Y10\nG1Z-0.2F100\nG1X90Y40F500\n"
        "G2X90Y20I0J-10\nG0Z5\nM5\nM30\n";
    const std::string mapped = ApplyHeightMap(program, map);
    // Every move of the result: writing 0.2 below the surface, travel above its highest point.
    struct Check final : MotionSink {
        const HeightMap& map;
        double worst = 0;
        double lowestTravel = 1e9;
        std::size_t writing = 0;
        explicit Check(const HeightMap& m) : map(m) {}
        void straight(const PathPoint& to, const Move& move) override {
            if (move.rapid) {
                lowestTravel = std::min(lowestTravel, to.Z);
                return;
            }
            ++writing;
            worst = std::max(worst, std::fabs(to.Z - (map.height(to.X, to.Y) - 0.2)));
        }
        void arc(const PathPoint&, const ArcShape&, const Move&) override { ADD_FAILURE(); }
    } check(map);
    GCodeInterpreter interpreter(check);
    std::size_t lines = 0;
    ForEachProgramLine(mapped, [&](std::string_view line) {
        ++lines;
        EXPECT_EQ(interpreter.run(line), BlockIssue::None) << line;
        EXPECT_LE(line.size(), 79U);
    });
    EXPECT_LT(check.worst, 0.0011);  // the points are written to the micrometre
    EXPECT_GT(check.writing, 40U);   // 85 mm of line and 31 of arc, every 2 mm at least
    EXPECT_DOUBLE_EQ(check.lowestTravel, 5 + map.highest());
    EXPECT_NE(mapped.find("M3S10000"), std::string::npos);
    // A flat map leaves every point where it was.
    HeightMap flat = map;
    std::fill(flat.z.begin(), flat.z.end(), 0.0);
    EXPECT_NE(ApplyHeightMap(program, flat).find("G1X90Y40Z-0.2"), std::string::npos);
}

TEST(HeightMap, ProgramsItCannotFollowAreRefusedNamingTheLine) {
    const HeightMap map = warped();
    EXPECT_EQ(messageOf([&] {
                  ApplyHeightMap("G21G90\nG0Z1\nG92X0\n", map);
              }).rfind("Строка 3: программа сдвигает координаты", 0),
              0U);
    EXPECT_NE(messageOf([&] {
                  ApplyHeightMap("G21G90\nG0Z1\nG1X130Y10Z-0.1F100\n", map);
              }).find("за пределами карты"),
              std::string::npos);
    EXPECT_NE(messageOf([&] { ApplyHeightMap("G21G90\nG1X10Y10F100\n", map); }).find("не задав Z"),
              std::string::npos);
    // Inches and increments come out in millimetres, absolute.
    const std::string inches = ApplyHeightMap("G20G90\nG0Z0.2\nG91G0X1Y1\nG90G1Z0F4\n", map);
    EXPECT_NE(inches.find("G0X25.4Y25.4Z"), std::string::npos) << inches;
    EXPECT_EQ(inches.find("G20"), std::string::npos);
    EXPECT_EQ(inches.find("G91"), std::string::npos);
}

}  // namespace
