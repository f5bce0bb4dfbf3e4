#include "game/characters/combat.h"
#include "game/support/action_handlers_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/sound_recorder.h"
#include "game/world/trap_actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

class TrapEffectsTest : public ActionHandlersTest
{
protected:
    void SetUp() override
    {
        ActionHandlersTest::SetUp();
        game->soundEffects = &sounds;
        RoomFloor(5, 5, 30, 30);
        game->characters.player.maxHp = game->characters.player.hp = 200;
        game->items.kinds.resize(400);
        game->items.kindCount = 400;
        game->items.kinds[125].classId = kItemClassFood;
    }

    // The last record pushed to a queue, run alone.
    std::int32_t RunPushed(CActionQueue& queue)
    {
        const SActionRecord record = queue.pending.back();
        queue.pending.pop_back();
        return RunAlone(record);
    }
    void Fly(std::uint16_t item, std::int32_t x, std::int32_t y)
    {
        game->throwItem.itemIndex = item;
        game->throwItem.x = x;
        game->throwItem.y = y;
    }
    std::int32_t CountEffects(std::int32_t kind) const
    {
        return std::int32_t(std::count_if(game->effects.begin(), game->effects.end(),
                                          [&](const SEffectObject& e) { return e.kind == kind; }));
    }

    SoundRecorder sounds;
};

TEST_F(TrapEffectsTest, AGasCloudShowsAndSoundsOnItsOwnAndIsSilentInARerun)
{
    for (const std::int32_t mode : {kPlayNormal, kPlaySilentRerun}) {
        sounds.played.clear();
        game->effects.clear();
        game->playMode = mode;
        game->characters.player.status.sleepTurns = 0;
        // A monster dying on the cell is nobody: the sleep must not fall on the heroine instead.
        AddMonsterKind(*game, 8);
        PlaceMonster(*game, 0, 8, 12, 12).motion = 13;
        PushSleepGasAction(queue, 12, 12);
        EXPECT_EQ(RunPushed(queue), 2);
        EXPECT_EQ(game->characters.player.status.sleepTurns, 0);
        ASSERT_EQ(CountEffects(kEffectSleepGas), 1);
        EXPECT_EQ(game->effects[0].phaseModulus, 48);
        EXPECT_EQ(sounds.played,
                  mode == kPlayNormal ? std::vector<std::int32_t>{39} : std::vector<std::int32_t>{});
        // With the heroine on the cell she falls asleep in either mode.
        PushSleepGasAction(queue, 20, 20);
        RunPushed(queue);
        EXPECT_GT(game->characters.player.status.sleepTurns, 0) << mode;
    }
}

TEST_F(TrapEffectsTest, PoisonTakesHerStrengthUnlessHerShieldWardsItAndHalvesAMonster)
{
    MessageRecorder messages(*game);
    PushPoisonGasAction(queue, 20, 20);
    RunPushed(queue);
    EXPECT_EQ(game->characters.player.strength, 9);

    EquipShieldWithSeals(*game, {31});
    PushPoisonGasAction(queue, 20, 20);
    RunPushed(queue);
    EXPECT_EQ(game->characters.player.strength, 9);
    EXPECT_NE(messages.Text().find("しかし　毒は効かなかった。"), std::string::npos);

    AddMonsterKind(*game, 8);
    PlaceMonster(*game, 0, 8, 12, 12).attack = 9;
    PushPoisonGasAction(queue, 12, 12);
    RunPushed(queue);
    EXPECT_EQ(game->characters.monsters[0].attack, 5);
}

TEST_F(TrapEffectsTest, WaterWetsTheFlyingItemAndReachesTheCreature)
{
    const std::uint16_t scroll = MakeItem(*game, 190, kItemClassScroll);
    Fly(scroll, 12, 12);
    AddMonsterKind(*game, 12 * 4);
    PlaceMonster(*game, 3, 12 * 4, 12, 12);
    PushWaterTrapAction(queue, 12, 12);
    RunPushed(queue);
    EXPECT_NE(game->items.GetItem(scroll).flags & CItemControl::kWet, 0);
    // Species 12 answers water by breaking up: its own index in the record.
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->reactionQueue.pending.back().param2, 3);
}

