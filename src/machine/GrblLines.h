#pragma once

#include <optional>
#include <string_view>

// What a line does to GRBL beyond its motion (lines as sent: no comments or
// blanks).

// GRBL writes its EEPROM for it and hears nothing on the serial line
// meanwhile: a setting ($n=, $RST=, $Nn=, $I=), G10 (L2, L20), G28.1, G30.1.
bool WritesGrblEeprom(std::string_view line);

// It changes the work offsets or picks another coordinate system (G10, G92,
// G28.1, G30.1, G54..G59), so what "$#" and "$G" told is old.
bool ChangesGrblOffsets(std::string_view line);

// A line that stops the program for its operator: a tool change (M6, with
// its tool's number from T) or a program pause (M0, M1). GRBL refuses M6 and
// holds on M0 with the spindle on: the sender stops there itself.
struct OperatorStop {
    int m = 0;      // 0, 1 or 6
    int tool = -1;  // T; -1 none
};
std::optional<OperatorStop> OperatorStopIn(std::string_view line);
