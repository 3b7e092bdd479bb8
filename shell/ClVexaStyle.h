#pragma once

#include <QImage>
#include <QProxyStyle>

class QPainter;
class QStyleOption;

// The product look: push buttons, radio buttons, combo and spin boxes, scroll bars, sliders,
// group boxes, check boxes and progress bars drawn from the compiled-in images. Anything not
// handled here is drawn by the proxied platform style.
class ClVexaStyle : public QProxyStyle
{
    Q_OBJECT
    Q_DISABLE_COPY(ClVexaStyle)

public:
    // Kinds of drawIndicatorButton: the four arrows and the scroll bar grip.
    enum IndicatorKind
    {
        IndicatorArrowUp = 0,
        IndicatorArrowDown = 1,
        IndicatorArrowLeft = 2,
        IndicatorArrowRight = 3,
        IndicatorGrip = 4,
    };

    // The parent, when given, owns the style (QWidget::setStyle does not take ownership).
    explicit ClVexaStyle(QObject* pclParent = nullptr);
    ~ClVexaStyle() override;

    using QProxyStyle::polish;
    void polish(QWidget* pclWidget) override;
    void drawPrimitive(PrimitiveElement eElement, const QStyleOption* pclOption, QPainter* pclPainter,
        const QWidget* pclWidget = nullptr) const override;
    void drawControl(ControlElement eElement, const QStyleOption* pclOption, QPainter* pclPainter,
        const QWidget* pclWidget = nullptr) const override;
    QRect subElementRect(SubElement eElement, const QStyleOption* pclOption,
        const QWidget* pclWidget = nullptr) const override;
    void drawComplexControl(ComplexControl eControl, const QStyleOptionComplex* pclOption,
        QPainter* pclPainter, const QWidget* pclWidget = nullptr) const override;
    QRect subControlRect(ComplexControl eControl, const QStyleOptionComplex* pclOption,
        SubControl eSubControl, const QWidget* pclWidget = nullptr) const override;
    int pixelMetric(PixelMetric eMetric, const QStyleOption* pclOption = nullptr,
        const QWidget* pclWidget = nullptr) const override;
    QSize sizeFromContents(ContentsType eType, const QStyleOption* pclOption, const QSize& clContentsSize,
        const QWidget* pclWidget = nullptr) const override;

protected:
    // Paints the nine images prefix + state letter + part over the option's rectangle. A disabled
    // option leaves the painter at half opacity for whatever is painted after it.
    void drawNineSlice(const QString& strPrefix, QPainter* pclPainter, const QStyleOption* pclOption) const;
    // A small square button of the ":/indicatorbutton/" set with an arrow or the grip in its middle.
    void drawIndicatorButton(int iKind, QPainter* pclPainter, const QStyleOption* pclOption) const;
    // A blue ring just inside the rectangle when the option's widget has the focus and the focus
    // was moved there by the keyboard; a click never leaves one.
    static void drawKeyboardFocus(QPainter* pclPainter, const QStyleOption* pclOption, const QRect& clRect);

private:
    QImage clSliderBackCenter;
    QImage clSliderBackRight;
    QImage clSliderActiveCenter;
    QImage clSliderActiveLeft;
    QImage clSliderHandle;
    QImage clScrollBarTop;
    QImage clScrollBarLeft;
    QImage clScrollBarRight;
    QImage clScrollBarBottom;
};
