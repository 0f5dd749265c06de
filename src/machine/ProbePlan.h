#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// Probing with GRBL's G38.2 (the tool or a probe lowered at a feed until it
// touches; GRBL then reports "[PRB:x,y,z:1]" in machine coordinates), in
// millimetres of work coordinates.

// A grid to probe: columns × rows points evenly from (x0, y0) to (x1, y1).
// Over each the tool goes at `retract` above the work zero, then down at
// `feed` to at most `depth` below it.
struct ProbeGrid {
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
    std::size_t columns = 3;
    std::size_t rows = 3;
    double feed = 100;
    double retract = 2;
    double depth = 5;
};

// The points in the order they are probed: row by row, every other row back,
// so the tool never crosses the plate between two points.
std::vector<std::array<double, 2>> ProbeOrder(const ProbeGrid& grid);

// The lines that probe the grid, ending at the retract height over the last point.
std::vector<std::string> ProbeGridLines(const ProbeGrid& grid);

// A Z zero by a touch plate under the tool: down at `feed` by at most `depth`.
// After the touch the work zero is set where the plate's lower face is (the
// plate `thickness` below the touch), then the tool goes up by `retract`.
std::vector<std::string> TouchPlateLines(double depth, double feed);
// The lines once GRBL has told the touch (machine Z) and the machine stands
// at `machineZ`: the work Z there is the plate's thickness plus how far the
// tool went on after the touch.
std::vector<std::string> TouchPlateZeroLines(double touchZ, double machineZ, double thickness,
                                             double retract);
