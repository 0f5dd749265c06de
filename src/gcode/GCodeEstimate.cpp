#include "gcode/GCodeEstimate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "lib/DiskFiles.h"
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
    if (!(std::fabs(x) < 4503599627370496.0)) return std::llround(x);  // 2^52
    auto whole = static_cast<long long>(x);                            // toward zero
    const double rest = x - static_cast<double>(whole);                // exact
    if (rest >= 0.5) ++whole;
    if (rest <= -0.5) --whole;
    return whole;
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a number as std::from_chars does: a plain decimal of up to 15 digits,
// as programs are written, straight (such a mantissa and a power of ten up to
// 1e22 are exact doubles, so one division rounds as from_chars would); any
// other form by from_chars itself.
const char* readNumber(const char* p, const char* end, double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* q = p;
    const bool negative = q < end && *q == '-';
    if (negative) ++q;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    for (; q < end && isDigit(*q); ++q, ++digits) mantissa = mantissa * 10 + (*q - '0');
    if (q < end && *q == '.')
        for (++q; q < end && isDigit(*q); ++q, ++digits, ++decimals)
            mantissa = mantissa * 10 + (*q - '0');
    if (digits == 0 || digits > 15 || (q < end && (*q == 'e' || *q == 'E'))) {
        const auto [ptr, ec] = std::from_chars(p, end, value);
        return ec == std::errc() ? ptr : nullptr;
    }
    value = static_cast<double>(mantissa) / kPowers[decimals];
    if (negative) value = -value;
    return q;
}

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

GCodeEstimator::GCodeEstimator(const MachineLimits& limits)
    : limits_(limits), ring_(std::max<std::size_t>(limits.lookahead, 1) + 1) {}

void GCodeEstimator::write(std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\n' && *q != '\r') ++q;
        if (q == end) {
            partial_.append(p, end);
            return;
        }
        const std::string_view text(p, static_cast<std::size_t>(q - p));
        if (partial_.empty()) {
            line(text);
        } else {
            partial_.append(text);
            line(partial_);
            partial_.clear();
        }
        p = q + 1;
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
    Words words;
    parse(text, words);
    apply(words);
}

void GCodeEstimator::parse(std::string_view text, Words& w,
                           std::array<std::pair<std::size_t, std::size_t>, 3>* spans) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char c = *p;
        if (c == '(') {
            while (p < end && *p != ')') ++p;
            if (p == end) break;
            ++p;
            continue;
        }
        if (c == ';' || c == '%') break;
        if (!isLetter(c)) {
            ++p;
            continue;
        }
        const char letter = static_cast<char>(c & ~0x20);
        const char* q = p + 1;
        while (q < end && *q == ' ') ++q;
        if (q < end && *q == '+') ++q;
        double value = 0;
        const char* const after = readNumber(q, end, value);
        if (after == nullptr) {
            p = q;
            continue;
        }
        p = after;
        if (!std::isfinite(value)) continue;
        switch (letter) {
            case 'G': {
                const int g = static_cast<int>(std::lround(value * 10));
                if (g == 0 || g == 10) {
                    w.motion = g == 0 ? 0 : 1;
                } else if (g == 40) {
                    w.dwell = true;
                } else if (g == 200 || g == 210) {
                    w.units = g == 200 ? 1 : 0;
                } else if (g == 900 || g == 910) {
                    w.distance = g == 910 ? 1 : 0;
                }
                break;
            }
            case 'M': {
                const int m = static_cast<int>(std::lround(value));
                if (m == 3 || m == 4 || m == 5) w.spindle = m;
                if (m == 2 || m == 30 || m == 0 || m == 1) w.end = true;
                if (m == 6) w.end = true;  // a tool change waits for the machine
                break;
            }
            case 'X':
            case 'Y':
            case 'Z': {
                const auto k = static_cast<std::size_t>(letter - 'X');
                w.axis[k] = value;
                w.given[k] = true;
                if (spans)
                    (*spans)[k] = {static_cast<std::size_t>(q - text.data()),
                                   static_cast<std::size_t>(after - text.data())};
                break;
            }
            case 'F':
                w.feedGiven = true;
                w.feed = value;
                w.unitsAtFeed = w.units;
                break;
            case 'P':
                w.p = value;
                break;
            case 'S':
                w.speedGiven = true;
                w.speed = value;
                break;
            default:
                break;
        }
    }
}

