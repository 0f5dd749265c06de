#pragma once

#include <string>

// Numbers of the G-code texts, written fast: a large tool path formats
// millions of them.
namespace movenumber {

// Room a write below may need: the longest shortest form of a double.
constexpr std::size_t kMaxNumberLength = 400;

// The same value as numtext::roundHalfEven(value, 2), without its power call.
double roundHundredths(double value);

// Writes numtext::shortest(value, decimalSeparator) at out and returns the end:
// the same text, with a fast path for whole hundredths (every laid-out coordinate).
char* writeShortest(char* out, double value, char decimalSeparator);

// Writes the value with exactly two decimals (rounded half to even).
char* writeTwoDecimals(char* out, double value, char decimalSeparator);

// Writes the value rounded to `decimals` (at most 6) places; trim: without
// trailing zeros and without a point for a whole number.
char* writeFixed(char* out, double value, int decimals, bool trim);

// The same, appended to a string.
void appendShortest(std::string& out, double value, char decimalSeparator);
void appendTwoDecimals(std::string& out, double value, char decimalSeparator);

}  // namespace movenumber
