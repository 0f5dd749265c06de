#include "main/ui/PreviewSurface.h"

#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>
#include <cmath>
#include <vector>

#include "lib/NumberText.h"

namespace {

const QColor kGridLine(232, 232, 232);
const QColor kGridLabelLine(205, 205, 205);
const QColor kLabel(120, 120, 120);
const QColor kHighlight(255, 140, 0);
// How far the highlighted move's chords may stray from its arcs, in pixels.
constexpr double kArcPixels = 0.3;
const QColor kMeasure(150, 0, 160);

constexpr double kFitMargin = 12;      // pixels free around a fitted picture
constexpr double kPickReach = 5;       // pixels within which a click picks a move
constexpr double kDragThreshold = 4;   // pixels a press may move and still be a click
constexpr double kWheelFactor = 1.25;  // zoom per wheel notch

QString label(double value) {
    return QString::fromStdString(numtext::shortest(value, numtext::decimalSeparator()));
}

void drawGrid(QPainter& painter, const ViewTransform& view, const QSize& size) {
    const GridSteps steps = gridSteps(view.pixelsPerMm());
    const MmRect shown = view.visible(size.width(), size.height());
    const auto isLabelLine = [&](double k) {
        const double ratio = k * steps.line / steps.label;
        return std::fabs(ratio - std::round(ratio)) < 1e-6;
    };
    const double firstX = std::ceil(shown.MinX / steps.line);
    const double firstY = std::ceil(shown.MinY / steps.line);
    for (int pass = 0; pass < 2; ++pass) {
        painter.setPen(pass == 0 ? kGridLine : kGridLabelLine);
        for (double k = firstX; k * steps.line <= shown.MaxX; ++k) {
            if (isLabelLine(k) != (pass == 1)) continue;
            const double x = std::round(view.toPixel(k * steps.line, 0).x);
            painter.drawLine(QPointF(x, 0), QPointF(x, size.height()));
        }
        for (double k = firstY; k * steps.line <= shown.MaxY; ++k) {
            if (isLabelLine(k) != (pass == 1)) continue;
            const double y = std::round(view.toPixel(0, k * steps.line).y);
            painter.drawLine(QPointF(0, y), QPointF(size.width(), y));
        }
    }
}

void drawGridLabels(QPainter& painter, const ViewTransform& view, const QSize& size) {
    const GridSteps steps = gridSteps(view.pixelsPerMm());
    const MmRect shown = view.visible(size.width(), size.height());
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(kLabel);
    for (double k = std::ceil(shown.MinX / steps.label); k * steps.label <= shown.MaxX; ++k) {
        const double value = k * steps.label;
        painter.drawText(QPointF(std::round(view.toPixel(value, 0).x) + 2, 11), label(value));
    }
    for (double k = std::ceil(shown.MinY / steps.label); k * steps.label <= shown.MaxY; ++k) {
        const double value = k * steps.label;
        painter.drawText(QPointF(2, std::round(view.toPixel(0, value).y) - 2), label(value));
    }
}

QPointF pointOf(const ViewTransform& view, double x, double y) {
    const PixelPoint p = view.toPixel(x, y);
    return QPointF(p.x, p.y);
}

}  // namespace

PreviewSurface::PreviewSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(300, 300);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

QSize PreviewSurface::pictureSize() const {
    const qreal ratio = devicePixelRatioF();
    return QSize(static_cast<int>(std::lround(width() * ratio)),
                 static_cast<int>(std::lround(height() * ratio)))
        .expandedTo(QSize(1, 1));
}

void PreviewSurface::setContent(std::shared_ptr<const PreviewScene> scene, std::size_t count,
                                double fieldWidth) {
    scene_ = std::move(scene);
    count_ = count;
    fieldWidth_ = fieldWidth;
    changed();
}

void PreviewSurface::showScale(const ViewBounds& bounds, double scale, bool margin) {
    field_ = bounds;
    scale_ = scale;
    margin_ = margin;
    follow_ = Follow::Scale;
    followSize();
}

void PreviewSurface::fitAll() {
    follow_ = Follow::Fit;
    followSize();
}

void PreviewSurface::setField(const ViewBounds& bounds) {
    field_ = bounds;
    followSize();
}

void PreviewSurface::followSize() {
    const QSize size = pictureSize();
    if (follow_ == Follow::Scale) {
        view_ = scaleView(field_, scale_, size.width(), size.height(), scaleMargin());
    } else if (follow_ == Follow::Fit) {
        MmRect content{field_.MinX, field_.MinY, field_.MaxX, field_.MaxY};
        if (const auto drawn = scene_ ? scene_->extent() : std::nullopt)
            content = content.united(*drawn);
        view_ = fitView(content, size.width(), size.height(), kFitMargin * devicePixelRatioF());
        emit zoomChanged();
    }
    changed();
}

double PreviewSurface::scaleMargin() const {
    return margin_ ? kFitMargin * devicePixelRatioF() : 0;
}

