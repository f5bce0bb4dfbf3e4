#include "sdk/timer/timer.h"

#include "platform/host/clock.h"
#include "sdk/thread/critical_section.h"

namespace zelvoranGameSDK3rd::Timer {

namespace {

// The wrapper and the number of CTimer objects using it: made by the first timer, deleted with the last.
struct WrapperUse
{
    Thread::CCriticalSection lock;
    CTimeGetTimeWrapper* object = nullptr;
    int count = 0;

    ~WrapperUse()
    {
        delete object;
        object = nullptr;
    }
};

WrapperUse& Use()
{
    static WrapperUse use;
    return use;
}

CTimeGetTimeWrapper* Acquire()
{
    WrapperUse& use = Use();
    Thread::CLockGuard guard(use.lock);
    if (use.count++ == 0) use.object = new CTimeGetTimeWrapper;
    return use.object;
}

void Unuse()
{
    WrapperUse& use = Use();
    Thread::CLockGuard guard(use.lock);
    if (--use.count == 0) {
        delete use.object;
        use.object = nullptr;
    }
}

} // namespace

CTimeGetTimeWrapper::CTimeGetTimeWrapper()
{
    // The platform clock counts whole milliseconds: as fine as the timer can be, so it is always used.
    m_periodMin = 1;
    m_periodMax = 1000000;
    m_useMultimediaTimer = m_periodMin < 10;
}

CTimeGetTimeWrapper::~CTimeGetTimeWrapper() = default;

std::uint32_t CTimeGetTimeWrapper::Now() const
{
    return platform::GetMilliseconds();
}

CTimeGetTimeWrapper* CTimeGetTimeWrapper::Current()
{
    WrapperUse& use = Use();
    Thread::CLockGuard guard(use.lock);
    return use.object;
}

CTimer::CTimer()
{
    Acquire();
    m_origin = Now();
}

CTimer::~CTimer()
{
    Unuse();
}

std::uint32_t CTimer::Now() const
{
    return platform::GetMilliseconds();
}

void CTimer::Reset()
{
    m_origin = Now();
    m_pauseCount = 0;
}

std::uint32_t CTimer::Get()
{
    return (m_pauseCount != 0 ? m_pauseTime : Now()) - m_origin;
}

void CTimer::Set(std::uint32_t milliseconds)
{
    m_origin = (m_pauseCount != 0 ? m_pauseTime : Now()) - milliseconds;
}

void CTimer::Pause()
{
    if (m_pauseCount++ == 0) m_pauseTime = Now();
}

void CTimer::Resume()
{
    // An unmatched Resume would leave the count negative and the timer reading a stale pause time.
    if (m_pauseCount == 0) return;
    if (--m_pauseCount == 0) m_origin += Now() - m_pauseTime;
}

} // namespace zelvoranGameSDK3rd::Timer
