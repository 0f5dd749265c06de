// The programs the shipped fonts give on the main road, kept as files so that
// a change of a font or of the road that moves a single byte shows.
// VEZOR_REGENERATE_GOLDEN=1 rewrites them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"
#include "ToolRun.h"
#include "lib/ProgramFolder.h"
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
    WriteProjectTemplate(templatePath);
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
        }
    }
}

}  // namespace
