#pragma once

#include <memory>
#include <optional>
#include <string>

#include "gcode/GCodeInterpreter.h"
#include "gcode/HeightMap.h"
#include "machine/GrblReplies.h"
#include "machine/MachineJob.h"
#include "machine/ProgramPath.h"

// The interpreter's state for a program about to run on this machine: where
// the tool stands, the work offsets (the active one as the status report
// gives it, the others, G92, G28 and G30 as "$#" gave them) and the modes
// "$G" gave. A path from it is in the machine's own coordinates.
GCodeInterpreter::State MachineStartState(const GrblInfo& info, const GrblStatus& status);

// What the checks before a job found: why it must not start (Windows-1251),
// or the program's path on this machine from where it stands.
struct JobCheck {
    std::optional<std::string> refusal;
    std::shared_ptr<const ProgramPath> path;
};

// The checks the window and the command line make before anything moves:
// the machine stands idle, its work offset is known, and the program, run
// from where the tool stands with the offsets the machine keeps, stays
// within the machine's travel.
JobCheck CheckJob(const MachineProgram& program, const GrblInfo& info, const GrblStatus& status,
                  bool offsetKnown);

// A height map holds for the work zero it was probed from: empty when the
// machine's work offset is that one (to 0.01 mm), else the message.
std::optional<std::string> CheckMapZero(const HeightMap& map,
                                        const std::array<double, 3>& workOffset);
