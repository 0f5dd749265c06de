#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fontsource/Geometry.h"

// TrueType and OpenType fonts (.ttf, .otf, one face of a .ttc), read with FreeType.
namespace fontc {

// A glyph's outline in font units, y upward, the baseline at 0: closed contours
// (the last point joins the first), every curve cut into straight pieces.
struct OutlineGlyph {
    std::vector<Polyline> contours;
    double advance = 0;  // font units
};

struct OutlineFontInfo {
    std::string family;  // UTF-8
    std::string style;
    double unitsPerEm = 1000;
    double ascender = 0;
    double descender = 0;  // negative below the baseline
    int faceCount = 1;
    // From the font's name table (UTF-8), empty where it has none.
    std::string copyright;
    std::string licence;
    std::string licenceUrl;
};

class OutlineFont {
  public:
    // The font file's bytes and the face to read (0 for .ttf and .otf). Throws
    // FontSourceError with a Russian message when FreeType cannot read them.
    OutlineFont(std::string bytes, int face = 0);
    ~OutlineFont();
    OutlineFont(const OutlineFont&) = delete;
    OutlineFont& operator=(const OutlineFont&) = delete;

    const OutlineFontInfo& info() const { return info_; }

    // The glyph of a Unicode character; none when the font has no glyph for it.
    // Curves are cut into pieces no farther than tolerance (font units) from them.
    // A glyph whose outline does not read throws FontSourceError.
    std::optional<OutlineGlyph> glyph(char32_t character, double tolerance) const;

  private:
    struct Face;
    std::string bytes_;
    std::unique_ptr<Face> face_;
    OutlineFontInfo info_;
};

}  // namespace fontc
