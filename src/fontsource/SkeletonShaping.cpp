#include "fontsource/SkeletonShaping.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace fontc {

namespace {

// Where a ray from p along dir first crosses the line, as the distance along the ray.
std::optional<double> rayHit(Point p, Point dir, const Polyline& line) {
    std::optional<double> best;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const Point a = line[i - 1];
        const Point edge = line[i] - a;
        const double denominator = cross(dir, edge);
        if (denominator == 0) continue;
        const double t = cross(a - p, edge) / denominator;
        const double u = cross(a - p, dir) / denominator;
        if (t >= 0 && u >= 0 && u <= 1 && (!best || t < *best)) best = t;
    }
    return best;
}

Point nearestOn(const Polyline& line, Point p) {
    Point best = line.front();
    for (std::size_t i = 1; i < line.size(); ++i) {
        const Point q =
            line[i - 1] + (line[i] - line[i - 1]) * projectOnSegment(p, line[i - 1], line[i]);
        if (distance(p, q) < distance(p, best)) best = q;
    }
    return best;
}

// A smooth line from a to b leaving a along -outA and arriving along outB's
// opposite; straight when the two continue one another.
Polyline curveBetween(Point a, Point outA, Point b, Point outB) {
    const double reach = distance(a, b) / 3;
    const Point c1 = a - outA * reach;
    const Point c2 = b - outB * reach;
    Polyline line;
    constexpr int kPieces = 12;
    for (int i = 0; i <= kPieces; ++i) {
        const double t = static_cast<double>(i) / kPieces;
        const double s = 1 - t;
        line.push_back(a * (s * s * s) + c1 * (3 * s * s * t) + c2 * (3 * s * t * t) +
                       b * (t * t * t));
    }
    return line;
}

struct ClusterEnd {
    Point p;    // where the branch was cut
    Point out;  // unit direction away from the junction
};

// The lines that join the cut branches of one junction (or bend) again.
void joinCluster(const std::vector<ClusterEnd>& ends, Point centre, double radius,
                 double throughAngle, const OutlineArea& area, std::vector<Polyline>& lines) {
    if (ends.size() == 1) {
        lines.push_back({ends[0].p, centre});
        return;
    }
    // Branches that continue one another are paired, the straightest first.
    std::vector<std::pair<double, std::pair<int, int>>> candidates;
    for (std::size_t i = 0; i < ends.size(); ++i)
        for (std::size_t j = i + 1; j < ends.size(); ++j) {
            const double turn = turnBetween(ends[i].out, ends[j].out);
            if (turn < throughAngle)
                candidates.push_back({turn, {static_cast<int>(i), static_cast<int>(j)}});
        }
    std::sort(candidates.begin(), candidates.end());
    std::vector<bool> paired(ends.size(), false);
    std::vector<Polyline> through;
    for (const auto& [turn, pair] : candidates) {
        const auto [i, j] = pair;
        if (paired[i] || paired[j]) continue;
        paired[i] = paired[j] = true;
        through.push_back(curveBetween(ends[i].p, ends[i].out, ends[j].p, ends[j].out));
    }
    std::vector<int> loose;
    for (std::size_t i = 0; i < ends.size(); ++i)
        if (!paired[i]) loose.push_back(static_cast<int>(i));
    for (const Polyline& line : through) lines.push_back(line);
    if (loose.empty()) return;

    if (!through.empty()) {
        // A branch that continues none runs straight on into the nearest through line.
        for (int i : loose) {
            const ClusterEnd& e = ends[i];
            std::optional<Point> hit;
            double bestT = 4 * radius + distance(e.p, centre);
            for (const Polyline& line : through)
                if (const auto t = rayHit(e.p, e.out * -1, line); t && *t < bestT) {
                    bestT = *t;
                    hit = e.p - e.out * *t;
                }
            if (!hit) {
                hit = nearestOn(through.front(), e.p);
                for (const Polyline& line : through) {
                    const Point q = nearestOn(line, e.p);
                    if (distance(q, e.p) < distance(*hit, e.p)) hit = q;
                }
            }
            lines.push_back({e.p, *hit});
        }
        return;
    }

    if (loose.size() == 2) {
        // A corner: the two strokes' lines meet.
        const ClusterEnd& a = ends[loose[0]];
        const ClusterEnd& b = ends[loose[1]];
        const double denominator = cross(a.out, b.out);
        if (std::abs(denominator) > 1e-9) {
            const double ta = cross(b.p - a.p, b.out) / denominator * -1;
            const double tb = cross(b.p - a.p, a.out) / denominator * -1;
            const double limit = 4 * radius + distance(a.p, b.p);
            if (ta > 0 && tb > 0 && ta < limit && tb < limit) {
                // A corner cut off square (the foot of a V) keeps its lines inside:
                // the meeting point comes back towards the junction until it is in the ink.
                Point corner = a.p - a.out * ta;
                if (!contains(area, corner) && contains(area, centre)) {
                    Point in = centre;
                    Point out = corner;
                    for (int step = 0; step < 24; ++step) {
                        const Point mid = (in + out) * 0.5;
                        (contains(area, mid) ? in : out) = mid;
                    }
                    corner = in;
                }
                lines.push_back({a.p, corner, b.p});
                return;
            }
        }
        lines.push_back(curveBetween(a.p, a.out, b.p, b.out));
        return;
    }

    // None continues another (a Y): they meet where their lines come closest together.
    double m00 = 0, m01 = 0, m11 = 0, v0 = 0, v1 = 0;
    for (int i : loose) {
        const Point d = ends[i].out;
        const Point p = ends[i].p;
        const double a00 = 1 - d.x * d.x, a01 = -d.x * d.y, a11 = 1 - d.y * d.y;
        m00 += a00;
        m01 += a01;
        m11 += a11;
        v0 += a00 * p.x + a01 * p.y;
        v1 += a01 * p.x + a11 * p.y;
    }
    const double det = m00 * m11 - m01 * m01;
    Point meet = centre;
    if (std::abs(det) > 1e-12) {
        const Point solved{(m11 * v0 - m01 * v1) / det, (m00 * v1 - m01 * v0) / det};
        if (distance(solved, centre) < 2 * radius) meet = solved;
    }
    for (int i : loose) lines.push_back({ends[i].p, meet});
}

}  // namespace

