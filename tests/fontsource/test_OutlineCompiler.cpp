#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "TestSupport.h"
#include "fontsource/FontSources.h"
#include "fontsource/OutlineCompiler.h"
#include "fontsource/OutlineFont.h"

using namespace fontc;

namespace {

// Bars 100 units wide on a 1000-unit em, capitals 700 high (make_strokes_ttf.py).
std::string strokesTtf() { return readSourceFile(VEZOR_TEST_DATA_DIR "/fonts/Strokes.ttf"); }

double minY(const CompiledLetter& letter) {
    double y = 1e300;
    for (Point p : letter.stroke.points) y = std::min(y, p.y);
    return y;
}

TEST(OutlineCompiler, LettersFollowTheCentreLinesAndAreMeasured) {
    const OutlineFont font(strokesTtf());
    EXPECT_EQ(font.info().family, "Strokes");
    const OutlineConversion c = convertOutlineFont(font, "Strokes");
    ASSERT_TRUE(c.font.complete);
    for (int code : {72, 73, 76, 79, 84, 105, 46, 205, 207})  // H I L O T i . Н П
        EXPECT_TRUE(c.font.letters.count(code)) << code;
    EXPECT_TRUE(std::count(c.missing.begin(), c.missing.end(), 'A'));
    EXPECT_FALSE(std::count(c.missing.begin(), c.missing.end(), 'H'));

    // Capitals 63.5 high on the baseline 80.5: the stem's axis from a quarter of
    // the bar's width below the top (free ends stop short of the outline).
    const double bar = 100 * c.font.scale;
    EXPECT_NEAR(c.font.scale, 63.5 / 700, 1e-9);
    EXPECT_NEAR(minY(c.font.letters.at('H')), 17 + bar / 4, 0.01);
    // Up the stem and back, as the joiner starts a letter near the baseline.
    EXPECT_EQ(c.font.letters.at('L').lines,
              (std::vector<std::string>{"2,75.96", "2,19.27", "2,75.96", "31.48,75.96"}));
    // Widths within the merge's grid of 1/4096 em.
    EXPECT_NEAR(c.penWidth, bar, 0.03);
    const auto& widths = c.widths.at('L');
    ASSERT_EQ(widths.size(), c.font.letters.at('L').stroke.points.size());
    EXPECT_NEAR(*std::max_element(widths.begin(), widths.end()), bar, 0.03);

    // The pen of the bars' width along the L covers it all but the corner's
    // and the ends' rounding, and spills only where its round ends pass them.
    const LetterQuality& l = c.quality.at('L');
    EXPECT_GT(l.coverage, 0.97);
    EXPECT_LT(l.spill, 0.05);
    EXPECT_EQ(l.spurs, 0);
    EXPECT_TRUE(l.counted);
    EXPECT_FALSE(c.quality.at('.').counted);
    EXPECT_EQ(c.counted, 8);  // H I L O T i Н П
    EXPECT_EQ(c.spurs, 0);
    EXPECT_GT(c.medianCoverage, 0.97);

    const std::string report = outlineReport(c);
    EXPECT_NE(report.find("  L (76): coverage"), std::string::npos);
    EXPECT_TRUE(report.ends_with("\nletters 8, median coverage 1.00, median spill 0.04, spurs 0\n"))
        << report;
    EXPECT_NE(c.font.licence.find("Public domain"), std::string::npos);
}

TEST(OutlineCompiler, StopsWhenTheProgressSaysSo) {
    const OutlineFont font(strokesTtf());
    std::size_t calls = 0;
    const OutlineConversion c =
        convertOutlineFont(font, "Strokes", [&](std::size_t, std::size_t) { return ++calls < 3; });
    EXPECT_FALSE(c.font.complete);
    EXPECT_EQ(calls, 3u);
}

TEST(OutlineCompiler, ADamagedFileOrAMissingFaceIsRefusedWithAMessage) {
    const auto message = [](const std::string& bytes, int face) {
        try {
            const OutlineFont font(bytes, face);
            (void)convertOutlineFont(font, "x");
        } catch (const FontSourceError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("not a font at all", 0), "файл не читается как шрифт TrueType или OpenType");
    const std::string font = strokesTtf();
    EXPECT_NE(message(font.substr(0, font.size() / 3), 0), "no error");
    EXPECT_EQ(message(font, 1), "в файле нет начертания 1 (начертаний в нём: 1, счёт с нуля)");
}

// The fonts the numbers are promised for, read where Debian installs them.
TEST(OutlineCompiler, DebianFontsReachTheirNumbers) {
    const std::vector<std::string> files = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
        "/usr/share/fonts/truetype/paratype/PTS55F.ttf",
        "/usr/share/fonts/truetype/comfortaa/Comfortaa-Regular.ttf"};
    int read = 0;
    for (const std::string& file : files) {
        std::string bytes;
        try {
            bytes = readSourceFile(file);
        } catch (const FontSourceError&) {
            std::printf(
                "%s is not installed (fonts-dejavu-core, fonts-paratype, fonts-comfortaa)\n",
                file.c_str());
            continue;
        }
        ++read;
        SCOPED_TRACE(file);
        const OutlineConversion c = convertOutlineFont(OutlineFont(bytes), "Font");
        EXPECT_GE(c.counted, 140);
        EXPECT_GE(c.medianCoverage, 0.92);
        EXPECT_LE(c.medianSpill, 0.10);
        EXPECT_LE(c.spurs * 20, c.counted);
        for (const auto& [code, q] : c.quality)
            if (q.counted) {
                EXPECT_GE(q.coverage, 0.80) << code;
            }
    }
    if (read == 0) SKIP_WITHOUT_TOOL("none of the fonts is installed");
}

}  // namespace
