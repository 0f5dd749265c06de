#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/ArcShape.h"
#include "gcode/GCodeBlock.h"

// What the interpreter hands on: the moves, dwells and waits of a program, in
// millimetres in the machine's frame (work offsets applied), in the order the
// controller runs them.
class MotionSink {
  public:
    struct Move {
        bool rapid = true;
        double feed = 0;  // mm/min, for a feed move
        bool spindleOn = false;
    };
    virtual ~MotionSink() = default;
    virtual void straight(const PathPoint& to, const Move& move) = 0;
    virtual void arc(const PathPoint& to, const ArcShape& arc, const Move& move) = 0;
    // The controller finishes the moves before (a spindle or coolant change,
    // a pause, a tool change, new offsets, the program's end).
    virtual void wait() {}
    virtual void dwell(double /*seconds*/) {}
};

// Runs a G-code program line by line as a controller of the GRBL, LinuxCNC and
// Mach3 kind runs it: modal motion (G0, G1, G2, G3), feed, spindle and tool,
// G90/G91, G90.1/G91.1, G20/G21, G17/G18/G19 arcs by centre or radius (full
// circles, helices, turns P), G92 and G54..G59 offsets (G10 L2/L20), G53,
// G28/G30, G4, drilling cycles G81/G82/G83/G73 with G98/G99, M2/M30.
// A line it cannot run changes nothing and is reported; it never guesses.
class GCodeInterpreter {
  public:
    // The modal state and the offsets, as they stand between two lines.
    struct State {
        PathPoint position;  // machine frame, mm
        int motion = 0;      // G code in tenths (0, 10, 20, 30, 730, 810, 820, 830); -1 none
        ArcPlane plane = ArcPlane::XY;
        bool inches = false;
        bool incremental = false;
        bool arcCentreAbsolute = false;  // G90.1
        bool retractToR = false;         // G99; G98 returns to the starting height
        std::size_t system = 0;          // G54 .. G59.3 as 0 .. 8
        std::array<PathPoint, 9> systems{};
        PathPoint shift;  // G92
        bool shiftOn = true;
        PathPoint home28;
        PathPoint home30;
        double feed = 0;  // mm/min
        double speed = 0;
        bool speedGiven = false;
        int spindle = 5;  // 3, 4 or 5
        bool coolant = false;
        // The drilling cycle's words kept for the lines that repeat it.
        double cycleZ = 0;
        double cycleR = 0;
        double cycleQ = 0;
        double cycleP = 0;
        bool cycleZGiven = false;
        bool cycleRGiven = false;
        // The height a run of cycles began at: G98 returns there, and moves
        // between holes pass there.
        double cycleStartZ = 0;
        bool inCycles = false;
    };

    explicit GCodeInterpreter(MotionSink& sink);
    // Starts from a controller's state as it is: its position, offsets and modes.
    GCodeInterpreter(MotionSink& sink, const State& start);

    // Runs one line (without its line end); BlockIssue::None when it ran.
    // After the program's end (M2, M30, or a closing "%") lines are not run.
    BlockIssue run(std::string_view line);

    // At most this many moves from all lines together (drilling cycles expand
    // to many); a line past it is not run. Unlimited at first.
    void limitMoves(std::size_t moves) { moveBudget_ = moves; }

    bool ended() const { return ended_; }
    // Where the tool stands.
    const PathPoint& position() const { return state_.position; }
    // The same in the coordinates the program writes at this point (its work
    // offset and G92 taken off).
    PathPoint workPosition() const;
    const State& state() const { return state_; }
    // Whether the line just run held G-code words (a comment does not).
    bool lineHadWords() const { return block_.words > 0; }
    // The words of the line just run.
    const GCodeBlock& block() const { return block_; }

    // What the program showed of how it cuts, for CutRule.
    bool movedInZ() const { return movedInZ_; }
    double startHeight() const { return startHeight_; }
    bool switchesSpindle() const { return switchesSpindle_; }

  private:
    enum class Event : unsigned char { Straight, Arc, Wait, Dwell };
    struct Pending {
        Event event = Event::Straight;
        PathPoint to;
        ArcShape arc;
        MotionSink::Move move;
        double seconds = 0;
    };

    BlockIssue execute(State& next);
    PathPoint offsetOf(const State& s) const;
    // The target of a move from the block's axis words in the program's terms.
    PathPoint target(const State& s, bool machineFrame) const;
    BlockIssue arcMove(State& next, const PathPoint& to, bool clockwise);
    BlockIssue drillCycle(State& next, int code);
    void straight(State& next, const PathPoint& to, bool rapid);
    void wait();
    double length(double value, const State& s) const { return s.inches ? value * 25.4 : value; }

    MotionSink& sink_;
    State state_;
    GCodeBlock block_;
    std::string scratch_;
    std::vector<Pending> pending_;
    bool ended_ = false;
    bool delimited_ = false;  // the program opened with "%"
    bool anyLine_ = false;
    bool movedInZ_ = false;
    bool heightKnown_ = false;
    double startHeight_ = 0;
    bool switchesSpindle_ = false;
    std::size_t moveBudget_ = static_cast<std::size_t>(-1);
};

// Calls f(line) for every line of the text; lines end at CR LF, CR or LF.
template <typename F>
void ForEachProgramLine(std::string_view text, F&& f) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* const start = p;
        while (p < end && *p != '\r' && *p != '\n') ++p;
        const std::string_view line(start, static_cast<std::size_t>(p - start));
        if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
        f(line);
    }
}
