#include <gtest/gtest.h>

#include "TestSupport.h"
#include "lib/Win1251.h"

namespace {

TEST(Win1251, EveryByteSurvivesTheRoundTripThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(win1251::fromUtf8(win1251::toUtf8(one)), one) << "byte " << b;
        bool ok = false;
        EXPECT_EQ(win1251::fromUnicode(win1251::toUnicode(static_cast<unsigned char>(b)), &ok), b);
        EXPECT_TRUE(ok) << "byte " << b;
    }
}

TEST(Win1251, LettersAndSignsMapToTheirCodePoints) {
    const std::pair<int, char32_t> cases[] = {
        {0xC0, U'А'}, {0xDF, U'Я'}, {0xE0, U'а'}, {0xFF, U'я'}, {0xA8, U'Ё'}, {0xB8, U'ё'},
        {0xB9, U'№'}, {0x88, U'€'}, {0x96, U'–'}, {0xAB, U'«'}, {0xBB, U'»'}, {0xA0, 0xA0},
        {0xB2, U'І'}, {0xB3, U'і'}, {0xA5, U'Ґ'}, {0xB4, U'ґ'}, {'A', U'A'},  {0, 0}};
    for (const auto& [code, unicode] : cases)
        EXPECT_EQ(win1251::toUnicode(static_cast<unsigned char>(code)), unicode) << code;
    EXPECT_EQ(win1251::toUtf8("\xCF\xF0\xE8\xE2\xE5\xF2 \xB9"
                              "5"),
              "Привет №5");
    EXPECT_EQ(cp("Ёлка «ёж»"), "\xA8\xEB\xEA\xE0 \xAB\xB8\xE6\xBB");
}

TEST(Win1251, CharactersWithoutAFormAndBrokenUtf8BecomeQuestionMarks) {
    bool ok = true;
    EXPECT_EQ(win1251::fromUnicode(U'中', &ok), '?');
    EXPECT_FALSE(ok);
    EXPECT_EQ(win1251::fromUtf8("a中b😀c"), "a?b?c") << "one mark per character";
    EXPECT_EQ(win1251::fromUtf8("\xD0"), "?") << "truncated sequence";
    EXPECT_EQ(win1251::fromUtf8("\xC0\xAF"), "??") << "overlong form of '/'";
    EXPECT_EQ(win1251::fromUtf8("\xED\xA0\x80"), "???") << "surrogate";
    EXPECT_EQ(win1251::fromUtf8("\xF4\x90\x80\x80"), "????") << "beyond U+10FFFF";
    EXPECT_EQ(win1251::fromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Win1251, Utf8DetectionNeedsValidMultiByteText) {
    EXPECT_TRUE(win1251::looksLikeUtf8("Привет"));
    EXPECT_TRUE(win1251::looksLikeUtf8("\xEF\xBB\xBFplain"));
    EXPECT_FALSE(win1251::looksLikeUtf8("plain ASCII 10,5"));
    EXPECT_FALSE(win1251::looksLikeUtf8(""));
    EXPECT_FALSE(win1251::looksLikeUtf8(cp("Привет")));
    EXPECT_FALSE(win1251::looksLikeUtf8("Привет\xD0")) << "a broken tail spoils it";
    // Two Windows-1251 letters that happen to form a valid UTF-8 pair ("Рџ" = U+041F).
    EXPECT_TRUE(win1251::looksLikeUtf8("\xD0\x9F"));
}

}  // namespace
