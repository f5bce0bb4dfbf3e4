#include "game/items/pots.h"
#include "game/support/action_handlers_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/ui/message_numbers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;

class PotsTest : public ActionHandlersTest
{
protected:
    void SetUp() override
    {
        ActionHandlersTest::SetUp();
        game->items.kinds.resize(400);
        game->items.kindCount = 400;
        for (const std::int32_t food : {120, 123, 124, 125})
            game->items.kinds[std::size_t(food)].classId = kItemClassFood;
        for (std::int32_t pot = 350; pot <= 361; ++pot) {
            game->items.kinds[std::size_t(pot)].classId = kItemClassPot;
            game->items.kinds[std::size_t(pot)].maximum = 8;
        }
        RoomFloor(5, 5, 30, 30);
        game->characters.player.direction = 6;
    }
    std::uint16_t Pot(std::int32_t kind, std::int16_t size, std::vector<std::uint16_t> contents = {})
    {
        const std::uint16_t pot = MakeItem(*game, kind, kItemClassPot);
        CItemControl::SItem& record = game->items.GetItem(pot);
        record.value = size;
        for (std::size_t i = 0; i < contents.size(); ++i)
            record.slots[i] = contents[i];
        return pot;
    }
    std::uint16_t CarriedFood()
    {
        const std::uint16_t item = MakeItem(*game, 120, kItemClassFood);
        Carry(*game, item);
        return item;
    }
    // Runs the record alone until its handler is done, ten frames at the most.
    void Run(const SActionRecord& record) { RunAlone(record, 10); }
    void PutIn(std::uint16_t pot, std::uint16_t item)
    {
        SActionRecord record;
        record.kind = kActionPutInPot;
        record.param1 = pot;
        record.param2 = item;
        Run(record);
    }
    void Sprinkle(std::uint16_t jar)
    {
        SActionRecord record;
        record.kind = kActionSprinkleWater;
        record.param1 = jar;
        Run(record);
    }
    const CItemControl::SItem& Item(std::uint16_t index) { return game->items.GetItem(index); }
    bool IsCarried(std::uint16_t item) const
    {
        return std::find(game->inventory.begin(), game->inventory.end(), item) != game->inventory.end();
    }
};

TEST_F(PotsTest, APotIsRefusedAndAListStopsWhenThePotIsFull)
{
    const std::uint16_t pot = Pot(357, 2, {MakeItem(*game, 120, kItemClassFood)});
    Carry(*game, pot);
    const std::uint16_t other = Pot(350, 3);
    Carry(*game, other);
    MessageRecorder messages(*game);
    PutIn(pot, other);
    EXPECT_EQ(messages.Text(), "壺の中に壺は入れられない。");
    EXPECT_TRUE(IsCarried(other));

    const std::uint16_t a = CarriedFood();
    const std::uint16_t b = CarriedFood();
    const std::uint16_t c = CarriedFood();
    CActionQueue queue;
    ASSERT_EQ(PushPutInPotAction({pot, a, b, c}, queue, *game), 0);
    Run(queue.pending.back());
    EXPECT_EQ(Item(pot).slots[1], a);
    EXPECT_FALSE(IsCarried(a));
    EXPECT_TRUE(IsCarried(b) && IsCarried(c));
    EXPECT_NE(messages.Text().find(std::string(FormatColoredNumber(1).c_str()) + "個のアイテムを"),
              std::string::npos);
    EXPECT_EQ(PushPutInPotAction({pot}, queue, *game), 1);
}

TEST_F(PotsTest, ThePotKindActsOnWhatGoesIn)
{
    // The food pot without random draws always makes kind 124.
    std::uint16_t food = CarriedFood();
    const std::uint16_t remaking = Pot(353, 3);
    Carry(*game, remaking);
    PutIn(remaking, food);
    EXPECT_EQ(Item(food).kind, 124);
    EXPECT_EQ(Item(remaking).slots[0], food);
    EXPECT_EQ(game->itemAwaitingMenu, remaking);

    // The merging pot holding nothing else leaves the item as it was.
    food = CarriedFood();
    game->items.GetItem(food).value = 7;
    const std::uint16_t merging = Pot(360, 3);
    Carry(*game, merging);
    PutIn(merging, food);
    EXPECT_EQ(Item(merging).slots[0], food);
    EXPECT_EQ(Item(food).value, 7);
    EXPECT_EQ(Item(food).kind, 120);

    // The warehouse pot with a full warehouse lets the item fall at her feet.
    for (CItemControl::SItem& stored : game->items.warehouse)
        stored.kind = 1;
    food = CarriedFood();
    const std::uint16_t storing = Pot(350, 3);
    Carry(*game, storing);
    PutIn(storing, food);
    EXPECT_EQ(Item(storing).slots[0], kNone);
    EXPECT_EQ(Item(food).kind, 120);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    const SActionRecord& fall = game->reactionQueue.pending.back();
    EXPECT_EQ(fall.kind, kActionItemsFall);
    EXPECT_EQ(fall.param3, 20);
    EXPECT_EQ(fall.param4, 20);
    ASSERT_EQ(fall.itemCells.size(), 1u);
    EXPECT_EQ(fall.itemCells[0].itemIndex, food);
}

