#include "platform/host/sync.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// One waiting thread, registered with every event it waits on until it returns.
struct EventWaiter
{
    std::condition_variable wake;
};

// All events share one mutex: a wait on two events must see both of them change atomically, and the
// program has few events and little contention on them.
struct EventAccess
{
    static std::mutex mutex;

    static bool Consume(Event& e)
    {
        if (!e.m_signalled) return false;
        e.m_signalled = false;
        return true;
    }
    static void Register(Event& e, EventWaiter* w) { e.m_waiters.push_back(w); }
    static void Unregister(Event& e, EventWaiter* w)
    {
        e.m_waiters.erase(std::remove(e.m_waiters.begin(), e.m_waiters.end(), w), e.m_waiters.end());
    }

    // Waits for any of count events; returns the index consumed, or -1 on time-out.
    static int WaitAny(Event* const* events, int count, std::uint32_t milliseconds)
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (int i = 0; i < count; ++i)
            if (Consume(*events[i])) return i;
        if (milliseconds == 0) return -1;

        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        EventWaiter waiter;
        for (int i = 0; i < count; ++i)
            Register(*events[i], &waiter);
        int result = -1;
        for (;;) {
            if (milliseconds == kWaitForever) {
                waiter.wake.wait(lock);
            } else if (waiter.wake.wait_until(lock, deadline) == std::cv_status::timeout) {
                for (int i = 0; i < count && result < 0; ++i)
                    if (Consume(*events[i])) result = i;
                break;
            }
            for (int i = 0; i < count && result < 0; ++i)
                if (Consume(*events[i])) result = i;
            if (result >= 0) break;
        }
        for (int i = 0; i < count; ++i)
            Unregister(*events[i], &waiter);
        return result;
    }
};

std::mutex EventAccess::mutex;

void Event::Set()
{
    std::lock_guard<std::mutex> lock(EventAccess::mutex);
    m_signalled = true;
    for (EventWaiter* w : m_waiters)
        w->wake.notify_one();
}

void Event::Reset()
{
    std::lock_guard<std::mutex> lock(EventAccess::mutex);
    m_signalled = false;
}

WaitResult Event::Wait(std::uint32_t milliseconds)
{
    Event* self = this;
    return EventAccess::WaitAny(&self, 1, milliseconds) == 0 ? WaitResult::Signalled : WaitResult::TimedOut;
}

EitherResult WaitForEither(Event& first, Event& second, std::uint32_t milliseconds)
{
    if (&first == &second) {
        return first.Wait(milliseconds) == WaitResult::Signalled ? EitherResult::First
                                                                 : EitherResult::TimedOut;
    }
    Event* events[2] = {&first, &second};
    switch (EventAccess::WaitAny(events, 2, milliseconds)) {
    case 0:
        return EitherResult::First;
    case 1:
        return EitherResult::Second;
    default:
        return EitherResult::TimedOut;
    }
}

namespace {

std::string LockDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        struct stat st
        {};
        if (stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) return runtime;
    }
    return "/tmp";
}

int OpenLockFile(const std::string& path)
{
    // The lock file lies in a folder others can write to: a link or anything but a regular file there is
    // never opened, so that making the lock file cannot create or touch a file elsewhere.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    // A lock file another user made may be read-only for us; flock works on a read-only descriptor too.
    if (fd < 0 && errno == EACCES) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat st
    {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        return -1;
    }
    return fd;
}

// 0 when the lock on `fd` is taken, else the error.
int TakeLock(int fd, bool wait)
{
    int rc;
    while ((rc = flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    return rc == 0 ? 0 : errno;
}

// True while `fd` is the file that `path` names. A holder that releases removes the lock file, so a
// descriptor opened before that may take a lock on a file nobody else can find any more.
bool IsFileAt(int fd, const std::string& path)
{
    struct stat opened
    {};
    struct stat named
    {};
    return fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// Tries at most this often to lock the file at the path while holders come and go.
constexpr int kLockAttempts = 100;

} // namespace

std::string InstanceLock::LockFilePath(const std::string& name)
{
    // FNV-1a over the name's bytes: any byte string maps to a plain file name.
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char file[64];
    std::snprintf(file, sizeof file, "/marovellin-%016llx.lock", static_cast<unsigned long long>(hash));
    return LockDirectory() + file;
}

InstanceLockResult InstanceLock::Open(const std::string& name)
{
    Close();
    if (name.empty()) {
        m_open = true;
        m_held = true;
        return InstanceLockResult::Acquired;
    }
    const std::string path = LockFilePath(name);
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        const int fd = OpenLockFile(path);
        if (fd < 0) return InstanceLockResult::Failed;
        const int error = TakeLock(fd, false);
        if (error == 0 && !IsFileAt(fd, path)) { // released and removed meanwhile: lock the new file
            close(fd);
            continue;
        }
        if (error != 0 && error != EWOULDBLOCK) {
            close(fd);
            return InstanceLockResult::Failed;
        }
        m_fd = fd;
        m_path = path;
        m_open = true;
        m_held = error == 0;
        return m_held ? InstanceLockResult::Acquired : InstanceLockResult::HeldElsewhere;
    }
    return InstanceLockResult::Failed;
}

void InstanceLock::Lock()
{
    for (int attempt = 0; attempt < kLockAttempts && m_open && !m_held; ++attempt) {
        if (TakeLock(m_fd, true) != 0) return;
        if (IsFileAt(m_fd, m_path)) {
            m_held = true;
            return;
        }
        // The holder released and removed the file: wait for the one that now stands at the path.
        close(m_fd);
        m_fd = OpenLockFile(m_path);
        m_open = m_fd >= 0;
    }
}

void InstanceLock::Close()
{
    if (m_fd >= 0) {
        // Removed while still held, so that nobody takes the lock on a file about to disappear.
        if (m_held) {
            unlink(m_path.c_str());
            flock(m_fd, LOCK_UN);
        }
        close(m_fd);
    }
    m_fd = -1;
    m_open = false;
    m_held = false;
}

} // namespace platform
