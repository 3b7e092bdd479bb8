// The camera client against the camera simulator (and, for replies the simulator never gives, a
// small scripted HTTP server): envelopes byte for byte, time limits, every failure code, the
// session token, reading replies, and the live view preparation sequences.
#include "camera/ClCurlLibrary.h"
#include "camera/raptor_service.h"

#include "tests/support/ClLoopbackServer.h"
#include "tests/support/SimSupport.h"

#include <httplib.h>

#include <QElapsedTimer>
#include <QLibrary>
#include <QtTest>

#include <map>
#include <memory>

using camsim::CamSim;
using camsim::Fault;
using Kd4Test::ClLoopbackServer;

namespace {

// An HTTP server on loopback that answers each message number with a canned body.
class ScriptedCamera
{
public:
    ScriptedCamera()
    {
        clServer.server().Post(
            "/cgi-bin/cgi", [this](const httplib::Request& clReq, httplib::Response& clRes) {
                picojson::value clEnvelope;
                picojson::parse(clEnvelope, clReq.body);
                int64_t llMsgId = -1;
                if (clEnvelope.is<picojson::object>() && clEnvelope.get("msg_id").is<int64_t>())
                    llMsgId = clEnvelope.get("msg_id").get<int64_t>();
                std::lock_guard<std::mutex> clLock(clMutex);
                const auto it = clBodies.find(llMsgId);
                clRes.set_content(
                    it == clBodies.end() ? std::string("{\"rval\":0}") : it->second, "application/json");
            });
        clServer.start();
    }
    void answer(int64_t llMsgId, const std::string& strBody)
    {
        std::lock_guard<std::mutex> clLock(clMutex);
        clBodies[llMsgId] = strBody;
    }
    std::string address() const { return clServer.address(); }

private:
    std::mutex clMutex;
    std::map<int64_t, std::string> clBodies;
    ClLoopbackServer clServer;
};

int rvalOf(const picojson::object& clReply)
{
    return raptor_service::read_number(clReply, "rval");
}

// Sets environment variables for one scope and puts back what was there before.
class EnvironmentScope
{
public:
    void set(const char* pName, const QByteArray& clValue)
    {
        clSaved.append({ pName, qgetenv(pName), qEnvironmentVariableIsSet(pName) });
        qputenv(pName, clValue);
    }
    ~EnvironmentScope()
    {
        for (auto it = clSaved.crbegin(); it != clSaved.crend(); ++it) {
            if (it->bWasSet)
                qputenv(it->pName, it->clValue);
            else
                qunsetenv(it->pName);
        }
    }

private:
    struct Saved
    {
        const char* pName;
        QByteArray clValue;
        bool bWasSet;
    };
    QList<Saved> clSaved;
};

} // namespace

class TestRaptorService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void envelope_data();
    void envelope();
    void envelope_pollHasTimeoutAndNothingElse();
    void timeLimit_chosenPerMessage();
    void timeLimit_realTimeouts();
    void failure_refusedConnection();
    void failure_droppedConnection();
    void failure_httpStatus_data();
    void failure_httpStatus();
    void failure_notJson();
    void failure_numberOutOfRange_data();
    void failure_numberOutOfRange();
    void failure_noRval();
    void failure_replyTooLarge();
    void failure_libraryMissing();
    void proxy_environmentIgnored();
    void token_storedAndSent();
    void token_startSessionAlwaysSendsZero();
    void token_failedStartKeepsToken();
    void readNumber_data();
    void readNumber();
    void settings_readAsText();
    void settings_foreignShapesGiveEmptyTable();
    void notifications_listing();
    void notifications_foreignShapesGiveEmptyList();
    void prepareLiveView_sequences_data();
    void prepareLiveView_sequences();
    void prepareLiveView_refusalExits_data();
    void prepareLiveView_refusalExits();
    void urls();

private:
    std::vector<std::string> rawBodies() const;

    std::unique_ptr<CamSim> pclSim;
    std::unique_ptr<raptor_service> pclClient;
};

