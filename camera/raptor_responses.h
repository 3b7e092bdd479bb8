#pragma once

#include <string>
#include <unordered_map>
#include <vector>

// The typed camera responses: what the codec (ClCameraCodec) reads out of the reply objects and
// the message set (raptor_service) hands back.

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
