// The camera messages each command produces, checked in the simulated camera's own log.

#include "camera/ClKD4CgiWorker.h"
#include "tests/support/SimSupport.h"

#include <QDateTime>
#include <QtTest>

#include <thread>

using namespace Kd4Test;

namespace {

// An answer holds "CMD", "ID", "ERROR" and at most "PARAM1"; never "PARAM2".
bool hasOnlyAnswerKeys(const ZK_CMD& clAnswer)
{
    for (const QString& strKey : clAnswer.keys()) {
        if (strKey != ZkKey::CMD && strKey != ZkKey::ID && strKey != ZkKey::ERROR && strKey != ZkKey::PARAM1)
            return false;
    }
    return clAnswer.contains(ZkKey::CMD) && clAnswer.contains(ZkKey::ID) && clAnswer.contains(ZkKey::ERROR);
}

// Faults that let the first `iPass` messages of a number through and answer the next one with iRval.
void failNth(camsim::CamSim& clSim, int iMsgId, int iPass, int iRval)
{
    if (iPass > 0)
        clSim.addFault(iMsgId, camsim::Fault::delay(0, iPass));
    clSim.addFault(iMsgId, camsim::Fault::withRval(iRval, 1));
}

} // namespace

class TestCgiWorker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startSession_sends257Then260();
    void startSession_refusedSendsNothingMore();
    void simpleCommands_data();
    void simpleCommands();
    void startLive_data();
    void startLive();
    void startLive_stopsAtFirstFailure_data();
    void startLive_stopsAtFirstFailure();
    void setSetting_data();
    void setSetting();
    void setSetting_normalResolutionPausesBeforeStreamSettings();
    void setSetting_conversions_data();
    void setSetting_conversions();
    void getAllSettings_typesValuesByKey();
    void getAllSettings_refusedHasNoResult();
    void unknownIdentity_answersWithoutCameraMessage_data();
    void unknownIdentity_answersWithoutCameraMessage();
    void timeouts_retriedOnlyWhereAllowed();
    void pollNotifications_heldTwoSecondsInCameraOrder();
    void wireConversions_data();
    void wireConversions();
    void getAddress_isTheCameraAddress();

private:
    std::unique_ptr<camsim::CamSim> pclSim;
    std::unique_ptr<ClKD4Cgi> pclCgi;
};

void TestCgiWorker::init()
{
    pclSim = startSim();
    QVERIFY(pclSim);
    pclCgi = std::make_unique<ClKD4Cgi>(address(*pclSim));
    QVERIFY(openSession(*pclCgi, *pclSim));
}

void TestCgiWorker::cleanup()
{
    pclCgi.reset();
    pclSim.reset();
}

void TestCgiWorker::startSession_sends257Then260()
{
    ZK_CMD clCmd = command(CMD_START_SESSION);
    clCmd.insert(ZkKey::ID, 42);
    const ZK_CMD clAnswer = run(*pclCgi, clCmd);
    QVERIFY(hasOnlyAnswerKeys(clAnswer));
    QCOMPARE(zkCommand(clAnswer), CMD_START_SESSION);
    QCOMPARE(clAnswer.value(ZkKey::ID), QVariant(42));
    QCOMPARE(clAnswer.value(ZkKey::ERROR), QVariant(0));
    QVERIFY(!clAnswer.contains(ZkKey::PARAM1));
    QCOMPARE(messageLog(*pclSim), QStringList({ "257", "260" }));
    // The new token is the one the next message carries.
    const auto clMessages = pclSim->messages();
    QCOMPARE(clMessages.at(0).token, 0);
    QCOMPARE(clMessages.at(1).token, pclSim->sessionToken());
}

void TestCgiWorker::startSession_refusedSendsNothingMore()
{
    pclSim->setFault(257, camsim::Fault::withRval(-3, 1));
    const ZK_CMD clAnswer = run(*pclCgi, command(CMD_START_SESSION));
    QCOMPARE(zkError(clAnswer), -3);
    QCOMPARE(messageLog(*pclSim), QStringList({ "257" }));
}

