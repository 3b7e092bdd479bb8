// The camera simulator, talked to over loopback with a plain HTTP client, as the program and the
// other tests will talk to it.

#include "tools/camsim/CamSim.h"

#include "camera/ZkVocabulary.h"

#include <httplib.h>
#include <picojson.h>

#include <QImage>
#include <QRegularExpression>
#include <QtTest>

#include <chrono>
#include <future>
#include <set>

using camsim::CamSim;
using camsim::Fault;
using camsim::FrameFault;
using ZkVocabulary::Kind;

namespace {

using Clock = std::chrono::steady_clock;

struct Reply
{
    bool bAnswered = false; // an HTTP answer arrived
    int iStatus = 0;
    std::string strBody;
    picojson::value clJson;
    std::string strParseError;

    const picojson::object& object() const { return clJson.get<picojson::object>(); }
    bool isObject() const { return strParseError.empty() && clJson.is<picojson::object>(); }
    std::int64_t number(const char* pKey) const
    {
        const auto it = object().find(pKey);
        return (it != object().end() && it->second.is<std::int64_t>()) ? it->second.get<std::int64_t>()
                                                                       : -99999;
    }
    bool has(const char* pKey) const { return object().count(pKey) != 0; }
};

Reply post(const CamSim& sim, const std::string& strBody, int iReadTimeoutS = 10)
{
    httplib::Client cli("127.0.0.1", sim.port());
    cli.set_read_timeout(iReadTimeoutS, 0);
    Reply reply;
    auto res = cli.Post("/cgi-bin/cgi", strBody, "application/json");
    if (!res)
        return reply;
    reply.bAnswered = true;
    reply.iStatus = res->status;
    reply.strBody = res->body;
    reply.strParseError = picojson::parse(reply.clJson, reply.strBody);
    return reply;
}

std::string envelope(std::int64_t llMsgId, std::int64_t llToken, const std::string& strType = std::string(),
    const std::string& strParam = std::string())
{
    picojson::object obj;
    obj["msg_id"] = picojson::value(llMsgId);
    obj["token"] = picojson::value(llToken);
    if (!strType.empty())
        obj["type"] = picojson::value(strType);
    if (!strParam.empty())
        obj["param"] = picojson::value(strParam);
    return picojson::value(obj).serialize();
}

std::int64_t openSession(const CamSim& sim)
{
    const Reply reply = post(sim, "{\"msg_id\":257,\"token\":0}");
    return reply.isObject() && reply.number("rval") == 0 ? reply.number("param") : 0;
}

int rvalOf(const CamSim& sim, const std::string& strBody)
{
    const Reply reply = post(sim, strBody);
    return reply.isObject() ? static_cast<int>(reply.number("rval")) : -99999;
}

httplib::Result getFrame(const CamSim& sim, int iReadTimeoutS = 10)
{
    httplib::Client cli("127.0.0.1", sim.port());
    cli.set_read_timeout(iReadTimeoutS, 0);
    return cli.Get("/mjpeg/amba.jpg");
}

} // namespace

class TestCamSim : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startSession_handsOutFreshTokensAndRefusesStaleOnes();
    void getAllSettings_isArrayOfOneKeyObjectsWithEveryKey();
    void setSetting_storesOrRefuses_data();
    void setSetting_storesOrRefuses();
    void setSetting_withoutTypeOrOnReadOnlyKeyIsRefused();
    void applyNewWifiParam_endsSessionAndViewFinder();
    void poll_holdsUntilNotificationQueued();
    void poll_timesOutWithEmptyListing();
    void frames_notFoundBeforeViewFinderAndJpegAfter();
    void frames_sizeKeptWithinBounds();
    void fault_appliesToNextMessagesOnly();
    void fault_kinds_data();
    void fault_kinds();
    void frameFault_chunkedAndBroken();
    void log_keepsRawBodyByteExact();
    void log_keepsNewestEntriesWithinLimits();
    void control_scriptsStateOverHttp();
    void stop_returnsPromptlyWithHeldPollAndStalledFrame();

