#include "machine/ui/ProgramView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <limits>

#include "machine/MachineProgram.h"

namespace {

// Arcs are drawn in chords this close to them, in millimetres.
constexpr double kArcTolerance = 0.01;

}  // namespace

ProgramView::ProgramView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 240);
    setFocusPolicy(Qt::StrongFocus);
}

void ProgramView::setProgram(std::shared_ptr<const MachineProgram> program) {
    program_ = std::move(program);
    bounds_ = QRectF();
    marked_ = -1;
    if (program_) {
        const ProgramExtent& x = program_->extent();
        if (x.used[0] && x.used[1])
            bounds_ = QRectF(QPointF(x.min[0], x.min[1]), QPointF(x.max[0], x.max[1]));
    }
    picture_ = QImage();
    update();
}

void ProgramView::setToolPosition(double x, double y) {
    // Five status reports a second: a machine that stands costs no drawing.
    if (toolKnown_ && tool_ == QPointF(x, y)) return;
    tool_ = QPointF(x, y);
    toolKnown_ = true;
    update();
}

void ProgramView::markLine(long long index) {
    marked_ = index;
    update();
}

QPointF ProgramView::lineStart(std::size_t index) const {
    if (!program_ || program_->size() == 0) return {};
    const PathPoint p = program_->path().lineStart(std::min(index, program_->size() - 1));
    return {p.X, p.Y};
}

QPointF ProgramView::toScreen(QPointF mm) const {
    return {origin_.x() + (mm.x() - bounds_.left()) * scale_,
            origin_.y() - (mm.y() - bounds_.top()) * scale_};
}

void ProgramView::resizeEvent(QResizeEvent* event) {
    picture_ = QImage();
    QWidget::resizeEvent(event);
}

void ProgramView::drawPicture() {
    picture_ = QImage(size(), QImage::Format_RGB32);
    picture_.fill(Qt::white);
    const double margin = 16;
    const double w = std::max(bounds_.width(), 1.0);
    const double h = std::max(bounds_.height(), 1.0);
    scale_ = std::min((width() - 2 * margin) / w, (height() - 2 * margin) / h);
    origin_ = QPointF((width() - w * scale_) / 2, (height() + h * scale_) / 2);
    QPainter p(&picture_);
    QPainterPath writing, travel;
    const ProgramPath& path = program_->path();
    const auto screen = [this](const PathPoint& q) { return toScreen(QPointF(q.X, q.Y)); };
    for (std::size_t i = 0; i < path.size(); ++i) {
        path.forEachPiece(i, [&](const PathPoint& from, const ProgramPath::Piece& piece) {
            // Lifts and plunges are not seen from above.
            if (from.X == piece.to.X && from.Y == piece.to.Y && !piece.isArc) return;
            QPainterPath& into = piece.rapid ? travel : writing;
            into.moveTo(screen(from));
            if (!piece.isArc) {
                into.lineTo(screen(piece.to));
                return;
            }
            const ArcTracer tracer(from, piece.to, piece.arc);
            tracer.forEachChordEnd(ArcChords(from, piece.to, piece.arc, kArcTolerance),
                                   [&](const PathPoint& q) { into.lineTo(screen(q)); });
        });
    }
    p.setPen(QPen(QColor(0, 160, 0), 0, Qt::DotLine));
    p.drawPath(travel);
    p.setPen(QPen(Qt::red, 0));
    p.drawPath(writing);
}

void ProgramView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!program_ || program_->size() == 0 || bounds_.isNull()) {
        p.fillRect(rect(), Qt::white);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("Нет программы"));
        return;
    }
    if (picture_.size() != size()) drawPicture();
    p.drawImage(0, 0, picture_);
    p.setRenderHint(QPainter::Antialiasing);
    if (marked_ >= 0) {
        p.setPen(QPen(QColor(255, 140, 0), 2));
        p.drawEllipse(toScreen(lineStart(static_cast<std::size_t>(marked_))), 7, 7);
    }
    if (toolKnown_) {
        const QPointF t = toScreen(tool_);
        p.setPen(QPen(Qt::blue, 2));
        p.drawLine(t + QPointF(-8, 0), t + QPointF(8, 0));
        p.drawLine(t + QPointF(0, -8), t + QPointF(0, 8));
    }
}

void ProgramView::mousePressEvent(QMouseEvent* event) {
    if (!program_ || program_->size() == 0 || bounds_.isNull()) return;
    const ProgramPath& path = program_->path();
    const QPointF at = event->position();
    double best = std::numeric_limits<double>::max();
    std::size_t bestLine = 0;
    // The line whose move ends nearest; the pick is the next line, which starts there.
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        if (path.kind(i) == ProgramPath::Kind::None) continue;
        const PathPoint end = path.end(i);
        const QPointF d = toScreen(QPointF(end.X, end.Y)) - at;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance < best) {
            best = distance;
            bestLine = i + 1;
        }
    }
    emit lineClicked(bestLine);
}
