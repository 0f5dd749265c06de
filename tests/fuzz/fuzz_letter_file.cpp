// Letter files come from users' font folders: any bytes must read as a list of
// points or fail with a named error, and every point read writes back as a
// line that reads as the same point, rounded to hundredths.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "font/FontStorage.h"
#include "lib/NumberText.h"
#include "lib/VezorError.h"

namespace {

// A written coordinate reads back as the rounded value, up to the 15
// significant digits the writer keeps.
void checkRoundTrip(double written, double read) {
    const double rounded = numtext::roundHalfEven(written, 2);
    FUZZ_CHECK(std::isfinite(read));
    FUZZ_CHECK(std::fabs(read - rounded) <= 1e-14 * std::fabs(rounded) + 1e-9);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeFuzzFile("65", data, size);
    // One string per line, and the written form of the first points.
    MemoryBudget budget(size, 128);
    try {
        std::size_t checked = 0;
        for (const auto& line : ReadLetterLines(path)) {
            FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
            double x = 0, y = 0;
            const bool complete = ParsePointLine(line, x, y);
            FUZZ_CHECK(complete == (line.find(',') != std::string::npos));
            FUZZ_CHECK(std::isfinite(x) && std::isfinite(y));
            if (++checked > 1000) continue;
            const std::string written = FormatCoordinate(x) + "," + FormatCoordinate(y);
            FUZZ_CHECK(written.find(',') == written.rfind(','));
            double bx = 0, by = 0;
            FUZZ_CHECK(ParsePointLine(written, bx, by));
            checkRoundTrip(x, bx);
            checkRoundTrip(y, by);
        }
    } catch (const VezorError&) {
    }
    return 0;
}
