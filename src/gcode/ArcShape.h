#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

// A point of the tool path, in millimetres.
struct PathPoint {
    double X = 0;
    double Y = 0;
    double Z = 0;
    double operator[](std::size_t axis) const { return axis == 0 ? X : axis == 1 ? Y : Z; }
    double& operator[](std::size_t axis) { return axis == 0 ? X : axis == 1 ? Y : Z; }
    bool operator==(const PathPoint&) const = default;
};

// The plane of an arc, by its two axes in their turning order: XY (G17),
// ZX (G18) and YZ (G19). The third axis moves along linearly (a helix).
enum class ArcPlane : std::uint8_t { XY, ZX, YZ };

// The axes of a plane: first, second and the normal, as 0 (X), 1 (Y), 2 (Z).
std::array<std::size_t, 3> PlaneAxes(ArcPlane plane);

// An arc about a centre in its plane, from a start point to an end point of
// the path. The radius runs evenly from the start's to the end's (the two
// differ only by rounding), as does the normal axis.
struct ArcShape {
    ArcPlane plane = ArcPlane::XY;
    double centreA = 0;  // the centre on the plane's first axis
    double centreB = 0;  // and on its second
    double sweep = 0;    // radians, counter-clockwise seen from the normal's positive end
};

// The point at fraction t (0 to 1) of the arc; t = 1 gives `to` exactly.
PathPoint PointOnArc(const PathPoint& from, const PathPoint& to, const ArcShape& arc, double t);

// The same for many points of one arc, its angles and radii worked out once.
class ArcTracer {
  public:
    ArcTracer(const PathPoint& from, const PathPoint& to, const ArcShape& arc);
    PathPoint at(double t) const;
    // Calls f(point) for the points at 1/chords, 2/chords, ... and then `to`:
    // the ends of `chords` even chords, turned step by step from one sine and
    // cosine rather than each worked out anew.
    template <typename F>
    void forEachChordEnd(std::size_t chords, F&& f) const;

  private:
    PathPoint from_;
    PathPoint to_;
    ArcShape arc_;
    std::array<std::size_t, 3> axes_{};
    double startAngle_ = 0;
    double startRadius_ = 0;
    double endRadius_ = 0;
};

template <typename F>
void ArcTracer::forEachChordEnd(std::size_t chords, F&& f) const {
    const auto [a, b, n] = axes_;
    const double step = arc_.sweep / static_cast<double>(chords);
    const double stepCos = std::cos(step);
    const double stepSin = std::sin(step);
    double c = std::cos(startAngle_);
    double s = std::sin(startAngle_);
    for (std::size_t i = 1; i < chords; ++i) {
        const double turnedC = c * stepCos - s * stepSin;
        s = s * stepCos + c * stepSin;
        c = turnedC;
        const double t = static_cast<double>(i) / static_cast<double>(chords);
        const double radius = startRadius_ + (endRadius_ - startRadius_) * t;
        PathPoint p;
        p[a] = arc_.centreA + radius * c;
        p[b] = arc_.centreB + radius * s;
        p[n] = from_[n] + (to_[n] - from_[n]) * t;
        f(p);
    }
    f(to_);
}

// How many chords keep every point of the arc within `tolerance` mm of the
// arc (at least one, at most kMaxArcChords).
constexpr std::size_t kMaxArcChords = 1 << 16;
std::size_t ArcChords(const PathPoint& from, const PathPoint& to, const ArcShape& arc,
                      double tolerance);

// The arc's extent in the XY view.
struct XyBox {
    double MinX = 0;
    double MinY = 0;
    double MaxX = 0;
    double MaxY = 0;
};
XyBox ArcXyBox(const PathPoint& from, const PathPoint& to, const ArcShape& arc);

// The length of the arc as the XY view shows it.
double ArcXyLength(const PathPoint& from, const PathPoint& to, const ArcShape& arc);
