#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>

#include "gcode/PenPoints.h"
#include "lib/EventPump.h"
#include "main/PreviewGeometry.h"

// Draws the preview of records 1..count into a white image of the given size:
// the view's corners fall on the image's corner pixels, so a border at the
// view's right edge shows in its last column. Moves are drawn in their order;
// a move shorter than a pixel shows as that pixel.
QImage paintPreview(const QSize& size, const PenPoints& points, std::size_t count,
                    DrawingMode drawMode, const PreviewView& view, double fieldWidth,
                    EventPump& pump);

// The same picture of a laid-out path that is no whole program: the move from
// the origin to the first point is left out, so the picture starts where the
// pen first comes down (a sample line of a font). No field border.
QImage paintPathFromFirstPoint(const QSize& size, const PenPoints& points, const PreviewView& view);
