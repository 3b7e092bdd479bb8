#include "settings/ClSettingItemRecBalance.h"

#include <QSlider>

ClSettingItemRecBalance::ClSettingItemRecBalance(
    const QString& strKey, const QString& strCaption, QWidget* pclParent)
    : ClSettingItemSlider(strKey, strCaption, pclParent)
{
    slotUpdateValueDisplay(pclSlider->value());
}

void ClSettingItemRecBalance::slotUpdateValueDisplay(int iValue)
{
    if (iValue < 0)
        setValueText(QObject::tr("L") + QString::number(-static_cast<qint64>(iValue)));
    else if (iValue > 0)
        setValueText(QObject::tr("R") + QString::number(iValue));
    else
        setValueText(QStringLiteral("0"));
}