void TestRaptorService::initTestCase()
{
    QVERIFY2(ClCurlLibrary::load(), "libcurl could not be loaded");
}

void TestRaptorService::init()
{
    pclSim = Kd4Test::startSim();
    QVERIFY(pclSim);
    pclClient = std::make_unique<raptor_service>(pclSim->address());
}

void TestRaptorService::cleanup()
{
    pclClient.reset();
    pclSim.reset();
}

std::vector<std::string> TestRaptorService::rawBodies() const
{
    std::vector<std::string> clBodies;
    for (const auto& clMessage : pclSim->messages())
        clBodies.push_back(clMessage.raw);
    return clBodies;
}

void TestRaptorService::envelope_data()
{
    QTest::addColumn<int>("token");
    QTest::addColumn<int>("msgId");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("param");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("session opening") << 0 << 257 << QByteArray() << QByteArray()
                                     << QByteArray(R"({"msg_id":257,"token":0})");
    QTest::newRow("type and param") << 7 << 2 << QByteArray("zk_wdr") << QByteArray("on")
                                    << QByteArray(R"({"msg_id":2,"param":"on","token":7,"type":"zk_wdr"})");
    QTest::newRow("param only") << 12 << 4 << QByteArray() << QByteArray("D:")
                                << QByteArray(R"({"msg_id":4,"param":"D:","token":12})");
    QTest::newRow("type only") << 3 << 2 << QByteArray("zk_wdr") << QByteArray()
                               << QByteArray(R"({"msg_id":2,"token":3,"type":"zk_wdr"})");
    QTest::newRow("quotes escaped") << 1 << 2 << QByteArray("zk_ap_ssid") << QByteArray("a\"b")
                                    << QByteArray(
                                           R"({"msg_id":2,"param":"a\"b","token":1,"type":"zk_ap_ssid"})");
    QTest::newRow("large token") << 2147483647 << 3 << QByteArray() << QByteArray()
                                 << QByteArray(R"({"msg_id":3,"token":2147483647})");
}

void TestRaptorService::envelope()
{
    QFETCH(int, token);
    QFETCH(int, msgId);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, param);
    QFETCH(QByteArray, expected);

    pclClient->send(token, msgId, type.toStdString(), param.toStdString());
    QVERIFY(pclSim->waitForMessage(msgId));
    const auto clBodies = rawBodies();
    QCOMPARE(clBodies.size(), size_t(1));
    QCOMPARE(QByteArray::fromStdString(clBodies.front()), expected);
}

void TestRaptorService::envelope_pollHasTimeoutAndNothingElse()
{
    pclSim->queueNotification("starting_video_record");
    pclClient->send_poll(5, 4097, 2);
    const auto clBodies = rawBodies();
    QCOMPARE(clBodies.size(), size_t(1));
    QCOMPARE(
        QByteArray::fromStdString(clBodies.front()), QByteArray(R"({"msg_id":4097,"timeout":2,"token":5})"));
}

void TestRaptorService::timeLimit_chosenPerMessage()
{
    for (int iMsgId : { 769, 1282, 1285 })
        QCOMPARE(raptor_service::timeout_for(iMsgId), 40);
    for (int iMsgId : { 2, 3, 4, 257, 258, 259, 260, 513, 514, 4097, 1281, 0, -1 })
        QCOMPARE(raptor_service::timeout_for(iMsgId), 5);
}

void TestRaptorService::timeLimit_realTimeouts()
{
    QCOMPARE(pclClient->start_session().rval, 0);
    // An ordinary message gives up after five seconds ...
    pclSim->setFault(260, Fault::delay(5800, 1));
    QElapsedTimer clClock;
    clClock.start();
    QCOMPARE(pclClient->stop_vf().rval, -1000);
    QVERIFY2(clClock.elapsed() >= 4500 && clClock.elapsed() < 5800,
        qPrintable(QString::number(clClock.elapsed())));

    // ... while a poll held for one second may take six.
    pclSim->queueNotification("video_record_complete");
    pclSim->setFault(4097, Fault::delay(5300, 1));
    const Notification_Rsp clPoll = pclClient->list_notification(1);
    QCOMPARE(clPoll.rval, 0);
    QCOMPARE(clPoll.listing.size(), size_t(1));
}

