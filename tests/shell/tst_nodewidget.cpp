// Request routing through the widget tree: the route stack a request collects on its way up and
// the way its response is handed back down.

#include "camera/ClCommands.h"
#include "shell/ClNodeWidget.h"
#include "tests/support/CommandRecords.h"

#include <QSignalSpy>
#include <QtTest>

using ClRouteStack = QStack<ClNodeWidget*>;
using Kd4Test::answerTo;

namespace {

// A node that remembers the responses delivered to it.
class ClRecordingNode : public ClNodeWidget
{
public:
    explicit ClRecordingNode(QWidget* pclParent = nullptr)
        : ClNodeWidget(pclParent)
    {
    }

    QList<ZK_CMD> clReceived;

protected:
    void recvResponse(ZK_CMD clCmd) override { clReceived.append(clCmd); }
};

// A route stack listed bottom to top.
ClRouteStack route(std::initializer_list<ClNodeWidget*> clNodes)
{
    ClRouteStack clRoute;
    for (ClNodeWidget* pclNode : clNodes)
        clRoute.push(pclNode);
    return clRoute;
}

} // namespace

class TestNodeWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sendRequest_stackHoldsSenderThenAncestorsUpToRoot();
    void sendRequest_keepsParametersAndSetsCommand();
    void routeResponse_successReachesOnlyTheSender();
    void routeResponse_unroutableResponsesAreDropped_data();
    void routeResponse_unroutableResponsesAreDropped();
    void routeResponse_lostSessionEndsSessionInsteadOfDelivering_data();
    void routeResponse_lostSessionEndsSessionInsteadOfDelivering();
    void routeResponse_otherErrorsAreDelivered_data();
    void routeResponse_otherErrorsAreDelivered();
    void routeResponse_twoSendersOfOneCommandEachGetTheirOwn();
    void routeResponse_stackSurvivesQueuedHop();

private:
    // root -> panel -> (simple, detail); "stray" is a widget child of the panel that was never
    // added as a node.
    ClRecordingNode* pclRoot = nullptr;
    ClRecordingNode* pclPanel = nullptr;
    ClRecordingNode* pclSimple = nullptr;
    ClRecordingNode* pclDetail = nullptr;
    ClRecordingNode* pclStray = nullptr;

    ZK_CMD sendFrom(ClRecordingNode* pclSender, const QUuid& clCommand, const ZK_CMD& clParams = ZK_CMD());
    int totalReceived() const;
};

void TestNodeWidget::init()
{
    pclRoot = new ClRecordingNode;
    pclPanel = new ClRecordingNode(pclRoot);
    pclSimple = new ClRecordingNode(pclPanel);
    pclDetail = new ClRecordingNode(pclPanel);
    pclStray = new ClRecordingNode(pclPanel);
    pclRoot->addNode(pclPanel);
    pclPanel->addNode(pclSimple);
    pclPanel->addNode(pclDetail);
}

void TestNodeWidget::cleanup()
{
    delete pclRoot;
    pclRoot = pclPanel = pclSimple = pclDetail = pclStray = nullptr;
}

ZK_CMD TestNodeWidget::sendFrom(ClRecordingNode* pclSender, const QUuid& clCommand, const ZK_CMD& clParams)
{
    QSignalSpy clSpy(pclRoot, &ClNodeWidget::sigSendRequest);
    pclSender->sendRequest(clCommand, clParams);
    if (clSpy.count() != 1)
        return ZK_CMD();
    return clSpy.at(0).at(0).value<ZK_CMD>();
}

int TestNodeWidget::totalReceived() const
{
    return pclRoot->clReceived.size() + pclPanel->clReceived.size() + pclSimple->clReceived.size()
        + pclDetail->clReceived.size() + pclStray->clReceived.size();
}

void TestNodeWidget::sendRequest_stackHoldsSenderThenAncestorsUpToRoot()
{
    const ZK_CMD clRequest = sendFrom(pclSimple, CMD_SET_SETTING);
    QVERIFY(!clRequest.isEmpty());
    const QVariant clId = clRequest.value(ZkKey::ID);
    QVERIFY(clId.canConvert<ClRouteStack>());
    const ClRouteStack clRoute = clId.value<ClRouteStack>();
    // Bottom to top: sender, parent, root.
    QCOMPARE(clRoute.size(), 3);
    QCOMPARE(clRoute.at(0), static_cast<ClNodeWidget*>(pclSimple));
    QCOMPARE(clRoute.at(1), static_cast<ClNodeWidget*>(pclPanel));
    QCOMPARE(clRoute.at(2), static_cast<ClNodeWidget*>(pclRoot));

    // A request from the panel itself carries a shorter route.
    const ClRouteStack clPanelRoute
        = sendFrom(pclPanel, CMD_GET_ALL_SETTINGS).value(ZkKey::ID).value<ClRouteStack>();
    QCOMPARE(clPanelRoute.size(), 2);
    QCOMPARE(clPanelRoute.at(0), static_cast<ClNodeWidget*>(pclPanel));
}

