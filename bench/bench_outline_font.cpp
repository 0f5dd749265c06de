// An outline font made into a single-stroke font as vezor-fontc --outline and
// the font editor's import do it: the file read, the centre lines of every
// Windows-1251 glyph found, measured and joined, the font folder written.
//
//   build/bench_outline_font [FONT.ttf ...]
//
// Without arguments DejaVu Sans, PT Sans and Comfortaa where Debian installs
// them (fonts-dejavu-core, fonts-paratype, fonts-comfortaa). Each reports the
// median of 5 runs and the glyphs converted.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <filesystem>
#include <string>
#include <vector>

#include "fontsource/FontImport.h"
#include "fontsource/FontSources.h"
#include "fontsource/OutlineCompiler.h"

namespace {

void convert(benchmark::State& state, const std::string& path) {
    QTemporaryDir fonts;
    double glyphs = 0;
    for (auto _ : state) {
        const fontc::OutlineFont font(fontc::readSourceFile(path));
        const fontc::OutlineConversion c = fontc::convertOutlineFont(font, "Bench");
        fontc::installFontFolder(c.font, fonts.path().toStdString(), "Bench");
        glyphs = static_cast<double>(c.quality.size());
    }
    state.counters["glyphs"] = glyphs;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<std::string> files(argv + 1, argv + argc);
    if (files.empty())
        for (const char* path : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                 "/usr/share/fonts/truetype/paratype/PTS55F.ttf",
                                 "/usr/share/fonts/truetype/comfortaa/Comfortaa-Regular.ttf"})
            if (std::filesystem::exists(path)) files.emplace_back(path);
    for (const std::string& path : files)
        benchmark::RegisterBenchmark(
            ("BM_OutlineFont/" + std::filesystem::path(path).stem().string()).c_str(),
            [path](benchmark::State& state) { convert(state, path); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true)
            ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
