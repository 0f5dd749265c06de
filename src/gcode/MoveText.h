#pragma once

#include <cstddef>
#include <string>

#include "gcode/MoveNumber.h"

// The G-code text of one record as the G-code list shows it.

// Room for the longest move text.
constexpr std::size_t kMaxMoveText = 8 + 2 * movenumber::kMaxNumberLength;

// Writes the text at out (room: kMaxMoveText) and returns its end.
char* WriteMoveText(char* out, double X, double Y, double Z, char decimalSeparator);

// The G-code text of one record, numbers with the given decimal separator:
// "G1X<x>Y<y>" for a drawing point (X, Y non-zero, Z 0), "G0Z<z>,00" for a
// pen-up record at a whole height (X = Y = 0, Z non-zero), "G0Z<z>" with two
// decimals for a fractional height, "" for anything else.
std::string FormatMoveLine(double X, double Y, double Z, char decimalSeparator);
// The same with the user's decimal separator.
std::string FormatMoveLine(double X, double Y, double Z);
