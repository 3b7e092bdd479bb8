#include "tools/camsim/FrameServer.h"

#include "tools/camsim/CameraState.h"
#include "tools/camsim/FaultPlan.h"
#include "tools/camsim/FrameRenderer.h"
#include "tools/camsim/MessageLog.h"
#include "tools/camsim/SimMonitor.h"

#include <QCryptographicHash>

#include <httplib.h>

#include <algorithm>
#include <memory>
#include <random>

namespace camsim {

namespace {

using Clock = std::chrono::steady_clock;

const char* NOT_FOUND_BODY
    = "<html><head><title>404 Not Found</title></head><body>404 Not Found</body></html>";

// The same bounds as the command line's --frame-size.
int frameSide(int iSide)
{
    return std::min(4096, std::max(16, iSide));
}

std::string sha256Hex(const std::string& strData)
{
    const QByteArray clData = QByteArray::fromRawData(strData.data(), static_cast<int>(strData.size()));
    return QCryptographicHash::hash(clData, QCryptographicHash::Sha256).toHex().toStdString();
}

} // namespace

FrameServer::FrameServer(const SimMonitor& clMonitor, MessageLog& clLog, FaultPlan& clFaults,
    const CameraState& clState, double dFps, int iWidth, int iHeight)
    : m_monitor(clMonitor)
    , m_log(clLog)
    , m_faults(clFaults)
    , m_state(clState)
    , m_fps(dFps)
    , m_width(frameSide(iWidth))
    , m_height(frameSide(iHeight))
    , m_nextSlot(Clock::now())
{
}

void FrameServer::setFrameRate(double dFps)
{
    m_fps = std::max(0.0, dFps);
}

double FrameServer::frameRate() const
{
    return m_fps;
}

void FrameServer::setFrameSize(int iWidth, int iHeight)
{
    m_width = frameSide(iWidth);
    m_height = frameSide(iHeight);
}

std::uint64_t FrameServer::framesServed() const
{
    return m_framesServed;
}

void FrameServer::record(std::uint64_t llSeq, int iStatus, std::size_t iBytes, std::uint64_t llNumber,
    const std::string& strFault, const std::string& strBody)
{
    const std::string strSha256 = iStatus == 200 ? sha256Hex(strBody) : std::string();
    std::lock_guard<std::mutex> lock(m_monitor.mutex());
    m_log.recordFrame(llSeq, iStatus, iBytes, llNumber, strFault, strSha256);
    m_monitor.notifyAll();
}

void FrameServer::handle(const httplib::Request&, httplib::Response& res)
{
    FrameRequest request;
    request.received = Clock::now();
    request.timeMs = m_log.elapsedMs(request.received);
    FrameFault fault;
    bool bFault = false;
    {
        std::lock_guard<std::mutex> lock(m_monitor.mutex());
        m_log.addFrame(request);
        bFault = m_faults.takeFrameFault(fault);
        m_monitor.notifyAll();
    }
    const std::string strFault
        = bFault ? (fault.kind == FrameFault::Kind::None ? "delay" : frameFaultName(fault.kind)) : "";

    if (bFault && fault.delayMs > 0 && !m_monitor.sleepFor(fault.delayMs)) {
        res.status = 503;
        record(request.seq, 503, 0, 0, "stopping");
        return;
    }

    auto notFound = [&] {
        res.status = 404;
        res.set_content(NOT_FOUND_BODY, "text/html");
        record(request.seq, 404, 0, 0, strFault);
    };
    if (bFault && fault.kind == FrameFault::Kind::NotFound) {
        notFound();
        return;
    }

    // Pacing: frames leave at most at the configured rate, whoever asks for them.
    Clock::time_point clSlot = Clock::now();
    bool bViewFinder = false;
    {
        std::lock_guard<std::mutex> lock(m_monitor.mutex());
        bViewFinder = m_state.viewFinderRunning();
        if (bViewFinder && m_fps > 0) {
            clSlot = std::max(clSlot, m_nextSlot);
            m_nextSlot = clSlot
                + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / m_fps));
        }
    }
    if (!bViewFinder) {
        notFound();
        return;
    }
    if (!m_monitor.sleepUntil(clSlot)) {
        res.status = 503;
        record(request.seq, 503, 0, 0, "stopping");
        return;
    }

    std::uint64_t llNumber = 0;
    int iWidth = 0;
    int iHeight = 0;
    bool bStoppedMeanwhile = false;
    {
        std::lock_guard<std::mutex> lock(m_monitor.mutex());
        bStoppedMeanwhile = !m_state.viewFinderRunning(); // stopped while this request waited its turn
        if (!bStoppedMeanwhile) {
            llNumber = ++m_framesServed;
            iWidth = m_width;
            iHeight = m_height;
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
    std::string strAltered; // the body, when it is not the frame as drawn
    switch (eKind) {
    case FrameFault::Kind::None:
    case FrameFault::Kind::NotFound:
        res.set_content(*pclJpeg, "image/jpeg");
        break;
    case FrameFault::Kind::BrokenJpeg: {
        strAltered.assign(iSize, '\0');
        std::uniform_int_distribution<int> clByte(0, 255);
        std::mt19937 clRandom(static_cast<std::mt19937::result_type>(llNumber));
        for (char& c : strAltered)
            c = static_cast<char>(clByte(clRandom));
        strAltered[0] = 'X'; // never a JPEG start marker
        res.set_content(strAltered, "image/jpeg");
        break;
    }
    case FrameFault::Kind::Truncated:
        iSent = iSize / 2;
        strAltered = pclJpeg->substr(0, iSent);
        res.set_content(strAltered, "image/jpeg");
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
                m_monitor.sleepFor(iStallMs);
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
                if (iOffset > 0 && !m_monitor.sleepFor(iPauseMs))
                    return false;
                return sink.write(pclJpeg->data() + iOffset, std::min(iChunkSize, iLength));
            });
        break;
    }
    }
    record(request.seq, 200, iSent, llNumber, strFault, strAltered.empty() ? *pclJpeg : strAltered);
}

} // namespace camsim