private:
    std::unique_ptr<CamSim> m_pclSim;
};

void TestCamSim::init()
{
    CamSim::Options options;
    options.fps = 0; // no pacing: the tests ask for few frames
    m_pclSim = std::make_unique<CamSim>(options);
    QVERIFY(m_pclSim->start());
    QVERIFY(m_pclSim->port() > 0);
    QCOMPARE(m_pclSim->address(), "127.0.0.1:" + std::to_string(m_pclSim->port()));
}

void TestCamSim::cleanup()
{
    m_pclSim.reset();
}

void TestCamSim::startSession_handsOutFreshTokensAndRefusesStaleOnes()
{
    CamSim& sim = *m_pclSim;
    QCOMPARE(rvalOf(sim, envelope(3, 0)), -4); // no session yet

    const Reply first = post(sim, "{\"msg_id\":257,\"token\":0}");
    QVERIFY(first.isObject());
    QCOMPARE(first.number("rval"), 0);
    QCOMPARE(first.number("msg_id"), 257);
    const std::int64_t llFirst = first.number("param");
    QVERIFY(llFirst > 0);
    QCOMPARE(sim.sessionToken(), llFirst);
    QCOMPARE(rvalOf(sim, envelope(260, llFirst)), 0);

    // A new session (257 ignores whatever token it carries) makes the old token stale.
    const std::int64_t llSecond = post(sim, envelope(257, llFirst)).number("param");
    QVERIFY(llSecond > 0);
    QVERIFY(llSecond != llFirst);
    QCOMPARE(rvalOf(sim, envelope(3, llFirst)), -4);
    QCOMPARE(rvalOf(sim, envelope(3, llSecond)), 0);

    QCOMPARE(rvalOf(sim, envelope(258, llSecond)), 0);
    QVERIFY(!sim.sessionOpen());
    QCOMPARE(sim.sessionToken(), 0);
    QCOMPARE(rvalOf(sim, envelope(260, llSecond)), -4);

    const std::int64_t llThird = openSession(sim);
    QCOMPARE(rvalOf(sim, envelope(513, llThird)), 0);
    QCOMPARE(rvalOf(sim, envelope(514, llThird)), 0);
    QCOMPARE(rvalOf(sim, envelope(769, llThird)), 0);
    QCOMPARE(rvalOf(sim, envelope(4, llThird, "", "D:")), 0);
    QCOMPARE(rvalOf(sim, envelope(4, llThird, "", "E:")), -14);
    QCOMPARE(rvalOf(sim, envelope(1234, llThird)), -3);
}

void TestCamSim::getAllSettings_isArrayOfOneKeyObjectsWithEveryKey()
{
    CamSim& sim = *m_pclSim;
    sim.setBattery(42);
    sim.setAcConnected(true);
    sim.startRecording();
    const std::int64_t llToken = openSession(sim);

    const Reply reply = post(sim, envelope(3, llToken));
    QVERIFY(reply.isObject());
    QCOMPARE(reply.number("rval"), 0);
    QVERIFY(reply.object().at("param").is<picojson::array>());
    std::map<std::string, std::string> values;
    for (const picojson::value& element : reply.object().at("param").get<picojson::array>()) {
        QVERIFY(element.is<picojson::object>());
        const picojson::object& obj = element.get<picojson::object>();
        QCOMPARE(obj.size(), std::size_t(1));
        QVERIFY2(obj.begin()->second.is<std::string>(), obj.begin()->first.c_str());
        QVERIFY(values.emplace(obj.begin()->first, obj.begin()->second.get<std::string>()).second);
    }
    // The program's vocabulary and the camera agree on the keys: every stored setting of the
    // pages, the clock and the keys reported besides, no more and no fewer; each stored value is
    // one the program takes.
    QStringList clExpected = ZkVocabulary::reportedOnlyKeys();
    for (const ZkVocabulary::stSetting& clSetting : ZkVocabulary::settings()) {
        if (ZkVocabulary::isStored(clSetting) || clSetting.eKind == Kind::Clock)
            clExpected.append(clSetting.strKey);
    }
    QStringList clReported;
    for (const auto& entry : values) {
        const QString strKey = QString::fromStdString(entry.first);
        clReported.append(strKey);
        const ZkVocabulary::stSetting* pclSetting = ZkVocabulary::find(strKey);
        if (pclSetting && ZkVocabulary::isStored(*pclSetting))
            QVERIFY2(ZkVocabulary::accepts(*pclSetting, QString::fromStdString(entry.second)),
                entry.first.c_str());
    }
    clExpected.sort();
    clReported.sort();
    QCOMPARE(clReported, clExpected);
    QCOMPARE(values["zk_battery"], std::string("42"));
    QCOMPARE(values["zk_get_ac_connection"], std::string("connected"));
    QCOMPARE(values["app_status"], std::string("record"));
    QCOMPARE(values["stream_type"], std::string("mjpg"));
    QCOMPARE(values["zk_get_version"], CamSim::Options().firmware);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$"))
                .match(QString::fromStdString(values["camera_clock"]))
                .hasMatch());

    sim.stopRecording();
    const Reply after = post(sim, envelope(3, llToken));
    QVERIFY(after.strBody.find("{\"app_status\":\"idle\"}") != std::string::npos);
}

