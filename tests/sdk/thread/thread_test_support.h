#pragma once
// Helpers shared by the thread tests.

#include "platform/host/clock.h"
#include "sdk/thread/event.h"
#include "sdk/thread/lock_object.h"
#include "sdk/thread/thread.h"
#include "sdk/ztl/exception.h"
#include "support/wait.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace threadtest {

namespace T = zelvoranGameSDK3rd::Thread;
namespace Z = zelvoranGameSDK3rd::ZTL;

// A thread object whose body is a function of the object.
class FunctionThread : public T::CThread
{
public:
    explicit FunctionThread(std::function<void(FunctionThread&)> body = {}, int* deleted = nullptr)
        : m_body(std::move(body)), m_deleted(deleted)
    {}
    ~FunctionThread() override
    {
        StopAndWait();
        if (m_deleted != nullptr) ++*m_deleted;
    }
    void ThreadProc() override
    {
        if (m_body) m_body(*this);
    }

private:
    std::function<void(FunctionThread&)> m_body;
    int* m_deleted;
};

// Generous bound for waits that should end almost at once.
constexpr std::uint32_t kLongWait = 10000;

inline bool WaitFor(T::CEvent& event)
{
    return event.Wait(kLongWait) == 0;
}

using test_support::WaitUntil;

// Waits (with the monitor left in between) until the monitor has `count` waiters.
inline bool AwaitWaiters(T::CLockObject& monitor, std::size_t count)
{
    return WaitUntil(
        [&] {
            T::CLockGuard guard(monitor);
            return monitor.GetWaiterCount() == count;
        },
        "the monitor's waiters");
}

inline bool MessageIs(const Z::CException& e, const char* expected)
{
    return std::strcmp(e.getMessage().c_str(), expected) == 0;
}

// Runs `action`, which must raise E with the given message.
template <class E, class Action> void ExpectRaises(Action action, const char* message)
{
    try {
        action();
        ADD_FAILURE() << "no exception";
    } catch (const E& e) {
        EXPECT_TRUE(MessageIs(e, message)) << e.getMessage().c_str();
    }
}

} // namespace threadtest
