#include "game/characters/monster_movement.h"

#include "game/core/directions.h"
#include "game/data/item_classes.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/seed_search.h"
#include "game/support/sound_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using SMonster = CCharacterControl::SMonster;

constexpr std::int32_t kWalker = 40; // species 10, rank 0

std::uint32_t SeedWith(std::uint32_t (*draw)(zelvoranGameSDK3rd::Math::CRand&), std::uint32_t value)
{
    return *FindSeed([&](zelvoranGameSDK3rd::Math::CRand& r) { return draw(r) == value; });
}

class MonsterMovementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AddMonsterKind(*game, kWalker);
        game->random.noRandom = true;
        // Room 0 from (11, 11) to (19, 17) with the heroine on (11, 11); corridors leave it at (20, 14)
        // and (15, 18).
        DrawFloorArt(*game, 10, 10,
                     {
                         "###########",
                         "#@00000000#",
                         "#000000000#",
                         "#000000000#",
                         "#000000000....",
                         "#000000000#",
                         "#000000000#",
                         "#000000000#",
                         "#####.#####",
                         "     .     ",
                     });
        game->map.roomEntrances.insert({0, {20, 14}});
        game->map.roomEntrances.insert({0, {15, 18}});
    }

    SMonster& Monster(std::uint16_t slot, std::int32_t kindId, std::int32_t x, std::int32_t y)
    {
        if (std::size_t(kindId) >= game->characters.monsterKinds.size() ||
            game->characters.monsterKinds[std::size_t(kindId)].name.empty())
            AddMonsterKind(*game, kindId);
        return PlaceMonster(*game, slot, kindId, x, y);
    }

    SMonsterKind& Kind(std::int32_t kindId) { return game->characters.monsterKinds[std::size_t(kindId)]; }
    CCharacterControl::SPlayer& Player() { return game->characters.player; }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(MonsterMovementTest, EnergyGivesOneActionPer72)
{
    // A monster asleep until disturbed counts its actions and does nothing else.
    for (const auto& [speed, expected] : {std::pair{-1, std::vector<int>{0, 1, 0, 1, 0, 1}},
                                          std::pair{0, std::vector<int>{1, 1, 1, 1, 1, 1}}}) {
        SMonster& monster = Monster(0, kWalker, 18, 16);
        monster.baseSpeed = speed;
        monster.sleepState = 4;
        std::vector<int> counts;
        for (int turn = 0; turn < 6; ++turn) {
            ThinkMonster(monster, *game, false);
            counts.push_back(monster.actionCounter);
        }
        EXPECT_EQ(counts, expected) << "speed " << speed;
    }

    // A change of speed throws the saved energy away.
    SMonster& monster = Monster(0, kWalker, 18, 16);
    monster.baseSpeed = -1;
    GainActionEnergy(monster, *game);
    EXPECT_EQ(monster.actionEnergy, 36);
    monster.baseSpeed = 0;
    GainActionEnergy(monster, *game);
    EXPECT_EQ(monster.actionEnergy, 72);
    EXPECT_EQ(monster.speedCopy, 0);
}

TEST_F(MonsterMovementTest, WishToUseASpecial)
{
    // Chance 40 at ten cells: 40 - 40 is floored to 8.
    Kind(kWalker).specialChance = 40;
    game->random.noRandom = false;
    SMonster& monster = Monster(0, kWalker, 21, 11);
    for (const auto& [byte, wants] : {std::pair{7u, true}, std::pair{8u, false}}) {
        game->random.SetSeed(SeedWith([](auto& r) { return r.Get() & 255; }, byte));
        EXPECT_EQ(WantsToUseSpecial(monster, *game, 11, 11), wants) << byte;
    }

    game->random.noRandom = true;
    Kind(kWalker).specialChance = 255;
    EXPECT_TRUE(WantsToUseSpecial(monster, *game, 11, 11));
    Kind(kWalker).specialChance = 0;
    EXPECT_FALSE(WantsToUseSpecial(monster, *game, 11, 11));
    Kind(kWalker).specialChance = 255;
    std::uint8_t SCharacterStatus::*const statuses[] = {
        &SCharacterStatus::confusionTurns, &SCharacterStatus::decoyTurns, &SCharacterStatus::sealTurns,
        &SCharacterStatus::blindTurns, &SCharacterStatus::hallucinationTurns};
    for (auto status : statuses) {
        SMonster& m = Monster(0, kWalker, 21, 11);
        m.status.*status = 5;
        EXPECT_FALSE(WantsToUseSpecial(m, *game, 11, 11));
    }
    SMonster& m = Monster(0, kWalker, 21, 11);
    PlaceCircle(*game, 271, 3, 30, 30);
    EXPECT_FALSE(WantsToUseSpecial(m, *game, 11, 11));
}

