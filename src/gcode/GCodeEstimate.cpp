#include "gcode/GCodeEstimate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "gcode/GCodeWriter.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"

namespace {

constexpr double kMmPerInch = 25.4;

std::string oneDecimal(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
    return buffer;
}

// A rate or acceleration along a direction: the tightest of its axes.
double alongAxes(const std::array<double, 3>& perAxis, const std::array<double, 3>& unit) {
    double limit = 1e300;
    for (std::size_t i = 0; i < 3; ++i)
        if (unit[i] != 0) limit = std::min(limit, perAxis[i] / std::fabs(unit[i]));
    return limit;
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

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::vector<std::pair<std::string, std::string>> FigureLines(const MachiningFigures& f) {
    return {{"writing_mm", oneDecimal(f.writingMm)},
            {"travel_mm", oneDecimal(f.travelMm)},
            {"lifts", std::to_string(f.lifts)},
            {"seconds", oneDecimal(f.seconds)}};
}

MachineLimits LimitsOf(const GCodeProfile& profile) {
    MachineLimits limits;
    limits.maxRate = profile.maxRate;
    limits.accel = profile.accel;
    limits.junctionDeviation = profile.junctionDeviation;
    return limits;
}

GCodeEstimator::GCodeEstimator(const MachineLimits& limits) : limits_(limits) {}

void GCodeEstimator::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            partial_.append(bytes);
            return;
        }
        if (partial_.empty()) {
            line(bytes.substr(0, end));
        } else {
            partial_.append(bytes.substr(0, end));
            line(partial_);
            partial_.clear();
        }
        bytes.remove_prefix(end + 1);
    }
}

MachiningFigures GCodeEstimator::finish() {
    if (!partial_.empty()) {
        line(partial_);
        partial_.clear();
    }
    sync();
    stopWriting();
    return figures_;
}

void GCodeEstimator::line(std::string_view text) {
    std::array<double, 3> axis{};
    std::array<bool, 3> given{};
    bool dwell = false, end = false;
    double p = 0, s = spindleSpeed_;
    int spindle = spindle_;
    bool rapid = rapid_;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '(') {
            const std::size_t close = text.find(')', i);
            if (close == std::string_view::npos) break;
            i = close + 1;
            continue;
        }
        if (c == ';' || c == '%') break;
        if (!isLetter(c)) {
            ++i;
            continue;
        }
        const char letter = static_cast<char>(c & ~0x20);
        std::size_t j = i + 1;
        while (j < text.size() && text[j] == ' ') ++j;
        if (j < text.size() && text[j] == '+') ++j;
        double value = 0;
        const auto [ptr, ec] = std::from_chars(text.data() + j, text.data() + text.size(), value);
        if (ec != std::errc()) {
            i = j;
            continue;
        }
        i = static_cast<std::size_t>(ptr - text.data());
        if (!std::isfinite(value)) continue;
        switch (letter) {
            case 'G': {
                const int g = static_cast<int>(std::lround(value * 10));
                if (g == 0 || g == 10) {
                    rapid = g == 0;
                } else if (g == 40) {
                    dwell = true;
                } else if (g == 200 || g == 210) {
                    inches_ = g == 200;
                } else if (g == 900 || g == 910) {
                    incremental_ = g == 910;
                }
                break;
            }
            case 'M': {
                const int m = static_cast<int>(std::lround(value));
                if (m == 3 || m == 4 || m == 5) spindle = m;
                if (m == 2 || m == 30 || m == 0 || m == 1) end = true;
                if (m == 6) end = true;  // a tool change waits for the machine
                break;
            }
            case 'X':
            case 'Y':
            case 'Z': {
                const auto k = static_cast<std::size_t>(letter - 'X');
                axis[k] = value;
                given[k] = true;
                break;
            }
            case 'F':
                feed_ = value * (inches_ ? kMmPerInch : 1);
                break;
            case 'P':
                p = value;
                break;
            case 'S':
                s = value;
                break;
            default:
                break;
        }
    }
    // A controller changes the spindle only when the moves before are done.
    if (s != spindleSpeed_ && spindle_ != 5) {
        sync();
        stopWriting();
    }
    spindleSpeed_ = s;
    if (spindle != spindle_) {
        sync();
        stopWriting();
        spindle_ = spindle;
    }
    if (dwell) {
        sync();
        figures_.seconds += std::max(0.0, p);
    }
    rapid_ = rapid;
    if (given[0] || given[1] || given[2]) {
        std::array<double, 3> target = position_;
        for (std::size_t k = 0; k < 3; ++k) {
            if (!given[k]) continue;
            const double mm = axis[k] * (inches_ ? kMmPerInch : 1);
            target[k] = incremental_ ? target[k] + mm : mm;
        }
        move(target, rapid_);
    }
    if (end) sync();
}

