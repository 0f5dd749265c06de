#include "PreviewCommands.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstdio>

#include "MainRoad.h"
#include "gcode/GCodeReader.h"
#include "gcode/InterpretedReader.h"
#include "lib/EventPump.h"
#include "lib/NumberText.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "main/PreviewGeometry.h"
#include "main/paint/PreviewPainter.h"

namespace {

// A program message on standard error: UTF-8, one line per line of the message.
void sayProgramText(const std::string& cp1251) {
    std::fprintf(stderr, "%s\n", TerminalText(cp1251).c_str());
}

}  // namespace

std::optional<int> PreviewScaleFromText(const std::string& text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < 25 || value > 200) return std::nullopt;
    return value;
}

int RunCheck(const std::string& path, const std::string& pngPath, int scale, double writingWidth) {
    // Without a picture the records are only counted: none is kept.
    class Uncounted final : public PenPointSink {
      public:
        void add(const PenPoint&) override {}
    } none;
    PenPoints points;
    ViewBounds bounds;
    EventPump noEvents;
    std::size_t records = 0;
    try {
        if (pngPath.empty()) {
            records = ReadGCodeFileRecords(path, none, bounds, noEvents);
        } else {
            ReadGCodeFile(path, points, bounds, noEvents);
            records = points.count();
        }
    } catch (const VezorError& e) {
        sayProgramText(e.message());
        return 2;
    }
    std::printf("records %zu bounds %s %s %s %s\n", records, numtext::shortest(bounds.MinX).c_str(),
                numtext::shortest(bounds.MinY).c_str(), numtext::shortest(bounds.MaxX).c_str(),
                numtext::shortest(bounds.MaxY).c_str());
    if (std::fflush(stdout) != 0) return 1;
    if (pngPath.empty()) return 0;
    return WritePreviewPng(points, bounds, 0, DrawingMode::GCodeFile, scale, pngPath, writingWidth);
}

int RunRead(const std::string& path, const std::string& pngPath, int scale, double writingWidth) {
    PenPoints points;
    ViewBounds bounds;
    EventPump noEvents;
    InterpretedRead read;
    try {
        read = InterpretGCodeFile(path, points, bounds, noEvents);
    } catch (const VezorError& e) {
        sayProgramText(e.message());
        return 2;
    }
    std::printf("records %zu bounds %s %s %s %s\n", points.count(),
                numtext::shortest(bounds.MinX).c_str(), numtext::shortest(bounds.MinY).c_str(),
                numtext::shortest(bounds.MaxX).c_str(), numtext::shortest(bounds.MaxY).c_str());
    if (std::fflush(stdout) != 0) return 1;
    for (const SkippedLine& skipped : read.skipped)
        sayProgramText(SkippedLineText(points, skipped));
    if (!pngPath.empty()) {
        const int drawn = WritePreviewPng(points, bounds, 0, DrawingMode::GCodeFile, scale, pngPath,
                                          writingWidth);
        if (drawn != 0) return drawn;
    }
    return read.skipped.empty() ? 0 : 3;
}

namespace {

// The view with one scale for both axes on a square picture: the narrower way
// reaches further, right or down, as the window's scale list shows it.
PreviewView evenView(PreviewView view) {
    const double width = view.Right - view.Left;
    const double height = view.Top - view.Bottom;
    if (width < height)
        view.Right = view.Left + height;
    else if (height < width)
        view.Bottom = view.Top - width;
    return view;
}

}  // namespace

int WritePreviewPng(const PenPoints& points, ViewBounds bounds, double fieldWidth,
                    DrawingMode drawMode, int scale, const std::string& pngPath,
                    double writingWidth, bool ink) {
    long long drawLimit = 0;
    const std::size_t count = recordsToDraw(drawLimit, points.count());
    EventPump noEvents;
    const QSize size(kPreviewPngSize, kPreviewPngSize);
    const PreviewView view = evenView(previewView(bounds, scale / 100.0));
    const QImage image =
        ink ? paintInk(size, points, count, drawMode, view, writingWidth)
            : paintPreview(size, points, count, drawMode, view, fieldWidth, noEvents, writingWidth);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        std::fprintf(stderr, "vezor-gcode: cannot encode the picture\n");
        return 1;
    }
    try {
        textfile::writeAtomically(
            pngPath, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    } catch (const VezorError& e) {
        sayProgramText(e.message());
        return 1;
    }
    return 0;
}
