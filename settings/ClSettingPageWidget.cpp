#include "ClSettingPageWidget.h"

#include "AbstSettingItemWidget.h"
#include "ClCommands.h"
#include "ClSettingItemComboBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ClSettingPageWidget::ClSettingPageWidget(QWidget* pclParent)
    : ClNodeWidget(pclParent)
{
}

void ClSettingPageWidget::connectSettingItem(AbstSettingItemWidget* pclItem)
{
    connect(pclItem, &AbstSettingItemWidget::sigSettingChangedNotify, this,
        &ClSettingPageWidget::slotRecvSettingChangedNotify);
}

void ClSettingPageWidget::addSettingItem(QWidget* pclWidget)
{
    clItemList.append(pclWidget);
}

QLabel* ClSettingPageWidget::addLabeledRow(
    QVBoxLayout* pclLayout, const QString& strLabel, QWidget* pclControl)
{
    auto* pclLabel = new QLabel(strLabel, this);
    auto* pclRowLayout = new QHBoxLayout();
    pclRowLayout->addWidget(pclLabel);
    pclRowLayout->addWidget(pclControl);
    pclLayout->addLayout(pclRowLayout);
    return pclLabel;
}

ClSettingItemComboBox* ClSettingPageWidget::addComboRow(
    QVBoxLayout* pclLayout, const QString& strKey, const QString& strLabel, const ClItems& clItems)
{
    auto* pclRow = new ClSettingItemComboBox(strKey, this);
    pclRow->setItemList(clItems);
    addLabeledRow(pclLayout, strLabel, pclRow);
    connectSettingItem(pclRow);
    return pclRow;
}

void ClSettingPageWidget::setSettingItemsEnable(bool bIsEnable)
{
    for (QWidget* pclWidget : qAsConst(clItemList))
        pclWidget->setEnabled(bIsEnable);
}

void ClSettingPageWidget::addVersionItem(const QString& strVersion, QWidget* pclWidget)
{
    clVersionItemMap[strVersion].append(pclWidget);
}

qint64 ClSettingPageWidget::versionNumber(const QString& strVersion)
{
    QString strDigits = strVersion;
    strDigits.remove(QLatin1Char('.'));
    bool bOk = false;
    const qint64 llNumber = strDigits.toLongLong(&bOk, 10);
    return bOk ? llNumber : 0;
}

void ClSettingPageWidget::applyFirmwareVersion(const QString& strVersion)
{
    const qint64 llFirmware = versionNumber(strVersion);
    for (auto it = clVersionItemMap.cbegin(); it != clVersionItemMap.cend(); ++it) {
        const bool bSupported = llFirmware >= versionNumber(it.key());
        for (QWidget* pclWidget : it.value())
            pclWidget->setVisible(bSupported);
    }
}

void ClSettingPageWidget::applySettings(const ClAllSettings& clSettings)
{
    Q_UNUSED(clSettings)
}

void ClSettingPageWidget::recvResponse(ZK_CMD clCmd)
{
    if (zkError(clCmd) == ZkError::Success)
        recvSuccessResponse(clCmd);
    else
        recvErrorResponse(clCmd);
}

void ClSettingPageWidget::recvSuccessResponse(const ZK_CMD& clCmd)
{
    Q_UNUSED(clCmd)
}

void ClSettingPageWidget::recvErrorResponse(const ZK_CMD& clCmd)
{
    Q_UNUSED(clCmd)
    // Bring the controls back to what the camera really has.
    emit sigRequestGetSettings();
}

void ClSettingPageWidget::sendSettingRequest(const QString& strKey, const QVariant& clValue)
{
    ZK_CMD clCmd;
    clCmd.insert(ZkKey::PARAM1, strKey);
    clCmd.insert(ZkKey::PARAM2, clValue);
    sendRequest(CMD_SET_SETTING, clCmd);
}

void ClSettingPageWidget::slotRecvSettingChangedNotify()
{
    auto* pclItem = qobject_cast<AbstSettingItemWidget*>(sender());
    if (!pclItem)
        return;
    sendSettingRequest(pclItem->getKey(), pclItem->getValue());
}
