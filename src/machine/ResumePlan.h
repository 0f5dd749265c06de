#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "machine/MachineProgram.h"

// How a program lifts and lowers its tool, read from the program itself: by
// Z (engravers, routers), or by the spindle word (a servo pen's M3 S<up>, a
// laser's S0 on travel).
struct ToolHandling {
    bool usesZ = false;
    double safeZ = 0;        // the program's highest Z, mm
    bool laser = false;      // no Z and the tool travels with power 0
    int travelSpindle = 5;   // M3, M4 or M5 while travelling
    double travelSpeed = 0;  // S while travelling
    double dwell = 0;        // the program's own pause after a spindle change, s
};
ToolHandling ReadToolHandling(const MachineProgram& program);

// The line where the stroke holding line `index` begins: the line after the
// last travel move before it (the pen-down, plunge or laser-on line), so a
// resume writes the whole letter again rather than start in its middle.
std::size_t StrokeStart(const MachineProgram& program, std::size_t index);

// The lines sent before resuming the program at line `index`: its modes
// (units, absolute positions, plane) and the spindle or laser as it travels,
// with its pause; up to the program's safe height, across to where line
// `index` starts, down, the spindle or laser as it writes there; then the
// feed, the motion mode and the units the program had.
std::vector<std::string> ResumeLines(const MachineProgram& program, std::size_t index);

// The lines that run the program's extent in the plane as a rectangle at the
// safe height with the tool up, at `feed` mm/min; a laser's at `laserPower`
// (M3 S), switched off at the end.
std::vector<std::string> FrameLines(const MachineProgram& program, double feed, double laserPower);
