#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gcode/InterpretedReader.h"
#include "main/PreviewScene.h"

namespace {

constexpr std::uint32_t kWhite = 0xffffffff;
constexpr std::uint32_t kRed = 0xffff0000;
constexpr std::uint32_t kGreen = 0xff00ff00;

struct Picture {
    Picture(int w, int h)
        : pixels(static_cast<std::size_t>(w * h), kWhite), buffer{nullptr, w, h, w} {
        buffer.bits = pixels.data();
    }
    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y * buffer.width + x)];
    }
    int painted() const {
        int n = 0;
        for (std::uint32_t p : pixels) n += p != kWhite;
        return n;
    }
    std::vector<std::uint32_t> pixels;
    PixelBuffer buffer;
};

// Records 2..8: a lift, a travel to (10,-10), a stroke to (40,-10) and
// (40,-40), a skipped record, a lift and a travel to (60,-60).
PreviewScene projectScene() {
    PenPoints p;
    p.append({0, 0, 5}, "G0Z5,00");
    p.append({10, -10, 0}, "G1X10Y-10");
    p.append({40, -10, 0}, "G1X40Y-10");
    p.append({40, -40, 0}, "G1X40Y-40");
    p.append({0, 0, 0}, "M3");
    p.append({0, 0, 5}, "G0Z5,00");
    p.append({60, -60, 0}, "G1X60Y-60");
    EventPump pump;
    return PreviewScene(p, DrawingMode::Project, pump);
}

TEST(PreviewScene, DrawsWhatIsInViewAtOneScaleAndStopsAtTheLimit) {
    const PreviewScene scene = projectScene();
    EXPECT_EQ(scene.size(), 6u) << "the placeholder and the M3 draw nothing";
    EXPECT_EQ(scene.segmentsUpTo(4), 3u);
    EXPECT_EQ(scene.segmentsUpTo(6), 4u);
    ASSERT_TRUE(scene.extent());
    EXPECT_EQ(*scene.extent(), (MmRect{0, -60, 60, 0}));

    // 2 pixels a millimetre, origin at the top-left pixel.
    Picture all(201, 101);
    scene.render(all.buffer, ViewTransform(0, 0, 2), scene.size());
    EXPECT_EQ(all.at(50, 20), kRed) << "stroke along Y -10";
    EXPECT_EQ(all.at(80, 50), kRed) << "stroke down X 40, as long as across";
    EXPECT_EQ(all.at(10, 10), kGreen) << "travel from the origin";
    EXPECT_EQ(all.at(100, 100), kGreen) << "travel after the second lift";
    EXPECT_EQ(all.at(150, 50), kWhite);

    Picture limited(201, 101);
    scene.render(limited.buffer, ViewTransform(0, 0, 2), scene.segmentsUpTo(4));
    EXPECT_EQ(limited.at(50, 20), kRed);
    EXPECT_EQ(limited.at(80, 50), kWhite) << "record 5 is past the limit";

    // Panned so that only the down stroke's lower half shows; nothing wraps or leaks.
    Picture panned(21, 21);
    scene.render(panned.buffer, ViewTransform(35, -30, 2), scene.size());
    EXPECT_EQ(panned.at(10, 0), kRed);
    EXPECT_EQ(panned.at(10, 19), kRed);
    EXPECT_EQ(panned.painted(), 21);
}

TEST(PreviewScene, MovesSmallerThanAPixelBecomeDotsAndFarOnesAreSkipped) {
    PenPoints p;
    p.append({0, 0, -1}, "G1Z-1");
    for (int i = 0; i < 20000; ++i)
        p.append({50 + (i % 7) * 0.001, -50 - (i % 5) * 0.001, 0}, "G1");
    p.append({1e9, -1e9, 0}, "G1");
    EventPump pump;
    const PreviewScene scene(p, DrawingMode::GCodeFile, pump);
    Picture picture(101, 101);
    scene.render(picture.buffer, ViewTransform(0, 0, 1), scene.size());
    EXPECT_EQ(picture.at(50, 50), kRed);
    // The move in from the origin and the one out towards 1e9 each leave a line.
    EXPECT_LE(picture.painted(), 101 + 51 + 10);
    EXPECT_EQ(picture.at(25, 25), kRed);
}

TEST(PreviewScene, FindsTheRecordOfAMoveNearAPoint) {
    const PreviewScene scene = projectScene();
    EXPECT_EQ(scene.recordNear({25, -10.4}, 0.5, scene.size()), 4u);
    EXPECT_EQ(scene.recordNear({40.3, -30}, 0.5, scene.size()), 5u);
    EXPECT_EQ(scene.recordNear({40.3, -30}, 0.5, scene.segmentsUpTo(4)), std::nullopt)
        << "past the limit";
    EXPECT_EQ(scene.recordNear({25, -20}, 0.5, scene.size()), std::nullopt);
    EXPECT_EQ(scene.recordNear({40, -40}, 0.5, scene.size()), 8u) << "the last move drawn there";

    const auto stroke = scene.segmentOf(5);
    ASSERT_TRUE(stroke);
    EXPECT_EQ(stroke->X1, 40);
    EXPECT_EQ(stroke->Y1, -10);
    EXPECT_EQ(stroke->Y2, -40);
    EXPECT_FALSE(scene.segmentOf(6)) << "skipped record";
    EXPECT_FALSE(scene.segmentOf(99));
}

// Another program's arc, run as the machine runs it: a half circle of radius
// 10 about (20, 20) from X 30 clockwise down through (20, 10) to X 10, drawn
// and picked along the circle, never along its chord.
TEST(PreviewScene, AnArcIsDrawnAlongItsCircleTheWayItTurns) {
    PenPoints points;
    ViewBounds bounds;
    EventPump pump;
    InterpretGCodeText(
        "G21 G90 G17\nG0 Z5\nG0 X30 Y20\nG1 Z-1 F300\nG2 X10 Y20 I-10 J0 F600\n"
        "G0 Z5\nM30\n",
        points, bounds, pump);
    const PreviewScene scene(points, DrawingMode::GCodeFile, pump);
    EXPECT_EQ(bounds.MinY, 0) << "with the origin";
    EXPECT_NEAR(bounds.MaxX, 30, 1e-9);

    const std::vector<MmPoint> arc = scene.pathOf(5, 0.01);
    ASSERT_GE(arc.size(), 10u);
    EXPECT_NEAR(arc.front().X, 30, 1e-9);
    EXPECT_NEAR(arc.back().X, 10, 1e-9);
    for (const MmPoint& p : arc) {
        EXPECT_NEAR(std::hypot(p.X - 20, p.Y - 20), 10, 0.02) << p.X << "," << p.Y;
        EXPECT_LE(p.Y, 20 + 1e-9) << "clockwise from X 30 is downwards";
    }

    // 10 pixels a millimetre, (0, 30) at the top-left pixel.
    Picture picture(401, 301);
    scene.render(picture.buffer, ViewTransform(0, 30, 10), scene.size());
    EXPECT_EQ(picture.at(200, 200), kRed) << "the arc's middle, (20, 10)";
    EXPECT_EQ(picture.at(200, 100), kWhite) << "no chord through (20, 20)";
    EXPECT_EQ(picture.at(200, 0), kWhite) << "nor the other half";
}

}  // namespace
