#include "game/data/key_config.h"

#include "platform/host/little_endian.h"

#include <algorithm>

namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr std::size_t kRecordBytes = 12;
constexpr std::size_t kMaxRecords = 0xFFFF;

std::uint16_t HalvesOf(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return static_cast<std::uint16_t>((bits & 0xFFFFu) + (bits >> 16));
}

} // namespace

std::uint16_t ComputeKeyConfigCheck(std::span<const SKeyConfigData> bindings)
{
    std::uint16_t sum = 0;
    for (const SKeyConfigData& b : bindings)
        sum =
            static_cast<std::uint16_t>(sum + HalvesOf(b.logicalKey) + HalvesOf(b.device) + HalvesOf(b.code));
    return sum;
}

std::vector<std::uint8_t> EncodeKeyConfig(std::span<const SKeyConfigData> bindings)
{
    if (bindings.empty()) return {};
    bindings = bindings.first(std::min(bindings.size(), kMaxRecords));
    std::vector<std::uint8_t> bytes(kHeaderBytes + kRecordBytes * bindings.size());
    platform::WriteU16(&bytes[0], ComputeKeyConfigCheck(bindings));
    platform::WriteU16(&bytes[2], static_cast<std::uint16_t>(bindings.size()));
    std::uint8_t* p = &bytes[kHeaderBytes];
    for (const SKeyConfigData& b : bindings) {
        platform::WriteLittleEndian(p, b.logicalKey);
        platform::WriteLittleEndian(p + 4, b.device);
        platform::WriteLittleEndian(p + 8, b.code);
        p += kRecordBytes;
    }
    return bytes;
}

int DecodeKeyConfig(std::span<const std::uint8_t> bytes, std::vector<SKeyConfigData>& bindings)
{
    if (bytes.size() < kHeaderBytes) return kKeyConfigNoHeader;
    const std::uint16_t check = platform::ReadU16(&bytes[0]);
    const std::size_t count = platform::ReadU16(&bytes[2]);
    if (count == 0) return kKeyConfigNoRecords;
    if (bytes.size() - kHeaderBytes < kRecordBytes * count) return kKeyConfigTruncated;
    bindings.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = &bytes[kHeaderBytes + kRecordBytes * i];
        bindings.push_back({platform::ReadI32(p), platform::ReadI32(p + 4), platform::ReadI32(p + 8)});
    }
    if (ComputeKeyConfigCheck(bindings) != check) {
        bindings.clear();
        return kKeyConfigBadCheck;
    }
    return kKeyConfigLoaded;
}
