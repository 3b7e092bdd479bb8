#include "settings/ClDetailSettingWidget.h"

#include "camera/ClCommands.h"
#include "camera/ZkSetting.h"
#include "settings/ClAccessibleSettingCombo.h"
#include "settings/ClInformationDialog.h"
#include "settings/ClSettingApDialog.h"
#include "settings/ClSettingConfirmDialog.h"
#include "settings/ClSettingIntervalDialog.h"
#include "settings/ClSettingItemComboBox.h"
#include "settings/ClSettingItemRecBalance.h"
#include "settings/ClSettingItemShowDialogButton.h"
#include "settings/ClSettingItemSlider.h"
#include "settings/ClSettingItemVolume.h"
#include "shell/ClDialogHelpers.h"
#include "shell/ClSetting.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <iterator>

const QString PREF_SYNC_TIME = QStringLiteral("setting/synctime");

const QString ClDetailSettingWidget::RECORDING_SETTINGS_VERSION = QStringLiteral("01.00.0009");

// The camera settings' entries and ranges are the camera's vocabulary (ZkVocabulary).
const ClDetailSettingWidget::stRow ClDetailSettingWidget::ROWS[] = {
    { Control::Combo, member<&ClDetailSettingWidget::pclPhotometry>, ZkSetting::AE_LIGHT_METERING,
        QT_TR_NOOP("Photometry") },
    { Control::Combo, member<&ClDetailSettingWidget::pclDistortion>, ZkSetting::WARP_CORRECTION,
        QT_TR_NOOP("Distortion") },
    { Control::Combo, member<&ClDetailSettingWidget::pclStabilization>, ZkSetting::STABILIZATION,
        QT_TR_NOOP("Stabilization") },
    { Control::Combo, member<&ClDetailSettingWidget::pclImageRotation>, ZkSetting::IMAGE_ROTATION,
        QT_TR_NOOP("Image rotation") },
    { Control::Combo, member<&ClDetailSettingWidget::pclShootingMode>, ZkSetting::CAPTURE_MODE,
        QT_TR_NOOP("Shooting mode") },
    { Control::Combo, member<&ClDetailSettingWidget::pclBurstInterval>, ZkSetting::BURST_PER_SEC,
        QT_TR_NOOP("Burst interval") },
    { Control::IntervalButton, member<&ClDetailSettingWidget::pclIntervalButton>, ZkSetting::INTERVAL_TIME,
        QT_TR_NOOP("Interval time"), {}, nullptr, nullptr, {}, "intervalButton", "intervalDialog" },
    { Control::Slider, member<&ClDetailSettingWidget::pclRecLevel>, ZkSetting::REC_AUDIO_LEVEL,
        QT_TR_NOOP("Recording Settings"), {}, QT_TR_NOOP("Level"), QT_TR_NOOP("Recording level"),
        RECORDING_SETTINGS_VERSION, nullptr, nullptr, "recordingSettingsLabel" },
    { Control::Balance, member<&ClDetailSettingWidget::pclRecBalance>, ZkSetting::REC_AUDIO_BALANCE, nullptr,
        {}, QT_TR_NOOP("Balance"), QT_TR_NOOP("Recording balance"), RECORDING_SETTINGS_VERSION },
    { Control::Combo, member<&ClDetailSettingWidget::pclAutoPowerOff>, ZkSetting::AUTO_POWER_OFF,
        QT_TR_NOOP("Auto power off"), {}, nullptr, nullptr, RECORDING_SETTINGS_VERSION, nullptr, nullptr,
        "autoPowerOffLabel" },
    { Control::Combo, member<&ClDetailSettingWidget::pclWifiAutoOff>, ZkSetting::WIFI_AUTO_POWER_OFF,
        QT_TR_NOOP("WiFi auto off") },
    { Control::ApButton, member<&ClDetailSettingWidget::pclApButton>, ZkSetting::AP_SSID,
        QT_TR_NOOP("AP setting"), {}, QT_TR_NOOP("Setting"), nullptr, {}, "apButton", "apDialog" },
    { Control::ConfirmButton, member<&ClDetailSettingWidget::pclNetworkInit>,
        ZkSetting::FACTORY_RESET_NETWORK, QT_TR_NOOP("Network setting initialize"), {},
        QT_TR_NOOP("Initialize"), nullptr, {}, nullptr, "networkInitializeDialog" },
    { Control::Combo, member<&ClDetailSettingWidget::pclRecDuration>, ZkSetting::REC_DURATION,
        QT_TR_NOOP("Recording file setting") },
    { Control::Volume, member<&ClDetailSettingWidget::pclVolume>, ZkSetting::SPEAKER_VOLUME,
        QT_TR_NOOP("Volume") },
    // A preference of this program, kept across restarts; ON sends this computer's time.
    { Control::SyncTime, member<&ClDetailSettingWidget::pclSyncTime>, ZkSetting::CAMERA_CLOCK,
        QT_TR_NOOP("Sync time"), {}, nullptr, nullptr, {}, "syncTimeCombo" },
    // No key: its confirmation sends the format command instead of a setting.
    { Control::ConfirmButton, member<&ClDetailSettingWidget::pclFormat>, QString(), QT_TR_NOOP("SD format"),
        {}, QT_TR_NOOP("Format"), nullptr, {}, "sdFormat", "formatDialog" },
    { Control::ConfirmButton, member<&ClDetailSettingWidget::pclCameraInit>, ZkSetting::FACTORY_RESET_CAM,
        QT_TR_NOOP("Camera initialize"), {}, QT_TR_NOOP("Initialize"), nullptr, {}, nullptr,
        "cameraInitializeDialog" },
    // Not registered: the information stays usable while the settings are disabled.
    { Control::InformationButton, nullptr, QString(), QT_TR_NOOP("Information"), {}, QT_TR_NOOP("Display"),
        nullptr, {}, "informationButton", "informationDialog", nullptr, false },
};

