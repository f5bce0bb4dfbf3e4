#include "game/support/game_with_kinds.h"
#include "game/turn/actions.h"
#include "game/ui/effect_object.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class ActionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game->map.GetCell(20, 20).terrain = 5;
        game->characters.player.x = 20;
        game->characters.player.y = 20;
    }
    SMapCell& Underfoot() { return game->map.GetCell(20, 20); }
    void LayUnderfoot(std::uint16_t item) { game->map.PlaceItemObject(20, 20, item); }
    // A scenario of `scenes` one-line scenes.
    void MakeScenario(std::int32_t scenes)
    {
        for (std::int32_t i = 0; i < scenes; ++i) {
            game->scriptStarts.push_back(std::int32_t(game->scenarioLines.size()));
            game->scenarioLines.push_back("end");
        }
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(ActionsTest, ThePushesFillTheFieldsTheirHandlersRead)
{
    CActionQueue& queue = game->commandQueue;
    PushActionAttack(queue, 3, 0xFFFF, 7, 8, true);
    PushActionOpenChest(queue, 4, 9, 10);
    PushActionItemsFall(queue, 11, 12, 1, {5, 6});
    PushActionItemLand(queue, 7, 1, 13, 14, 0, 15, 16);
    PushActionPierceHit(queue, 8, 3, 17, 18, 0xFFFF);
    struct Expect
    {
        std::int32_t kind, p1, p2, p3, p4, flag;
    };
    const std::vector<Expect> expected = {
        {2, 3, 0xFFFF, 7, 8, 1}, {8, -1, 4, 9, 10, 0xFFFF},  {9, -1, -1, 11, 12, 1},
        {10, 7, 1, 13, 14, 0},   {29, 8, 3, 17, 18, 0xFFFF},
    };
    ASSERT_EQ(queue.pending.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const SActionRecord& r = queue.pending[i];
        const Expect& e = expected[i];
        EXPECT_EQ((std::vector<std::int32_t>{r.kind, r.param1, r.param2, r.param3, r.param4, r.flag}),
                  (std::vector<std::int32_t>{e.kind, e.p1, e.p2, e.p3, e.p4, e.flag}))
            << i;
    }
    ASSERT_EQ(queue.pending[2].itemCells.size(), 2u);
    EXPECT_EQ(queue.pending[2].itemCells[1].itemIndex, 6);
    EXPECT_EQ(queue.pending[2].itemCells[1].x, 11);
    ASSERT_EQ(queue.pending[3].itemCells.size(), 1u);
    EXPECT_EQ(queue.pending[3].itemCells[0].x, 15);
    EXPECT_EQ(queue.pending[3].itemCells[0].itemIndex, 0xFFFF);
}

TEST_F(ActionsTest, AThrowKnocksTheItemOffItsCell)
{
    const std::uint16_t item = MakeItem(*game, 100, kItemClassWeapon);
    LayUnderfoot(item);
    EXPECT_EQ(PushActionThrow(game->reactionQueue, *game, 20, 20, 6, 4), 0);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    const SActionRecord& r = game->reactionQueue.pending.back();
    EXPECT_EQ(r.kind, kActionThrow);
    EXPECT_EQ(r.param1, item);
    EXPECT_EQ(r.param2, 6);
    EXPECT_EQ(r.flag, 0xFFFF);
    EXPECT_EQ(r.values, (std::vector<std::int32_t>{4}));
    ASSERT_EQ(r.itemCells.size(), 1u);
    EXPECT_EQ(r.itemCells[0].x, -1);
    EXPECT_EQ(Underfoot().objectKind, 0);
}

TEST_F(ActionsTest, RefusedPushesAppendNothingAndTouchNothing)
{
    const std::uint16_t sword = MakeItem(*game, 100, kItemClassWeapon);
    LayUnderfoot(sword);
    game->dungeon = 1;
    game->scenarioSkip = 1;
    MakeScenario(50);
    struct Case
    {
        const char* what;
        std::int32_t expected;
        std::function<std::int32_t(CActionQueue&)> push;
    };
    const std::vector<Case> cases = {
        {"a weapon has no use", 1,
         [&](CActionQueue& q) { return PushItemUseAction(q, *game, sword, 0xFFFF); }},
        {"no item to knock", 1, [&](CActionQueue& q) { return PushActionThrow(q, *game, 21, 20, 0, 3); }},
        {"fire off the map", 1, [&](CActionQueue& q) { return PushActionItemBurn(q, 0xFFFF, 64, 0); }},
        {"fire above the map", 1, [&](CActionQueue& q) { return PushActionItemBurn(q, 0xFFFF, 0, -1); }},
        {"scenes skipped", 1, [&](CActionQueue& q) { return PushGoalScenarioAction(q, *game); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.push(game->reactionQueue), c.expected) << c.what;
        EXPECT_TRUE(game->reactionQueue.pending.empty()) << c.what;
        EXPECT_EQ(Underfoot().objectKind, kObjectItem) << c.what;
        EXPECT_EQ(Underfoot().objectId, sword) << c.what;
    }
    EXPECT_EQ(PushActionItemBurn(game->reactionQueue, 0xFFFF, 63, 43), 0);
}

TEST_F(ActionsTest, TheItemUsePushFollowsTheItemsClass)
{
    for (std::int32_t itemClass = kItemClassFood; itemClass <= kItemClassPot; ++itemClass) {
        const std::uint16_t item = MakeItem(*game, 200 + itemClass, itemClass);
        game->commandQueue.pending.clear();
        EXPECT_EQ(PushItemUseAction(game->commandQueue, *game, item, 7), 0);
        ASSERT_EQ(game->commandQueue.pending.size(), 1u);
        const SActionRecord& r = game->commandQueue.pending.back();
        EXPECT_EQ(r.kind, itemClass + 15) << itemClass;
        EXPECT_EQ(r.param1, item);
        EXPECT_EQ(r.param2, itemClass == kItemClassStaff ? 0xFFFF : 7) << itemClass;
    }
    game->commandQueue.pending.clear();
    EXPECT_EQ(PushItemUseAction(game->commandQueue, *game, 0xFFFF, 0xFFFF), 0);
    EXPECT_EQ(game->commandQueue.pending.back().kind, kActionStepOnCell);
}

TEST_F(ActionsTest, TheItemUnderfootLeavesItsCellWhenItsUseIsPushed)
{
    const std::uint16_t potion = MakeItem(*game, 140, kItemClassPotion);
    LayUnderfoot(potion);
    PushItemUseAction(game->commandQueue, *game, potion, 0xFFFF);
    EXPECT_EQ(Underfoot().objectKind, 0);
    EXPECT_EQ(Underfoot().redraw, 1);
}

TEST_F(ActionsTest, FinishingAnItemUseDeletesPutsBackOrDropsIt)
{
    const std::uint16_t usedUp = MakeItem(*game, 140, kItemClassPotion);
    game->items.GetItem(usedUp).flags |= CItemControl::kUsedUp;
    FinishItemUse(usedUp, *game);
    EXPECT_EQ(game->items.GetItem(usedUp).kind, 0xFFFF);

    const std::uint16_t carried = MakeItem(*game, 141, kItemClassPotion);
    Carry(*game, carried);
    FinishItemUse(carried, *game);
    EXPECT_EQ(Underfoot().objectKind, 0);

    const std::uint16_t loose = MakeItem(*game, 142, kItemClassPot);
    FinishItemUse(loose, *game);
    EXPECT_EQ(Underfoot().objectKind, kObjectItem);
    EXPECT_EQ(Underfoot().objectId, loose);
    EXPECT_TRUE(game->reactionQueue.pending.empty());

    Underfoot().objectKind = kObjectFire;
    Underfoot().objectId = 30;
    FinishItemUse(loose, *game);
    EXPECT_EQ(Underfoot().objectKind, kObjectFire);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    const SActionRecord& fall = game->reactionQueue.pending.back();
    EXPECT_EQ(fall.kind, kActionItemsFall);
    EXPECT_EQ(fall.param3, 20);
    EXPECT_EQ(fall.param4, 20);
    ASSERT_EQ(fall.itemCells.size(), 1u);
    EXPECT_EQ(fall.itemCells[0].itemIndex, loose);
}

TEST_F(ActionsTest, DestroyingTheItemOfACellChargesUnpaidGoodsOnlyWhenAsked)
{
    game->items.kinds.resize(201);
    game->items.kinds[200].buyPrice = 300;
    for (const std::int32_t flag : {0, 0xFFFF}) {
        game->shopBill = 1000;
        const std::uint16_t goods = MakeItem(*game, 200, kItemClassFood);
        game->items.GetItem(goods).flags |= CItemControl::kShopGoods;
        LayUnderfoot(goods);
        DestroyItemOnCell(*game, 20, 20, flag);
        EXPECT_EQ(game->shopBill, flag == 0 ? 700 : 1000);
        EXPECT_EQ(game->items.GetItem(goods).kind, 0xFFFF);
        EXPECT_EQ(Underfoot().objectKind, 0);
    }
}

TEST_F(ActionsTest, EffectsFarFromTheHeroineAreDropped)
{
    struct Case
    {
        std::int32_t x, y;
        bool kept;
    };
    for (const Case& c : {Case{25, 24, true}, Case{15, 16, true}, Case{26, 20, false}, Case{20, 25, false}}) {
        game->effects.clear();
        SEffectObject effect;
        effect.x = c.x;
        effect.y = c.y;
        AddEffectNearPlayer(*game, effect);
        EXPECT_EQ(game->effects.size(), c.kept ? 1u : 0u) << c.x << "," << c.y;
    }
}

TEST_F(ActionsTest, TheFirstRoadsGoalScenePlaysOnlyBeforeAnyRunEnded)
{
    MakeScenario(42);
    using Slot = SGameResource::SDungeonSlot;
    game->dungeon = 1;
    game->runNumber = 1;
    game->dungeonSlots[1].values[Slot::kStarts] = 1; // this run's start does not count
    EXPECT_EQ(PushGoalScenarioAction(game->reactionQueue, *game), 0);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->reactionQueue.pending.back().kind, kActionGoalScenarioD1);
    EXPECT_EQ(game->reactionQueue.pending.back().flag, 41);

    game->reactionQueue.pending.clear();
    game->runNumber = 2;
    EXPECT_EQ(ChooseGoalScene(*game), 40);
    game->dungeonSlots[6].values[Slot::kClears] = 1;
    EXPECT_EQ(PushGoalScenarioAction(game->reactionQueue, *game), 1);
    game->dungeonSlots[6].values[Slot::kClears] = 0;
    game->dungeon = 3;
    EXPECT_EQ(PushGoalScenarioAction(game->reactionQueue, *game), 1);
    game->dungeon = 1;
    game->scenarioLines.resize(40);
    game->scriptStarts.resize(40);
    EXPECT_EQ(PushGoalScenarioAction(game->reactionQueue, *game), 2);
    EXPECT_TRUE(game->reactionQueue.pending.empty());
}

TEST_F(ActionsTest, TheSecondRoadsGoalSceneFollowsTheFirstRoadsDepthAndTheGoodsTaken)
{
    MakeScenario(47);
    game->dungeon = 2;
    struct Case
    {
        std::int32_t deepest, carried, scene;
    };
    for (const Case& c : {Case{2, 1200, 44}, Case{31, 1200, 42}, Case{4, 1200, 43}, Case{30, 1, 43},
                          Case{1, 0, 46}, Case{2, 0, 45}}) {
        game->reactionQueue.pending.clear();
        game->dungeonSlots[1].values[SGameResource::SDungeonSlot::kBestFloor] = c.deepest;
        game->carriedValue = c.carried;
        EXPECT_EQ(PushGoalScenarioAction(game->reactionQueue, *game), 0);
        ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
        EXPECT_EQ(game->reactionQueue.pending.back().kind, kActionGoalScenarioD2);
        EXPECT_EQ(game->reactionQueue.pending.back().flag, c.scene) << c.deepest << " " << c.carried;
    }
    game->dungeonSlots[2].values[SGameResource::SDungeonSlot::kClears] = 1;
    EXPECT_EQ(ChooseGoalScene(*game), -1);
}

} // namespace
