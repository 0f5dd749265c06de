#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fontsource/Geometry.h"
#include "fontsource/StrokeJoiner.h"

// From source glyphs to the letters of one font folder: one scale for the
// whole font so that its tallest mark and deepest descender fit the letter
// box, every letter starting just right of the box's left edge, every glyph
// joined into one stroke.
namespace fontc {

struct LetterBox {
    double top = 2;            // y of the font's highest mark
    double bottom = 100;       // y of its lowest descender
    double left = 2;           // x where every letter starts
    double widest = 108;       // largest x a letter may reach; wider ones are left out
    double chordError = 0.25;  // largest distance of an arc from its chords, letter units
    double snap = 0.4;         // stroke ends this close touch
};

struct FontRecipe {
    std::string folder;                 // font folder name
    std::map<int, SourceGlyph> glyphs;  // by Windows-1251 code, y upward
    double baseline = 0;                // source y of the baseline
    std::string licence;                // text of LICENSE.txt, empty for none
    // Glyphs the reader could not take, one line each for the report (UTF-8).
    std::vector<std::string> leftOut;
    // A box of the font's own (an outline font's, which sets its scale by its
    // capitals), used instead of the one compileFont is given.
    std::optional<LetterBox> box;
    // Whether the letters of a word may be joined by the pen (see FontLettersJoin):
    // only for fonts whose joins were looked at.
    bool lettersJoin = false;
};

struct CompiledLetter {
    JoinedStroke stroke;             // letter units, y downward
    std::vector<std::string> lines;  // the letter file's point lines
};

struct CompiledFont {
    std::string folder;
    double scale = 0;     // letter units per source unit
    double baseline = 0;  // letter units
    std::map<int, CompiledLetter> letters;
    std::vector<int> tooWide;          // codes left out: at the font's scale they pass the box
    std::vector<std::string> leftOut;  // as the recipe's
    std::string licence;
    bool lettersJoin = false;  // as the recipe's
    bool complete = true;      // false when the progress callback stopped the joining
};

// Told after every letter joined (done of total); returning false stops the
// joining, and the font comes back incomplete.
using CompileProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Codes the layout writes with a pen lift before and after (digits, punctuation,
// symbols of the ASCII range); the others are joined to their neighbours.
bool isSeparatedCode(int code);

CompiledFont compileFont(const FontRecipe& recipe, const LetterBox& box = {},
                         const CompileProgress& progress = {});

// Point lines of a stroke: coordinates as letter files write them, repeats dropped.
std::vector<std::string> pointLines(const Polyline& points);

// The letter file's lines of a joined stroke: its points as pointLines writes
// them, and a break mark just before the far end of every piece that runs along
// a connector, so a layout asked to break lifts the pen over it.
std::vector<std::string> letterLines(const JoinedStroke& stroke);

// Writes the letter files, LICENSE.txt and, for a font whose letters do not
// join, the record that says so into the folder (created if needed), after
// removing the letter files and the record a previous run left there.
void writeFontFolder(const CompiledFont& font, const std::string& folder);

struct JoinFigures {
    double connectors = 0;  // new lines between parts, letter units
    double retraces = 0;    // segments drawn twice
    // Every walk along a connector is lifted over with breaks on; a retrace that
    // runs on into one is lifted over with it, so the retrace left is measured
    // on the pieces the letter files hold.
    double liftedOver = 0;
    double retraceLeft = 0;
    // New ink and machine time are different costs: the five worst letters of
    // each, as length and code, the worst first.
    std::vector<std::pair<double, int>> mostConnector;
    std::vector<std::pair<double, int>> mostRetraced;
};

JoinFigures joinFigures(const CompiledFont& font);

// Connector and retrace totals, the connector length the break marks take out
// of the ink and the retrace left, and the letters that need the most, for the console.
std::string joinReport(const CompiledFont& font);

}  // namespace fontc
