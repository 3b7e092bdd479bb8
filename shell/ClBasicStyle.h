#pragma once

#include "shell/ClVexaStyle.h"

// The application-wide style installed at start-up: the product look plus gradient tool box tabs
// and roomy push buttons (text width + 40 by 40).
class ClBasicStyle : public ClVexaStyle
{
    Q_OBJECT
    Q_DISABLE_COPY(ClBasicStyle)

public:
    // The parent, when given, owns the style (QWidget::setStyle does not take ownership).
    explicit ClBasicStyle(QObject* pclParent = nullptr);

    void drawControl(ControlElement eElement, const QStyleOption* pclOption, QPainter* pclPainter,
        const QWidget* pclWidget = nullptr) const override;
    QSize sizeFromContents(ContentsType eType, const QStyleOption* pclOption, const QSize& clContentsSize,
        const QWidget* pclWidget = nullptr) const override;
};
