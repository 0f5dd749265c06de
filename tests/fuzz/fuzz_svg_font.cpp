// SVG fonts come from anywhere on the web: any bytes must read as a font or
// fail with a named error, and every point read must be a finite number.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "fontsource/FontSources.h"
#include "fontsource/SvgFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Up to 64 points of 16 bytes for a curve command of a few bytes.
    MemoryBudget budget(size, 1024);
    try {
        const fontc::SvgFont font = fontc::parseSvgFont(text);
        for (const auto& [code, glyph] : font.glyphs)
            for (const auto& path : glyph.paths) {
                FUZZ_CHECK(path.size() >= 2);
                for (const auto& v : path) FUZZ_CHECK(std::isfinite(v.p.x) && std::isfinite(v.p.y));
            }
        const fontc::FontRecipe recipe = fontc::svgRecipe(font, "F");
        for (const auto& [code, glyph] : recipe.glyphs) FUZZ_CHECK(code > 32 && code < 256);
    } catch (const fontc::FontSourceError&) {
    }
    return 0;
}
