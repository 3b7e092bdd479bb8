#include "tools/camsim/CamSim.h"

#include "tools/camsim/FrameRenderer.h"
#include "tools/camsim/SimControl.h"

#include <httplib.h>
#include <picojson.h>

#include <QCoreApplication>
#include <QThread>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>

namespace camsim {

namespace {

using Clock = std::chrono::steady_clock;

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

std::string basicAnswer(int iRval, std::int64_t llMsgId)
{
    picojson::object obj;
    obj["rval"] = number(iRval);
    obj["msg_id"] = number(llMsgId);
    return picojson::value(obj).serialize();
}

bool isLoopback(const std::string& strAddress)
{
    in_addr addr {};
    if (inet_pton(AF_INET, strAddress.c_str(), &addr) != 1)
        return false;
    return (ntohl(addr.s_addr) >> 24) == 127;
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

const char* NOT_FOUND_BODY
    = "<html><head><title>404 Not Found</title></head><body>404 Not Found</body></html>";

} // namespace

CamSim::CamSim()
    : CamSim(Options())
{
}

CamSim::CamSim(const Options& options)
    : m_options(options)
    , m_settings(options.firmware)
    , m_random(std::random_device {}())
    , m_fps(options.fps)
{
    m_options.messageLogLimit = std::max<std::size_t>(1, m_options.messageLogLimit);
    m_options.frameLogLimit = std::max<std::size_t>(1, m_options.frameLogLimit);
    setFrameSize(options.frameWidth, options.frameHeight);
    m_started = Clock::now();
    m_nextFrameSlot = m_started;
}

CamSim::~CamSim()
{
    stop();
}

bool CamSim::start()
{
    if (m_running)
        return true;
    if (!isLoopback(m_options.bindAddress))
        return false;

    m_server = std::make_unique<httplib::Server>();
    const std::size_t iThreads = static_cast<std::size_t>(std::max(4, m_options.threads));
    m_server->new_task_queue = [iThreads] { return new httplib::ThreadPool(iThreads); };
    // An idle kept-alive connection holds a pool thread until this time-out; keep it short so that
    // stop() is quick and idle clients do not starve the pool.
    m_server->set_keep_alive_timeout(1);
    m_server->set_tcp_nodelay(true);
    m_server->Post(
        "/cgi-bin/cgi", [this](const httplib::Request& req, httplib::Response& res) { handleCgi(req, res); });
    m_server->Get("/mjpeg/amba.jpg",
        [this](const httplib::Request& req, httplib::Response& res) { handleFrame(req, res); });
    SimControl::install(*m_server, *this);

    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = false;
    }
    int iPort = -1;
    if (m_options.port == 0)
        iPort = m_server->bind_to_any_port(m_options.bindAddress);
    else if (m_server->bind_to_port(m_options.bindAddress, m_options.port))
        iPort = m_options.port;
    if (iPort <= 0) {
        m_server.reset();
        return false;
    }
    m_port = iPort;
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    const auto clDeadline = Clock::now() + std::chrono::seconds(5);
    while (!m_server->is_running() && Clock::now() < clDeadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!m_server->is_running()) {
        m_server->stop();
        m_thread.join();
        m_server.reset();
        return false;
    }
    m_running = true;
    return true;
}

void CamSim::stop()
{
    if (!m_server)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_cv.notify_all();
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
    m_server.reset();
    m_running = false;
}

bool CamSim::isRunning() const
{
    return m_running;
}

int CamSim::port() const
{
    return m_port;
}

std::string CamSim::address() const
{
    return m_options.bindAddress + ":" + std::to_string(m_port);
}

std::string CamSim::baseUrl() const
{
    return "http://" + address();
}

// --- Log ---------------------------------------------------------------------------------------

std::vector<LoggedMessage> CamSim::messages() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::vector<LoggedMessage>(m_messages.begin(), m_messages.end());
}

std::vector<std::int64_t> CamSim::msgIds() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::int64_t> list;
    list.reserve(m_messages.size());
    for (const LoggedMessage& msg : m_messages)
        list.push_back(msg.hasMsgId ? msg.msgId : -1);
    return list;
}

int CamSim::messageCount(std::int64_t llMsgId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(std::count_if(m_messages.begin(), m_messages.end(),
        [llMsgId](const LoggedMessage& msg) { return msg.hasMsgId && msg.msgId == llMsgId; }));
}

std::size_t CamSim::messageCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages.size();
}

