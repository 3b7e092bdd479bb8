#include "AbstSettingItemWidget.h"

AbstSettingItemWidget::AbstSettingItemWidget(const QString& strKey, QWidget* pclParent)
    : QWidget(pclParent)
    , strKey(strKey)
{
    setFixedWidth(iRowWidth);
    // Lets tests and style sheets find a row by the setting it stands for.
    if (!strKey.isEmpty())
        setObjectName(strKey);
}

QString AbstSettingItemWidget::getKey() const
{
    return strKey;
}
