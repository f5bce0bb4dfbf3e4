#pragma once
// Thread objects: one operating-system thread each, with a stop request, a start handshake, an
// interrupt flag, a sleep that a stop request or an interrupt cuts short, and a monitor of its own.

#include "platform/host/thread.h"
#include "sdk/thread/critical_section.h"
#include "sdk/thread/event.h"
#include "sdk/thread/lock_object.h"
#include "sdk/thread/thread_local.h"
#include "sdk/ztl/callback.h"
#include "sdk/ztl/smart_ptr.h"

#include <atomic>
#include <cstdint>

namespace zelvoranGameSDK3rd::Thread {

class IThread
{
public:
    using Callback = ZTL::smart_ptr<ZTL::function_callback>;

    virtual int StartCallback(const Callback& callback) = 0;
    virtual int Start() = 0;
    virtual void SetCallback(const Callback& callback) = 0;
    virtual int StopAndWait() = 0;
    virtual int RunInCurrentThread() = 0;
    virtual bool IsStarted() = 0;
    virtual bool IsThreadValid() = 0;
    virtual void RequestStop() = 0;
    virtual DWORD GetThreadId() = 0;
    virtual int Wait(std::uint32_t milliseconds) = 0;
    virtual int InterruptibleSleep(std::uint32_t milliseconds) = 0;
    virtual void Notify() = 0;
    virtual void NotifyAll() = 0;
    virtual void Interrupt() = 0;
    virtual bool IsInterrupted() = 0;
    virtual bool TestAndClearInterrupt() = 0;
    virtual ~IThread() = default;
    virtual IEvent* GetInterruptEvent() = 0;
};

class CThread : public IThread
{
public:
    CThread() = default;
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;
    // Stops and joins a running thread first.
    ~CThread() override;

    // Stores the callback, then Start.
    int StartCallback(const Callback& callback) override;
    // Stops and joins a previous run, then starts the thread and returns once it has registered with
    // the thread manager: 0, or -1 when the thread could not be created.
    int Start() override;
    // The callback runs instead of ThreadProc; an empty one means ThreadProc. The callback's reference
    // count is not atomic: hand the thread a callback nobody else keeps.
    void SetCallback(const Callback& callback) override;
    // Requests the stop and joins the thread: 0 done or nothing running, 1 the join failed, 2 called from
    // the thread itself.
    int StopAndWait() override;
    // Runs ThreadProc in the calling thread with the same bookkeeping; returns 0.
    int RunInCurrentThread() override;
    bool IsStarted() override;
    // True while no stop has been requested.
    bool IsThreadValid() override;
    // Sets the stop request and wakes the thread where it waits on its own monitor.
    void RequestStop() override;
    DWORD GetThreadId() override;
    // Waits on the thread's own monitor, which the caller holds.
    int Wait(std::uint32_t milliseconds) override;
    // Sleeps, cut short by a stop request: 0 when the time ran out, 1 when woken early. Raises
    // ZTL::CInterruptedException when the thread was interrupted before or during the sleep.
    int InterruptibleSleep(std::uint32_t milliseconds) override;
    void Notify() override;
    void NotifyAll() override;
    void Interrupt() override;
    bool IsInterrupted() override;
    bool TestAndClearInterrupt() override;
    IEvent* GetInterruptEvent() override { return &m_interrupt; }

    // The thread's body; derived classes override it.
    virtual void ThreadProc() {}
    virtual platform::ThreadHandle* GetThreadHandle();

    // The thread's own monitor, for Wait, Notify and NotifyAll.
    CLockObject& GetMonitor() { return m_monitor; }
    // The stack size handed to thread creation (0 = the system default).
    void SetStackSize(std::uint32_t bytes);

private:
    static void Trampoline(void* self);
    void ResetEvents();

    platform::ThreadHandle* m_handle = nullptr;
    std::atomic<DWORD> m_threadId{kNoThread};
    CEvent m_stop;
    CEvent m_started;
    CEvent m_interrupt;
    CEvent m_ready;
    CCriticalSection m_startLock;
    Callback m_callback;
    CLockObject m_monitor;
    bool m_launched = false;
    std::uint32_t m_stackSize = 0;
};

// For each thread, the thread object running it (null for threads that are no thread object).
ThreadLocal<IThread*>& CurrentThreadLocal();

} // namespace zelvoranGameSDK3rd::Thread
