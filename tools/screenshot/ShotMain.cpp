// The main window connected to the camera simulator in each of its looks: normal, every grid,
// recording, high-speed notice, busy ring, connect page, update page (its check finds nothing on the
// update server's loopback address).

#include "tools/screenshot/Shots.h"

#include "app/ClMainContentWidget.h"
#include "app/ClMainWidget.h"
#include "app/ClStartup.h"
#include "camera/ClCurlLibrary.h"
#include "camera/ZkSetting.h"
#include "settings/ClSettingItemComboBox.h"
#include "settings/ClSettingWidget.h"
#include "tools/camsim/CamSim.h"
#include "updater/ClUpdateWidget.h"

#include <QComboBox>
#include <QDir>
#include <QStackedLayout>
#include <QTest>

namespace {

// Selects an entry by its wire value, as the row does when the user picks it.
void choose(ClSettingWidget* pclPanel, const QString& strRow, const QString& strWire)
{
    QComboBox* pclCombo = pclPanel->findChild<ClSettingItemComboBox*>(strRow)->comboBox();
    pclCombo->setCurrentIndex(pclCombo->findData(strWire));
}

bool settle(camsim::CamSim& clSim, int iFrames = 5)
{
    const std::uint64_t llStart = clSim.framesServed();
    return clSim.waitFor([&] { return clSim.framesServed() >= llStart + std::uint64_t(iFrames); }, 15000);
}

} // namespace

bool shots::mainWindow(const QString& strFolder, const QString& strLang)
{
    ClCurlLibrary::load();
    bool bOk = true;
    const auto shoot = [&](QWidget* pclWindow, const QString& strName) {
        bOk &= save(pclWindow, QDir(strFolder).filePath(strName + QStringLiteral(".png")));
    };

    camsim::CamSim clSim;
    if (!clSim.start())
        return false;
    clSim.setBattery(45);
    qputenv("KD4TOOL_CAMERA_ADDRESS", QByteArray::fromStdString(clSim.address()));

    std::unique_ptr<ClMainWidget> pclWindow = ClStartup::createMainWindow();
    pclWindow->show();
    ClMainContentWidget* pclContent = pclWindow->contentWidget();
    ClSettingWidget* pclPanel = pclContent->settingWidget();
    if (!settle(clSim, 10))
        return false;
    QTest::qWait(300);
    shoot(pclWindow.get(), strLang + QStringLiteral("-normal"));

    for (const char* pcGrid : { "grid_div4", "grid_div9", "grid_diagonal" }) {
        choose(pclPanel, QStringLiteral("grid"), QLatin1String(pcGrid));
        settle(clSim, 2);
        shoot(pclWindow.get(), strLang + QLatin1Char('-') + QLatin1String(pcGrid));
    }
    choose(pclPanel, QStringLiteral("grid"), QStringLiteral("grid_none"));

    // A set the camera takes its time with: the busy ring turns meanwhile.
    clSim.setFault(2, camsim::Fault::delay(2000, 1));
    choose(pclPanel, ZkSetting::WHITE_BALANCE, QStringLiteral("cloudy"));
    QTest::qWait(800);
    shoot(pclWindow.get(), strLang + QStringLiteral("-busy"));
    (void)QTest::qWaitFor(
        [&] { return clSim.setting(ZkSetting::WHITE_BALANCE.toStdString()) == "cloudy"; }, 10000);
    settle(clSim);

    clSim.startRecording();
    clSim.setAcConnected(true);
    QTest::qWait(1500);
    settle(clSim);
    shoot(pclWindow.get(), strLang + QStringLiteral("-recording"));
    clSim.stopRecording();
    QTest::qWait(1000);

    choose(pclPanel, ZkSetting::VIDEO_RESOLUTION, QStringLiteral("848x480 240P 16:9"));
    (void)QTest::qWaitFor(
        [&] { return clSim.setting(ZkSetting::VIDEO_RESOLUTION.toStdString()) == "848x480 240P 16:9"; },
        10000);
    settle(clSim);
    clSim.startRecording();
    QTest::qWait(2000);
    shoot(pclWindow.get(), strLang + QStringLiteral("-highspeed"));
    clSim.stopRecording();
    settle(clSim);

    // Frames come but none decodes: the picture gives way to the notice.
    camsim::FrameFault clBroken;
    clBroken.kind = camsim::FrameFault::Kind::BrokenJpeg;
    clSim.setFrameFault(clBroken);
    QTest::qWait(2000);
    shoot(pclWindow.get(), strLang + QStringLiteral("-stalled"));
    clSim.clearFaults();
    settle(clSim);

    // The camera goes away: back to the connect page, which says so.
    clSim.stop();
    (void)QTest::qWaitFor(
        [&] { return qobject_cast<QStackedLayout*>(pclPanel->layout())->currentIndex() == 0; }, 20000);
    QTest::qWait(300);
    shoot(pclWindow.get(), strLang + QStringLiteral("-disconnected"));

    // The update page, after its check has reported (nothing answers on the update address).
    QMetaObject::invokeMethod(pclContent, "slotSetPage", Q_ARG(int, 1));
    QTest::qWait(300);
    shoot(pclWindow.get(), strLang + QStringLiteral("-update"));
    return bOk;
}
