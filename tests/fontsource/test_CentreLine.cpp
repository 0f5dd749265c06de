#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "fontsource/CentreLine.h"
#include "fontsource/OutlineArea.h"

using namespace fontc;

namespace {

// Outer contours clockwise, as TrueType draws them; the merge turns them round.
Polyline box(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

Polyline circle(Point c, double r, bool clockwise) {
    Polyline ring;
    for (int i = 0; i < 180; ++i) {
        const double a = (clockwise ? -1 : 1) * 2 * std::numbers::pi * i / 180;
        ring.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return ring;
}

CentreLines linesOf(const std::vector<Polyline>& contours, double endInset = 0) {
    CentreLineSettings settings;
    settings.tolerance = 0.2;
    settings.endInset = endInset;
    return centreLines(mergeContours(contours, 1.0 / 64), settings);
}

double distanceToLines(Point p, const std::vector<Polyline>& lines) {
    double best = 1e300;
    for (const Polyline& line : lines)
        for (std::size_t i = 1; i < line.size(); ++i)
            best = std::min(
                best, distance(p, line[i - 1] + (line[i] - line[i - 1]) *
                                                    projectOnSegment(p, line[i - 1], line[i])));
    return best;
}

// Every drawn point lies near the expected lines and every expected line is drawn
// (sampled each unit), within the tolerance.
void expectSameLines(const CentreLines& got, const std::vector<Polyline>& expected,
                     double tolerance) {
    std::vector<Polyline> drawn;
    for (const CentreStroke& s : got.strokes) drawn.push_back(s.points);
    for (const Polyline& line : drawn)
        for (Point p : line)
            EXPECT_LE(distanceToLines(p, expected), tolerance) << p.x << "," << p.y;
    for (const Polyline& line : expected)
        for (std::size_t i = 1; i < line.size(); ++i) {
            const double l = distance(line[i - 1], line[i]);
            for (double s = 0; s <= l; s += 1) {
                const Point p = line[i - 1] + (line[i] - line[i - 1]) * (s / l);
                EXPECT_LE(distanceToLines(p, drawn), tolerance) << p.x << "," << p.y;
            }
        }
}

TEST(CentreLine, RectangleIsItsLongAxisFromEndToEndWithItsWidth) {
    const CentreLines lines = linesOf({box(0, 0, 100, 20)});
    ASSERT_EQ(lines.strokes.size(), 1u);
    expectSameLines(lines, {{{0, 10}, {100, 10}}}, 0.3);
    const CentreStroke& s = lines.strokes.front();
    EXPECT_NEAR(std::min(s.points.front().x, s.points.back().x), 0, 0.3);
    EXPECT_NEAR(std::max(s.points.front().x, s.points.back().x), 100, 0.3);
    ASSERT_EQ(s.widths.size(), s.points.size());
    for (std::size_t i = 0; i < s.points.size(); ++i)
        if (s.points[i].x >= 10 && s.points[i].x <= 90) {
            EXPECT_NEAR(s.widths[i], 20, 0.1);
        }
    EXPECT_TRUE(lines.freeBranches.empty());

    // Stopping short of the outline by half the half-width.
    const CentreLines inset = linesOf({box(0, 0, 100, 20)}, 0.5);
    ASSERT_EQ(inset.strokes.size(), 1u);
    const Polyline& p = inset.strokes.front().points;
    EXPECT_NEAR(std::min(p.front().x, p.back().x), 5, 0.3);
    EXPECT_NEAR(std::max(p.front().x, p.back().x), 95, 0.3);
}

TEST(CentreLine, AnLTurnsAtTheCrossingOfItsBarsAxes) {
    // Overlapping bars, as fonts often draw them, are merged first.
    expectSameLines(linesOf({box(0, 0, 20, 100), box(0, 0, 100, 20)}),
                    {{{10, 100}, {10, 10}, {100, 10}}}, 0.3);
}

TEST(CentreLine, RingIsOneClosedCircleHalfwayBetweenItsEdges) {
    const CentreLines lines = linesOf({circle({0, 0}, 50, true), circle({0, 0}, 30, false)});
    ASSERT_EQ(lines.strokes.size(), 1u);
    const Polyline& p = lines.strokes.front().points;
    EXPECT_NEAR(distance(p.front(), p.back()), 0, 1e-9);
    double turned = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        EXPECT_NEAR(length(p[i]), 40, 0.3);
        if (i > 0)
            turned +=
                std::remainder(std::atan2(p[i].y, p[i].x) - std::atan2(p[i - 1].y, p[i - 1].x),
                               2 * std::numbers::pi);
    }
    EXPECT_NEAR(std::abs(turned), 2 * std::numbers::pi, 1e-6);
}

TEST(CentreLine, JunctionsAreStraightened) {
    // T: the stem runs straight up into the bar's axis, which goes on through.
    const CentreLines t = linesOf({box(0, 80, 100, 100), box(40, 0, 60, 80)});
    expectSameLines(t, {{{0, 90}, {100, 90}}, {{50, 0}, {50, 90}}}, 0.3);
    // X: two straight crossing lines.
    const double w = 10 / std::sqrt(2.0);
    const CentreLines x = linesOf({{{-w, 0}, {100 - w, 100}, {100 + w, 100}, {w, 0}},
                                   {{100 - w, 0}, {-w, 100}, {w, 100}, {100 + w, 0}}});
    expectSameLines(x, {{{0, 0}, {100, 100}}, {{100, 0}, {0, 100}}}, 0.5);
    // A short stroke end is a stroke, not a spur, and is counted as a free branch.
    EXPECT_EQ(t.freeBranches.size(), 3u);
}

double lengthOf(const Polyline& line) {
    double total = 0;
    for (std::size_t i = 1; i < line.size(); ++i) total += distance(line[i - 1], line[i]);
    return total;
}

// Corners are no strokes: a triangle is one short stroke across its middle
// (its three corner branches pruned but the widest one, which is straightened),
// and a thin wedge is one stroke along it that stops short of its tip, where
// a pen of the wedge's width would spill past the outline.
TEST(CentreLine, ATriangleIsOneShortStrokeAndAWedgeStopsShortOfItsTip) {
    const CentreLines triangle = linesOf({{{0, 0}, {5, 8.66}, {10, 0}}});
    ASSERT_EQ(triangle.strokes.size(), 1u);
    const Polyline& t = triangle.strokes.front().points;
    EXPECT_NEAR(lengthOf(t), 4.23, 0.05);
    EXPECT_NEAR(std::min(t.front().x, t.back().x), 2.89, 0.05);
    EXPECT_NEAR(std::max(t.front().x, t.back().x), 7.11, 0.05);
    for (const Point p : t) EXPECT_NEAR(p.y, 2.89, 0.05);

    const CentreLines wedge = linesOf({{{0, 0}, {40, 3}, {40, -3}}});
    ASSERT_EQ(wedge.strokes.size(), 1u);
    const Polyline& w = wedge.strokes.front().points;
    EXPECT_NEAR(lengthOf(w), 34.4, 0.3);
    EXPECT_GT(std::min(w.front().x, w.back().x), 2) << "short of the tip";
    EXPECT_LT(std::max(w.front().x, w.back().x), 40) << "short of the base";
    for (const Point p : w) EXPECT_NEAR(p.y, 0, 0.05);
}

TEST(CentreLine, ABumpOnASideIsPrunedAndADotStaysAShortStroke) {
    // A bar with a small bump (a third of its width) on its top side.
    const Polyline bumped = {{0, 0},   {0, 20},  {45, 20},  {47, 26},
                             {53, 26}, {55, 20}, {100, 20}, {100, 0}};
    const CentreLines bar = linesOf({bumped});
    ASSERT_EQ(bar.strokes.size(), 1u);
    // The bump widens the bar there, so the axis bows towards it a little.
    expectSameLines(bar, {{{0, 10}, {100, 10}}}, 1);

    const CentreLines dot = linesOf({box(0, 0, 20, 24)});
    ASSERT_EQ(dot.strokes.size(), 1u);
    const Polyline& d = dot.strokes.front().points;
    ASSERT_EQ(d.size(), 2u);
    EXPECT_NEAR((d[0].x + d[1].x) / 2, 10, 0.1);
    EXPECT_NEAR((d[0].y + d[1].y) / 2, 12, 0.1);
    EXPECT_GT(distance(d[0], d[1]), 1);
    EXPECT_LT(distance(d[0], d[1]), 6);
}

}  // namespace
