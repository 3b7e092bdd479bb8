// The session manager with its real live controller against the simulated camera: opening and
// closing the session, the live rule for high-speed recording, counting requests, the camera state
// taken from polls, and the failures that end the session.

#include "session/ClKD4LiveCtrl.h"
#include "session/ClKD4Mgr.h"
#include "tests/session/SessionSupport.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace Kd4Test;
using namespace sessiontest;

namespace {

const char HIGH_SPEED[] = "848x480 240P 16:9";
const char NORMAL_SPEED[] = "1920x1080 30P 16:9";

enum Failure
{
    FramesNotFound,
    PollRefused,
    FirstReadRefused
};

} // namespace

class TestKD4Mgr : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void session_opensStreamsAndCloses();
    void stopSession_busyCamera_returnsAfterLimit();
    void stopSession_answerBeforeWait_returnsAtOnce();
    void recording_highSpeedStopsPicture_data();
    void recording_highSpeedStopsPicture();
    void counting_progressAndEnable();
    void polls_updateBatteryOnlyOnChange();
    void failure_endsSession_data();
    void failure_endsSession();
    void startRefused_leavesNoSession();
    void lateAnswerDuringStop_startsNothing_data();
    void lateAnswerDuringStop_startsNothing();

private:
    bool openSession();
    bool poll();
    ClKD4LiveCtrl* ctrl() const { return pclMgr->liveCtrl(); }

    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClKD4Mgr> pclMgr;
};

void TestKD4Mgr::init()
{
    // The manager builds its live controller for the configured camera address: the simulator's.
    pclSim = startSim();
    QVERIFY(pclSim);
    pclMgr = std::make_unique<ClKD4Mgr>();
}

void TestKD4Mgr::cleanup()
{
    if (pclSim)
        pclSim->stop();
    pclMgr.reset();
    pclSim.reset();
}

bool TestKD4Mgr::openSession()
{
    QSignalSpy clStarted(pclMgr.get(), &ClKD4Mgr::sigStartedSession);
    pclMgr->startSession();
    return clStarted.wait(10000) && pclMgr->isSession();
}

// One settings poll, as the polling timer runs it; true once its answer has been handled.
bool TestKD4Mgr::poll()
{
    QSignalSpy clPolled(ctrl(), &ClKD4LiveCtrl::sigGetSettingPolling);
    return firePoll(ctrl()->pollingTimer()) && clPolled.wait(5000);
}

void TestKD4Mgr::session_opensStreamsAndCloses()
{
    QSignalSpy clStarted(pclMgr.get(), &ClKD4Mgr::sigStartedSession);
    QSignalSpy clImage(pclMgr.get(), &ClKD4Mgr::sigImage);
    QSignalSpy clRecording(pclMgr.get(), &ClKD4Mgr::sigRecordingState);
    QSignalSpy clBattery(pclMgr.get(), &ClKD4Mgr::sigBatteryState);
    QSignalSpy clEnded(pclMgr.get(), &ClKD4Mgr::sigEndSession);
    pclSim->setSetting("zk_wdr", "on");

    pclMgr->startSession();
    QVERIFY(clStarted.wait(10000));
    const ClAllSettings clSettings = clStarted.first().first().value<ClAllSettings>();
    for (const char* pKey :
        { "zk_wdr", "video_resolution", "zk_battery", "zk_get_ac_connection", "app_status" })
        QCOMPARE(
            clSettings.value(QLatin1String(pKey)).toString(), QString::fromStdString(pclSim->setting(pKey)));
    QCOMPARE(clRecording.count(), 1);
    QCOMPARE(clRecording.first(), (QVariantList { false, false }));
    QCOMPARE(clBattery.count(), 1);
    QCOMPARE(clBattery.first(), (QVariantList { 80, false }));

    QVERIFY(clImage.wait(5000));
    QVERIFY(!clImage.last().first().value<QImage>().isNull());
    QVERIFY(pclSim->waitForMessage(4097));
    pclMgr->startSession(); // connecting again while the session is open sends nothing
    QVERIFY(pclSim->waitForMessage(259));
    QCOMPARE(commandLog(*pclSim), QStringList({ "257", "260", "3" }) + startLiveMessages());
    QVERIFY(ctrl()->pollingTimer());

    pclSim->clearLog();
    pclMgr->stopSession();
    QCOMPARE(commandLog(*pclSim), (QStringList { "260", "258" }));
    QVERIFY(!pclMgr->isSession());
    QVERIFY(!pclSim->sessionOpen());
    QVERIFY(!ctrl()->isLiveRunning());
    QVERIFY(!ctrl()->pollingTimer());
    QCOMPARE(clEnded.count(), 0);
}

