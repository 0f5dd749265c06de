#include "fontsource/FontCompiler.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "font/FontStorage.h"
#include "fontsource/FontSources.h"
#include "gcode/MoveNumber.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"

namespace fontc {

bool isSeparatedCode(int code) {
    return (code >= 0 && code <= 64) || (code >= 91 && code <= 96) || (code >= 123 && code <= 127);
}

namespace {
// The layout's gap between letters (a fifth of the letter height) and the next letter's margin.
constexpr double kNeighbourGap = 22;

// Weights of the joiner. The layout draws a line from the end of a letter to
// the start of the next one in a word; when both lie on the baseline that line
// reads as an underline, when one is high up it reads as a stroke of a letter
// («P» ending at its bowl turns into «R»). So a letter rather retraces 1.5
// units than ends 1 unit above the baseline, which roughly doubles the
// retraced length against a walk that ends anywhere (judged on font sheets).
// Separated characters are lifted before and after, unless the user turns
// the lifts off, so where they begin and end matters little.
JoinWeights weightsFor(int code) {
    JoinWeights w;
    w.start = w.end = 1.5;
    w.horizontal = 0.3;
    if (isSeparatedCode(code)) w.start = w.end = 0.1;
    return w;
}
}  // namespace

CompiledFont compileFont(const FontRecipe& recipe, const LetterBox& givenBox,
                         const CompileProgress& progress) {
    const LetterBox& box = recipe.box ? *recipe.box : givenBox;
    CompiledFont font;
    font.folder = recipe.folder;
    font.licence = recipe.licence;
    font.leftOut = recipe.leftOut;
    font.lettersJoin = recipe.lettersJoin;

    Bounds exact;
    for (const auto& [code, glyph] : recipe.glyphs) {
        const Bounds own = extent(glyph);
        if (own.empty) continue;
        exact.add({own.minX, own.minY});
        exact.add({own.maxX, own.maxY});
    }
    if (exact.empty) return font;
    if (!(exact.maxY - exact.minY > 0))
        throw FontSourceError(recipe.folder + ": у знаков нет высоты, их не вписать в поле буквы");
    font.scale = (box.bottom - box.top) / (exact.maxY - exact.minY);
    const auto toY = [&](double y) { return box.top + (exact.maxY - y) * font.scale; };
    font.baseline = toY(recipe.baseline);

    std::size_t done = 0;
    for (const auto& [code, glyph] : recipe.glyphs) {
        if (progress && !progress(done++, recipe.glyphs.size())) {
            font.complete = false;
            return font;
        }
        auto lines = flatten(glyph, box.chordError / font.scale);
        Bounds own;
        for (const auto& line : lines) own.add(line);
        if (own.empty) continue;
        for (auto& line : lines)
            for (Point& p : line) p = {box.left + (p.x - own.minX) * font.scale, toY(p.y)};
        const double right = box.left + (own.maxX - own.minX) * font.scale;
        // One scale for all letters keeps the font even; a letter that does not
        // fit at it is better missing than squeezed or poking out of the box.
        if (right > box.widest) {
            font.tooWide.push_back(code);
            continue;
        }
        CompiledLetter letter;
        // Where the neighbours in a word will most likely be: on the baseline, a letter gap away.
        letter.stroke =
            joinStrokes(lines, {box.left - kNeighbourGap, font.baseline},
                        {right + kNeighbourGap, font.baseline}, weightsFor(code), box.snap);
        letter.lines = letterLines(letter.stroke);
        // A lone dot still needs a line for the pen to draw.
        if (letter.lines.size() == 1) letter.lines.push_back(letter.lines[0]);
        font.letters[code] = std::move(letter);
    }
    if (progress) progress(done, done);
    return font;
}

std::vector<std::string> pointLines(const Polyline& points) {
    std::vector<std::string> lines;
    for (Point p : points) {
        std::string line = FormatCoordinate(p.x) + "," + FormatCoordinate(p.y);
        if (lines.empty() || lines.back() != line) lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> letterLines(const JoinedStroke& stroke) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < stroke.points.size(); ++i) {
        const Point p = stroke.points[i];
        std::string line = FormatCoordinate(p.x) + "," + FormatCoordinate(p.y);
        if (!lines.empty() && lines.back() == line) continue;
        if (i > 0 && stroke.airborne[i - 1]) lines.push_back(kStrokeBreakLine);
        lines.push_back(std::move(line));
    }
    return lines;
}

void writeFontFolder(const CompiledFont& font, const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path root(folder);
    fs::create_directories(root);
    for (int code : ListFontLetters(folder)) fs::remove(root / std::to_string(code));
    fs::remove(root / kFontSettingsFile);
    for (const auto& [code, letter] : font.letters)
        WriteLetterFile(LetterFilePath(folder, code), letter.lines);
    if (!font.licence.empty())
        textfile::writeAtomically((root / "LICENSE.txt").string(), font.licence);
    if (!font.lettersJoin)
        textfile::writeAtomically((root / kFontSettingsFile).string(), FontSettingsText(false));
}

JoinFigures joinFigures(const CompiledFont& font) {
    JoinFigures f;
    for (const auto& [code, letter] : font.letters) {
        const JoinedStroke& s = letter.stroke;
        f.connectors += s.connectorLength;
        f.retraces += s.retraceLength;
        f.liftedOver += s.connectorPasses;
        for (std::size_t i = 0; i + 1 < s.points.size(); ++i)
            if (!s.airborne[i] && s.kinds[i] == SegmentKind::Retrace)
                f.retraceLeft += distance(s.points[i], s.points[i + 1]);
    }
    const auto worstFive = [&](auto measure) {
        std::vector<std::pair<double, int>> worst;
        for (const auto& [code, letter] : font.letters)
            if (measure(letter.stroke) > 0) worst.push_back({measure(letter.stroke), code});
        std::stable_sort(worst.begin(), worst.end(),
                         [](auto a, auto b) { return a.first > b.first; });
        if (worst.size() > 5) worst.resize(5);
        return worst;
    };
    f.mostConnector = worstFive([](const JoinedStroke& s) { return s.connectorLength; });
    f.mostRetraced = worstFive([](const JoinedStroke& s) { return s.retraceLength; });
    return f;
}

std::string joinReport(const CompiledFont& font) {
    const JoinFigures f = joinFigures(font);
    const auto fixed = [](double v, int decimals) {
        return movenumber::fixedText(v, decimals, false);
    };
    std::string out = font.folder + ": " + std::to_string(font.letters.size()) +
                      " letters, scale " + fixed(font.scale, 4) + ", baseline y " +
                      fixed(font.baseline, 2) + "; connectors " + fixed(f.connectors, 1) +
                      ", retraced " + fixed(f.retraces, 1) + " (letter units)\n";
    out += "  with breaks in letters (RazrivVBukve=1): connector ink taken out " +
           fixed(f.liftedOver, 1) + ", retraced left " + fixed(f.retraceLeft, 1) + "\n";
    for (int code : font.tooWide)
        out += "  left out, wider than the letter box: " +
               win1251::toUtf8(std::string(1, static_cast<char>(code))) + " (" +
               std::to_string(code) + ")\n";
    for (const auto& line : font.leftOut) out += "  left out, " + line + "\n";
    const auto list = [&](const char* title, const std::vector<std::pair<double, int>>& worst) {
        out += "  ";
        out += title;
        for (std::size_t i = 0; i < worst.size(); ++i)
            out += std::string(i ? "," : "") + " " +
                   win1251::toUtf8(std::string(1, static_cast<char>(worst[i].second))) + " (" +
                   std::to_string(worst[i].second) + ": " + fixed(worst[i].first, 1) + ")";
        out += "\n";
    };
    list("most connector length:", f.mostConnector);
    list("most retraced length:", f.mostRetraced);
    return out;
}

}  // namespace fontc