std::vector<FrameRequest> CamSim::frameRequests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::vector<FrameRequest>(m_frames.begin(), m_frames.end());
}

std::uint64_t CamSim::framesServed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_framesServed;
}

void CamSim::clearLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.clear();
    m_frames.clear();
}

bool CamSim::waitFor(const std::function<bool()>& pred, int iTimeoutMs) const
{
    const auto clDeadline = Clock::now() + std::chrono::milliseconds(iTimeoutMs);
    QCoreApplication* pclApp = QCoreApplication::instance();
    const bool bPumpEvents = pclApp && QThread::currentThread() == pclApp->thread();
    while (true) {
        if (pred())
            return true;
        const auto clNow = Clock::now();
        if (clNow >= clDeadline)
            return false;
        const auto clSlice = std::min<Clock::duration>(clDeadline - clNow, std::chrono::milliseconds(10));
        if (bPumpEvents) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait_for(lock, std::min<Clock::duration>(clSlice, std::chrono::milliseconds(2)));
        } else {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cv.wait_for(lock, clSlice);
        }
    }
}

bool CamSim::waitForMessage(std::int64_t llMsgId, int iCount, int iTimeoutMs) const
{
    return waitFor([this, llMsgId, iCount] { return messageCount(llMsgId) >= iCount; }, iTimeoutMs);
}

bool CamSim::waitForFrames(int iCount, int iTimeoutMs) const
{
    return waitFor(
        [this, iCount] {
            std::lock_guard<std::mutex> lock(m_mutex);
            return static_cast<int>(m_frames.size()) >= iCount;
        },
        iTimeoutMs);
}

// --- Camera state ------------------------------------------------------------------------------

void CamSim::setSetting(const std::string& strKey, const std::string& strValue)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.set(strKey, strValue);
    m_cv.notify_all();
}

std::string CamSim::setting(const std::string& strKey) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings.value(strKey);
}

std::map<std::string, std::string> CamSim::settings() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings.all();
}

void CamSim::startRecording()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_settings.value("app_status") == "record")
        return;
    m_settings.set("app_status", "record");
    queueLocked("starting_video_record", "");
}

void CamSim::stopRecording()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_settings.value("app_status") != "record")
        return;
    m_settings.set("app_status", "idle");
    queueLocked("video_record_complete", "");
}

bool CamSim::isRecording() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings.value("app_status") == "record";
}

void CamSim::setBattery(int iLevel)
{
    setSetting("zk_battery", std::to_string(iLevel));
}

void CamSim::setAcConnected(bool bConnected)
{
    setSetting("zk_get_ac_connection", bConnected ? "connected" : "disconnected");
}

void CamSim::setFirmwareVersion(const std::string& strVersion)
{
    setSetting("zk_get_version", strVersion);
}

void CamSim::queueNotification(const std::string& strType, const std::string& strParam)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    queueLocked(strType, strParam);
}

std::size_t CamSim::pendingNotifications() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_notifications.size();
}

bool CamSim::viewFinderRunning() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_viewFinder;
}

bool CamSim::sessionOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_session;
}

std::int64_t CamSim::sessionToken() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_session ? m_token : 0;
}

void CamSim::endSession()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    closeSessionLocked();
}

void CamSim::closeSessionLocked()
{
    m_session = false;
    m_viewFinder = false;
    m_cv.notify_all(); // a held poll of the old session answers at once
}

void CamSim::queueLocked(const std::string& strType, const std::string& strParam)
{
    m_notifications.push_back(Notification { strType, strParam, unixSeconds() });
    m_cv.notify_all();
}

// --- Faults ------------------------------------------------------------------------------------

// A count of 0 means no message at all: setting it clears, adding it adds nothing.
void CamSim::setFault(std::int64_t llMsgId, const Fault& fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.erase(llMsgId);
    if (fault.count != 0)
        m_faults[llMsgId].push_back(fault);
}

void CamSim::addFault(std::int64_t llMsgId, const Fault& fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fault.count != 0)
        m_faults[llMsgId].push_back(fault);
}

void CamSim::setFrameFault(const FrameFault& fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_frameFaults.clear();
    if (fault.count != 0)
        m_frameFaults.push_back(fault);
}

void CamSim::addFrameFault(const FrameFault& fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fault.count != 0)
        m_frameFaults.push_back(fault);
}

void CamSim::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
    m_frameFaults.clear();
}

void CamSim::setFrameRate(double dFps)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fps = std::max(0.0, dFps);
}

