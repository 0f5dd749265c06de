#include "main/PreviewGeometry.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "gcode/MoveText.h"
#include "gcode/ToolMoves.h"
#include "lib/NumberText.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The leading number of the text: blanks skipped, optional sign, digits, one
// optional decimal mark ("," or ".") with digits; 0 when there is none.
double leadingValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const std::size_t start = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i;
    }
    const std::string_view body = text.substr(start, i - start);
    if (body.empty() || body == "." || body == ",") return 0;

    // Only the sign after rounding matters: huge is far above zero, tiny is zero.
    const double value = numtext::parseMarkedDecimal(body).value_or(0.0);
    return negative ? -value : value;
}

void widenFlatAxis(double& low, double& high, double span) {
    const double centre = (low + high) / 2;
    low = centre - span / 2;
    high = centre + span / 2;
}

}  // namespace

PreviewRgb rgbOf(PreviewColour colour) {
    switch (colour) {
        case PreviewColour::Black:
            return {0, 0, 0};
        case PreviewColour::Green:
            return {0, 255, 0};
        case PreviewColour::Red:
            return {255, 0, 0};
        case PreviewColour::Blue:
            return {0, 0, 255};
    }
    return {};
}

double previewScale(std::string_view percentText) {
    const auto value = numtext::parseLocaleNumber(percentText, '.');
    if (!value || !(*value > 0) || !std::isfinite(*value)) return 1.0;
    return *value / 100.0;
}

PreviewView previewView(const ViewBounds& bounds, double scale) {
    PreviewView view{bounds.MinX / scale, bounds.MaxY / scale, bounds.MaxX / scale,
                     bounds.MinY / scale};
    const double width = std::fabs(view.Right - view.Left);
    const double height = std::fabs(view.Top - view.Bottom);
    if (width == 0 && height == 0) {
        widenFlatAxis(view.Left, view.Right, 1.0);
        widenFlatAxis(view.Bottom, view.Top, 1.0);
    } else if (width == 0) {
        widenFlatAxis(view.Left, view.Right, height);
    } else if (height == 0) {
        widenFlatAxis(view.Bottom, view.Top, width);
    }
    return view;
}

std::size_t recordsToDraw(long long& drawLimit, std::size_t recordCount) {
    if (drawLimit == 0) drawLimit = static_cast<long long>(recordCount);
    if (drawLimit < 0) return 0;
    return std::min(static_cast<std::size_t>(drawLimit), recordCount);
}

std::optional<bool> liftOf(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == 'Z' || line[i] == 'z')
            return numtext::roundToWholeHalfEven(leadingValue(line.substr(i + 1))) > 0;
    }
    return std::nullopt;
}

namespace {

// liftOf the record's text. A move's own text names Z only when it lifts or
// lowers the tool alone, so only those records are written out to ask.
std::optional<bool> liftOfRecord(const PenPoints& points, std::size_t pos, const PenPoint& r) {
    if (!points.hasMoveText(pos)) return liftOf(points.ownLine(pos));
    if (r.X != 0 || r.Y != 0 || r.Z == 0) return std::nullopt;
    char text[kMaxMoveText];
    // The separator does not change the value read back.
    return liftOf(std::string_view(
        text, static_cast<std::size_t>(WriteMoveText(text, r.X, r.Y, r.Z, '.') - text)));
}

}  // namespace

void walkPreview(const PenPoints& points, std::size_t count, DrawingMode drawMode,
                 PreviewSink& sink, EventPump& pump) {
    double prevX = 0;
    double prevY = 0;
    PreviewColour colour = PreviewColour::Black;
    std::size_t lastLift = 0;
    bool first = true;
    count = std::min(count, points.count());
    for (std::size_t i = 1; i <= count; ++i) {
        const PenPoint r = points[i];
        const std::optional<bool> lift = liftOfRecord(points, i, r);
        if (r.X == 0 && r.Y == 0 && r.Z == 0 && !lift) continue;
        if (lift) {
            if (*lift) {
                colour = PreviewColour::Green;
                lastLift = i;
            } else {
                colour = PreviewColour::Red;
            }
        }
        if (drawMode == DrawingMode::Project && i > lastLift + 1) colour = PreviewColour::Red;
        // The program goes from the origin to its first point at the safe height,
        // whether the path starts with a lift or with the first letter's point.
        if (drawMode == DrawingMode::Project && first) colour = PreviewColour::Green;
        first = false;
        const double x = r.X == 0 ? prevX : r.X;
        const double y = r.Y == 0 ? prevY : r.Y;
        sink.segment({prevX, prevY, x, y, colour, i});
        prevX = x;
        prevY = y;
        pump.tick();
    }
}

void walkInterpreted(const PenPoints& points, std::size_t count, double chordTolerance,
                     PreviewSink& sink, EventPump& pump) {
    if (!points.moves()) return;
    const ToolMoves& moves = *points.moves();
    moves.forEachMove(
        points, 1, count, [&](std::size_t record, const PathPoint& from, const ToolMove& move) {
            const PreviewColour colour = move.cut() ? PreviewColour::Red : PreviewColour::Green;
            if (move.arc < 0) {
                sink.segment({from.X, from.Y, move.end.X, move.end.Y, colour, record});
            } else {
                const ArcShape& arc = moves.arcs()[static_cast<std::size_t>(move.arc)];
                const std::size_t chords = ArcChords(from, move.end, arc, chordTolerance);
                const ArcTracer tracer(from, move.end, arc);
                PathPoint a = from;
                for (std::size_t i = 1; i <= chords; ++i) {
                    const PathPoint b =
                        tracer.at(static_cast<double>(i) / static_cast<double>(chords));
                    sink.segment({a.X, a.Y, b.X, b.Y, colour, record});
                    a = b;
                }
            }
            pump.tick();
        });
}

std::optional<PreviewSegment> fieldBorder(double fieldWidth, const PreviewView& view) {
    if (!(fieldWidth > 0)) return std::nullopt;
    return PreviewSegment{fieldWidth, view.Top, fieldWidth, view.Bottom, PreviewColour::Blue, 0};
}