void TestKD4Mgr::stopSession_busyCamera_returnsAfterLimit()
{
    // Opened during high-speed recording, so there is no live picture to stop first.
    pclSim->setSetting("video_resolution", HIGH_SPEED);
    pclSim->startRecording();
    pclMgr->slotChangeRecordingResolution(QString::fromLatin1(HIGH_SPEED));
    QVERIFY(openSession());
    QVERIFY(!ctrl()->isLiveRunning());

    // A long command keeps the camera busy, so the stop-session command waits unanswered behind it
    // (the close also waits for the notification poll out, up to two seconds).
    pclSim->setFault(769, camsim::Fault::delay(ClKD4Mgr::STOP_WAIT_MS + 4000, 1));
    pclMgr->slotSendRequest(command(CMD_MSG_769));
    QVERIFY(pclSim->waitForMessage(769));
    QStringList clEvents;
    connect(pclMgr.get(), &ClKD4Mgr::sigProgressState, this,
        [&clEvents](bool bOn) { clEvents << (bOn ? "ring on" : "ring off"); });
    connect(pclMgr.get(), &ClKD4Mgr::sigRecvResponse, this,
        [&clEvents](ZK_CMD clCmd) { clEvents << name(clCmd); });
    QElapsedTimer clClock;
    clClock.start();
    pclMgr->stopSession();
    QVERIFY(clClock.elapsed() >= ClKD4Mgr::STOP_WAIT_MS * 9 / 10);
    QCOMPARE(pclSim->messageCount(258), 0); // still waiting for its turn
    QVERIFY(!pclMgr->isSession());
    // The closed session's commands no longer count: the ring stops now, and their late answers
    // leave the count of the next request alone.
    QCOMPARE(clEvents, QStringList { "ring off" });
    pclMgr->slotSendRequest(command(CMD_MSG_513));
    QTRY_COMPARE_WITH_TIMEOUT(clEvents.size(), 5, 10000);
    QCOMPARE(
        clEvents, (QStringList { "ring off", "ring on", "msg769", "ring off", name(command(CMD_MSG_513)) }));
}

// The stop-session answer can be handled before the wait for it has begun (here: while a receiver
// of the request runs the event loop). The close must not then sit out the 10-second limit.
void TestKD4Mgr::stopSession_answerBeforeWait_returnsAtOnce()
{
    QVERIFY(openSession());
    QVERIFY(pclSim->waitForFrames(3));
    connect(pclMgr.get(), &ClKD4Mgr::sigSendRequest, this, [this](ZK_CMD clCmd) {
        if (zkCommand(clCmd) != CMD_STOP_SESSION)
            return;
        const auto answered = [this] {
            for (const camsim::LoggedMessage& clMsg : pclSim->messages()) {
                if (clMsg.msgId == 258 && clMsg.answered)
                    return true;
            }
            return false;
        };
        (void)pclSim->waitFor(answered, 5000);
        QTest::qWait(300); // the answer crosses back to this thread meanwhile
    });

    QElapsedTimer clClock;
    clClock.start();
    pclMgr->stopSession();
    QVERIFY2(clClock.elapsed() < ClKD4Mgr::STOP_WAIT_MS / 2, qPrintable(QString::number(clClock.elapsed())));
    QCOMPARE(pclSim->messageCount(258), 1);
    QVERIFY(!pclSim->sessionOpen());
    QVERIFY(!pclMgr->isSession());
}

void TestKD4Mgr::recording_highSpeedStopsPicture_data()
{
    QTest::addColumn<QString>("strResolution");
    QTest::addColumn<bool>("bIsHighSpeed");

    QTest::newRow("high speed") << QString::fromLatin1(HIGH_SPEED) << true;
    QTest::newRow("normal") << QString::fromLatin1(NORMAL_SPEED) << false;
}

void TestKD4Mgr::recording_highSpeedStopsPicture()
{
    QFETCH(QString, strResolution);
    QFETCH(bool, bIsHighSpeed);

    pclSim->setSetting("video_resolution", strResolution.toStdString());
    pclMgr->slotChangeRecordingResolution(strResolution); // as the settings panel reports it
    QVERIFY(openSession());
    QVERIFY(pclSim->waitForFrames(3));
    QSignalSpy clRecording(pclMgr.get(), &ClKD4Mgr::sigRecordingState);
    pclSim->clearLog();

    pclSim->startRecording(); // the camera notifies the start
    QVERIFY(clRecording.wait(10000));
    QCOMPARE(clRecording.last(), (QVariantList { true, bIsHighSpeed }));
    const std::size_t iFrames = pclSim->frameRequests().size();
    QTest::qWait(500);
    QCOMPARE(pclSim->frameRequests().size() > iFrames, !bIsHighSpeed);
    QCOMPARE(ctrl()->isLiveRunning(), !bIsHighSpeed);
    QCOMPARE(commandLog(*pclSim), bIsHighSpeed ? QStringList { "260" } : QStringList());

    pclSim->stopRecording();
    QVERIFY(clRecording.wait(10000));
    QCOMPARE(clRecording.last(), (QVariantList { false, bIsHighSpeed }));
    QVERIFY(pclSim->waitForFrames(int(pclSim->frameRequests().size()) + 3));
    QCOMPARE(pclSim->messageCount(259), bIsHighSpeed ? 1 : 0);
}

