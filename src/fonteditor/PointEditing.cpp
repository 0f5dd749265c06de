#include "fonteditor/PointEditing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "font/FontStorage.h"
#include "lib/NumberText.h"

namespace letteredit {

namespace {

using Lines = std::vector<std::string>;

// The selected positions that are points (not break marks), or every point.
std::vector<std::size_t> targets(const Letter& letter) {
    std::vector<std::size_t> out;
    const auto take = [&](std::size_t i) {
        if (i < letter.points.size() && !IsStrokeBreak(letter.points, i)) out.push_back(i);
    };
    if (letter.selection.empty())
        for (std::size_t i = 0; i < letter.points.size(); ++i) take(i);
    else
        for (std::size_t i : letter.selection) take(i);
    return out;
}

Point parsed(const std::string& line) {
    double x = 0;
    double y = 0;
    ParsePointLine(line, x, y);
    return {x, y};
}

bool withinLimits(double x, double y) {
    return std::fabs(x) <= kCoordinateLimit && std::fabs(y) <= kCoordinateLimit;
}

// Two numbers and a comma, blanks around them: a text from elsewhere that merely
// holds a comma must not come in as a letter's points.
bool isPointLine(std::string_view line) {
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return false;
    double value[2] = {0, 0};
    const std::string_view parts[2] = {line.substr(0, comma), line.substr(comma + 1)};
    for (int k = 0; k < 2; ++k) {
        std::size_t used = 0;
        value[k] = numtext::leadingNumber(parts[k], used);
        if (used == 0 || parts[k].find_first_not_of(" \t", used) != std::string_view::npos)
            return false;
    }
    return withinLimits(value[0], value[1]);
}

// Maps the target points through `f` about the middle of their extent.
template <typename F>
bool transform(Letter& letter, F f) {
    const auto chosen = targets(letter);
    if (chosen.empty()) return false;
    double left = HUGE_VAL, right = -HUGE_VAL, top = HUGE_VAL, bottom = -HUGE_VAL;
    std::vector<Point> at;
    at.reserve(chosen.size());
    for (std::size_t i : chosen) {
        const Point p = parsed(letter.points[i]);
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
        at.push_back(p);
    }
    const Point middle{(left + right) / 2, (top + bottom) / 2};
    for (Point& p : at) {
        p = f(p, middle);
        if (!withinLimits(p.x, p.y)) return false;
    }
    for (std::size_t k = 0; k < chosen.size(); ++k)
        letter.points[chosen[k]] = pointEntry(at[k].x, at[k].y);
    return true;
}

}  // namespace

std::vector<Point> parsePoints(const Lines& lines) {
    std::vector<Point> points;
    points.reserve(lines.size());
    for (const auto& line : lines) points.push_back(parsed(line));
    return points;
}

std::optional<std::size_t> pointAt(const std::vector<Point>& points, const Lines& lines, double x,
                                   double y, double radius) {
    std::optional<std::size_t> best;
    double bestDistance = radius * radius;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double dx = points[i].x - x;
        const double dy = points[i].y - y;
        const double d = dx * dx + dy * dy;
        if (d <= bestDistance && !IsStrokeBreak(lines, i)) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

std::vector<std::size_t> pointsWithin(const std::vector<Point>& points, const Lines& lines,
                                      Area area) {
    const double left = std::min(area.left, area.right);
    const double right = std::max(area.left, area.right);
    const double top = std::min(area.top, area.bottom);
    const double bottom = std::max(area.top, area.bottom);
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point p = points[i];
        if (p.x >= left && p.x <= right && p.y >= top && p.y <= bottom && !IsStrokeBreak(lines, i))
            inside.push_back(i);
    }
    return inside;
}

void select(Letter& letter, std::vector<std::size_t> positions,
            std::optional<std::size_t> primary) {
    std::erase_if(positions, [&](std::size_t i) { return i >= letter.points.size(); });
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    if (!primary || !std::binary_search(positions.begin(), positions.end(), *primary))
        primary = positions.empty() ? std::nullopt : std::optional(positions.front());
    letter.selection = std::move(positions);
    letter.selected = primary;
}

void toggle(Letter& letter, std::size_t position) {
    auto positions = letter.selection;
    const auto found = std::find(positions.begin(), positions.end(), position);
    if (found != positions.end()) {
        positions.erase(found);
        select(letter, std::move(positions), letter.selected);
    } else {
        positions.push_back(position);
        select(letter, std::move(positions), position);
    }
}

Drag startDrag(const Letter& letter) {
    Drag drag;
    drag.moved = targets(letter);
    if (letter.selection.empty()) drag.moved.clear();
    for (std::size_t i : drag.moved) drag.from.push_back(parsed(letter.points[i]));
    return drag;
}

void dragBy(Letter& letter, const Drag& drag, double dx, double dy) {
    for (std::size_t k = 0; k < drag.moved.size(); ++k) {
        const std::size_t i = drag.moved[k];
        if (i < letter.points.size())
            letter.points[i] = pointEntry(drag.from[k].x + dx, drag.from[k].y + dy);
    }
}

bool moveSelection(Letter& letter, double dx, double dy) {
    const Drag drag = startDrag(letter);
    if (drag.moved.empty()) return false;
    dragBy(letter, drag, dx, dy);
    return true;
}

bool removeSelection(Letter& letter) {
    if (letter.selection.empty()) return false;
    std::vector<bool> gone(letter.points.size(), false);
    for (std::size_t i : letter.selection)
        if (i < gone.size()) gone[i] = true;
    Lines kept;
    kept.reserve(letter.points.size());
    for (std::size_t i = 0; i < letter.points.size(); ++i)
        if (!gone[i]) kept.push_back(std::move(letter.points[i]));
    letter.points = std::move(kept);
    selectOnly(letter, std::nullopt);
    return true;
}

std::optional<std::size_t> insertOnSegment(Letter& letter, double x, double y, double tolerance) {
    const auto points = parsePoints(letter.points);
    std::optional<std::size_t> after;
    Point foot;
    double best = tolerance * tolerance;
    // The drawing's segments in order, each from a point with a mark to the next line.
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const Point a = points[i];
        const Point b = points[i + 1];
        if (!(a.x > 0 && a.y > 0) || IsStrokeBreak(letter.points, i + 1) ||
            IsStrokeBreak(letter.points, i))
            continue;
        const double vx = b.x - a.x;
        const double vy = b.y - a.y;
        const double length2 = vx * vx + vy * vy;
        const double t =
            length2 > 0 ? std::clamp(((x - a.x) * vx + (y - a.y) * vy) / length2, 0.0, 1.0) : 0.0;
        const Point f{a.x + t * vx, a.y + t * vy};
        const double d = (f.x - x) * (f.x - x) + (f.y - y) * (f.y - y);
        if (d <= best && t > 0 && t < 1) {
            best = d;
            after = i;
            foot = f;
        }
    }
    if (!after) return std::nullopt;
    const std::size_t at = *after + 1;
    letter.points.insert(letter.points.begin() + static_cast<std::ptrdiff_t>(at),
                         pointEntry(foot.x, foot.y));
    selectOnly(letter, at);
    return at;
}

