#pragma once

#include "gcode/PenPoints.h"

// A rectangle in millimetres.
struct MmRect {
    double MinX = 0;
    double MinY = 0;
    double MaxX = 0;
    double MaxY = 0;
    MmRect united(const MmRect& other) const;
    bool intersects(const MmRect& other) const {
        return MinX <= other.MaxX && other.MinX <= MaxX && MinY <= other.MaxY && other.MinY <= MaxY;
    }
    bool operator==(const MmRect&) const = default;
};

struct MmPoint {
    double X = 0;
    double Y = 0;
};

// Pixel coordinates: x to the right, y downwards, 0 at the top-left pixel's centre.
struct PixelPoint {
    double x = 0;
    double y = 0;
};

// How the preview maps millimetres to pixels: one scale for both axes, so a
// millimetre is as long across as down. X grows to the right, Y upwards;
// (left, top) is the millimetre point at the top-left pixel.
class ViewTransform {
  public:
    // Beyond these the picture is a dot or a single stroke fills the screen many
    // thousand times; pixel coordinates stay far inside an int.
    static constexpr double kMinPixelsPerMm = 1e-3;
    static constexpr double kMaxPixelsPerMm = 1e4;

    ViewTransform() = default;
    ViewTransform(double left, double top, double pixelsPerMm);

    double left() const { return left_; }
    double top() const { return top_; }
    double pixelsPerMm() const { return ppm_; }

    PixelPoint toPixel(double x, double y) const { return {(x - left_) * ppm_, (top_ - y) * ppm_}; }
    MmPoint toMm(double px, double py) const { return {left_ + px / ppm_, top_ - py / ppm_}; }

    // The millimetres a surface of width × height pixels shows.
    MmRect visible(int width, int height) const;

    // Zooms by `factor` keeping the millimetre point under the pixel where it is.
    void zoomAbout(PixelPoint pixel, double factor);
    // Moves the picture by the given pixels, as a drag does.
    void panBy(double dx, double dy);

    bool operator==(const ViewTransform&) const = default;

  private:
    double left_ = 0;
    double top_ = 0;
    double ppm_ = 1;
};

// The whole of `content` in the middle of a width × height surface, `margin`
// pixels free on every side. Content without width or height is shown at the
// scale of its other extent (a point: 10 pixels a millimetre).
ViewTransform fitView(const MmRect& content, int width, int height, double margin);

// What a scale list entry shows: the view of the bounds at that scale (see
// previewView) with its top-left corner `margin` pixels in from the surface's
// top-left pixel, as large as fits whole into the surface both ways with that
// margin free on every side.
ViewTransform scaleView(const ViewBounds& bounds, double scale, int width, int height,
                        double margin = 0);

// The steps of the millimetre grid, each 1, 2 or 5 times a power of ten: lines
// at least `minLineGap` pixels apart, labels on every line of the label step (a
// multiple of the line step) at least `minLabelGap` pixels apart.
struct GridSteps {
    double line = 1;
    double label = 10;
};
GridSteps gridSteps(double pixelsPerMm, double minLineGap = 8, double minLabelGap = 70);

// Distance and angle from one point to another: the angle in degrees from the
// X axis, counter-clockwise positive, in (-180, 180].
struct Measurement {
    double distance = 0;
    double angleDegrees = 0;
};
Measurement measure(MmPoint from, MmPoint to);