TEST_F(MonsterMovementTest, CanUseSpecialBySpecies)
{
    game->random.noRandom = false;
    const std::uint32_t draw26 = SeedWith([](auto& r) { return r.Get() % 64; }, 26);
    const std::uint32_t draw27 = SeedWith([](auto& r) { return r.Get() % 64; }, 27);
    const struct
    {
        const char* name;
        std::int32_t kindId;
        std::int32_t x, y;  // the monster; the heroine stays on (11, 11)
        std::uint32_t seed; // 0: none
        bool expected;
        void (*extra)(SGameResource&);
    } cases[] = {
        {"5 far", 21, 15, 11, 0, true, nullptr},
        {"5 beside", 21, 12, 11, 0, false, nullptr},
        {"6 three away", 24, 14, 11, 0, false, nullptr},
        {"34 draw 26", 139, 18, 16, draw26, false, nullptr},
        {"34 draw 27", 139, 18, 16, draw27, true, nullptr},
        {"39 fellow beside", 156, 18, 16, 0, true,
         [](SGameResource& g) { PlaceMonster(g, 5, kWalker, 17, 16); }},
        {"33 path on target", 132, 15, 15, 0, true, nullptr},
        {"33 path cut short", 132, 15, 15, 0, false,
         [](SGameResource& g) { PlaceMonster(g, 5, kWalker, 13, 13); }},
    };
    for (const auto& c : cases) {
        for (std::uint16_t slot = 0; slot < 10; ++slot)
            Monster(slot, kWalker, 30 + slot, 30).type = kCharacterHostile; // ten monsters on the floor
        game->characters.monsters[5].Reset();
        SMonster& monster = Monster(9, c.kindId, c.x, c.y);
        monster.viewFlags[0] = 1;
        monster.FaceToward(11, 11);
        if (c.extra != nullptr) c.extra(*game);
        game->random.SetSeed(c.seed);
        EXPECT_EQ(CanUseSpecial(11, 11, monster, *game), c.expected) << c.name;
    }
}

TEST_F(MonsterMovementTest, ChooseStepTriesPlusBeforeMinusInFixedMode)
{
    // The heroine on (15, 13), a monster in between on (14, 13): +1 goes down-right (7), -1 up-right (5).
    Player().x = 15;
    Player().y = 13;
    Monster(1, kWalker, 14, 13);
    for (const auto& [fixed, direction] : {std::pair{true, 7}, std::pair{false, 5}}) {
        SMonster& monster = Monster(0, kWalker, 13, 13);
        monster.goalX = 15;
        monster.goalY = 13;
        monster.viewFlags[0] = 1;
        game->random.noRandom = fixed;
        game->random.SetSeed(SeedWith([](auto& r) { return r.Get() & 1; }, 1));
        EXPECT_TRUE(ChooseStepTowardGoal(*game, 15, 13, kBehaviourChase, monster));
        EXPECT_EQ(monster.direction, direction);
    }
}

