#include "machine/ProbePlan.h"

#include "gcode/MoveNumber.h"

namespace {

std::string num(double v) { return movenumber::fixedText(v, 3, true); }

double spread(double from, double to, std::size_t i, std::size_t count) {
    return count < 2 ? from : from + (to - from) * static_cast<double>(i) / (count - 1);
}

}  // namespace

std::vector<std::array<double, 2>> ProbeOrder(const ProbeGrid& grid) {
    std::vector<std::array<double, 2>> points;
    for (std::size_t row = 0; row < grid.rows; ++row)
        for (std::size_t k = 0; k < grid.columns; ++k) {
            const std::size_t column = row % 2 == 0 ? k : grid.columns - 1 - k;
            points.push_back({spread(grid.x0, grid.x1, column, grid.columns),
                              spread(grid.y0, grid.y1, row, grid.rows)});
        }
    return points;
}

std::vector<std::string> ProbeGridLines(const ProbeGrid& grid) {
    std::vector<std::string> lines{"G21G90", "G0Z" + num(grid.retract)};
    for (const auto& [x, y] : ProbeOrder(grid)) {
        lines.push_back("G0X" + num(x) + "Y" + num(y));
        lines.push_back("G38.2Z" + num(-grid.depth) + "F" + num(grid.feed));
        lines.push_back("G0Z" + num(grid.retract));
    }
    return lines;
}

std::vector<std::string> TouchPlateLines(double depth, double feed) {
    return {"G21G91", "G38.2Z" + num(-depth) + "F" + num(feed), "G90"};
}

std::vector<std::string> TouchPlateZeroLines(double touchZ, double machineZ, double thickness,
                                             double retract) {
    return {"G10L20P0Z" + num(thickness + (machineZ - touchZ)), "G21G91G0Z" + num(retract), "G90"};
}
