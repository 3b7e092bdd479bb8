#include "shell/ClVexaStyle.h"

#include <QComboBox>
#include <QFrame>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QSpinBox>
#include <QStyleOption>

namespace {

// Thickness of every scroll bar and size of its two arrow buttons.
constexpr int SCROLL_BAR_EXTENT = 18;
// Side of the radio button indicator square.
constexpr int RADIO_INDICATOR = 24;

const QString PUSH_BUTTON_PREFIX = QStringLiteral(":/pushbutton/");
const QString INDICATOR_PREFIX = QStringLiteral(":/indicatorbutton/");
// The keyboard focus ring: a blue that stands out against the grey buttons and the white page.
const QColor FOCUS_RING_COLOUR(30, 110, 220);

// Integer centring used for every image placed in the middle of a rectangle.
QPoint centredImagePos(const QRect& clRect, const QSize& clImage)
{
    return QPoint(clRect.left() + (clRect.right() - clRect.left() - clImage.width() + 1) / 2,
        clRect.top() + (clRect.bottom() - clRect.top() - clImage.height() + 1) / 2);
}

} // namespace

ClVexaStyle::ClVexaStyle(QObject* pclParent)
    : QProxyStyle()
    , clSliderBackCenter(QStringLiteral(":/slider/back_c"))
    , clSliderBackRight(QStringLiteral(":/slider/back_r"))
    , clSliderActiveCenter(QStringLiteral(":/slider/active2_c"))
    , clSliderActiveLeft(QStringLiteral(":/slider/active2_l"))
    , clSliderHandle(QStringLiteral(":/slider/handle2"))
    , clScrollBarTop(QStringLiteral(":/scrollbar/t"))
    , clScrollBarLeft(QStringLiteral(":/scrollbar/l"))
    , clScrollBarRight(QStringLiteral(":/scrollbar/r"))
    , clScrollBarBottom(QStringLiteral(":/scrollbar/b"))
{
    if (pclParent)
        setParent(pclParent);
}

ClVexaStyle::~ClVexaStyle() = default;

void ClVexaStyle::drawNineSlice(
    const QString& strPrefix, QPainter* pclPainter, const QStyleOption* pclOption) const
{
    if (strPrefix.isEmpty())
        return;

    QString strLetter = QStringLiteral("n");
    if (pclOption->state & State_Enabled) {
        if (pclOption->state & (State_Sunken | State_On))
            strLetter = QStringLiteral("p");
        else if (pclOption->state & State_MouseOver)
            strLetter = QStringLiteral("h");
    } else {
        pclPainter->setOpacity(0.5); // left so: the label painted next is dimmed as well
    }

    const auto part
        = [&](const char* pszPart) { return QImage(strPrefix + strLetter + QLatin1String(pszPart)); };
    const QImage clTl = part("tl");
    const QImage clL = part("l");
    const QImage clBl = part("bl");
    const QImage clT = part("t");
    const QImage clC = part("c");
    const QImage clB = part("b");
    const QImage clTr = part("tr");
    const QImage clR = part("r");
    const QImage clBr = part("br");

    const QRect& clRect = pclOption->rect;
    const int iX1 = clRect.left();
    const int iY1 = clRect.top();
    const int iX2 = clRect.right();
    const int iY2 = clRect.bottom();
    const int iRightX = iX2 - clTr.width() + 1; // left edge of the right corners
    const int iBottomY = iY2 - clBl.height() + 1; // top edge of the bottom corners
    const int iLeftEnd = iX1 + clTl.width(); // just right of the left corners
    const int iTopEnd = iY1 + clTl.height(); // just below the top corners
    const int iInnerWidth = iRightX - iLeftEnd;
    const int iInnerHeight = iBottomY - iTopEnd;

    pclPainter->drawImage(QPoint(iX1, iY1), clTl);
    pclPainter->drawImage(QPoint(iRightX, iY1), clTr);
    pclPainter->drawImage(QPoint(iX1, iBottomY), clBl);
    pclPainter->drawImage(QPoint(iRightX, iBottomY), clBr);
    if (iInnerWidth > 0) {
        pclPainter->drawImage(QRect(iLeftEnd, iY1, iInnerWidth, clT.height()), clT);
        pclPainter->drawImage(QRect(iLeftEnd, iY2 - clB.height() + 1, iInnerWidth, clB.height()), clB);
    }
    if (iInnerHeight > 0) {
        pclPainter->drawImage(QRect(iX1, iTopEnd, clL.width(), iInnerHeight), clL);
        pclPainter->drawImage(QRect(iX2 - clR.width() + 1, iTopEnd, clR.width(), iInnerHeight), clR);
    }
    if (iInnerWidth > 0 && iInnerHeight > 0)
        pclPainter->drawImage(QRect(iLeftEnd, iTopEnd, iInnerWidth, iInnerHeight), clC);
}

