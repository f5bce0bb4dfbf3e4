#include "game/world/fixed_floors.h"
#include "game/world/population_fixture.h"

#include <gtest/gtest.h>

namespace {

class FixedFloorsTest : public PopulationTest
{
protected:
    void SetUp() override
    {
        PopulationTest::SetUp();
        game->dungeon = 1;
        game->floor = 21;
        game->seed = 1234;
    }
    // The item lying on a field cell, or the empty item.
    const CItemControl::SItem& ItemOnField(std::int32_t fx, std::int32_t fy)
    {
        const SMapCell& cell = game->map.GetFieldCell(std::uint32_t(fx), std::uint32_t(fy));
        return cell.objectKind == kObjectItem ? game->items.GetItem(cell.objectId)
                                              : game->items.GetItem(0xFFFF);
    }
};

TEST_F(FixedFloorsTest, GoalFloorLaysItsDiamondStairsAndHeroine)
{
    EXPECT_EQ(BuildGoalFloor(*game, *gen), 0);
    CMapControl& map = game->map;
    static constexpr std::uint8_t kTerrains[4] = {3, 0, 5, 6};
    for (std::int32_t row = 0; row < 9; ++row)
        for (std::int32_t column = 0; column < 9; ++column) {
            const SMapCell& cell = map.GetFieldCell(std::uint32_t(10 + column), std::uint32_t(10 + row));
            EXPECT_EQ(cell.terrain, kTerrains[kGoalFloorLayout[std::size_t(row)][std::size_t(column)]]);
            EXPECT_EQ(cell.room, 0);
            EXPECT_EQ(cell.explored, 1);
        }
    EXPECT_EQ(map.GetFieldCell(0, 0).terrain, 3);
    EXPECT_EQ(map.GetFieldCell(13, 10).terrain, 0); // a value-1 cell
    EXPECT_EQ(map.GetFieldCell(14, 14).terrain, 6); // the centre cross
    EXPECT_EQ(map.floorType, 22);
    EXPECT_EQ(map.stairsX, 19);
    EXPECT_EQ(map.stairsY, 15);
    const SMapCell& exit = map.GetCell(19, 15);
    EXPECT_EQ(exit.objectKind, kObjectStairs);
    EXPECT_EQ(exit.objectId, 1);
    EXPECT_EQ(exit.objectShown, 1);
    const auto& player = game->characters.player;
    EXPECT_EQ(player.x, 19);
    EXPECT_EQ(player.y, 21);
    EXPECT_EQ(player.direction, 4);
    EXPECT_EQ(game->traps.trapKinds, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));

