#pragma once

#include <string>
#include <string_view>

#include "gcode/GCodeProfile.h"
#include "gcode/GCodeSink.h"
#include "gcode/PenPointSink.h"
#include "gcode/PenPoints.h"
#include "lib/VezorError.h"

// The G-code program of a tool path, and where it is saved.

// Where the save command proposes to write: the project's folder relative to
// the program folder (with its trailing separator; "" for the program folder
// itself and for any folder outside it) and the project's name without its
// extension plus ".gcode". Paths are UTF-8.
struct GCodeTarget {
    std::string relativeFolder;
    std::string proposedName;
};
GCodeTarget ProposeGCodeTarget(const std::string& projectPath,
                               const std::string& extension = ".gcode");

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

// Writes the program of the list in the profile's form to the sink. feed is the
// text written for {F} (Windows-1251, unchanged in millimetres; a number
// converted for inch output, else ProfileError). Throws NothingToWriteError
// when the list has no drawing point, CoordinateRangeError when a value is not
// finite; both before anything is written.
void WriteGCode(const PenPoints& points, std::string_view feed, const GCodeProfile& profile,
                GCodeSink& sink);

// What a sink holds when the records turn out to make no program: what was
// written so far (checked before anything is written, one more time through
// the records), or nothing that counts (a file not yet committed; checked on
// the way).
enum class WrittenOnFailure { Kept, Discarded };

// The same for records as they come: a layout streamed into the program, with
// no list kept. A profile that leads with the machining figures goes through
// the records once for them first.
void WriteGCode(const PenPointSource& records, std::string_view feed, const GCodeProfile& profile,
                GCodeSink& sink, WrittenOnFailure onFailure);

// The whole program as a string: for the default profile every line ended by
// CR LF, numbers with ".".
std::string BuildGCodeProgram(const PenPoints& points, std::string_view feed,
                              const GCodeProfile& profile = DefaultProfile());

// Writes the program so that a failure leaves an earlier file whole.
// Throws FileWriteError.
void WriteGCodeFile(const std::string& path, std::string_view program);
// The same, made block by block straight into the file.
void WriteGCodeFile(const std::string& path, const PenPoints& points, std::string_view feed,
                    const GCodeProfile& profile);
void WriteGCodeFile(const std::string& path, const PenPointSource& records, std::string_view feed,
                    const GCodeProfile& profile);
