#include "fontsource/Geometry.h"

#include <algorithm>
#include <numbers>

namespace fontc {

double pathLength(const Polyline& line) {
    double total = 0;
    for (std::size_t i = 1; i < line.size(); ++i) total += distance(line[i - 1], line[i]);
    return total;
}

void Bounds::add(Point p) {
    if (empty) {
        minX = maxX = p.x;
        minY = maxY = p.y;
        empty = false;
        return;
    }
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
}

void Bounds::add(const Polyline& line) {
    for (Point p : line) add(p);
}

namespace {
struct Arc {
    Point centre;
    double radius = 0;
    double start = 0;  // angle of the first point
    double sweep = 0;  // counter-clockwise when positive
};

Arc arcOf(Point from, Point to, double bulge) {
    const double chord = distance(from, to);
    const Point mid = (from + to) * 0.5;
    const Point normal = {-(to.y - from.y) / chord, (to.x - from.x) / chord};
    Arc arc;
    arc.centre = mid + normal * (chord / 2 * (1 - bulge * bulge) / (2 * bulge));
    arc.radius = distance(arc.centre, from);
    arc.start = std::atan2(from.y - arc.centre.y, from.x - arc.centre.x);
    arc.sweep = 4 * std::atan(bulge);
    return arc;
}

void appendArc(Polyline& out, Point from, Point to, double bulge, double maxChordError) {
    if (distance(from, to) == 0) return;
    const auto [centre, radius, start, sweep] = arcOf(from, to, bulge);
    // Largest step whose chord stays within the error: r (1 - cos(step / 2)) = error.
    double step = std::numbers::pi / 2;
    if (maxChordError < radius) step = std::min(step, 2 * std::acos(1 - maxChordError / radius));
    const double wanted = std::ceil(std::abs(sweep) / std::max(step, 1e-9) - 1e-9);
    const int pieces = static_cast<int>(std::clamp(wanted, 1.0, 100000.0));
    for (int i = 1; i < pieces; ++i) {
        const double a = start + sweep * i / pieces;
        out.push_back({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
    }
    out.push_back(to);
}
}  // namespace

Bounds extent(const SourcePath& path) {
    Bounds b;
    for (std::size_t i = 0; i < path.size(); ++i) {
        b.add(path[i].p);
        if (i == 0 || path[i].bulge == 0 || distance(path[i - 1].p, path[i].p) == 0) continue;
        // The arc reaches past its ends where it crosses the axes through its centre.
        const Arc arc = arcOf(path[i - 1].p, path[i].p, path[i].bulge);
        const double low = std::min(arc.start, arc.start + arc.sweep);
        const double high = std::max(arc.start, arc.start + arc.sweep);
        for (int quarter = -8; quarter <= 8; ++quarter) {
            const double a = quarter * std::numbers::pi / 2;
            if (a > low && a < high)
                b.add({arc.centre.x + arc.radius * std::cos(a),
                       arc.centre.y + arc.radius * std::sin(a)});
        }
    }
    return b;
}

Bounds extent(const SourceGlyph& glyph) {
    Bounds b;
    for (const auto& path : glyph.paths) {
        const Bounds own = extent(path);
        if (own.empty) continue;
        b.add({own.minX, own.minY});
        b.add({own.maxX, own.maxY});
    }
    return b;
}

Polyline flatten(const SourcePath& path, double maxChordError) {
    Polyline out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i == 0 || path[i].bulge == 0)
            out.push_back(path[i].p);
        else
            appendArc(out, path[i - 1].p, path[i].p, path[i].bulge, maxChordError);
    }
    return out;
}

std::vector<Polyline> flatten(const SourceGlyph& glyph, double maxChordError) {
    std::vector<Polyline> out;
    for (const auto& path : glyph.paths)
        if (!path.empty()) out.push_back(flatten(path, maxChordError));
    return out;
}

double projectOnSegment(Point p, Point a, Point b) {
    const Point d = b - a;
    const double len2 = dot(d, d);
    if (len2 == 0) return 0;
    return std::clamp(dot(p - a, d) / len2, 0.0, 1.0);
}

}  // namespace fontc
