// Reading a large G-code file, working out its machining figures and drawing its
// preview, as the window does all three.
// The program is engraving-like (see make_gcode.py): letters of 13 G1 moves with
// two decimals between a lift, a travel move and a plunge.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "EngravingProgram.h"
#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeReader.h"
#include "lib/EventPump.h"
#include "main/PreviewGeometry.h"
#include "main/paint/PreviewPainter.h"

namespace {

// The program as a file, written once for all benchmarks.
const std::string& programFile(std::size_t lines) {
    static QTemporaryDir folder;
    static std::string path;
    if (path.empty()) {
        path = QDir(folder.path()).filePath("big.gcode").toStdString();
        const std::string text = engravingProgram(lines);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    return path;
}

void BM_ReadGCodeFile(benchmark::State& state) {
    const std::string& path = programFile(static_cast<std::size_t>(state.range(0)));
    EventPump pump([] {});
    for (auto _ : state) {
        PenPoints points;
        ViewBounds bounds;
        ReadGCodeFile(path, points, bounds, pump);
        benchmark::DoNotOptimize(points.count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The machining figures of the same file, as --estimate --check works them out.
void BM_EstimateGCodeFile(benchmark::State& state) {
    const std::string& path = programFile(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(EstimateGCodeFile(path, MachineLimits{}));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PaintPreview(benchmark::State& state) {
    const std::string& path = programFile(static_cast<std::size_t>(state.range(0)));
    PenPoints points;
    ViewBounds bounds;
    EventPump pump([] {});
    ReadGCodeFile(path, points, bounds, pump);
    const PreviewView view = previewView(bounds, 1.0);
    for (auto _ : state) {
        long long drawLimit = 0;
        const QImage image =
            paintPreview(QSize(1000, 1000), points, recordsToDraw(drawLimit, points.count()),
                         DrawingMode::GCodeFile, view, 100, pump);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_ReadGCodeFile)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_EstimateGCodeFile)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PaintPreview)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
