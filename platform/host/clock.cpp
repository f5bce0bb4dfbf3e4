#include "platform/host/clock.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <mutex>
#include <optional>
#include <sched.h>

namespace platform {
namespace {

std::atomic<bool> g_virtual{false};
std::atomic<std::uint32_t> g_virtualNow{0};

} // namespace

std::uint32_t GetRealMilliseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const std::uint64_t ms =
        static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

std::uint32_t GetMilliseconds()
{
    if (g_virtual.load(std::memory_order_acquire)) return g_virtualNow.load(std::memory_order_acquire);
    return GetRealMilliseconds();
}

void SleepMilliseconds(std::uint32_t milliseconds)
{
    if (g_virtual.load(std::memory_order_acquire)) {
        g_virtualNow.fetch_add(milliseconds, std::memory_order_acq_rel);
        sched_yield();
        return;
    }
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec req{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    // Sleep against the monotonic clock so a signal that interrupts the sleep does not shorten it.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    timespec until{now.tv_sec + req.tv_sec, now.tv_nsec + req.tv_nsec};
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

void YieldThread()
{
    sched_yield();
}

void UseVirtualClock(std::uint32_t start)
{
    g_virtualNow.store(start, std::memory_order_release);
    g_virtual.store(true, std::memory_order_release);
}

void UseRealClock()
{
    g_virtual.store(false, std::memory_order_release);
}

bool IsVirtualClock()
{
    return g_virtual.load(std::memory_order_acquire);
}

void AdvanceVirtualClock(std::uint32_t milliseconds)
{
    g_virtualNow.fetch_add(milliseconds, std::memory_order_acq_rel);
}

namespace {
std::mutex g_fixedTimeLock;
std::optional<SLocalTime> g_fixedTime;
} // namespace

void FixLocalTime(const SLocalTime& time)
{
    std::lock_guard<std::mutex> lock(g_fixedTimeLock);
    g_fixedTime = time;
}

void UnfixLocalTime()
{
    std::lock_guard<std::mutex> lock(g_fixedTimeLock);
    g_fixedTime.reset();
}

SLocalTime GetLocalTime()
{
    {
        std::lock_guard<std::mutex> lock(g_fixedTimeLock);
        if (g_fixedTime) return *g_fixedTime;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<std::uint16_t>(local.tm_year + 1900), static_cast<std::uint16_t>(local.tm_mon + 1),
            static_cast<std::uint16_t>(local.tm_mday),        static_cast<std::uint16_t>(local.tm_hour),
            static_cast<std::uint16_t>(local.tm_min),         static_cast<std::uint16_t>(local.tm_sec)};
}

} // namespace platform
