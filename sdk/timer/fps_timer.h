#pragma once
// Paces a frame loop to a frame rate. The schedule is kept in 16.16 fixed-point milliseconds, so the
// whole-millisecond frame slots average the exact frame length; a late loop catches up, lateness of a
// quarter second or more is forgotten, and a late flag tells the loop to skip drawing.

#include "sdk/timer/timer.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Timer {

class IFPSTimer
{
public:
    virtual void SetFrameRate(std::uint32_t fps) = 0;
    virtual std::uint32_t GetFrameRate() = 0;
    virtual std::uint32_t GetMeasuredFrameRate() = 0;
    virtual int GetIdlePercent() = 0;
    virtual std::uint32_t GetLateFramesLastSecond() = 0;
    virtual void ResetClock() = 0;
    virtual void PaceFrame() = 0;
    virtual bool IsLate() = 0;
    virtual void ResetBusyTime() = 0;
    virtual std::uint32_t GetBusyTime() = 0;
    virtual void ResetFrameCount() = 0;
    virtual std::uint32_t GetFrameCount() = 0;
    virtual ~IFPSTimer() = default;
};

class CFPSTimer : public IFPSTimer
{
public:
    static constexpr std::uint32_t kRingSize = 32;

    // 60 frames a second.
    CFPSTimer();

    // Restarts the schedule and the measurement; 0 turns pacing off.
    void SetFrameRate(std::uint32_t fps) override;
    std::uint32_t GetFrameRate() override { return m_frameRate; }
    // The frame rate over the last 15 or 31 frames; 0 before 16 frames.
    std::uint32_t GetMeasuredFrameRate() override;
    // The share of frame time spent sleeping; 0 before 16 frames.
    int GetIdlePercent() override;
    std::uint32_t GetLateFramesLastSecond() override { return m_lateLastSecond; }
    void ResetClock() override;
    // Once per frame: sleeps away the rest of the frame's slot, or notes that the frame is late.
    void PaceFrame() override;
    bool IsLate() override { return m_late; }
    void ResetBusyTime() override { m_busyTotal = 0; }
    // The milliseconds the early frames took, summed.
    std::uint32_t GetBusyTime() override { return m_busyTotal; }
    void ResetFrameCount() override { m_frameCount = 0; }
    std::uint32_t GetFrameCount() override { return m_frameCount; }

private:
    std::uint32_t m_frameRate = 60;
    std::uint32_t m_interval = 65536000u / 60; // 16.16 fixed-point milliseconds per frame
    std::uint32_t m_scheduleBase = 0;
    std::uint32_t m_fraction = 0;
    std::uint32_t m_busyTotal = 0;
    std::uint32_t m_frameTimes[kRingSize] = {};
    std::uint32_t m_busyTimes[kRingSize] = {};
    std::uint32_t m_sampleCount = 0;
    std::uint32_t m_frameCount = 0;
    bool m_late = false;
    std::uint32_t m_lateLastSecond = 0;
    std::uint32_t m_lateCounting = 0;
    CTimer m_timer;
};

} // namespace zelvoranGameSDK3rd::Timer
