// TrueType and OpenType fonts come from anywhere: any bytes must convert or
// fail with a named error, and what converts must be letters inside the box,
// measured with shares between 0 and 1.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "fontsource/FontSources.h"
#include "fontsource/OutlineCompiler.h"
#include "fontsource/OutlineFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryBudget budget(size, 4096);
    try {
        const fontc::OutlineFont font(std::string(reinterpret_cast<const char*>(data), size));
        const fontc::OutlineConversion c = fontc::convertOutlineFont(font, "F");
        for (const auto& [code, letter] : c.font.letters) {
            FUZZ_CHECK(code > 32 && code < 256);
            for (const fontc::Point p : letter.stroke.points)
                FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y) && p.y > 0 && p.y < 110);
        }
        for (const auto& [code, q] : c.quality)
            FUZZ_CHECK(q.coverage >= 0 && q.coverage <= 1 && q.spill >= 0 && q.spill <= 1);
    } catch (const fontc::FontSourceError&) {
    }
    return 0;
}
