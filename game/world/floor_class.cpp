#include "game/world/floor_class.h"

std::int32_t ClassifyFloor(std::int32_t dungeon, std::int32_t floor, std::int32_t lastFloor,
                           std::uint32_t runSeed, FloorTypeChooser chooseFloorType)
{
    if (floor > lastFloor) return 3;
    const std::uint32_t floorSeed = (static_cast<std::uint32_t>(floor) - 1u) * 0x3FF0000u + runSeed;
    switch (chooseFloorType(dungeon, floor, floorSeed)) {
    case 1:
        return 1;
    case 2:
    case 3:
    case 4:
    case 6:
        return 2;
    case 5:
    case 20:
    case 21:
        return 3;
    case 22:
        return 4;
    default:
        return -1;
    }
}
