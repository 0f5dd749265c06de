#pragma once

#include <string>

// Numbers of the G-code texts, written fast: a large tool path formats
// millions of them.
namespace movenumber {

// Room a write below may need: the longest shortest form of a double.
constexpr std::size_t kMaxNumberLength = 400;

// nearbyint for |x| < 2^51 without a library call: adding 1.5 * 2^52 leaves
// no fraction bits, so the addition itself rounds, halves to even.
inline double roundSmall(double x) {
    constexpr double kShift = 6755399441055744.0;
    return (x + kShift) - kShift;
}
constexpr double kSmall = 2251799813685248.0;  // 2^51

// roundHundredths beyond 2^51 hundredths (and for what is not finite).
double roundLargeHundredths(double value);

// The same value as numtext::roundHalfEven(value, 2), without its power call;
// inline, as a layout rounds every point it makes.
inline double roundHundredths(double value) {
    const double scaled = value * 100.0;
    // Also false for what is not finite.
    if (scaled < kSmall && scaled > -kSmall) return roundSmall(scaled) / 100.0;
    return roundLargeHundredths(value);
}

// Writes numtext::shortest(value, decimalSeparator) at out and returns the end:
// the same text, with a fast path for whole hundredths (every laid-out coordinate).
char* writeShortest(char* out, double value, char decimalSeparator);

// Writes the value with exactly two decimals (rounded half to even).
char* writeTwoDecimals(char* out, double value, char decimalSeparator);

// Writes the value rounded to `decimals` (at most 6) places; trim: without
// trailing zeros and without a point for a whole number.
char* writeFixed(char* out, double value, int decimals, bool trim);

// The same as a string, with `separator` as the decimal mark: whatever the
// C library's locale, so a window program writes what the command line does.
std::string fixedText(double value, int decimals, bool trim, char separator = '.');

// The same, appended to a string.
void appendShortest(std::string& out, double value, char decimalSeparator);
void appendTwoDecimals(std::string& out, double value, char decimalSeparator);

}  // namespace movenumber
