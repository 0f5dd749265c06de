#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "fontsource/SkeletonShaping.h"

namespace fontc {

Point pointAlong(const Polyline& line, double s) {
    if (line.empty()) return {};
    if (s <= 0) return line.front();
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double step = distance(line[i - 1], line[i]);
        if (s <= step && step > 0) return line[i - 1] + (line[i] - line[i - 1]) * (s / step);
        s -= step;
    }
    return line.back();
}

Polyline partAlong(const Polyline& line, double from, double to) {
    Polyline out{pointAlong(line, from)};
    double at = 0;
    for (std::size_t i = 1; i < line.size(); ++i) {
        at += distance(line[i - 1], line[i]);
        if (at > from && at < to) out.push_back(line[i]);
    }
    out.push_back(pointAlong(line, to));
    return out;
}

double turnBetween(Point outA, Point outB) {
    const double c = std::clamp(-dot(outA, outB) / (length(outA) * length(outB)), -1.0, 1.0);
    return std::acos(c);
}

namespace {

class Pruner {
  public:
    Pruner(const SkeletonGraph& axis, const CentreLineSettings& settings) : settings_(settings) {
        for (const auto& n : axis.nodes) nodes_.push_back({n.p, n.radius, false});
        incident_.resize(nodes_.size());
        pruned_.resize(nodes_.size(), false);
        cornerDepth_.resize(nodes_.size(), 0);
        for (const auto& e : axis.edges) add({e.a, e.b, e.points, e.radii});
    }

    ShapedSkeleton run() {
        for (std::size_t n = 0; n < nodes_.size(); ++n) mergeThrough(static_cast<int>(n), true);
        while (pruneOne()) {
        }
        // Only a branch that reached well into a corner leaves a corner behind;
        // those of a curve's many short sides reach no farther than the axis.
        for (std::size_t n = 0; n < nodes_.size(); ++n)
            mergeThrough(static_cast<int>(n), !(cornerDepth_[n] > kCornerDepth));
        ShapedSkeleton out;
        out.nodes = nodes_;
        for (std::size_t i = 0; i < branches_.size(); ++i)
            if (alive_[i]) out.branches.push_back(branches_[i]);
        return out;
    }

  private:
    using Branch = ShapedSkeleton::Branch;

    void add(Branch branch) {
        const int id = static_cast<int>(branches_.size());
        incident_[branch.a].push_back(id);
        incident_[branch.b].push_back(id);
        lengths_.push_back(pathLength(branch.points));
        branches_.push_back(std::move(branch));
        alive_.push_back(true);
    }

    const std::vector<int>& at(int node) {
        auto& list = incident_[node];
        std::erase_if(list, [&](int id) { return !alive_[id]; });
        return list;
    }
    int degree(int node) { return static_cast<int>(at(node).size()); }

    // Outward direction of a branch from node, looked at past the junction's reach.
    Point outward(const Branch& b, int node) const {
        Polyline line = b.points;
        if (b.a != node) std::reverse(line.begin(), line.end());
        const double r = nodes_[node].radius;
        const double total = pathLength(line);
        const double from = std::min(settings_.junctionCut * r, total * 0.5);
        const double to = std::min(from + std::max(r, total * 0.1), total);
        const Point d = pointAlong(line, to) - pointAlong(line, from);
        return length(d) > 0 ? d : line.back() - line.front();
    }

    // Joins the two branches of a node that has only them, unless a pruned
    // branch left a corner there.
    void mergeThrough(int node, bool always) {
        const auto ids = at(node);
        if (ids.size() != 2 || ids[0] == ids[1]) return;
        Branch first = branches_[ids[0]];
        Branch second = branches_[ids[1]];
        if (!always) {
            const Point a = outward(first, node);
            const Point b = outward(second, node);
            if (length(a) > 0 && length(b) > 0 && turnBetween(a, b) >= settings_.throughAngle) {
                nodes_[node].bend = true;
                return;
            }
        }
        nodes_[node].bend = false;
        if (first.b != node) {
            std::reverse(first.points.begin(), first.points.end());
            std::reverse(first.radii.begin(), first.radii.end());
            std::swap(first.a, first.b);
        }
        if (second.a != node) {
            std::reverse(second.points.begin(), second.points.end());
            std::reverse(second.radii.begin(), second.radii.end());
            std::swap(second.a, second.b);
        }
        alive_[ids[0]] = alive_[ids[1]] = false;
        Branch merged{first.a, second.b, first.points, first.radii};
        merged.points.insert(merged.points.end(), second.points.begin() + 1, second.points.end());
        merged.radii.insert(merged.radii.end(), second.radii.begin() + 1, second.radii.end());
        add(std::move(merged));
    }

