#include "sdk/timer/interval_timer.h"

#include "platform/host/clock.h"
#include "virtual_clock_fixture.h"

#include <gtest/gtest.h>
#include <memory>
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

    void Add(int id, std::uint32_t first, std::uint32_t interval, int count, int tag)
    {
        Tm::IIntervalTimer::Callback callback;
        callback.add(new Z::function_callback_vm1<Log, int>(&log, &Log::Record, tag));
        timer->Add(id, first, interval, count, callback);
    }
    // Moves the clock, updates, and tells how many calls have run in all.
    std::size_t After(std::uint32_t ms)
    {
        platform::AdvanceVirtualClock(ms);
        timer->Update();
        return log.calls.size();
    }

    Log log;
    std::unique_ptr<Tm::CIntervalTimer> timer = std::make_unique<Tm::CIntervalTimer>();
};

TEST_F(IntervalTimerTest, OneCallRunsOnceAndIsErased)
{
    Add(1, 10, 10, 1, 1);
    EXPECT_EQ(After(0), 0u);
    EXPECT_EQ(After(10), 1u);
    EXPECT_EQ(timer->GetEntryCount(), 0u);
    EXPECT_EQ(After(100), 1u);
}

TEST_F(IntervalTimerTest, UnlimitedCallsRunEveryIntervalAndCatchUpLimitedOnesStopAfterTheLast)
{
    Add(1, 0, 20, 0, 1);
    EXPECT_EQ(After(0), 1u);
    EXPECT_EQ(After(19), 1u);
    EXPECT_EQ(After(1), 2u);
    EXPECT_EQ(After(65), 5u); // three intervals behind: three runs at once
    EXPECT_EQ(timer->GetEntryCount(), 1u);

    timer->Remove(1);
    Add(2, 5, 5, 3, 2);
    EXPECT_EQ(After(100), 8u);
    EXPECT_EQ(timer->GetEntryCount(), 0u);
}

TEST_F(IntervalTimerTest, RemovedEntriesNeverRunAgainAndTheRestRunInTheOrderAdded)
{
    Add(1, 10, 10, 0, 1);
    Add(2, 10, 10, 0, 2);
    Add(3, 10, 10, 0, 3);
    Add(1, 30, 10, 0, 4);
    timer->Remove(1);
    After(20);
    EXPECT_EQ(log.calls, (std::vector<int>{2, 2, 3, 3})); // in the order added, each catching up whole
    EXPECT_EQ(timer->GetEntryCount(), 2u);
}

TEST_F(IntervalTimerTest, DueTimesWrapWithTheClock)
{
    platform::UseVirtualClock(0xFFFFFFF0u);
    timer = std::make_unique<Tm::CIntervalTimer>();
    Add(1, 0x20, 10, 0, 1);
    EXPECT_EQ(After(0x1F), 0u);
    EXPECT_EQ(After(1), 1u);
}

TEST_F(IntervalTimerTest, AZeroIntervalRunsOncePerUpdate)
{
    Add(1, 0, 0, 0, 1);
    After(0); // would never return if the entry stayed due after each run
    EXPECT_EQ(After(0), 2u);
}

TEST_F(IntervalTimerTest, TheTimeSourceCanBeReplaced)
{
    Z::smart_ptr<Tm::ITimer> source;
    source.add(new Tm::CTimer);
    timer->SetTimeSource(source);
    Add(1, 10, 10, 0, 1);
    source->Pause(); // a paused source stops the entries
    EXPECT_EQ(After(100), 0u);
    source->Set(10);
    EXPECT_EQ(After(0), 1u);
}

} // namespace
