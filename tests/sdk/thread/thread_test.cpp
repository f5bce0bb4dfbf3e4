#include "sdk/thread/thread.h"

#include "sdk/thread/thread_manager.h"
#include "thread_test_support.h"

#include <atomic>

namespace {

using namespace threadtest;

std::size_t Registered()
{
    return T::CThreadManager::GetInstance()->GetRegisteredCount();
}

// A body that sleeps until its stop is requested.
void SleepUntilStopped(FunctionThread& self)
{
    while (self.IsThreadValid())
        self.InterruptibleSleep(T::INFINITE);
}

TEST(Thread, StartReturnsOnceTheThreadIsRegisteredAndStopAndWaitUndoesIt)
{
    T::CEvent release;
    std::atomic<T::DWORD> inside{0};
    std::atomic<T::IThread*> current{nullptr};
    FunctionThread thread([&](FunctionThread&) {
        inside = T::GetCurrentThreadId();
        current = T::CurrentThreadLocal().Get();
        WaitFor(release);
    });
    const std::size_t before = Registered();
    ASSERT_EQ(thread.Start(), 0);
    const T::DWORD id = thread.GetThreadId();
    EXPECT_TRUE(thread.IsStarted() && thread.IsThreadValid());
    EXPECT_NE(id, T::kNoThread);
    EXPECT_EQ(Registered(), before + 1);
    release.Set();
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(inside.load(), id);
    EXPECT_EQ(current.load(), &thread);
    EXPECT_EQ(thread.GetThreadId(), T::kNoThread);
    EXPECT_EQ(thread.GetThreadHandle(), nullptr);
    EXPECT_EQ(Registered(), before);
}

TEST(Thread, ABodyThatReturnsLeavesTheThreadInvalidAndUnregistered)
{
    FunctionThread thread([&](FunctionThread&) {});
    const std::size_t before = Registered();
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return Registered() == before; }, "the thread to leave the manager"));
    EXPECT_FALSE(thread.IsThreadValid());
    EXPECT_TRUE(thread.IsStarted()); // stays until the next start
    EXPECT_NE(thread.GetThreadHandle(), nullptr);
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(thread.GetThreadHandle(), nullptr);
}

TEST(Thread, StopAndWaitFromTheThreadItselfReturnsTwo)
{
    std::atomic<int> result{-1};
    FunctionThread thread([&](FunctionThread& self) { result = self.StopAndWait(); });
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return result.load() != -1; }, "the result"));
    EXPECT_EQ(result.load(), 2);
    EXPECT_NE(thread.GetThreadHandle(), nullptr); // left open for the joining caller
    EXPECT_EQ(thread.StopAndWait(), 0);
}

TEST(Thread, StopRequestCutsShortOnlyTheNextSleep)
{
    FunctionThread thread;
    EXPECT_EQ(thread.StopAndWait(), 0); // never started: nothing to wait for, but the stop is requested
    EXPECT_FALSE(thread.IsThreadValid());
    EXPECT_FALSE(thread.IsStarted());
    EXPECT_EQ(thread.InterruptibleSleep(20000), 1); // at once: the test would otherwise run 20 s
    const std::uint32_t second = platform::GetRealMilliseconds();
    EXPECT_EQ(thread.InterruptibleSleep(20), 0); // the full time
    EXPECT_GE(platform::GetRealMilliseconds() - second, 19u);
    EXPECT_FALSE(thread.IsThreadValid()); // the flag stays
}

TEST(Thread, StopRequestAndInterruptWakeASleepingBody)
{
    std::atomic<int> slept{-1};
    std::atomic<bool> caught{false};
    T::CEvent sleeping;
    FunctionThread stopped([&](FunctionThread& self) {
        sleeping.Set();
        slept = self.InterruptibleSleep(T::INFINITE); // a stop requested before the sleep ends it too
    });
    ASSERT_EQ(stopped.Start(), 0);
    ASSERT_TRUE(WaitFor(sleeping));
    EXPECT_EQ(stopped.StopAndWait(), 0);
    EXPECT_EQ(slept.load(), 1);

    FunctionThread interrupted([&](FunctionThread& self) {
        sleeping.Set();
        try {
            self.InterruptibleSleep(T::INFINITE);
        } catch (const Z::CInterruptedException&) {
            caught = true;
        }
    });
    ASSERT_EQ(interrupted.Start(), 0);
    ASSERT_TRUE(WaitFor(sleeping));
    interrupted.Interrupt();
    ASSERT_TRUE(WaitUntil([&] { return caught.load(); }, "the interrupt"));
    EXPECT_EQ(interrupted.StopAndWait(), 0);
}

