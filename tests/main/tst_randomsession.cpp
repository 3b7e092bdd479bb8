// The assembled main window against the in-process camera simulator, driven through seeded random
// interleavings of what a user does and what the camera does (recordings, notifications, battery,
// faults on messages and frames). After every step the window must be in a state a user can get
// out of:
//   (a) with no session and no update check running, the connect page shows and Connect works;
//   (b) the busy ring turns exactly while a counted request is outstanding;
//   (c) the setting controls are enabled exactly when nothing is outstanding and the camera does
//       not record;
//   (d) no frame is requested while the camera records at a high-speed resolution;
//   (e) every close tells the camera (258) and returns within the 10-second limit;
//   (f) once the faults stop, Connect brings the live picture back within 10 seconds.
// A failure names its seed and the steps so far; KD4_RANDOM_SEED=<seed> replays that run alone.

#include "ClKD4Mgr.h"
#include "ClLiveWidget.h"
#include "ClMainContentWidget.h"
#include "ClMainWidget.h"
#include "ClModalDriver.h"
#include "ClSettingWidget.h"
#include "ClUpdate.h"
#include "ClUpdateWidget.h"
#include "MainTestSupport.h"
#include "SettingsTestSupport.h"
#include "SimSupport.h"
#include "WidgetSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>

#include <random>

using namespace MainTest;

namespace {

constexpr int STEPS_PER_SEED = 24;
constexpr int CLOSE_LIMIT_MS = 10000;
const char* const HIGH_SPEED = "848x480 240P 16:9";

} // namespace

class TestRandomSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void interleavings_keepWindowUsable_data();
    void interleavings_keepWindowUsable();

private:
    void openWindow();
    void closeWindow();
    int pick(int iCount) { return std::uniform_int_distribution<int>(0, iCount - 1)(clRandom); }
    void userStep();
    void cameraStep();
    void settle(int iMs);
    void checkInvariants();
    void recoverAndConnect();
    bool chooseRandomEntry(QComboBox* pclCombo);
    QPushButton* button(const QString& strName) const;
    QString trail() const
    {
        return QStringLiteral("seed %1: %2").arg(uSeed).arg(clSteps.join(QStringLiteral(", ")));
    }

    ClMainContentWidget* content() const { return pclWindow->contentWidget(); }
    ClSettingWidget* panel() const { return content()->settingWidget(); }
    ClKD4Mgr* manager() const { return content()->sessionManager(); }

    std::mt19937 clRandom;
    unsigned uSeed = 0;
    QStringList clSteps;
    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClMainWidget> pclWindow;
    std::unique_ptr<Kd4Test::ClModalDriver> pclDialogs;
};

void TestRandomSession::initTestCase()
{
    initProcess();
}

void TestRandomSession::interleavings_keepWindowUsable_data()
{
    QTest::addColumn<unsigned>("uSeed");
    const QByteArray clReplay = qgetenv("KD4_RANDOM_SEED");
    if (!clReplay.isEmpty()) {
        QTest::newRow(clReplay.constData()) << clReplay.toUInt();
        return;
    }
    for (unsigned uEach : { 1u, 7u, 8u, 10u, 11u, 2024u, 31337u, 424242u })
        QTest::newRow(QByteArray::number(uEach).constData()) << uEach;
}

void TestRandomSession::interleavings_keepWindowUsable()
{
    QFETCH(unsigned, uSeed);
    this->uSeed = uSeed;
    clRandom.seed(uSeed);
    clSteps.clear();
    pclSim = Kd4Test::startSim();
    QVERIFY(pclSim);
    pclDialogs = std::make_unique<Kd4Test::ClModalDriver>();
    openWindow();

    for (int iStep = 0; iStep < STEPS_PER_SEED; ++iStep) {
        if (pick(2) == 0)
            userStep();
        else
            cameraStep();
        if (qEnvironmentVariableIsSet("KD4_RANDOM_VERBOSE"))
            qInfo("%s", qPrintable(trail()));
        settle(100 + pick(400));
        checkInvariants();
        if (QTest::currentTestFailed())
            return;
    }
    recoverAndConnect();
    closeWindow();
    pclDialogs.reset();
    pclSim.reset();
}

void TestRandomSession::openWindow()
{
    pclWindow = std::make_unique<ClMainWidget>();
    QVERIFY(Kd4Test::showExposed(pclWindow.get()));
}

// (e) The window closes like a user closes it: the session is told and the close is quick.
void TestRandomSession::closeWindow()
{
    const bool bHadSession = manager()->isSession();
    const int iStops = pclSim->messageCount(258);
    QElapsedTimer clClock;
    clClock.start();
    pclWindow->close();
    const qint64 llElapsed = clClock.elapsed();
    QVERIFY2(llElapsed <= CLOSE_LIMIT_MS,
        qPrintable(trail() + QStringLiteral(" (close took %1 ms)").arg(llElapsed)));
    if (bHadSession)
        QVERIFY2(pclSim->messageCount(258) > iStops, qPrintable(trail() + QStringLiteral(" (no 258)")));
    pclWindow.reset();
}

