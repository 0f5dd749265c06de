#include "font/ui/LetterSurface.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
constexpr double kSpan = LetterSurface::kRight - LetterSurface::kLeft;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kMagenta(255, 0, 255);

struct Guide {
    double x1, y1, x2, y2;
    QColor colour;
};

// The letter box's edges across the whole surface, and the 90 and 80 unit
// squares that share its bottom-left corner.
const Guide kGuides[] = {
    {-10, 0, 110, 0, kGreen},     {0, 10, 90, 10, kBlue},      {0, 20, 80, 20, kMagenta},
    {-10, 100, 110, 100, kGreen}, {0, -10, 0, 110, kGreen},    {100, -10, 100, 110, kGreen},
    {90, 10, 90, 100, kBlue},     {80, 20, 80, 100, kMagenta},
};

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}
}  // namespace

LetterSurface::LetterSurface(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(240, 240);
    setCursor(Qt::CrossCursor);
}

void LetterSurface::clearLetter() {
    drawing_ = {};
    highlight_.reset();
    update();
}

void LetterSurface::setLetter(letteredit::Drawing drawing) {
    drawing_ = std::move(drawing);
    highlight_.reset();
    update();
}

void LetterSurface::setHighlight(std::optional<letteredit::Point> point) {
    highlight_ = point;
    update();
}

QPointF LetterSurface::toLetterUnits(QPointF p) const {
    return {kLeft + p.x() * kSpan / std::max(1, width()),
            kLeft + p.y() * kSpan / std::max(1, height())};
}

QPointF LetterSurface::toWidget(QPointF units) const {
    return {(units.x() - kLeft) * width() / kSpan, (units.y() - kLeft) * height() / kSpan};
}

QImage LetterSurface::render(QSize size) const {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, QSizeF(size));
    return image;
}

void LetterSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, QSizeF(size()));
}

void LetterSurface::paint(QPainter& painter, QSizeF size) const {
    const double sx = size.width() / kSpan;
    const double sy = size.height() / kSpan;
    const auto at = [&](double x, double y) { return QPointF((x - kLeft) * sx, (y - kLeft) * sy); };

    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, true);

    for (const Guide& g : kGuides) {
        painter.setPen(QPen(g.colour, 1));
        painter.drawLine(at(g.x1, g.y1), at(g.x2, g.y2));
    }

    QFont font = painter.font();
    font.setPixelSize(std::clamp(static_cast<int>(3.0 * std::min(sx, sy)), 8, 16));
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    const auto text = [&](double x, double y, const QString& s) {
        painter.drawText(QRectF(at(x, y), QSizeF(size.width(), size.height())),
                         Qt::AlignLeft | Qt::AlignTop, s);
    };
    text(-4, -4, QStringLiteral("X=0,Y=0"));
    text(90, 100, QStringLiteral("X=100,Y=100"));

    const auto mark = [&](letteredit::Point p, const QColor& colour) {
        painter.setPen(QPen(colour, 1));
        painter.setBrush(Qt::NoBrush);
        const QPointF centre = at(p.x, p.y);
        painter.drawPoint(centre);
        for (double r : {0.5, 0.75, 1.0}) painter.drawEllipse(centre, r * sx, r * sy);
    };
    painter.setPen(QPen(kRed, 1.5));
    for (const auto& line : drawing_.lines)
        painter.drawLine(at(line.from.x, line.from.y), at(line.to.x, line.to.y));
    for (const auto& p : drawing_.marks) mark(p, kRed);
    if (highlight_) mark(*highlight_, kGreen);
}

void LetterSurface::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPointF units = toLetterUnits(event->position());
    emit mousePressed(event->button(), units.x(), units.y());
    event->accept();
}

void LetterSurface::keyPressEvent(QKeyEvent* event) {
    repeats_.press(event->key(), event->timestamp(), event->isAutoRepeat());
    // Arrows belong to the surface; they must not move the focus on.
    if (isArrow(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LetterSurface::keyReleaseEvent(QKeyEvent* event) {
    // One step per press of the key, however long it is held.
    if (!repeats_.release(event->key(), event->timestamp(), event->isAutoRepeat())) return;
    emit keyReleased(event->key());
    event->accept();
}
