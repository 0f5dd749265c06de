#include "fontsource/OutlineCompiler.h"

#include <QChar>
#include <algorithm>
#include <cstdio>

#include "fontsource/CentreLine.h"
#include "fontsource/FontSources.h"
#include "fontsource/OutlineArea.h"
#include "fontsource/StrokeMeasures.h"
#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"

namespace fontc {

namespace {

// The outline in font units: curves within 1/2000 of the em, vertices on a grid
// of 1/4096, lines simplified within 1/1500; the measures at 200 pixels to the em.
constexpr double kCurveTolerance = 1.0 / 2000;
constexpr double kGrid = 1.0 / 4096;
constexpr double kLineTolerance = 1.0 / 1500;
constexpr double kPixel = 1.0 / 200;
// Free ends stop half the local half-width short of where the stroke ends, so
// that a pen as wide as the stroke spills only a little past it.
constexpr double kEndInset = 0.5;

struct Glyph {
    int code = 0;
    OutlineArea area;
    CentreLines lines;
    bool counted = false;
};

std::string characterOf(int code) {
    return win1251::toUtf8(std::string(1, static_cast<char>(code)));
}

// Height of the capitals in font units: the top of «H» (or of the Cyrillic «Н»).
double capHeight(const OutlineFont& font, double em) {
    for (char32_t c : {U'H', U'\u041D'}) {
        const auto glyph = font.glyph(c, em * kCurveTolerance);
        if (!glyph) continue;
        Bounds b;
        for (const Polyline& contour : glyph->contours) b.add(contour);
        if (!b.empty && b.maxY > 0) return b.maxY;
    }
    return 0.7 * em;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

namespace {

// Every glyph's area and centre lines, and the recipe that joins them.
struct Prepared {
    FontRecipe recipe;
    std::vector<Glyph> glyphs;
    std::vector<int> missing;
    double pen = 0;  // the median stroke width, font units
    bool complete = true;
};

Prepared prepare(const OutlineFont& font, const std::string& folder,
                 const CompileProgress& progress) {
    Prepared out;
    const OutlineFontInfo& info = font.info();
    const double em = info.unitsPerEm;
    FontRecipe& recipe = out.recipe;
    recipe.folder = folder;
    recipe.licence = outlineLicence(info, folder);

    std::vector<Glyph>& glyphs = out.glyphs;
    for (int code = 33; code < 256; ++code) {
        const char32_t character = win1251::toUnicode(static_cast<unsigned char>(code));
        if (QChar::category(character) == QChar::Other_Control) continue;
        try {
            auto outline = font.glyph(character, em * kCurveTolerance);
            if (!outline) {
                out.missing.push_back(code);
                continue;
            }
            if (outline->contours.empty()) {
                recipe.leftOut.push_back("«" + characterOf(code) + "» (" + std::to_string(code) +
                                         "): знак без контура");
                continue;
            }
            Glyph g;
            g.code = code;
            g.counted = QChar::isLetterOrNumber(character);
            g.area = mergeContours(outline->contours, em * kGrid);
            glyphs.push_back(std::move(g));
        } catch (const FontSourceError& e) {
            recipe.leftOut.push_back(e.what());
        }
    }
    if (glyphs.empty())
        throw FontSourceError(recipe.leftOut.empty()
                                  ? "в шрифте нет ни одного знака кодировки Windows-1251"
                                  : "ни один знак шрифта не читается: " + recipe.leftOut.front());

    const std::size_t total = glyphs.size();
    CentreLineSettings settings;
    settings.tolerance = em * kLineTolerance;
    settings.endInset = kEndInset;
    std::vector<std::pair<double, double>> widths;
    std::vector<std::pair<double, double>> allWidths;
    for (std::size_t i = 0; i < total; ++i) {
        if (progress && !progress(i, 2 * total)) {
            out.complete = false;
            return out;
        }
        Glyph& g = glyphs[i];
        g.lines = centreLines(g.area, settings);
        auto& into = g.counted ? widths : allWidths;
        into.insert(into.end(), g.lines.widthSamples.begin(), g.lines.widthSamples.end());
        SourceGlyph source;
        for (const CentreStroke& stroke : g.lines.strokes) {
            SourcePath path;
            for (Point p : stroke.points) path.push_back({p, 0});
            source.paths.push_back(std::move(path));
        }
        recipe.glyphs[g.code] = std::move(source);
    }
    out.pen = weightedMedian(widths.empty() ? allWidths : widths);

    // One scale: capitals as high as the shipped fonts', unless a mark or a
    // descender would then leave the box.
    Bounds all;
    for (const auto& [code, glyph] : recipe.glyphs) {
        const Bounds b = extent(glyph);
        if (b.empty) continue;
        all.add({b.minX, b.minY});
        all.add({b.maxX, b.maxY});
    }
    double scale = kOutlineCapHeight / capHeight(font, em);
    if (!all.empty) {
        if (all.maxY > 0) scale = std::min(scale, (kOutlineBaseline - 1) / all.maxY);
        if (all.minY < 0) scale = std::min(scale, (109 - kOutlineBaseline) / -all.minY);
    }
    LetterBox box;
    box.top = kOutlineBaseline - all.maxY * scale;
    box.bottom = kOutlineBaseline - all.minY * scale;
    recipe.box = box;
    return out;
}

}  // namespace

FontRecipe outlineFontRecipe(const OutlineFont& font, const std::string& folder) {
    return prepare(font, folder, {}).recipe;
}

OutlineConversion convertOutlineFont(const OutlineFont& font, const std::string& folder,
                                     const CompileProgress& progress) {
    OutlineConversion out;
    Prepared prepared = prepare(font, folder, progress);
    out.missing = prepared.missing;
    if (!prepared.complete) {
        out.font.folder = folder;
        out.font.complete = false;
        return out;
    }
    const double em = font.info().unitsPerEm;
    const double pen = prepared.pen;
    for (const Glyph& g : prepared.glyphs) {
        std::vector<Polyline> lines;
        for (const CentreStroke& stroke : g.lines.strokes) lines.push_back(stroke.points);
        LetterQuality q;
        const StrokeMeasures m = measureStrokes(g.area, lines, pen, em * kPixel);
        q.coverage = m.coverage;
        q.spill = m.spill;
        q.spurs =
            static_cast<int>(std::count_if(g.lines.freeBranches.begin(), g.lines.freeBranches.end(),
                                           [pen](double l) { return l < pen; }));
        q.counted = g.counted;
        out.quality[g.code] = q;
    }

    const std::size_t total = prepared.glyphs.size();
    const CompileProgress joining = [&](std::size_t done, std::size_t) {
        return !progress || progress(total + done, 2 * total);
    };
    const FontRecipe& recipe = prepared.recipe;
    out.font = compileFont(recipe, {}, joining);
    out.penWidth = pen * out.font.scale;
    if (!out.font.complete) return out;

    const LetterBox& box = *recipe.box;
    std::vector<double> coverage, spill;
    for (const Glyph& g : prepared.glyphs) {
        const auto letter = out.font.letters.find(g.code);
        if (letter == out.font.letters.end()) continue;
        const Bounds own = extent(recipe.glyphs.at(g.code));
        std::vector<double>& w = out.widths[g.code];
        for (Point p : letter->second.stroke.points) {
            const Point source{(p.x - box.left) / out.font.scale + own.minX,
                               (kOutlineBaseline - p.y) / out.font.scale};
            w.push_back(2 * distanceToOutline(g.area, source) * out.font.scale);
        }
        const LetterQuality& q = out.quality[g.code];
        if (!q.counted) continue;
        coverage.push_back(q.coverage);
        spill.push_back(q.spill);
        out.spurs += q.spurs;
        ++out.counted;
    }
    out.medianCoverage = median(coverage);
    out.medianSpill = median(spill);
    return out;
}

std::string outlineLicence(const OutlineFontInfo& info, const std::string& folder) {
    std::string out =
        folder + ": a single-stroke font made by vezor-fontc from the centre lines\n" +
        "of the outline font " + info.family + (info.style.empty() ? "" : " " + info.style) + ".\n";
    if (!info.copyright.empty()) out += "\n" + info.copyright + "\n";
    if (!info.licence.empty()) out += "\n" + info.licence + "\n";
    if (!info.licenceUrl.empty()) out += "\n" + info.licenceUrl + "\n";
    return out;
}

std::vector<int> worstLetters(const OutlineConversion& conversion, std::size_t count) {
    std::vector<std::pair<double, int>> order;
    for (const auto& [code, q] : conversion.quality)
        if (q.counted && conversion.font.letters.count(code)) order.push_back({q.coverage, code});
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> codes;
    for (std::size_t i = 0; i < order.size() && i < count; ++i) codes.push_back(order[i].second);
    return codes;
}

std::string outlineReport(const OutlineConversion& c) {
    const auto hundredths = [](double v) { return movenumber::fixedText(v, 2, false); };
    std::string out;
    for (const auto& [code, q] : c.quality) {
        if (!c.font.letters.count(code)) continue;
        out += "  " + characterOf(code) + " (" + std::to_string(code) + "): coverage " +
               hundredths(q.coverage) + ", spill " + hundredths(q.spill) + ", spurs " +
               std::to_string(q.spurs) + "\n";
    }
    if (!c.missing.empty()) {
        out += "  not in the font:";
        for (int code : c.missing) out += " " + characterOf(code);
        out += "\n";
    }
    out += "  worst coverage:";
    for (int code : worstLetters(c, 5)) {
        out += " " + characterOf(code) + " " + hundredths(c.quality.at(code).coverage);
    }
    return out + "\nletters " + std::to_string(c.counted) + ", median coverage " +
           hundredths(c.medianCoverage) + ", median spill " + hundredths(c.medianSpill) +
           ", spurs " + std::to_string(c.spurs) + "\n";
}

}  // namespace fontc
