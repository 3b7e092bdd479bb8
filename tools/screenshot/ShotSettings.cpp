// The settings panel, its pages and its dialogs, as the right column of the main window.

#include "tools/screenshot/Shots.h"

#include "camera/ZkSetting.h"
#include "resources/ClResources.h"
#include "settings/ClInformationDialog.h"
#include "settings/ClSettingApDialog.h"
#include "settings/ClSettingConfirmDialog.h"
#include "settings/ClSettingIntervalDialog.h"
#include "settings/ClSettingWidget.h"
#include "shell/ClDialogHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBox>

namespace {

QString gOutDir;
QString gLang;

QString path(const QString& strName)
{
    return gOutDir + QLatin1Char('/') + gLang + QLatin1Char('-') + strName + QStringLiteral(".png");
}

bool saveNamed(QWidget* pclWidget, const QString& strName)
{
    return shots::save(pclWidget, path(strName));
}

bool showAndSave(QWidget* pclWidget, const QString& strName)
{
    pclWidget->show();
    const bool bOk = saveNamed(pclWidget, strName);
    pclWidget->hide();
    return bOk;
}

ClAllSettings snapshot()
{
    return {
        { ZkSetting::ANGLE_DEG, QStringLiteral("170") },
        { ZkSetting::WHITE_BALANCE, QStringLiteral("fluorescent") },
        { ZkSetting::SELF_TIMER, QStringLiteral("10sec") },
        { ZkSetting::WDR, QStringLiteral("on") },
        { ZkSetting::AE_EXPOSURE_LEVEL, QStringLiteral("-1") },
        { ZkSetting::VIDEO_RESOLUTION, QStringLiteral("1280x720 120P 16:9") },
        { ZkSetting::AE_LIGHT_METERING, QStringLiteral("center") },
        { ZkSetting::WARP_CORRECTION, QStringLiteral("on") },
        { ZkSetting::STABILIZATION, QStringLiteral("on") },
        { ZkSetting::IMAGE_ROTATION, QStringLiteral("off") },
        { ZkSetting::CAPTURE_MODE, QStringLiteral("interval") },
        { ZkSetting::BURST_PER_SEC, QStringLiteral("60") },
        { ZkSetting::INTERVAL_TIME, QStringLiteral("00:01:30") },
        { ZkSetting::REC_AUDIO_LEVEL, 10 },
        { ZkSetting::REC_AUDIO_BALANCE, -3 },
        { ZkSetting::AUTO_POWER_OFF, QStringLiteral("300sec") },
        { ZkSetting::WIFI_AUTO_POWER_OFF, QStringLiteral("enable") },
        { ZkSetting::REC_DURATION, QStringLiteral("30min") },
        { ZkSetting::SPEAKER_VOLUME, 64 },
        { ZkSetting::GET_VERSION, QStringLiteral("01.00.0009") },
        { ZkSetting::CAMERA_CLOCK, QDateTime::currentDateTime() },
    };
}

} // namespace