double PreviewSurface::scalePercent() const {
    const QSize size = pictureSize();
    return 100 * view_.pixelsPerMm() /
           scaleView(field_, 1, size.width(), size.height(), scaleMargin()).pixelsPerMm();
}

void PreviewSurface::setSelectedRecord(std::size_t record) {
    if (record == selected_) return;
    selected_ = record;
    changed();
}

void PreviewSurface::setMeasuring(bool on) {
    measuring_ = on;
    measure_.clear();
    changed();
    emit measureChanged();
}

void PreviewSurface::changed() {
    dirty_ = true;
    update();
}

const QImage& PreviewSurface::image() const {
    if (dirty_ || image_.size() != pictureSize()) render();
    return image_;
}

void PreviewSurface::setWritingWidth(double millimetres) {
    if (writingWidth_ == millimetres) return;
    writingWidth_ = millimetres;
    changed();
}

void PreviewSurface::render() const {
    dirty_ = false;
    const QSize size = pictureSize();
    image_ = QImage(size, QImage::Format_RGB32);
    image_.fill(Qt::white);
    {
        QPainter painter(&image_);
        drawGrid(painter, view_, size);
    }
    if (scene_) {
        PixelBuffer buffer{reinterpret_cast<std::uint32_t*>(image_.bits()), size.width(),
                           size.height(), image_.bytesPerLine() / 4};
        scene_->render(buffer, view_, count_, writingWidth_);
    }
    QPainter painter(&image_);
    if (fieldWidth_ > 0) {
        const double x = std::round(view_.toPixel(fieldWidth_, 0).x);
        painter.setPen(QColor(0, 0, 255));
        painter.drawLine(QPointF(x, 0), QPointF(x, size.height()));
    }
    // Smooth shapes are placed by pixel corners, the path by pixel centres.
    painter.translate(0.5, 0.5);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (scene_ && selected_ > 0 && scene_->segmentsUpTo(selected_) <= count_) {
        // The line's whole move: an arc, a drilling cycle or a return home
        // with all its parts, arcs as close as the picture draws them.
        const std::vector<MmPoint> path =
            scene_->pathOf(selected_, kArcPixels / view_.pixelsPerMm());
        if (!path.empty()) {
            QPolygonF line;
            line.reserve(static_cast<qsizetype>(path.size()));
            for (const MmPoint& p : path) line << pointOf(view_, p.X, p.Y);
            painter.setPen(QPen(kHighlight, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(line);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(kHighlight, 2));
            painter.drawEllipse(line.back(), 5, 5);
        }
    }
    if (!measure_.empty()) {
        painter.setPen(QPen(kMeasure, 1.5));
        for (const MmPoint& p : measure_) painter.drawEllipse(pointOf(view_, p.X, p.Y), 3, 3);
        if (measure_.size() == 2)
            painter.drawLine(pointOf(view_, measure_[0].X, measure_[0].Y),
                             pointOf(view_, measure_[1].X, measure_[1].Y));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.resetTransform();
    drawGridLabels(painter, view_, size);
    image_.setDevicePixelRatio(devicePixelRatioF());
}

void PreviewSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image());
}

void PreviewSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    followSize();
}

PixelPoint PreviewSurface::pixelAt(QPointF position) const {
    const qreal ratio = devicePixelRatioF();
    return {position.x() * ratio, position.y() * ratio};
}

void PreviewSurface::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    view_.zoomAbout(pixelAt(event->position()), std::pow(kWheelFactor, notches));
    follow_ = Follow::User;
    changed();
    emit zoomChanged();
    event->accept();
}

void PreviewSurface::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    dragging_ = false;
    pressAt_ = lastAt_ = event->position();
}

void PreviewSurface::mouseMoveEvent(QMouseEvent* event) {
    const PixelPoint at = pixelAt(event->position());
    const MmPoint mm = view_.toMm(at.x, at.y);
    emit cursorMoved(mm.X, mm.Y);
    if (!pressed_) return;
    if (!dragging_ && (event->position() - pressAt_).manhattanLength() < kDragThreshold) return;
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    const PixelPoint from = pixelAt(lastAt_);
    view_.panBy(at.x - from.x, at.y - from.y);
    lastAt_ = event->position();
    follow_ = Follow::User;
    changed();
}

void PreviewSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (dragging_) {
        dragging_ = false;
        setCursor(Qt::CrossCursor);
        return;
    }
    click(pixelAt(event->position()));
}

void PreviewSurface::click(PixelPoint at) {
    const MmPoint mm = view_.toMm(at.x, at.y);
    if (measuring_) {
        if (measure_.size() == 2) measure_.clear();
        measure_.push_back(mm);
        changed();
        emit measureChanged();
        return;
    }
    if (!scene_) return;
    const double reach = kPickReach * devicePixelRatioF() / view_.pixelsPerMm();
    if (const auto record = scene_->recordNear(mm, reach, count_)) emit recordClicked(*record);
}

void PreviewSurface::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home) {
        fitAll();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreviewSurface::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit cursorLeft();
}
