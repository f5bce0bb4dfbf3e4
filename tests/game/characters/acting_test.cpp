#include "cell_actions_fixture.h"

#include "game/support/floor_art.h"
#include "game/support/message_recorder.h"

#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

std::uint32_t Modulo12(Math::CRand& r)
{
    return r.Get() % 12;
}

// The targets of the pending blows in the order they will land (newest first).
std::vector<std::int32_t> BlowOrder(const CActionQueue& queue)
{
    std::vector<std::int32_t> targets;
    for (auto record = queue.pending.rbegin(); record != queue.pending.rend(); ++record)
        if (record->kind == kActionMeleeAttack) targets.push_back(record->param2);
    return targets;
}

// A monster in slot d on each of the eight cells round the heroine, slot = direction from her.
void SurroundHeroine(CellActionsTest& test, SGameResource& game)
{
    static const std::int32_t dx[8] = {0, -1, -1, -1, 0, 1, 1, 1};
    static const std::int32_t dy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    (void)test;
    AddMonsterKind(game, 8);
    for (std::uint16_t d = 0; d < 8; ++d)
        PlaceMonster(game, d, 8, 20 + dx[d], 20 + dy[d]);
}

using ActingTest = CellActionsTest;

TEST_F(ActingTest, AConfusedHeroineFacesTheDrawBelowEight)
{
    CCharacterControl::SPlayer& player = game->characters.player;
    player.status.confusionTurns = 5;
    struct Case
    {
        std::int32_t draw; // -1 fixed-random mode
        std::int32_t facing;
    };
    for (const Case c : {Case{-1, 0}, Case{5, 5}, Case{9, 3}}) {
        player.direction = 3;
        if (c.draw >= 0) Seed(Modulo12, std::uint32_t(c.draw));
        Decide(kHeroine);
        EXPECT_EQ(player.direction, c.facing) << c.draw;
    }
}

TEST_F(ActingTest, WeaponSealsChooseTheCellsStruckAndTheirOrder)
{
    SurroundHeroine(*this, *game);
    game->characters.player.direction = 2;
    struct Case
    {
        std::uint16_t seal;
        std::vector<std::int32_t> order;
    };
    for (const Case& c : {Case{14, {2, 3, 4, 5, 6, 7, 0, 1}}, Case{13, {2, 1, 3}}, Case{0, {2}}}) {
        game->commandQueue.pending.clear();
        EquipWeapon({c.seal});
        EXPECT_EQ(Decide(kHeroine), 1);
        EXPECT_EQ(BlowOrder(game->commandQueue), c.order) << c.seal;
        EXPECT_TRUE(game->reactionQueue.pending.empty()) << c.seal;
    }
}

TEST_F(ActingTest, APiercingLineStopsBeforeRockAndItsWallsComeAfterTheBlows)
{
    DrawFloorArt(*game, 19, 20, {" @..# "});
    AddMonsterKind(*game, 8);
    for (std::uint16_t i = 0; i < 3; ++i)
        PlaceMonster(*game, i, 8, 21 + i, 20);
    game->characters.player.x = 20;
    game->characters.player.direction = 6;
    EquipWeapon({19});
    Decide(kHeroine);
    EXPECT_EQ(BlowOrder(game->commandQueue), (std::vector<std::int32_t>{0, 1, 2}));
    const SActionRecord& line = game->commandQueue.pending.front();
    EXPECT_EQ(line.kind, kActionPierceWalls);
    EXPECT_EQ(line.param3, 24); // the wall is struck through; the rock after it ends the line
}

TEST_F(ActingTest, TheHeroineTalksToAShopkeeperUnlessConfused)
{
    CCharacterControl::SMonster& keeper = Monster(4, 8, 20, 21);
    keeper.type = kCharacterShopkeeper;
    EXPECT_EQ(Decide(kHeroine), 0);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    const SActionRecord talk = Take(game->reactionQueue);
    EXPECT_EQ(talk.kind, kActionShopkeeper);
    EXPECT_EQ(talk.param2, 4);
    EXPECT_EQ(talk.param4, 21);
    EXPECT_TRUE(game->commandQueue.pending.empty());

    game->characters.player.status.confusionTurns = 3;
    EXPECT_EQ(Decide(kHeroine), 1);
    EXPECT_EQ(BlowOrder(game->commandQueue), std::vector<std::int32_t>{4});
    EXPECT_TRUE(game->reactionQueue.pending.empty());
}

TEST_F(ActingTest, ASwingAtNobodyOnlyLeavesAFootprint)
{
    EXPECT_EQ(Decide(kHeroine), 1);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    const SActionRecord swing = Take(game->reactionQueue);
    EXPECT_EQ(swing.kind, kActionSwingAtCell);
    EXPECT_EQ(Run(swing), 1);
    EXPECT_EQ(Cell(20, 21).mark, 1);
    EXPECT_EQ(Cell(20, 21).terrain, 5);
}

