#include "tools/camsim/SimMonitor.h"

#include <algorithm>

namespace camsim {

void SimMonitor::notifyAll() const
{
    m_condition.notify_all();
}

void SimMonitor::setStopping(bool bStopping)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = bStopping;
    }
    m_condition.notify_all();
}

bool SimMonitor::sleepFor(int iMs) const
{
    return sleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, iMs)));
}

bool SimMonitor::sleepUntil(std::chrono::steady_clock::time_point clUntil) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_condition.wait_until(lock, clUntil, [this] { return m_stopping; });
}

} // namespace camsim
