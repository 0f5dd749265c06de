#include "machine/GrblReplies.h"

#include <charconv>
#include <vector>

#include "lib/NumberText.h"

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

int wholeNumber(std::string_view text) {
    int n = 0;
    std::from_chars(text.data(), text.data() + text.size(), n);
    return n;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

// "x,y,z" into `to`, each times `scale`; false when there are not three numbers.
bool triple(std::string_view text, std::array<double, 3>& to, double scale = 1) {
    const auto parts = split(text, ',');
    if (parts.size() < 3) return false;
    for (std::size_t i = 0; i < 3; ++i) to[i] = numtext::leadingNumber(parts[i]) * scale;
    return true;
}

// The text between "[NAME:" and "]"; empty when the line is not such a report.
std::optional<std::string_view> bracketed(std::string_view line, std::string_view name) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line.size() < name.size() + 3 || line.front() != '[' || line.back() != ']' ||
        line.substr(1, name.size()) != name || line[name.size() + 1] != ':')
        return std::nullopt;
    return line.substr(name.size() + 2, line.size() - name.size() - 3);
}

}  // namespace

GrblReply ParseGrblReply(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
        line.remove_suffix(1);
    GrblReply reply;
    reply.text = std::string(line);
    if (line == "ok") {
        reply.kind = GrblReplyKind::Ok;
    } else if (startsWith(line, "error:")) {
        reply.kind = GrblReplyKind::Error;
        reply.code = wholeNumber(line.substr(6));
    } else if (startsWith(line, "ALARM:")) {
        reply.kind = GrblReplyKind::Alarm;
        reply.code = wholeNumber(line.substr(6));
    } else if (startsWith(line, "<") && line.back() == '>') {
        reply.kind = GrblReplyKind::Status;
    } else if (startsWith(line, "Grbl ") || startsWith(line, "GrblHAL ")) {
        reply.kind = GrblReplyKind::Banner;
    } else if (startsWith(line, "$") && line.size() > 1 && line[1] >= '0' && line[1] <= '9' &&
               line.find('=') != std::string_view::npos) {
        reply.kind = GrblReplyKind::Setting;
        reply.code = wholeNumber(line.substr(1));
        reply.value = numtext::leadingNumber(line.substr(line.find('=') + 1));
    }
    return reply;
}

bool ParseGrblStatus(std::string_view report, GrblStatus& status, double toMm) {
    if (report.size() < 2 || report.front() != '<' || report.back() != '>') return false;
    const auto fields = split(report.substr(1, report.size() - 2), '|');
    const auto stateParts = split(fields[0], ':');
    status.state = std::string(stateParts[0]);
    status.subState = stateParts.size() > 1 ? wholeNumber(stateParts[1]) : -1;
    // Fields absent from this report keep what earlier ones said, but these
    // are sent with every report when they apply.
    status.pins.clear();
    status.accessories.clear();
    status.line = -1;
    status.plannerFree = status.rxFree = -1;
    status.offsetReported = false;
    bool machineGiven = false;
    bool workGiven = false;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const std::string_view field = fields[i];
        const std::size_t colon = field.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = field.substr(0, colon);
        const std::string_view value = field.substr(colon + 1);
        if (name == "MPos") {
            machineGiven = triple(value, status.machine, toMm);
        } else if (name == "WPos") {
            workGiven = triple(value, status.work, toMm);
        } else if (name == "WCO") {
            status.offsetReported = triple(value, status.offset, toMm);
        } else if (name == "Bf") {
            const auto parts = split(value, ',');
            status.plannerFree = wholeNumber(parts[0]);
            if (parts.size() > 1) status.rxFree = wholeNumber(parts[1]);
        } else if (name == "FS" || name == "F") {
            const auto parts = split(value, ',');
            status.feed = numtext::leadingNumber(parts[0]) * toMm;
            status.spindle = parts.size() > 1 ? numtext::leadingNumber(parts[1]) : 0;
        } else if (name == "Ov") {
            const auto parts = split(value, ',');
            for (std::size_t k = 0; k < 3 && k < parts.size(); ++k)
                status.overrides[k] = wholeNumber(parts[k]);
        } else if (name == "Pn") {
            status.pins = std::string(value);
        } else if (name == "A") {
            status.accessories = std::string(value);
        } else if (name == "Ln") {
            status.line = wholeNumber(value);
        }
    }
    for (std::size_t k = 0; k < 3; ++k) {
        if (machineGiven) status.work[k] = status.machine[k] - status.offset[k];
        if (workGiven) status.machine[k] = status.work[k] + status.offset[k];
    }
    return true;
}

