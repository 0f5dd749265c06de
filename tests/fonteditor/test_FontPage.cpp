#include <gtest/gtest.h>

#include "fonteditor/FontPage.h"

using namespace fontpage;

TEST(FontPage, TextsAndLetterSitAtFixedPlacesInTheCell) {
    EXPECT_DOUBLE_EQ(codeTextPosition(4, 1).x, 512.5);
    EXPECT_DOUBLE_EQ(codeTextPosition(4, 1).y, 78.125);
    EXPECT_DOUBLE_EQ(characterTextPosition(4, 1).x, 562.5);
    EXPECT_NEAR(letterOrigin(4, 1).x, 500 + 89.2857, 1e-3);
    EXPECT_DOUBLE_EQ(letterOrigin(4, 1).y, 78.125);
}

TEST(FontPage, LetterIsScaledIntoTheCellAndSkipsPointsOffThePage) {
    const PagePoint origin{100, 50};
    const auto strokes =
        letterStrokes({"0,0", "100,100", "-300,10", "10", "50,-200", "25,50"}, origin);
    ASSERT_EQ(strokes.size(), 1u);
    const auto& line = strokes[0];
    // (0,0) is kept: only the page position counts. The point without "," and
    // the two that land left of or above the page are left out.
    ASSERT_EQ(line.size(), 3u);
    EXPECT_NEAR(line[0].x, 100, 1e-4);
    EXPECT_NEAR(line[0].y, 50, 1e-4);
    EXPECT_NEAR(line[1].x, 140, 1e-4);
    EXPECT_NEAR(line[1].y, 90, 1e-4);
    EXPECT_NEAR(line[2].x, 110, 1e-4);
    EXPECT_NEAR(line[2].y, 70, 1e-4);

    EXPECT_TRUE(letterStrokes({}, origin).front().empty());
    // On the page's left edge a point is off the page.
    EXPECT_TRUE(letterStrokes({"-250,10"}, origin).front().empty());
}

TEST(FontPage, BreakMarksSplitTheLetterOnlyBetweenPoints) {
    const PagePoint origin{100, 50};
    // Marks at both ends are points at the origin; inside, one mark or several in a row
    // make one gap, and no line leads to the cell's corner.
    const auto strokes = letterStrokes(
        {"0,0", "10,10", "0,0", "20,20", "30,30", "0,0", "0,0", "40,40", "0,0"}, origin);
    ASSERT_EQ(strokes.size(), 3u);
    EXPECT_EQ(strokes[0].size(), 2u);
    EXPECT_EQ(strokes[1].size(), 2u);
    ASSERT_EQ(strokes[2].size(), 2u);
    EXPECT_NEAR(strokes[2][0].x, 116, 1e-4);
    EXPECT_NEAR(strokes[2][1].x, 100, 1e-4);
}
