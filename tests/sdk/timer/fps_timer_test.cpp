#include "sdk/timer/fps_timer.h"

#include "platform/host/clock.h"
#include "virtual_clock_fixture.h"

#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace {

namespace Tm = zelvoranGameSDK3rd::Timer;
using Slots = std::vector<std::uint32_t>;

// Frame pacing on the virtual clock: PaceFrame's sleep moves the clock by exactly the slot's rest.
class FPSTimerTest : public VirtualClockFixture<100000>
{
protected:
    // Paces one frame that took `work` ms; returns how far the clock moved in all.
    std::uint32_t Frame(std::uint32_t work = 0)
    {
        const std::uint32_t start = platform::GetMilliseconds();
        platform::AdvanceVirtualClock(work);
        timer.PaceFrame();
        return platform::GetMilliseconds() - start;
    }
    Slots Frames(int count, std::uint32_t work = 0)
    {
        Slots slots;
        for (int i = 0; i < count; ++i)
            slots.push_back(Frame(work));
        return slots;
    }
    static std::uint32_t Sum(const Slots& s) { return std::accumulate(s.begin(), s.end(), 0u); }

    Tm::CFPSTimer timer;
};

TEST_F(FPSTimerTest, SlotsAt60AverageTheExactFrameLengthAndAt120AlternateEightAndNine)
{
    EXPECT_EQ(timer.GetFrameRate(), 60u);
    const Slots slots = Frames(60);
    EXPECT_EQ(Slots(slots.begin(), slots.begin() + 9), (Slots{16, 17, 16, 17, 17, 16, 17, 17, 16}));
    EXPECT_EQ(Sum(slots), 999u);
    EXPECT_EQ(timer.GetFrameCount(), 60u);
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(timer.GetBusyTime(), 0u);
    // Over 600 frames the schedule stays within a millisecond of ten seconds.
    EXPECT_EQ(Sum(slots) + Sum(Frames(540)), 9999u);

    timer.SetFrameRate(120);
    EXPECT_EQ(Frames(7), (Slots{8, 8, 8, 9, 8, 8, 9}));
}

TEST_F(FPSTimerTest, AnEarlyFrameSleepsTheRestAndRecordsItsWork)
{
    EXPECT_EQ(Frame(5), 16u); // 5 ms of work, 11 ms of sleep
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(timer.GetBusyTime(), 5u);
    Frame(3);
    EXPECT_EQ(timer.GetBusyTime(), 8u);
    timer.ResetBusyTime();
    EXPECT_EQ(timer.GetBusyTime(), 0u);
}

TEST_F(FPSTimerTest, SixtyMillisecondsLateSetsTheLateFlag)
{
    EXPECT_EQ(Frame(16 + 60), 76u); // no sleep
    EXPECT_TRUE(timer.IsLate());
    EXPECT_EQ(timer.GetBusyTime(), 0u); // late frames count no busy time
    // The published count of late frames changes once a second, at the next multiple of 60 frames.
    EXPECT_EQ(timer.GetLateFramesLastSecond(), 0u);
    Frames(59);
    EXPECT_EQ(timer.GetLateFramesLastSecond(), 0u);
    Frame();
    EXPECT_EQ(timer.GetLateFramesLastSecond(), 1u);
}

TEST_F(FPSTimerTest, FortyMillisecondsLateCatchesUpWithoutTheFlag)
{
    EXPECT_EQ(Frame(16 + 40), 56u);
    EXPECT_FALSE(timer.IsLate());
    // 40 ms behind: the next slots (17, 16, 17) are spent catching up, then the schedule is back on time;
    // the fifth slot runs in full.
    EXPECT_EQ(Frames(5), (Slots{0, 0, 10, 17, 16}));
    EXPECT_FALSE(timer.IsLate());
}

TEST_F(FPSTimerTest, ThreeHundredMillisecondsLateRestartsTheSchedule)
{
    EXPECT_EQ(Frame(16 + 300), 316u);
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(Frame(), 17u); // a full slot from now: the lateness is forgotten
    Frames(59);
    EXPECT_EQ(timer.GetLateFramesLastSecond(), 0u);
}

TEST_F(FPSTimerTest, MeasuredFrameRateAndIdleShare)
{
    Frames(15, 4);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 0u);
    EXPECT_EQ(timer.GetIdlePercent(), 0);
    Frame(4);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 60u);
    // The idle share reads the first sixteen busy slots; a frame's busy time goes one slot past its
    // frame time, so after 16 frames slot 0 is still empty: 100 - 60 * 60 / 160 = 78.
    EXPECT_EQ(timer.GetIdlePercent(), 78);
    // Once every slot is filled, 4 ms of each 16.67: 100 - 60 * 64 / 160 = 76 % idle.
    Frames(40, 4);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 60u);
    EXPECT_EQ(timer.GetIdlePercent(), 76);
}

TEST_F(FPSTimerTest, SetFrameRateRestartsTheMeasurement)
{
    Frames(20);
    timer.SetFrameRate(30);
    EXPECT_EQ(timer.GetFrameCount(), 0u);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 0u);
    EXPECT_EQ(Frame(), 33u); // 65536000 / 30 = 33.33 ms
    Frames(15);
    EXPECT_EQ(timer.GetMeasuredFrameRate(), 30u);
    timer.ResetFrameCount();
    EXPECT_EQ(timer.GetFrameCount(), 0u);
}

TEST_F(FPSTimerTest, RateZeroOnlyCounts)
{
    timer.SetFrameRate(0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Frame(i % 2 == 0 ? 100 : 0), i % 2 == 0 ? 100u : 0u);
    EXPECT_FALSE(timer.IsLate());
    EXPECT_EQ(timer.GetFrameCount(), 20u);
    EXPECT_EQ(timer.GetBusyTime(), 0u);
    EXPECT_EQ(timer.GetIdlePercent(), 100);
}

} // namespace
