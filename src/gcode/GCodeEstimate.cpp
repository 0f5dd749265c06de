#include "gcode/GCodeEstimate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "gcode/MoveNumber.h"
#include "lib/DiskFiles.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"

namespace {

constexpr double kMmPerInch = 25.4;

std::string oneDecimal(double v) { return movenumber::fixedText(v, 1, false); }

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

GCodeEstimator::GCodeEstimator(const MachineLimits& limits) : planner_(limits) {}

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
    figures_.seconds = planner_.finish();
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
    if (w.dwell) planner_.dwell(w.p);
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
    planner_.move(target, rapid, feed_);
}

void GCodeEstimator::sync() { planner_.wait(); }

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
