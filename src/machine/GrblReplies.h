#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "gcode/GCodeEstimate.h"

// What one line from GRBL 1.1 is.
enum class GrblReplyKind {
    Ok,       // "ok": the oldest line in GRBL's buffer was taken
    Error,    // "error:N": the oldest line was refused
    Alarm,    // "ALARM:N": the machine stopped
    Status,   // "<...>": a status report
    Banner,   // "Grbl 1.1h ['$' for help]", grblHAL's, FluidNC's: after a reset
    Setting,  // "$N=value": one line of "$$"
    Feedback  // "[MSG:...]", "[VER:...]", "[OPT:...]" and anything else
};

struct GrblReply {
    GrblReplyKind kind = GrblReplyKind::Feedback;
    int code = 0;      // of an error, an alarm or a setting
    double value = 0;  // of a setting
    std::string text;  // the line without its line end
};

GrblReply ParseGrblReply(std::string_view line);

// A status report, with what earlier reports said where this one is silent
// (GRBL sends the work offset and the overrides only now and then).
struct GrblStatus {
    std::string state;                // Idle, Run, Hold, Jog, Alarm, Door, Check, Home, Sleep
    int subState = -1;                // Hold:0 (complete) / Hold:1, Door:N; -1 none
    std::array<double, 3> machine{};  // MPos, mm
    std::array<double, 3> work{};     // WPos = MPos - WCO, mm
    std::array<double, 3> offset{};   // WCO
    bool offsetReported = false;      // this report carried WCO
    int plannerFree = -1;             // Bf: blocks free in the planner; -1 not reported
    int rxFree = -1;                  // Bf: bytes free in the receive buffer
    double feed = 0;                  // mm/min now
    double spindle = 0;               // spindle speed or laser power now
    std::array<int, 3> overrides{100, 100, 100};  // feed, rapid, spindle, %
    std::string pins;                             // Pn: as reported (shown, not acted on)
    std::string accessories;                      // A: S or C spindle, F flood, M mist
    long long line = -1;                          // Ln: when GRBL reports line numbers
};

// Updates `status` from a report "<...>"; false when the text is not one.
// `toMm` scales what the report gives in inches ($13=1) to millimetres.
bool ParseGrblStatus(std::string_view report, GrblStatus& status, double toMm = 1);

// What "$#" tells: the work offsets the controller keeps, in mm.
struct GrblOffsets {
    std::array<std::array<double, 3>, 6> systems{};  // G54 .. G59
    std::array<double, 3> g28{};
    std::array<double, 3> g30{};
    std::array<double, 3> g92{};
    double toolLength = 0;  // TLO, on Z
    bool known = false;     // "$#" was answered
};

// Takes one line of "$#" ("[G54:0.000,0.000,0.000]", "[G92:...]", "[TLO:...]");
// false for a line that is none of them. "[PRB:...]" is taken and ignored.
bool ParseGrblOffsetLine(std::string_view line, GrblOffsets& offsets, double toMm = 1);

// The parser's modes "$G" tells ("[GC:G0 G54 G17 G21 G90 G94 M5 M9 T0 F0 S0]").
struct GrblModes {
    std::size_t system = 0;  // G54 .. G59 as 0 .. 5
    int plane = 17;
    bool inches = false;
    bool incremental = false;
    bool known = false;
};
bool ParseGrblModes(std::string_view line, GrblModes& modes);

// "[OPT:V,15,128]": the planner's blocks and the receive buffer's bytes (grblHAL
// adds more fields after them). False when the line is no such report.
bool ParseGrblOptions(std::string_view line, std::size_t& plannerBlocks,
                      std::size_t& receiveBuffer);

// The settings read with "$$".
struct GrblSettings {
    std::map<int, double> values;

    std::optional<double> value(int number) const;
    bool softLimits() const { return value(20).value_or(0) != 0; }
    bool homing() const { return value(22).value_or(0) != 0; }
    bool laserMode() const { return value(32).value_or(0) != 0; }
    // $13=1: positions and feeds are reported in inches.
    bool reportsInches() const { return value(13).value_or(0) != 0; }
    double maxSpindle() const { return value(30).value_or(1000); }
    // $130..$132, mm; empty when "$$" did not report them.
    std::optional<std::array<double, 3>> travel() const;
    // Rates, accelerations and junction deviation for the time estimate
    // (GRBL's defaults where "$$" did not report them).
    MachineLimits limits() const;
};