void TestRaptorService::failure_refusedConnection()
{
    const int iPort = ClLoopbackServer::closedPort();
    QVERIFY(iPort > 0);

    raptor_service clClient("127.0.0.1:" + std::to_string(iPort));
    QCOMPARE(rvalOf(clClient.send(0, 257, std::string(), std::string())), -1001);
    QCOMPARE(clClient.stop_vf().rval, -1001);
}

void TestRaptorService::failure_droppedConnection()
{
    QCOMPARE(pclClient->start_session().rval, 0);
    pclSim->setFault(260, Fault::drop(1));
    QCOMPARE(pclClient->stop_vf().rval, -1001);
    QCOMPARE(pclClient->stop_vf().rval, 0); // the next one is answered again
}

void TestRaptorService::failure_httpStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("404") << 404;
    QTest::newRow("500") << 500;
    QTest::newRow("201") << 201;
}

void TestRaptorService::failure_httpStatus()
{
    QFETCH(int, status);
    pclSim->setFault(3, Fault::status(status));
    const picojson::object clReply = pclClient->send(0, 3, std::string(), std::string());
    QCOMPARE(rvalOf(clReply), -1003);
    QCOMPARE(clReply.size(), size_t(1)); // nothing of the body is read
}

void TestRaptorService::failure_notJson()
{
    pclSim->setFault(3, Fault::brokenJson(1));
    picojson::object clReply = pclClient->send(0, 3, std::string(), std::string());
    QCOMPARE(rvalOf(clReply), -1002);
    QVERIFY(clReply["param"].is<std::string>());
    QVERIFY2(clReply["param"].get<std::string>().rfind("syntax error at line", 0) == 0,
        clReply["param"].get<std::string>().c_str());

    pclSim->setFault(3, Fault::notObject(1));
    clReply = pclClient->send(0, 3, std::string(), std::string());
    QCOMPARE(rvalOf(clReply), -1002);
    QVERIFY(clReply["param"].is<std::string>());

    // The typed operations see the same code.
    pclSim->setFault(3, Fault::brokenJson(1));
    const AllSettings_Rsp clSettings = pclClient->get_all_current_settings();
    QCOMPARE(clSettings.rval, -1002);
    QVERIFY(clSettings.param.empty());
}

void TestRaptorService::failure_numberOutOfRange_data()
{
    QTest::addColumn<int>("msgId");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("rval") << 260 << QByteArray(R"({"rval":1e999,"msg_id":260})");
    QTest::newRow("negative") << 260 << QByteArray(R"({"rval":0,"msg_id":-1e999})");
    QTest::newRow("deep in the settings")
        << 3 << QByteArray(R"({"rval":0,"param":[{"zk_wdr":"on"},{"x":[2e400]}]})");
}

// A number beyond the range of a double is a reply this client cannot read: it is an unreadable
// reply like any other, never an exception out of the transfer.
void TestRaptorService::failure_numberOutOfRange()
{
    QFETCH(int, msgId);
    QFETCH(QByteArray, body);
    ScriptedCamera clCamera;
    clCamera.answer(msgId, body.toStdString());
    raptor_service clClient(clCamera.address());

    picojson::object clReply = clClient.send(1, msgId, std::string(), std::string());
    QCOMPARE(rvalOf(clReply), -1002);
    QVERIFY(clReply["param"].is<std::string>());
    QVERIFY2(clReply["param"].get<std::string>().rfind("syntax error", 0) == 0,
        clReply["param"].get<std::string>().c_str());
    if (msgId == 3)
        QCOMPARE(clClient.get_all_current_settings().rval, -1002);
    else
        QCOMPARE(clClient.stop_vf().rval, -1002);
}

