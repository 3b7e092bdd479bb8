#include "liveview/ClImageView2.h"

#include <QPainter>

ClImageView2::ClImageView2(QWidget* pclParent)
    : ClImageView(pclParent)
{
}

void ClImageView2::paintEvent(QPaintEvent* /*pclEvent*/)
{
    if (!bShowImg || clImage.isNull())
        return;
    QPainter clPainter(this);
    drawFittedImage(clPainter);
}

QRect ClImageView2::fittedRect() const
{
    if (clImage.isNull())
        return rect();
    const QSize clFitted = clImage.size().scaled(size(), Qt::KeepAspectRatio);
    return QRect((width() - clFitted.width()) / 2, (height() - clFitted.height()) / 2, clFitted.width(),
        clFitted.height());
}

void ClImageView2::drawFittedImage(QPainter& clPainter) const
{
    if (!bShowImg || clImage.isNull())
        return;
    clPainter.drawImage(fittedRect(), clImage, clImage.rect());
}
