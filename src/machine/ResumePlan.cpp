#include "machine/ResumePlan.h"

#include <cstdio>

#include "machine/ProgramState.h"

namespace {

std::string num(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    std::string text = buffer;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

std::string spindleLine(int mode, double speed) {
    if (mode == 5) return "M5";
    return "M" + std::to_string(mode) + "S" + num(speed);
}

bool isTravel(const ProgramState::Effect& e) { return e.moved && e.rapid && !e.machineCoordinates; }

}  // namespace

ToolHandling ReadToolHandling(const MachineProgram& program) {
    ToolHandling tool;
    tool.usesZ = program.extent().used[2];
    tool.safeZ = program.extent().max[2];
    ProgramState state;
    bool travelSeen = false;
    bool dwellSeen = false;
    bool afterSpindleChange = false;
    for (std::size_t i = 0; i < program.size() && !(travelSeen && dwellSeen); ++i) {
        const ProgramState::Effect e = state.apply(program.line(i));
        if (e.dwell && afterSpindleChange && !dwellSeen) {
            tool.dwell = e.dwellSeconds;
            dwellSeen = true;
        }
        afterSpindleChange = e.spindleChanged;
        // A travel in the plane: Z-only rapids are lifts.
        if (!travelSeen && isTravel(e) &&
            (e.from[0] != state.position[0] || e.from[1] != state.position[1])) {
            tool.travelSpindle = state.spindle;
            tool.travelSpeed = state.speed;
            travelSeen = true;
        }
    }
    tool.laser = !tool.usesZ && tool.travelSpindle != 5 && tool.travelSpeed == 0;
    return tool;
}

std::size_t StrokeStart(const MachineProgram& program, std::size_t index) {
    ProgramState state;
    std::size_t start = index;
    for (std::size_t i = 0; i < index && i < program.size(); ++i)
        if (isTravel(state.apply(program.line(i)))) start = i + 1;
    return start < index ? start : index;
}

std::vector<std::string> ResumeLines(const MachineProgram& program, std::size_t index) {
    const ToolHandling tool = ReadToolHandling(program);
    ProgramState state;
    double plungeFeed = 0;
    for (std::size_t i = 0; i < index && i < program.size(); ++i) {
        const ProgramState::Effect e = state.apply(program.line(i));
        if (e.zOnlyFeed) plungeFeed = state.feed;
    }
    std::vector<std::string> lines;
    std::string modes = "G21G90G" + std::to_string(state.plane);
    if (state.coordinateSystem != 54) modes += "G" + std::to_string(state.coordinateSystem);
    lines.push_back(modes);
    if (tool.usesZ) lines.push_back("G0Z" + num(tool.safeZ));
    lines.push_back(spindleLine(tool.travelSpindle, tool.travelSpeed));
    if (tool.dwell > 0 && tool.travelSpindle != 5) lines.push_back("G4P" + num(tool.dwell));
    std::string across;
    for (std::size_t k = 0; k < 2; ++k)
        if (state.known[k]) across += std::string(1, "XY"[k]) + num(state.position[k]);
    if (!across.empty()) lines.push_back("G0" + across);
    // Quickly down to a height above the work, at the plunge feed into it.
    if (tool.usesZ && state.known[2]) {
        if (state.position[2] > 0)
            lines.push_back("G0Z" + num(state.position[2]));
        else
            lines.push_back("G1Z" + num(state.position[2]) + "F" +
                            num(plungeFeed > 0   ? plungeFeed
                                : state.feed > 0 ? state.feed
                                                 : 100));
    }
    if (state.spindle != tool.travelSpindle || state.speed != tool.travelSpeed) {
        lines.push_back(spindleLine(state.spindle, state.speed));
        if (tool.dwell > 0 && !tool.laser) lines.push_back("G4P" + num(tool.dwell));
    }
    const std::string feed = state.feed > 0 ? "F" + num(state.feed) : "";
    if (state.motion == 0 || state.motion == 1)
        lines.push_back("G" + std::to_string(state.motion) + feed);
    else if (!feed.empty())
        lines.push_back(feed);
    if (state.inches) lines.push_back("G20");
    if (state.incremental) lines.push_back("G91");
    return lines;
}

std::vector<std::string> FrameLines(const MachineProgram& program, double feed, double laserPower) {
    const ProgramExtent& e = program.extent();
    const ToolHandling tool = ReadToolHandling(program);
    std::vector<std::string> lines{"G21G90"};
    if (!e.used[0] || !e.used[1]) return {};
    if (tool.usesZ)
        lines.push_back("G0Z" + num(tool.safeZ));
    else if (!tool.laser)
        lines.push_back(spindleLine(tool.travelSpindle, tool.travelSpeed));
    if (!tool.usesZ && !tool.laser && tool.dwell > 0) lines.push_back("G4P" + num(tool.dwell));
    const std::string x0 = num(e.min[0]), x1 = num(e.max[0]);
    const std::string y0 = num(e.min[1]), y1 = num(e.max[1]);
    lines.push_back("G0X" + x0 + "Y" + y0);
    if (tool.laser) lines.push_back("M3S" + num(laserPower));
    lines.push_back("G1X" + x1 + "Y" + y0 + "F" + num(feed));
    lines.push_back("G1X" + x1 + "Y" + y1);
    lines.push_back("G1X" + x0 + "Y" + y1);
    lines.push_back("G1X" + x0 + "Y" + y0);
    if (tool.laser) lines.push_back("M5");
    return lines;
}
