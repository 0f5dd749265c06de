// The main road on a large project: 10,000 lines (about 400,000 characters)
// in a generated 150-letter font of about five points per letter.
//
//   bench_main_road                      runs the benchmarks
//   bench_main_road --write-fixture DIR [LINES]
//        writes DIR/font/Bench and DIR/bench.txt (LINES lines, 10,000 unless
//        given), for timing vezor-gcode on them (bench/cli_ratios.sh)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "font/FontStorage.h"
#include "gcode/GCodeWriter.h"
#include "lib/MachiningSettings.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "main/Layout.h"
#include "main/ProjectFile.h"

namespace {

// 52 Latin, 64 Cyrillic (192..255), 10 digits, 9 punctuation marks and 15
// more letters of the upper half: 150 codes.
std::vector<unsigned char> fontCodes() {
    std::vector<unsigned char> codes;
    for (int c = 'A'; c <= 'Z'; ++c) codes.push_back(static_cast<unsigned char>(c));
    for (int c = 'a'; c <= 'z'; ++c) codes.push_back(static_cast<unsigned char>(c));
    for (int c = 192; c <= 255; ++c) codes.push_back(static_cast<unsigned char>(c));
    for (int c = '0'; c <= '9'; ++c) codes.push_back(static_cast<unsigned char>(c));
    for (char c : std::string(".,;:!?-()")) codes.push_back(static_cast<unsigned char>(c));
    for (int c = 160; c < 175; ++c) codes.push_back(static_cast<unsigned char>(c));
    return codes;
}

void writeFont(const std::string& folder) {
    std::filesystem::create_directories(folder);
    std::mt19937 random(1);
    std::uniform_real_distribution<double> coordinate(1, 99);
    std::uniform_int_distribution<int> points(4, 6);
    for (unsigned char code : fontCodes()) {
        std::vector<std::string> lines;
        for (int n = points(random); n > 0; --n)
            lines.push_back(FormatCoordinate(coordinate(random)) + "," +
                            FormatCoordinate(coordinate(random)));
        WriteLetterFile(folder + "/" + std::to_string(code), lines);
    }
}

std::string projectBytes(int lines = 10000) {
    const std::vector<unsigned char> codes = fontCodes();
    std::mt19937 random(2);
    std::uniform_int_distribution<std::size_t> letter(0, 115);  // letters only
    std::uniform_int_distribution<std::size_t> any(0, codes.size() - 1);
    std::uniform_int_distribution<int> wordLength(2, 9);
    std::string bytes = "4.97//a\r\n200//b\r\n4.4//c\r\n0.75//d\r\n";
    for (int line = 0; line < lines; ++line) {
        std::string text;
        if (line % 50 == 7) text = "<@XXX=60>";
        while (text.size() < 36) {
            if (!text.empty() && text.back() != '>') text += ' ';
            for (int n = wordLength(random); n > 0; --n)
                text += static_cast<char>(
                    codes[n == 1 && line % 3 == 0 ? any(random) : letter(random)]);
        }
        bytes += text + "\r\n";
    }
    return bytes;
}

struct Fixture {
    Fixture() {
        folder =
            (std::filesystem::temp_directory_path() / ("vezor-bench-" + std::to_string(::getpid())))
                .string();
        writeFont(folder + "/font/Bench");
        setProgramFolder(folder);
        bytes = projectBytes();
        projectPath = folder + "/bench.txt";
        textfile::writeAtomically(projectPath, bytes);
        EventPump none;
        project = ParseProject(bytes, none);
        layout = LayOutProject(project, "font/Bench", MachiningSettings{});
    }
    ~Fixture() { std::filesystem::remove_all(folder); }

    std::string folder;
    std::string bytes;
    std::string projectPath;
    Project project;
    LayoutResult layout;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ParseProject(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        EventPump none;
        benchmark::DoNotOptimize(ParseProject(f.bytes, none));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes.size()));
}
BENCHMARK(BM_ParseProject)->Unit(benchmark::kMillisecond);

void BM_LayOut(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(LayOutProject(f.project, "font/Bench", MachiningSettings{}));
    state.counters["records"] = static_cast<double>(f.layout.points->count());
}
BENCHMARK(BM_LayOut)->Unit(benchmark::kMillisecond);

void BM_BuildProgram(benchmark::State& state) {
    const Fixture& f = fixture();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string program = BuildGCodeProgram(*f.layout.points, "500.00");
        size = program.size();
        benchmark::DoNotOptimize(program.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_BuildProgram)->Unit(benchmark::kMillisecond);

// The laid-out program written to a file in each shipped profile (those that
// lead with the machining figures work them out first), and the same number
// of bytes merely written, the floor any profile is measured against.
void BM_WriteProfile(benchmark::State& state, const std::string& name) {
    const Fixture& f = fixture();
    const GCodeProfile& profile = FindProfile(name);
    const std::string out = f.folder + "/profile" + profile.extension;
    for (auto _ : state) WriteGCodeFile(out, *f.layout.points, "500.00", profile);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(out)));
}
BENCHMARK_CAPTURE(BM_WriteProfile, VEzor, std::string("VEzor"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteProfile, GRBL, std::string("GRBL"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteProfile, LinuxCNC, std::string("LinuxCNC"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteProfile, Mach3, std::string("Mach3"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteProfile, ServoPen, std::string("Servo pen"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriteProfile, Laser, std::string("Laser"))->Unit(benchmark::kMillisecond);

void BM_BareWrite(benchmark::State& state) {
    const Fixture& f = fixture();
    const std::string bytes = BuildGCodeProgram(*f.layout.points, "500.00");
    const std::string out = f.folder + "/bare.gcode";
    for (auto _ : state) {
        FileSink sink(out);
        for (std::size_t at = 0; at < bytes.size(); at += std::size_t{1} << 20)
            sink.write(std::string_view(bytes).substr(at, std::size_t{1} << 20));
        sink.commit();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_BareWrite)->Unit(benchmark::kMillisecond);

// Read, lay out, build and write, as the save command and vezor-gcode do.
void BM_WholeRoad(benchmark::State& state) {
    const Fixture& f = fixture();
    const std::string out = f.folder + "/bench.gcode";
    for (auto _ : state) {
        EventPump none;
        const Project p = ReadProjectFile(f.projectPath, none);
        const LayoutResult r = LayOutProject(p, "font/Bench", MachiningSettings{});
        WriteGCodeFile(out, BuildGCodeProgram(*r.points, "500.00"));
    }
}
BENCHMARK(BM_WholeRoad)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--write-fixture") == 0) {
        const std::string dir = argv[2];
        writeFont(dir + "/font/Bench");
        textfile::writeAtomically(dir + "/bench.txt",
                                  projectBytes(argc == 4 ? std::atoi(argv[3]) : 10000));
        std::printf("font    %s/font/Bench\nproject %s/bench.txt\n", dir.c_str(), dir.c_str());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
