#pragma once
// What a generated floor holds besides its rooms: the gift of certain floors, the treasure heap, the
// shop with its keepers and goods, the chest, the monster house, the trap room or monster nest, loose
// items and gold, traps, monsters and ice pillars, then the soaking and freezing of what lies on the
// floor. PopulateFloor (declared with the generator) runs them in that order; every draw comes from the
// generator handed in, so a floor's contents follow from its seeds.
//
// Window cell (x, y) of the generator is map cell (x + 5, y + 4); the lists below hold map cells.

#include "game/world/dungeon_gen.h"
#include "game/world/map_control.h"
#include "gamebase/sdk_names.h"
#include "sdk/math/rand.h"

#include <cstdint>
#include <vector>

struct SGameResource;

// The free cells of a rectangle of map cells (rows outer, columns inner), shuffled. Without anyObject a
// cell qualifies when it holds no object, lies in a room and has terrain 5 to 16; with it, when it lies
// in a room and has terrain 5 to 17, whatever lies on it.
void CollectFreeCells(std::vector<SCellPosition>& out, CMapControl& map, std::int32_t left, std::int32_t top,
                      std::int32_t width, std::int32_t height, Math::CRand& rand, bool anyObject);

// The gift of dungeon 1 floor 11, floor 10 of dungeons 2 to 4, and the deep floors: into the bag with its
// message, or falling at the heroine's feet when the bag is full.
void GiveFloorGift(std::int32_t dungeon, std::int32_t floor, Math::CRand& rand, SGameResource& game);

// The room of section (column, row) as a shop: its keepers on their spots and its goods square.
void FillShop(DungeonGen& gen, CMapControl& map, std::int32_t floor, std::int32_t dungeon,
              std::int32_t column, std::int32_t row, SGameResource& game);
// The room of section (column, row) as a monster house: items and gold, traps, sleeping monsters.
void FillMonsterHouse(DungeonGen& gen, CMapControl& map, SGameResource& game, std::int32_t dungeon,
                      std::int32_t level, std::int32_t column, std::int32_t row, Math::CRand& rand);
// The centre room of section (column, row): nothing, a trap room or a monster nest.
void FillSpecialRoom(DungeonGen& gen, CMapControl& map, SGameResource& game, std::int32_t dungeon,
                     std::int32_t level, std::int32_t column, std::int32_t row, Math::CRand& rand);

// A monster of a species whose rank-0 kind carries type flag bit theme - 1, drawn uniformly among them;
// kNoSlot for a theme outside 1..5, a theme no species carries, or when none could be made.
std::uint16_t CreateThemedMonster(SGameResource& game, std::int32_t theme, Math::CRand& rand);

// The floor's trap count outside monster houses and trap rooms, by dungeon and the depth value.
std::int32_t CountFloorTraps(std::int32_t dungeon, std::int32_t level, Math::CRand& rand);
