#include "lib/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace numtext {
namespace {
char g_decimalSeparator = '.';

bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

double leadingNumber(std::string_view text, std::size_t& consumed) {
    consumed = 0;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t bodyStart = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    bool anyDigit = i > bodyStart;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) ++j;
        if (j > i + 1) anyDigit = true;
        i = j;
    }
    if (!anyDigit) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t expDigits = j;
        while (j < text.size() && isDigit(text[j])) ++j;
        if (j > expDigits) i = j;
    }
    // from_chars takes neither a leading "+" nor a bare leading "."; give it a copy it accepts.
    std::string body(text.substr(bodyStart, i - bodyStart));
    if (!body.empty() && body[0] == '.') body.insert(body.begin(), '0');
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    (void)ptr;
    // A number beyond what a double holds (or too small to tell from 0) reads as 0,
    // so no infinity ever reaches a coordinate.
    if (ec != std::errc()) return 0.0;  // consumed stays 0: not a number this program can hold
    consumed = i;
    return negative ? -value : value;
}

double leadingNumber(std::string_view text) {
    std::size_t consumed = 0;
    return leadingNumber(text, consumed);
}

std::optional<double> parseMarkedDecimal(std::string_view body) {
    if (!body.empty() && (body[0] == '-' || body[0] == '+')) return std::nullopt;
    // from_chars wants "."; short texts are rewritten on the stack.
    char stack[64];
    std::string heap;
    const char* first = body.data();
    if (const std::size_t mark = body.find(','); mark != std::string_view::npos) {
        char* copy = stack;
        if (body.size() > sizeof stack) {
            heap.assign(body);
            copy = heap.data();
        } else {
            body.copy(stack, body.size());
        }
        copy[mark] = '.';
        first = copy;
    }
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(first, first + body.size(), value, std::chars_format::fixed);
    if (ptr != first + body.size()) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        for (char c : body) {
            if (c == '.' || c == ',') break;
            if (c != '0') return HUGE_VAL;
        }
        return 0.0;
    }
    if (ec != std::errc()) return std::nullopt;
    return value;
}

double roundHalfEven(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9e15) return value;
    double rounded = std::nearbyint(scaled);  // default rounding mode: halves to even
    return rounded / scale;
}

double roundToWholeHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    return std::nearbyint(value);
}

std::string shortest(double value, char decimalSeparator) {
    if (value == 0.0) return "0";
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (ec != std::errc()) return "0";
    std::string s(buf, end);
    // Large or tiny values come back with an exponent; write them out in full.
    if (s.find('e') != std::string::npos) {
        char fixed[400];
        auto [fend, fec] =
            std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed, 15);
        if (fec != std::errc()) return s;
        s.assign(fixed, fend);
        if (s.find('.') != std::string::npos) {
            while (!s.empty() && s.back() == '0') s.pop_back();
            if (!s.empty() && s.back() == '.') s.pop_back();
        }
        // A tiny negative value written out in full is all zeros.
        if (s == "-0") s = "0";
    }
    if (decimalSeparator != '.') {
        for (char& c : s)
            if (c == '.') c = decimalSeparator;
    }
    return s;
}

std::optional<double> parseLocaleNumber(std::string_view text, char decimalSeparator) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::string normalised(text);
    for (char& c : normalised)
        if (c == decimalSeparator) c = '.';
    std::size_t consumed = 0;
    const double value = leadingNumber(normalised, consumed);
    if (consumed != normalised.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

char decimalSeparator() { return g_decimalSeparator; }
void setDecimalSeparator(char separator) { g_decimalSeparator = separator; }

}  // namespace numtext
