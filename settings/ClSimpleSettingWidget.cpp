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

#include <iterator>

const ClSimpleSettingWidget::stRow ClSimpleSettingWidget::ROWS[] = {
    // The grid has no key: it is drawn by the live view and never reaches the camera. It is not
    // registered, so it stays usable while the camera settings are disabled.
    { Control::Combo, member<&ClSimpleSettingWidget::pclGrid>, QString(), QT_TR_NOOP("Grid"),
        { { Text::Page, QT_TR_NOOP("Single display"), GridKind::NONE },
            { Text::Page, QT_TR_NOOP("Quad display"), GridKind::DIV4 },
            { Text::Page, QT_TR_NOOP("3 x 3 display"), GridKind::DIV9 },
            { Text::Page, QT_TR_NOOP("Diagonal display"), GridKind::DIAGONAL } },
        nullptr, nullptr, 0, 0, {}, "grid", nullptr, nullptr, false },
    // The camera's angle values are shown as the angles users know from the box.
    { Control::Combo, member<&ClSimpleSettingWidget::pclAngle>, ZkSetting::ANGLE_DEG, QT_TR_NOOP("Angle"),
        { { Text::Page, QT_TR_NOOP("185"), QStringLiteral("170") },
            { Text::Page, QT_TR_NOOP("165"), QStringLiteral("145") },
            { Text::Page, QT_TR_NOOP("135"), QStringLiteral("120") } } },
    { Control::Combo, member<&ClSimpleSettingWidget::pclWhiteBalance>, ZkSetting::WHITE_BALANCE,
        QT_TR_NOOP("WB"),
        { { Text::Page, QT_TR_NOOP("Auto"), QStringLiteral("auto") },
            { Text::Page, QT_TR_NOOP("Night"), QStringLiteral("night") },
            { Text::Page, QT_TR_NOOP("Sunny"), QStringLiteral("daylight") },
            { Text::Page, QT_TR_NOOP("Cloudy"), QStringLiteral("cloudy") },
            { Text::Page, QT_TR_NOOP("Incandescent light"), QStringLiteral("incandecent") },
            { Text::Page, QT_TR_NOOP("Fluorescent light"), QStringLiteral("fluorescent") } } },
    { Control::Combo, member<&ClSimpleSettingWidget::pclTimer>, ZkSetting::SELF_TIMER, QT_TR_NOOP("Timer"),
        { { Text::General, QT_TRANSLATE_NOOP("QObject", "OFF"), ZkValue::OFF },
            { Text::Page, QT_TR_NOOP("5"), QStringLiteral("5sec") },
            { Text::Page, QT_TR_NOOP("10"), QStringLiteral("10sec") },
            { Text::Page, QT_TR_NOOP("30"), QStringLiteral("30sec") } } },
    { Control::Combo, member<&ClSimpleSettingWidget::pclWdr>, ZkSetting::WDR, QT_TR_NOOP("WDR"),
        offOn(ZkValue::OFF, ZkValue::ON) },
    { Control::Combo, member<&ClSimpleSettingWidget::pclExposure>, ZkSetting::AE_EXPOSURE_LEVEL,
        QT_TR_NOOP("Exposure"),
        { { Text::Plain, "+2", QStringLiteral("2") }, { Text::Plain, "+1", QStringLiteral("1") },
            { Text::Plain, "0", QStringLiteral("0") }, { Text::Plain, "-1", QStringLiteral("-1") },
            { Text::Plain, "-2", QStringLiteral("-2") } } },
    { Control::Combo, member<&ClSimpleSettingWidget::pclResolution>, ZkSetting::VIDEO_RESOLUTION,
        QT_TR_NOOP("Resolution"),
        { { Text::Page, QT_TR_NOOP("1080p 60fps"), ZkResolution::RES_1080P_60 },
            { Text::Page, QT_TR_NOOP("1080p 30fps"), ZkResolution::RES_1080P_30 },
            { Text::Page, QT_TR_NOOP("720p 120fps"), ZkResolution::RES_720P_120 },
            { Text::Page, QT_TR_NOOP("720p 60fps"), ZkResolution::RES_720P_60 },
            { Text::Page, QT_TR_NOOP("720p 30fps"), ZkResolution::RES_720P_30 },
            { Text::Page, QT_TR_NOOP("WVGA 240fps"), ZkResolution::RES_WVGA_240 } } },
};

ClSimpleSettingWidget::ClSimpleSettingWidget(QWidget* pclParent)
    : ClSettingPageWidget(pclParent)
{
    auto* pclLayout = new QVBoxLayout(this);
    buildRows(pclLayout, ROWS, std::size(ROWS), staticMetaObject.className());
    pclLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));
}

void ClSimpleSettingWidget::resetGrid()
{
    pclGrid->setValue(GridKind::NONE);
}

QString ClSimpleSettingWidget::getSettingLabel(const QString& strKey) const
{
    return rowLabel(ROWS, std::size(ROWS), staticMetaObject.className(), strKey);
}

void ClSimpleSettingWidget::applySettings(const ClAllSettings& clSettings)
{
    // Values filled in here must not go back to the camera: the rows still report the change,
    // but the page's blocked signals keep any command from leaving.
    {
        const QSignalBlocker clBlocker(this);
        for (const stRow& clRow : ROWS)
            fillRow(clRow, clSettings);
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
