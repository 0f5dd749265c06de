#pragma once

#include <map>
#include <string>
#include <vector>

#include "fontsource/FontCompiler.h"
#include "fontsource/OutlineFont.h"

// A TrueType or OpenType font made into a single-stroke font: every character
// of Windows-1251 the font has, drawn along its centre lines, joined into one
// stroke per letter, scaled so that capitals stand as high as in the shipped
// fonts, and judged by how well a round pen of the font's stroke width along
// those lines covers the glyph.
namespace fontc {

struct LetterQuality {
    double coverage = 0;   // share of the glyph's pixels the pen covers
    double spill = 0;      // share of the pen's pixels outside the glyph
    int spurs = 0;         // branches shorter than a stroke width that end freely
    bool counted = false;  // a letter or digit: the font's medians are taken over these
};

struct OutlineConversion {
    CompiledFont font;  // the letters as they are written
    std::map<int, LetterQuality> quality;
    // The local stroke width (letter units) at every point of each letter's
    // stroke, beside font.letters[code].stroke.points.
    std::map<int, std::vector<double>> widths;
    double penWidth = 0;  // the font's median stroke width, letter units
    double medianCoverage = 0;
    double medianSpill = 0;
    int spurs = 0;
    int counted = 0;  // letters and digits measured
    // Windows-1251 codes from 33 the font has no glyph for.
    std::vector<int> missing;
};

// Capitals are this high in letter units, standing on this baseline, as in the
// shipped fonts (unless the font's tallest mark or deepest descender would then
// leave the letter box, when the whole font is made smaller).
constexpr double kOutlineCapHeight = 63.5;
constexpr double kOutlineBaseline = 80.5;

// Converts the font into the named folder's letters. Told after every glyph
// (done of total, centre lines first, then the joining); returning false stops
// the work, and the font comes back incomplete. Throws FontSourceError.
OutlineConversion convertOutlineFont(const OutlineFont& font, const std::string& folder,
                                     const CompileProgress& progress = {});

// The recipe alone: every glyph's centre lines, with the box that gives the
// capitals their height (for the shipped fonts' recipes). Throws FontSourceError.
FontRecipe outlineFontRecipe(const OutlineFont& font, const std::string& folder);

// LICENSE.txt of a converted font: what it was made from, the font's copyright
// and licence as its name table gives them.
std::string outlineLicence(const OutlineFontInfo& info, const std::string& folder);

// The worst letters and digits by coverage, the worst first (at most count).
std::vector<int> worstLetters(const OutlineConversion& conversion, std::size_t count);

// For the console: per letter its measures, the characters the font lacks,
// the worst letters, and last the summary line «letters N, median coverage …».
std::string outlineReport(const OutlineConversion& conversion);

}  // namespace fontc
