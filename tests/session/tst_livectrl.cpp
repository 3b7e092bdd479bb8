// The live controller against the simulated camera, with the test in the session manager's place:
// requests held back while the stream stops for a setting change, the polling timer, and stopping
// everything after a polling or stream error.

#include "session/ClKD4LiveCtrl.h"
#include "tests/session/SessionSupport.h"

#include <QPointer>
#include <QtTest>

Q_DECLARE_METATYPE(camsim::Fault)

using namespace Kd4Test;
using namespace sessiontest;

namespace {

ZK_CMD setting(const char* pKey, const char* pValue)
{
    return command(CMD_SET_SETTING, QString::fromLatin1(pKey), QString::fromLatin1(pValue));
}

} // namespace

class TestLiveCtrl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void setSetting_holdsStreamUntilLastAnswer_data();
    void setSetting_holdsStreamUntilLastAnswer();
    void ownerStopsOrStartsDuringHold_data();
    void ownerStopsOrStartsDuringHold();
    void silentStopLive_sendsHeldRequestOnce();
    void polling_restartsOnlyAfterAnswer();
    void clearRequests_reportsWhatWillNeverBeAnswered_data();
    void clearRequests_reportsWhatWillNeverBeAnswered();
    void error_stopsEverything_data();
    void error_stopsEverything();

private:
    void send(const ZK_CMD& clCmd) { pclCtrl->slotSendRequest(from(clCmd, &clOwner)); }
    void startStream();
    // From now on, every request to the queue, answer to the owner and stream restart in clEvents.
    void recordEvents();
    int pollingTimers() const
    {
        return pclCtrl->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly).size();
    }

    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClKD4LiveCtrl> pclCtrl;
    QObject clOwner;
    QStringList clEvents;
};

void TestLiveCtrl::init()
{
    pclSim = startSim();
    QVERIFY(pclSim);
    pclCtrl = std::make_unique<ClKD4LiveCtrl>(address(*pclSim));
    clEvents.clear();

    QSignalSpy clAnswers(pclCtrl.get(), &ClKD4LiveCtrl::sigResponse);
    send(command(CMD_START_SESSION));
    QVERIFY(clAnswers.wait(10000));
    QCOMPARE(zkError(clAnswers.first().first().value<ZK_CMD>()), 0);
}

void TestLiveCtrl::cleanup()
{
    // The simulator goes first, so the controller's teardown finds no long poll or delay to wait for.
    if (pclSim)
        pclSim->stop();
    pclCtrl.reset();
    pclSim.reset();
}

void TestLiveCtrl::startStream()
{
    pclCtrl->startLive();
    QVERIFY(pclSim->waitForFrames(3, 10000));
    QVERIFY(pclCtrl->isLiveRunning());
}

void TestLiveCtrl::recordEvents()
{
    connect(pclCtrl.get(), &ClKD4LiveCtrl::sigRequest, this,
        [this](ZK_CMD clCmd) { clEvents << "req " + name(clCmd); });
    connect(pclCtrl.get(), &ClKD4LiveCtrl::sigResponse, this,
        [this](ZK_CMD clCmd) { clEvents << "resp " + name(clCmd); });
    connect(
        pclCtrl.get(), &ClKD4LiveCtrl::sigStartLive, this, [this] { clEvents << QStringLiteral("start"); });
}

void TestLiveCtrl::setSetting_holdsStreamUntilLastAnswer_data()
{
    QTest::addColumn<bool>("bStreaming");
    QTest::addColumn<QStringList>("clExpectedEvents");
    QTest::addColumn<QStringList>("clExpectedLog");

    QTest::newRow("streaming") << true
                               << QStringList { "req stopLive", "req set zk_wdr", "resp set zk_wdr",
                                      "req set zk_white_balance", "resp set zk_white_balance", "start",
                                      "req startLive" }
                               << QStringList { "260", "2 zk_wdr=on", "2 zk_white_balance=daylight" }
            + startLiveMessages();
    QTest::newRow("stopped") << false
                             << QStringList { "req set zk_wdr", "req set zk_white_balance", "resp set zk_wdr",
                                    "resp set zk_white_balance" }
                             << QStringList { "2 zk_wdr=on", "2 zk_white_balance=daylight" };
}

