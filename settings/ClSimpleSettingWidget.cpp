#include "ClSimpleSettingWidget.h"

#include "ClCommands.h"
#include "ClDialogHelpers.h"
#include "ClSettingItemComboBox.h"
#include "GridKind.h"
#include "ZkResolution.h"
#include "ZkSetting.h"

#include <QSignalBlocker>
#include <QSpacerItem>
#include <QVBoxLayout>

ClSimpleSettingWidget::ClSimpleSettingWidget(QWidget* pclParent)
    : ClSettingPageWidget(pclParent)
{
    auto* pclLayout = new QVBoxLayout(this);

    // The grid row has no key: it is drawn by the live view and never reaches the camera.
    pclGrid = addComboRow(pclLayout, QString(), tr("Grid"),
        { { tr("Single display"), GridKind::NONE }, { tr("Quad display"), GridKind::DIV4 },
            { tr("3 x 3 display"), GridKind::DIV9 }, { tr("Diagonal display"), GridKind::DIAGONAL } });
    pclGrid->setObjectName(QStringLiteral("grid"));
    // The camera's angle values are shown as the angles users know from the box.
    pclAngle = addComboRow(pclLayout, ZkSetting::ANGLE_DEG, getSettingLabel(ZkSetting::ANGLE_DEG),
        { { tr("185"), QStringLiteral("170") }, { tr("165"), QStringLiteral("145") },
            { tr("135"), QStringLiteral("120") } });
    pclWhiteBalance
        = addComboRow(pclLayout, ZkSetting::WHITE_BALANCE, getSettingLabel(ZkSetting::WHITE_BALANCE),
            { { tr("Auto"), QStringLiteral("auto") }, { tr("Night"), QStringLiteral("night") },
                { tr("Sunny"), QStringLiteral("daylight") }, { tr("Cloudy"), QStringLiteral("cloudy") },
                { tr("Incandescent light"), QStringLiteral("incandecent") },
                { tr("Fluorescent light"), QStringLiteral("fluorescent") } });
    pclTimer = addComboRow(pclLayout, ZkSetting::SELF_TIMER, getSettingLabel(ZkSetting::SELF_TIMER),
        { { QObject::tr("OFF"), ZkValue::OFF }, { tr("5"), QStringLiteral("5sec") },
            { tr("10"), QStringLiteral("10sec") }, { tr("30"), QStringLiteral("30sec") } });
    pclWdr = addComboRow(pclLayout, ZkSetting::WDR, getSettingLabel(ZkSetting::WDR),
        { { QObject::tr("OFF"), ZkValue::OFF }, { QObject::tr("ON"), ZkValue::ON } });
    pclExposure
        = addComboRow(pclLayout, ZkSetting::AE_EXPOSURE_LEVEL, getSettingLabel(ZkSetting::AE_EXPOSURE_LEVEL),
            { { QStringLiteral("+2"), QStringLiteral("2") }, { QStringLiteral("+1"), QStringLiteral("1") },
                { QStringLiteral("0"), QStringLiteral("0") }, { QStringLiteral("-1"), QStringLiteral("-1") },
                { QStringLiteral("-2"), QStringLiteral("-2") } });
    pclResolution = addComboRow(pclLayout, ZkSetting::VIDEO_RESOLUTION,
        getSettingLabel(ZkSetting::VIDEO_RESOLUTION),
        { { tr("1080p 60fps"), ZkResolution::RES_1080P_60 },
            { tr("1080p 30fps"), ZkResolution::RES_1080P_30 },
            { tr("720p 120fps"), ZkResolution::RES_720P_120 },
            { tr("720p 60fps"), ZkResolution::RES_720P_60 }, { tr("720p 30fps"), ZkResolution::RES_720P_30 },
            { tr("WVGA 240fps"), ZkResolution::RES_WVGA_240 } });
    pclLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));

    // The grid row is left out, so it stays usable while the camera settings are disabled.
    for (QWidget* pclRow : { pclAngle, pclWhiteBalance, pclTimer, pclWdr, pclExposure, pclResolution })
        addSettingItem(pclRow);
}

void ClSimpleSettingWidget::resetGrid()
{
    pclGrid->setValue(GridKind::NONE);
}

QString ClSimpleSettingWidget::getSettingLabel(const QString& strKey) const
{
    if (strKey == ZkSetting::ANGLE_DEG)
        return tr("Angle");
    if (strKey == ZkSetting::WHITE_BALANCE)
        return tr("WB");
    if (strKey == ZkSetting::SELF_TIMER)
        return tr("Timer");
    if (strKey == ZkSetting::WDR)
        return tr("WDR");
    if (strKey == ZkSetting::AE_EXPOSURE_LEVEL)
        return tr("Exposure");
    if (strKey == ZkSetting::VIDEO_RESOLUTION)
        return tr("Resolution");
    return QString();
}

void ClSimpleSettingWidget::applySettings(const ClAllSettings& clSettings)
{
    // Values filled in here must not go back to the camera: the rows still report the change,
    // but the page's blocked signals keep any command from leaving.
    {
        const QSignalBlocker clBlocker(this);
        for (ClSettingItemComboBox* pclRow :
            { pclAngle, pclWhiteBalance, pclTimer, pclWdr, pclExposure, pclResolution })
            pclRow->setValue(clSettings.value(pclRow->getKey()));
    }

    const QVariant clResolution = clSettings.value(ZkSetting::VIDEO_RESOLUTION);
    if (clResolution.canConvert<QString>())
        emit sigChangeRecordingResolurion(clResolution.toString());
}

void ClSimpleSettingWidget::slotRecvSettingChangedNotify()
{
    QObject* pclSender = sender();
    if (pclSender == pclGrid) {
        emit sigChangeGridSetting(pclGrid->getValue().toString());
        return;
    }
    if (pclSender == pclResolution) {
        const QVariant clValue = pclResolution->getValue();
        if (clValue.canConvert<QString>())
            emit sigChangeRecordingResolurion(clValue.toString());
    }
    ClSettingPageWidget::slotRecvSettingChangedNotify();
}

void ClSimpleSettingWidget::recvSuccessResponse(const ZK_CMD& clCmd)
{
    // A new resolution can change other settings on the camera: read them all again.
    if (zkCommand(clCmd) == CMD_SET_SETTING
        && clCmd.value(ZkKey::PARAM1).toString() == ZkSetting::VIDEO_RESOLUTION)
        emit sigRequestGetSettings();
}

void ClSimpleSettingWidget::recvErrorResponse(const ZK_CMD& clCmd)
{
    if (zkCommand(clCmd) == CMD_SET_SETTING) {
        const QString strLabel = getSettingLabel(clCmd.value(ZkKey::PARAM1).toString());
        if (!strLabel.isEmpty())
            showMessageDialog(this, QObject::tr("Failed to set %1").arg(strLabel));
    }
    ClSettingPageWidget::recvErrorResponse(clCmd);
}
