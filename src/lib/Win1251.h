#pragma once

#include <string>
#include <string_view>
#include <vector>

// The one Windows-1251 table of the program. Core text is std::string holding
// Windows-1251 bytes; paths are std::string in UTF-8 (the file system's form).
namespace win1251 {

// Unicode code point of a Windows-1251 byte.
char32_t toUnicode(unsigned char code);

// Windows-1251 byte of a code point; '?' when the code point has none.
unsigned char fromUnicode(char32_t codePoint, bool* ok = nullptr);

// Windows-1251 text to UTF-8 and back (characters without a Windows-1251 form become '?').
std::string toUtf8(std::string_view text);
std::string fromUtf8(std::string_view utf8);
// One code point in UTF-8, whatever its Windows-1251 form.
std::string codePointToUtf8(char32_t codePoint);

// The byte that stands in text to be written for a character Windows-1251 does
// not have: the one code the page leaves undefined, which no font draws.
constexpr unsigned char kForeign = 0x98;
// UTF-8 text to Windows-1251 with every character the page lacks (and every
// byte that is no UTF-8) as kForeign; `foreign` receives the character of each
// kForeign byte in order (U+FFFD for a byte that is no UTF-8, U+0098 itself).
std::string fromUtf8Marked(std::string_view utf8, std::vector<char32_t>* foreign = nullptr);

// The lower-case form of a Windows-1251 character (every cased letter of the
// page: Latin, Cyrillic, Ё/ё and the other Slavic letters); others unchanged.
char toLower(char c);

// True when the bytes are valid UTF-8 and hold at least one multi-byte sequence.
bool looksLikeUtf8(std::string_view bytes);
// True when the bytes are valid UTF-8 (plain ASCII included).
bool isUtf8(std::string_view bytes);
// The Windows-1251 form of valid UTF-8 text; false when a character has none.
bool fromUtf8Exactly(std::string_view utf8, std::string& out);

}  // namespace win1251

// Short form for the program's own texts written in the sources as UTF-8.
inline std::string cp(std::string_view utf8) { return win1251::fromUtf8(utf8); }
