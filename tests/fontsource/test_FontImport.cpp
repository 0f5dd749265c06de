#include <gtest/gtest.h>

#include <filesystem>

#include "SmallDisk.h"
#include "TestSupport.h"
#include "font/FontStorage.h"
#include "fontsource/FontImport.h"
#include "fontsource/FontSources.h"
#include "lib/VezorError.h"

using namespace fontc;
namespace fs = std::filesystem;

namespace {

CompiledFont twoLetters() {
    FontRecipe recipe;
    recipe.folder = "New";
    recipe.glyphs['I'] = {{{{{0, 0}, 0}, {{0, 10}, 0}}}};
    recipe.glyphs['L'] = {{{{{0, 10}, 0}, {{0, 0}, 0}, {{6, 0}, 0}}}};
    return compileFont(recipe);
}

TEST(FontImport, AFullDiskLeavesTheEarlierFontWholeAndNoScratchFolder) {
    SmallDisk disk(256 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    const std::string fonts = disk.path() + "/font";
    installFontFolder(twoLetters(), fonts, "New");
    const auto before = ListFontLetters(fonts + "/New");
    ASSERT_EQ(before.size(), 2u);
    writeFile(fonts + "/New/mark", "old");
    disk.fill();
    EXPECT_THROW(installFontFolder(twoLetters(), fonts, "New"), FileWriteError);
    EXPECT_EQ(ListFontLetters(fonts + "/New"), before);
    EXPECT_EQ(readFile(fonts + "/New/mark"), "old");
    EXPECT_EQ(disk.listing(), "filler,font");
}

// Every LibreCAD font Debian ships (librecad-data, which scripts/setup.sh installs) reads.
TEST(FontImport, EveryLibreCadFontOfDebianReads) {
    const fs::path folder = "/usr/share/librecad/fonts";
    if (!fs::is_directory(folder)) SKIP_WITHOUT_TOOL("librecad-data is not installed");
    int fonts = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".lff") continue;
        ++fonts;
        try {
            importRecipe(entry.path().string(), entry.path().stem().string());
        } catch (const FontSourceError& e) {
            ADD_FAILURE() << entry.path() << ": " << e.what();
        }
    }
    EXPECT_GE(fonts, 40);
}

// An imported font's letters were not drawn to be joined: its folder says so,
// and the report tells it, and the break setting, in the user's words.
TEST(FontImport, AnImportedFontLiftsBetweenLettersAndTheReportSaysItInWords) {
    const std::string fonts = testProgramFolder() + "/font";
    installFontFolder(twoLetters(), fonts, "New");
    EXPECT_FALSE(FontLettersJoin(fonts + "/New"));
    const std::string report = importReport(twoLetters(), "New");
    EXPECT_EQ(report.find("RazrivVBukve"), std::string::npos) << report;
    EXPECT_NE(report.find("включён «Разрыв внутри буквы»"), std::string::npos) << report;
    EXPECT_NE(report.find("Между буквами слова перо поднимается"), std::string::npos) << report;
}

TEST(FontImport, RefusesNamesNoFolderCanHaveAndFilesOfOtherKinds) {
    for (const char* bad : {"", "a/b", "a\\b", "con:", ".hidden", "dots.", "x?", " lead", "trail "})
        EXPECT_NE(badFontName(bad), "") << bad;
    EXPECT_EQ(badFontName("Мой шрифт 2"), "");
    const std::string path = testProgramFolder() + "/font.ttf";
    writeFile(path, "not a stroke font");
    try {
        importRecipe(path, "X");
        ADD_FAILURE();
    } catch (const FontSourceError& e) {
        EXPECT_STREQ(e.what(), "файл не является шрифтом .lff, .jhf или .svg");
    }
    // A file of that name that holds no letter makes no font.
    const std::string text = testProgramFolder() + "/notes.lff";
    writeFile(text, "just some notes\n");
    try {
        importRecipe(text, "X");
        ADD_FAILURE();
    } catch (const FontSourceError& e) {
        EXPECT_STREQ(e.what(),
                     "в файле нет ни одной буквы, которую можно записать в кодировке Windows-1251");
    }
}

}  // namespace