TEST_F(ActingTest, SwingSoundsFollowTheWeaponOrTheSpecies)
{
    game->items.moveWeights[4] = 123;
    CCharacterControl::SMonster& monster = Monster(0, 8, 25, 25);
    struct Case
    {
        const char* name;
        std::int32_t character;
        std::int32_t kindId; // the monster's
        bool armed;
        bool invisible;
        std::int32_t sound;
    };
    const Case cases[] = {
        {"bare", kHeroine, 0, false, false, 200},  {"armed", kHeroine, 0, true, false, 123},
        {"species 2", 0, 8, false, false, 257},    {"species 12", 0, 48, false, false, 251},
        {"species 32", 0, 128, false, false, 212}, {"unseen", 0, 8, false, true, 250},
    };
    for (const Case& c : cases) {
        sounds.played.clear();
        game->equippedWeapon = 0xFFFF;
        if (c.armed) EquipWeapon({});
        monster.kindId = c.kindId;
        monster.invisibleTurns = c.invisible ? 5 : 0;
        runner = CActionQueue();
        PushActionMove(runner, c.character);
        runner.current = Take(runner);
        runner.step = 1;
        EXPECT_EQ(HandleMove(runner, *game), 0) << c.name;
        ASSERT_FALSE(sounds.played.empty()) << c.name;
        EXPECT_EQ(sounds.played.front(), c.sound) << c.name;
    }
}

TEST_F(ActingTest, OnlyTheAllRoundSealNeverBlocksASwingIntoAWall)
{
    Cell(20, 21).terrain = 2;
    for (const std::uint16_t seal : {0, 14}) {
        EquipWeapon({seal});
        runner = CActionQueue();
        PushActionMove(runner, kHeroine);
        runner.current = Take(runner);
        runner.step = 1;
        HandleMove(runner, *game);
        EXPECT_EQ(game->characters.player.motion, seal == 14 ? 5 : 6) << seal;
    }
}

TEST_F(ActingTest, AMonsterStrikesOnlyATargetItCanSee)
{
    CCharacterControl::SMonster& monster = Monster(0, 8, 20, 22);
    monster.viewFlags[0] = 1;
    monster.direction = 2;
    CCharacterControl::SPlayer& player = game->characters.player;
    player.y = 21;
    player.invisibleTurns = 5;
    EXPECT_EQ(Decide(0), 0);
    EXPECT_TRUE(game->commandQueue.pending.empty());
    EXPECT_EQ(monster.direction, 2);

    player.invisibleTurns = 0;
    EXPECT_EQ(Decide(0), 1);
    EXPECT_EQ(monster.direction, 4);
    ASSERT_EQ(game->commandQueue.pending.size(), 1u);
    EXPECT_EQ(game->commandQueue.pending.back().param2, kHeroine);
    EXPECT_EQ(game->stopRunning, 1);
}

TEST_F(ActingTest, DiggingBreaksWallsAndWearsTheWeaponOut)
{
    const std::uint16_t weapon = EquipWeapon({4});
    game->items.GetItem(weapon).extra[0] = 2;
    SActionRecord swing;
    for (const std::int32_t wearLeft : {1, 0}) {
        Cell(20, 21).terrain = 2;
        sounds.played.clear();
        MessageRecorder messages(*game);
        PushActionWallBreak(queue, 20, 21);
        EXPECT_EQ(Run(Take(queue)), 2);
        EXPECT_EQ(Cell(20, 21).terrain, 9);
        EXPECT_EQ(sounds.played, std::vector<std::int32_t>{24});
        EXPECT_EQ(game->items.GetItem(weapon).extra[0], wearLeft);
        EXPECT_EQ(messages.Text().find("は壊れてしまった！") != std::string::npos, wearLeft == 0);
    }
    EXPECT_EQ(LastLine().soundEffect, 36);
    EXPECT_EQ(game->equippedWeapon, 0xFFFF);
    EXPECT_EQ(game->inventory[0], 0xFFFF);
    EXPECT_EQ(game->items.GetItem(weapon).kind, 0xFFFF);

    EquipWeapon({15});
    Cell(20, 21).terrain = 1;
    MessageRecorder messages(*game);
    PushActionWallBreak(queue, 20, 21);
    EXPECT_EQ(Run(Take(queue)), 1);
    EXPECT_EQ(messages.Text(), "この壁は壊せない。");
    EXPECT_EQ(Cell(20, 21).terrain, 1);
}

TEST_F(ActingTest, WaterAndFireSealsChangeTheCellStruck)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint16_t> seals;
        std::uint8_t terrain;
        std::uint8_t object;
        std::uint8_t terrainAfter;
        std::uint8_t objectAfter;
    };
    const Case cases[] = {
        {"wet floor dries", {69}, 13, 0, 7, 0},     {"ice melts once", {69}, 10, 0, 11, 0},
        {"ice melts twice", {69, 69}, 10, 0, 5, 0}, {"a trap on ice goes", {69}, 10, kObjectTrap, 11, 0},
        {"plain floor stays", {69}, 5, 0, 5, 0},    {"fire goes out", {68}, 5, kObjectFire, 5, 0},
    };
    for (const Case& c : cases) {
        game->equippedWeapon = 0xFFFF;
        const std::uint16_t weapon = EquipWeapon({});
        for (const std::uint16_t seal : c.seals)
            game->items.GetItem(weapon).slots[std::size_t(game->items.GetItem(weapon).sealCount++)] = seal;
        SMapCell& cell = Cell(22, 22);
        cell.terrain = c.terrain;
        cell.objectKind = c.object;
        cell.objectId = c.object == kObjectTrap ? 3 : 30;
        PushActionWallBreak(queue, 22, 22);
        Run(Take(queue));
        EXPECT_EQ(cell.terrain, c.terrainAfter) << c.name;
        EXPECT_EQ(cell.objectKind, c.objectAfter) << c.name;
    }
}

} // namespace
