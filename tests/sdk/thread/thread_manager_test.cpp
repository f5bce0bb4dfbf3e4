#include "sdk/thread/thread_manager.h"

#include "thread_test_support.h"

#include <atomic>

namespace {

using namespace threadtest;

// Each test gets a fresh manager, because StopAll works only once per manager.
class ThreadManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { T::CThreadManager::DestroyInstance(); }
    void TearDown() override
    {
        T::CThreadManager::GetInstance()->WaitForAll();
        T::CThreadManager::DestroyInstance();
    }
    T::CThreadManager* Manager() { return T::CThreadManager::GetInstance(); }
    void ExpectCounts(std::size_t registered, std::size_t owned)
    {
        EXPECT_EQ(Manager()->GetRegisteredCount(), registered);
        EXPECT_EQ(Manager()->GetOwnedCount(), owned);
    }
};

TEST_F(ThreadManagerTest, WaitForAllDeletesOwnedThreadsOnceTheyEnd)
{
    Manager()->WaitForAll(); // no threads: at once
    int deleted = 0;
    T::CEvent gate;
    ASSERT_EQ(T::StartOwnedThread(new FunctionThread([&](FunctionThread&) { WaitFor(gate); }, &deleted)), 0);
    ExpectCounts(1, 1);
    gate.Set();
    Manager()->WaitForAll();
    EXPECT_EQ(deleted, 1);
    ExpectCounts(0, 0);
}

TEST_F(ThreadManagerTest, AThreadStartedDuringTheWaitExtendsIt)
{
    int deletedOuter = 0, deletedInner = 0;
    std::atomic<bool> innerRan{false};
    auto* outer = new FunctionThread(
        [&](FunctionThread&) {
            T::StartOwnedThread(new FunctionThread(
                [&](FunctionThread&) {
                    // Outlive the outer thread: wait until this one is the only one registered.
                    WaitUntil([&] { return Manager()->GetRegisteredCount() == 1; }, "one registered thread");
                    innerRan = true;
                },
                &deletedInner));
        },
        &deletedOuter);
    ASSERT_EQ(T::StartOwnedThread(outer), 0);
    Manager()->WaitForAll();
    EXPECT_TRUE(innerRan.load());
    EXPECT_EQ(deletedOuter, 1);
    EXPECT_EQ(deletedInner, 1);
}

TEST_F(ThreadManagerTest, StopAllStopsEveryThreadAndWorksOnce)
{
    int deleted = 0;
    std::atomic<int> stopped{0};
    auto body = [&](FunctionThread& self) {
        while (self.IsThreadValid())
            self.InterruptibleSleep(T::INFINITE);
        ++stopped;
    };
    FunctionThread plain(body);
    ASSERT_EQ(plain.Start(), 0);
    ASSERT_EQ(T::StartOwnedThread(new FunctionThread(body, &deleted)), 0);
    EXPECT_TRUE(Manager()->StopAll());
    EXPECT_EQ(stopped.load(), 2);
    EXPECT_EQ(deleted, 1); // swept while stopping
    EXPECT_EQ(Manager()->GetRegisteredCount(), 0u);
    EXPECT_FALSE(Manager()->StopAll());
    EXPECT_EQ(plain.StopAndWait(), 0);
}

TEST_F(ThreadManagerTest, StopAllFromTheLastThreadDoesNotWaitForItself)
{
    std::atomic<int> result{-1};
    int deleted = 0;
    ASSERT_EQ(T::StartOwnedThread(
                  new FunctionThread([&](FunctionThread&) { result = Manager()->StopAll(); }, &deleted)),
              0);
    Manager()->WaitForAll();
    EXPECT_EQ(result.load(), 1);
    EXPECT_EQ(deleted, 1);
}

TEST_F(ThreadManagerTest, RemoveForgetsOneRegistrationAtATime)
{
    FunctionThread thread;
    Manager()->Add(&thread);
    Manager()->Add(&thread);
    Manager()->Remove(&thread);
    EXPECT_EQ(Manager()->GetRegisteredCount(), 1u);
    Manager()->Remove(&thread);
    Manager()->Remove(&thread); // absent: nothing
    EXPECT_EQ(Manager()->GetRegisteredCount(), 0u);
}

// A thread object whose start fails, as when the system cannot create a thread.
class UnstartableThread : public FunctionThread
{
public:
    explicit UnstartableThread(int* deleted) : FunctionThread({}, deleted) {}
    int Start() override { return -1; }
};

TEST_F(ThreadManagerTest, AnOwnedThreadThatFailsToStartDoesNotHoldUpWaitForAll)
{
    int deleted = 0;
    EXPECT_EQ(T::StartOwnedThread(new UnstartableThread(&deleted)), -1);
    Manager()->WaitForAll(); // would wait forever for a thread that never ran
    EXPECT_EQ(deleted, 1);
}

} // namespace
