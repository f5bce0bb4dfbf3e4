#pragma once
// A millisecond stopwatch that can be paused. All times are unsigned 32-bit milliseconds whose
// differences wrap.

#include <cstdint>

namespace zelvoranGameSDK3rd::Timer {

// The process's time source while any CTimer exists: the platform's 1 ms monotonic clock, which is
// always fine enough to use as the multimedia timer.
class CTimeGetTimeWrapper
{
public:
    CTimeGetTimeWrapper();
    ~CTimeGetTimeWrapper();
    CTimeGetTimeWrapper(const CTimeGetTimeWrapper&) = delete;
    CTimeGetTimeWrapper& operator=(const CTimeGetTimeWrapper&) = delete;

    std::uint32_t Now() const;
    bool UsesMultimediaTimer() const { return m_useMultimediaTimer; }
    std::uint32_t GetMinimumPeriod() const { return m_periodMin; }

    // The live wrapper, or null when no CTimer exists.
    static CTimeGetTimeWrapper* Current();

private:
    bool m_useMultimediaTimer = false;
    std::uint32_t m_periodMin = 1;
    std::uint32_t m_periodMax = 1;
};

class ITimer
{
public:
    virtual void Reset() = 0;
    virtual std::uint32_t Get() = 0;
    virtual void Set(std::uint32_t milliseconds) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual ~ITimer() = default;
};

class CTimer : public ITimer
{
public:
    // Starts at 0, running.
    CTimer();
    ~CTimer() override;
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    // Back to 0, running, every pause forgotten.
    void Reset() override;
    // The milliseconds since the origin, without the paused spans.
    std::uint32_t Get() override;
    // Makes Get read `milliseconds` now.
    void Set(std::uint32_t milliseconds) override;
    // Pauses nest: only the outermost Resume restarts the clock.
    void Pause() override;
    // A Resume without a Pause does nothing.
    void Resume() override;

private:
    std::uint32_t Now() const;

    std::uint32_t m_origin = 0;
    std::uint32_t m_pauseTime = 0;
    std::int32_t m_pauseCount = 0;
};

} // namespace zelvoranGameSDK3rd::Timer
