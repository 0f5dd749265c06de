#include "machine/ResumePlan.h"

#include <cmath>
#include <optional>

#include "gcode/GCodeInterpreter.h"
#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"

namespace {

std::string num(double value) { return movenumber::fixedText(value, 3, true); }

std::string spindleLine(int mode, double speed) {
    if (mode == 5) return "M5";
    return "M" + std::to_string(mode) + "S" + num(speed);
}

// The moves and pauses of the line just run.
class LineEvents final : public MotionSink {
  public:
    struct Piece {
        PathPoint to;
        bool rapid = false;
        double feed = 0;
    };
    void straight(const PathPoint& to, const Move& move) override {
        pieces.push_back({to, move.rapid, move.feed});
    }
    void arc(const PathPoint& to, const ArcShape&, const Move& move) override {
        pieces.push_back({to, false, move.feed});
    }
    void dwell(double seconds) override {
        dwelled = true;
        dwellSeconds = seconds;
    }
    void clear() {
        pieces.clear();
        dwelled = false;
    }

    std::vector<Piece> pieces;
    bool dwelled = false;
    double dwellSeconds = 0;
};

// Runs a program's lines one by one, keeping what the line just run did.
class Walk {
  public:
    Walk() : interpreter_(events_) {}

    void run(std::string_view line) {
        before_ = interpreter_.state();
        events_.clear();
        interpreter_.run(line);
        PathPoint from = before_.position;
        for (const LineEvents::Piece& piece : events_.pieces) {
            for (std::size_t k = 0; k < 3; ++k)
                if (interpreter_.block().has(static_cast<char>('X' + k)) || piece.to[k] != from[k])
                    placed_[k] = true;
            from = piece.to;
        }
    }
    const GCodeInterpreter::State& state() const { return interpreter_.state(); }
    const GCodeInterpreter::State& before() const { return before_; }
    const LineEvents& events() const { return events_; }
    PathPoint workPosition() const { return interpreter_.workPosition(); }
    bool placed(std::size_t axis) const { return placed_[axis]; }
    bool spindleChanged() const {
        return state().spindle != before_.spindle || state().speed != before_.speed;
    }
    // A rapid move in the plane: Z-only rapids are lifts.
    bool travelledInPlane() const {
        PathPoint from = before_.position;
        for (const LineEvents::Piece& piece : events_.pieces) {
            if (piece.rapid && (piece.to.X != from.X || piece.to.Y != from.Y)) return true;
            from = piece.to;
        }
        return false;
    }
    // A feed move of Z alone (a plunge): its feed.
    std::optional<double> plunge() const {
        PathPoint from = before_.position;
        std::optional<double> feed;
        for (const LineEvents::Piece& piece : events_.pieces) {
            if (!piece.rapid && piece.to.X == from.X && piece.to.Y == from.Y &&
                piece.to.Z != from.Z)
                feed = piece.feed;
            from = piece.to;
        }
        return feed;
    }

  private:
    LineEvents events_;
    GCodeInterpreter interpreter_;
    GCodeInterpreter::State before_;
    std::array<bool, 3> placed_{};
};

int planeCode(ArcPlane plane) {
    return plane == ArcPlane::XY ? 17 : plane == ArcPlane::ZX ? 18 : 19;
}

std::string systemCode(std::size_t system) {
    if (system < 6) return "G" + std::to_string(54 + system);
    return "G59." + std::to_string(system - 5);
}

}  // namespace

ToolHandling ReadToolHandling(const MachineProgram& program) {
    ToolHandling tool;
    tool.usesZ = program.extent().used[2];
    tool.safeZ = program.extent().max[2];
    Walk walk;
    bool travelSeen = false;
    bool dwellSeen = false;
    bool afterSpindleChange = false;
    for (std::size_t i = 0; i < program.size() && !(travelSeen && dwellSeen); ++i) {
        walk.run(program.line(i));
        if (walk.events().dwelled && afterSpindleChange && !dwellSeen) {
            tool.dwell = walk.events().dwellSeconds;
            dwellSeen = true;
        }
        afterSpindleChange = walk.spindleChanged();
        if (!travelSeen && walk.travelledInPlane()) {
            tool.travelSpindle = walk.state().spindle;
            tool.travelSpeed = walk.state().speed;
            travelSeen = true;
        }
    }
    tool.laser = !tool.usesZ && tool.travelSpindle != 5 && tool.travelSpeed == 0;
    return tool;
}

