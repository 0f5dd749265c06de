#pragma once

#include <string>
#include <string_view>

#include "gcode/GCodeEstimate.h"
#include "gcode/MotionPlanner.h"
#include "gcode/ToolMoves.h"

// The machining figures of another program's G-code as the interpreter runs
// it: writing and travel are the lengths in the XY view of the moves drawn as
// writing and as travel (arcs by their true length), lifts the times writing
// stops, and the time that of a controller running it, its arcs cut into
// chords of the machine's arc tolerance as GRBL cuts them. `rule` is the read's
// (InterpretedRead::cutRule).
MachiningFigures EstimateInterpretedText(std::string_view text, const MachineLimits& limits,
                                         const CutRule& rule);
// Throws FileReadError naming the file.
MachiningFigures EstimateInterpretedFile(const std::string& path, const MachineLimits& limits,
                                         const CutRule& rule);