TEST_F(MonsterMovementTest, SecondPassLooksAtEightCandidatesInARoomAndFiveInACorridor)
{
    // The goal lies right (6) of a monster boxed in on (15, 14); fixed order 6, 7, 5, 0, 4, 1, 3, 2.
    const struct
    {
        std::vector<std::int32_t> open;
        bool corridor;
        std::int32_t behaviour;
        std::int32_t fire;     // a direction whose cell burns, -1 none
        std::int32_t expected; // -1: no step
    } cases[] = {
        {{0, 4}, false, kBehaviourChase, -1, 0}, // tie at score 5: the earlier candidate
        {{4, 6}, false, kBehaviourChase, -1, 6}, // the lowest score
        {{2}, false, kBehaviourChase, -1, 2},    // the eighth: a room looks that far
        {{2}, true, kBehaviourChase, -1, -1},    // a corridor only at the first five
        {{0, 4}, false, kBehaviourClever, 0, 4}, // the clever one passes fire by
        {{0, 4}, false, kBehaviourChase, 0, 0},
    };
    for (const auto& c : cases) {
        SMonster& monster = Monster(0, kWalker, 15, 14);
        for (std::int32_t d = 0; d < 8; ++d) {
            std::int32_t dx = 0, dy = 0;
            DirectionToStep(d, dx, dy);
            SMapCell& cell = game->map.GetCell(std::uint32_t(15 + dx), std::uint32_t(14 + dy));
            cell.terrain = std::find(c.open.begin(), c.open.end(), d) != c.open.end() ? 5 : 2;
            cell.objectKind = d == c.fire ? kObjectFire : 0;
        }
        game->map.GetCell(15, 14).room = c.corridor ? -1 : 0;
        monster.goalX = 20;
        monster.goalY = 14;
        const bool steps = ChooseStepTowardGoal(*game, -1, -1, c.behaviour, monster);
        EXPECT_EQ(steps, c.expected != -1);
        EXPECT_EQ(monster.direction, c.expected == -1 ? 6 : c.expected);
    }
}

TEST_F(MonsterMovementTest, StepsQueueHopsSlidesAndSpreadOverSixteenFrames)
{
    AddMonsterKind(*game, 52).abilities = kAbilityFish;
    game->map.GetCell(16, 14).terrain = 4;
    game->map.GetCell(17, 13).terrain = 10;

    SMonster& fish = Monster(0, 52, 15, 14);
    fish.direction = 6;
    MonsterStep(false, *game, fish, -1, -1, kBehaviourChase);
    ASSERT_EQ(fish.queuedSteps.size(), 1u);
    EXPECT_EQ(fish.queuedSteps[0].motion, 16);

    // A walker onto ice on (17, 13) slides on to (18, 13), then the steps share 16 frames from its start.
    SMonster& walker = Monster(1, kWalker, 16, 13);
    walker.direction = 6;
    MonsterStep(false, *game, walker, -1, -1, kBehaviourChase);
    ASSERT_EQ(walker.queuedSteps.size(), 2u);
    EXPECT_EQ(walker.queuedSteps[1].motion, 3);
    EXPECT_EQ(walker.x, 18);
    SpreadQueuedSteps(walker);
    EXPECT_EQ(walker.queuedSteps[0].length, 8);
    EXPECT_EQ(walker.queuedSteps[1].length, 8);
    EXPECT_EQ(walker.x, 16);

    // Two steps of one turn replay from the cell the monster stood on before the first.
    SMonster& twice = Monster(3, kWalker, 12, 16);
    twice.direction = 6;
    MonsterStep(false, *game, twice, -1, -1, kBehaviourChase);
    MonsterStep(false, *game, twice, -1, -1, kBehaviourChase);
    SpreadQueuedSteps(twice);
    EXPECT_EQ(twice.x, 12);
    EXPECT_EQ(twice.queuedSteps[0].targetX, 13);
    EXPECT_EQ(twice.queuedSteps[1].targetX, 14);

    // A slide stops where the walker may not go; instant steps take one frame.
    Player().x = 18;
    Player().y = 13;
    SMonster& blocked = Monster(2, kWalker, 16, 13);
    blocked.direction = 6;
    MonsterStep(true, *game, blocked, -1, -1, kBehaviourChase);
    ASSERT_EQ(blocked.queuedSteps.size(), 1u);
    SpreadQueuedSteps(blocked);
    EXPECT_EQ(blocked.queuedSteps[0].length, 1);
}

