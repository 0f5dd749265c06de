#include "main/StrokeCopies.h"

#include <cmath>

#include "main/LinePlacement.h"

namespace {

struct Normal {
    double x = 0;
    double y = 0;
};

// The left normal of the segment a to b, of unit length; none for a point.
bool normalOf(const PenPoint& a, const PenPoint& b, Normal& n) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0)) return false;
    n = {-dy / length, dx / length};
    return true;
}

}  // namespace

std::vector<PenPoint> BoldStroke(const std::vector<PenPoint>& stroke, int copies, double spacing) {
    // Repeated points give no direction: the path is walked without them.
    std::vector<PenPoint> path;
    for (const PenPoint& p : stroke)
        if (path.empty() || p.X != path.back().X || p.Y != path.back().Y) path.push_back(p);
    if (copies <= 1 || path.size() < 2 || !(spacing > 0)) return stroke;

    // Each vertex's offset direction, scaled so that the copies stay spacing
    // apart along both segments that meet there.
    std::vector<Normal> miter(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        Normal before;
        Normal after;
        const bool hasBefore = i > 0 && normalOf(path[i - 1], path[i], before);
        const bool hasAfter = i + 1 < path.size() && normalOf(path[i], path[i + 1], after);
        if (!hasBefore) before = after;
        if (!hasAfter) after = before;
        Normal sum{before.x + after.x, before.y + after.y};
        const double length = std::hypot(sum.x, sum.y);
        if (length < 1e-9) {
            miter[i] = before;  // the stroke turns right back: no corner to mitre
            continue;
        }
        sum = {sum.x / length, sum.y / length};
        const double cosHalf = sum.x * before.x + sum.y * before.y;
        const double stretch = std::min(1 / std::max(cosHalf, 1e-9), 2.0);
        miter[i] = {sum.x * stretch, sum.y * stretch};
    }

    std::vector<PenPoint> out;
    out.reserve(path.size() * static_cast<std::size_t>(copies));
    for (int c = 0; c < copies; ++c) {
        const double offset = (c - (copies - 1) / 2.0) * spacing;
        const bool backwards = c % 2 == 1;
        for (std::size_t k = 0; k < path.size(); ++k) {
            const std::size_t i = backwards ? path.size() - 1 - k : k;
            out.push_back(PenPoint{FinishedCoordinate(path[i].X + offset * miter[i].x),
                                   FinishedCoordinate(path[i].Y + offset * miter[i].y), 0});
        }
    }
    return out;
}