void ClVexaStyle::drawIndicatorButton(int iKind, QPainter* pclPainter, const QStyleOption* pclOption) const
{
    drawNineSlice(INDICATOR_PREFIX, pclPainter, pclOption);

    QString strImage;
    switch (iKind) {
    case IndicatorArrowUp:
        strImage = INDICATOR_PREFIX + QStringLiteral("arrowup");
        break;
    case IndicatorArrowDown:
        strImage = INDICATOR_PREFIX + QStringLiteral("arrowdown");
        break;
    case IndicatorArrowLeft:
        strImage = INDICATOR_PREFIX + QStringLiteral("arrowleft");
        break;
    case IndicatorArrowRight:
        strImage = INDICATOR_PREFIX + QStringLiteral("arrowright");
        break;
    case IndicatorGrip:
        strImage = QStringLiteral(":/scrollbar/handle");
        break;
    default:
        return;
    }
    const QImage clImage(strImage);
    pclPainter->drawImage(centredImagePos(pclOption->rect, clImage.size()), clImage);
}

void ClVexaStyle::polish(QWidget* pclWidget)
{
    // Hover states need enter and leave repaints; nothing else of the base polish is wanted.
    if (qobject_cast<QPushButton*>(pclWidget) || qobject_cast<QRadioButton*>(pclWidget)
        || qobject_cast<QComboBox*>(pclWidget) || qobject_cast<QSpinBox*>(pclWidget))
        pclWidget->setAttribute(Qt::WA_Hover);
}

int ClVexaStyle::pixelMetric(
    PixelMetric eMetric, const QStyleOption* pclOption, const QWidget* pclWidget) const
{
    switch (eMetric) {
    case PM_ScrollBarExtent:
        return SCROLL_BAR_EXTENT;
    case PM_SliderThickness:
    case PM_SliderControlThickness:
        return clSliderHandle.height();
    case PM_SliderLength:
        return clSliderBackCenter.height();
    default:
        return QCommonStyle::pixelMetric(eMetric, pclOption, pclWidget);
    }
}

QRect ClVexaStyle::subElementRect(
    SubElement eElement, const QStyleOption* pclOption, const QWidget* pclWidget) const
{
    QRect clRect = QProxyStyle::subElementRect(eElement, pclOption, pclWidget);
    switch (eElement) {
    case SE_RadioButtonIndicator:
        clRect = QRect(clRect.left(),
            pclOption->rect.top() + (pclOption->rect.height() - 1 - (RADIO_INDICATOR - 1)) / 2,
            RADIO_INDICATOR, RADIO_INDICATOR);
        break;
    case SE_RadioButtonContents: {
        const int iMinLeft
            = proxy()->pixelMetric(PM_RadioButtonLabelSpacing, pclOption, pclWidget) + RADIO_INDICATOR;
        if (clRect.left() < iMinLeft)
            clRect.moveLeft(iMinLeft);
        break;
    }
    case SE_RadioButtonClickRect:
        clRect
            = QRect(QPoint(0, 0), proxy()->sizeFromContents(CT_RadioButton, pclOption, QSize(), pclWidget));
        break;
    default:
        break;
    }
    return clRect;
}

QRect ClVexaStyle::subControlRect(ComplexControl eControl, const QStyleOptionComplex* pclOption,
    SubControl eSubControl, const QWidget* pclWidget) const
{
    if (eControl == CC_ScrollBar) {
        if (const auto* pclBar = qstyleoption_cast<const QStyleOptionSlider*>(pclOption)) {
            const QRect& clRect = pclBar->rect;
            if (eSubControl == SC_ScrollBarAddLine) {
                if (pclBar->orientation == Qt::Horizontal)
                    return QRect(clRect.width() - SCROLL_BAR_EXTENT, 0, SCROLL_BAR_EXTENT, SCROLL_BAR_EXTENT);
                return QRect(0, clRect.height() - SCROLL_BAR_EXTENT, SCROLL_BAR_EXTENT, SCROLL_BAR_EXTENT);
            }
            if (eSubControl == SC_ScrollBarSubLine)
                return QRect(0, 0, SCROLL_BAR_EXTENT, SCROLL_BAR_EXTENT);
        }
    }
    return QCommonStyle::subControlRect(eControl, pclOption, eSubControl, pclWidget);
}

