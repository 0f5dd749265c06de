#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "machine/GrblReplies.h"
#include "machine/MachineProgram.h"

// What the sender streams: lines before the program (a resume's start, the
// check mode's "$C"), the program from one line on, and lines after it.
struct MachineJob {
    std::vector<std::string> before;
    std::shared_ptr<const MachineProgram> program;
    std::size_t from = 0;  // the program's first line to send
    std::vector<std::string> after;
    // GRBL's check mode: every line parsed, nothing moves; "$C" is sent before
    // and after by the sender.
    bool checkOnly = false;
    // The program's path in the machine's coordinates from where it stood at
    // the start, to tell from the machine's position which line it runs; the
    // sender works it out where the job comes without it.
    std::shared_ptr<const ProgramPath> path;
};

// Why a job stopped before its end.
struct JobStop {
    // Pause: a line that stops for the operator (M6 with its tool in `code`,
    // or M0/M1 with -1 there); the program goes on from `index` + 1.
    enum class Why { User, Error, Alarm, Lost, Pause };
    Why why = Why::User;
    int code = 0;  // GRBL's error or alarm number
    // The line that failed: in the program (its index and its line in the
    // file) or one of the job's own lines.
    bool inProgram = false;
    std::size_t index = 0;
    std::size_t sourceLine = 0;
    std::string text;
    std::string message;           // for the user (Windows-1251): the line and what to do
    std::size_t acknowledged = 0;  // program lines GRBL had taken
    // The first program line the machine had not finished when it stopped:
    // GRBL takes lines well before it runs them.
    std::size_t executed = 0;
};

// What GRBL told about itself when the sender connected.
struct GrblInfo {
    std::string port;
    std::string banner;   // "Grbl 1.1h ['$' for help]"; empty when it only answered "?"
    std::string version;  // "[VER:...]" without its brackets
    GrblSettings settings;
    // From "[OPT:...]"; GRBL 1.1's own sizes where it does not say.
    std::size_t plannerBlocks = 15;
    std::size_t receiveBuffer = 128;
    GrblOffsets offsets;
    GrblModes modes;
};