void TestRaptorService::failure_noRval()
{
    pclSim->setFault(260, Fault::noRval(1));
    QCOMPARE(pclClient->stop_vf().rval, -1);
}

void TestRaptorService::failure_replyTooLarge()
{
    // No camera answer comes near the cap; a reply beyond it is a failed transfer, not data.
    ClLoopbackServer clServer;
    clServer.server().Post("/cgi-bin/cgi", [](const httplib::Request&, httplib::Response& clRes) {
        std::string clBody = "{\"rval\":0,\"param\":\"";
        clBody.append(raptor_service::MAX_REPLY_BYTES, 'x');
        clBody += "\"}";
        clRes.set_content(clBody, "application/json");
    });
    clServer.start();

    raptor_service clClient(clServer.address());
    const picojson::object clReply = clClient.send(1, 3, std::string(), std::string());
    clServer.stop();
    QCOMPARE(rvalOf(clReply), -1001);
    QCOMPARE(clReply.size(), size_t(1));
}

void TestRaptorService::failure_libraryMissing()
{
    QLibrary& clLibrary = ClCurlLibrary::library();
    QVERIFY(clLibrary.unload());
    const picojson::object clReply = pclClient->send(0, 257, std::string(), std::string());
    const StartSession_Rsp clStart = pclClient->start_session();
    QVERIFY(ClCurlLibrary::load());

    QVERIFY(clReply.empty());
    QCOMPARE(clStart.rval, -1);
    QCOMPARE(pclSim->messages().size(), size_t(0)); // nothing went out
    QCOMPARE(pclClient->start_session().rval, 0); // and the client works once it is loaded again
}

// The camera is reached directly: a proxy named in the environment is not used for it.
void TestRaptorService::proxy_environmentIgnored()
{
    const int iPort = ClLoopbackServer::closedPort();
    QVERIFY(iPort > 0);
    const QByteArray clDeadProxy = "http://127.0.0.1:" + QByteArray::number(iPort);

    StartSession_Rsp clStart;
    {
        EnvironmentScope clEnv;
        for (const char* pName : { "http_proxy", "all_proxy", "ALL_PROXY" })
            clEnv.set(pName, clDeadProxy);
        for (const char* pName : { "no_proxy", "NO_PROXY" })
            clEnv.set(pName, QByteArray());
        clStart = pclClient->start_session();
    }
    QCOMPARE(clStart.rval, 0);
    QCOMPARE(pclSim->messageCount(257), 1);
}

void TestRaptorService::token_storedAndSent()
{
    QCOMPARE(pclClient->token(), 0);
    const StartSession_Rsp clStart = pclClient->start_session();
    QCOMPARE(clStart.rval, 0);
    QCOMPARE(clStart.msg_id, 257);
    QCOMPARE(int64_t(clStart.param), pclSim->sessionToken());
    QCOMPARE(pclClient->token(), clStart.param);

    QCOMPARE(pclClient->stop_vf().rval, 0);
    QCOMPARE(pclClient->stop_session().rval, 0);
    QCOMPARE(pclClient->token(), clStart.param); // closing keeps it

    const auto clMessages = pclSim->messages();
    QCOMPARE(clMessages.size(), size_t(3));
    QCOMPARE(clMessages[1].token, int64_t(clStart.param));
    QCOMPARE(clMessages[2].token, int64_t(clStart.param));

    // The camera refuses the stale token after the session ended.
    QCOMPARE(pclClient->stop_vf().rval, -4);
}

void TestRaptorService::token_startSessionAlwaysSendsZero()
{
    QCOMPARE(pclClient->start_session().rval, 0);
    const int iFirst = pclClient->token();
    QCOMPARE(pclClient->start_session().rval, 0);
    QVERIFY(pclClient->token() != iFirst);
    for (const auto& clMessage : pclSim->messages()) {
        QCOMPARE(clMessage.msgId, int64_t(257));
        QCOMPARE(clMessage.token, int64_t(0));
    }
}

