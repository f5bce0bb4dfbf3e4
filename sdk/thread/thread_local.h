#pragma once
// Values kept per thread, keyed by thread id: the thread object running each thread, its COM count,
// window handle, display device, plane and sound factories.

#include "sdk/thread/critical_section.h"

#include <atomic>
#include <list>
#include <map>

namespace zelvoranGameSDK3rd::Thread {

class ThreadLocalBase
{
public:
    // Frees the calling thread's cell.
    virtual void EraseForCurrentThread() = 0;
    // Frees every thread's cell.
    virtual void ClearAll() = 0;
    // Told when the registry of thread-locals is about to go away, so the destructor leaves it alone.
    virtual void SetHelperGone(bool gone) = 0;
    virtual ~ThreadLocalBase() = default;
};

// The process-wide registry of thread-locals. At shut-down (a shut-down callback, after every other
// thread has ended) it tells each of them that it is gone, so their static destructors never reach it,
// whatever their order.
class ThreadLocalBaseHelper
{
public:
    static ThreadLocalBaseHelper* GetInstance();
    static void DestroyInstance();

    void Add(ThreadLocalBase* threadLocal);
    // Forgets the first registration of threadLocal; false when there was none.
    bool Remove(ThreadLocalBase* threadLocal);
    void MarkAllGone();
    std::size_t GetCount() const;

    // Registers MarkAllGone as a shut-down callback.
    ThreadLocalBaseHelper();
    ThreadLocalBaseHelper(const ThreadLocalBaseHelper&) = delete;
    ThreadLocalBaseHelper& operator=(const ThreadLocalBaseHelper&) = delete;

private:
    std::list<ThreadLocalBase*> m_list;
    mutable CCriticalSection m_lock;
};

// One T per thread. A thread's cell exists from its first Set or Get until it erases it or the
// thread-local is cleared; ids are never reused, so a new thread never finds an old thread's cell.
template <class T> class ThreadLocal : public ThreadLocalBase
{
public:
    ThreadLocal() { ThreadLocalBaseHelper::GetInstance()->Add(this); }
    ThreadLocal(const ThreadLocal&) = delete;
    ThreadLocal& operator=(const ThreadLocal&) = delete;
    ~ThreadLocal() override
    {
        ClearAll();
        if (!m_helperGone.load(std::memory_order_acquire)) ThreadLocalBaseHelper::GetInstance()->Remove(this);
    }

    void Set(const T& value)
    {
        CLockGuard guard(m_lock);
        auto it = m_cells.find(GetCurrentThreadId());
        if (it == m_cells.end())
            m_cells.emplace(GetCurrentThreadId(), new T(value));
        else
            *it->second = value;
    }

    // The calling thread's cell, made with a zero value when it has none.
    T& Get()
    {
        CLockGuard guard(m_lock);
        auto it = m_cells.find(GetCurrentThreadId());
        if (it == m_cells.end()) it = m_cells.emplace(GetCurrentThreadId(), new T()).first;
        return *it->second;
    }

    bool IsUnset()
    {
        CLockGuard guard(m_lock);
        return m_cells.find(GetCurrentThreadId()) == m_cells.end();
    }

    void EraseForCurrentThread() override
    {
        CLockGuard guard(m_lock);
        auto it = m_cells.find(GetCurrentThreadId());
        if (it == m_cells.end()) return;
        delete it->second;
        m_cells.erase(it);
    }

    void ClearAll() override
    {
        CLockGuard guard(m_lock);
        for (auto& cell : m_cells)
            delete cell.second;
        m_cells.clear();
    }

    void SetHelperGone(bool gone) override { m_helperGone.store(gone, std::memory_order_release); }

private:
    std::map<DWORD, T*> m_cells;
    CCriticalSection m_lock;
    std::atomic<bool> m_helperGone{false};
};

} // namespace zelvoranGameSDK3rd::Thread
