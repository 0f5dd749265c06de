#pragma once

#include <string>
#include <string_view>

// GRBL 1.1's error and alarm numbers as sentences for the user (Windows-1251):
// what happened and what to do. An unknown number is named as such.
std::string GrblErrorText(int code);
std::string GrblAlarmText(int code);

// A "[MSG:...]" line of GRBL, grblHAL or FluidNC in Russian; a message it
// does not know is given as it came, marked as the machine's.
std::string GrblMessageText(std::string_view line);