ClDetailSettingWidget::ClDetailSettingWidget(QWidget* pclParent)
    : ClSettingPageWidget(pclParent)
{
    auto* pclLayout = new QVBoxLayout(this);
    buildRows(pclLayout, ROWS, std::size(ROWS), staticMetaObject.className());
    pclLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));

    // The preference is shown before the combo is connected, so building the page sends nothing.
    const bool bSyncTime = ClSetting().readValueOrStore(PREF_SYNC_TIME, false).toBool();
    pclSyncTime->setCurrentIndex(bSyncTime ? 0 : 1);
    connect(pclSyncTime, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &ClDetailSettingWidget::slotRecvSettingChangedNotify);
}

ClDetailSettingWidget::~ClDetailSettingWidget()
{
    delete pclApDialog;
}

QWidget* ClDetailSettingWidget::createPageControl(const stRow& clRow)
{
    QWidget* pclControl = nullptr;
    QDialog* pclDialog = nullptr;
    switch (clRow.eControl) {
    case Control::IntervalButton:
        pclDialog = pclIntervalDialog = new ClSettingIntervalDialog(tr(clRow.pcLabel), this);
        pclControl = createSettingButton(QString(), &ClDetailSettingWidget::slotConfirmIntervalSetting);
        break;
    case Control::ApButton:
        // No parent: the dialog is deleted with the page.
        pclDialog = pclApDialog = new ClSettingApDialog(tr(clRow.pcLabel), nullptr);
        pclControl = createSettingButton(tr(clRow.pcText), &ClDetailSettingWidget::slotConfirmApSetting);
        break;
    case Control::ConfirmButton:
        // Titled with the row's label. A one-shot action is started by the value SET; the format
        // row has no key: its confirmation sends the format command.
        pclDialog = new ClSettingConfirmDialog(
            tr(clRow.pcLabel), this, confirmationText(clRow.strKey), tr(clRow.pcText));
        pclControl = new ClSettingItemShowDialogButton(clRow.strKey, tr(clRow.pcText), pclDialog,
            clRow.strKey.isEmpty() ? QVariant() : QVariant(ZkValue::SET), this);
        break;
    case Control::SyncTime: {
        auto* pclCombo = new QComboBox(this);
        ClAccessibleSettingCombo::markAsSettingRow(pclCombo);
        AbstSettingItemWidget::applyRowStyle(pclCombo);
        pclCombo->setFixedWidth(AbstSettingItemWidget::ROW_WIDTH);
        pclCombo->addItem(QObject::tr("ON"), true);
        pclCombo->addItem(QObject::tr("OFF"), false);
        pclControl = pclCombo;
        break;
    }
    case Control::InformationButton:
        pclDialog = pclInformationDialog = new ClInformationDialog(this);
        connect(pclInformationDialog, &ClInformationDialog::sigRequestUpdate, this,
            &ClDetailSettingWidget::sigRequestUpdate);
        pclControl = createSettingButton(tr(clRow.pcText), &ClDetailSettingWidget::slotShowInformation);
        break;
    default:
        break;
    }
    if (pclDialog) {
        pclDialog->setObjectName(QLatin1String(clRow.pcDialogName));
        // No dialog outlives the session, and none that confirms a change outlives the settings'
        // enable.
        connect(this, &ClDetailSettingWidget::sigCloseDialog, pclDialog, &QDialog::reject);
        if (clRow.bRegistered)
            addGuardedDialog(pclDialog);
    }
    return pclControl;
}

QString ClDetailSettingWidget::confirmationText(const QString& strKey)
{
    if (strKey == ZkSetting::FACTORY_RESET_CAM)
        return tr("All settings of the camera will return to their factory values.");
    if (strKey == ZkSetting::FACTORY_RESET_NETWORK)
        return tr("The camera's Wi-Fi name and key will return to their factory values. The connection "
                  "to the camera may be lost.");
    // The format row has no key.
    return tr("All photos and videos on the SD card will be erased.");
}

QPushButton* ClDetailSettingWidget::createSettingButton(
    const QString& strText, void (ClDetailSettingWidget::*pSlot)())
{
    auto* pclButton = new QPushButton(strText, this);
    AbstSettingItemWidget::applyRowStyle(pclButton);
    pclButton->setFixedWidth(AbstSettingItemWidget::ROW_WIDTH);
    connect(pclButton, &QPushButton::clicked, this, pSlot);
    return pclButton;
}

