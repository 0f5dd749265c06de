// Another program's G-code read with the interpreter against the same file
// read word by word (the specified reading of VEzor's own files) and as the
// window opens it (that reading and the check that it draws the file rightly):
// time, and the heap the read takes at its peak.
//
//   build/bench_interpreter
//
// peak_MB is the largest heap the read held above what was live before it,
// file_MB the file's size, records_MB what the records themselves hold once
// read word by word; over_file is (peak_MB - records_MB) / file_MB.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QDir>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "EngravingProgram.h"
#include "gcode/GCodeOpening.h"
#include "gcode/GCodeReader.h"
#include "gcode/InterpretedReader.h"
#include "lib/EventPump.h"

namespace {

std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

void counted(void* p) {
    if (p == nullptr) return;
    const long long now = liveBytes += static_cast<long long>(malloc_usable_size(p));
    long long peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    counted(p);
    return p;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

constexpr double kMB = 1024.0 * 1024.0;

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

double fileMB(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return static_cast<double>(size) / kMB;
}

// The heap the records take once read word by word.
double recordsMB(const std::string& path) {
    EventPump none;
    const long long before = liveBytes;
    PenPoints points;
    ViewBounds bounds;
    ReadGCodeFile(path, points, bounds, none);
    return static_cast<double>(liveBytes - before) / kMB;
}

template <typename Read>
void timeRead(benchmark::State& state, Read read) {
    const std::string& path = programFile(static_cast<std::size_t>(state.range(0)));
    EventPump pump([] {});
    double peak = 0;
    for (auto _ : state) {
        PenPoints points;
        ViewBounds bounds;
        const long long before = liveBytes;
        peakBytes = before;
        read(path, points, bounds, pump);
        peak = static_cast<double>(peakBytes - before) / kMB;
        benchmark::DoNotOptimize(points.count());
    }
    const double records = recordsMB(path);
    const double file = fileMB(path);
    state.counters["peak_MB"] = peak;
    state.counters["file_MB"] = file;
    state.counters["records_MB"] = records;
    state.counters["over_file"] = (peak - records) / file;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WordReading(benchmark::State& state) {
    timeRead(state, [](const std::string& path, PenPoints& points, ViewBounds& bounds,
                       EventPump& pump) { ReadGCodeFile(path, points, bounds, pump); });
}

// The window's «Открыть .tap/.gcode» on one of VEzor's own programs: the word
// reading and the check that it draws the program rightly.
void BM_WindowOpening(benchmark::State& state) {
    timeRead(state, [](const std::string& path, PenPoints& points, ViewBounds& bounds,
                       EventPump& pump) { OpenGCodeFile(path, points, bounds, pump); });
}

void BM_Interpreter(benchmark::State& state) {
    timeRead(state, [](const std::string& path, PenPoints& points, ViewBounds& bounds,
                       EventPump& pump) { InterpretGCodeFile(path, points, bounds, pump); });
}

}  // namespace

BENCHMARK(BM_WordReading)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_WindowOpening)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Interpreter)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
