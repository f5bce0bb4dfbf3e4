#include "platform/host/thread.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <new>
#include <pthread.h>
#include <unistd.h>

namespace platform {

struct ThreadHandle
{
    pthread_t thread{};
    ThreadId id = kNoThreadId;
    bool joined = false;
};

namespace {

std::atomic<ThreadId> g_nextId{1};
thread_local ThreadId t_id = kNoThreadId;

ThreadId AllocateId()
{
    ThreadId id = g_nextId.fetch_add(1, std::memory_order_relaxed);
    // 4 billion threads would wrap the count; skip the reserved values rather than hand them out.
    while (id == 0 || id == kNoThreadId)
        id = g_nextId.fetch_add(1, std::memory_order_relaxed);
    return id;
}

struct StartBlock
{
    ThreadEntry entry;
    void* argument;
    ThreadId id;
};

void* Trampoline(void* p)
{
    StartBlock block = *static_cast<StartBlock*>(p);
    delete static_cast<StartBlock*>(p);
    t_id = block.id;
    block.entry(block.argument);
    return nullptr;
}

} // namespace

ThreadId CurrentThreadId()
{
    if (t_id == kNoThreadId) t_id = AllocateId();
    return t_id;
}

ThreadHandle* CreateThread(ThreadEntry entry, void* argument, std::uint32_t stackSize, ThreadId* id)
{
    auto* handle = new (std::nothrow) ThreadHandle;
    auto* block = new (std::nothrow) StartBlock{entry, argument, AllocateId()};
    if (handle == nullptr || block == nullptr) {
        delete handle;
        delete block;
        return nullptr;
    }
    handle->id = block->id;
    if (id != nullptr) *id = block->id;

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    if (stackSize != 0) {
        const long page = sysconf(_SC_PAGESIZE);
        std::size_t size = std::max<std::size_t>(stackSize, PTHREAD_STACK_MIN);
        if (page > 0) size = (size + page - 1) / page * page;
        pthread_attr_setstacksize(&attr, size);
    }
    const int rc = pthread_create(&handle->thread, &attr, &Trampoline, block);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete block;
        delete handle;
        return nullptr;
    }
    return handle;
}

bool JoinThread(ThreadHandle* handle)
{
    if (handle == nullptr) return false;
    if (handle->joined) return true; // the thread has ended; waiting again succeeds at once
    if (pthread_equal(handle->thread, pthread_self())) return false;
    if (pthread_join(handle->thread, nullptr) != 0) return false;
    handle->joined = true;
    return true;
}

ThreadId GetThreadIdOf(const ThreadHandle* handle)
{
    return handle == nullptr ? kNoThreadId : handle->id;
}

void CloseThreadHandle(ThreadHandle* handle)
{
    if (handle == nullptr) return;
    if (!handle->joined) pthread_detach(handle->thread);
    delete handle;
}

} // namespace platform
