#pragma once

#include "shell/ClVexaStyle.h"

// Style of the buttons and combo boxes in the settings rows: labels left-aligned at x = 10 and a
// height of 40. Each control gets its own instance through QWidget::setStyle.
class ClSettingItemStyle : public ClVexaStyle
{
    Q_OBJECT
    Q_DISABLE_COPY(ClSettingItemStyle)

public:
    // The parent, when given, owns the style (QWidget::setStyle does not take ownership).
    explicit ClSettingItemStyle(QObject* pclParent = nullptr);

    void drawControl(ControlElement eElement, const QStyleOption* pclOption, QPainter* pclPainter,
        const QWidget* pclWidget = nullptr) const override;
    QSize sizeFromContents(ContentsType eType, const QStyleOption* pclOption, const QSize& clContentsSize,
        const QWidget* pclWidget = nullptr) const override;
};
