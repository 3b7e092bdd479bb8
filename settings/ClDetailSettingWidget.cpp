#include "ClDetailSettingWidget.h"

#include "ClCommands.h"
#include "ClDialogHelpers.h"
#include "ClInformationDialog.h"
#include "ClSetting.h"
#include "ClSettingApDialog.h"
#include "ClSettingConfirmDialog.h"
#include "ClSettingIntervalDialog.h"
#include "ClSettingItemComboBox.h"
#include "ClSettingItemRecBalance.h"
#include "ClSettingItemShowDialogButton.h"
#include "ClSettingItemSlider.h"
#include "ClSettingItemVolume.h"
#include "ZkSetting.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

const QString strPrefSyncTime = QStringLiteral("setting/synctime");

QString burstText(int iFramesPerSecond)
{
    return QString::number(iFramesPerSecond) + QObject::tr("fps") + QStringLiteral(" : ")
        + QString::number(10) + QObject::tr("frames");
}

QString secondsText(int iSeconds)
{
    return QString::number(iSeconds) + QObject::tr("seconds");
}

QString minutesText(int iMinutes)
{
    return QString::number(iMinutes) + (iMinutes == 1 ? QObject::tr("minute") : QObject::tr("minutes"));
}

} // namespace

const QString ClDetailSettingWidget::strRecordingSettingsVersion = QStringLiteral("01.00.0009");