    // A second play of the run lays the same floor.
    std::vector<std::pair<std::uint8_t, std::int8_t>> first;
    for (const SMapCell& cell : game->map.cells)
        first.push_back({cell.terrain, cell.room});
    Fresh();
    BuildGoalFloor(*game, *gen);
    for (std::size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(std::pair(game->map.cells[i].terrain, game->map.cells[i].room), first[i]) << i;
}

TEST_F(FixedFloorsTest, SecondStairsNeedACompletedDungeonBelowTheDeepFloor)
{
    struct Case
    {
        std::int32_t completions, floor;
        bool training, stairs;
    };
    const Case cases[] = {{0, 21, false, false},  {1, 21, false, true},  {1, 998, false, true},
                          {1, 999, false, false}, {1, 15, false, false}, {1, 21, true, false}};
    for (const Case& c : cases) {
        Fresh();
        game->floor = c.floor;
        game->trainingRun = c.training;
        game->dungeonSlots[1].values[SGameResource::SDungeonSlot::kClears] = c.completions;
        BuildGoalFloor(*game, *gen);
        const SMapCell& cell = game->map.GetFieldCell(14, 13);
        EXPECT_EQ(cell.objectKind == kObjectStairs, c.stairs) << c.completions << " f" << c.floor;
        if (c.stairs) {
            EXPECT_EQ(cell.objectId, 0);
        }
    }
}

TEST_F(FixedFloorsTest, GoalRewardsLieOnTheirCells)
{
    // The first dungeon's goal before its last floor: kind 360 with 2 more value; beyond it, three kinds
    // with 5 more each.
    game->floor = 11;
    BuildGoalFloor(*game, *gen);
    EXPECT_EQ(ItemOnField(14, 14).kind, 360);
    EXPECT_EQ(ItemOnField(13, 14).kind, 0xFFFF);

    Fresh();
    BuildGoalFloor(*game, *gen);
    EXPECT_EQ(ItemOnField(14, 14).kind, 360);
    EXPECT_EQ(ItemOnField(13, 14).kind, 3);
    EXPECT_EQ(ItemOnField(15, 14).kind, 50);
    EXPECT_NE(ItemOnField(13, 14).flags & CItemControl::kIdentified, 0);

    // A training run: gold of 100 a floor on slots 3 to 5.
    Fresh();
    game->trainingRun = true;
    game->floor = 31;
    BuildGoalFloor(*game, *gen);
    for (const auto& [x, y] : {std::pair{14, 15}, {13, 14}, {15, 14}}) {
        EXPECT_EQ(ItemOnField(x, y).itemClass, kItemClassGold);
        EXPECT_EQ(ItemOnField(x, y).GetValue(), 3100);
    }
    EXPECT_EQ(ItemOnField(14, 13).kind, 290);
}

TEST_F(FixedFloorsTest, CompletionMarkIsANumberedItemNotYetInTheWarehouse)
{
    for (std::size_t d = 2; d < 8; ++d)
        game->dungeonSlots[d].values[SGameResource::SDungeonSlot::kClears] = 1;
    EXPECT_EQ(GetCompletionLevel(*game), 1);
    BuildGoalFloor(*game, *gen);
    EXPECT_EQ(ItemOnField(14, 12).kind, 211);
    EXPECT_EQ(ItemOnField(14, 12).extra[0], 255);

    Fresh();
    for (std::size_t d = 2; d < 8; ++d)
        game->dungeonSlots[d].values[SGameResource::SDungeonSlot::kClears] = 1;
    game->items.warehouse[0].kind = 211;
    game->items.warehouse[0].extra[0] = 255;
    game->items.warehouseMark = 1;
    BuildGoalFloor(*game, *gen);
    EXPECT_EQ(ItemOnField(14, 12).kind, 0xFFFF);
}

TEST_F(FixedFloorsTest, GoalSceneIsQueuedOnlyForTheFirstClearOfDungeonOne)
{
    struct Case
    {
        std::int32_t dungeon;
        bool skip;
        std::size_t records;
    };
    for (const Case c : {Case{1, false, 1}, Case{3, false, 0}, Case{1, true, 0}}) {
        Fresh();
        game->dungeon = c.dungeon;
        game->scenarioSkip = c.skip ? 1 : 0;
        game->runNumber = 1;
        game->scriptStarts.assign(50, 0);
        BuildGoalFloor(*game, *gen);
        ASSERT_EQ(game->reactionQueue.pending.size(), c.records) << c.dungeon;
        if (c.records == 1) {
            EXPECT_EQ(game->reactionQueue.pending.front().kind, 56);
            EXPECT_EQ(game->reactionQueue.pending.front().flag, 41);
        }
    }
}

TEST_F(FixedFloorsTest, EmptyWarehouseFloorHoldsOnlyTheKeeperAndTheStairs)
{
    game->dungeon = 0;
    EXPECT_EQ(BuildWarehouseFloor(*gen, *game), 0);
    CMapControl& map = game->map;
    for (std::int32_t x = 10; x <= 18; ++x)
        for (std::int32_t y = 10; y <= 18; ++y) {
            EXPECT_EQ(map.GetFieldCell(std::uint32_t(x), std::uint32_t(y)).terrain, 5);
            EXPECT_EQ(map.GetFieldCell(std::uint32_t(x), std::uint32_t(y)).room, 0);
        }
    EXPECT_EQ(map.GetFieldCell(0, 0).terrain, 1);
    EXPECT_EQ(CountObjects(kObjectItem), 0);
    const SMapCell& stairs = map.GetCell(19, 23);
    EXPECT_EQ(stairs.objectKind, kObjectStairs);
    EXPECT_EQ(stairs.objectId, 1);
    EXPECT_EQ(stairs.terrain, 5);
    ASSERT_EQ(CountCharacters(kCharacterPeaceful), 1);
    const auto& keeper = game->characters.monsters[0];
    EXPECT_EQ(keeper.kindId, 164);
    EXPECT_EQ(keeper.spriteMode, 4);
    EXPECT_EQ(keeper.x, 19);
    EXPECT_EQ(keeper.y, 18);
    EXPECT_EQ(keeper.direction, 0);
    EXPECT_EQ(game->characters.monsterCount, 1);
    EXPECT_EQ(game->characters.player.x, 19);
    EXPECT_EQ(game->characters.player.y, 23);
    EXPECT_EQ(game->characters.player.direction, 4);
}

TEST_F(FixedFloorsTest, FullCharacterTableLeavesTheWarehouseWithoutKeeper)
{
    for (std::uint16_t slot = 0; slot < 64; ++slot)
        PlaceMonster(*game, slot, 4, 1, 1);
    EXPECT_EQ(BuildWarehouseFloor(*gen, *game), 1);
    EXPECT_EQ(game->characters.player.x, 19);
    EXPECT_EQ(game->characters.player.y, 23);
}

TEST_F(FixedFloorsTest, WarehouseGridItemsAreTakenOutOntoTheirCells)
{
    auto& stored = game->items.warehouse[4];
    stored.kind = 3;
    stored.itemClass = kItemClassWeapon;
    game->items.warehouseMark = 5;
    game->items.warehouseList[0] = 4;
    game->items.warehouseCount = 1;
    for (auto& column : game->items.floorItemGrid)
        column.fill(0xFFFF);
    game->items.floorItemGrid[2][3] = 4;
    BuildWarehouseFloor(*gen, *game);
    EXPECT_EQ(ItemOnField(12, 13).kind, 3);
    EXPECT_EQ(game->items.warehouse[4].kind, 0xFFFF);
    EXPECT_EQ(CountObjects(kObjectItem), 1);
}

} // namespace
