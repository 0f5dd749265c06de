#pragma once

#include <QLabel>

// A one-line label that gives up room when the window is short of it: the
// text is cut with "…" instead of pushing or overlapping its neighbours, and
// the whole text shows as the tooltip while it is cut.
class ElidedLabel final : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    // The text as painted at the label's present width.
    QString shownText() const;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
