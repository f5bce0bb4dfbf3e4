#pragma once
// The money counters: the heroine's gold and the running totals of a run.

#include <cstdint>

inline constexpr std::uint32_t kGoldLimit = 1000000000;
// Caps the gold at kGoldLimit: 2 when it capped, else 0.
std::int32_t ClampGold(std::uint32_t& gold);

// A running money total in two parts: low stays below 100000000 and high counts the hundred-millions.
struct SGoldCounter
{
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};
// Adds an amount clamped to +-100000000; a subtraction that would go below zero stops at zero.
void AddGoldCounter(SGoldCounter& counter, std::int32_t amount);