void TestKD4Mgr::counting_progressAndEnable()
{
    QVERIFY(openSession());
    QSignalSpy clProgress(pclMgr.get(), &ClKD4Mgr::sigProgressState);
    QSignalSpy clEnable(pclMgr.get(), &ClKD4Mgr::sigChangeSettingEnable);
    QSignalSpy clAnswers(pclMgr.get(), &ClKD4Mgr::sigRecvResponse);

    pclMgr->slotSendRequest(command(CMD_MSG_513));
    pclMgr->slotSendRequest(command(CMD_MSG_514));
    QTRY_COMPARE(clAnswers.count(), 2);
    QCOMPARE(clProgress, (QList<QVariantList> { { true }, { false } }));
    QCOMPARE(clEnable, (QList<QVariantList> { { false }, { false }, { false }, { true } }));

    // An answer nobody waits for leaves the count at 0: the next request shows the ring again.
    clProgress.clear();
    emit ctrl()->sigResponse(clAnswers.first().first().value<ZK_CMD>());
    pclMgr->slotSendRequest(command(CMD_MSG_513));
    QTRY_COMPARE(clAnswers.count(), 4);
    QCOMPARE(clProgress, (QList<QVariantList> { { false }, { true }, { false } }));

    // While the camera records, the settings stay locked whatever the count.
    QSignalSpy clRecording(pclMgr.get(), &ClKD4Mgr::sigRecordingState);
    pclSim->startRecording();
    QVERIFY(clRecording.wait(10000));
    clEnable.clear();
    pclMgr->slotSendRequest(command(CMD_MSG_513));
    QTRY_COMPARE(clAnswers.count(), 5);
    QVERIFY(poll());
    QCOMPARE(clEnable.count(), 3);
    for (const QVariantList& clArgs : clEnable)
        QCOMPARE(clArgs.first().toBool(), false);
}

void TestKD4Mgr::polls_updateBatteryOnlyOnChange()
{
    QVERIFY(openSession());
    QSignalSpy clBattery(pclMgr.get(), &ClKD4Mgr::sigBatteryState);
    const struct
    {
        const char* pKey;
        const char* pValue;
        QVariantList clExpected; // the sigBatteryState of this poll, none if empty
    } aSteps[] = {
        { "zk_battery", "80", {} },
        { "zk_battery", "abc", {} },
        { "zk_battery", "80", {} }, // "abc" left the level at 80
        { "zk_battery", "35", { 35, false } },
        { "zk_get_ac_connection", "connected", { 35, true } },
        { "zk_get_ac_connection", "connected", {} },
    };
    for (const auto& clStep : aSteps) {
        pclSim->setSetting(clStep.pKey, clStep.pValue);
        clBattery.clear();
        QVERIFY(poll());
        QCOMPARE(clBattery.count(), clStep.clExpected.isEmpty() ? 0 : 1);
        if (!clStep.clExpected.isEmpty())
            QCOMPARE(clBattery.first(), clStep.clExpected);
    }
}

void TestKD4Mgr::failure_endsSession_data()
{
    QTest::addColumn<int>("iFailure");
    QTest::addColumn<QStringList>("clLogStart"); // the log up to the stop-session command

    QTest::newRow("frames not found") << int(FramesNotFound) << QStringList();
    QTest::newRow("poll refused") << int(PollRefused) << QStringList { "3", "260" };
    QTest::newRow("first settings read refused")
        << int(FirstReadRefused) << QStringList { "257", "260", "3" };
}

