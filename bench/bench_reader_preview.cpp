// Reading a large G-code file, working out its machining figures and drawing its
// preview, as the window does all three.
// The program is engraving-like (see make_gcode.py): letters of 13 G1 moves with
// two decimals between a lift, a travel move and a plunge.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <random>
#include <string>

#include "gcode/GCodeEstimate.h"
#include "gcode/GCodeReader.h"
#include "lib/EventPump.h"
#include "main/PreviewGeometry.h"
#include "main/paint/PreviewPainter.h"

namespace {

std::string engravingProgram(std::size_t lines) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> step(-1.2, 1.2);
    std::string text;
    text.reserve(lines * 18);
    char buffer[64];
    const auto addLine = [&](const char* line) {
        text += line;
        text += "\r\n";
    };
    for (const char* line : {"%", "T1M6", "G0Z5.00", "G0X0.00Y0.00S15000F500.00M3"}) addLine(line);
    std::size_t written = 4;
    double penX = 2.0;
    double lineY = -5.0;
    while (written + 2 < lines) {
        addLine("G0Z5.00");
        std::snprintf(buffer, sizeof buffer, "G0X%.2fY%.2f", penX, lineY);
        addLine(buffer);
        addLine("G1Z-0.10F500.00");
        written += 3;
        double x = penX;
        double y = lineY;
        for (int k = 0; k < 13 && written + 2 < lines; ++k, ++written) {
            x = std::min(std::max(x + step(rng), penX), penX + 3.5);
            y = std::min(std::max(y + step(rng), lineY - 4.4), lineY);
            std::snprintf(buffer, sizeof buffer, "G1X%.2fY%.2f", x, y);
            addLine(buffer);
        }
        penX += 4.0;
        if (penX > 96) {
            penX = 2.0;
            lineY -= 5.0;
            if (lineY < -98) lineY = -5.0;
        }
    }
    addLine("G0Z5.00");
    addLine("M30");
    return text;
}

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
