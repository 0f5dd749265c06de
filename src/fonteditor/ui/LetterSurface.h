#pragma once

#include <QPointF>
#include <QWidget>
#include <optional>

#include "fonteditor/KeyRepeatFilter.h"
#include "fonteditor/LetterEditing.h"
#include "fonteditor/LetterView.h"
#include "fonteditor/PointEditing.h"
#include "fonteditor/StrokeAnatomy.h"

// The font editor's drawing surface `picMask`: shows the letter box from -10
// to 110 letter units on both axes, stretched over the widget, with the guides,
// the letter and an optional highlighted point. It keeps what it shows as data
// and paints it anew, so the picture survives covering and resizing. The wheel
// zooms about the cursor and the middle button pans; other presses, moves and
// releases go to the window in letter units.
class LetterSurface final : public QWidget {
    Q_OBJECT
  public:
    static constexpr double kLeft = -10;
    static constexpr double kRight = 110;

    explicit LetterSurface(QWidget* parent = nullptr);

    // The guides alone.
    void clearLetter();
    // The letter's lines, drawn with their order, direction and connectors.
    void setStroke(const std::vector<std::string>& lines);
    // Point marks and numbers; without them a letter of many points stays legible.
    void setShowPoints(bool show);
    bool showPoints() const { return showPoints_; }
    void setHighlight(std::optional<letteredit::Point> point);
    // The selected points, marked apart from the others.
    void setSelection(std::vector<letteredit::Point> points);
    // The rectangle being dragged out to select points, in letter units.
    void setRubberBand(std::optional<letteredit::Area> area);
    // A faint grid every `step` units (none when not positive).
    void setGrid(double step);
    // Shows the usual span and every point of the letter.
    void fitView(const std::vector<letteredit::Point>& points);
    letteredit::LetterView view() const;
    void setView(const letteredit::LetterView& view);

    const letteredit::Drawing& drawing() const { return drawing_; }
    const strokeanatomy::Anatomy& anatomy() const { return anatomy_; }
    const std::optional<letteredit::Point>& highlight() const { return highlight_; }
    const std::vector<letteredit::Point>& selection() const { return selection_; }
    // Letter units per pixel across: what a pixel's slack means on the letter.
    double unitsPerPixel() const { return 1 / view().scaleX(); }

    QPointF toLetterUnits(QPointF widgetPosition) const;
    QPointF toWidget(QPointF letterUnits) const;

    // The surface as it would be painted at the given size.
    QImage render(QSize size) const;

  signals:
    void mousePressed(Qt::MouseButton button, double x, double y, Qt::KeyboardModifiers modifiers);
    void mouseMoved(double x, double y);
    void mouseReleased(Qt::MouseButton button, double x, double y);
    void mouseDoubleClicked(Qt::MouseButton button, double x, double y,
                            Qt::KeyboardModifiers modifiers);
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void paint(QPainter& painter, QSizeF size) const;

    letteredit::Drawing drawing_;
    strokeanatomy::Anatomy anatomy_;
    bool showPoints_ = true;
    std::optional<letteredit::Point> highlight_;
    std::vector<letteredit::Point> selection_;
    std::optional<letteredit::Area> rubberBand_;
    double gridStep_ = 0;
    letteredit::LetterView view_;
    std::optional<QPointF> panFrom_;
    KeyRepeatFilter repeats_;
};