void TestCgiWorker::simpleCommands_data()
{
    QTest::addColumn<QUuid>("clId");
    QTest::addColumn<QStringList>("clExpected");
    QTest::newRow("stop session") << CMD_STOP_SESSION << QStringList({ "258" });
    QTest::newRow("stop live") << CMD_STOP_LIVE << QStringList({ "260" });
    QTest::newRow("format") << CMD_FORMAT << QStringList({ "4 =D:" });
    QTest::newRow("513") << CMD_MSG_513 << QStringList({ "513" });
    QTest::newRow("514") << CMD_MSG_514 << QStringList({ "514" });
    QTest::newRow("769") << CMD_MSG_769 << QStringList({ "769" });
}

void TestCgiWorker::simpleCommands()
{
    QFETCH(QUuid, clId);
    QFETCH(QStringList, clExpected);
    const ZK_CMD clAnswer = run(*pclCgi, command(clId, QStringLiteral("ignored"), QStringLiteral("ignored")));
    QVERIFY(hasOnlyAnswerKeys(clAnswer));
    QCOMPARE(zkCommand(clAnswer), clId);
    QCOMPARE(zkError(clAnswer), 0);
    QVERIFY(!clAnswer.contains(ZkKey::PARAM1));
    QCOMPARE(messageLog(*pclSim), clExpected);
}

void TestCgiWorker::startLive_data()
{
    QTest::addColumn<QString>("strType");
    QTest::addColumn<QString>("strCameraType");
    QTest::addColumn<QString>("strResolution");
    QTest::addColumn<bool>("bCameraAcceptsAnything");
    QTest::addColumn<QStringList>("clExpected");
    QTest::addColumn<int>("iError");
    QTest::addColumn<QString>("strUrl"); // "%1" stands for the camera address

    const QString strNormal = QStringLiteral("1920x1080 30P 16:9");
    QTest::newRow("mjpg, type unchanged")
        << "mjpg"
        << "mjpg" << strNormal << false
        << QStringList({ "260", "3", "260", "2 stream_while_record=on", "259 =none_force" }) << 0
        << "http://%1/mjpeg/amba.jpg";
    QTest::newRow("mjpg, type changed") << "mjpg"
                                        << "rtsp" << strNormal << false
                                        << QStringList({ "260", "3", "2 stream_type=mjpg", "260",
                                               "2 stream_while_record=on", "259 =none_force" })
                                        << 0 << "http://%1/mjpeg/amba.jpg";
    QTest::newRow("rtsp") << "rtsp"
                          << "mjpg" << strNormal << false
                          << QStringList({ "260", "3", "2 stream_type=rtsp", "260",
                                 "2 stream_while_record=on", "259 =none_force" })
                          << 0 << "rtsp://%1/live";
    QTest::newRow("hls") << "hls"
                         << "hls" << strNormal << false
                         << QStringList({ "260", "3", "260", "2 stream_while_record=on", "259 =none_force" })
                         << 0 << "http://%1/live/amba.m3u8";
    QTest::newRow("high-speed resolution") << "mjpg"
                                           << "mjpg"
                                           << "848x480 240P 16:9" << false
                                           << QStringList({ "260", "3", "260", "2 stream_while_record=on",
                                                  "2 stream_while_record=off", "259 =none_force" })
                                           << 0 << "http://%1/mjpeg/amba.jpg";
    // The type is still sent and the live view prepared; only the URL is missing.
    QTest::newRow("unknown type") << "vp8"
                                  << "mjpg" << strNormal << true
                                  << QStringList({ "260", "3", "2 stream_type=vp8", "260",
                                         "2 stream_while_record=on", "259 =none_force" })
                                  << -1 << "";
}

void TestCgiWorker::startLive()
{
    QFETCH(QString, strType);
    QFETCH(QString, strCameraType);
    QFETCH(QString, strResolution);
    QFETCH(bool, bCameraAcceptsAnything);
    QFETCH(QStringList, clExpected);
    QFETCH(int, iError);
    QFETCH(QString, strUrl);

    pclSim->setSetting("stream_type", strCameraType.toStdString());
    pclSim->setSetting("video_resolution", strResolution.toStdString());
    if (bCameraAcceptsAnything)
        pclSim->setFault(2, camsim::Fault::withRval(0, 1)); // the stream type message is answered 0

    const ZK_CMD clAnswer = run(*pclCgi, command(CMD_START_LIVE, strType));
    QVERIFY(hasOnlyAnswerKeys(clAnswer));
    QCOMPARE(zkCommand(clAnswer), CMD_START_LIVE);
    QCOMPARE(zkError(clAnswer), iError);
    QVERIFY(clAnswer.contains(ZkKey::PARAM1));
    QCOMPARE(clAnswer.value(ZkKey::PARAM1).toString(),
        strUrl.isEmpty() ? QString() : strUrl.arg(address(*pclSim)));
    QCOMPARE(messageLog(*pclSim), clExpected);
    if (!bCameraAcceptsAnything)
        QCOMPARE(QString::fromStdString(pclSim->setting("stream_type")), strType);
    QVERIFY(pclSim->viewFinderRunning());
}

