#include "camera/raptor_service.h"

#include "camera/ClCameraCodec.h"
#include "camera/ZK_CMD.h"
#include "camera/ZkResolution.h"
#include "camera/ZkSetting.h"

#include <QString>

// The process-wide library handle is created with its file name (ClCurlLibrary); loading it is
// start-up's job.
raptor_service::raptor_service(const std::string& strAddress)
    : strAddress(strAddress)
    , clTransport("http://" + strAddress + "/cgi-bin/cgi")
{
}

// The library stays loaded: it is shared by every client of the process and by the start-up check,
// so one client going away must not cut the others off.
raptor_service::~raptor_service() = default;

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

int raptor_service::read_number(const picojson::object& clReply, const std::string& strKey)
{
    return ClCameraCodec::readNumber(clReply, strKey);
}

std::string raptor_service::envelope(
    int iToken, int iMsgId, const std::string& strType, const std::string& strParam)
{
    return ClCameraCodec::envelope(iToken, iMsgId, strType, strParam);
}

picojson::object raptor_service::send(
    int iToken, int iMsgId, const std::string& strType, const std::string& strParam)
{
    return clTransport.post(ClCameraCodec::envelope(iToken, iMsgId, strType, strParam), timeout_for(iMsgId));
}

picojson::object raptor_service::send_poll(int iToken, int iMsgId, int iHoldSec)
{
    return clTransport.post(ClCameraCodec::pollEnvelope(iToken, iMsgId, iHoldSec), iHoldSec + 5);
}

Basic_Rsp raptor_service::sendBasic(int iMsgId, const std::string& strType, const std::string& strParam)
{
    return ClCameraCodec::readBasic(send(iToken.load(), iMsgId, strType, strParam));
}

Basic_Rsp raptor_service::set_setting(const std::string& strKey, const std::string& strValue)
{
    return sendBasic(ClCameraCodec::ZK_SET_SETTING, strKey, strValue);
}

AllSettings_Rsp raptor_service::get_all_current_settings()
{
    return ClCameraCodec::readAllSettings(
        send(iToken.load(), ClCameraCodec::ZK_GET_ALL_CURRENT_SETTINGS, std::string(), std::string()));
}

Basic_Rsp raptor_service::format_storage()
{
    return sendBasic(ClCameraCodec::ZK_FORMAT, std::string(), "D:");
}

// The opening message carries token 0; only an opening the camera accepts replaces the token.
StartSession_Rsp raptor_service::start_session()
{
    const StartSession_Rsp clRsp = ClCameraCodec::readStartSession(
        send(0, ClCameraCodec::ZK_START_SESSION, std::string(), std::string()));
    if (clRsp.rval == 0)
        iToken.store(clRsp.param);
    return clRsp;
}

Basic_Rsp raptor_service::stop_session_within(int iTimeoutSec)
{
    return ClCameraCodec::readBasic(clTransport.post(
        ClCameraCodec::envelope(iToken.load(), ClCameraCodec::ZK_STOP_SESSION, std::string(), std::string()),
        iTimeoutSec));
}

Basic_Rsp raptor_service::stop_session()
{
    return sendBasic(ClCameraCodec::ZK_STOP_SESSION, std::string(), std::string());
}

Basic_Rsp raptor_service::reset_vf(bool bForced)
{
    return sendBasic(ClCameraCodec::ZK_RESET_VF, std::string(), bForced ? "none_force" : std::string());
}

Basic_Rsp raptor_service::stop_vf()
{
    return sendBasic(ClCameraCodec::ZK_STOP_VF, std::string(), std::string());
}

Basic_Rsp raptor_service::send_msg_513()
{
    return sendBasic(ClCameraCodec::ZK_MSG_513, std::string(), std::string());
}

Basic_Rsp raptor_service::send_msg_514()
{
    return sendBasic(ClCameraCodec::ZK_MSG_514, std::string(), std::string());
}

Basic_Rsp raptor_service::send_msg_769()
{
    return sendBasic(ClCameraCodec::ZK_MSG_769, std::string(), std::string());
}

Notification_Rsp raptor_service::list_notification(int iHoldSec)
{
    return ClCameraCodec::readNotification(
        send_poll(iToken.load(), ClCameraCodec::ZK_NOTIFICATION_POLL, iHoldSec));
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