QSize ClVexaStyle::sizeFromContents(ContentsType eType, const QStyleOption* pclOption,
    const QSize& clContentsSize, const QWidget* pclWidget) const
{
    switch (eType) {
    case CT_PushButton:
        return QProxyStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
    case CT_ComboBox: {
        QSize clSize = QCommonStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
        clSize.rheight() += 20;
        return clSize;
    }
    case CT_ScrollBar: {
        QSize clSize = QCommonStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
        if (const auto* pclBar = qstyleoption_cast<const QStyleOptionSlider*>(pclOption)) {
            if (pclBar->orientation == Qt::Horizontal)
                clSize.setHeight(SCROLL_BAR_EXTENT);
            else
                clSize.setWidth(SCROLL_BAR_EXTENT);
        }
        return clSize;
    }
    case CT_SpinBox: {
        QSize clSize = QCommonStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
        clSize.setHeight(qMax(clSize.height(), 28));
        return clSize;
    }
    case CT_RadioButton: {
        const auto* pclButton = qstyleoption_cast<const QStyleOptionButton*>(pclOption);
        if (!pclButton)
            return QSize(-1, -1);
        QRect clText = pclButton->fontMetrics.boundingRect(QRect(), Qt::TextShowMnemonic, pclButton->text);
        int iWidth = clText.width();
        int iHeight = clText.height();
        if (!pclButton->icon.isNull()) {
            iWidth = pclButton->iconSize.width();
            iHeight = qMax(iHeight, pclButton->iconSize.height());
        }
        return QSize(
            iWidth + proxy()->pixelMetric(PM_RadioButtonLabelSpacing, pclOption, pclWidget) + RADIO_INDICATOR,
            qMax(iHeight, RADIO_INDICATOR));
    }
    default:
        return QCommonStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
    }
}

void ClVexaStyle::drawKeyboardFocus(QPainter* pclPainter, const QStyleOption* pclOption, const QRect& clRect)
{
    const QStyle::State eFocus = State_HasFocus | State_KeyboardFocusChange;
    if ((pclOption->state & eFocus) != eFocus || clRect.width() < 6 || clRect.height() < 6)
        return;
    pclPainter->save();
    pclPainter->setRenderHint(QPainter::Antialiasing);
    pclPainter->setBrush(Qt::NoBrush);
    pclPainter->setPen(QPen(FOCUS_RING_COLOUR, 2));
    pclPainter->drawRoundedRect(QRectF(clRect).adjusted(2, 2, -2, -2), 3, 3);
    pclPainter->restore();
}