void TestCgiWorker::startLive_stopsAtFirstFailure_data()
{
    QTest::addColumn<int>("iMsgId");
    QTest::addColumn<int>("iPass");
    QTest::addColumn<QStringList>("clExpected");

    QTest::newRow("first 260") << 260 << 0 << QStringList({ "260" });
    QTest::newRow("settings read") << 3 << 0 << QStringList({ "260", "3" });
    QTest::newRow("stream type") << 2 << 0 << QStringList({ "260", "3", "2 stream_type=rtsp" });
    QTest::newRow("view finder reset") << 259 << 0
                                       << QStringList({ "260", "3", "2 stream_type=rtsp", "260",
                                              "2 stream_while_record=on", "259 =none_force" });
}

void TestCgiWorker::startLive_stopsAtFirstFailure()
{
    QFETCH(int, iMsgId);
    QFETCH(int, iPass);
    QFETCH(QStringList, clExpected);

    failNth(*pclSim, iMsgId, iPass, -21);
    const ZK_CMD clAnswer = run(*pclCgi, command(CMD_START_LIVE, QStringLiteral("rtsp")));
    QVERIFY(hasOnlyAnswerKeys(clAnswer));
    QCOMPARE(zkError(clAnswer), -21);
    QVERIFY(!clAnswer.contains(ZkKey::PARAM1));
    QCOMPARE(messageLog(*pclSim), clExpected);
}

void TestCgiWorker::setSetting_data()
{
    QTest::addColumn<QString>("strValue");
    QTest::addColumn<int>("iFailMsg"); // which message 2 (1-based) the camera refuses; 0: none
    QTest::addColumn<QStringList>("clExpected");
    QTest::addColumn<int>("iError");
    QTest::addColumn<bool>("bHasResult");

    const QString strHigh = QStringLiteral("848x480 240P 16:9");
    const QString strNormal = QStringLiteral("1920x1080 60P 16:9");
    const QString strSetHigh = QStringLiteral("2 video_resolution=") + strHigh;
    const QString strSetNormal = QStringLiteral("2 video_resolution=") + strNormal;

    QTest::newRow("high-speed") << strHigh << 0
                                << QStringList(
                                       { "2 std_def_video=off", "2 stream_while_record=off", strSetHigh })
                                << 0 << true;
    QTest::newRow("other high-speed") << "1280x720 120P 16:9" << 0
                                      << QStringList({ "2 std_def_video=off", "2 stream_while_record=off",
                                             "2 video_resolution=1280x720 120P 16:9" })
                                      << 0 << true;
    QTest::newRow("normal") << strNormal << 0
                            << QStringList({ strSetNormal, "2 std_def_video=on", "2 stream_while_record=on" })
                            << 0 << true;
    // The camera refuses it; only the one message goes out.
    QTest::newRow("neither") << "3840x2160 30P 16:9" << 0
                             << QStringList({ "2 video_resolution=3840x2160 30P 16:9" }) << -14 << true;
    QTest::newRow("high-speed, first step refused")
        << strHigh << 1 << QStringList({ "2 std_def_video=off" }) << -21 << false;
    QTest::newRow("high-speed, second step refused")
        << strHigh << 2 << QStringList({ "2 std_def_video=off", "2 stream_while_record=off" }) << -21
        << false;
    QTest::newRow("normal, main set refused")
        << strNormal << 1 << QStringList({ strSetNormal }) << -21 << true;
    QTest::newRow("normal, standard definition refused")
        << strNormal << 2 << QStringList({ strSetNormal, "2 std_def_video=on" }) << -21 << true;
    // The last step's result is not used.
    QTest::newRow("normal, stream while recording refused")
        << strNormal << 3 << QStringList({ strSetNormal, "2 std_def_video=on", "2 stream_while_record=on" })
        << 0 << true;
}

