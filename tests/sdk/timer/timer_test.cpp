#include "sdk/timer/timer.h"

#include "platform/host/clock.h"
#include "virtual_clock_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace Tm = zelvoranGameSDK3rd::Timer;

using TimerTest = VirtualClockFixture<5000>;

// Moves the clock and reads the timer.
std::uint32_t After(Tm::CTimer& timer, std::uint32_t ms)
{
    platform::AdvanceVirtualClock(ms);
    return timer.Get();
}

TEST_F(TimerTest, CountsFromZeroOrTheValueSet)
{
    Tm::CTimer timer;
    EXPECT_EQ(timer.Get(), 0u);
    EXPECT_EQ(After(timer, 123), 123u);
    timer.Set(1000);
    EXPECT_EQ(After(timer, 5), 1005u);
    timer.Reset();
    EXPECT_EQ(timer.Get(), 0u);
}

TEST_F(TimerTest, PausesNestAndSkipThePausedSpanAndResetEndsThem)
{
    Tm::CTimer timer;
    platform::AdvanceVirtualClock(10);
    timer.Pause();
    timer.Pause();
    platform::AdvanceVirtualClock(50);
    timer.Resume();
    EXPECT_EQ(timer.Get(), 10u); // still paused
    timer.Set(1000);
    EXPECT_EQ(After(timer, 50), 1000u);
    timer.Resume();
    EXPECT_EQ(After(timer, 7), 1007u);

    timer.Pause();
    platform::AdvanceVirtualClock(30);
    timer.Reset();
    EXPECT_EQ(After(timer, 4), 4u);
}

TEST_F(TimerTest, AnUnmatchedResumeLeavesTheTimerRunning)
{
    Tm::CTimer timer;
    timer.Resume();
    EXPECT_EQ(After(timer, 20), 20u);
    timer.Pause(); // one pause is still one pause
    EXPECT_EQ(After(timer, 20), 20u);
    timer.Resume();
    EXPECT_EQ(After(timer, 1), 21u);
}

TEST_F(TimerTest, DifferencesWrap)
{
    platform::UseVirtualClock(0xFFFFFFF0u);
    Tm::CTimer timer;
    EXPECT_EQ(After(timer, 0x30), 0x30u);
}

TEST_F(TimerTest, TheTimeSourceLivesWhileAnyTimerDoes)
{
    EXPECT_EQ(Tm::CTimeGetTimeWrapper::Current(), nullptr);
    {
        Tm::CTimer a;
        Tm::CTimeGetTimeWrapper* wrapper = Tm::CTimeGetTimeWrapper::Current();
        ASSERT_NE(wrapper, nullptr);
        EXPECT_TRUE(wrapper->UsesMultimediaTimer());
        EXPECT_LT(wrapper->GetMinimumPeriod(), 10u);
        {
            Tm::CTimer b;
            EXPECT_EQ(Tm::CTimeGetTimeWrapper::Current(), wrapper);
        }
        EXPECT_EQ(Tm::CTimeGetTimeWrapper::Current(), wrapper);
        EXPECT_EQ(wrapper->Now(), platform::GetMilliseconds());
    }
    EXPECT_EQ(Tm::CTimeGetTimeWrapper::Current(), nullptr);
}

} // namespace
