#include "machine/ProgramPath.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "machine/MachineProgram.h"

namespace {

// A status report gives the position to the micrometre; a path point is kept
// to a few hundredths of a micrometre.
constexpr double kOnThePath = 0.01;
// Arcs are measured against chords this close to them.
constexpr double kChordTolerance = 0.002;

class LineMoves final : public MotionSink {
  public:
    void straight(const PathPoint& to, const Move& move) override {
        ProgramPath::Piece piece;
        piece.to = to;
        piece.rapid = move.rapid;
        pieces.push_back(piece);
    }
    void arc(const PathPoint& to, const ArcShape& arc, const Move&) override {
        ProgramPath::Piece piece;
        piece.to = to;
        piece.isArc = true;
        piece.arc = arc;
        pieces.push_back(piece);
    }

    std::vector<ProgramPath::Piece> pieces;
};

double squared(double v) { return v * v; }

double pointDistance(const PathPoint& a, const PathPoint& b) {
    return std::sqrt(squared(a.X - b.X) + squared(a.Y - b.Y) + squared(a.Z - b.Z));
}

double segmentDistance(const PathPoint& from, const PathPoint& to, const PathPoint& p) {
    const double dx = to.X - from.X, dy = to.Y - from.Y, dz = to.Z - from.Z;
    const double length = dx * dx + dy * dy + dz * dz;
    double t = 0;
    if (length > 0)
        t = std::clamp(((p.X - from.X) * dx + (p.Y - from.Y) * dy + (p.Z - from.Z) * dz) / length,
                       0.0, 1.0);
    return pointDistance({from.X + t * dx, from.Y + t * dy, from.Z + t * dz}, p);
}

double pieceDistance(const PathPoint& from, const ProgramPath::Piece& piece, const PathPoint& p) {
    if (!piece.isArc) return segmentDistance(from, piece.to, p);
    const ArcTracer tracer(from, piece.to, piece.arc);
    double best = std::numeric_limits<double>::max();
    PathPoint last = from;
    tracer.forEachChordEnd(ArcChords(from, piece.to, piece.arc, kChordTolerance),
                           [&](const PathPoint& q) {
                               best = std::min(best, segmentDistance(last, q, p));
                               last = q;
                           });
    return best;
}

}  // namespace

void ProgramExtent::widen(std::size_t axis, double value) {
    if (!used[axis]) {
        used[axis] = true;
        min[axis] = max[axis] = value;
        return;
    }
    min[axis] = std::min(min[axis], value);
    max[axis] = std::max(max[axis], value);
}

ProgramPath::ProgramPath(const MachineProgram& program) {
    walk(program, GCodeInterpreter::State{}, false);
}

ProgramPath::ProgramPath(const MachineProgram& program, const GCodeInterpreter::State& start) {
    walk(program, start, true);
}

void ProgramPath::walk(const MachineProgram& program, const GCodeInterpreter::State& start,
                       bool machineFrame) {
    start_ = start.position;
    std::array<bool, 3> placed{};
    const auto widenBy = [&](const PathPoint& p) {
        for (std::size_t k = 0; k < 3; ++k)
            if (placed[k]) extent_.widen(k, p[k]);
    };
    LineMoves moves;
    GCodeInterpreter interpreter(moves, start);
    ends_.reserve(program.size());
    kinds_.reserve(program.size());
    PathPoint at = start_;
    for (std::size_t line = 0; line < program.size(); ++line) {
        moves.pieces.clear();
        interpreter.run(program.line(line));
        if (moves.pieces.empty()) {
            ends_.push_back(
                {static_cast<float>(at.X), static_cast<float>(at.Y), static_cast<float>(at.Z)});
            kinds_.push_back(static_cast<std::uint8_t>(Kind::None));
            continue;
        }
        const GCodeBlock& words = interpreter.block();
        // Without the machine's offsets, a move in machine coordinates (G53,
        // G28, G30) lands nowhere the program's own coordinates tell.
        const bool measured =
            machineFrame ||
            std::none_of(words.g.begin(), words.g.begin() + words.gCount,
                         [](CodeTenths g) { return g == 530 || g == 280 || g == 300; });
        PathPoint from = at;
        bool anyFeed = false;
        for (const Piece& piece : moves.pieces) {
            for (std::size_t k = 0; k < 3; ++k)
                if (measured && (words.has(static_cast<char>('X' + k)) || piece.to[k] != from[k]))
                    placed[k] = true;
            if (measured) widenBy(piece.to);
            if (piece.isArc && measured) {
                // An arc reaches furthest where it crosses a quarter turn in its plane.
                const auto [a, b, n] = PlaneAxes(piece.arc.plane);
                (void)n;
                const double startAngle =
                    std::atan2(from[b] - piece.arc.centreB, from[a] - piece.arc.centreA);
                const double low = std::min(startAngle, startAngle + piece.arc.sweep);
                const double high = std::max(startAngle, startAngle + piece.arc.sweep);
                const ArcTracer tracer(from, piece.to, piece.arc);
                constexpr double kQuarter = std::numbers::pi / 2;
                for (double q = std::ceil(low / kQuarter); q * kQuarter <= high; ++q) {
                    const double t = (q * kQuarter - startAngle) / piece.arc.sweep;
                    if (t > 0 && t < 1) widenBy(tracer.at(t));
                }
            }
            anyFeed = anyFeed || !piece.rapid;
            from = piece.to;
        }
        at = from;
        ends_.push_back(
            {static_cast<float>(at.X), static_cast<float>(at.Y), static_cast<float>(at.Z)});
        std::uint8_t kind = static_cast<std::uint8_t>(anyFeed ? Kind::Feed : Kind::Rapid);
        if (moves.pieces.size() > 1 || moves.pieces[0].isArc) {
            kind |= kComplex;
            aside_.push_back({line,
                              {static_cast<std::uint32_t>(pieces_.size()),
                               static_cast<std::uint32_t>(moves.pieces.size())}});
            pieces_.insert(pieces_.end(), moves.pieces.begin(), moves.pieces.end());
        }
        kinds_.push_back(kind);
    }
    reach_ = extent_;
    for (std::size_t k = 0; k < 3; ++k) reach_.widen(k, start_[k]);
}

PathPoint ProgramPath::end(std::size_t line) const {
    const auto& e = ends_[line];
    return {e[0], e[1], e[2]};
}

double ProgramPath::distance(std::size_t line, const PathPoint& point) const {
    if (kind(line) == Kind::None) return pointDistance(end(line), point);
    double best = std::numeric_limits<double>::max();
    forEachPiece(line, [&](const PathPoint& from, const Piece& piece) {
        best = std::min(best, pieceDistance(from, piece, point));
    });
    return best;
}

std::size_t ProgramPath::executingLine(std::size_t first, std::size_t acknowledged,
                                       std::size_t plannerBlocks, const PathPoint& at) const {
    acknowledged = std::min(acknowledged, size());
    if (acknowledged <= first) return first;
    std::size_t low = acknowledged;
    std::size_t moving = 0;
    while (low > first && moving <= plannerBlocks) {
        --low;
        if (kind(low) != Kind::None) ++moving;
    }
    for (std::size_t line = low; line < acknowledged; ++line) {
        if (kind(line) == Kind::None || distance(line, at) > kOnThePath) continue;
        // Standing at its end, the line is done and the next one is due.
        return pointDistance(end(line), at) <= kOnThePath ? line + 1 : line;
    }
    return low;
}
