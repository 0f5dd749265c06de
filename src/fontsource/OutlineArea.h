#pragma once

#include <optional>
#include <vector>

#include "fontsource/Geometry.h"

// The filled area of an outline glyph: its contours merged where they overlap,
// as rings that keep the inside on their left (outer rings counter-clockwise,
// holes clockwise, y upward), every vertex on a fixed grid.
namespace fontc {

// One connected piece of ink: its outer ring first, then its holes.
struct AreaPart {
    std::vector<Polyline> rings;
};

struct OutlineArea {
    std::vector<AreaPart> parts;
    double grid = 1;  // every coordinate is a whole multiple of it
};

// Merges closed contours (the last point joins the first) by the non-zero rule
// that TrueType and CFF outlines follow; vertices are rounded to the grid.
OutlineArea mergeContours(const std::vector<Polyline>& contours, double grid);

double area(const AreaPart& part);
bool contains(const OutlineArea& area, Point p);
// Distance from p to the nearest ring.
double distanceToOutline(const OutlineArea& area, Point p);
// How far a ray from p along the unit direction runs before it meets a ring.
std::optional<double> rayToOutline(const OutlineArea& area, Point p, Point direction);

}  // namespace fontc
