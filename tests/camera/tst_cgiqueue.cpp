// The request queue: one command at a time, in arrival order, answers relayed in that order.

#include "camera/ClKD4Cgi.h"
#include "tests/support/SimSupport.h"

#include <QElapsedTimer>
#include <QtTest>

#include <chrono>
#include <thread>

using namespace Kd4Test;

namespace {

ZK_CMD withId(const QUuid& clId, int iId)
{
    ZK_CMD clCmd = command(clId);
    clCmd.insert(ZkKey::ID, iId);
    return clCmd;
}

QList<int> answerIds(const QSignalSpy& clSpy)
{
    QList<int> clIds;
    for (const QList<QVariant>& clArgs : clSpy)
        clIds << clArgs.first().value<ZK_CMD>().value(ZkKey::ID).toInt();
    return clIds;
}

// Waits without running the event loop: what happens now happens without any queued slot.
bool waitBlocking(const std::function<bool()>& fnDone, int iTimeoutMs)
{
    QElapsedTimer clTimer;
    clTimer.start();
    while (!fnDone()) {
        if (clTimer.elapsed() > iTimeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool answered(const camsim::CamSim& clSim, int iMsgId)
{
    for (const camsim::LoggedMessage& clMsg : clSim.messages()) {
        if (clMsg.msgId == iMsgId && clMsg.answered)
            return true;
    }
    return false;
}

} // namespace

class TypeSink : public QObject
{
    Q_OBJECT

public:
    ClAllSettings clSettings;
    ZK_CMD clCmd;
    ClNotifyList clList;

public slots:
    void takeSettings(ClAllSettings clValue) { clSettings = clValue; }
    void takeCmd(ZK_CMD clValue) { clCmd = clValue; }
    void takeList(ClNotifyList clValue) { clList = clValue; }
};

class TestCgiQueue : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void threeRequests_runOneAfterAnotherInOrder();
    void requestWhileIdle_startsWithoutEventLoop();
    void requestAfterEndBeforeFinished_keepsArrivalOrder();
    void clearQueue_dropsWaitingKeepsRunning();
    void destruction_waitsForRunningDropsWaiting();
    void twoQueues_workSideBySide();
    void metaTypes_registeredUnderTheirNames();

private:
    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClKD4Cgi> pclCgi;
};

void TestCgiQueue::init()
{
    pclSim = startSim();
    QVERIFY(pclSim);
    pclCgi = std::make_unique<ClKD4Cgi>(address(*pclSim));
    QVERIFY(openSession(*pclCgi, *pclSim));
}

void TestCgiQueue::cleanup()
{
    pclCgi.reset();
    pclSim.reset();
}

void TestCgiQueue::threeRequests_runOneAfterAnotherInOrder()
{
    pclSim->setFault(513, camsim::Fault::delay(300, 1));
    pclSim->setFault(514, camsim::Fault::delay(200, 1));
    QSignalSpy clSpy(pclCgi.get(), &ClKD4Cgi::sigResponse);
    pclCgi->slotRequest(withId(CMD_MSG_513, 1));
    pclCgi->slotRequest(withId(CMD_MSG_514, 2));
    pclCgi->slotRequest(withId(CMD_GET_ALL_SETTINGS, 3));
    QTRY_COMPARE_WITH_TIMEOUT(clSpy.size(), 3, 10000);
    QCOMPARE(answerIds(clSpy), QList<int>({ 1, 2, 3 }));
    QCOMPARE(messageLog(*pclSim), QStringList({ "513", "514", "3" }));
    // Never two at once: each message went out after the previous one had been answered.
    const auto clMessages = pclSim->messages();
    QVERIFY(clMessages.at(1).timeMs - clMessages.at(0).timeMs >= 290);
    QVERIFY(clMessages.at(2).timeMs - clMessages.at(1).timeMs >= 190);
    QTest::qWait(300);
    QCOMPARE(clSpy.size(), 3);
}

void TestCgiQueue::requestWhileIdle_startsWithoutEventLoop()
{
    QSignalSpy clSpy(pclCgi.get(), &ClKD4Cgi::sigResponse);
    pclCgi->slotRequest(withId(CMD_MSG_513, 1));
    QVERIFY(clSpy.wait(5000));
    QTest::qWait(50); // the first command's finished() has been handled
    // Had it been put on the waiting list, nothing would send it without the event loop.
    pclCgi->slotRequest(withId(CMD_MSG_514, 2));
    QVERIFY(waitBlocking([this] { return pclSim->messageCount(514) == 1; }, 5000));
    QTRY_COMPARE(clSpy.size(), 2);
}

// A record that arrives after the running command has ended, but before its finished() has been
// handled, queues behind the records already waiting rather than jumping ahead of them.
void TestCgiQueue::requestAfterEndBeforeFinished_keepsArrivalOrder()
{
    pclSim->setFault(513, camsim::Fault::delay(200, 1));
    QSignalSpy clSpy(pclCgi.get(), &ClKD4Cgi::sigResponse);
    pclCgi->slotRequest(withId(CMD_MSG_513, 1));
    pclCgi->slotRequest(withId(CMD_MSG_514, 2));
    QVERIFY(waitBlocking([this] { return answered(*pclSim, 513); }, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the worker thread has ended
    pclCgi->slotRequest(withId(CMD_MSG_769, 3));
    QTRY_COMPARE_WITH_TIMEOUT(clSpy.size(), 3, 10000);
    QCOMPARE(answerIds(clSpy), QList<int>({ 1, 2, 3 }));
    QCOMPARE(messageLog(*pclSim), QStringList({ "513", "514", "769" }));
}

void TestCgiQueue::clearQueue_dropsWaitingKeepsRunning()
{
    pclSim->setFault(513, camsim::Fault::delay(400, 1));
    QSignalSpy clSpy(pclCgi.get(), &ClKD4Cgi::sigResponse);
    pclCgi->slotRequest(withId(CMD_MSG_513, 1));
    pclCgi->slotRequest(withId(CMD_MSG_514, 2));
    pclCgi->slotRequest(withId(CMD_MSG_769, 3));
    pclCgi->clearQueue();
    QVERIFY(clSpy.wait(5000));
    QTest::qWait(500);
    QCOMPARE(answerIds(clSpy), QList<int>({ 1 }));
    QCOMPARE(messageLog(*pclSim), QStringList({ "513" }));

    // The queue goes on working afterwards.
    pclCgi->slotRequest(withId(CMD_STOP_LIVE, 4));
    QTRY_COMPARE(clSpy.size(), 2);
    QCOMPARE(answerIds(clSpy), QList<int>({ 1, 4 }));
    QCOMPARE(messageLog(*pclSim), QStringList({ "513", "260" }));
}

void TestCgiQueue::destruction_waitsForRunningDropsWaiting()
{
    pclSim->setFault(513, camsim::Fault::delay(600, 1));
    int iAnswers = 0;
    std::unique_ptr<ClKD4Cgi> pclQueue = std::move(pclCgi);
    connect(pclQueue.get(), &ClKD4Cgi::sigResponse, this, [&iAnswers] { ++iAnswers; });
    pclQueue->slotRequest(withId(CMD_MSG_513, 1));
    pclQueue->slotRequest(withId(CMD_MSG_514, 2));
    pclQueue->slotRequest(withId(CMD_MSG_769, 3));
    QVERIFY(pclSim->waitForMessage(513, 1, 5000));
    QVERIFY(!answered(*pclSim, 513));
    pclQueue.reset();
    // The running command was carried through before the queue went.
    QVERIFY(answered(*pclSim, 513));
    QTest::qWait(300);
    QCOMPARE(messageLog(*pclSim), QStringList({ "513" }));
    QCOMPARE(iAnswers, 0);
}

void TestCgiQueue::twoQueues_workSideBySide()
{
    auto pclSimB = startSim();
    QVERIFY(pclSimB);
    ClKD4Cgi clCgiB(address(*pclSimB));
    QVERIFY(openSession(clCgiB, *pclSimB));
    // One after the other the two answers would take 2 s; side by side a little over 1 s, which
    // leaves a loaded machine plenty of margin.
    pclSim->setFault(513, camsim::Fault::delay(1000, 1));
    pclSimB->setFault(514, camsim::Fault::delay(1000, 1));

    QSignalSpy clSpyA(pclCgi.get(), &ClKD4Cgi::sigResponse);
    QSignalSpy clSpyB(&clCgiB, &ClKD4Cgi::sigResponse);
    QElapsedTimer clTimer;
    clTimer.start();
    pclCgi->slotRequest(withId(CMD_MSG_513, 1));
    clCgiB.slotRequest(withId(CMD_MSG_514, 2));
    pclCgi->slotRequest(withId(CMD_GET_ALL_SETTINGS, 3));
    QTRY_VERIFY_WITH_TIMEOUT(clSpyA.size() == 2 && clSpyB.size() == 1, 10000);
    // Each camera saw only its own queue's messages, and the two ran at the same time.
    QCOMPARE(answerIds(clSpyA), QList<int>({ 1, 3 }));
    QCOMPARE(answerIds(clSpyB), QList<int>({ 2 }));
    QCOMPARE(messageLog(*pclSim), QStringList({ "513", "3" }));
    QCOMPARE(messageLog(*pclSimB), QStringList({ "514" }));
    QVERIFY(clTimer.elapsed() < 1800);
}

void TestCgiQueue::metaTypes_registeredUnderTheirNames()
{
    // Both queues of the test above and this one registered; the names still map to one type each.
    ClKD4Cgi clAnother(QStringLiteral("127.0.0.1:9"));
    QCOMPARE(QMetaType::type("ZK_CMD"), int(QMetaType::QVariantMap));
    QCOMPARE(QMetaType::type("ClAllSettings"), int(QMetaType::QVariantMap));
    QCOMPARE(QMetaType::type("ClNotifyList"), qMetaTypeId<ClNotifyList>());
    QVERIFY(QMetaType::type("QPair<QString,QString>") != QMetaType::UnknownType);
    QCOMPARE(QMetaType::type("QList<QPair<QString,QString>>"), qMetaTypeId<ClNotifyList>());

    // Queued calls carry the types by name.
    TypeSink clSink;
    const ClAllSettings clSettings { { QStringLiteral("zk_wdr"), QStringLiteral("on") } };
    const ZK_CMD clCmd = command(CMD_FORMAT);
    const ClNotifyList clList { qMakePair(QStringLiteral("app_status"), QStringLiteral("record")) };
    QVERIFY(QMetaObject::invokeMethod(
        &clSink, "takeSettings", Qt::QueuedConnection, Q_ARG(ClAllSettings, clSettings)));
    QVERIFY(QMetaObject::invokeMethod(&clSink, "takeCmd", Qt::QueuedConnection, Q_ARG(ZK_CMD, clCmd)));
    QVERIFY(
        QMetaObject::invokeMethod(&clSink, "takeList", Qt::QueuedConnection, Q_ARG(ClNotifyList, clList)));
    QTRY_COMPARE(clSink.clSettings, clSettings);
    QTRY_COMPARE(clSink.clCmd, clCmd);
    QTRY_COMPARE(clSink.clList, clList);
}

QTEST_GUILESS_MAIN(TestCgiQueue)
#include "tst_cgiqueue.moc"
