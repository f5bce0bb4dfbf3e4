// Locks, auto-reset events and the single-instance lock.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// Wait without a time limit.
constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

// A lock the holding thread may take again; each Lock needs its Unlock.
class RecursiveLock
{
public:
    void Lock() { m_mutex.lock(); }
    bool TryLock() { return m_mutex.try_lock(); }
    void Unlock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

enum class WaitResult
{
    Signalled,
    TimedOut,
    Failed,
};

struct EventWaiter;

// An auto-reset event: Set lets exactly one wait through (now or later), which resets it.
class Event
{
public:
    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // kWaitForever waits without limit; 0 only tests (and consumes) the signal.
    WaitResult Wait(std::uint32_t milliseconds);

private:
    friend struct EventAccess;
    bool m_signalled = false;
    std::vector<EventWaiter*> m_waiters;
};

enum class EitherResult
{
    First,
    Second,
    TimedOut,
    Failed,
};

// Waits until either event is signalled and consumes only the one reported; when both are signalled
// the first one is reported and the second stays signalled.
EitherResult WaitForEither(Event& first, Event& second, std::uint32_t milliseconds);

enum class InstanceLockResult
{
    Acquired,      // this object now holds the lock
    HeldElsewhere, // another holder (this or another process) has it
    Failed,        // the lock could not be made
};

// A lock named by an arbitrary byte string, shared by every process of the machine: the lock file
// "marovellin-<hash of the name>.lock" in $XDG_RUNTIME_DIR (or /tmp), held with flock and removed by
// the holder that releases it. Callers name it after the executable's path so that one copy of the
// program runs at a time.
class InstanceLock
{
public:
    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock() { Close(); }

    // Closes what is open, then tries to take the named lock without waiting. An empty name makes a lock
    // nobody else can see: always acquired. After HeldElsewhere the lock stays open, so Lock can wait.
    InstanceLockResult Open(const std::string& name);
    // Waits without limit until this object holds the lock (nothing when nothing is open).
    void Lock();
    // Releases and closes the lock.
    void Close();
    bool IsOpen() const { return m_open; }
    bool IsHeld() const { return m_held; }

    // The lock file that a name maps to.
    static std::string LockFilePath(const std::string& name);

private:
    int m_fd = -1;
    std::string m_path;
    bool m_open = false;
    bool m_held = false;
};

} // namespace platform
