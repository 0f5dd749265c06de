#pragma once

#include <string>

#include "gcode/GCodeEstimate.h"

// The machining figures as the main window's status bar shows them
// (Windows-1251): «Письмо 1234,5 мм · Холостой ход 456,7 мм · Подъёмов 89 ·
// Время 1:14», lengths with the given decimal mark.
std::string FiguresStatusText(const MachiningFigures& figures, char decimalSeparator);

// Whole seconds as m:ss, or h:mm:ss from an hour on.
std::string DurationText(double seconds);
