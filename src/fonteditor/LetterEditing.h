#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/FontStorage.h"

// The font editor's letter: the point lines exactly as the letter file holds
// them, in drawing order, and the selected point. The editor keeps no other
// form of the points; it parses the texts whenever it draws or shifts them, so
// an unchanged line is saved back byte for byte.
namespace letteredit {

enum class Mode { Area = 0, PlacePoints = 1, MovePoint = 2 };

struct Letter {
    std::vector<std::string> points;
    std::optional<std::size_t> selected;  // position in points
    // Every selected position, ascending; holds `selected` whenever that is set.
    // The commands for one point (place behind, move to, break after) take
    // `selected`; moving, deleting, copying, mirroring take them all.
    std::vector<std::size_t> selection = {};
    bool operator==(const Letter&) const = default;
};

// Makes `position` (or nothing) the only selected point.
void selectOnly(Letter& letter, std::optional<std::size_t> position);

// "x,y" with both numbers in the letter file form.
std::string pointEntry(double x, double y);

// What a left click at (x, y) in letter units does in the given mode. Returns
// true when the click selected a point (the new or the replaced one), which the
// window shows as a selection made in the point list.
bool click(Letter& letter, Mode mode, double x, double y);

// Moves every point by (dx, dy) and rewrites every line in the normal number
// form, points outside the letter box included; break marks stay as they are.
// The selection is lost.
void shiftAll(Letter& letter, double dx, double dy);

enum class ArrowKey { Left, Up, Right, Down, Other };
struct Offset {
    double dx = 0;
    double dy = 0;
};
// One letter unit per key; y grows downward, so Up moves the letter up.
Offset keyOffset(ArrowKey key);

// Puts a break mark after the selected point and selects the mark, so that the
// delete command takes it out again; false when no point is selected.
bool insertBreakAfterSelected(Letter& letter);
// The text the point list shows for line i: the line, or «— разрыв —» for a mark.
std::string pointListText(const std::vector<std::string>& points, std::size_t i);

// Removes the selected point; false when none was selected.
bool removeSelected(Letter& letter);

struct Point {
    double x = 0;
    double y = 0;
};
struct Segment {
    Point from;
    Point to;
};
// What the surface shows of a letter: a mark on every point inside the box's
// open quadrant (x > 0 and y > 0) and a line from each such point to the next
// one, wherever that one lies, unless it is a break mark. Values are taken in
// single precision.
struct Drawing {
    std::vector<Point> marks;
    std::vector<Segment> lines;
};
Drawing drawLetter(const std::vector<std::string>& points);

// Position (0-based) of the first line without ",", if any.
std::optional<std::size_t> firstLineWithoutComma(const std::vector<std::string>& points);

constexpr double kCoordinateLimit = kLetterCoordinateLimit;
// Position (0-based) of the first line with a coordinate beyond ±kCoordinateLimit.
std::optional<std::size_t> firstPointOutOfRange(const std::vector<std::string>& points);

// The Windows-1251 code of the first character of a typed answer (UTF-8);
// none when the answer is empty or that character has no Windows-1251 form.
std::optional<int> letterCodeOfAnswer(std::string_view utf8);

// One entry of the letter list: "[code]" followed by the character (Windows-1251).
struct LetterEntry {
    std::string text;
    int code = 0;
    bool exists = false;  // the font has a letter file for the code
};
// Every code from 32 to 255, and each lower code that has a letter file, in
// code order, so that a font maker works through the font in order and a
// missing letter is one choice away.
std::vector<LetterEntry> letterEntries(const std::vector<int>& codes);

}  // namespace letteredit