void TestCamSim::setSetting_storesOrRefuses_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("rval");
    const auto row = [](const QString& strKey, const QString& strValue, int iRval) {
        const QString strName
            = strKey + QLatin1Char(' ') + QString(strValue).replace(QLatin1Char('\n'), QLatin1String("\\n"));
        QTest::newRow(qPrintable(strName)) << strKey << strValue << iRval;
    };
    const auto duration = [](int iSeconds) {
        return QString::asprintf("%02d:%02d:%02d", iSeconds / 3600, iSeconds / 60 % 60, iSeconds % 60);
    };

    // The settings of the pages: the camera takes every value and limit the program offers, and
    // nothing beside them.
    for (const ZkVocabulary::stSetting& clSetting : ZkVocabulary::settings()) {
        const QString& strKey = clSetting.strKey;
        switch (clSetting.eKind) {
        case Kind::Choice:
        case Kind::Action:
            for (const ZkVocabulary::stValue& clValue : clSetting.clValues)
                row(strKey, clValue.strWire, 0);
            row(strKey, clSetting.clValues.first().strWire + QLatin1Char('x'), -14);
            break;
        case Kind::Number:
        case Kind::Duration: {
            const auto text = [&](int iValue) {
                return clSetting.eKind == Kind::Number ? QString::number(iValue) : duration(iValue);
            };
            row(strKey, text(clSetting.iMinimum), 0);
            row(strKey, text(clSetting.iMaximum), 0);
            row(strKey, text(clSetting.iMinimum - 1), -14);
            row(strKey, text(clSetting.iMaximum + 1), -14);
            break;
        }
        case Kind::Clock:
            break; // the camera's own reading, below
        }
    }

    // How the camera reads a text, and the keys that are its own.
    row("zk_speaker_volume", "loud", -14);
    row("zk_speaker_volume", "5\n", -14); // digits and nothing after them
    row("zk_interval_time", "00:00:60", -14);
    row("camera_clock", "2024-02-29 23:59:59", 0);
    row("camera_clock", "2023-02-29 10:00:00", -14);
    row("camera_clock", "2024/02/28 10:00:00", -14);
    row("stream_type", "rtsp", 0);
    row("stream_type", "dash", -14);
    row("stream_while_record", "off", 0);
    row("std_def_video", "on", 0);
    row("zk_ap_ssid", QString(32, QLatin1Char('a')), 0);
    row("zk_ap_ssid", QString(33, QLatin1Char('a')), -14);
    row("zk_ap_ssid", "my cam", -14);
    row("zk_ap_key", "ab@_-123", 0);
    row("zk_ap_key", "abcdefg", -14);
    row("zk_battery", "50", -14); // read-only
    row("zk_get_version", "01.00.0010", -14);
    row("zk_nonsense", "on", -14);
}

