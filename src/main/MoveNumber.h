#pragma once

#include <string>

// Numbers of the G-code texts, written fast: a million-record tool path
// formats millions of them.
namespace movenumber {

// Appends numtext::shortest(value, decimalSeparator): the same text, with a
// fast path for values that are whole hundredths (every laid-out coordinate).
void appendShortest(std::string& out, double value, char decimalSeparator);

// Appends the value with exactly two decimals (rounded half to even).
void appendTwoDecimals(std::string& out, double value, char decimalSeparator);

}  // namespace movenumber
