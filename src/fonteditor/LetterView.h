#pragma once

#include <vector>

#include "fonteditor/LetterEditing.h"

namespace letteredit {

// How the drawing surface maps letter units to pixels. Unzoomed it shows -10
// to 110 on both axes across the whole surface, as it always has; zooming
// narrows that span about a point and panning moves it. Pixel (0, 0) is the
// surface's top-left corner, y downward like the letter's units.
class LetterView {
  public:
    static constexpr double kLeft = -10;
    static constexpr double kSpan = 120;
    static constexpr double kMinZoom = 0.05;
    static constexpr double kMaxZoom = 500;

    // The surface's size in pixels.
    void setSize(double width, double height);
    double zoom() const { return zoom_; }
    Point centre() const { return centre_; }
    // Pixels per letter unit across and down.
    double scaleX() const { return width_ / kSpan * zoom_; }
    double scaleY() const { return height_ / kSpan * zoom_; }

    Point toPixels(Point units) const;
    Point toUnits(Point pixels) const;
    // The letter units the surface shows.
    struct Span {
        Point topLeft;
        Point bottomRight;
    };
    Span visible() const { return {toUnits({0, 0}), toUnits({width_, height_})}; }

    // Zooms by `factor` keeping the letter point under `pixel` where it is.
    void zoomAbout(Point pixel, double factor);
    // Moves the picture by the given pixels, as a drag does.
    void panBy(double dx, double dy);
    // Shows the surface's usual span and every point of the letter, whichever
    // reaches further.
    void fit(const std::vector<Point>& points);

  private:
    double width_ = kSpan;
    double height_ = kSpan;
    double zoom_ = 1;
    Point centre_{kLeft + kSpan / 2, kLeft + kSpan / 2};
};

// The lines of a grid of `step` units that fall inside [from, to], none when
// they would stand fewer than `minGap` pixels apart at `pixelsPerUnit`.
std::vector<double> gridLines(double from, double to, double step, double pixelsPerUnit,
                              double minGap = 4);

}  // namespace letteredit
