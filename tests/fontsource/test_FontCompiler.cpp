#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"
#include "font/FontStorage.h"
#include "fontsource/FontCompiler.h"
#include "fontsource/FontSources.h"
#include "fontsource/ShippedFonts.h"

using namespace fontc;

namespace {

SourceGlyph glyph(std::vector<std::vector<Point>> lines) {
    SourceGlyph g;
    for (const auto& line : lines) {
        SourcePath path;
        for (Point p : line) path.push_back({p, 0});
        g.paths.push_back(path);
    }
    return g;
}

// Capital from the baseline (0) to 10, an accent up to 12, a descender down to -3.
FontRecipe smallFont() {
    FontRecipe r;
    r.folder = "Small";
    r.glyphs['A'] = glyph({{{0, 0}, {2, 10}, {4, 0}}, {{1, 5}, {3, 5}}});
    r.glyphs[200] = glyph({{{0, 0}, {0, 10}, {4, 0}, {4, 10}}, {{1, 12}, {3, 11}}});
    r.glyphs['g'] = glyph({{{3, 6}, {3, -3}, {0, -2}}});
    r.glyphs['.'] = glyph({{{5, 0}, {5, 0.5}}});
    return r;
}

TEST(CompileFont, OneScaleFitsTheHighestMarkAndDeepestDescenderIntoTheBox) {
    const CompiledFont font = compileFont(smallFont());
    const double scale = 98.0 / 15;
    EXPECT_DOUBLE_EQ(font.scale, scale);
    EXPECT_DOUBLE_EQ(font.baseline, 2 + 12 * scale);
    ASSERT_EQ(font.letters.size(), 4u);
    double top = 1e9, bottom = -1e9;
    for (const auto& [code, letter] : font.letters) {
        Bounds b;
        b.add(letter.stroke.points);
        EXPECT_NEAR(b.minX, 2, 1e-9) << code;  // every letter starts just right of the edge
        top = std::min(top, b.minY);
        bottom = std::max(bottom, b.maxY);
        for (std::size_t i = 0; i < letter.lines.size(); ++i) {
            if (IsStrokeBreak(letter.lines, i)) continue;
            const std::string& line = letter.lines[i];
            double x = 0, y = 0;
            ASSERT_TRUE(ParsePointLine(line, x, y));
            EXPECT_GT(x, 0);
            EXPECT_LT(x, 110);
            EXPECT_GT(y, 0);
            EXPECT_LT(y, 110);
        }
    }
    EXPECT_NEAR(top, 2, 1e-9);
    EXPECT_NEAR(bottom, 100, 1e-9);
    // The letter width is the largest x: 2 + 4 units of the capital.
    Bounds a;
    a.add(font.letters.at('A').stroke.points);
    EXPECT_NEAR(a.maxX, 2 + 4 * scale, 1e-9);
}

TEST(CompileFont, LetterTooWideForTheBoxAtTheFontsScaleIsLeftOut) {
    FontRecipe r = smallFont();
    r.glyphs['W'] = glyph({{{0, 0}, {8, 10}, {17, 0}}});  // 2 + 17 * 98 / 15 > 108
    const CompiledFont font = compileFont(r);
    EXPECT_FALSE(font.letters.contains('W'));
    EXPECT_EQ(font.tooWide, std::vector<int>{'W'});
    EXPECT_EQ(font.letters.size(), 4u);
    EXPECT_NE(joinReport(font).find("left out, wider than the letter box: W (87)"),
              std::string::npos);
}

TEST(CompileFont, ArcsStayWithinTheChordErrorInLetterUnits) {
    FontRecipe r;
    r.folder = "Ring";
    // A ring of radius 4 around (4, 4), drawn as two half circles.
    const SourcePath ring = {{{8, 4}, 0}, {{0, 4}, 1}, {{8, 4}, 1}};
    r.glyphs['o'].paths.push_back(ring);
    const CompiledFont font = compileFont(r);
    const auto& points = font.letters.at('o').stroke.points;
    ASSERT_GT(points.size(), 16u);
    const Point centre{2 + 4 * font.scale, 2 + 4 * font.scale};
    const double radius = 4 * font.scale;
    for (std::size_t i = 1; i < points.size(); ++i) {
        EXPECT_NEAR(distance(points[i], centre), radius, 1e-6);
        EXPECT_LT(radius - distance((points[i - 1] + points[i]) * 0.5, centre), 0.3);
    }
}

TEST(CompileFont, SeparatedAndJoinedCodesFollowTheLayout) {
    for (int code : {33, 48, 57, 64, 91, 96, 123, 126}) EXPECT_TRUE(isSeparatedCode(code)) << code;
    for (int code : {65, 90, 97, 122, 128, 168, 192, 255})
        EXPECT_FALSE(isSeparatedCode(code)) << code;
}

TEST(PointLines, RoundLikeLetterFilesAndDropRepeats) {
    EXPECT_EQ(pointLines({{2.001, 3}, {2.004, 3.0001}, {12.125, 0.5}, {12.125, 0.5}}),
              (std::vector<std::string>{"2,3", "12.12,.5"}));
}

TEST(LetterLines, MarkTheFarEndOfEveryPieceAlongAConnectorAndKeepThePoints) {
    JoinedStroke s;
    s.points = {{2, 3}, {2, 9}, {12, 9}, {12.001, 9}, {2, 9}, {2, 20}};
    s.kinds = {SegmentKind::Ink, SegmentKind::Connector, SegmentKind::Ink, SegmentKind::Retrace,
               SegmentKind::Ink};
    s.airborne = {false, true, false, true, false};
    // The point that rounds onto the one before it is dropped with nothing in front.
    EXPECT_EQ(letterLines(s),
              (std::vector<std::string>{"2,3", "2,9", "0,0", "12,9", "0,0", "2,9", "2,20"}));
    s.airborne = {false, false, false, false, false};
    EXPECT_EQ(letterLines(s), pointLines(s.points));
}

TEST(WriteFontFolder, ReplacesOldLettersKeepsOtherFilesAndWritesTheLicence) {
    const std::string folder = testProgramFolder() + "/font/Small";
    writeFile(folder + "/99", "1,1\r\n");
    writeFile(folder + "/notes.txt", "keep");
    CompiledFont font = compileFont(smallFont());
    font.licence = "Licence\r\n";
    writeFontFolder(font, folder);
    namespace fs = std::filesystem;
    EXPECT_FALSE(fs::exists(folder + "/99"));
    EXPECT_EQ(readFile(folder + "/notes.txt"), "keep");
    EXPECT_EQ(readFile(folder + "/LICENSE.txt"), "Licence\r\n");
    for (const auto& [code, letter] : font.letters)
        EXPECT_EQ(ReadLetterLines(LetterFilePath(folder, code)), letter.lines);

    // A font from elsewhere does not join its letters; one whose joins were
    // looked at (a shipped font) leaves no record, as the fonts always had.
    EXPECT_FALSE(FontLettersJoin(folder));
    font.lettersJoin = true;
    writeFontFolder(font, folder);
    EXPECT_FALSE(fs::exists(folder + "/" + kFontSettingsFile));
    EXPECT_TRUE(FontLettersJoin(folder));
}

// The shipped fonts are compared with what the compiler makes of the source
// packages only where those are installed. A small font of our own must give
// the letters it always has wherever the tests run, so that a change of the
// compiler shows without them too (VEZOR_REGENERATE_GOLDEN=1 rewrites them).
TEST(CompileFont, ASmallFontOfOurOwnGivesItsGoldenLetters) {
    const CompiledFont font = compileFont(
        lffRecipe(parseLff(readSourceFile(VEZOR_TEST_DATA_DIR "/fonts/Small.lff")), "Small"));
    std::string letters;
    for (const auto& [code, letter] : font.letters) {
        letters += "[" + std::to_string(code) + "]\n";
        for (const std::string& line : letter.lines) letters += line + "\n";
    }
    const std::string golden = VEZOR_TEST_DATA_DIR "/fonts/Small.letters";
    if (std::getenv("VEZOR_REGENERATE_GOLDEN")) writeFile(golden, letters);
    EXPECT_EQ(font.letters.size(), 10u);
    EXPECT_TRUE(letters == readFile(golden)) << letters;
}

TEST(JoinReport, NamesTotalsAndTheLettersNeedingMost) {
    const CompiledFont font = compileFont(smallFont());
    const std::string report = joinReport(font);
    EXPECT_NE(report.find("Small: 4 letters"), std::string::npos) << report;
    // The letter with an accent is the only one that needs a connector; the
    // report names it by its character.
    EXPECT_NE(report.find(reinterpret_cast<const char*>(u8"most connector length: И (200: 9.2)\n")),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("most retraced length: "), std::string::npos);
    // The accent's connector is walked there and back: both passes are lifted
    // over, and its second pass no longer counts as retrace.
    EXPECT_NE(report.find("(RazrivVBukve=1): connector ink taken out 18.5, retraced left 93.0\n"),
              std::string::npos)
        << report;
}

}  // namespace
