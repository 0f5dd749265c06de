#pragma once

#include <optional>
#include <string>
#include <string_view>

// Number reading and writing shared by the file formats and the G-code list.
namespace numtext {

// Leading-number rule of project and letter files: blanks, tabs and line feeds
// skipped, optional sign, digits, one optional "." with fraction digits, an
// optional exponent; reading stops at the first character that does not fit;
// no number gives 0. Never "inf" or "nan".
double leadingNumber(std::string_view text);

// The same, reporting how many characters formed the number (0: none, or a
// number beyond the range of a double, which reads as 0).
double leadingNumber(std::string_view text, std::size_t& consumed);

// Reads a whole text of digits with at most one decimal mark ("." or ","), no
// sign. Empty when the text is not such a number. A value too large for a
// double reads as +infinity, one too small to tell from zero as 0.
std::optional<double> parseMarkedDecimal(std::string_view body);

// Rounds to the given decimals, halves to the even neighbour.
double roundHalfEven(double value, int decimals);

// Whole number nearest to the value, halves to the even neighbour.
double roundToWholeHalfEven(double value);

// Shortest decimal form: up to 15 significant digits, no trailing zeros, no
// separator for whole numbers, "0" before the separator below 1, the given
// decimal separator.
std::string shortest(double value, char decimalSeparator = '.');

// Reads a whole text (surrounding spaces allowed) as a number written with the
// user's decimal separator or ".". Empty when the text is not a number.
std::optional<double> parseLocaleNumber(std::string_view text, char decimalSeparator);

// The user's decimal separator for numbers shown on screen ('.' or ','),
// captured at start from the system locale; tests set it.
char decimalSeparator();
void setDecimalSeparator(char separator);

}  // namespace numtext
