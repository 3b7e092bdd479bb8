#include "camera/raptor_service.h"

#include "camera/ClCurlLibrary.h"
#include "camera/ZK_CMD.h"
#include "camera/ZkResolution.h"
#include "camera/ZkSetting.h"

#include <QLibrary>

#include <curl/curl.h>

#include <climits>
#include <cmath>
#include <new>
#include <stdexcept>

namespace {

using FnEasyInit = CURL* (*)();
using FnEasySetopt = CURLcode (*)(CURL*, CURLoption, ...);
using FnEasyCleanup = void (*)(CURL*);
using FnSlistFreeAll = void (*)(curl_slist*);
using FnSlistAppend = curl_slist* (*)(curl_slist*, const char*);
using FnEasyGetinfo = CURLcode (*)(CURL*, CURLINFO, ...);
using FnEasyPerform = CURLcode (*)(CURL*);

struct CurlApi
{
    FnEasyInit easyInit = nullptr;
    FnEasySetopt easySetopt = nullptr;
    FnEasyCleanup easyCleanup = nullptr;
    FnSlistFreeAll slistFreeAll = nullptr;
    FnSlistAppend slistAppend = nullptr;
    FnEasyGetinfo easyGetinfo = nullptr;
    FnEasyPerform easyPerform = nullptr;

    bool resolve(QLibrary& clLibrary)
    {
        easyInit = reinterpret_cast<FnEasyInit>(clLibrary.resolve("curl_easy_init"));
        easySetopt = reinterpret_cast<FnEasySetopt>(clLibrary.resolve("curl_easy_setopt"));
        easyCleanup = reinterpret_cast<FnEasyCleanup>(clLibrary.resolve("curl_easy_cleanup"));
        slistFreeAll = reinterpret_cast<FnSlistFreeAll>(clLibrary.resolve("curl_slist_free_all"));
        slistAppend = reinterpret_cast<FnSlistAppend>(clLibrary.resolve("curl_slist_append"));
        easyGetinfo = reinterpret_cast<FnEasyGetinfo>(clLibrary.resolve("curl_easy_getinfo"));
        easyPerform = reinterpret_cast<FnEasyPerform>(clLibrary.resolve("curl_easy_perform"));
        return easyInit && easySetopt && easyCleanup && slistFreeAll && slistAppend && easyGetinfo
            && easyPerform;
    }
};

// Receive buffer of one message. A reply that outgrows the cap, or memory that runs out, marks the
// buffer as failed and stops the transfer, so its partial data is never read.
struct ReceiveBuffer
{
    std::string clData;
    bool bFailed = false;
};

size_t appendReply(char* pData, size_t size, size_t count, void* pUser)
{
    auto* pclBuffer = static_cast<ReceiveBuffer*>(pUser);
    const size_t bytes = size * count;
    if (count != 0 && bytes / count != size) {
        pclBuffer->bFailed = true;
        return 0;
    }
    if (pclBuffer->clData.size() + bytes > raptor_service::MAX_REPLY_BYTES) {
        pclBuffer->bFailed = true;
        return 0;
    }
    try {
        pclBuffer->clData.append(pData, bytes);
    } catch (const std::bad_alloc&) {
        pclBuffer->bFailed = true;
        return 0; // makes libcurl end the transfer with a write error
    }
    return bytes;
}

double readDouble(const picojson::object& clObject, const std::string& strKey)
{
    const auto it = clObject.find(strKey);
    if (it == clObject.end() || !it->second.is<double>())
        return -1;
    return it->second.get<double>();
}

picojson::object rvalReply(int iRval)
{
    picojson::object clReply;
    clReply["rval"] = picojson::value(static_cast<int64_t>(iRval));
    return clReply;
}

picojson::object parseReply(const std::string& clBody)
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

} // namespace

// The process-wide library handle is created with its file name (ClCurlLibrary); loading it is
// start-up's job.
raptor_service::raptor_service(const std::string& strAddress)
    : strAddress(strAddress)
    , strControlUrl("http://" + strAddress + "/cgi-bin/cgi")
{
}

// The library stays loaded: it is shared by every client of the process and by the start-up check,
// so one client going away must not cut the others off.
raptor_service::~raptor_service() = default;

