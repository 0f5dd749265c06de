#pragma once

#include <functional>

#include "gcode/PenPoints.h"

// Where a tool path goes record by record as it is made, so that a large one
// need never sit whole in memory.
class PenPointSink {
  public:
    virtual ~PenPointSink() = default;
    virtual void add(const PenPoint& point) = 0;
};

// A tool path gone through record by record (the records after the
// placeholder), as often as it is asked: a program of several passes, and one
// that leads with its machining figures, go through it more than once. Each
// time must bring the same records.
using PenPointSource = std::function<void(PenPointSink&)>;

// The records of a list, as a source.
PenPointSource RecordsOf(const PenPoints& points);
