#include "sdk/appframe/com_support.h"

#include "sdk/thread/critical_section.h"
#include "sdk/thread/thread_local.h"

#include <atomic>

namespace zelvoranGameSDK3rd::AppFrame {

namespace {

struct ComState
{
    Thread::ThreadLocal<int> counts;
    Thread::CCriticalSection lock;
    std::atomic<int> starts{0};
    std::atomic<int> stops{0};
};

ComState& State()
{
    static ComState state;
    return state;
}

// Starting and stopping the system on a thread: nothing to do for our own components.
bool StartComponents()
{
    State().starts.fetch_add(1, std::memory_order_relaxed);
    return true;
}

void StopComponents()
{
    State().stops.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

int ComInitCounter::Enter()
{
    Thread::CLockGuard guard(State().lock);
    int& count = State().counts.Get();
    if (count == 0) {
        count = 0;
        if (!StartComponents()) {
            Auxiliary::GetErrorStream().Out("CoInitializeに失敗...");
            return 1;
        }
    }
    ++count;
    return 0;
}

int ComInitCounter::Leave()
{
    Thread::CLockGuard guard(State().lock);
    if (State().counts.IsUnset()) return 1;
    int& count = State().counts.Get();
    // A leave without an enter would drive the count below zero, and the next enter would then not
    // start the system: refuse it like a thread that never entered.
    if (count <= 0) return 1;
    --count;
    if (count == 0) StopComponents();
    return 0;
}

int ComInitCounter::GetCount()
{
    Thread::CLockGuard guard(State().lock);
    return State().counts.IsUnset() ? 0 : State().counts.Get();
}

int ComInitCounter::GetStartCount()
{
    return State().starts.load();
}
int ComInitCounter::GetStopCount()
{
    return State().stops.load();
}

} // namespace zelvoranGameSDK3rd::AppFrame
