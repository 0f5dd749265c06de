// The tool path keeps its records compact: every coordinate must come back as
// the very double that went in, and every text as it was given or made.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "gcode/MoveText.h"
#include "gcode/PenPoints.h"

namespace {

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

TEST(PenPoints, EveryCoordinateComesBackBitForBit) {
    std::vector<double> values{0.0,
                               -0.0,
                               12.34,
                               -0.01,
                               0.1 + 0.2,  // no short decimal
                               1234567.89,
                               13.4217727,
                               1.23456789,
                               -2684354.55,
                               1e300,
                               -5e-324,
                               std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
    std::mt19937_64 random(7);
    for (int i = 0; i < 3000; ++i) {
        values.push_back(std::bit_cast<double>(random()));  // anything
        values.push_back(static_cast<double>(static_cast<int>(random() % 2000001) - 1000000) /
                         1000.0);  // a file's three decimals
    }
    PenPoints points;
    points.clear();
    for (std::size_t i = 0; i + 2 < values.size(); i += 3)
        points.append({values[i], values[i + 1], values[i + 2]}, "");
    for (std::size_t i = 0; i + 2 < values.size(); i += 3) {
        const PenPoint p = points[i / 3 + 1];
        EXPECT_EQ(bits(p.X), bits(values[i])) << "record " << i / 3 + 1 << " X " << values[i];
        EXPECT_EQ(bits(p.Y), bits(values[i + 1])) << "record " << i / 3 + 1 << " Y";
        EXPECT_EQ(bits(p.Z), bits(values[i + 2])) << "record " << i / 3 + 1 << " Z";
    }
}

TEST(PenPoints, LinesOfTheirOwnAndMoveTextsSideBySide) {
    PenPoints points;  // record 1: the placeholder, empty
    points.append({1, 2, 0}, "G1 X1 Y2 (own)");
    points.appendMove({12.5, -3.25, 0}, ',');
    points.append({0, 0, 0}, "");
    points.appendMove({0, 0, 1.5}, ',');
    points.append({0, 0, 5}, "G0Z5");
    points.appendMove({0, 0, 5}, ',');
    ASSERT_EQ(points.count(), 7u);
    const std::vector<std::string> expected{"",        "G1 X1 Y2 (own)", "G1X12,5Y-3,25", "",
                                            "G0Z1,50", "G0Z5",           "G0Z5,00"};
    for (std::size_t i = 1; i <= points.count(); ++i) {
        EXPECT_EQ(points.line(i), expected[i - 1]) << "record " << i;
        EXPECT_EQ(points.hasMoveText(i), i == 3 || i == 5 || i == 7) << "record " << i;
    }
    EXPECT_EQ(points.ownLine(2), "G1 X1 Y2 (own)");
    EXPECT_EQ(points.ownLine(3), "") << "a move's text is not kept";
    EXPECT_EQ(points.line(2, 4), "G1 X");
    EXPECT_EQ(points.line(3, 5), "G1X12");
    EXPECT_EQ(points.line(3), FormatMoveLine(12.5, -3.25, 0, ','));

    PenPoints same;
    for (std::size_t i = 2; i <= points.count(); ++i) same.append(points[i], points.line(i));
    EXPECT_EQ(same, points) << "equal records and texts, however kept";
}

}  // namespace
