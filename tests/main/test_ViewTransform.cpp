#include <gtest/gtest.h>

#include "main/ViewTransform.h"

namespace {

TEST(ViewTransform, ZoomKeepsThePointUnderTheCursorAndPanFollowsTheDrag) {
    ViewTransform view(-10, 20, 4);
    const PixelPoint cursor{130, 70};
    const MmPoint under = view.toMm(cursor.x, cursor.y);
    view.zoomAbout(cursor, 2.5);
    EXPECT_DOUBLE_EQ(view.pixelsPerMm(), 10);
    EXPECT_NEAR(view.toMm(cursor.x, cursor.y).X, under.X, 1e-9);
    EXPECT_NEAR(view.toMm(cursor.x, cursor.y).Y, under.Y, 1e-9);

    const PixelPoint before = view.toPixel(5, -5);
    view.panBy(30, -12);
    EXPECT_NEAR(view.toPixel(5, -5).x, before.x + 30, 1e-9);
    EXPECT_NEAR(view.toPixel(5, -5).y, before.y - 12, 1e-9);

    for (int i = 0; i < 100; ++i) view.zoomAbout(cursor, 10);
    EXPECT_EQ(view.pixelsPerMm(), ViewTransform::kMaxPixelsPerMm);
    for (int i = 0; i < 100; ++i) view.zoomAbout(cursor, 0.1);
    EXPECT_EQ(view.pixelsPerMm(), ViewTransform::kMinPixelsPerMm);
}

TEST(ViewTransform, FitAndScaleViewsUseOneScaleBothWays) {
    // 200 × 50 mm in 1001 × 501 pixels, 50 free each side: the width decides.
    const ViewTransform fit = fitView(MmRect{-100, -30, 100, 20}, 1001, 501, 50);
    EXPECT_DOUBLE_EQ(fit.pixelsPerMm(), 900.0 / 200);
    EXPECT_NEAR(fit.toPixel(0, -5).x, 500, 1e-9) << "centred";
    EXPECT_NEAR(fit.toPixel(0, -5).y, 250, 1e-9);
    EXPECT_GT(fitView(MmRect{3, 3, 3, 3}, 100, 100, 0).pixelsPerMm(), 0) << "a point";

    // The 100 mm field at "100" in a wide surface: the height decides, top-left at the origin.
    const ViewBounds field{0, -100, 100, 0};
    const ViewTransform whole = scaleView(field, 1.0, 1001, 701);
    EXPECT_DOUBLE_EQ(whole.pixelsPerMm(), 7);
    EXPECT_EQ(whole.toPixel(0, 0).x, 0);
    EXPECT_EQ(whole.toPixel(0, 0).y, 0);
    EXPECT_DOUBLE_EQ(whole.toPixel(100, -100).y, 700);
    EXPECT_DOUBLE_EQ(scaleView(field, 2.0, 1001, 701).pixelsPerMm(), 14);
    EXPECT_GT(scaleView(ViewBounds{}, 1.0, 0, 0).pixelsPerMm(), 0) << "flat bounds, no surface";
    // With the fit's free edge of 50 pixels: the field's corners 50 pixels in.
    const ViewTransform edged = scaleView(field, 1.0, 1001, 701, 50);
    EXPECT_DOUBLE_EQ(edged.pixelsPerMm(), 6);
    EXPECT_NEAR(edged.toPixel(0, 0).x, 50, 1e-9);
    EXPECT_NEAR(edged.toPixel(0, 0).y, 50, 1e-9);
    EXPECT_NEAR(edged.toPixel(100, -100).y, 650, 1e-9);
}

TEST(ViewTransform, GridThinsOutAndLabelsSitOnGridLines) {
    struct Case {
        double ppm, line, label;
    };
    for (const Case c : {Case{10, 1, 10}, Case{1, 10, 100}, Case{0.3, 50, 500}, Case{3, 5, 50},
                         Case{4, 2, 20}, Case{25, 0.5, 5}}) {
        const GridSteps steps = gridSteps(c.ppm);
        EXPECT_DOUBLE_EQ(steps.line, c.line) << c.ppm;
        EXPECT_DOUBLE_EQ(steps.label, c.label) << c.ppm;
    }
}

TEST(ViewTransform, MeasureGivesDistanceAndAngleFromTheXAxis) {
    const Measurement m = measure({1, 1}, {4, 5});
    EXPECT_DOUBLE_EQ(m.distance, 5);
    EXPECT_NEAR(m.angleDegrees, 53.1301, 1e-4);
    EXPECT_DOUBLE_EQ(measure({0, 0}, {-2, 0}).angleDegrees, 180);
    EXPECT_DOUBLE_EQ(measure({0, 0}, {0, -2}).angleDegrees, -90);
    EXPECT_EQ(measure({1, 1}, {1, 1}).angleDegrees, 0);
}

}  // namespace
