// The programs the shipped fonts give on the main road, kept as files so that
// a change of a font or of the road that moves a single byte shows.
// VEZOR_REGENERATE_GOLDEN=1 rewrites them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "GoldenTemplate.h"
#include "TestSupport.h"
#include "ToolRun.h"
#include "lib/ProgramFolder.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

namespace {

namespace fs = std::filesystem;

const std::string kShipped = VEZOR_SOURCE_DIR "/resources/font";

std::vector<std::string> shippedFonts() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kShipped))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool hasCyrillic(const std::string& font) { return fs::exists(kShipped + "/" + font + "/192"); }

std::string pangramProject(const std::string& font) {
    std::string text = "4.97//a\r\n100//b\r\n4.4//c\r\n0.75//d\r\n";
    if (hasCyrillic(font))
        text += w("Съешь же ещё этих мягких французских булок, да выпей чаю.\r\n");
    return text + "The quick brown fox jumps over the lazy dog. 0123456789\r\n";
}

TEST(ShippedFontPrograms, TemplateAndPangramGiveTheirGoldenFiles) {
    const std::string templatePath = joinPath(testProgramFolder(), "template.txt");
    writeFile(templatePath, goldenTemplateText());
    const auto fonts = shippedFonts();
    ASSERT_GE(fonts.size(), 5u);
    for (const auto& font : fonts) {
        const std::string pangramPath = joinPath(testProgramFolder(), font + ".txt");
        writeFile(pangramPath, pangramProject(font));
        for (const auto& [kind, project] :
             {std::pair{"template", templatePath}, std::pair{"pangram", pangramPath}}) {
            const Outcome r = vezorGcode({"--font", QString::fromStdString(kShipped + "/" + font),
                                          QString::fromStdString(project)});
            // The template's Russian text is missing from the Latin fonts (status 3).
            const bool missing = kind == std::string("template") && !hasCyrillic(font);
            ASSERT_EQ(r.status, missing ? 3 : 0) << font << " " << kind << ": " << r.err;
            const std::string golden =
                std::string(VEZOR_TEST_DATA_DIR "/shipped/") + font + "." + kind + ".gcode";
            if (std::getenv("VEZOR_REGENERATE_GOLDEN")) writeFile(golden, r.out);
            EXPECT_TRUE(r.out == readFile(golden)) << golden << " differs";
            if (font != "A-Chertezh" || kind != std::string("pangram")) continue;
            // Breaks inside letters add lifts: «ё», «й», «i», «j» have them.
            const Outcome broken = vezorGcode({"--setting", "RazrivVBukve=1", "--font",
                                               QString::fromStdString(kShipped + "/" + font),
                                               QString::fromStdString(project)});
            const auto lifts = [](const std::string& program) {
                std::size_t n = 0;
                for (auto at = program.find("G0Z5.00"); at != std::string::npos;
                     at = program.find("G0Z5.00", at + 1))
                    ++n;
                return n;
            };
            EXPECT_GE(lifts(broken.out), lifts(r.out) + 4);
        }
    }
}

// Pieces of ink of a laid-out letter: runs of drawing points between lifts,
// counted together when they share a point or cross.
int inkParts(const PenPoints& path) {
    std::vector<std::vector<PenPoint>> runs(1);
    for (std::size_t i = 2; i <= path.count(); ++i) {
        if (path[i].Z != 0) {
            if (!runs.back().empty()) runs.emplace_back();
        } else {
            runs.back().push_back(path[i]);
        }
    }
    if (runs.back().empty()) runs.pop_back();
    const auto cross = [](PenPoint a, PenPoint b, PenPoint c, PenPoint d) {
        const auto side = [](PenPoint p, PenPoint q, PenPoint r) {
            const double v = (q.X - p.X) * (r.Y - p.Y) - (q.Y - p.Y) * (r.X - p.X);
            return (v > 1e-9) - (v < -1e-9);
        };
        return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
    };
    const auto touch = [&](const std::vector<PenPoint>& r, const std::vector<PenPoint>& t) {
        for (std::size_t i = 0; i < r.size(); ++i)
            for (std::size_t j = 0; j < t.size(); ++j) {
                if (r[i] == t[j]) return true;
                if (i && j && cross(r[i - 1], r[i], t[j - 1], t[j])) return true;
            }
        return false;
    };
    std::vector<int> part(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) part[i] = static_cast<int>(i);
    const auto root = [&](int i) {
        while (part[i] != i) i = part[i];
        return i;
    };
    int parts = static_cast<int>(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i)
        for (std::size_t j = i + 1; j < runs.size(); ++j)
            if (root(static_cast<int>(i)) != root(static_cast<int>(j)) && touch(runs[i], runs[j])) {
                part[root(static_cast<int>(j))] = root(static_cast<int>(i));
                --parts;
            }
    return parts;
}

TEST(ShippedFontPrograms, BreaksInsideLettersLiftThePenBetweenTheParts) {
    // Each letter on its own, with the parts it has.
    const std::vector<std::pair<std::string, int>> letters = {
        {"i", 2}, {w("ё"), 3}, {w("й"), 2}, {"!", 2}};
    for (const auto& font : shippedFonts()) {
        for (const auto& [letter, parts] : letters) {
            if (!fs::exists(kShipped + "/" + font + "/" +
                            std::to_string(static_cast<unsigned char>(letter[0]))))
                continue;
            Project project;
            project.LetterHeight = 10;
            project.WidthFactor = 1;
            project.ProjectLines.Add(ProjectLine{letter, {}, {}, {}, {}});
            const auto laid = [&](int breaks, int noRazriv) {
                MachiningSettings s;
                s.RazrivVBukve = breaks;
                s.NoRazriv = noRazriv;
                return inkParts(*LayOutProject(project, kShipped + "/" + font, s).points);
            };
            EXPECT_EQ(laid(0, 0), 1) << font << " " << letter << ": one stroke without breaks";
            // At least the parts one sees (a Hershey «!» draws its bar in two).
            const int separated = laid(1, 0);
            EXPECT_GE(separated, parts) << font << " " << letter;
            EXPECT_EQ(laid(1, 1), separated) << font << " " << letter << " with NoRazriv";
        }
    }
}

}  // namespace
