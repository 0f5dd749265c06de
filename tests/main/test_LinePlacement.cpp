#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "TestFont.h"
#include "TestSupport.h"
#include "lib/Win1251.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

namespace {

// LineSpacing 12, FieldWidth 100, LetterHeight 10, WidthFactor 0.5: a one-point
// letter lies at (2.5, 10) in its box and is 2.5 wide, the gap is 1; "W" has
// (1, 10) and (3, 5) and is 3 wide.
const std::string kParameters = "12//a\r\n100//b\r\n10//c\r\n0.5//d\r\n";

class LinePlacementTest : public ::testing::Test {
  protected:
    void SetUp() override { writeTestFont(); }
    LayoutResult layOut(const std::string& text, const std::string& parameters = kParameters) {
        EventPump none;
        return LayOutProject(ParseProject(parameters + text, none), kTestFont, {});
    }
};

std::vector<PenPoint> drawn(const LayoutResult& r) {
    std::vector<PenPoint> out;
    for (std::size_t i = 2; i <= r.points->count(); ++i)
        if ((*r.points)[i].Z == 0) out.push_back((*r.points)[i]);
    return out;
}

std::string kinds(const LayoutResult& r) {
    std::string out;
    for (std::size_t i = 2; i <= r.points->count(); ++i) out += (*r.points)[i].Z == 0 ? 'P' : 'L';
    return out;
}

::testing::AssertionResult at(const PenPoint& p, double x, double y) {
    if (std::abs(p.X - x) <= 0.006 && std::abs(p.Y - y) <= 0.006)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << p.X << ", " << p.Y << ") is not near (" << x << ", " << y << ")";
}

TEST_F(LinePlacementTest, AlignmentShiftsWholeLinesWithinTheField) {
    // "AB" is 6 wide: centred it starts at 47, right-aligned at 94.
    const LayoutResult r = layOut(
        "<@ALIGN=C>AB\r\nA<@ALIGN=r>B\r\nAB\r\n<@ALIGN=R>\r\nAB\r\n"
        "AB<@ALIGN=L>\r\n<@ALIGN=X>AB\r\n");
    const std::vector<PenPoint> p = drawn(r);
    ASSERT_EQ(p.size(), 12u);
    EXPECT_TRUE(at(p[0], 49.5, -10));
    EXPECT_TRUE(at(p[1], 53, -10));
    EXPECT_TRUE(at(p[2], 96.5, -22));
    EXPECT_TRUE(at(p[3], 100, -22));
    EXPECT_TRUE(at(p[4], 2.5, -34)) << "a line without a tag keeps its left start";
    EXPECT_TRUE(at(p[6], 96.5, -46)) << "the default set by a line of its own takes no line";
    EXPECT_TRUE(at(p[8], 2.5, -58));
    EXPECT_TRUE(at(p[10], 96.5, -70)) << "a tag that does not read leaves the default";
    EXPECT_EQ(kinds(r), "PPLPPLPPLPPLPPLPPL") << "a setting line adds no lift";
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_NE(r.notes[0].find(cp("Строка 7")), std::string::npos);
    for (const PenPoint& q : p) EXPECT_TRUE(q.X > 0 && q.X <= 100);
}

TEST_F(LinePlacementTest, LineWiderThanTheFieldLiesAsBeforeAndIsReported) {
    const std::string narrow = "12//a\r\n5//b\r\n10//c\r\n0.5//d\r\n";
    const LayoutResult aligned = layOut("<@ALIGN=R>AB\r\n", narrow);
    const LayoutResult plain = layOut("AB\r\n", narrow);
    EXPECT_EQ(*aligned.points, *plain.points);
    ASSERT_EQ(aligned.notes.size(), 1u);
    EXPECT_EQ(win1251::toUtf8(aligned.notes[0]),
              "Строка 1 шире поля (6 мм при ширине 5 мм): оставлена у левого края");
}

TEST_F(LinePlacementTest, LettersTurnAsWholesUprightToTheCircle) {
    // Centred on the start angle, a lone "W" has its box middle on the circle
    // there: (1, 10) is half a millimetre left and 5 below the middle, (3, 5)
    // 1.5 right on the middle line.
    const LayoutResult r = layOut(
        "<@ALIGN=C><@ARC=0;0;50;90>W\r\n"
        "<@ALIGN=C><@ARC=0;0;50;270;CCW>W\r\n"
        "<@ALIGN=C><@ARC=0,0;0;50;0;cw>W\r\n"
        "<@ALIGN=C><@ARC=-1.25;0;50;90>A\r\n"
        "A\r\n");
    const std::vector<PenPoint> p = drawn(r);
    ASSERT_EQ(p.size(), 8u);
    EXPECT_TRUE(at(p[0], -0.5, 45));
    EXPECT_TRUE(at(p[1], 1.5, 50));
    EXPECT_TRUE(at(p[2], -0.5, -55)) << "counter-clockwise: tops towards the centre";
    EXPECT_TRUE(at(p[3], 1.5, -50));
    EXPECT_TRUE(at(p[4], 45, 0.5)) << "at 0 degrees the letter lies on its side";
    EXPECT_TRUE(at(p[5], 50, -1.5));
    EXPECT_EQ(p[6].X, 0.01) << "a point on X = 0 stays a drawing point";
    EXPECT_TRUE(at(p[7], 2.5, -10)) << "lines on an arc take no line of the field";
}

TEST_F(LinePlacementTest, TextRunsAlongTheArcInItsBand) {
    // One-point letters sit 5 below their middle and 1.25 right of it: on the
    // circle of radius 30, turned 1.25 along it.
    const double r0 = 35;
    const LayoutResult r = layOut("<@ARC=10;-20;35;90;CW>AAAA AAAA\r\n");
    const std::vector<PenPoint> p = drawn(r);
    ASSERT_EQ(p.size(), 8u);
    for (std::size_t k = 0; k < p.size(); ++k) {
        // Letter k's middle: 1.25 + 3.5 k along the line, 2.5 more after the space.
        const double along = 1.25 + 3.5 * static_cast<double>(k) + (k >= 4 ? 2.5 : 0);
        const double angle = std::numbers::pi / 2 - along / r0;
        EXPECT_TRUE(at(p[k], 10 + 30 * std::cos(angle) + 1.25 * std::sin(angle),
                       -20 + 30 * std::sin(angle) - 1.25 * std::cos(angle)))
            << k;
        EXPECT_NEAR(std::hypot(p[k].X - 10, p[k].Y + 20), std::hypot(30, 1.25), 0.01);
    }
    EXPECT_EQ(kinds(r), "PPPPLPPPPL");
}

TEST_F(LinePlacementTest, FitShrinksALineToItsBoxAboutItsInkAndNeverGrows) {
    // "WWW" has ink from 1 to 11: fitted to 5 it is half as large, its ink
    // starting the line and its letters' middle where full-size ones have it.
    const LayoutResult r = layOut(
        "<@FIT=5>WWW\r\n<@FIT=50>W\r\n<@ALIGN=C><@FIT=5>WWW\r\n<@FIT=50;5>W\r\n"
        "<@FIT=x>W\r\n");
    const std::vector<PenPoint> p = drawn(r);
    ASSERT_EQ(p.size(), 18u);
    EXPECT_TRUE(at(p[0], 0.01, -7.5)) << "the ink's left end stays a drawing point";
    EXPECT_TRUE(at(p[1], 1, -5));
    EXPECT_TRUE(at(p[5], 5, -5)) << "the ink ends at the box's width";
    EXPECT_TRUE(at(p[6], 0.01, -22)) << "a short line keeps its size";
    EXPECT_TRUE(at(p[7], 2, -17));
    EXPECT_TRUE(at(p[8], 47.5, -31.5)) << "the fitted width is what is centred";
    EXPECT_TRUE(at(p[13], 52.5, -29));
    EXPECT_TRUE(at(p[14], 0.01, -43.5)) << "a height limit shrinks it too";
    EXPECT_TRUE(at(p[15], 1, -41));
    EXPECT_TRUE(at(p[16], 1, -58)) << "a fit that does not read leaves the line as it was";
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_NE(win1251::toUtf8(r.notes[0]).find("Строка 5: вписывание «x» не понято"),
              std::string::npos);
}

TEST_F(LinePlacementTest, FitOnALineOfItsOwnFitsTheLinesThatFollowAsOneBlock) {
    // Widest ink 10 into 5 gives 0.5; two lines 12 apart of letters 10 high
    // into 8 give 8 / 22, which wins; the lines close up with their letters.
    const LayoutResult r =
        layOut("<@FIT=5;8>\r\nWWW\r\nW\r\n<@FIT=OFF>\r\nW\r\n<@FIT=6>\r\nWWW\r\n");
    const double k = 8.0 / 22;
    const std::vector<PenPoint> p = drawn(r);
    ASSERT_EQ(p.size(), 16u);
    EXPECT_TRUE(at(p[0], 0.01, -10 * k)) << "the block hangs from its top";
    EXPECT_TRUE(at(p[6], 0.01, -10 * k - 12 * k));
    EXPECT_TRUE(at(p[8], 1, -10 - 24 * k)) << "after the block, letters at their size";
    EXPECT_TRUE(at(p[15], 6, -3 - 12 - 24 * k - 2)) << "a fit without height: each line alone";
    EXPECT_TRUE(r.notes.empty());
}

TEST_F(LinePlacementTest, MirrorTurnsThePlateAboutTheFieldsMiddle) {
    MachiningSettings mirrored;
    mirrored.Mirror = true;
    EventPump none;
    const LayoutResult byOption = LayOutProject(
        ParseProject(kParameters + "W\r\n<@ALIGN=C>W\r\n", none), kTestFont, mirrored);
    const LayoutResult byTag = layOut("W\r\n<@ALIGN=C>W\r\n<@MIRROR>\r\n");
    EXPECT_EQ(*byOption.points, *byTag.points);
    const std::vector<PenPoint> p = drawn(byTag);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_TRUE(at(p[0], 99, -10));
    EXPECT_TRUE(at(p[1], 97, -5));
    EXPECT_TRUE(at(p[2], 50.5, -22)) << "centred text stays in the middle";
    EXPECT_TRUE(at(p[3], 48.5, -17));
    EXPECT_EQ(kinds(byTag), "PPLPPL") << "the tag's line takes no room and adds no lift";
}

TEST_F(LinePlacementTest, BoldWritesEachStrokeSeveralTimesSideBySideWithoutLifts) {
    MachiningSettings wide;
    wide.LineWidth = 0.3;
    EventPump none;
    const LayoutResult r = LayOutProject(
        ParseProject(kParameters + "<@BOLD=3>W A\r\nW\r\n<@BOLD=2>\r\nA\r\n<@BOLD=0>W\r\n", none),
        kTestFont, wide);
    // W runs from (1, -10) to (3, -5); its left normal is (-5, 2) / sqrt(29).
    const double nx = -5 / std::sqrt(29.0) * 0.3;
    const double ny = 2 / std::sqrt(29.0) * 0.3;
    const std::vector<PenPoint> p = drawn(r);
    ASSERT_EQ(p.size(), 14u);
    EXPECT_TRUE(at(p[0], 1 - nx, -10 - ny));
    EXPECT_TRUE(at(p[1], 3 - nx, -5 - ny));
    EXPECT_TRUE(at(p[2], 3, -5)) << "the middle copy runs back";
    EXPECT_TRUE(at(p[3], 1, -10));
    EXPECT_TRUE(at(p[4], 1 + nx, -10 + ny));
    EXPECT_TRUE(at(p[5], 3 + nx, -5 + ny));
    EXPECT_TRUE(at(p[6], 9, -10)) << "a stroke of one point stays one point";
    EXPECT_TRUE(at(p[7], 1, -22)) << "a tag in a line is for that line";
    EXPECT_EQ(kinds(r), "PPPPPPLPLPPLPLPPPPL");
    ASSERT_EQ(r.notes.size(), 1u) << "BOLD=0 is refused";
}

}  // namespace
