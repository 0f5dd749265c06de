#include "fonteditor/ui/FontPageSurface.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>

FontPageSurface::FontPageSurface(QWidget* parent) : QWidget(parent) {
    setMinimumSize(400, 400);
    setCursor(Qt::PointingHandCursor);
}

void FontPageSurface::clear() {
    grid_ = false;
    texts_.clear();
    polylines_.clear();
    update();
}

void FontPageSurface::showGrid() {
    grid_ = true;
    update();
}

void FontPageSurface::addText(fontpage::PagePoint topLeft, const QString& text,
                              const QColor& colour) {
    texts_.push_back({topLeft, text, colour});
    update();
}

void FontPageSurface::addPolyline(std::vector<fontpage::PagePoint> polyline) {
    polylines_.push_back(std::move(polyline));
    update();
}

QImage FontPageSurface::render(QSize size) const {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, QSizeF(size));
    return image;
}

void FontPageSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, QSizeF(size()));
}

void FontPageSurface::paint(QPainter& painter, QSizeF size) const {
    using namespace fontpage;
    const double sx = size.width() / kPageWidth;
    const double sy = size.height() / kPageHeight;
    const auto at = [&](PagePoint p) { return QPointF(p.x * sx, p.y * sy); };

    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, true);

    if (grid_) {
        painter.setPen(QPen(Qt::black, 1));
        for (int i = 0; i <= kRows; ++i)
            painter.drawLine(at({0, i * kRowHeight}), at({kPageWidth, i * kRowHeight}));
        for (int c = 0; c <= kColumns; ++c)
            painter.drawLine(at({c * kColumnWidth, 0}), at({c * kColumnWidth, kPageHeight}));
    }

    // Text grows with the page, so that a cell reads the same at any window size.
    QFont font = painter.font();
    font.setPixelSize(
        std::max(6, static_cast<int>(std::min(kRowHeight * sy * 0.4, kColumnWidth * sx * 0.16))));
    painter.setFont(font);
    for (const Text& t : texts_) {
        painter.setPen(t.colour);
        painter.drawText(QRectF(at(t.topLeft), QSizeF(size.width(), size.height())),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, t.text);
    }

    painter.setPen(QPen(QColor(255, 0, 255), 1.2));
    for (const auto& line : polylines_) {
        if (line.size() < 2) continue;
        QPolygonF polygon;
        for (const PagePoint& p : line) polygon << at(p);
        painter.drawPolyline(polygon);
    }
}

void FontPageSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    const fontpage::PagePoint at{
        event->position().x() * fontpage::kPageWidth / std::max(1, width()),
        event->position().y() * fontpage::kPageHeight / std::max(1, height())};
    if (const auto cell = fontpage::cellAt(at)) emit cellClicked(cell->column, cell->row);
}
