#pragma once
// The player's key bindings, "save\key.cfg": a 16-bit check value, a 16-bit record count and that many
// records of logical key, device and code (three signed 32-bit values), all little-endian. The check
// value is the sum, modulo 65536, of the low and high 16-bit halves of every field of every record.
//
// The file is binary both ways: any byte value, 0x0A and 0x1A included, stands for itself.

#include <cstdint>
#include <span>
#include <vector>

// One binding: a logical key, a device (0 keyboard, 1 pad) and the device's code.
struct SKeyConfigData
{
    std::int32_t logicalKey = 0;
    std::int32_t device = 0;
    std::int32_t code = 0;

    bool operator==(const SKeyConfigData&) const = default;
};

inline constexpr const char* kKeyConfigFileName = "save\\key.cfg";

// Results of DecodeKeyConfig (and of loading the file, which adds kKeyConfigUnreadable).
enum KeyConfigResult : int
{
    kKeyConfigLoaded = 0,
    kKeyConfigUnreadable = 1, // no file, or it cannot be read
    kKeyConfigNoHeader = 2,   // fewer than the 4 bytes of check value and count (an empty file)
    kKeyConfigTruncated = 3,  // fewer records than the count says
    kKeyConfigBadCheck = 4,
    kKeyConfigNoRecords = 5, // a header counting no record: no key would answer, so it counts as no file
};

std::uint16_t ComputeKeyConfigCheck(std::span<const SKeyConfigData> bindings);
// The file's bytes; none for an empty list. At most 65535 records fit the count; more are not stored.
std::vector<std::uint8_t> EncodeKeyConfig(std::span<const SKeyConfigData> bindings);
// Reads a file's bytes (bytes past the records are ignored). kKeyConfigNoHeader, kKeyConfigTruncated and
// kKeyConfigNoRecords leave the list as it was; kKeyConfigBadCheck leaves it empty; kKeyConfigLoaded replaces
// it.
int DecodeKeyConfig(std::span<const std::uint8_t> bytes, std::vector<SKeyConfigData>& bindings);
