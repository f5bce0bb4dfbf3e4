#include "sdk/thread/singleton.h"

namespace zelvoranGameSDK3rd::Thread {

namespace {
std::atomic<bool> g_multiThread{false};
} // namespace

void SetMultiThreadFlag(bool on)
{
    g_multiThread.store(on, std::memory_order_release);
}

bool IsMultiThreadFlagSet()
{
    return g_multiThread.load(std::memory_order_acquire);
}

} // namespace zelvoranGameSDK3rd::Thread
