#pragma once
// Calls registered callbacks at intervals, driven by its owner calling Update regularly.

#include "sdk/timer/timer.h"
#include "sdk/ztl/callback.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>
#include <list>

namespace zelvoranGameSDK3rd::Timer {

class IIntervalTimer
{
public:
    using Callback = ZTL::smart_ptr<ZTL::function_callback>;

    virtual void Add(std::uint32_t key, std::uint32_t firstDelay, std::uint32_t interval, std::uint32_t calls,
                     const Callback& callback) = 0;
    virtual void Remove(std::uint32_t key) = 0;
    virtual void Update() = 0;
    virtual void SetTimeSource(const ZTL::smart_ptr<ITimer>& timer) = 0;
    virtual ~IIntervalTimer() = default;
};

class CIntervalTimer : public IIntervalTimer
{
public:
    struct CTimerInfo
    {
        std::uint32_t key = 0;
        std::uint32_t nextDue = 0;
        std::uint32_t interval = 0;
        std::uint32_t callsLeft = 0; // 0 = without limit
        Callback callback;
        bool removed = false;
    };

    // The time source is a new CTimer.
    CIntervalTimer();

    // The callback first runs `firstDelay` ms from now, then every `interval` ms, `calls` times in all
    // (0 = without limit).
    void Add(std::uint32_t key, std::uint32_t firstDelay, std::uint32_t interval, std::uint32_t calls,
             const Callback& callback) override;
    // Every entry with the key stops at once and goes at the next Update, without running again.
    void Remove(std::uint32_t key) override;
    // Runs every due callback, an entry that fell several intervals behind that many times.
    void Update() override;
    void SetTimeSource(const ZTL::smart_ptr<ITimer>& timer) override;

    std::size_t GetEntryCount() const { return m_entries.size(); }

private:
    std::list<ZTL::smart_ptr<CTimerInfo>> m_entries;
    ZTL::smart_ptr<ITimer> m_timeSource;
};

} // namespace zelvoranGameSDK3rd::Timer