    // Whether one of the node's branches ends on the outline: a curve's last short
    // side, which must stay apart from the stroke it would otherwise lengthen.
    bool holdsCornerBranch(int node) {
        for (int id : at(node)) {
            const Branch& b = branches_[id];
            if (b.a == b.b) continue;
            const int leaf = b.a == node ? b.b : b.a;
            const double leafRadius = b.a == node ? b.radii.back() : b.radii.front();
            if (degree(leaf) == 1 && leafRadius <= 0.02 * nodes_[node].radius) return true;
        }
        return false;
    }

    // Whether a short stroke end leaves, between them, two branches that meet at
    // an angle: the foot of a V cut off square, not a stroke of its own.
    bool cutCorner(int stub, int node) {
        const auto ids = at(node);
        if (ids.size() != 3) return false;
        std::vector<Point> others;
        for (int id : ids)
            if (id != stub) others.push_back(unit(outward(branches_[id], node)));
        if (others.size() != 2 || turnBetween(others[0], others[1]) < settings_.throughAngle)
            return false;
        // Pointing back between the two, well clear of either.
        const Point back = unit(outward(branches_[stub], node)) * -1;
        const auto angle = [](Point a, Point b) {
            return std::acos(std::clamp(dot(a, b), -1.0, 1.0));
        };
        const double between = angle(others[0], others[1]);
        const double a0 = angle(back, others[0]);
        const double a1 = angle(back, others[1]);
        return std::abs(a0 + a1 - between) < 1e-6 + 0.01 * between &&
               std::min(a0, a1) >= 0.25 * between;
    }

    bool pruneOne() {
        int best = -1;
        int bestJunction = -1;
        double bestScore = std::numeric_limits<double>::infinity();
        bool bestIntoCorner = false;
        bool bestCutCorner = false;
        for (std::size_t i = 0; i < branches_.size(); ++i) {
            if (!alive_[i]) continue;
            const Branch& b = branches_[i];
            if (b.a == b.b) continue;
            const int da = degree(b.a);
            const int db = degree(b.b);
            int junction = -1;
            double leafRadius = 0;
            // A junction that lost a branch still forks while it has two.
            const auto forks = [&](int node, int d) { return d >= 3 || (d == 2 && pruned_[node]); };
            if (da == 1 && forks(b.b, db)) {
                junction = b.b;
                leafRadius = b.radii.front();
            } else if (db == 1 && forks(b.a, da)) {
                junction = b.a;
                leafRadius = b.radii.back();
            } else {
                continue;
            }
            const double r = nodes_[junction].radius;
            if (r <= 0) continue;
            const bool intoCorner = leafRadius <= 0.02 * r;
            const double reach = lengths_[i] + leafRadius - r;
            double limit = (intoCorner ? settings_.cornerReach : settings_.stubReach) * r;
            if (!intoCorner && cutCorner(static_cast<int>(i), junction))
                limit = settings_.cutCornerReach * r;
            if (reach < limit && reach / r < bestScore) {
                bestScore = reach / r;
                bestIntoCorner = intoCorner;
                bestCutCorner = limit == settings_.cutCornerReach * r && !intoCorner;
                best = static_cast<int>(i);
                bestJunction = junction;
            }
        }
        if (best < 0) return false;
        alive_[best] = false;
        if (bestIntoCorner || bestCutCorner)
            cornerDepth_[bestJunction] = std::max(cornerDepth_[bestJunction], bestScore);
        // A node that lost a real corner still forks while it has two branches
        // (the corner's other spur may follow); one on a curve is no fork at all.
        if (cornerDepth_[bestJunction] > kCornerDepth || holdsCornerBranch(bestJunction))
            pruned_[bestJunction] = true;
        else
            mergeThrough(bestJunction, true);
        return true;
    }

    const CentreLineSettings& settings_;
    std::vector<ShapedSkeleton::Node> nodes_;
    std::vector<Branch> branches_;
    std::vector<bool> alive_;
    std::vector<double> lengths_;
    std::vector<bool> pruned_;  // the node lost a branch
    // How far past the node's circle the deepest corner it lost reached, in node radii:
    // 0.41 for a right angle, 0.15 for 120°.
    std::vector<double> cornerDepth_;
    static constexpr double kCornerDepth = 0.1;
    std::vector<std::vector<int>> incident_;
};

}  // namespace

ShapedSkeleton pruneSkeleton(const SkeletonGraph& axis, const CentreLineSettings& settings) {
    return Pruner(axis, settings).run();
}

}  // namespace fontc
