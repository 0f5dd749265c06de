#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "TestSupport.h"
#include "lib/Text_peob.h"

namespace {

using Massiv = Text_peob::Massiv;

TEST(DoRavnoPosleRavno, SplitAtFirstEqualsAndTrimTheCallersText) {
    std::string s = "  X = 50 ";
    EXPECT_EQ(Text_peob::DoRavno(s), "X ");
    EXPECT_EQ(s, "X = 50") << "the caller's variable is trimmed";
    EXPECT_EQ(Text_peob::PosleRavno(s), " 50");

    std::string eq = "=5", plain = "abc", blanks = "   ", tabbed = "\tk=v\t";
    EXPECT_EQ(Text_peob::DoRavno(eq), "");
    EXPECT_EQ(Text_peob::DoRavno(plain), "abc");
    EXPECT_EQ(Text_peob::DoRavno(blanks), "");
    EXPECT_EQ(blanks, "");
    EXPECT_EQ(Text_peob::DoRavno(tabbed), "\tk") << "only spaces are trimmed";

    EXPECT_EQ(Text_peob::PosleRavno("a=b=c"), "b=c");
    EXPECT_EQ(Text_peob::PosleRavno("a="), "");
    EXPECT_EQ(Text_peob::PosleRavno("abc"), "");
    EXPECT_EQ(Text_peob::PosleRavno(""), "");
}

TEST(ZamenaSimvolInStroka, ReplacesOneCharacterByAnyText) {
    EXPECT_EQ(Text_peob::ZamenaSimvolInStroka("G1X1,25Y0,5", ",", "."), "G1X1.25Y0.5");
    EXPECT_EQ(Text_peob::ZamenaSimvolInStroka("a,b", ",,", "."), "a,b");
    EXPECT_EQ(Text_peob::ZamenaSimvolInStroka("a,b", "", "."), "a,b");
    EXPECT_EQ(Text_peob::ZamenaSimvolInStroka("a,b,", ",", ""), "ab");
    EXPECT_EQ(Text_peob::ZamenaSimvolInStroka("aAa", "a", "<>"), "<>A<>");
}

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

TEST(Lookups, FirstMatchOrZeroInCollectionsAndArrays) {
    Collection<std::string> c;
    EXPECT_EQ(Text_peob::strInCollection(c, "x"), 0u);
    c.Add("pic/a.gif");
    c.Add(w("Шрифт"));
    c.Add(w("ШРИФТ"));
    EXPECT_EQ(Text_peob::strInCollection(c, w("шрифт")), 2u);
    EXPECT_EQ(Text_peob::strInCollection(c, "PIC/A.GIF"), 1u);
    EXPECT_EQ(Text_peob::strInCollection(c, "pic\\a.gif"), 0u);
    EXPECT_EQ(Text_peob::strInCollection(c, ""), 0u);

    EXPECT_EQ(Text_peob::strInMassiv(Massiv{"b", "a", "B"}, "b"), 2u) << "element 0 is skipped";
    EXPECT_EQ(Text_peob::strInMassiv(Massiv{"b"}, "b"), 0u);
    EXPECT_EQ(Text_peob::strInMassiv(Massiv{}, "b"), 0u);
}

TEST(InstrTochno, PatternMustStartAtAnAtSign) {
    EXPECT_TRUE(Text_peob::instrTochno("x<@ab>", "@ab"));
    EXPECT_TRUE(Text_peob::instrTochno("@a @ab", "@ab")) << "a later '@' may hold the match";
    EXPECT_FALSE(Text_peob::instrTochno("x@a", "@ab")) << "a match may not run past the end";
    EXPECT_FALSE(Text_peob::instrTochno("x@AB", "@ab"));
    EXPECT_FALSE(Text_peob::instrTochno("", "@"));
}

TEST(PreobrStr, BuildsCyrillicCapitalKey) {
    EXPECT_EQ(Text_peob::PreobrStr(w("Ёлка. Tok")), w("ЕЛКАТОК"));
    EXPECT_EQ(Text_peob::PreobrStr(w("йЙьЬёъ")), w("ИИЪЪЕЪ"));
    EXPECT_EQ(Text_peob::PreobrStr("ABCEHKMOPTX"), w("АВСЕНКМОРТХ"));
    EXPECT_EQ(Text_peob::PreobrStr("abcehkmoptx"), w("АВСЕНКМОРТХ"));
    EXPECT_EQ(Text_peob::PreobrStr("dfgz DQ 1,2\t"), "DFGZDQ1,2\t");
    EXPECT_EQ(Text_peob::PreobrStr(". ."), "");
}

TEST(ASCII_ANSI, MapsThroughTheDosTable) {
    auto one = [](int code) {
        const std::string out = Text_peob::ASCII_ANSI(std::string(1, static_cast<char>(code)));
        return out.size() == 1 ? static_cast<unsigned char>(out[0]) : -1;
    };
    const std::pair<int, int> cases[] = {{128, 192}, {175, 239}, {224, 240}, {239, 255},
                                         {240, 208}, {251, 219}, {184, 197}, {201, 200},
                                         {220, 218}, {252, 218}, {253, 221}, {255, 223},
                                         {176, 176}, {0, 0},     {'A', 'A'}};
    for (const auto& [from, to] : cases) EXPECT_EQ(one(from), to) << "code " << from;
    // "Привет" in code page 866.
    EXPECT_EQ(Text_peob::ASCII_ANSI("\x8F\xE0\xA8\xA2\xA5\xE2"), w("Привет"));
}

TEST(Filters, DropOrReplaceTheirCharacterClasses) {
    EXPECT_EQ(Text_peob::DelEOL("a\r\nb\rc\n"), "a  b c ");
    EXPECT_EQ(Text_peob::DelEOL(""), "");
    EXPECT_EQ(Text_peob::DelSpace(" a b\tc "), "ab\tc");
    EXPECT_EQ(Text_peob::DelSpacePrepinanie("a/\\:*?><|.,';!-_+= b\"#(1)"), "ab\"#(1)");
    EXPECT_EQ(Text_peob::DelNoASCII(std::string("a\0\x01\x1F b\x7F\xC0", 9)), "a b\x7F\xC0");
}

TEST(CollectionHelpers, ClearAndKeepFirstOfEqualItems) {
    Collection<std::string> c;
    for (const char* s : {"a.gif", "B", "A.GIF", "", "b", "c", ""}) c.Add(s);
    Text_peob::ColectionOneToOne(c);
    EXPECT_EQ(c.items(), (std::vector<std::string>{"a.gif", "B", "", "c", ""}))
        << "empty items never compare equal, so each stays";
    Text_peob::ClearColection(c);
    EXPECT_EQ(c.Count(), 0u);
}

Massiv numbered(std::size_t n) {
    Massiv m{"zero"};
    for (std::size_t i = 1; i <= n; ++i) m.push_back(std::to_string(i));
    return m;
}

TEST(Sortirovka, PermutesElementsOneToEndRepeatablyPerSeed) {
    RandomSource r1(7), r2(7);
    Massiv a = numbered(50), b = numbered(50);
    Text_peob::Sortirovka(a, r1);
    Text_peob::Sortirovka(b, r2);
    EXPECT_EQ(a, b) << "the same seed gives the same order";
    EXPECT_EQ(a[0], "zero");
    EXPECT_NE(a, numbered(50));
    const Massiv original = numbered(50);
    Massiv sorted(a.begin() + 1, a.end()), expected(original.begin() + 1, original.end());
    std::sort(sorted.begin(), sorted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);

    Massiv empty, single{"only"}, two = numbered(1);
    Text_peob::Sortirovka(empty, r1);
    Text_peob::Sortirovka(single, r1);
    Text_peob::Sortirovka(two, r1);
    EXPECT_EQ(single, Massiv{"only"});
    EXPECT_EQ(two, numbered(1));

    Massiv big = numbered(100000);  // far past the old 16-bit bound
    Text_peob::Sortirovka(big, r1);
    EXPECT_EQ(std::set<std::string>(big.begin(), big.end()).size(), big.size());
}

TEST(ViborInMassiv, PicksOneElementPerBlock) {
    RandomSource random(3);
    Massiv m = numbered(6);  // s = 2: no shuffle, one pick from each pair
    Text_peob::ViborInMassiv(m, 3, random);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0], "zero");
    for (std::size_t i = 1; i <= 3; ++i) {
        const int v = std::stoi(m[i]);
        EXPECT_TRUE(v == static_cast<int>(2 * i - 1) || v == static_cast<int>(2 * i)) << m[i];
    }

    Massiv s1 = numbered(5);  // s = 1: the first three of a shuffled array
    Text_peob::ViborInMassiv(s1, 3, random);
    ASSERT_EQ(s1.size(), 4u);
    EXPECT_EQ(std::set<std::string>(s1.begin() + 1, s1.end()).size(), 3u);

    Massiv s0 = numbered(3);  // s = 0: copies of one element
    Text_peob::ViborInMassiv(s0, 5, random);
    ASSERT_EQ(s0.size(), 6u);
    EXPECT_EQ(std::set<std::string>(s0.begin() + 1, s0.end()).size(), 1u);
    EXPECT_TRUE(s0[1] == "1" || s0[1] == "2" || s0[1] == "3");

    Massiv whole = numbered(4);
    EXPECT_THROW(Text_peob::ViborInMassiv(whole, 0, random), DivisionByZeroError);
    EXPECT_EQ(whole, numbered(4));
    Massiv none{"zero"};
    EXPECT_THROW(Text_peob::ViborInMassiv(none, 2, random), InvalidCallError);
}

TEST(RandomSource, ValuesStayInUnitIntervalAndDefaultIsSeededFixed) {
    RandomSource r(1);
    for (int i = 0; i < 10000; ++i) {
        const double u = r.next();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
    RandomSource a, b(RandomSource::kDefaultSeed);
    EXPECT_EQ(a.next(), b.next());
}

}  // namespace