QPushButton* TestRandomSession::button(const QString& strName) const
{
    auto* pclWidget = panel()->findChild<QWidget*>(strName);
    auto* pclButton = qobject_cast<QPushButton*>(pclWidget);
    return pclButton || !pclWidget ? pclButton : pclWidget->findChild<QPushButton*>();
}

bool TestRandomSession::chooseRandomEntry(QComboBox* pclCombo)
{
    if (!pclCombo || !pclCombo->isEnabled() || !pclCombo->isVisible() || pclCombo->count() < 2)
        return false;
    int iIndex = pick(pclCombo->count() - 1);
    if (iIndex >= pclCombo->currentIndex())
        ++iIndex;
    return Kd4Test::chooseComboEntry(pclCombo, pclCombo->itemText(iIndex));
}

void TestRandomSession::userStep()
{
    const bool bSettingsShown = panelPage(panel()) == 1 && content()->currentPage() == 0;
    switch (pick(7)) {
    case 0: // Connect
        clSteps << QStringLiteral("connect");
        if (panelPage(panel()) == 0 && connectButton(panel())->isEnabled())
            QTest::mouseClick(connectButton(panel()), Qt::LeftButton);
        break;
    case 1: // a setting of the simple page (the video resolution among them)
    case 2: { // one of the detail page
        const bool bSimple = pick(3) != 0;
        if (!bSettingsShown)
            break;
        Kd4Test::openTab(
            panel(), bSimple ? QStringLiteral("Simple settings") : QStringLiteral("Detail settings"));
        QList<QComboBox*> clCombos = panel()
                                         ->findChild<QWidget*>(bSimple ? QStringLiteral("simpleSetting")
                                                                       : QStringLiteral("detailSetting"))
                                         ->findChildren<QComboBox*>();
        clCombos.erase(std::remove_if(clCombos.begin(), clCombos.end(),
                           [](QComboBox* pclCombo) { return !pclCombo->isVisible(); }),
            clCombos.end());
        if (clCombos.isEmpty())
            break;
        QComboBox* pclCombo = clCombos.at(pick(clCombos.size()));
        clSteps << QStringLiteral("set %1").arg(pclCombo->parentWidget()->objectName());
        chooseRandomEntry(pclCombo);
        break;
    }
    case 3: { // Information, Update, Return to top
        QPushButton* pclInformation = button(QStringLiteral("informationButton"));
        if (!bSettingsShown || !pclInformation || !pclInformation->isEnabled())
            break;
        clSteps << QStringLiteral("update");
        Kd4Test::openTab(panel(), QStringLiteral("Detail settings"));
        pclDialogs->expect(
            [](QDialog* pclDialog) { Kd4Test::clickButton(pclDialog, QStringLiteral("updateButton")); });
        QTest::mouseClick(pclInformation, Qt::LeftButton);
        pclDialogs->clearHandlers();
        ClUpdateWidget* pclUpdatePage = content()->updateWidget();
        QTRY_VERIFY_WITH_TIMEOUT(!pclUpdatePage->updateController()->isBusy(), 20000);
        if (content()->currentPage() == 1)
            QTest::mouseClick(pclUpdatePage->returnButton(), Qt::LeftButton);
        break;
    }
    case 4: { // the access point change
        QPushButton* pclAp = button(QStringLiteral("apButton"));
        if (!bSettingsShown || !pclAp || !pclAp->isEnabled())
            break;
        clSteps << QStringLiteral("access point");
        Kd4Test::openTab(panel(), QStringLiteral("Detail settings"));
        pclDialogs->expect([](QDialog* pclDialog) {
            SettingsTest::typeAccessPoint(pclDialog, QStringLiteral("abc"), QStringLiteral("pass_123"));
            Kd4Test::clickButton(pclDialog, QStringLiteral("okButton"));
        });
        QTest::mouseClick(pclAp, Qt::LeftButton);
        pclDialogs->clearHandlers();
        break;
    }
    case 5: // Sync time
        if (!bSettingsShown)
            break;
        clSteps << QStringLiteral("sync time");
        Kd4Test::openTab(panel(), QStringLiteral("Detail settings"));
        chooseRandomEntry(panel()->findChild<QComboBox*>(QStringLiteral("syncTimeCombo")));
        break;
    default: // close the window and start the program again
        clSteps << QStringLiteral("close");
        closeWindow();
        if (!QTest::currentTestFailed())
            openWindow();
        break;
    }
}

