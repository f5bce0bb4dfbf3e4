#pragma once
// How many frames a sprite frame lasts at each speed level (-1 to 3, indexed by level + 1); the
// application fills the table at start-up.

#include <array>
#include <cstdint>

inline std::array<std::int32_t, 5> g_animationPeriods{};

inline void InitAnimationPeriods()
{
    g_animationPeriods = {36, 18, 9, 6, 4};
}
