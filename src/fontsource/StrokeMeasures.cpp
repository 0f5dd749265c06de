#include "fontsource/StrokeMeasures.h"

#include <algorithm>
#include <cmath>

namespace fontc {

namespace {

class Grid {
  public:
    Grid(Bounds b, double pixel)
        : x0_(b.minX),
          y0_(b.minY),
          pixel_(pixel),
          width_(static_cast<int>(std::ceil((b.maxX - b.minX) / pixel)) + 1),
          height_(static_cast<int>(std::ceil((b.maxY - b.minY) / pixel)) + 1),
          cells_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

    int width() const { return width_; }
    int height() const { return height_; }
    double x(int i) const { return x0_ + (i + 0.5) * pixel_; }
    double y(int j) const { return y0_ + (j + 0.5) * pixel_; }
    int column(double x) const { return static_cast<int>(std::floor((x - x0_) / pixel_ - 0.5)); }
    int row(double y) const { return static_cast<int>(std::floor((y - y0_) / pixel_ - 0.5)); }
    unsigned char& at(int i, int j) {
        return cells_[static_cast<std::size_t>(j) * static_cast<std::size_t>(width_) +
                      static_cast<std::size_t>(i)];
    }
    const std::vector<unsigned char>& cells() const { return cells_; }

  private:
    double x0_, y0_, pixel_;
    int width_, height_;
    std::vector<unsigned char> cells_;
};

constexpr unsigned char kGlyph = 1;
constexpr unsigned char kPen = 2;

// Non-zero winding along each row of pixel centres.
void fillGlyph(const OutlineArea& area, Grid& grid) {
    std::vector<std::pair<double, int>> crossings;
    for (int j = 0; j < grid.height(); ++j) {
        const double y = grid.y(j);
        crossings.clear();
        for (const AreaPart& part : area.parts)
            for (const Polyline& ring : part.rings)
                for (std::size_t i = 0, k = ring.size() - 1; i < ring.size(); k = i++) {
                    const Point a = ring[k];
                    const Point b = ring[i];
                    if ((a.y <= y) == (b.y <= y)) continue;
                    const double x = a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x);
                    crossings.push_back({x, b.y > a.y ? 1 : -1});
                }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (std::size_t c = 0; c + 1 < crossings.size(); ++c) {
            winding += crossings[c].second;
            if (winding == 0) continue;
            const int from = std::max(0, grid.column(crossings[c].first) + 1);
            const int to = std::min(grid.width() - 1, grid.column(crossings[c + 1].first));
            for (int i = from; i <= to; ++i) grid.at(i, j) |= kGlyph;
        }
    }
}

void drawPen(const std::vector<Polyline>& strokes, double radius, Grid& grid) {
    for (const Polyline& line : strokes)
        for (std::size_t s = 0; s < line.size(); ++s) {
            const Point a = line[s];
            const Point b = s + 1 < line.size() ? line[s + 1] : line[s];
            const int i0 = std::max(0, grid.column(std::min(a.x, b.x) - radius));
            const int i1 = std::min(grid.width() - 1, grid.column(std::max(a.x, b.x) + radius) + 1);
            const int j0 = std::max(0, grid.row(std::min(a.y, b.y) - radius));
            const int j1 = std::min(grid.height() - 1, grid.row(std::max(a.y, b.y) + radius) + 1);
            const double limit = radius * radius;
            for (int j = j0; j <= j1; ++j)
                for (int i = i0; i <= i1; ++i) {
                    const Point p{grid.x(i), grid.y(j)};
                    const Point d = p - (a + (b - a) * projectOnSegment(p, a, b));
                    if (dot(d, d) <= limit) grid.at(i, j) |= kPen;
                }
        }
}

}  // namespace

StrokeMeasures measureStrokes(const OutlineArea& area, const std::vector<Polyline>& strokes,
                              double penWidth, double pixel) {
    Bounds bounds;
    for (const AreaPart& part : area.parts)
        for (const Polyline& ring : part.rings) bounds.add(ring);
    for (const Polyline& line : strokes) bounds.add(line);
    StrokeMeasures m;
    if (bounds.empty || !(pixel > 0)) return m;
    const double halfPen = penWidth / 2;
    bounds.add({bounds.minX - halfPen, bounds.minY - halfPen});
    bounds.add({bounds.maxX + halfPen, bounds.maxY + halfPen});
    // A glyph or pen far larger than the em (a damaged font) is judged on at most
    // 2000 pixels a side.
    pixel =
        std::max({pixel, (bounds.maxX - bounds.minX) / 2000, (bounds.maxY - bounds.minY) / 2000});
    bounds.add({bounds.minX - 2 * pixel, bounds.minY - 2 * pixel});
    bounds.add({bounds.maxX + 2 * pixel, bounds.maxY + 2 * pixel});
    Grid grid(bounds, pixel);
    fillGlyph(area, grid);
    drawPen(strokes, penWidth / 2, grid);
    std::size_t glyph = 0, pen = 0, both = 0;
    for (unsigned char c : grid.cells()) {
        glyph += (c & kGlyph) != 0;
        pen += (c & kPen) != 0;
        both += c == (kGlyph | kPen);
    }
    if (glyph > 0) m.coverage = static_cast<double>(both) / static_cast<double>(glyph);
    if (pen > 0) m.spill = static_cast<double>(pen - both) / static_cast<double>(pen);
    return m;
}

double weightedMedian(std::vector<std::pair<double, double>> valueAndWeight) {
    std::sort(valueAndWeight.begin(), valueAndWeight.end());
    double total = 0;
    for (const auto& [value, weight] : valueAndWeight) total += weight;
    double seen = 0;
    for (const auto& [value, weight] : valueAndWeight) {
        seen += weight;
        if (seen >= total / 2) return value;
    }
    return 0;
}

}  // namespace fontc
