#pragma once

#include <string>
#include <string_view>

#include "lib/VezorError.h"
#include "main/PenPoints.h"

// The G-code program of a tool path, and where it is saved.

// Where the save command proposes to write: the project's folder relative to
// the program folder (with its trailing separator; "" for the program folder
// itself and for any folder outside it) and the project's name without its
// extension plus ".gcode". Paths are UTF-8.
struct GCodeTarget {
    std::string relativeFolder;
    std::string proposedName;
};
GCodeTarget ProposeGCodeTarget(const std::string& projectPath);

// The full path of the file for the user's answer: program folder +
// relative folder + answer, the answer used as typed.
std::string GCodeFilePath(const GCodeTarget& target, const std::string& answer);

// A tool path without a drawing point after the placeholder has nothing to write.
class NothingToWriteError : public VezorError {
  public:
    NothingToWriteError();
};

// Whether the list has a drawing point after the placeholder, that is a
// program to write.
bool HasSomethingToWrite(const PenPoints& points);

// A coordinate or height beyond what a number can hold (a project with absurd
// parameters): no machine program is written from it.
class CoordinateRangeError : public VezorError {
  public:
    CoordinateRangeError();
};

// The whole program, every line ended by CR LF, numbers with ".". feed is the
// text written after "F" (Windows-1251, unchanged). Throws NothingToWriteError
// when the list has no drawing point, CoordinateRangeError when a value is not
// finite.
std::string BuildGCodeProgram(const PenPoints& points, std::string_view feed);

// Writes the program so that a failure leaves an earlier file whole.
// Throws FileWriteError.
void WriteGCodeFile(const std::string& path, std::string_view program);