std::optional<GCodeEstimator::PreparedLine> GCodeEstimator::prepare(
    std::string_view text, const std::vector<std::size_t>& holes) {
    PreparedLine line;
    std::array<std::pair<std::size_t, std::size_t>, 3> spans{};
    parse(text, line.words, &spans);
    std::size_t bound = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        if (!line.words.given[k]) continue;
        for (std::size_t h = 0; h < holes.size(); ++h) {
            if (spans[k].first == holes[h] && spans[k].second == holes[h] + 1) {
                line.hole[k] = static_cast<int>(h);
                ++bound;
            }
        }
    }
    // A hole elsewhere (even in a comment) is read from the text instead.
    if (bound != holes.size()) return std::nullopt;
    return line;
}

void GCodeEstimator::run(const PreparedLine& line, const std::array<double, 3>& axis) {
    Words words = line.words;
    for (std::size_t k = 0; k < 3; ++k)
        if (line.hole[k] >= 0) words.axis[k] = axis[k];
    apply(words);
}

void GCodeEstimator::apply(const Words& w) {
    // A feed is in the units in force where its word stands.
    if (w.feedGiven) {
        const bool inches = w.unitsAtFeed >= 0 ? w.unitsAtFeed == 1 : inches_;
        feed_ = w.feed * (inches ? kMmPerInch : 1);
    }
    if (w.units >= 0) inches_ = w.units == 1;
    if (w.distance >= 0) incremental_ = w.distance == 1;
    const double s = w.speedGiven ? w.speed : spindleSpeed_;
    // A controller changes the spindle only when the moves before are done.
    if (s != spindleSpeed_ && spindle_ != 5) {
        sync();
        stopWriting();
    }
    spindleSpeed_ = s;
    if (w.spindle != 0 && w.spindle != spindle_) {
        sync();
        stopWriting();
        spindle_ = w.spindle;
    }
    if (w.dwell) {
        sync();
        figures_.seconds += std::max(0.0, w.p);
    }
    if (w.motion >= 0) rapid_ = w.motion == 0;
    if (w.given[0] || w.given[1] || w.given[2]) {
        std::array<double, 3> target = position_;
        for (std::size_t k = 0; k < 3; ++k) {
            if (!w.given[k]) continue;
            const double mm = w.axis[k] * (inches_ ? kMmPerInch : 1);
            target[k] = incremental_ ? target[k] + mm : mm;
        }
        move(target, rapid_);
    }
    if (w.end) sync();
}

// A rapid move, a spindle or laser change or the end: the writing stops there.
void GCodeEstimator::stopWriting() {
    if (writing_) ++figures_.lifts;
    writing_ = false;
}

void GCodeEstimator::move(const std::array<double, 3>& target, bool rapid) {
    const double dx = target[0] - position_[0];
    const double dy = target[1] - position_[1];
    const double planeMm = std::sqrt(dx * dx + dy * dy);
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
        steps[k] = roundToStep(target[k] * limits_.stepsPerMm);
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
void GCodeEstimator::executeOldest() {
    const Block& first = block(0);
    const double exitSqr = std::min(count_ > 1 ? block(1).reachSqr : 0.0,
                                    speed_ * speed_ + 2 * first.accel * first.mm);
    const double exit = std::sqrt(exitSqr);
    figures_.seconds += trapezoidSeconds(first.mm, speed_, exit, first.nominal, first.accel);
    speed_ = exit;
    if (++head_ == ring_.size()) head_ = 0;
    --count_;
}

void GCodeEstimator::sync() {
    while (count_ > 0) executeOldest();
    speed_ = 0;
    previousNominal_ = 0;
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
    std::unique_ptr<FILE, int (*)(FILE*)> file(disk::openFile(path, "rb"), &std::fclose);
    if (!file) throw fail();
    GCodeEstimator estimator(limits);
    std::string buffer(std::size_t{1} << 20, '\0');
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0)
        estimator.write(std::string_view(buffer.data(), n));
    if (std::ferror(file.get())) throw fail();
    return estimator.finish();
}
