#include "sdk/thread/thread_local.h"

#include "sdk/thread/callback_registry.h"
#include "sdk/thread/singleton.h"

namespace zelvoranGameSDK3rd::Thread {

ThreadLocalBaseHelper* ThreadLocalBaseHelper::GetInstance()
{
    return CSingleton<ThreadLocalBaseHelper>::GetInstance();
}

void ThreadLocalBaseHelper::DestroyInstance()
{
    CSingleton<ThreadLocalBaseHelper>::DestroyInstance();
}

ThreadLocalBaseHelper::ThreadLocalBaseHelper()
{
    CallbackRegistry::Callback callback;
    callback.add(
        new ZTL::function_callback_vm0<ThreadLocalBaseHelper>(this, &ThreadLocalBaseHelper::MarkAllGone));
    CallbackRegistry::CreateInstance()->AddCallback(CallbackRegistry::ShutDownList, callback);
}

void ThreadLocalBaseHelper::Add(ThreadLocalBase* threadLocal)
{
    CLockGuard guard(m_lock);
    m_list.push_back(threadLocal);
}

bool ThreadLocalBaseHelper::Remove(ThreadLocalBase* threadLocal)
{
    CLockGuard guard(m_lock);
    for (auto it = m_list.begin(); it != m_list.end(); ++it) {
        if (*it == threadLocal) {
            m_list.erase(it);
            return true;
        }
    }
    return false;
}

void ThreadLocalBaseHelper::MarkAllGone()
{
    CLockGuard guard(m_lock);
    for (ThreadLocalBase* threadLocal : m_list)
        threadLocal->SetHelperGone(true);
}

std::size_t ThreadLocalBaseHelper::GetCount() const
{
    CLockGuard guard(m_lock);
    return m_list.size();
}

} // namespace zelvoranGameSDK3rd::Thread
