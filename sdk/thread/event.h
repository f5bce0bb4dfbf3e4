#pragma once
// An auto-reset event that also remembers whether it was set: a wait lets one waiter through and resets
// the event itself, but the remembered flag stays until Reset.

#include "platform/host/sync.h"
#include "sdk/thread/critical_section.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Thread {

constexpr std::uint32_t INFINITE = 0xFFFFFFFFu;

class IEvent
{
public:
    virtual void Set() = 0;
    virtual void Reset() = 0;
    // 0 signalled, 1 time-out, 2 failure; INFINITE waits without limit.
    virtual int Wait(std::uint32_t milliseconds) = 0;
    virtual platform::Event* GetHandle() = 0;
    virtual bool IsSet() = 0;
    virtual ~IEvent() = default;
};

class CEvent : public IEvent
{
public:
    CEvent() = default;
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void Set() override;
    void Reset() override;
    int Wait(std::uint32_t milliseconds) override;
    platform::Event* GetHandle() override { return &m_handle; }
    bool IsSet() override;

private:
    platform::Event m_handle;
    bool m_flag = false;
    CCriticalSection m_lock; // keeps the flag and the event's state changing together
};

// Waits until either event is signalled, consuming only the one reported. 0 the first, 1 the second,
// 2 time-out.
int WaitForEitherEvent(IEvent& first, IEvent& second, std::uint32_t milliseconds);

} // namespace zelvoranGameSDK3rd::Thread
