#include "main/FiguresText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gcode/MoveNumber.h"
#include "lib/Win1251.h"

namespace {

std::string tenths(double value, char decimalSeparator) {
    return movenumber::fixedText(std::isfinite(value) ? value : 0.0, 1, false, decimalSeparator);
}

}  // namespace

std::string DurationText(double seconds) {
    const long long whole =
        std::isfinite(seconds) && seconds > 0 ? std::llround(std::min(seconds, 1e12)) : 0;
    char text[64];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

std::string FiguresStatusText(const MachiningFigures& figures, char decimalSeparator) {
    return cp("Письмо ") + tenths(figures.writingMm, decimalSeparator) + cp(" мм · Холостой ход ") +
           tenths(figures.travelMm, decimalSeparator) + cp(" мм · Подъёмов ") +
           std::to_string(figures.lifts) + cp(" · Время ") + DurationText(figures.seconds);
}
