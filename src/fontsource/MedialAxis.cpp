#include "fontsource/MedialAxis.h"

#include <boost/polygon/point_data.hpp>
#include <boost/polygon/segment_data.hpp>
#include <boost/polygon/voronoi.hpp>
#include <cmath>
#include <cstdint>
#include <limits>

#include "fontsource/FontSources.h"

namespace fontc {

namespace {

namespace bp = boost::polygon;
using IntPoint = bp::point_data<std::int32_t>;
using IntSegment = bp::segment_data<std::int32_t>;
using Diagram = bp::voronoi_diagram<double>;

// Sites are given on a grid of whole numbers; the diagram's answers are turned back.
class Sites {
  public:
    Sites(const AreaPart& part, double grid) : grid_(grid) {
        constexpr double kLimit = 1 << 29;
        for (const Polyline& ring : part.rings)
            for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const double x0 = std::round(ring[j].x / grid), y0 = std::round(ring[j].y / grid);
                const double x1 = std::round(ring[i].x / grid), y1 = std::round(ring[i].y / grid);
                if (std::abs(x0) > kLimit || std::abs(y0) > kLimit || std::abs(x1) > kLimit ||
                    std::abs(y1) > kLimit)
                    throw FontSourceError("glyph coordinates out of range");
                if (x0 == x1 && y0 == y1) continue;
                segments_.emplace_back(
                    IntPoint(static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0)),
                    IntPoint(static_cast<std::int32_t>(x1), static_cast<std::int32_t>(y1)));
            }
    }

    const std::vector<IntSegment>& segments() const { return segments_; }

    Point point(const IntPoint& q) const { return {q.x() * grid_, q.y() * grid_}; }
    Point start(std::size_t i) const { return point(bp::low(segments_[i])); }
    Point end(std::size_t i) const { return point(bp::high(segments_[i])); }

    // The site's point (a corner of the outline), when the cell is one.
    Point cellPoint(const Diagram::cell_type& cell) const {
        return cell.source_category() == bp::SOURCE_CATEGORY_SEGMENT_START_POINT
                   ? start(cell.source_index())
                   : end(cell.source_index());
    }

    double distanceTo(const Diagram::cell_type& cell, Point p) const {
        if (cell.contains_point()) return distance(p, cellPoint(cell));
        const Point a = start(cell.source_index());
        const Point b = end(cell.source_index());
        return distance(p, a + (b - a) * projectOnSegment(p, a, b));
    }

  private:
    double grid_;
    std::vector<IntSegment> segments_;
};

bool insidePart(const AreaPart& part, Point p) {
    int winding = 0;
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

// Points of the parabola between a corner (focus) and the line a-b, from one
// end of the edge to the other, the ends left out.
void parabolaPoints(Point focus, Point a, Point b, Point from, Point to, double tolerance,
                    Polyline& out) {
    const Point u = (b - a) * (1 / distance(a, b));
    const Point n{-u.y, u.x};
    const double fx = dot(focus - a, u);
    const double fy = dot(focus - a, n);
    if (std::abs(fy) < 1e-12) return;
    const auto at = [&](double x) {
        return a + u * x + n * (((x - fx) * (x - fx) + fy * fy) / (2 * fy));
    };
    const double x0 = dot(from - a, u);
    const double x1 = dot(to - a, u);
    // Parabolas in glyphs are short; halving until the chord is close enough.
    std::vector<double> xs{x0, x1};
    for (int round = 0; round < 12; ++round) {
        std::vector<double> next{xs.front()};
        bool split = false;
        for (std::size_t i = 1; i < xs.size(); ++i) {
            const double mid = (xs[i - 1] + xs[i]) / 2;
            const Point chordMid = (at(xs[i - 1]) + at(xs[i])) * 0.5;
            if (distance(at(mid), chordMid) > tolerance) {
                next.push_back(mid);
                split = true;
            }
            next.push_back(xs[i]);
        }
        xs = std::move(next);
        if (!split) break;
    }
    for (std::size_t i = 1; i + 1 < xs.size(); ++i) out.push_back(at(xs[i]));
}

}  // namespace

SkeletonGraph medialAxis(const AreaPart& part, double grid, double tolerance) {
    SkeletonGraph graph;
    const Sites sites(part, grid);
    if (sites.segments().size() < 3) return graph;
    Diagram diagram;
    bp::construct_voronoi(sites.segments().begin(), sites.segments().end(), &diagram);

    const auto vertexPoint = [](const Diagram::vertex_type& v) { return Point{v.x(), v.y()}; };
    const auto scale = [grid](Point p) { return p * grid; };
    const auto nodeOf = [&](const Diagram::vertex_type& v) {
        if (v.color() == 0) {
            const Point p = scale(vertexPoint(v));
            graph.nodes.push_back({p, sites.distanceTo(*v.incident_edge()->cell(), p)});
            v.color(graph.nodes.size());
        }
        return static_cast<int>(v.color() - 1);
    };

    for (const auto& edge : diagram.edges()) {
        if (edge.color() != 0) continue;
        edge.color(1);
        edge.twin()->color(1);
        if (!edge.is_finite() || edge.is_secondary()) continue;
        const Diagram::cell_type& left = *edge.cell();
        const Diagram::cell_type& right = *edge.twin()->cell();
        const Point from = scale(vertexPoint(*edge.vertex0()));
        const Point to = scale(vertexPoint(*edge.vertex1()));

        Polyline points{from};
        if (edge.is_curved()) {
            const Diagram::cell_type& corner = left.contains_point() ? left : right;
            const Diagram::cell_type& side = left.contains_point() ? right : left;
            parabolaPoints(sites.cellPoint(corner), sites.start(side.source_index()),
                           sites.end(side.source_index()), from, to, tolerance, points);
        }
        points.push_back(to);

        // Inside when the middle lies left of a side the edge belongs to (the
        // rings keep the inside on their left); between two corners, by winding.
        const Point middle = points.size() > 2 ? points[points.size() / 2] : (from + to) * 0.5;
        bool inside = false;
        if (left.contains_segment() || right.contains_segment()) {
            const Diagram::cell_type& side = left.contains_segment() ? left : right;
            const Point a = sites.start(side.source_index());
            const Point b = sites.end(side.source_index());
            inside = cross(b - a, middle - a) > 0;
        } else {
            inside = insidePart(part, middle);
        }
        if (!inside) continue;

        SkeletonGraph::Edge e;
        e.a = nodeOf(*edge.vertex0());
        e.b = nodeOf(*edge.vertex1());
        e.points = std::move(points);
        e.points.front() = graph.nodes[e.a].p;
        e.points.back() = graph.nodes[e.b].p;
        for (Point p : e.points) e.radii.push_back(sites.distanceTo(left, p));
        graph.edges.push_back(std::move(e));
    }
    return graph;
}

}  // namespace fontc
