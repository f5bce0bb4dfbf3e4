#include "game/characters/monster_movement.h"

#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr std::int32_t kWalker = 40; // species 10
constexpr std::int32_t kFlyer = 44;  // species 11
constexpr std::int32_t kWallPasser = 48;
constexpr std::int32_t kFish = 52;
constexpr std::int32_t kWaterStriker = 160; // species 40

class StepTestsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AddMonsterKind(*game, kWalker);
        AddMonsterKind(*game, kFlyer).typeFlags = kKindFlying;
        AddMonsterKind(*game, kWallPasser).abilities = kAbilityWallPass;
        AddMonsterKind(*game, kFish).abilities = kAbilityFish;
        AddMonsterKind(*game, kWaterStriker).abilities = kAbilityFish;
        // The heroine on (11, 11).
        DrawFloorArt(*game, 10, 10,
                     {
                         "#######",
                         "#@0000#",
                         "#0#00~#",
                         "#000~~#",
                         "#######",
                     });
    }

    CCharacterControl::SPlayer& Player() { return game->characters.player; }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(StepTestsTest, TerrainAndCornerLimitsByKind)
{
    // A monster on (14, 12): water to the right (15, 12), a wall column at (12, 12).
    const struct
    {
        std::int32_t kind;
        std::int32_t x, y, direction;
        bool allowed;
    } cases[] = {
        {kWalker, 14, 12, 6, false},    // water
        {kFlyer, 14, 12, 6, true},      // over water
        {kFish, 14, 12, 6, true},       // into water
        {kWalker, 12, 11, 7, false},    // diagonal past the wall at (12, 12)
        {kWalker, 13, 12, 1, false},    // another diagonal past the same wall
        {kWalker, 14, 11, 1, true},     // both side cells open
        {kWalker, 13, 12, 2, false},    // into the wall
        {kWallPasser, 13, 12, 2, true}, // through it
        {kWallPasser, 12, 11, 7, true}, // and past its corner
        {kWallPasser, 15, 11, 6, true}, // the outer wall too
        {kFlyer, 15, 11, 6, false},
    };
    for (const auto& c : cases) {
        CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, c.kind, c.x, c.y);
        EXPECT_EQ(CanStepInDirection(monster, c.direction, *game, true), c.allowed)
            << "kind " << c.kind << " at " << c.x << "," << c.y << " dir " << c.direction;
    }
}

TEST_F(StepTestsTest, OccupantsStopMonstersAndTheHeroineOnlySwapsWithShopkeepersAndThePeaceful)
{
    const struct
    {
        std::int32_t type;
        bool asleep;
        bool allowed;
    } cases[] = {
        {kCharacterShopkeeper, false, true},   {kCharacterPeaceful, false, true},
        {kCharacterShopkeeper2, false, false}, {kCharacterHostile, false, false},
        {kCharacterPeaceful, true, false},
    };
    for (const auto& c : cases) {
        CCharacterControl::SMonster& other = PlaceMonster(*game, 3, kWalker, 12, 11);
        other.type = c.type;
        other.sleepState = c.asleep ? 4 : 0;
        EXPECT_EQ(CanStepInDirection(Player(), 6, *game, true), c.allowed) << c.type;
        EXPECT_EQ(game->swapPartner, c.allowed ? 3 : 0xFFFF) << c.type;
        EXPECT_TRUE(CanStepInDirection(Player(), 6, *game, false));
    }

    // A monster is stopped by the heroine and by another monster.
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, kWalker, 11, 12);
    EXPECT_FALSE(CanStepInDirection(monster, 4, *game, true));
    PlaceMonster(*game, 1, kWalker, 11, 13);
    EXPECT_FALSE(CanStepInDirection(monster, 0, *game, true));
    EXPECT_TRUE(CanStepInDirection(monster, 0, *game, false));
}

// A monster choosing among its steps looks at its surroundings once; each answer from them is the full
// test's, for every kind, cell and direction, with the heroine, a monster or an emptied slot beside it.
TEST_F(StepTestsTest, StepsFromTheSurroundingsLookedAtOnceAnswerAsTheFullTest)
{
    const struct
    {
        const char* name;
        std::int32_t x, y; // the other one, or the emptied slot
        std::int32_t type;
    } neighbours[] = {{"nobody", -1, -1, kCharacterEmpty},
                      {"a monster below", 14, 13, kCharacterHostile},
                      {"an emptied slot", 13, 11, kCharacterEmpty},
                      {"a monster across the corner", 12, 13, kCharacterHostile}};
    for (const std::int32_t kind : {kWalker, kFlyer, kWallPasser, kFish})
        for (const auto& n : neighbours)
            for (const SCellPosition at :
                 {SCellPosition{13, 12}, SCellPosition{12, 11}, SCellPosition{14, 12}}) {
                game->characters.Reset();
                Player().SetPosition(at.x - 1, at.y - 1);
                CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, kind, at.x, at.y);
                if (n.x != -1) PlaceMonster(*game, 2, kWalker, n.x, n.y).type = n.type;
                const SStepSurroundings around = LookAround(monster, *game);
                for (std::int32_t direction = 0; direction < 8; ++direction) {
                    game->swapPartner = 5;
                    const bool full = CanStepInDirection(monster, direction, *game, true);
                    game->swapPartner = 5;
                    EXPECT_EQ(CanStepInDirection(monster, direction, *game, around), full)
                        << "kind " << kind << ", " << n.name << ", at " << at.x << "," << at.y << " dir "
                        << direction;
                    EXPECT_EQ(game->swapPartner, 0xFFFF);
                }
            }
}

