#include "fonteditor/LetterEditing.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "font/FontStorage.h"
#include "lib/Win1251.h"

namespace letteredit {

std::string pointEntry(double x, double y) {
    return FormatCoordinate(x) + "," + FormatCoordinate(y);
}

void selectOnly(Letter& letter, std::optional<std::size_t> position) {
    if (position && *position >= letter.points.size()) position.reset();
    letter.selected = position;
    letter.selection.clear();
    if (position) letter.selection.push_back(*position);
}

bool click(Letter& letter, Mode mode, double x, double y) {
    auto& points = letter.points;
    // A selection left over from a list that has since shrunk selects nothing.
    if (letter.selected && *letter.selected >= points.size()) selectOnly(letter, std::nullopt);
    switch (mode) {
        case Mode::Area:
            return false;
        case Mode::PlacePoints:
            if (!letter.selected) {
                points.push_back(pointEntry(x, y));
                return false;
            }
            {
                const std::size_t at = *letter.selected + 1;
                points.insert(points.begin() + static_cast<std::ptrdiff_t>(at), pointEntry(x, y));
                selectOnly(letter, at);
            }
            return true;
        case Mode::MovePoint:
            if (!letter.selected) return false;
            points[*letter.selected] = pointEntry(x, y);
            selectOnly(letter, letter.selected);
            return true;
    }
    return false;
}

void shiftAll(Letter& letter, double dx, double dy) {
    // A break mark is no point: shifted, it would become one and draw a stroke
    // from the box's edge.
    for (std::size_t i = 0; i < letter.points.size(); ++i) {
        if (IsStrokeBreak(letter.points, i)) continue;
        double x = 0;
        double y = 0;
        ParsePointLine(letter.points[i], x, y);
        letter.points[i] = pointEntry(x + dx, y + dy);
    }
    selectOnly(letter, std::nullopt);
}

Offset keyOffset(ArrowKey key) {
    switch (key) {
        case ArrowKey::Left:
            return {-1, 0};
        case ArrowKey::Up:
            return {0, -1};
        case ArrowKey::Right:
            return {1, 0};
        case ArrowKey::Down:
            return {0, 1};
        case ArrowKey::Other:
            break;
    }
    return {};
}

bool insertBreakAfterSelected(Letter& letter) {
    if (!letter.selected || *letter.selected >= letter.points.size()) return false;
    const std::size_t at = *letter.selected + 1;
    letter.points.insert(letter.points.begin() + static_cast<std::ptrdiff_t>(at), kStrokeBreakLine);
    selectOnly(letter, at);
    return true;
}

std::string pointListText(const std::vector<std::string>& points, std::size_t i) {
    return IsStrokeBreak(points, i) ? cp("— разрыв —") : points[i];
}

bool removeSelected(Letter& letter) {
    if (!letter.selected || *letter.selected >= letter.points.size()) {
        selectOnly(letter, std::nullopt);
        return false;
    }
    letter.points.erase(letter.points.begin() + static_cast<std::ptrdiff_t>(*letter.selected));
    selectOnly(letter, std::nullopt);
    return true;
}

Drawing drawLetter(const std::vector<std::string>& points) {
    std::vector<Point> parsed;
    parsed.reserve(points.size());
    for (const auto& entry : points) {
        double x = 0;
        double y = 0;
        ParsePointLine(entry, x, y);
        parsed.push_back({static_cast<float>(x), static_cast<float>(y)});
    }
    Drawing drawing;
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        const Point p = parsed[i];
        if (!(p.x > 0 && p.y > 0)) continue;
        drawing.marks.push_back(p);
        if (i + 1 < parsed.size() && !IsStrokeBreak(points, i + 1))
            drawing.lines.push_back({p, parsed[i + 1]});
    }
    return drawing;
}

std::optional<std::size_t> firstLineWithoutComma(const std::vector<std::string>& points) {
    for (std::size_t i = 0; i < points.size(); ++i)
        if (points[i].find(',') == std::string::npos) return i;
    return std::nullopt;
}

std::optional<std::size_t> firstPointOutOfRange(const std::vector<std::string>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        double x = 0;
        double y = 0;
        ParsePointLine(points[i], x, y);
        // Written so that a NaN counts as out of range.
        if (!(std::fabs(x) <= kCoordinateLimit && std::fabs(y) <= kCoordinateLimit)) return i;
    }
    return std::nullopt;
}

std::optional<int> letterCodeOfAnswer(std::string_view utf8) {
    if (utf8.empty()) return std::nullopt;
    const auto lead = static_cast<unsigned char>(utf8[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::string_view first = utf8.substr(0, length);
    const std::string code = win1251::fromUtf8(first);
    // The table turns every character it lacks into '?'.
    if (code.size() != 1 || (code[0] == '?' && first != "?")) return std::nullopt;
    return static_cast<unsigned char>(code[0]);
}

std::vector<LetterEntry> letterEntries(const std::vector<int>& codes) {
    std::array<bool, 256> exists{};
    for (int code : codes)
        if (code >= 0 && code <= 255) exists[static_cast<std::size_t>(code)] = true;
    std::vector<LetterEntry> entries;
    for (int code = 0; code <= 255; ++code) {
        const bool has = exists[static_cast<std::size_t>(code)];
        if (code < 32 && !has) continue;
        // Appended piece by piece: "[" + std::string(...) is taken by g++ 12 at -O3
        // for an overlapping copy (-Wrestrict).
        std::string label(1, '[');
        label += std::to_string(code);
        label += ']';
        label += static_cast<char>(static_cast<unsigned char>(code));
        entries.push_back({label, code, has});
    }
    return entries;
}

}  // namespace letteredit