void TestRaptorService::token_failedStartKeepsToken()
{
    QCOMPARE(pclClient->start_session().rval, 0);
    const int iToken = pclClient->token();
    pclSim->setFault(257, Fault::withRval(-9, 1));
    QCOMPARE(pclClient->start_session().rval, -9);
    QCOMPARE(pclClient->token(), iToken);

    // A successful answer without "param" leaves the token at -1.
    ScriptedCamera clCamera;
    clCamera.answer(257, R"({"rval":0,"msg_id":257})");
    raptor_service clClient(clCamera.address());
    const StartSession_Rsp clStart = clClient.start_session();
    QCOMPARE(clStart.rval, 0);
    QCOMPARE(clStart.param, -1);
    QCOMPARE(clClient.token(), -1);
}

void TestRaptorService::readNumber_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("expected");
    QTest::newRow("integer") << QByteArray(R"({"rval":-14})") << -14;
    QTest::newRow("fraction cut towards zero") << QByteArray(R"({"rval":2.9})") << 2;
    QTest::newRow("negative fraction") << QByteArray(R"({"rval":-2.9})") << -2;
    QTest::newRow("absent") << QByteArray(R"({"x":1})") << -1;
    QTest::newRow("string") << QByteArray(R"({"rval":"0"})") << -1;
    QTest::newRow("null") << QByteArray(R"({"rval":null})") << -1;
    QTest::newRow("bool") << QByteArray(R"({"rval":true})") << -1;
    QTest::newRow("beyond int") << QByteArray(R"({"rval":99999999999})") << 2147483647;
    QTest::newRow("far beyond int") << QByteArray(R"({"rval":1e300})") << 2147483647;
    QTest::newRow("far below int") << QByteArray(R"({"rval":-1e300})") << (-2147483647 - 1);
}

void TestRaptorService::readNumber()
{
    QFETCH(QByteArray, json);
    QFETCH(int, expected);
    picojson::value clValue;
    QVERIFY(picojson::parse(clValue, json.toStdString()).empty());
    QCOMPARE(raptor_service::read_number(clValue.get<picojson::object>(), "rval"), expected);
}

void TestRaptorService::settings_readAsText()
{
    ScriptedCamera clCamera;
    clCamera.answer(3,
        R"({"rval":0,"msg_id":3,"param":[{"zk_speaker_volume":"5"},{"zk_rec_audio_level":7},)"
        R"({"zk_wdr":"on","zk_white_balance":"auto"},{"zk_wdr":"off"},{"flag":true},{"obj":{"a":1}}]})");
    raptor_service clClient(clCamera.address());
    const AllSettings_Rsp clRsp = clClient.get_all_current_settings();
    QCOMPARE(clRsp.rval, 0);
    QCOMPARE(clRsp.msg_id, 3);
    QCOMPARE(clRsp.param.at("zk_speaker_volume"), std::string("5"));
    QCOMPARE(clRsp.param.at("zk_rec_audio_level"), std::string()); // a number where text is expected
    QCOMPARE(clRsp.param.at("zk_wdr"), std::string("off")); // later elements win
    QCOMPARE(clRsp.param.at("zk_white_balance"), std::string("auto"));
    QCOMPARE(clRsp.param.at("flag"), std::string());
    QCOMPARE(clRsp.param.at("obj"), std::string());
    QCOMPARE(clRsp.param.size(), size_t(6));

    // Against the simulator: every setting the pages show comes back.
    QCOMPARE(pclClient->start_session().rval, 0);
    const AllSettings_Rsp clSim = pclClient->get_all_current_settings();
    QCOMPARE(clSim.rval, 0);
    for (const char* pKey : { "video_resolution", "zk_white_balance", "zk_speaker_volume", "camera_clock",
             "zk_get_version", "zk_battery", "app_status", "stream_type" })
        QVERIFY2(clSim.param.count(pKey) == 1, pKey);
}

