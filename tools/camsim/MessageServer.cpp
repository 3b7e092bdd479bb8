#include "tools/camsim/MessageServer.h"

#include "tools/camsim/CameraState.h"
#include "tools/camsim/FaultPlan.h"
#include "tools/camsim/MessageLog.h"
#include "tools/camsim/SimMonitor.h"

#include <httplib.h>
#include <picojson.h>

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>

namespace camsim {

namespace {

bool readNumber(const picojson::object& obj, const char* pKey, std::int64_t& llValue)
{
    const auto it = obj.find(pKey);
    if (it == obj.end())
        return false;
    if (it->second.is<std::int64_t>()) {
        llValue = it->second.get<std::int64_t>();
        return true;
    }
    if (it->second.is<double>()) {
        llValue = static_cast<std::int64_t>(it->second.get<double>());
        return true;
    }
    return false;
}

// Reads a member that may be of any JSON type: its string, or its JSON text.
bool readText(const picojson::object& obj, const char* pKey, std::string& strValue, bool& bIsString)
{
    const auto it = obj.find(pKey);
    if (it == obj.end())
        return false;
    bIsString = it->second.is<std::string>();
    strValue = bIsString ? it->second.get<std::string>() : it->second.serialize();
    return true;
}

LoggedMessage parseMessage(const std::string& strBody)
{
    LoggedMessage msg;
    msg.raw = strBody;
    picojson::value clValue;
    std::string strError;
    auto itFirst = strBody.begin();
    itFirst = picojson::parse(clValue, itFirst, strBody.end(), &strError);
    // Trailing white space is tolerated, anything else makes the body no JSON object.
    const bool bTrailing = std::any_of(
        itFirst, strBody.end(), [](char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; });
    if (!strError.empty() || bTrailing || !clValue.is<picojson::object>())
        return msg;
    msg.jsonObject = true;
    const picojson::object& obj = clValue.get<picojson::object>();
    msg.hasMsgId = readNumber(obj, "msg_id", msg.msgId);
    msg.hasToken = readNumber(obj, "token", msg.token);
    msg.hasTimeout = readNumber(obj, "timeout", msg.timeout);
    msg.hasType = readText(obj, "type", msg.type, msg.typeIsString);
    msg.hasParam = readText(obj, "param", msg.param, msg.paramIsString);
    return msg;
}

int socketPort(const sockaddr_storage& addr)
{
    if (addr.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(addr).sin_port);
    if (addr.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(addr).sin6_port);
    return -1;
}

// Closes the connection of `req` without any HTTP answer. cpp-httplib does not hand the socket to
// handlers, so the server-side socket is found by its two port numbers and shut down; the library's
// later attempt to write the answer then fails and it closes the socket.
bool dropConnection(const httplib::Request& req)
{
    DIR* pDir = opendir("/proc/self/fd");
    if (!pDir)
        return false;
    bool bDone = false;
    while (dirent* pEntry = readdir(pDir)) {
        char* pEnd = nullptr;
        const long lFd = std::strtol(pEntry->d_name, &pEnd, 10);
        if (pEnd == pEntry->d_name || *pEnd != '\0')
            continue;
        const int iFd = static_cast<int>(lFd);
        sockaddr_storage local {};
        sockaddr_storage peer {};
        socklen_t iLocalLen = sizeof(local);
        socklen_t iPeerLen = sizeof(peer);
        if (getsockname(iFd, reinterpret_cast<sockaddr*>(&local), &iLocalLen) != 0
            || getpeername(iFd, reinterpret_cast<sockaddr*>(&peer), &iPeerLen) != 0)
            continue;
        if (socketPort(local) == req.local_port && socketPort(peer) == req.remote_port) {
            shutdown(iFd, SHUT_RDWR);
            bDone = true;
            break;
        }
    }
    closedir(pDir);
    return bDone;
}

} // namespace

MessageServer::MessageServer(
    const SimMonitor& clMonitor, MessageLog& clLog, FaultPlan& clFaults, CameraState& clState)
    : m_monitor(clMonitor)
    , m_log(clLog)
    , m_faults(clFaults)
    , m_state(clState)
{
}

void MessageServer::record(
    std::uint64_t llSeq, int iStatus, bool bHasRval, int iRval, const std::string& strFault)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_log.recordAnswer(llSeq, iStatus, bHasRval, iRval, strFault);
    m_monitor.notifyAll();
}

void MessageServer::handle(const httplib::Request& req, httplib::Response& res)
{
    LoggedMessage msg = parseMessage(req.body);
    msg.received = std::chrono::steady_clock::now();
    msg.timeMs = m_log.elapsedMs(msg.received);

    // Logged and its fault taken at once: whoever sees the message in the log sees its fault gone.
    Fault fault;
    bool bFault = false;
    {
        std::lock_guard<std::mutex> lock(m_monitor.mutex());
        msg.recording = m_state.isRecording();
        m_log.addMessage(msg);
        if (msg.hasMsgId)
            bFault = m_faults.takeFault(msg.msgId, fault);
        m_monitor.notifyAll();
    }
    const std::string strFault
        = bFault ? (fault.kind == Fault::Kind::None ? "delay" : faultName(fault.kind)) : "";

    int iRval = 0;
    std::string strBody;
    const bool bEffectFirst = bFault && fault.kind == Fault::Kind::None && fault.effectFirst;
    if (bEffectFirst) {
        std::unique_lock<std::mutex> lock(m_monitor.mutex());
        strBody = m_state.answer(msg, lock, iRval);
    }
    if (bFault && fault.delayMs > 0)
        m_monitor.sleepFor(fault.delayMs); // cut short by stop()

    const std::int64_t llMsgId = msg.hasMsgId ? msg.msgId : 0;
    if (bFault) {
        switch (fault.kind) {
        case Fault::Kind::None:
            break;
        case Fault::Kind::HttpStatus:
            res.status = fault.httpStatus;
            res.set_content(
                "<html><body>Error " + std::to_string(fault.httpStatus) + "</body></html>", "text/html");
            record(msg.seq, fault.httpStatus, false, 0, strFault);
            return;
        case Fault::Kind::BrokenJson:
            // A reply cut off in the middle: parsers report a syntax error.
            res.set_content("{\"msg_id\":" + std::to_string(llMsgId) + ",\"rval\":0,\"param\":[{\"zk_w",
                "application/json");
            record(msg.seq, 200, false, 0, strFault);
            return;
        case Fault::Kind::NotObject:
            res.set_content("[1,2]", "application/json");
            record(msg.seq, 200, false, 0, strFault);
            return;
        case Fault::Kind::NoRval: {
            picojson::object obj;
            obj["msg_id"] = picojson::value(llMsgId);
            res.set_content(picojson::value(obj).serialize(), "application/json");
            record(msg.seq, 200, false, 0, strFault);
            return;
        }
        case Fault::Kind::Rval:
            res.set_content(CameraState::rvalAnswer(fault.rval, llMsgId), "application/json");
            record(msg.seq, 200, true, fault.rval, strFault);
            return;
        case Fault::Kind::Drop:
            if (!dropConnection(req)) {
                // Socket not found: at least end the answer right after its head.
                res.set_content_provider(1, "application/json",
                    [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
            }
            record(msg.seq, 0, false, 0, strFault);
            return;
        }
    }

    if (!bEffectFirst) {
        std::unique_lock<std::mutex> lock(m_monitor.mutex());
        strBody = m_state.answer(msg, lock, iRval);
    }
    res.set_content(strBody, "application/json");
    record(msg.seq, 200, true, iRval, strFault);
}

} // namespace camsim
