#include "fonteditor/ui/LetterSurface.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "fonteditor/ui/StrokePainter.h"

namespace {
constexpr double kSpan = LetterSurface::kRight - LetterSurface::kLeft;
const QColor kGrid(0, 0, 0, 28);

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
    anatomy_ = {};
    highlight_.reset();
    update();
}

void LetterSurface::setStroke(const std::vector<std::string>& lines) {
    // The lines are read once: a letter of many points is redrawn at every step of a drag.
    anatomy_ = strokeanatomy::analyse(lines);
    drawing_ = strokeanatomy::drawingOf(anatomy_);
    highlight_.reset();
    update();
}

void LetterSurface::setShowPoints(bool show) {
    showPoints_ = show;
    update();
}

void LetterSurface::setHighlight(std::optional<letteredit::Point> point) {
    highlight_ = point;
    update();
}

void LetterSurface::setSelection(std::vector<letteredit::Point> points) {
    selection_ = std::move(points);
    update();
}

void LetterSurface::setRubberBand(std::optional<letteredit::Area> area) {
    rubberBand_ = area;
    update();
}

void LetterSurface::setGrid(double step) {
    gridStep_ = step;
    update();
}

void LetterSurface::fitView(const std::vector<letteredit::Point>& points) {
    view_.fit(points);
    update();
}

letteredit::LetterView LetterSurface::view() const {
    letteredit::LetterView view = view_;
    view.setSize(width(), height());
    return view;
}

void LetterSurface::setView(const letteredit::LetterView& view) {
    view_ = view;
    update();
}

QPointF LetterSurface::toLetterUnits(QPointF p) const {
    const letteredit::Point u = view().toUnits({p.x(), p.y()});
    return {u.x, u.y};
}

QPointF LetterSurface::toWidget(QPointF units) const {
    const letteredit::Point p = view().toPixels({units.x(), units.y()});
    return {p.x, p.y};
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
    letteredit::LetterView view = view_;
    view.setSize(size.width(), size.height());
    // Marks and texts keep their unzoomed size; only the letter grows.
    const double sx = size.width() / kSpan;
    const double sy = size.height() / kSpan;
    const auto at = [&](double x, double y) {
        const letteredit::Point p = view.toPixels({x, y});
        return QPointF(p.x, p.y);
    };

    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    if (gridStep_ > 0) {
        const auto span = view.visible();
        painter.setPen(QPen(kGrid, 1));
        for (double x :
             letteredit::gridLines(span.topLeft.x, span.bottomRight.x, gridStep_, view.scaleX()))
            painter.drawLine(QPointF(at(x, 0).x(), 0), QPointF(at(x, 0).x(), size.height()));
        for (double y :
             letteredit::gridLines(span.topLeft.y, span.bottomRight.y, gridStep_, view.scaleY()))
            painter.drawLine(QPointF(0, at(0, y).y()), QPointF(size.width(), at(0, y).y()));
    }
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
    const StrokeView strokeView{[&](letteredit::Point p) { return at(p.x, p.y); }, std::min(sx, sy),
                                QRectF(QPointF(0, 0), size)};
    paintStroke(painter, anatomy_, strokeView, showPoints_);
    // Selected points wear the point list's selection colour as hollow
    // squares: filled green they passed for the stroke's start, and hollow
    // they leave the point itself in sight.
    std::vector<QRectF> squares;
    squares.reserve(selection_.size());
    for (const auto& p : selection_)
        squares.emplace_back(at(p.x, p.y) - QPointF(4, 4), QSizeF(8, 8));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRects(squares.data(), static_cast<int>(squares.size()));
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (highlight_) mark(*highlight_, kGreen);
    if (rubberBand_) {
        painter.setPen(QPen(QColor(0, 90, 200), 1, Qt::DashLine));
        painter.setBrush(QColor(0, 90, 200, 30));
        painter.drawRect(QRectF(at(rubberBand_->left, rubberBand_->top),
                                at(rubberBand_->right, rubberBand_->bottom))
                             .normalized());
    }
}

void LetterSurface::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::MiddleButton) panFrom_ = event->position();
    const QPointF units = toLetterUnits(event->position());
    emit mousePressed(event->button(), units.x(), units.y(), event->modifiers());
    event->accept();
}

void LetterSurface::mouseMoveEvent(QMouseEvent* event) {
    if (panFrom_) {
        const QPointF moved = event->position() - *panFrom_;
        panFrom_ = event->position();
        view_.setSize(width(), height());
        view_.panBy(moved.x(), moved.y());
        update();
    } else if (event->buttons() & Qt::LeftButton) {
        const QPointF units = toLetterUnits(event->position());
        emit mouseMoved(units.x(), units.y());
    }
    event->accept();
}

void LetterSurface::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) panFrom_.reset();
    const QPointF units = toLetterUnits(event->position());
    emit mouseReleased(event->button(), units.x(), units.y());
    event->accept();
}

void LetterSurface::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) panFrom_ = event->position();
    const QPointF units = toLetterUnits(event->position());
    emit mouseDoubleClicked(event->button(), units.x(), units.y(), event->modifiers());
    event->accept();
}

void LetterSurface::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) {
        view_.setSize(width(), height());
        view_.zoomAbout({event->position().x(), event->position().y()}, std::pow(1.25, notches));
        update();
    }
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
    emit keyReleased(event->key(), event->modifiers());
    event->accept();
}
