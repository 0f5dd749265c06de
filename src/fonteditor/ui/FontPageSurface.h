#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "fonteditor/FontPage.h"

// The font viewer's page `picpic`: a page of 1000 by 1000 page units stretched
// over the widget. It keeps what it shows (grid, texts, letter polylines) as
// data and paints it anew, so the page survives covering and resizing.
class FontPageSurface final : public QWidget {
    Q_OBJECT
  public:
    struct Text {
        fontpage::PagePoint topLeft;
        QString text;
        QColor colour;
    };

    explicit FontPageSurface(QWidget* parent = nullptr);

    void clear();
    void showGrid();
    void addText(fontpage::PagePoint topLeft, const QString& text, const QColor& colour);
    void addPolyline(std::vector<fontpage::PagePoint> polyline);

    bool gridShown() const { return grid_; }
    const std::vector<Text>& texts() const { return texts_; }
    const std::vector<std::vector<fontpage::PagePoint>>& polylines() const { return polylines_; }

    // The page as it would be painted at the given size.
    QImage render(QSize size) const;

  signals:
    // A left click on a cell of the page.
    void cellClicked(int column, int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void paint(QPainter& painter, QSizeF size) const;

    bool grid_ = false;
    std::vector<Text> texts_;
    std::vector<std::vector<fontpage::PagePoint>> polylines_;
};
