#pragma once
// The process-wide lists of callbacks run once at start-up and once at shut-down.

#include "sdk/thread/critical_section.h"
#include "sdk/ztl/callback.h"
#include "sdk/ztl/smart_ptr.h"

#include <list>

namespace zelvoranGameSDK3rd::Thread {

class CallbackRegistry
{
public:
    // The two lists: start-up callbacks run by the application initialiser, shut-down callbacks run by
    // the start-up thread after every other thread has ended.
    enum List
    {
        StartUpList = 0,
        ShutDownList = 1,
    };
    using Callback = ZTL::smart_ptr<ZTL::function_callback_v>;

    // The registry, created on first use.
    static CallbackRegistry* CreateInstance();
    static void DestroyInstance();

    // Runs every callback of a list in the order they were added (creating the registry when there is
    // none). An empty callback raises ZTL::CNullPointerException, a list other than the two
    // ZTL::CIndexOutOfBoundsException.
    static void RunCallbacks(int list);

    // Appends a callback to a list; a list other than the two raises ZTL::CIndexOutOfBoundsException.
    void AddCallback(int list, const Callback& callback);
    // The number of callbacks in a list.
    std::size_t GetCount(int list) const;

    CallbackRegistry() = default;
    CallbackRegistry(const CallbackRegistry&) = delete;
    CallbackRegistry& operator=(const CallbackRegistry&) = delete;
    ~CallbackRegistry();

private:
    std::list<Callback>& ListAt(int list);
    const std::list<Callback>& ListAt(int list) const
    {
        return const_cast<CallbackRegistry*>(this)->ListAt(list);
    }

    std::list<Callback> m_startUp;
    std::list<Callback> m_shutDown;
    mutable CCriticalSection m_lock;
};

} // namespace zelvoranGameSDK3rd::Thread
