#include "tools/camsim/CameraState.h"

#include "tools/camsim/SimMonitor.h"

#include "camera/ZkSetting.h"

#include <picojson.h>

#include <algorithm>
#include <chrono>

namespace camsim {

namespace {

picojson::value number(std::int64_t llValue)
{
    return picojson::value(llValue);
}

std::int64_t unixSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

CameraState::CameraState(const SimMonitor& clMonitor, const std::string& strFirmware, int iPollCapSeconds)
    : m_monitor(clMonitor)
    , m_pollCapSeconds(iPollCapSeconds)
    , m_settings(strFirmware)
    , m_random(std::random_device {}())
{
}

void CameraState::setSetting(const std::string& strKey, const std::string& strValue)
{
    m_settings.set(strKey, strValue);
    m_monitor.notifyAll();
}

std::string CameraState::setting(const std::string& strKey) const
{
    return m_settings.value(strKey);
}

std::map<std::string, std::string> CameraState::settings() const
{
    return m_settings.all();
}

void CameraState::startRecording()
{
    if (m_settings.isRecording())
        return;
    m_settings.setRecording(true);
    queueNotification(ZkNotification::STARTING_VIDEO_RECORD.toStdString(), "");
}

void CameraState::stopRecording()
{
    if (!m_settings.isRecording())
        return;
    m_settings.setRecording(false);
    queueNotification(ZkNotification::VIDEO_RECORD_COMPLETE.toStdString(), "");
}

bool CameraState::isRecording() const
{
    return m_settings.isRecording();
}

void CameraState::queueNotification(const std::string& strType, const std::string& strParam)
{
    m_notifications.push_back(Notification { strType, strParam, unixSeconds() });
    m_monitor.notifyAll();
}

std::size_t CameraState::pendingNotifications() const
{
    return m_notifications.size();
}

bool CameraState::viewFinderRunning() const
{
    return m_viewFinder;
}

bool CameraState::sessionOpen() const
{
    return m_session;
}

std::int64_t CameraState::sessionToken() const
{
    return m_session ? m_token : 0;
}

void CameraState::endSession()
{
    closeSession();
}

void CameraState::closeSession()
{
    m_session = false;
    m_viewFinder = false;
    m_monitor.notifyAll(); // a held poll of the old session answers at once
}

std::string CameraState::rvalAnswer(int iRval, std::int64_t llMsgId)
{
    picojson::object obj;
    obj["rval"] = number(iRval);
    obj["msg_id"] = number(llMsgId);
    return picojson::value(obj).serialize();
}

std::string CameraState::answer(const LoggedMessage& msg, std::unique_lock<std::mutex>& lock, int& iRval)
{
    if (!msg.jsonObject || !msg.hasMsgId) {
        iRval = rval::BadRequest;
        return rvalAnswer(iRval, msg.hasMsgId ? msg.msgId : 0);
    }
    if (msg.msgId == 257) {
        iRval = rval::Ok;
        return openSession();
    }

    if (!m_session || !msg.hasToken || msg.token != m_token) {
        iRval = rval::InvalidToken;
        return rvalAnswer(iRval, msg.msgId);
    }

    switch (msg.msgId) {
    case 258:
        closeSession();
        iRval = rval::Ok;
        break;
    case 3: {
        picojson::array list;
        for (const auto& entry : m_settings.reported()) {
            picojson::object element;
            element[entry.first] = picojson::value(entry.second);
            list.emplace_back(element);
        }
        iRval = rval::Ok;
        picojson::object obj;
        obj["rval"] = number(iRval);
        obj["msg_id"] = number(3);
        obj["param"] = picojson::value(list);
        return picojson::value(obj).serialize();
    }
    case 2:
        iRval = applySetting(msg);
        break;
    case 4:
        iRval = (msg.hasParam && msg.paramIsString && msg.param == "D:") ? rval::Ok : rval::InvalidOption;
        break;
    case 259:
        if (!msg.hasParam || (msg.paramIsString && msg.param == "none_force")) {
            m_viewFinder = true;
            iRval = rval::Ok;
        } else {
            iRval = rval::InvalidOption;
        }
        break;
    case 260:
        m_viewFinder = false;
        iRval = rval::Ok;
        break;
    case 513:
    case 514:
    case 769:
        iRval = rval::Ok;
        break;
    case 4097:
        return answerPoll(msg, lock, iRval);
    default:
        iRval = rval::Unsupported;
        break;
    }
    m_monitor.notifyAll();
    return rvalAnswer(iRval, msg.msgId);
}

std::string CameraState::openSession()
{
    // A new session replaces any earlier one; its token differs from the last one handed out.
    std::uniform_int_distribution<std::int64_t> clDistribution(1, 2147483647);
    std::int64_t llToken = 0;
    do {
        llToken = clDistribution(m_random);
    } while (llToken == m_token);
    m_token = llToken;
    m_session = true;
    m_viewFinder = false;
    m_notifications.clear(); // nobody listened for them
    m_monitor.notifyAll();
    picojson::object obj;
    obj["rval"] = number(rval::Ok);
    obj["msg_id"] = number(257);
    obj["param"] = number(llToken);
    return picojson::value(obj).serialize();
}

int CameraState::applySetting(const LoggedMessage& msg)
{
    if (!msg.hasType || !msg.typeIsString || (msg.hasParam && !msg.paramIsString))
        return rval::InvalidOption;
    const std::string& strKey = msg.type;
    const std::string strValue = msg.hasParam ? msg.param : std::string();
    if (CamSettings::isReadOnly(strKey) || CamSettings::validate(strKey, strValue) != rval::Ok)
        return rval::InvalidOption;

    if (strKey == ZkSetting::WIFI_APPLY_NEW_PARAM.toStdString()) {
        // The camera restarts its Wi-Fi: the answer still goes out, then the session is gone.
        closeSession();
    } else if (strKey == ZkSetting::FACTORY_RESET_NETWORK.toStdString()) {
        m_settings.resetNetwork();
    } else if (strKey == ZkSetting::FACTORY_RESET_CAM.toStdString()) {
        m_settings.resetCamera();
    } else {
        m_settings.set(strKey, strValue);
    }
    return rval::Ok;
}

std::string CameraState::answerPoll(const LoggedMessage& msg, std::unique_lock<std::mutex>& lock, int& iRval)
{
    const std::int64_t llHold = std::min<std::int64_t>(
        std::max<std::int64_t>(msg.hasTimeout ? msg.timeout : 0, 0), std::max(0, m_pollCapSeconds));
    const auto clDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(llHold);
    const std::int64_t llToken = m_token;
    m_monitor.condition().wait_until(lock, clDeadline, [this, llToken] {
        return m_monitor.isStopping() || !m_notifications.empty() || !m_session || m_token != llToken;
    });

    if (!m_session || m_token != llToken) {
        iRval = rval::InvalidToken;
        return rvalAnswer(iRval, 4097);
    }
    picojson::array listing;
    for (const Notification& entry : m_notifications) {
        picojson::object obj;
        obj["ntf_timestamp"] = number(entry.timestamp);
        obj["msg_id"] = number(7);
        obj["type"] = picojson::value(entry.type);
        obj["param"] = picojson::value(entry.param);
        listing.emplace_back(obj);
    }
    m_notifications.clear();
    iRval = rval::Ok;
    picojson::object obj;
    obj["rval"] = number(iRval);
    obj["msg_id"] = number(4097);
    obj["timestamp"] = number(unixSeconds());
    obj["listing"] = picojson::value(listing);
    return picojson::value(obj).serialize();
}

} // namespace camsim
