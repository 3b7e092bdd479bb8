#pragma once

#include "liveview/ClImageView.h"

#include <QRect>

class QPainter;

// The image view that scales its image to fit, keeping the aspect ratio, centred in the widget.
// It adds no signals or slots, so it shares the meta-object of ClImageView.
class ClImageView2 : public ClImageView
{
    Q_DISABLE_COPY(ClImageView2)

public:
    explicit ClImageView2(QWidget* pclParent = nullptr);

protected:
    void paintEvent(QPaintEvent* pclEvent) override;

    // Where the image lands: its size scaled into the widget, centred (the left and top bands take
    // the smaller half of an odd difference). Without an image, the whole widget.
    QRect fittedRect() const;
    // The scaled drawing itself, for views that paint overlays with the same painter afterwards.
    void drawFittedImage(QPainter& clPainter) const;
};
