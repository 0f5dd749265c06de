#pragma once

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

// An engraving-like program of the given number of lines: letters of 13 G1
// moves with two decimals between a lift, a travel move and a plunge.
inline std::string engravingProgram(std::size_t lines) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> step(-1.2, 1.2);
    std::string text;
    text.reserve(lines * 18);
    char buffer[64];
    const auto addLine = [&](const char* line) {
        text += line;
        text += "\r\n";
    };
    for (const char* line : {"%", "T1M6", "G0Z5.00", "G0X0.00Y0.00S15000F500.00M3"}) addLine(line);
    std::size_t written = 4;
    double penX = 2.0;
    double lineY = -5.0;
    while (written + 2 < lines) {
        addLine("G0Z5.00");
        std::snprintf(buffer, sizeof buffer, "G0X%.2fY%.2f", penX, lineY);
        addLine(buffer);
        addLine("G1Z-0.10F500.00");
        written += 3;
        double x = penX;
        double y = lineY;
        for (int k = 0; k < 13 && written + 2 < lines; ++k, ++written) {
            x = std::min(std::max(x + step(rng), penX), penX + 3.5);
            y = std::min(std::max(y + step(rng), lineY - 4.4), lineY);
            std::snprintf(buffer, sizeof buffer, "G1X%.2fY%.2f", x, y);
            addLine(buffer);
        }
        penX += 4.0;
        if (penX > 96) {
            penX = 2.0;
            lineY -= 5.0;
            if (lineY < -98) lineY = -5.0;
        }
    }
    addLine("G0Z5.00");
    addLine("M30");
    return text;
}