void TestCgiWorker::setSetting()
{
    QFETCH(QString, strValue);
    QFETCH(int, iFailMsg);
    QFETCH(QStringList, clExpected);
    QFETCH(int, iError);
    QFETCH(bool, bHasResult);

    if (iFailMsg > 0)
        failNth(*pclSim, 2, iFailMsg - 1, -21);
    ZK_CMD clCmd = command(CMD_SET_SETTING, QStringLiteral("video_resolution"), strValue);
    clCmd.insert(ZkKey::ID, QStringLiteral("route"));
    const ZK_CMD clAnswer = run(*pclCgi, clCmd);
    QVERIFY(hasOnlyAnswerKeys(clAnswer));
    QCOMPARE(clAnswer.value(ZkKey::ID), QVariant(QStringLiteral("route")));
    QCOMPARE(zkError(clAnswer), iError);
    QCOMPARE(clAnswer.contains(ZkKey::PARAM1), bHasResult);
    if (bHasResult)
        QCOMPARE(clAnswer.value(ZkKey::PARAM1), QVariant(QStringLiteral("video_resolution")));
    QCOMPARE(messageLog(*pclSim), clExpected);
}

void TestCgiWorker::setSetting_normalResolutionPausesBeforeStreamSettings()
{
    run(*pclCgi,
        command(CMD_SET_SETTING, QStringLiteral("video_resolution"), QStringLiteral("1280x720 60P 16:9")));
    const auto clMessages = pclSim->messages();
    QCOMPARE(clMessages.size(), size_t(3));
    // 100 ms between the resolution and the first stream setting; loosely, as the host allows.
    const std::int64_t llPause = clMessages.at(1).timeMs - clMessages.at(0).timeMs;
    QVERIFY2(llPause >= 90, qPrintable(QString::number(llPause)));
    QVERIFY2(clMessages.at(2).timeMs - clMessages.at(1).timeMs < 90, "no pause before the last step");
}

void TestCgiWorker::setSetting_conversions_data()
{
    QTest::addColumn<QString>("strKey");
    QTest::addColumn<QVariant>("clValue");
    QTest::addColumn<QString>("strExpected");
    QTest::addColumn<QString>("strResult");

    QTest::newRow("clock from date and time")
        << "camera_clock" << QVariant(QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9)))
        << "2 camera_clock=2024-02-29 13:05:09"
        << "camera_clock";
    QTest::newRow("clock from the camera's text")
        << "camera_clock" << QVariant(QStringLiteral("2023-12-31 23:59:58"))
        << "2 camera_clock=2023-12-31 23:59:58"
        << "camera_clock";
    QTest::newRow("clock invalid") << "camera_clock" << QVariant(QDateTime()) << "2"
                                   << "";
    QTest::newRow("volume int") << "zk_speaker_volume" << QVariant(7) << "2 zk_speaker_volume=7"
                                << "zk_speaker_volume";
    QTest::newRow("volume negative") << "zk_rec_audio_balance" << QVariant(-3) << "2 zk_rec_audio_balance=-3"
                                     << "zk_rec_audio_balance";
    QTest::newRow("volume text number")
        << "zk_rec_audio_level" << QVariant(QStringLiteral("4")) << "2 zk_rec_audio_level=4"
        << "zk_rec_audio_level";
    QTest::newRow("volume not a number")
        << "zk_speaker_volume" << QVariant(QStringLiteral("loud")) << "2 zk_speaker_volume=0"
        << "zk_speaker_volume";
    QTest::newRow("volume invalid") << "zk_speaker_volume" << QVariant() << "2"
                                    << "";
    QTest::newRow("text") << "zk_white_balance" << QVariant(QStringLiteral("cloudy"))
                          << "2 zk_white_balance=cloudy"
                          << "zk_white_balance";
    QTest::newRow("text from a number") << "zk_angle_deg" << QVariant(145) << "2 zk_angle_deg=145"
                                        << "zk_angle_deg";
    QTest::newRow("text invalid") << "zk_white_balance" << QVariant() << "2"
                                  << "";
    // UTF-8 on the wire; the camera's answer does not matter here.
    QTest::newRow("text in UTF-8") << "zk_ap_ssid" << QVariant(QStringLiteral("Kamera-\u00fc\u65e5"))
                                   << QStringLiteral("2 zk_ap_ssid=Kamera-\u00fc\u65e5") << "zk_ap_ssid";
}

