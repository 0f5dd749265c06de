#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gcode/GCodeProfile.h"
#include "gcode/GCodeSink.h"
#include "gcode/MotionPlanner.h"
#include "gcode/PenPointSink.h"
#include "gcode/PenPoints.h"

// How long a program runs on the machine, and how much of it is writing.
struct MachiningFigures {
    double writingMm = 0;  // feed moves in the plane
    double travelMm = 0;   // rapid moves in the plane
    long long lifts = 0;   // times the tool stops writing and travels
    double seconds = 0;    // with acceleration and cornering, as the controller plans
};

// The figures one to a line: writing_mm, travel_mm, lifts, seconds.
std::vector<std::pair<std::string, std::string>> FigureLines(const MachiningFigures& figures);

MachineLimits LimitsOf(const GCodeProfile& profile);

// Reads G-code text as it is written, word by word as the program's own
// profiles write it, and plans its moves as a controller does (MotionPlanner),
// stopping for spindle changes, dwells and program end.
class GCodeEstimator final : public GCodeSink {
  public:
    explicit GCodeEstimator(const MachineLimits& limits);
    void write(std::string_view bytes) override;
    MachiningFigures finish();
    // Seconds of the moves planned to the end so far: all but the last few
    // lines written, which the look-ahead still holds.
    double secondsSoFar() const { return planner_.secondsSoFar(); }

    // What one line asks for, in the order the words' effects need.
    struct Words {
        std::array<double, 3> axis{};
        std::array<bool, 3> given{};
        int motion = -1;  // 0 rapid, 1 feed; -1 none
        int units = -1;   // 0 mm, 1 inch, -1 none: the last G20/G21
        int unitsAtFeed = -1;
        int distance = -1;  // 0 absolute, 1 incremental
        bool feedGiven = false;
        double feed = 0;
        bool dwell = false;
        double p = 0;
        bool speedGiven = false;
        double speed = 0;
        int spindle = 0;  // 3, 4 or 5; 0 none
        bool end = false;
    };
    // A line read once and run for many records: its text with each number
    // still to come written as "0" at the byte offsets `holes`.
    struct PreparedLine {
        Words words;
        std::array<int, 3> hole{-1, -1, -1};  // per axis X, Y, Z: the hole of its number
    };
    // Empty when a hole is not the whole number of an X, Y or Z word (the line
    // must then be written out and read as text).
    static std::optional<PreparedLine> prepare(std::string_view text,
                                               const std::vector<std::size_t>& holes);
    // The line with axis[k] as the number in axis k's hole.
    void run(const PreparedLine& line, const std::array<double, 3>& axis);

  private:
    // spans: where each axis's number starts and ends in the text.
    static void parse(std::string_view text, Words& words,
                      std::array<std::pair<std::size_t, std::size_t>, 3>* spans = nullptr);
    void apply(const Words& words);
    void line(std::string_view text);
    void move(const std::array<double, 3>& target, bool rapid);
    void sync();
    void stopWriting();

    MotionPlanner planner_;
    std::string partial_;
    MachiningFigures figures_;
    // Modal state.
    std::array<double, 3> position_{};  // mm, as programmed
    bool rapid_ = true;
    bool inches_ = false;
    bool incremental_ = false;
    double feed_ = 0;  // mm/min
    double spindleSpeed_ = 0;
    int spindle_ = 5;  // 3, 4 or 5
    bool writing_ = false;
};

// The figures of the program the profile writes for the list.
MachiningFigures EstimateProgram(const PenPoints& points, std::string_view feed,
                                 const GCodeProfile& profile);
// The same for records as they come (gone through once per pass).
MachiningFigures EstimateProgram(const PenPointSource& records, std::string_view feed,
                                 const GCodeProfile& profile);
MachiningFigures EstimateGCodeText(std::string_view text, const MachineLimits& limits);
// Throws FileReadError naming the file.
MachiningFigures EstimateGCodeFile(const std::string& path, const MachineLimits& limits);
