// The font editor on a letter of 20,000 points, as a font maker drives it
// with the mouse: a click that selects a point, one mouse move of a drag, and
// an undo (alternating with its redo). /0 is the step's own work (hit test,
// selection, point list rows, undo, the drawing's data); /1 adds painting the
// window, where the marks of 20,000 points cost most.
//
//   build/bench_font_editor
//
// Each reports the median of 9 runs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "font/FontStorage.h"
#include "fonteditor/LetterEditing.h"
#include "fonteditor/ui/LetterSurface.h"
#include "fonteditor/ui/frmFontPaint.h"
#include "main/Session.h"

namespace {

constexpr int kPoints = 20000;

// A spiral filling the letter box, so that points lie close together everywhere.
std::string spiralLetter() {
    std::string text;
    for (int i = 0; i < kPoints; ++i) {
        const double turn = i / 400.0;
        const double r = 5 + 40.0 * i / kPoints;
        text += letteredit::pointEntry(50 + r * std::cos(turn * 6.283),
                                       50 + r * std::sin(turn * 6.283)) +
                "\r\n";
    }
    return text;
}

struct Editor {
    QTemporaryDir folder;
    Session session;
    std::unique_ptr<frmFontPaint> window;
    LetterSurface* surface = nullptr;

    Editor() {
        const std::string path = folder.path().toStdString() + "/65";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const std::string text = spiralLetter();
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        session.CurrentFont() = folder.path().toStdString();
        window = std::make_unique<frmFontPaint>(session);
        window->resize(1000, 800);
        window->show();
        surface = window->picMask;
        QApplication::processEvents();
    }
    QPointF pixelOf(std::size_t i) const {
        double x = 0;
        double y = 0;
        ParsePointLine(window->letter().points[i], x, y);
        return surface->toWidget({x, y});
    }
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, surface->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    }
    // Arg 1: the window painted anew after the step, drawing and list; arg 0:
    // the step's own work (selection, list rows, undo, the drawing's data).
    void repaint(bool paint) {
        if (paint) window->repaint();
    }
};

void BM_SelectPoint(benchmark::State& state) {
    Editor editor;
    const QPointF at[2] = {editor.pixelOf(kPoints / 3), editor.pixelOf(kPoints - 7)};
    int k = 0;
    for (auto _ : state) {
        editor.mouse(QEvent::MouseButtonPress, at[k], Qt::LeftButton);
        editor.mouse(QEvent::MouseButtonRelease, at[k], Qt::NoButton);
        editor.repaint(state.range(0) != 0);
        k = 1 - k;
    }
    state.counters["selected"] = static_cast<double>(*editor.window->letter().selected);
}

void BM_DragStep(benchmark::State& state) {
    Editor editor;
    const QPointF from = editor.pixelOf(kPoints / 2);
    editor.mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    int k = 0;
    for (auto _ : state) {
        editor.mouse(QEvent::MouseMove, from + QPointF(10 + k % 20, 5 + k % 7), Qt::LeftButton);
        editor.repaint(state.range(0) != 0);
        ++k;
    }
    editor.mouse(QEvent::MouseButtonRelease, from, Qt::NoButton);
}

void BM_Undo(benchmark::State& state) {
    Editor editor;
    const QPointF from = editor.pixelOf(kPoints / 2);
    editor.mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    editor.mouse(QEvent::MouseMove, from + QPointF(30, 20), Qt::LeftButton);
    editor.mouse(QEvent::MouseButtonRelease, from + QPointF(30, 20), Qt::NoButton);
    bool undone = false;
    for (auto _ : state) {
        if (undone)
            editor.window->mnuRedo_Click();
        else
            editor.window->mnuUndo_Click();
        undone = !undone;
        editor.repaint(state.range(0) != 0);
    }
}

}  // namespace

BENCHMARK(BM_SelectPoint)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DragStep)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Undo)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
