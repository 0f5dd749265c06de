// G-code files are picked by the user from anything on disk: whatever the
// bytes, the reader fills the list or names the line it could not read, and
// each record's numbers are the ones its own text carries.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "gcode/GCodeReader.h"
#include "gcode/GCodeWriter.h"
#include "lib/EventPump.h"
#include "lib/VezorError.h"

namespace {

// The value the record should hold for one axis, from its own line.
void checkAxis(std::string_view line, char letter, double stored) {
    const auto value = axisNumber(ExtractAxisValue(line, letter));
    FUZZ_CHECK(value.has_value());
    FUZZ_CHECK(*value == stored || (*value == 0 && stored == 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeFuzzFile("program.gcode", data, size);
    // The bytes, one 40-byte record per line (a line may be one byte), and
    // the program written from the records, read again.
    MemoryBudget budget(size, 256);
    EventPump pump;
    PenPoints points;
    ViewBounds bounds;
    bool failed = false;
    try {
        ReadGCodeFile(path, points, bounds, pump);
    } catch (const GCodeReadError& e) {
        failed = true;
        FUZZ_CHECK(points.count() >= 1);
        FUZZ_CHECK(points.line(points.count()) == e.line());
    } catch (const EmptyGCodeFileError&) {
        // Nothing but blanks and line ends: refused before anything is read.
        FUZZ_CHECK(points.count() == 1 && points.line(1).empty());
        return 0;
    }
    FUZZ_CHECK(points.count() >= 1);
    FUZZ_CHECK(std::isfinite(bounds.MinX) && std::isfinite(bounds.MaxX));
    FUZZ_CHECK(std::isfinite(bounds.MinY) && std::isfinite(bounds.MaxY));
    FUZZ_CHECK(bounds.MinX <= 0 && bounds.MinY <= 0 && bounds.MaxX >= 0 && bounds.MaxY >= 0);
    const std::size_t checked = failed ? points.count() - 1 : points.count();
    for (std::size_t i = 1; i <= checked && i <= 2000; ++i) {
        const std::string line = points.line(i);
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        checkAxis(line, 'X', points[i].X);
        checkAxis(line, 'Y', points[i].Y);
        checkAxis(line, 'Z', points[i].Z);
    }
    if (failed || points.count() < 2) return 0;

    // Saving what was read writes a program the reader takes again.
    std::string program;
    try {
        program = BuildGCodeProgram(points, "500.00");
    } catch (const NothingToWriteError&) {
        return 0;  // nothing but lifts
    }
    PenPoints back;
    ViewBounds backBounds;
    try {
        ReadGCodeText(program, back, backBounds, pump);
    } catch (const GCodeReadError&) {
        FUZZ_CHECK(!"the reader takes every program the writer writes");
    }
    return 0;
}
