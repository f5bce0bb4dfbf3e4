#include "sdk/thread/callback_registry.h"
#include "sdk/thread/singleton.h"

#include "thread_test_support.h"

#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace threadtest;

std::atomic<int> g_made{0};
std::atomic<int> g_destroyed{0};

class Service
{
public:
    static Service* GetInstance() { return T::CSingleton<Service>::GetInstance(); }
    static void DestroyInstance() { T::CSingleton<Service>::DestroyInstance(); }

private:
    friend class T::CSingleton<Service>;
    Service() { ++g_made; }
    ~Service() { ++g_destroyed; }
};

TEST(Singleton, CreatedOnceOnFirstUseAndDestroyedOnRequest)
{
    Service::DestroyInstance();
    g_made = 0;
    g_destroyed = 0;
    EXPECT_EQ(T::CSingleton<Service>::PeekInstance(), nullptr);
    Service* a = Service::GetInstance();
    EXPECT_EQ(Service::GetInstance(), a);
    EXPECT_EQ(g_made.load(), 1);
    Service::DestroyInstance();
    Service::DestroyInstance(); // nothing left: nothing happens
    EXPECT_EQ(g_destroyed.load(), 1);
    EXPECT_EQ(T::CSingleton<Service>::PeekInstance(), nullptr);
}

TEST(Singleton, ConcurrentFirstUseMakesOneInstanceWhileMultiThreaded)
{
    Service::DestroyInstance();
    g_made = 0;
    T::SetMultiThreadFlag(true);
    std::atomic<bool> go{false};
    std::vector<Service*> seen(8);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            while (!go.load()) {
            }
            seen[i] = Service::GetInstance();
        });
    }
    go = true;
    for (auto& t : threads)
        t.join();
    for (Service* s : seen)
        EXPECT_EQ(s, seen[0]);
    EXPECT_EQ(g_made.load(), 1);
    Service::DestroyInstance();
    T::SetMultiThreadFlag(false);
}

std::vector<int>* g_order = nullptr;
template <int N> void Record()
{
    g_order->push_back(N);
}

T::CallbackRegistry::Callback Global(void (*function)())
{
    T::CallbackRegistry::Callback callback;
    callback.add(new Z::function_callback_vg0(function));
    return callback;
}

// Each test starts from a fresh registry; the process-wide one is rebuilt on next use.
TEST(CallbackRegistry, RunsEachListInOrderAndRaisesOnAnEmptyCallbackOrBadList)
{
    T::CallbackRegistry::DestroyInstance();
    std::vector<int> order;
    g_order = &order;
    T::CallbackRegistry* registry = T::CallbackRegistry::CreateInstance();
    EXPECT_EQ(T::CallbackRegistry::CreateInstance(), registry);
    registry->AddCallback(T::CallbackRegistry::StartUpList, Global(&Record<1>));
    registry->AddCallback(T::CallbackRegistry::ShutDownList, Global(&Record<9>));
    registry->AddCallback(T::CallbackRegistry::StartUpList, Global(&Record<2>));
    T::CallbackRegistry::RunCallbacks(T::CallbackRegistry::StartUpList);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    T::CallbackRegistry::RunCallbacks(T::CallbackRegistry::ShutDownList);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 9}));

    EXPECT_THROW(T::CallbackRegistry::RunCallbacks(2), Z::CIndexOutOfBoundsException);
    EXPECT_THROW(registry->AddCallback(-1, Global(&Record<0>)), Z::CIndexOutOfBoundsException);
    registry->AddCallback(T::CallbackRegistry::StartUpList, T::CallbackRegistry::Callback());
    EXPECT_THROW(T::CallbackRegistry::RunCallbacks(T::CallbackRegistry::StartUpList),
                 Z::CNullPointerException);
    g_order = nullptr;
    T::CallbackRegistry::DestroyInstance();
}

} // namespace