void TestCgiWorker::setSetting_conversions()
{
    QFETCH(QString, strKey);
    QFETCH(QVariant, clValue);
    QFETCH(QString, strExpected);
    QFETCH(QString, strResult);

    const ZK_CMD clAnswer = run(*pclCgi, command(CMD_SET_SETTING, strKey, clValue));
    QVERIFY(hasOnlyAnswerKeys(clAnswer));
    QCOMPARE(messageLog(*pclSim), QStringList({ strExpected }));
    // The key as sent, empty when nothing could be sent.
    QVERIFY(clAnswer.contains(ZkKey::PARAM1));
    QCOMPARE(clAnswer.value(ZkKey::PARAM1).toString(), strResult);
    const auto clMessages = pclSim->messages();
    QCOMPARE(clMessages.at(0).raw.find("\"type\":\"\"") == std::string::npos, true);
    QCOMPARE(clMessages.at(0).raw.find("\"param\":\"\"") == std::string::npos, true);
}

void TestCgiWorker::getAllSettings_typesValuesByKey()
{
    pclSim->setSetting("camera_clock", "2022-07-01 08:09:10");
    pclSim->setSetting("zk_rec_audio_level", "loud");
    pclSim->setSetting("zk_white_balance", "night");
    ZK_CMD clCmd = command(CMD_GET_ALL_SETTINGS);
    clCmd.insert(ZkKey::ID, QVariant::fromValue<QObject*>(this));
    const ZK_CMD clAnswer = run(*pclCgi, clCmd);
    QVERIFY(hasOnlyAnswerKeys(clAnswer));
    QCOMPARE(clAnswer.value(ZkKey::ID).value<QObject*>(), this);
    QCOMPARE(zkError(clAnswer), 0);
    QCOMPARE(messageLog(*pclSim), QStringList({ "3" }));

    const ClAllSettings clSettings = clAnswer.value(ZkKey::PARAM1).toMap();
    // One entry per key the camera reported (it keeps its access point keys to itself).
    QStringList clCameraKeys;
    for (const auto& clEntry : pclSim->settings()) {
        if (clEntry.first != "zk_ap_ssid" && clEntry.first != "zk_ap_key")
            clCameraKeys << QString::fromStdString(clEntry.first);
    }
    clCameraKeys.sort();
    QCOMPARE(clSettings.keys(), clCameraKeys);
    const QDateTime clClock = clSettings.value(QStringLiteral("camera_clock")).toDateTime();
    QCOMPARE(clSettings.value(QStringLiteral("camera_clock")).userType(), int(QMetaType::QDateTime));
    QCOMPARE(clClock.date(), QDate(2022, 7, 1));
    QVERIFY(clClock.time() >= QTime(8, 9, 10) && clClock.time() < QTime(8, 10));
    QCOMPARE(clSettings.value(QStringLiteral("zk_speaker_volume")), QVariant(32));
    QCOMPARE(clSettings.value(QStringLiteral("zk_rec_audio_level")), QVariant(0));
    QCOMPARE(clSettings.value(QStringLiteral("zk_rec_audio_balance")), QVariant(0));
    QCOMPARE(clSettings.value(QStringLiteral("zk_white_balance")), QVariant(QStringLiteral("night")));
    QCOMPARE(clSettings.value(QStringLiteral("zk_battery")), QVariant(QStringLiteral("80")));
}

void TestCgiWorker::getAllSettings_refusedHasNoResult()
{
    pclSim->setFault(3, camsim::Fault::withRval(-4, 1));
    const ZK_CMD clAnswer = run(*pclCgi, command(CMD_GET_ALL_SETTINGS));
    QVERIFY(hasOnlyAnswerKeys(clAnswer));
    QCOMPARE(zkError(clAnswer), -4);
    QVERIFY(!clAnswer.contains(ZkKey::PARAM1));
    // Only a time-out is retried.
    QCOMPARE(messageLog(*pclSim), QStringList({ "3" }));
}

void TestCgiWorker::unknownIdentity_answersWithoutCameraMessage_data()
{
    QTest::addColumn<QVariant>("clCmdValue");
    QTest::addColumn<QUuid>("clExpected");
    const QUuid clOther = QUuid::createUuid();
    QTest::newRow("other identity") << QVariant::fromValue(clOther) << clOther;
    QTest::newRow("identity as text, other case")
        << QVariant(QStringLiteral("{c0ffee00-0000-4000-8000-000000000001}"))
        << QUuid(QStringLiteral("{C0FFEE00-0000-4000-8000-000000000001}"));
    QTest::newRow("no identity") << QVariant() << QUuid();
    QTest::newRow("not an identity") << QVariant(12) << QUuid();
}

