#include "machine/GrblLines.h"

#include <string>

#include "gcode/GCodeBlock.h"

namespace {

bool hasG(std::string_view line, bool (*wanted)(CodeTenths)) {
    GCodeBlock block;
    std::string scratch;
    ReadGCodeBlock(line, block, scratch);
    for (std::size_t i = 0; i < block.gCount; ++i)
        if (wanted(block.g[i])) return true;
    return false;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool WritesGrblEeprom(std::string_view line) {
    if (!line.empty() && line.front() == '$') {
        if (line.find('=') == std::string_view::npos) return false;
        const std::string_view name = line.substr(1, line.find('=') - 1);
        if (name == "RST" || name == "I") return true;
        if (!name.empty() && (name[0] == 'N' || name[0] == 'n'))
            return name.size() > 1 && isDigit(name[1]);
        return !name.empty() && isDigit(name[0]);
    }
    return hasG(line, [](CodeTenths g) { return g == 100 || g == 281 || g == 301; });
}

bool ChangesGrblOffsets(std::string_view line) {
    if (!line.empty() && line.front() == '$') return false;
    return hasG(line, [](CodeTenths g) {
        return g == 100 || g == 281 || g == 301 || (g >= 920 && g <= 923) || (g >= 540 && g <= 593);
    });
}

std::optional<OperatorStop> OperatorStopIn(std::string_view line) {
    if (line.empty() || line.front() == '$') return std::nullopt;
    GCodeBlock block;
    std::string scratch;
    ReadGCodeBlock(line, block, scratch);
    for (std::size_t i = 0; i < block.mCount; ++i) {
        const CodeTenths m = block.m[i];
        if (m != 0 && m != 10 && m != 60) continue;
        OperatorStop stop;
        stop.m = m / 10;
        if (block.has('T')) stop.tool = static_cast<int>(block['T']);
        return stop;
    }
    return std::nullopt;
}
