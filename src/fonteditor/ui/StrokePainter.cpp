#include "fonteditor/ui/StrokePainter.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "fonteditor/PointLabels.h"

namespace {

using strokeanatomy::SegmentKind;

// Arrowheads keep their size in pixels at every zoom: large ones would hide
// the letter, and a piece too short to carry one clear of its ends gets none.
constexpr double kArrowLength = 7;
constexpr double kArrowHalfWidth = 3.2;
constexpr double kShortestArrowed = 4 * kArrowLength;
constexpr std::size_t kManyLines = 3000;

const QColor kArrow(150, 0, 0);
const QColor kPaleArrow(205, 75, 75);
const QColor kNumber(40, 40, 40);

double length(QPointF v) { return std::hypot(v.x(), v.y()); }

QPointF unit(QPointF v) {
    const double l = length(v);
    return l > 0 ? v / l : QPointF();
}

// A drawn-again piece carries its arrow off the middle, so that a piece walked
// back over shows both arrows apart.
void addArrow(QPainterPath& heads, QPointF a, QPointF b, double at) {
    const QPointF d = unit(b - a);
    const QPointF n(-d.y(), d.x());
    const QPointF tip = a + (b - a) * at + d * (kArrowLength / 2);
    const QPointF back = tip - d * kArrowLength;
    heads.moveTo(tip);
    heads.lineTo(back + n * kArrowHalfWidth);
    heads.lineTo(back - n * kArrowHalfWidth);
    heads.closeSubpath();
}

QPen roundPen(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, width, style);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void paintNumbers(QPainter& painter, const strokeanatomy::Anatomy& a, const StrokeView& view,
                  double clearance) {
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    // Every marked point asks for a place on the side away from its two lines;
    // a point the stroke passes again is one label with all its numbers.
    std::vector<pointlabels::Request> requests;
    std::vector<QString> texts;
    std::map<std::pair<long long, long long>, std::size_t> labelAt;
    for (std::size_t i : a.marked) {
        const auto key =
            std::pair(std::llround(a.points[i].x * 100), std::llround(a.points[i].y * 100));
        if (const auto found = labelAt.find(key); found != labelAt.end()) {
            texts[found->second] += ", " + QString::number(i + 1);
            continue;
        }
        labelAt.emplace(key, requests.size());
        const QPointF p = view.at(a.points[i]);
        QPointF away;
        for (std::size_t j : {i - 1, i + 1})
            if (j < a.points.size() && a.points[j].x > 0 && a.points[j].y > 0)
                away -= unit(view.at(a.points[j]) - p);
        if (length(away) < 0.2) away = QPointF(1, -1);
        texts.push_back(QString::number(i + 1));
        requests.push_back({p, unit(away), {}});
    }
    for (std::size_t k = 0; k < requests.size(); ++k)
        requests[k].size = metrics.size(0, texts[k]) + QSizeF(2, 0);
    const auto boxes = pointlabels::place(requests, clearance, view.visible);
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (!boxes[k]) continue;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 210));
        painter.drawRect(*boxes[k]);
        painter.setPen(kNumber);
        painter.drawText(*boxes[k], Qt::AlignCenter, texts[k]);
    }
    painter.setBrush(Qt::NoBrush);
}

}  // namespace

void paintStroke(QPainter& painter, const strokeanatomy::Anatomy& a, const StrokeView& view,
                 bool showPoints) {
    using namespace strokecolours;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const auto from = [&](const strokeanatomy::Segment& s) { return view.at(a.points[s.from]); };
    const auto to = [&](const strokeanatomy::Segment& s) { return view.at(a.points[s.to]); };

    // Only lines that can touch the picture are drawn; the margin covers the
    // widest pen.
    const QRectF reach = view.visible.adjusted(-4, -4, 4, 4);
    std::vector<QLineF> bands;
    std::vector<QLineF> joins;
    std::vector<QLineF> inked;
    for (const auto& s : a.segments) {
        const QPointF p = from(s);
        const QPointF q = to(s);
        if (std::max(p.x(), q.x()) < reach.left() || std::min(p.x(), q.x()) > reach.right() ||
            std::max(p.y(), q.y()) < reach.top() || std::min(p.y(), q.y()) > reach.bottom())
            continue;
        if (s.kind == SegmentKind::Retrace) bands.emplace_back(p, q);
        (s.kind == SegmentKind::Join ? joins : inked).emplace_back(p, q);
    }
    // A letter of thousands of lines is redrawn at every step of a drag; at
    // that density smoothing shows nowhere but costs most of the frame.
    const bool many = bands.size() + joins.size() + inked.size() > kManyLines;
    painter.setRenderHint(QPainter::Antialiasing, !many);
    const auto stroke = [&](const std::vector<QLineF>& lines, QPen pen) {
        if (many) pen.setCapStyle(Qt::SquareCap);  // round ends are curves, each costing a path
        painter.setPen(pen);
        if (many) {
            painter.drawLines(lines.data(), static_cast<int>(lines.size()));
            return;
        }
        for (const QLineF& line : lines) painter.drawLine(line);
    };
    // Under the letter: a pale band along every piece drawn again.
    stroke(bands, roundPen(kPale, 6));
    stroke(joins, roundPen(kPale, 1.3, Qt::DashLine));
    stroke(inked, roundPen(kInk, 1.5));
    painter.setRenderHint(QPainter::Antialiasing, true);

    QPainterPath heads;
    QPainterPath paleHeads;
    for (const auto& s : a.segments) {
        const QPointF p = from(s);
        const QPointF q = to(s);
        if (length(q - p) < kShortestArrowed || !view.visible.contains((p + q) / 2)) continue;
        if (s.kind == SegmentKind::Ink)
            addArrow(heads, p, q, 0.5);
        else
            addArrow(paleHeads, p, q, s.kind == SegmentKind::Retrace ? 0.7 : 0.5);
    }
    painter.fillPath(paleHeads, kPaleArrow);
    painter.fillPath(heads, kArrow);

    const double clearance = std::clamp(view.unit, 3.0, 8.0);
    if (showPoints) {
        painter.setPen(QPen(kInk, 1));
        for (std::size_t i : a.marked) {
            const QPointF c = view.at(a.points[i]);
            if (!view.visible.adjusted(-20, -20, 20, 20).contains(c)) continue;
            painter.drawPoint(c);
            for (double r : {0.5, 0.75, 1.0}) painter.drawEllipse(c, r * view.unit, r * view.unit);
        }
    }

    // The ends last; where a closed letter ends on its start, the end is a red
    // ring around the green point.
    const double disc = std::clamp(view.unit * 1.2, 4.5, 8.0);
    const bool closed = a.start && a.end && *a.start != *a.end &&
                        length(view.at(a.points[*a.start]) - view.at(a.points[*a.end])) < disc;
    if (a.end && closed) {
        painter.setPen(QPen(kEnd, 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(view.at(a.points[*a.end]), disc + 2.5, disc + 2.5);
    }
    painter.setPen(QPen(Qt::white, 1.2));
    if (a.end && !closed) {
        painter.setBrush(kEnd);
        painter.drawEllipse(view.at(a.points[*a.end]), disc, disc);
    }
    if (a.start) {
        painter.setBrush(kStart);
        painter.drawEllipse(view.at(a.points[*a.start]), disc, disc);
    }
    painter.setBrush(Qt::NoBrush);

    if (showPoints) paintNumbers(painter, a, view, clearance);
    painter.restore();
}
