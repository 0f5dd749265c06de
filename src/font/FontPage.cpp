#include "font/FontPage.h"

#include "font/FontStorage.h"

namespace fontpage {

int firstCode(int page) { return page == 1 ? 0 : 128; }

int cellCode(int first, int column, int row) { return first + kRows * column + row; }

PagePoint codeTextPosition(int column, int row) {
    return {kColumnWidth * column + kColumnWidth / 10, kRowHeight * row + kRowHeight / 4};
}

PagePoint characterTextPosition(int column, int row) {
    return {kColumnWidth * column + kColumnWidth / 2, kRowHeight * row + kRowHeight / 4};
}

PagePoint letterOrigin(int column, int row) {
    return {kColumnWidth * column + kColumnWidth / 1.4, kRowHeight * row + kRowHeight / 4};
}

std::vector<PagePoint> letterPolyline(const std::vector<std::string>& lines, PagePoint origin) {
    std::vector<PagePoint> polyline;
    const auto x0 = static_cast<float>(origin.x);
    const auto y0 = static_cast<float>(origin.y);
    for (const auto& line : lines) {
        double x = 0;
        double y = 0;
        if (!ParsePointLine(line, x, y)) continue;
        const float pageX = static_cast<float>(x) / kLetterScale + x0;
        const float pageY = static_cast<float>(y) / kLetterScale + y0;
        if (pageX <= 0 || pageY <= 0) continue;
        polyline.push_back({pageX, pageY});
    }
    return polyline;
}

}  // namespace fontpage
