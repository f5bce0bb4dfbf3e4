#pragma once
// A monitor in the manner of a managed runtime's object monitor: a recursive lock with Wait, Notify
// and NotifyAll. A waiting thread that runs a thread object also wakes when that thread is interrupted.

#include "sdk/thread/critical_section.h"
#include "sdk/thread/event.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>
#include <vector>

namespace zelvoranGameSDK3rd::Thread {

class CLockObject
{
public:
    // One waiting thread: the event that wakes it and its id.
    struct CWaitState
    {
        CEvent event;
        DWORD threadId = kNoThread;
    };

    CLockObject() = default;
    CLockObject(const CLockObject&) = delete;
    CLockObject& operator=(const CLockObject&) = delete;

    void Enter() { m_lock.Enter(); }
    void Leave() { m_lock.Leave(); }
    bool IsLockedByCurrentThread() const { return m_lock.IsLockedByCurrentThread(); }

    // Leaves the monitor (held exactly once), waits until notified or the time has run out, and enters it
    // again. 0 when woken, 1 on time-out. Raises ZTL::CIllegalMonitorStateException when the caller does
    // not hold the monitor, ZTL::CInterruptedException when the waiting thread object was interrupted.
    int Wait(std::uint32_t milliseconds);
    // Wakes the most recent waiter.
    void Notify();
    void NotifyAll();
    // Wakes every waiter of the thread `id`.
    void WakeThread(DWORD id);
    // Forgets every waiter of the thread `id` without waking it.
    void RemoveWaiters(DWORD id);

    // The number of registered waiters (the caller holds the monitor).
    std::size_t GetWaiterCount() const;

private:
    void RequireHeld() const;

    // Mutable: the section's own IsLockedByCurrentThread belongs to its interface and is not const.
    mutable CCriticalSection m_lock;
    std::vector<ZTL::smart_ptr<CWaitState>> m_waiters;
};

} // namespace zelvoranGameSDK3rd::Thread
