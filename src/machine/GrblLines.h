#pragma once

#include <string_view>

// What a line does to GRBL beyond its motion (lines as sent: no comments or
// blanks).

// GRBL writes its EEPROM for it and hears nothing on the serial line
// meanwhile: a setting ($n=, $RST=, $Nn=, $I=), G10 (L2, L20), G28.1, G30.1.
bool WritesGrblEeprom(std::string_view line);

// It changes the work offsets or picks another coordinate system (G10, G92,
// G28.1, G30.1, G54..G59), so what "$#" and "$G" told is old.
bool ChangesGrblOffsets(std::string_view line);
