#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Exit statuses of vezor-gcode.
enum ExitStatus : int {
    kExitDone = 0,
    kExitFailure = 1,
    kExitNotAProject = 2,
    kExitLettersMissing = 3,
};

// The command line, parsed. Texts are as given (UTF-8).
struct Options {
    bool help = false;
    bool listFonts = false;
    bool listProfiles = false;
    bool estimate = false;               // --estimate: the machining figures instead of the program
    std::optional<std::string> profile;  // --profile: default the one chosen in the window
    std::optional<std::string> font;     // --font: relative to the program folder, or absolute
    std::string out;                     // --out: "" or "-" is standard output
    std::vector<std::pair<std::string, std::string>> settings;  // --setting KEY=VALUE, in order
    std::string project;                                        // the one positional argument
    std::string check;                      // --check: a G-code file to read instead of a project
    std::string read;                       // --read: another program's G-code file, interpreted
    std::string png;                        // --png: write the preview picture there
    int scale = 100;                        // --scale: preview scale in percent, 25 to 200
    std::string batch;                      // --batch: a table, one plate per row
    std::string serial;                     // --serial FROM..TO: one plate per number
    std::size_t gridColumns = 0;            // --grid N: all plates in one program
    std::pair<double, double> pitch{0, 0};  // --pitch X[,Y] in mm
    std::string send;                       // --send PORT: stream the G-code file to GRBL
    int baud = 115200;                      // --baud
    bool checkFirst = false;                // --check-first: GRBL's check mode before the run
    std::size_t resumeFrom = 0;             // --from LINE: resume the file at that line; 0 none
    std::string probe;                      // --probe PORT: probe a grid into a height map
    std::array<double, 4> area{};           // --area X0,Y0,X1,Y1 for --probe
    std::pair<std::size_t, std::size_t> probeGrid{0, 0};  // --grid NX,NY for --probe
    double probeFeed = 100;                               // --probe-feed F, mm/min
    double probeDepth = 5;                                // --probe-depth D, mm below zero
    double probeRetract = 2;                              // --probe-retract R, mm above zero
    std::string heightMap;         // --height-map MAP.csv: the program follows the surface
    bool mirror = false;           // --mirror: the plate mirrored left to right
    bool ink = false;              // --ink: the picture of the ink alone
    std::optional<double> rotary;  // --rotary D: the profile's rotary axis diameter
    std::string svg;               // --svg: the laid-out plate as SVG
    std::string dxf;               // --dxf: the laid-out plate as DXF
    bool plates() const { return !batch.empty() || !serial.empty(); }
};

// A command line that cannot be run; the message is UTF-8.
class OptionsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Accepts "--name VALUE" and "--name=VALUE" for options with a value.
Options ParseOptions(const std::vector<std::string>& args);

std::string UsageText();