void TestCamSim::setSetting_storesOrRefuses()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(int, rval);
    CamSim& sim = *m_pclSim;
    const std::string strKey = key.toStdString();
    const std::string strValue = value.toStdString();
    const std::string strBefore = sim.setting(strKey);
    const std::int64_t llToken = openSession(sim);

    QCOMPARE(rvalOf(sim, envelope(2, llToken, strKey, strValue)), rval);
    const ZkVocabulary::stSetting* pclSetting = ZkVocabulary::find(key);
    if (pclSetting && pclSetting->eKind == Kind::Action)
        return; // an action stores nothing
    if (strKey == "camera_clock" && rval == 0)
        QCOMPARE(sim.setting(strKey).substr(0, 14), strValue.substr(0, 14)); // the clock runs on
    else if (rval == 0)
        QCOMPARE(sim.setting(strKey), strValue);
    else if (strKey != "camera_clock")
        QCOMPARE(sim.setting(strKey), strBefore);
}

void TestCamSim::setSetting_withoutTypeOrOnReadOnlyKeyIsRefused()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    QCOMPARE(rvalOf(sim, envelope(2, llToken, "", "on")), -14);
    QCOMPARE(rvalOf(sim, envelope(2, llToken, "app_status", "record")), -14);
    QVERIFY(!sim.isRecording());

    // Resets bring back the defaults.
    QCOMPARE(rvalOf(sim, envelope(2, llToken, "zk_wdr", "on")), 0);
    QCOMPARE(rvalOf(sim, envelope(2, llToken, "zk_factory_reset_cam", "now")), -14);
    QCOMPARE(sim.setting("zk_wdr"), std::string("on"));
    QCOMPARE(rvalOf(sim, envelope(2, llToken, "zk_factory_reset_cam", "set")), 0);
    QCOMPARE(sim.setting("zk_wdr"), std::string("off"));
}

void TestCamSim::applyNewWifiParam_endsSessionAndViewFinder()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    QCOMPARE(rvalOf(sim, envelope(259, llToken, "", "none_force")), 0);
    QVERIFY(sim.viewFinderRunning());

    QCOMPARE(rvalOf(sim, envelope(2, llToken, "zk_wifi_apply_new_param", "abcdefgh")), 0);
    QVERIFY(!sim.viewFinderRunning());
    QCOMPARE(rvalOf(sim, envelope(3, llToken)), -4);
    auto res = getFrame(sim);
    QVERIFY(res);
    QCOMPARE(res->status, 404);
}

void TestCamSim::poll_holdsUntilNotificationQueued()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    const std::string strPoll = "{\"msg_id\":4097,\"timeout\":5,\"token\":" + std::to_string(llToken) + "}";
    auto clFuture = std::async(std::launch::async, [&sim, strPoll] { return post(sim, strPoll); });

    QVERIFY(sim.waitForMessage(4097, 1, 5000));
    // Held: nothing is queued yet.
    QCOMPARE(clFuture.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    sim.startRecording();
    QCOMPARE(clFuture.wait_for(std::chrono::seconds(3)), std::future_status::ready);

    const Reply reply = clFuture.get();
    QVERIFY(reply.isObject());
    QCOMPARE(reply.number("rval"), 0);
    QCOMPARE(reply.number("msg_id"), 4097);
    QVERIFY(reply.object().at("timestamp").is<double>());
    const picojson::array& listing = reply.object().at("listing").get<picojson::array>();
    QCOMPARE(listing.size(), std::size_t(1));
    const picojson::object& entry = listing[0].get<picojson::object>();
    QCOMPARE(entry.at("type").get<std::string>(), std::string("starting_video_record"));
    QCOMPARE(entry.at("param").get<std::string>(), std::string(""));
    QCOMPARE(entry.at("msg_id").get<std::int64_t>(), std::int64_t(7));
    QVERIFY(entry.at("ntf_timestamp").is<double>());
    QCOMPARE(sim.pendingNotifications(), std::size_t(0));

    // Queued before the poll: answered at once, in order.
    sim.stopRecording();
    sim.queueNotification("custom", "42");
    const Reply second = post(sim, strPoll);
    const picojson::array& both = second.object().at("listing").get<picojson::array>();
    QCOMPARE(both.size(), std::size_t(2));
    QCOMPARE(
        both[0].get<picojson::object>().at("type").get<std::string>(), std::string("video_record_complete"));
    QCOMPARE(both[1].get<picojson::object>().at("param").get<std::string>(), std::string("42"));

    // A stale token gets -4 at once.
    QCOMPARE(rvalOf(sim, "{\"msg_id\":4097,\"timeout\":5,\"token\":1}"), -4);
}

