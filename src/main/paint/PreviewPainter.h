#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>

#include "lib/EventPump.h"
#include "main/PenPoints.h"
#include "main/PreviewGeometry.h"

// Draws the preview of records 1..count into a white image of the given size:
// the view's corners fall on the image's corner pixels, so a border at the
// view's right edge shows in its last column. Moves are drawn in their order;
// a move shorter than a pixel shows as that pixel.
QImage paintPreview(const QSize& size, const PenPoints& points, std::size_t count,
                    DrawingMode drawMode, const PreviewView& view, double fieldWidth,
                    EventPump& pump);
