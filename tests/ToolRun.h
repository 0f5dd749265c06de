#pragma once

#include <QStringList>
#include <optional>
#include <string>

// What a run of the command-line tool gave.
struct Outcome {
    int status = -1;  // exit code; -2 when it crashed
    std::string out;
    std::string err;
};

// The settings folder the tool sees (XDG_CONFIG_HOME): inside the test's program folder,
// so the user's own settings stay out of the test.
std::string configFolder();

// Runs the built vezor-gcode as a user would, without a display, in the
// given current folder (by default the test's own).
// `input`, when given, is its standard input, closed after it.
Outcome vezorGcode(const QStringList& args, const std::string& currentFolder = {},
                   const std::optional<std::string>& input = std::nullopt);
