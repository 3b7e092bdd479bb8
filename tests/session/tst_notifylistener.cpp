// The notification listener: a long-poll loop on its own thread that passes on non-empty batches.

#include "session/ClNotifyListener.h"
#include "tests/support/SimSupport.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace Kd4Test;

namespace {

int pollCount(const camsim::CamSim& clSim)
{
    return clSim.messageCount(4097);
}

bool allPollsAnswered(const camsim::CamSim& clSim)
{
    for (const camsim::LoggedMessage& clMsg : clSim.messages()) {
        if (clMsg.msgId == 4097 && !clMsg.answered)
            return false;
    }
    return true;
}

} // namespace

class TestNotifyListener : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyPolls_emitNothing();
    void batches_arriveInCameraOrder();
    void stopDuringPoll_stillEmitsThatResult();
    void startTwice_runsOneLoop();
    void restartWhileLastPollRuns_keepsListening();
    void failedPolls_pollAgain();
    void quickFailures_restBetweenPolls();
    void destruction_waitsForPollInProgress();
    void noSource_endsAtOnce();

private:
    // Batches arrive here in the test's thread, by the queued connection the program uses too.
    void collect(ClNotifyListener& clListener, QList<ClNotifyList>& clGot)
    {
        connect(&clListener, &ClNotifyListener::sigNotify, this,
            [&clGot](ClNotifyList clList) { clGot << clList; });
    }

    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClKD4Cgi> pclCgi;
};

void TestNotifyListener::init()
{
    pclSim = startSim();
    QVERIFY(pclSim);
    pclCgi = std::make_unique<ClKD4Cgi>(address(*pclSim));
    QVERIFY(openSession(*pclCgi, *pclSim));
}

void TestNotifyListener::cleanup()
{
    pclCgi.reset();
    pclSim.reset();
}

void TestNotifyListener::emptyPolls_emitNothing()
{
    ClNotifyListener clListener(pclCgi.get());
    QList<ClNotifyList> clGot;
    collect(clListener, clGot);
    clListener.startListening();
    // One full hold of two seconds and the next poll right behind it.
    QVERIFY(pclSim->waitFor([this] { return pollCount(*pclSim) >= 2; }, 6000));
    QCOMPARE(clGot.size(), 0);
    const auto clMessages = pclSim->messages();
    QVERIFY(clMessages.at(1).timeMs - clMessages.at(0).timeMs >= 1900);
    QCOMPARE(clMessages.at(0).timeout, 2);
    clListener.stopListening();
    QVERIFY(clListener.wait(10000));
    QCOMPARE(clGot.size(), 0);
}

void TestNotifyListener::batches_arriveInCameraOrder()
{
    ClNotifyListener clListener(pclCgi.get());
    QList<ClNotifyList> clGot;
    collect(clListener, clGot);
    clListener.startListening();
    QVERIFY(pclSim->waitForMessage(4097));
    pclSim->startRecording();
    QTRY_VERIFY_WITH_TIMEOUT(!clGot.isEmpty(), 5000);
    QCOMPARE(clGot.first(), ClNotifyList({ qMakePair(QStringLiteral("starting_video_record"), QString()) }));

    pclSim->queueNotification("app_status", "record");
    pclSim->queueNotification("video_record_complete", "/DCIM/0001.MP4");
    QTRY_VERIFY_WITH_TIMEOUT(clGot.size() >= 2, 5000);
    // Whether the two came in one batch or two, their order holds.
    ClNotifyList clAll;
    for (int i = 1; i < clGot.size(); ++i)
        clAll += clGot.at(i);
    QCOMPARE(clAll,
        ClNotifyList({ qMakePair(QStringLiteral("app_status"), QStringLiteral("record")),
            qMakePair(QStringLiteral("video_record_complete"), QStringLiteral("/DCIM/0001.MP4")) }));
    clListener.stopListening();
    clListener.wait();
}

