#include "sdk/timer/fps_timer.h"

#include "platform/host/clock.h"

namespace zelvoranGameSDK3rd::Timer {

namespace {

// Lateness of this much or more is forgotten rather than caught up.
constexpr std::uint32_t kForgetLateness = 250;

} // namespace

CFPSTimer::CFPSTimer()
{
    ResetClock();
    ResetBusyTime();
}

void CFPSTimer::SetFrameRate(std::uint32_t fps)
{
    ResetClock();
    ResetBusyTime();
    m_frameCount = 0;
    m_sampleCount = 0;
    m_frameRate = fps;
    if (fps != 0) {
        m_interval = 65536000u / fps;
        m_fraction = 0;
    }
}

void CFPSTimer::ResetClock()
{
    m_scheduleBase = m_timer.Get();
    m_late = false;
    m_lateLastSecond = 0;
    m_lateCounting = 0;
}

void CFPSTimer::PaceFrame()
{
    const std::uint32_t t = m_timer.Get();
    if (m_frameRate != 0 && m_frameCount % m_frameRate == 0) {
        m_lateLastSecond = m_lateCounting;
        m_lateCounting = 0;
    }

    m_frameTimes[m_sampleCount & (kRingSize - 1)] = t;
    if (++m_sampleCount == 2 * kRingSize) m_sampleCount = kRingSize;
    ++m_frameCount;

    std::uint32_t& busy = m_busyTimes[m_sampleCount & (kRingSize - 1)];
    if (m_frameRate == 0) {
        busy = 0;
        return;
    }

    const std::uint32_t sum = (m_fraction & 0xFFFF) + m_interval;
    m_fraction = sum;
    const std::uint32_t wait = sum >> 16;
    const std::uint32_t elapsed = t - m_scheduleBase;
    if (elapsed < wait) {
        m_busyTotal += elapsed;
        busy = elapsed;
        m_late = false;
        platform::SleepMilliseconds(wait - elapsed);
        m_scheduleBase += wait;
        return;
    }

    std::uint32_t over = elapsed - wait;
    if (over >= kForgetLateness) over = 0; // start the schedule again from now
    m_late = over >= 3 * wait;
    if (m_late) ++m_lateCounting;
    m_scheduleBase = t - over; // the next slots are shorter until the schedule is caught up
    busy = 0;
}

std::uint32_t CFPSTimer::GetMeasuredFrameRate()
{
    const std::uint32_t n = m_sampleCount;
    if (n < 16) return 0;
    std::uint32_t span, frames;
    if (n < kRingSize) {
        span = m_frameTimes[n - 1] - m_frameTimes[n - 16];
        frames = 15;
    } else {
        span = m_frameTimes[(n - 1) & (kRingSize - 1)] - m_frameTimes[n & (kRingSize - 1)];
        frames = 31;
    }
    if (span == 0) return 0;
    return (frames * 1000 + span / 2) / span;
}

int CFPSTimer::GetIdlePercent()
{
    if (m_sampleCount < 16) return 0;
    std::uint32_t busy = 0;
    for (int i = 0; i < 16; ++i)
        busy += m_busyTimes[i];
    return static_cast<int>(100u - m_frameRate * busy / 160u);
}

} // namespace zelvoranGameSDK3rd::Timer
