#include "liveview/ClLiveWidget.h"

#include "shell/ClStatusAnnouncer.h"
#include "shell/GridKind.h"

#include <QBrush>
#include <QConicalGradient>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QSizePolicy>

#include <chrono>
#include <cstdio>

namespace {

const int ICON_WIDTH = 25; // icons are scaled to this width
const int ICON_MARGIN = 25; // distance of the icons from the top and the side edges
const int BATTERY_LOW_PERCENT = 30; // the one-bar icon and below

// Icons come from the compiled-in resources, scaled to the icon width; a missing one draws nothing.
QImage loadIcon(const QString& strPath)
{
    const QImage clIcon(strPath);
    if (clIcon.isNull())
        return clIcon;
    return clIcon.scaledToWidth(ICON_WIDTH, Qt::FastTransformation);
}

// KD4TOOL_TRACE_FRAMES set: each newly painted frame writes one line to standard error, with the
// camera's serve time when the frame carries it and the time painting ended (wall clock, µs).
bool traceFrames()
{
    static const bool B_TRACE = qEnvironmentVariableIsSet("KD4TOOL_TRACE_FRAMES");
    return B_TRACE;
}

} // namespace

ClLiveWidget::ClLiveWidget(QWidget* pclParent)
    : ClImageView2(pclParent)
    , strGridType(GridKind::NONE)
{
    setMaximumSize(848, 620);
    setMinimumSize(424, 240);
    slotSetShowImg(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The painting covers every pixel (white first), so the palette's background fill before it
    // would only be painted over.
    setAttribute(Qt::WA_OpaquePaintEvent);

    connect(&clProgressAnimation, &QVariantAnimation::valueChanged, this, &ClLiveWidget::slotUpdateProgress);
    clProgressAnimation.setDuration(500);
    clProgressAnimation.setStartValue(0);
    clProgressAnimation.setEndValue(359);
    clProgressAnimation.setLoopCount(-1);
    setAccessibleName(tr("Live picture"));
}

void ClLiveWidget::clearView()
{
    strGridType.clear();
    strBattIcon.clear();
    strRecIcon.clear();
    strMessage.clear();
    strBattText.clear();
    strRecText.clear();
    bIsStalled = false;
    bIsBatteryLow = false;
    updateAccessibleDescription();
    slotClearImage();
}

void ClLiveWidget::slotSetLiveStalled()
{
    // The last good frame is no longer the camera's picture: it must not stay up as if it were.
    bIsStalled = true;
    slotClearImage();
    updateAccessibleDescription();
    ClStatusAnnouncer::announce(this, tr("The live picture is not arriving"));
}

bool ClLiveWidget::isShowingPicture() const
{
    return strMessage.isEmpty() && bShowImg && !clImage.isNull();
}

QImage ClLiveWidget::shownFrame() const
{
    return isShowingPicture() ? clImage : QImage();
}

bool ClLiveWidget::isShowingStall() const
{
    // A new frame takes the notice's place by itself.
    return bIsStalled && clImage.isNull() && strMessage.isEmpty();
}

void ClLiveWidget::slotSetVisibleIndicator(bool bIsVisible)
{
    if (bIsVisible)
        clProgressAnimation.start(QAbstractAnimation::KeepWhenStopped);
    else
        clProgressAnimation.stop();
    update();
}

void ClLiveWidget::slotSetGrid(const QString& strType)
{
    strGridType = strType;
}

void ClLiveWidget::slotSetRecordState(bool bIsEnable, bool bIsHighSpeed)
{
    const bool bWasRecording = !strRecText.isEmpty();
    strMessage.clear();
    if (bIsEnable) {
        strRecIcon = QStringLiteral(":/img/rec_simbol");
        if (bIsHighSpeed)
            strMessage = tr("HighSpeed recording, \nYou can not view LiveView.");
    } else {
        strRecIcon.clear();
    }
    strRecText = !bIsEnable ? QString()
        : bIsHighSpeed      ? tr("Recording at high speed, no live picture")
                            : tr("Recording");
    updateAccessibleDescription();
    update();
    if (bIsEnable != bWasRecording) {
        ClStatusAnnouncer::announce(this,
            !bIsEnable         ? tr("Recording stopped")
                : bIsHighSpeed ? tr("Recording started at high speed, no live picture")
                               : tr("Recording started"));
    }
}

void ClLiveWidget::slotSetBattLv(qint32 lBatt, bool bIsAcConnect)
{
    if (bIsAcConnect)
        strBattIcon = QStringLiteral(":/img/batt_ac");
    else if (lBatt <= 0)
        strBattIcon = QStringLiteral(":/img/batt_0");
    else if (lBatt <= BATTERY_LOW_PERCENT)
        strBattIcon = QStringLiteral(":/img/batt_1");
    else if (lBatt <= 60)
        strBattIcon = QStringLiteral(":/img/batt_2");
    else
        strBattIcon = QStringLiteral(":/img/batt_3");
    strBattText = bIsAcConnect ? tr("Mains adapter") : tr("Battery %1 %").arg(qBound(0, lBatt, 100));
    updateAccessibleDescription();
    update();
    const bool bWasLow = bIsBatteryLow;
    bIsBatteryLow = !bIsAcConnect && lBatt <= BATTERY_LOW_PERCENT;
    if (bIsBatteryLow && !bWasLow)
        ClStatusAnnouncer::announce(this, tr("Battery low: %1 %").arg(qBound(0, lBatt, 100)));
}

void ClLiveWidget::updateAccessibleDescription()
{
    // What the overlays show, for a screen reader.
    QStringList clParts;
    const QString strStall = isShowingStall() ? tr("The live picture is not arriving") : QString();
    for (const QString& strPart : { strStall, strBattText, strRecText }) {
        if (!strPart.isEmpty())
            clParts.append(strPart);
    }
    setAccessibleDescription(clParts.join(QStringLiteral(", ")));
}

void ClLiveWidget::slotUpdateProgress(const QVariant& clValue)
{
    bool bOk = false;
    const int iValue = clValue.toInt(&bOk);
    if (!bOk)
        return;
    iAngle = iValue;
    update();
}

void ClLiveWidget::paintEvent(QPaintEvent* /*pclEvent*/)
{
    const int iW = width();
    const int iH = height();

    QPainter clPainter(this);
    clPainter.setRenderHint(QPainter::Antialiasing, true);
    clPainter.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // White wherever nothing else is drawn.
    QPen clPen = clPainter.pen();
    clPen.setColor(QColor(255, 255, 255, 255));
    clPen.setStyle(Qt::SolidLine);
    clPainter.setPen(clPen);
    QBrush clBrush = clPainter.brush();
    clBrush.setStyle(Qt::SolidPattern);
    clBrush.setColor(Qt::white);
    clPainter.setBrush(clBrush);
    if (strMessage.isEmpty() && bShowImg && !clImage.isNull() && !clImage.hasAlphaChannel()) {
        // The opaque picture covers its fitted rectangle: white goes only around it, as plain
        // fills, instead of under the whole picture once more with every frame.
        const QRegion clBands = QRegion(rect()).subtracted(fittedRect());
        for (const QRect& clBand : clBands)
            clPainter.fillRect(clBand, Qt::white);
    } else {
        clPainter.drawRect(rect());
    }

    if (!strMessage.isEmpty()) {
        // High-speed recording: the camera sends no picture, so neither it nor the grid is drawn.
        drawNotice(clPainter, strMessage, QColor(255, 0, 0, 255));
    } else if (isShowingStall()) {
        drawNotice(clPainter, tr("The live picture is not arriving.\nCheck the camera's Wi-Fi connection."),
            QColor(96, 96, 96, 255));
    } else {
        if (bIsStalled) {
            // The first good frame after a stall.
            bIsStalled = false;
            updateAccessibleDescription();
        }
        clPainter.save();
        drawFittedImage(clPainter);
        clPainter.restore();
        drawGrid(clPainter);
    }

    const QImage& clBattIcon = icon(stBattIcon, strBattIcon);
    if (!clBattIcon.isNull())
        clPainter.drawImage(QPoint(ICON_MARGIN, ICON_MARGIN), clBattIcon);

    const QImage& clRecIcon = icon(stRecIcon, strRecIcon);
    if (!clRecIcon.isNull())
        clPainter.drawImage(QPoint(iW - clRecIcon.width() - ICON_MARGIN, ICON_MARGIN), clRecIcon);

    if (clProgressAnimation.state() == QAbstractAnimation::Running) {
        // The pen keeps the width of the step before (3 over the picture, 1 over the notice); the
        // dark end of the gradient sweeps about the ring as the angle turns.
        QPen clRingPen = clPainter.pen();
        QConicalGradient clGradient(QPointF(iW - 38, iH - 38), iAngle);
        clGradient.setColorAt(0, Qt::white);
        clGradient.setColorAt(1, Qt::black);
        clRingPen.setBrush(QBrush(clGradient));
        clPainter.setPen(clRingPen);
        clPainter.setBrush(Qt::NoBrush);
        clPainter.drawEllipse(QRect(QPoint(iW - 51, iH - 51), QPoint(iW - 26, iH - 26)));
    }

    if (traceFrames() && !clImage.isNull() && clImage.cacheKey() != llTracedFrame) {
        llTracedFrame = clImage.cacheKey();
        clPainter.end();
        const qint64 llNowUs = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::system_clock::now().time_since_epoch())
                                   .count();
        std::fprintf(stderr, "kd4-frame served_us=%s painted_us=%lld image=%dx%d view=%dx%d\n",
            qPrintable(clImage.text(QStringLiteral("kd4-served-us"))), static_cast<long long>(llNowUs),
            clImage.width(), clImage.height(), iW, iH);
    }
}