TEST_F(MonsterMovementTest, CorridorGoals)
{
    // A monster on the corridor cell (22, 14) facing right (6): d-1 is 5, d+1 is 7, d-2 is 4, d+2 is 0.
    const struct
    {
        std::vector<std::pair<std::int32_t, char>> cells; // direction, '.' corridor or '0' room
        std::int32_t goalDirection;                       // -1: unchanged
    } cases[] = {
        {{{5, '.'}, {7, '0'}}, 7}, // a room cell is taken at once
        {{{7, '.'}, {0, '0'}}, 7}, // the search stops before the fourth direction
        {{{4, '.'}, {1, '0'}}, 4}, // and before the sixth
        {{{3, '.'}, {2, '.'}}, 3}, {{}, -1},
    };
    for (const auto& c : cases) {
        for (std::int32_t d = 0; d < 8; ++d) {
            std::int32_t dx = 0, dy = 0;
            DirectionToStep(d, dx, dy);
            SMapCell& cell = game->map.GetCell(std::uint32_t(22 + dx), std::uint32_t(14 + dy));
            cell.terrain = 2;
            cell.room = -1;
            for (const auto& [direction, kind] : c.cells)
                if (direction == d) {
                    cell.terrain = 5;
                    cell.room = kind == '0' ? 0 : -1;
                }
        }
        SMonster& monster = Monster(0, kWalker, 22, 14);
        monster.direction = 6;
        monster.goalX = monster.goalY = -1;
        ChooseNewGoal(-1, -1, monster, *game, kBehaviourChase);
        std::int32_t dx = 0, dy = 0;
        DirectionToStep(c.goalDirection, dx, dy);
        EXPECT_EQ(monster.goalX, c.goalDirection == -1 ? -1 : 22 + dx) << c.goalDirection;
        EXPECT_EQ(monster.goalY, c.goalDirection == -1 ? -1 : 14 + dy) << c.goalDirection;
    }
}

TEST_F(MonsterMovementTest, RoomGoals)
{
    // A fleeing monster that sees the heroine on (11, 11) turns its back to her (down-right, 7) and takes
    // the nearest entrance on that side: (15, 18) before (20, 14).
    game->map.roomEntrances.insert({0, {10, 12}});
    SMonster& fleeing = Monster(0, kWalker, 14, 13);
    fleeing.viewFlags[0] = 1;
    ChooseNewGoal(11, 11, fleeing, *game, kBehaviourFlee);
    EXPECT_EQ(fleeing.direction, 7);
    EXPECT_EQ(fleeing.goalX, 15);
    EXPECT_EQ(fleeing.goalY, 18);

    // A room without entrances clears the goal and draws nothing.
    game->map.roomEntrances.clear();
    game->random.noRandom = false;
    game->random.SetSeed(5);
    SMonster& lost = Monster(1, kWalker, 14, 13);
    lost.goalX = lost.goalY = 3;
    ChooseNewGoal(-1, -1, lost, *game, kBehaviourChase);
    EXPECT_EQ(lost.goalX, -1);
    zelvoranGameSDK3rd::Math::CRand fresh;
    fresh.SetSeed(5);
    EXPECT_EQ(game->random.Get(), fresh.Get());
}

TEST_F(MonsterMovementTest, HealAndGoldGoals)
{
    // The healer (behaviour 8) finds the nearest fellow of its room, the lower slot on ties, never itself.
    SMonster& healer = Monster(4, kWalker, 15, 14);
    Monster(6, kWalker, 17, 14);
    Monster(5, kWalker, 13, 12);
    Monster(1, kWalker, 19, 17);
    FindHealGoal(healer, *game);
    EXPECT_EQ(healer.goalX, 13);
    EXPECT_EQ(healer.goalY, 12);

    // Gold in a room's last columns and last rows is found too.
    DrawFloorArt(*game, 50, 10, {"00000000"});
    DrawFloorArt(*game, 30, 35, {"1", "1", "1", "1", "1"});
    const struct
    {
        std::uint16_t slot;
        std::int32_t fromX, fromY, goldX, goldY;
    } cases[] = {
        {2, 50, 10, 56, 10},
        {3, 30, 35, 30, 39},
    };
    for (const auto& c : cases) {
        const std::uint16_t gold = MakeItem(*game, 0, kItemClassGold);
        game->map.PlaceItemObject(c.goldX, c.goldY, gold);
        SMonster& seeker = Monster(c.slot, kWalker, c.fromX, c.fromY);
        FindGoldGoal(seeker, *game);
        EXPECT_EQ(seeker.goalX, c.goldX) << c.slot;
        EXPECT_EQ(seeker.goalY, c.goldY) << c.slot;
    }
}

