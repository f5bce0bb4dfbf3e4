#include "sdk/timer/interval_timer.h"

#include "platform/clock.h"
#include "virtual_clock_fixture.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

namespace Tm = zelvoranGameSDK3rd::Timer;
namespace Z = zelvoranGameSDK3rd::ZTL;

class IntervalTimerTest : public VirtualClockFixture<0>
{
protected:
    struct Log
    {
        std::vector<int> calls;
        void Record(int id) { calls.push_back(id); }
    };

    Tm::IIntervalTimer::Callback Recorder(int id)
    {
        Tm::IIntervalTimer::Callback callback;
        callback.add(new Z::function_callback_vm1<Log, int>(&log, &Log::Record, id));
        return callback;
    }

    Log log;
};

TEST_F(IntervalTimerTest, OneCallRunsOnceAndIsErased)
{
    Tm::CIntervalTimer timer;
    timer.Add(1, 10, 10, 1, Recorder(1));
    timer.Update();
    EXPECT_TRUE(log.calls.empty());
    platform::AdvanceVirtualClock(10);
    timer.Update();
    EXPECT_EQ(log.calls, std::vector<int>{1});
    EXPECT_EQ(timer.GetEntryCount(), 0u);
    platform::AdvanceVirtualClock(100);
    timer.Update();
    EXPECT_EQ(log.calls.size(), 1u);
}

TEST_F(IntervalTimerTest, UnlimitedCallsRunEveryIntervalAndCatchUp)
{
    Tm::CIntervalTimer timer;
    timer.Add(1, 0, 20, 0, Recorder(1));
    timer.Update();
    EXPECT_EQ(log.calls.size(), 1u);
    platform::AdvanceVirtualClock(19);
    timer.Update();
    EXPECT_EQ(log.calls.size(), 1u);
    platform::AdvanceVirtualClock(1);
    timer.Update();
    EXPECT_EQ(log.calls.size(), 2u);
    platform::AdvanceVirtualClock(65); // three intervals behind: three runs at once
    timer.Update();
    EXPECT_EQ(log.calls.size(), 5u);
    EXPECT_EQ(timer.GetEntryCount(), 1u);
}

TEST_F(IntervalTimerTest, LimitedCallsStopAfterTheLast)
{
    Tm::CIntervalTimer timer;
    timer.Add(1, 5, 5, 3, Recorder(1));
    platform::AdvanceVirtualClock(100);
    timer.Update();
    EXPECT_EQ(log.calls.size(), 3u);
    EXPECT_EQ(timer.GetEntryCount(), 0u);
}

TEST_F(IntervalTimerTest, RemovedEntriesNeverRunAgain)
{
    Tm::CIntervalTimer timer;
    timer.Add(1, 10, 10, 0, Recorder(1));
    timer.Add(2, 10, 10, 0, Recorder(2));
    timer.Add(1, 30, 10, 0, Recorder(3));
    timer.Remove(1);
    platform::AdvanceVirtualClock(50);
    timer.Update();
    EXPECT_EQ(log.calls, (std::vector<int>{2, 2, 2, 2, 2}));
    EXPECT_EQ(timer.GetEntryCount(), 1u);
}

TEST_F(IntervalTimerTest, EntriesRunInTheOrderAdded)
{
    Tm::CIntervalTimer timer;
    timer.Add(7, 0, 10, 0, Recorder(1));
    timer.Add(7, 0, 10, 0, Recorder(2));
    timer.Update();
    EXPECT_EQ(log.calls, (std::vector<int>{1, 2}));
}

TEST_F(IntervalTimerTest, DueTimesWrapWithTheClock)
{
    platform::UseVirtualClock(0xFFFFFFF0u);
    Tm::CIntervalTimer timer;
    timer.Add(1, 0x20, 10, 0, Recorder(1));
    platform::AdvanceVirtualClock(0x1F);
    timer.Update();
    EXPECT_TRUE(log.calls.empty());
    platform::AdvanceVirtualClock(1);
    timer.Update();
    EXPECT_EQ(log.calls.size(), 1u);
}

TEST_F(IntervalTimerTest, AZeroIntervalRunsOncePerUpdate)
{
    Tm::CIntervalTimer timer;
    timer.Add(1, 0, 0, 0, Recorder(1));
    timer.Update(); // would never return if the entry stayed due after each run
    timer.Update();
    EXPECT_EQ(log.calls.size(), 2u);
}

TEST_F(IntervalTimerTest, TheTimeSourceCanBeReplaced)
{
    Tm::CIntervalTimer timer;
    Z::smart_ptr<Tm::ITimer> source;
    source.add(new Tm::CTimer);
    timer.SetTimeSource(source);
    timer.Add(1, 10, 10, 0, Recorder(1));
    source->Pause(); // a paused source stops the entries
    platform::AdvanceVirtualClock(100);
    timer.Update();
    EXPECT_TRUE(log.calls.empty());
    source->Set(10);
    timer.Update();
    EXPECT_EQ(log.calls.size(), 1u);
}

} // namespace
