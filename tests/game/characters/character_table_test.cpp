#include "game/characters/character_control.h"

#include "game/core/directions.h"
#include "game/support/draw_counter.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/sound_recorder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr std::uint16_t kNoSlot = CCharacterControl::kNoSlot;

class CharacterTableTest : public ::testing::Test
{
protected:
    void SetUp() override { game->random.SetSeed(7); }

    CCharacterControl& Control() { return game->characters; }
    // The kinds of four ranks of a species, named.
    void AddSpecies(std::int32_t species)
    {
        for (std::int32_t rank = 0; rank < 4; ++rank)
            AddMonsterKind(*game, species * 4 + rank);
    }
    std::int32_t ItemsInUse()
    {
        std::int32_t n = 0;
        for (std::int32_t i = 0; i < game->items.itemMark; ++i)
            if (game->items.GetItem(std::uint32_t(i)).kind != CItemControl::kNone) ++n;
        return n;
    }
    void FillTable()
    {
        for (std::uint16_t slot = 0; slot < CCharacterControl::kSlots; ++slot)
            PlaceMonster(*game, slot, 4, 1, 1);
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(CharacterTableTest, AFullTableMakesNothing)
{
    AddSpecies(1);
    game->map.monsterAppearance = {4};
    FillTable();
    EXPECT_EQ(Control().AddIcePillar(), kNoSlot);
    EXPECT_EQ(Control().AddTreasureChest(*game), kNoSlot);
    EXPECT_EQ(Control().CreatePeacefulCharacter(*game), kNoSlot);
    EXPECT_EQ(Control().CreateRandomMonster(*game), kNoSlot);
    EXPECT_EQ(SpawnRandomMonster(Control(), *game, 10, 10, false, 1), 1);
    EXPECT_EQ(SpawnMonsterBeside(*game, 0), 1);
    EXPECT_EQ(Control().CreateMonster(Control().kindCount, *game), kNoSlot);
}

TEST_F(CharacterTableTest, CreateMonsterRefusesKindsOutsideTheTableAndTheExcludedOnes)
{
    AddSpecies(38);
    AddSpecies(3);
    AddMonsterKind(*game, 3 * 4 + 1).typeFlags = kKindFire;
    const std::int32_t kindCount = Control().kindCount;
    const struct
    {
        std::int32_t kindId;
        bool excludeFire;
        std::int32_t excluded;
        bool made;
    } cases[] = {
        {kindCount, false, 0xFFFF, false}, {-1, false, 0xFFFF, false},
        {38 * 4 + 2, true, 0xFFFF, false}, {38 * 4 + 2, false, 0xFFFF, true},
        {3 * 4 + 1, true, 0xFFFF, false},  {3 * 4 + 1, false, 0xFFFF, true},
        {3 * 4, true, 0xFFFF, true},       {3 * 4, false, 3 * 4, false},
        {3 * 4 + 2, false, 3 * 4, true},
    };
    for (const auto& c : cases) {
        Control().Reset();
        game->excludeFireKinds = c.excludeFire ? 1 : 0;
        game->excludedKind = c.excluded;
        const std::uint16_t slot = Control().CreateMonster(c.kindId, *game);
        EXPECT_EQ(slot != kNoSlot, c.made) << c.kindId << " " << c.excludeFire;
        EXPECT_EQ(Control().monsterCount, c.made ? 1 : 0) << c.kindId;
    }
}

TEST_F(CharacterTableTest, NewMonstersSleepByTheirSpeciesAndFaceApart)
{
    game->random.noRandom = true;
    const struct
    {
        std::int32_t kindId, sleepState;
    } cases[] = {{1 * 4, 0},  {2 * 4, 4}, {4 * 4 + 1, 4}, {17 * 4, 4},    {22 * 4, 1},
                 {30 * 4, 1}, {96, 1},    {97, 0},        {22 * 4 + 3, 1}};
    for (const auto& c : cases)
        AddMonsterKind(*game, c.kindId);
    for (const auto& c : cases) {
        CCharacterControl::SMonster monster;
        Control().InitMonster(monster, c.kindId, *game);
        EXPECT_EQ(monster.sleepState, c.sleepState) << c.kindId;
        EXPECT_EQ(monster.type, kCharacterHostile);
    }
    Control().phaseCounter = 0;
    for (const std::int32_t direction : {0, 3, 6, 1}) {
        const std::uint16_t slot = Control().CreateMonster(4, *game);
        ASSERT_NE(slot, kNoSlot);
        EXPECT_EQ(Control().monsters[slot].direction, direction);
    }
}

TEST_F(CharacterTableTest, DeepFloorsRaiseTheRankThenTheLevel)
{
    AddSpecies(5);
    AddSpecies(0);
    game->floor = 250;
    const struct
    {
        std::int32_t dungeon, kindId, endKind, endLevel;
    } cases[] = {
        {1, 5 * 4 + 2, 5 * 4 + 3, 5}, // promoted once, then four levels
        {6, 5 * 4 + 2, 5 * 4 + 3, 13},
        {1, 5 * 4, 5 * 4 + 2, 1},
        {1, 1, 1, 250}, // species 0 takes the floor as its level
    };
    for (const auto& c : cases) {
        Control().Reset();
        game->dungeon = c.dungeon;
        const std::uint16_t slot = Control().CreateMonster(c.kindId, *game);
        ASSERT_NE(slot, kNoSlot);
        EXPECT_EQ(Control().monsters[slot].kindId, c.endKind) << c.dungeon << " " << c.kindId;
        EXPECT_EQ(Control().monsters[slot].level, c.endLevel) << c.dungeon << " " << c.kindId;
    }
}

TEST_F(CharacterTableTest, ADemotedMonsterKeepsItsPlaceAndWhatItHeldAndLeaksNoItem)
{
    AddSpecies(5);
    SMonsterKind& lower = AddMonsterKind(*game, 5 * 4 + 1);
    lower.dropChance = 256; // every rebuild rolls a drop of gold
    lower.dropItem = 0;
    const std::uint16_t slot = Control().CreateMonster(5 * 4 + 2, *game);
    ASSERT_NE(slot, kNoSlot);
    CCharacterControl::SMonster& monster = Control().monsters[slot];
    const std::uint16_t held = game->items.CreateGold(game->random, 1, 50);
    monster.heldItem = held;
    monster.direction = 5;
    monster.x = 10;
    monster.y = 11;
    monster.sleepState = 3;
    monster.viewFlags[0] = 1;
    monster.link = 7;
    const std::int32_t itemsBefore = ItemsInUse();
    const DrawCounter draws(game->random);

    EXPECT_EQ(Control().DemoteMonster(monster, *game), 0);
    EXPECT_EQ(monster.kindId, 5 * 4 + 1);
    EXPECT_EQ(monster.direction, 5);
    EXPECT_EQ(monster.x, 10);
    EXPECT_EQ(monster.y, 11);
    EXPECT_EQ(monster.heldItem, held);
    EXPECT_EQ(monster.sleepState, 3);
    EXPECT_EQ(monster.viewFlags[0], 1);
    EXPECT_EQ(monster.link, 7);
    EXPECT_EQ(ItemsInUse(), itemsBefore);
    EXPECT_EQ(draws.Since(game->random), 3) << "the sleep draw, the drop roll and the gold's amount";

    monster.kindId = 5 * 4;
    EXPECT_EQ(Control().DemoteMonster(monster, *game), 1);
    monster.kindId = 5 * 4 + 1;
    PlaceCircle(*game, 275, CSpellCircleControl::kRangeCell, 10, 11);
    EXPECT_EQ(Control().DemoteMonster(monster, *game), -1);
}

TEST_F(CharacterTableTest, RemovingASlotShrinksTheCountPastFreeSlotsOnly)
{
    const struct
    {
        std::vector<std::uint16_t> used;
        std::uint16_t removed;
        std::uint16_t count;
    } cases[] = {{{0}, 0, 0}, {{5, 9}, 5, 10}, {{2, 5, 9}, 9, 9}, {{3}, 64, 4}};
    for (const auto& c : cases) {
        Control().Reset();
        for (const std::uint16_t slot : c.used)
            PlaceMonster(*game, slot, 4, 1, 1);
        Control().RemoveMonster(c.removed, nullptr);
        EXPECT_EQ(Control().monsterCount, c.count) << c.removed;
    }
}

TEST_F(CharacterTableTest, RemovingAMonsterDeletesItsItemAndFreesShopkeepersLinkedToIt)
{
    PlaceMonster(*game, 0, 4, 1, 1).type = kCharacterShopkeeper;
    PlaceMonster(*game, 1, 4, 2, 2).type = kCharacterShopkeeper2;
    PlaceMonster(*game, 2, 4, 3, 3);
    PlaceMonster(*game, 3, 4, 4, 4);
    for (std::size_t slot = 0; slot < 3; ++slot)
        Control().monsters[slot].link = 3;
    const std::uint16_t item = game->items.CreateGold(game->random, 1, 10);
    Control().monsters[3].heldItem = item;
    Control().RemoveMonster(3, &game->items);
    EXPECT_EQ(game->items.GetItem(item).kind, CItemControl::kNone);
    EXPECT_EQ(Control().monsters[0].link, 0xFFFF);
    EXPECT_EQ(Control().monsters[1].link, 0xFFFF);
    EXPECT_EQ(Control().monsters[2].link, 3) << "a hostile monster keeps its link";
    EXPECT_EQ(Control().monsters[3].type, kCharacterEmpty);
}

TEST_F(CharacterTableTest, TheHeroinesCellIsFreeOnlyForTheHeroine)
{
    DrawFloorArt(*game, 10, 10, {"111", "1@1", "111"});
    PlaceMonster(*game, 0, 4, 11, 11);
    Control().player.x = 12;
    const struct
    {
        std::int32_t ignore, x, y, radius, minTerrain;
        SCellPosition found;
    } cases[] = {
        {0xFFFF, 12, 11, 0, 5, {12, 11}}, {-1, 12, 11, 0, 5, {-1, -1}}, {3, 12, 11, 0, 5, {-1, -1}},
        {-1, 11, 11, 0, 5, {-1, -1}},     {0, 11, 11, 0, 5, {11, 11}},  {-1, 11, 11, 0, 6, {-1, -1}},
        {-1, 11, 11, 1, 5, {11, 10}},
    };
    for (const auto& c : cases) {
        SCellPosition found;
        FindFreeCellNear(Control(), found, c.ignore, game->map, c.x, c.y, c.minTerrain, c.radius);
        EXPECT_EQ(found, c.found) << c.ignore << " (" << c.x << ", " << c.y << ") r" << c.radius;
    }
}

TEST_F(CharacterTableTest, RandomPlacementAvoidsTheRoomForSeventeenTries)
{
    // A shuffle of n cells takes n draws: one by the placement, one for each try.
    DrawFloorArt(*game, 30, 10, {"1111", "1111", "    ", "2222"});
    std::vector<SCellPosition> room1, room2;
    for (std::int32_t x = 30; x < 34; ++x) {
        room1.push_back({x, 10});
        room2.push_back({x, 13});
    }
    const struct
    {
        std::vector<SCellPosition> cells;
        std::int32_t avoided, result, room, draws;
    } cases[] = {
        {room1, 1, 0, 1, 19 * 4}, // only room 1 has free cells: the 18th try takes one
        {room2, 1, 0, 2, 2 * 4},
        {room1, 2, 0, 1, 2 * 4},
    };
    for (const auto& c : cases) {
        std::vector<SCellPosition> cells = c.cells;
        CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 4, -1, -1);
        const DrawCounter draws(game->random);
        EXPECT_EQ(PlaceCharacterRandomly(monster, cells, game->map, *game, c.avoided), c.result);
        EXPECT_EQ(game->map.GetCell(std::uint32_t(monster.x), std::uint32_t(monster.y)).room, c.room);
        EXPECT_EQ(draws.Since(game->random), c.draws) << c.avoided;
    }
    std::vector<SCellPosition> rock = {{5, 5}};
    EXPECT_EQ(PlaceCharacterRandomly(Control().monsters[0], rock, game->map, *game, -1), 1);
}

TEST_F(CharacterTableTest, SpawnedMonstersWakeAppearAndGainTheOffsetsLevels)
{
    AddSpecies(2); // sleeps in state 4
    game->map.monsterAppearance = {2 * 4};
    DrawFloorArt(*game, 10, 10, {"111", "111", "111"});
    const struct
    {
        bool keepSleep;
        std::int32_t levelOffset, sleepState, level;
    } cases[] = {{false, 1, 0, 1}, {false, 0, 0, 1}, {false, 2, 0, 2}, {true, 3, 4, 3}};
    for (const auto& c : cases) {
        Control().Reset();
        ASSERT_EQ(SpawnRandomMonster(Control(), *game, 11, 11, c.keepSleep, c.levelOffset), 0);
        const CCharacterControl::SMonster& monster = Control().monsters[0];
        EXPECT_EQ(monster.x, 11);
        EXPECT_EQ(monster.y, 11);
        EXPECT_EQ(monster.sleepState, c.sleepState) << c.levelOffset;
        EXPECT_EQ(monster.level, c.level) << c.levelOffset;
        EXPECT_EQ(monster.motion, 35);
        EXPECT_EQ(monster.motionLength, 31);
    }
}

TEST_F(CharacterTableTest, ASpawnWithoutAFreeCellRemovesTheMonsterAndItsItem)
{
    SMonsterKind& kind = AddMonsterKind(*game, 4);
    kind.dropChance = 256;
    kind.dropItem = 0;
    game->map.monsterAppearance = {4};
    DrawFloorArt(*game, 10, 10, {"111", "111", "111"});
    std::uint16_t slot = 0;
    for (std::int32_t y = 10; y < 13; ++y)
        for (std::int32_t x = 10; x < 13; ++x)
            PlaceMonster(*game, slot++, 4, x, y);
    const std::int32_t itemsBefore = ItemsInUse();
    EXPECT_EQ(SpawnRandomMonster(Control(), *game, 11, 11, false, 1), 2);
    EXPECT_EQ(Control().monsterCount, 9);
    EXPECT_EQ(Control().monsters[9].type, kCharacterEmpty);
    EXPECT_EQ(ItemsInUse(), itemsBefore);
}

TEST_F(CharacterTableTest, MonstersAppearBesideTheirSource)
{
    SoundRecorder sounds;
    game->soundEffects = &sounds;
    AddMonsterKind(*game, 4);
    AddMonsterKind(*game, 8).typeFlags = kKindIce;
    game->map.monsterAppearance = {4};
    DrawFloorArt(*game, 18, 18, {"11111", "11111", "11@11", "11111", "11111"});

    // Beside the heroine: a decoy of 50 turns.
    ASSERT_EQ(SpawnMonsterBeside(*game, 0xFFFF), 0);
    const CCharacterControl::SMonster& decoy = Control().monsters[0];
    EXPECT_EQ(decoy.status.decoyTurns, 50);
    EXPECT_EQ(decoy.sleepState, 0);
    EXPECT_LE(GetTileDistance(decoy.x, decoy.y, 20, 20), 1);
    EXPECT_FALSE(decoy.x == 20 && decoy.y == 20);
    EXPECT_EQ(sounds.played, std::vector<std::int32_t>{74});

    // An ice kind splits when wet.
    CCharacterControl::SMonster& ice = PlaceMonster(*game, 1, 8, 19, 18);
    ice.Wet(*game, 1, 1);
    ASSERT_EQ(Control().monsterCount, 3);
    const CCharacterControl::SMonster& split = Control().monsters[2];
    EXPECT_EQ(split.kindId, 8);
    EXPECT_EQ(split.status.decoyTurns, 0);
    EXPECT_EQ(GetTileDistance(split.x, split.y, 19, 18), 1);

    PlaceMonster(*game, 5, 4, 1, 1).kindId = 0xFFFF;
    EXPECT_EQ(SpawnMonsterBeside(*game, 5), 2);
}

TEST_F(CharacterTableTest, ANewFloorKeepsTheHeroinesNumbersAndStatusesButNotHerBinding)
{
    CCharacterControl::SPlayer& player = Control().player;
    player.level = 9;
    player.hp = 31;
    player.maxHp = 40;
    player.hpRegenFraction = 1234;
    player.fullness = 50000;
    player.direction = 3;
    player.hasteTurns = 4;
    player.inPotTurns = 2;
    player.status.confusionTurns = 5;
    player.status.weakBodyTurns = 6;
    player.status.boundTurns = 7;
    player.status.boundX = 20;
    player.status.boundY = 20;
    player.motion = 4;
    PlaceMonster(*game, 3, 4, 5, 5);
    Control().phaseCounter = 12;

    Control().ResetForNewFloor();
    EXPECT_EQ(player.level, 9);
    EXPECT_EQ(player.hp, 31);
    EXPECT_EQ(player.maxHp, 40);
    EXPECT_EQ(player.hpRegenFraction, 1234);
    EXPECT_EQ(player.fullness, 50000);
    EXPECT_EQ(player.direction, 3);
    EXPECT_EQ(player.hasteTurns, 4);
    EXPECT_EQ(player.inPotTurns, 2);
    EXPECT_EQ(player.status.confusionTurns, 5);
    EXPECT_EQ(player.status.weakBodyTurns, 6);
    EXPECT_EQ(player.status.boundTurns, 0);
    EXPECT_EQ(player.status.boundX, 255);
    EXPECT_EQ(player.status.boundY, 255);
    EXPECT_EQ(player.motion, 0);
    EXPECT_EQ(Control().monsterCount, 0);
    EXPECT_EQ(Control().monsters[3].type, kCharacterEmpty);
    EXPECT_EQ(Control().phaseCounter, 0u);
}

TEST_F(CharacterTableTest, TheHeroineTurnsToTheNextMonsterBesideHer)
{
    CCharacterControl::SPlayer& player = Control().player;
    PlaceMonster(*game, 0, 4, 19, 20); // direction 2
    PlaceMonster(*game, 1, 4, 21, 20); // direction 6
    PlaceMonster(*game, 2, 4, 20, 21).type = kCharacterChest;
    PlaceMonster(*game, 3, 4, 22, 20); // two cells away
    const struct
    {
        std::int32_t facing;
        bool repeat, blind;
        std::int32_t turned;
    } cases[] = {{0, false, false, 2}, {0, true, false, 6},  {2, false, false, 2},
                 {2, true, false, 6},  {7, false, false, 2}, {0, false, true, 0}};
    for (const auto& c : cases) {
        player.direction = c.facing;
        player.status.blindTurns = c.blind ? 3 : 0;
        Control().TurnToNextAdjacentMonster(*game, c.repeat);
        EXPECT_EQ(player.direction, c.turned) << c.facing << " " << c.repeat;
    }
}

TEST_F(CharacterTableTest, MonstersAimAtAVisibleDecoyElseAtTheVisibleHeroine)
{
    AddMonsterKind(*game, 4);
    AddMonsterKind(*game, 8).abilities = kAbilityInvisible;
    CCharacterControl::SMonster& hiddenDecoy = PlaceMonster(*game, 0, 8, 3, 3);
    CCharacterControl::SMonster& decoy = PlaceMonster(*game, 1, 4, 5, 6);
    const struct
    {
        std::uint8_t hiddenDecoyTurns, decoyTurns, decoyInPot, playerInvisible, seeInvisible;
        SCellPosition point;
    } cases[] = {
        {9, 9, 0, 0, 0, {5, 6}},   {9, 0, 0, 0, 0, {20, 20}}, {0, 9, 3, 0, 0, {20, 20}},
        {0, 0, 0, 5, 0, {-1, -1}}, {0, 0, 0, 5, 1, {-1, -1}}, {9, 9, 0, 0, 1, {3, 3}},
    };
    for (const auto& c : cases) {
        hiddenDecoy.status.decoyTurns = c.hiddenDecoyTurns;
        decoy.status.decoyTurns = c.decoyTurns;
        Control().decoyPossible = true; // as every writer of decoy turns does
        decoy.inPotTurns = c.decoyInPot;
        Control().player.invisibleTurns = c.playerInvisible;
        game->seeInvisible = c.seeInvisible;
        SCellPosition point;
        Control().GetAttentionPoint(*game, point.x, point.y);
        EXPECT_EQ(point, c.point) << int(c.hiddenDecoyTurns) << int(c.decoyTurns) << int(c.decoyInPot)
                                  << int(c.playerInvisible) << int(c.seeInvisible);
    }
}

// The search for a decoy is skipped while none can exist; a decoy made after a search found none is
// still aimed at.
TEST_F(CharacterTableTest, ADecoyMadeAfterASearchFoundNoneIsAimedAt)
{
    AddMonsterKind(*game, 4);
    CCharacterControl::SMonster& decoy = PlaceMonster(*game, 1, 4, 5, 6);
    SCellPosition point;
    Control().GetAttentionPoint(*game, point.x, point.y);
    EXPECT_EQ(point, (SCellPosition{20, 20}));
    EXPECT_FALSE(Control().decoyPossible);
    ASSERT_TRUE(decoy.ApplyDecoyStatus(10, *game));
    Control().GetAttentionPoint(*game, point.x, point.y);
    EXPECT_EQ(point, (SCellPosition{5, 6}));
}

TEST_F(CharacterTableTest, ThievesMeetPursuersFirstAndThePeacefulOneIsMadeAwake)
{
    AddSpecies(0);
    AddSpecies(41); // kind 164 is the peaceful character's
    AddSpecies(2);
    game->map.monsterAppearance = {2 * 4};
    game->random.noRandom = true;
    const struct
    {
        std::uint8_t thief;
        std::int32_t kindId;
    } cases[] = {{0, 2 * 4}, {1, 1}};
    for (const auto& c : cases) {
        Control().Reset();
        game->thief = c.thief;
        const std::uint16_t slot = Control().CreateRandomMonster(*game);
        ASSERT_NE(slot, kNoSlot);
        EXPECT_EQ(Control().monsters[slot].kindId, c.kindId) << int(c.thief);
    }
    const std::uint16_t peaceful = Control().CreatePeacefulCharacter(*game);
    ASSERT_NE(peaceful, kNoSlot);
    EXPECT_EQ(Control().monsters[peaceful].type, kCharacterPeaceful);
    EXPECT_EQ(Control().monsters[peaceful].spriteMode, 4);
    EXPECT_EQ(Control().monsters[peaceful].sleepState, 0);
    EXPECT_EQ(Control().AddTreasureChest(*game), kNoSlot) << "the chest list is empty";
    const std::uint16_t pillar = Control().AddIcePillar();
    EXPECT_EQ(Control().monsters[pillar].type, kCharacterIcePillar);
    EXPECT_EQ(Control().monsters[pillar].hp, 3);
    EXPECT_EQ(Control().monsterCount, pillar + 1);
}

} // namespace