void TestCgiWorker::unknownIdentity_answersWithoutCameraMessage()
{
    QFETCH(QVariant, clCmdValue);
    QFETCH(QUuid, clExpected);
    ZK_CMD clCmd;
    if (clCmdValue.isValid())
        clCmd.insert(ZkKey::CMD, clCmdValue);
    clCmd.insert(ZkKey::ID, QStringLiteral("who"));
    clCmd.insert(ZkKey::PARAM1, 1);
    clCmd.insert(ZkKey::PARAM2, 2);
    const ZK_CMD clAnswer = run(*pclCgi, clCmd);
    QCOMPARE(clAnswer.keys(), QStringList({ "CMD", "ERROR", "ID" }));
    QCOMPARE(zkCommand(clAnswer), clExpected);
    QCOMPARE(clAnswer.value(ZkKey::ID), QVariant(QStringLiteral("who")));
    QCOMPARE(clAnswer.value(ZkKey::ERROR), QVariant(ZkError::UnknownCommand));
    QVERIFY(messageLog(*pclSim).isEmpty());

    // A known identity written as text in another case is still that command.
    ZK_CMD clText;
    clText.insert(ZkKey::CMD, CMD_MSG_514.toString().toLower());
    QCOMPARE(zkError(run(*pclCgi, clText)), 0);
    QCOMPARE(messageLog(*pclSim), QStringList({ "514" }));
}

// Three cameras at once, so the five-second waits overlap.
void TestCgiWorker::timeouts_retriedOnlyWhereAllowed()
{
    auto pclSimGet = startSim();
    auto pclSimSet = startSim();
    QVERIFY(pclSimGet && pclSimSet);
    ClKD4Cgi clCgiGet(address(*pclSimGet));
    ClKD4Cgi clCgiSet(address(*pclSimSet));
    QVERIFY(openSession(clCgiGet, *pclSimGet));
    QVERIFY(openSession(clCgiSet, *pclSimSet));

    // Two time-outs, then the answer: three messages and success.
    pclSimGet->setFault(3, camsim::Fault::delay(6000, 2));
    // Always too late: three messages and -1000.
    pclSimSet->setFault(2, camsim::Fault::delay(6000, 3));
    // A start-live that times out on its first message is not retried.
    pclSim->setFault(260, camsim::Fault::delay(6000, 1));

    QSignalSpy clSpyGet(&clCgiGet, &ClKD4Cgi::sigResponse);
    QSignalSpy clSpySet(&clCgiSet, &ClKD4Cgi::sigResponse);
    QSignalSpy clSpyLive(pclCgi.get(), &ClKD4Cgi::sigResponse);
    clCgiGet.slotRequest(command(CMD_GET_ALL_SETTINGS));
    clCgiSet.slotRequest(command(CMD_SET_SETTING, QStringLiteral("zk_wdr"), QStringLiteral("on")));
    pclCgi->slotRequest(command(CMD_START_LIVE, QStringLiteral("mjpg")));
    QTRY_VERIFY_WITH_TIMEOUT(clSpyGet.size() == 1 && clSpySet.size() == 1 && clSpyLive.size() == 1, 25000);

    const ZK_CMD clGet = clSpyGet.first().first().value<ZK_CMD>();
    QCOMPARE(zkError(clGet), 0);
    QVERIFY(!clGet.value(ZkKey::PARAM1).toMap().isEmpty());
    QCOMPARE(messageLog(*pclSimGet), QStringList({ "3", "3", "3" }));

    const ZK_CMD clSet = clSpySet.first().first().value<ZK_CMD>();
    QCOMPARE(zkError(clSet), ZkError::Timeout);
    QCOMPARE(clSet.value(ZkKey::PARAM1), QVariant(QStringLiteral("zk_wdr")));
    QCOMPARE(messageLog(*pclSimSet), QStringList({ "2 zk_wdr=on", "2 zk_wdr=on", "2 zk_wdr=on" }));

    const ZK_CMD clLive = clSpyLive.first().first().value<ZK_CMD>();
    QCOMPARE(zkError(clLive), ZkError::Timeout);
    QVERIFY(!clLive.contains(ZkKey::PARAM1));
    QCOMPARE(messageLog(*pclSim), QStringList({ "260" }));
}

