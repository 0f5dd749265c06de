#pragma once

#include "gcode/PenPointSink.h"

// The same records, made on a thread of their own: whoever takes them (the
// writer, the figures) goes on with a batch while the next is being made.
// Each time the source is asked for its records a thread makes them; what the
// maker throws reaches the taker after the records made before it, and what
// the taker throws stops the maker.
PenPointSource RecordsOnAThread(PenPointSource records);