TEST_F(MonsterMovementTest, BindingTrapSpringsUnderAMonsterWithSoundOutsideSilentReruns)
{
    for (const auto& [mode, sounds] : {std::pair{kPlayNormal, 1u}, std::pair{kPlaySilentRerun, 0u}}) {
        SoundRecorder recorder;
        game->soundEffects = &recorder;
        game->playMode = mode;
        game->effects.clear();
        SMapCell& cell = game->map.GetCell(18, 16);
        cell.objectKind = kObjectTrap;
        cell.objectId = 3;
        cell.objectShown = 1;
        SMonster& monster = Monster(0, kWalker, 18, 16);
        monster.sleepState = 4;
        ThinkMonster(monster, *game, false);
        EXPECT_EQ(cell.objectShown, 0);
        ASSERT_EQ(game->effects.size(), 1u);
        EXPECT_EQ(game->effects[0].GetObjectKind(), kEffectBindingSnap);
        EXPECT_EQ(recorder.played.size(), sounds);
    }
}

TEST_F(MonsterMovementTest, OverridesOfTheBehaviour)
{
    // The status chaser of rank 0 flees, but chases while the heroine is paralysed.
    AddMonsterKind(*game, 80).behaviour = kBehaviourFlee;
    for (const auto& [paralysed, chases] : {std::pair{false, false}, std::pair{true, true}}) {
        Player().status.paralysisTurns = paralysed ? 5 : 0;
        SMonster& monster = Monster(0, 80, 15, 14);
        ThinkMonster(monster, *game, false);
        EXPECT_EQ(monster.goalX == 11 && monster.goalY == 11, chases);
    }
    Player().status.paralysisTurns = 0;

    // Species 17 standing on the slot it is linked to flees and forgoes its special.
    SMonsterKind& linkFleer = AddMonsterKind(*game, 68);
    linkFleer.specialChance = 255;
    for (const auto& [linked, flees] : {std::pair{false, false}, std::pair{true, true}}) {
        Monster(1, kWalker, 12, 12);
        SMonster& monster = Monster(2, 68, 12, 12);
        monster.link = linked ? 1 : 0xFFFF;
        ThinkMonster(monster, *game, false);
        EXPECT_EQ(monster.goalReached == 0, flees);
    }
}

TEST_F(MonsterMovementTest, TheStatusChaserChasesWhileItsTargetSuffersWhatItsRankInflicts)
{
    enum class Hold
    {
        None,
        Paralysis,
        SealTurns,
        SealingCircle,
        WeakBody,
        Sleep
    };
    const struct
    {
        std::int32_t kindId; // species 20, rank 0..3
        Hold hold;
        bool chases;
    } cases[] = {
        {80, Hold::None, false},    {80, Hold::Paralysis, true}, {80, Hold::SealTurns, false},
        {81, Hold::None, false},    {81, Hold::SealTurns, true}, {81, Hold::SealingCircle, true},
        {82, Hold::WeakBody, true}, {83, Hold::Sleep, true},     {83, Hold::SealingCircle, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kindId << " " << int(c.hold));
        game = MakeTestGame();
        SetUp();
        AddMonsterKind(*game, c.kindId).behaviour = kBehaviourFlee;
        SCharacterStatus& status = Player().status;
        status.paralysisTurns = c.hold == Hold::Paralysis ? 5 : 0;
        status.sealTurns = c.hold == Hold::SealTurns ? 5 : 0;
        status.weakBodyTurns = c.hold == Hold::WeakBody ? 5 : 0;
        status.sleepTurns = c.hold == Hold::Sleep ? 5 : 0;
        // On her cell only: the chaser itself stays unsealed.
        if (c.hold == Hold::SealingCircle)
            PlaceCircle(*game, 271, CSpellCircleControl::kRangeCell, Player().x, Player().y);
        SMonster& monster = Monster(0, c.kindId, 15, 14);
        ThinkMonster(monster, *game, false);
        EXPECT_EQ(monster.goalX == 11 && monster.goalY == 11, c.chases);
    }
}

