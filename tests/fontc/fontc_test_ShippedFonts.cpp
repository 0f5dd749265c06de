#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <algorithm>
#include <filesystem>

#include "FontSheet.h"
#include "TestSupport.h"
#include "font/FontStorage.h"
#include "fontsource/ShippedFonts.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "main/Layout.h"

using namespace fontc;
namespace fs = std::filesystem;

namespace {

const std::string kShipped = std::string(VEZOR_SOURCE_DIR) + "/resources/font";

std::vector<std::string> fontFolders() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kShipped))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) <
               0;
    });
    return names;
}

bool hasLetter(const std::string& font, int code) {
    return textfile::isFile(LetterFilePath(kShipped + "/" + font, code));
}

bool hasCyrillic(const std::string& font) { return hasLetter(font, 192); }

TEST(ShippedFonts, AreTheCompilersFontsAndTheMainOneSortsFirst) {
    auto expected = shippedFontNames();
    const auto folders = fontFolders();
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.front(), expected.front());
    std::sort(expected.begin(), expected.end());
    auto sorted = folders;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, expected);
    for (const auto& name : folders) {
        // A converted OFL font must not carry the original's name.
        EXPECT_EQ(QString::fromStdString(name).contains("gost", Qt::CaseInsensitive), false)
            << name;
        EXPECT_TRUE(textfile::isFile(kShipped + "/" + name + "/LICENSE.txt")) << name;
    }
}

TEST(ShippedFonts, EveryLetterFileParsesHasTwoPointsAndStaysInsideTheBox) {
    for (const auto& name : fontFolders()) {
        const auto codes = ListFontLetters(kShipped + "/" + name);
        EXPECT_GT(codes.size(), 90u) << name;
        for (int code : codes) {
            const auto lines = ReadLetterLines(LetterFilePath(kShipped + "/" + name, code));
            EXPECT_GE(lines.size(), 2u) << name << "/" << code;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const std::string& line = lines[i];
                // A break mark stands between two points, never two in a row.
                if (line == kStrokeBreakLine) {
                    EXPECT_TRUE(IsStrokeBreak(lines, i) && lines[i + 1] != line)
                        << name << "/" << code << ": line " << i;
                    continue;
                }
                double x = 0, y = 0;
                ASSERT_TRUE(ParsePointLine(line, x, y)) << name << "/" << code << ": " << line;
                EXPECT_EQ(FormatCoordinate(x) + "," + FormatCoordinate(y), line);
                EXPECT_TRUE(x > 0 && x < 110 && y > 0 && y < 110)
                    << name << "/" << code << ": " << line;
            }
        }
    }
}

TEST(ShippedFonts, MainFontHasEveryCharacterOfRussianText) {
    const std::string main = shippedFontNames().front();
    std::vector<int> missing;
    for (int code = 33; code <= 255; ++code) {
        const bool wanted = code <= 126 || code == 168 || code == 184 || code == 185 || code >= 192;
        if (wanted && !hasLetter(main, code)) missing.push_back(code);
    }
    EXPECT_TRUE(missing.empty()) << "first missing: " << missing.front();
}

TEST(ShippedFonts, PangramsCanBeWrittenInEveryFont) {
    const std::string russian =
        win1251::fromUtf8("Съешь же ещё этих мягких французских булок, да выпей чаю.");
    const std::string english = "The quick brown fox jumps over the lazy dog. 0123456789";
    for (const auto& name : fontFolders()) {
        std::string text = english;
        if (hasCyrillic(name)) text += russian;
        for (char c : text) {
            if (c == ' ') continue;
            EXPECT_TRUE(hasLetter(name, static_cast<unsigned char>(c)))
                << name << " lacks " << win1251::toUtf8(std::string(1, c));
        }
    }
}

TEST(ShippedFonts, LayOutThePangramsWithoutAMissingLetter) {
    Project project;
    project.LineSpacing = 4.97;
    project.FieldWidth = 100;
    project.LetterHeight = 4.4;
    project.WidthFactor = 0.75;
    const ProjectLine russian{
        win1251::fromUtf8("Съешь же ещё этих мягких французских булок, да выпей чаю."), {}, {}, {}};
    const ProjectLine english{
        "The quick brown fox jumps over the lazy dog. 0123456789", {}, {}, {}};
    for (const auto& name : fontFolders()) {
        Project p = project;
        if (hasCyrillic(name)) p.ProjectLines.Add(russian);
        p.ProjectLines.Add(english);
        const LayoutResult laid = LayOutProject(p, kShipped + "/" + name, MachiningSettings{});
        EXPECT_EQ(laid.messages.size(), 0u)
            << name << ": " << win1251::toUtf8(laid.messages.empty() ? "" : laid.messages[0]);
        // Every drawing point lies on the text lines, within the letter height of its line.
        for (std::size_t i = 1; i <= laid.points->count(); ++i) {
            const PenPoint& m = (*laid.points)[i];
            if (m.X == 0 && m.Y == 0) continue;
            EXPECT_LT(m.Y, 0) << name;
            EXPECT_GT(m.Y, -(4.97 + 4.4 * 1.1)) << name;
        }
    }
}

TEST(FontSheet, DrawsTheLettersAndTheSample) {
    const std::string name = shippedFontNames().front();
    const SourceFolders sources;
    if (!missingSources(name, sources).empty()) SKIP_WITHOUT_TOOL("source fonts not installed");
    const CompiledFont font = compileFont(shippedFontRecipe(name, sources));
    const std::string png = testProgramFolder() + "/sheet.png";
    renderFontSheet(font, kShipped + "/" + name, {"Abc", "Съешь"}, png);
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.height(), image.width());  // 14 rows of letters and the two sample lines
}

TEST(ShippedFonts, AreWhatTheCompilerMakesOfTheSourcePackages) {
    const SourceFolders sources;
    for (const auto& name : shippedFontNames()) {
        const auto missing = missingSources(name, sources);
        if (!missing.empty())
            SKIP_WITHOUT_TOOL(missing.front()
                              << " is not installed (packages librecad-data, hershey-fonts-data, "
                                 "fonts-dejavu-core; scripts/setup.sh)");
    }
    for (const auto& name : shippedFontNames()) {
        const std::string fresh = testProgramFolder() + "/" + name;
        writeFontFolder(compileFont(shippedFontRecipe(name, sources)), fresh);
        std::vector<std::string> made, committed;
        for (const auto& e : fs::directory_iterator(fresh))
            made.push_back(e.path().filename().string());
        for (const auto& e : fs::directory_iterator(kShipped + "/" + name))
            committed.push_back(e.path().filename().string());
        std::sort(made.begin(), made.end());
        std::sort(committed.begin(), committed.end());
        ASSERT_EQ(made, committed) << name;
        for (const auto& file : made)
            EXPECT_EQ(textfile::readBytes(fresh + "/" + file),
                      textfile::readBytes(kShipped + "/" + name + "/" + file))
                << name << "/" << file << " differs: run vezor-fontc --shipped resources/font";
    }
}

}  // namespace
