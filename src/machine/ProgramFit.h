#pragma once

#include <array>
#include <optional>
#include <string>

#include "machine/GrblReplies.h"
#include "machine/ProgramPath.h"

// Checks a program's extent against the machine's travel ($130..$132) before
// anything moves. With soft limits on ($20=1) its extent, moved by the work
// offset, must lie inside GRBL's machine space (each axis from -travel to 0,
// where GRBL 1.1 puts it after homing); with them off its size on each axis
// must fit the travel. Empty when it fits; else the message (Windows-1251)
// naming the axis and by how much it goes beyond.
std::optional<std::string> CheckProgramFits(const ProgramExtent& extent,
                                            const GrblSettings& settings,
                                            const std::array<double, 3>& workOffset);

// The same for a program's path in machine coordinates from where the tool
// stands; with soft limits off the way from there counts too, since no
// machine goes further from where it stands than its travel.
std::optional<std::string> CheckPathFits(const ProgramPath& machinePath,
                                         const GrblSettings& settings);