void TestRaptorService::settings_foreignShapesGiveEmptyTable()
{
    ScriptedCamera clCamera;
    raptor_service clClient(clCamera.address());
    for (const char* pBody : { R"({"rval":0,"param":{"zk_wdr":"on"}})", R"({"rval":0,"param":"zk_wdr"})",
             R"({"rval":0,"param":[{"zk_wdr":"on"},3]})", R"({"rval":0})",
             R"({"rval":5,"param":[{"zk_wdr":"on"}]})" }) {
        clCamera.answer(3, pBody);
        const AllSettings_Rsp clRsp = clClient.get_all_current_settings();
        QVERIFY2(clRsp.param.empty(), pBody);
        QCOMPARE(clRsp.msg_id, 3);
    }
}

void TestRaptorService::notifications_listing()
{
    ScriptedCamera clCamera;
    clCamera.answer(4097,
        R"({"rval":0,"msg_id":4097,"timestamp":1700000000123,"listing":[)"
        R"({"ntf_timestamp":12.5,"msg_id":7,"type":"starting_video_record","param":"x"},)"
        R"({"msg_id":7,"type":"video_record_complete","param":3},{"type":"app_status"}]})");
    raptor_service clClient(clCamera.address());
    const Notification_Rsp clRsp = clClient.list_notification(2);
    QCOMPARE(clRsp.rval, 0);
    QCOMPARE(clRsp.msg_id, 4097);
    QCOMPARE(clRsp.timestamp, 1700000000123.0);
    QCOMPARE(clRsp.listing.size(), size_t(3));
    QCOMPARE(clRsp.listing[0].type, std::string("starting_video_record"));
    QCOMPARE(clRsp.listing[0].param, std::string("x"));
    QCOMPARE(clRsp.listing[0].ntf_timestamp, 12.5);
    QCOMPARE(clRsp.listing[0].msg_id, 7);
    QCOMPARE(clRsp.listing[1].param, std::string()); // not a string
    QCOMPARE(clRsp.listing[2].param, std::string()); // absent
    QCOMPARE(clRsp.listing[2].ntf_timestamp, -1.0);
    QCOMPARE(clRsp.listing[2].msg_id, -1);

    // The simulator's queue comes back in order.
    QCOMPARE(pclClient->start_session().rval, 0);
    pclSim->startRecording();
    pclSim->stopRecording();
    const Notification_Rsp clSim = pclClient->list_notification(2);
    QCOMPARE(clSim.rval, 0);
    QCOMPARE(clSim.listing.size(), size_t(2));
    QCOMPARE(clSim.listing[0].type, std::string("starting_video_record"));
    QCOMPARE(clSim.listing[1].type, std::string("video_record_complete"));
}

void TestRaptorService::notifications_foreignShapesGiveEmptyList()
{
    ScriptedCamera clCamera;
    raptor_service clClient(clCamera.address());
    for (const char* pBody :
        { R"({"rval":0,"listing":{"type":"x"}})", R"({"rval":0,"listing":[{"type":"x"},"y"]})",
            R"({"rval":0})", R"({"rval":-4,"listing":[{"type":"x"}]})" }) {
        clCamera.answer(4097, pBody);
        QVERIFY2(clClient.list_notification(0).listing.empty(), pBody);
    }
}

void TestRaptorService::prepareLiveView_sequences_data()
{
    QTest::addColumn<QString>("resolution");
    QTest::addColumn<QStringList>("expected");
    const QString strOn = QStringLiteral("2 stream_while_record=on");
    const QString strOff = QStringLiteral("2 stream_while_record=off");
    QTest::newRow("normal") << QStringLiteral("1920x1080 30P 16:9")
                            << QStringList { QStringLiteral("260"), strOn,
                                   QStringLiteral("259 =none_force") };
    QTest::newRow("empty is normal") << QString()
                                     << QStringList { QStringLiteral("260"), strOn,
                                            QStringLiteral("259 =none_force") };
    QTest::newRow("720p high speed") << QStringLiteral("1280x720 120P 16:9")
                                     << QStringList { QStringLiteral("260"), strOn, strOff,
                                            QStringLiteral("259 =none_force") };
    QTest::newRow("WVGA high speed") << QStringLiteral("848x480 240P 16:9")
                                     << QStringList { QStringLiteral("260"), strOn, strOff,
                                            QStringLiteral("259 =none_force") };
}

