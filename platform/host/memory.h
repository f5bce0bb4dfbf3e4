#pragma once

#include <cstdint>

namespace platform {

// The physical memory available to new allocations, in bytes (0 when it cannot be told).
std::uint64_t AvailablePhysicalMemory();

} // namespace platform
