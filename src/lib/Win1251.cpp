#include "lib/Win1251.h"

#include <QChar>
#include <array>
#include <unordered_map>

namespace win1251 {
namespace {

constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

const std::unordered_map<char32_t, unsigned char>& reverseTable() {
    static const auto table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        for (std::size_t i = 0; i < kUpperHalf.size(); ++i)
            t.emplace(kUpperHalf[i], static_cast<unsigned char>(128 + i));
        return t;
    }();
    return table;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string codePointToUtf8(char32_t codePoint) {
    std::string out;
    appendUtf8(out, codePoint);
    return out;
}

namespace {

// Decodes one UTF-8 sequence at pos; returns its length, 0 when it is not valid.
std::size_t decodeUtf8(std::string_view s, std::size_t pos, char32_t& c) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    std::size_t len = 0;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        c = b0 & 0x07;
    } else {
        return 0;
    }
    if (pos + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[pos + k]);
        if ((b & 0xC0) != 0x80) return 0;
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

char toLower(char c) {
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const auto code = static_cast<unsigned char>(b);
            t[code] = code;
            const char32_t lower =
                QChar(static_cast<char16_t>(toUnicode(code))).toLower().unicode();
            bool ok = false;
            const unsigned char back = fromUnicode(lower, &ok);
            if (ok) t[code] = back;
        }
        return t;
    }();
    return static_cast<char>(table[static_cast<unsigned char>(c)]);
}

char32_t toUnicode(unsigned char code) { return code < 128 ? code : kUpperHalf[code - 128]; }

unsigned char fromUnicode(char32_t codePoint, bool* ok) {
    if (ok) *ok = true;
    if (codePoint < 128) return static_cast<unsigned char>(codePoint);
    const auto& table = reverseTable();
    if (auto it = table.find(codePoint); it != table.end()) return it->second;
    if (ok) *ok = false;
    return '?';
}

std::string toUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char ch : text) appendUtf8(out, toUnicode(static_cast<unsigned char>(ch)));
    return out;
}

std::string fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = 0;
        std::size_t len = decodeUtf8(utf8, pos, c);
        if (len == 0) {
            out += '?';
            ++pos;
            continue;
        }
        out += static_cast<char>(fromUnicode(c));
        pos += len;
    }
    return out;
}

std::string fromUtf8Marked(std::string_view utf8, std::vector<char32_t>* foreign) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t c = 0;
        std::size_t len = decodeUtf8(utf8, pos, c);
        if (len == 0) {
            c = 0xFFFD;
            len = 1;
        }
        bool ok = false;
        const unsigned char code = fromUnicode(c, &ok);
        const unsigned char byte = ok ? code : kForeign;
        out += static_cast<char>(byte);
        if (byte == kForeign && foreign) foreign->push_back(c);
        pos += len;
    }
    return out;
}

bool looksLikeUtf8(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return true;
    bool multiByte = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        char32_t c = 0;
        std::size_t len = decodeUtf8(bytes, pos, c);
        if (len == 0) return false;
        if (len > 1) multiByte = true;
        pos += len;
    }
    return multiByte;
}

bool isUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t c = 0;
        const std::size_t len = decodeUtf8(bytes, pos, c);
        if (len == 0) return false;
        pos += len;
    }
    return true;
}

bool fromUtf8Exactly(std::string_view utf8, std::string& out) {
    out.clear();
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t c = 0;
        const std::size_t len = decodeUtf8(utf8, pos, c);
        bool ok = len > 0;
        if (ok) out += static_cast<char>(fromUnicode(c, &ok));
        if (!ok) return false;
        pos += len;
    }
    return true;
}

}  // namespace win1251
