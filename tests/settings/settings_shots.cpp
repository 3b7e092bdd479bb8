// Renders the settings panel, its pages and its dialogs in one language to PNG files, for looking
// at by eye: settings_shots <en|ja> <output folder>. Not a test; built on demand.

#include "ClBasicStyle.h"
#include "ClDialogHelpers.h"
#include "ClInformationDialog.h"
#include "ClResources.h"
#include "ClSettingApDialog.h"
#include "ClSettingConfirmDialog.h"
#include "ClSettingIntervalDialog.h"
#include "ClSettingWidget.h"
#include "ClSettingsIdentity.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBox>
#include <QTranslator>

namespace {

QString gOutDir;
QString gLang;

void save(QWidget* pclWidget, const QString& strName)
{
    QApplication::processEvents();
    const QString strPath
        = gOutDir + QLatin1Char('/') + gLang + QLatin1Char('-') + strName + QStringLiteral(".png");
    if (!pclWidget->grab().save(strPath))
        qWarning("could not write %s", qPrintable(strPath));
}

void showAndSave(QWidget* pclWidget, const QString& strName)
{
    pclWidget->show();
    QApplication::processEvents();
    save(pclWidget, strName);
    pclWidget->hide();
}

ClAllSettings snapshot()
{
    return {
        { QStringLiteral("zk_angle_deg"), QStringLiteral("170") },
        { QStringLiteral("zk_white_balance"), QStringLiteral("fluorescent") },
        { QStringLiteral("zk_self_timer"), QStringLiteral("10sec") },
        { QStringLiteral("zk_wdr"), QStringLiteral("on") },
        { QStringLiteral("zk_ae_exposure_level"), QStringLiteral("-1") },
        { QStringLiteral("video_resolution"), QStringLiteral("1280x720 120P 16:9") },
        { QStringLiteral("zk_ae_light_metering"), QStringLiteral("center") },
        { QStringLiteral("zk_warp_correction"), QStringLiteral("on") },
        { QStringLiteral("zk_stabilization"), QStringLiteral("on") },
        { QStringLiteral("zk_image_rotation"), QStringLiteral("off") },
        { QStringLiteral("zk_capture_mode"), QStringLiteral("interval") },
        { QStringLiteral("zk_burst_per_sec"), QStringLiteral("60") },
        { QStringLiteral("zk_interval_time"), QStringLiteral("00:01:30") },
        { QStringLiteral("zk_rec_audio_level"), 10 },
        { QStringLiteral("zk_rec_audio_balance"), -3 },
        { QStringLiteral("zk_auto_power_off"), QStringLiteral("300sec") },
        { QStringLiteral("zk_wifi_auto_power_off"), QStringLiteral("enable") },
        { QStringLiteral("zk_rec_duration"), QStringLiteral("30min") },
        { QStringLiteral("zk_speaker_volume"), 64 },
        { QStringLiteral("zk_get_version"), QStringLiteral("01.00.0009") },
        { QStringLiteral("camera_clock"), QDateTime::currentDateTime() },
    };
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication clApp(argc, argv);
    QApplication::setStyle(new ClBasicStyle);
    QStandardPaths::setTestModeEnabled(true);
    ClResources::init();
    gLang = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("en");
    gOutDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/tmp/shots-settings");
    QDir().mkpath(gOutDir);

    // The same start-up steps as the program: catalogues, font, names.
    for (const QString& strPath :
        { QStringLiteral(":/lang/%1").arg(gLang), QStringLiteral(":/%1/update").arg(gLang) }) {
        auto* pclTranslator = new QTranslator(&clApp);
        if (pclTranslator->load(strPath))
            QCoreApplication::installTranslator(pclTranslator);
        else
            qWarning("no catalogue %s", qPrintable(strPath));
    }
    QFont clFont;
    if (!QObject::tr("Segoe UI").isEmpty())
        clFont.setFamily(QObject::tr("Segoe UI"));
    clFont.setPixelSize(13);
    QApplication::setFont(clFont);
    clFont.setPixelSize(14);
    QApplication::setFont(clFont, "QLineEdit");
    QCoreApplication::setApplicationName(QObject::tr("KD4Tool"));
    QCoreApplication::setApplicationVersion(QStringLiteral("01.00.005"));
    ClSettingsIdentity::setOrganizationName(QStringLiteral("Tavik"));
    ClSettingsIdentity::setApplicationName(QStringLiteral("VexaAPPforPC"));

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
    QApplication::processEvents();
    save(&clWindow, QStringLiteral("window-connect"));
    save(pclPanel, QStringLiteral("panel-connect"));

    pclPanel->applySettings(snapshot());
    pclPanel->showSettingPage(1);
    save(pclPanel, QStringLiteral("panel-simple"));
    auto* pclToolBox = pclPanel->findChild<QToolBox*>();
    pclToolBox->setCurrentIndex(1);
    save(pclPanel, QStringLiteral("panel-detail-top"));
    // Scroll the detail page to its end, as the user would.
    for (QScrollArea* pclArea : pclToolBox->findChildren<QScrollArea*>()) {
        if (pclArea->isVisible())
            pclArea->verticalScrollBar()->setValue(pclArea->verticalScrollBar()->maximum());
    }
    save(pclPanel, QStringLiteral("panel-detail-bottom"));
    pclPanel->slotSetSettingEnable(false);
    save(pclPanel, QStringLiteral("panel-detail-disabled"));
    pclToolBox->setCurrentIndex(0);
    save(pclPanel, QStringLiteral("panel-simple-disabled"));
    pclPanel->slotSetSettingEnable(true);

    // The whole detail page at once, outside the tool box.
    {
        pclToolBox->setCurrentIndex(1);
        QWidget* pclDetail = pclPanel->findChild<QWidget*>(QStringLiteral("detailSetting"));
        QPixmap clFull(pclDetail->size());
        pclDetail->render(&clFull);
        clFull.save(gOutDir + QLatin1Char('/') + gLang + QStringLiteral("-detail-full.png"));
    }

    ClSettingConfirmDialog clFormat(
        QCoreApplication::translate("ClDetailSettingWidget", "SD format"), nullptr);
    showAndSave(&clFormat, QStringLiteral("dialog-confirm-format"));
    ClSettingConfirmDialog clNetwork(
        QCoreApplication::translate("ClDetailSettingWidget", "Network setting initialize"), nullptr);
    showAndSave(&clNetwork, QStringLiteral("dialog-confirm-network"));

    ClSettingApDialog clAp(QCoreApplication::translate("ClDetailSettingWidget", "AP setting"), nullptr);
    clAp.findChild<QLineEdit*>(QStringLiteral("ssidEdit"))->setText(QStringLiteral("KD4_camera"));
    clAp.findChild<QLineEdit*>(QStringLiteral("keyEdit"))->setText(QStringLiteral("secret_key_123"));
    showAndSave(&clAp, QStringLiteral("dialog-ap"));

    ClSettingIntervalDialog clInterval(
        QCoreApplication::translate("ClDetailSettingWidget", "Interval time"), nullptr);
    clInterval.setIntervalValue(QStringLiteral("00:01:30"));
    showAndSave(&clInterval, QStringLiteral("dialog-interval"));

    ClInformationDialog clInfo(nullptr);
    clInfo.setFwVersion(QStringLiteral("01.00.0009"));
    showAndSave(&clInfo, QStringLiteral("dialog-information"));

    // The shared failure message, as the detail page shows it.
    QTimer::singleShot(200, [] {
        if (QWidget* pclModal = QApplication::activeModalWidget()) {
            save(pclModal, QStringLiteral("dialog-message"));
            pclModal->close();
        }
    });
    showMessageDialog(pclPanel,
        QObject::tr("Failed to set %1")
            .arg(QCoreApplication::translate("ClDetailSettingWidget", "Recording balance")));
    return 0;
}
