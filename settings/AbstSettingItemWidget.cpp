#include "settings/AbstSettingItemWidget.h"

#include "shell/ClSettingItemStyle.h"

AbstSettingItemWidget::AbstSettingItemWidget(const QString& strKey, QWidget* pclParent)
    : QWidget(pclParent)
    , strKey(strKey)
{
    setFixedWidth(ROW_WIDTH);
    // Lets tests and style sheets find a row by the setting it stands for.
    if (!strKey.isEmpty())
        setObjectName(strKey);
}

QString AbstSettingItemWidget::getKey() const
{
    return strKey;
}

void AbstSettingItemWidget::applyRowStyle(QWidget* pclControl)
{
    auto* pclStyle = new ClSettingItemStyle;
    pclStyle->setParent(pclControl);
    pclControl->setStyle(pclStyle);
}
