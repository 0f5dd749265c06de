#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstddef>
#include <memory>
#include <vector>

#include "gcode/PenPoints.h"
#include "main/PreviewScene.h"
#include "main/ViewTransform.h"

// The preview surface `pic`: the tool path true to scale over a millimetre
// grid. The wheel zooms about the cursor, a drag pans, Home fits; a click on a
// move reports its record, or, while measuring, places a measuring point.
class PreviewSurface final : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewSurface(QWidget* parent = nullptr);

    // The pixel size of the picture that fills the surface as it is now.
    QSize pictureSize() const;

    // What to draw: the scene's first `count` segments and the field's border at
    // X = fieldWidth (none for 0 or less). The view stays as it is.
    void setContent(std::shared_ptr<const PreviewScene> scene, std::size_t count,
                    double fieldWidth);
    // The view a scale list entry gives for these bounds; it follows resizes
    // until the user zooms or pans. The bounds also count as the field for fitAll.
    // With `margin` the bounds keep the free edge a fit leaves: a file's bounds are
    // its drawing's, which would otherwise touch the surface's edges.
    void showScale(const ViewBounds& bounds, double scale, bool margin = false);
    // Shows the whole drawing or the field, whichever reaches farther, and keeps
    // doing so through resizes until the user zooms or pans.
    void fitAll();
    // New bounds of the field (a layout after an edit); a view that follows the
    // scale list or the fit moves along, the user's own view stays.
    void setField(const ViewBounds& bounds);
    // Writing is drawn as wide as the tool leaves it (the profile's line width).
    void setWritingWidth(double millimetres);
    void setSelectedRecord(std::size_t record);  // 0: none
    std::size_t selectedRecord() const { return selected_; }
    // While measuring, clicks place the two measuring points instead of selecting.
    void setMeasuring(bool on);
    const std::vector<MmPoint>& measurePoints() const { return measure_; }

    const ViewTransform& transform() const { return view_; }
    // The view's size as a scale list entry would give it: 100 at the scale
    // "100" for the field shown, 125 one wheel notch further in.
    double scalePercent() const;
    // The picture as shown, drawn anew when something changed.
    const QImage& image() const;

  signals:
    void cursorMoved(double x, double y);
    void cursorLeft();
    void recordClicked(std::size_t record);
    void measureChanged();
    // The wheel or the fit changed the scale (see scalePercent).
    void zoomChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    enum class Follow { Scale, Fit, User };
    void changed();
    void followSize();
    PixelPoint pixelAt(QPointF position) const;
    void click(PixelPoint at);
    void render() const;

    std::shared_ptr<const PreviewScene> scene_;
    std::size_t count_ = 0;
    double fieldWidth_ = 0;
    double writingWidth_ = 0;
    ViewBounds field_;
    double scale_ = 1;
    bool margin_ = false;        // the scale's view keeps the fit's free edge
    double scaleMargin() const;  // pixels
    Follow follow_ = Follow::Scale;
    ViewTransform view_;
    std::size_t selected_ = 0;
    bool measuring_ = false;
    std::vector<MmPoint> measure_;

    QPointF pressAt_;
    QPointF lastAt_;
    bool pressed_ = false;
    bool dragging_ = false;

    mutable QImage image_;
    mutable bool dirty_ = true;
};
