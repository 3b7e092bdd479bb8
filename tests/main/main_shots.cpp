// Not a test: renders the main window connected to the camera simulator in each of its looks
// (normal, every grid, recording, high-speed notice, busy ring, connect page, update page) to PNG
// files, for a look by eye. Usage: main_shots <folder> [en|ja]
// Run it offscreen or under Xvfb, with KD4TOOL_UPDATE_URL pointing at loopback.

#include "CamSim.h"
#include "ClCurlLibrary.h"
#include "ClMainContentWidget.h"
#include "ClMainWidget.h"
#include "ClSettingItemComboBox.h"
#include "ClSettingWidget.h"
#include "ClStartup.h"
#include "ClUpdateWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QTest>
#include <QTextStream>

namespace {

QString strFolder;

void shoot(QWidget* pclWindow, const QString& strName)
{
    const QString strPath = QDir(strFolder).filePath(strName + QStringLiteral(".png"));
    if (!pclWindow->grab().save(strPath))
        QTextStream(stderr) << "could not save " << strPath << "\n";
    else
        QTextStream(stdout) << strPath << "\n";
}

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

int main(int argc, char* argv[])
{
    QApplication clApp(argc, argv);
    const QStringList clArgs = QCoreApplication::arguments();
    strFolder = clArgs.value(1, QStringLiteral("."));
    const QString strLang = clArgs.value(2, QStringLiteral("en"));
    QDir().mkpath(strFolder);

    QStandardPaths::setTestModeEnabled(true);
    ClStartup::installStyle();
    ClStartup::registerResources();
    ClStartup::loadTranslations(strLang);
    ClStartup::setAppearance();
    ClStartup::setIdentity();
    ClCurlLibrary::load();

    camsim::CamSim clSim;
    if (!clSim.start())
        return 1;
    clSim.setBattery(45);
    qputenv("KD4TOOL_CAMERA_ADDRESS", QByteArray::fromStdString(clSim.address()));

    std::unique_ptr<ClMainWidget> pclWindow = ClStartup::createMainWindow();
    pclWindow->show();
    ClMainContentWidget* pclContent = pclWindow->contentWidget();
    ClSettingWidget* pclPanel = pclContent->settingWidget();
    if (!settle(clSim, 10))
        return 1;
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
    choose(pclPanel, QStringLiteral("zk_white_balance"), QStringLiteral("cloudy"));
    QTest::qWait(800);
    shoot(pclWindow.get(), strLang + QStringLiteral("-busy"));
    (void)QTest::qWaitFor([&] { return clSim.setting("zk_white_balance") == "cloudy"; }, 10000);
    settle(clSim);

    clSim.startRecording();
    clSim.setAcConnected(true);
    QTest::qWait(1500);
    settle(clSim);
    shoot(pclWindow.get(), strLang + QStringLiteral("-recording"));
    clSim.stopRecording();
    QTest::qWait(1000);

    choose(pclPanel, QStringLiteral("video_resolution"), QStringLiteral("848x480 240P 16:9"));
    (void)QTest::qWaitFor([&] { return clSim.setting("video_resolution") == "848x480 240P 16:9"; }, 10000);
    settle(clSim);
    clSim.startRecording();
    QTest::qWait(2000);
    shoot(pclWindow.get(), strLang + QStringLiteral("-highspeed"));
    clSim.stopRecording();
    settle(clSim);

    // The camera goes away: back to the connect page.
    clSim.stop();
    (void)QTest::qWaitFor(
        [&] { return qobject_cast<QStackedLayout*>(pclPanel->layout())->currentIndex() == 0; }, 20000);
    QTest::qWait(300);
    shoot(pclWindow.get(), strLang + QStringLiteral("-disconnected"));

    // The update page, after its check has reported (nothing answers on the update address).
    QMetaObject::invokeMethod(pclContent, "slotSetPage", Q_ARG(int, 1));
    QTest::qWait(300);
    shoot(pclWindow.get(), strLang + QStringLiteral("-update"));
    return 0;
}
