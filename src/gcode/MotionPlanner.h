#pragma once

#include <array>
#include <cstddef>
#include <vector>

// The machine as a motion planner sees it.
struct MachineLimits {
    std::array<double, 3> maxRate{500, 500, 500};  // mm/min per axis
    std::array<double, 3> accel{10, 10, 10};       // mm/s^2 per axis
    double junctionDeviation = 0.01;               // mm
    double stepsPerMm = 250;                       // positions are whole steps
    std::size_t lookahead = 15;                    // blocks the planner holds
    double idleLockSeconds = 0.025;                // the motors held at every full stop
    double dwellStepSeconds = 0.05;                // dwells are counted in these steps
    double arcTolerance = 0.002;                   // mm: arcs run as chords this close
};

// Plans moves as a controller does (each block's speed limited by its axes'
// rates and accelerations, corners by the junction deviation, looking ahead
// over a planner's few blocks) and counts the time from the first motion to
// the last: a stop the controller waits for (a spindle change, a dwell, a
// pause) holds the motors a moment before the next motion, and a dwell runs
// in whole steps. Time before the first motion and after the last is not
// counted, as a controller's step clock does not.
class MotionPlanner {
  public:
    explicit MotionPlanner(const MachineLimits& limits);

    // A straight move to `target` (mm); `feed` in mm/min for a feed move.
    void move(const std::array<double, 3>& target, bool rapid, double feed);
    // The controller finishes every move before going on.
    void wait();
    void dwell(double seconds);
    // Seconds of the moves run so far: all but the few the look-ahead holds.
    double secondsSoFar() const { return seconds_; }
    // Runs the moves still held; the seconds of the whole program.
    double finish();

  private:
    struct Block {
        double mm;
        double nominal;      // mm/s
        double accel;        // mm/s^2
        double maxEntrySqr;  // (mm/s)^2
        double reachSqr;     // fastest entry from which the newest block can still stop
    };
    void executeOldest();
    Block& block(std::size_t i) {
        const std::size_t at = head_ + i;
        return ring_[at < ring_.size() ? at : at - ring_.size()];
    }

    MachineLimits limits_;
    std::array<long long, 3> steps_{};  // where the planner stands
    // The blocks not yet run, oldest first, in a ring.
    std::vector<Block> ring_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    std::array<double, 3> previousUnit_{};
    double previousNominal_ = 0;
    double speed_ = 0;  // entry speed of the oldest block
    double seconds_ = 0;
    bool moved_ = false;  // a block ran
    bool movedSinceStop_ = false;
    double waiting_ = 0;  // stops and dwells since the last motion, counted if another comes
    // The last feed asked for and its speed in mm/s.
    double feed_ = -1;
    double feedRate_ = 1.0 / 60;
    double
        slowestRate_;  // mm/min, the slowest axis's; -1 for rates that are not all numbers above 0
};
