#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.h"
#include "lib/NumberText.h"

namespace {

using numtext::leadingNumber;

TEST(LeadingNumber, ReadsWhatFitsAndStops) {
    const std::tuple<const char*, double, std::size_t> cases[] = {
        {"  12.5abc", 12.5, 6}, {"-3", -3, 2},     {"+4", 4, 2},  {".5", 0.5, 2},
        {"-.5//x", -0.5, 3},    {"5.", 5, 2},      {"1,5", 1, 1}, {"1.2.3", 1.2, 3},
        {"1e3", 1000, 3},       {"2E-1x", 0.2, 4}, {"1e", 1, 1},  {"1e+", 1, 1},
        {"\t\n 7", 7, 4},       {"abc", 0, 0},     {"", 0, 0},    {"-", 0, 0},
        {"- 5", 0, 0},          {".", 0, 0},       {"+-5", 0, 0}, {"007", 7, 3}};
    for (const auto& [text, value, consumed] : cases) {
        std::size_t used = 99;
        EXPECT_DOUBLE_EQ(leadingNumber(text, used), value) << text;
        EXPECT_EQ(used, consumed) << text;
    }
    EXPECT_EQ(leadingNumber("1e400"), 0.0) << "no infinity reaches a coordinate";
    EXPECT_FALSE(std::signbit(leadingNumber("abc")));
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_DOUBLE_EQ(numtext::roundHalfEven(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(numtext::roundHalfEven(0.375, 2), 0.38);
    EXPECT_DOUBLE_EQ(numtext::roundHalfEven(-0.125, 2), -0.12);
    EXPECT_DOUBLE_EQ(numtext::roundHalfEven(2.5, 0), 2);
    EXPECT_DOUBLE_EQ(numtext::roundHalfEven(12.3456, 2), 12.35);
    EXPECT_DOUBLE_EQ(numtext::roundHalfEven(1.005, 2), 1.0) << "1.005 is stored below the half";
    EXPECT_DOUBLE_EQ(numtext::roundHalfEven(1e300, 2), 1e300);
    EXPECT_TRUE(std::isnan(numtext::roundHalfEven(NAN, 2)));
    EXPECT_DOUBLE_EQ(numtext::roundToWholeHalfEven(0.5), 0);
    EXPECT_DOUBLE_EQ(numtext::roundToWholeHalfEven(1.5), 2);
    EXPECT_DOUBLE_EQ(numtext::roundToWholeHalfEven(-2.5), -2);
    EXPECT_DOUBLE_EQ(numtext::roundToWholeHalfEven(2.5000001), 3);
}

TEST(Shortest, PlainDecimalFormWithTheGivenSeparator) {
    EXPECT_EQ(numtext::shortest(1.0), "1");
    EXPECT_EQ(numtext::shortest(0.5), "0.5");
    EXPECT_EQ(numtext::shortest(0.5, ','), "0,5");
    EXPECT_EQ(numtext::shortest(-12.25, ','), "-12,25");
    EXPECT_EQ(numtext::shortest(0.1 + 0.2), "0.3") << "15 significant digits";
    EXPECT_EQ(numtext::shortest(-0.0), "0");
    EXPECT_EQ(numtext::shortest(1e20), "100000000000000000000");
    EXPECT_EQ(numtext::shortest(1.5e-7), "0.00000015");
    EXPECT_EQ(numtext::shortest(123456.75), "123456.75");
    EXPECT_EQ(numtext::shortest(1e-20), "0");
    EXPECT_EQ(numtext::shortest(-1e-20), "0") << "no negative zero on screen";
}

TEST(ParseLocaleNumber, WholeTextWithEitherSeparator) {
    EXPECT_EQ(numtext::parseLocaleNumber(" 1,5 ", ','), 1.5);
    EXPECT_EQ(numtext::parseLocaleNumber("1.5", ','), 1.5);
    EXPECT_EQ(numtext::parseLocaleNumber("-2", '.'), -2.0);
    EXPECT_EQ(numtext::parseLocaleNumber("\t15\t", '.'), 15.0);
    for (const char* bad : {"1,5", "", "  ", "12abc", "-", ".", "1.2.3", "5 5", "1e400"})
        EXPECT_FALSE(numtext::parseLocaleNumber(bad, '.').has_value()) << bad;
    EXPECT_FALSE(numtext::parseLocaleNumber("1,2,3", ',').has_value());

    numtext::setDecimalSeparator(',');
    EXPECT_EQ(numtext::decimalSeparator(), ',');
}

}  // namespace

TEST(NumberText, MarkedDecimalTakesEitherMarkAndOnlyWholeNumbers) {
    EXPECT_EQ(numtext::parseMarkedDecimal("12,5"), 12.5);
    EXPECT_EQ(numtext::parseMarkedDecimal("0.000"), 0.0);
    EXPECT_EQ(numtext::parseMarkedDecimal(".5"), 0.5);
    for (const char* bad : {"", ",", "1,2,3", "1.2.3", "5-", "-5", "1e5", "12a"})
        EXPECT_FALSE(numtext::parseMarkedDecimal(bad).has_value()) << bad;
    EXPECT_TRUE(std::isinf(*numtext::parseMarkedDecimal(std::string(400, '9'))));
    EXPECT_EQ(numtext::parseMarkedDecimal("0." + std::string(400, '0') + "1"), 0.0);
}
