#include "game/data/check_value.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();
static_assert(kCrcTable[1] == 0x77073096u && kCrcTable[255] == 0x2D02EF8Du);

void AppendHighFirst(std::vector<std::uint8_t>& buffer, std::uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        buffer.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint16_t ByteSum(std::span<const std::uint8_t> bytes)
{
    std::uint16_t sum = 0;
    for (std::uint8_t b : bytes)
        sum = static_cast<std::uint16_t>(sum + b);
    return sum;
}

} // namespace

std::uint32_t ComputeCheckValue(std::span<const std::uint8_t> bytes)
{
    std::uint32_t reg = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        reg = (reg >> 8) ^ kCrcTable[(reg ^ bytes[i]) & 0xFFu];
        if (i % 8 == 7) reg = ~reg;
    }
    return reg;
}

void AppendCheckValue(std::vector<std::uint8_t>& buffer)
{
    AppendHighFirst(buffer, ComputeCheckValue(buffer), 4);
}

bool VerifyCheckValue(std::vector<std::uint8_t>& buffer)
{
    if (buffer.size() < 4) return false;
    const std::size_t n = buffer.size() - 4;
    const std::uint32_t stored = (std::uint32_t{buffer[n]} << 24) | (std::uint32_t{buffer[n + 1]} << 16) |
                                 (std::uint32_t{buffer[n + 2]} << 8) | buffer[n + 3];
    buffer.resize(n);
    return ComputeCheckValue(buffer) == stored;
}

void AppendByteSum(std::vector<std::uint8_t>& buffer)
{
    AppendHighFirst(buffer, ByteSum(buffer), 2);
}

bool VerifyByteSum(const std::vector<std::uint8_t>& buffer)
{
    if (buffer.size() < 2) return false;
    const std::size_t n = buffer.size() - 2;
    return ByteSum(std::span(buffer).first(n)) == ((buffer[n] << 8) | buffer[n + 1]);
}
