#pragma once

#include "Options.h"

// --send PORT FILE: streams a G-code file to a GRBL machine with progress on
// standard error, after the same checks as the window (the program's extent
// against the machine's travel). 0 when the machine took and ran every line;
// 1 otherwise, with the line and GRBL's message.
int RunSend(const Options& options);
