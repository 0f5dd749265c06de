#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fontsource/FontSources.h"
#include "fontsource/SvgFont.h"

using namespace fontc;

namespace {

// Units of 100 to the em: curves are cut no farther than a quarter unit from the curve.
const char* const kFont = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE svg PUBLIC "-//W3C//DTD SVG 1.1//EN" "http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd">
<svg xmlns="http://www.w3.org/2000/svg"><metadata>
Font name:   Sample Stroke
Created by:  Someone
</metadata><defs><font id="s" horiz-adv-x="60">
<glyph unicode="A" horiz-adv-x="60" d="M 0 0 L 30 70 L 60 0 M 15 35 H 45" />
<glyph unicode="o" d="m 50,0 c 27.6,0 50,22.4 50,50 s -22.4,50 -50,50 A 50 50 0 0 1 50 0 z" />
<glyph unicode="&#x411;" d="M40 70H0V0h30q20 0 20 17.5T30 35H0" />
<glyph unicode="&amp;" d="M1.5.5L-2e1,3" />
<glyph unicode="&#x20AC;" d="M 0 0 a5 5 0 0110 0" />
<glyph unicode="A" d="M 0 0 L 1 1" />
<glyph unicode="fi" d="M 0 0 L 1 1" />
<glyph unicode="&#x4E2D;" d="M 0 0 L 1 1" />
<glyph unicode="B" d="M 0 0 L 10" />
<glyph unicode=" " />
<font-face units-per-em="100" ascent="80" descent="-20" />
</font></defs></svg>
)";

double radiusError(const SourcePath& path, Point centre, double radius) {
    double worst = 0;
    for (std::size_t i = 1; i < path.size(); ++i) {
        worst = std::max(worst, std::fabs(distance(path[i].p, centre) - radius));
        const Point mid = (path[i - 1].p + path[i].p) * 0.5;
        worst = std::max(worst, std::fabs(distance(mid, centre) - radius));
    }
    return worst;
}

TEST(SvgFont, ReadsGlyphsByUnicodeWithMovesLinesAndCurvesYUpward) {
    const SvgFont font = parseSvgFont(kFont);
    EXPECT_DOUBLE_EQ(font.unitsPerEm, 100);
    EXPECT_DOUBLE_EQ(font.ascent, 80);
    EXPECT_DOUBLE_EQ(font.descent, -20);
    EXPECT_EQ(font.metadata.at("Font name"), "Sample Stroke");

    // Two strokes: the first glyph of a character counts, the repeat is left out.
    const SourceGlyph& a = font.glyphs.at(U'A');
    ASSERT_EQ(a.paths.size(), 2u);
    ASSERT_EQ(a.paths[0].size(), 3u);
    EXPECT_DOUBLE_EQ(a.paths[0][1].p.y, 70);  // the apex stays above the baseline
    EXPECT_DOUBLE_EQ(a.paths[1][1].p.x, 45);
    EXPECT_DOUBLE_EQ(a.paths[1][1].p.y, 35);
    EXPECT_EQ(font.repeated, 1);

    // A circle of radius 50 from a relative cubic, its smooth twin and an arc, closed.
    const SourcePath& o = font.glyphs.at(U'o').paths.at(0);
    EXPECT_GT(o.size(), 12u);
    EXPECT_LT(radiusError(o, {50, 50}, 50), 0.3);
    EXPECT_DOUBLE_EQ(o.back().p.x, 50);
    EXPECT_DOUBLE_EQ(o.back().p.y, 0);
    double left = 50;
    for (const auto& v : o) left = std::min(left, v.p.x);
    EXPECT_NEAR(left, 0, 0.3);  // the arc turns to greater angles: through the left side

    // Б: H, V, relative h, a quadratic and its smooth twin ending on the bowl's bar.
    const SourcePath& be = font.glyphs.at(0x411).paths.at(0);
    EXPECT_DOUBLE_EQ(be[2].p.y, 0);
    EXPECT_DOUBLE_EQ(be[3].p.x, 30);
    // The smooth twin mirrors the control point, so the bowl leaves its right end upright.
    bool upright = false;
    for (const auto& v : be) upright = upright || (v.p.y > 24 && v.p.y < 33 && v.p.x > 46);
    EXPECT_TRUE(upright);
    EXPECT_DOUBLE_EQ(be.back().p.x, 0);
    EXPECT_DOUBLE_EQ(be.back().p.y, 35);

    // Numbers run together as the grammar allows; arc flags without separators.
    const SourcePath& amp = font.glyphs.at(U'&').paths.at(0);
    EXPECT_DOUBLE_EQ(amp[0].p.y, 0.5);
    EXPECT_DOUBLE_EQ(amp[1].p.x, -20);
    const SourcePath& euro = font.glyphs.at(0x20AC).paths.at(0);
    EXPECT_DOUBLE_EQ(euro.back().p.x, 10);
    EXPECT_LT(radiusError(euro, {5, 0}, 5), 0.3);
    for (const auto& v : euro) EXPECT_LE(v.p.y, 1e-9);  // from 180° on to greater angles

    EXPECT_EQ(font.notSingleCharacter, 1);
    ASSERT_EQ(font.broken.size(), 1u);
    EXPECT_EQ(font.broken[0].rfind("«B»: ", 0), 0u) << font.broken[0];
    EXPECT_TRUE(font.glyphs.at(U' ').paths.empty());

    const FontRecipe recipe = svgRecipe(font, "Sample");
    std::vector<int> codes;
    for (const auto& entry : recipe.glyphs) codes.push_back(entry.first);
    EXPECT_EQ(codes, (std::vector<int>{'&', 'A', 'o', 136, 193}));
    EXPECT_EQ(recipe.baseline, 0);
    ASSERT_EQ(recipe.leftOut.size(), 4u);
    EXPECT_EQ(recipe.leftOut[0], "знаков вне кодировки Windows-1251: 1");
}