TEST(Thread, InterruptIsRaisedOnce)
{
    FunctionThread thread;
    thread.Interrupt();
    EXPECT_TRUE(thread.IsInterrupted());
    EXPECT_TRUE(thread.IsInterrupted()); // reading leaves it
    ExpectRaises<Z::CInterruptedException>([&] { thread.InterruptibleSleep(20000); },
                                           "InterruptedException例外が発生");
    EXPECT_FALSE(thread.IsInterrupted());
    EXPECT_EQ(thread.InterruptibleSleep(1), 0);

    thread.Interrupt();
    EXPECT_TRUE(thread.TestAndClearInterrupt());
    EXPECT_FALSE(thread.TestAndClearInterrupt());

    thread.Interrupt(); // a wait on the own monitor raises at once too
    T::CLockGuard guard(thread.GetMonitor());
    EXPECT_THROW(thread.Wait(20000), Z::CInterruptedException);
    EXPECT_EQ(thread.Wait(0), 1);
}

TEST(Thread, OwnMonitorWaitEndsByNotifyStopOrInterrupt)
{
    std::atomic<int> stage{0};
    std::atomic<int> notified{-1}, stopped{-1};
    std::atomic<bool> interrupted{false};
    FunctionThread thread([&](FunctionThread& self) {
        T::CLockGuard guard(self.GetMonitor());
        notified = self.Wait(T::INFINITE);
        stage = 1;
        stopped = self.Wait(T::INFINITE);
        stage = 2;
        try {
            self.Wait(T::INFINITE);
        } catch (const Z::CInterruptedException&) {
            interrupted = true;
        }
    });
    ASSERT_EQ(thread.Start(), 0);
    ASSERT_TRUE(AwaitWaiters(thread.GetMonitor(), 1));
    {
        T::CLockGuard guard(thread.GetMonitor());
        thread.Notify();
    }
    ASSERT_TRUE(WaitUntil([&] { return stage.load() == 1; }, "stage 1"));
    ASSERT_TRUE(AwaitWaiters(thread.GetMonitor(), 1));
    thread.RequestStop();
    ASSERT_TRUE(WaitUntil([&] { return stage.load() == 2; }, "stage 2"));
    ASSERT_TRUE(AwaitWaiters(thread.GetMonitor(), 1));
    thread.Interrupt();
    EXPECT_EQ(thread.StopAndWait(), 0);
    EXPECT_EQ(notified.load(), 0);
    EXPECT_EQ(stopped.load(), 0);
    EXPECT_TRUE(interrupted.load());
}

class CountingCallback : public Z::function_callback_v
{
public:
    CountingCallback(std::atomic<int>* runs, T::CEvent* gate) : m_runs(runs), m_gate(gate) {}
    void run() override
    {
        WaitFor(*m_gate);
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
    const std::size_t before = Registered();
    std::size_t during = 0;
    FunctionThread thread([&](FunctionThread& self) {
        inside = self.GetThreadId();
        started = self.IsStarted();
        during = Registered();
    });
    EXPECT_EQ(thread.RunInCurrentThread(), 0);
    EXPECT_EQ(inside, T::GetCurrentThreadId());
    EXPECT_TRUE(started);
    EXPECT_EQ(during, before + 1);
    EXPECT_EQ(Registered(), before);
    EXPECT_FALSE(thread.IsStarted());
    EXPECT_EQ(thread.GetThreadId(), T::kNoThread);
    EXPECT_TRUE(thread.IsThreadValid()); // nothing requested its stop
}

TEST(Thread, StartingARunningObjectEndsThePreviousRunFirst)
{
    std::atomic<int> runs{0};
    FunctionThread thread([&](FunctionThread& self) {
        ++runs;
        SleepUntilStopped(self);
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
            SleepUntilStopped(self);
            ended = true;
        },
        &deleted);
    ASSERT_EQ(thread->Start(), 0);
    delete thread;
    EXPECT_TRUE(ended.load());
    EXPECT_EQ(deleted, 1);
}

} // namespace