TEST_F(TrapEffectsTest, RustSparesGuardedShieldsAndWetsOtherClasses)
{
    struct Case
    {
        std::int32_t kind, itemClass;
        std::uint16_t seal, flags;
        std::int32_t plusAfter;
        bool wet;
    };
    const Case cases[] = {
        {50, kItemClassShield, 0, 0, 2, false}, {50, kItemClassShield, 61, 0, 3, false},
        {52, kItemClassShield, 0, 0, 3, false}, {5, kItemClassWeapon, 0, 0, 3, false},
        {71, kItemClassShield, 0, 0, 3, false}, {50, kItemClassShield, 0, CItemControl::kPlated, 3, false},
        {190, kItemClassScroll, 0, 0, 3, true},
    };
    for (const Case& c : cases) {
        game->items.kinds[std::size_t(c.kind)].maximum = 99;
        const std::uint16_t item = MakeItem(*game, c.kind, c.itemClass);
        CItemControl::SItem& record = game->items.GetItem(item);
        record.value = 3;
        record.flags = c.flags;
        if (c.seal != 0) record.slots[std::size_t(record.sealCount++)] = c.seal;
        Fly(item, 12, 12);
        PushRustTrapAction(queue, 12, 12, 1);
        RunPushed(queue);
        EXPECT_EQ(record.value, c.plusAfter) << c.kind << " seal " << c.seal;
        EXPECT_EQ((record.flags & CItemControl::kWet) != 0, c.wet) << c.kind;
    }
}

TEST_F(TrapEffectsTest, FireBurnsTheFlyingItemMeltsAPillarAndScalesByFloor)
{
    game->floor = 51;
    const std::uint16_t item = MakeItem(*game, 120, kItemClassFood);
    Fly(item, 20, 20);
    const std::int32_t expected = ComputeFireDamage(*game, kHeroine, ScaleDamageByFloor(*game, 20), false);
    PushFireTrapAction(queue, 20, 20);
    RunPushed(queue);
    EXPECT_EQ(game->characters.player.hp, 200 - expected);
    EXPECT_EQ(game->items.GetItem(item).kind, CItemControl::kNone);
    EXPECT_EQ(game->throwItem.itemIndex, CItemControl::kNone);

    const std::uint16_t pillar = game->characters.AddIcePillar();
    game->characters.monsters[pillar].x = game->characters.monsters[pillar].y = 12;
    PushFireTrapAction(queue, 12, 12);
    RunPushed(queue);
    EXPECT_EQ(game->characters.monsters[pillar].type, kCharacterEmpty);
}

TEST_F(TrapEffectsTest, FallingTrapsDealTheirBaseGrownByTheFloor)
{
    struct Case
    {
        std::int32_t (*push)(CActionQueue&, std::int32_t, std::int32_t);
        std::int32_t floor, loss;
    };
    const Case cases[] = {
        {PushLightDamageTrapAction, 1, 10},
        {PushHeavyDamageTrapAction, 1, 30},
        {PushLightDamageTrapAction, 51, 20},
        {PushHeavyDamageTrapAction, 51, 60},
    };
    for (const Case& c : cases) {
        game->floor = c.floor;
        game->characters.player.hp = 200;
        c.push(queue, 20, 20);
        EXPECT_EQ(RunPushed(queue), 2);
        EXPECT_EQ(200 - game->characters.player.hp, c.loss) << c.floor;
    }
}

TEST_F(TrapEffectsTest, ColdFreezesTheFlyingItemAndBindingHoldsAndHurts)
{
    const std::uint16_t potion = MakeItem(*game, 135, kItemClassPotion);
    Fly(potion, 12, 12);
    PushColdTrapAction(queue, 12, 12);
    RunPushed(queue);
    EXPECT_NE(game->items.GetItem(potion).flags & CItemControl::kFrozen, 0);

    PushBindingTrapAction(queue, 20, 20);
    RunPushed(queue);
    EXPECT_EQ(game->characters.player.status.boundTurns, 5);
    EXPECT_EQ(game->characters.player.hp, 195);
    EXPECT_EQ(CountEffects(kEffectBindingSnap), 1);
}

