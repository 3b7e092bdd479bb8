#pragma once

#include "liveview/ClImageView2.h"

#include <QString>
#include <QVariant>
#include <QVariantAnimation>

// The camera's live picture, scaled to fit and centred, with the framing grid, the battery state,
// the recording symbol and a busy ring drawn over it. While the camera records at a high-speed
// resolution there is no live picture and a red notice takes its place.
class ClLiveWidget : public ClImageView2
{
    Q_OBJECT
    Q_DISABLE_COPY(ClLiveWidget)

public:
    explicit ClLiveWidget(QWidget* pclParent = nullptr);

    // The session is gone: no picture, no icons, no grid, no notice.
    void clearView();
    // The busy ring turns.
    bool isIndicatorVisible() const { return clProgressAnimation.state() == QAbstractAnimation::Running; }
    // A camera frame is on screen (no notice in its place).
    bool isShowingPicture() const;
    // The camera frame on screen as it was handed in; a null image while none is.
    QImage shownFrame() const;
    // The notice that frames come but none can be shown.
    bool isShowingStall() const;

signals:
    // The size frames are shown at now, in device pixels: the widget's size.
    void sigShownSizeChanged(const QSize& clSize);

public slots:
    void slotSetVisibleIndicator(bool bIsVisible);
    // Takes effect with the next repaint, normally the next live frame.
    void slotSetGrid(const QString& strType);
    void slotSetRecordState(bool bIsEnable, bool bIsHighSpeed);
    void slotSetBattLv(qint32 lBatt, bool bIsAcConnect);
    // No frame could be shown for a while: the picture goes and a notice says so until the next.
    void slotSetLiveStalled();

protected:
    void paintEvent(QPaintEvent* pclEvent) override;
    void resizeEvent(QResizeEvent* pclEvent) override;

private slots:
    void slotUpdateProgress(const QVariant& clValue);

private:
    void drawGrid(QPainter& clPainter) const;
    void drawNotice(QPainter& clPainter, const QString& strText, const QColor& clColor) const;
    void updateAccessibleDescription();

    // An overlay icon as drawn: loaded and scaled once per path, not once per repaint.
    struct stIcon
    {
        QString strPath;
        QImage clImage;
    };
    const QImage& icon(stIcon& stCache, const QString& strPath);

    QString strBattIcon;
    QString strRecIcon;
    QString strMessage;
    QString strGridType;
    // The overlays in words, for the accessible description.
    QString strBattText;
    QString strRecText;
    QVariantAnimation clProgressAnimation;
    int iAngle = 0;
    bool bIsStalled = false;
    // The battery was last reported low: only the drop into low is announced.
    bool bIsBatteryLow = false;
    // KD4TOOL_TRACE_FRAMES: the last frame whose painting was written to standard error.
    qint64 llTracedFrame = 0;
    stIcon stBattIcon;
    stIcon stRecIcon;
};
