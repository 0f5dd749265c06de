#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "gcode/PenPoints.h"
#include "lib/EventPump.h"

// What the preview draws, in millimetres of the view, without any drawing
// surface: which segments, in which colour, in which order.

enum class PreviewColour : std::uint8_t {
    Black,  // before any record that names a Z value
    Green,  // tool lifted
    Red,    // tool down
    Blue,   // right border of the writing field
};

struct PreviewRgb {
    int r = 0;
    int g = 0;
    int b = 0;
};
PreviewRgb rgbOf(PreviewColour colour);

// The user coordinates of the surface's corners: Left/Top at the top-left pixel,
// Right/Bottom at the bottom-right one. Y grows upwards (Top > Bottom).
struct PreviewView {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

struct PreviewSegment {
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
    PreviewColour Colour = PreviewColour::Black;
    std::size_t Record = 0;  // the record that draws the move; 0 for the border
};

// Scale factor of a scale list entry: "100" gives 1.0; text that is no positive
// number gives 1.0.
double previewScale(std::string_view percentText);

// The view of the bounds at scale s: top-left (MinX/s, MaxY/s), bottom-right
// (MaxX/s, MinY/s). A view without width or height would map nothing: a flat
// axis gets the other axis's extent centred on it, and a view flat both ways a
// 1 mm square around its point.
PreviewView previewView(const ViewBounds& bounds, double scale);

// How many records a pass draws. A limit of 0 means all: it then becomes the
// last position and is stored back. A limit past the end stops at the last record.
std::size_t recordsToDraw(long long& drawLimit, std::size_t recordCount);

// Receives the segments of a pass in drawing order.
class PreviewSink {
  public:
    virtual ~PreviewSink() = default;
    virtual void segment(const PreviewSegment& segment) = 0;
};

// Whether a G-code line lifts the tool: empty when it names no Z, otherwise
// whether the number after its first "Z" (either case; comma or point as the
// decimal mark, read as far as it goes) rounds, halves to even, above 0.
std::optional<bool> liftOf(std::string_view line);

// Where the tool path on show came from. The values are those the window has
// always kept, so code that compares numbers reads them the same.
enum class DrawingMode { None = 0, Project = 1, GCodeFile = 2 };

// Walks records 1..count of the path and hands every move to the sink, from
// the previous point to the record's point (an X or Y of exactly 0 keeps the
// previous one), coloured by the last Z met. In a laid-out project
// the move from the origin, a lift record and the move after it are green;
// the rest is red.
void walkPreview(const PenPoints& points, std::size_t count, DrawingMode drawMode,
                 PreviewSink& sink, EventPump& pump);

// The same for a path the interpreter read (PenPoints::moves): each move of
// records 1..count, writing red and the rest green, an arc as chords
// `chordTolerance` mm close.
void walkInterpreted(const PenPoints& points, std::size_t count, double chordTolerance,
                     PreviewSink& sink, EventPump& pump);

// The blue field border at X = fieldWidth over the view's full height; none for
// a field width of 0 or less.
std::optional<PreviewSegment> fieldBorder(double fieldWidth, const PreviewView& view);
