#pragma once

#include "camera/raptor_responses.h"

#include <picojson.h>

#include <string>

// The JSON of the camera's control messages: the envelopes that go out, the reply objects that come
// back and what the typed responses read from them. Pure functions of their input, so the readers
// can be driven without a camera or a transfer.
class ClCameraCodec
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

    // "type" and "param" are left out when empty.
    static std::string envelope(
        int iToken, int iMsgId, const std::string& strType, const std::string& strParam);
    static std::string pollEnvelope(int iToken, int iMsgId, int iHoldSec);

    // The synthetic reply of a failure found before any reply was read: "rval" alone.
    static picojson::object rvalReply(int iRval);
    // The body of an HTTP 200 answer as the reply object: a synthetic -1002 reply, with the
    // parser's text in "param", unless it is exactly one JSON object.
    static picojson::object parseReply(const std::string& clBody);

    // A number member cut to int (-1 when absent or not a number), a text member (empty when absent
    // or not a text).
    static int readNumber(const picojson::object& clReply, const std::string& strKey);
    static std::string readText(const picojson::object& clReply, const std::string& strKey);

    static Basic_Rsp readBasic(const picojson::object& clReply);
    static StartSession_Rsp readStartSession(const picojson::object& clReply);
    static AllSettings_Rsp readAllSettings(const picojson::object& clReply);
    static Notification_Rsp readNotification(const picojson::object& clReply);
};
