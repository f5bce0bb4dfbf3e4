#pragma once
// Integers stored little-endian in byte buffers, the order of every file format and stream here,
// whatever the machine's own order.

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace platform {

// The integer of type T in the sizeof(T) bytes at p.
template <class T> constexpr T ReadLittleEndian(const std::uint8_t* p)
{
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<T>;
    U bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bits = static_cast<U>(bits | static_cast<U>(static_cast<U>(p[i]) << (8 * i)));
    return static_cast<T>(bits);
}

// Stores the integer in the sizeof(T) bytes at p.
template <class T> constexpr void WriteLittleEndian(std::uint8_t* p, T value)
{
    static_assert(std::is_integral_v<T>);
    const auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

constexpr std::uint16_t ReadU16(const std::uint8_t* p)
{
    return ReadLittleEndian<std::uint16_t>(p);
}
constexpr std::uint32_t ReadU32(const std::uint8_t* p)
{
    return ReadLittleEndian<std::uint32_t>(p);
}
constexpr std::int32_t ReadI32(const std::uint8_t* p)
{
    return ReadLittleEndian<std::int32_t>(p);
}
constexpr void WriteU16(std::uint8_t* p, std::uint16_t value)
{
    WriteLittleEndian(p, value);
}
constexpr void WriteU32(std::uint8_t* p, std::uint32_t value)
{
    WriteLittleEndian(p, value);
}

} // namespace platform
