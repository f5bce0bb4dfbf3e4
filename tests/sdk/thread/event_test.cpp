#include "sdk/thread/event.h"
#include "sdk/thread/mutex.h"

#include "thread_test_support.h"

#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace threadtest;

TEST(Event, AutoResetWaitsConsumeTheSignalButNotTheFlag)
{
    T::CEvent e;
    EXPECT_FALSE(e.IsSet());
    EXPECT_EQ(e.Wait(0), 1);
    e.Set();
    EXPECT_EQ(e.Wait(0), 0);
    EXPECT_TRUE(e.IsSet());  // the wait consumed the signal, not the flag
    EXPECT_EQ(e.Wait(0), 1); // auto-reset
    e.Reset();
    EXPECT_FALSE(e.IsSet());

    int result = -1;
    std::thread waiter([&] { result = e.Wait(T::INFINITE); });
    e.Set();
    waiter.join();
    EXPECT_EQ(result, 0);
}

TEST(Event, WaitForEitherReportsAndConsumesOne)
{
    T::CEvent a, b;
    EXPECT_EQ(T::WaitForEitherEvent(a, b, 0), 2);
    a.Set();
    b.Set();
    EXPECT_EQ(T::WaitForEitherEvent(a, b, 0), 0);
    EXPECT_EQ(T::WaitForEitherEvent(a, b, 0), 1);
    EXPECT_EQ(T::WaitForEitherEvent(a, b, 0), 2);
}

TEST(Mutex, SecondOpenOfANameReportsItExistsAndAnEmptyNameIsAlwaysNew)
{
    const std::string name = "C:?games?mutex" + std::to_string(getpid()) + "?marovellin.exe";
    T::CMutex first, second;
    EXPECT_EQ(first.Open(name.c_str()), 0);
    EXPECT_EQ(second.Open(name.c_str()), 1);
    EXPECT_TRUE(second.IsOpen());
    first.Close();
    second.Lock(); // the first holder is gone: the lock is free
    T::CMutex third;
    EXPECT_EQ(third.Open(name.c_str()), 1);
    second.Close();
    EXPECT_EQ(third.Open(name.c_str()), 0);
    third.Close();

    T::CMutex a, b;
    EXPECT_EQ(a.Open(""), 0);
    EXPECT_EQ(b.Open(""), 0);
}

} // namespace
