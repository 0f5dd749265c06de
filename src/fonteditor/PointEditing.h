#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "fonteditor/LetterEditing.h"

// Editing a letter on the drawing: finding the point or the segment under the
// mouse, selecting several points and moving, deleting, mirroring, scaling,
// copying and pasting them. Break marks are never moved: they are no points.
namespace letteredit {

// Every line as a point in double precision (a break mark reads as 0,0).
std::vector<Point> parsePoints(const std::vector<std::string>& lines);

// The point nearest to (x, y) within `radius` letter units; break marks are
// no points and are not found.
std::optional<std::size_t> pointAt(const std::vector<Point>& points,
                                   const std::vector<std::string>& lines, double x, double y,
                                   double radius);

struct Area {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};
// The points (break marks aside) inside the area, corners in any order, ascending.
std::vector<std::size_t> pointsWithin(const std::vector<Point>& points,
                                      const std::vector<std::string>& lines, Area area);

// Makes `positions` the selection; `primary` (or the first one) the point the
// point list shows and the one-point commands work on.
void select(Letter& letter, std::vector<std::size_t> positions,
            std::optional<std::size_t> primary = std::nullopt);
// Adds the point to the selection or takes it out (Ctrl+click).
void toggle(Letter& letter, std::size_t position);

// A drag of the selection: where each selected point stood when it began, so
// that every mouse move places the points anew from there and no rounding
// piles up however long the drag.
struct Drag {
    std::vector<std::size_t> moved;
    std::vector<Point> from;
};
Drag startDrag(const Letter& letter);
// Places the dragged points (dx, dy) away from where the drag began.
void dragBy(Letter& letter, const Drag& drag, double dx, double dy);

// Moves the selected points by (dx, dy); false when nothing is selected.
bool moveSelection(Letter& letter, double dx, double dy);
// Deletes the selected lines; false when nothing is selected.
bool removeSelection(Letter& letter);

// Inserts a point on the drawn segment nearest to (x, y), if one passes within
// `tolerance`, at the foot of the perpendicular, and selects it.
std::optional<std::size_t> insertOnSegment(Letter& letter, double x, double y, double tolerance);

// Mirrors (left to right when `horizontal`, else top to bottom) or scales the
// selected points, or the whole letter when none is selected, about the middle
// of their extent. False when there was nothing to change or a coordinate would
// leave ±kCoordinateLimit (then nothing changes).
bool mirrorSelection(Letter& letter, bool horizontal);
bool scaleSelection(Letter& letter, double factor);

// The selected lines, or the whole letter when none is selected, in the
// letter file's form (each line ended by CR LF), break marks included.
std::string copyText(const Letter& letter);
// Inserts the point lines of `text` behind the selected point (at the end
// when none is selected) and selects them. The text is taken line by line
// (CR LF, CR or LF); blank lines are skipped. Returns false, changing nothing,
// when the text holds no line or a line that is no point within the limits.
bool paste(Letter& letter, const std::string& text);

// `value` on the nearest multiple of `step` (unchanged when step is not positive).
double snapToGrid(double value, double step);

}  // namespace letteredit
