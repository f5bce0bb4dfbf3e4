#include "sdk/timer/fps_timer.h"

#include "platform/clock.h"
#include "virtual_clock_fixture.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

namespace Tm = zelvoranGameSDK3rd::Timer;

// Frame pacing on the virtual clock: PaceFrame's sleep moves the clock by exactly the slot's rest.
class FPSTimerTest : public VirtualClockFixture<100000>
{
protected:
    // Paces one frame that took `work` ms; returns how far the clock moved in all.
    static std::uint32_t Frame(Tm::CFPSTimer& timer, std::uint32_t work = 0)
    {
        const std::uint32_t start = platform::GetMilliseconds();
        platform::AdvanceVirtualClock(work);
        timer.PaceFrame();
        return platform::GetMilliseconds() - start;
    }
};

TEST_F(FPSTimerTest, SlotsAt60AverageTheExactFrameLength)
{
    Tm::CFPSTimer timer;
    EXPECT_EQ(timer.GetFrameRate(), 60u);
    std::vector<std::uint32_t> slots;
    std::uint32_t total = 0;
    for (int i = 0; i < 60; ++i) {
        slots.push_back(Frame(timer));
        total += slots.back();
    }
    EXPECT_EQ((std::vector<std::uint32_t>(slots.begin(), slots.begin() + 9)),
              (std::vector<std::uint32_t>{16, 17, 16, 17, 17, 16, 17, 17, 16}));
    EXPECT_EQ(total, 999u);
    EXPECT_EQ(timer.GetFrameCount(), 60u);
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(timer.GetBusyTime(), 0u);
    // Over 600 frames the schedule stays within a millisecond of ten seconds.
    for (int i = 60; i < 600; ++i)
        total += Frame(timer);
    EXPECT_EQ(total, 9999u);
}

TEST_F(FPSTimerTest, SlotsAt120)
{
    Tm::CFPSTimer timer;
    timer.SetFrameRate(120);
    std::vector<std::uint32_t> slots;
    for (int i = 0; i < 7; ++i)
        slots.push_back(Frame(timer));
    EXPECT_EQ(slots, (std::vector<std::uint32_t>{8, 8, 8, 9, 8, 8, 9}));
}

TEST_F(FPSTimerTest, AnEarlyFrameSleepsTheRestAndRecordsItsWork)
{
    Tm::CFPSTimer timer;
    EXPECT_EQ(Frame(timer, 5), 16u); // 5 ms of work, 11 ms of sleep
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(timer.GetBusyTime(), 5u);
    Frame(timer, 3);
    EXPECT_EQ(timer.GetBusyTime(), 8u);
    timer.ResetBusyTime();
    EXPECT_EQ(timer.GetBusyTime(), 0u);
}

TEST_F(FPSTimerTest, SixtyMillisecondsLateSetsTheLateFlag)
{
    Tm::CFPSTimer timer;
    EXPECT_EQ(Frame(timer, 16 + 60), 76u); // no sleep
    EXPECT_TRUE(timer.IsLate());
    EXPECT_EQ(timer.GetBusyTime(), 0u); // late frames count no busy time
    // The published count of late frames changes once a second, at the next multiple of 60 frames.
    EXPECT_EQ(timer.GetLateFramesLastSecond(), 0u);
    while (timer.GetFrameCount() < 60)
        Frame(timer);
    EXPECT_EQ(timer.GetLateFramesLastSecond(), 0u);
    Frame(timer);
    EXPECT_EQ(timer.GetLateFramesLastSecond(), 1u);
}

TEST_F(FPSTimerTest, FortyMillisecondsLateCatchesUpWithoutTheFlag)
{
    Tm::CFPSTimer timer;
    EXPECT_EQ(Frame(timer, 16 + 40), 56u);
    EXPECT_FALSE(timer.IsLate());
    // 40 ms behind: the next slots (17, 16, 17) are spent catching up, then the schedule is back on time.
    EXPECT_EQ(Frame(timer), 0u);
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(Frame(timer), 0u);
    EXPECT_EQ(Frame(timer), 10u);
    EXPECT_EQ(Frame(timer), 17u); // the fifth slot, in full
    EXPECT_EQ(Frame(timer), 16u);
}

TEST_F(FPSTimerTest, ThreeHundredMillisecondsLateRestartsTheSchedule)
{
    Tm::CFPSTimer timer;
    EXPECT_EQ(Frame(timer, 16 + 300), 316u);
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(Frame(timer), 17u); // a full slot from now: the lateness is forgotten
    while (timer.GetFrameCount() < 61)
        Frame(timer);
    EXPECT_EQ(timer.GetLateFramesLastSecond(), 0u);
}

TEST_F(FPSTimerTest, MeasuredFrameRateAndIdleShare)
{
    Tm::CFPSTimer timer;
    for (int i = 0; i < 15; ++i)
        Frame(timer, 4);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 0u);
    EXPECT_EQ(timer.GetIdlePercent(), 0);
    Frame(timer, 4);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 60u);
    // The idle share reads the first sixteen busy slots; a frame's busy time goes one slot past its
    // frame time, so after 16 frames slot 0 is still empty: 100 - 60 * 60 / 160 = 78.
    EXPECT_EQ(timer.GetIdlePercent(), 78);
    // Once every slot is filled, 4 ms of each 16.67: 100 - 60 * 64 / 160 = 76 % idle.
    for (int i = 0; i < 40; ++i)
        Frame(timer, 4);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 60u);
    EXPECT_EQ(timer.GetIdlePercent(), 76);
}

TEST_F(FPSTimerTest, SetFrameRateRestartsTheMeasurement)
{
    Tm::CFPSTimer timer;
    for (int i = 0; i < 20; ++i)
        Frame(timer);
    timer.SetFrameRate(30);
    EXPECT_EQ(timer.GetFrameCount(), 0u);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 0u);
    EXPECT_EQ(Frame(timer), 33u); // 65536000 / 30 = 33.33 ms
    for (int i = 0; i < 15; ++i)
        Frame(timer);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 30u);
    timer.ResetFrameCount();
    EXPECT_EQ(timer.GetFrameCount(), 0u);
}

TEST_F(FPSTimerTest, RateZeroOnlyCounts)
{
    Tm::CFPSTimer timer;
    timer.SetFrameRate(0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Frame(timer, i % 2 == 0 ? 100 : 0), i % 2 == 0 ? 100u : 0u);
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(timer.GetFrameCount(), 20u);
    EXPECT_EQ(timer.GetBusyTime(), 0u);
    EXPECT_EQ(timer.GetIdlePercent(), 100);
}

} // namespace
