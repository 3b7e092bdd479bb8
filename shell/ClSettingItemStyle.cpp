#include "shell/ClSettingItemStyle.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace {

// Left edge of every label in a settings row.
constexpr int LABEL_LEFT = 10;

// The row's label area: from x = 10 to the right edge, reaching 2 pixels higher than the control.
QRect labelRect(const QRect& clControl)
{
    QRect clRect = clControl;
    clRect.setLeft(LABEL_LEFT);
    clRect.setTop(clRect.top() - 2);
    return clRect;
}

} // namespace

ClSettingItemStyle::ClSettingItemStyle(QObject* pclParent)
    : ClVexaStyle(pclParent)
{
}

void ClSettingItemStyle::drawControl(ControlElement eElement, const QStyleOption* pclOption,
    QPainter* pclPainter, const QWidget* pclWidget) const
{
    if (eElement == CE_PushButtonLabel) {
        if (const auto* pclButton = qstyleoption_cast<const QStyleOptionButton*>(pclOption)) {
            if (!pclButton->text.isEmpty()) {
                pclPainter->save();
                pclPainter->setPen(QColor(Qt::black));
                pclPainter->drawText(
                    labelRect(pclButton->rect), Qt::AlignLeft | Qt::AlignVCenter, pclButton->text);
                pclPainter->restore();
            } else if (!pclButton->icon.isNull()) {
                const QPixmap clPixmap
                    = pclButton->icon.pixmap(pclButton->iconSize, QIcon::Normal, QIcon::Off);
                const QSize clSize = clPixmap.size() / clPixmap.devicePixelRatio();
                const QRect& clRect = pclButton->rect;
                const int iX = clRect.left() + (clRect.width() - clSize.width()) / 2;
                const int iY = clRect.top() + (clRect.height() - clSize.height()) / 2 - 2;
                pclPainter->drawPixmap(QRect(QPoint(iX, iY), clSize), clPixmap);
            }
            return;
        }
    } else if (eElement == CE_ComboBoxLabel) {
        if (const auto* pclCombo = qstyleoption_cast<const QStyleOptionComboBox*>(pclOption)) {
            if (!pclCombo->currentText.isEmpty()) {
                const bool bEnabled
                    = pclWidget ? pclWidget->isEnabled() : bool(pclCombo->state & State_Enabled);
                pclPainter->save();
                pclPainter->setPen(bEnabled ? QColor(Qt::black) : QColor(Qt::darkGray));
                pclPainter->drawText(
                    labelRect(pclCombo->rect), Qt::AlignLeft | Qt::AlignVCenter, pclCombo->currentText);
                pclPainter->restore();
            } else if (!pclCombo->currentIcon.isNull()) {
                const QPixmap clPixmap
                    = pclCombo->currentIcon.pixmap(pclCombo->iconSize, QIcon::Normal, QIcon::Off);
                const QSize clSize = clPixmap.size() / clPixmap.devicePixelRatio();
                const QRect& clRect = pclCombo->rect;
                const int iY = clRect.top() + (clRect.height() - clSize.height()) / 2 - 2;
                pclPainter->drawPixmap(QRect(QPoint(LABEL_LEFT, iY), clSize), clPixmap);
            }
            return;
        }
    }
    ClVexaStyle::drawControl(eElement, pclOption, pclPainter, pclWidget);
}

QSize ClSettingItemStyle::sizeFromContents(ContentsType eType, const QStyleOption* pclOption,
    const QSize& clContentsSize, const QWidget* pclWidget) const
{
    if (eType == CT_ComboBox
        || (eType == CT_PushButton && qstyleoption_cast<const QStyleOptionButton*>(pclOption))) {
        QSize clSize = QCommonStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
        clSize.setHeight(40);
        return clSize;
    }
    return ClVexaStyle::sizeFromContents(eType, pclOption, clContentsSize, pclWidget);
}
