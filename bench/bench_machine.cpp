// The sender against the scripted GRBL (a pseudo-terminal pair):
//  - StreamWhileRedrawing: a program of short moves streamed while the «Станок»
//    window draws its whole preview again without pause (or, for comparison,
//    does not); counts the times GRBL's planner ran empty between two moves
//    (underruns) and the redraws done meanwhile.
//  - MillionLines: a program of 1,000,000 lines read and streamed; the
//    process's memory beyond the program's own records (extra_MB) and the lines
//    per second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QThread>
#include <fstream>
#include <memory>
#include <string>

#include "FakeGrbl.h"
#include "machine/MachineConnection.h"
#include "machine/ui/ProgramView.h"
#include "machine/ui/frmMachine.h"

namespace {

std::string zigzag(int moves) {
    std::string text = "G21G90G17\n";
    for (int i = 1; i <= moves; ++i)
        text += "G1X" + std::to_string(i % 97) + "." + std::to_string(i % 10) + "Y" +
                std::to_string(i % 7) + "F500\n";
    return text;
}

// Resident memory now and at its peak, MB (Linux).
std::pair<double, double> memoryMb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    double now = 0, peak = 0;
    while (status >> key) {
        double kb = 0;
        if (key == "VmRSS:" && status >> kb) now = kb / 1024;
        if (key == "VmHWM:" && status >> kb) peak = kb / 1024;
    }
    return {now, peak};
}

void wait(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
}

void StreamWhileRedrawing(benchmark::State& state) {
    const std::string program = zigzag(static_cast<int>(state.range(0)));
    double underruns = 0, redraws = 0, buffered = 0;
    for (auto _ : state) {
        FakeGrbl::Options options;
        options.moveTime = std::chrono::milliseconds(state.range(1));
        FakeGrbl grbl(options);
        frmMachine window([&] { return MachineProgramSource{"zigzag", program, {}}; });
        window.resize(1400, 900);
        window.show();
        window.machine().open(QString::fromStdString(grbl.port()));
        wait([&] { return window.machine().isConnected(); });
        window.cmdTakeProgram_Click();
        window.machine().start(MachineJob{{}, window.program(), 0, {}, false, {}});
        const bool redraw = state.range(2) != 0;
        while (window.machine().jobRunning()) {
            if (redraw) {
                window.view->dropPicture();
                window.view->repaint();
                ++redraws;
            }
            QCoreApplication::processEvents();
        }
        underruns += static_cast<double>(grbl.underruns());
        buffered = std::max(buffered, static_cast<double>(grbl.mostBufferedBytes()));
    }
    state.counters["underruns"] = underruns;
    state.counters["redraws"] = benchmark::Counter(redraws, benchmark::Counter::kAvgIterations);
    state.counters["most_buffered_bytes"] = buffered;
}
// Args: moves, milliseconds a move takes (10: a 0.08 mm move at 500 mm/min), redraw or not.
BENCHMARK(StreamWhileRedrawing)
    ->Args({1500, 10, 1})
    ->Args({1500, 10, 0})
    ->Args({1500, 2, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// Forgets the peak so far, so that the next peak is the stream's (Linux).
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void MillionLines(benchmark::State& state) {
    const double before = memoryMb().first;
    std::shared_ptr<const MachineProgram> program;
    {
        const std::string text = zigzag(1'000'000);
        program = std::make_shared<const MachineProgram>(MachineProgram::fromText(text));
    }
    const double withRecords = memoryMb().first;
    resetPeak();
    double seconds = 0;
    for (auto _ : state) {
        FakeGrbl::Options options;
        options.moveTime = std::chrono::microseconds(0);
        options.keepLines = false;
        FakeGrbl grbl(options);
        MachineConnection machine;
        bool finished = false;
        QObject::connect(&machine, &MachineConnection::jobFinished, [&] { finished = true; });
        machine.open(QString::fromStdString(grbl.port()));
        wait([&] { return machine.isConnected(); });
        const auto start = std::chrono::steady_clock::now();
        machine.start(MachineJob{{}, program, 0, {}, false, {}});
        wait([&] { return finished || !machine.jobRunning(); });
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
    }
    state.counters["records_MB"] = withRecords - before;
    state.counters["extra_MB"] = memoryMb().second - withRecords;
    state.counters["lines_per_s"] = static_cast<double>(program->size()) / seconds;
}
BENCHMARK(MillionLines)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

}  // namespace
