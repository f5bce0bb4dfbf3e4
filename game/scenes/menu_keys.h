#pragma once
// The key bits the menu scene's states read from the key mask.

#include <cstdint>

namespace MenuKeys {
constexpr std::uint32_t kKeyDecide = 1u << 0;
constexpr std::uint32_t kKeyCancel = 1u << 1;
constexpr std::uint32_t kKeySort = 1u << 2;
constexpr std::uint32_t kKeyMenu = 1u << 3;
constexpr std::uint32_t kKeyMulti = 1u << 4;
constexpr std::uint32_t kKeyDiagonal = 1u << 5;
constexpr std::uint32_t kKeyUp = 1u << 8;
constexpr std::uint32_t kKeyLeft = 1u << 9;
constexpr std::uint32_t kKeyDown = 1u << 10;
constexpr std::uint32_t kKeyRight = 1u << 11;
constexpr std::uint32_t kKeyDirections = kKeyUp | kKeyLeft | kKeyDown | kKeyRight;
} // namespace MenuKeys
