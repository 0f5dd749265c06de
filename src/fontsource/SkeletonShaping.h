#pragma once

#include <vector>

#include "fontsource/CentreLine.h"
#include "fontsource/MedialAxis.h"

// The steps from a medial axis to drawn strokes: pruning, then the shaping of
// junctions, corners and free ends.
namespace fontc {

// The axis as branches between the nodes where it meets itself or ends. A bend
// is a node of two branches where a pruned branch left a corner behind.
struct ShapedSkeleton {
    struct Node {
        Point p;
        double radius = 0;
        bool bend = false;
    };
    struct Branch {
        int a = 0;
        int b = 0;
        Polyline points;  // from a to b
        std::vector<double> radii;
    };
    std::vector<Node> nodes;
    std::vector<Branch> branches;
};

// Drops, shortest reach first, the branches that end freely close to the
// junction they leave: into a corner of the outline (reaching less than
// cornerReach junction radii past the junction's circle) or a stroke end whose
// corners are gone (less than stubReach).
ShapedSkeleton pruneSkeleton(const SkeletonGraph& axis, const CentreLineSettings& settings);

// Point at arclength s along the line (clamped to its ends).
Point pointAlong(const Polyline& line, double s);
// The part of the line between arclengths from and to.
Polyline partAlong(const Polyline& line, double from, double to);
// Deviation from going straight on (radians) of two lines leaving one point
// with the given outward directions: 0 when one continues the other.
double turnBetween(Point outA, Point outB);

struct SkeletonStrokes {
    std::vector<Polyline> lines;
    // Length of each branch from a junction to a free end.
    std::vector<double> freeBranches;
};

// Junctions and their near nodes are cut out and joined again straight: the
// branches that continue one another go on through, the others run straight
// into them (or, none continuing another, meet at one point); a bend becomes
// the corner where its two strokes' lines meet. Free ends are carried out to
// the outline.
SkeletonStrokes shapeSkeleton(const ShapedSkeleton& skeleton, const OutlineArea& area,
                              const CentreLineSettings& settings);

}  // namespace fontc