SkeletonStrokes shapeSkeleton(const ShapedSkeleton& skeleton, const OutlineArea& area,
                              const CentreLineSettings& settings) {
    SkeletonStrokes out;
    const auto& nodes = skeleton.nodes;
    const auto& branches = skeleton.branches;
    std::vector<int> degree(nodes.size(), 0);
    for (const auto& b : branches) {
        ++degree[b.a];
        ++degree[b.b];
    }
    const auto isKey = [&](int n) { return degree[n] >= 3 || (degree[n] == 2 && nodes[n].bend); };

    // Junctions close to one another are one junction (the two forks of an X).
    std::vector<int> parent(nodes.size());
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&](int n) {
        while (parent[n] != n) n = parent[n] = parent[parent[n]];
        return n;
    };
    std::vector<bool> internal(branches.size(), false);
    std::vector<double> lengths(branches.size());
    for (std::size_t i = 0; i < branches.size(); ++i) {
        const auto& b = branches[i];
        lengths[i] = pathLength(b.points);
        if (b.a == b.b || !isKey(b.a) || !isKey(b.b)) continue;
        if (lengths[i] >= nodes[b.a].radius + nodes[b.b].radius) continue;
        if (root(b.a) == root(b.b)) continue;
        parent[root(b.a)] = root(b.b);
        internal[i] = true;
    }
    std::vector<Point> centreSum(nodes.size());
    std::vector<int> members(nodes.size(), 0);
    std::vector<double> clusterRadius(nodes.size(), 0);
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        if (!isKey(static_cast<int>(n))) continue;
        const int r = root(static_cast<int>(n));
        centreSum[r] = centreSum[r] + nodes[n].p;
        ++members[r];
        clusterRadius[r] = std::max(clusterRadius[r], nodes[n].radius);
    }
    const auto centreOf = [&](int n) {
        const int r = root(n);
        return centreSum[r] * (1.0 / members[r]);
    };

    std::vector<std::vector<ClusterEnd>> clusterEnds(nodes.size());
    for (std::size_t i = 0; i < branches.size(); ++i) {
        if (internal[i]) continue;
        const auto& b = branches[i];
        const double total = lengths[i];
        const bool keyA = isKey(b.a);
        const bool keyB = isKey(b.b);
        const double share = keyA && keyB ? 0.45 : 0.8;
        double cutA = 0, cutB = 0;
        if (keyA) cutA = std::min(settings.junctionCut * clusterRadius[root(b.a)], total * share);
        if (keyB) cutB = std::min(settings.junctionCut * clusterRadius[root(b.b)], total * share);
        Polyline line = partAlong(b.points, cutA, total - cutB);
        const auto outwardAt = [&](double from, double toward) {
            return unit(pointAlong(b.points, toward) - pointAlong(b.points, from));
        };
        if (keyA) {
            const double reach = std::min(clusterRadius[root(b.a)], (total - cutA - cutB) * 0.5);
            Point out = outwardAt(cutA, cutA + std::max(reach, total * 0.05));
            if (length(out) == 0) out = unit(line.back() - line.front());
            clusterEnds[root(b.a)].push_back({line.front(), out});
        }
        if (keyB) {
            const double reach = std::min(clusterRadius[root(b.b)], (total - cutA - cutB) * 0.5);
            Point out = outwardAt(total - cutB, total - cutB - std::max(reach, total * 0.05));
            if (length(out) == 0) out = unit(line.front() - line.back());
            clusterEnds[root(b.b)].push_back({line.back(), out});
        }
        // Free ends run on to where the stroke ends in the outline.
        double extension = 0;
        const auto extend = [&](bool atStart, double radius) {
            if (radius <= 0) return;
            const double back = std::min(2 * radius, total * 0.5);
            const Point end = atStart ? line.front() : line.back();
            const Point from =
                atStart ? pointAlong(b.points, back) : pointAlong(b.points, total - back);
            const Point dir = unit(end - from);
            if (length(dir) == 0) return;
            const auto t = rayToOutline(area, end, dir);
            const double reach =
                std::min(t ? *t : radius, 2.5 * radius) - settings.endInset * radius;
            if (reach <= 0) return;
            extension += reach;
            if (atStart)
                line.insert(line.begin(), end + dir * reach);
            else
                line.push_back(end + dir * reach);
        };
        if (degree[b.a] == 1) extend(true, b.radii.front());
        if (degree[b.b] == 1) extend(false, b.radii.back());
        if ((degree[b.a] == 1 && degree[b.b] >= 3) || (degree[b.b] == 1 && degree[b.a] >= 3))
            out.freeBranches.push_back(total + extension);
        out.lines.push_back(std::move(line));
    }
    for (std::size_t n = 0; n < nodes.size(); ++n)
        if (!clusterEnds[n].empty())
            joinCluster(clusterEnds[n], centreOf(static_cast<int>(n)), clusterRadius[n],
                        settings.throughAngle, area, out.lines);
    return out;
}

}  // namespace fontc
