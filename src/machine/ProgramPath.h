#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gcode/ArcShape.h"
#include "gcode/GCodeInterpreter.h"

class MachineProgram;

// Where a program moves, in millimetres: per axis X, Y, Z the smallest and
// largest position it reaches (arcs by their true extent).
struct ProgramExtent {
    std::array<double, 3> min{};
    std::array<double, 3> max{};
    std::array<bool, 3> used{};  // the extent holds a position on this axis

    void widen(std::size_t axis, double value);
};

// The path of a program's lines as the controller runs them from a given
// state, worked out by the same interpreter that reads any G-code file, so
// offsets (G10, G92), G53, G28/G30, units and arcs count as the controller
// counts them. Per line it keeps where the line leaves the tool and how it
// got there; a line of more than one straight move (an arc, a return through
// a point, a drilling cycle) keeps its moves aside.
class ProgramPath {
  public:
    enum class Kind : std::uint8_t { None, Rapid, Feed };
    struct Piece {
        PathPoint to;
        bool rapid = false;
        bool isArc = false;
        ArcShape arc;
    };

    ProgramPath() = default;
    // From a fresh controller: positions are the program's own coordinates.
    explicit ProgramPath(const MachineProgram& program);
    // From a controller's state (its position, offsets and modes): positions
    // are that controller's machine coordinates.
    ProgramPath(const MachineProgram& program, const GCodeInterpreter::State& start);

    std::size_t size() const { return kinds_.size(); }
    Kind kind(std::size_t line) const { return static_cast<Kind>(kinds_[line] & kKindBits); }
    PathPoint start() const { return start_; }
    // Where line `line` leaves the tool, and where it took it from.
    PathPoint end(std::size_t line) const;
    PathPoint lineStart(std::size_t line) const { return line == 0 ? start_ : end(line - 1); }
    // Where the program takes the tool: an axis counts once the program has
    // placed it.
    const ProgramExtent& extent() const { return extent_; }
    // The same with the place the tool starts from.
    const ProgramExtent& reach() const { return reach_; }

    // Calls f(from, piece) for every move of the line, in order.
    template <typename F>
    void forEachPiece(std::size_t line, F&& f) const;

    // How far `point` lies from the way line `line` takes the tool.
    double distance(std::size_t line, const PathPoint& point) const;

    // The first line the machine has not finished, from where it stands.
    // Lines before `acknowledged` were taken by the controller, which plans
    // at most `plannerBlocks` moves ahead of the one it runs, so the one it
    // runs is among the last plannerBlocks + 1 moving lines taken (never
    // before `first`, the job's first line). `at` is its position in this
    // path's coordinates. Where that position lies on no such line (it was
    // moved by hand), the earliest line it may be on: a resume from there
    // writes a letter twice rather than leave one out.
    std::size_t executingLine(std::size_t first, std::size_t acknowledged,
                              std::size_t plannerBlocks, const PathPoint& at) const;

  private:
    static constexpr std::uint8_t kKindBits = 3;
    static constexpr std::uint8_t kComplex = 4;  // its moves are kept in pieces_
    struct Aside {
        std::uint32_t first = 0;
        std::uint32_t count = 0;
    };

    void walk(const MachineProgram& program, const GCodeInterpreter::State& start,
              bool machineFrame);

    PathPoint start_;
    std::vector<std::array<float, 3>> ends_;
    std::vector<std::uint8_t> kinds_;
    std::vector<std::pair<std::size_t, Aside>> aside_;  // by line, in order
    std::vector<Piece> pieces_;
    ProgramExtent extent_;
    ProgramExtent reach_;
};

template <typename F>
void ProgramPath::forEachPiece(std::size_t line, F&& f) const {
    PathPoint from = lineStart(line);
    if ((kinds_[line] & kComplex) == 0) {
        if (kind(line) == Kind::None) return;
        Piece piece;
        piece.to = end(line);
        piece.rapid = kind(line) == Kind::Rapid;
        f(from, piece);
        return;
    }
    const auto at = std::lower_bound(aside_.begin(), aside_.end(), line,
                                     [](const auto& a, std::size_t l) { return a.first < l; });
    for (std::uint32_t i = 0; i < at->second.count; ++i) {
        const Piece& piece = pieces_[at->second.first + i];
        f(from, piece);
        from = piece.to;
    }
}
