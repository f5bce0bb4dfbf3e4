// The SDK's event, lock and mutex tests cover the common paths; these cover what only the platform
// layer shows: a blocking wait for either event, and the lock file seen from another process.
#include "platform/host/sync.h"
#include "platform/host/thread.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(PlatformEvent, EitherWakesWhenTheSecondIsSetLaterAndConsumesOnlyIt)
{
    platform::Event a, b;
    platform::ThreadHandle* h =
        platform::CreateThread([](void* p) { static_cast<platform::Event*>(p)->Set(); }, &b, 0, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(platform::WaitForEither(a, b, platform::kWaitForever), platform::EitherResult::Second);
    platform::JoinThread(h);
    platform::CloseThreadHandle(h);
    EXPECT_EQ(b.Wait(0), platform::WaitResult::TimedOut);

    a.Set();
    b.Set();
    b.Set(); // a second set before the wait does not count twice
    EXPECT_EQ(platform::WaitForEither(a, b, 1000), platform::EitherResult::First);
    EXPECT_EQ(a.Wait(0), platform::WaitResult::TimedOut);
    EXPECT_EQ(b.Wait(0), platform::WaitResult::Signalled);
    EXPECT_EQ(b.Wait(0), platform::WaitResult::TimedOut);
}

std::string UniqueName(const char* tag)
{
    return std::string("C:?test?") + tag + "?" + std::to_string(getpid()) + ".exe";
}

TEST(PlatformInstanceLock, OtherProcessesSeeTheLock)
{
    const std::string name = UniqueName("process");
    platform::InstanceLock lock;
    ASSERT_EQ(lock.Open(name), platform::InstanceLockResult::Acquired);
    EXPECT_TRUE(lock.IsHeld());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::InstanceLock other;
        _exit(other.Open(name) == platform::InstanceLockResult::HeldElsewhere && !other.IsHeld() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Released cleanly, the lock leaves no file behind.
    lock.Close();
    struct stat st;
    EXPECT_NE(stat(platform::InstanceLock::LockFilePath(name).c_str(), &st), 0);
}

TEST(PlatformInstanceLock, NamesMapToDistinctFilesAndAnUnusableLockFileFails)
{
    EXPECT_NE(platform::InstanceLock::LockFilePath("a\\b"), platform::InstanceLock::LockFilePath("a/b"));
    EXPECT_EQ(platform::InstanceLock::LockFilePath("x"), platform::InstanceLock::LockFilePath("x"));

    // A folder where the lock file should be cannot be locked.
    const std::string name = UniqueName("folder");
    const std::string path = platform::InstanceLock::LockFilePath(name);
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    platform::InstanceLock lock;
    EXPECT_EQ(lock.Open(name), platform::InstanceLockResult::Failed);
    EXPECT_FALSE(lock.IsOpen());
    rmdir(path.c_str());

    // Nor a link there, which would make or lock a file elsewhere.
    const std::string linked = UniqueName("link");
    const std::string linkPath = platform::InstanceLock::LockFilePath(linked);
    const std::string target = linkPath + ".target";
    ASSERT_EQ(symlink(target.c_str(), linkPath.c_str()), 0);
    EXPECT_EQ(lock.Open(linked), platform::InstanceLockResult::Failed);
    EXPECT_NE(access(target.c_str(), F_OK), 0) << "the link's target was made";
    unlink(linkPath.c_str());
    unlink(target.c_str());
}

} // namespace
