#include "main/ui/PreviewSurface.h"

#include <QPainter>

PreviewSurface::PreviewSurface(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(300, 300);
}

void PreviewSurface::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

void PreviewSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!image_.isNull()) painter.drawImage(rect(), image_);
}
