#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/VezorError.h"

// A height map that cannot be read or used; the message (Windows-1251) names
// the line or the place.
class HeightMapError : public VezorError {
  public:
    using VezorError::VezorError;
};

// The top of a work piece probed on a grid: columns × rows points evenly
// spaced from (x0, y0) to (x1, y1), each the surface's z, all in millimetres
// of the work coordinates the probing ran in. Between points the surface is
// taken as bilinear; beyond the grid as its nearest edge.
struct HeightMap {
    std::size_t columns = 0;
    std::size_t rows = 0;
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
    std::vector<double> z;  // row by row from y0, each from x0
    // The machine's work offset (WCO) while it was probed: the map holds only
    // for the same work zero.
    std::optional<std::array<double, 3>> workOffset;

    double pointX(std::size_t column) const;
    double pointY(std::size_t row) const;
    double at(std::size_t column, std::size_t row) const { return z[row * columns + column]; }
    // The surface's height at (x, y).
    double height(double x, double y) const;
    double highest() const;
    double lowest() const;
    // How far (x, y) lies outside the grid's area; 0 inside.
    double outside(double x, double y) const;
};

// The map as a table: comment lines with the grid's size and the work
// offset, then "x,y,z" and one line a point (3 decimals).
std::string HeightMapText(const HeightMap& map);
// Reads such a table (points in any order, the grid complete); throws
// HeightMapError naming the line.
HeightMap ParseHeightMap(std::string_view text);

// Throws FileReadError or HeightMapError.
HeightMap ReadHeightMapFile(const std::string& path);
// Written through a temporary file; throws FileWriteError.
void WriteHeightMapFile(const std::string& path, const HeightMap& map);
