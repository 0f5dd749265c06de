#include "gcode/HeightMap.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "gcode/MoveNumber.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"

namespace {

std::string mm(double v) { return movenumber::fixedText(v, 3, false); }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::optional<double> number(std::string_view s) {
    s = trimmed(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::vector<std::string_view> fields(std::string_view line, char separator) {
    std::vector<std::string_view> out;
    while (true) {
        const std::size_t at = line.find(separator);
        out.push_back(line.substr(0, at));
        if (at == std::string_view::npos) return out;
        line.remove_prefix(at + 1);
    }
}

HeightMapError lineError(std::size_t line, const std::string& what) {
    return HeightMapError(cp("Карта высот, строка " + std::to_string(line) + ": " + what));
}

// The distinct values of one coordinate, those closer than this taken as one.
constexpr double kSamePlace = 0.0005;

std::vector<double> distinct(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::vector<double> out;
    for (const double v : values)
        if (out.empty() || v - out.back() > kSamePlace) out.push_back(v);
    return out;
}

}  // namespace

double HeightMap::pointX(std::size_t column) const {
    return columns < 2 ? x0 : x0 + (x1 - x0) * static_cast<double>(column) / (columns - 1);
}

double HeightMap::pointY(std::size_t row) const {
    return rows < 2 ? y0 : y0 + (y1 - y0) * static_cast<double>(row) / (rows - 1);
}

double HeightMap::height(double x, double y) const {
    const auto cell = [](double v, double from, double to, std::size_t count, std::size_t& index,
                         double& t) {
        const double span = to - from;
        double u = span > 0 ? (v - from) / span * static_cast<double>(count - 1) : 0;
        u = std::clamp(u, 0.0, static_cast<double>(count - 1));
        index = std::min(static_cast<std::size_t>(u), count - 2);
        t = u - static_cast<double>(index);
    };
    std::size_t i = 0, j = 0;
    double tx = 0, ty = 0;
    cell(x, x0, x1, columns, i, tx);
    cell(y, y0, y1, rows, j, ty);
    const double low = at(i, j) + (at(i + 1, j) - at(i, j)) * tx;
    const double high = at(i, j + 1) + (at(i + 1, j + 1) - at(i, j + 1)) * tx;
    return low + (high - low) * ty;
}

double HeightMap::highest() const { return *std::max_element(z.begin(), z.end()); }
double HeightMap::lowest() const { return *std::min_element(z.begin(), z.end()); }

double HeightMap::outside(double x, double y) const {
    const double dx = std::max({x0 - x, x - x1, 0.0});
    const double dy = std::max({y0 - y, y - y1, 0.0});
    return std::hypot(dx, dy);
}

std::string HeightMapText(const HeightMap& map) {
    std::string text = "# VEzor height map: the surface's z in work coordinates, mm\r\n";
    text += "# grid " + std::to_string(map.columns) + " x " + std::to_string(map.rows) + "\r\n";
    if (map.workOffset)
        text += "# work offset " + mm((*map.workOffset)[0]) + " " + mm((*map.workOffset)[1]) + " " +
                mm((*map.workOffset)[2]) + "\r\n";
    text += "x,y,z\r\n";
    for (std::size_t row = 0; row < map.rows; ++row)
        for (std::size_t column = 0; column < map.columns; ++column)
            text += mm(map.pointX(column)) + "," + mm(map.pointY(row)) + "," +
                    mm(map.at(column, row)) + "\r\n";
    return text;
}

HeightMap ParseHeightMap(std::string_view text) {
    HeightMap map;
    struct Point {
        double x, y, z;
        std::size_t line;
    };
    std::vector<Point> points;
    std::size_t lineNumber = 0;
    for (const std::string& raw : textfile::splitLines(std::string(text))) {
        ++lineNumber;
        const std::string_view line = trimmed(raw);
        if (line.empty()) continue;
        if (line.front() == '#') {
            constexpr std::string_view kOffset = "# work offset ";
            if (line.substr(0, kOffset.size()) == kOffset) {
                const auto parts = fields(line.substr(kOffset.size()), ' ');
                std::array<double, 3> offset{};
                if (parts.size() != 3)
                    throw lineError(lineNumber, "смещение нуля не из трёх чисел");
                for (std::size_t k = 0; k < 3; ++k) {
                    const auto v = number(parts[k]);
                    if (!v) throw lineError(lineNumber, "смещение нуля не из трёх чисел");
                    offset[k] = *v;
                }
                map.workOffset = offset;
            }
            continue;
        }
        const char separator = line.find(';') != std::string_view::npos ? ';' : ',';
        const auto parts = fields(line, separator);
        if (parts.size() == 3 && trimmed(parts[0]) == "x") continue;  // the header
        const auto x = parts.size() == 3 ? number(parts[0]) : std::nullopt;
        const auto y = parts.size() == 3 ? number(parts[1]) : std::nullopt;
        const auto z = parts.size() == 3 ? number(parts[2]) : std::nullopt;
        if (!x || !y || !z)
            throw lineError(lineNumber, "ожидались три числа x, y, z через запятую: «" +
                                            std::string(line.substr(0, 60)) + "»");
        points.push_back({*x, *y, *z, lineNumber});
    }
    std::vector<double> xs, ys;
    for (const Point& p : points) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    const std::vector<double> columns = distinct(xs), rows = distinct(ys);
    if (columns.size() < 2 || rows.size() < 2)
        throw HeightMapError(
            cp("В карте высот нет сетки: нужно хотя бы по две точки по X и по Y."));
    if (points.size() != columns.size() * rows.size())
        throw HeightMapError(cp("Карта высот неполна: " + std::to_string(points.size()) +
                                " точек, а сетка " + std::to_string(columns.size()) + " x " +
                                std::to_string(rows.size()) + " требует " +
                                std::to_string(columns.size() * rows.size()) + "."));
    map.columns = columns.size();
    map.rows = rows.size();
    map.x0 = columns.front();
    map.x1 = columns.back();
    map.y0 = rows.front();
    map.y1 = rows.back();
    map.z.assign(points.size(), std::nan(""));
    const auto indexOf = [](const std::vector<double>& values, double v) {
        return static_cast<std::size_t>(
            std::lower_bound(values.begin(), values.end(), v - kSamePlace) - values.begin());
    };
    for (const Point& p : points) {
        const std::size_t column = indexOf(columns, p.x), row = indexOf(rows, p.y);
        // Evenly spaced points: a grid of other spacing is no grid this map can hold.
        if (std::fabs(map.pointX(column) - p.x) > 0.01 || std::fabs(map.pointY(row) - p.y) > 0.01)
            throw lineError(p.line, "точки карты должны стоять на равномерной сетке");
        double& slot = map.z[row * map.columns + column];
        if (!std::isnan(slot)) throw lineError(p.line, "точка повторена");
        slot = p.z;
    }
    return map;
}

HeightMap ReadHeightMapFile(const std::string& path) {
    return ParseHeightMap(textfile::readBytes(path));
}

void WriteHeightMapFile(const std::string& path, const HeightMap& map) {
    textfile::writeAtomically(path, HeightMapText(map));
}
