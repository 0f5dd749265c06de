#pragma once

#include <string>
#include <vector>

#include "gcode/PenPoints.h"
#include "main/ViewTransform.h"

// A laid-out plate for laser and vinyl software: the writing and the travel
// as drawings in millimetres, true to scale.

// The moves of a laid-out tool path as the program makes them: strokes with
// the pen down, and the travel from the origin and between strokes.
struct PlatePaths {
    std::vector<std::vector<MmPoint>> writing;  // a stroke of one point is a dot
    std::vector<std::pair<MmPoint, MmPoint>> travel;
    MmRect extent;  // the field and everything drawn, origin included
};
PlatePaths PathsOfPlate(const PenPoints& points, const ViewBounds& field);

// An SVG document (UTF-8): width and height in millimetres, the view box in
// millimetres with Y turned downward, the writing as one layer drawn
// lineWidth wide and the travel as another, hidden.
std::string PlateSvg(const PlatePaths& paths, double lineWidth);

// A DXF drawing (AutoCAD R12 text, millimetres): the strokes as polylines on
// layer WRITING, the travel as lines on layer TRAVEL, which is switched off.
std::string PlateDxf(const PlatePaths& paths);
