#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class MachineProgram;

// The program being sent, seen from above (arcs as arcs): writing red, travel green, the
// tool's position as a blue cross, the line picked for a resume as an orange
// ring. A click picks the line that ends nearest to it.
class ProgramView final : public QWidget {
    Q_OBJECT
  public:
    explicit ProgramView(QWidget* parent = nullptr);

    void setProgram(std::shared_ptr<const MachineProgram> program);
    void setToolPosition(double x, double y);
    // The line whose start is marked; -1 none.
    void markLine(long long index);
    // Draws the whole program again on the next paint (not only the marks).
    void dropPicture() { picture_ = QImage(); }
    // Where line i starts in the plane.
    QPointF lineStart(std::size_t index) const;

  signals:
    void lineClicked(std::size_t index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPointF toScreen(QPointF mm) const;
    void drawPicture();

    std::shared_ptr<const MachineProgram> program_;
    QRectF bounds_;
    double scale_ = 1;
    QPointF origin_;
    QImage picture_;
    QPointF tool_;
    bool toolKnown_ = false;
    long long marked_ = -1;
};
