#include "main/paint/PreviewPainter.h"

#include <QColor>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <algorithm>
#include <cmath>
#include <vector>

#include "main/PreviewScene.h"

namespace {

// Maps the moves to pixels and hands them to the painter in batches: one
// drawLines call per run of one colour instead of one call per move, and moves
// that stay on the pixel just drawn are left out. Runs keep their order, so
// where colours cross the later move stays on top.
class PixelBatcher final : public PreviewSink {
  public:
    PixelBatcher(QPainter& painter, const QSize& size, const PreviewView& view,
                 double writingWidth = 0, bool black = false)
        : painter_(painter),
          black_(black),
          width_(size.width()),
          height_(size.height()),
          left_(view.Left),
          top_(view.Top) {
        const double spanX = view.Right - view.Left;
        const double spanY = view.Bottom - view.Top;
        scaleX_ = spanX != 0 && width_ > 1 ? (width_ - 1) / spanX : 0;
        scaleY_ = spanY != 0 && height_ > 1 ? (height_ - 1) / spanY : 0;
        // Writing as wide as the tool leaves it, once that is more than a pixel and a half;
        // the ink alone always (a code's strokes of 1.4 pixels drawn as 1 leave gaps).
        const double pixels = writingWidth * std::min(std::fabs(scaleX_), std::fabs(scaleY_));
        writingPixels_ = pixels >= (black ? 1.0 : 1.5) ? pixels : 1;
        lines_.reserve(kBatch);
        points_.reserve(kBatch);
    }

    void segment(const PreviewSegment& s) override {
        if (s.Colour == PreviewColour::Red && wideWriting()) {
            wideSegment(s);
            return;
        }
        double x1 = (s.X1 - left_) * scaleX_;
        double y1 = (s.Y1 - top_) * scaleY_;
        double x2 = (s.X2 - left_) * scaleX_;
        double y2 = (s.Y2 - top_) * scaleY_;
        if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
            return;
        // A margin past the edges keeps clipped ends from landing on the border pixels.
        const double maxX = width_ + 1.0;
        const double maxY = height_ + 1.0;
        const bool inside = x1 >= -2 && x1 <= maxX && x2 >= -2 && x2 <= maxX && y1 >= -2 &&
                            y1 <= maxY && y2 >= -2 && y2 <= maxY;
        if (!inside && !clipSegment(x1, y1, x2, y2, -2.0, -2.0, maxX, maxY)) return;
        const QPoint a(pixel(x1), pixel(y1));
        const QPoint b(pixel(x2), pixel(y2));

        if (s.Colour != colour_) {
            flush();
            colour_ = s.Colour;
            haveLast_ = false;
        }
        if (a == b) {
            if (!(haveLast_ && a == last_)) points_.push_back(a);
        } else {
            lines_.push_back(QLine(a, b));
        }
        last_ = b;
        haveLast_ = true;
        if (lines_.size() >= kBatch || points_.size() >= kBatch) flush();
    }

    bool wideWriting() const { return writingPixels_ > 1; }

    void flush() {
        flushWide();
        if (lines_.empty() && points_.empty()) return;
        const PreviewRgb rgb = black_ ? PreviewRgb{} : rgbOf(colour_);
        QPen pen(QColor(rgb.r, rgb.g, rgb.b), 1);
        pen.setCosmetic(true);
        painter_.setPen(pen);
        if (!lines_.empty()) painter_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
        if (!points_.empty()) painter_.drawPoints(points_.data(), static_cast<int>(points_.size()));
        lines_.clear();
        points_.clear();
    }

  private:
    static constexpr std::size_t kBatch = 8192;

    static int pixel(double v) { return static_cast<int>(std::floor(v + 0.5)); }

    // Writing as wide as the tool leaves it keeps its ends where they are: a
    // stroke's ends and edges put on whole pixels (and a pen of 2.5 pixels
    // that covers two) take up to a pixel off every dark run, which at five
    // pixels a module turns a QR code's 1:1:3:1:1 finders into what no reader
    // takes. Pixel k's middle stands for the point k, as for the thin lines.
    void wideSegment(const PreviewSegment& s) {
        double x1 = (s.X1 - left_) * scaleX_;
        double y1 = (s.Y1 - top_) * scaleY_;
        double x2 = (s.X2 - left_) * scaleX_;
        double y2 = (s.Y2 - top_) * scaleY_;
        if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
            return;
        const double reach = writingPixels_ + 2;
        const double maxX = width_ + reach;
        const double maxY = height_ + reach;
        const bool inside = x1 >= -reach && x1 <= maxX && x2 >= -reach && x2 <= maxX &&
                            y1 >= -reach && y1 <= maxY && y2 >= -reach && y2 <= maxY;
        if (!inside && !clipSegment(x1, y1, x2, y2, -reach, -reach, maxX, maxY)) return;
        if (colour_ != PreviewColour::Red) {
            flush();
            colour_ = PreviewColour::Red;
        }
        if (x1 == x2 && y1 == y2)
            wideDots_.push_back(QPointF(x1 + 0.5, y1 + 0.5));
        else
            wideLines_.push_back(QLineF(x1 + 0.5, y1 + 0.5, x2 + 0.5, y2 + 0.5));
        if (wideLines_.size() >= kBatch || wideDots_.size() >= kBatch) flushWide();
    }

