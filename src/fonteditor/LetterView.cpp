#include "fonteditor/LetterView.h"

#include <algorithm>
#include <cmath>

namespace letteredit {

void LetterView::setSize(double width, double height) {
    width_ = std::max(1.0, width);
    height_ = std::max(1.0, height);
}

Point LetterView::toPixels(Point u) const {
    return {(u.x - centre_.x) * scaleX() + width_ / 2, (u.y - centre_.y) * scaleY() + height_ / 2};
}

Point LetterView::toUnits(Point p) const {
    return {centre_.x + (p.x - width_ / 2) / scaleX(), centre_.y + (p.y - height_ / 2) / scaleY()};
}

void LetterView::zoomAbout(Point pixel, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const Point fixed = toUnits(pixel);
    zoom_ = std::clamp(zoom_ * factor, kMinZoom, kMaxZoom);
    centre_ = {fixed.x - (pixel.x - width_ / 2) / scaleX(),
               fixed.y - (pixel.y - height_ / 2) / scaleY()};
}

void LetterView::panBy(double dx, double dy) {
    centre_.x -= dx / scaleX();
    centre_.y -= dy / scaleY();
}

void LetterView::fit(const std::vector<Point>& points) {
    double left = kLeft, top = kLeft, right = kLeft + kSpan, bottom = kLeft + kSpan;
    for (const Point& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    // Points beyond the usual span get the margin the box has.
    const double margin = (right - left > kSpan || bottom - top > kSpan) ? 10 : 0;
    left -= margin, top -= margin, right += margin, bottom += margin;
    zoom_ =
        std::clamp(std::min(kSpan / (right - left), kSpan / (bottom - top)), kMinZoom, kMaxZoom);
    centre_ = {(left + right) / 2, (top + bottom) / 2};
}

std::vector<double> gridLines(double from, double to, double step, double pixelsPerUnit,
                              double minGap) {
    std::vector<double> lines;
    if (!(step > 0) || !(step * pixelsPerUnit >= minGap) || !(to >= from)) return lines;
    for (double k = std::ceil(from / step); k * step <= to; ++k) lines.push_back(k * step);
    return lines;
}

}  // namespace letteredit
