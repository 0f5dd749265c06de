#include "gcode/MotionPlanner.h"

#include <algorithm>
#include <cmath>

namespace {

// A rate or acceleration along a direction: the tightest of its axes, found by
// comparing products so that one division gives it (millions of moves).
inline double alongAxes(const std::array<double, 3>& perAxis, const std::array<double, 3>& unit) {
    if (perAxis[0] == perAxis[1] && perAxis[1] == perAxis[2]) {  // the usual machine
        const double largest =
            std::max({std::fabs(unit[0]), std::fabs(unit[1]), std::fabs(unit[2])});
        return largest == 0 ? 1e300 : perAxis[0] / largest;
    }
    std::size_t tightest = 3;
    for (std::size_t i = 0; i < 3; ++i) {
        if (unit[i] == 0) continue;
        if (tightest == 3 ||
            perAxis[i] * std::fabs(unit[tightest]) < perAxis[tightest] * std::fabs(unit[i]))
            tightest = i;
    }
    return tightest == 3 ? 1e300 : perAxis[tightest] / std::fabs(unit[tightest]);
}

// Time over `mm` starting at v0, ending at v1, cruising at most at vn.
double trapezoidSeconds(double mm, double v0, double v1, double vn, double a) {
    const double accelMm = (vn * vn - v0 * v0) / (2 * a);
    const double decelMm = (vn * vn - v1 * v1) / (2 * a);
    if (accelMm + decelMm <= mm)
        return (vn - v0) / a + (vn - v1) / a + (mm - accelMm - decelMm) / vn;
    const double peak = std::sqrt(std::max(0.0, (2 * a * mm + v0 * v0 + v1 * v1) / 2));
    return (peak - v0) / a + (peak - v1) / a;
}

// std::llround (halves away from zero, as the controller rounds to steps)
// without the library call.
inline long long roundToStep(double x) {
    // Past 2^52 steps (kilometres by the million) a position is held there.
    constexpr long long kFarthest = 4503599627370496LL;  // 2^52
    if (!(std::fabs(x) < static_cast<double>(kFarthest))) return x > 0 ? kFarthest : -kFarthest;
    auto whole = static_cast<long long>(x);              // toward zero
    const double rest = x - static_cast<double>(whole);  // exact
    if (rest >= 0.5) ++whole;
    if (rest <= -0.5) --whole;
    return whole;
}

}  // namespace

MotionPlanner::MotionPlanner(const MachineLimits& limits)
    : limits_(limits),
      ring_(std::max<std::size_t>(limits.lookahead, 1) + 1),
      slowestRate_(std::min({limits.maxRate[0], limits.maxRate[1], limits.maxRate[2]})) {
    for (double rate : limits.maxRate)
        if (!(rate > 0) || !std::isfinite(rate)) slowestRate_ = -1;
}

