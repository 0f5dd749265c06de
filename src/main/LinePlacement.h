#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "gcode/PenPoints.h"
#include "main/ProjectModel.h"

// Where a laid-out line goes: aligned in the field, or bent along a circle.
// Set by the tags <@ALIGN=L|C|R> and <@ARC=CX;CY;R;ANGLE;CW|CCW> (or
// <@ARC=OFF>): in a line with text for that line, in a line of their own as the
// default for the lines that follow.

enum class LineAlign { Left, Centre, Right };

// A circle in finished coordinates (millimetres, Y upward as in the program).
// The letters' middle height runs on the circle; text starts at startDegrees
// (counter-clockwise from +X) and runs clockwise with the letters' tops
// outward, or counter-clockwise with them towards the centre.
struct ArcPath {
    double centreX = 0;
    double centreY = 0;
    double radius = 0;
    double startDegrees = 90;
    bool clockwise = true;
    bool operator==(const ArcPath&) const = default;
};

struct LinePlacement {
    LineAlign align = LineAlign::Left;
    std::optional<ArcPath> arc;
    // A plain line is laid out exactly as a project without these tags.
    bool plain() const { return align == LineAlign::Left && !arc; }
    bool operator==(const LinePlacement&) const = default;
};

// Reads the placement tags line after line and keeps the defaults they set.
class PlacementTags {
  public:
    struct Line {
        bool settingOnly = false;  // no text, only placement tags: no line of its own
        LinePlacement placement;
    };
    // lineNumber (1-based text line) and the text without spaces name the line
    // in notes: a tag value that cannot be read is reported there and ignored.
    Line read(const ProjectLine& line, bool emptyText, std::size_t lineNumber,
              std::vector<std::string>& notes);

  private:
    LinePlacement defaults_;
};

// Puts one line's letter points in place. Glyph points come in letter
// millimetres (Y downward from the letter box's top); a line's advance along
// its path is penX, measured from the line's start.
class LinePlacer {
  public:
    // lineWidth: the line's advance from its first letter's left edge to its
    // last letter's right edge; fieldWidth for alignment, letterHeight for the
    // letters' middle on an arc. A straight line wider than the field keeps its
    // left start and is reported in notes.
    LinePlacer(const LinePlacement& placement, double lineWidth, double fieldWidth,
               double letterHeight, std::size_t lineNumber, std::vector<std::string>& notes);

    // The finished point (rounded to hundredths, Y upward, lineY the line's
    // distance from the top) of glyph point g of a letter of width
    // letterWidth starting at penX. A coordinate that would round to exactly 0
    // is moved a hundredth away from it, so the point stays a drawing point.
    PenPoint place(const PenPoint& g, double letterWidth, double penX, double lineY) const;

  private:
    std::optional<ArcPath> arc_;
    double offset_ = 0;  // shift along the path from the alignment
    double middle_ = 0;  // letter-box depth of the letters' middle line
};