const QImage& ClLiveWidget::icon(stIcon& stCache, const QString& strPath)
{
    if (stCache.strPath != strPath) {
        stCache.strPath = strPath;
        stCache.clImage = strPath.isEmpty() ? QImage() : loadIcon(strPath);
    }
    return stCache.clImage;
}

void ClLiveWidget::resizeEvent(QResizeEvent* pclEvent)
{
    ClImageView2::resizeEvent(pclEvent);
    emit sigShownSizeChanged(size() * devicePixelRatioF());
}

void ClLiveWidget::drawGrid(QPainter& clPainter) const
{
    QPen clPen = clPainter.pen();
    clPen.setWidth(3);
    clPen.setColor(QColor(255, 255, 255, 150));
    clPainter.setPen(clPen);

    // The grid follows the picture's fitted rectangle (the whole widget without a picture). The
    // thirds are truncated, and the second line sits at twice the truncated third.
    const int iW = width();
    const int iH = height();
    const QRect clFit = fittedRect();
    const int iL = clFit.left();
    const int iT = clFit.top();
    const int iSw = clFit.width();
    const int iSh = clFit.height();

    if (strGridType == GridKind::DIV4) {
        clPainter.drawLine(QPoint(iW / 2, iT), QPoint(iW / 2, iH - iT));
        clPainter.drawLine(QPoint(iL, iH / 2), QPoint(iW - iL, iH / 2));
    } else if (strGridType == GridKind::DIV9) {
        const int iThirdW = iSw / 3;
        const int iThirdH = iSh / 3;
        clPainter.drawLine(QPoint(iL + iThirdW, iT), QPoint(iL + iThirdW, iH - iT));
        clPainter.drawLine(QPoint(iL + iThirdW * 2, iT), QPoint(iL + iThirdW * 2, iH - iT));
        clPainter.drawLine(QPoint(iL, iT + iThirdH), QPoint(iW - iL, iT + iThirdH));
        clPainter.drawLine(QPoint(iL, iT + iThirdH * 2), QPoint(iW - iL, iT + iThirdH * 2));
    } else if (strGridType == GridKind::DIAGONAL) {
        clPainter.drawLine(QPoint(iL, iT), QPoint(iW - iL, iH - iT));
        clPainter.drawLine(QPoint(iL, iH - iT), QPoint(iW - iL, iT));
    }
}

void ClLiveWidget::drawNotice(QPainter& clPainter, const QString& strText, const QColor& clColor) const
{
    QPen clPen = clPainter.pen();
    clPen.setColor(clColor);
    clPainter.setPen(clPen);
    // The notice holds a line break, which drawing at a single baseline point cannot show: it
    // would come out as one over-long line with a stray glyph. Each line is centred instead, and
    // the pair is centred in the widget.
    clPainter.drawText(rect(), Qt::AlignCenter, strText);
}
