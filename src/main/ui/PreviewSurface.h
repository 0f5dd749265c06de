#pragma once

#include <QImage>
#include <QWidget>

// The preview surface `pic`: shows the picture last drawn into it, so the
// drawing survives covering and resizing. The picture is shown pixel for pixel
// from the top-left corner; a resize neither stretches nor redraws it.
class PreviewSurface final : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewSurface(QWidget* parent = nullptr);

    // The pixel size a picture needs to fill the surface as it is now.
    QSize pictureSize() const;

    void setImage(QImage image);
    const QImage& image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};
