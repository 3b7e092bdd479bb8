#pragma once

#include "tools/camsim/CamSimTypes.h"
#include "tools/camsim/CameraState.h"
#include "tools/camsim/FaultPlan.h"
#include "tools/camsim/FrameServer.h"
#include "tools/camsim/MessageLog.h"
#include "tools/camsim/MessageServer.h"
#include "tools/camsim/SimMonitor.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
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
    Options m_options;
    // The one lock of every part below, and the parts in the order they build on each other.
    SimMonitor m_monitor;
    MessageLog m_log;
    FaultPlan m_faults;
    CameraState m_state;
    MessageServer m_messageServer;
    FrameServer m_frameServer;

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<bool> m_running { false };
    int m_port = 0;
};

} // namespace camsim
