#include "game/support/action_handlers_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/world/trap_actions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

class MovementActionsTest : public ActionHandlersTest
{
protected:
    void SetUp() override
    {
        ActionHandlersTest::SetUp();
        game->items.kinds.resize(400);
        game->items.kindCount = 400;
        Floor(5, 5, 40, 30, 5, -1);
        game->characters.player.maxHp = game->characters.player.hp = 100;
    }
    void Floor(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint8_t terrain,
               std::int8_t room)
    {
        for (std::int32_t y = y0; y < y1; ++y)
            for (std::int32_t x = x0; x < x1; ++x) {
                SMapCell& cell = Cell(x, y);
                cell.terrain = terrain;
                cell.room = room;
            }
    }
    std::int32_t RunPushed()
    {
        const SActionRecord record = queue.pending.back();
        queue.pending.pop_back();
        return RunAlone(record, 100);
    }
    // Carries n items of a plain kind; their indices.
    std::vector<std::uint16_t> CarryItems(std::int32_t n, std::int32_t kind = 120)
    {
        std::vector<std::uint16_t> items;
        for (std::int32_t i = 0; i < n; ++i) {
            items.push_back(MakeItem(*game, kind, kItemClassFood));
            Carry(*game, items.back());
        }
        return items;
    }
    std::int32_t CarriedCount() const
    {
        std::int32_t n = 0;
        for (const std::uint16_t item : game->inventory)
            n += item != 0xFFFF ? 1 : 0;
        return n;
    }
    // The cells of the one items-fall record the trip pushed; empty when none.
    std::vector<std::pair<std::int32_t, std::int32_t>> DropCells() const
    {
        std::vector<std::pair<std::int32_t, std::int32_t>> cells;
        for (const SActionRecord& record : game->reactionQueue.pending)
            if (record.kind == kActionItemsFall)
                for (const SActionItemCell& cell : record.itemCells)
                    cells.push_back({cell.x - game->characters.player.x, cell.y - game->characters.player.y});
        return cells;
    }
};

TEST_F(MovementActionsTest, AWarpLeavesTheBoxAndRoomWhenItCanElseTheLastPlacementStands)
{
    Floor(5, 5, 40, 30, 0, -1);
    Floor(10, 10, 16, 14, 5, 0);
    Floor(30, 20, 36, 24, 5, 1);
    for (std::int32_t y = 10; y < 24; ++y)
        for (std::int32_t x = 10; x < 36; ++x)
            if (Cell(x, y).terrain == 5) game->map.candidateCells.push_back({x, y});
    game->random.noRandom = false;
    game->random.SetSeed(7);
    for (std::int32_t trial = 0; trial < 5; ++trial) {
        CCharacterControl::SPlayer& player = game->characters.player;
        player.x = 12;
        player.y = 11;
        player.motionLength = 0;
        PushWarpAction(queue, kHeroine);
        EXPECT_EQ(RunPushed(), 3);
        EXPECT_TRUE(std::abs(player.x - 12) > 8 || std::abs(player.y - 11) > 6);
        EXPECT_EQ(Cell(player.x, player.y).room, 1);
    }
    // With only the one room the last of the sixteen placements stands, inside it.
    Floor(30, 20, 36, 24, 0, -1);
    std::erase_if(game->map.candidateCells, [](const SCellPosition& c) { return c.x >= 30; });
    PushWarpAction(queue, kHeroine);
    RunPushed();
    EXPECT_EQ(Cell(game->characters.player.x, game->characters.player.y).room, 0);
}

TEST_F(MovementActionsTest, ATripDropsHalfTheBagPlusOneOntoTheFreeFanCellsOnly)
{
    // The fan ahead of her when she faces up, in the order items land on it.
    const std::pair<std::int32_t, std::int32_t> fan[] = {{0, -1},  {0, -2},  {-1, -2}, {1, -2}, {0, -3},
                                                         {-2, -3}, {-1, -3}, {1, -3},  {2, -3}};
    struct Case
    {
        std::int32_t carried, freeCells, dropped;
    };
    const Case cases[] = {{20, 9, 9}, {6, 3, 3}, {6, 9, 4}};
    for (const Case& c : cases) {
        game->inventory.fill(0xFFFF);
        game->reactionQueue.pending.clear();
        Floor(5, 5, 40, 30, 5, -1);
        CCharacterControl::SPlayer& player = game->characters.player;
        player.direction = 4;
        for (std::int32_t i = c.freeCells; i < 9; ++i)
            Cell(player.x + fan[i].first, player.y + fan[i].second).terrain = 2;
        CarryItems(c.carried);
        PushTripAction(queue, kHeroine);
        RunPushed();
        EXPECT_EQ(std::int32_t(DropCells().size()), c.dropped) << c.carried;
        EXPECT_EQ(CarriedCount(), c.carried - c.dropped) << c.carried;
    }
}

