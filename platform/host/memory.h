#pragma once

#include <cstdint>

namespace platform {

// The physical memory available to new allocations, in bytes (0 when it cannot be told).
std::uint64_t AvailablePhysicalMemory();

// Makes AvailablePhysicalMemory answer `bytes` from now on, so that what is seeded from it can be
// repeated; UnfixAvailablePhysicalMemory goes back to the machine's figure.
void FixAvailablePhysicalMemory(std::uint64_t bytes);
void UnfixAvailablePhysicalMemory();

} // namespace platform
