#include <gtest/gtest.h>

#include "TestSupport.h"
#include "fonteditor/LetterEditing.h"

using namespace letteredit;
using Lines = std::vector<std::string>;

TEST(LetterEditing, AreaModeAndStaleSelectionsChangeNothing) {
    Letter letter{{"1,1"}, 0};
    EXPECT_FALSE(click(letter, Mode::Area, 9, 9));
    EXPECT_EQ(letter.points, Lines{"1,1"});
    EXPECT_EQ(letter.selected, 0u);

    // A selection past the end must not insert out of range.
    letter.selected = 5;
    EXPECT_FALSE(click(letter, Mode::MovePoint, 9, 9));
    EXPECT_EQ(letter.points, Lines{"1,1"});
    EXPECT_FALSE(removeSelected(letter));
    EXPECT_EQ(letter.points, Lines{"1,1"});
}

TEST(LetterEditing, ShiftMovesEveryPointAndRewritesItsForm) {
    Letter letter{{"10,20", "-.5,3", "200,-40", "12,5,30"}, 1};
    const Offset right = keyOffset(ArrowKey::Right);
    shiftAll(letter, right.dx, right.dy);
    // The line with two commas keeps only what the letter file format reads.
    EXPECT_EQ(letter.points, (Lines{"11,20", ".5,3", "201,-40", "13,5"}));
    EXPECT_FALSE(letter.selected);

    const Offset up = keyOffset(ArrowKey::Up);
    shiftAll(letter, up.dx, up.dy);
    EXPECT_EQ(letter.points[0], "11,19");

    letter.points = {" 7.50 ,020", "0.125,.375"};
    const Offset none = keyOffset(ArrowKey::Other);
    shiftAll(letter, none.dx, none.dy);
    EXPECT_EQ(letter.points, (Lines{"7.5,20", ".12,.38"}));

    EXPECT_EQ(keyOffset(ArrowKey::Left).dx, -1);
    EXPECT_EQ(keyOffset(ArrowKey::Down).dy, 1);

    // A break mark is no point: it stays where it is, the points around it move.
    letter.points = {"2,77.17", "2.43,74.96", "0,0", "2.2,61.37"};
    for (int i = 0; i < 5; ++i) shiftAll(letter, right.dx, right.dy);
    EXPECT_EQ(letter.points, (Lines{"7,77.17", "7.43,74.96", "0,0", "7.2,61.37"}));
}

TEST(LetterEditing, PointsOnOrOutsideTheTopLeftEdgesGetNoMarkAndStartNoLine) {
    const Drawing d = drawLetter({"10,10", "0,50", "20,60", "30,-1", "40,40"});
    ASSERT_EQ(d.marks.size(), 3u);
    EXPECT_EQ(d.marks[0].x, 10);
    EXPECT_EQ(d.marks[1].x, 20);
    EXPECT_EQ(d.marks[2].x, 40);
    // 10,10 -> 0,50 and 20,60 -> 30,-1 reach the unmarked points; the last point starts nothing.
    ASSERT_EQ(d.lines.size(), 2u);
    EXPECT_EQ(d.lines[0].to.x, 0);
    EXPECT_EQ(d.lines[0].to.y, 50);
    EXPECT_EQ(d.lines[1].from.x, 20);
    EXPECT_EQ(d.lines[1].to.y, -1);

    EXPECT_TRUE(drawLetter({}).marks.empty());
    EXPECT_EQ(drawLetter({"5,5"}).lines.size(), 0u);
    // A break mark is a gap: no line into it; a (0, 0) that ends the letter is a point.
    const Drawing broken = drawLetter({"10,10", "0,0", "20,20", "30,30", "0,0"});
    ASSERT_EQ(broken.lines.size(), 2u);
    EXPECT_EQ(broken.lines[0].from.x, 20);
    EXPECT_EQ(broken.lines[1].to.x, 0);
}

TEST(LetterEditing, LinesWithoutCommaAreFound) {
    EXPECT_EQ(firstLineWithoutComma({"1,2", "3", "4"}), 1u);
    EXPECT_EQ(firstLineWithoutComma({"1,2", ""}), 1u);
    EXPECT_EQ(firstLineWithoutComma({"1,2"}), std::nullopt);
}

TEST(LetterEditing, LetterListHoldsEveryCodeInOrder) {
    const auto entries = letterEntries({65, 192, 7, 300});
    ASSERT_EQ(entries.size(), 225u);
    EXPECT_EQ(entries[0].text, std::string("[7]\x07"));
    EXPECT_TRUE(entries[0].exists);
    EXPECT_EQ(entries[1].code, 32);
    EXPECT_FALSE(entries[1].exists);
    EXPECT_EQ(entries[34].text, "[65]A");
    EXPECT_TRUE(entries[34].exists);
    EXPECT_EQ(entries[161].text, w("[192]А"));
    EXPECT_EQ(entries.back().code, 255);
}

TEST(LetterEditing, BreakMarksArePutAfterThePointListedAndTakenOut) {
    Letter letter{{"10,10", "20,20"}, std::nullopt};
    EXPECT_FALSE(insertBreakAfterSelected(letter));
    letter.selected = 0;
    ASSERT_TRUE(insertBreakAfterSelected(letter));
    EXPECT_EQ(letter.points, (std::vector<std::string>{"10,10", "0,0", "20,20"}));
    EXPECT_EQ(pointListText(letter.points, 1), w("— разрыв —"));
    EXPECT_EQ(pointListText(letter.points, 0), "10,10");
    ASSERT_TRUE(removeSelected(letter)) << "the mark is selected";
    EXPECT_EQ(letter.points, (std::vector<std::string>{"10,10", "20,20"}));
}
