#pragma once
// The class of a floor, which picks its music.

#include <cstdint>

// The floor type (1 to 22) the floor generator chooses for a dungeon's floor from the floor's seed
// (the generator's ChooseFloorType).
using FloorTypeChooser = std::int32_t (*)(std::int32_t dungeon, std::int32_t floor, std::uint32_t floorSeed);
// The class of the current floor, used as its music number: 3 past the dungeon's last floor; otherwise
// by the floor's type (seed (floor - 1) * 0x3FF0000 + the run's seed): 1 for type 1; 2 for 2, 3, 4 and
// 6; 3 for 5, 20 and 21; 4 for 22; -1 for the others.
std::int32_t ClassifyFloor(std::int32_t dungeon, std::int32_t floor, std::int32_t lastFloor,
                           std::uint32_t runSeed, FloorTypeChooser chooseFloorType);
