#include "sdk/thread/critical_section.h"

#include "platform/host/thread.h"
#include "sdk/ztl/exception.h"

namespace zelvoranGameSDK3rd::Thread {

namespace {

[[noreturn]] void RaiseRuntime(const char* message)
{
    throw ZTL::CRuntimeException(message);
}

} // namespace

DWORD GetCurrentThreadId()
{
    return platform::CurrentThreadId();
}

CCriticalSection::~CCriticalSection()
{
    if (m_count == 0) return;
    // Unlock what the destroying thread still holds, so the lock itself goes away cleanly.
    if (m_owner.load(std::memory_order_relaxed) == GetCurrentThreadId()) {
        for (; m_count > 0; --m_count)
            m_section.Unlock();
    }
    RaiseRuntime("CCriticalSectionをEnterした回数だけLeaveしないまま終了している");
}

void CCriticalSection::Enter()
{
    m_section.Lock();
    ++m_count;
    m_owner.store(GetCurrentThreadId(), std::memory_order_relaxed);
}

void CCriticalSection::Leave()
{
    // A thread that does not hold the section must not touch the count or unlock a lock it does not own.
    if (m_owner.load(std::memory_order_relaxed) != GetCurrentThreadId())
        RaiseRuntime("CCriticalSectionをEnterしていないのにLeaveしている");
    if (--m_count == 0) m_owner.store(kNoThread, std::memory_order_relaxed);
    m_section.Unlock();
}

bool CCriticalSection::IsLockedByCurrentThread()
{
    return m_owner.load(std::memory_order_relaxed) == GetCurrentThreadId();
}

} // namespace zelvoranGameSDK3rd::Thread
