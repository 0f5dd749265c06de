#pragma once

#include <vector>

#include "fontsource/Geometry.h"
#include "fontsource/OutlineArea.h"

// The medial axis of a piece of ink: the points that have two or more nearest
// points on its outline, each with its distance to the outline (half the local
// stroke width). Worked out exactly from the outline's segments with a segment
// Voronoi diagram; a curved piece (between a corner of the outline and a side)
// is cut into straight pieces no farther than the tolerance from it.
namespace fontc {

struct SkeletonGraph {
    struct Node {
        Point p;
        double radius = 0;
    };
    // From node a to node b; points runs from a's position to b's, radii beside it.
    struct Edge {
        int a = 0;
        int b = 0;
        Polyline points;
        std::vector<double> radii;
    };
    std::vector<Node> nodes;
    std::vector<Edge> edges;
};

SkeletonGraph medialAxis(const AreaPart& part, double grid, double tolerance);

}  // namespace fontc
