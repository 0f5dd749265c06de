#pragma once

#include <vector>

#include "fontsource/Geometry.h"
#include "fontsource/OutlineArea.h"

// The strokes a person would draw through a filled glyph: its medial axis
// without the branches that only reach into corners, junctions straightened,
// free ends carried out to where the stroke ends, small dots kept as short
// strokes. Every point keeps the local stroke width (twice its distance to the
// outline).
namespace fontc {

struct CentreLineSettings {
    double tolerance = 1;  // largest deviation of a simplified line, outline units
    // A branch into a corner of the outline is dropped when it reaches less than
    // this many junction radii past the junction's circle; a branch to a stroke
    // end (its corners already dropped), when it reaches less than stubReach.
    double cornerReach = 3;
    double stubReach = 0.6;
    // A short stroke end between two branches that meet at an angle (the foot of
    // a V cut off square) is dropped when it reaches less than this.
    double cutCornerReach = 2.5;
    // Junction branches are cut this many junction radii from it and joined again straight.
    double junctionCut = 1.3;
    // Two branches of a junction that turn less than this (radians) go on through it.
    double throughAngle = 0.55;
    // A free end stops this share of the local half-width short of the outline.
    double endInset = 0;
};

struct CentreStroke {
    Polyline points;
    std::vector<double> widths;  // beside points
};

struct CentreLines {
    std::vector<CentreStroke> strokes;
    // Length of every branch from a junction to a free end, for counting spurs.
    std::vector<double> freeBranches;
    // The stroke width along the axis and the length it holds for, piece by piece.
    std::vector<std::pair<double, double>> widthSamples;
};

CentreLines centreLines(const OutlineArea& area, const CentreLineSettings& settings = {});

}  // namespace fontc
