#pragma once

#include "tools/camsim/CamSimTypes.h"

#include <cstdint>
#include <deque>
#include <map>

namespace camsim {

// The faults planned for the next messages of each number and for the next frame requests, each
// taken in turn and counted off. Not thread-safe: guarded by the simulator's mutex, which the
// caller holds.
class FaultPlan
{
public:
    // A count of 0 means no message at all: setting it clears, adding it adds nothing.
    void setFault(std::int64_t llMsgId, const Fault& fault); // replaces the faults of that number
    void addFault(std::int64_t llMsgId, const Fault& fault); // queued behind those already set
    void setFrameFault(const FrameFault& fault);
    void addFrameFault(const FrameFault& fault);
    void clear(); // message and frame faults

    // The fault for the next message of that number, or the next frame request; false: none.
    bool takeFault(std::int64_t llMsgId, Fault& fault);
    bool takeFrameFault(FrameFault& fault);

private:
    std::map<std::int64_t, std::deque<Fault>> m_faults;
    std::deque<FrameFault> m_frameFaults;
};

} // namespace camsim
