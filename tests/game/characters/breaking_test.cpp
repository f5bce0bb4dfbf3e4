#include "game/characters/cell_actions.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/seed_search.h"
#include "game/support/sound_recorder.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

class BreakingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterActionHandlers();
        game->soundEffects = &sounds;
        game->random.noRandom = true;
        for (std::int32_t y = 5; y < 30; ++y)
            for (std::int32_t x = 5; x < 30; ++x)
                game->map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain = 5;
        game->items.kinds.resize(400);
        game->items.kindCount = 400;
        game->items.kinds[120].classId = kItemClassFood;
    }

    // Runs the record alone until its handler is done; the frames it took.
    std::int32_t Run(SActionRecord record, SActionRecord* finished = nullptr)
    {
        CActionQueue queue;
        queue.current = record;
        std::int32_t frames = 1;
        while (GetActionHandler(record.kind)(queue, *game) != 0) {
            ++queue.step;
            ++frames;
        }
        if (finished != nullptr) *finished = queue.current;
        return frames;
    }
    SActionRecord Take(CActionQueue& queue)
    {
        SActionRecord record = queue.pending.back();
        queue.pending.pop_back();
        return record;
    }
    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    std::int32_t CountEffects(std::int32_t kind) const
    {
        return std::int32_t(std::count_if(game->effects.begin(), game->effects.end(),
                                          [&](const SEffectObject& e) { return e.kind == kind; }));
    }
    std::uint16_t WeaponWithSeals(std::initializer_list<std::uint16_t> seals)
    {
        const std::uint16_t weapon = MakeItem(*game, 4, kItemClassWeapon);
        CItemControl::SItem& item = game->items.GetItem(weapon);
        for (const std::uint16_t seal : seals)
            item.slots[std::size_t(item.sealCount++)] = seal;
        game->equippedWeapon = weapon;
        return weapon;
    }

    SoundRecorder sounds;
    std::unique_ptr<SGameResource> game = MakeTestGame();
    CActionQueue queue;
};

TEST_F(BreakingTest, APillarShattersWithItsMessageAndLongDyingMotion)
{
    MessageRecorder messages(*game);
    CCharacterControl::SMonster& pillar = PlaceMonster(*game, 2, 0xFFFF, 12, 12);
    pillar.TurnIntoIcePillar();
    PushActionIcePillarBreak(queue, kHeroine, 2, 1);
    EXPECT_EQ(Run(Take(queue)), 2);
    EXPECT_EQ(messages.Text(), "氷の柱は壊れた。");
    EXPECT_EQ(pillar.motion, 13);
    EXPECT_EQ(pillar.motionLength, 32);
    EXPECT_TRUE(game->reactionQueue.pending.empty());
}

TEST_F(BreakingTest, AChestOpensOntoFloorAndItsItemFallsOnTheSecondStep)
{
    AddMonsterKind(*game, 40);
    CCharacterControl::SMonster& chest = PlaceMonster(*game, 1, 40, 12, 12);
    chest.type = kCharacterChest;
    Cell(12, 12).terrain = 2;
    const std::uint16_t sword = MakeItem(*game, 4, kItemClassWeapon);
    chest.heldItem = sword;

    PushActionIcePillarBreak(queue, kHeroine, 1, 0);
    CActionQueue runner;
    runner.current = Take(queue);
    ASSERT_NE(HandleIcePillarBreak(runner, *game), 0);
    EXPECT_EQ(Cell(12, 12).terrain, 5);
    EXPECT_EQ(chest.motion, 13);
    EXPECT_TRUE(game->reactionQueue.pending.empty());
    runner.step = 1;
    EXPECT_EQ(HandleIcePillarBreak(runner, *game), 0);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    const SActionRecord& fall = game->reactionQueue.pending.back();
    EXPECT_EQ(fall.kind, kActionItemsFall);
    EXPECT_EQ(fall.flag, 0);
    EXPECT_EQ(fall.param3, 12);
    ASSERT_EQ(fall.itemCells.size(), 1u);
    EXPECT_EQ(fall.itemCells[0].itemIndex, sword);
}

TEST_F(BreakingTest, SealSeventyFourDropsFoodByItsChanceOfTwelve)
{
    WeaponWithSeals({74, 74});
    AddMonsterKind(*game, 40);
    struct Case
    {
        std::int32_t draw;
        bool food;
    };
    for (const Case c : {Case{1, true}, Case{2, false}}) {
        const auto seed = FindSeed([&](Math::CRand& r) { return r.Get() % 12 == std::uint32_t(c.draw); });
        ASSERT_TRUE(seed);
        game->random.noRandom = false;
        game->random.SetSeed(*seed);
        PlaceMonster(*game, 3, 40, 14, 14);
        PushActionIcePillarBreak(queue, kHeroine, 3, 1);
        CActionQueue runner;
        runner.current = Take(queue);
        HandleIcePillarBreak(runner, *game);
        const auto& cells = runner.current.itemCells;
        ASSERT_EQ(cells.size(), c.food ? 1u : 0u) << c.draw;
        if (c.food) {
            EXPECT_EQ(game->items.GetItem(cells[0].itemIndex).kind, 120);
        }
    }
}