bool mirrorSelection(Letter& letter, bool horizontal) {
    return transform(letter, [horizontal](Point p, Point middle) {
        return horizontal ? Point{2 * middle.x - p.x, p.y} : Point{p.x, 2 * middle.y - p.y};
    });
}

bool scaleSelection(Letter& letter, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return false;
    return transform(letter, [factor](Point p, Point middle) {
        return Point{middle.x + (p.x - middle.x) * factor, middle.y + (p.y - middle.y) * factor};
    });
}

std::string copyText(const Letter& letter) {
    std::string text;
    const auto add = [&](std::size_t i) {
        if (i < letter.points.size()) text += letter.points[i] + "\r\n";
    };
    if (letter.selection.empty())
        for (std::size_t i = 0; i < letter.points.size(); ++i) add(i);
    else
        for (std::size_t i : letter.selection) add(i);
    return text;
}

bool paste(Letter& letter, const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.find_first_not_of(" \t") != std::string::npos) {
            if (!isPointLine(line)) return false;
            lines.push_back(std::move(line));
        }
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    if (lines.empty()) return false;
    const std::size_t at = letter.selected && *letter.selected < letter.points.size()
                               ? *letter.selected + 1
                               : letter.points.size();
    letter.points.insert(letter.points.begin() + static_cast<std::ptrdiff_t>(at), lines.begin(),
                         lines.end());
    std::vector<std::size_t> pasted(lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) pasted[k] = at + k;
    select(letter, std::move(pasted));
    return true;
}

double snapToGrid(double value, double step) {
    if (!(step > 0)) return value;
    return std::round(value / step) * step;
}

}  // namespace letteredit
