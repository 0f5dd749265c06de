#include "fonteditor/FontPage.h"

#include <algorithm>

#include "font/FontStorage.h"

namespace fontpage {

int firstCode(int page) { return page == 1 ? 0 : 128; }

int cellCode(int first, int column, int row) { return first + kRows * column + row; }

std::optional<Cell> cellAt(PagePoint p) {
    if (!(p.x >= 0 && p.x < kPageWidth && p.y >= 0 && p.y < kPageHeight)) return std::nullopt;
    return Cell{std::min(kColumns - 1, static_cast<int>(p.x / kColumnWidth)),
                std::min(kRows - 1, static_cast<int>(p.y / kRowHeight))};
}

PagePoint codeTextPosition(int column, int row) {
    return {kColumnWidth * column + kColumnWidth / 10, kRowHeight * row + kRowHeight / 4};
}

PagePoint characterTextPosition(int column, int row) {
    return {kColumnWidth * column + kColumnWidth / 2, kRowHeight * row + kRowHeight / 4};
}

PagePoint letterOrigin(int column, int row) {
    return {kColumnWidth * column + kColumnWidth / 1.4, kRowHeight * row + kRowHeight / 4};
}

std::vector<std::vector<PagePoint>> letterStrokes(const std::vector<std::string>& lines,
                                                  PagePoint origin) {
    std::vector<std::vector<PagePoint>> strokes(1);
    const auto x0 = static_cast<float>(origin.x);
    const auto y0 = static_cast<float>(origin.y);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsStrokeBreak(lines, i)) {
            if (!strokes.back().empty()) strokes.emplace_back();
            continue;
        }
        double x = 0;
        double y = 0;
        if (!ParsePointLine(lines[i], x, y)) continue;
        const float pageX = static_cast<float>(x) / kLetterScale + x0;
        const float pageY = static_cast<float>(y) / kLetterScale + y0;
        if (pageX <= 0 || pageY <= 0) continue;
        strokes.back().push_back({pageX, pageY});
    }
    if (strokes.size() > 1 && strokes.back().empty()) strokes.pop_back();
    return strokes;
}

}  // namespace fontpage