TEST_F(MovementActionsTest, TheTripFanTurnsWithHerFacing)
{
    using Cells = std::vector<std::pair<std::int32_t, std::int32_t>>;
    const Cells up = {{0, -1}, {0, -2}, {-1, -2}, {1, -2}, {0, -3}, {-2, -3}, {-1, -3}, {1, -3}, {2, -3}};
    const Cells upRight = {{1, -1}, {2, -2}, {1, -2}, {2, -1}, {3, -3}, {1, -3}, {2, -3}, {3, -2}, {3, -1}};
    const auto transform = [](Cells cells, bool swap, bool negateX, bool negateY) {
        for (auto& [dx, dy] : cells) {
            if (swap) std::swap(dx, dy);
            if (negateX) dx = -dx;
            if (negateY) dy = -dy;
        }
        return cells;
    };
    const std::vector<std::pair<std::int32_t, Cells>> cases = {
        {4, up},
        {0, transform(up, false, false, true)},
        {2, transform(up, true, false, false)},
        {6, transform(up, true, true, false)},
        {5, upRight},
        {7, transform(upRight, false, false, true)},
        {1, transform(upRight, true, false, false)},
        {3, transform(upRight, true, false, true)},
    };
    for (const auto& [facing, cells] : cases) {
        game->inventory.fill(0xFFFF);
        game->reactionQueue.pending.clear();
        game->characters.player.direction = facing;
        CarryItems(20);
        PushTripAction(queue, kHeroine);
        RunPushed();
        EXPECT_EQ(DropCells(), cells) << facing;
    }
}

TEST_F(MovementActionsTest, NothingFallsWithoutCandidatesOrWithTheTripGuard)
{
    const std::uint16_t weapon = CarryItems(1, 3)[0];
    game->equippedWeapon = weapon;
    MessageRecorder messages(*game);
    PushTripAction(queue, kHeroine);
    RunPushed();
    EXPECT_TRUE(DropCells().empty());
    EXPECT_EQ(CarriedCount(), 1);
    EXPECT_NE(messages.Text().find("は転んだ！"), std::string::npos);

    CarryItems(1, 245);
    PushTripAction(queue, kHeroine);
    EXPECT_EQ(RunPushed(), 1);
    EXPECT_NE(messages.Text().find("は転ばなかった。"), std::string::npos);
    EXPECT_TRUE(DropCells().empty());
}

TEST_F(MovementActionsTest, AKnockbackStopsBeforeTerrainItMayNotEnterAndHurtsWithTheList)
{
    struct Case
    {
        std::uint8_t beyond;
        bool list;
        std::int32_t endX, hp;
    };
    // A walker at (10, 10) thrown two cells right: (11, 10) is floor, (12, 10) the terrain of the case.
    const Case cases[] = {{4, true, 11, 15}, {5, true, 12, 20}, {2, false, 11, 20}};
    AddMonsterKind(*game, 8);
    for (const Case& c : cases) {
        game->reactionQueue.pending.clear();
        Floor(5, 5, 40, 30, 5, -1);
        Floor(13, 10, 14, 11, 2, -1);
        Cell(12, 10).terrain = c.beyond;
        CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, 10, 10);
        PushKnockbackAction(queue, 0, 6, 2, -1, c.list);
        RunPushed();
        EXPECT_EQ(monster.x, c.endX) << int(c.beyond);
        EXPECT_EQ(monster.hp, c.hp) << int(c.beyond);
    }
}

TEST_F(MovementActionsTest, AKnockbackStraightIntoAWallStillHurtsWithTheList)
{
    Cell(21, 20).terrain = 2;
    PushKnockbackAction(queue, kHeroine, 6, 10, -1, true);
    ASSERT_EQ(queue.pending.back().values, std::vector<std::int32_t>{kHeroine});
    RunPushed();
    EXPECT_EQ(game->characters.player.x, 20);
    EXPECT_EQ(game->characters.player.hp, 95);
}

TEST_F(MovementActionsTest, APitTakesAMonsterOffTheFloorAndMayDefeatTheHeroine)
{
    AddMonsterKind(*game, 8);
    PlaceMonster(*game, 2, 8, 12, 12);
    PushPitAction(queue, 12, 12);
    RunPushed();
    EXPECT_EQ(game->characters.monsters[2].type, kCharacterEmpty);

    struct Case
    {
        std::int32_t hp, after;
        std::uint8_t leave;
    };
    for (const Case& c : {Case{20, 15, 1}, Case{3, 0, 0}}) {
        game->leaveFloor = 0;
        game->characters.player.hp = c.hp;
        PushPitAction(queue, 20, 20);
        RunPushed();
        EXPECT_EQ(game->characters.player.hp, c.after);
        EXPECT_EQ(game->leaveFloor, c.leave) << c.hp;
        EXPECT_EQ(game->deathCause, 7);
    }
}

TEST_F(MovementActionsTest, AGustTakesTheLastCreatureBeforeTheWallElseTheFirstBehind)
{
    AddMonsterKind(*game, 8);
    Floor(16, 10, 17, 11, 2, -1);
    Floor(3, 10, 4, 11, 2, -1);
    game->characters.player.direction = 4; // the gust blows toward direction 6, to the right
    struct Case
    {
        std::vector<std::int32_t> monsterXs;
        std::int32_t target;
    };
    // The trap at (10, 10); the heroine stands elsewhere.
    const Case cases[] = {{{12, 14}, 1}, {{8, 6}, 0}, {{}, -1}};
    for (const Case& c : cases) {
        for (CCharacterControl::SMonster& m : game->characters.monsters)
            m.Reset();
        for (std::size_t i = 0; i < c.monsterXs.size(); ++i)
            PlaceMonster(*game, std::uint16_t(i), 8, c.monsterXs[i], 10);
        game->reactionQueue.pending.clear();
        PushBlownAwayAction(queue, 10, 10);
        RunPushed();
        if (c.target == -1) {
            EXPECT_TRUE(game->reactionQueue.pending.empty());
            continue;
        }
        ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
        const SActionRecord& push = game->reactionQueue.pending.back();
        EXPECT_EQ((std::vector<std::int32_t>{push.kind, push.param2, push.param3, push.param4}),
                  (std::vector<std::int32_t>{kActionKnockback, c.target, 10, 2}));
    }
}

} // namespace
