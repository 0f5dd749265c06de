#include <gtest/gtest.h>

#include <chrono>

#include "lib/FileTypeFilter.h"

namespace {

TEST(FileTypeFilter, EightTypesWithPatternsLabelsAndOptionTexts) {
    const char* patterns[] = {"*.*", "*.wav", "*.swf", "*.htm", "*.gif", "*.jpg", "*.bmp", "*.txt"};
    const char* texts[] = {"*.*", "", "", "", "gif", "jpg", "bmp", "txt"};
    for (int i = 0; i < filetype::kCount; ++i) {
        EXPECT_EQ(filetype::pattern(i), patterns[i]);
        EXPECT_EQ(filetype::label(i), std::string("+ ") + patterns[i]);
        EXPECT_EQ(filetype::optionText(i), texts[i]);
    }
    for (int bad : {-1, 8, 32767}) {
        EXPECT_FALSE(filetype::isValid(bad));
        EXPECT_EQ(filetype::pattern(bad), "");
        EXPECT_EQ(filetype::label(bad), "");
        EXPECT_FALSE(filetype::prefixedPattern("ab", bad).has_value());
    }
}

TEST(FileTypeFilter, PrefixGoesInFrontOfTheTypePattern) {
    EXPECT_EQ(filetype::prefixedPattern("ab", 7), "ab*.txt");
    EXPECT_EQ(filetype::prefixedPattern("", 0), "*.*");
    EXPECT_EQ(filetype::prefixedPattern("plate", 4), "plate*.gif");
}

TEST(FileTypeFilter, MatchingIgnoresCaseAlsoInCyrillic) {
    EXPECT_TRUE(filetype::matches("PLATE1.TXT", "plate*.txt"));
    EXPECT_TRUE(filetype::matches("Plate.Txt", "plate*.txt"));
    EXPECT_TRUE(filetype::matches("Плата.TXT", "пла*.txt"));
    EXPECT_FALSE(filetype::matches("plat.txt", "plate*.txt"));
    EXPECT_FALSE(filetype::matches("a.txt.bak", "*.txt"));
    EXPECT_FALSE(filetype::matches("atxt", "*.txt"));
    EXPECT_FALSE(filetype::matches("a.html", "*.htm"));
}

TEST(FileTypeFilter, StarDotStarTakesNamesWithoutExtension) {
    for (const char* name : {"Makefile", "a.b.c", "x.", "README.md"})
        EXPECT_TRUE(filetype::matches(name, "*.*")) << name;
    EXPECT_TRUE(filetype::matches("plate", "plate*.*"));
    EXPECT_TRUE(filetype::matches("plate", "plate.*"));
    EXPECT_FALSE(filetype::matches("plat", "plate*.*"));
}

TEST(FileTypeFilter, QuestionMarkIsOneCharacterAndBracketsAreLiteral) {
    EXPECT_TRUE(filetype::matches("я.txt", "?.txt"));
    EXPECT_FALSE(filetype::matches("я.txt", "??.txt"));
    EXPECT_TRUE(filetype::matches("[a].txt", "[a]*.txt"));
    EXPECT_FALSE(filetype::matches("a.txt", "[a]*.txt"));
    EXPECT_TRUE(filetype::matches("a+b.txt", "a+b*.txt"));
}

TEST(FileTypeFilter, ManyStarsStayFast) {
    const std::string name(5000, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(filetype::matches(name, "*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
