#pragma once

#include "Options.h"

// Project in, G-code out: the save command of the main window on the command line.
int RunMainRoad(const Options& options);

// Prints the font list, one font per line.
int RunListFonts();

// Prints the output profiles, one name per line.
int RunListProfiles();

// --estimate --check: the machining figures of a G-code file.
int RunEstimateCheck(const Options& options);
