#pragma once

#include <vector>

#include "fontsource/Geometry.h"

// Turns the separate strokes of a glyph into the single stroke a letter file
// holds. The strokes form a graph of segments (split where they cross or touch);
// the walk covers every segment, drawing some a second time where that avoids a
// new line, and joins parts that do not touch with the shortest straight lines.
namespace fontc {

// What the walk pays per letter unit of length.
struct JoinWeights {
    double connector = 3;  // a new line between parts that do not touch: visible ink
    double retrace = 1;    // a segment drawn again: no new ink, only machine time
    double start = 0.8;    // length of the line from the start target to the first point
    double end = 0.8;      // length of the line from the last point to the end target
    // Share of the horizontal part of those lengths that is paid: a joining line
    // along the baseline reads as an underline, one that climbs as a stroke.
    double horizontal = 1;
};

enum class SegmentKind : unsigned char { Ink, Retrace, Connector };

struct JoinedStroke {
    Polyline points;
    std::vector<SegmentKind> kinds;  // kinds[i]: the piece from points[i] to points[i + 1]
    // airborne[i]: the piece runs along a connector, the first time or again, so
    // no ink of the letter lies under it and the pen may travel there lifted.
    std::vector<bool> airborne;
    double connectorLength = 0;  // new lines between parts, each counted once
    double retraceLength = 0;    // segments (and connectors) drawn more than once
    double connectorPasses = 0;  // connectors, each counted as often as it is walked
    int connectors = 0;
};

// Points closer than snap count as one; a stroke end closer than snap to
// another segment touches it.
JoinedStroke joinStrokes(const std::vector<Polyline>& strokes, Point startTarget, Point endTarget,
                         const JoinWeights& weights = {}, double snap = 0.25);

}  // namespace fontc
