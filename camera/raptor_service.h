#pragma once

#include "camera/ClCurlTransport.h"
#include "camera/raptor_responses.h"

#include <picojson.h>

#include <atomic>
#include <cstddef>
#include <string>

// The camera client: the camera's message set, each message an envelope of the codec
// (ClCameraCodec) posted to the camera's control endpoint (ClCurlTransport), its reply read into a
// typed response. Two threads may use one client at once; what they share is the fixed control URL
// and the session token. Transfer failures come back as "rval" of a synthetic reply, with the codes
// of ZkError (ZK_CMD.h).
class raptor_service
{
public:
    // The transport's cap on one reply.
    static constexpr size_t MAX_REPLY_BYTES = ClCurlTransport::MAX_REPLY_BYTES;

    explicit raptor_service(const std::string& strAddress);
    virtual ~raptor_service();

    raptor_service(const raptor_service&) = delete;
    raptor_service& operator=(const raptor_service&) = delete;

    // One message with the time limit of its number, one notification poll held for iHoldSec.
    picojson::object send(int iToken, int iMsgId, const std::string& strType, const std::string& strParam);
    picojson::object send_poll(int iToken, int iMsgId, int iHoldSec);
    static int timeout_for(int iMsgId);
    // The codec's, for the callers that know the client only.
    static int read_number(const picojson::object& clReply, const std::string& strKey);
    static std::string envelope(
        int iToken, int iMsgId, const std::string& strType, const std::string& strParam);

    // Message set.
    Basic_Rsp set_setting(const std::string& strKey, const std::string& strValue);
    AllSettings_Rsp get_all_current_settings();
    Basic_Rsp format_storage();
    StartSession_Rsp start_session();
    Basic_Rsp stop_session();
    // The closing message with a time limit of its own, from any thread (a program that must end
    // now while another message is still out).
    Basic_Rsp stop_session_within(int iTimeoutSec);
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
    const ClCurlTransport clTransport;
    std::atomic<int> iToken { 0 };
};
