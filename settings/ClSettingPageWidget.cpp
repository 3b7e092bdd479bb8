#include "settings/ClSettingPageWidget.h"

#include "camera/ClCommands.h"
#include "settings/AbstSettingItemWidget.h"
#include "settings/ClSettingRowBuilder.h"

#include <QDialog>

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

void ClSettingPageWidget::buildRows(
    QVBoxLayout* pclLayout, const stRow* aclRows, size_t iCount, const char* pcContext)
{
    const ClSettingRowBuilder clBuilder(this, pcContext, clFirmwareGate);
    clBuilder.build(
        pclLayout, aclRows, iCount, [this](const stRow& clRow) { return createPageControl(clRow); },
        [this](const stRow& clRow, QWidget* pclControl) {
            if (auto* pclItem = qobject_cast<AbstSettingItemWidget*>(pclControl))
                connectSettingItem(pclItem);
            if (clRow.bRegistered)
                addSettingItem(pclControl);
        });
}

QWidget* ClSettingPageWidget::createPageControl(const stRow& clRow)
{
    Q_UNUSED(clRow)
    return nullptr;
}

QString ClSettingPageWidget::rowLabel(
    const stRow* aclRows, size_t iCount, const char* pcContext, const QString& strKey)
{
    return ClSettingRowBuilder::rowLabel(aclRows, iCount, pcContext, strKey);
}

void ClSettingPageWidget::fillRow(const stRow& clRow, const ClAllSettings& clSettings)
{
    ClSettingRowBuilder::fillRow(this, clRow, clSettings);
}

void ClSettingPageWidget::setSettingItemsEnable(bool bIsEnable)
{
    for (QWidget* pclWidget : qAsConst(clItemList))
        pclWidget->setEnabled(bIsEnable);
    if (bIsEnable)
        return;
    for (const QPointer<QDialog>& pclDialog : qAsConst(clGuardedDialogs)) {
        if (pclDialog && pclDialog->isVisible())
            pclDialog->reject();
    }
}

void ClSettingPageWidget::addGuardedDialog(QDialog* pclDialog)
{
    clGuardedDialogs.append(pclDialog);
}

void ClSettingPageWidget::addVersionItem(const QString& strVersion, QWidget* pclWidget)
{
    clFirmwareGate.addWidget(strVersion, pclWidget);
}

void ClSettingPageWidget::applyFirmwareVersion(const QString& strVersion)
{
    clFirmwareGate.apply(strVersion);
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
