#include "sdk/timer/interval_timer.h"

namespace zelvoranGameSDK3rd::Timer {

CIntervalTimer::CIntervalTimer()
{
    m_timeSource.add(new CTimer);
}

void CIntervalTimer::Add(std::uint32_t key, std::uint32_t firstDelay, std::uint32_t interval,
                         std::uint32_t calls, const Callback& callback)
{
    ZTL::smart_ptr<CTimerInfo> info;
    info.add(new CTimerInfo);
    info->key = key;
    info->nextDue = m_timeSource->Get() + firstDelay;
    info->interval = interval;
    info->callsLeft = calls;
    info->callback = callback;
    m_entries.push_back(info);
}

void CIntervalTimer::Remove(std::uint32_t key)
{
    for (auto& info : m_entries)
        if (info->key == key) info->removed = true;
}

void CIntervalTimer::Update()
{
    const std::uint32_t t = m_timeSource->Get();
    // Entries added by a callback are appended and looked at in this pass too.
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        ZTL::smart_ptr<CTimerInfo> info = *it;
        bool remove = info->removed;
        while (static_cast<std::int32_t>(t - info->nextDue) >= 0) {
            if (remove) break;
            info->callback->run();
            if (info->callsLeft != 0 && --info->callsLeft == 0) {
                remove = true;
                continue;
            }
            info->nextDue += info->interval;
            // With no interval the entry would be due forever: once per Update is all it gets.
            if (info->interval == 0) break;
        }
        if (remove)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

void CIntervalTimer::SetTimeSource(const ZTL::smart_ptr<ITimer>& timer)
{
    m_timeSource = timer;
}

} // namespace zelvoranGameSDK3rd::Timer