TEST_F(BreakingTest, ASealedMonsterNamesNoKindForTheSplashStep)
{
    AddMonsterKind(*game, 38 * 4 + 1);
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 4, 38 * 4 + 1, 15, 15);
    for (const bool sealed : {true, false}) {
        game->effects.clear();
        monster.motion = 0;
        monster.status.sealTurns = sealed ? 5 : 0;
        PushActionIcePillarBreak(queue, -1, 4, 0);
        CActionQueue runner;
        runner.current = Take(queue);
        HandleIcePillarBreak(runner, *game);
        EXPECT_EQ(runner.current.param2, sealed ? 0xFFFF : 38 * 4 + 1);
        runner.step = 1;
        HandleIcePillarBreak(runner, *game);
        EXPECT_EQ(CountEffects(kEffectSplash), sealed ? 0 : 1);
    }
}

TEST_F(BreakingTest, NothingBreaksForTheHeroineOrAnEmptySlot)
{
    for (const std::int32_t index : {-1, 0xFFFF, 9}) {
        SActionRecord record;
        record.kind = kActionBreakUp;
        record.param2 = index;
        EXPECT_EQ(Run(record), 1) << index;
    }
}

TEST_F(BreakingTest, ItemsTakeTheFreeCandidatesInRingOrder)
{
    // The centre holds a trap and the north-east cell an item: the three go north, east, south-east.
    Cell(12, 12).objectKind = kObjectTrap;
    const std::uint16_t lying = MakeItem(*game, 4, kItemClassWeapon);
    game->map.PlaceItemObject(13, 11, lying);
    std::vector<std::uint16_t> items;
    for (int i = 0; i < 3; ++i)
        items.push_back(MakeItem(*game, 4, kItemClassWeapon));
    PushActionItemsFall(queue, 12, 12, 0, items);
    EXPECT_EQ(Run(Take(queue)), 2);
    EXPECT_EQ(CountEffects(kEffectDroppedItem), 3);
    const SCellPosition expected[] = {{12, 11}, {13, 12}, {13, 13}};
    for (int i = 0; i < 3; ++i) {
        const SMapCell& cell = Cell(expected[i].x, expected[i].y);
        EXPECT_EQ(cell.objectKind, kObjectItem) << i;
        EXPECT_EQ(cell.objectId, items[std::size_t(i)]) << i;
    }
}

TEST_F(BreakingTest, AFlightIsNotShownToABlindHeroine)
{
    game->characters.player.status.blindTurns = 3;
    PushActionItemFall(queue, 12, 12, 0, MakeItem(*game, 4, kItemClassWeapon));
    Run(Take(queue));
    EXPECT_EQ(CountEffects(kEffectDroppedItem), 0);
    EXPECT_EQ(Cell(12, 12).objectKind, kObjectItem);
}

TEST_F(BreakingTest, ThePuddlePotSplashesAndSoaksUpTheWater)
{
    DrawFloorArt(*game, 10, 10, {"#####", "#~~~#", "#####"});
    const std::uint16_t pot = MakeItem(*game, 352, kItemClassPot);
    game->items.GetItem(pot).value = 3;
    PushActionItemFall(queue, 11, 11, 1, pot);
    Run(Take(queue));
    EXPECT_EQ(CountEffects(kEffectSplash), 1);
    EXPECT_EQ(Cell(11, 11).objectId, pot);
    EXPECT_NE(Cell(12, 11).terrain, 4);
    EXPECT_EQ(game->items.GetItem(pot).value, 2);
}

TEST_F(BreakingTest, LandingMessagesFollowTheFlagButBurningAndVanishingDoNot)
{
    struct Case
    {
        const char* name;
        std::int32_t flag;
        std::uint8_t terrain;
        std::uint8_t object;
        const char* suffix; // "" for no message
        bool lies;
    };
    const Case cases[] = {
        {"puddle", 1, 12, 0, "は水溜りに落ちた。", true},
        {"ground", 1, 5, 0, "は地面に落ちた。", true},
        {"quiet", 0, 12, 0, "", true},
        {"fire", 0, 5, kObjectFire, "は 燃え尽きた！", false},
        {"nowhere", 0, 2, 0, "は\nどこかへ消えてしまった……。", false},
    };
    for (const Case& c : cases) {
        // A lone cell of the case's ground inside rock: its neighbours are no candidates.
        DrawFloorArt(*game, 20, 20, {"   ", "   ", "   "});
        Cell(21, 21).terrain = c.terrain;
        Cell(21, 21).objectKind = c.object;
        const std::uint16_t item = MakeItem(*game, 4, kItemClassWeapon);
        const std::string name = GetColoredItemNameByIndex(game->items, item).c_str();
        MessageRecorder messages(*game);
        PushActionItemFall(queue, 21, 21, c.flag, item);
        Run(Take(queue));
        EXPECT_EQ(messages.Text(), *c.suffix ? name + c.suffix : "") << c.name;
        EXPECT_EQ(game->items.GetItem(item).kind != 0xFFFF, c.lies) << c.name;
        EXPECT_EQ(Cell(21, 21).objectKind == kObjectItem, c.lies) << c.name;
    }
}

} // namespace