TEST_F(StepTestsTest, SwapNeedsTheWayBackOpenToThePartner)
{
    // The heroine wades on (14, 13) under circle 281; the peaceful walker beside her cannot step onto it.
    Player().x = 14;
    Player().y = 13;
    game->map.GetCell(14, 13).terrain = 4;
    PlaceCircle(*game, 281, 4, 1, 1);
    CCharacterControl::SMonster& other = PlaceMonster(*game, 2, kWalker, 13, 13);
    other.type = kCharacterPeaceful;
    EXPECT_FALSE(CanStepInDirection(Player(), 2, *game, true));
    EXPECT_EQ(game->swapPartner, 0xFFFF);
    // Under the circle she walks onto water herself.
    EXPECT_TRUE(CanStepInDirection(Player(), 6, *game, true));
    game->circles.circles.clear();
    Player().x = 14;
    Player().y = 12;
    EXPECT_FALSE(CanStepInDirection(Player(), 6, *game, true));
}

TEST_F(StepTestsTest, TheHeroinesStrikes)
{
    // A fish in the water on (15, 12), a wall-passer in the wall on (12, 12).
    Player().x = 14;
    Player().y = 12;
    PlaceMonster(*game, 0, kFish, 15, 12);
    EXPECT_FALSE(CanAttackInDirection(Player(), 6, *game, false));
    Player().x = 13;
    PlaceMonster(*game, 1, kWallPasser, 12, 12);
    EXPECT_FALSE(CanAttackInDirection(Player(), 2, *game, false));
    // Out of the wall it can be struck; an empty water cell can be struck at.
    game->characters.monsters[1].x = 12;
    game->characters.monsters[1].y = 11;
    EXPECT_TRUE(CanAttackInDirection(Player(), 3, *game, true));
    EXPECT_FALSE(CanAttackInDirection(Player(), 3, *game, false)); // the wall corner
    Player().x = 14;
    Player().y = 13;
    EXPECT_TRUE(CanAttackInDirection(Player(), 6, *game, false));

    // A weapon with seal 12 reaches anything, even the wall-passer in the wall.
    const std::uint16_t weapon = MakeItem(*game, 1, kItemClassWeapon);
    CItemControl::SItem& item = game->items.GetItem(weapon);
    item.slots[std::size_t(item.sealCount++)] = 12;
    game->equippedWeapon = weapon;
    Player().x = 14;
    Player().y = 12;
    EXPECT_TRUE(CanAttackInDirection(Player(), 6, *game, false));
}

TEST_F(StepTestsTest, SubmergedStrikers)
{
    // Water on (14..15, 13) and (15, 12); floor on (13, 13) and (14, 12).
    const struct
    {
        std::int32_t attackerKind;
        std::int32_t attackerX, attackerY;
        std::int32_t targetKind; // -1 none
        std::int32_t targetX, targetY;
        std::int32_t direction;
        bool reaches;
    } cases[] = {
        {kFish, 14, 13, -1, 0, 0, 2, true},         // an empty floor cell
        {kFish, 14, 13, kWalker, 13, 13, 2, false}, // a walker on the shore
        {kFish, 14, 13, kFish, 15, 13, 6, true},    // another fish under water
        {kWaterStriker, 14, 13, kWalker, 13, 13, 2, true},
        {kWalker, 14, 12, kFish, 15, 12, 6, false}, // a walker cannot reach into the water
        {kFlyer, 14, 12, kFlyer, 15, 12, 6, true},  // over water is no obstacle
        {kWalker, 13, 12, kWallPasser, 12, 12, 2, false},
        {kWallPasser, 13, 11, kWallPasser, 12, 12, 1, true},
    };
    for (const auto& c : cases) {
        game->characters.monsters[1].Reset();
        CCharacterControl::SMonster& attacker =
            PlaceMonster(*game, 0, c.attackerKind, c.attackerX, c.attackerY);
        if (c.targetKind >= 0) PlaceMonster(*game, 1, c.targetKind, c.targetX, c.targetY);
        EXPECT_EQ(CanAttackInDirection(attacker, c.direction, *game, false), c.reaches)
            << c.attackerKind << " at " << c.attackerX << "," << c.attackerY << " dir " << c.direction;
    }
}

} // namespace
