#include "platform/host/memory.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace platform {

namespace {
std::atomic<bool> g_memoryFixed{false};
std::atomic<std::uint64_t> g_fixedMemory{0};
} // namespace

void FixAvailablePhysicalMemory(std::uint64_t bytes)
{
    g_fixedMemory = bytes;
    g_memoryFixed = true;
}

void UnfixAvailablePhysicalMemory()
{
    g_memoryFixed = false;
}

std::uint64_t AvailablePhysicalMemory()
{
    if (g_memoryFixed) return g_fixedMemory;
    // MemAvailable counts the page cache the kernel would give back, as the figure the game seeds
    // from always did; free pages alone are the fallback on kernels that do not report it.
    if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long long kib = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, f)) {
            if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
                found = true;
                break;
            }
        }
        std::fclose(f);
        if (found) return static_cast<std::uint64_t>(kib) * 1024u;
    }
    long pages = sysconf(_SC_AVPHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

} // namespace platform
