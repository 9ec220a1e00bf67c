#include "slideshow/PictureView.h"

#include <QPainter>

namespace lumetta {

PictureView::PictureView(QWidget *parent) : QWidget(parent) {}

void PictureView::setPicture(const QImage &image, qreal devicePixelRatio)
{
    m_picture = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    m_picture.setDevicePixelRatio(devicePixelRatio);
    update();
}

void PictureView::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    if (m_picture.deviceIndependentSize().toSize() == size())
        p.drawPixmap(0, 0, m_picture);
    else  // only a picture beyond the decode limits is stretched here
        p.drawPixmap(rect(), m_picture);
}

} // namespace lumetta
