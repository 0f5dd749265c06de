#include "gcode/ArcShape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kQuarter = std::numbers::pi / 2;

struct Polar {
    double startAngle = 0;
    double startRadius = 0;
    double endRadius = 0;
};

Polar polarOf(const PathPoint& from, const PathPoint& to, const ArcShape& arc) {
    const auto [a, b, n] = PlaneAxes(arc.plane);
    (void)n;
    const double fa = from[a] - arc.centreA;
    const double fb = from[b] - arc.centreB;
    return {std::atan2(fb, fa), std::hypot(fa, fb),
            std::hypot(to[a] - arc.centreA, to[b] - arc.centreB)};
}

}  // namespace

std::array<std::size_t, 3> PlaneAxes(ArcPlane plane) {
    switch (plane) {
        case ArcPlane::XY:
            return {0, 1, 2};
        case ArcPlane::ZX:
            return {2, 0, 1};
        case ArcPlane::YZ:
            return {1, 2, 0};
    }
    return {0, 1, 2};
}

PathPoint PointOnArc(const PathPoint& from, const PathPoint& to, const ArcShape& arc, double t) {
    return ArcTracer(from, to, arc).at(t);
}

ArcTracer::ArcTracer(const PathPoint& from, const PathPoint& to, const ArcShape& arc)
    : from_(from), to_(to), arc_(arc), axes_(PlaneAxes(arc.plane)) {
    const Polar polar = polarOf(from, to, arc);
    startAngle_ = polar.startAngle;
    startRadius_ = polar.startRadius;
    endRadius_ = polar.endRadius;
}

PathPoint ArcTracer::at(double t) const {
    if (t >= 1) return to_;
    const auto [a, b, n] = axes_;
    const double angle = startAngle_ + arc_.sweep * t;
    const double radius = startRadius_ + (endRadius_ - startRadius_) * t;
    PathPoint p;
    p[a] = arc_.centreA + radius * std::cos(angle);
    p[b] = arc_.centreB + radius * std::sin(angle);
    p[n] = from_[n] + (to_[n] - from_[n]) * t;
    return p;
}

std::size_t ArcChords(const PathPoint& from, const PathPoint& to, const ArcShape& arc,
                      double tolerance) {
    const Polar polar = polarOf(from, to, arc);
    const double radius = std::max(polar.startRadius, polar.endRadius);
    const double turn = std::fabs(arc.sweep);
    if (!(turn > 0) || !(radius > 0)) return 1;
    // A chord of angle s strays radius * (1 - cos(s / 2)) from the arc.
    const double step = tolerance >= radius ? kQuarter : 2 * std::acos(1 - tolerance / radius);
    const double chords = std::ceil(turn / std::min(step, kQuarter));
    if (!(chords < static_cast<double>(kMaxArcChords))) return kMaxArcChords;
    return std::max<std::size_t>(1, static_cast<std::size_t>(chords));
}

XyBox ArcXyBox(const PathPoint& from, const PathPoint& to, const ArcShape& arc) {
    XyBox box{std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X),
              std::max(from.Y, to.Y)};
    const auto take = [&box](const PathPoint& p) {
        box.MinX = std::min(box.MinX, p.X);
        box.MinY = std::min(box.MinY, p.Y);
        box.MaxX = std::max(box.MaxX, p.X);
        box.MaxY = std::max(box.MaxY, p.Y);
    };
    if (arc.sweep == 0) return box;
    // The view's extremes lie where the arc crosses a multiple of a quarter turn.
    const double start = polarOf(from, to, arc).startAngle;
    const double end = start + arc.sweep;
    const double low = std::min(start, end);
    const double high = std::max(start, end);
    const double first = std::ceil(low / kQuarter);
    const ArcTracer tracer(from, to, arc);
    for (double k = first; k * kQuarter <= high && k < first + 4; ++k) {
        const double t = (k * kQuarter - start) / arc.sweep;
        if (t > 0 && t < 1) take(tracer.at(t));
    }
    return box;
}

double ArcXyLength(const PathPoint& from, const PathPoint& to, const ArcShape& arc) {
    if (arc.plane == ArcPlane::XY) {
        const Polar polar = polarOf(from, to, arc);
        return std::fabs(arc.sweep) * (polar.startRadius + polar.endRadius) / 2;
    }
    // Seen from above, an arc standing upright is a curve of its own: summed
    // in chords a micrometre close.
    const std::size_t chords = ArcChords(from, to, arc, 0.001);
    const ArcTracer tracer(from, to, arc);
    double length = 0;
    PathPoint previous = from;
    for (std::size_t i = 1; i <= chords; ++i) {
        const PathPoint p = tracer.at(static_cast<double>(i) / static_cast<double>(chords));
        length += std::hypot(p.X - previous.X, p.Y - previous.Y);
        previous = p;
    }
    return length;
}
