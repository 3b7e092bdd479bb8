#include "shell/ClBasicStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOption>

ClBasicStyle::ClBasicStyle(QObject* pclParent)
    : ClVexaStyle(pclParent)
{
}

void ClBasicStyle::drawControl(ControlElement eElement, const QStyleOption* pclOption, QPainter* pclPainter,
    const QWidget* pclWidget) const
{
    if (eElement == CE_ToolBoxTab) {
        const auto* pclTab = qstyleoption_cast<const QStyleOptionToolBox*>(pclOption);
        if (pclTab && pclTab->version >= 2) {
            // Selected and pressed tabs are darker, hovered ones a little lighter.
            int iShade = 0;
            if (pclTab->state & State_Selected) {
                iShade = -20;
            } else {
                if (pclTab->state & State_Sunken)
                    iShade -= 20;
                if (pclTab->state & State_MouseOver)
                    iShade += 10;
            }
            const auto grey = [iShade](int iLevel) {
                const int iValue = qBound(0, iLevel + iShade, 255);
                return QColor(iValue, iValue, iValue);
            };
            const QRect& clRect = pclTab->rect;
            QLinearGradient clGradient(clRect.topLeft(), clRect.bottomLeft());
            clGradient.setColorAt(0, grey(245));
            clGradient.setColorAt(0.1, grey(235));
            clGradient.setColorAt(0.5, grey(225));
            clGradient.setColorAt(0.9, grey(215));
            clGradient.setColorAt(1, grey(205));

            pclPainter->save();
            pclPainter->setRenderHint(QPainter::Antialiasing);
            pclPainter->setRenderHint(QPainter::SmoothPixmapTransform);
            pclPainter->setPen(Qt::NoPen);
            pclPainter->setBrush(clGradient);
            pclPainter->drawRect(clRect);
            pclPainter->setPen(QColor(Qt::black));
            pclPainter->drawText(clRect, Qt::AlignCenter, pclTab->text);
            pclPainter->restore();
            drawKeyboardFocus(pclPainter, pclTab, clRect);
            return;
        }
    }
    ClVexaStyle::drawControl(eElement, pclOption, pclPainter, pclWidget);
}

QSize ClBasicStyle::sizeFromContents(ContentsType eType, const QStyleOption* pclOption,
    const QSize& clContentsSize, const QWidget* pclWidget) const
{
    if (eType == CT_PushButton) {
        QSize clSize = QCommonStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
        if (const auto* pclButton = qstyleoption_cast<const QStyleOptionButton*>(pclOption))
            clSize = QSize(pclButton->fontMetrics.horizontalAdvance(pclButton->text) + 40, 40);
        return clSize;
    }
    return ClVexaStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
}