void TestCamSim::poll_timesOutWithEmptyListing()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    const auto clStart = Clock::now();
    const Reply reply
        = post(sim, "{\"msg_id\":4097,\"timeout\":1,\"token\":" + std::to_string(llToken) + "}");
    const auto llHeldMs
        = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clStart).count();
    QVERIFY2(llHeldMs >= 900, std::to_string(llHeldMs).c_str());
    QCOMPARE(reply.number("rval"), 0);
    QVERIFY(reply.object().at("listing").get<picojson::array>().empty());
    QCOMPARE(sim.messages().back().timeout, std::int64_t(1));
}

void TestCamSim::frames_notFoundBeforeViewFinderAndJpegAfter()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    auto before = getFrame(sim);
    QVERIFY(before);
    QCOMPARE(before->status, 404);

    QCOMPARE(rvalOf(sim, envelope(259, llToken, "", "none_force")), 0);
    for (int i = 0; i < 2; ++i) {
        auto res = getFrame(sim);
        QVERIFY(res);
        QCOMPARE(res->status, 200);
        QCOMPARE(res->get_header_value("Content-Type"), std::string("image/jpeg"));
        const QImage clImage = QImage::fromData(
            reinterpret_cast<const uchar*>(res->body.data()), static_cast<int>(res->body.size()), "JPEG");
        QCOMPARE(clImage.size(), QSize(CamSim::Options().frameWidth, CamSim::Options().frameHeight));
    }
    QCOMPARE(sim.framesServed(), std::uint64_t(2));

    QCOMPARE(rvalOf(sim, envelope(260, llToken)), 0);
    QCOMPARE(rvalOf(sim, envelope(260, llToken)), 0); // also when already stopped
    auto after = getFrame(sim);
    QVERIFY(after);
    QCOMPARE(after->status, 404);

    const std::vector<camsim::FrameRequest> frames = sim.frameRequests();
    QCOMPARE(frames.size(), std::size_t(4));
    QCOMPARE(frames[0].status, 404);
    QCOMPARE(frames[1].status, 200);
    QCOMPARE(frames[2].frameNumber, std::uint64_t(2));
    QCOMPARE(frames[3].status, 404);
}

void TestCamSim::frames_sizeKeptWithinBounds()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    QCOMPARE(rvalOf(sim, envelope(259, llToken)), 0);
    const auto frameSize = [&sim] {
        auto res = getFrame(sim);
        if (!res || res->status != 200)
            return QSize();
        return QImage::fromData(
            reinterpret_cast<const uchar*>(res->body.data()), static_cast<int>(res->body.size()), "JPEG")
            .size();
    };

    sim.setFrameSize(5000, 8);
    QCOMPARE(frameSize(), QSize(4096, 16));

    // The control channel is held to the same bounds.
    httplib::Client cli("127.0.0.1", sim.port());
    auto res = cli.Post("/sim/frames", "{\"width\":10,\"height\":100000}", "application/json");
    QVERIFY(res);
    QCOMPARE(res->status, 200);
    QCOMPARE(frameSize(), QSize(16, 4096));
}

