#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <functional>

#include "fonteditor/StrokeAnatomy.h"

// Draws a letter's stroke so that its making shows: the lines in stroke order
// with small arrowheads, pieces drawn again and joins across break marks in a
// paler colour, the first point green and the last red, and, when asked, the
// point marks with their numbers (1 for the first line of the letter file).
struct StrokeView {
    std::function<QPointF(letteredit::Point)> at;  // letter units to pixels
    double unit = 1;                               // pixels per letter unit
    QRectF visible;                                // the pixels on show
};

void paintStroke(QPainter& painter, const strokeanatomy::Anatomy& anatomy, const StrokeView& view,
                 bool showPoints);

// Colours of the stroke, for whoever reads the picture back.
namespace strokecolours {
inline const QColor kInk(255, 0, 0);
inline const QColor kPale(255, 160, 160);
inline const QColor kStart(0, 160, 0);
inline const QColor kEnd(190, 0, 0);
}  // namespace strokecolours
