// Letter files come from users' font folders: any bytes must read as a list of
// points or fail with a named error.
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "font/FontStorage.h"
#include "lib/VezorError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = writeFuzzFile("65", data, size);
    try {
        for (const auto& line : ReadLetterLines(path)) {
            double x = 0, y = 0;
            ParsePointLine(line, x, y);
            (void)FormatCoordinate(x);
            (void)FormatCoordinate(y);
        }
    } catch (const VezorError&) {
    }
    return 0;
}