ClDetailSettingWidget::ClDetailSettingWidget(QWidget* pclParent)
    : ClSettingPageWidget(pclParent)
{
    auto* pclLayout = new QVBoxLayout(this);
    const ClItems clOffOn = { { QObject::tr("OFF"), ZkValue::OFF }, { QObject::tr("ON"), ZkValue::ON } };

    pclPhotometry = addComboRow(pclLayout, ZkSetting::AE_LIGHT_METERING,
        { { tr("Center"), QStringLiteral("center") }, { tr("Multi"), QStringLiteral("multi") } });
    pclDistortion = addComboRow(pclLayout, ZkSetting::WARP_CORRECTION, clOffOn);
    pclStabilization = addComboRow(pclLayout, ZkSetting::STABILIZATION, clOffOn);
    pclImageRotation = addComboRow(pclLayout, ZkSetting::IMAGE_ROTATION,
        { { QObject::tr("OFF"), ZkValue::OFF }, { QObject::tr("ON"), QStringLiteral("180deg") } });
    pclShootingMode = addComboRow(pclLayout, ZkSetting::CAPTURE_MODE,
        { { tr("Single"), QStringLiteral("single") }, { tr("Burst"), QStringLiteral("burst") },
            { tr("Interval"), QStringLiteral("interval") } });
    pclBurstInterval = addComboRow(pclLayout, ZkSetting::BURST_PER_SEC,
        { { burstText(2), QStringLiteral("2") }, { burstText(5), QStringLiteral("5") },
            { burstText(60), QStringLiteral("60") } });

    // Interval time: the button shows the current value and opens the editor.
    pclIntervalDialog = new ClSettingIntervalDialog(tr("Interval time"), this);
    pclIntervalDialog->setObjectName(QStringLiteral("intervalDialog"));
    pclIntervalButton = createSettingButton(QString());
    pclIntervalButton->setObjectName(QStringLiteral("intervalButton"));
    addLabeledRow(pclLayout, tr("Interval time"), pclIntervalButton);

    // Recording settings: level above balance, both only on newer firmware.
    pclRecLevel = new ClSettingItemSlider(ZkSetting::REC_AUDIO_LEVEL, tr("Level"), this);
    pclRecLevel->setRange(0, 10);
    pclRecBalance = new ClSettingItemRecBalance(ZkSetting::REC_AUDIO_BALANCE, tr("Balance"), this);
    pclRecBalance->setRange(-5, 5);
    auto* pclRecLabel = new QLabel(tr("Recording Settings"), this);
    pclRecLabel->setObjectName(QStringLiteral("recordingSettingsLabel"));
    auto* pclRecRow = new QHBoxLayout();
    pclRecRow->addWidget(pclRecLabel, 0, Qt::AlignTop);
    pclRecRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    auto* pclRecSliders = new QVBoxLayout();
    pclRecSliders->setContentsMargins(0, 0, 0, 0);
    pclRecSliders->addWidget(pclRecLevel);
    pclRecSliders->addWidget(pclRecBalance);
    pclRecRow->addLayout(pclRecSliders);
    pclLayout->addLayout(pclRecRow);

    pclAutoPowerOff = new ClSettingItemComboBox(ZkSetting::AUTO_POWER_OFF, this);
    pclAutoPowerOff->setItemList(
        { { QObject::tr("OFF"), ZkValue::OFF }, { secondsText(60), QStringLiteral("60sec") },
            { secondsText(120), QStringLiteral("120sec") }, { secondsText(300), QStringLiteral("300sec") } });
    QLabel* pclAutoPowerOffLabel
        = addLabeledRow(pclLayout, getSettingLabel(ZkSetting::AUTO_POWER_OFF), pclAutoPowerOff);
    pclAutoPowerOffLabel->setObjectName(QStringLiteral("autoPowerOffLabel"));

    pclWifiAutoOff = addComboRow(pclLayout, ZkSetting::WIFI_AUTO_POWER_OFF,
        { { QObject::tr("OFF"), QStringLiteral("disable") },
            { QObject::tr("ON"), QStringLiteral("enable") } });

    // Access point: the dialog collects SSID and key, the page sends them as a chain.
    pclApDialog = new ClSettingApDialog(tr("AP setting"), nullptr);
    pclApDialog->setObjectName(QStringLiteral("apDialog"));
    pclApButton = createSettingButton(tr("Setting"));
    pclApButton->setObjectName(QStringLiteral("apButton"));
    addLabeledRow(pclLayout, tr("AP setting"), pclApButton);

    auto* pclNetworkInitDialog
        = new ClSettingConfirmDialog(getSettingLabel(ZkSetting::FACTORY_RESET_NETWORK), this);
    pclNetworkInitDialog->setObjectName(QStringLiteral("networkInitializeDialog"));
    pclNetworkInit = new ClSettingItemShowDialogButton(
        ZkSetting::FACTORY_RESET_NETWORK, tr("Initialize"), pclNetworkInitDialog, ZkValue::SET, this);
    addLabeledRow(pclLayout, tr("Network setting initialize"), pclNetworkInit);

    pclRecDuration = addComboRow(pclLayout, ZkSetting::REC_DURATION,
        { { minutesText(1), QStringLiteral("1min") }, { minutesText(3), QStringLiteral("3min") },
            { minutesText(5), QStringLiteral("5min") }, { minutesText(10), QStringLiteral("10min") },
            { minutesText(30), QStringLiteral("30min") } });

    pclVolume = new ClSettingItemVolume(ZkSetting::SPEAKER_VOLUME, this);
    auto* pclVolumeRow = new QHBoxLayout();
    pclVolumeRow->addWidget(new QLabel(getSettingLabel(ZkSetting::SPEAKER_VOLUME), this));
    pclVolumeRow->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pclVolumeRow->addWidget(pclVolume);
    pclLayout->addLayout(pclVolumeRow);

    // Sync time is a preference of this program, kept across restarts.
    pclSyncTime = new QComboBox(this);
    pclSyncTime->setObjectName(QStringLiteral("syncTimeCombo"));
    AbstSettingItemWidget::applyRowStyle(pclSyncTime);
    pclSyncTime->setFixedWidth(AbstSettingItemWidget::iRowWidth);
    pclSyncTime->addItem(QObject::tr("ON"), true);
    pclSyncTime->addItem(QObject::tr("OFF"), false);
    addLabeledRow(pclLayout, tr("Sync time"), pclSyncTime);

    auto* pclFormatDialog = new ClSettingConfirmDialog(tr("SD format"), this);
    pclFormatDialog->setObjectName(QStringLiteral("formatDialog"));
    pclFormat = new ClSettingItemShowDialogButton(QString(), tr("Format"), pclFormatDialog, QVariant(), this);
    pclFormat->setObjectName(QStringLiteral("sdFormat"));
    addLabeledRow(pclLayout, tr("SD format"), pclFormat);

    auto* pclCameraInitDialog
        = new ClSettingConfirmDialog(getSettingLabel(ZkSetting::FACTORY_RESET_CAM), this);
    pclCameraInitDialog->setObjectName(QStringLiteral("cameraInitializeDialog"));
    pclCameraInit = new ClSettingItemShowDialogButton(
        ZkSetting::FACTORY_RESET_CAM, tr("Initialize"), pclCameraInitDialog, ZkValue::SET, this);
    addLabeledRow(pclLayout, tr("Camera initialize"), pclCameraInit);

    // Information stays usable while the settings are disabled: its button is not registered.
    pclInformationDialog = new ClInformationDialog(this);
    pclInformationDialog->setObjectName(QStringLiteral("informationDialog"));
    QPushButton* pclDisplayButton = createSettingButton(tr("Display"));
    pclDisplayButton->setObjectName(QStringLiteral("informationButton"));
    addLabeledRow(pclLayout, tr("Information"), pclDisplayButton);

    pclLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));

    for (AbstSettingItemWidget* pclRow : std::initializer_list<AbstSettingItemWidget*> { pclRecLevel,
             pclRecBalance, pclAutoPowerOff, pclVolume, pclNetworkInit, pclFormat, pclCameraInit })
        connectSettingItem(pclRow);
    for (QWidget* pclWidget : std::initializer_list<QWidget*> { pclPhotometry, pclDistortion,
             pclStabilization, pclImageRotation, pclShootingMode, pclBurstInterval, pclIntervalButton,
             pclRecLevel, pclRecBalance, pclAutoPowerOff, pclWifiAutoOff, pclApButton, pclNetworkInit,
             pclRecDuration, pclVolume, pclSyncTime, pclFormat, pclCameraInit })
        addSettingItem(pclWidget);
    for (QWidget* pclWidget : std::initializer_list<QWidget*> {
             pclRecLabel, pclRecLevel, pclRecBalance, pclAutoPowerOffLabel, pclAutoPowerOff })
        addVersionItem(strRecordingSettingsVersion, pclWidget);

    // The preference is shown before the combo is connected, so building the page sends nothing.
    const bool bSyncTime = ClSetting().readValueOrStore(strPrefSyncTime, false).toBool();
    pclSyncTime->setCurrentIndex(bSyncTime ? 0 : 1);
    connect(pclSyncTime, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &ClDetailSettingWidget::slotRecvSettingChangedNotify);

    connect(
        pclIntervalButton, &QPushButton::clicked, this, &ClDetailSettingWidget::slotConfirmIntervalSetting);
    connect(pclApButton, &QPushButton::clicked, this, &ClDetailSettingWidget::slotConfirmApSetting);
    connect(pclDisplayButton, &QPushButton::clicked, this, &ClDetailSettingWidget::slotShowInformation);

    // No dialog outlives the session.
    connect(this, &ClDetailSettingWidget::sigCloseDialog, pclIntervalDialog, &QDialog::reject);
    connect(this, &ClDetailSettingWidget::sigCloseDialog, pclApDialog, &QDialog::reject);
    connect(this, &ClDetailSettingWidget::sigCloseDialog, pclNetworkInitDialog, &QDialog::reject);
    connect(this, &ClDetailSettingWidget::sigCloseDialog, pclFormatDialog, &QDialog::reject);
    connect(this, &ClDetailSettingWidget::sigCloseDialog, pclCameraInitDialog, &QDialog::reject);
    connect(this, &ClDetailSettingWidget::sigCloseDialog, pclInformationDialog, &QDialog::reject);
    connect(pclInformationDialog, &ClInformationDialog::sigRequestUpdate, this,
        &ClDetailSettingWidget::sigRequestUpdate);
}

