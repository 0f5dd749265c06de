#include "gcode/MoveNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "lib/NumberText.h"

namespace movenumber {
namespace {

// Writes |hundredths| / 100, without trailing zeros unless keepZeros.
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

char* copy(char* out, const std::string& text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace

double roundLargeHundredths(double value) {
    if (!std::isfinite(value)) return value;
    const double scaled = value * 100.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9e15) return value;
    return std::nearbyint(scaled) / 100.0;
}

char* writeShortest(char* out, double value, char decimalSeparator) {
    if (value == 0.0) {
        *out++ = '0';
        return out;
    }
    // A double that is the nearest one to a decimal with two decimals and at
    // most 15 significant digits prints, at 15 significant digits, as exactly
    // that decimal.
    const double scaled = value * 100.0;
    if (std::fabs(scaled) < 1e14) {
        const double hundredths = roundSmall(scaled);
        if (hundredths / 100.0 == value) {
            if (hundredths < 0) *out++ = '-';
            return writeHundredths(out, static_cast<std::uint64_t>(std::fabs(hundredths)),
                                   decimalSeparator, false);
        }
    }
    return copy(out, numtext::shortest(value, decimalSeparator));
}

char* writeTwoDecimals(char* out, double value, char decimalSeparator) {
    const double hundredths = numtext::roundToWholeHalfEven(value * 100.0);
    if (!std::isfinite(hundredths) || std::fabs(hundredths) >= 1e17)
        return copy(out, numtext::shortest(value, decimalSeparator));
    if (hundredths < 0) *out++ = '-';
    return writeHundredths(out, static_cast<std::uint64_t>(std::fabs(hundredths)), decimalSeparator,
                           true);
}

char* writeFixed(char* out, double value, int decimals, bool trim) {
    static constexpr double kScale[] = {1, 10, 100, 1000, 1e4, 1e5, 1e6};
    static constexpr std::uint64_t kWhole[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    const auto d = static_cast<std::size_t>(decimals < 0 ? 0 : decimals > 6 ? 6 : decimals);
    const double scaled = numtext::roundToWholeHalfEven(value * kScale[d]);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e17)
        return copy(out, numtext::shortest(value, '.'));
    const auto units = static_cast<std::uint64_t>(std::fabs(scaled));
    if (scaled < 0 && units != 0) *out++ = '-';
    out = std::to_chars(out, out + 24, units / kWhole[d]).ptr;
    std::uint64_t fraction = units % kWhole[d];
    std::size_t digits = d;
    if (trim) {
        while (digits > 0 && fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
    }
    if (digits == 0) return out;
    *out++ = '.';
    char* const end = out + digits;
    for (char* q = end; q > out; fraction /= 10) *--q = static_cast<char>('0' + fraction % 10);
    return end;
}

std::string fixedText(double value, int decimals, bool trim, char separator) {
    char buffer[kMaxNumberLength];
    std::string text(buffer, writeFixed(buffer, value, decimals, trim));
    if (separator != '.') std::replace(text.begin(), text.end(), '.', separator);
    return text;
}

void appendShortest(std::string& out, double value, char decimalSeparator) {
    char buffer[kMaxNumberLength];
    out.append(buffer, writeShortest(buffer, value, decimalSeparator));
}

void appendTwoDecimals(std::string& out, double value, char decimalSeparator) {
    char buffer[kMaxNumberLength];
    out.append(buffer, writeTwoDecimals(buffer, value, decimalSeparator));
}

}  // namespace movenumber
