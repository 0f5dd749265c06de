// Other programs' G-code, run by the interpreter: whatever the bytes, every
// line is a record at a finite point, the bounds hold the origin and every
// move, and the figures worked out from the same text are finite.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "gcode/GCodeReader.h"
#include "gcode/InterpretedEstimate.h"
#include "gcode/InterpretedReader.h"
#include "lib/EventPump.h"

namespace {

bool finite(const PathPoint& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    MemoryBudget budget(size, 256);
    EventPump pump;
    PenPoints points;
    ViewBounds bounds;
    InterpretedRead read;
    try {
        read = InterpretGCodeText(text, points, bounds, pump);
    } catch (const GCodeReadError&) {
        FUZZ_CHECK(points.count() == 1 && points.line(1).empty());
        return 0;
    }
    FUZZ_CHECK(points.moves() != nullptr);
    FUZZ_CHECK(bounds.MinX <= 0 && bounds.MinY <= 0 && bounds.MaxX >= 0 && bounds.MaxY >= 0);
    std::size_t previous = 0;
    for (const SkippedLine& s : read.skipped) {
        FUZZ_CHECK(s.line > previous && s.line <= points.count());
        previous = s.line;
    }
    const auto inBounds = [&bounds](const PathPoint& p) {
        const double slack = 1e-9 * (1 + std::fabs(p.X) + std::fabs(p.Y));
        return p.X >= bounds.MinX - slack && p.X <= bounds.MaxX + slack &&
               p.Y >= bounds.MinY - slack && p.Y <= bounds.MaxY + slack;
    };
    points.moves()->forEachMove(points, 1, points.count(),
                                [&](std::size_t record, const PathPoint& from, const ToolMove& m) {
                                    FUZZ_CHECK(record >= 1 && record <= points.count());
                                    FUZZ_CHECK(finite(from) && finite(m.end));
                                    FUZZ_CHECK(inBounds(m.end));
                                });
    const MachiningFigures figures = EstimateInterpretedText(text, MachineLimits{}, read.cutRule);
    FUZZ_CHECK(std::isfinite(figures.seconds) && figures.seconds >= 0);
    FUZZ_CHECK(std::isfinite(figures.writingMm) && std::isfinite(figures.travelMm));
    return 0;
}
