#include "main/MoveNumber.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "lib/NumberText.h"

namespace movenumber {
namespace {

// Writes |hundredths| / 100 without trailing zeros; returns the end.
char* writeHundredths(char* out, std::uint64_t hundredths, char decimalSeparator, bool keepZeros) {
    const std::uint64_t whole = hundredths / 100;
    const unsigned fraction = static_cast<unsigned>(hundredths % 100);
    out = std::to_chars(out, out + 24, whole).ptr;
    if (fraction == 0 && !keepZeros) return out;
    *out++ = decimalSeparator;
    *out++ = static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0 || keepZeros) *out++ = static_cast<char>('0' + fraction % 10);
    return out;
}

}  // namespace

void appendShortest(std::string& out, double value, char decimalSeparator) {
    if (value == 0.0) {
        out += '0';
        return;
    }
    // A double that is the nearest one to a decimal with two decimals and at
    // most 15 significant digits prints, at 15 significant digits, as exactly
    // that decimal.
    const double scaled = value * 100.0;
    if (std::fabs(scaled) < 1e14) {
        const double hundredths = std::nearbyint(scaled);
        if (hundredths / 100.0 == value) {
            char buffer[32];
            char* p = buffer;
            if (hundredths < 0) *p++ = '-';
            p = writeHundredths(p, static_cast<std::uint64_t>(std::fabs(hundredths)),
                                decimalSeparator, false);
            out.append(buffer, p);
            return;
        }
    }
    out += numtext::shortest(value, decimalSeparator);
}

void appendTwoDecimals(std::string& out, double value, char decimalSeparator) {
    const double hundredths = numtext::roundToWholeHalfEven(value * 100.0);
    if (!std::isfinite(hundredths) || std::fabs(hundredths) >= 1e17) {
        out += numtext::shortest(value, decimalSeparator);
        return;
    }
    char buffer[40];
    char* p = buffer;
    if (hundredths < 0) *p++ = '-';
    p = writeHundredths(p, static_cast<std::uint64_t>(std::fabs(hundredths)), decimalSeparator,
                        true);
    out.append(buffer, p);
}

}  // namespace movenumber
