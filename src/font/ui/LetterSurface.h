#pragma once

#include <QPointF>
#include <QWidget>
#include <optional>

#include "font/KeyRepeatFilter.h"
#include "font/LetterEditing.h"

// The font editor's drawing surface `picMask`: shows the letter box from -10
// to 110 letter units on both axes, stretched over the widget, with the guides,
// the letter and an optional highlighted point. It keeps what it shows as data
// and paints it anew, so the picture survives covering and resizing.
class LetterSurface final : public QWidget {
    Q_OBJECT
  public:
    static constexpr double kLeft = -10;
    static constexpr double kRight = 110;

    explicit LetterSurface(QWidget* parent = nullptr);

    // The guides alone.
    void clearLetter();
    void setLetter(letteredit::Drawing drawing);
    void setHighlight(std::optional<letteredit::Point> point);

    const letteredit::Drawing& drawing() const { return drawing_; }
    const std::optional<letteredit::Point>& highlight() const { return highlight_; }

    QPointF toLetterUnits(QPointF widgetPosition) const;
    QPointF toWidget(QPointF letterUnits) const;

    // The surface as it would be painted at the given size.
    QImage render(QSize size) const;

  signals:
    void mousePressed(Qt::MouseButton button, double x, double y);
    void keyReleased(int key);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void paint(QPainter& painter, QSizeF size) const;

    letteredit::Drawing drawing_;
    std::optional<letteredit::Point> highlight_;
    KeyRepeatFilter repeats_;
};
