#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace camsim {

class CameraState;
class FaultPlan;
class MessageLog;
class SimMonitor;

// Serves "/mjpeg/amba.jpg": a frame drawn for each request while the view finder runs, 404
// otherwise, paced to the frame rate whoever asks, with the frame faults planned. The rate, the
// size and the counter are guarded by the simulator's mutex, which the caller of their accessors
// holds; handle() takes it itself.
class FrameServer
{
public:
    FrameServer(const SimMonitor& clMonitor, MessageLog& clLog, FaultPlan& clFaults,
        const CameraState& clState, double dFps, int iWidth, int iHeight);
    FrameServer(const FrameServer&) = delete;
    FrameServer& operator=(const FrameServer&) = delete;

    void setFrameRate(double dFps); // 0: unlimited
    double frameRate() const;
    void setFrameSize(int iWidth, int iHeight); // each side kept within 16 to 4096
    std::uint64_t framesServed() const; // good frames sent since start

    void handle(const httplib::Request& req, httplib::Response& res);

private:
    void record(std::uint64_t llSeq, int iStatus, std::size_t iBytes, std::uint64_t llNumber,
        const std::string& strFault, const std::string& strBody = std::string());

    const SimMonitor& m_monitor;
    MessageLog& m_log;
    FaultPlan& m_faults;
    const CameraState& m_state;
    double m_fps = 15.0;
    int m_width = 640;
    int m_height = 360;
    std::uint64_t m_framesServed = 0;
    std::chrono::steady_clock::time_point m_nextSlot;
};

} // namespace camsim
