#include <gtest/gtest.h>

#include <algorithm>

#include "TestFont.h"
#include "TestSupport.h"
#include "font/FontStorage.h"
#include "gcode/MoveText.h"
#include "lib/NumberText.h"
#include "lib/Win1251.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

namespace {

// The template's parameters: LineSpacing 4.97, FieldWidth 100, LetterHeight 4.4,
// WidthFactor 0.75. A one-point letter is then at X 1.65, Y 4.4 and 1.65 wide;
// the letter gap is 0.66 and a space advances 1.65.
const std::string kTemplateParameters = "4.97//a\r\n100//b\r\n4.4//c\r\n0.75//d\r\n";
// Round numbers: LetterHeight 10, WidthFactor 0.5, LineSpacing 12. A one-point
// letter is at X 2.5, Y 10 and 2.5 wide; the gap is 1 and a space advances 2.5.
const std::string kRoundParameters = "12//a\r\n100//b\r\n10//c\r\n0.5//d\r\n";

class LayoutTest : public ::testing::Test {
  protected:
    void SetUp() override { writeTestFont(); }

    LayoutResult layOut(const std::string& parameters, const std::string& textLines,
                        const std::string& font = kTestFont) {
        EventPump none;
        return LayOutProject(ParseProject(parameters + textLines, none), font, settings);
    }

