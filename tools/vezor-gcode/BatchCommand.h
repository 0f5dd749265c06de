#pragma once

#include "Options.h"

// --batch and --serial: one program per plate, or all plates in one grid.
int RunBatch(const Options& options);