double CamSim::frameRate() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fps;
}

void CamSim::setFrameSize(int iWidth, int iHeight)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // The same bounds as the command line's --frame-size.
    m_frameWidth = std::min(4096, std::max(16, iWidth));
    m_frameHeight = std::min(4096, std::max(16, iHeight));
}

bool CamSim::takeFault(std::int64_t llMsgId, Fault& fault)
{
    const auto it = m_faults.find(llMsgId);
    if (it == m_faults.end() || it->second.empty())
        return false;
    Fault& front = it->second.front();
    fault = front;
    if (front.count > 0 && --front.count == 0)
        it->second.pop_front();
    if (it->second.empty())
        m_faults.erase(it);
    return true;
}

bool CamSim::takeFrameFault(FrameFault& fault)
{
    if (m_frameFaults.empty())
        return false;
    FrameFault& front = m_frameFaults.front();
    fault = front;
    if (front.count > 0 && --front.count == 0)
        m_frameFaults.pop_front();
    return true;
}

// --- Serving -----------------------------------------------------------------------------------

bool CamSim::sleepFor(int iMs) const
{
    return sleepUntil(Clock::now() + std::chrono::milliseconds(std::max(0, iMs)));
}

bool CamSim::sleepUntil(Clock::time_point clUntil) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_cv.wait_until(lock, clUntil, [this] { return m_stopping; });
}

std::int64_t CamSim::elapsedMs(Clock::time_point clTime) const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(clTime - m_started).count();
}

void CamSim::recordAnswer(
    std::uint64_t llSeq, int iStatus, bool bHasRval, int iRval, const std::string& strFault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_messages.rbegin(); it != m_messages.rend(); ++it) {
        if (it->seq == llSeq) {
            it->answered = true;
            it->httpStatus = iStatus;
            it->hasRval = bHasRval;
            it->rval = iRval;
            it->fault = strFault;
            break;
        }
    }
    m_cv.notify_all();
}

void CamSim::recordFrame(
    std::uint64_t llSeq, int iStatus, std::size_t iBytes, std::uint64_t llNumber, const std::string& strFault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it) {
        if (it->seq == llSeq) {
            it->status = iStatus;
            it->bytes = iBytes;
            it->frameNumber = llNumber;
            it->fault = strFault;
            break;
        }
    }
    m_cv.notify_all();
}