void MotionPlanner::move(const std::array<double, 3>& target, bool rapid, double feed) {
    std::array<double, 3> unit{};
    double mm = 0;
    bool moves = false;
    // An axis that does not move has no division to make (most moves stay in
    // the plane): its zero is what the division would give.
    // A move shorter than a step leaves every axis where it stands.
    for (std::size_t k = 0; k < 3; ++k) {
        const long long steps = roundToStep(target[k] * limits_.stepsPerMm);
        const long long delta = steps - steps_[k];
        steps_[k] = steps;
        unit[k] = delta == 0 ? 0.0 : static_cast<double>(delta) / limits_.stepsPerMm;
        mm += unit[k] * unit[k];
        moves = moves || delta != 0;
    }
    if (!moves) return;  // shorter than a step: the planner drops it
    mm = std::sqrt(mm);
    for (double& u : unit)
        if (u != 0) u /= mm;

    Block b{};
    b.mm = mm;
    b.accel = alongAxes(limits_.accel, unit);
    if (feed != feed_) {
        feed_ = feed;
        feedRate_ = std::max(feed, 1.0) / 60;
    }
    // A feed no faster than any axis is the block's speed when no component
    // of the direction exceeds 1: each axis's rate along it is then at least
    // its own rate, rounding included.
    const double largest = std::max({std::fabs(unit[0]), std::fabs(unit[1]), std::fabs(unit[2])});
    if (!rapid && largest <= 1 && std::max(feed, 1.0) <= slowestRate_) {
        b.nominal = feedRate_;
    } else {
        const double rapidRate = alongAxes(limits_.maxRate, unit) / 60;
        b.nominal = rapid ? rapidRate : std::min(feedRate_, rapidRate);
    }
    if (count_ == 0 && speed_ == 0 && previousNominal_ == 0) {
        b.maxEntrySqr = 0;
    } else {
        double cosTheta = 0;
        std::array<double, 3> junction{};
        for (std::size_t k = 0; k < 3; ++k) {
            cosTheta -= previousUnit_[k] * unit[k];
            junction[k] = unit[k] - previousUnit_[k];
        }
        double junctionSqr = 0;
        if (cosTheta > 0.999999) {
            junctionSqr = 0;
        } else if (cosTheta < -0.999999) {
            junctionSqr = 1e300;
        } else {
            const double length = std::sqrt(junction[0] * junction[0] + junction[1] * junction[1] +
                                            junction[2] * junction[2]);
            const double a = alongAxes(limits_.accel, junction) * length;
            const double sinHalf = std::sqrt(0.5 * (1 - cosTheta));
            junctionSqr = a * limits_.junctionDeviation * sinHalf / (1 - sinHalf);
        }
        b.maxEntrySqr =
            std::min({junctionSqr, b.nominal * b.nominal, previousNominal_ * previousNominal_});
    }
    previousUnit_ = unit;
    previousNominal_ = b.nominal;

    // The newest block must be able to stop; each block behind it may now
    // enter faster, up to the first whose limit stays as it was.
    b.reachSqr = std::min(b.maxEntrySqr, 0 + 2 * b.accel * b.mm);
    block(count_++) = b;
    for (std::size_t i = count_ - 1; i-- > 1;) {
        Block& older = block(i);
        const double reach =
            std::min(older.maxEntrySqr, block(i + 1).reachSqr + 2 * older.accel * older.mm);
        if (reach == older.reachSqr) break;
        older.reachSqr = reach;
    }
    // The buffer holds the running block too: it learns of at most
    // lookahead - 1 blocks behind it before its steps are all prepared.
    if (count_ >= limits_.lookahead) executeOldest();
}

// The oldest block runs with what the planner knows now: the blocks behind it
// in the buffer, the last of which must be able to stop.
void MotionPlanner::executeOldest() {
    const Block& first = block(0);
    const double exitSqr = std::min(count_ > 1 ? block(1).reachSqr : 0.0,
                                    speed_ * speed_ + 2 * first.accel * first.mm);
    const double exit = std::sqrt(exitSqr);
    // Stops and dwells count only between motions.
    if (moved_) seconds_ += waiting_;
    waiting_ = 0;
    moved_ = movedSinceStop_ = true;
    seconds_ += trapezoidSeconds(first.mm, speed_, exit, first.nominal, first.accel);
    speed_ = exit;
    if (++head_ == ring_.size()) head_ = 0;
    --count_;
}

void MotionPlanner::wait() {
    while (count_ > 0) executeOldest();
    speed_ = 0;
    previousNominal_ = 0;
    if (movedSinceStop_) waiting_ += limits_.idleLockSeconds;
    movedSinceStop_ = false;
}

void MotionPlanner::dwell(double seconds) {
    wait();
    if (!(seconds > 0) || !(limits_.dwellStepSeconds > 0)) return;
    // The controller counts whole steps, in single precision and 16 bits.
    const float steps =
        std::min(65535.0f, std::ceil(static_cast<float>(1 / limits_.dwellStepSeconds) *
                                     static_cast<float>(std::min(seconds, 1e6))));
    waiting_ += static_cast<double>(steps) * limits_.dwellStepSeconds;
}

double MotionPlanner::finish() {
    while (count_ > 0) executeOldest();
    speed_ = 0;
    previousNominal_ = 0;
    movedSinceStop_ = false;
    waiting_ = 0;
    return seconds_;
}