void TestKD4Mgr::failure_endsSession()
{
    QFETCH(int, iFailure);
    QFETCH(QStringList, clLogStart);

    QSignalSpy clStarted(pclMgr.get(), &ClKD4Mgr::sigStartedSession);
    QSignalSpy clEnded(pclMgr.get(), &ClKD4Mgr::sigEndSession);
    QSignalSpy clProgress(pclMgr.get(), &ClKD4Mgr::sigProgressState);
    QSignalSpy clEnable(pclMgr.get(), &ClKD4Mgr::sigChangeSettingEnable);
    if (iFailure == FirstReadRefused) {
        pclSim->setFault(3, camsim::Fault::withRval(-4, 1));
        pclMgr->startSession();
    } else {
        QVERIFY(openSession());
        QVERIFY(pclSim->waitForFrames(3));
        pclSim->clearLog();
        if (iFailure == FramesNotFound) {
            pclSim->setFrameFault(frameFault(camsim::FrameFault::Kind::NotFound));
        } else {
            pclSim->setFault(3, camsim::Fault::withRval(-4, 1));
            QVERIFY(firePoll(ctrl()->pollingTimer()));
        }
    }

    // Well inside the 10-second stop limit: a failure ends the session without sitting that out.
    QVERIFY(clEnded.wait(ClKD4LiveCtrl::STOP_WAIT_MS - 2000));
    QCOMPARE(clEnded.count(), 1);
    QCOMPARE(clStarted.count(), iFailure == FirstReadRefused ? 0 : 1);
    QCOMPARE(commandLog(*pclSim), clLogStart + QStringList { "258" }); // closed with the camera
    QVERIFY(!pclMgr->isSession());
    QVERIFY(!pclSim->sessionOpen());
    QVERIFY(!ctrl()->isLiveRunning());
    QVERIFY(!ctrl()->pollingTimer());
    QCOMPARE(clProgress.last(), QVariantList { false });
    QCOMPARE(clEnable.last(), QVariantList { true });
}

void TestKD4Mgr::startRefused_leavesNoSession()
{
    QStringList clSignals;
    const auto note = [&clSignals](const char* pName) {
        return [&clSignals, pName] { clSignals << QLatin1String(pName); };
    };
    const auto noteFlag = [&clSignals](const char* pName) {
        return [&clSignals, pName](
                   bool bFlag) { clSignals << QLatin1String(pName) + (bFlag ? " true" : " false"); };
    };
    ClKD4Mgr* pclM = pclMgr.get();
    connect(pclM, &ClKD4Mgr::sigRecvResponse, this, note("recvResponse"));
    connect(pclM, &ClKD4Mgr::sigStartedSession, this, note("startedSession"));
    connect(pclM, &ClKD4Mgr::sigEndSession, this, note("endSession"));
    connect(pclM, &ClKD4Mgr::sigImage, this, note("image"));
    connect(pclM, &ClKD4Mgr::sigRecordingState, this, note("recordingState"));
    connect(pclM, &ClKD4Mgr::sigBatteryState, this, note("batteryState"));
    connect(pclM, &ClKD4Mgr::sigChangeSettingEnable, this, noteFlag("enable"));
    connect(pclM, &ClKD4Mgr::sigProgressState, this, noteFlag("progress"));
    connect(pclM, &ClKD4Mgr::sigSendRequest, this, note("sendRequest"));

    pclSim->setFault(257, camsim::Fault::withRval(-1));
    pclMgr->startSession();
    QTRY_COMPARE(clSignals.size(), 5);
    QTest::qWait(300);
    QCOMPARE(clSignals,
        (QStringList { "progress true", "enable false", "sendRequest", "progress false", "enable true" }));
    QVERIFY(!pclMgr->isSession());
    QCOMPARE(commandLog(*pclSim), QStringList { "257" });
    QCOMPARE(pclSim->messageCount(4097), 0);
    QVERIFY(!ctrl()->pollingTimer());
}

void TestKD4Mgr::lateAnswerDuringStop_startsNothing_data()
{
    QTest::addColumn<bool>("bFirstRead");
    QTest::addColumn<QStringList>("clLog");

    QTest::newRow("settings poll") << false << QStringList { "3", "260", "258" };
    QTest::newRow("first settings read") << true << QStringList { "257", "260", "3", "258" };
}

// An answer still out when the session closes arrives inside the close; it must not start the live
// picture or report a session again.
void TestKD4Mgr::lateAnswerDuringStop_startsNothing()
{
    QFETCH(bool, bFirstRead);
    QFETCH(QStringList, clLog);

    QSignalSpy clStarted(pclMgr.get(), &ClKD4Mgr::sigStartedSession);
    if (bFirstRead) {
        pclSim->setFault(3, camsim::Fault::delay(800, 1));
        pclMgr->startSession();
        QTRY_VERIFY(pclMgr->isSession()); // the settings read is out now
    } else {
        QVERIFY(openSession());
        QVERIFY(pclSim->waitForFrames(3));
        pclSim->clearLog();
        clStarted.clear();
        pclSim->setFault(3, camsim::Fault::delay(800, 1));
        QVERIFY(firePoll(ctrl()->pollingTimer()));
    }
    pclMgr->stopSession();
    QTest::qWait(500);

    QCOMPARE(commandLog(*pclSim), clLog);
    QCOMPARE(clStarted.count(), 0);
    QVERIFY(!ctrl()->isLiveRunning());
}

QTEST_MAIN(TestKD4Mgr)
#include "tst_kd4mgr.moc"
