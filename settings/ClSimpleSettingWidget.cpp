#include "ClSimpleSettingWidget.h"

#include "ClCommands.h"
#include "ClDialogHelpers.h"
#include "ClSettingItemComboBox.h"

#include <QSignalBlocker>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

const QString strKeyAngle = QStringLiteral("zk_angle_deg");
const QString strKeyWhiteBalance = QStringLiteral("zk_white_balance");
const QString strKeyTimer = QStringLiteral("zk_self_timer");
const QString strKeyWdr = QStringLiteral("zk_wdr");
const QString strKeyExposure = QStringLiteral("zk_ae_exposure_level");
const QString strKeyResolution = QStringLiteral("video_resolution");

} // namespace

ClSimpleSettingWidget::ClSimpleSettingWidget(QWidget* pclParent)
    : ClSettingPageWidget(pclParent)
{
    auto* pclLayout = new QVBoxLayout(this);

    // The grid row has no key: it is drawn by the live view and never reaches the camera.
    pclGrid = addComboRow(pclLayout, QString(), tr("Grid"),
        { { tr("Single display"), QStringLiteral("grid_none") },
            { tr("Quad display"), QStringLiteral("grid_div4") },
            { tr("3 x 3 display"), QStringLiteral("grid_div9") },
            { tr("Diagonal display"), QStringLiteral("grid_diagonal") } });
    pclGrid->setObjectName(QStringLiteral("grid"));
    // The camera's angle values are shown as the angles users know from the box.
    pclAngle = addComboRow(pclLayout, strKeyAngle, getSettingLabel(strKeyAngle),
        { { tr("185"), QStringLiteral("170") }, { tr("165"), QStringLiteral("145") },
            { tr("135"), QStringLiteral("120") } });
    pclWhiteBalance = addComboRow(pclLayout, strKeyWhiteBalance, getSettingLabel(strKeyWhiteBalance),
        { { tr("Auto"), QStringLiteral("auto") }, { tr("Night"), QStringLiteral("night") },
            { tr("Sunny"), QStringLiteral("daylight") }, { tr("Cloudy"), QStringLiteral("cloudy") },
            { tr("Incandescent light"), QStringLiteral("incandecent") },
            { tr("Fluorescent light"), QStringLiteral("fluorescent") } });
    pclTimer = addComboRow(pclLayout, strKeyTimer, getSettingLabel(strKeyTimer),
        { { QObject::tr("OFF"), QStringLiteral("off") }, { tr("5"), QStringLiteral("5sec") },
            { tr("10"), QStringLiteral("10sec") }, { tr("30"), QStringLiteral("30sec") } });
    pclWdr = addComboRow(pclLayout, strKeyWdr, getSettingLabel(strKeyWdr),
        { { QObject::tr("OFF"), QStringLiteral("off") }, { QObject::tr("ON"), QStringLiteral("on") } });
    pclExposure = addComboRow(pclLayout, strKeyExposure, getSettingLabel(strKeyExposure),
        { { QStringLiteral("+2"), QStringLiteral("2") }, { QStringLiteral("+1"), QStringLiteral("1") },
            { QStringLiteral("0"), QStringLiteral("0") }, { QStringLiteral("-1"), QStringLiteral("-1") },
            { QStringLiteral("-2"), QStringLiteral("-2") } });
    pclResolution = addComboRow(pclLayout, strKeyResolution, getSettingLabel(strKeyResolution),
        { { tr("1080p 60fps"), QStringLiteral("1920x1080 60P 16:9") },
            { tr("1080p 30fps"), QStringLiteral("1920x1080 30P 16:9") },
            { tr("720p 120fps"), QStringLiteral("1280x720 120P 16:9") },
            { tr("720p 60fps"), QStringLiteral("1280x720 60P 16:9") },
            { tr("720p 30fps"), QStringLiteral("1280x720 30P 16:9") },
            { tr("WVGA 240fps"), QStringLiteral("848x480 240P 16:9") } });
    pclLayout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));

    // The grid row is left out, so it stays usable while the camera settings are disabled.
    for (QWidget* pclRow : { pclAngle, pclWhiteBalance, pclTimer, pclWdr, pclExposure, pclResolution })
        addSettingItem(pclRow);
}

void ClSimpleSettingWidget::resetGrid()
{
    pclGrid->setValue(QStringLiteral("grid_none"));
}

QString ClSimpleSettingWidget::getSettingLabel(const QString& strKey) const
{
    if (strKey == strKeyAngle)
        return tr("Angle");
    if (strKey == strKeyWhiteBalance)
        return tr("WB");
    if (strKey == strKeyTimer)
        return tr("Timer");
    if (strKey == strKeyWdr)
        return tr("WDR");
    if (strKey == strKeyExposure)
        return tr("Exposure");
    if (strKey == strKeyResolution)
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

    const QVariant clResolution = clSettings.value(strKeyResolution);
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
    if (zkCommand(clCmd) == CMD_SET_SETTING && clCmd.value(ZkKey::PARAM1).toString() == strKeyResolution)
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
