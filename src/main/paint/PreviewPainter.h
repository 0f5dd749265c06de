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
// a move shorter than a pixel shows as that pixel. Writing (red) is drawn
// writingWidth mm wide with round ends once that is more than a pixel and a half.
QImage paintPreview(const QSize& size, const PenPoints& points, std::size_t count,
                    DrawingMode drawMode, const PreviewView& view, double fieldWidth,
                    EventPump& pump, double writingWidth = 0);

// Only the ink the tool leaves: the writing, writingWidth mm wide (at least a
// pixel), black on white; no travel, no border. A code drawn so scans.
QImage paintInk(const QSize& size, const PenPoints& points, std::size_t count, DrawingMode drawMode,
                const PreviewView& view, double writingWidth);

// The same picture of a laid-out path that is no whole program: the move from
// the origin to the first point is left out, so the picture starts where the
// pen first comes down (a sample line of a font). No field border.
QImage paintPathFromFirstPoint(const QSize& size, const PenPoints& points, const PreviewView& view);
