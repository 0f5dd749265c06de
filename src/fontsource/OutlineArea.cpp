#include "fontsource/OutlineArea.h"

#include <clipper.hpp>
#include <cmath>
#include <limits>

namespace fontc {

namespace {

void collectParts(const ClipperLib::PolyNode& node, double grid, std::vector<AreaPart>& parts) {
    const auto toRing = [grid](const ClipperLib::Path& path) {
        Polyline ring;
        ring.reserve(path.size());
        for (const auto& q : path)
            ring.push_back({static_cast<double>(q.X) * grid, static_cast<double>(q.Y) * grid});
        return ring;
    };
    for (const ClipperLib::PolyNode* outer : node.Childs) {
        AreaPart part;
        part.rings.push_back(toRing(outer->Contour));
        for (const ClipperLib::PolyNode* hole : outer->Childs) {
            part.rings.push_back(toRing(hole->Contour));
            collectParts(*hole, grid, parts);
        }
        if (part.rings.front().size() >= 3) parts.push_back(std::move(part));
    }
}

}  // namespace

OutlineArea mergeContours(const std::vector<Polyline>& contours, double grid) {
    OutlineArea result;
    result.grid = grid;
    ClipperLib::Paths paths;
    for (const Polyline& contour : contours) {
        ClipperLib::Path path;
        for (Point p : contour) {
            const ClipperLib::IntPoint q(std::llround(p.x / grid), std::llround(p.y / grid));
            if (path.empty() || !(path.back() == q)) path.push_back(q);
        }
        while (path.size() > 1 && path.back() == path.front()) path.pop_back();
        if (path.size() >= 3) paths.push_back(std::move(path));
    }
    ClipperLib::Clipper clipper;
    clipper.StrictlySimple(true);
    clipper.AddPaths(paths, ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    collectParts(tree, grid, result.parts);
    return result;
}

double area(const AreaPart& part) {
    double twice = 0;
    for (const Polyline& ring : part.rings)
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
            twice += cross(ring[j], ring[i]);
    return twice / 2;
}

bool contains(const OutlineArea& area, Point p) {
    int winding = 0;
    for (const AreaPart& part : area.parts)
        for (const Polyline& ring : part.rings)
            for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const Point a = ring[j];
                const Point b = ring[i];
                if (a.y <= p.y) {
                    if (b.y > p.y && cross(b - a, p - a) > 0) ++winding;
                } else if (b.y <= p.y && cross(b - a, p - a) < 0) {
                    --winding;
                }
            }
    return winding != 0;
}

double distanceToOutline(const OutlineArea& area, Point p) {
    double best = std::numeric_limits<double>::infinity();
    for (const AreaPart& part : area.parts)
        for (const Polyline& ring : part.rings)
            for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const Point d =
                    p - (ring[j] + (ring[i] - ring[j]) * projectOnSegment(p, ring[j], ring[i]));
                best = std::min(best, dot(d, d));
            }
    return std::sqrt(best);
}

std::optional<double> rayToOutline(const OutlineArea& area, Point p, Point direction) {
    std::optional<double> best;
    for (const AreaPart& part : area.parts)
        for (const Polyline& ring : part.rings)
            for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const Point a = ring[j];
                const Point edge = ring[i] - a;
                const double denominator = cross(direction, edge);
                if (denominator == 0) continue;
                const double t = cross(a - p, edge) / denominator;
                const double u = cross(a - p, direction) / denominator;
                if (t >= 0 && u >= 0 && u <= 1 && (!best || t < *best)) best = t;
            }
    return best;
}

}  // namespace fontc
