#pragma once
// A seed whose next draws meet a condition: tests of rules that draw pick the seed that leads to the
// case they want instead of hard-coding draws.

#include "sdk/math/rand.h"

#include <cstdint>
#include <functional>
#include <optional>

// The first seed from `first` on (at most `tries` of them) for which `condition` holds on a generator
// freshly seeded with it; nothing when none does.
inline std::optional<std::uint32_t>
FindSeed(const std::function<bool(zelvoranGameSDK3rd::Math::CRand&)>& condition, std::uint32_t first = 1,
         std::uint32_t tries = 100000)
{
    for (std::uint32_t seed = first; seed < first + tries; ++seed) {
        zelvoranGameSDK3rd::Math::CRand generator;
        generator.SetSeed(seed);
        if (condition(generator)) return seed;
    }
    return std::nullopt;
}