bool ParseGrblOffsetLine(std::string_view line, GrblOffsets& offsets, double toMm) {
    for (std::size_t k = 0; k < 6; ++k) {
        const std::string name = "G5" + std::to_string(4 + k);
        if (const auto value = bracketed(line, name)) {
            triple(*value, offsets.systems[k], toMm);
            return true;
        }
    }
    const std::pair<const char*, std::array<double, 3>*> points[] = {
        {"G28", &offsets.g28}, {"G30", &offsets.g30}, {"G92", &offsets.g92}};
    for (const auto& [name, to] : points) {
        if (const auto value = bracketed(line, name)) {
            triple(*value, *to, toMm);
            return true;
        }
    }
    if (const auto value = bracketed(line, "TLO")) {
        offsets.toolLength = numtext::leadingNumber(*value) * toMm;
        return true;
    }
    // The last line of "$#": the answer is whole.
    if (bracketed(line, "PRB")) {
        offsets.known = true;
        return true;
    }
    return false;
}

bool ParseGrblModes(std::string_view line, GrblModes& modes) {
    const auto value = bracketed(line, "GC");
    if (!value) return false;
    for (const std::string_view word : split(*value, ' ')) {
        if (word == "G20") modes.inches = true;
        if (word == "G21") modes.inches = false;
        if (word == "G90") modes.incremental = false;
        if (word == "G91") modes.incremental = true;
        if (word == "G17" || word == "G18" || word == "G19")
            modes.plane = wholeNumber(word.substr(1));
        if (word.size() == 3 && word.substr(0, 2) == "G5" && word[2] >= '4' && word[2] <= '9')
            modes.system = static_cast<std::size_t>(word[2] - '4');
    }
    modes.known = true;
    return true;
}

bool ParseGrblOptions(std::string_view line, std::size_t& plannerBlocks,
                      std::size_t& receiveBuffer) {
    const auto value = bracketed(line, "OPT");
    if (!value) return false;
    const auto parts = split(*value, ',');
    if (parts.size() < 3) return false;
    const int blocks = wholeNumber(parts[1]);
    const int bytes = wholeNumber(parts[2]);
    if (blocks > 0) plannerBlocks = static_cast<std::size_t>(blocks);
    if (bytes > 1) receiveBuffer = static_cast<std::size_t>(bytes);
    return true;
}

std::optional<double> GrblSettings::value(int number) const {
    const auto it = values.find(number);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

std::optional<std::array<double, 3>> GrblSettings::travel() const {
    const auto x = value(130), y = value(131), z = value(132);
    if (!x || !y || !z) return std::nullopt;
    return std::array<double, 3>{*x, *y, *z};
}

MachineLimits GrblSettings::limits() const {
    MachineLimits limits;
    for (std::size_t k = 0; k < 3; ++k) {
        const int axis = static_cast<int>(k);
        limits.maxRate[k] = value(110 + axis).value_or(limits.maxRate[k]);
        limits.accel[k] = value(120 + axis).value_or(limits.accel[k]);
    }
    limits.junctionDeviation = value(11).value_or(limits.junctionDeviation);
    limits.stepsPerMm = value(100).value_or(limits.stepsPerMm);
    return limits;
}
