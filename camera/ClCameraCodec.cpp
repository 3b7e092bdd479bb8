#include "camera/ClCameraCodec.h"

#include "camera/ZK_CMD.h"

#include <climits>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace {

double readDouble(const picojson::object& clObject, const std::string& strKey)
{
    const auto it = clObject.find(strKey);
    if (it == clObject.end() || !it->second.is<double>())
        return -1;
    return it->second.get<double>();
}

} // namespace

std::string ClCameraCodec::envelope(
    int iToken, int iMsgId, const std::string& strType, const std::string& strParam)
{
    picojson::object clEnvelope;
    clEnvelope["token"] = picojson::value(static_cast<int64_t>(iToken));
    clEnvelope["msg_id"] = picojson::value(static_cast<int64_t>(iMsgId));
    if (!strType.empty())
        clEnvelope["type"] = picojson::value(strType);
    if (!strParam.empty())
        clEnvelope["param"] = picojson::value(strParam);
    return picojson::value(clEnvelope).serialize();
}

std::string ClCameraCodec::pollEnvelope(int iToken, int iMsgId, int iHoldSec)
{
    picojson::object clEnvelope;
    clEnvelope["token"] = picojson::value(static_cast<int64_t>(iToken));
    clEnvelope["msg_id"] = picojson::value(static_cast<int64_t>(iMsgId));
    clEnvelope["timeout"] = picojson::value(static_cast<int64_t>(iHoldSec));
    return picojson::value(clEnvelope).serialize();
}

picojson::object ClCameraCodec::rvalReply(int iRval)
{
    picojson::object clReply;
    clReply["rval"] = picojson::value(static_cast<int64_t>(iRval));
    return clReply;
}

picojson::object ClCameraCodec::parseReply(const std::string& clBody)
{
    picojson::value clValue;
    std::string strError;
    auto itEnd = clBody.cbegin();
    try {
        itEnd = picojson::parse(clValue, clBody.cbegin(), clBody.cend(), &strError);
    } catch (const std::overflow_error&) {
        // The parser throws for a number beyond the range of a double (1e999); that is a reply
        // this client cannot read, like any other malformed one.
        strError = "syntax error: number out of range";
    }
    if (strError.empty()) {
        // One JSON value, optionally followed by blanks; anything else is not a camera reply.
        for (auto it = itEnd; it != clBody.cend(); ++it) {
            if (*it != ' ' && *it != '\t' && *it != '\r' && *it != '\n' && *it != '\0') {
                strError = "syntax error: unexpected data after the JSON value";
                break;
            }
        }
    }
    if (strError.empty() && !clValue.is<picojson::object>())
        strError = "reply is not a JSON object";
    if (!strError.empty()) {
        picojson::object clReply = rvalReply(ZkError::NotJson);
        clReply["param"] = picojson::value(strError);
        return clReply;
    }
    return clValue.get<picojson::object>();
}

int ClCameraCodec::readNumber(const picojson::object& clReply, const std::string& strKey)
{
    const auto it = clReply.find(strKey);
    if (it == clReply.end())
        return -1;
    const picojson::value& clValue = it->second;
    if (clValue.is<int64_t>()) {
        const int64_t llValue = clValue.get<int64_t>();
        if (llValue > INT_MAX)
            return INT_MAX;
        if (llValue < INT_MIN)
            return INT_MIN;
        return static_cast<int>(llValue);
    }
    if (clValue.is<double>()) {
        // The fraction is cut off towards zero; values beyond int are held at its limits.
        const double dValue = std::trunc(clValue.get<double>());
        if (!(dValue < static_cast<double>(INT_MAX)))
            return INT_MAX;
        if (!(dValue > static_cast<double>(INT_MIN)))
            return INT_MIN;
        return static_cast<int>(dValue);
    }
    return -1;
}

std::string ClCameraCodec::readText(const picojson::object& clReply, const std::string& strKey)
{
    const auto it = clReply.find(strKey);
    if (it == clReply.end() || !it->second.is<std::string>())
        return std::string();
    return it->second.get<std::string>();
}

Basic_Rsp ClCameraCodec::readBasic(const picojson::object& clReply)
{
    Basic_Rsp clRsp;
    clRsp.rval = readNumber(clReply, "rval");
    clRsp.msg_id = readNumber(clReply, "msg_id");
    return clRsp;
}

StartSession_Rsp ClCameraCodec::readStartSession(const picojson::object& clReply)
{
    StartSession_Rsp clRsp;
    clRsp.rval = readNumber(clReply, "rval");
    clRsp.msg_id = readNumber(clReply, "msg_id");
    if (clRsp.rval == 0)
        clRsp.param = readNumber(clReply, "param");
    return clRsp;
}

AllSettings_Rsp ClCameraCodec::readAllSettings(const picojson::object& clReply)
{
    AllSettings_Rsp clRsp;
    clRsp.rval = readNumber(clReply, "rval");
    clRsp.msg_id = ZK_GET_ALL_CURRENT_SETTINGS;
    if (clRsp.rval != 0)
        return clRsp;
    const auto it = clReply.find("param");
    if (it == clReply.end() || !it->second.is<picojson::array>())
        return clRsp;
    const picojson::array& clElements = it->second.get<picojson::array>();
    for (const picojson::value& clElement : clElements) {
        if (!clElement.is<picojson::object>()) {
            // A table with foreign elements is not read as a partial table.
            clRsp.param.clear();
            return clRsp;
        }
    }
    for (const picojson::value& clElement : clElements) {
        const picojson::object& clMembers = clElement.get<picojson::object>();
        for (const auto& clMember : clMembers)
            clRsp.param[clMember.first] = readText(clMembers, clMember.first);
    }
    return clRsp;
}

Notification_Rsp ClCameraCodec::readNotification(const picojson::object& clReply)
{
    Notification_Rsp clRsp;
    clRsp.rval = readNumber(clReply, "rval");
    clRsp.msg_id = ZK_NOTIFICATION_POLL;
    clRsp.timestamp = readDouble(clReply, "timestamp");
    if (clRsp.rval != 0)
        return clRsp;
    const auto it = clReply.find("listing");
    if (it == clReply.end() || !it->second.is<picojson::array>())
        return clRsp;
    const picojson::array& clElements = it->second.get<picojson::array>();
    for (const picojson::value& clElement : clElements) {
        if (!clElement.is<picojson::object>())
            return clRsp; // a listing with foreign elements is not read at all
    }
    clRsp.listing.reserve(clElements.size());
    for (const picojson::value& clElement : clElements) {
        const picojson::object& clEntry = clElement.get<picojson::object>();
        NotificationEntry clNotification;
        clNotification.ntf_timestamp = readDouble(clEntry, "ntf_timestamp");
        clNotification.msg_id = readNumber(clEntry, "msg_id");
        clNotification.type = readText(clEntry, "type");
        clNotification.param = readText(clEntry, "param");
        clRsp.listing.push_back(std::move(clNotification));
    }
    return clRsp;
}
