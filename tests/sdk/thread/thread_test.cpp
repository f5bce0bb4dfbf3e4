#include "sdk/thread/thread.h"

#include "platform/clock.h"
#include "sdk/thread/thread_manager.h"
#include "thread_test_support.h"

#include <atomic>

namespace {

using namespace threadtest;

TEST(Thread, StartReturnsOnceTheThreadIsRegistered)
{
    T::CEvent release;
    std::atomic<T::DWORD> inside{0};
    std::atomic<T::IThread*> current{nullptr};
    FunctionThread thread([&](FunctionThread& self) {
        inside = T::GetCurrentThreadId();
        current = T::CurrentThreadLocal().Get();
        WaitFor(release);
        (void)self;
    });
    const std::size_t before = T::CThreadManager::GetInstance()->GetRegisteredCount();
    ASSERT_EQ(thread.Start(), 0);
    const T::DWORD id = thread.GetThreadId();
    EXPECT_TRUE(thread.IsStarted());
    EXPECT_TRUE(thread.IsThreadValid());
    EXPECT_NE(id, T::kNoThread);
    EXPECT_NE(thread.GetThreadHandle(), nullptr);
    EXPECT_EQ(T::CThreadManager::GetInstance()->GetRegisteredCount(), before + 1);
    release.Set();
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(inside.load(), id);
    EXPECT_EQ(current.load(), &thread);
    EXPECT_EQ(thread.GetThreadId(), T::kNoThread);
    EXPECT_EQ(thread.GetThreadHandle(), nullptr);
    EXPECT_EQ(T::CThreadManager::GetInstance()->GetRegisteredCount(), before);
}

TEST(Thread, ABodyThatReturnsLeavesTheThreadInvalidAndUnregistered)
{
    T::CEvent returned;
    FunctionThread thread([&](FunctionThread&) { returned.Set(); });
    const std::size_t before = T::CThreadManager::GetInstance()->GetRegisteredCount();
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(WaitFor(returned));
    // The bookkeeping after the body ends: wait for the thread to leave the manager.
    while (T::CThreadManager::GetInstance()->GetRegisteredCount() != before)
        platform::SleepMilliseconds(1);
    EXPECT_FALSE(thread.IsThreadValid());
    EXPECT_TRUE(thread.IsStarted()); // stays until the next start
    EXPECT_NE(thread.GetThreadHandle(), nullptr);
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(thread.GetThreadHandle(), nullptr);
}

TEST(Thread, StopAndWaitOnANeverStartedObjectReturnsZero)
{
    FunctionThread thread;
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_FALSE(thread.IsThreadValid()); // it did request the stop
    EXPECT_FALSE(thread.IsStarted());
}

TEST(Thread, StopAndWaitFromTheThreadItselfReturnsTwo)
{
    std::atomic<int> result{-1};
    FunctionThread thread([&](FunctionThread& self) { result = self.StopAndWait(); });
    ASSERT_EQ(thread.Start(), 0);
    // The destructor joins the thread; the handle stayed open for it.
    while (result.load() == -1)
        platform::SleepMilliseconds(1);
    EXPECT_EQ(result.load(), 2);
    EXPECT_NE(thread.GetThreadHandle(), nullptr);
    EXPECT_EQ(thread.StopAndWait(), 0);
}

TEST(Thread, StopRequestCutsShortOnlyTheNextSleep)
{
    FunctionThread thread;
    thread.RequestStop();
    EXPECT_FALSE(thread.IsThreadValid());
    const std::uint32_t start = platform::GetRealMilliseconds();
    EXPECT_EQ(thread.InterruptibleSleep(20000), 1); // at once: the test would otherwise run 20 s
    EXPECT_LT(platform::GetRealMilliseconds() - start, 10000u);
    const std::uint32_t second = platform::GetRealMilliseconds();
    EXPECT_EQ(thread.InterruptibleSleep(20), 0); // the full time
    EXPECT_GE(platform::GetRealMilliseconds() - second, 19u);
    EXPECT_FALSE(thread.IsThreadValid()); // the flag stays
}

TEST(Thread, StopRequestWakesTheSleepingBody)
{
    std::atomic<int> slept{-1};
    T::CEvent sleeping;
    FunctionThread thread([&](FunctionThread& self) {
        sleeping.Set();
        slept = self.InterruptibleSleep(T::INFINITE); // a stop requested before the sleep ends it too
    });
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(WaitFor(sleeping));
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(slept.load(), 1);
}

TEST(Thread, InterruptIsRaisedOnce)
{
    FunctionThread thread;
    thread.Interrupt();
    EXPECT_TRUE(thread.IsInterrupted());
    EXPECT_TRUE(thread.IsInterrupted()); // reading leaves it
    try {
        thread.InterruptibleSleep(20000);
        FAIL() << "no exception";
    } catch (const Z::CInterruptedException& e) {
        EXPECT_TRUE(MessageIs(e, "InterruptedException例外が発生"));
    }
    EXPECT_FALSE(thread.IsInterrupted());
    EXPECT_EQ(thread.InterruptibleSleep(1), 0);

    thread.Interrupt();
    EXPECT_TRUE(thread.TestAndClearInterrupt());
    EXPECT_FALSE(thread.TestAndClearInterrupt());
}

TEST(Thread, InterruptWakesASleepingBody)
{
    T::CEvent sleeping, done;
    std::atomic<bool> caught{false};
    FunctionThread thread([&](FunctionThread& self) {
        sleeping.Set();
        try {
            self.InterruptibleSleep(T::INFINITE);
        } catch (const Z::CInterruptedException&) {
            caught = true;
        }
        done.Set();
    });
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(WaitFor(sleeping));
    thread.Interrupt();
    ASSERT_TRUE(WaitFor(done));
    EXPECT_TRUE(caught.load());
}

TEST(Thread, OwnMonitorWaitEndsByNotifyStopOrInterrupt)
{
    std::atomic<int> stage{0};
    std::atomic<int> notified{-1}, stopped{-1};
    std::atomic<bool> interrupted{false};
    FunctionThread thread([&](FunctionThread& self) {
        T::CLockGuard guard(self.GetMonitor());
        stage = 1;
        notified = self.Wait(T::INFINITE);
        stage = 2;
        stopped = self.Wait(T::INFINITE);
        stage = 3;
        try {
            self.Wait(T::INFINITE);
        } catch (const Z::CInterruptedException&) {
            interrupted = true;
        }
    });
    auto awaitWaiter = [&] {
        for (;;) {
            {
                T::CLockGuard guard(thread.GetMonitor());
                if (thread.GetMonitor().GetWaiterCount() == 1) return;
            }
            platform::SleepMilliseconds(1);
        }
    };
    ASSERT_EQ(thread.Start(), 0);
    awaitWaiter();
    {
        T::CLockGuard guard(thread.GetMonitor());
        thread.Notify();
    }
    while (stage.load() < 2)
        platform::SleepMilliseconds(1);
    awaitWaiter();
    thread.RequestStop();
    while (stage.load() < 3)
        platform::SleepMilliseconds(1);
    awaitWaiter();
    thread.Interrupt();
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(notified.load(), 0);
    EXPECT_EQ(stopped.load(), 0);
    EXPECT_TRUE(interrupted.load());
}

TEST(Thread, WaitRaisesAtOnceWhenAlreadyInterrupted)
{
    FunctionThread thread;
    thread.Interrupt();
    T::CLockGuard guard(thread.GetMonitor());
    EXPECT_THROW(thread.Wait(20000), Z::CInterruptedException);
    EXPECT_EQ(thread.Wait(0), 1);
}

class CountingCallback : public Z::function_callback_v
{
public:
    CountingCallback(std::atomic<int>* runs, T::CEvent* gate) : m_runs(runs), m_gate(gate) {}
    void run() override
    {
        if (m_gate != nullptr) WaitFor(*m_gate);
        ++*m_runs;
    }

private:
    std::atomic<int>* m_runs;
    T::CEvent* m_gate;
};

TEST(Thread, CallbackRunsInsteadOfTheBody)
{
    std::atomic<int> bodyRuns{0}, callbackRuns{0};
    T::CEvent gate;
    FunctionThread thread([&](FunctionThread&) { ++bodyRuns; });
    {
        T::IThread::Callback callback;
        callback.add(new CountingCallback(&callbackRuns, &gate));
        // The callback waits for the gate, so the caller's reference is gone before the thread drops its own.
        ASSERT_EQ(thread.StartCallback(callback), 0);
    }
    gate.Set();
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(callbackRuns.load(), 1);
    EXPECT_EQ(bodyRuns.load(), 0);
    // The thread released its callback: the next run is the body again.
    ASSERT_EQ(thread.Start(), 0);
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(bodyRuns.load(), 1);
}

TEST(Thread, RunInCurrentThreadRunsTheBodyHere)
{
    T::DWORD inside = 0;
    bool started = false;
    const std::size_t before = T::CThreadManager::GetInstance()->GetRegisteredCount();
    std::size_t during = 0;
    FunctionThread thread([&](FunctionThread& self) {
        inside = self.GetThreadId();
        started = self.IsStarted();
        during = T::CThreadManager::GetInstance()->GetRegisteredCount();
    });
    EXPECT_EQ(thread.RunInCurrentThread(), 0);
    EXPECT_EQ(inside, T::GetCurrentThreadId());
    EXPECT_TRUE(started);
    EXPECT_EQ(during, before + 1);
    EXPECT_EQ(T::CThreadManager::GetInstance()->GetRegisteredCount(), before);
    EXPECT_FALSE(thread.IsStarted());
    EXPECT_EQ(thread.GetThreadId(), T::kNoThread);
    EXPECT_TRUE(thread.IsThreadValid()); // nothing requested its stop
}

TEST(Thread, StartingARunningObjectEndsThePreviousRunFirst)
{
    std::atomic<int> runs{0};
    FunctionThread thread([&](FunctionThread& self) {
        ++runs;
        while (self.IsThreadValid())
            self.InterruptibleSleep(T::INFINITE);
    });
    ASSERT_EQ(thread.Start(), 0);
    const T::DWORD first = thread.GetThreadId();
    ASSERT_EQ(thread.Start(), 0); // joins the first run, whose end needs the start lock
    EXPECT_NE(thread.GetThreadId(), first);
    EXPECT_TRUE(thread.IsThreadValid());
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(runs.load(), 2);
}

TEST(Thread, DeletingARunningObjectStopsAndJoinsIt)
{
    int deleted = 0;
    std::atomic<bool> ended{false};
    auto* thread = new FunctionThread(
        [&](FunctionThread& self) {
            while (self.IsThreadValid())
                self.InterruptibleSleep(T::INFINITE);
            ended = true;
        },
        &deleted);
    ASSERT_EQ(thread->Start(), 0);
    delete thread;
    EXPECT_TRUE(ended.load());
    EXPECT_EQ(deleted, 1);
}

} // namespace
