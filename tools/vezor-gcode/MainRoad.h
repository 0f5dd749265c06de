#pragma once

#include <string>

#include "Options.h"
#include "gcode/GCodeProfile.h"
#include "lib/MachiningSettings.h"

// A program text (Windows-1251, lines ended by CR LF or CR) as a terminal
// shows it: UTF-8, lines ended by LF.
std::string TerminalText(const std::string& cp1251);

// The machining settings and the font of a run (overrides applied, the font
// folder checked); false after a message on standard error.
bool PrepareRun(const Options& options, MachiningSettings& settings, std::string& font);

// The output profile of a run (--profile, else the user's choice); false after
// a message on standard error.
bool ProfileFor(const Options& options, GCodeProfile& profile);

// Project in, G-code out: the save command of the main window on the command line.
int RunMainRoad(const Options& options);

// Prints the font list, one font per line.
int RunListFonts();

// Prints the output profiles, one name per line.
int RunListProfiles();

// --estimate --check: the machining figures of a G-code file.
int RunEstimateCheck(const Options& options);

// --estimate --read: the machining figures of another program's G-code file
// as the interpreter runs it; the lines it cannot run on standard error.
int RunEstimateRead(const Options& options);
