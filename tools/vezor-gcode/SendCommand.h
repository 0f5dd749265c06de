#pragma once

#include "Options.h"

// --send PORT FILE: streams a G-code file to a GRBL machine with progress on
// standard error, after the same checks as the window (the program's extent
// against the machine's travel). 0 when the machine took and ran every line;
// 1 otherwise, with the line and GRBL's message.
int RunSend(const Options& options);

// --probe PORT --area X0,Y0,X1,Y1 --grid NX,NY --out MAP.csv: probes the plate
// over the grid with GRBL's probe and writes the height map. 0 when written;
// 1 otherwise, with the point the probe failed at.
int RunProbe(const Options& options);