void TestRaptorService::prepareLiveView_sequences()
{
    QFETCH(QString, resolution);
    QFETCH(QStringList, expected);
    QCOMPARE(pclClient->start_session().rval, 0);
    pclSim->clearLog();

    const PrepareLiveView_Rsp clRsp = pclClient->prepare_live_view_for(resolution.toStdString());
    QCOMPARE(clRsp.rval, 0);
    QCOMPARE(clRsp.msg_id, 259);
    QCOMPARE(clRsp.step, std::string("resetVF"));
    QVERIFY(pclSim->viewFinderRunning());

    QCOMPARE(Kd4Test::messageLog(*pclSim), expected);
}

void TestRaptorService::prepareLiveView_refusalExits_data()
{
    QTest::addColumn<int>("refusedMsgId");
    QTest::addColumn<int>("refusedNth"); // which message of that number is refused (1-based)
    QTest::addColumn<bool>("normal");
    QTest::addColumn<int>("messagesSent");
    QTest::addColumn<QString>("step");

    QTest::newRow("stop view finder") << 260 << 1 << true << 1 << QString();
    QTest::newRow("stream while record on") << 2 << 1 << true << 2 << QStringLiteral("stream_while_record");
    QTest::newRow("stream while record off") << 2 << 2 << false << 3 << QStringLiteral("stream_while_record");
    QTest::newRow("reset view finder") << 259 << 1 << true << 3 << QStringLiteral("resetVF");
}

void TestRaptorService::prepareLiveView_refusalExits()
{
    QFETCH(int, refusedMsgId);
    QFETCH(int, refusedNth);
    QFETCH(bool, normal);
    QFETCH(int, messagesSent);
    QFETCH(QString, step);

    QCOMPARE(pclClient->start_session().rval, 0);
    pclSim->clearLog();
    if (refusedNth > 1)
        pclSim->addFault(refusedMsgId, Fault::delay(0, refusedNth - 1));
    pclSim->addFault(refusedMsgId, Fault::withRval(-4, 1));

    const PrepareLiveView_Rsp clRsp = pclClient->prepare_live_view(normal);
    QCOMPARE(clRsp.rval, -4);
    QCOMPARE(clRsp.msg_id, refusedMsgId);
    QCOMPARE(QString::fromStdString(clRsp.step), step);
    QCOMPARE(int(pclSim->messages().size()), messagesSent);
}

void TestRaptorService::urls()
{
    raptor_service clClient("127.0.0.9:81");
    QCOMPARE(clClient.get_address(), std::string("127.0.0.9:81"));
    QCOMPARE(clClient.get_rtsp_url(), std::string("rtsp://127.0.0.9:81/live"));
    QCOMPARE(clClient.get_mjpeg_url(), std::string("http://127.0.0.9:81/mjpeg/amba.jpg"));
    QCOMPARE(clClient.get_hls_url(), std::string("http://127.0.0.9:81/live/amba.m3u8"));

    // Other camera errors than -4 do not end the preparation.
    QCOMPARE(pclClient->start_session().rval, 0);
    pclSim->clearLog();
    pclSim->setFault(260, Fault::withRval(-3, 1));
    QCOMPARE(pclClient->prepare_live_view(true).rval, 0);
    QCOMPARE(pclSim->messages().size(), size_t(3));
}

QTEST_GUILESS_MAIN(TestRaptorService)
#include "tst_raptor_service.moc"
