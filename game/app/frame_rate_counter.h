#pragma once
// Counts the drawn frames in one-second windows of the millisecond clock: the rate measured is the
// number of frames drawn in the last full second. Each window starts where the last one ended.

#include "platform/host/clock.h"

#include <cstdint>

class CFrameRateCounter
{
public:
    void Start()
    {
        m_deadline = 0;
        m_count = 0;
        m_measured = 0;
    }
    // Once per drawn frame; the first one opens the first window.
    void CountFrame()
    {
        constexpr std::uint32_t kWindow = 1000;
        if (m_deadline == 0) m_deadline = platform::GetMilliseconds() + kWindow;
        ++m_count;
        // The clock wraps: compare by difference.
        if (static_cast<std::int32_t>(platform::GetMilliseconds() - m_deadline) >= 0) {
            m_deadline += kWindow;
            m_measured = m_count;
            m_count = 0;
        }
    }
    std::int32_t GetFrameRate() const { return m_measured; }

private:
    std::uint32_t m_deadline = 0; // 0: not started
    std::int32_t m_count = 0;
    std::int32_t m_measured = 0;
};