void TestCamSim::fault_appliesToNextMessagesOnly()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    sim.setFault(3, Fault::status(500, 2));
    sim.addFault(3, Fault::withRval(-4, 1));
    const std::string strGet = envelope(3, llToken);
    QCOMPARE(post(sim, strGet).iStatus, 500);
    QCOMPARE(post(sim, strGet).iStatus, 500);
    QCOMPARE(rvalOf(sim, strGet), -4);
    QCOMPARE(rvalOf(sim, strGet), 0);
    QCOMPARE(rvalOf(sim, envelope(260, llToken)), 0); // other numbers untouched

    // A refused message has no effect on the camera.
    sim.setFault(2, Fault::withRval(-14, 1));
    QCOMPARE(rvalOf(sim, envelope(2, llToken, "zk_wdr", "on")), -14);
    QCOMPARE(sim.setting("zk_wdr"), std::string("off"));

    // Permanent until cleared.
    sim.setFault(260, Fault::noRval());
    QVERIFY(!post(sim, envelope(260, llToken)).has("rval"));
    QVERIFY(!post(sim, envelope(260, llToken)).has("rval"));
    sim.clearFaults();
    QCOMPARE(rvalOf(sim, envelope(260, llToken)), 0);

    const std::vector<camsim::LoggedMessage> log = sim.messages();
    QCOMPARE(log[1].httpStatus, 500);
    QCOMPARE(log[1].fault, std::string("http"));
    QCOMPARE(log[4].fault, std::string(""));
}

void TestCamSim::fault_kinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("delay") << int(Fault::Kind::None);
    QTest::newRow("broken json") << int(Fault::Kind::BrokenJson);
    QTest::newRow("not an object") << int(Fault::Kind::NotObject);
    QTest::newRow("no rval") << int(Fault::Kind::NoRval);
    QTest::newRow("dropped") << int(Fault::Kind::Drop);
}

void TestCamSim::fault_kinds()
{
    QFETCH(int, kind);
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    Fault fault;
    fault.kind = static_cast<Fault::Kind>(kind);
    fault.delayMs = 300;
    fault.count = 1;
    sim.setFault(260, fault);

    const auto clStart = Clock::now();
    const Reply reply = post(sim, envelope(260, llToken));
    const auto llMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clStart).count();
    QVERIFY2(llMs >= 280, std::to_string(llMs).c_str());

    switch (fault.kind) {
    case Fault::Kind::None:
        QVERIFY(reply.isObject());
        QCOMPARE(reply.number("rval"), 0);
        break;
    case Fault::Kind::BrokenJson:
        QCOMPARE(reply.iStatus, 200);
        QVERIFY2(reply.strParseError.rfind("syntax error at line", 0) == 0, reply.strParseError.c_str());
        break;
    case Fault::Kind::NotObject:
        QCOMPARE(reply.iStatus, 200);
        QVERIFY(reply.strParseError.empty());
        QVERIFY(reply.clJson.is<picojson::array>());
        break;
    case Fault::Kind::NoRval:
        QVERIFY(reply.isObject());
        QVERIFY(!reply.has("rval"));
        QCOMPARE(reply.number("msg_id"), 260);
        break;
    case Fault::Kind::Drop:
        QVERIFY(!reply.bAnswered);
        break;
    default:
        QFAIL("unexpected kind");
    }
    // Only the next message was affected.
    QCOMPARE(rvalOf(sim, envelope(260, llToken)), 0);
}

