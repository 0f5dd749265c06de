// A font brought in as the font editor's import does it: the file read, every
// letter joined into one stroke, the font folder written and put in place.
//
//   build/bench_font_import
//
// Svg: a 200-glyph SVG font made from the first 200 letters of the shipped main
// font (its strokes as SVG paths, y upward). Lff: the main font's own LibreCAD
// source, 218 letters with arcs (skipped without the librecad-data package).
// Each reports the median of 9 runs.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "font/FontStorage.h"
#include "fontsource/FontImport.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"

namespace {

// One glyph per letter file; a break mark starts a new subpath.
std::string svgFromShippedFont(std::size_t count) {
    const std::string folder = VEZOR_SOURCE_DIR "/resources/font/A-Chertezh";
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\"><defs><font>\n"
        "<font-face units-per-em=\"100\" ascent=\"100\" descent=\"-10\"/>\n";
    std::size_t made = 0;
    for (int code : ListFontLetters(folder)) {
        if (made == count) break;
        const char32_t c = win1251::toUnicode(static_cast<unsigned char>(code));
        if (c < 0x21 || c == '<' || c == '&' || c == '"') continue;
        std::string d;
        char move = 'M';
        for (const auto& line : ReadLetterLines(LetterFilePath(folder, code))) {
            double x = 0, y = 0;
            if (line == kStrokeBreakLine || !ParsePointLine(line, x, y)) {
                move = 'M';
                continue;
            }
            char point[64];
            std::snprintf(point, sizeof point, "%c%.2f %.2f ", move, x, 100 - y);
            d += point;
            move = 'L';
        }
        svg += "<glyph unicode=\"&#" + std::to_string(c) + ";\" d=\"" + d + "\"/>\n";
        ++made;
    }
    return svg + "</font></defs></svg>\n";
}

void import(benchmark::State& state, const std::string& path) {
    QTemporaryDir fonts;
    std::size_t letters = 0;
    for (auto _ : state) {
        const fontc::CompiledFont font = fontc::compileFont(fontc::importRecipe(path, "Bench"));
        fontc::installFontFolder(font, fonts.path().toStdString(), "Bench");
        letters = font.letters.size();
    }
    state.counters["letters"] = static_cast<double>(letters);
}

void BM_ImportSvg(benchmark::State& state) {
    QTemporaryDir source;
    const std::string path = source.path().toStdString() + "/font.svg";
    textfile::writeAtomically(path, svgFromShippedFont(200));
    import(state, path);
}

void BM_ImportLff(benchmark::State& state) {
    const std::string path = "/usr/share/librecad/fonts/lc_opengost-ar.lff";
    if (!textfile::isFile(path)) {
        state.SkipWithError("librecad-data is not installed");
        return;
    }
    import(state, path);
}

}  // namespace

BENCHMARK(BM_ImportSvg)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ImportLff)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
