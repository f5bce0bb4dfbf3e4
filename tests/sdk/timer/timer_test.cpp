#include "sdk/timer/timer.h"

#include "platform/clock.h"
#include "virtual_clock_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace Tm = zelvoranGameSDK3rd::Timer;

using TimerTest = VirtualClockFixture<5000>;

TEST_F(TimerTest, CountsFromZero)
{
    Tm::CTimer timer;
    EXPECT_EQ(timer.Get(), 0u);
    platform::AdvanceVirtualClock(123);
    EXPECT_EQ(timer.Get(), 123u);
    timer.Set(1000);
    EXPECT_EQ(timer.Get(), 1000u);
    platform::AdvanceVirtualClock(5);
    EXPECT_EQ(timer.Get(), 1005u);
    timer.Reset();
    EXPECT_EQ(timer.Get(), 0u);
}

TEST_F(TimerTest, PausesNestAndSkipThePausedSpan)
{
    Tm::CTimer timer;
    platform::AdvanceVirtualClock(10);
    timer.Pause();
    timer.Pause();
    platform::AdvanceVirtualClock(50);
    timer.Resume();
    EXPECT_EQ(timer.Get(), 10u); // still paused
    timer.Set(1000);
    platform::AdvanceVirtualClock(50);
    EXPECT_EQ(timer.Get(), 1000u);
    timer.Resume();
    EXPECT_EQ(timer.Get(), 1000u);
    platform::AdvanceVirtualClock(7);
    EXPECT_EQ(timer.Get(), 1007u);
}

TEST_F(TimerTest, ResetEndsEveryPause)
{
    Tm::CTimer timer;
    timer.Pause();
    platform::AdvanceVirtualClock(30);
    timer.Reset();
    platform::AdvanceVirtualClock(4);
    EXPECT_EQ(timer.Get(), 4u);
}

TEST_F(TimerTest, AnUnmatchedResumeLeavesTheTimerRunning)
{
    Tm::CTimer timer;
    timer.Resume();
    platform::AdvanceVirtualClock(20);
    EXPECT_EQ(timer.Get(), 20u);
    timer.Pause(); // one pause is still one pause
    platform::AdvanceVirtualClock(20);
    EXPECT_EQ(timer.Get(), 20u);
    timer.Resume();
    platform::AdvanceVirtualClock(1);
    EXPECT_EQ(timer.Get(), 21u);
}

TEST_F(TimerTest, DifferencesWrap)
{
    platform::UseVirtualClock(0xFFFFFFF0u);
    Tm::CTimer timer;
    platform::AdvanceVirtualClock(0x30);
    EXPECT_EQ(timer.Get(), 0x30u);
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
