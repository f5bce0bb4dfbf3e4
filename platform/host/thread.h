// Operating-system threads.
//
// Every thread that asks gets an id of its own, counted up from 1 and never reused within the process;
// 0 and 0xFFFFFFFF are never handed out, so callers may use them as "none".
#pragma once

#include <cstdint>

namespace platform {

using ThreadId = std::uint32_t;
constexpr ThreadId kNoThreadId = 0xFFFFFFFFu;

// The calling thread's id (assigned on first use).
ThreadId CurrentThreadId();

struct ThreadHandle;
using ThreadEntry = void (*)(void* argument);

// Starts a thread running entry(argument). stackSize 0 means the default. On success returns the handle
// and stores the new thread's id in *id (when id is not null) before the thread runs; returns null when
// the thread could not be created.
ThreadHandle* CreateThread(ThreadEntry entry, void* argument, std::uint32_t stackSize, ThreadId* id);

// Waits until the thread has ended; true at once when it was already joined. False when the wait is
// impossible (a thread joining itself). The handle stays valid until CloseThreadHandle.
bool JoinThread(ThreadHandle* handle);

// The id of the thread behind a handle.
ThreadId GetThreadIdOf(const ThreadHandle* handle);

// Frees the handle. A thread that was not joined keeps running on its own.
void CloseThreadHandle(ThreadHandle* handle);

} // namespace platform
