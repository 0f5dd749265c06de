#pragma once

#include <vector>

#include "gcode/PenPoints.h"

// A bold stroke: `copies` parallel copies of the stroke's drawing points,
// `spacing` mm apart across it and centred on it, written back and forth so the
// pen goes from the end of one copy to the start of the next without a lift
// (that step lies across the stroke's own end, inside the ink). Corners are
// mitred, a miter at most twice the offset long. A stroke of one point, or
// one copy, comes back as it is. Coordinates are finished: hundredths, never 0.
std::vector<PenPoint> BoldStroke(const std::vector<PenPoint>& stroke, int copies, double spacing);
