#include "settings/ClSimpleSettingWidget.h"

#include "camera/ClCommands.h"
#include "camera/ZkSetting.h"
#include "settings/ClSettingItemComboBox.h"
#include "shell/ClDialogHelpers.h"
#include "shell/GridKind.h"

#include <QSignalBlocker>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <iterator>

// The camera settings' entries are the camera's vocabulary (ZkVocabulary).
const ClSimpleSettingWidget::stRow ClSimpleSettingWidget::ROWS[] = {
    // The grid has no key: it is drawn by the live view and never reaches the camera. It is not
    // registered, so it stays usable while the camera settings are disabled.
    { Control::Combo, member<&ClSimpleSettingWidget::pclGrid>, QString(), QT_TR_NOOP("Grid"),
        { { GridKind::NONE, "ClSimpleSettingWidget",
              QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Single display") },
            { GridKind::DIV4, "ClSimpleSettingWidget",
                QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Quad display") },
            { GridKind::DIV9, "ClSimpleSettingWidget",
                QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "3 x 3 display") },
            { GridKind::DIAGONAL, "ClSimpleSettingWidget",
                QT_TRANSLATE_NOOP("ClSimpleSettingWidget", "Diagonal display") } },
        nullptr, nullptr, {}, "grid", nullptr, nullptr, false },
    { Control::Combo, member<&ClSimpleSettingWidget::pclAngle>, ZkSetting::ANGLE_DEG, QT_TR_NOOP("Angle") },
    { Control::Combo, member<&ClSimpleSettingWidget::pclWhiteBalance>, ZkSetting::WHITE_BALANCE,
        QT_TR_NOOP("WB") },
    { Control::Combo, member<&ClSimpleSettingWidget::pclTimer>, ZkSetting::SELF_TIMER, QT_TR_NOOP("Timer") },
    { Control::Combo, member<&ClSimpleSettingWidget::pclWdr>, ZkSetting::WDR, QT_TR_NOOP("WDR") },
    { Control::Combo, member<&ClSimpleSettingWidget::pclExposure>, ZkSetting::AE_EXPOSURE_LEVEL,
        QT_TR_NOOP("Exposure") },
    { Control::Combo, member<&ClSimpleSettingWidget::pclResolution>, ZkSetting::VIDEO_RESOLUTION,
        QT_TR_NOOP("Resolution") },
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
