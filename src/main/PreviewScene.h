#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

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
// walkPreview) and kept in drawing order, so that every frame of a zoom or a
// pan draws only what it shows. Segment k runs from the end of segment k-1 (the
// origin for the first) to its own end point.
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
    };
    static constexpr std::size_t kBlock = 256;

    MmPoint startOf(std::size_t segment) const {
        return segment == 0 ? MmPoint{} : ends_[segment - 1];
    }

    std::vector<MmPoint> ends_;
    std::vector<PreviewColour> colours_;
    std::vector<std::size_t> records_;
    std::vector<Block> blocks_;  // one per kBlock segments
};
