#include "gcode/PenPoints.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "gcode/MoveNumber.h"
#include "gcode/MoveText.h"
#include "gcode/PenPointSink.h"

void PenPoints::reset() {
    clear();
    records_.push_back(Record{});
}

void PenPoints::clear() {
    records_.clear();
    text_.clear();
    exact_.clear();
    textSteps_.clear();
    moves_.reset();
}

void PenPoints::reserve(std::size_t records, std::size_t textBytes) {
    records_.reserve(records);
    text_.reserve(textBytes);
}

std::uint32_t PenPoints::encode(double value, std::size_t key) {
    // Laid-out coordinates are whole hundredths: try those first.
    static constexpr std::uint32_t kOrder[8] = {2, 0, 1, 3, 4, 5, 6, 7};
    constexpr double kLimit = (1 << 27) - 1;
    for (const std::uint32_t decimals : kOrder) {
        const double scaled = value * kUnits[decimals];
        if (!(std::fabs(scaled) <= kLimit)) continue;  // NaN too
        const double units = movenumber::roundSmall(scaled);
        // Cheap filter before the exact check: only a near whole number can do.
        if (std::fabs(scaled - units) > 1e-9 * (1 + std::fabs(scaled))) continue;
        if (std::bit_cast<std::uint64_t>(units / kUnits[decimals]) !=
            std::bit_cast<std::uint64_t>(value))
            continue;
        if (units == 0) {
            if (std::signbit(value)) break;  // -0 would come back as +0
            return 0;
        }
        return (static_cast<std::uint32_t>(static_cast<std::int32_t>(units)) << 4) |
               (decimals << 1);
    }
    exact_.emplace_back(key, value);
    return static_cast<std::uint32_t>(kExact) << 4;
}

double PenPoints::exactValue(std::size_t key) const {
    const auto at = std::lower_bound(
        exact_.begin(), exact_.end(), key,
        [](const std::pair<std::size_t, double>& e, std::size_t k) { return e.first < k; });
    return at != exact_.end() && at->first == key ? at->second : 0.0;
}

std::size_t PenPoints::textStart(std::size_t index) const {
    const auto steps = static_cast<std::size_t>(
        std::upper_bound(textSteps_.begin(), textSteps_.end(), index) - textSteps_.begin());
    return (steps << 32) | records_[index].text;
}

void PenPoints::push(const PenPoint& point, std::uint32_t flags) {
    const std::size_t index = records_.size();
    const std::size_t key = 3 * index;
    Record r;
    r.x = encode(point.X, key) | flags;
    r.y = encode(point.Y, key + 1);
    r.z = encode(point.Z, key + 2);
    r.text = static_cast<std::uint32_t>(text_.size() & 0xffffffffU);
    while (textSteps_.size() < (text_.size() >> 32)) textSteps_.push_back(index);
    records_.push_back(r);
}

void PenPoints::append(const PenPoint& point, std::string_view line) {
    push(point, 0);
    text_.append(line);
}

void PenPoints::appendMove(const PenPoint& point, char decimalSeparator) {
    separator_ = decimalSeparator;
    push(point, kMoveTextBit);
}

std::string PenPoints::line(std::size_t pos, std::size_t limit) const {
    if (hasMoveText(pos)) {
        const PenPoint p = (*this)[pos];
        char text[kMaxMoveText];
        const char* end = WriteMoveText(text, p.X, p.Y, p.Z, separator_);
        return std::string(text, std::min(static_cast<std::size_t>(end - text), limit));
    }
    return std::string(ownLine(pos).substr(0, limit));
}

std::string_view PenPoints::ownLine(std::size_t pos) const {
    if (hasMoveText(pos)) return {};
    const std::size_t start = textStart(pos - 1);
    const std::size_t end = pos < records_.size() ? textStart(pos) : text_.size();
    return std::string_view(text_).substr(start, end - start);
}

bool PenPoints::operator==(const PenPoints& other) const {
    if (count() != other.count()) return false;
    for (std::size_t i = 1; i <= count(); ++i)
        if (!((*this)[i] == other[i]) || line(i) != other.line(i)) return false;
    return true;
}

PenPointSource RecordsOf(const PenPoints& points) {
    return [&points](PenPointSink& sink) {
        for (std::size_t i = 2; i <= points.count(); ++i) sink.add(points[i]);
    };
}