    MachiningSettings settings;  // 5, 15, "500.00", 0
};

// One letter per record from record 2: P drawing point, L lift to ZBezop, E lift to ZBezopS.
std::string kinds(const LayoutResult& r, const MachiningSettings& s = {}) {
    std::string out;
    for (std::size_t i = 2; i <= r.points->count(); ++i) {
        const PenPoint& p = (*r.points)[i];
        if (p.X == 0 && p.Y == 0)
            out += p.Z == s.ZBezopS ? 'E' : p.Z == s.ZBezop ? 'L' : '?';
        else
            out += 'P';
    }
    return out;
}

std::vector<std::string> lines(const LayoutResult& r) {
    std::vector<std::string> out;
    for (std::size_t i = 2; i <= r.points->count(); ++i) out.emplace_back(r.points->line(i));
    return out;
}

// The text of the n-th drawing point (1-based).
std::string drawingPoint(const LayoutResult& r, int n) {
    for (std::size_t i = 2; i <= r.points->count(); ++i)
        if ((*r.points)[i].Z == 0 && --n == 0) return std::string(r.points->line(i));
    return "(none)";
}

const std::string kLine5 = w("Текст после тэга будет на расстоянии 50мм\r\n");

TEST_F(LayoutTest, TemplateLine5LiftsAtSpacesAndAroundDigits) {
    const LayoutResult r = layOut(kTemplateParameters, kLine5);
    EXPECT_EQ(kinds(r), "PPPPPLPPPPPLPPPPLPPPPPLPPLPPPPPPPPPPLPLPLPPE");
    EXPECT_EQ(drawingPoint(r, 1), "G1X1.65Y-4.4");
    EXPECT_EQ(drawingPoint(r, 6), "G1X14.85Y-4.4") << "a space advances 1.65, then the gap";
    EXPECT_EQ(drawingPoint(r, 32), "G1X83.16Y-4.4") << "the digit 5";
    EXPECT_EQ(drawingPoint(r, 35), "G1X90.09Y-4.4");
    EXPECT_EQ(r.points->line(6 + 1), "G0Z5,00");
    EXPECT_EQ(r.points->line(r.points->count()), "G0Z15,00");
    EXPECT_EQ(r.points->line(1), "") << "the placeholder";
    EXPECT_TRUE(r.messages.empty());
}

TEST_F(LayoutTest, NoRazrivLeavesOnlyTheLineEndLift) {
    settings.NoRazriv = 1;
    const LayoutResult r = layOut(kTemplateParameters, kLine5);
    EXPECT_EQ(kinds(r), std::string(35, 'P') + "E");
    EXPECT_EQ(drawingPoint(r, 35), "G1X90.09Y-4.4") << "spaces still advance";
}

TEST_F(LayoutTest, WholeTemplateWithTheTagAtX50) {
    EventPump none;
    const std::string path = joinPath(testProgramFolder(), "t.txt");
    WriteProjectTemplate(path);
    const LayoutResult r = LayOutProject(ReadProjectFile(path, none), kTestFont, settings);
    EXPECT_EQ(kinds(r),
              "PPPPPLPPPPPLPPPPLPPPPPLPPLPPPPPPPPPPLPLPLPPE"  // line 5
              "PPLPPPPPPLPPPPLPPPPLPPPPPLPPLPLPLPPE"          // line 7; line 6 adds nothing
              "PPPPPPLPPPPPPLPPPPPPPPPPPPE");                 // line 8
    const std::vector<std::string> all = lines(r);
    // "края" ends at 30.36; the tag's lift, then "Э" at 50 + 1.65, as the words say.
    const auto e = std::find(all.begin(), all.end(), "G1X51.65Y-14.34");
    ASSERT_NE(e, all.end());
    EXPECT_EQ(*(e - 2), "G1X30.36Y-14.34");
    EXPECT_EQ(*(e - 1), "G0Z5,00");
    EXPECT_EQ(*(e + 1), "G1X53.96Y-14.34");
    EXPECT_EQ(all[all.size() - 2], "G1X58.08Y-19.31") << "line 8, three line spacings down";
    EXPECT_EQ(r.bounds, (ViewBounds{0, -100, 100, 0}));
}

TEST_F(LayoutTest, EmptyAndBlankLinesOnlyMoveTheNextLineDown) {
    LayoutResult r = layOut(kRoundParameters, "\r\nA\r\n");
    EXPECT_EQ(lines(r), (std::vector<std::string>{"G0Z15,00", "G1X2.5Y-22", "G0Z15,00"}))
        << "an empty first line lifts at record 2";

    r = layOut(kRoundParameters, "A\r\n     \r\n\r\nA\r\n");
    EXPECT_EQ(lines(r),
              (std::vector<std::string>{"G1X2.5Y-10", "G0Z15,00", "G1X2.5Y-46", "G0Z15,00"}));
}

// A font whose folder says its letters are not drawn for joining lifts the
// pen between the letters of a word, "Неразрывная строка" or not.
TEST_F(LayoutTest, AFontWhoseLettersDoNotJoinLiftsBetweenTheLettersOfAWord) {
    EXPECT_EQ(kinds(layOut(kRoundParameters, "AB C.D\r\n")), "PPLPLPLPE");
    WriteFontLettersJoin(kTestFont, false);
    EXPECT_EQ(kinds(layOut(kRoundParameters, "AB C.D\r\n")), "PLPLPLPLPE");
    settings.NoRazriv = 1;
    EXPECT_EQ(kinds(layOut(kRoundParameters, "AB C\r\n")), "PLPPE");
    WriteFontLettersJoin(kTestFont, true);
    EXPECT_EQ(kinds(layOut(kRoundParameters, "AB C\r\n")), "PPPE");
}

TEST_F(LayoutTest, SeparatedCharactersGetALiftOnEachSide) {
    EXPECT_EQ(kinds(layOut(kRoundParameters, "5\r\n")), "LPE");
    EXPECT_EQ(kinds(layOut(kRoundParameters, "A.B\r\n")), "PLPLPE");
    EXPECT_EQ(kinds(layOut(kRoundParameters, "A.\r\n")), "PLPE") << "the line end serves";
    EXPECT_EQ(kinds(layOut(kRoundParameters, "A, B\r\n")), "PLPLPE") << "no double lift";
    EXPECT_EQ(kinds(layOut(kRoundParameters, "  A  B  \r\n")), "PLPE");
    settings.NoRazriv = 1;
    EXPECT_EQ(kinds(layOut(kRoundParameters, "5.A B\r\n")), "PPPPE");
}

TEST_F(LayoutTest, LetterPointsOnTheBoxEdgesAreSkippedButCountForTheWidth) {
    // "E": (0,50) and (50,0) skipped, (-10,50) kept, (40,60); its width is 2.5 from (50,0).
    const LayoutResult r = layOut(kRoundParameters, "EA\r\n");
    EXPECT_EQ(lines(r),
              (std::vector<std::string>{"G1X-0.5Y-5", "G1X2Y-6", "G1X6Y-10", "G0Z15,00"}));
}

TEST_F(LayoutTest, BreakMarksLiftOnlyWhenAskedAndOnlyBetweenDrawnPoints) {
    // Marks at both ends, two in a row, and one before a point on the box's edge.
    const std::string folder = joinPath(testProgramFolder(), kTestFont);
    writeFile(joinPath(folder, "66"),
              "0,0\r\n10,10\r\n0,0\r\n0,0\r\n20,20\r\n0,0\r\n0,50\r\n30,30\r\n0,0\r\n");
    const LayoutResult off = layOut(kRoundParameters, "B.B\r\n");
    EXPECT_EQ(kinds(off), "PPPLPLPPPE");
    settings.RazrivVBukve = 1;
    EXPECT_EQ(kinds(layOut(kRoundParameters, "B.B\r\n")), "PLPLPLPLPLPLPE")
        << "one lift per break, none at the ends, none doubled next to the comma's lifts";
    settings.NoRazriv = 1;
    const LayoutResult on = layOut(kRoundParameters, "AB B\r\n");
    EXPECT_EQ(kinds(on), "PPLPLPPLPLPE") << "NoRazriv keeps the word lift off, not the breaks";
    EXPECT_EQ(lines(on)[2], "G0Z5,00");
}

TEST_F(LayoutTest, GlyphScalingAndRoundingHalfToEven) {
    // 12.5 * 10/100 * 0.5 = 0.625, which rounds to 0.62; 40 * 0.1 = 4.
    writeFile(joinPath(testProgramFolder(), "font/T/81"), "12.5,40\r\n");
    const LayoutResult r = layOut(kRoundParameters, "Q\r\n");
    EXPECT_EQ((*r.points)[2], (PenPoint{0.62, -4, 0}));
    EXPECT_EQ(r.points->line(2), "G1X0.62Y-4");
}

TEST_F(LayoutTest, MissingAndMalformedLettersAreReportedPerOccurrence) {
    // "M" keeps (30,40) and stops at the line without a comma; "N" is empty; "~" has no file.
    const LayoutResult r = layOut(kRoundParameters, "~MN~A\r\nM\r\n");
    EXPECT_EQ(r.messages,
              (std::vector<std::string>{w("Буква '~' не найдена"), w("Буква 'M' не найдена"),
                                        w("Буква '~' не найдена"), w("Буква 'M' не найдена")}));
    // "~": lift, no point, no width; "M" at 1 + 1.5; "N" adds a gap; "~" a gap and lifts.
    EXPECT_EQ(lines(r), (std::vector<std::string>{"G0Z5,00", "G1X2.5Y-4", "G0Z5,00", "G1X8Y-10",
                                                  "G0Z15,00", "G1X1.5Y-16", "G0Z15,00"}));
}

TEST_F(LayoutTest, CharactersOutsideWindows1251AreMissingLettersNeverAQuestionMark) {
    // Ω, ☺ and 你 have no Windows-1251 form (the test font has «?» and even a
    // letter for the undefined code 152); λ in a tag and ï in a comment are not written.
    const LayoutResult r = layOut(kRoundParameters, "AΩ☺<@N=λ>你A//ï\r\n");
    EXPECT_EQ(r.messages, (std::vector<std::string>{w("Буква 'U+03A9' не найдена"),
                                                    w("Буква 'U+263A' не найдена"),
                                                    w("Буква 'U+4F60' не найдена")}));
    EXPECT_EQ(r.missingCharacters, (std::vector<char32_t>{0x3A9, 0x263A, 0x4F60}));
    EXPECT_TRUE(r.missing[win1251::kForeign]);
    // Like any missing letter: no point and no width, a gap each.
    EXPECT_EQ(lines(r), (std::vector<std::string>{"G1X2.5Y-10", "G1X9Y-10", "G0Z15,00"}));
    EXPECT_EQ(MissingLettersSummary(r.missingCharacters),
              w("Не найдено букв: 3 (разных: 3):\r\n'U+03A9', 'U+263A', 'U+4F60'"));
    // In UTF-8 (the terminal, the windows) each is shown as itself, with its code.
    EXPECT_EQ(MissingLettersSummary(r.missingCharacters, TextForm::Utf8),
              "Не найдено букв: 3 (разных: 3):\r\n'Ω' (U+03A9), '☺' (U+263A), '你' (U+4F60)");
    EXPECT_EQ(MissingLetterCounts({U'Ж', 0x3A9, 0x3A9}, TextForm::Utf8),
              (std::vector<std::string>{"Буква 'Ж' не найдена: 1 раз",
                                        "Буква 'Ω' (U+03A9) не найдена: 2 раза"}));
}

TEST_F(LayoutTest, ALetterWithACoordinateBeyondAnyLetterIsRefusedWhole) {
    const std::string folder = joinPath(testProgramFolder(), kTestFont);
    writeFile(joinPath(folder, "81"), "10,10\r\n1e300,20\r\n20,20\r\n");
    const LayoutResult r = layOut(kRoundParameters, "QA\r\n");
    EXPECT_EQ(r.messages, (std::vector<std::string>{w("Буква 'Q' не найдена")}));
    for (const std::string& line : lines(r)) EXPECT_LT(line.size(), 30u) << line;
}

TEST_F(LayoutTest, WithoutAFontEveryLetterIsMissing) {
    const LayoutResult r = layOut(kRoundParameters, w("AЖ A\r\n"), "");
    EXPECT_EQ(r.messages,
              (std::vector<std::string>{w("Буква 'A' не найдена"), w("Буква 'Ж' не найдена"),
                                        w("Буква 'A' не найдена")}));
    EXPECT_EQ(kinds(r), "L") << "the space's lift also ends the line";
}

TEST_F(LayoutTest, AnAbsoluteFontPathWorksToo) {
    const LayoutResult r =
        layOut(kRoundParameters, "A\r\n", joinPath(testProgramFolder(), "font/T"));
    EXPECT_EQ(lines(r), (std::vector<std::string>{"G1X2.5Y-10", "G0Z15,00"}));
}

TEST_F(LayoutTest, PositionTags) {
    EXPECT_EQ(lines(layOut(kRoundParameters, "<@XXX=20>A\r\n")),
              (std::vector<std::string>{"G0Z5,00", "G1X22.5Y-10", "G0Z15,00"}));
    EXPECT_EQ(lines(layOut(kRoundParameters, "A <@XXX=20>B\r\n")),
              (std::vector<std::string>{"G1X2.5Y-10", "G0Z5,00", "G1X22.5Y-10", "G0Z15,00"}))
        << "the space's lift serves the tag";
    EXPECT_EQ(lines(layOut(kRoundParameters, "A<@N=1><@XXX=20>B\r\n")),
              (std::vector<std::string>{"G1X2.5Y-10", "G1X6Y-10", "G0Z15,00"}))
        << "the first tag at a position decides";
    EXPECT_EQ(lines(layOut(kRoundParameters, "A<@XXX =20>B\r\n")),
              (std::vector<std::string>{"G1X2.5Y-10", "G1X6Y-10", "G0Z15,00"}));
    EXPECT_EQ(lines(layOut(kRoundParameters, "A<@XXX=20> B\r\n")),
              (std::vector<std::string>{"G1X2.5Y-10", "G0Z5,00", "G1X8.5Y-10", "G0Z15,00"}))
        << "a tag before a space never matches";
    settings.NoRazriv = 1;
    EXPECT_EQ(kinds(layOut(kRoundParameters, "A B<@XXX=30>C D\r\n")), "PPLPPE")
        << "NoRazriv never suppresses a tag's lift";
}

TEST_F(LayoutTest, TagValuesInTheUsersFormAndOtherwiseTheirLeadingNumber) {
    numtext::setDecimalSeparator(',');
    EXPECT_EQ(lines(layOut(kRoundParameters, "<@XXX= 12,25>A\r\n")),
              (std::vector<std::string>{"G0Z5,00", "G1X14,75Y-10", "G0Z15,00"}));
    EXPECT_EQ(drawingPoint(layOut(kRoundParameters, "<@XXX=12.25>A\r\n"), 1), "G1X14,75Y-10");
    numtext::setDecimalSeparator('.');
    EXPECT_EQ(drawingPoint(layOut(kRoundParameters, "<@XXX=30mm>A\r\n"), 1), "G1X32.5Y-10");
    EXPECT_EQ(lines(layOut(kRoundParameters, "<@XXX=abc>A\r\n")),
              (std::vector<std::string>{"G1X2.5Y-10", "G0Z15,00"}))
        << "a value without a number moves nothing";
}

TEST_F(LayoutTest, FractionalSafeHeightsGetTwoDecimalsInTheUsersForm) {
    settings.ZBezop = 5.5;
    settings.ZBezopS = 15;
    EXPECT_EQ(lines(layOut(kRoundParameters, "A B\r\n")),
              (std::vector<std::string>{"G1X2.5Y-10", "G0Z5.50", "G1X8.5Y-10", "G0Z15,00"}));
    numtext::setDecimalSeparator(',');
    EXPECT_EQ(lines(layOut(kRoundParameters, "A B\r\n"))[1], "G0Z5,50");
}

TEST_F(LayoutTest, LayingOutTwiceGivesIdenticalLists) {
    const LayoutResult first = layOut(kTemplateParameters, kLine5 + "~A B\r\n");
    (void)layOut(kRoundParameters, "W.W\r\n");
    const LayoutResult second = layOut(kTemplateParameters, kLine5 + "~A B\r\n");
    EXPECT_EQ(*first.points, *second.points);
    EXPECT_EQ(first.messages, second.messages);
    EXPECT_NE(first.points, second.points) << "every layout makes a new list";
}

TEST(FormatMoveLine, Forms) {
    EXPECT_EQ(FormatMoveLine(12.5, -3.25, 0, ','), "G1X12,5Y-3,25");
    EXPECT_EQ(FormatMoveLine(0.5, -0.05, 0, '.'), "G1X0.5Y-0.05");
    EXPECT_EQ(FormatMoveLine(1234567.89, -1e-7, 0, '.'), "G1X1234567.89Y-0.0000001");
    EXPECT_EQ(FormatMoveLine(0, 0, 15, '.'), "G0Z15,00");
    EXPECT_EQ(FormatMoveLine(0, 0, -2, ','), "G0Z-2,00");
    EXPECT_EQ(FormatMoveLine(0, 0, 0.25, ','), "G0Z0,25");
    EXPECT_EQ(FormatMoveLine(0, 0, 2.125, '.'), "G0Z2.12");
    EXPECT_EQ(FormatMoveLine(0, 5, 0, '.'), "");
    EXPECT_EQ(FormatMoveLine(5, 0, 0, '.'), "");
    EXPECT_EQ(FormatMoveLine(1, 1, 1, '.'), "");
    EXPECT_EQ(FormatMoveLine(0, 0, 0, '.'), "");
    numtext::setDecimalSeparator(',');
    EXPECT_EQ(FormatMoveLine(1.5, 2, 0), "G1X1,5Y2");
}

TEST(CharClass, ByCode) {
    EXPECT_EQ(ClassOf(' '), CharClass::Space);
    for (int c : {0, 31, 33, 48, 57, 64, 91, 96, 123, 127})
        EXPECT_EQ(ClassOf(static_cast<unsigned char>(c)), CharClass::Separated) << c;
    for (int c : {65, 90, 97, 122, 128, 168, 192, 255})
        EXPECT_EQ(ClassOf(static_cast<unsigned char>(c)), CharClass::Letter) << c;
}

}  // namespace
