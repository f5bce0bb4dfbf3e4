#pragma once
// Lazily created process-wide objects.
//
// Every singleton of the SDK and the game is made on first use. While the multi-thread flag is set
// (from the application's start-up until every other thread has ended) creation and destruction take
// the singleton's own creation lock and test the instance again; otherwise they run without it.
//
//     CThreadManager* CThreadManager::GetInstance() { return
//     Thread::CSingleton<CThreadManager>::GetInstance(); } void CThreadManager::DestroyInstance() {
//     Thread::CSingleton<CThreadManager>::DestroyInstance(); }
//
// A class with a private constructor befriends Thread::CSingleton<itself>. An instance still alive at
// process exit is destroyed then.

#include "sdk/thread/critical_section.h"

#include <atomic>

namespace zelvoranGameSDK3rd::Thread {

// The process-wide multi-thread flag: set before the first thread starts, cleared after the last ends.
void SetMultiThreadFlag(bool on);
bool IsMultiThreadFlagSet();

template <class T> class CSingleton
{
public:
    // The instance, created with new T() when there is none yet. Never deletes it.
    static T* GetInstance()
    {
        Holder& h = GetHolder();
        T* p = h.instance.load(std::memory_order_acquire);
        if (p != nullptr) return p;
        if (IsMultiThreadFlagSet()) {
            CLockGuard guard(h.lock);
            return CreateIfMissing(h);
        }
        return CreateIfMissing(h);
    }

    // The instance or null, without creating it.
    static T* PeekInstance() { return GetHolder().instance.load(std::memory_order_acquire); }

    // Deletes the instance, if any, and forgets it.
    static void DestroyInstance()
    {
        Holder& h = GetHolder();
        if (IsMultiThreadFlagSet()) {
            CLockGuard guard(h.lock);
            DeleteInstance(h);
        } else {
            DeleteInstance(h);
        }
    }

    // The creation lock, for code that must not race with creation or destruction.
    static CCriticalSection& GetLock() { return GetHolder().lock; }

private:
    struct Holder
    {
        std::atomic<T*> instance{nullptr};
        CCriticalSection lock;
        ~Holder()
        {
            if (IsMultiThreadFlagSet()) {
                CLockGuard guard(lock);
                delete instance.exchange(nullptr, std::memory_order_acq_rel);
            } else {
                delete instance.exchange(nullptr, std::memory_order_acq_rel);
            }
        }
    };

    // A function-local static, so that a singleton used by another static's constructor already exists
    // and outlives that static.
    static Holder& GetHolder()
    {
        static Holder holder;
        return holder;
    }

    static T* CreateIfMissing(Holder& h)
    {
        T* p = h.instance.load(std::memory_order_acquire);
        if (p == nullptr) {
            p = new T();
            h.instance.store(p, std::memory_order_release);
        }
        return p;
    }

    static void DeleteInstance(Holder& h) { delete h.instance.exchange(nullptr, std::memory_order_acq_rel); }
};

} // namespace zelvoranGameSDK3rd::Thread