void TestCamSim::frameFault_chunkedAndBroken()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    QCOMPARE(rvalOf(sim, envelope(259, llToken)), 0);

    FrameFault chunked;
    chunked.kind = FrameFault::Kind::Chunked;
    chunked.chunks = 3;
    chunked.chunkPauseMs = 200;
    chunked.count = 1;
    sim.setFrameFault(chunked);
    FrameFault broken;
    broken.kind = FrameFault::Kind::BrokenJpeg;
    broken.count = 1;
    sim.addFrameFault(broken);

    // The pieces arrive apart, the whole still decodes.
    std::vector<Clock::time_point> arrivals;
    std::string strBody;
    httplib::Client cli("127.0.0.1", sim.port());
    auto res = cli.Get("/mjpeg/amba.jpg", [&](const char* pData, std::size_t iLen) {
        arrivals.push_back(Clock::now());
        strBody.append(pData, iLen);
        return true;
    });
    QVERIFY(res);
    QCOMPARE(res->status, 200);
    QVERIFY(arrivals.size() >= 3);
    QVERIFY(arrivals.back() - arrivals.front() >= std::chrono::milliseconds(350));
    QVERIFY(
        !QImage::fromData(reinterpret_cast<const uchar*>(strBody.data()), static_cast<int>(strBody.size()))
             .isNull());

    auto noise = getFrame(sim);
    QVERIFY(noise);
    QCOMPARE(noise->status, 200);
    QVERIFY(QImage::fromData(
        reinterpret_cast<const uchar*>(noise->body.data()), static_cast<int>(noise->body.size()))
                .isNull());

    auto good = getFrame(sim);
    QVERIFY(good);
    QVERIFY(!QImage::fromData(
        reinterpret_cast<const uchar*>(good->body.data()), static_cast<int>(good->body.size()))
                 .isNull());
}

void TestCamSim::log_keepsRawBodyByteExact()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    sim.clearLog();
    const std::string strBody
        = "{\"msg_id\":2,\"param\":\"on\",\"token\":" + std::to_string(llToken) + ",\"type\":\"zk_wdr\"}";
    QCOMPARE(rvalOf(sim, strBody), 0);
    const std::string strOdd = "{ \"msg_id\" : 259 , \"token\":" + std::to_string(llToken) + " }\n";
    QCOMPARE(rvalOf(sim, strOdd), 0);
    QCOMPARE(rvalOf(sim, "not json"), -7);

    const std::vector<camsim::LoggedMessage> log = sim.messages();
    QCOMPARE(log.size(), std::size_t(3));
    QCOMPARE(log[0].raw, strBody);
    QVERIFY(log[0].hasMsgId && log[0].msgId == 2);
    QVERIFY(log[0].hasToken && log[0].token == llToken);
    QVERIFY(log[0].hasType && log[0].typeIsString && log[0].type == "zk_wdr");
    QVERIFY(log[0].hasParam && log[0].param == "on");
    QVERIFY(!log[0].hasTimeout);
    QVERIFY(log[0].answered && log[0].hasRval && log[0].rval == 0);
    QCOMPARE(log[1].raw, strOdd);
    QVERIFY(!log[1].hasType && !log[1].hasParam);
    QVERIFY(log[1].received >= log[0].received);
    QVERIFY(!log[2].jsonObject);
    QCOMPARE(sim.msgIds(), (std::vector<std::int64_t> { 2, 259, -1 }));
}

void TestCamSim::log_keepsNewestEntriesWithinLimits()
{
    m_pclSim.reset();
    CamSim::Options options;
    options.fps = 0;
    options.messageLogLimit = 3;
    options.frameLogLimit = 2;
    m_pclSim = std::make_unique<CamSim>(options);
    QVERIFY(m_pclSim->start());
    CamSim& sim = *m_pclSim;

    const std::int64_t llToken = openSession(sim);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(rvalOf(sim, envelope(3, llToken)), 0);
    const std::vector<camsim::LoggedMessage> messages = sim.messages();
    QCOMPARE(messages.size(), std::size_t(3));
    QCOMPARE(sim.messageCount(), std::size_t(3));
    QCOMPARE(sim.messageCount(257), 0);
    QCOMPARE(sim.messageCount(3), 3);
    for (std::size_t i = 0; i < messages.size(); ++i) {
        QCOMPARE(messages[i].seq, std::uint64_t(3 + i)); // numbering goes on past dropped entries
        QVERIFY(messages[i].answered);
    }

    for (int i = 0; i < 3; ++i)
        QVERIFY(getFrame(sim));
    const std::vector<camsim::FrameRequest> frames = sim.frameRequests();
    QCOMPARE(frames.size(), std::size_t(2));
    QCOMPARE(frames[0].seq, std::uint64_t(2));
    QCOMPARE(frames[1].seq, std::uint64_t(3));
    QCOMPARE(frames[1].status, 404);

    httplib::Client cli("127.0.0.1", sim.port());
    auto state = cli.Get("/sim/state");
    QVERIFY(state);
    QVERIFY(state->body.find("\"messages\":3") != std::string::npos);
}