TEST_F(MonsterMovementTest, SleepersWake)
{
    // Within one cell of the heroine a monster in sleep state 1 wakes by chance (always in fixed mode);
    // one asleep until disturbed does not, nor anyone while the wake lock holds.
    const struct
    {
        std::int32_t sleepState;
        bool lock;
        std::int32_t after;
    } cases[] = {{1, false, 0}, {4, false, 4}, {1, true, 1}};
    for (const auto& c : cases) {
        game->wakeLock = c.lock ? 1 : 0;
        SMonster& monster = Monster(0, kWalker, 12, 12);
        monster.sleepState = c.sleepState;
        ThinkMonster(monster, *game, false);
        EXPECT_EQ(monster.sleepState, c.after);
        EXPECT_EQ(monster.actionCounter, c.after == 0 ? 0 : 1);
    }
    game->wakeLock = 0;

    // Species 4 wakes when a strike reaches the heroine, gaining its rank in actions at rank 1 or 2.
    for (const auto& [kindId, counter, acted] :
         {std::tuple{16, 1, 0}, std::tuple{17, 2, 1}, std::tuple{18, 3, 1}, std::tuple{19, 1, 0}}) {
        SMonster& monster = Monster(0, kindId, 12, 12);
        monster.sleepState = 4;
        ThinkMonster(monster, *game, false);
        EXPECT_EQ(monster.sleepState, 0) << kindId;
        EXPECT_EQ(monster.actionCounter, counter) << kindId;
        EXPECT_EQ(monster.acted, acted) << kindId;
    }
    // Across a wall corner it sleeps on.
    game->map.GetCell(12, 11).terrain = 2;
    SMonster& monster = Monster(0, 17, 12, 12);
    game->map.GetCell(11, 12).terrain = 2;
    monster.sleepState = 4;
    ThinkMonster(monster, *game, false);
    EXPECT_EQ(monster.sleepState, 4);
}

} // namespace

namespace {

TEST_F(MonsterMovementTest, ShopkeepersKeepToTheirShop)
{
    // Room 0 is the shop, its guard cell (15, 17) beside the door (15, 18). A shopkeeper of type 3 places
    // itself diagonally off the guard cell, on (14, 16).
    game->map.specialRoom = 0;
    game->shopGuardCell = {15, 17};
    game->shopDoorCell = {15, 18};

    SMonster& placed = Monster(0, kWalker, 14, 16);
    placed.type = kCharacterShopkeeper;
    placed.hasteTurns = 5;
    ThinkMonster(placed, *game, false);
    EXPECT_EQ(placed.x, 14);
    EXPECT_EQ(placed.y, 16);
    EXPECT_EQ(placed.hasteTurns, 1);
    EXPECT_EQ(placed.goalX, 15);
    EXPECT_EQ(placed.goalY, 17);

    SMonster& walking = Monster(1, kWalker, 17, 14);
    walking.type = kCharacterShopkeeper;
    ThinkMonster(walking, *game, false);
    EXPECT_EQ(walking.x, 16);
    EXPECT_EQ(walking.y, 15);
    EXPECT_EQ(walking.goalX, 15);
    EXPECT_EQ(walking.goalY, 17);
}

TEST_F(MonsterMovementTest, AStuckMonsterThatCannotSeeItsTargetTakesAnIcePillarBesideIt)
{
    Monster(3, kWalker, 16, 14).type = kCharacterIcePillar;
    for (const auto& [stuck, seen, takes] :
         {std::tuple{2, false, true}, std::tuple{1, false, false}, std::tuple{2, true, false}}) {
        SMonster& monster = Monster(0, kWalker, 15, 14);
        monster.direction = 4;
        monster.stuckCounter = stuck;
        monster.viewFlags[0] = seen ? 1 : 0;
        ThinkMonster(monster, *game, false);
        EXPECT_EQ(monster.link == 3, takes);
        if (takes) {
            EXPECT_EQ(monster.direction, 6);
            EXPECT_EQ(monster.stuckCounter, 0);
            EXPECT_EQ(monster.x, 15);
        }
    }
}

TEST_F(MonsterMovementTest, ThePeacefulCharacterWalksToItsGoalOnly)
{
    for (const auto& [goalX, x] : {std::pair{18, 16}, std::pair{-1, 15}}) {
        SMonster& peaceful = Monster(0, kWalker, 15, 14);
        peaceful.type = kCharacterPeaceful;
        peaceful.goalX = goalX;
        peaceful.goalY = goalX == -1 ? -1 : 14;
        ThinkMonster(peaceful, *game, false);
        EXPECT_EQ(peaceful.x, x);
        EXPECT_EQ(peaceful.actionCounter, 0);
    }
}

} // namespace
