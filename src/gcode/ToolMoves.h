#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "gcode/ArcShape.h"
#include "gcode/PenPoints.h"

// One move of the tool as the interpreter ran it, ending at `end`.
struct ToolMove {
    enum Flags : std::uint8_t {
        kRapid = 1,      // G0 and the rapid parts of G28/G30 and drilling cycles
        kSpindleOn = 2,  // the spindle or laser runs (M3/M4, S above 0)
        kCut = 4,        // drawn as writing (see CutRule)
    };
    PathPoint end;
    std::int32_t arc = -1;  // index into ToolMoves::arcs(); -1 for a straight move
    std::uint8_t flags = 0;
    bool rapid() const { return flags & kRapid; }
    bool cut() const { return flags & kCut; }
};

// Which feed moves cut. A program that moves the tool up and down cuts below
// the height it starts at: the height of its first rapid move in Z, or 0 when
// its first move in Z is a feed. A program at one height (a laser, a plotter
// without Z) cuts while the spindle or laser is on, or everywhere when it
// never switches one.
struct CutRule {
    bool byHeight = false;
    double startHeight = 0;
    bool switchesSpindle = false;
    bool cuts(const ToolMove& move, double fromZ) const;
};

// The moves the interpreter ran for each record of a tool path, in
// millimetres in the machine's frame: each record's point is where the tool
// stands after its line. Most records hold one straight move (from the
// previous record's point to their own), which costs one byte here; arcs,
// drilling cycles and returns home are listed with their moves.
class ToolMoves {
  public:
    // Appends the next record's moves; `end` is the record's point.
    void addRecord(const ToolMove* moves, std::size_t count, const PathPoint& end);
    std::size_t addArc(const ArcShape& arc) {
        arcs_.push_back(arc);
        return arcs_.size() - 1;
    }
    void reserve(std::size_t records) { shapes_.reserve(records); }
    // Marks the cutting moves; `points` are the records the moves belong to.
    void resolveCuts(const PenPoints& points, const CutRule& rule);

    std::size_t records() const { return shapes_.size(); }
    const std::vector<ArcShape>& arcs() const { return arcs_; }

    // Calls f(record, from, move) for every move of records first..last (1-based).
    template <typename F>
    void forEachMove(const PenPoints& points, std::size_t first, std::size_t last, F&& f) const;

  private:
    enum Shape : std::uint8_t { kNone = 0, kStraight = 1, kListed = 2, kShapeMask = 3 };
    // Per record: its shape, and for a straight move the move's flags shifted by 2.
    std::vector<std::uint8_t> shapes_;
    // Listed records, in order: the record and its first move in moves_.
    std::vector<std::pair<std::size_t, std::size_t>> listed_;
    std::vector<ToolMove> moves_;
    std::vector<ArcShape> arcs_;

    static PathPoint pointOf(const PenPoints& points, std::size_t record) {
        if (record == 0) return {};
        const PenPoint& p = points[record];
        return {p.X, p.Y, p.Z};
    }
};

template <typename F>
void ToolMoves::forEachMove(const PenPoints& points, std::size_t first, std::size_t last,
                            F&& f) const {
    last = std::min({last, shapes_.size(), points.count()});
    if (first == 0) first = 1;
    auto listed = std::lower_bound(
        listed_.begin(), listed_.end(), first,
        [](const std::pair<std::size_t, std::size_t>& l, std::size_t r) { return l.first < r; });
    for (std::size_t record = first; record <= last; ++record) {
        const std::uint8_t shape = shapes_[record - 1];
        if ((shape & kShapeMask) == kNone) continue;
        PathPoint from = pointOf(points, record - 1);
        if ((shape & kShapeMask) == kStraight) {
            ToolMove move;
            move.end = pointOf(points, record);
            move.flags = static_cast<std::uint8_t>(shape >> 2);
            f(record, from, move);
            continue;
        }
        while (listed != listed_.end() && listed->first < record) ++listed;
        if (listed == listed_.end() || listed->first != record) continue;
        const std::size_t begin = listed->second;
        const std::size_t end = listed + 1 != listed_.end() ? (listed + 1)->second : moves_.size();
        for (std::size_t k = begin; k < end; ++k) {
            f(record, from, moves_[k]);
            from = moves_[k].end;
        }
    }
}