void TestNotifyListener::stopDuringPoll_stillEmitsThatResult()
{
    ClNotifyListener clListener(pclCgi.get());
    QList<ClNotifyList> clGot;
    collect(clListener, clGot);
    clListener.startListening();
    QVERIFY(pclSim->waitForMessage(4097));
    clListener.stopListening();
    QVERIFY(clListener.isRunning());
    pclSim->queueNotification("video_record_complete", "x");
    QVERIFY(clListener.wait(10000));
    QTRY_COMPARE(clGot.size(), 1);
    QCOMPARE(clGot.first(),
        ClNotifyList({ qMakePair(QStringLiteral("video_record_complete"), QStringLiteral("x")) }));
    // No poll after the stop.
    QCOMPARE(pollCount(*pclSim), 1);
}

void TestNotifyListener::startTwice_runsOneLoop()
{
    ClNotifyListener clListener(pclCgi.get());
    clListener.startListening();
    clListener.startListening();
    QVERIFY(pclSim->waitForMessage(4097));
    QTest::qWait(1000); // within the first poll's hold
    QCOMPARE(pollCount(*pclSim), 1);
    clListener.stopListening();
    QVERIFY(clListener.wait(10000));
}

void TestNotifyListener::restartWhileLastPollRuns_keepsListening()
{
    ClNotifyListener clListener(pclCgi.get());
    QList<ClNotifyList> clGot;
    collect(clListener, clGot);
    clListener.startListening();
    QVERIFY(pclSim->waitForMessage(4097));
    clListener.stopListening();
    clListener.startListening();
    // The loop did not end after its poll: the one after it still delivers.
    QVERIFY(pclSim->waitFor([this] { return pollCount(*pclSim) >= 2; }, 6000));
    pclSim->queueNotification("app_status", "idle");
    QTRY_VERIFY_WITH_TIMEOUT(!clGot.isEmpty(), 5000);
    QVERIFY(clListener.isRunning());
    clListener.stopListening();
    QVERIFY(clListener.wait(10000));
}

void TestNotifyListener::failedPolls_pollAgain()
{
    pclSim->setFault(4097, camsim::Fault::withRval(-4, 3));
    ClNotifyListener clListener(pclCgi.get());
    QList<ClNotifyList> clGot;
    collect(clListener, clGot);
    pclSim->queueNotification("app_status", "record");
    clListener.startListening();
    QTRY_VERIFY_WITH_TIMEOUT(!clGot.isEmpty(), 5000);
    QVERIFY(pollCount(*pclSim) >= 4); // three refused, then the one that delivered
    QCOMPARE(clGot.size(), 1);
    clListener.stopListening();
    clListener.wait();
}

// A camera that refuses every poll at once (its session is gone) is not polled in a tight loop, and
// the rest between polls does not hold up a stop.
void TestNotifyListener::quickFailures_restBetweenPolls()
{
    pclSim->endSession(); // every poll is now answered -4 at once
    ClNotifyListener clListener(pclCgi.get());
    clListener.startListening();
    QVERIFY(pclSim->waitForMessage(4097));
    QTest::qWait(2000);
    // About one poll per rest of half a second; a tight loop makes hundreds.
    const int iPolls = pollCount(*pclSim);
    QVERIFY2(iPolls >= 2 && iPolls <= 8, qPrintable(QString::number(iPolls)));

    // Stopped during a rest: the thread ends well before the rest would have.
    QVERIFY(pclSim->waitForMessage(4097, iPolls + 1, 3000));
    QElapsedTimer clClock;
    clClock.start();
    clListener.stopListening();
    QVERIFY(clListener.wait(5000));
    QVERIFY2(clClock.elapsed() < 350, qPrintable(QString::number(clClock.elapsed())));
}

void TestNotifyListener::destruction_waitsForPollInProgress()
{
    auto pclListener = std::make_unique<ClNotifyListener>(pclCgi.get());
    pclListener->startListening();
    QVERIFY(pclSim->waitForMessage(4097));
    QVERIFY(!allPollsAnswered(*pclSim));
    pclListener.reset();
    QVERIFY(allPollsAnswered(*pclSim));
    QCOMPARE(pollCount(*pclSim), 1);
}

void TestNotifyListener::noSource_endsAtOnce()
{
    ClNotifyListener clListener(nullptr);
    clListener.startListening();
    QVERIFY(clListener.wait(2000));
    QVERIFY(!clListener.isRunning());
}

QTEST_GUILESS_MAIN(TestNotifyListener)
#include "tst_notifylistener.moc"
