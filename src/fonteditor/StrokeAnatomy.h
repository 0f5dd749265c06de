#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "fonteditor/LetterEditing.h"

// How a letter's one stroke is made: the order and direction of its pieces and
// which of them are no new ink. A piece that runs over an earlier piece again
// (either way) only costs machine time; a piece across a break mark joins two
// separate parts and is ink only while breaks are off. A font maker wants both
// kept short, so the editor shows them apart from the letter's own lines.
namespace strokeanatomy {

enum class SegmentKind { Ink, Retrace, Join };

struct Segment {
    std::size_t from = 0;  // line positions in the letter
    std::size_t to = 0;
    SegmentKind kind = SegmentKind::Ink;
};

struct Anatomy {
    std::vector<letteredit::Point> points;  // every line parsed, break marks included
    std::vector<std::size_t> marked;        // lines that get a point mark, in order
    std::vector<Segment> segments;          // in drawing order
    std::optional<std::size_t> start;       // the first marked line
    std::optional<std::size_t> end;         // the last marked line
};

// The same lines and marks as letteredit::drawLetter shows, with each line
// classed, and a line across break marks where drawLetter leaves a gap.
Anatomy analyse(const std::vector<std::string>& lines);

// What letteredit::drawLetter makes of the same lines.
letteredit::Drawing drawingOf(const Anatomy& anatomy);

}  // namespace strokeanatomy