    void flushWide() {
        if (wideLines_.empty() && wideDots_.empty()) return;
        const PreviewRgb rgb = black_ ? PreviewRgb{} : rgbOf(PreviewColour::Red);
        QPen pen(QColor(rgb.r, rgb.g, rgb.b), writingPixels_);
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter_.setPen(pen);
        if (!wideLines_.empty())
            painter_.drawLines(wideLines_.data(), static_cast<int>(wideLines_.size()));
        if (!wideDots_.empty())
            painter_.drawPoints(wideDots_.data(), static_cast<int>(wideDots_.size()));
        wideLines_.clear();
        wideDots_.clear();
    }

    QPainter& painter_;
    bool black_;  // everything in black: the ink alone
    int width_;
    int height_;
    double left_;
    double top_;
    double scaleX_ = 0;
    double scaleY_ = 0;
    double writingPixels_ = 1;
    PreviewColour colour_ = PreviewColour::Black;
    QPoint last_;
    bool haveLast_ = false;
    std::vector<QLine> lines_;
    std::vector<QPoint> points_;
    std::vector<QLineF> wideLines_;
    std::vector<QPointF> wideDots_;
};

// Passes on the writing only, or everything else.
class ColourPass final : public PreviewSink {
  public:
    ColourPass(PreviewSink& next, bool writing) : next_(next), writing_(writing) {}
    void segment(const PreviewSegment& s) override {
        if ((s.Colour == PreviewColour::Red) == writing_) next_.segment(s);
    }

  private:
    PreviewSink& next_;
    bool writing_;
};

// Passes on the segments that do not start at the origin: a drawing point is
// never at the origin, so these are the moves from the first point on.
class AwayFromOrigin final : public PreviewSink {
  public:
    explicit AwayFromOrigin(PreviewSink& next) : next_(next) {}
    void segment(const PreviewSegment& s) override {
        if (s.X1 != 0 || s.Y1 != 0) next_.segment(s);
    }

  private:
    PreviewSink& next_;
};

}  // namespace

QImage paintPreview(const QSize& size, const PenPoints& points, std::size_t count,
                    DrawingMode drawMode, const PreviewView& view, double fieldWidth,
                    EventPump& pump, double writingWidth) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PixelBatcher batcher(painter, image.size(), view, writingWidth);
    const auto walk = [&](PreviewSink& sink) {
        if (points.moves()) {
            // Arcs in chords a third of a pixel close.
            const double mmPerPixel =
                std::fabs(view.Right - view.Left) / std::max(1, image.width() - 1);
            walkInterpreted(points, count, mmPerPixel / 3, sink, pump);
        } else {
            walkPreview(points, count, drawMode, sink, pump);
        }
    };
    if (batcher.wideWriting()) {
        // The travel first and the writing over it: the picture shows the ink
        // the tool leaves.
        ColourPass travel(batcher, false);
        walk(travel);
        ColourPass writing(batcher, true);
        walk(writing);
    } else {
        walk(batcher);
    }
    if (const auto border = fieldBorder(fieldWidth, view)) batcher.segment(*border);
    batcher.flush();
    return image;
}

QImage paintInk(const QSize& size, const PenPoints& points, std::size_t count, DrawingMode drawMode,
                const PreviewView& view, double writingWidth) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PixelBatcher batcher(painter, image.size(), view, writingWidth, true);
    // The move to the first point is no writing, whatever colour it is drawn in.
    AwayFromOrigin drawn(batcher);
    ColourPass writing(drawn, true);
    EventPump still;
    walkPreview(points, count, drawMode, writing, still);
    batcher.flush();
    return image;
}

QImage paintPathFromFirstPoint(const QSize& size, const PenPoints& points,
                               const PreviewView& view) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PixelBatcher batcher(painter, image.size(), view);
    AwayFromOrigin sink(batcher);
    EventPump still;
    walkPreview(points, points.count(), DrawingMode::Project, sink, still);
    batcher.flush();
    return image;
}