// A rapid move, a spindle or laser change or the end: the writing stops there.
void GCodeEstimator::stopWriting() {
    if (writing_) ++figures_.lifts;
    writing_ = false;
}

void GCodeEstimator::move(const std::array<double, 3>& target, bool rapid) {
    const double planeMm = std::hypot(target[0] - position_[0], target[1] - position_[1]);
    if (rapid) {
        figures_.travelMm += planeMm;
        stopWriting();
    } else if (planeMm > 0) {
        figures_.writingMm += planeMm;
        writing_ = true;
    }
    position_ = target;

    std::array<long long, 3> steps{};
    std::array<double, 3> unit{};
    double mm = 0;
    bool moves = false;
    for (std::size_t k = 0; k < 3; ++k) {
        steps[k] = std::llround(target[k] * limits_.stepsPerMm);
        unit[k] = static_cast<double>(steps[k] - steps_[k]) / limits_.stepsPerMm;
        mm += unit[k] * unit[k];
        moves = moves || steps[k] != steps_[k];
    }
    if (!moves) return;  // shorter than a step: the planner drops it
    steps_ = steps;
    mm = std::sqrt(mm);
    for (double& u : unit) u /= mm;

    Block b{};
    b.mm = mm;
    b.accel = alongAxes(limits_.accel, unit);
    const double rapidRate = alongAxes(limits_.maxRate, unit) / 60;
    b.nominal = rapid ? rapidRate : std::min(std::max(feed_, 1.0) / 60, rapidRate);
    if (blocks_.empty() && speed_ == 0 && previousNominal_ == 0) {
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
            for (double& j : junction) j /= length;
            const double a = alongAxes(limits_.accel, junction);
            const double sinHalf = std::sqrt(0.5 * (1 - cosTheta));
            junctionSqr = a * limits_.junctionDeviation * sinHalf / (1 - sinHalf);
        }
        b.maxEntrySqr =
            std::min({junctionSqr, b.nominal * b.nominal, previousNominal_ * previousNominal_});
    }
    previousUnit_ = unit;
    previousNominal_ = b.nominal;
    blocks_.push_back(b);
    if (blocks_.size() > limits_.lookahead) executeOldest();
}

// The oldest block runs with what the planner knows now: the blocks behind it
// in the buffer, the last of which must be able to stop.
void GCodeEstimator::executeOldest() {
    const Block& first = blocks_.front();
    double nextSqr = 0;
    for (std::size_t j = blocks_.size() - 1; j >= 1; --j) {
        const Block& b = blocks_[j];
        nextSqr = std::min(b.maxEntrySqr, nextSqr + 2 * b.accel * b.mm);
    }
    const double exitSqr =
        std::min(blocks_.size() > 1 ? nextSqr : 0.0, speed_ * speed_ + 2 * first.accel * first.mm);
    const double exit = std::sqrt(exitSqr);
    figures_.seconds += trapezoidSeconds(first.mm, speed_, exit, first.nominal, first.accel);
    speed_ = exit;
    blocks_.pop_front();
}

void GCodeEstimator::sync() {
    while (!blocks_.empty()) executeOldest();
    speed_ = 0;
    previousNominal_ = 0;
}

MachiningFigures EstimateProgram(const PenPoints& points, std::string_view feed,
                                 const GCodeProfile& profile) {
    GCodeEstimator estimator(LimitsOf(profile));
    WriteGCode(points, feed, profile, estimator);
    return estimator.finish();
}

MachiningFigures EstimateGCodeText(std::string_view text, const MachineLimits& limits) {
    GCodeEstimator estimator(limits);
    estimator.write(text);
    return estimator.finish();
}

MachiningFigures EstimateGCodeFile(const std::string& path, const MachineLimits& limits) {
    const auto fail = [&] {
        return FileReadError(cp("Не удалось прочитать файл ") + win1251::fromUtf8(path));
    };
    // Only a regular file: a pipe would block the reading for good.
    if (!textfile::isFile(path)) throw fail();
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw fail();
    GCodeEstimator estimator(limits);
    std::string buffer(std::size_t{1} << 20, '\0');
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0)
        estimator.write(std::string_view(buffer.data(), n));
    if (std::ferror(file.get())) throw fail();
    return estimator.finish();
}
