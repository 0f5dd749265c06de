#include <gtest/gtest.h>

#include <algorithm>

#include "fontsource/StrokeJoiner.h"

using namespace fontc;

namespace {

// Pure extra-length answers: where the walk starts and ends costs nothing.
JoinWeights anywhere() {
    JoinWeights w;
    w.start = w.end = 0;
    return w;
}

double distanceToStroke(Point p, const Polyline& stroke) {
    double best = distance(p, stroke.front());
    for (std::size_t i = 1; i < stroke.size(); ++i) {
        const Point a = stroke[i - 1];
        const Point b = stroke[i];
        best = std::min(best, distance(p, a + (b - a) * projectOnSegment(p, a, b)));
    }
    return best;
}

// Every point of every source stroke lies on the joined stroke.
void expectCovers(const JoinedStroke& joined, const std::vector<Polyline>& strokes) {
    ASSERT_FALSE(joined.points.empty());
    for (const auto& stroke : strokes)
        for (std::size_t i = 1; i < stroke.size(); ++i)
            for (int k = 0; k <= 20; ++k) {
                const Point p = stroke[i - 1] + (stroke[i] - stroke[i - 1]) * (k / 20.0);
                EXPECT_LT(distanceToStroke(p, joined.points), 1e-6) << p.x << "," << p.y;
            }
}

int countKind(const JoinedStroke& s, SegmentKind kind) {
    return static_cast<int>(std::count(s.kinds.begin(), s.kinds.end(), kind));
}

TEST(StrokeJoiner, TTouchingStrokesRetraceHalfTheBarAndNeedNoConnector) {
    const std::vector<Polyline> t = {{{10, 10}, {50, 10}}, {{30, 10}, {30, 90}}};
    const JoinedStroke s = joinStrokes(t, {10, 90}, {50, 90}, anywhere());
    expectCovers(s, t);
    EXPECT_EQ(s.connectors, 0);
    EXPECT_DOUBLE_EQ(s.connectorLength, 0);
    EXPECT_DOUBLE_EQ(s.retraceLength, 20);
    EXPECT_EQ(countKind(s, SegmentKind::Retrace), 1);
    EXPECT_EQ(s.kinds.size() + 1, s.points.size());
}

TEST(StrokeJoiner, StrokeEndWithinSnapOfAnotherStrokeStillTouches) {
    const std::vector<Polyline> t = {{{10, 10}, {50, 10}}, {{30, 10.2}, {30, 90}}};
    const JoinedStroke s = joinStrokes(t, {10, 90}, {50, 90}, anywhere(), 0.25);
    EXPECT_EQ(s.connectors, 0);
    EXPECT_NEAR(s.retraceLength, 20, 0.3);
}

TEST(StrokeJoiner, XCrossingIsSplitAndTwoArmsRetracedFromBottomLeftToBottomRight) {
    // Four loose ends: two end the walk, the other two are joined through the
    // crossing, which is only possible once the crossing is a vertex.
    const std::vector<Polyline> x = {{{10, 10}, {50, 90}}, {{50, 10}, {10, 90}}};
    const double arm = distance({10, 10}, {30, 50});
    const JoinedStroke any = joinStrokes(x, {10, 90}, {50, 90}, anywhere());
    expectCovers(any, x);
    EXPECT_EQ(any.connectors, 0);
    EXPECT_NEAR(any.retraceLength, 2 * arm, 1e-9);

    JoinWeights w;
    w.start = w.end = 10;
    const JoinedStroke s = joinStrokes(x, {10, 90}, {50, 90}, w);
    expectCovers(s, x);
    EXPECT_TRUE(s.points.front() == (Point{10, 90}));
    EXPECT_TRUE(s.points.back() == (Point{50, 90}));
    EXPECT_NEAR(s.retraceLength, 2 * arm, 1e-9);
}

TEST(StrokeJoiner, DotOfIIsJoinedByOneShortestConnector) {
    const std::vector<Polyline> i = {{{30, 40}, {30, 90}}, {{30, 20}, {30, 21}}};
    const JoinedStroke s = joinStrokes(i, {20, 90}, {40, 90}, anywhere());
    expectCovers(s, i);
    EXPECT_EQ(s.connectors, 1);
    EXPECT_DOUBLE_EQ(s.connectorLength, 19);
    EXPECT_DOUBLE_EQ(s.retraceLength, 0);
    EXPECT_EQ(countKind(s, SegmentKind::Connector), 1);
}

TEST(StrokeJoiner, DotsOfYoAreJoinedToTheLetterAndToEachOther) {
    // е-like body and two dots above it: two connectors whatever the order.
    const std::vector<Polyline> yo = {
        {{10, 50}, {40, 50}, {40, 40}, {25, 30}, {10, 40}, {10, 80}, {40, 80}},
        {{15, 15}, {15, 17}},
        {{35, 15}, {35, 17}}};
    const JoinedStroke s = joinStrokes(yo, {10, 80}, {40, 80});
    expectCovers(s, yo);
    EXPECT_EQ(s.connectors, 2);
    EXPECT_GT(s.connectorLength, 0);
    // Neither connector is longer than the way from a dot to the body.
    EXPECT_LE(s.connectorLength, 2 * distance({15, 17}, {25, 30}) + 1e-9);
}

TEST(StrokeJoiner, ManyPartsAreJoinedByTheirShortestConnectors) {
    // A row of seven short dashes (an ellipsis drawn long): six gaps of 8 units.
    std::vector<Polyline> dashes;
    for (int i = 0; i < 7; ++i) dashes.push_back({{10.0 + 10 * i, 90}, {12.0 + 10 * i, 90}});
    const JoinedStroke s = joinStrokes(dashes, {10, 90}, {72, 90});
    expectCovers(s, dashes);
    EXPECT_EQ(s.connectors, 6);
    EXPECT_NEAR(s.connectorLength, 48, 1e-9);
    EXPECT_DOUBLE_EQ(s.retraceLength, 0);
    EXPECT_EQ(countKind(s, SegmentKind::Connector), 6);
    EXPECT_EQ(countKind(s, SegmentKind::Ink), 7);
}

TEST(StrokeJoiner, SingleStrokeSIsLeftAsItIs) {
    const Polyline sShape = {{10, 85}, {20, 90}, {35, 88}, {40, 75}, {32, 60},
                             {18, 45}, {10, 32}, {14, 18}, {28, 12}, {40, 16}};
    const JoinedStroke s = joinStrokes({sShape}, {10, 90}, {40, 90});
    EXPECT_EQ(s.connectors, 0);
    EXPECT_DOUBLE_EQ(s.retraceLength, 0);
    Polyline reversed(sShape.rbegin(), sShape.rend());
    EXPECT_TRUE(s.points == sShape || s.points == reversed);
    EXPECT_EQ(countKind(s, SegmentKind::Ink), static_cast<int>(sShape.size()) - 1);
}

TEST(StrokeJoiner, ClosedLoopStartsAndEndsAtTheSamePointWithoutRetrace) {
    const Polyline o = {{20, 40}, {40, 40}, {40, 90}, {20, 90}, {20, 40}};
    const JoinedStroke s = joinStrokes({o}, {10, 90}, {50, 90});
    expectCovers(s, {o});
    EXPECT_DOUBLE_EQ(s.retraceLength, 0);
    EXPECT_TRUE(s.points.front() == s.points.back());
}

TEST(StrokeJoiner, SegmentDrawnTwiceInTheSourceIsDrawnOnce) {
    const std::vector<Polyline> twice = {{{10, 10}, {10, 90}}, {{10, 90}, {10, 10}}};
    const JoinedStroke s = joinStrokes(twice, {10, 90}, {10, 10});
    EXPECT_EQ(s.points.size(), 2u);
    EXPECT_DOUBLE_EQ(s.retraceLength, 0);
}

TEST(StrokeJoiner, StraightRunsAreMergedButTheRetracedTurnIsKept) {
    // A line given as many collinear pieces, then a spur that must be drawn back.
    const std::vector<Polyline> l = {{{10, 90}, {10, 70}, {10, 50}, {10, 30}},
                                     {{10, 50}, {30, 50}}};
    const JoinedStroke s = joinStrokes(l, {10, 90}, {10, 30}, anywhere());
    expectCovers(s, l);
    EXPECT_DOUBLE_EQ(s.retraceLength, 20);
    EXPECT_EQ(s.points.size(), 5u);  // bottom, fork, spur end, fork, top
}

TEST(StrokeJoiner, AGlyphOfManyLooseEndsStillStartsNearTheRequestedStart) {
    // A comb: a spine and eleven teeth, 24 loose ends, too many to weigh every
    // pairing; the start and the end are still chosen by the targets.
    std::vector<Polyline> comb = {{{5, 50}, {95, 50}}};
    for (int i = 0; i <= 10; ++i) comb.push_back({{10.0 + 8 * i, 50}, {10.0 + 8 * i, 80}});
    // The cheapest walk runs from the first tooth's tip to the last one's (a
    // spine end would cost one more tooth drawn twice than the way there).
    const JoinedStroke leftToRight = joinStrokes(comb, {5, 50}, {95, 50});
    expectCovers(leftToRight, comb);
    EXPECT_LT(distance(leftToRight.points.front(), {10, 80}), 1e-9);
    EXPECT_LT(distance(leftToRight.points.back(), {90, 80}), 1e-9);
    const JoinedStroke rightToLeft = joinStrokes(comb, {95, 50}, {5, 50});
    EXPECT_LT(distance(rightToLeft.points.front(), {90, 80}), 1e-9);
    EXPECT_LT(distance(rightToLeft.points.back(), {10, 80}), 1e-9);
}

TEST(StrokeJoiner, LonePointAndEmptyInput) {
    EXPECT_TRUE(joinStrokes({}, {0, 0}, {1, 0}).points.empty());
    const JoinedStroke dot = joinStrokes({{{5, 5}}}, {0, 0}, {1, 0});
    ASSERT_EQ(dot.points.size(), 1u);
    EXPECT_DOUBLE_EQ(dot.points[0].x, 5);
    const JoinedStroke colon = joinStrokes({{{5, 5}}, {{5, 25}}}, {0, 30}, {10, 30});
    EXPECT_EQ(colon.points.size(), 2u);
    EXPECT_EQ(colon.connectors, 1);
    EXPECT_DOUBLE_EQ(colon.connectorLength, 20);
}

}  // namespace