void TestCgiWorker::pollNotifications_heldTwoSecondsInCameraOrder()
{
    pclSim->queueNotification("starting_video_record", "");
    pclSim->queueNotification("app_status", "record");
    const ClNotifyList clList = pclCgi->pollNotifications();
    QCOMPARE(clList,
        ClNotifyList({ qMakePair(QStringLiteral("starting_video_record"), QString()),
            qMakePair(QStringLiteral("app_status"), QStringLiteral("record")) }));
    const auto clMessages = pclSim->messages();
    QCOMPARE(clMessages.size(), size_t(1));
    QCOMPARE(clMessages.at(0).msgId, 4097);
    QVERIFY(clMessages.at(0).hasTimeout);
    QCOMPARE(clMessages.at(0).timeout, 2);
    QCOMPARE(clMessages.at(0).token, pclSim->sessionToken());

    // A failed poll gives nothing.
    pclSim->setFault(4097, camsim::Fault::withRval(-4, 1));
    pclSim->queueNotification("app_status", "idle");
    QVERIFY(pclCgi->pollNotifications().isEmpty());
}

void TestCgiWorker::wireConversions_data()
{
    QTest::addColumn<QString>("strKey");
    QTest::addColumn<QString>("strText");
    QTest::addColumn<QVariant>("clExpected");
    QTest::addColumn<bool>("bRoundTrip");

    const QDateTime clTime(QDate(2024, 1, 2), QTime(3, 4, 5));
    QTest::newRow("clock") << "camera_clock"
                           << "2024-01-02 03:04:05" << QVariant(clTime) << true;
    QTest::newRow("clock short fields") << "camera_clock"
                                        << "2024-1-2 3:4:5" << QVariant(QDateTime()) << false;
    QTest::newRow("clock with T") << "camera_clock"
                                  << "2024-01-02T03:04:05" << QVariant(QDateTime()) << false;
    QTest::newRow("clock two-digit year") << "camera_clock"
                                          << "24-01-02 03:04:05" << QVariant(QDateTime()) << false;
    QTest::newRow("clock empty") << "camera_clock"
                                 << "" << QVariant(QDateTime()) << false;
    QTest::newRow("clock 25 h") << "camera_clock"
                                << "2024-01-02 25:04:05" << QVariant(QDateTime()) << false;
    QTest::newRow("volume") << "zk_speaker_volume"
                            << "5" << QVariant(5) << true;
    QTest::newRow("balance negative") << "zk_rec_audio_balance"
                                      << "-2" << QVariant(-2) << true;
    QTest::newRow("level not a number") << "zk_rec_audio_level"
                                        << "x5" << QVariant(0) << false;
    QTest::newRow("level empty") << "zk_rec_audio_level"
                                 << "" << QVariant(0) << false;
    QTest::newRow("text") << "video_resolution"
                          << "1920x1080 30P 16:9" << QVariant(QStringLiteral("1920x1080 30P 16:9")) << true;
    QTest::newRow("text digits stay text") << "zk_battery"
                                           << "80" << QVariant(QStringLiteral("80")) << true;
    QTest::newRow("text empty") << "zk_interval_time"
                                << "" << QVariant(QString()) << true;
}

void TestCgiWorker::wireConversions()
{
    QFETCH(QString, strKey);
    QFETCH(QString, strText);
    QFETCH(QVariant, clExpected);
    QFETCH(bool, bRoundTrip);
    const QVariant clValue = ClKD4CgiWorker::fromWireValue(strKey, strText);
    QCOMPARE(clValue.userType(), clExpected.userType());
    QCOMPARE(clValue, clExpected);
    if (clExpected.userType() == QMetaType::QDateTime)
        QCOMPARE(clValue.toDateTime().isValid(), clExpected.toDateTime().isValid());

    // What reads back from the camera's text goes out as the same text.
    if (bRoundTrip)
        QCOMPARE(ClKD4CgiWorker::toWireValue(strKey, clValue), qMakePair(strKey, strText));
}

void TestCgiWorker::getAddress_isTheCameraAddress()
{
    QCOMPARE(pclCgi->getAddress(), address(*pclSim));
    ClKD4Cgi clOther(QStringLiteral("127.0.0.1:9"));
    QCOMPARE(clOther.getAddress(), QStringLiteral("127.0.0.1:9"));
}

QTEST_GUILESS_MAIN(TestCgiWorker)
#include "tst_cgiworker.moc"
