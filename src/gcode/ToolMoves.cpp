#include "gcode/ToolMoves.h"

namespace {

// Heights that differ by less are one height: incremental moves add up
// rounding.
constexpr double kSameHeight = 1e-6;

}  // namespace

bool CutRule::cuts(const ToolMove& move, double fromZ) const {
    if (move.rapid()) return false;
    if (byHeight) return std::min(fromZ, move.end.Z) < startHeight - kSameHeight;
    return (move.flags & ToolMove::kSpindleOn) || !switchesSpindle;
}

void ToolMoves::addRecord(const ToolMove* moves, std::size_t count, const PathPoint& end) {
    if (count == 0) {
        shapes_.push_back(kNone);
        return;
    }
    if (count == 1 && moves[0].arc < 0 && moves[0].end == end) {
        shapes_.push_back(static_cast<std::uint8_t>(kStraight | (moves[0].flags << 2)));
        return;
    }
    shapes_.push_back(kListed);
    listed_.emplace_back(shapes_.size(), moves_.size());
    moves_.insert(moves_.end(), moves, moves + count);
}

void ToolMoves::resolveCuts(const PenPoints& points, const CutRule& rule) {
    const std::size_t last = std::min(shapes_.size(), points.count());
    auto listed = listed_.begin();
    for (std::size_t record = 1; record <= last; ++record) {
        std::uint8_t& shape = shapes_[record - 1];
        double fromZ = pointOf(points, record - 1).Z;
        if ((shape & kShapeMask) == kStraight) {
            ToolMove move;
            move.end = pointOf(points, record);
            move.flags = static_cast<std::uint8_t>(shape >> 2);
            move.flags =
                static_cast<std::uint8_t>(rule.cuts(move, fromZ) ? move.flags | ToolMove::kCut
                                                                 : move.flags & ~ToolMove::kCut);
            shape = static_cast<std::uint8_t>(kStraight | (move.flags << 2));
            continue;
        }
        if ((shape & kShapeMask) != kListed) continue;
        while (listed != listed_.end() && listed->first < record) ++listed;
        if (listed == listed_.end() || listed->first != record) continue;
        const std::size_t end = listed + 1 != listed_.end() ? (listed + 1)->second : moves_.size();
        for (std::size_t k = listed->second; k < end; ++k) {
            ToolMove& move = moves_[k];
            move.flags =
                static_cast<std::uint8_t>(rule.cuts(move, fromZ) ? move.flags | ToolMove::kCut
                                                                 : move.flags & ~ToolMove::kCut);
            fromZ = move.end.Z;
        }
    }
}
