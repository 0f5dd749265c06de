#pragma once

#include <QImage>
#include <QWidget>

// The preview surface `pic`: shows the picture last drawn into it, so the
// drawing survives covering and resizing.
class PreviewSurface final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewSurface(QWidget* parent = nullptr);

    void setImage(QImage image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};