QString ClDetailSettingWidget::getSettingLabel(const QString& strKey) const
{
    // The key of the access point has no row of its own.
    if (strKey == ZkSetting::AP_KEY)
        return QObject::tr("key");
    return rowLabel(ROWS, std::size(ROWS), staticMetaObject.className(), strKey);
}

void ClDetailSettingWidget::syncCameraClock()
{
    if (pclSyncTime->currentData().toBool())
        sendSettingRequest(ZkSetting::CAMERA_CLOCK, QDateTime::currentDateTime());
}

void ClDetailSettingWidget::applySettings(const ClAllSettings& clSettings)
{
    const QSignalBlocker clBlocker(this);
    for (const stRow& clRow : ROWS) {
        if (clRow.eControl == Control::IntervalButton) {
            const QVariant clInterval = clSettings.value(clRow.strKey);
            if (clInterval.canConvert<QString>())
                pclIntervalButton->setText(clInterval.toString());
            pclIntervalDialog->setIntervalValue(clInterval);
        } else {
            fillRow(clRow, clSettings);
        }
    }

    const QString strVersion = clSettings.value(ZkSetting::GET_VERSION).toString();
    pclInformationDialog->setFwVersion(strVersion);
    applyFirmwareVersion(strVersion);
}

void ClDetailSettingWidget::slotRecvSettingChangedNotify()
{
    QObject* pclSender = sender();
    if (pclSender == pclFormat) {
        sendRequest(CMD_FORMAT);
        return;
    }
    if (pclSender == pclSyncTime) {
        ClSetting().writeValue(PREF_SYNC_TIME, pclSyncTime->currentData().toBool());
        syncCameraClock();
        return;
    }
    ClSettingPageWidget::slotRecvSettingChangedNotify();
}

void ClDetailSettingWidget::slotConfirmApSetting()
{
    if (pclApDialog->exec() != QDialog::Accepted || !pclApButton->isEnabled())
        return;
    // Keep what the user confirmed: the chain's later steps must not pick up a later edit.
    strApSsid = pclApDialog->ssid();
    strApKey = pclApDialog->key();
    sendSettingRequest(ZkSetting::AP_SSID, strApSsid);
}

void ClDetailSettingWidget::slotConfirmIntervalSetting()
{
    if (pclIntervalDialog->exec() != QDialog::Accepted || !pclIntervalButton->isEnabled())
        return;
    const QString strValue = pclIntervalDialog->getIntervalValue().toString();
    pclIntervalButton->setText(strValue);
    sendSettingRequest(ZkSetting::INTERVAL_TIME, strValue);
}

void ClDetailSettingWidget::slotShowInformation()
{
    pclInformationDialog->exec();
}

void ClDetailSettingWidget::recvSuccessResponse(const ZK_CMD& clCmd)
{
    if (zkCommand(clCmd) != CMD_SET_SETTING)
        return;
    // The access point changes in three steps, each sent once the one before has succeeded.
    const QString strKey = clCmd.value(ZkKey::PARAM1).toString();
    if (strKey == ZkSetting::AP_SSID) {
        sendSettingRequest(ZkSetting::AP_KEY, strApKey);
    } else if (strKey == ZkSetting::AP_KEY) {
        sendSettingRequest(ZkSetting::WIFI_APPLY_NEW_PARAM, strApKey);
    } else if (strKey == ZkSetting::WIFI_APPLY_NEW_PARAM) {
        // The camera restarts its Wi-Fi with the new parameters: this link is gone.
        emit sigRequestStopSession();
    } else if (strKey == ZkSetting::FACTORY_RESET_CAM || strKey == ZkSetting::FACTORY_RESET_NETWORK) {
        // The camera is back at its defaults: every row must show them.
        emit sigRequestGetSettings();
    }
}

void ClDetailSettingWidget::recvErrorResponse(const ZK_CMD& clCmd)
{
    const QUuid clCommand = zkCommand(clCmd);
    if (clCommand == CMD_SET_SETTING) {
        const QString strKey = clCmd.value(ZkKey::PARAM1).toString();
        // The last access point step has no row of its own, but its failure means the user's
        // access point change did not take effect: say so.
        const QString strLabel
            = getSettingLabel(strKey == ZkSetting::WIFI_APPLY_NEW_PARAM ? ZkSetting::AP_SSID : strKey);
        if (strKey == ZkSetting::CAMERA_CLOCK)
            showMessageDialog(this, QObject::tr("Failed to %1").arg(strLabel));
        else if (!strLabel.isEmpty())
            showMessageDialog(this, QObject::tr("Failed to set %1").arg(strLabel));
    } else if (clCommand == CMD_FORMAT) {
        // A format slower than the limit may still be running on the camera.
        if (zkError(clCmd) == ZkError::Timeout)
            showMessageDialog(this,
                tr("The camera did not confirm the SD format in time. Check the card on the camera "
                   "before recording."));
        else
            showMessageDialog(this, QObject::tr("Failed to %1").arg(tr("SD format")));
    }
    ClSettingPageWidget::recvErrorResponse(clCmd);
}
