#pragma once
// The SDK's recursive lock, which knows its holder and counts its entries, and the scoped guard that
// every guarded routine and singleton getter uses.

#include "platform/host/sync.h"

#include <atomic>
#include <cstdint>

namespace zelvoranGameSDK3rd::Thread {

// Thread ids as the SDK sees them; 0xFFFFFFFF means "no thread".
using DWORD = std::uint32_t;
constexpr DWORD kNoThread = 0xFFFFFFFFu;

// The calling thread's id (never 0 or 0xFFFFFFFF, never reused within the process).
DWORD GetCurrentThreadId();

class ICriticalSection
{
public:
    virtual void Enter() = 0;
    virtual void Leave() = 0;
    virtual bool IsLockedByCurrentThread() = 0;
    virtual ~ICriticalSection() = default;
};

class CCriticalSection : public ICriticalSection
{
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    // Destroying a section that is still entered is a programming error: it raises
    // ZTL::CRuntimeException, which ends the program.
    ~CCriticalSection() override;

    void Enter() override;
    // Raises ZTL::CRuntimeException when the calling thread has not entered the section.
    void Leave() override;
    bool IsLockedByCurrentThread() override;

private:
    platform::RecursiveLock m_section;
    std::atomic<DWORD> m_owner{kNoThread}; // read by any thread, written only by the holder
    std::int32_t m_count = 0;              // entries not yet left; touched only by the holder
};

// Enters a lock (anything with Enter and Leave) for the guard's lifetime.
template <class Lock> class CLockGuard
{
public:
    explicit CLockGuard(Lock& lock) : m_lock(lock) { m_lock.Enter(), m_count = 1; }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;
    ~CLockGuard()
    {
        for (; m_count > 0; --m_count)
            m_lock.Leave();
    }

private:
    Lock& m_lock;
    int m_count = 0;
};

} // namespace zelvoranGameSDK3rd::Thread
