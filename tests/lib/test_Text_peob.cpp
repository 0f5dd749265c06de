#include <gtest/gtest.h>

#include "TestSupport.h"
#include "lib/Text_peob.h"

namespace {

TEST(StrRavnoStr, IgnoresCaseOfLatinAndCyrillicButNotSpaces) {
    EXPECT_TRUE(Text_peob::StrRavnoStr(w("Шрифт"), w("шрифт")));
    EXPECT_TRUE(Text_peob::StrRavnoStr(w("ЁЛКА Abc"), w("ёлка aBC")));
    EXPECT_TRUE(Text_peob::StrRavnoStr(w("ЇЄІЎ"), w("їєіў")));
    EXPECT_FALSE(Text_peob::StrRavnoStr("", ""));
    EXPECT_FALSE(Text_peob::StrRavnoStr("a", ""));
    EXPECT_FALSE(Text_peob::StrRavnoStr("ab", "ab "));
    EXPECT_FALSE(Text_peob::StrRavnoStr(w("Е"), w("Ё")));
    EXPECT_FALSE(Text_peob::StrRavnoStr("a/b", "a\\b"));
}

TEST(StrInCollection, FirstMatchingPositionOrZero) {
    Collection<std::string> c;
    EXPECT_EQ(Text_peob::strInCollection(c, "x"), 0u);
    c.Add("pic/a.gif");
    c.Add(w("Шрифт"));
    c.Add(w("ШРИФТ"));
    EXPECT_EQ(Text_peob::strInCollection(c, w("шрифт")), 2u);
    EXPECT_EQ(Text_peob::strInCollection(c, "PIC/A.GIF"), 1u);
    EXPECT_EQ(Text_peob::strInCollection(c, "pic\\a.gif"), 0u);
    EXPECT_EQ(Text_peob::strInCollection(c, ""), 0u);
}

}  // namespace