ClDetailSettingWidget::~ClDetailSettingWidget()
{
    delete pclApDialog;
}

ClSettingItemComboBox* ClDetailSettingWidget::addComboRow(
    QVBoxLayout* pclLayout, const QString& strKey, const ClItems& clItems)
{
    return ClSettingPageWidget::addComboRow(pclLayout, strKey, getSettingLabel(strKey), clItems);
}

QPushButton* ClDetailSettingWidget::createSettingButton(const QString& strText)
{
    auto* pclButton = new QPushButton(strText, this);
    AbstSettingItemWidget::applyRowStyle(pclButton);
    pclButton->setFixedWidth(AbstSettingItemWidget::iRowWidth);
    return pclButton;
}

QString ClDetailSettingWidget::getSettingLabel(const QString& strKey) const
{
    if (strKey == ZkSetting::AE_LIGHT_METERING)
        return tr("Photometry");
    if (strKey == ZkSetting::WARP_CORRECTION)
        return tr("Distortion");
    if (strKey == ZkSetting::STABILIZATION)
        return tr("Stabilization");
    if (strKey == ZkSetting::IMAGE_ROTATION)
        return tr("Image rotation");
    if (strKey == ZkSetting::CAPTURE_MODE)
        return tr("Shooting mode");
    if (strKey == ZkSetting::BURST_PER_SEC)
        return tr("Burst interval");
    if (strKey == ZkSetting::INTERVAL_TIME)
        return tr("Interval time");
    if (strKey == ZkSetting::AUTO_POWER_OFF)
        return tr("Auto power off");
    if (strKey == ZkSetting::REC_AUDIO_LEVEL)
        return tr("Recording level");
    if (strKey == ZkSetting::REC_AUDIO_BALANCE)
        return tr("Recording balance");
    if (strKey == ZkSetting::WIFI_AUTO_POWER_OFF)
        return tr("WiFi auto off");
    if (strKey == ZkSetting::AP_SSID)
        return tr("AP setting");
    if (strKey == ZkSetting::AP_KEY)
        return QObject::tr("key");
    if (strKey == ZkSetting::FACTORY_RESET_NETWORK)
        return tr("Network setting initialize");
    if (strKey == ZkSetting::REC_DURATION)
        return tr("Recording file setting");
    if (strKey == ZkSetting::SPEAKER_VOLUME)
        return tr("Volume");
    if (strKey == ZkSetting::CAMERA_CLOCK)
        return tr("Sync time");
    if (strKey == ZkSetting::FACTORY_RESET_CAM)
        return tr("Camera initialize");
    return QString();
}

