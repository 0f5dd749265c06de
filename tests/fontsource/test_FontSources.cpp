#include <gtest/gtest.h>

#include <cmath>

#include "fontsource/FontSources.h"
#include "fontsource/Geometry.h"

using namespace fontc;

namespace {

TEST(LffFont, ReadsHeaderGlyphsArcsAndReferences) {
    const LffFont font = parseLff(
        "# Format:            LibreCAD Font 1\n"
        "# Name:              sample\n"
        "# Author:            Someone <someone@example.org>\n"
        "\n"
        "[0041] A\n"
        "0,0;2,6;4,0\n"
        "1,3;3,3\n"
        "\n"
        "[00c0] \xC3\x80\n"
        "C0041\n"
        "1.5,7;2.5,8\n"
        "\n"
        "[006f] o\n"
        "1,0;-1,0,A1;1,0,A1\n");
    EXPECT_EQ(font.header.at("Name"), "sample");
    EXPECT_EQ(font.header.at("Author"), "Someone <someone@example.org>");
    ASSERT_EQ(font.glyphs.size(), 3u);
    EXPECT_EQ(font.glyphs.at(U'A').paths.size(), 2u);
    // À: A's paths first, then its own grave accent.
    const SourceGlyph& aGrave = font.glyphs.at(0xC0);
    ASSERT_EQ(aGrave.paths.size(), 3u);
    EXPECT_DOUBLE_EQ(aGrave.paths[2][0].p.x, 1.5);
    EXPECT_DOUBLE_EQ(aGrave.paths[2][1].p.y, 8);
    const SourceGlyph& o = font.glyphs.at(U'o');
    ASSERT_EQ(o.paths.size(), 1u);
    EXPECT_DOUBLE_EQ(o.paths[0][1].bulge, 1);
}

TEST(LffFont, BulgeArcsTurnCounterClockwiseWithYUpAndStayWithinTheChordError) {
    // Half circles of radius 10 round the origin: over the top, then back under it.
    const SourcePath circle = {{{10, 0}, 0}, {{-10, 0}, 1}, {{10, 0}, 1}};
    const Polyline line = flatten(circle, 0.3);
    ASSERT_GT(line.size(), 8u);
    const Point top = line[line.size() / 4];
    EXPECT_GT(top.y, 5);  // the first half passes above the x axis
    for (const Point p : line) EXPECT_NEAR(std::hypot(p.x, p.y), 10, 1e-9);
    for (std::size_t i = 1; i < line.size(); ++i) {
        const Point mid = (line[i - 1] + line[i]) * 0.5;
        EXPECT_LT(10 - std::hypot(mid.x, mid.y), 0.3);
    }
    // A negative bulge bends the other way.
    const Polyline under = flatten({{{10, 0}, 0}, {{-10, 0}, -1}}, 0.3);
    EXPECT_LT(under[under.size() / 2].y, -5);
}

TEST(LffFont, AGlyphThatDoesNotReadIsLeftOutAndNamedWithItsLine) {
    const LffFont font = parseLff(
        "# Name: x\n"
        "[0041] A\n0,0;1,1,B2\n\n"
        "[0042] B\nC0058\n\n"
        "[0043] C\nC0043\n\n"
        "[0044] D\n0,0;x,1\n\n"
        "[0045] E\nC0041\n1,1;2,2\n\n"
        "[0046] F\n0,0;1,1\n");
    EXPECT_EQ(font.broken, (std::vector<std::string>{
                               "«A»: строка 3: неверная вершина «1,1,B2»",
                               "«B»: строка 6: ссылка на знак, которого нет в шрифте",
                               "«C»: строка 9: знак ссылается сам на себя",
                               "«D»: строка 12: не число: «x»",
                               "«E»: строка 15: ссылка на знак, который не читается",
                           }));
    ASSERT_EQ(font.glyphs.size(), 1u);
    EXPECT_TRUE(font.glyphs.contains(U'F'));
}

TEST(LffFont, GlyphsAreReadAsLibreCadReadsThem) {
    // Debian's OpenGost fonts write "[#0020]"; a header without a code
    // (LibreCAD 1 wrote the character itself) is passed over with its lines;
    // a blank line ends a glyph, and lines after it are passed over too; a
    // glyph's first definition counts; a bulge may follow y without a comma.
    const LffFont font = parseLff(
        "0,0;1,1\n"
        "[#0020]\n"
        "\n"
        "[#0041] A\n"
        "0,0;2,6;4,0\n"
        "\n"
        "3,3;4,4\n"
        "[\xC3\x96]\n"
        "1,1;2,2\n"
        "\n"
        "[1F600] smile\n"
        "0,0;1,1\n"
        "\n"
        "[0041] A\n"
        "C0041\n"
        "\n"
        "[006F] o\n"
        "0,0;6.,1.5A.41\n");
    EXPECT_EQ(font.glyphs.size(), 4u);
    EXPECT_TRUE(font.glyphs.contains(U' '));
    EXPECT_EQ(font.glyphs.at(U'A').paths.size(), 1u);
    EXPECT_TRUE(font.glyphs.contains(0x1F600));
    EXPECT_EQ(font.repeated, 1);
    EXPECT_TRUE(font.broken.empty());
    const PathVertex& end = font.glyphs.at(U'o').paths.at(0).at(1);
    EXPECT_DOUBLE_EQ(end.p.y, 1.5);
    EXPECT_DOUBLE_EQ(end.bulge, 0.41);
}

TEST(JhfFont, ReadsPathsPenUpsBearingsAndContinuedRecords) {
    // "!" of the Roman simplex: a stem and a dot; then a glyph split over two lines.
    const auto glyphs = parseJhf(
        "  714  9MWRFRT RRYQZR[SZRY\n"
        "12345  5JZRFRN\n"
        "RZSZ\n");
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[0].number, 714);
    EXPECT_EQ(glyphs[0].left, -5);
    EXPECT_EQ(glyphs[0].right, 5);
    ASSERT_EQ(glyphs[0].glyph.paths.size(), 2u);
    // y turned upward: "F" (-12 in the file) is 12.
    EXPECT_DOUBLE_EQ(glyphs[0].glyph.paths[0][0].p.y, 12);
    EXPECT_DOUBLE_EQ(glyphs[0].glyph.paths[0][1].p.y, -2);
    EXPECT_EQ(glyphs[0].glyph.paths[1].size(), 5u);
    ASSERT_EQ(glyphs[1].glyph.paths.size(), 1u);
    EXPECT_EQ(glyphs[1].glyph.paths[0].size(), 4u);
    EXPECT_DOUBLE_EQ(glyphs[1].glyph.paths[0][3].p.y, -8);
}

TEST(JhfFont, TruncatedRecordIsAnError) {
    EXPECT_THROW(parseJhf("  714  9MWRFRT\n"), FontSourceError);
    EXPECT_THROW(parseJhf("  7x4  9MWRFRT RRYQZR[SZRY\n"), FontSourceError);
}

}  // namespace
