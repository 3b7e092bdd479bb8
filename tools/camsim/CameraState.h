#pragma once

#include "tools/camsim/CamSettings.h"
#include "tools/camsim/CamSimTypes.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <random>
#include <string>

namespace camsim {

class SimMonitor;

// The simulated camera: its settings, session, view finder and notification queue, and its
// answers to the JSON messages. Not thread-safe: guarded by the simulator's mutex, which the
// caller holds; every change is announced on the monitor's condition.
class CameraState
{
public:
    CameraState(const SimMonitor& clMonitor, const std::string& strFirmware, int iPollCapSeconds);
    CameraState(const CameraState&) = delete;
    CameraState& operator=(const CameraState&) = delete;

    void setSetting(const std::string& strKey, const std::string& strValue); // no checks
    std::string setting(const std::string& strKey) const;
    std::map<std::string, std::string> settings() const;
    void startRecording(); // "app_status" "record" + notification "starting_video_record"
    void stopRecording(); // "app_status" "idle" + notification "video_record_complete"
    bool isRecording() const;
    void queueNotification(const std::string& strType, const std::string& strParam);
    std::size_t pendingNotifications() const;
    bool viewFinderRunning() const;
    bool sessionOpen() const;
    std::int64_t sessionToken() const; // 0 while no session is open
    void endSession();

    // The camera's answer to a message, its rval in iRval. `lock` holds the simulator's mutex; a
    // notification poll waits on it.
    std::string answer(const LoggedMessage& msg, std::unique_lock<std::mutex>& lock, int& iRval);
    // {"rval": iRval, "msg_id": llMsgId}: an answer that carries nothing more.
    static std::string rvalAnswer(int iRval, std::int64_t llMsgId);

private:
    struct Notification
    {
        std::string type;
        std::string param;
        std::int64_t timestamp = 0;
    };

    std::string openSession();
    int applySetting(const LoggedMessage& msg);
    std::string answerPoll(const LoggedMessage& msg, std::unique_lock<std::mutex>& lock, int& iRval);
    void closeSession();

    const SimMonitor& m_monitor;
    const int m_pollCapSeconds;
    CamSettings m_settings;
    bool m_session = false;
    std::int64_t m_token = 0;
    std::mt19937 m_random;
    bool m_viewFinder = false;
    std::deque<Notification> m_notifications;
};

} // namespace camsim
