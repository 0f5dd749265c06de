#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fontsource/FontCompiler.h"
#include "fontsource/Geometry.h"

// Single-stroke SVG fonts, as pen-plotter users share them: <font-face> with
// units-per-em, ascent and descent, and <glyph unicode="…" d="…"> whose paths
// are strokes, not outlines, in font units with y upward and the baseline at 0.
namespace fontc {

struct SvgFont {
    double unitsPerEm = 1000;
    double ascent = 0;
    double descent = 0;
    // "Font name", "License", "Created by", ... from the <metadata> lines "Key: value".
    std::map<std::string, std::string> metadata;
    std::map<char32_t, SourceGlyph> glyphs;  // by the one character of unicode
    // Glyphs that name no single character (ligatures, no unicode at all), or a
    // character an earlier glyph already has: the layout has no use for them.
    int notSingleCharacter = 0;
    int repeated = 0;
    // Glyphs whose path does not read, each as "«A»: why" (UTF-8).
    std::vector<std::string> broken;
};

// Reads the first <font> of the document. Throws FontSourceError (a Russian
// message) when the text is no well-formed XML or holds no font; a glyph with
// a bad path is left out and listed in broken.
SvgFont parseSvgFont(std::string_view text);

// The strokes of one path's data, every curve cut into straight pieces no
// farther than tolerance from it. Throws FontSourceError (Russian) on bad data.
SourceGlyph parseSvgPath(std::string_view d, double tolerance);

// Every Windows-1251 character from 33 the font draws; the glyphs of other
// characters and those the reader left out are counted in leftOut.
FontRecipe svgRecipe(const SvgFont& font, const std::string& folder);

}  // namespace fontc
