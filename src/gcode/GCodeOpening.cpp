#include "gcode/GCodeOpening.h"

#include <string_view>
#include <utility>

#include "gcode/GCodeBlock.h"
#include "gcode/GCodeInterpreter.h"
#include "gcode/GCodeReader.h"
#include "lib/Win1251.h"

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

// Lines the word-by-word reading passes over without a word of them, though
// they are no program of its: a parameter "#1=5", a subroutine, text.
bool notUnderstood(BlockIssue issue) {
    return issue == BlockIssue::NotGCode || issue == BlockIssue::Parameters ||
           issue == BlockIssue::Subroutine;
}

// The first line up to the refused one (1-based) that the reading does not
// understand, by its number and text, and why.
std::string refusalOf(std::string_view text, std::size_t refused, std::string_view refusedLine) {
    std::size_t number = 0;
    std::size_t first = 0;
    std::string_view firstLine = refusedLine;
    BlockIssue why = BlockIssue::None;
    GCodeBlock block;
    std::string scratch;
    ForEachProgramLine(text, [&](std::string_view line) {
        if (first != 0 || ++number > refused) return;
        const BlockIssue issue = ReadGCodeBlock(line, block, scratch);
        if (notUnderstood(issue) || number == refused) {
            first = number;
            firstLine = line;
            why = issue;
        }
    });
    if (first == 0) first = refused;
    const std::string reason = first == refused && !notUnderstood(why)
                                   ? cp("после буквы X, Y или Z нет числа")
                                   : BlockIssueText(why);
    return cp("Файл не читается как программа VEzor.") + "\r" + cp("Непонятна строка ") +
           std::to_string(first) + " (" + reason + "):\r" + QuotedGCodeLine(firstLine);
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
            opened.refusal = refusalOf(bytes, words.count(), e.line());
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