void TestLiveCtrl::setSetting_holdsStreamUntilLastAnswer()
{
    QFETCH(bool, bStreaming);
    QFETCH(QStringList, clExpectedEvents);
    QFETCH(QStringList, clExpectedLog);

    if (bStreaming)
        startStream();
    pclSim->clearLog();
    recordEvents();
    // The first answer comes late, so the second command is surely sent while the first is out.
    pclSim->setFault(2, camsim::Fault::delay(300, 1));
    send(setting("zk_wdr", "on")); // while streaming, returns once the stream has stopped
    send(setting("zk_white_balance", "daylight"));

    QTRY_COMPARE_WITH_TIMEOUT(clEvents, clExpectedEvents, 10000);
    if (bStreaming) {
        QVERIFY(pclSim->waitForMessage(259));
        const int iFrames = int(pclSim->frameRequests().size());
        QVERIFY(pclSim->waitForFrames(iFrames + 3));
        // Not a frame was fetched between the stop and the restart.
        const std::vector<camsim::LoggedMessage> clMessages = pclSim->messages();
        auto itRestart = std::find_if(clMessages.begin(), clMessages.end(),
            [](const camsim::LoggedMessage& clMsg) { return clMsg.msgId == 259; });
        QCOMPARE(framesBetween(*pclSim, clMessages.front().received, itRestart->received), 0);
    }
    QCOMPARE(commandLog(*pclSim), clExpectedLog);
    QCOMPARE(pclCtrl->isLiveRunning(), bStreaming);
}

void TestLiveCtrl::ownerStopsOrStartsDuringHold_data()
{
    QTest::addColumn<bool>("bStartAgain");
    // The manager's live rule stops the picture when high-speed recording begins ...
    QTest::newRow("stop") << false;
    // ... and starts it again when the recording ends, possibly while the setting is still out.
    QTest::newRow("stop, start") << true;
}

void TestLiveCtrl::ownerStopsOrStartsDuringHold()
{
    QFETCH(bool, bStartAgain);

    startStream();
    pclSim->setFault(2, camsim::Fault::delay(1000, 1));
    pclSim->clearLog();
    QSignalSpy clAnswers(pclCtrl.get(), &ClKD4LiveCtrl::sigResponse);
    send(setting("zk_wdr", "on"));
    QVERIFY(!pclCtrl->isLiveRunning());

    pclCtrl->stopLive();
    if (bStartAgain)
        pclCtrl->startLive();
    // Held: the stream waits for the answers in either case.
    QVERIFY(!pclCtrl->isLiveRunning());
    send(command(CMD_GET_ALL_SETTINGS)); // waits its turn, and must not be stranded

    QTRY_COMPARE_WITH_TIMEOUT(clAnswers.count(), 2, 10000);
    if (bStartAgain) {
        QVERIFY(pclSim->waitForMessage(259));
        QVERIFY(pclSim->waitForFrames(int(pclSim->frameRequests().size()) + 3));
        QVERIFY(pclCtrl->isLiveRunning());
    } else {
        QTest::qWait(500);
        QVERIFY(!pclCtrl->isLiveRunning());
        QCOMPARE(pclSim->messageCount(259), 0);
    }
}

void TestLiveCtrl::silentStopLive_sendsHeldRequestOnce()
{
    startStream();
    pclSim->clearLog();
    recordEvents();
    // A long command keeps the camera busy beyond the controller's 10-second limit, so the live
    // worker's stop-live waits behind it unanswered.
    pclSim->setFault(769, camsim::Fault::delay(11500, 1));
    send(command(CMD_MSG_769));
    send(setting("zk_wdr", "on")); // returns at the limit

    // The held command goes out at the limit, queued behind the others; the answers that come
    // before its own must not send it again.
    QTRY_COMPARE_WITH_TIMEOUT(clEvents,
        (QStringList { "req msg769", "req stopLive", "req set zk_wdr", "resp msg769", "resp set zk_wdr",
            "start", "req startLive" }),
        10000);
    QVERIFY(pclSim->waitForMessage(259));
    QVERIFY(pclSim->waitForFrames(int(pclSim->frameRequests().size()) + 3));
    QCOMPARE(commandLog(*pclSim), (QStringList { "769", "260", "2 zk_wdr=on" } + startLiveMessages()));
    QVERIFY(pclCtrl->isLiveRunning());
}

