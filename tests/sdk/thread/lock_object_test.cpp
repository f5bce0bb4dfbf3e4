#include "sdk/thread/lock_object.h"

#include "thread_test_support.h"

#include <atomic>
#include <thread>

namespace {

using namespace threadtest;

void NotifyUnderLock(T::CLockObject& monitor, bool all)
{
    T::CLockGuard guard(monitor);
    all ? monitor.NotifyAll() : monitor.Notify();
}

TEST(LockObject, EveryOperationNeedsTheMonitor)
{
    T::CLockObject monitor;
    ExpectRaises<Z::CIllegalMonitorStateException>([&] { monitor.Wait(0); },
                                                   "CIllegalMonitorStateException例外が発生");
    EXPECT_THROW(monitor.Notify(), Z::CIllegalMonitorStateException);
    EXPECT_THROW(monitor.NotifyAll(), Z::CIllegalMonitorStateException);
    EXPECT_THROW(monitor.WakeThread(1), Z::CIllegalMonitorStateException);
    EXPECT_THROW(monitor.RemoveWaiters(1), Z::CIllegalMonitorStateException);
}

TEST(LockObject, TimedOutWaitReturnsOneWithTheMonitorHeldAgain)
{
    T::CLockObject monitor;
    T::CLockGuard guard(monitor);
    EXPECT_EQ(monitor.Wait(10), 1);
    EXPECT_TRUE(monitor.IsLockedByCurrentThread());
    EXPECT_EQ(monitor.GetWaiterCount(), 0u);
}

TEST(LockObject, NotifyWakesTheNewestWaiterAndNotifyAllTheRest)
{
    T::CLockObject monitor;
    std::atomic<int> firstWoke{0}, secondWoke{0};
    auto waiter = [&](std::atomic<int>& woke) {
        T::CLockGuard guard(monitor);
        if (monitor.Wait(T::INFINITE) == 0) woke = 1;
    };
    std::thread first([&] { waiter(firstWoke); });
    ASSERT_TRUE(AwaitWaiters(monitor, 1));
    std::thread second([&] { waiter(secondWoke); });
    ASSERT_TRUE(AwaitWaiters(monitor, 2));

    {
        T::CLockGuard guard(monitor);
        monitor.Notify();
        monitor.Notify(); // the newest waiter has not removed itself yet: it is woken twice, nobody else
    }
    second.join();
    EXPECT_EQ(secondWoke.load(), 1);
    ASSERT_TRUE(AwaitWaiters(monitor, 1));
    EXPECT_EQ(firstWoke.load(), 0);

    std::thread third([&] { waiter(secondWoke); });
    ASSERT_TRUE(AwaitWaiters(monitor, 2));
    secondWoke = 0;
    NotifyUnderLock(monitor, true); // every waiter
    first.join();
    third.join();
    EXPECT_EQ(firstWoke.load(), 1);
    EXPECT_EQ(secondWoke.load(), 1);
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
    ASSERT_TRUE(AwaitWaiters(monitor, 1));
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
    std::atomic<bool> heldAfter{false}, done{false};
    FunctionThread thread([&](FunctionThread&) {
        T::CLockGuard guard(monitor);
        ExpectRaises<Z::CInterruptedException>([&] { monitor.Wait(T::INFINITE); },
                                               "InterruptedException例外が発生");
        heldAfter = monitor.IsLockedByCurrentThread();
        done = true;
    });
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(AwaitWaiters(monitor, 1));
    thread.Interrupt();
    ASSERT_TRUE(WaitUntil([&] { return done.load(); }, "the waiting thread"));
    EXPECT_TRUE(heldAfter.load());
    EXPECT_FALSE(thread.IsInterrupted()); // the wait consumed the interrupt
    T::CLockGuard guard(monitor);
    EXPECT_EQ(monitor.GetWaiterCount(), 0u); // the waiter removed itself
}

} // namespace
