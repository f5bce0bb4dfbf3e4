#include "sdk/thread/critical_section.h"

#include "thread_test_support.h"

#include <thread>

namespace {

using namespace threadtest;

constexpr const char* kLeaveMisuse = "CCriticalSectionをEnterしていないのにLeaveしている";

TEST(CriticalSection, CountsEntriesOfItsHolderAndTheGuardLeavesOnEveryExit)
{
    T::CCriticalSection cs;
    EXPECT_FALSE(cs.IsLockedByCurrentThread());
    cs.Enter();
    cs.Enter();
    cs.Leave();
    EXPECT_TRUE(cs.IsLockedByCurrentThread());
    cs.Leave();
    EXPECT_FALSE(cs.IsLockedByCurrentThread());
    try {
        T::CLockGuard guard(cs);
        EXPECT_TRUE(cs.IsLockedByCurrentThread());
        throw 1;
    } catch (int) {
    }
    EXPECT_FALSE(cs.IsLockedByCurrentThread());
}

TEST(CriticalSection, LeaveWithoutHoldingRaisesAndKeepsTheSectionUsable)
{
    T::CCriticalSection cs;
    ExpectRaises<Z::CRuntimeException>([&] { cs.Leave(); }, kLeaveMisuse);
    cs.Enter();
    bool sawHeld = true;
    std::thread other([&] {
        sawHeld = cs.IsLockedByCurrentThread();
        ExpectRaises<Z::CRuntimeException>([&] { cs.Leave(); }, kLeaveMisuse);
    });
    other.join();
    EXPECT_FALSE(sawHeld);
    EXPECT_TRUE(cs.IsLockedByCurrentThread()); // the holder's entry is untouched
    cs.Leave();
}

TEST(CriticalSection, ExcludesOtherThreads)
{
    T::CCriticalSection cs;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 2000; ++i) {
            T::CLockGuard guard(cs);
            T::CLockGuard again(cs); // recursive
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 4000);
}

#if !defined(__SANITIZE_THREAD__)
// The destructor raises the runtime exception, which ends the program from inside a destructor.
TEST(CriticalSectionDeathTest, DestroyingAnEnteredSectionEndsTheProgram)
{
    EXPECT_DEATH(
        {
            auto* cs = new T::CCriticalSection;
            cs->Enter();
            delete cs;
        },
        "terminate called after throwing an instance of '.*CRuntimeException'");
}
#endif

} // namespace
