#include "game/core/fixed_sine.h"

#include <cmath>

FixedSineTable MakeFixedSineTable()
{
    FixedSineTable table{};
    for (int i = 0; i < 64; ++i)
        table[i] = static_cast<std::int32_t>(std::sin(i * 3.14 * 0.5 * 0.015625) * 65536.0);
    return table;
}

namespace {

std::int32_t Scale(std::int32_t entry, std::int32_t magnitude, bool negative)
{
    const std::uint32_t product = static_cast<std::uint32_t>(entry) * static_cast<std::uint32_t>(magnitude);
    const auto value = static_cast<std::int32_t>(product >> 16);
    return negative ? -value : value;
}

// sin of angle (0 to 255): the quarter, the table index and the sign.
std::int32_t SineAt(std::int32_t angle, std::int32_t magnitude)
{
    static const FixedSineTable table = MakeFixedSineTable();
    const std::int32_t a = angle & 255;
    const std::int32_t within = a & 63;
    const bool rising = (a & 64) == 0; // quarters 0 and 2 read the table forward
    return Scale(table[rising ? within : 63 - within], magnitude, a >= 128);
}

} // namespace

std::int32_t FixedSin(std::int32_t angle, std::int32_t magnitude)
{
    return SineAt(angle, magnitude);
}

std::int32_t FixedCos(std::int32_t angle, std::int32_t magnitude)
{
    // cos(a) = sin(a + a quarter turn) on this table.
    return SineAt(angle + 64, magnitude);
}