void TestLiveCtrl::polling_restartsOnlyAfterAnswer()
{
    pclSim->clearLog();
    pclCtrl->setSettingPolling(true);
    QPointer<QTimer> pclTimer = pclCtrl->pollingTimer();
    QVERIFY(pclTimer);
    QVERIFY(pclTimer->isActive());
    QVERIFY(pclTimer->isSingleShot());
    QCOMPARE(pclTimer->interval(), ClKD4LiveCtrl::POLLING_INTERVAL_MS);
    QCOMPARE(ClKD4LiveCtrl::POLLING_INTERVAL_MS, 20000);
    pclCtrl->setSettingPolling(true); // again while waiting: the same timer, no poll
    QCOMPARE(pclCtrl->pollingTimer(), pclTimer.data());
    QCOMPARE(pollingTimers(), 1);

    QSignalSpy clPolled(pclCtrl.get(), &ClKD4LiveCtrl::sigGetSettingPolling);
    QSignalSpy clAnswers(pclCtrl.get(), &ClKD4LiveCtrl::sigResponse);
    pclSim->setFault(3, camsim::Fault::delay(500, 1));
    QVERIFY(firePoll(pclTimer));
    QVERIFY(!pclTimer->isActive()); // the next 20 seconds count from the answer
    QVERIFY(clPolled.wait(5000));
    QCOMPARE(clPolled.first().first().value<ClAllSettings>().value("video_resolution").toString(),
        QStringLiteral("1920x1080 30P 16:9"));
    QVERIFY(pclTimer->isActive());
    QVERIFY(pclTimer->remainingTime() > ClKD4LiveCtrl::POLLING_INTERVAL_MS - 5000);

    // Switched off while a poll is out: the answer still comes, but no timer starts again.
    pclSim->setFault(3, camsim::Fault::delay(500, 1));
    QVERIFY(firePoll(pclTimer));
    pclCtrl->setSettingPolling(false);
    QVERIFY(!pclTimer);
    QVERIFY(clPolled.wait(5000));
    QCOMPARE(pollingTimers(), 0);
    QVERIFY(!pclCtrl->pollingTimer());
    QCOMPARE(clAnswers.count(), 0); // polls are the controller's own business
    QCOMPARE(commandLog(*pclSim), (QStringList { "3", "3" }));
}

void TestLiveCtrl::clearRequests_reportsWhatWillNeverBeAnswered_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::addColumn<QStringList>("clDropped");
    QTest::newRow("held while the stream stops") << "held" << QStringList { "set zk_wdr" };
    QTest::newRow("first held one running, second held")
        << "running" << QStringList { "set zk_white_balance" };
    QTest::newRow("queued behind a long command, with a poll") << "queued" << QStringList { "set zk_wdr" };
}