picojson::object raptor_service::post(const std::string& strUrl, const std::string& strJson, int iTimeoutSec)
{
    QLibrary& clLibrary = ClCurlLibrary::library();
    if (!clLibrary.isLoaded())
        return picojson::object();
    CurlApi clApi;
    if (!clApi.resolve(clLibrary))
        return picojson::object();

    ReceiveBuffer clBuffer;
    CURL* pclHandle = clApi.easyInit();
    if (!pclHandle)
        return rvalReply(ZkError::NoHandle);

    curl_slist* pclHeaders = clApi.slistAppend(nullptr, "Content-Type: application/json");
    clApi.easySetopt(pclHandle, CURLOPT_URL, strUrl.c_str());
    clApi.easySetopt(pclHandle, CURLOPT_SSL_VERIFYPEER, 0L);
    clApi.easySetopt(pclHandle, CURLOPT_CONNECTTIMEOUT, 5L);
    clApi.easySetopt(pclHandle, CURLOPT_NOSIGNAL, 1L);
    // The camera is the access point this machine joined directly: a proxy from the environment
    // (http_proxy, all_proxy) cannot reach it, so none is used.
    clApi.easySetopt(pclHandle, CURLOPT_PROXY, "");
    clApi.easySetopt(pclHandle, CURLOPT_POSTFIELDS, strJson.c_str());
    clApi.easySetopt(pclHandle, CURLOPT_WRITEFUNCTION, &appendReply);
    clApi.easySetopt(pclHandle, CURLOPT_WRITEDATA, &clBuffer);
    clApi.easySetopt(pclHandle, CURLOPT_TIMEOUT, static_cast<long>(iTimeoutSec));
    clApi.easySetopt(pclHandle, CURLOPT_HTTPHEADER, pclHeaders);

    const CURLcode eResult = clApi.easyPerform(pclHandle);

    picojson::object clReply;
    if (eResult == CURLE_OPERATION_TIMEDOUT) {
        clReply = rvalReply(ZkError::Timeout);
    } else if (eResult != CURLE_OK || clBuffer.bFailed) {
        clReply = rvalReply(ZkError::TransferFailed);
    } else {
        long lStatus = 0;
        clApi.easyGetinfo(pclHandle, CURLINFO_RESPONSE_CODE, &lStatus);
        if (lStatus != 200)
            clReply = rvalReply(ZkError::HttpStatus);
        else
            clReply = parseReply(clBuffer.clData);
    }

    clApi.slistFreeAll(pclHeaders);
    clApi.easyCleanup(pclHandle);
    return clReply;
}

picojson::object raptor_service::parse_reply(const std::string& clBody)
{
    return parseReply(clBody);
}

std::string raptor_service::envelope(
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

std::string raptor_service::poll_envelope(int iToken, int iMsgId, int iHoldSec)
{
    picojson::object clEnvelope;
    clEnvelope["token"] = picojson::value(static_cast<int64_t>(iToken));
    clEnvelope["msg_id"] = picojson::value(static_cast<int64_t>(iMsgId));
    clEnvelope["timeout"] = picojson::value(static_cast<int64_t>(iHoldSec));
    return picojson::value(clEnvelope).serialize();
}

int raptor_service::timeout_for(int iMsgId)
{
    switch (iMsgId) {
    case 769:
    case 1282:
    case 1285:
        return 40;
    default:
        return 5;
    }
}

picojson::object raptor_service::send(
    int iToken, int iMsgId, const std::string& strType, const std::string& strParam)
{
    return post(strControlUrl, envelope(iToken, iMsgId, strType, strParam), timeout_for(iMsgId));
}

picojson::object raptor_service::send_poll(int iToken, int iMsgId, int iHoldSec)
{
    return post(strControlUrl, poll_envelope(iToken, iMsgId, iHoldSec), iHoldSec + 5);
}

int raptor_service::read_number(const picojson::object& clReply, const std::string& strKey)
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

std::string raptor_service::read_text(const picojson::object& clReply, const std::string& strKey)
{
    const auto it = clReply.find(strKey);
    if (it == clReply.end() || !it->second.is<std::string>())
        return std::string();
    return it->second.get<std::string>();
}

Basic_Rsp raptor_service::sendBasic(int iMsgId, const std::string& strType, const std::string& strParam)
{
    const picojson::object clReply = send(iToken.load(), iMsgId, strType, strParam);
    Basic_Rsp clRsp;
    clRsp.rval = read_number(clReply, "rval");
    clRsp.msg_id = read_number(clReply, "msg_id");
    return clRsp;
}

Basic_Rsp raptor_service::set_setting(const std::string& strKey, const std::string& strValue)
{
    return sendBasic(ZK_SET_SETTING, strKey, strValue);
}

AllSettings_Rsp raptor_service::get_all_current_settings()
{
    return read_all_settings(send(iToken.load(), ZK_GET_ALL_CURRENT_SETTINGS, std::string(), std::string()));
}

AllSettings_Rsp raptor_service::read_all_settings(const picojson::object& clReply)
{
    AllSettings_Rsp clRsp;
    clRsp.rval = read_number(clReply, "rval");
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
            clRsp.param[clMember.first] = read_text(clMembers, clMember.first);
    }
    return clRsp;
}

