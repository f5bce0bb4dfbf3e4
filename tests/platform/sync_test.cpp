#include "platform/clock.h"
#include "platform/sync.h"
#include "platform/thread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(PlatformEvent, AutoResetsAfterOneWait)
{
    platform::Event e;
    EXPECT_EQ(e.Wait(0), platform::WaitResult::TimedOut);
    e.Set();
    e.Set(); // a second set before the wait does not count twice
    EXPECT_EQ(e.Wait(0), platform::WaitResult::Signalled);
    EXPECT_EQ(e.Wait(0), platform::WaitResult::TimedOut);
    e.Set();
    e.Reset();
    EXPECT_EQ(e.Wait(0), platform::WaitResult::TimedOut);
}

TEST(PlatformEvent, TimedWaitRunsItsTime)
{
    platform::Event e;
    const std::uint32_t start = platform::GetRealMilliseconds();
    EXPECT_EQ(e.Wait(15), platform::WaitResult::TimedOut);
    EXPECT_GE(platform::GetRealMilliseconds() - start, 15u);
}

struct SetLater
{
    platform::Event* event;
    platform::Event* started;
};

void SetAfterStart(void* p)
{
    auto* s = static_cast<SetLater*>(p);
    s->started->Set();
    s->event->Set();
}

TEST(PlatformEvent, WakesAWaiterInAnotherThread)
{
    platform::Event e, started;
    SetLater ctx{&e, &started};
    platform::ThreadHandle* h = platform::CreateThread(&SetAfterStart, &ctx, 0, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(e.Wait(platform::kWaitForever), platform::WaitResult::Signalled);
    EXPECT_EQ(started.Wait(5000), platform::WaitResult::Signalled);
    platform::JoinThread(h);
    platform::CloseThreadHandle(h);
}

TEST(PlatformEvent, EitherConsumesOnlyTheOneReported)
{
    platform::Event a, b;
    EXPECT_EQ(platform::WaitForEither(a, b, 0), platform::EitherResult::TimedOut);
    b.Set();
    EXPECT_EQ(platform::WaitForEither(a, b, 0), platform::EitherResult::Second);
    EXPECT_EQ(b.Wait(0), platform::WaitResult::TimedOut);

    a.Set();
    b.Set();
    EXPECT_EQ(platform::WaitForEither(a, b, 1000), platform::EitherResult::First);
    EXPECT_EQ(a.Wait(0), platform::WaitResult::TimedOut);
    EXPECT_EQ(b.Wait(0), platform::WaitResult::Signalled);
}

TEST(PlatformEvent, EitherWakesWhenTheSecondIsSetLater)
{
    platform::Event a, b, started;
    SetLater ctx{&b, &started};
    platform::ThreadHandle* h = platform::CreateThread(&SetAfterStart, &ctx, 0, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(platform::WaitForEither(a, b, platform::kWaitForever), platform::EitherResult::Second);
    platform::JoinThread(h);
    platform::CloseThreadHandle(h);
    EXPECT_EQ(a.Wait(0), platform::WaitResult::TimedOut);
}

TEST(PlatformRecursiveLock, CanBeTakenAgainByItsHolder)
{
    platform::RecursiveLock lock;
    lock.Lock();
    EXPECT_TRUE(lock.TryLock());
    lock.Unlock();
    lock.Unlock();
}

std::string UniqueName(const char* tag)
{
    return std::string("C:?test?") + tag + "?" + std::to_string(getpid()) + ".exe";
}

TEST(PlatformInstanceLock, SecondHolderIsRefusedUntilTheFirstCloses)
{
    const std::string name = UniqueName("instance");
    platform::InstanceLock first, second;
    EXPECT_EQ(first.Open(name), platform::InstanceLockResult::Acquired);
    EXPECT_TRUE(first.IsHeld());
    EXPECT_EQ(second.Open(name), platform::InstanceLockResult::HeldElsewhere);
    EXPECT_TRUE(second.IsOpen());
    EXPECT_FALSE(second.IsHeld());
    first.Close();
    second.Lock(); // free now: does not block
    EXPECT_TRUE(second.IsHeld());
    EXPECT_EQ(first.Open(name), platform::InstanceLockResult::HeldElsewhere);
    second.Close();
    EXPECT_EQ(first.Open(name), platform::InstanceLockResult::Acquired);
    first.Close();
    unlink(platform::InstanceLock::LockFilePath(name).c_str());
}

TEST(PlatformInstanceLock, OtherProcessesSeeTheLock)
{
    const std::string name = UniqueName("process");
    platform::InstanceLock lock;
    ASSERT_EQ(lock.Open(name), platform::InstanceLockResult::Acquired);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::InstanceLock other;
        _exit(other.Open(name) == platform::InstanceLockResult::HeldElsewhere ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    lock.Close();
    unlink(platform::InstanceLock::LockFilePath(name).c_str());
}

TEST(PlatformInstanceLock, NamesMapToDistinctFilesAndEmptyNameIsPrivate)
{
    EXPECT_NE(platform::InstanceLock::LockFilePath("a\\b"), platform::InstanceLock::LockFilePath("a/b"));
    EXPECT_EQ(platform::InstanceLock::LockFilePath("x"), platform::InstanceLock::LockFilePath("x"));
    platform::InstanceLock a, b;
    EXPECT_EQ(a.Open(""), platform::InstanceLockResult::Acquired);
    EXPECT_EQ(b.Open(""), platform::InstanceLockResult::Acquired);
}

TEST(PlatformInstanceLock, UnusableLockFileFails)
{
    // A folder where the lock file should be cannot be locked.
    const std::string name = UniqueName("folder");
    const std::string path = platform::InstanceLock::LockFilePath(name);
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    platform::InstanceLock lock;
    EXPECT_EQ(lock.Open(name), platform::InstanceLockResult::Failed);
    EXPECT_FALSE(lock.IsOpen());
    rmdir(path.c_str());
}

} // namespace
