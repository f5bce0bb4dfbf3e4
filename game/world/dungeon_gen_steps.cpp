// The generator's steps that the section plan hands on to: the layout patterns, cutting rooms and
// corridors, room features, walls, water, stairs, the floor's contents and its final check.

#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"

void PopulateFloor(DungeonGen&, CMapControl&, std::int32_t, std::int32_t, Math::CRand&, SGameResource&)
{
    // Stand-in: the floor's items, monsters, traps, monster house and shop replace this.
}

std::int32_t ValidateCharacterPositions(SGameResource&)
{
    // Stand-in: the check of the shopkeepers' and chests' cells replaces this.
    return 0;
}