TEST_F(PotsTest, TheJarPoursItsLastWaterUnlessIceSitsOnTop)
{
    struct Case
    {
        std::vector<std::uint16_t> slots, after;
    };
    const Case cases[] = {
        {{0, 0, 1}, {0, 0, 1}},
        {{0, 0, kNone}, {0, kNone, kNone}},
    };
    for (const Case& c : cases) {
        const std::uint16_t jar = Pot(358, 3, c.slots);
        Carry(*game, jar);
        Sprinkle(jar);
        EXPECT_EQ(std::vector<std::uint16_t>(Item(jar).slots.begin(), Item(jar).slots.begin() + 3), c.after);
    }
}

TEST_F(PotsTest, DrawingWaterFillsEveryEmptySlotAtOnce)
{
    Cell(21, 20).terrain = 4;
    const std::uint16_t jar = Pot(358, 3);
    Carry(*game, jar);
    PutIn(jar, kNone);
    EXPECT_EQ(std::vector<std::uint16_t>(Item(jar).slots.begin(), Item(jar).slots.begin() + 3),
              (std::vector<std::uint16_t>{0, 0, 0}));
}

TEST_F(PotsTest, TheSuckingPotInACorridorTakesOnlyItsNeighbours)
{
    const std::uint16_t near = MakeItem(*game, 120, kItemClassFood);
    const std::uint16_t far = MakeItem(*game, 120, kItemClassFood);
    game->map.PlaceItemObject(21, 21, near);
    game->map.PlaceItemObject(22, 20, far);
    const std::uint16_t pot = Pot(355, 3);
    Carry(*game, pot);
    PutIn(pot, kNone);
    EXPECT_EQ(Item(pot).slots[0], near);
    EXPECT_EQ(Item(pot).slots[1], kNone);
    EXPECT_EQ(Cell(21, 21).objectKind, 0);
    EXPECT_EQ(Cell(22, 20).objectKind, kObjectItem);
}

TEST_F(PotsTest, ABreakingJarSplashesTheNearestCellsThatTakeWaterWhileTheyLast)
{
    struct Case
    {
        std::int32_t openCells, released;
    };
    // Two waters on open floor reach two cells; three waters with one open cell around lose the rest.
    for (const Case& c : {Case{25, 2}, Case{1, 1}}) {
        for (std::int32_t y = 5; y < 30; ++y)
            for (std::int32_t x = 5; x < 30; ++x)
                Cell(x, y).terrain = c.openCells == 1 ? 2 : 5;
        Cell(12, 12).terrain = 11; // already wet: passed over
        Cell(12, 11).terrain = 5;
        std::vector<SCellPosition> around;
        game->map.CollectCellsAround(around, 12, 12, 5, 2);
        const std::uint16_t jar = Pot(358, 4, {0, 1, 0, std::uint16_t(c.released == 1 ? 0 : kNone)});
        EXPECT_EQ(ScatterPotContents(*game, 12, 12, jar), c.released);
        std::int32_t wetted = 0;
        for (std::size_t i = 1; i < around.size(); ++i)
            if (Cell(around[i].x, around[i].y).terrain == 11) ++wetted;
        EXPECT_EQ(wetted, c.released);
        EXPECT_EQ(Cell(around[1].x, around[1].y).terrain, 11);
        BreakPot(*game, jar, 12, 12);
        EXPECT_EQ(Item(jar).kind, kNone);
    }
}

TEST_F(PotsTest, TheHidingPotHidesHerForTenTurnsASlotAndIsGone)
{
    const std::uint16_t pot = Pot(354, 3);
    Carry(*game, pot);
    PutIn(pot, kNone);
    EXPECT_EQ(game->characters.player.inPotTurns, 30);
    EXPECT_FALSE(IsCarried(pot));
    EXPECT_EQ(Item(pot).kind, kNone);
}

} // namespace
