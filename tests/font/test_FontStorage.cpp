#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "font/FontStorage.h"
#include "lib/ProgramFolder.h"
#include "lib/VezorError.h"
#include "main/FontList.h"

namespace {

std::string folder(const std::string& relative) { return joinPath(testProgramFolder(), relative); }

TEST(LetterFilePath, ProgramFolderFontAndDecimalCode) {
    EXPECT_EQ(LetterFilePath("font/Stroke", 'A'), folder("font/Stroke/65"));
    EXPECT_EQ(LetterFilePath("font/Stroke", 192), folder("font/Stroke/192")) << "Cyrillic А";
    EXPECT_EQ(LetterFilePath("font\\Group\\Stroke", 0), folder("font/Group/Stroke/0"))
        << "a Windows-style relative path";
    EXPECT_EQ(LetterFilePath("/abs/font", 255), "/abs/font/255");
}

TEST(FormatCoordinate, TwoDecimalsHalvesToEvenNoLeadingZero) {
    EXPECT_EQ(FormatCoordinate(0.125), ".12");
    EXPECT_EQ(FormatCoordinate(0.375), ".38");
    EXPECT_EQ(FormatCoordinate(-0.25), "-.25");
    EXPECT_EQ(FormatCoordinate(100), "100");
    EXPECT_EQ(FormatCoordinate(12), "12");
    EXPECT_EQ(FormatCoordinate(12.5), "12.5");
    EXPECT_EQ(FormatCoordinate(12.345678), "12.35");
    EXPECT_EQ(FormatCoordinate(0.5), ".5");
    EXPECT_EQ(FormatCoordinate(-4), "-4");
    EXPECT_EQ(FormatCoordinate(0), "0");
    EXPECT_EQ(FormatCoordinate(-0.001), "0") << "no minus sign on a rounded zero";
    EXPECT_EQ(FormatCoordinate(1e-9), "0");
    EXPECT_EQ(FormatCoordinate(-10.999), "-11");
}

TEST(ParsePointLine, FirstCommaSplitsPointDecimalsOnly) {
    double x = -1, y = -1;
    EXPECT_TRUE(ParsePointLine("12,5,30", x, y));
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 5);
    EXPECT_TRUE(ParsePointLine(" 7.5 ,20", x, y));
    EXPECT_EQ(x, 7.5);
    EXPECT_EQ(y, 20);
    EXPECT_TRUE(ParsePointLine(".12,-.25", x, y));
    EXPECT_EQ(x, 0.12);
    EXPECT_EQ(y, -0.25);
    EXPECT_TRUE(ParsePointLine(",", x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(ParsePointLine("70", x, y));
    EXPECT_FALSE(ParsePointLine("", x, y));
}

TEST(LetterFiles, WriteThenReadBack) {
    const std::string path = LetterFilePath("font/Stroke", 193);
    std::filesystem::create_directories(folder("font/Stroke"));
    WriteLetterFile(path, {FormatCoordinate(0.125) + "," + FormatCoordinate(0.375),
                           FormatCoordinate(-0.25) + "," + FormatCoordinate(100)});
    EXPECT_EQ(readFile(path), ".12,.38\r\n-.25,100\r\n");
    const auto lines = ReadLetterLines(path);
    ASSERT_EQ(lines, (std::vector<std::string>{".12,.38", "-.25,100"}));
    double x = 0, y = 0;
    ParsePointLine(lines[0], x, y);
    EXPECT_EQ(x, 0.12);
    EXPECT_EQ(y, 0.38);

    WriteLetterFile(path, {"1,2"});
    EXPECT_EQ(readFile(path), "1,2\r\n") << "no old line survives";
    WriteLetterFile(path, {});
    EXPECT_EQ(readFile(path), "");
    EXPECT_TRUE(ReadLetterLines(path).empty());
}

TEST(LetterFiles, AnyLineEndAndAFinalLineWithoutOne) {
    const std::string path = folder("font/T/65");
    writeFile(path, "1,2\n3,4\r5,6");
    EXPECT_EQ(ReadLetterLines(path), (std::vector<std::string>{"1,2", "3,4", "5,6"}));
}

TEST(LetterFiles, FailuresAreReported) {
    EXPECT_THROW(ReadLetterLines(folder("font/T/66")), FileReadError);
    EXPECT_THROW(ReadLetterLines(testProgramFolder()), FileReadError) << "a folder";
    EXPECT_THROW(WriteLetterFile(folder("no/such/folder/65"), {"1,1"}), FileWriteError);
}

TEST(ListFontLetters, CodesInListingOrderOthersSkipped) {
    for (const char* name : {"65", "66", "192", "0", "065", "255", "256", "readme", "6a", "-1"})
        writeFile(folder(std::string("font/S/") + name), "1,1\r\n");
    std::filesystem::create_directories(folder("font/S/67"));
    EXPECT_EQ(ListFontLetters("font/S"), (std::vector<int>{0, 192, 255, 65, 66}));
    EXPECT_EQ(ListFontLetters(folder("font/S")), (std::vector<int>{0, 192, 255, 65, 66}));
    EXPECT_TRUE(ListFontLetters("font/none").empty());
}

}  // namespace

// Installed: the user's fonts first, a user's font hides the installed one of
// the same name, and an edited installed letter lands in a whole user's copy.
TEST(InstalledFonts, UserFirstShadowingAndEditsIntoTheUsersCopy) {
    const std::string shipped = folder("usr/share/vezor/font");
    writeFile(shipped + "/A/65", "1,1\r\n");
    writeFile(shipped + "/A/66", "2,2\r\n");
    writeFile(shipped + "/A/LICENSE.txt", "OFL");
    writeFile(shipped + "/B/65", "3,3\r\n");
    writeFile(folder("font/C/65"), "");
    writeFile(folder("font/B/65"), "4,4\r\n");
    setInstalledFontsFolder(shipped);

    const std::vector<FontEntry> fonts = FontEntries();
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[0].name, "font/B");
    EXPECT_EQ(fonts[0].folder, folder("font/B"));
    EXPECT_EQ(fonts[1].name, "font/C");
    EXPECT_EQ(fonts[2].name, "font/A");
    EXPECT_EQ(fonts[2].folder, shipped + "/A");
    EXPECT_EQ(ReadLetterLines(LetterFilePath("font/B", 65)), std::vector<std::string>{"4,4"});
    EXPECT_EQ(LetterFilePath("font/A", 65), shipped + "/A/65");

    WriteLetterFile(LetterFilePath("font/A", 65), {"5,5"});
    EXPECT_EQ(readFile(shipped + "/A/65"), "1,1\r\n") << "the installed font is never written";
    EXPECT_EQ(readFile(folder("font/A/65")), "5,5\r\n");
    EXPECT_EQ(readFile(folder("font/A/66")), "2,2\r\n") << "the other letters are copied along";
    EXPECT_EQ(readFile(folder("font/A/LICENSE.txt")), "OFL");
    EXPECT_EQ(LetterFilePath("font/A", 66), folder("font/A/66"));
    EXPECT_EQ(FontList(), (std::vector<std::string>{"font/A", "font/B", "font/C"}));
}
