#include "main/ui/PreviewSurface.h"

#include <QPainter>
#include <cmath>

PreviewSurface::PreviewSurface(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(300, 300);
}

QSize PreviewSurface::pictureSize() const {
    const qreal ratio = devicePixelRatioF();
    return QSize(static_cast<int>(std::lround(width() * ratio)),
                 static_cast<int>(std::lround(height() * ratio)))
        .expandedTo(QSize(1, 1));
}

void PreviewSurface::setImage(QImage image) {
    image.setDevicePixelRatio(devicePixelRatioF());
    image_ = std::move(image);
    update();
}

void PreviewSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!image_.isNull()) painter.drawImage(QPoint(0, 0), image_);
}
