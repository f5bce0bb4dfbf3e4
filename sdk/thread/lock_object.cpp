#include "sdk/thread/lock_object.h"

#include "sdk/thread/thread.h"
#include "sdk/ztl/exception.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::Thread {

void CLockObject::RequireHeld() const
{
    if (!m_lock.IsLockedByCurrentThread()) throw ZTL::CIllegalMonitorStateException();
}

int CLockObject::Wait(std::uint32_t milliseconds)
{
    RequireHeld();
    const DWORD self = GetCurrentThreadId();
    ZTL::smart_ptr<CWaitState> state;
    state.add(new CWaitState);
    state->threadId = self;
    m_waiters.push_back(state);
    // This thread keeps its own reference while it waits outside the lock: an interrupt erases the
    // thread's waiters without waking them, and the event must outlive the wait on it. Every change of
    // the reference count happens under the monitor's lock.
    CEvent& event = state->event;
    m_lock.Leave();

    IThread* thread = CurrentThreadLocal().Get();
    int result;
    if (thread != nullptr)
        result = WaitForEitherEvent(*thread->GetInterruptEvent(), event, milliseconds) == 2 ? 1 : 0;
    else
        result = event.Wait(milliseconds);

    m_lock.Enter();
    RemoveWaiters(self);
    state.release();
    if (thread != nullptr && thread->TestAndClearInterrupt()) throw ZTL::CInterruptedException();
    return result;
}

void CLockObject::Notify()
{
    RequireHeld();
    if (!m_waiters.empty()) m_waiters.back()->event.Set();
}

void CLockObject::NotifyAll()
{
    RequireHeld();
    for (auto& waiter : m_waiters)
        waiter->event.Set();
}

void CLockObject::WakeThread(DWORD id)
{
    RequireHeld();
    for (auto& waiter : m_waiters)
        if (waiter->threadId == id) waiter->event.Set();
}

void CLockObject::RemoveWaiters(DWORD id)
{
    RequireHeld();
    m_waiters.erase(std::remove_if(m_waiters.begin(), m_waiters.end(),
                                   [id](const ZTL::smart_ptr<CWaitState>& w) { return w->threadId == id; }),
                    m_waiters.end());
}

std::size_t CLockObject::GetWaiterCount() const
{
    RequireHeld();
    return m_waiters.size();
}

} // namespace zelvoranGameSDK3rd::Thread
