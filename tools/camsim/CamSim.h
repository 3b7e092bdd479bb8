#pragma once

#include "tools/camsim/CamSettings.h"
#include "tools/camsim/CamSimTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace camsim {

// A stand-in for the camera on loopback: its JSON command endpoint "/cgi-bin/cgi", its live frame
// resource "/mjpeg/amba.jpg" and a control channel under "/sim/". While it serves, the log, state
// and fault methods may be called from any thread; start() and stop() belong to its owner and are
// not called concurrently with each other.
class CamSim
{
public:
    struct Options
    {
        std::string bindAddress = "127.0.0.1"; // only 127.x.x.x is accepted
        int port = 0; // 0: a free port, see port()
        double fps = 15.0; // frame-rate limit, 0 = unlimited
        int frameWidth = 640;
        int frameHeight = 360;
        std::string firmware = "01.00.0009";
        int threads = 16; // connections served at the same time
        int pollCapSeconds = 30; // longest hold of a notification poll
        // The logs keep this many of the newest entries (at least 1), so a long run cannot grow
        // without bound; seq numbers keep counting.
        std::size_t messageLogLimit = 100000;
        std::size_t frameLogLimit = 20000;
    };

    CamSim();
    explicit CamSim(const Options& options);
    ~CamSim();
    CamSim(const CamSim&) = delete;
    CamSim& operator=(const CamSim&) = delete;

    // Binds and starts serving; false when the address is not loopback or the port is taken.
    bool start();
    // Returns promptly: held polls are answered, delays and stalls are cut short.
    void stop();
    bool isRunning() const;
    int port() const;
    std::string address() const; // "127.0.0.1:PORT"
    std::string baseUrl() const; // "http://127.0.0.1:PORT"

    // --- Log -----------------------------------------------------------------------------------
    std::vector<LoggedMessage> messages() const;
    std::vector<std::int64_t> msgIds() const; // msg_id of every logged message (-1: none)
    int messageCount(std::int64_t llMsgId) const;
    std::size_t messageCount() const; // messages in the log
    std::vector<FrameRequest> frameRequests() const;
    std::uint64_t framesServed() const; // good frames sent since start
    void clearLog(); // messages and frame requests

    // Wait until pred() holds or the time is up; on the thread of a Qt application object the
    // Qt events keep being processed meanwhile. pred() is called without any lock held.
    bool waitFor(const std::function<bool()>& pred, int iTimeoutMs) const;
    bool waitForMessage(std::int64_t llMsgId, int iCount = 1, int iTimeoutMs = 5000) const;
    bool waitForFrames(int iCount, int iTimeoutMs = 5000) const; // frame requests in the log

    // --- Camera state --------------------------------------------------------------------------
    void setSetting(const std::string& strKey, const std::string& strValue); // no checks
    std::string setting(const std::string& strKey) const;
    std::map<std::string, std::string> settings() const;
    void startRecording(); // "app_status" "record" + notification "starting_video_record"
    void stopRecording(); // "app_status" "idle" + notification "video_record_complete"
    bool isRecording() const;
    void setBattery(int iLevel);
    void setAcConnected(bool bConnected);
    void setFirmwareVersion(const std::string& strVersion);
    void queueNotification(const std::string& strType, const std::string& strParam = std::string());
    std::size_t pendingNotifications() const;
    bool viewFinderRunning() const;
    bool sessionOpen() const;
    std::int64_t sessionToken() const; // 0 while no session is open
    void endSession(); // the camera forgets the session (as after a Wi-Fi restart)

    // --- Faults --------------------------------------------------------------------------------
    void setFault(std::int64_t llMsgId, const Fault& fault); // replaces the faults of that number
    void addFault(std::int64_t llMsgId, const Fault& fault); // queued behind those already set
    void setFrameFault(const FrameFault& fault);
    void addFrameFault(const FrameFault& fault);
    void clearFaults(); // message and frame faults
    void setFrameRate(double dFps);
    double frameRate() const;
    void setFrameSize(int iWidth, int iHeight); // each side kept within 16 to 4096

private:
    struct Notification
    {
        std::string type;
        std::string param;
        std::int64_t timestamp = 0;
    };

    void handleCgi(const httplib::Request& req, httplib::Response& res);
    void handleFrame(const httplib::Request& req, httplib::Response& res);
    // The normal answer to a message; called with m_mutex held (the poll waits on it).
    std::string answer(const LoggedMessage& msg, std::unique_lock<std::mutex>& lock, int& iRval);
    int applySetting(const LoggedMessage& msg);
    std::string answerPoll(const LoggedMessage& msg, std::unique_lock<std::mutex>& lock, int& iRval);
    void recordAnswer(
        std::uint64_t llSeq, int iStatus, bool bHasRval, int iRval, const std::string& strFault);
    void recordFrame(std::uint64_t llSeq, int iStatus, std::size_t iBytes, std::uint64_t llNumber,
        const std::string& strFault);
    bool takeFault(std::int64_t llMsgId, Fault& fault);
    bool takeFrameFault(FrameFault& fault);
    void closeSessionLocked();
    void queueLocked(const std::string& strType, const std::string& strParam);
    // Sleeps up to iMs; false when the simulator is stopping.
    bool sleepFor(int iMs) const;
    bool sleepUntil(std::chrono::steady_clock::time_point clUntil) const;
    std::int64_t elapsedMs(std::chrono::steady_clock::time_point clTime) const;

    Options m_options;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<bool> m_running { false };
    int m_port = 0;
    std::chrono::steady_clock::time_point m_started;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv; // state changes, log entries, stop
    bool m_stopping = false;

    CamSettings m_settings;
    bool m_session = false;
    std::int64_t m_token = 0;
    std::mt19937 m_random;
    bool m_viewFinder = false;
    std::deque<Notification> m_notifications;

    std::deque<LoggedMessage> m_messages;
    std::uint64_t m_messageSeq = 0;
    std::deque<FrameRequest> m_frames;
    std::uint64_t m_frameSeq = 0;
    std::uint64_t m_framesServed = 0;

    std::map<std::int64_t, std::deque<Fault>> m_faults;
    std::deque<FrameFault> m_frameFaults;
    double m_fps = 15.0;
    int m_frameWidth = 640;
    int m_frameHeight = 360;
    std::chrono::steady_clock::time_point m_nextFrameSlot;
};

} // namespace camsim
