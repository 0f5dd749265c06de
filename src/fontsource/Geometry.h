#pragma once

#include <cmath>
#include <vector>

// Plane geometry shared by the font sources, the stroke joiner and the letter box.
namespace fontc {

struct Point {
    double x = 0;
    double y = 0;
};

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }
inline bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
inline double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
inline double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
inline double length(Point a) { return std::hypot(a.x, a.y); }
inline double distance(Point a, Point b) { return length(a - b); }
// The direction of a, or the zero vector for none.
inline Point unit(Point a) {
    const double l = length(a);
    return l > 0 ? a * (1 / l) : Point{};
}

using Polyline = std::vector<Point>;

double pathLength(const Polyline& line);

struct Bounds {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;

    void add(Point p);
    void add(const Polyline& line);
};

// A vertex of a source path. The bulge belongs to the piece that ends at this
// vertex: 0 is a straight line from the previous vertex, otherwise an arc whose
// bulge is tan(included angle / 4), positive counter-clockwise with y upward.
struct PathVertex {
    Point p;
    double bulge = 0;
};
using SourcePath = std::vector<PathVertex>;

// One glyph as the source font draws it: separate paths, y upward.
struct SourceGlyph {
    std::vector<SourcePath> paths;
};

// Exact extent of the path, arcs included.
Bounds extent(const SourcePath& path);
Bounds extent(const SourceGlyph& glyph);

// The path as straight pieces; arcs are cut so that no chord strays more than
// maxChordError from the arc.
Polyline flatten(const SourcePath& path, double maxChordError);
std::vector<Polyline> flatten(const SourceGlyph& glyph, double maxChordError);

// Closest point to p on the segment a-b, as the parameter along it (0..1).
double projectOnSegment(Point p, Point a, Point b);

}  // namespace fontc
