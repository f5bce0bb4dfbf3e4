// The generator's steps that the section plan hands on to: the layout patterns, cutting rooms and
// corridors, room features, walls, water, stairs, the floor's contents and its final check.

#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"

void DungeonGen::ApplyLayoutPattern(std::int32_t, std::int32_t, std::int32_t, std::int32_t, Math::CRand&)
{
    // Stand-in: the fourteen room-grid layout patterns replace this; until then the ordinary grid is laid.
}

void DungeonGen::DigRooms(CMapControl&, Math::CRand&)
{
    // Stand-in: cutting the rooms of the room sections into the field replaces this.
}

void DungeonGen::ConnectSections(CMapControl&, Math::CRand&)
{
    // Stand-in: digging the corridors between joined sections replaces this.
}

void DungeonGen::AddRoomFeatures(Math::CRand&, CMapControl&, std::int32_t)
{
    // Stand-in: the maze room, monster house, shop, moat island, pillars, pools and centre replace this.
}

void DungeonGen::ReinforceWalls(CMapControl&, Math::CRand&)
{
    // Stand-in: the lines and rings of unbreakable wall replace this.
}

void DungeonGen::AddWaterways(CMapControl&, Math::CRand&)
{
    // Stand-in: the channels, lakes and rivers replace this.
}

bool DungeonGen::PlaceStairsAndCheck(Math::CRand&, CMapControl&, SGameResource&)
{
    // Stand-in: placing the stairs and the heroine and proving every floor cell reachable replace this.
    return true;
}

void PopulateFloor(DungeonGen&, CMapControl&, std::int32_t, std::int32_t, Math::CRand&, SGameResource&)
{
    // Stand-in: the floor's items, monsters, traps, monster house and shop replace this.
}

std::int32_t ValidateCharacterPositions(SGameResource&)
{
    // Stand-in: the check of the shopkeepers' and chests' cells replaces this.
    return 0;
}

void UpdateMinimapMarks(CMapControl&, SGameResource&)
{
    // Stand-in: CMapControl::UpdateMinimapMarks, the minimap marks of every cell, replaces this.
}
