#pragma once

#include <string>
#include <string_view>

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
