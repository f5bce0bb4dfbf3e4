// Floors of every dungeon built with the whole data set: what the population puts on them holds the
// floor's invariants, repeats with its seeds, and comes to rest when animated.

#include "game/dataset/built_data.h"
#include "game/world/dungeon_gen.h"
#include "game/world/floor_invariants.h"

#include <string>

namespace {

using PopulatedFloorTest = BuiltDataTest;

// A new floor of the game state: the map, the characters, the bag and the items cleared, so that two
// builds of one floor start alike.
void StartFloor(SGameResource& game, std::int32_t dungeon, std::int32_t floor)
{
    game.inventory.fill(0xFFFF);
    game.reactionQueue.pending.clear();
    game.items.KeepOnlyCarriedItems(game);
    game.map.Clear();
    game.characters.ResetForNewFloor();
    game.dungeon = dungeon;
    game.floor = floor;
}

TEST_F(PopulatedFloorTest, PopulatedFloorsHoldTheirInvariantsAndRepeat)
{
    const auto game = LoadGame();
    DungeonGen gen;
    gen.Reset();
    std::int32_t monsters = 0;
    std::int32_t items = 0;
    std::int32_t traps = 0;
    for (std::int32_t dungeon = 1; dungeon <= 8; ++dungeon)
        for (const std::int32_t floor : {1, 5, 10, 11, 16, 20, 26, 30, 45, 50, 70, 99, 100, 143}) {
            for (std::uint32_t pair = 0; pair < 3; ++pair) {
                const std::uint32_t a = 0x9E3779B9u * std::uint32_t(floor * 8 + dungeon) + pair;
                const std::uint32_t b = 0x85EBCA6Bu ^ std::uint32_t(floor << 4) ^ pair;
                const std::string where = "d" + std::to_string(dungeon) + " f" + std::to_string(floor) +
                                          " pair " + std::to_string(pair);
                StartFloor(*game, dungeon, floor);
                const std::int32_t result = gen.Generate(*game, a, b);
                for (const std::string& fault : floorcheck::Check(*game, gen, result))
                    ADD_FAILURE() << where << ": " << fault;
                const std::uint64_t first = floorcheck::Hash(*game);
                for (const SMapCell& cell : game->map.cells) {
                    items += cell.objectKind == kObjectItem ? 1 : 0;
                    traps += cell.objectKind == kObjectTrap ? 1 : 0;
                    if (dungeon == 1 && cell.objectKind == kObjectTrap) ADD_FAILURE() << where << ": a trap";
                }
                monsters += game->characters.monsterCount;
                StartFloor(*game, dungeon, floor);
                gen.Generate(*game, a, b);
                EXPECT_EQ(floorcheck::Hash(*game), first) << where;
            }
        }
    EXPECT_GT(monsters, 0);
    EXPECT_GT(items, 0);
    EXPECT_GT(traps, 0);
}

TEST_F(PopulatedFloorTest, PopulatedFloorComesToRestWhenAnimated)
{
    const auto game = LoadGame();
    DungeonGen gen;
    gen.Reset();
    StartFloor(*game, 2, 30);
    ASSERT_EQ(gen.Generate(*game, 77u, 88u), 0);
    ASSERT_GT(game->characters.monsterCount, 0);
    for (auto& m : game->characters.monsters)
        if (m.type != kCharacterEmpty) m.SetMotion(1, -1);
    for (std::int32_t frame = 0; frame < 600; ++frame)
        game->characters.UpdateAnimation(*game);
    for (const auto& m : game->characters.monsters) {
        if (m.type != kCharacterEmpty) {
            EXPECT_EQ(m.motionLength, 0) << "kind " << m.kindId;
        }
    }
}

} // namespace