Basic_Rsp raptor_service::format_storage()
{
    return sendBasic(ZK_FORMAT, std::string(), "D:");
}

StartSession_Rsp raptor_service::start_session()
{
    const picojson::object clReply = send(0, ZK_START_SESSION, std::string(), std::string());
    StartSession_Rsp clRsp;
    clRsp.rval = read_number(clReply, "rval");
    clRsp.msg_id = read_number(clReply, "msg_id");
    if (clRsp.rval == 0) {
        clRsp.param = read_number(clReply, "param");
        iToken.store(clRsp.param);
    }
    return clRsp;
}

Basic_Rsp raptor_service::stop_session()
{
    return sendBasic(ZK_STOP_SESSION, std::string(), std::string());
}

Basic_Rsp raptor_service::reset_vf(bool bForced)
{
    return sendBasic(ZK_RESET_VF, std::string(), bForced ? "none_force" : std::string());
}

Basic_Rsp raptor_service::stop_vf()
{
    return sendBasic(ZK_STOP_VF, std::string(), std::string());
}

Basic_Rsp raptor_service::send_msg_513()
{
    return sendBasic(ZK_MSG_513, std::string(), std::string());
}

Basic_Rsp raptor_service::send_msg_514()
{
    return sendBasic(ZK_MSG_514, std::string(), std::string());
}

Basic_Rsp raptor_service::send_msg_769()
{
    return sendBasic(ZK_MSG_769, std::string(), std::string());
}

Notification_Rsp raptor_service::list_notification(int iHoldSec)
{
    return read_notification(send_poll(iToken.load(), ZK_NOTIFICATION_POLL, iHoldSec));
}

Notification_Rsp raptor_service::read_notification(const picojson::object& clReply)
{
    Notification_Rsp clRsp;
    clRsp.rval = read_number(clReply, "rval");
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
        clNotification.msg_id = read_number(clEntry, "msg_id");
        clNotification.type = read_text(clEntry, "type");
        clNotification.param = read_text(clEntry, "param");
        clRsp.listing.push_back(std::move(clNotification));
    }
    return clRsp;
}

PrepareLiveView_Rsp raptor_service::prepare_live_view(bool bNormal)
{
    PrepareLiveView_Rsp clRsp;
    const Basic_Rsp clStop = stop_vf();
    if (clStop.rval == ZkError::CameraRefused) {
        clRsp.rval = clStop.rval;
        clRsp.msg_id = clStop.msg_id;
        return clRsp;
    }
    const std::string strStreamWhileRecord = ZkSetting::STREAM_WHILE_RECORD.toStdString();
    const Basic_Rsp clOn = set_setting(strStreamWhileRecord, ZkValue::ON.toStdString());
    if (clOn.rval == ZkError::CameraRefused) {
        clRsp.rval = clOn.rval;
        clRsp.msg_id = clOn.msg_id;
        clRsp.step = strStreamWhileRecord;
        return clRsp;
    }
    if (!bNormal) {
        const Basic_Rsp clOff = set_setting(strStreamWhileRecord, ZkValue::OFF.toStdString());
        if (clOff.rval == ZkError::CameraRefused) {
            clRsp.rval = clOff.rval;
            clRsp.msg_id = clOff.msg_id;
            clRsp.step = strStreamWhileRecord;
            return clRsp;
        }
    }
    const Basic_Rsp clReset = reset_vf(true);
    clRsp.rval = clReset.rval;
    clRsp.msg_id = clReset.msg_id;
    clRsp.step = "resetVF";
    return clRsp;
}

PrepareLiveView_Rsp raptor_service::prepare_live_view_for(const std::string& strResolution)
{
    return prepare_live_view(!ZkResolution::isHighSpeed(QString::fromStdString(strResolution)));
}

std::string raptor_service::get_rtsp_url() const
{
    return "rtsp://" + strAddress + "/live";
}

std::string raptor_service::get_mjpeg_url() const
{
    return "http://" + strAddress + "/mjpeg/amba.jpg";
}

std::string raptor_service::get_hls_url() const
{
    return "http://" + strAddress + "/live/amba.m3u8";
}

std::string raptor_service::get_address() const
{
    return strAddress;
}

int raptor_service::token() const
{
    return iToken.load();
}
