#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fontsource/Geometry.h"

// Readers of the single-stroke font formats the compiler takes.
namespace fontc {

// A source font that cannot be read; the message says where and why.
class FontSourceError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// LibreCAD font: header fields ("# Name: ...") and glyphs keyed by Unicode code
// point, y upward. References to other glyphs ("C0041") are already resolved.
struct LffFont {
    std::map<std::string, std::string> header;
    std::map<char32_t, SourceGlyph> glyphs;
    int repeated = 0;  // later definitions of a glyph already read: passed over
    // Glyphs left out because a line does not read, each as "«A»: строка N: why" (UTF-8).
    std::vector<std::string> broken;
};

// Reads the text as LibreCAD reads a font file (see the .cpp). A glyph whose
// lines do not read is left out and listed in broken.
LffFont parseLff(std::string_view text);

// Hershey glyph as the .jhf files hold it, y turned upward (the file has it
// downward) and with the glyph's left and right side bearings.
struct JhfGlyph {
    int number = 0;
    int left = 0;
    int right = 0;
    SourceGlyph glyph;
};

// Glyphs in file order (the ASCII files hold the characters 32 to 127 in order).
std::vector<JhfGlyph> parseJhf(std::string_view text);

// The file's bytes; throws FontSourceError.
std::string readSourceFile(const std::string& path);

}  // namespace fontc
