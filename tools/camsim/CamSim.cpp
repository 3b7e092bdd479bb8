#include "tools/camsim/CamSim.h"

#include "tools/camsim/SimControl.h"

#include "camera/ZkSetting.h"

#include <httplib.h>

#include <QCoreApplication>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>

namespace camsim {

namespace {

using Clock = std::chrono::steady_clock;

bool isLoopback(const std::string& strAddress)
{
    in_addr addr {};
    if (inet_pton(AF_INET, strAddress.c_str(), &addr) != 1)
        return false;
    return (ntohl(addr.s_addr) >> 24) == 127;
}

} // namespace

CamSim::CamSim()
    : CamSim(Options())
{
}

CamSim::CamSim(const Options& options)
    : m_options(options)
    , m_log(options.messageLogLimit, options.frameLogLimit)
    , m_state(m_monitor, options.firmware, options.pollCapSeconds)
    , m_messageServer(m_monitor, m_log, m_faults, m_state)
    , m_frameServer(m_monitor, m_log, m_faults, m_state, options.fps, options.frameWidth, options.frameHeight)
{
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
    m_server->Post("/cgi-bin/cgi",
        [this](const httplib::Request& req, httplib::Response& res) { m_messageServer.handle(req, res); });
    m_server->Get("/mjpeg/amba.jpg",
        [this](const httplib::Request& req, httplib::Response& res) { m_frameServer.handle(req, res); });
    SimControl::install(*m_server, *this);

    m_monitor.setStopping(false);
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
    m_monitor.setStopping(true); // held polls answer, delays and stalls end
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
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_log.messages();
}

std::vector<std::int64_t> CamSim::msgIds() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_log.msgIds();
}

int CamSim::messageCount(std::int64_t llMsgId) const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_log.messageCount(llMsgId);
}

std::size_t CamSim::messageCount() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_log.messageCount();
}

std::vector<FrameRequest> CamSim::frameRequests() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_log.frameRequests();
}

std::uint64_t CamSim::framesServed() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_frameServer.framesServed();
}

void CamSim::clearLog()
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_log.clear();
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
            std::unique_lock<std::mutex> lock(m_monitor.mutex());
            m_monitor.condition().wait_for(
                lock, std::min<Clock::duration>(clSlice, std::chrono::milliseconds(2)));
        } else {
            std::unique_lock<std::mutex> lock(m_monitor.mutex());
            m_monitor.condition().wait_for(lock, clSlice);
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
            std::lock_guard<std::mutex> lock(m_monitor.mutex());
            return static_cast<int>(m_log.frameCount()) >= iCount;
        },
        iTimeoutMs);
}

// --- Camera state ------------------------------------------------------------------------------

void CamSim::setSetting(const std::string& strKey, const std::string& strValue)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_state.setSetting(strKey, strValue);
}

std::string CamSim::setting(const std::string& strKey) const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_state.setting(strKey);
}

std::map<std::string, std::string> CamSim::settings() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_state.settings();
}

void CamSim::startRecording()
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_state.startRecording();
}

void CamSim::stopRecording()
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_state.stopRecording();
}

bool CamSim::isRecording() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_state.isRecording();
}

void CamSim::setBattery(int iLevel)
{
    setSetting(ZkSetting::BATTERY.toStdString(), std::to_string(iLevel));
}

void CamSim::setAcConnected(bool bConnected)
{
    setSetting(ZkSetting::GET_AC_CONNECTION.toStdString(),
        bConnected ? ZkValue::CONNECTED.toStdString() : "disconnected");
}

void CamSim::setFirmwareVersion(const std::string& strVersion)
{
    setSetting(ZkSetting::GET_VERSION.toStdString(), strVersion);
}

void CamSim::queueNotification(const std::string& strType, const std::string& strParam)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_state.queueNotification(strType, strParam);
}

std::size_t CamSim::pendingNotifications() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_state.pendingNotifications();
}

bool CamSim::viewFinderRunning() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_state.viewFinderRunning();
}

bool CamSim::sessionOpen() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_state.sessionOpen();
}

std::int64_t CamSim::sessionToken() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_state.sessionToken();
}

void CamSim::endSession()
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_state.endSession();
}

// --- Faults ------------------------------------------------------------------------------------

void CamSim::setFault(std::int64_t llMsgId, const Fault& fault)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_faults.setFault(llMsgId, fault);
}

void CamSim::addFault(std::int64_t llMsgId, const Fault& fault)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_faults.addFault(llMsgId, fault);
}

void CamSim::setFrameFault(const FrameFault& fault)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_faults.setFrameFault(fault);
}

void CamSim::addFrameFault(const FrameFault& fault)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_faults.addFrameFault(fault);
}

void CamSim::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_faults.clear();
}

void CamSim::setFrameRate(double dFps)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_frameServer.setFrameRate(dFps);
}

double CamSim::frameRate() const
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    return m_frameServer.frameRate();
}

void CamSim::setFrameSize(int iWidth, int iHeight)
{
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_frameServer.setFrameSize(iWidth, iHeight);
}

} // namespace camsim
