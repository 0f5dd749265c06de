#include "gcode/GCodeOpening.h"

#include <string_view>
#include <utility>

#include "gcode/GCodeBlock.h"
#include "gcode/GCodeInterpreter.h"
#include "gcode/GCodeReader.h"

namespace {

// Whether some line holds words a controller reads (the interpreter's test
// for a text that is a program at all).
bool holdsGCodeWords(std::string_view text) {
    GCodeBlock block;
    std::string scratch;
    bool found = false;
    ForEachProgramLine(text, [&](std::string_view line) {
        if (found) return;
        found = ReadGCodeBlock(line, block, scratch) != BlockIssue::NotGCode && block.words > 0;
    });
    return found;
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
            opened.holdsGCode = holdsGCodeWords(bytes);
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
