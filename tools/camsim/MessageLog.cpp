#include "tools/camsim/MessageLog.h"

#include <algorithm>

namespace camsim {

MessageLog::MessageLog(std::size_t iMessageLimit, std::size_t iFrameLimit)
    : m_started(std::chrono::steady_clock::now())
    , m_messageLimit(std::max<std::size_t>(1, iMessageLimit))
    , m_frameLimit(std::max<std::size_t>(1, iFrameLimit))
{
}

std::int64_t MessageLog::elapsedMs(std::chrono::steady_clock::time_point clTime) const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(clTime - m_started).count();
}

void MessageLog::addMessage(LoggedMessage& msg)
{
    msg.seq = ++m_messageSeq;
    m_messages.push_back(msg);
    if (m_messages.size() > m_messageLimit)
        m_messages.pop_front();
}

void MessageLog::recordAnswer(
    std::uint64_t llSeq, int iStatus, bool bHasRval, int iRval, const std::string& strFault)
{
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
}

void MessageLog::addFrame(FrameRequest& request)
{
    request.seq = ++m_frameSeq;
    m_frames.push_back(request);
    if (m_frames.size() > m_frameLimit)
        m_frames.pop_front();
}

void MessageLog::recordFrame(std::uint64_t llSeq, int iStatus, std::size_t iBytes, std::uint64_t llNumber,
    const std::string& strFault, const std::string& strSha256)
{
    for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it) {
        if (it->seq == llSeq) {
            it->status = iStatus;
            it->bytes = iBytes;
            it->frameNumber = llNumber;
            it->fault = strFault;
            it->sha256 = strSha256;
            break;
        }
    }
}

std::vector<LoggedMessage> MessageLog::messages() const
{
    return std::vector<LoggedMessage>(m_messages.begin(), m_messages.end());
}

std::vector<std::int64_t> MessageLog::msgIds() const
{
    std::vector<std::int64_t> list;
    list.reserve(m_messages.size());
    for (const LoggedMessage& msg : m_messages)
        list.push_back(msg.hasMsgId ? msg.msgId : -1);
    return list;
}

int MessageLog::messageCount(std::int64_t llMsgId) const
{
    return static_cast<int>(std::count_if(m_messages.begin(), m_messages.end(),
        [llMsgId](const LoggedMessage& msg) { return msg.hasMsgId && msg.msgId == llMsgId; }));
}

std::size_t MessageLog::messageCount() const
{
    return m_messages.size();
}

std::vector<FrameRequest> MessageLog::frameRequests() const
{
    return std::vector<FrameRequest>(m_frames.begin(), m_frames.end());
}

std::size_t MessageLog::frameCount() const
{
    return m_frames.size();
}

void MessageLog::clear()
{
    m_messages.clear();
    m_frames.clear();
}

} // namespace camsim