void TestNodeWidget::sendRequest_keepsParametersAndSetsCommand()
{
    ZK_CMD clParams;
    clParams.insert(ZkKey::PARAM1, QStringLiteral("video_resolution"));
    clParams.insert(ZkKey::PARAM2, QStringLiteral("1080P30"));
    const ZK_CMD clRequest = sendFrom(pclDetail, CMD_SET_SETTING, clParams);
    QCOMPARE(zkCommand(clRequest), CMD_SET_SETTING);
    QCOMPARE(clRequest.value(ZkKey::CMD).userType(), int(QMetaType::QUuid));
    QCOMPARE(clRequest.value(ZkKey::PARAM1).toString(), QStringLiteral("video_resolution"));
    QCOMPARE(clRequest.value(ZkKey::PARAM2).toString(), QStringLiteral("1080P30"));

    // The stray widget is not a node of the panel: its requests go nowhere.
    QSignalSpy clSpy(pclRoot, &ClNodeWidget::sigSendRequest);
    pclStray->sendRequest(CMD_FORMAT);
    QCOMPARE(clSpy.count(), 0);
}

void TestNodeWidget::routeResponse_successReachesOnlyTheSender()
{
    const ZK_CMD clRequest = sendFrom(pclSimple, CMD_SET_SETTING);
    pclRoot->routeResponse(answerTo(clRequest, 0, QStringLiteral("zk_white_balance")));
    QCOMPARE(pclSimple->clReceived.size(), 1);
    QCOMPARE(totalReceived(), 1);
    const ZK_CMD& clGot = pclSimple->clReceived.first();
    QCOMPARE(zkCommand(clGot), CMD_SET_SETTING);
    QCOMPARE(clGot.value(ZkKey::PARAM1).toString(), QStringLiteral("zk_white_balance"));
    // The route has been used up on the way down.
    QVERIFY(clGot.value(ZkKey::ID).value<ClRouteStack>().isEmpty());

    // A request of the root itself comes back to the root.
    const ZK_CMD clOwn = sendFrom(pclRoot, CMD_GET_ALL_SETTINGS);
    pclRoot->routeResponse(answerTo(clOwn, 0));
    QCOMPARE(pclRoot->clReceived.size(), 1);
}

void TestNodeWidget::routeResponse_unroutableResponsesAreDropped_data()
{
    QTest::addColumn<QString>("strCase");
    QTest::newRow("ID missing") << "missing";
    QTest::newRow("ID of another kind (the session manager's own)") << "qobject";
    QTest::newRow("empty route") << "empty";
    QTest::newRow("top entry is not the receiving node") << "wrongTop";
    QTest::newRow("next node is not a child node") << "notChild";
    QTest::newRow("next node is a widget child but was never added") << "stray";
    QTest::newRow("routed at a node below the top") << "belowTop";
}

void TestNodeWidget::routeResponse_unroutableResponsesAreDropped()
{
    QFETCH(QString, strCase);
    QSignalSpy clEnd(pclRoot, &ClNodeWidget::sigEndSession);

    ZK_CMD clAnswer;
    clAnswer.insert(ZkKey::CMD, CMD_SET_SETTING);
    // Even a lost session must not be ended by a response that is not ours.
    clAnswer.insert(ZkKey::ERROR, ZkError::CameraRefused);
    ClNodeWidget* pclTarget = pclRoot;
    if (strCase == QLatin1String("qobject")) {
        clAnswer.insert(ZkKey::ID, QVariant::fromValue<QObject*>(pclRoot));
    } else if (strCase == QLatin1String("empty")) {
        clAnswer.insert(ZkKey::ID, QVariant::fromValue(ClRouteStack()));
    } else if (strCase == QLatin1String("wrongTop")) {
        // A valid route below a wrong top entry: it must not be followed.
        clAnswer.insert(ZkKey::ID, QVariant::fromValue(route({ pclSimple, pclPanel, pclDetail })));
    } else if (strCase == QLatin1String("notChild")) {
        // The detail page is a grandchild of the root, not one of its nodes.
        clAnswer.insert(ZkKey::ID, QVariant::fromValue(route({ pclDetail, pclRoot })));
    } else if (strCase == QLatin1String("stray")) {
        clAnswer.insert(ZkKey::ID, QVariant::fromValue(route({ pclStray, pclPanel, pclRoot })));
    } else if (strCase == QLatin1String("belowTop")) {
        clAnswer.insert(ZkKey::ID, QVariant::fromValue(route({ pclSimple, pclPanel, pclRoot })));
        pclTarget = pclPanel;
    }
    pclTarget->routeResponse(clAnswer);
    QCOMPARE(totalReceived(), 0);
    QCOMPARE(clEnd.count(), 0);
}

void TestNodeWidget::routeResponse_lostSessionEndsSessionInsteadOfDelivering_data()
{
    QTest::addColumn<QVariant>("clError");
    QTest::newRow("-4 camera refused") << QVariant(ZkError::CameraRefused);
    QTest::newRow("-4 as numeric text") << QVariant(QStringLiteral("-4"));
}

