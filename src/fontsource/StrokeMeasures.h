#pragma once

#include <vector>

#include "fontsource/Geometry.h"
#include "fontsource/OutlineArea.h"

// How well strokes drawn with a round pen reproduce a filled glyph, judged on
// pixels: both are rasterised on one grid (a pixel counts when its centre is
// inside the glyph, or within the pen's half-width of a stroke).
namespace fontc {

struct StrokeMeasures {
    double coverage = 0;  // share of the glyph's pixels the pen covers
    double spill = 0;     // share of the pen's pixels outside the glyph
};

StrokeMeasures measureStrokes(const OutlineArea& area, const std::vector<Polyline>& strokes,
                              double penWidth, double pixel);

// Median of the values, each counted with its weight; 0 when there are none.
double weightedMedian(std::vector<std::pair<double, double>> valueAndWeight);

}  // namespace fontc