void ClVexaStyle::drawPrimitive(PrimitiveElement eElement, const QStyleOption* pclOption,
    QPainter* pclPainter, const QWidget* pclWidget) const
{
    switch (eElement) {
    case PE_FrameFocusRect:
        // The platform style's dotted frame would also show after a click.
        drawKeyboardFocus(pclPainter, pclOption, pclOption->rect);
        return;
    case PE_IndicatorCheckBox: {
        const QRect& clRect = pclOption->rect;
        pclPainter->save();
        QLinearGradient clGradient(clRect.topLeft(), clRect.bottomRight());
        clGradient.setColorAt(0, QColor(Qt::lightGray));
        clGradient.setColorAt(1, QColor(Qt::white));
        pclPainter->fillRect(clRect, clGradient);
        pclPainter->setBrush(Qt::NoBrush);
        pclPainter->setPen(QColor(Qt::lightGray));
        pclPainter->drawRect(clRect.adjusted(0, 0, -1, -1));
        pclPainter->setPen(QColor(Qt::gray));
        pclPainter->drawRect(clRect.adjusted(1, 1, -2, -2));
        if (pclOption->state & State_On) {
            // A classic check mark: m one-pixel strokes, three pixels long, first down then up.
            const int iSize = qMin(clRect.width(), 7);
            const int iX0 = clRect.left() + (clRect.width() - iSize) / 2;
            const int iY0 = clRect.top() + (clRect.height() - iSize) / 2;
            pclPainter->setPen(QColor(Qt::black));
            int iX = iX0;
            int iY = iY0 + 3;
            int iStroke = 0;
            for (; iStroke < iSize / 2; ++iStroke, ++iX, ++iY)
                pclPainter->drawLine(iX, iY, iX, iY + 2);
            iY -= 2;
            for (; iStroke < iSize; ++iStroke, ++iX, --iY)
                pclPainter->drawLine(iX, iY, iX, iY + 2);
        }
        pclPainter->restore();
        return;
    }
    case PE_IndicatorRadioButton: {
        const QImage clImage((pclOption->state & State_On) ? QStringLiteral(":/radiobutton/on")
                                                           : QStringLiteral(":/radiobutton/off"));
        const QRect clTarget = proxy()->subElementRect(SE_RadioButtonIndicator, pclOption, pclWidget);
        pclPainter->save();
        if (!(pclOption->state & State_Enabled))
            pclPainter->setOpacity(0.5);
        else if (pclOption->state & State_MouseOver)
            pclPainter->setOpacity(0.8);
        pclPainter->drawImage(clTarget, clImage);
        pclPainter->restore();
        return;
    }
    case PE_IndicatorSpinUp:
    case PE_IndicatorSpinDown: {
        QStyleOptionButton clButton;
        clButton.QStyleOption::operator=(*pclOption);
        clButton.rect = pclOption->rect;
        clButton.state = pclOption->state;
        drawIndicatorButton(
            eElement == PE_IndicatorSpinUp ? IndicatorArrowUp : IndicatorArrowDown, pclPainter, &clButton);
        return;
    }
    default:
        QProxyStyle::drawPrimitive(eElement, pclOption, pclPainter, pclWidget);
        return;
    }
}

