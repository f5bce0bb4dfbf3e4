#include "game/data/check_value.h"

#include "platform/host/little_endian.h"

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

// Table k gives the register's change from a byte followed by k zero bytes, so that one step takes a
// whole block of eight bytes (the block the complement follows) in eight independent lookups.
using BlockTables = std::array<std::array<std::uint32_t, 256>, 8>;
constexpr BlockTables MakeBlockTables()
{
    BlockTables tables{};
    tables[0] = kCrcTable;
    for (std::size_t k = 1; k < 8; ++k)
        for (std::size_t i = 0; i < 256; ++i)
            tables[k][i] = (tables[k - 1][i] >> 8) ^ kCrcTable[tables[k - 1][i] & 0xFFu];
    return tables;
}
constexpr BlockTables kBlockTables = MakeBlockTables();

// The trailers are stored high byte first, unlike the content.
void AppendHighFirst(std::vector<std::uint8_t>& buffer, std::uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        buffer.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t ReadHighFirst(const std::uint8_t* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | p[i];
    return value;
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
    const std::size_t blocks = bytes.size() / 8;
    const std::uint8_t* p = bytes.data();
    const BlockTables& t = kBlockTables;
    for (std::size_t b = 0; b < blocks; ++b, p += 8) {
        const std::uint32_t low = reg ^ platform::ReadU32(p);
        const std::uint32_t high = platform::ReadU32(p + 4);
        reg = t[7][low & 0xFF] ^ t[6][low >> 8 & 0xFF] ^ t[5][low >> 16 & 0xFF] ^ t[4][low >> 24] ^
              t[3][high & 0xFF] ^ t[2][high >> 8 & 0xFF] ^ t[1][high >> 16 & 0xFF] ^ t[0][high >> 24];
        reg = ~reg;
    }
    for (std::size_t i = blocks * 8; i < bytes.size(); ++i)
        reg = (reg >> 8) ^ kCrcTable[(reg ^ bytes[i]) & 0xFFu];
    return reg;
}

std::uint32_t AppendCheckValue(std::vector<std::uint8_t>& buffer)
{
    const std::uint32_t value = ComputeCheckValue(buffer);
    AppendHighFirst(buffer, value, 4);
    return value;
}

std::uint32_t StoredCheckValue(std::span<const std::uint8_t> bytes)
{
    return bytes.size() < 4 ? 0 : ReadHighFirst(bytes.data() + bytes.size() - 4, 4);
}

bool VerifyCheckValue(std::vector<std::uint8_t>& buffer)
{
    if (buffer.size() < 4) return false;
    const std::size_t n = buffer.size() - 4;
    const std::uint32_t stored = ReadHighFirst(buffer.data() + n, 4);
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
    return ByteSum(std::span(buffer).first(n)) == ReadHighFirst(buffer.data() + n, 2);
}
