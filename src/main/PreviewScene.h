#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "gcode/ArcShape.h"
#include "gcode/PenPoints.h"
#include "lib/EventPump.h"
#include "main/PreviewGeometry.h"
#include "main/ViewTransform.h"

// A picture's pixels as 0xffRRGGBB words, row after row (a QImage of
// Format_RGB32 has this layout); `stride` counts words per row.
struct PixelBuffer {
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// Cuts the segment to the rectangle; false when nothing of it lies inside.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double minX, double minY,
                 double maxX, double maxY);

// The moves of a tool path as the preview draws them, walked once (see
// walkPreview, or for an interpreted program its moves, writing red and the
// rest green) and kept in drawing order, so that every frame of a zoom or a
// pan draws only what it shows. Segment k runs from the end of segment k-1 (the
// origin for the first) to its own end point, straight or along an arc; arcs
// are cut into chords for each frame, a fraction of a pixel close, so they stay
// round at any zoom.
class PreviewScene {
  public:
    PreviewScene() = default;
    PreviewScene(const PenPoints& points, DrawingMode drawMode, EventPump& pump);

    std::size_t size() const { return ends_.size(); }
    // How many segments belong to records 1..recordLimit.
    std::size_t segmentsUpTo(std::size_t recordLimit) const;
    // Extent of everything drawn, origin included; empty when nothing is drawn.
    std::optional<MmRect> extent() const;

    // The segment a record draws; empty for a record the preview skips.
    std::optional<PreviewSegment> segmentOf(std::size_t record) const;
    // The whole way a record's moves draw, arcs as chords `tolerance` mm close;
    // empty for a record the preview skips.
    std::vector<MmPoint> pathOf(std::size_t record, double tolerance) const;
    // The record whose move, among the first `count` segments, passes nearest to
    // the point and not farther than `tolerance`; the later one on a tie, as it is
    // drawn on top.
    std::optional<std::size_t> recordNear(MmPoint point, double tolerance, std::size_t count) const;

    // Draws the first `count` segments, one pixel wide in their colours, onto the
    // buffer; writing (red) as wide as writingWidth mm when that is more than a
    // pixel and a half. Only what lies in view is touched, a run of moves that
    // stays inside one pixel becomes that pixel, and a block of moves that fits
    // in one pixel becomes one dot.
    void render(PixelBuffer& target, const ViewTransform& view, std::size_t count,
                double writingWidth = 0) const;

  private:
    struct Block {
        MmRect box;
        bool arcs = false;  // some of its segments are arcs
    };
    // An arc segment; the heights are those of its ends (arcs upright in
    // G18/G19 show their turn in the view).
    struct Arc {
        std::size_t segment = 0;
        ArcShape shape;
        double fromZ = 0;
        double toZ = 0;
        MmRect box;
    };
    static constexpr std::size_t kBlock = 256;

    void addInterpretedMoves(const PenPoints& points, EventPump& pump);
    const Arc* arcOf(std::size_t segment) const;
    // Calls f(point) for the chord ends of an arc segment after its start.
    template <typename F>
    void forEachChordEnd(const Arc& arc, double tolerance, F&& f) const;

    MmPoint startOf(std::size_t segment) const {
        return segment == 0 ? MmPoint{} : ends_[segment - 1];
    }

    std::vector<MmPoint> ends_;
    std::vector<PreviewColour> colours_;
    std::vector<std::size_t> records_;
    std::vector<Block> blocks_;  // one per kBlock segments
    std::vector<Arc> arcs_;      // in segment order
};
