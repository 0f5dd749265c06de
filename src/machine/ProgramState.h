#pragma once

#include <array>
#include <string_view>

// The modal state a G-code program leaves a GRBL controller in after each line,
// followed line by line (lines already without comments and blanks). Positions
// are in millimetres in work coordinates.
struct ProgramState {
    bool inches = false;
    bool incremental = false;
    int plane = 17;  // 17, 18, 19
    int motion = 0;  // 0, 1, 2, 3; -1 after G80
    int coordinateSystem = 54;
    double feed = 0;   // mm/min
    int spindle = 5;   // 3, 4 or 5
    double speed = 0;  // S
    std::array<double, 3> position{};
    std::array<bool, 3> known{};  // the axis has been given a position

    // What the last line did.
    struct Effect {
        bool moved = false;  // a G0..G3 move with axis words
        bool rapid = false;  // ... a G0 one
        bool arc = false;
        std::array<double, 3> from{};
        std::array<double, 3> centre{};  // of an arc, in the plane
        bool clockwise = false;
        bool zOnlyFeed = false;       // a feed move of Z alone (a plunge)
        bool spindleChanged = false;  // M3/M4/M5 or a new S
        bool dwell = false;
        double dwellSeconds = 0;
        bool machineCoordinates = false;  // G53, G28, G30: not in the work extent
    };

    // Follows one line; returns what it did.
    Effect apply(std::string_view line);
};
