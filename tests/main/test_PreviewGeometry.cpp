#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "gcode/MoveText.h"
#include "main/PreviewGeometry.h"

namespace {

using C = PreviewColour;

struct Collect final : PreviewSink {
    std::vector<PreviewSegment> segments;
    void segment(const PreviewSegment& s) override { segments.push_back(s); }
};

std::vector<PreviewSegment> walk(const PenPoints& points, std::size_t count, DrawingMode drawMode) {
    Collect sink;
    EventPump pump;
    walkPreview(points, count, drawMode, sink, pump);
    return sink.segments;
}

void expectSegment(const PreviewSegment& s, double x1, double y1, double x2, double y2, C colour,
                   const char* what) {
    EXPECT_EQ(s.X1, x1) << what;
    EXPECT_EQ(s.Y1, y1) << what;
    EXPECT_EQ(s.X2, x2) << what;
    EXPECT_EQ(s.Y2, y2) << what;
    EXPECT_EQ(s.Colour, colour) << what;
}

TEST(PreviewView, ScaleShrinksTheViewAroundTheBoundsAndFlatViewsGetAnExtent) {
    const ViewBounds field{0, -100, 100, 0};
    const PreviewView whole = previewView(field, previewScale("100"));
    EXPECT_EQ(whole.Left, 0);
    EXPECT_EQ(whole.Top, 0);
    EXPECT_EQ(whole.Right, 100);
    EXPECT_EQ(whole.Bottom, -100);
    const PreviewView quarter = previewView(field, previewScale("200"));
    EXPECT_EQ(quarter.Right, 50);
    EXPECT_EQ(quarter.Bottom, -50);
    EXPECT_EQ(previewView(field, previewScale("25")).Right, 400);
    EXPECT_EQ(previewScale("x"), 1.0);

    const PreviewView column = previewView(ViewBounds{0, -40, 0, 0}, 1.0);
    EXPECT_EQ(column.Left, -20);
    EXPECT_EQ(column.Right, 20);
    EXPECT_EQ(column.Top, 0);
    const PreviewView point = previewView(ViewBounds{}, 1.0);
    EXPECT_EQ(point.Left, -0.5);
    EXPECT_EQ(point.Right, 0.5);
    EXPECT_EQ(point.Top, 0.5);
    EXPECT_EQ(point.Bottom, -0.5);
}

TEST(RecordsToDraw, ZeroMeansAllAndIsStoredALimitPastTheEndStopsThere) {
    long long limit = 0;
    EXPECT_EQ(recordsToDraw(limit, 120), 120u);
    EXPECT_EQ(limit, 120);
    limit = 3000;
    EXPECT_EQ(recordsToDraw(limit, 120), 120u);
    EXPECT_EQ(limit, 3000) << "the double-click's limit is kept";
    limit = 5;
    EXPECT_EQ(recordsToDraw(limit, 120), 5u);
}

TEST(LiftOf, ZValueRoundedHalfToEvenDecidesWithCommaOrPoint) {
    EXPECT_EQ(liftOf("G0Z5,00"), true);
    EXPECT_EQ(liftOf("G1Z0.5"), false);
    EXPECT_EQ(liftOf("G1Z0,5"), false);
    EXPECT_EQ(liftOf("G1Z0.6"), true);
    EXPECT_EQ(liftOf("G1Z1,5"), true);
    EXPECT_EQ(liftOf("G1Z2.5F300"), true);
    EXPECT_EQ(liftOf("G1Z-1"), false);
    EXPECT_EQ(liftOf("g0z 3"), true);
    EXPECT_EQ(liftOf("G1Z0.000F500.00"), false);
    EXPECT_EQ(liftOf("G1ZF5"), false);
    EXPECT_EQ(liftOf("G1X5Y5"), std::nullopt);
    EXPECT_EQ(liftOf("M3"), std::nullopt);
}

TEST(WalkPreview, GCodeFileColoursFollowTheLastZAndZeroKeepsThePreviousCoordinate) {
    PenPoints p;
    p.clear();
    p.append({10, 20, 0}, "G0X10Y20");  // before any Z: black
    p.append({0, 0, 0}, "M3");          // skipped
    p.append({0, 0, 5}, "G0Z5");        // lift: green, zero length
    p.append({30, 0, 0}, "G1X30Y0");    // Y 0 keeps 20
    p.append({0, 0, -1}, "G1Z-1");      // down: red
    p.append({0, 40, 0}, "G1X0Y40");    // X 0 keeps 30
    p.append({50, 50, 0}, "G1X50Y50");
    const auto s = walk(p, p.count(), DrawingMode::GCodeFile);
    ASSERT_EQ(s.size(), 6u);
    expectSegment(s[0], 0, 0, 10, 20, C::Black, "first move from the origin");
    expectSegment(s[1], 10, 20, 10, 20, C::Green, "lift");
    expectSegment(s[2], 10, 20, 30, 20, C::Green, "travel");
    expectSegment(s[3], 30, 20, 30, 20, C::Red, "down");
    expectSegment(s[4], 30, 20, 30, 40, C::Red, "X 0");
    expectSegment(s[5], 30, 40, 50, 50, C::Red, "stroke");

    EXPECT_EQ(walk(p, 3, DrawingMode::GCodeFile).size(), 2u) << "records 1 to 3 only";
    EXPECT_EQ(walk(p, 3000, DrawingMode::GCodeFile).size(), 6u)
        << "a limit past the end stops at the last record";
}

// The same whether the records keep their texts or make them from their moves.
TEST(WalkPreview, LaidOutProjectForcesRedAfterTheLiftAndTheMoveAfterIt) {
    const std::vector<PenPoint> records{{0, 0, 5},   {10, -10, 0}, {20, -10, 0}, {20, -20, 0},
                                        {0, 0, 15},  {5, -30, 0},  {6, -30, 0},  {0, 0, 0.5},
                                        {7, -30, 0}, {0, 0, 1.5},  {8, -30, 0}};
    for (const bool moveTexts : {false, true}) {
        PenPoints p;  // record 1: the layout's placeholder, skipped
        for (const PenPoint& r : records) {
            if (moveTexts)
                p.appendMove(r, ',');
            else
                p.append(r, FormatMoveLine(r.X, r.Y, r.Z, ','));
        }
        std::vector<C> colours;
        for (const auto& s : walk(p, p.count(), DrawingMode::Project)) colours.push_back(s.Colour);
        // Z 0,50 rounds half to even to 0: the tool stays down; Z 1,50 lifts.
        EXPECT_EQ(colours, (std::vector<C>{C::Green, C::Green, C::Red, C::Red, C::Green, C::Green,
                                           C::Red, C::Red, C::Red, C::Green, C::Green}))
            << "move texts " << moveTexts;

        colours.clear();
        for (const auto& s : walk(p, p.count(), DrawingMode::GCodeFile))
            colours.push_back(s.Colour);
        EXPECT_EQ(colours, (std::vector<C>{C::Green, C::Green, C::Green, C::Green, C::Green,
                                           C::Green, C::Green, C::Red, C::Red, C::Green, C::Green}))
            << "a G-code file is never forced red; move texts " << moveTexts;
    }
}

// Whatever the font, the program reaches the first letter at the safe height.
TEST(WalkPreview, LaidOutProjectDrawsTheMoveFromTheOriginAsTravel) {
    PenPoints p;
    p.append({10, -10, 0}, "G1X10Y-10");  // the first letter's first point, no lift before it
    p.append({20, -10, 0}, "G1X20Y-10");
    std::vector<C> colours;
    for (const auto& s : walk(p, p.count(), DrawingMode::Project)) colours.push_back(s.Colour);
    EXPECT_EQ(colours, (std::vector<C>{C::Green, C::Red}));
}

TEST(FieldBorder, SpansTheViewHeightAtTheFieldWidth) {
    const PreviewView view{0, 0, 50, -50};
    const auto border = fieldBorder(100, view);
    ASSERT_TRUE(border.has_value());
    expectSegment(*border, 100, 0, 100, -50, C::Blue, "border");
    EXPECT_FALSE(fieldBorder(0, view).has_value());
    EXPECT_FALSE(fieldBorder(-3, view).has_value());
}

}  // namespace
