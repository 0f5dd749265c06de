#include "machine/MachineProgram.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "machine/ProgramState.h"

std::string CleanGCodeLine(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    bool inComment = false;
    for (const char c : line) {
        if (inComment) {
            inComment = c != ')';
        } else if (c == '(') {
            inComment = true;
        } else if (c == ';') {
            break;
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            out.push_back(c);
        }
    }
    if (!out.empty() && out.front() == '%') out.clear();
    return out;
}

MachineProgram MachineProgram::fromText(std::string_view text) {
    MachineProgram program;
    std::size_t number = 0;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        const std::string_view raw = text.substr(0, end);
        if (end == std::string_view::npos) {
            end = text.size();
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            ++end;
        }
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        const std::string cleaned = CleanGCodeLine(raw);
        if (cleaned.empty()) continue;
        if (cleaned.size() > kMaxLineLength)
            throw MachineProgramError(
                cp("Строка " + std::to_string(number) + " длиннее, чем GRBL принимает (" +
                   std::to_string(kMaxLineLength) + " знаков без пробелов и комментариев): ") +
                cleaned.substr(0, 40) + "...");
        program.append(cleaned, number);
    }
    program.measureExtent();
    program.plan(MachineLimits{});
    return program;
}

MachineProgram MachineProgram::fromFile(const std::string& path) {
    return fromText(textfile::readBytes(path));
}

void MachineProgram::append(std::string_view cleaned, std::size_t sourceLine) {
    if (text_.size() + cleaned.size() > UINT32_MAX || sourceLine > UINT32_MAX)
        throw MachineProgramError(cp("Программа слишком велика для отправки (более 4 ГБ)."));
    text_.append(cleaned);
    offsets_.push_back(static_cast<std::uint32_t>(text_.size()));
    sourceLines_.push_back(static_cast<std::uint32_t>(sourceLine));
}

std::size_t MachineProgram::indexOfSourceLine(std::size_t sourceLine) const {
    return static_cast<std::size_t>(
        std::lower_bound(sourceLines_.begin(), sourceLines_.end(), sourceLine) -
        sourceLines_.begin());
}

namespace {

void widen(ProgramExtent& extent, std::size_t axis, double value) {
    if (!extent.used[axis]) {
        extent.used[axis] = true;
        extent.min[axis] = extent.max[axis] = value;
        return;
    }
    extent.min[axis] = std::min(extent.min[axis], value);
    extent.max[axis] = std::max(extent.max[axis], value);
}

// The points of an arc that stand furthest out in its plane (a, b): its ends
// and every quarter of the circle that it passes.
void widenByArc(ProgramExtent& extent, const ProgramState::Effect& e,
                const std::array<double, 3>& to, int plane) {
    const std::size_t a = plane == 17 ? 0 : plane == 18 ? 2 : 1;
    const std::size_t b = plane == 17 ? 1 : plane == 18 ? 0 : 2;
    const double r = std::hypot(e.from[a] - e.centre[a], e.from[b] - e.centre[b]);
    double start = std::atan2(e.from[b] - e.centre[b], e.from[a] - e.centre[a]);
    double end = std::atan2(to[b] - e.centre[b], to[a] - e.centre[a]);
    if (e.clockwise) std::swap(start, end);  // walk counter-clockwise from start to end
    constexpr double kTurn = 2 * std::numbers::pi;
    while (end <= start) end += kTurn;  // equal ends: a full circle
    for (int quarter = -4; quarter <= 8; ++quarter) {
        const double angle = quarter * std::numbers::pi / 2;
        if (angle <= start || angle >= end) continue;
        widen(extent, a, e.centre[a] + r * std::cos(angle));
        widen(extent, b, e.centre[b] + r * std::sin(angle));
    }
}

}  // namespace

void MachineProgram::measureExtent() {
    ProgramState state;
    for (std::size_t i = 0; i < size(); ++i) {
        const ProgramState::Effect e = state.apply(line(i));
        if (!e.moved) continue;
        for (std::size_t k = 0; k < 3; ++k)
            if (state.known[k]) widen(extent_, k, state.position[k]);
        if (e.arc) widenByArc(extent_, e, state.position, state.plane);
    }
}

void MachineProgram::plan(const MachineLimits& limits) {
    GCodeEstimator estimator(limits);
    secondsBefore_.assign(size(), 0.0F);
    // The estimator counts a move's time when the look-ahead lets it go, a
    // planner's length of lines after it was written, about as GRBL's planner
    // holds the lines already acknowledged: the time before line i is read
    // when line i is written.
    for (std::size_t i = 0; i < size(); ++i) {
        secondsBefore_[i] = static_cast<float>(estimator.secondsSoFar());
        estimator.write(line(i));
        estimator.write("\n");
    }
    totalSeconds_ = estimator.finish().seconds;
}

double MachineProgram::secondsBefore(std::size_t i) const {
    return i < secondsBefore_.size() ? secondsBefore_[i] : totalSeconds_;
}
