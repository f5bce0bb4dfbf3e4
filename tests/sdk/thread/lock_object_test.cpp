#include "sdk/thread/lock_object.h"

#include "platform/clock.h"
#include "thread_test_support.h"

#include <atomic>
#include <thread>

namespace {

using namespace threadtest;

// Waits (with the monitor left in between) until the monitor has `count` waiters.
void AwaitWaiters(T::CLockObject& monitor, std::size_t count)
{
    for (;;) {
        {
            T::CLockGuard guard(monitor);
            if (monitor.GetWaiterCount() == count) return;
        }
        platform::SleepMilliseconds(1);
    }
}

TEST(LockObject, EveryOperationNeedsTheMonitor)
{
    T::CLockObject monitor;
    EXPECT_THROW(monitor.Wait(0), Z::CIllegalMonitorStateException);
    EXPECT_THROW(monitor.Notify(), Z::CIllegalMonitorStateException);
    EXPECT_THROW(monitor.NotifyAll(), Z::CIllegalMonitorStateException);
    EXPECT_THROW(monitor.WakeThread(1), Z::CIllegalMonitorStateException);
    EXPECT_THROW(monitor.RemoveWaiters(1), Z::CIllegalMonitorStateException);
    try {
        monitor.Wait(0);
    } catch (const Z::CException& e) {
        EXPECT_TRUE(MessageIs(e, "CIllegalMonitorStateException例外が発生"));
    }
}

TEST(LockObject, TimedOutWaitReturnsOneWithTheMonitorHeldAgain)
{
    T::CLockObject monitor;
    T::CLockGuard guard(monitor);
    const std::uint32_t start = platform::GetRealMilliseconds();
    EXPECT_EQ(monitor.Wait(10), 1);
    EXPECT_GE(platform::GetRealMilliseconds() - start, 9u);
    EXPECT_TRUE(monitor.IsLockedByCurrentThread());
    EXPECT_EQ(monitor.GetWaiterCount(), 0u);
}

TEST(LockObject, NotifyWakesTheNewestWaiterAndNotifyAllTheRest)
{
    T::CLockObject monitor;
    std::atomic<int> firstWoke{0}, secondWoke{0};
    auto waiter = [&](std::atomic<int>& woke) {
        T::CLockGuard guard(monitor);
        monitor.Wait(T::INFINITE);
        woke = 1;
    };
    std::thread first([&] { waiter(firstWoke); });
    AwaitWaiters(monitor, 1);
    std::thread second([&] { waiter(secondWoke); });
    AwaitWaiters(monitor, 2);

    {
        T::CLockGuard guard(monitor);
        monitor.Notify();
        monitor.Notify(); // the newest waiter has not removed itself yet: it is woken twice, nobody else
    }
    second.join();
    EXPECT_EQ(secondWoke.load(), 1);
    AwaitWaiters(monitor, 1);
    EXPECT_EQ(firstWoke.load(), 0);

    {
        T::CLockGuard guard(monitor);
        monitor.NotifyAll();
    }
    first.join();
    EXPECT_EQ(firstWoke.load(), 1);
}

TEST(LockObject, NotifyAllWakesEveryWaiter)
{
    T::CLockObject monitor;
    std::atomic<int> woke{0};
    auto waiter = [&] {
        T::CLockGuard guard(monitor);
        if (monitor.Wait(T::INFINITE) == 0) ++woke;
    };
    std::thread a(waiter), b(waiter);
    AwaitWaiters(monitor, 2);
    {
        T::CLockGuard guard(monitor);
        monitor.NotifyAll();
    }
    a.join();
    b.join();
    EXPECT_EQ(woke.load(), 2);
}

TEST(LockObject, WakeThreadAndRemoveWaitersSelectByThreadId)
{
    T::CLockObject monitor;
    std::atomic<T::DWORD> id{0};
    std::atomic<int> result{-1};
    std::thread waiter([&] {
        id = T::GetCurrentThreadId();
        T::CLockGuard guard(monitor);
        result = monitor.Wait(T::INFINITE);
    });
    AwaitWaiters(monitor, 1);
    {
        T::CLockGuard guard(monitor);
        monitor.WakeThread(id + 1000); // nobody
        monitor.RemoveWaiters(id + 1000);
        EXPECT_EQ(monitor.GetWaiterCount(), 1u);
        monitor.WakeThread(id);
    }
    waiter.join();
    EXPECT_EQ(result.load(), 0);
}

TEST(LockObject, InterruptOfAThreadObjectEndsItsWaitOnAnyMonitor)
{
    T::CLockObject monitor;
    T::CEvent done;
    std::atomic<bool> interrupted{false}, heldAfter{false};
    FunctionThread thread([&](FunctionThread&) {
        T::CLockGuard guard(monitor);
        try {
            monitor.Wait(T::INFINITE);
        } catch (const Z::CInterruptedException& e) {
            interrupted = MessageIs(e, "InterruptedException例外が発生");
            heldAfter = monitor.IsLockedByCurrentThread();
        }
        done.Set();
    });
    ASSERT_EQ(thread.Start(), 0);
    AwaitWaiters(monitor, 1);
    thread.Interrupt();
    ASSERT_TRUE(WaitFor(done));
    EXPECT_TRUE(interrupted.load());
    EXPECT_TRUE(heldAfter.load());
    EXPECT_FALSE(thread.IsInterrupted()); // the wait consumed the interrupt
    T::CLockGuard guard(monitor);
    EXPECT_EQ(monitor.GetWaiterCount(), 0u); // the waiter removed itself
}

} // namespace
