#pragma once

// Helpers for checking what a widget paints: pixel scans of a grabbed image, and a paint device
// that records the lines a widget draws, for geometry that leaves no visible trace (white grid
// lines over the white background).

#include "tests/support/WidgetSupport.h"

#include <QEvent>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QObject>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QTransform>
#include <QVector>
#include <QWidget>

#include <climits>

namespace probe {

// Counts the paint events a widget receives (installed as its event filter).
class PaintCounter : public QObject
{
public:
    int iPaints = 0;

protected:
    bool eventFilter(QObject*, QEvent* pclEvent) override
    {
        if (pclEvent->type() == QEvent::Paint)
            ++iPaints;
        return false;
    }
};

inline int gray(QRgb uPixel)
{
    return (qRed(uPixel) + qGreen(uPixel) + qBlue(uPixel)) / 3;
}

// One bright stripe in a scan line: where it starts and ends and its intensity-weighted centre in
// painter coordinates (the middle of pixel i is i + 0.5).
struct Run
{
    int iFirst = 0;
    int iLast = 0;
    double dCentre = 0.0;
};

// Splits a scan line into stripes brighter than the base level by more than iThreshold.
inline QList<Run> brightRuns(const QVector<int>& clLine, int iBase, int iThreshold = 20)
{
    QList<Run> clRuns;
    int i = 0;
    while (i < clLine.size()) {
        if (clLine[i] - iBase <= iThreshold) {
            ++i;
            continue;
        }
        // Include the faint antialiased edges on either side of the stripe.
        int iFirst = i;
        while (iFirst > 0 && clLine[iFirst - 1] > iBase)
            --iFirst;
        int iLast = i;
        while (iLast + 1 < clLine.size() && clLine[iLast + 1] > iBase)
            ++iLast;
        double dWeight = 0.0;
        double dSum = 0.0;
        for (int j = iFirst; j <= iLast; ++j) {
            const double dW = clLine[j] - iBase;
            dWeight += dW;
            dSum += dW * (j + 0.5);
        }
        clRuns.append(Run { iFirst, iLast, dSum / dWeight });
        i = iLast + 1;
    }
    return clRuns;
}

inline QVector<int> row(const QImage& clImage, int iY)
{
    QVector<int> clLine(clImage.width());
    for (int x = 0; x < clImage.width(); ++x)
        clLine[x] = gray(clImage.pixel(x, iY));
    return clLine;
}

inline QVector<int> column(const QImage& clImage, int iX)
{
    QVector<int> clLine(clImage.height());
    for (int y = 0; y < clImage.height(); ++y)
        clLine[y] = gray(clImage.pixel(iX, y));
    return clLine;
}

// Smallest rectangle holding every pixel for which the predicate holds; null if there is none.
template <typename Pred> QRect boundingRect(const QImage& clImage, Pred pred)
{
    QRect clBox;
    for (int y = 0; y < clImage.height(); ++y)
        for (int x = 0; x < clImage.width(); ++x)
            if (pred(clImage.pixel(x, y)))
                clBox |= QRect(x, y, 1, 1);
    return clBox;
}

// Largest difference of any colour channel between two images of the same size.
inline int maxDifference(const QImage& clA, const QImage& clB)
{
    int iMax = 0;
    for (int y = 0; y < clA.height(); ++y)
        for (int x = 0; x < clA.width(); ++x) {
            const QRgb uA = clA.pixel(x, y);
            const QRgb uB = clB.pixel(x, y);
            iMax = qMax(iMax, qAbs(qRed(uA) - qRed(uB)));
            iMax = qMax(iMax, qAbs(qGreen(uA) - qGreen(uB)));
            iMax = qMax(iMax, qAbs(qBlue(uA) - qBlue(uB)));
        }
    return iMax;
}

// A line as the widget asked for it, in widget coordinates, with the pen it used.
struct DrawnLine
{
    QLineF clLine;
    QPen clPen;
};

class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& clState) override
    {
        if (clState.state() & QPaintEngine::DirtyPen)
            clPen = clState.pen();
        if (clState.state() & QPaintEngine::DirtyTransform)
            clTransform = clState.transform();
    }

    void drawLines(const QLineF* pclLines, int iCount) override
    {
        for (int i = 0; i < iCount; ++i)
            clLines.append(DrawnLine { clTransform.map(pclLines[i]), clPen });
    }
    void drawLines(const QLine* pclLines, int iCount) override
    {
        for (int i = 0; i < iCount; ++i)
            clLines.append(DrawnLine { clTransform.map(QLineF(pclLines[i])), clPen });
    }
    void drawImage(const QRectF& clRect, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
        clImages.append(clTransform.mapRect(clRect));
    }
    void drawPixmap(const QRectF& clRect, const QPixmap&, const QRectF&) override
    {
        clImages.append(clTransform.mapRect(clRect));
    }
    // Shapes and text are not of interest here; swallow them so nothing is emulated.
    void drawRects(const QRectF*, int) override { }
    void drawRects(const QRect*, int) override { }
    void drawEllipse(const QRectF&) override { }
    void drawEllipse(const QRect&) override { }
    void drawPath(const QPainterPath&) override { }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { }
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override { }
    void drawTextItem(const QPointF&, const QTextItem&) override { }

    QList<DrawnLine> clLines;
    QList<QRectF> clImages;

private:
    QPen clPen;
    QTransform clTransform;
};

class RecordingDevice : public QPaintDevice
{
public:
    explicit RecordingDevice(const QSize& clSize)
        : clSize(clSize)
    {
    }

    QPaintEngine* paintEngine() const override { return &clEngine; }
    RecordingEngine& engine() { return clEngine; }

protected:
    int metric(PaintDeviceMetric eMetric) const override
    {
        switch (eMetric) {
        case PdmWidth:
            return clSize.width();
        case PdmHeight:
            return clSize.height();
        case PdmWidthMM:
            return clSize.width() * 254 / 960;
        case PdmHeightMM:
            return clSize.height() * 254 / 960;
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize clSize;
    mutable RecordingEngine clEngine;
};

// What the widget draws in one full repaint: its lines and where its images land.
struct Recording
{
    QList<DrawnLine> clLines;
    QList<QRectF> clImages;
};

inline Recording record(QWidget& clWidget)
{
    RecordingDevice clDevice(clWidget.size());
    clWidget.render(&clDevice, QPoint(), QRegion(), QWidget::RenderFlags());
    return Recording { clDevice.engine().clLines, clDevice.engine().clImages };
}

} // namespace probe