bool shots::settings(const QString& strDir, const QString& strLang)
{
    gOutDir = strDir;
    gLang = strLang;
    bool bOk = true;

    // The panel as the right column of the 1218 x 620 main window.
    QWidget clWindow;
    clWindow.setFixedSize(1218, 620);
    auto* pclLayout = new QHBoxLayout(&clWindow);
    pclLayout->setContentsMargins(0, 0, 0, 0);
    pclLayout->setSpacing(0);
    auto* pclLive = new QLabel(&clWindow);
    pclLive->setStyleSheet(QStringLiteral("background: #202020;"));
    pclLive->setMaximumSize(848, 620);
    pclLayout->addWidget(pclLive);
    auto* pclPanel = new ClSettingWidget(&clWindow);
    pclLayout->addWidget(pclPanel);
    clWindow.show();
    bOk &= saveNamed(&clWindow, QStringLiteral("window-connect"));
    bOk &= saveNamed(pclPanel, QStringLiteral("panel-connect"));

    pclPanel->applySettings(snapshot());
    pclPanel->showSettingPage(1);
    bOk &= saveNamed(pclPanel, QStringLiteral("panel-simple"));
    // Moved there by Tab: the white balance box with the keyboard focus ring.
    clWindow.activateWindow();
    QApplication::setActiveWindow(&clWindow);
    for (int i = 0; i < 12
         && QApplication::focusWidget()
             != pclPanel->findChild<QWidget*>(QStringLiteral("zk_white_balance"))->findChild<QComboBox*>();
         ++i) {
        QKeyEvent clTab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(
            QApplication::focusWidget() ? QApplication::focusWidget() : &clWindow, &clTab);
    }
    bOk &= saveNamed(pclPanel, QStringLiteral("panel-keyboard-focus"));
    if (QApplication::focusWidget())
        QApplication::focusWidget()->clearFocus();
    auto* pclToolBox = pclPanel->findChild<QToolBox*>();
    pclToolBox->setCurrentIndex(1);
    bOk &= saveNamed(pclPanel, QStringLiteral("panel-detail-top"));
    // Scroll the detail page to its end, as the user would.
    for (QScrollArea* pclArea : pclToolBox->findChildren<QScrollArea*>()) {
        if (pclArea->isVisible())
            pclArea->verticalScrollBar()->setValue(pclArea->verticalScrollBar()->maximum());
    }
    bOk &= saveNamed(pclPanel, QStringLiteral("panel-detail-bottom"));
    pclPanel->slotSetSettingEnable(false);
    bOk &= saveNamed(pclPanel, QStringLiteral("panel-detail-disabled"));
    pclToolBox->setCurrentIndex(0);
    bOk &= saveNamed(pclPanel, QStringLiteral("panel-simple-disabled"));
    pclPanel->slotSetSettingEnable(true);

    // The whole detail page at once, outside the tool box.
    {
        pclToolBox->setCurrentIndex(1);
        QWidget* pclDetail = pclPanel->findChild<QWidget*>(QStringLiteral("detailSetting"));
        QPixmap clFull(pclDetail->size());
        pclDetail->render(&clFull);
        bOk &= clFull.save(path(QStringLiteral("detail-full")));
    }

    // The detail page's own confirmations, as the user meets them.
    bOk &= showAndSave(pclPanel->findChild<QDialog*>(QStringLiteral("formatDialog")),
        QStringLiteral("dialog-confirm-format"));
    bOk &= showAndSave(pclPanel->findChild<QDialog*>(QStringLiteral("networkInitializeDialog")),
        QStringLiteral("dialog-confirm-network"));

    ClSettingApDialog clAp(QCoreApplication::translate("ClDetailSettingWidget", "AP setting"), nullptr);
    clAp.findChild<QLineEdit*>(QStringLiteral("ssidEdit"))->setText(QStringLiteral("KD4_camera"));
    clAp.findChild<QLineEdit*>(QStringLiteral("keyEdit"))->setText(QStringLiteral("secret_key_123"));
    bOk &= showAndSave(&clAp, QStringLiteral("dialog-ap"));

    ClSettingIntervalDialog clInterval(
        QCoreApplication::translate("ClDetailSettingWidget", "Interval time"), nullptr);
    clInterval.setIntervalValue(QStringLiteral("00:01:30"));
    bOk &= showAndSave(&clInterval, QStringLiteral("dialog-interval"));

    ClInformationDialog clInfo(nullptr);
    clInfo.setFwVersion(QStringLiteral("01.00.0009"));
    bOk &= showAndSave(&clInfo, QStringLiteral("dialog-information"));

    // The update page's question before anything is downloaded.
    bOk &= saveModal(
        [pclPanel] {
            showQuestionDialog(pclPanel,
                QObject::tr(
                    "Version %1 is available (this is %2).\nDo you want to download and install it now?")
                    .arg(QStringLiteral("1.2.0"), QStringLiteral("1.1.0")));
        },
        path(QStringLiteral("dialog-question")));

    // The shared failure message, as the detail page shows it.
    return saveModal(
               [pclPanel] {
                   showMessageDialog(pclPanel,
                       QObject::tr("Failed to set %1")
                           .arg(QCoreApplication::translate("ClDetailSettingWidget", "Recording balance")));
               },
               path(QStringLiteral("dialog-message")))
        && bOk;
}
