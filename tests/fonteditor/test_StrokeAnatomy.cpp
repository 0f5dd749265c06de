#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "font/FontStorage.h"
#include "fonteditor/PointLabels.h"
#include "fonteditor/StrokeAnatomy.h"

using strokeanatomy::SegmentKind;

namespace {
std::vector<SegmentKind> kinds(const strokeanatomy::Anatomy& a) {
    std::vector<SegmentKind> k;
    for (const auto& s : a.segments) k.push_back(s.kind);
    return k;
}
}  // namespace

TEST(StrokeAnatomy, APlainStrokeIsAllInkFromItsFirstToItsLastPoint) {
    const auto a = strokeanatomy::analyse({"10,10", "50,10", "50,50", "10,50"});
    EXPECT_EQ(kinds(a), std::vector<SegmentKind>(3, SegmentKind::Ink));
    EXPECT_EQ(a.segments[1].from, 1u);
    EXPECT_EQ(a.segments[1].to, 2u);
    EXPECT_EQ(a.start, 0u);
    EXPECT_EQ(a.end, 3u);
}

TEST(StrokeAnatomy, APieceDrawnAgainEitherWayIsARetrace) {
    // Down and back up the stem; then along the top and along it once more the same way.
    const auto a = strokeanatomy::analyse(
        {"20,80", "20,20", "20,80", "20,20.001", "60,20", "20,20", "60,20", "60,20", "90,90"});
    EXPECT_EQ(kinds(a),
              (std::vector<SegmentKind>{
                  SegmentKind::Ink, SegmentKind::Retrace, SegmentKind::Retrace, SegmentKind::Ink,
                  SegmentKind::Retrace, SegmentKind::Retrace, SegmentKind::Ink, SegmentKind::Ink}));
}

TEST(StrokeAnatomy, ABreakMarkJoinsItsNeighboursAndPointsOutsideTheBoxAreNotMarked) {
    // «i»: the stem, a mark, the dot; a second mark in a row still joins once.
    const auto a = strokeanatomy::analyse(
        {"50,90", "50,40", "0,0", "50,25", "50,24", "0,0", "0,0", "70,70", "-5,70", "80,80"});
    ASSERT_EQ(a.segments.size(), 5u);
    EXPECT_EQ(a.segments[1].kind, SegmentKind::Join);
    EXPECT_EQ(a.segments[1].from, 1u);
    EXPECT_EQ(a.segments[1].to, 3u);
    EXPECT_EQ(a.segments[2].kind, SegmentKind::Ink);
    EXPECT_EQ(a.segments[3].kind, SegmentKind::Join);
    EXPECT_EQ(a.segments[3].to, 7u);
    // (-5,70) is reached but carries no mark and starts no line.
    EXPECT_EQ(a.segments[4].to, 8u);
    EXPECT_EQ(a.marked, (std::vector<std::size_t>{0, 1, 3, 4, 7, 9}));
    EXPECT_EQ(a.end, 9u);
    // Without the joins, the drawing the surface always showed.
    const std::vector<std::string> lines = {"50,90", "50,40", "0,0", "50,25", "-5,70", "80,80"};
    const letteredit::Drawing expected = letteredit::drawLetter(lines);
    const letteredit::Drawing drawn = strokeanatomy::drawingOf(strokeanatomy::analyse(lines));
    ASSERT_EQ(drawn.lines.size(), expected.lines.size());
    EXPECT_EQ(drawn.marks.size(), expected.marks.size());
    EXPECT_EQ(drawn.lines[1].to.x, expected.lines[1].to.x);
    // A lone "0,0" at either end is no mark: the letter starts at the next point,
    // and a last "0,0" is a point drawn to, as the layout and the viewer have it.
    EXPECT_EQ(strokeanatomy::analyse({"0,0", "30,30"}).start, 1u);
    const std::vector<std::string> tail = {"30,30", "60,60", "0,0"};
    EXPECT_FALSE(IsStrokeBreak(tail, 2));
    const auto toCorner = strokeanatomy::analyse(tail);
    ASSERT_EQ(toCorner.segments.size(), 2u);
    EXPECT_EQ(toCorner.segments[1].to, 2u);
    EXPECT_EQ(toCorner.segments[1].kind, SegmentKind::Ink);
}

TEST(PointLabels, CrowdedNumbersStayApartAndEachNamesItsOwnPoint) {
    std::vector<pointlabels::Request> requests;
    for (int i = 0; i < 64; ++i)  // a zigzag of points 9 to 13 pixels apart
        requests.push_back({QPointF(100 + (i % 8) * 11.0 + (i / 8 % 2) * 4, 100 + (i / 8) * 9.0),
                            QPointF(0, -1), QSizeF(14, 12)});
    requests.push_back({QPointF(900, 900), QPointF(), QSizeF(14, 12)});  // off the picture
    const auto boxes = pointlabels::place(requests, 3, QRectF(0, 0, 400, 400));
    EXPECT_FALSE(boxes.back());
    // The first point has all the room it wants: straight above it.
    ASSERT_TRUE(boxes[0]);
    EXPECT_LT(boxes[0]->bottom(), 100 - 3);
    const auto distance = [](QPointF p, const QRectF& b) {
        return std::hypot(std::max({b.left() - p.x(), 0.0, p.x() - b.right()}),
                          std::max({b.top() - p.y(), 0.0, p.y() - b.bottom()}));
    };
    std::size_t placed = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (!boxes[i]) continue;
        ++placed;
        for (std::size_t j = 0; j < boxes.size(); ++j) {
            if (j == i) continue;
            if (boxes[j]) {
                EXPECT_FALSE(boxes[i]->intersects(*boxes[j])) << i << " " << j;
            }
            EXPECT_GE(distance(requests[j].point, *boxes[i]),
                      distance(requests[i].point, *boxes[i]))
                << i << " " << j;
        }
    }
    // The rim of the crowd has room; not every point inside it does.
    EXPECT_GE(placed, 12u);
    EXPECT_LT(placed, 64u);
}
