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
//   (f) once the faults stop, Connect brings the live picture back within 10 seconds;
//   (g) once nothing is outstanding, every setting row shows the camera's own value;
//   (h) no format, initialize, access point or interval change reaches a recording camera;
//   (i) the picture shown as live is never older than a second;
//   (j) a second close while the first one waits for the camera does not cut it short.
// A failure names its seed and the steps so far; KD4_RANDOM_SEED=<seed> replays that run alone.

#include "app/ClMainContentWidget.h"
#include "app/ClMainWidget.h"
#include "camera/ZkResolution.h"
#include "liveview/ClLiveWidget.h"
#include "session/ClKD4LiveCtrl.h"
#include "session/ClKD4Mgr.h"
#include "settings/AbstSettingItemWidget.h"
#include "settings/ClSettingItemShowDialogButton.h"
#include "settings/ClSettingWidget.h"
#include "tests/app/MainTestSupport.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/ClModalDriver.h"
#include "tests/support/SimSupport.h"
#include "tests/support/WidgetSupport.h"
#include "updater/ClUpdate.h"
#include "updater/ClUpdateWidget.h"

#include <QApplication>
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
// What the camera may switch to on its own menu.
const char* const RESOLUTIONS[] = { "848x480 240P 16:9", "1280x720 120P 16:9", "1920x1080 30P 16:9" };
// The messages that must never reach a recording camera: the format, and these settings.
const char* const GUARDED_KEYS[] = { "zk_factory_reset_cam", "zk_factory_reset_network", "zk_ap_ssid",
    "zk_ap_key", "zk_wifi_apply_new_param", "zk_interval_time" };

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
    void confirmAction();
    void closeTwice();
    void checkRows();
    void checkGuardedMessages();
    void checkPictureIsLive();
    void watchManager();
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
    // The camera changed a setting on its own; no poll has brought it in since.
    QString strChangedOnCamera;
    QElapsedTimer clLastFrame;
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
    for (unsigned uEach : { 1u, 2u, 9u, 11u, 13u, 2024u, 31337u, 424242u })
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
    watchManager();
    QVERIFY(Kd4Test::showExposed(pclWindow.get()));
}

void TestRandomSession::watchManager()
{
    clLastFrame.invalidate();
    connect(manager(), &ClKD4Mgr::sigImage, pclWindow.get(), [this](const QImage& clImg) {
        if (!clImg.isNull())
            clLastFrame.start();
    });
    for (auto pSignal : { &ClKD4Mgr::sigPolledSettings, &ClKD4Mgr::sigStartedSession })
        connect(manager(), pSignal, pclWindow.get(), [this] { strChangedOnCamera.clear(); });
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
    switch (pick(9)) {
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
        // A recording the window has not heard of yet is the camera's to refuse, not the window's.
        if (!bSettingsShown || !pclAp || !pclAp->isEnabled() || pclSim->isRecording())
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
    case 6:
        if (bSettingsShown)
            confirmAction();
        break;
    case 7:
        closeTwice();
        break;
    default: // close the window and start the program again
        clSteps << QStringLiteral("close");
        closeWindow();
        if (!QTest::currentTestFailed())
            openWindow();
        break;
    }
}

// Format, initialize camera or network: confirmed at once, or while the camera begins to record.
void TestRandomSession::confirmAction()
{
    QList<ClSettingItemShowDialogButton*> clActions = panel()->findChildren<ClSettingItemShowDialogButton*>();
    ClSettingItemShowDialogButton* pclAction = clActions.at(pick(clActions.size()));
    if (!pclAction->isEnabled() || pclSim->isRecording())
        return;
    const bool bRecordMeanwhile = pick(2) == 0;
    clSteps << QStringLiteral("%1 %2").arg(
        bRecordMeanwhile ? QStringLiteral("recording during") : QStringLiteral("confirm"),
        pclAction->objectName().isEmpty() ? QStringLiteral("format") : pclAction->objectName());
    Kd4Test::openTab(panel(), QStringLiteral("Detail settings"));
    pclDialogs->expect([this, bRecordMeanwhile](QDialog* pclDialog) {
        QPointer<QDialog> pclOpen(pclDialog);
        if (bRecordMeanwhile) {
            pclSim->startRecording();
            // The user presses OK once the window shows the recording, if the dialog is still up.
            const bool bSeen = QTest::qWaitFor([this] { return manager()->isRecording(); }, 3000);
            if (pclOpen && !bSeen) {
                pclOpen->reject(); // the news never came: nothing to judge
                return;
            }
        }
        if (pclOpen)
            Kd4Test::clickButton(pclOpen, QStringLiteral("okButton"));
    });
    QTest::mouseClick(pclAction->button(), Qt::LeftButton);
    pclDialogs->clearHandlers();
}