void TestRandomSession::cameraStep()
{
    static const std::int64_t aMessages[] = { 2, 3, 257, 258, 259, 260, 4097 };
    const std::int64_t llMsg = aMessages[pick(int(std::size(aMessages)))];
    switch (pick(10)) {
    case 0:
        clSteps << QStringLiteral("camera records");
        pclSim->startRecording();
        break;
    case 1:
        clSteps << QStringLiteral("camera stops recording");
        pclSim->stopRecording();
        break;
    case 2:
        clSteps << QStringLiteral("camera notifies");
        // Repeats of what the camera is doing, or news the program does not follow.
        if (pick(2))
            pclSim->queueNotification(
                pclSim->isRecording() ? "starting_video_record" : "video_record_complete");
        else
            pclSim->queueNotification("card_full");
        break;
    case 3:
        clSteps << QStringLiteral("battery");
        pclSim->setBattery(pick(101));
        pclSim->setAcConnected(pick(2) == 0);
        break;
    case 4: {
        static const char* const aNames[]
            = { "refused", "-4", "time-out", "HTTP 500", "broken reply", "dropped" };
        const int iKind = pick(6);
        const camsim::Fault aFaults[] = { camsim::Fault::withRval(-14, 1), camsim::Fault::withRval(-4, 1),
            camsim::Fault::delay(5500, 1), camsim::Fault::status(500, 1), camsim::Fault::brokenJson(1),
            camsim::Fault::drop(1) };
        clSteps << QStringLiteral("%1 on %2").arg(QLatin1String(aNames[iKind])).arg(llMsg);
        pclSim->setFault(int(llMsg), aFaults[iKind]);
        break;
    }
    case 5: {
        using Kind = camsim::FrameFault::Kind;
        const Kind aKinds[]
            = { Kind::NotFound, Kind::Stall, Kind::BrokenJpeg, Kind::Truncated, Kind::Chunked };
        camsim::FrameFault clFault = Kd4Test::frameFault(aKinds[pick(5)], 1 + pick(3));
        clFault.stallMs = 1500;
        clSteps << QStringLiteral("frame fault");
        pclSim->setFrameFault(clFault);
        break;
    }
    case 6:
        clSteps << QStringLiteral("camera at high speed");
        pclSim->setSetting("video_resolution", HIGH_SPEED);
        break;
    default:
        clSteps << QStringLiteral("nothing");
        break;
    }
}

void TestRandomSession::settle(int iMs)
{
    QTest::qWait(iMs);
}

void TestRandomSession::checkInvariants()
{
    if (!pclWindow)
        return;
    const int iCount = manager()->processCount();
    // (b)
    QVERIFY2(content()->liveWidget()->isIndicatorVisible() == (iCount > 0),
        qPrintable(trail()
            + QStringLiteral(" (ring %1, count %2)")
                  .arg(content()->liveWidget()->isIndicatorVisible())
                  .arg(iCount)));
    // (c), on a registered row of each page
    const bool bEnable = iCount == 0 && !manager()->isRecording();
    for (const char* pRow : { "zk_white_balance", "zk_wdr" }) {
        QComboBox* pclCombo = combo(panel(), QLatin1String(pRow));
        QVERIFY2(pclCombo->isEnabled() == bEnable,
            qPrintable(trail()
                + QStringLiteral(" (%1 enabled %2, count %3, recording %4)")
                      .arg(QLatin1String(pRow))
                      .arg(pclCombo->isEnabled())
                      .arg(iCount)
                      .arg(manager()->isRecording())));
    }
    // (a)
    if (!manager()->isSession() && !content()->updateWidget()->updateController()->isBusy() && iCount == 0) {
        QVERIFY2(
            content()->currentPage() == 0 && panelPage(panel()) == 0 && connectButton(panel())->isEnabled(),
            qPrintable(trail()
                + QStringLiteral(" (connect page not usable: page %1, panel %2, connect %3)")
                      .arg(content()->currentPage())
                      .arg(panelPage(panel()))
                      .arg(connectButton(panel())->isEnabled())
                + QStringLiteral(" camera saw: ")
                + Kd4Test::messageLog(*pclSim).join(QStringLiteral(" | "))));
    }
    // (d)
    if (manager()->isRecording() && manager()->isHighSpeed()) {
        const std::size_t iFrames = pclSim->frameRequests().size();
        QTest::qWait(300);
        if (manager()->isRecording() && manager()->isHighSpeed())
            QVERIFY2(pclSim->frameRequests().size() == iFrames,
                qPrintable(trail() + QStringLiteral(" (frames while recording at high speed)")));
    }
}

// (f) The camera behaves again, and records no more: Connect brings the picture back.
void TestRandomSession::recoverAndConnect()
{
    clSteps << QStringLiteral("faults stop");
    pclSim->clearFaults();
    pclSim->stopRecording();
    // Whatever was out when the faults stopped comes back within the transport's own limits.
    QTRY_VERIFY_WITH_TIMEOUT(manager()->processCount() == 0, 30000);
    if (!manager()->isSession()) {
        QVERIFY2(panelPage(panel()) == 0 && connectButton(panel())->isEnabled(), qPrintable(trail()));
        QTest::mouseClick(connectButton(panel()), Qt::LeftButton);
    }
    const std::size_t iFrames = pclSim->frameRequests().size();
    QElapsedTimer clClock;
    clClock.start();
    const bool bBack = QTest::qWaitFor(
        [&] {
            return manager()->isSession() && pclSim->frameRequests().size() > iFrames + 3
                && picturePixels(liveShot(content())) > 50000;
        },
        10000);
    QVERIFY2(bBack, qPrintable(trail() + QStringLiteral(" (no live picture after Connect)")));
}

QTEST_MAIN(TestRandomSession)
#include "tst_randomsession.moc"