void TestCamSim::control_scriptsStateOverHttp()
{
    CamSim& sim = *m_pclSim;
    httplib::Client cli("127.0.0.1", sim.port());
    auto battery = cli.Post("/sim/battery", "{\"level\":17}", "application/json");
    QVERIFY(battery);
    QCOMPARE(battery->status, 200);
    QCOMPARE(sim.setting("zk_battery"), std::string("17"));
    QCOMPARE(cli.Post("/sim/battery", "{\"lvl\":1}", "application/json")->status, 400);
    QCOMPARE(cli.Post("/sim/record/start", "", "application/json")->status, 200);
    QVERIFY(sim.isRecording());
    QCOMPARE(cli.Post("/sim/fault", "{\"msg_id\":3,\"kind\":\"http\",\"status\":404,\"count\":1}",
                    "application/json")
                 ->status,
        200);

    const std::int64_t llToken = openSession(sim);
    QCOMPARE(post(sim, envelope(3, llToken)).iStatus, 404);
    QCOMPARE(rvalOf(sim, envelope(3, llToken)), 0);

    auto log = cli.Get("/sim/log");
    QVERIFY(log);
    picojson::value clLog;
    QVERIFY(picojson::parse(clLog, log->body).empty());
    QVERIFY(clLog.is<picojson::array>());
    const picojson::array& entries = clLog.get<picojson::array>();
    QCOMPARE(entries.size(), std::size_t(3));
    QCOMPARE(entries[0].get<picojson::object>().at("raw").get<std::string>(),
        std::string("{\"msg_id\":257,\"token\":0}"));
    QCOMPARE(entries[1].get<picojson::object>().at("fault").get<std::string>(), std::string("http"));

    auto state = cli.Get("/sim/state");
    QVERIFY(state);
    QVERIFY(state->body.find("\"recording\":true") != std::string::npos);
}

void TestCamSim::stop_returnsPromptlyWithHeldPollAndStalledFrame()
{
    CamSim& sim = *m_pclSim;
    const std::int64_t llToken = openSession(sim);
    QCOMPARE(rvalOf(sim, envelope(259, llToken)), 0);
    FrameFault stall;
    stall.kind = FrameFault::Kind::Stall;
    stall.stallMs = 60000;
    sim.setFrameFault(stall);
    sim.setFault(260, Fault::delay(60000));

    auto clPoll = std::async(std::launch::async, [&sim, llToken] {
        return post(sim, "{\"msg_id\":4097,\"timeout\":30,\"token\":" + std::to_string(llToken) + "}", 60);
    });
    auto clDelayed
        = std::async(std::launch::async, [&sim, llToken] { return post(sim, envelope(260, llToken), 60); });
    auto clFrame = std::async(std::launch::async, [&sim] { return static_cast<bool>(getFrame(sim, 60)); });
    QVERIFY(sim.waitFor(
        [&sim] {
            return sim.messageCount(4097) == 1 && sim.messageCount(260) == 1 && !sim.frameRequests().empty()
                && sim.frameRequests()[0].status == 200;
        },
        5000));
    QTest::qWait(200);

    const auto clStart = Clock::now();
    sim.stop();
    const auto llMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clStart).count();
    QVERIFY2(llMs < 5000, std::to_string(llMs).c_str());
    QVERIFY(!sim.isRunning());
    QCOMPARE(clPoll.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    QCOMPARE(clDelayed.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    QCOMPARE(clFrame.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    QVERIFY(!clFrame.get()); // the stalled frame never completed
}

QTEST_GUILESS_MAIN(TestCamSim)
#include "tst_camsim.moc"
