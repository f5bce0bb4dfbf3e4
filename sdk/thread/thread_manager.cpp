#include "sdk/thread/thread_manager.h"

#include "sdk/thread/singleton.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::Thread {

CThreadManager::CThreadList::CThreadList(const ThreadPtr& thread, const ThreadPtr& extra)
{
    CLockGuard guard(m_lock);
    m_thread = thread;
    m_extra = extra;
}

IThread* CThreadManager::CThreadList::GetThread()
{
    CLockGuard guard(m_lock);
    return m_thread.get();
}

CThreadManager* CThreadManager::GetInstance()
{
    return CSingleton<CThreadManager>::GetInstance();
}

void CThreadManager::DestroyInstance()
{
    CSingleton<CThreadManager>::DestroyInstance();
}

void CThreadManager::Add(IThread* thread)
{
    CLockGuard guard(m_monitor);
    m_threads.push_back(thread);
    m_monitor.NotifyAll();
}

void CThreadManager::Remove(IThread* thread)
{
    CLockGuard guard(m_monitor);
    auto it = std::find(m_threads.begin(), m_threads.end(), thread);
    if (it != m_threads.end()) m_threads.erase(it);
    for (auto& entry : m_owned)
        if (entry->GetThread() == thread) entry->alive = false;
    m_monitor.NotifyAll();
}

// Under the monitor. Releasing an entry whose thread has ended deletes the thread object, whose
// destructor joins the thread.
void CThreadManager::Sweep()
{
    m_owned.remove_if([](const ZTL::smart_ptr<CThreadList>& entry) { return !entry->alive; });
}

bool CThreadManager::OnlyCallerLeft(DWORD caller)
{
    const bool threadsDone =
        m_threads.empty() || (m_threads.size() == 1 && m_threads[0]->GetThreadId() == caller);
    bool ownedDone = m_owned.empty();
    if (m_owned.size() == 1) {
        IThread* owned = m_owned.front()->GetThread();
        ownedDone = owned != nullptr && owned->GetThreadId() == caller;
    }
    return threadsDone && ownedDone;
}

bool CThreadManager::StopAll()
{
    {
        CLockGuard guard(m_stopAllLock);
        if (m_stopAllStarted) return false;
        m_stopAllStarted = true;
    }
    const DWORD caller = GetCurrentThreadId();
    CLockGuard guard(m_monitor);
    Sweep();
    while (!OnlyCallerLeft(caller)) {
        for (IThread* thread : m_threads)
            thread->RequestStop();
        m_monitor.Wait(INFINITE);
        Sweep();
    }
    return true;
}

void CThreadManager::WaitForAll()
{
    CLockGuard guard(m_monitor);
    for (;;) {
        Sweep();
        if (m_threads.empty() && m_owned.empty()) return;
        m_monitor.Wait(INFINITE);
    }
}

void CThreadManager::AddOwnedThread(const ThreadPtr& thread, const ThreadPtr& extra)
{
    CLockGuard guard(m_monitor); // taken first: the entry's count changes only under the monitor
    ZTL::smart_ptr<CThreadList> entry;
    entry.add(new CThreadList(thread, extra));
    m_owned.push_back(entry);
}

std::size_t CThreadManager::GetRegisteredCount() const
{
    CLockGuard guard(m_monitor);
    return m_threads.size();
}

std::size_t CThreadManager::GetOwnedCount() const
{
    CLockGuard guard(m_monitor);
    return m_owned.size();
}

int StartOwnedThread(IThread* thread)
{
    CThreadManager* manager = CThreadManager::GetInstance();
    {
        // The manager holds the only reference from here, so no count changes outside its lock.
        CThreadManager::ThreadPtr owned;
        owned.add(thread);
        manager->AddOwnedThread(owned, CThreadManager::ThreadPtr());
    }
    const int result = thread->Start();
    // A thread that never started will never remove itself: end its entry here, or WaitForAll would
    // wait for it forever.
    if (result != 0) manager->Remove(thread);
    return result;
}

} // namespace zelvoranGameSDK3rd::Thread
