#include <gtest/gtest.h>

#include "fonteditor/LetterView.h"
#include "fonteditor/PointEditing.h"

using namespace letteredit;
using Lines = std::vector<std::string>;

TEST(PointEditing, SelectionFindsPointsButNeverBreakMarks) {
    Letter letter{{"10,10", "0,0", "20,20", "21,20", "90,90"}, std::nullopt};
    const auto points = parsePoints(letter.points);
    EXPECT_EQ(pointAt(points, letter.points, 20.8, 20.1, 1), 3u);  // the nearer of two
    EXPECT_FALSE(pointAt(points, letter.points, 0.1, 0.1, 1));
    EXPECT_FALSE(pointAt(points, letter.points, 50, 50, 1));
    EXPECT_EQ(pointsWithin(points, letter.points, {25, 25, -5, -5}),
              (std::vector<std::size_t>{0, 2, 3}));

    select(letter, {3, 0, 3}, 3);
    EXPECT_EQ(letter.selection, (std::vector<std::size_t>{0, 3}));
    EXPECT_EQ(letter.selected, 3u);
    toggle(letter, 3);
    EXPECT_EQ(letter.selection, std::vector<std::size_t>{0});
    EXPECT_EQ(letter.selected, 0u);

    // Moving leaves a selected break mark where it is: it is no point.
    select(letter, {0, 1});
    moveSelection(letter, 1, -10);
    EXPECT_EQ(letter.points, (Lines{"11,0", "0,0", "20,20", "21,20", "90,90"}));
}

TEST(PointEditing, SegmentsTakeANewPointOnTheLineBetweenTheirEnds) {
    Letter letter{{"10,10", "30,10", "0,0", "30,50"}, std::nullopt};
    EXPECT_EQ(insertOnSegment(letter, 20.2, 10.5, 1), 1u);
    EXPECT_EQ(letter.points, (Lines{"10,10", "20.2,10", "30,10", "0,0", "30,50"}));
    EXPECT_EQ(letter.selection, std::vector<std::size_t>{1});
    // No line is drawn across a break mark.
    EXPECT_FALSE(insertOnSegment(letter, 30, 30, 1));
}

TEST(PointEditing, MirrorScaleAndPasteKeepTheLetterWithinItsLimits) {
    Letter letter{{"10,20", "30,60", "0,0", "50,20"}, std::nullopt};
    ASSERT_TRUE(mirrorSelection(letter, true));  // nothing selected: the whole letter
    EXPECT_EQ(letter.points, (Lines{"50,20", "30,60", "0,0", "10,20"}));
    select(letter, {0, 1}, 1);
    ASSERT_TRUE(scaleSelection(letter, 0.5));  // about the middle (40, 40)
    EXPECT_EQ(letter.points[0], "45,30");
    EXPECT_EQ(letter.points[1], "35,50");
    EXPECT_FALSE(scaleSelection(letter, 1e4));
    EXPECT_FALSE(scaleSelection(letter, -1));
    EXPECT_EQ(letter.points[0], "45,30");

    EXPECT_EQ(copyText(letter), "45,30\r\n35,50\r\n");
    // Pasted behind the selected point, and selected.
    ASSERT_TRUE(paste(letter, " 1.5,2\r\n\r\n3,4"));
    EXPECT_EQ(letter.points, (Lines{"45,30", "35,50", " 1.5,2", "3,4", "0,0", "10,20"}));
    EXPECT_EQ(letter.selection, (std::vector<std::size_t>{2, 3}));
    // Text that is not points, or beyond the limits, changes nothing.
    for (const char* text : {"", "Hello, world", "1,2\r\nx", "1,20001", "1,2,3"})
        EXPECT_FALSE(paste(letter, text)) << text;
    EXPECT_EQ(letter.points.size(), 6u);
}

TEST(LetterView, ZoomKeepsThePointUnderTheCursorAndFitShowsEveryPoint) {
    LetterView view;
    view.setSize(600, 600);
    // Unzoomed: -10 to 110 across the surface.
    EXPECT_DOUBLE_EQ(view.toUnits({0, 600}).x, -10);
    EXPECT_DOUBLE_EQ(view.toUnits({0, 600}).y, 110);
    const Point cursor{123, 456};
    const Point under = view.toUnits(cursor);
    for (double factor : {1.25, 4.0, 0.3, 1e9}) {
        view.zoomAbout(cursor, factor);
        EXPECT_NEAR(view.toUnits(cursor).x, under.x, 1e-9);
        EXPECT_NEAR(view.toUnits(cursor).y, under.y, 1e-9);
    }
    EXPECT_EQ(view.zoom(), LetterView::kMaxZoom);
    view.panBy(30, -60);
    const Point moved = view.toPixels(under);
    EXPECT_NEAR(moved.x, cursor.x + 30, 1e-6);
    EXPECT_NEAR(moved.y, cursor.y - 60, 1e-6);

    view.fit({{50, 50}});
    EXPECT_DOUBLE_EQ(view.zoom(), 1);
    EXPECT_DOUBLE_EQ(view.toUnits({0, 0}).x, -10);
    view.fit({{-200, 50}, {50, 300}});
    for (Point p : {view.toPixels({-200, 300}), view.toPixels({110, -10})}) {
        EXPECT_GT(p.x, 0);
        EXPECT_LT(p.x, 600);
        EXPECT_GT(p.y, 0);
        EXPECT_LT(p.y, 600);
    }

    EXPECT_EQ(gridLines(-1, 11, 5, 10), (std::vector<double>{0, 5, 10}));
    EXPECT_TRUE(gridLines(-1, 11, 0.5, 4).empty());  // 2 pixels apart: no grid
    EXPECT_DOUBLE_EQ(snapToGrid(7.4, 5), 5);
    EXPECT_DOUBLE_EQ(snapToGrid(-7.6, 5), -10);
}
