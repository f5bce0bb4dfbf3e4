#pragma once
// The process-wide register of running thread objects. It can ask them all to stop, lets the start-up
// thread wait until none is left, and owns thread objects that it deletes once their thread has ended.

#include "sdk/thread/critical_section.h"
#include "sdk/thread/lock_object.h"
#include "sdk/thread/thread.h"
#include "sdk/ztl/smart_ptr.h"

#include <list>
#include <vector>

namespace zelvoranGameSDK3rd::Thread {

class IThreadManager
{
public:
    virtual void Add(IThread* thread) = 0;
    virtual void Remove(IThread* thread) = 0;
    virtual bool StopAll() = 0;
    virtual void WaitForAll() = 0;
    virtual ~IThreadManager() = default;
};

class CThreadManager : public IThreadManager
{
public:
    using ThreadPtr = ZTL::smart_ptr<IThread>;

    // An owned thread object; deleted when its entry is swept after its thread has ended.
    class CThreadList
    {
    public:
        CThreadList(const ThreadPtr& thread, const ThreadPtr& extra);
        // The thread pointer, read under the entry's own lock.
        IThread* GetThread();
        bool alive = true;

    private:
        ThreadPtr m_thread;
        ThreadPtr m_extra;
        CCriticalSection m_lock;
    };

    static CThreadManager* GetInstance();
    static void DestroyInstance();

    // Registers a running thread and wakes every waiter.
    void Add(IThread* thread) override;
    // Forgets the first registration of thread, marks its owned entries ended, and wakes every waiter.
    void Remove(IThread* thread) override;
    // Asks every registered thread to stop and waits until only the caller is left. Only the first call
    // does this and returns true; later calls return false at once.
    bool StopAll() override;
    // Waits until no thread is registered and no owned thread object is left, deleting owned objects
    // whose threads have ended.
    void WaitForAll() override;
    // Takes ownership of a thread object (the second pointer is kept alive with it).
    virtual void AddOwnedThread(const ThreadPtr& thread, const ThreadPtr& extra);

    std::size_t GetRegisteredCount() const;
    std::size_t GetOwnedCount() const;

    CThreadManager() = default;
    CThreadManager(const CThreadManager&) = delete;
    CThreadManager& operator=(const CThreadManager&) = delete;

private:
    void Sweep();
    bool OnlyCallerLeft(DWORD caller);

    std::vector<IThread*> m_threads;
    std::list<ZTL::smart_ptr<CThreadList>> m_owned;
    mutable CLockObject m_monitor;
    bool m_stopAllStarted = false;
    CCriticalSection m_stopAllLock;
};

// Hands a new thread object to the thread manager, which deletes it once its thread has ended, and
// starts it; returns Start's result.
int StartOwnedThread(IThread* thread);

} // namespace zelvoranGameSDK3rd::Thread
