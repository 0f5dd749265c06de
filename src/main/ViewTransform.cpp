#include "main/ViewTransform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "main/PreviewGeometry.h"

namespace {

double clampScale(double ppm) {
    if (!std::isfinite(ppm)) return ViewTransform::kMaxPixelsPerMm;
    return std::clamp(ppm, ViewTransform::kMinPixelsPerMm, ViewTransform::kMaxPixelsPerMm);
}

// The n-th value of 1, 2, 5, 10, 20, 50, ... counted from 10^decade.
double niceStep(int decade, int n) {
    static constexpr double kMantissa[3] = {1, 2, 5};
    const int shift = n >= 0 ? n / 3 : (n - 2) / 3;
    return kMantissa[n - shift * 3] * std::pow(10.0, decade + shift);
}

}  // namespace

MmRect MmRect::united(const MmRect& other) const {
    return {std::min(MinX, other.MinX), std::min(MinY, other.MinY), std::max(MaxX, other.MaxX),
            std::max(MaxY, other.MaxY)};
}

ViewTransform::ViewTransform(double left, double top, double pixelsPerMm)
    : left_(left), top_(top), ppm_(clampScale(pixelsPerMm)) {}

MmRect ViewTransform::visible(int width, int height) const {
    const MmPoint topLeft = toMm(-0.5, -0.5);
    const MmPoint bottomRight = toMm(width - 0.5, height - 0.5);
    return {topLeft.X, bottomRight.Y, bottomRight.X, topLeft.Y};
}

void ViewTransform::zoomAbout(PixelPoint pixel, double factor) {
    const MmPoint fixed = toMm(pixel.x, pixel.y);
    ppm_ = clampScale(ppm_ * factor);
    left_ = fixed.X - pixel.x / ppm_;
    top_ = fixed.Y + pixel.y / ppm_;
}

void ViewTransform::panBy(double dx, double dy) {
    left_ -= dx / ppm_;
    top_ += dy / ppm_;
}

ViewTransform fitView(const MmRect& content, int width, int height, double margin) {
    const double roomX = std::max(1.0, width - 1 - 2 * margin);
    const double roomY = std::max(1.0, height - 1 - 2 * margin);
    double spanX = content.MaxX - content.MinX;
    double spanY = content.MaxY - content.MinY;
    if (!(spanX > 0) && !(spanY > 0)) spanX = spanY = std::min(roomX, roomY) / 10;
    const double ppm = clampScale(
        std::min(spanX > 0 ? roomX / spanX : HUGE_VAL, spanY > 0 ? roomY / spanY : HUGE_VAL));
    const double centreX = (content.MinX + content.MaxX) / 2;
    const double centreY = (content.MinY + content.MaxY) / 2;
    return ViewTransform(centreX - (width - 1) / 2.0 / ppm, centreY + (height - 1) / 2.0 / ppm,
                         ppm);
}

ViewTransform scaleView(const ViewBounds& bounds, double scale, int width, int height,
                        double margin) {
    const PreviewView view = previewView(bounds, scale);
    const double spanX = std::fabs(view.Right - view.Left);
    const double spanY = std::fabs(view.Top - view.Bottom);
    const double roomX = std::max(1.0, width - 1 - 2 * margin);
    const double roomY = std::max(1.0, height - 1 - 2 * margin);
    const double ppm = std::min(roomX / spanX, roomY / spanY);
    return ViewTransform(std::min(view.Left, view.Right) - margin / ppm,
                         std::max(view.Top, view.Bottom) + margin / ppm, ppm);
}

GridSteps gridSteps(double pixelsPerMm, double minLineGap, double minLabelGap) {
    const int decade = static_cast<int>(std::floor(std::log10(minLineGap / pixelsPerMm)));
    int n = 0;
    while (niceStep(decade, n) * pixelsPerMm < minLineGap) ++n;
    GridSteps steps;
    steps.line = niceStep(decade, n);
    for (int k = n;; ++k) {
        const double label = niceStep(decade, k);
        const double ratio = label / steps.line;
        if (label * pixelsPerMm >= minLabelGap && std::fabs(ratio - std::round(ratio)) < 1e-9) {
            steps.label = label;
            break;
        }
    }
    return steps;
}

Measurement measure(MmPoint from, MmPoint to) {
    const double dx = to.X - from.X;
    const double dy = to.Y - from.Y;
    Measurement m;
    m.distance = std::hypot(dx, dy);
    m.angleDegrees = m.distance > 0 ? std::atan2(dy, dx) * 180 / std::numbers::pi : 0;
    if (m.angleDegrees <= -180) m.angleDegrees += 360;
    return m;
}
