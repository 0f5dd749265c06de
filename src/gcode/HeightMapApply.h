#pragma once

#include <string>
#include <string_view>

#include "gcode/HeightMap.h"

struct HeightMapUse {
    // A writing move is split where it crosses the map's grid lines and at
    // least this often, in millimetres.
    double segment = 2;
    // How far writing may go beyond the map's area, in millimetres: there the
    // surface is taken as the map's nearest edge.
    double margin = 1;
};

// The program with its writing following the surface: every feed move (arcs
// as chords of 0.005 mm) split at the map's grid lines and every
// `use.segment` millimetres, each point lowered or raised by the surface's
// height there, so the depth below the surface is what the program gives
// below zero; every rapid move raised by the surface's highest point, so the
// travel clears the whole plate by the height the program gave it. The moves
// come out in millimetres and absolute coordinates; lines without motion
// stay, without their comments. A line in machine coordinates (G53, G28, G30)
// goes out as it was. Throws HeightMapError, naming the line, for a program
// that moves its coordinates (G92, G10: the map holds in the frame it was
// probed in), that writes before it has set Z, or that writes beyond the map.
std::string ApplyHeightMap(std::string_view program, const HeightMap& map,
                           const HeightMapUse& use = {});
