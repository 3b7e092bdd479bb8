#pragma once

#include "tools/camsim/CamSimTypes.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace camsim {

// What reached the simulator: the JSON messages and the frame requests, each kept to its newest
// entries so that a long run cannot grow without bound, numbered in order of arrival (the numbers
// keep counting past dropped entries). Not thread-safe: guarded by the simulator's mutex, which
// the caller holds.
class MessageLog
{
public:
    // Each limit is at least 1.
    MessageLog(std::size_t iMessageLimit, std::size_t iFrameLimit);

    // Milliseconds from the start of the log (the simulator's) to clTime; needs no lock.
    std::int64_t elapsedMs(std::chrono::steady_clock::time_point clTime) const;

    // Numbers the entry (its seq) and keeps a copy; its answer is filled in later, by seq.
    void addMessage(LoggedMessage& msg);
    void recordAnswer(
        std::uint64_t llSeq, int iStatus, bool bHasRval, int iRval, const std::string& strFault);
    void addFrame(FrameRequest& request);
    void recordFrame(std::uint64_t llSeq, int iStatus, std::size_t iBytes, std::uint64_t llNumber,
        const std::string& strFault, const std::string& strSha256);

    std::vector<LoggedMessage> messages() const;
    std::vector<std::int64_t> msgIds() const; // -1 for a message without msg_id
    int messageCount(std::int64_t llMsgId) const;
    std::size_t messageCount() const;
    std::vector<FrameRequest> frameRequests() const;
    std::size_t frameCount() const;
    void clear();

private:
    const std::chrono::steady_clock::time_point m_started;
    const std::size_t m_messageLimit;
    const std::size_t m_frameLimit;
    std::deque<LoggedMessage> m_messages;
    std::uint64_t m_messageSeq = 0;
    std::deque<FrameRequest> m_frames;
    std::uint64_t m_frameSeq = 0;
};

} // namespace camsim
