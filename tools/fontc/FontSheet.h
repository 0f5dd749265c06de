#pragma once

#include <string>
#include <utility>
#include <vector>

#include "fontsource/FontCompiler.h"

// Pictures for judging a font by eye.
namespace fontc {

// Every letter of the font in a grid (the joined stroke in black, the pieces
// behind break marks dashed orange, retraced segments drawn with the pen down
// in blue beneath, start green, end red), then those
// sample lines (UTF-8) it has every character of, laid out by the program's
// layout from the font's letter files in fontFolder, with breaks inside letters.
void renderFontSheet(const CompiledFont& font, const std::string& fontFolder,
                     const std::vector<std::string>& sampleLines, const std::string& pngPath);

// Source glyphs as they are, each under its label, to tell which glyph is which.
void renderGlyphIndex(const std::vector<std::pair<std::string, std::vector<Polyline>>>& glyphs,
                      const std::string& pngPath);

}  // namespace fontc
