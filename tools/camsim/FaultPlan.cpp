#include "tools/camsim/FaultPlan.h"

namespace camsim {

void FaultPlan::setFault(std::int64_t llMsgId, const Fault& fault)
{
    m_faults.erase(llMsgId);
    if (fault.count != 0)
        m_faults[llMsgId].push_back(fault);
}

void FaultPlan::addFault(std::int64_t llMsgId, const Fault& fault)
{
    if (fault.count != 0)
        m_faults[llMsgId].push_back(fault);
}

void FaultPlan::setFrameFault(const FrameFault& fault)
{
    m_frameFaults.clear();
    if (fault.count != 0)
        m_frameFaults.push_back(fault);
}

void FaultPlan::addFrameFault(const FrameFault& fault)
{
    if (fault.count != 0)
        m_frameFaults.push_back(fault);
}

void FaultPlan::clear()
{
    m_faults.clear();
    m_frameFaults.clear();
}

bool FaultPlan::takeFault(std::int64_t llMsgId, Fault& fault)
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

bool FaultPlan::takeFrameFault(FrameFault& fault)
{
    if (m_frameFaults.empty())
        return false;
    FrameFault& front = m_frameFaults.front();
    fault = front;
    if (front.count > 0 && --front.count == 0)
        m_frameFaults.pop_front();
    return true;
}

} // namespace camsim