void CamSim::handleCgi(const httplib::Request& req, httplib::Response& res)
{
    LoggedMessage msg = parseMessage(req.body);
    msg.received = Clock::now();
    msg.timeMs = elapsedMs(msg.received);

    Fault fault;
    bool bFault = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        msg.seq = ++m_messageSeq;
        msg.recording = m_settings.value("app_status") == "record";
        m_messages.push_back(msg);
        if (m_messages.size() > m_options.messageLogLimit)
            m_messages.pop_front();
        if (msg.hasMsgId)
            bFault = takeFault(msg.msgId, fault);
        m_cv.notify_all();
    }
    const std::string strFault
        = bFault ? (fault.kind == Fault::Kind::None ? "delay" : faultName(fault.kind)) : "";

    int iRval = 0;
    std::string strBody;
    const bool bEffectFirst = bFault && fault.kind == Fault::Kind::None && fault.effectFirst;
    if (bEffectFirst) {
        std::unique_lock<std::mutex> lock(m_mutex);
        strBody = answer(msg, lock, iRval);
    }
    if (bFault && fault.delayMs > 0)
        sleepFor(fault.delayMs); // cut short by stop()

    const std::int64_t llMsgId = msg.hasMsgId ? msg.msgId : 0;
    if (bFault) {
        switch (fault.kind) {
        case Fault::Kind::None:
            break;
        case Fault::Kind::HttpStatus:
            res.status = fault.httpStatus;
            res.set_content(
                "<html><body>Error " + std::to_string(fault.httpStatus) + "</body></html>", "text/html");
            recordAnswer(msg.seq, fault.httpStatus, false, 0, strFault);
            return;
        case Fault::Kind::BrokenJson:
            // A reply cut off in the middle: parsers report a syntax error.
            res.set_content("{\"msg_id\":" + std::to_string(llMsgId) + ",\"rval\":0,\"param\":[{\"zk_w",
                "application/json");
            recordAnswer(msg.seq, 200, false, 0, strFault);
            return;
        case Fault::Kind::NotObject:
            res.set_content("[1,2]", "application/json");
            recordAnswer(msg.seq, 200, false, 0, strFault);
            return;
        case Fault::Kind::NoRval: {
            picojson::object obj;
            obj["msg_id"] = number(llMsgId);
            res.set_content(picojson::value(obj).serialize(), "application/json");
            recordAnswer(msg.seq, 200, false, 0, strFault);
            return;
        }
        case Fault::Kind::Rval:
            res.set_content(basicAnswer(fault.rval, llMsgId), "application/json");
            recordAnswer(msg.seq, 200, true, fault.rval, strFault);
            return;
        case Fault::Kind::Drop:
            if (!dropConnection(req)) {
                // Socket not found: at least end the answer right after its head.
                res.set_content_provider(1, "application/json",
                    [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
            }
            recordAnswer(msg.seq, 0, false, 0, strFault);
            return;
        }
    }

    if (!bEffectFirst) {
        std::unique_lock<std::mutex> lock(m_mutex);
        strBody = answer(msg, lock, iRval);
    }
    res.set_content(strBody, "application/json");
    recordAnswer(msg.seq, 200, true, iRval, strFault);
}

std::string CamSim::answer(const LoggedMessage& msg, std::unique_lock<std::mutex>& lock, int& iRval)
{
    if (!msg.jsonObject || !msg.hasMsgId) {
        iRval = rval::BadRequest;
        return basicAnswer(iRval, msg.hasMsgId ? msg.msgId : 0);
    }
    if (msg.msgId == 257) {
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
        m_cv.notify_all();
        iRval = rval::Ok;
        picojson::object obj;
        obj["rval"] = number(iRval);
        obj["msg_id"] = number(257);
        obj["param"] = number(llToken);
        return picojson::value(obj).serialize();
    }

    if (!m_session || !msg.hasToken || msg.token != m_token) {
        iRval = rval::InvalidToken;
        return basicAnswer(iRval, msg.msgId);
    }

    switch (msg.msgId) {
    case 258:
        closeSessionLocked();
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
    m_cv.notify_all();
    return basicAnswer(iRval, msg.msgId);
}

int CamSim::applySetting(const LoggedMessage& msg)
{
    if (!msg.hasType || !msg.typeIsString || (msg.hasParam && !msg.paramIsString))
        return rval::InvalidOption;
    const std::string& strKey = msg.type;
    const std::string strValue = msg.hasParam ? msg.param : std::string();
    if (CamSettings::isReadOnly(strKey) || CamSettings::validate(strKey, strValue) != rval::Ok)
        return rval::InvalidOption;

    if (strKey == "zk_wifi_apply_new_param") {
        // The camera restarts its Wi-Fi: the answer still goes out, then the session is gone.
        closeSessionLocked();
    } else if (strKey == "zk_factory_reset_network") {
        m_settings.resetNetwork();
    } else if (strKey == "zk_factory_reset_cam") {
        m_settings.resetCamera();
    } else {
        m_settings.set(strKey, strValue);
    }
    return rval::Ok;
}

std::string CamSim::answerPoll(const LoggedMessage& msg, std::unique_lock<std::mutex>& lock, int& iRval)
{
    const std::int64_t llHold = std::min<std::int64_t>(
        std::max<std::int64_t>(msg.hasTimeout ? msg.timeout : 0, 0), std::max(0, m_options.pollCapSeconds));
    const auto clDeadline = Clock::now() + std::chrono::seconds(llHold);
    const std::int64_t llToken = m_token;
    m_cv.wait_until(lock, clDeadline, [this, llToken] {
        return m_stopping || !m_notifications.empty() || !m_session || m_token != llToken;
    });

    if (!m_session || m_token != llToken) {
        iRval = rval::InvalidToken;
        return basicAnswer(iRval, 4097);
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

void CamSim::handleFrame(const httplib::Request&, httplib::Response& res)
{
    FrameRequest request;
    request.received = Clock::now();
    request.timeMs = elapsedMs(request.received);
    FrameFault fault;
    bool bFault = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        request.seq = ++m_frameSeq;
        m_frames.push_back(request);
        if (m_frames.size() > m_options.frameLogLimit)
            m_frames.pop_front();
        bFault = takeFrameFault(fault);
        m_cv.notify_all();
    }
    const std::string strFault
        = bFault ? (fault.kind == FrameFault::Kind::None ? "delay" : frameFaultName(fault.kind)) : "";

    if (bFault && fault.delayMs > 0 && !sleepFor(fault.delayMs)) {
        res.status = 503;
        recordFrame(request.seq, 503, 0, 0, "stopping");
        return;
    }

    auto notFound = [&] {
        res.status = 404;
        res.set_content(NOT_FOUND_BODY, "text/html");
        recordFrame(request.seq, 404, 0, 0, strFault);
    };
    if (bFault && fault.kind == FrameFault::Kind::NotFound) {
        notFound();
        return;
    }

    // Pacing: frames leave at most at the configured rate, whoever asks for them.
    Clock::time_point clSlot = Clock::now();
    bool bViewFinder = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        bViewFinder = m_viewFinder;
        if (bViewFinder && m_fps > 0) {
            clSlot = std::max(clSlot, m_nextFrameSlot);
            m_nextFrameSlot = clSlot
                + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / m_fps));
        }
    }
    if (!bViewFinder) {
        notFound();
        return;
    }
    if (!sleepUntil(clSlot)) {
        res.status = 503;
        recordFrame(request.seq, 503, 0, 0, "stopping");
        return;
    }

    std::uint64_t llNumber = 0;
    int iWidth = 0;
    int iHeight = 0;
    bool bStoppedMeanwhile = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        bStoppedMeanwhile = !m_viewFinder; // stopped while this request waited for its turn
        if (!bStoppedMeanwhile) {
            llNumber = ++m_framesServed;
            iWidth = m_frameWidth;
            iHeight = m_frameHeight;
        }
    }
    if (bStoppedMeanwhile) {
        notFound(); // records the request, which takes the lock itself
        return;
    }
    auto pclJpeg = std::make_shared<std::string>(FrameRenderer::renderJpeg(llNumber, iWidth, iHeight));
    const std::size_t iSize = pclJpeg->size();

    // When the frame left, on the wall clock in microseconds: lets a benchmark tell a frame's age
    // on screen (KD4TOOL_TRACE_FRAMES in the program).
    res.set_header("X-Served-Us",
        std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::system_clock::now().time_since_epoch())
                           .count()));
    const FrameFault::Kind eKind = bFault ? fault.kind : FrameFault::Kind::None;
    std::size_t iSent = iSize;
    switch (eKind) {
    case FrameFault::Kind::None:
    case FrameFault::Kind::NotFound:
        res.set_content(*pclJpeg, "image/jpeg");
        break;
    case FrameFault::Kind::BrokenJpeg: {
        std::string strNoise(iSize, '\0');
        std::uniform_int_distribution<int> clByte(0, 255);
        std::mt19937 clRandom(static_cast<std::mt19937::result_type>(llNumber));
        for (char& c : strNoise)
            c = static_cast<char>(clByte(clRandom));
        strNoise[0] = 'X'; // never a JPEG start marker
        res.set_content(strNoise, "image/jpeg");
        break;
    }
    case FrameFault::Kind::Truncated:
        iSent = iSize / 2;
        res.set_content(pclJpeg->substr(0, iSent), "image/jpeg");
        break;
    case FrameFault::Kind::Stall: {
        const std::size_t iFirst = fault.stallAfterBytes < 0
            ? iSize / 2
            : std::min(iSize, static_cast<std::size_t>(fault.stallAfterBytes));
        const int iStallMs = fault.stallMs;
        res.set_content_provider(iSize, "image/jpeg",
            [this, pclJpeg, iFirst, iStallMs](std::size_t iOffset, std::size_t, httplib::DataSink& sink) {
                if (iOffset < iFirst)
                    return sink.write(pclJpeg->data() + iOffset, iFirst - iOffset);
                sleepFor(iStallMs);
                return false; // the rest never comes: the connection closes
            });
        break;
    }
    case FrameFault::Kind::Chunked: {
        const std::size_t iChunks = static_cast<std::size_t>(std::max(1, fault.chunks));
        const std::size_t iChunkSize = (iSize + iChunks - 1) / iChunks;
        const int iPauseMs = fault.chunkPauseMs;
        res.set_content_provider(iSize, "image/jpeg",
            [this, pclJpeg, iChunkSize, iPauseMs](
                std::size_t iOffset, std::size_t iLength, httplib::DataSink& sink) {
                if (iOffset > 0 && !sleepFor(iPauseMs))
                    return false;
                return sink.write(pclJpeg->data() + iOffset, std::min(iChunkSize, iLength));
            });
        break;
    }
    }
    recordFrame(request.seq, 200, iSent, llNumber, strFault);
}

} // namespace camsim
