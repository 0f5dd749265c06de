#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Whether the word-by-word reading (ReadGCodeText), which takes the numbers
// after X, Y and Z as points and nothing else, draws a program it accepted
// the way a controller runs it. It does for every program VEzor writes; it
// does not for arcs, incremental or inch coordinates, other planes, work
// offsets, returns home, drilling cycles, moves without their G word, or a
// move to X0 or Y0 (drawn as no move on that axis).
struct MisdrawnLine {
    std::size_t line = 0;  // 1-based
    std::string what;      // the user's words for it (Windows-1251)
};

// The first line the word-by-word reading would draw wrongly; empty when it
// draws the whole program rightly. A return to X0 Y0 after the last other
// move only leaves out the way home, which that reading has always done for
// the programs VEzor writes, and is not counted.
std::optional<MisdrawnLine> FindMisdrawnLine(std::string_view text);
