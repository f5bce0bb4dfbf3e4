#include "game/core/money.h"

#include <algorithm>

std::int32_t ClampGold(std::uint32_t& gold)
{
    if (gold <= kGoldLimit) return 0;
    gold = kGoldLimit;
    return 2;
}

void AddGoldCounter(SGoldCounter& counter, std::int32_t amount)
{
    constexpr std::uint32_t kUnit = 100000000;
    const std::int32_t limit = static_cast<std::int32_t>(kUnit);
    amount = std::clamp(amount, -limit, limit);
    if (amount >= 0) {
        counter.low += static_cast<std::uint32_t>(amount);
        if (counter.low >= kUnit) {
            counter.low -= kUnit;
            counter.high += 1;
        }
        return;
    }
    const auto d = static_cast<std::uint32_t>(-amount);
    if (counter.low >= d) {
        counter.low -= d;
    } else if (counter.high > 0) {
        counter.high -= 1;
        counter.low = counter.low - d + kUnit;
    } else {
        counter.low = 0;
    }
}