std::size_t StrokeStart(const MachineProgram& program, std::size_t index) {
    const ProgramPath& path = program.path();
    index = std::min(index, program.size());
    for (std::size_t i = index; i > 0; --i)
        if (path.kind(i - 1) == ProgramPath::Kind::Rapid) return i;
    // No travel before it: no letter to go back to the start of.
    return index;
}

std::vector<std::string> ResumeLines(const MachineProgram& program, std::size_t index) {
    const ToolHandling tool = ReadToolHandling(program);
    Walk walk;
    double plungeFeed = 0;
    for (std::size_t i = 0; i < index && i < program.size(); ++i) {
        walk.run(program.line(i));
        if (const auto feed = walk.plunge()) plungeFeed = *feed;
    }
    const GCodeInterpreter::State& state = walk.state();
    // A reset clears G92: from here on the program would run elsewhere.
    if (state.shiftOn && (state.shift.X != 0 || state.shift.Y != 0 || state.shift.Z != 0))
        throw MachineProgramError(
            cp("До этой строки программа сдвигает координаты командой G92, а сброс станка "
               "этот сдвиг снимает: продолжить с середины нельзя, только с начала программы."));
    const PathPoint at = walk.workPosition();
    std::vector<std::string> lines;
    std::string modes = "G21G90G" + std::to_string(planeCode(state.plane));
    if (state.system != 0) modes += systemCode(state.system);
    lines.push_back(modes);
    if (tool.usesZ) lines.push_back("G0Z" + num(tool.safeZ));
    lines.push_back(spindleLine(tool.travelSpindle, tool.travelSpeed));
    if (tool.dwell > 0 && tool.travelSpindle != 5) lines.push_back("G4P" + num(tool.dwell));
    std::string across;
    for (std::size_t k = 0; k < 2; ++k)
        if (walk.placed(k)) across += std::string(1, "XY"[k]) + num(at[k]);
    if (!across.empty()) lines.push_back("G0" + across);
    // Quickly down to a height above the work, at the plunge feed into it.
    if (tool.usesZ && walk.placed(2)) {
        if (at.Z > 0)
            lines.push_back("G0Z" + num(at.Z));
        else
            lines.push_back("G1Z" + num(at.Z) + "F" +
                            num(plungeFeed > 0   ? plungeFeed
                                : state.feed > 0 ? state.feed
                                                 : 100));
    }
    if (state.spindle != tool.travelSpindle || state.speed != tool.travelSpeed) {
        lines.push_back(spindleLine(state.spindle, state.speed));
        if (tool.dwell > 0 && !tool.laser) lines.push_back("G4P" + num(tool.dwell));
    }
    const std::string feed = state.feed > 0 ? "F" + num(state.feed) : "";
    if (state.motion == 0 || state.motion == 10)
        lines.push_back("G" + std::to_string(state.motion / 10) + feed);
    else if (!feed.empty())
        lines.push_back(feed);
    if (state.inches) lines.push_back("G20");
    if (state.incremental) lines.push_back("G91");
    return lines;
}

std::vector<std::string> FrameLines(const MachineProgram& program, double feed, double laserPower) {
    const ProgramExtent& e = program.extent();
    const ToolHandling tool = ReadToolHandling(program);
    std::vector<std::string> lines{"G21G90"};
    if (!e.used[0] || !e.used[1]) return {};
    if (tool.usesZ)
        lines.push_back("G0Z" + num(tool.safeZ));
    else if (!tool.laser)
        lines.push_back(spindleLine(tool.travelSpindle, tool.travelSpeed));
    if (!tool.usesZ && !tool.laser && tool.dwell > 0) lines.push_back("G4P" + num(tool.dwell));
    const std::string x0 = num(e.min[0]), x1 = num(e.max[0]);
    const std::string y0 = num(e.min[1]), y1 = num(e.max[1]);
    lines.push_back("G0X" + x0 + "Y" + y0);
    if (tool.laser) lines.push_back("M3S" + num(laserPower));
    lines.push_back("G1X" + x1 + "Y" + y0 + "F" + num(feed));
    lines.push_back("G1X" + x1 + "Y" + y1);
    lines.push_back("G1X" + x0 + "Y" + y1);
    lines.push_back("G1X" + x0 + "Y" + y0);
    if (tool.laser) lines.push_back("M5");
    return lines;
}
