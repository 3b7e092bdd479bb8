#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace camsim {

// The simulator's one lock and what waits on it. Every part of the simulated camera (its state,
// the log, the fault plan, the frame pacing) is guarded by this one mutex, held by whoever calls
// into the part, so no two locks are ever taken in different orders. Every change is announced on
// the condition, which also wakes all waits when the simulator stops.
class SimMonitor
{
public:
    std::mutex& mutex() const { return m_mutex; }
    std::condition_variable& condition() const { return m_condition; }
    void notifyAll() const;

    bool isStopping() const { return m_stopping; } // with the mutex held
    void setStopping(bool bStopping); // takes the mutex, then wakes every wait

    // Sleeps up to iMs, or until clUntil, without the mutex held; false when the simulator is
    // stopping.
    bool sleepFor(int iMs) const;
    bool sleepUntil(std::chrono::steady_clock::time_point clUntil) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_condition;
    bool m_stopping = false;
};

} // namespace camsim
