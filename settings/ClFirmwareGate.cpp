#include "settings/ClFirmwareGate.h"

#include <QWidget>

void ClFirmwareGate::addWidget(const QString& strVersion, QWidget* pclWidget)
{
    clWidgetMap[strVersion].append(pclWidget);
}

void ClFirmwareGate::apply(const QString& strVersion) const
{
    const qint64 llFirmware = versionNumber(strVersion);
    for (auto it = clWidgetMap.cbegin(); it != clWidgetMap.cend(); ++it) {
        const bool bSupported = llFirmware >= versionNumber(it.key());
        for (QWidget* pclWidget : it.value())
            pclWidget->setVisible(bSupported);
    }
}

qint64 ClFirmwareGate::versionNumber(const QString& strVersion)
{
    QString strDigits = strVersion;
    strDigits.remove(QLatin1Char('.'));
    bool bOk = false;
    const qint64 llNumber = strDigits.toLongLong(&bOk, 10);
    return bOk ? llNumber : 0;
}
