#include "fontsource/CentreLine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

#include "fontsource/MedialAxis.h"
#include "fontsource/SkeletonShaping.h"

namespace fontc {

namespace {

// A dot (of i, ё, a full stop) has hardly any axis: its core, where the ink
// is at least half as wide as at its widest, is shorter than that width.
bool isDot(const ShapedSkeleton& skeleton) {
    double widest = 0;
    for (const auto& branch : skeleton.branches)
        for (double r : branch.radii) widest = std::max(widest, r);
    if (widest <= 0) return true;
    double core = 0;
    for (const auto& branch : skeleton.branches)
        for (std::size_t i = 1; i < branch.points.size(); ++i)
            if (branch.radii[i - 1] >= widest / 2 && branch.radii[i] >= widest / 2)
                core += distance(branch.points[i - 1], branch.points[i]);
    return core < 2 * widest;
}

// A short stroke through the dot's centre along its longest direction, as long
// as the dot is long minus its width, and never shorter than a fifth of that width.
CentreStroke dotStroke(const AreaPart& part, double radius) {
    double a = 0, cx = 0, cy = 0;
    for (const Polyline& ring : part.rings)
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const double c = cross(ring[j], ring[i]);
            a += c;
            cx += (ring[j].x + ring[i].x) * c;
            cy += (ring[j].y + ring[i].y) * c;
        }
    const Point centre = a != 0 ? Point{cx / (3 * a), cy / (3 * a)} : part.rings.front().front();
    // Second moments of the outline's points about the centre give the long direction.
    double sxx = 0, syy = 0, sxy = 0;
    for (Point p : part.rings.front()) {
        const Point d = p - centre;
        sxx += d.x * d.x;
        syy += d.y * d.y;
        sxy += d.x * d.y;
    }
    const double angle = 0.5 * std::atan2(2 * sxy, sxx - syy);
    const Point along{std::cos(angle), std::sin(angle)};
    double low = 0, high = 0;
    for (Point p : part.rings.front()) {
        low = std::min(low, dot(p - centre, along));
        high = std::max(high, dot(p - centre, along));
    }
    const double half = std::max((high - low) / 2 - radius, radius / 5);
    const Point mid = centre + along * ((high + low) / 2);
    return {{mid - along * half, mid + along * half}, {}};
}

// Douglas-Peucker: the fewest points whose line stays within the tolerance.
void simplify(const Polyline& points, std::size_t from, std::size_t to, double tolerance,
              std::vector<bool>& keep) {
    if (to <= from + 1) return;
    double worst = -1;
    std::size_t at = from;
    for (std::size_t i = from + 1; i < to; ++i) {
        const double t = projectOnSegment(points[i], points[from], points[to]);
        const double d = distance(points[i], points[from] + (points[to] - points[from]) * t);
        if (d > worst) {
            worst = d;
            at = i;
        }
    }
    if (worst <= tolerance) return;
    keep[at] = true;
    simplify(points, from, at, tolerance, keep);
    simplify(points, at, to, tolerance, keep);
}

Polyline simplified(const Polyline& points, double tolerance) {
    if (points.size() <= 2) return points;
    std::vector<bool> keep(points.size(), false);
    keep.front() = keep.back() = true;
    simplify(points, 0, points.size() - 1, tolerance, keep);
    Polyline out;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (keep[i]) out.push_back(points[i]);
    return out;
}

}  // namespace

CentreLines centreLines(const OutlineArea& area, const CentreLineSettings& settings) {
    CentreLines result;
    for (const AreaPart& part : area.parts) {
        const SkeletonGraph axis = medialAxis(part, area.grid, settings.tolerance / 4);
        ShapedSkeleton shaped = pruneSkeleton(axis, settings);
        double widest = 0;
        for (const auto& branch : shaped.branches) {
            for (double r : branch.radii) widest = std::max(widest, r);
            for (std::size_t i = 1; i < branch.points.size(); ++i)
                result.widthSamples.push_back({branch.radii[i - 1] + branch.radii[i],
                                               distance(branch.points[i - 1], branch.points[i])});
        }
        if (shaped.branches.empty() || isDot(shaped)) {
            result.strokes.push_back(dotStroke(part, widest));
            continue;
        }
        SkeletonStrokes strokes = shapeSkeleton(shaped, area, settings);
        for (Polyline& line : strokes.lines) {
            CentreStroke stroke;
            stroke.points = simplified(line, settings.tolerance);
            if (stroke.points.size() < 2 || pathLength(stroke.points) == 0) continue;
            result.strokes.push_back(std::move(stroke));
        }
        result.freeBranches.insert(result.freeBranches.end(), strokes.freeBranches.begin(),
                                   strokes.freeBranches.end());
    }
    for (CentreStroke& stroke : result.strokes) {
        stroke.widths.clear();
        for (Point p : stroke.points) stroke.widths.push_back(2 * distanceToOutline(area, p));
    }
    return result;
}

}  // namespace fontc