void TestNodeWidget::routeResponse_lostSessionEndsSessionInsteadOfDelivering()
{
    QFETCH(QVariant, clError);
    QSignalSpy clSimpleEnd(pclSimple, &ClNodeWidget::sigEndSession);
    QSignalSpy clDetailEnd(pclDetail, &ClNodeWidget::sigEndSession);
    QSignalSpy clPanelEnd(pclPanel, &ClNodeWidget::sigEndSession);
    QSignalSpy clRootEnd(pclRoot, &ClNodeWidget::sigEndSession);

    const ZK_CMD clRequest = sendFrom(pclSimple, CMD_SET_SETTING);
    pclRoot->routeResponse(answerTo(clRequest, clError));

    QCOMPARE(totalReceived(), 0);
    QCOMPARE(clSimpleEnd.count(), 1);
    QCOMPARE(clPanelEnd.count(), 1); // relayed up the tree
    QCOMPARE(clRootEnd.count(), 1);
    QCOMPARE(clDetailEnd.count(), 0);
}

void TestNodeWidget::routeResponse_otherErrorsAreDelivered_data()
{
    QTest::addColumn<QVariant>("clError");
    QTest::addColumn<int>("iExpected");
    QTest::newRow("camera error 1") << QVariant(1) << 1;
    QTest::newRow("no rval -1") << QVariant(-1) << -1;
    QTest::newRow("not JSON -1002") << QVariant(ZkError::NotJson) << int(ZkError::NotJson);
    // The sender reports a lost change and reads the settings again; the session goes on.
    QTest::newRow("-1000 transfer timed out") << QVariant(ZkError::Timeout) << int(ZkError::Timeout);
    QTest::newRow("-1001 transfer failed")
        << QVariant(ZkError::TransferFailed) << int(ZkError::TransferFailed);
    QTest::newRow("-1000 as numeric text") << QVariant(QStringLiteral("-1000")) << int(ZkError::Timeout);
    QTest::newRow("ERROR missing reads as 0") << QVariant() << 0;
    QTest::newRow("ERROR not a number reads as 0") << QVariant(QStringLiteral("bad")) << 0;
}

void TestNodeWidget::routeResponse_otherErrorsAreDelivered()
{
    QFETCH(QVariant, clError);
    QFETCH(int, iExpected);
    QSignalSpy clRootEnd(pclRoot, &ClNodeWidget::sigEndSession);

    const ZK_CMD clRequest = sendFrom(pclDetail, CMD_SET_SETTING);
    pclRoot->routeResponse(answerTo(clRequest, clError));

    QCOMPARE(pclDetail->clReceived.size(), 1);
    QCOMPARE(totalReceived(), 1);
    QCOMPARE(zkError(pclDetail->clReceived.first()), iExpected);
    QCOMPARE(clRootEnd.count(), 0);
}

void TestNodeWidget::routeResponse_twoSendersOfOneCommandEachGetTheirOwn()
{
    const ZK_CMD clFromSimple = sendFrom(pclSimple, CMD_GET_ALL_SETTINGS);
    const ZK_CMD clFromDetail = sendFrom(pclDetail, CMD_GET_ALL_SETTINGS);

    // Answers in the opposite order, each with its own result.
    pclRoot->routeResponse(answerTo(clFromDetail, 0, QStringLiteral("for detail")));
    pclRoot->routeResponse(answerTo(clFromSimple, 0, QStringLiteral("for simple")));

    QCOMPARE(pclSimple->clReceived.size(), 1);
    QCOMPARE(pclDetail->clReceived.size(), 1);
    QCOMPARE(totalReceived(), 2);
    QCOMPARE(pclSimple->clReceived.first().value(ZkKey::PARAM1).toString(), QStringLiteral("for simple"));
    QCOMPARE(pclDetail->clReceived.first().value(ZkKey::PARAM1).toString(), QStringLiteral("for detail"));
}

void TestNodeWidget::routeResponse_stackSurvivesQueuedHop()
{
    // The camera layers answer across threads; the record and its route must survive a queue.
    QObject clReceiver;
    connect(
        pclRoot, &ClNodeWidget::sigSendRequest, &clReceiver,
        [this](
            ZK_CMD clRequest) { pclRoot->routeResponse(answerTo(clRequest, 0, QStringLiteral("queued"))); },
        Qt::QueuedConnection);
    pclSimple->sendRequest(CMD_GET_ALL_SETTINGS);
    QCOMPARE(pclSimple->clReceived.size(), 0);
    QTRY_COMPARE(pclSimple->clReceived.size(), 1);
    QCOMPARE(pclSimple->clReceived.first().value(ZkKey::PARAM1).toString(), QStringLiteral("queued"));
}

QTEST_MAIN(TestNodeWidget)
#include "tst_nodewidget.moc"
