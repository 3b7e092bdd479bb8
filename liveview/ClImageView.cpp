#include "liveview/ClImageView.h"

#include <QBrush>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

ClImageView::ClImageView(QWidget* pclParent)
    : QWidget(pclParent)
{
    // The background colour is the palette's window brush, which Qt paints only on request.
    setAutoFillBackground(true);
    slotSetBgColor(QColor(255, 255, 255, 255));
}

bool ClImageView::slotSetImage(const QString& strPath)
{
    return slotSetImage(QImage(strPath));
}

bool ClImageView::slotSetImage(const QImage& clImg)
{
    if (clImg.isNull()) {
        emit sigError();
        return false;
    }
    clImage = clImg;
    update();
    return true;
}

void ClImageView::slotClearImage()
{
    clImage = QImage();
    update();
}

void ClImageView::slotSetBgColor(QColor clColor)
{
    QPalette clPalette;
    clPalette.setBrush(QPalette::All, QPalette::Window, QBrush(clColor, Qt::SolidPattern));
    setPalette(clPalette);
    update();
}

void ClImageView::slotSetShowImg(bool bShow)
{
    // Takes effect with the next repaint, which the caller's next image normally brings.
    bShowImg = bShow;
}

void ClImageView::paintEvent(QPaintEvent* pclEvent)
{
    QWidget::paintEvent(pclEvent);
    if (!bShowImg || clImage.isNull())
        return;
    QPainter clPainter(this);
    clPainter.setClipRegion(pclEvent->region(), Qt::ReplaceClip);
    clPainter.drawImage(QPoint(0, 0), clImage);
}
