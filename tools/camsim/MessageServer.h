#pragma once

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

// Serves "/cgi-bin/cgi": logs each JSON message as it arrived, answers it as the camera does or
// with the fault planned for its number, and notes the answer in the log. Takes the simulator's
// mutex itself.
class MessageServer
{
public:
    MessageServer(const SimMonitor& clMonitor, MessageLog& clLog, FaultPlan& clFaults, CameraState& clState);
    MessageServer(const MessageServer&) = delete;
    MessageServer& operator=(const MessageServer&) = delete;

    void handle(const httplib::Request& req, httplib::Response& res);

private:
    void record(std::uint64_t llSeq, int iStatus, bool bHasRval, int iRval, const std::string& strFault);

    const SimMonitor& m_monitor;
    MessageLog& m_log;
    FaultPlan& m_faults;
    CameraState& m_state;
};

} // namespace camsim
