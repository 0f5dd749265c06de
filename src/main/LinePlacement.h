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

// <@FIT=W> and <@FIT=W;H>: the letters shrink (never grow) until the line's
// ink is no wider than W (its length along an arc) and, with H, the letters no
// taller than H. W 0 stands for the field's width. Set on a line of its own
// with H, it fits the lines that follow as one block into W by H.
struct FitBox {
    double width = 0;
    double height = 0;  // 0: no limit but the letter height
    bool operator==(const FitBox&) const = default;
};

// <@QR=TEXT;SIZE> and <@DM=TEXT;SIZE>: a code in place of the line's text.
enum class CodeKind { QR, DataMatrix };
struct CodeRequest {
    CodeKind kind = CodeKind::QR;
    std::string text;  // Windows-1251, as the line holds it
    double size = 20;  // the square's side with its quiet zone, mm
    bool operator==(const CodeRequest&) const = default;
};

constexpr int kMaxBold = 10;

struct LinePlacement {
    LineAlign align = LineAlign::Left;
    std::optional<ArcPath> arc;
    std::optional<FitBox> fit;
    int bold = 1;  // <@BOLD=N>: each stroke written N times side by side
    // A plain line is laid out exactly as a project without these tags (a bold
    // one gets its copies after placing).
    bool plain() const { return align == LineAlign::Left && !arc && !fit; }
    bool operator==(const LinePlacement&) const = default;
};

// Reads the placement tags line after line and keeps the defaults they set.
class PlacementTags {
  public:
    struct Line {
        bool settingOnly = false;  // no text, only placement tags: no line of its own
        LinePlacement placement;
        // A block fit set by this line: the lines that follow, up to the next
        // <@FIT> line of their own, share one scale.
        std::optional<FitBox> blockFit;
        bool fitSet = false;              // a line of its own with <@FIT>: ends a block
        std::optional<CodeRequest> code;  // the line is a code
    };
    // lineNumber (1-based text line) and the text without spaces name the line
    // in notes: a tag value that cannot be read is reported there and ignored.
    Line read(const ProjectLine& line, bool emptyText, std::size_t lineNumber,
              std::vector<std::string>& notes);

  private:
    LinePlacement defaults_;
};

// Whether a <@MIRROR> tag stands anywhere in the project: the whole plate is
// then mirrored left to right about the field's middle.
bool ProjectIsMirrored(const Project& project);

// A finished coordinate of a placed point: hundredths, never exactly 0, so the
// point stays a drawing point.
double FinishedCoordinate(double v);

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
