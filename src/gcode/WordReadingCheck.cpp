#include "gcode/WordReadingCheck.h"

#include "gcode/GCodeBlock.h"
#include "gcode/GCodeInterpreter.h"
#include "lib/Win1251.h"

namespace {

// What a G code makes the word-by-word reading draw wrongly; empty for the
// codes it draws rightly.
std::string misdrawnBy(CodeTenths g) {
    switch (g) {
        case 20:
        case 30:
            return cp("дуга G") + std::to_string(g / 10);
        case 910:
            return cp("относительные координаты G91");
        case 200:
            return cp("дюймы G20");
        case 180:
        case 190:
            return cp("плоскость G") + std::to_string(g / 10);
        case 280:
        case 300:
            return cp("возврат G") + std::to_string(g / 10);
        case 530:
        case 920:
        case 100:
            return cp("смещение координат G") + std::to_string(g / 10);
        case 730:
        case 810:
        case 820:
        case 830:
            return cp("цикл сверления G") + std::to_string(g / 10);
        default:
            if (g >= 550 && g <= 593) return cp("система координат G") + std::to_string(g / 10);
            if (g >= 921 && g <= 923) return cp("смещение координат G92.") + std::to_string(g % 10);
            return {};
    }
}

}  // namespace

std::optional<MisdrawnLine> FindMisdrawnLine(std::string_view text) {
    GCodeBlock block;
    std::string scratch;
    std::optional<MisdrawnLine> found;
    std::optional<MisdrawnLine> zeroMove;  // counted once another move follows
    double x = 0;
    double y = 0;
    std::size_t number = 0;
    ForEachProgramLine(text, [&](std::string_view line) {
        ++number;
        if (found) return;
        if (ReadGCodeBlock(line, block, scratch) != BlockIssue::None || block.empty()) return;
        bool motionWord = false;
        for (std::size_t i = 0; i < block.gCount; ++i) {
            const CodeTenths g = block.g[i];
            std::string what = misdrawnBy(g);
            if (!what.empty()) {
                found = MisdrawnLine{number, std::move(what)};
                return;
            }
            motionWord = motionWord || g == 0 || g == 10;
        }
        const bool moves = block.has('X') || block.has('Y') || block.has('Z');
        if (!moves) return;
        if (!motionWord) {
            found = MisdrawnLine{number, cp("ход без слова G0/G1")};
            return;
        }
        if (!block.has('X') && !block.has('Y')) return;
        if (zeroMove) {
            found = zeroMove;
            return;
        }
        const bool toZeroX = block.has('X') && block['X'] == 0 && x != 0;
        const bool toZeroY = block.has('Y') && block['Y'] == 0 && y != 0;
        if (block.has('X')) x = block['X'];
        if (block.has('Y')) y = block['Y'];
        if (toZeroX || toZeroY) zeroMove = MisdrawnLine{number, cp("ход в X0 или Y0")};
    });
    return found;
}
