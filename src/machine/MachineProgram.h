#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/GCodeEstimate.h"
#include "lib/VezorError.h"
#include "machine/ProgramPath.h"

// A program that cannot go to the machine as it is (a line longer than GRBL's
// line buffer, say); the message names the line.
class MachineProgramError : public VezorError {
  public:
    using VezorError::VezorError;
};

// A G-code program as it goes to the machine: each line without its comments
// and blanks, empty lines left out, every line remembering its number in the
// file. The lines live in one buffer, so a million lines cost no million
// allocations. Also holds what the sender shows: the program's path in its
// own coordinates, its extent and the planned time before each line.
class MachineProgram {
  public:
    // GRBL keeps at most this many characters of a line.
    static constexpr std::size_t kMaxLineLength = 79;

    // Throws MachineProgramError for a line that GRBL cannot take: too long,
    // or holding outside a comment a byte GRBL acts on at once wherever it
    // stands (a real-time command, or any byte from 0x80).
    static MachineProgram fromText(std::string_view text);
    // Throws FileReadError naming the file, or MachineProgramError.
    static MachineProgram fromFile(const std::string& path);

    std::size_t size() const { return sourceLines_.size(); }
    std::string_view line(std::size_t i) const {
        return std::string_view(text_).substr(offsets_[i], offsets_[i + 1] - offsets_[i]);
    }
    // 1-based line number in the text the program was read from.
    std::size_t sourceLine(std::size_t i) const { return sourceLines_[i]; }
    // The first program line at or after a line of the text.
    std::size_t indexOfSourceLine(std::size_t sourceLine) const;

    const ProgramPath& path() const { return path_; }
    const ProgramExtent& extent() const { return path_.extent(); }
    // Plans the time of every line for this machine (done once on reading,
    // for GRBL's default settings).
    void plan(const MachineLimits& limits);
    // Planned seconds before line i runs; i = size() gives the whole time.
    double secondsBefore(std::size_t i) const;
    double totalSeconds() const { return totalSeconds_; }

  private:
    void append(std::string_view cleaned, std::size_t sourceLine);

    std::string text_;
    std::vector<std::uint32_t> offsets_{0};
    std::vector<std::uint32_t> sourceLines_;
    std::vector<float> secondsBefore_;
    ProgramPath path_;
    double totalSeconds_ = 0;
};

// A G-code line as GRBL reads it: without "(...)" and ";" comments and blanks.
std::string CleanGCodeLine(std::string_view line);
