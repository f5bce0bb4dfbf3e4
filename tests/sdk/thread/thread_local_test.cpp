#include "sdk/thread/thread_local.h"

#include "sdk/thread/callback_registry.h"
#include "thread_test_support.h"

#include <thread>

namespace {

using namespace threadtest;

TEST(ThreadLocal, EachThreadGetsItsOwnZeroedCell)
{
    T::ThreadLocal<int> tl;
    EXPECT_TRUE(tl.IsUnset());
    EXPECT_EQ(tl.Get(), 0);
    EXPECT_FALSE(tl.IsUnset());
    tl.Set(1);
    int seenBefore = -1, seenAfter = -1;
    bool unsetBefore = false;
    std::thread other([&] {
        unsetBefore = tl.IsUnset();
        seenBefore = tl.Get();
        tl.Set(2);
        seenAfter = tl.Get();
    });
    other.join();
    EXPECT_TRUE(unsetBefore);
    EXPECT_EQ(seenBefore, 0);
    EXPECT_EQ(seenAfter, 2);
    EXPECT_EQ(tl.Get(), 1);
    tl.EraseForCurrentThread();
    EXPECT_TRUE(tl.IsUnset());
    tl.EraseForCurrentThread(); // nothing to erase
    tl.Set(3);
    tl.ClearAll();
    EXPECT_TRUE(tl.IsUnset());
}

struct Counted
{
    explicit Counted(int* deaths) : deaths(deaths) {}
    ~Counted() { ++*deaths; }
    int* deaths;
};

TEST(ThreadLocal, ClearingReleasesSmartPointerCells)
{
    int deaths = 0;
    {
        T::ThreadLocal<Z::smart_ptr<Counted>> tl;
        tl.Get().add(new Counted(&deaths));
        EXPECT_EQ(deaths, 0);
        tl.ClearAll();
        EXPECT_EQ(deaths, 1);
        tl.Get().add(new Counted(&deaths));
    }
    EXPECT_EQ(deaths, 2); // destruction clears too
}

TEST(ThreadLocal, RegistersWithTheHelperForItsLifetime)
{
    T::ThreadLocalBaseHelper* helper = T::ThreadLocalBaseHelper::GetInstance();
    const std::size_t before = helper->GetCount();
    T::ThreadLocalBase* goneAddress = nullptr;
    {
        T::ThreadLocal<int> a;
        EXPECT_EQ(helper->GetCount(), before + 1);
        {
            T::ThreadLocal<int> gone;
            goneAddress = &gone;
            EXPECT_EQ(helper->GetCount(), before + 2);
            // Once the helper is going away a thread-local leaves it alone.
            gone.SetHelperGone(true);
        }
        EXPECT_EQ(helper->GetCount(), before + 2);
    }
    EXPECT_EQ(helper->GetCount(), before + 1);
    // The stale registration goes only when removed; only the first match goes.
    EXPECT_TRUE(helper->Remove(goneAddress));
    EXPECT_FALSE(helper->Remove(goneAddress));
    EXPECT_EQ(helper->GetCount(), before);
}

TEST(ThreadLocalHelper, TheShutDownListTellsEveryThreadLocalToLeaveTheHelperAlone)
{
    // A fresh registry and helper, so the shut-down list holds only this helper's callback.
    T::CallbackRegistry::DestroyInstance();
    T::ThreadLocalBaseHelper::DestroyInstance();
    T::ThreadLocalBaseHelper* helper = nullptr;
    {
        T::ThreadLocal<int> tl;
        helper = T::ThreadLocalBaseHelper::GetInstance();
        EXPECT_EQ(helper->GetCount(), 1u);
        EXPECT_EQ(T::CallbackRegistry::CreateInstance()->GetCount(T::CallbackRegistry::ShutDownList), 1u);
        T::CallbackRegistry::RunCallbacks(T::CallbackRegistry::ShutDownList);
    }
    EXPECT_EQ(helper->GetCount(), 1u); // the destructor did not unregister
    T::CallbackRegistry::DestroyInstance();
    T::ThreadLocalBaseHelper::DestroyInstance();
}

} // namespace
