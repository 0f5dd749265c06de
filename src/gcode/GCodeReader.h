#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gcode/PenPointSink.h"
#include "gcode/PenPoints.h"
#include "lib/EventPump.h"
#include "lib/VezorError.h"

// A G-code line whose X, Y or Z word carries no number. The message (Windows-1251,
// lines separated by a carriage return alone) quotes the line, its first 200
// characters and "..." when it is longer; line() holds all of it. A line with
// control characters (a binary file) is quoted with its number (1-based, 0:
// unknown), each such byte shown as \xNN.
class GCodeReadError : public VezorError {
  public:
    explicit GCodeReadError(std::string_view line, std::size_t number = 0);
    const std::string& line() const { return line_; }

  private:
    std::string line_;
};

// A line between single quotes as the messages show it: every byte a message
// box would not show as \xNN, the first 200 characters and "..." when there are more.
std::string QuotedGCodeLine(std::string_view line);

// A G-code file without a line of G-code: no byte but blanks and line ends.
class EmptyGCodeFileError : public VezorError {
  public:
    explicit EmptyGCodeFileError(const std::string& path);
};

// The number text after the first `letter` of the line (either case): the run of
// digits, signs and decimal marks that follows it, each mark written as ",".
// "0" when the line has no such letter; empty when the letter is not followed by
// any of those characters.
std::string ExtractAxisValue(std::string_view line, char letter);

// Reads number text as ExtractAxisValue collects it: optional sign, digits with at
// most one decimal mark ("." or ","), at least one digit. Empty when the text is
// anything else or too large for a double.
std::optional<double> axisNumber(std::string_view text);

// Reads a G-code program into `points`, one record per line (lines end at CR LF,
// CR or LF), and widens `bounds` to take in every record's X and Y. The previous
// records are dropped; a text without lines leaves the single empty placeholder.
// On a line that does not read, throws GCodeReadError: `points` then holds the
// lines read so far with the failing one last, `bounds` what they were widened to.
void ReadGCodeText(std::string_view text, PenPoints& points, ViewBounds& bounds, EventPump& pump);

// The same for a file. A file that cannot be read throws FileReadError naming it,
// an empty one EmptyGCodeFileError; both leave `points` and `bounds` untouched.
void ReadGCodeFile(const std::string& path, PenPoints& points, ViewBounds& bounds, EventPump& pump);

// The file's records handed to `sink` one by one as they are read, none kept;
// `bounds` widened as ReadGCodeFile does. Returns how many records the list
// would hold (1, the placeholder, for a file without lines). Throws as
// ReadGCodeFile does; the failing line's record is handed over first.
std::size_t ReadGCodeFileRecords(const std::string& path, PenPointSink& sink, ViewBounds& bounds,
                                 EventPump& pump);

// The whole file in one buffer of its own size; a file that cannot be read
// throws FileReadError naming it.
std::string ReadGCodeFileBytes(const std::string& path);
