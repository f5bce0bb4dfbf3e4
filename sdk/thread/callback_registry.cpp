#include "sdk/thread/callback_registry.h"

#include "sdk/thread/singleton.h"

namespace zelvoranGameSDK3rd::Thread {

CallbackRegistry* CallbackRegistry::CreateInstance()
{
    return CSingleton<CallbackRegistry>::GetInstance();
}

void CallbackRegistry::DestroyInstance()
{
    CSingleton<CallbackRegistry>::DestroyInstance();
}

CallbackRegistry::~CallbackRegistry()
{
    m_startUp.clear();
    m_shutDown.clear();
}

std::list<CallbackRegistry::Callback>& CallbackRegistry::ListAt(int list)
{
    switch (list) {
    case StartUpList:
        return m_startUp;
    case ShutDownList:
        return m_shutDown;
    default:
        throw ZTL::CIndexOutOfBoundsException();
    }
}

void CallbackRegistry::RunCallbacks(int list)
{
    CallbackRegistry* registry = CreateInstance();
    CLockGuard guard(registry->m_lock);
    // A callback may add another to the same list; it runs in this pass too.
    for (Callback& callback : registry->ListAt(list))
        callback->run();
}

void CallbackRegistry::AddCallback(int list, const Callback& callback)
{
    CLockGuard guard(m_lock);
    ListAt(list).push_back(callback);
}

std::size_t CallbackRegistry::GetCount(int list) const
{
    CLockGuard guard(m_lock);
    return ListAt(list).size();
}

} // namespace zelvoranGameSDK3rd::Thread