void ClDetailSettingWidget::syncCameraClock()
{
    if (pclSyncTime->currentData().toBool())
        sendSettingRequest(ZkSetting::CAMERA_CLOCK, QDateTime::currentDateTime());
}

void ClDetailSettingWidget::applySettings(const ClAllSettings& clSettings)
{
    const QSignalBlocker clBlocker(this);
    for (ClSettingItemComboBox* pclRow : { pclPhotometry, pclDistortion, pclStabilization, pclImageRotation,
             pclShootingMode, pclBurstInterval })
        pclRow->setValue(clSettings.value(pclRow->getKey()));

    const QVariant clInterval = clSettings.value(ZkSetting::INTERVAL_TIME);
    if (clInterval.canConvert<QString>())
        pclIntervalButton->setText(clInterval.toString());
    pclIntervalDialog->setIntervalValue(clInterval);

    for (AbstSettingItemWidget* pclRow : std::initializer_list<AbstSettingItemWidget*> {
             pclRecLevel, pclRecBalance, pclAutoPowerOff, pclWifiAutoOff, pclRecDuration, pclVolume })
        pclRow->setValue(clSettings.value(pclRow->getKey()));

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
        ClSetting().writeValue(strPrefSyncTime, pclSyncTime->currentData().toBool());
        syncCameraClock();
        return;
    }
    ClSettingPageWidget::slotRecvSettingChangedNotify();
}

void ClDetailSettingWidget::slotConfirmApSetting()
{
    if (pclApDialog->exec() != QDialog::Accepted)
        return;
    // Keep what the user confirmed: the chain's later steps must not pick up a later edit.
    strApSsid = pclApDialog->ssid();
    strApKey = pclApDialog->key();
    sendSettingRequest(ZkSetting::AP_SSID, strApSsid);
}

void ClDetailSettingWidget::slotConfirmIntervalSetting()
{
    if (pclIntervalDialog->exec() != QDialog::Accepted)
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
    }
}

void ClDetailSettingWidget::recvErrorResponse(const ZK_CMD& clCmd)
{
    const QUuid clCommand = zkCommand(clCmd);
    if (clCommand == CMD_SET_SETTING) {
        const QString strKey = clCmd.value(ZkKey::PARAM1).toString();
        if (strKey == ZkSetting::CAMERA_CLOCK) {
            showMessageDialog(this, QObject::tr("Failed to %1").arg(tr("Sync time")));
        } else {
            // The last access point step has no row of its own, but its failure means the
            // user's access point change did not take effect: say so.
            const QString strLabel
                = strKey == ZkSetting::WIFI_APPLY_NEW_PARAM ? tr("AP setting") : getSettingLabel(strKey);
            if (!strLabel.isEmpty())
                showMessageDialog(this, QObject::tr("Failed to set %1").arg(strLabel));
        }
    } else if (clCommand == CMD_FORMAT) {
        showMessageDialog(this, QObject::tr("Failed to %1").arg(tr("SD format")));
    }
    ClSettingPageWidget::recvErrorResponse(clCmd);
}