// (j) A change is out to a slow camera and the window is closed, then closed again.
void TestRandomSession::closeTwice()
{
    clSteps << QStringLiteral("close twice");
    QComboBox* pclWdr = combo(panel(), QStringLiteral("zk_wdr"));
    if (manager()->isSession() && pclWdr->isEnabled() && pclWdr->isVisible()) {
        pclSim->setFault(2, camsim::Fault::lateAnswer(1500, 1));
        chooseRandomEntry(pclWdr);
    }
    bool bSecondDone = false;
    bool bStillOpen = false;
    QTimer::singleShot(200, pclWindow.get(), [&] {
        pclWindow->close();
        bSecondDone = true;
        bStillOpen = pclWindow->isVisible();
    });
    closeWindow();
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!bSecondDone || bStillOpen,
        qPrintable(trail() + QStringLiteral(" (second close cut the first short)")));
    openWindow();
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
        // A camera that stays silent past the limit has still done what it was asked.
        const camsim::Fault aFaults[] = { camsim::Fault::withRval(-14, 1), camsim::Fault::withRval(-4, 1),
            camsim::Fault::lateAnswer(5500, 1), camsim::Fault::status(500, 1), camsim::Fault::brokenJson(1),
            camsim::Fault::drop(1) };
        clSteps << QStringLiteral("%1 on %2").arg(QLatin1String(aNames[iKind])).arg(llMsg);
        pclSim->setFault(int(llMsg), aFaults[iKind]);
        break;
    }
    case 5: {
        using Kind = camsim::FrameFault::Kind;
        const Kind aKinds[]
            = { Kind::NotFound, Kind::Stall, Kind::BrokenJpeg, Kind::Truncated, Kind::Chunked };
        // A few bad frames, or a few seconds of frames that all fail to decode.
        const bool bLong = pick(3) == 0;
        camsim::FrameFault clFault = bLong ? Kd4Test::frameFault(Kind::BrokenJpeg, 90 + pick(90))
                                           : Kd4Test::frameFault(aKinds[pick(5)], 1 + pick(3));
        clFault.stallMs = 1500;
        clSteps << (bLong ? QStringLiteral("frames undecodable") : QStringLiteral("frame fault"));
        pclSim->setFrameFault(clFault);
        break;
    }
    case 6: {
        // The camera's own menu; the window hears of it with the next poll, which comes now.
        const char* pcResolution = RESOLUTIONS[pick(int(std::size(RESOLUTIONS)))];
        clSteps << QStringLiteral("camera at %1").arg(QLatin1String(pcResolution));
        pclSim->setSetting("video_resolution", pcResolution);
        strChangedOnCamera = QStringLiteral("video_resolution");
        if (QTimer* pclPoll = manager()->liveCtrl()->pollingTimer()) {
            pclPoll->stop();
            QMetaObject::invokeMethod(pclPoll, "timeout");
        }
        break;
    }
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
    checkRows();
    checkGuardedMessages();
    checkPictureIsLive();
    // (d), by what the camera reports once a poll or a read has brought it in
    const QString strResolution = QString::fromStdString(pclSim->setting("video_resolution"));
    if (strChangedOnCamera.isEmpty() && manager()->isSession() && iCount == 0
        && !QApplication::activeModalWidget())
        QVERIFY2(manager()->isHighSpeed() == ZkResolution::isHighSpeed(strResolution),
            qPrintable(trail()
                + QStringLiteral(" (high speed believed %1, camera at %2)")
                      .arg(manager()->isHighSpeed())
                      .arg(strResolution)));
    if (manager()->isRecording() && manager()->isHighSpeed()) {
        const std::size_t iFrames = pclSim->frameRequests().size();
        QTest::qWait(300);
        if (manager()->isRecording() && manager()->isHighSpeed())
            QVERIFY2(pclSim->frameRequests().size() == iFrames,
                qPrintable(trail() + QStringLiteral(" (frames while recording at high speed)")));
    }
}