void ClVexaStyle::drawControl(ControlElement eElement, const QStyleOption* pclOption, QPainter* pclPainter,
    const QWidget* pclWidget) const
{
    switch (eElement) {
    case CE_PushButton:
        if (qstyleoption_cast<const QStyleOptionButton*>(pclOption)) {
            drawNineSlice(PUSH_BUTTON_PREFIX, pclPainter, pclOption);
            proxy()->drawControl(CE_PushButtonLabel, pclOption, pclPainter, pclWidget);
            drawKeyboardFocus(pclPainter, pclOption, pclOption->rect);
            return;
        }
        break;
    case CE_PushButtonBevel:
        return; // the nine-slice images are the bevel
    case CE_PushButtonLabel:
        if (const auto* pclButton = qstyleoption_cast<const QStyleOptionButton*>(pclOption)) {
            const QRect clRect = pclButton->rect.adjusted(0, -2, 0, 0);
            if (!pclButton->text.isEmpty()) {
                pclPainter->save();
                pclPainter->setPen(QColor(Qt::black));
                pclPainter->drawText(clRect, Qt::AlignCenter, pclButton->text);
                pclPainter->restore();
            } else if (!pclButton->icon.isNull()) {
                const QPixmap clPixmap
                    = pclButton->icon.pixmap(pclButton->iconSize, QIcon::Normal, QIcon::Off);
                const QSize clSize = clPixmap.size() / clPixmap.devicePixelRatio();
                const QPoint clPos = centredImagePos(pclButton->rect, clSize) - QPoint(0, 2);
                pclPainter->drawPixmap(QRect(clPos, clSize), clPixmap);
            }
            return;
        }
        break;
    case CE_RadioButton:
        if (const auto* pclButton = qstyleoption_cast<const QStyleOptionButton*>(pclOption)) {
            QStyleOptionButton clLabel = *pclButton;
            clLabel.rect = proxy()->subElementRect(SE_RadioButtonContents, pclButton, pclWidget);
            proxy()->drawControl(CE_RadioButtonLabel, &clLabel, pclPainter, pclWidget);
            proxy()->drawPrimitive(PE_IndicatorRadioButton, pclButton, pclPainter, pclWidget);
            drawKeyboardFocus(pclPainter, pclButton, pclButton->rect);
            return;
        }
        break;
    case CE_ProgressBar:
        if (const auto* pclBar = qstyleoption_cast<const QStyleOptionProgressBar*>(pclOption)) {
            if (pclBar->version < 2)
                break;
            const QRect& clRect = pclBar->rect;
            const int iX1 = clRect.left();
            const int iY1 = clRect.top();
            const int iX2 = clRect.right();
            const int iY2 = clRect.bottom();
            const int iW = clRect.width();
            const int iH = clRect.height();
            pclPainter->save();
            pclPainter->setRenderHint(QPainter::Antialiasing, false);
            // A sunken groove: dark top-left edges, light bottom-right edges, two pixels each.
            pclPainter->setPen(QColor(0, 0, 0, 77));
            pclPainter->drawLine(iX1, iY1, iX2, iY1);
            pclPainter->drawLine(iX1, iY1 + 1, iX1, iY2);
            pclPainter->setPen(QColor(0, 0, 0, 128));
            pclPainter->drawLine(iX1 + 1, iY1 + 1, iX2 - 1, iY1 + 1);
            pclPainter->drawLine(iX1 + 1, iY1 + 2, iX1 + 1, iY2 - 1);
            pclPainter->setPen(QColor(255, 255, 255, 77));
            pclPainter->drawLine(iX1 + 2, iY2, iX2, iY2);
            pclPainter->drawLine(iX2, iY1 + 2, iX2, iY2 - 1);
            pclPainter->setPen(QColor(255, 255, 255, 128));
            pclPainter->drawLine(iX1 + 3, iY2 - 1, iX2 - 1, iY2 - 1);
            pclPainter->drawLine(iX2 - 1, iY1 + 3, iX2 - 1, iY2 - 2);
            pclPainter->fillRect(
                QRect(QPoint(iX1 + 2, iY1 + 2), QPoint(iX1 + iW - 3, iY1 + iH - 3)), QColor(30, 30, 30));

            // The chunk covers the part done; an empty range (minimum == maximum) shows none.
            const qint64 llRange = qint64(pclBar->maximum) - pclBar->minimum;
            const qint64 llDone = qBound<qint64>(0, qint64(pclBar->progress) - pclBar->minimum, llRange);
            if (llRange > 0 && llDone > 0) {
                const int iChunkWidth = static_cast<int>(llDone * (iW - 8) / llRange);
                const QRect clChunk(QPoint(iX1 + 4, iY1 + 4), QPoint(iX1 + 3 + iChunkWidth, iY1 + iH - 5));
                if (clChunk.isValid()) {
                    pclPainter->fillRect(clChunk, QColor(0, 150, 120));
                    QLinearGradient clShine(clChunk.topLeft(), clChunk.bottomLeft());
                    clShine.setColorAt(0, QColor(255, 255, 255, 128));
                    clShine.setColorAt(0.25, QColor(255, 255, 255, 0));
                    clShine.setColorAt(0.55, QColor(0, 0, 0, 0));
                    clShine.setColorAt(1, QColor(0, 0, 0, 128));
                    pclPainter->fillRect(clChunk, clShine);
                }
            }
            pclPainter->restore();
            return;
        }
        break;
    case CE_ScrollBarAddLine:
    case CE_ScrollBarSubLine:
    case CE_ScrollBarSlider:
        if (const auto* pclBar = qstyleoption_cast<const QStyleOptionSlider*>(pclOption)) {
            const bool bHorizontal = pclBar->orientation == Qt::Horizontal;
            SubControl eSub = SC_ScrollBarSlider;
            int iKind = IndicatorGrip;
            if (eElement == CE_ScrollBarAddLine) {
                eSub = SC_ScrollBarAddLine;
                iKind = bHorizontal ? IndicatorArrowRight : IndicatorArrowDown;
            } else if (eElement == CE_ScrollBarSubLine) {
                eSub = SC_ScrollBarSubLine;
                iKind = bHorizontal ? IndicatorArrowLeft : IndicatorArrowUp;
            }
            QStyleOption clButton(*pclBar);
            clButton.rect = proxy()->subControlRect(CC_ScrollBar, pclBar, eSub, pclWidget);
            // Only the part under the mouse or being pressed shows it.
            if (!(pclBar->activeSubControls & eSub))
                clButton.state &= ~(State_Sunken | State_On | State_MouseOver);
            pclPainter->save();
            drawIndicatorButton(iKind, pclPainter, &clButton);
            pclPainter->restore();
            return;
        }
        break;
    case CE_ShapedFrame:
        if (const auto* pclFrame = qstyleoption_cast<const QStyleOptionFrame*>(pclOption)) {
            if (pclFrame->version >= 3 && pclFrame->frameShape == QFrame::StyledPanel
                && pclFrame->lineWidth > 0) {
                const int iLineWidth = pclFrame->lineWidth;
                const qreal rInset = iLineWidth / 2.0;
                pclPainter->save();
                pclPainter->setBrush(Qt::NoBrush);
                pclPainter->setPen(
                    QPen(QColor(120, 120, 120), iLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
                pclPainter->drawRect(QRectF(pclFrame->rect).adjusted(rInset, rInset, -rInset, -rInset));
                pclPainter->restore();
            } else {
                QCommonStyle::drawControl(eElement, pclOption, pclPainter, pclWidget);
            }
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(eElement, pclOption, pclPainter, pclWidget);
}

void ClVexaStyle::drawComplexControl(ComplexControl eControl, const QStyleOptionComplex* pclOption,
    QPainter* pclPainter, const QWidget* pclWidget) const
{
    switch (eControl) {
    case CC_SpinBox:
        if (const auto* pclSpin = qstyleoption_cast<const QStyleOptionSpinBox*>(pclOption)) {
            // The text field draws itself; only the two arrow buttons are ours.
            for (const SubControl eSub : { SC_SpinBoxUp, SC_SpinBoxDown }) {
                if (!(pclSpin->subControls & eSub))
                    continue;
                QStyleOptionSpinBox clButton = *pclSpin;
                clButton.rect = proxy()->subControlRect(CC_SpinBox, pclSpin, eSub, pclWidget);
                if (!(pclSpin->activeSubControls == eSub && (pclSpin->state & State_Sunken)))
                    clButton.state &= ~State_Sunken;
                pclPainter->save();
                proxy()->drawPrimitive(eSub == SC_SpinBoxUp ? PE_IndicatorSpinUp : PE_IndicatorSpinDown,
                    &clButton, pclPainter, pclWidget);
                pclPainter->restore();
            }
            return;
        }
        break;
    case CC_ComboBox:
        if (const auto* pclCombo = qstyleoption_cast<const QStyleOptionComboBox*>(pclOption)) {
            QStyleOptionButton clButton;
            if (pclWidget)
                clButton.initFrom(pclWidget);
            else
                clButton.QStyleOption::operator=(*pclCombo);
            clButton.rect = pclCombo->rect;
            proxy()->drawControl(CE_PushButton, &clButton, pclPainter, pclWidget);
            const QImage clArrow(INDICATOR_PREFIX + QStringLiteral("arrowdown"));
            const QRect clArrowRect
                = proxy()->subControlRect(CC_ComboBox, pclCombo, SC_ComboBoxArrow, pclWidget);
            pclPainter->drawImage(centredImagePos(clArrowRect, clArrow.size()) - QPoint(0, 2), clArrow);
            return;
        }
        break;
    case CC_ScrollBar:
        if (const auto* pclBar = qstyleoption_cast<const QStyleOptionSlider*>(pclOption)) {
            const QRect& clRect = pclBar->rect;
            pclPainter->fillRect(clRect, QColor(189, 192, 199));
            if (pclBar->orientation == Qt::Horizontal) {
                pclPainter->drawImage(
                    QRect(clRect.left(), clRect.top(), clRect.width(), clScrollBarTop.height()),
                    clScrollBarTop);
                pclPainter->drawImage(QRect(clRect.left(), clRect.bottom() - clScrollBarBottom.height() + 1,
                                          clRect.width(), clScrollBarBottom.height()),
                    clScrollBarBottom);
            } else {
                pclPainter->drawImage(
                    QRect(clRect.left(), clRect.top(), clScrollBarLeft.width(), clRect.height()),
                    clScrollBarLeft);
                pclPainter->drawImage(QRect(clRect.right() - clScrollBarRight.width() + 1, clRect.top(),
                                          clScrollBarRight.width(), clRect.height()),
                    clScrollBarRight);
            }
            proxy()->drawControl(CE_ScrollBarAddLine, pclBar, pclPainter, pclWidget);
            proxy()->drawControl(CE_ScrollBarSubLine, pclBar, pclPainter, pclWidget);
            proxy()->drawControl(CE_ScrollBarSlider, pclBar, pclPainter, pclWidget);
            return;
        }
        break;
    case CC_Slider:
        if (const auto* pclSlider = qstyleoption_cast<const QStyleOptionSlider*>(pclOption)) {
            const int iW = (pclWidget ? pclWidget->width() : pclSlider->rect.width()) - 1;
            const QRect clHandle = proxy()->subControlRect(CC_Slider, pclSlider, SC_SliderHandle, pclWidget);
            const int iHandleCentre = clHandle.center().x();
            const int iRightCapX = iW - clSliderBackRight.width() - 13;
            const int iTrackHeight = clSliderBackCenter.height();
            const int iActiveStart = clSliderActiveLeft.width() + 7;

            // A disabled slider fades like the disabled buttons do.
            pclPainter->save();
            if (!(pclSlider->state & State_Enabled))
                pclPainter->setOpacity(0.5);
            pclPainter->drawImage(QPoint(7, 0), clSliderActiveLeft);
            pclPainter->drawImage(QPoint(iRightCapX, 0), clSliderBackRight);
            if (iHandleCentre > iActiveStart)
                pclPainter->drawImage(
                    QRect(iActiveStart, 0, iHandleCentre - iActiveStart, iTrackHeight), clSliderActiveCenter);
            if (iRightCapX > iHandleCentre)
                pclPainter->drawImage(
                    QRect(iHandleCentre, 0, iRightCapX - iHandleCentre, iTrackHeight), clSliderBackCenter);
            pclPainter->drawImage(clHandle.topLeft(), clSliderHandle);
            pclPainter->restore();
            drawKeyboardFocus(pclPainter, pclSlider, clHandle.adjusted(-3, -3, 3, 3));
            return;
        }
        break;
    case CC_GroupBox:
        if (const auto* pclGroup = qstyleoption_cast<const QStyleOptionGroupBox*>(pclOption)) {
            const QRect clCheckRect
                = proxy()->subControlRect(CC_GroupBox, pclGroup, SC_GroupBoxCheckBox, pclWidget);
            const QRect clLabelRect
                = proxy()->subControlRect(CC_GroupBox, pclGroup, SC_GroupBoxLabel, pclWidget);
            QRect clTitle;
            if (pclGroup->subControls & SC_GroupBoxCheckBox)
                clTitle = clTitle.united(clCheckRect.adjusted(-3, 0, 0, 0));
            if (pclGroup->subControls & SC_GroupBoxLabel)
                clTitle = clTitle.united(clLabelRect);

            if (pclGroup->subControls & SC_GroupBoxFrame) {
                const QRect clFrame
                    = proxy()->subControlRect(CC_GroupBox, pclGroup, SC_GroupBoxFrame, pclWidget);
                pclPainter->save();
                pclPainter->setClipRegion(QRegion(pclGroup->rect).subtracted(QRegion(clTitle)));
                pclPainter->setBrush(Qt::NoBrush);
                pclPainter->setPen(QColor(120, 120, 120));
                pclPainter->drawRect(clFrame.adjusted(0, 0, -1, -1));
                pclPainter->restore();
            }
            if (pclGroup->subControls & SC_GroupBoxCheckBox) {
                QStyleOptionButton clBox;
                clBox.QStyleOption::operator=(*pclGroup);
                clBox.rect = clCheckRect;
                if (pclGroup->activeSubControls != SC_GroupBoxCheckBox)
                    clBox.state &= ~(State_Sunken | State_MouseOver);
                proxy()->drawPrimitive(PE_IndicatorCheckBox, &clBox, pclPainter, pclWidget);
                drawKeyboardFocus(pclPainter, pclGroup, clTitle.adjusted(-3, -3, 3, 3));
            }
            if ((pclGroup->subControls & SC_GroupBoxLabel) && !pclGroup->text.isEmpty()) {
                proxy()->drawItemText(pclPainter, clLabelRect,
                    int(pclGroup->textAlignment) | Qt::AlignVCenter, pclGroup->palette,
                    pclGroup->state & State_Enabled, pclGroup->text, QPalette::NoRole);
            }
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawComplexControl(eControl, pclOption, pclPainter, pclWidget);
}
