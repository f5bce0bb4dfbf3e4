#include "sdk/thread/event.h"

namespace zelvoranGameSDK3rd::Thread {

void CEvent::Set()
{
    CLockGuard guard(m_lock);
    m_flag = true;
    m_handle.Set();
}

void CEvent::Reset()
{
    CLockGuard guard(m_lock);
    m_handle.Reset();
    m_flag = false;
}

int CEvent::Wait(std::uint32_t milliseconds)
{
    switch (m_handle.Wait(milliseconds)) {
    case platform::WaitResult::Signalled:
        return 0;
    case platform::WaitResult::TimedOut:
        return 1;
    default:
        return 2;
    }
}

bool CEvent::IsSet()
{
    CLockGuard guard(m_lock);
    return m_flag;
}

int WaitForEitherEvent(IEvent& first, IEvent& second, std::uint32_t milliseconds)
{
    switch (platform::WaitForEither(*first.GetHandle(), *second.GetHandle(), milliseconds)) {
    case platform::EitherResult::First:
        return 0;
    case platform::EitherResult::Second:
        return 1;
    default:
        return 2;
    }
}

} // namespace zelvoranGameSDK3rd::Thread
