#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "gcode/GCodeBlock.h"
#include "gcode/PenPoints.h"
#include "gcode/ToolMoves.h"
#include "lib/EventPump.h"

// A line the interpreter could not run (1-based, as the list numbers lines).
struct SkippedLine {
    std::size_t line = 0;
    BlockIssue issue = BlockIssue::None;
};

struct InterpretedRead {
    std::vector<SkippedLine> skipped;  // in file order
    CutRule cutRule;                   // how the moves were told cutting or not
};

// "строка N: TEXT — REASON" for a skipped line (Windows-1251; the text cut
// short after 200 characters).
std::string SkippedLineText(const PenPoints& points, const SkippedLine& skipped);

// The message that the picture is incomplete, naming the lines not run (the
// first 20 of them and how many more), lines separated by a carriage return.
std::string IncompletePictureText(const PenPoints& points, const std::vector<SkippedLine>& skipped);

// Reads another program's G-code with the interpreter: one record per line
// (lines end at CR LF, CR or LF), each at the point where the tool stands after
// the line, with the moves the line ran attached to the records (see
// ToolMoves). `bounds` becomes the extent of the whole path, arcs included,
// with the origin. A text in which no line holds G-code words (a picture, a
// letter) throws GCodeReadError quoting its first line that is no G-code;
// `points` and `bounds` are then untouched.
InterpretedRead InterpretGCodeText(std::string_view text, PenPoints& points, ViewBounds& bounds,
                                   EventPump& pump);

// The same for a file; a file that cannot be read throws FileReadError naming
// it, a blank one EmptyGCodeFileError.
InterpretedRead InterpretGCodeFile(const std::string& path, PenPoints& points, ViewBounds& bounds,
                                   EventPump& pump);
