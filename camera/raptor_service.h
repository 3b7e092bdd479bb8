#pragma once

#include <picojson.h>

#include <atomic>
#include <string>
#include <unordered_map>
#include <vector>

// Polymorphic base of the typed camera responses.
struct CommonResponse
{
    virtual ~CommonResponse() = default;
};

// Result of the messages that only report success (2, 4, 258, 259, 260, 513, 514, 769).
struct Basic_Rsp
{
    int rval = -1;
    int msg_id = -1;
};

struct StartSession_Rsp : CommonResponse
{
    int rval = -1;
    int msg_id = -1;
    int param = -1; // the session token; only set when rval is 0
};

struct AllSettings_Rsp
{
    int rval = -1;
    int msg_id = 3;
    std::unordered_map<std::string, std::string> param; // only filled when rval is 0
};

struct NotificationEntry
{
    int msg_id = -1;
    std::string type;
    double ntf_timestamp = -1;
    std::string param;
};

struct Notification_Rsp : CommonResponse
{
    int rval = -1;
    int msg_id = 4097;
    double timestamp = -1;
    std::vector<NotificationEntry> listing; // only filled when rval is 0
};

struct PrepareLiveView_Rsp
{
    int rval = -1;
    int msg_id = -1;
    std::string step; // the stream-while-record key or "resetVF"; empty when the first step decided
};

// The camera client: JSON messages posted over HTTP to the camera's control endpoint.
// Every transfer keeps its state local to the call, so two threads may use one client at once;
// what they share is the fixed control URL and the session token.
// Transfer failures come back as "rval" of a synthetic reply, with the codes of ZkError (ZK_CMD.h).
class raptor_service
{
public:
    enum MessageId
    {
        ZK_SET_SETTING = 2,
        ZK_GET_ALL_CURRENT_SETTINGS = 3,
        ZK_FORMAT = 4,
        ZK_START_SESSION = 257,
        ZK_STOP_SESSION = 258,
        ZK_RESET_VF = 259,
        ZK_STOP_VF = 260,
        ZK_MSG_513 = 513,
        ZK_MSG_514 = 514,
        ZK_MSG_769 = 769,
        ZK_NOTIFICATION_POLL = 4097,
    };

    // A reply larger than this is a transfer failure; no camera answer comes near it.
    static constexpr size_t MAX_REPLY_BYTES = 16u * 1024u * 1024u;

    explicit raptor_service(const std::string& strAddress);
    virtual ~raptor_service();

    raptor_service(const raptor_service&) = delete;
    raptor_service& operator=(const raptor_service&) = delete;

    // Transport.
    picojson::object post(const std::string& strUrl, const std::string& strJson, int iTimeoutSec);
    picojson::object send(int iToken, int iMsgId, const std::string& strType, const std::string& strParam);
    picojson::object send_poll(int iToken, int iMsgId, int iHoldSec);
    static int read_number(const picojson::object& clReply, const std::string& strKey);
    static std::string read_text(const picojson::object& clReply, const std::string& strKey);
    static int timeout_for(int iMsgId);
    static std::string envelope(
        int iToken, int iMsgId, const std::string& strType, const std::string& strParam);
    static std::string poll_envelope(int iToken, int iMsgId, int iHoldSec);
    // The body of an HTTP 200 answer as the reply object: a synthetic -1002 reply, with the
    // parser's text in "param", unless it is exactly one JSON object.
    static picojson::object parse_reply(const std::string& clBody);
    // What the settings and notification messages make of their reply objects.
    static AllSettings_Rsp read_all_settings(const picojson::object& clReply);
    static Notification_Rsp read_notification(const picojson::object& clReply);

    // Message set.
    Basic_Rsp set_setting(const std::string& strKey, const std::string& strValue);
    AllSettings_Rsp get_all_current_settings();
    Basic_Rsp format_storage();
    StartSession_Rsp start_session();
    Basic_Rsp stop_session();
    Basic_Rsp reset_vf(bool bForced);
    Basic_Rsp stop_vf();
    Basic_Rsp send_msg_513();
    Basic_Rsp send_msg_514();
    Basic_Rsp send_msg_769();
    Notification_Rsp list_notification(int iHoldSec);
    PrepareLiveView_Rsp prepare_live_view(bool bNormal);
    PrepareLiveView_Rsp prepare_live_view_for(const std::string& strResolution);

    std::string get_rtsp_url() const;
    std::string get_mjpeg_url() const;
    std::string get_hls_url() const;
    std::string get_address() const;

    int token() const;

private:
    Basic_Rsp sendBasic(int iMsgId, const std::string& strType, const std::string& strParam);

    const std::string strAddress;
    const std::string strControlUrl;
    std::atomic<int> iToken { 0 };
};
