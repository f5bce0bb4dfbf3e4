#pragma once
// The two floors built by hand rather than by the generator: the goal floor beyond a dungeon's last
// floor, a diamond room with the run's rewards, and the warehouse floor, a 9 x 9 room on which the
// warehouse's items lie, with its keeper beside the stairs. Both run after the map was cleared.

#include "game/world/dungeon_gen.h"

#include <array>
#include <cstdint>

struct SGameResource;

// The goal floor's 9 x 9 layout over field columns and rows 10..18, by row: 0 keeps the fill (terrain
// 3), 1 rock (terrain 0), 2 room floor (terrain 5), 3 corridor floor (terrain 6).
inline constexpr std::array<std::array<std::uint8_t, 9>, 9> kGoalFloorLayout = {{
    {0, 0, 0, 1, 1, 1, 0, 0, 0},
    {0, 1, 1, 1, 2, 1, 1, 1, 0},
    {0, 1, 2, 2, 3, 2, 2, 1, 0},
    {1, 1, 2, 3, 3, 3, 2, 1, 1},
    {1, 0, 3, 3, 3, 3, 3, 0, 1},
    {1, 1, 2, 3, 3, 3, 2, 1, 1},
    {0, 1, 2, 2, 3, 2, 2, 1, 0},
    {0, 1, 1, 1, 2, 1, 1, 1, 0},
    {0, 0, 0, 1, 1, 1, 0, 0, 0},
}};

// One reward of the goal floor: an item kind (-1 none, 0 gold, 211 a numbered item), a value bonus (-1
// none) and its field cell.
struct SGoalReward
{
    std::int32_t kind = -1;
    std::int32_t bonus = -1;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The five rewards the run has earned on this goal floor (the shuffles draw from the game's generator).
std::array<SGoalReward, 5> ChooseGoalRewards(SGameResource& game);
// The completion mark the dungeon records earn on this floor: 0 none, else 1 to 3.
std::int32_t GetCompletionLevel(const SGameResource& game);
// Whether the warehouse holds a numbered item (kind 211) carrying the number.
bool WarehouseHoldsNumber(SGameResource& game, std::int32_t number);

// The goal floor of the game state's dungeon and floor, the heroine at (19, 21) and the dungeon's
// scene queued. 0.
std::int32_t BuildGoalFloor(SGameResource& game, DungeonGen& gen);
// The warehouse floor: 0 done; 1 when no slot was free for the keeper (the heroine still stands on the
// stairs).
std::int32_t BuildWarehouseFloor(DungeonGen& gen, SGameResource& game);
