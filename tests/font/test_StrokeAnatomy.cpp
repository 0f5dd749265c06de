#include <gtest/gtest.h>

#include "font/PointLabels.h"
#include "font/StrokeAnatomy.h"

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
    // A lone "0,0" at either end is no mark: the letter starts at the next point.
    EXPECT_EQ(strokeanatomy::analyse({"0,0", "30,30"}).start, 1u);
}

TEST(PointLabels, CrowdedNumbersNeverOverlapOneAnotherOrAnyPoint) {
    std::vector<pointlabels::Request> requests;
    for (int i = 0; i < 60; ++i)  // a dense spiral of points 4 pixels apart
        requests.push_back(
            {QPointF(200 + i * 2.0, 200 + (i % 7) * 4.0), QPointF(0, -1), QSizeF(14, 12)});
    requests.push_back({QPointF(900, 900), QPointF(), QSizeF(14, 12)});  // off the picture
    const auto boxes = pointlabels::place(requests, 3, QRectF(0, 0, 400, 400));
    std::vector<QRectF> placed;
    for (const auto& b : boxes)
        if (b) placed.push_back(*b);
    EXPECT_GT(placed.size(), 8u);
    EXPECT_LT(placed.size(), 60u);
    EXPECT_FALSE(boxes.back());
    // The first point has all the room it wants: straight above it.
    ASSERT_TRUE(boxes[0]);
    EXPECT_LT(boxes[0]->bottom(), 200 - 3);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(placed[i].intersects(placed[j])) << i << " " << j;
        for (const auto& r : requests) EXPECT_FALSE(placed[i].contains(r.point));
    }
}