// The owner counts what it sent; what is dropped here is never answered, and is reported exactly
// once, without the controller's own polls and what is still answered.
void TestLiveCtrl::clearRequests_reportsWhatWillNeverBeAnswered()
{
    QFETCH(QString, strCase);
    QFETCH(QStringList, clDropped);

    QStringList clReported;
    connect(pclCtrl.get(), &ClKD4LiveCtrl::sigRequestsDropped, this, [&clReported](QList<ZK_CMD> clCmds) {
        for (const ZK_CMD& clCmd : clCmds)
            clReported << name(clCmd);
    });
    if (strCase == QLatin1String("held")) {
        startStream();
        pclSim->setFault(260, camsim::Fault::delay(1500, 1));
        QTimer::singleShot(300, pclCtrl.get(), &ClKD4LiveCtrl::clearRequests);
        send(setting("zk_wdr", "on")); // returns once the stream has stopped
    } else if (strCase == QLatin1String("running")) {
        startStream();
        pclSim->setFault(2, camsim::Fault::delay(1000, 1));
        send(setting("zk_wdr", "on"));
        // Running at the camera, not still waiting in the queue.
        QVERIFY(pclSim->waitFor([this] { return commandLog(*pclSim).contains("2 zk_wdr=on"); }, 5000));
        send(setting("zk_white_balance", "daylight"));
        pclCtrl->clearRequests();
    } else {
        pclSim->setFault(769, camsim::Fault::delay(1000, 1));
        send(command(CMD_MSG_769));
        QVERIFY(pclSim->waitForMessage(769));
        pclCtrl->setSettingPolling(true);
        QVERIFY(firePoll(pclCtrl->pollingTimer()));
        send(setting("zk_wdr", "on"));
        pclCtrl->clearRequests();
    }
    QCOMPARE(clReported, clDropped);
    QTest::qWait(1500);
    // Only what was running reached the camera.
    QCOMPARE(commandLog(*pclSim).filter(QStringLiteral("2 zk_")),
        strCase == QLatin1String("running") ? QStringList { "2 zk_wdr=on" } : QStringList());
}

void TestLiveCtrl::error_stopsEverything_data()
{
    QTest::addColumn<bool>("bPollFails");
    QTest::addColumn<camsim::Fault>("clFault");
    QTest::addColumn<int>("iError");

    QTest::newRow("poll refused") << true << camsim::Fault::withRval(-4, 1) << -4;
    QTest::newRow("poll answer without rval") << true << camsim::Fault::noRval(1) << -1;
    QTest::newRow("frames not found") << false << camsim::Fault() << 0;
}

void TestLiveCtrl::error_stopsEverything()
{
    QFETCH(bool, bPollFails);
    QFETCH(camsim::Fault, clFault);
    QFETCH(int, iError);

    // Frames unpaced: the simulator locks up when the view finder stops while a frame request waits
    // for its pacing slot, which a forced stop can make happen.
    pclSim->setFrameRate(0);
    startStream();
    pclCtrl->setNotifyListening(true);
    pclCtrl->setSettingPolling(true);
    QVERIFY(pclSim->waitForMessage(4097));
    QSignalSpy clPollingError(pclCtrl.get(), &ClKD4LiveCtrl::sigPollingError);
    QSignalSpy clLiveError(pclCtrl.get(), &ClKD4LiveCtrl::sigLiveError);

    if (bPollFails) {
        pclSim->setFault(3, clFault);
        QVERIFY(firePoll(pclCtrl->pollingTimer()));
        QVERIFY(clPollingError.wait(10000));
        QCOMPARE(clPollingError.first().first().toInt(), iError);
    } else {
        pclSim->setFrameFault(frameFault(camsim::FrameFault::Kind::NotFound));
        QVERIFY(clLiveError.wait(10000));
        QVERIFY(!clLiveError.first().first().toString().isEmpty());
    }

    QTRY_VERIFY(!pclCtrl->pollingTimer()); // the stop follows the error signal
    QVERIFY(!pclCtrl->isLiveRunning());
    const auto bPollsAnswered = [this] {
        for (const camsim::LoggedMessage& clMsg : pclSim->messages()) {
            if (clMsg.msgId == 4097 && !clMsg.answered)
                return false;
        }
        return true;
    };
    // The listener ends with the poll it has out; none follows (it polls again at once if it runs).
    QVERIFY(pclSim->waitFor(bPollsAnswered, 5000));
    const int iPolls = pclSim->messageCount(4097);
    const std::size_t iFrames = pclSim->frameRequests().size();
    QTest::qWait(300);
    QCOMPARE(pclSim->messageCount(4097), iPolls);
    QCOMPARE(pclSim->frameRequests().size(), iFrames);
}

QTEST_MAIN(TestLiveCtrl)
#include "tst_livectrl.moc"