// Radius 10 over a chord of 12: two circles pass through both ends, centred
// 8 below and 8 above it; the flags choose the circle and which of its arcs.
TEST(SvgFont, ArcFlagsChooseTheSideTheArcBulgesTo) {
    const auto arc = [](const char* flags) {
        return parseSvgPath(std::string("M 0 0 A 10 10 0 ") + flags + " 12 0", 0.01).paths.at(0);
    };
    const auto lowest = [](const SourcePath& path) {
        double y = 0;
        for (const auto& v : path) y = std::min(y, v.p.y);
        return y;
    };
    const auto highest = [](const SourcePath& path) {
        double y = 0;
        for (const auto& v : path) y = std::max(y, v.p.y);
        return y;
    };
    const SourcePath smallPositive = arc("0 1");
    const SourcePath largePositive = arc("1 1");
    const SourcePath smallNegative = arc("0 0");
    const SourcePath largeNegative = arc("1 0");
    EXPECT_NEAR(lowest(smallPositive), -2, 0.05);
    EXPECT_NEAR(highest(smallPositive), 0, 1e-9);
    EXPECT_LT(radiusError(smallPositive, {6, 8}, 10), 0.02);
    EXPECT_NEAR(lowest(largePositive), -18, 0.05);
    EXPECT_LT(radiusError(largePositive, {6, -8}, 10), 0.02);
    EXPECT_NEAR(highest(smallNegative), 2, 0.05);
    EXPECT_NEAR(lowest(smallNegative), 0, 1e-9);
    EXPECT_LT(radiusError(smallNegative, {6, -8}, 10), 0.02);
    EXPECT_NEAR(highest(largeNegative), 18, 0.05);
    EXPECT_LT(radiusError(largeNegative, {6, 8}, 10), 0.02);
    for (const SourcePath* path : {&smallPositive, &largePositive, &smallNegative, &largeNegative})
        EXPECT_DOUBLE_EQ(path->back().p.x, 12);
}

TEST(SvgFont, BadInputFailsWithARussianMessageOrLeavesTheGlyphOut) {
    for (const char* d : {"L 1 2", "M 1", "M 1 2 X 3", "M 0 0 L 1e999 0", "M 0 0 A 1 1 0 2 0 5 5",
                          "M 0 0 L . 1", "M 0 0 Z 4"}) {
        try {
            parseSvgPath(d, 1);
            ADD_FAILURE() << d;
        } catch (const FontSourceError& e) {
            EXPECT_NE(std::string(e.what()).find("позици"), std::string::npos)
                << d << ": " << e.what();
        }
    }
    // A path of absurd size fails instead of filling the memory.
    std::string huge = "M 0 0";
    for (int i = 0; i < 200001; ++i) huge += " h1";
    EXPECT_THROW(parseSvgPath(huge, 1), FontSourceError);

    for (const char* document :
         {"", "not xml at all", "<svg><font><glyph unicode='A' d='M 0 0 L 1 1'></font>",
          "<svg><glyph unicode='A' d='M 0 0 L 1 1'/></svg>"}) {
        try {
            parseSvgFont(document);
            ADD_FAILURE() << document;
        } catch (const FontSourceError& e) {
            EXPECT_TRUE(std::string(e.what()).find("SVG") != std::string::npos) << e.what();
        }
    }
}

}  // namespace