TEST_F(TrapEffectsTest, TheSummonTrapWithAFullTableSaysNothingHappened)
{
    AddMonsterKind(*game, 8);
    for (std::uint16_t slot = 0; slot < CCharacterControl::kSlots; ++slot)
        PlaceMonster(*game, slot, 8, 29, 29);
    MessageRecorder messages(*game);
    PushSummonAction(queue, 12, 12);
    RunPushed(queue);
    EXPECT_EQ(messages.Text(), "しかし　何も起こらなかった。");
}

TEST_F(TrapEffectsTest, ABlastChainsBombTrapsLeavesHerOneHpAndBurnsAHoardersItem)
{
    SMapCell& bomb = game->map.GetCell(13, 12);
    bomb.objectKind = kObjectTrap;
    bomb.objectId = 25;
    AddMonsterKind(*game, 12 * 4);
    PlaceMonster(*game, 0, 12 * 4, 19, 20);
    game->characters.player.hp = 37;
    PushExplosionAction(queue, 12, 12, false, -3, -1);
    RunPushed(queue);
    // The neighbouring bomb trap gets a check of its cell, to go off after this blast.
    ASSERT_FALSE(game->reactionQueue.pending.empty());
    const SActionRecord& check = game->reactionQueue.pending.front();
    EXPECT_EQ((std::vector<std::int32_t>{check.kind, check.param2, check.param3, check.param4}),
              (std::vector<std::int32_t>{kActionLandOnCell, -1, 13, 12}));

    game->reactionQueue.pending.clear();
    PushExplosionAction(queue, 20, 20, false, -3, -1);
    EXPECT_EQ(RunPushed(queue), 2);
    EXPECT_EQ(game->characters.player.hp, 1);
    const std::uint32_t held = game->characters.monsters[0].heldItem;
    ASSERT_LT(held, 0xFFFFu);
    EXPECT_EQ(game->items.GetItem(held).kind, 125);
}

// Burnt food takes the place of what a hoarder held, whichever blast burns it: a weak blast on a living
// one, or a blast of given strength that takes its last HP. The item it held is gone, not left held by
// nobody.
TEST_F(TrapEffectsTest, ABlastDeletesTheItemAHoarderHeldBeforeItsBurntFood)
{
    const std::int32_t strengths[] = {-1, 500};
    for (const std::int32_t strength : strengths) {
        SetUp();
        AddMonsterKind(*game, 12 * 4);
        CCharacterControl::SMonster& hoarder = PlaceMonster(*game, 0, 12 * 4, 19, 20);
        hoarder.hp = 10;
        game->items.kinds[124].classId = kItemClassFood;
        const std::uint16_t before = game->items.CreateItem(124, game->random, 1);
        ASSERT_EQ(game->items.GetItem(before).kind, 124);
        hoarder.heldItem = before;
        PushExplosionAction(queue, 20, 20, false, strength, -1);
        RunPushed(queue);
        // Its record is free again (the food may have taken it).
        EXPECT_NE(game->items.GetItem(before).kind, 124) << strength;
    }
}

TEST_F(TrapEffectsTest, TwoBombersInOneBlastExplodeOnceEach)
{
    AddMonsterKind(*game, 28 * 4);
    PlaceMonster(*game, 0, 28 * 4, 10, 10);
    PlaceMonster(*game, 1, 28 * 4, 11, 10);
    PushExplosionAction(game->reactionQueue, 10, 11, false, -1, -1);
    for (std::int32_t frame = 0; frame < 500 && RunActionQueues(*game) != 0; ++frame) {
    }
    EXPECT_TRUE(game->reactionQueue.IsIdle());
    EXPECT_EQ(CountEffects(kEffectSmallExplosion), 3);
}

} // namespace
