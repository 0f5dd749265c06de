#include "gcode/GCodeOpening.h"

#include <string_view>
#include <utility>

#include "gcode/GCodeBlock.h"
#include "gcode/GCodeInterpreter.h"
#include "gcode/GCodeReader.h"

namespace {

// Whether the text reads as a program: more of its lines hold words a
// controller reads than hold what no G-code line holds (a picture, a letter, a
// binary file may have a few lines that happen to read as words).
bool readsAsGCode(std::string_view text) {
    GCodeBlock block;
    std::string scratch;
    std::size_t words = 0;
    std::size_t other = 0;
    ForEachProgramLine(text, [&](std::string_view line) {
        if (ReadGCodeBlock(line, block, scratch) == BlockIssue::NotGCode)
            ++other;
        else if (block.words > 0)
            ++words;
    });
    return words > other;
}

}  // namespace

OpenedGCode OpenGCodeFile(const std::string& path, PenPoints& points, ViewBounds& bounds,
                          EventPump& pump) {
    const std::string bytes = ReadGCodeFileBytes(path);
    if (bytes.find_first_not_of(" \t\r\n") == std::string::npos) throw EmptyGCodeFileError(path);
    OpenedGCode opened;
    {
        // The word-by-word records are let go before the interpreter reads.
        PenPoints words;
        ViewBounds wordBounds = bounds;
        try {
            ReadGCodeText(bytes, words, wordBounds, pump);
        } catch (const GCodeReadError& e) {
            opened.reading = OpenedGCode::Reading::Refused;
            opened.refusal = e.message();
            opened.readsAsProgram = readsAsGCode(bytes);
            points = std::move(words);
            bounds = wordBounds;
            return opened;
        }
        opened.misdrawn = FindMisdrawnLine(bytes);
        if (!opened.misdrawn) {
            points = std::move(words);
            bounds = wordBounds;
            return opened;
        }
    }
    opened.reading = OpenedGCode::Reading::Interpreter;
    opened.interpreted = InterpretGCodeText(bytes, points, bounds, pump);
    return opened;
}
