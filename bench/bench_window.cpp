// The main window as a user drives it: typing in a project of 200 or 2,000
// lines (layout, list and preview after the pause), reading a G-code file of a
// million moves, and zooming and panning its preview (one frame each), and
// that of another program's 100,000 arcs.
//
//   build/bench_window --benchmark_filter=Typing
//   build/bench_window --benchmark_filter=ReadFile
//   build/bench_window --benchmark_filter=ZoomPan
//
// Each reports the median of 9 runs; the file benchmarks also report the
// process's peak memory (peak_MB) with the file read and shown. The machining
// figures follow on a thread of their own: figures_ms is how long after the
// list and the preview they stand in the status bar.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QThread>
#include <QWheelEvent>
#include <cstdio>
#include <random>
#include <string>

#include "lib/Win1251.h"
#include "main/Session.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmGCode.h"

namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The process's peak resident memory so far.
double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Runs the window's events until the status bar's figures are in; milliseconds.
double waitForFigures(const frmGCode& window) {
    QElapsedTimer clock;
    clock.start();
    while (window.isEstimating()) {
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Four parameters and lines of about 40 letters, words and digits.
std::string projectLines(int lines) {
    std::string text = cp("6//Интервал\r\n180//Поле\r\n4.4//Высота\r\n0.75//Ширина\r\n");
    const std::string words[] = {cp("Съешь"),  cp("же"),          cp("ещё"),    cp("этих"),
                                 cp("мягких"), cp("французских"), cp("булок,"), "2026",
                                 cp("да"),     cp("выпей"),       cp("чаю.")};
    for (int line = 0; line < lines; ++line) {
        std::string row;
        for (int k = 0; row.size() < 40; ++k) row += words[(line + k) % 11] + " ";
        text += row + "\r\n";
    }
    return text;
}

void BM_TypingLayout(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath("plate.txt").toStdString();
    writeBytes(path, projectLines(static_cast<int>(state.range(0))));
    Session session;
    frmGCode window(session);
    window.Form_Load();
    window.cboShrift->setCurrentText(QStringLiteral("font/A-Chertezh"));
    window.resize(1100, 760);
    window.show();
    window.project().ProjectPath = path;
    window.DrawMode = DrawingMode::Project;
    window.LoadProject(path);
    window.txtPaint->moveCursor(QTextCursor::End);
    window.txtPaint->moveCursor(QTextCursor::Up);
    if (session.penPoints()->count() < 1000) {
        state.SkipWithError("the project was not laid out: no font/A-Chertezh beside the program");
        return;
    }
    bool typed = false;
    double figures = 0;
    for (auto _ : state) {
        // A keystroke, then the pause: the layout, the list and the preview.
        if (typed)
            window.txtPaint->textCursor().deletePreviousChar();
        else
            window.txtPaint->insertPlainText(QStringLiteral("ж"));
        typed = !typed;
        window.relayoutNow();
        benchmark::DoNotOptimize(window.pic->image().constBits());
        state.PauseTiming();
        figures += waitForFigures(window);
        state.ResumeTiming();
    }
    state.counters["moves"] = static_cast<double>(session.penPoints()->count());
    state.counters["figures_ms"] = figures / static_cast<double>(state.iterations());
}

// An engraving-like program: letters of 13 short moves between a lift, a
// travel and a plunge, rows over a 100 mm field, written over and over.
std::string engravingProgram(std::size_t lines) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> step(-1.2, 1.2);
    std::string text;
    text.reserve(lines * 18);
    char buffer[64];
    double penX = 2.0;
    double lineY = -5.0;
    std::size_t written = 0;
    while (written + 16 < lines) {
        std::snprintf(buffer, sizeof buffer, "G0Z5.00\r\nG0X%.2fY%.2f\r\nG1Z-0.10\r\n", penX,
                      lineY);
        text += buffer;
        double x = penX;
        double y = lineY;
        for (int k = 0; k < 13; ++k) {
            x = std::min(std::max(x + step(rng), penX), penX + 3.5);
            y = std::min(std::max(y + step(rng), lineY - 4.4), lineY);
            std::snprintf(buffer, sizeof buffer, "G1X%.2fY%.2f\r\n", x, y);
            text += buffer;
        }
        written += 16;
        penX += 4.0;
        if (penX > 96) {
            penX = 2.0;
            lineY -= 5.0;
            if (lineY < -98) lineY = -5.0;
        }
    }
    return text;
}

void BM_ReadFile(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath("big.gcode").toStdString();
    writeBytes(path, engravingProgram(static_cast<std::size_t>(state.range(0))));
    Session session;
    frmGCode window(session);
    window.Form_Load();
    window.resize(1100, 760);
    window.show();
    double figures = 0;
    // The peak of the process's first read (later reads hold the list before
    // theirs until they are done).
    static const double firstReadPeak = [&] {
        window.ReadGCodeFile(path);
        return peakMegabytes();
    }();
    for (auto _ : state) {
        window.ReadGCodeFile(path);  // the list and the preview
        benchmark::DoNotOptimize(window.pic->image().constBits());
        state.PauseTiming();
        figures += waitForFigures(window);
        state.ResumeTiming();
    }
    state.counters["figures_ms"] = figures / static_cast<double>(state.iterations());
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["first_read_peak_MB"] = firstReadPeak;
}

// A CAM program of arcs only between its plunges: rings of two half circles
// around spots over a 100 mm field, `arcs` arcs in all.
std::string arcProgram(std::size_t arcs) {
    std::string text = "G21 G90 G17\r\nG0 Z5\r\nM3 S10000\r\n";
    char buffer[96];
    std::size_t written = 0;
    for (int spot = 0; written < arcs; ++spot) {
        const double x = 2 + 4.0 * (spot % 24);
        const double y = -2 - 4.0 * ((spot / 24) % 24);
        std::snprintf(buffer, sizeof buffer, "G0 Z1\r\nG0 X%.3f Y%.3f\r\nG1 Z-0.1 F200\r\n",
                      x + 0.1, y);
        text += buffer;
        for (int ring = 1; ring <= 20 && written < arcs; ++ring, written += 2) {
            const double r = 0.09 * ring + 0.01 * (spot % 7);
            std::snprintf(buffer, sizeof buffer,
                          "G1 X%.3f F600\r\nG3 X%.3f Y%.3f I%.3f J0\r\nG3 X%.3f Y%.3f I%.3f J0\r\n",
                          x + r, x - r, y, -r, x + r, y, r);
            text += buffer;
        }
    }
    return text + "G0 Z5\r\nM5\r\nM30\r\n";
}

// Frames of zooming and panning the window's preview, one frame an iteration,
// once the figures are in (the user looks at the picture a moment after it
// is there).
void zoomAndPan(benchmark::State& state, Session& session, frmGCode& window) {
    PreviewSurface* pic = window.pic;
    const QPointF centre(pic->width() / 2.0, pic->height() / 2.0);
    const auto wheel = [&](int delta) {
        QWheelEvent event(centre, pic->mapToGlobal(centre), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pic, &event);
    };
    const auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, pic->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(pic, &event);
    };
    mouse(QEvent::MouseButtonPress, centre, Qt::LeftButton);
    int frame = 0;
    for (auto _ : state) {
        // Zoom in twice, pan there and back, zoom out twice: whole field to close up.
        switch (frame++ % 6) {
            case 0:
            case 1:
                wheel(120);
                break;
            case 2:
                mouse(QEvent::MouseMove, centre + QPointF(60, 40), Qt::LeftButton);
                break;
            case 3:
                mouse(QEvent::MouseMove, centre, Qt::LeftButton);
                break;
            default:
                wheel(-120);
                break;
        }
        benchmark::DoNotOptimize(pic->image().constBits());
    }
    mouse(QEvent::MouseButtonRelease, centre, Qt::NoButton);
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["moves"] = static_cast<double>(session.penPoints()->count());
}

void BM_ZoomPanFrame(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath("big.gcode").toStdString();
    writeBytes(path, engravingProgram(static_cast<std::size_t>(state.range(0))));
    Session session;  // one file's worth of moves, as after start
    frmGCode window(session);
    window.Form_Load();
    window.resize(1100, 760);
    window.show();
    window.ReadGCodeFile(path);
    waitForFigures(window);
    zoomAndPan(state, session, window);
}

// The same over another program's arcs, read with the interpreter and drawn
// as chords a fraction of a pixel close at every zoom.
void BM_ZoomPanArcs(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath("arcs.nc").toStdString();
    writeBytes(path, arcProgram(static_cast<std::size_t>(state.range(0))));
    Session session;
    frmGCode window(session);
    window.Form_Load();
    window.resize(1100, 760);
    window.show();
    window.ReadOtherProgramGCode(path);
    waitForFigures(window);
    zoomAndPan(state, session, window);
}

}  // namespace

BENCHMARK(BM_TypingLayout)
    ->Arg(200)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadFile)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ZoomPanFrame)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ZoomPanArcs)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
