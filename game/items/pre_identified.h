#pragma once
// The item classes known from the start in each dungeon: a new item of such a class is identified and
// examined at once.

#include <array>
#include <cstdint>
#include <set>

inline constexpr std::int32_t kPreIdentifiedDungeons = 8;

// One set of classes per dungeon 0 to 7, filled by InitPreIdentifiedClassSets.
extern std::array<std::set<std::int32_t>, kPreIdentifiedDungeons> g_preIdentifiedClassSets;

// Fills the sets, once at start-up: every set holds arrows (3), food (4) and gold (11); dungeons 0, 1, 3
// and 4 know every class 1 to 11, dungeon 2 also 5 and 6.
void InitPreIdentifiedClassSets();