// (g) With nothing outstanding and no dialog open, each setting row shows what the camera has.
void TestRandomSession::checkRows()
{
    if (!manager()->isSession() || panelPage(panel()) != 1 || manager()->processCount() > 0
        || QApplication::activeModalWidget())
        return;
    for (AbstSettingItemWidget* pclRow : panel()->findChildren<AbstSettingItemWidget*>()) {
        const QString strKey = pclRow->getKey();
        if (strKey.isEmpty() || strKey == strChangedOnCamera
            || qobject_cast<ClSettingItemShowDialogButton*>(pclRow))
            continue;
        const QString strCamera = QString::fromStdString(pclSim->setting(strKey.toStdString()));
        QVERIFY2(pclRow->getValue().toString() == strCamera,
            qPrintable(trail()
                + QStringLiteral(" (row %1 shows %2, the camera has %3)")
                      .arg(strKey, pclRow->getValue().toString(), strCamera)));
    }
}

// (h) Judged on what reached the camera, with the camera's own recording state at the time.
void TestRandomSession::checkGuardedMessages()
{
    for (const camsim::LoggedMessage& clMsg : pclSim->messages()) {
        if (!clMsg.recording)
            continue;
        const bool bGuarded = clMsg.msgId == 4
            || (clMsg.msgId == 2
                && std::any_of(std::begin(GUARDED_KEYS), std::end(GUARDED_KEYS),
                    [&](const char* pcKey) { return clMsg.type == pcKey; }));
        QVERIFY2(!bGuarded,
            qPrintable(
                trail() + QStringLiteral(" (sent while recording: %1)").arg(Kd4Test::describe(clMsg))));
    }
}

// (i) A picture older than a second, with nothing held for a change, must give way within the
// stall limit to a new frame or to the notice that no picture is arriving.
void TestRandomSession::checkPictureIsLive()
{
    ClLiveWidget* pclView = content()->liveWidget();
    const auto fnStale = [&] {
        return manager()->isSession() && pclView->isShowingPicture() && !pclView->isIndicatorVisible()
            && clLastFrame.isValid() && clLastFrame.elapsed() > 1000;
    };
    if (!fnStale())
        return;
    QTest::qWait(ClKD4LiveCtrl::LIVE_STALL_MS + 500);
    QVERIFY2(!fnStale(),
        qPrintable(
            trail() + QStringLiteral(" (picture %1 ms old shown as live)").arg(clLastFrame.elapsed())));
}

// (f) The camera behaves again, and records no more: Connect brings the picture back.
void TestRandomSession::recoverAndConnect()
{
    clSteps << QStringLiteral("faults stop");
    pclSim->clearFaults();
    pclSim->stopRecording();
    // Whatever was out when the faults stopped comes back within the transport's own limits.
    QTRY_VERIFY_WITH_TIMEOUT(manager()->processCount() == 0, 30000);
    // A live stop still out when the faults stopped may yet end the session: Connect again then.
    std::size_t iFrames = 0;
    int iConnects = 0;
    const bool bBack = QTest::qWaitFor(
        [&] {
            if (!manager()->isSession() && manager()->processCount() == 0 && iConnects < 2) {
                if (panelPage(panel()) != 0 || !connectButton(panel())->isEnabled())
                    return false;
                QTest::mouseClick(connectButton(panel()), Qt::LeftButton);
                ++iConnects;
                iFrames = pclSim->frameRequests().size();
            }
            return manager()->isSession() && pclSim->frameRequests().size() > iFrames + 3
                && picturePixels(liveShot(content())) > 50000;
        },
        20000);
    QVERIFY2(bBack,
        qPrintable(trail()
            + QStringLiteral(
                " (no live picture after Connect: session %1, frames %2, stalled %3; camera saw: %4)")
                  .arg(manager()->isSession())
                  .arg(pclSim->frameRequests().size() - iFrames)
                  .arg(content()->liveWidget()->isShowingStall())
                  .arg(Kd4Test::messageLog(*pclSim)
                           .mid(qMax(0, Kd4Test::messageLog(*pclSim).size() - 12))
                           .join(QStringLiteral(" | ")))));
}

QTEST_MAIN(TestRandomSession)
#include "tst_randomsession.moc"
