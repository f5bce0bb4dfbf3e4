#include "sdk/thread/thread.h"

#include "sdk/thread/thread_manager.h"
#include "sdk/ztl/exception.h"

namespace zelvoranGameSDK3rd::Thread {

ThreadLocal<IThread*>& CurrentThreadLocal()
{
    static ThreadLocal<IThread*> current;
    return current;
}

CThread::~CThread()
{
    StopAndWait();
}

void CThread::ResetEvents()
{
    m_stop.Reset();
    m_ready.Reset();
    m_interrupt.Reset();
    m_started.Reset();
}

int CThread::StartCallback(const Callback& callback)
{
    CLockGuard guard(m_startLock);
    m_callback = callback;
    return Start();
}

int CThread::Start()
{
    CLockGuard guard(m_startLock);
    StopAndWait();
    ResetEvents();
    m_launched = true;
    DWORD id = kNoThread;
    platform::ThreadHandle* handle = platform::CreateThread(&CThread::Trampoline, this, m_stackSize, &id);
    if (handle == nullptr) return -1;
    m_threadId.store(id);
    m_handle = handle;
    return m_ready.Wait(INFINITE);
}

void CThread::SetCallback(const Callback& callback)
{
    CLockGuard guard(m_startLock);
    m_callback = callback;
}

int CThread::StopAndWait()
{
    CLockGuard guard(m_startLock);
    RequestStop();
    if (m_handle == nullptr) return 0;
    if (GetThreadId() == GetCurrentThreadId()) return 2; // a thread cannot join itself
    platform::ThreadHandle* handle = m_handle;
    m_handle = nullptr;
    m_threadId.store(kNoThread);
    if (m_launched) {
        // The ending thread takes the start lock to request its own stop, so every level held here
        // (Start and StartCallback hold it too) is left while joining, and taken again afterwards.
        int levels = 0;
        while (m_startLock.IsLockedByCurrentThread()) {
            m_startLock.Leave();
            ++levels;
        }
        const bool joined = platform::JoinThread(handle);
        for (; levels > 0; --levels)
            m_startLock.Enter();
        if (!joined) return 1;
    }
    platform::CloseThreadHandle(handle);
    return 0;
}

int CThread::RunInCurrentThread()
{
    StopAndWait();
    ResetEvents();
    m_launched = false;
    m_threadId.store(GetCurrentThreadId());
    IThreadManager* manager = CThreadManager::GetInstance();
    manager->Add(this);
    m_started.Set();
    ThreadProc();
    m_started.Reset();
    manager->Remove(this);
    m_threadId.store(kNoThread);
    return 0;
}

bool CThread::IsStarted()
{
    return m_started.IsSet();
}

bool CThread::IsThreadValid()
{
    return !m_stop.IsSet();
}

void CThread::RequestStop()
{
    CLockGuard startGuard(m_startLock);
    CLockGuard monitorGuard(m_monitor);
    m_monitor.WakeThread(GetThreadId());
    m_stop.Set();
}

DWORD CThread::GetThreadId()
{
    return m_threadId.load();
}

int CThread::Wait(std::uint32_t milliseconds)
{
    if (TestAndClearInterrupt()) throw ZTL::CInterruptedException();
    return m_monitor.Wait(milliseconds);
}

int CThread::InterruptibleSleep(std::uint32_t milliseconds)
{
    if (TestAndClearInterrupt()) throw ZTL::CInterruptedException();
    const int woken = WaitForEitherEvent(m_stop, m_interrupt, milliseconds);
    if (TestAndClearInterrupt()) throw ZTL::CInterruptedException();
    return woken == 2 ? 0 : 1;
}

void CThread::Notify()
{
    m_monitor.Notify();
}

void CThread::NotifyAll()
{
    m_monitor.NotifyAll();
}

void CThread::Interrupt()
{
    CLockGuard guard(m_monitor);
    m_monitor.RemoveWaiters(GetThreadId());
    m_interrupt.Set();
}

bool CThread::IsInterrupted()
{
    return m_interrupt.IsSet();
}

bool CThread::TestAndClearInterrupt()
{
    CLockGuard guard(m_monitor);
    const bool interrupted = m_interrupt.IsSet();
    m_interrupt.Reset();
    return interrupted;
}

platform::ThreadHandle* CThread::GetThreadHandle()
{
    CLockGuard guard(m_startLock);
    return m_handle;
}

void CThread::SetStackSize(std::uint32_t bytes)
{
    CLockGuard guard(m_startLock);
    m_stackSize = bytes;
}

void CThread::Trampoline(void* argument)
{
    auto* self = static_cast<CThread*>(argument);
    self->m_threadId.store(GetCurrentThreadId());
    IThreadManager* manager = CThreadManager::GetInstance();
    manager->Add(self);
    // Start holds the start lock until the ready event, so the callback cannot change under this copy.
    Callback callback = self->m_callback;
    self->m_started.Set();
    self->m_ready.Set();

    CurrentThreadLocal().Set(self);
    if (callback.isNull())
        self->ThreadProc();
    else
        callback->run();
    {
        CLockGuard guard(self->m_startLock);
        self->m_callback.release();
    }
    CurrentThreadLocal().EraseForCurrentThread();
    self->RequestStop();
    manager->Remove(self);
    // Under the start lock like every other change of the callback's count; the object outlives this,
    // because whoever deletes it joins this thread first.
    CLockGuard guard(self->m_startLock);
    callback.release();
}

} // namespace zelvoranGameSDK3rd::Thread
