#include "game/characters/character_control.h"
#include "game/core/random.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/seed_search.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

namespace {

class CharacterRecordsTest : public ::testing::Test
{
protected:
    CCharacterControl::SMonster& Monster(std::int32_t kindId, std::uint16_t slot = 0)
    {
        return PlaceMonster(*game, slot, kindId, 10, 10);
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(CharacterRecordsTest, FacingTurnsClockwiseFromBelow)
{
    CCharacterControl::SMonster& m = Monster(0);
    struct Case
    {
        std::int32_t x, y, direction;
    };
    for (const Case& c :
         {Case{10, 11, 0}, Case{9, 11, 1}, Case{9, 10, 2}, Case{9, 9, 3}, Case{10, 9, 4}, Case{11, 9, 5},
          Case{11, 10, 6}, Case{11, 11, 7}, Case{10, 10, 6}, Case{12, 13, 7}, Case{13, 11, 6}}) {
        m.direction = -1;
        m.FaceToward(c.x, c.y);
        EXPECT_EQ(m.direction, c.direction) << c.x << "," << c.y;
    }
}

TEST_F(CharacterRecordsTest, TerrainLimitsFollowTheKind)
{
    AddMonsterKind(*game, 4);                               // a walker
    AddMonsterKind(*game, 8).typeFlags = kKindFlying;       // a flyer
    AddMonsterKind(*game, 12).abilities = kAbilityWallPass; // passes walls
    AddMonsterKind(*game, 16).abilities = kAbilityFish;     // lives in water
    struct Case
    {
        const char* what;
        CCharacterControl::SCharacter* character;
        std::int32_t corner, terrain;
    };
    CCharacterControl::SPlayer& player = game->characters.player;
    CCharacterControl::SMonster& sealed = PlaceMonster(*game, 4, 12, 1, 5);
    sealed.status.sealTurns = 5;
    const std::vector<Case> cases = {
        {"walker", &PlaceMonster(*game, 0, 4, 1, 1), 2, 4},
        {"flyer", &PlaceMonster(*game, 1, 8, 1, 2), 2, 2},
        {"wall-passer", &PlaceMonster(*game, 2, 12, 1, 3), 1, 1},
        {"fish", &PlaceMonster(*game, 3, 16, 1, 4), 2, 3},
        {"heroine", &player, 2, 4},
        {"sealed wall-passer: a walker", &sealed, 2, 4},
    };
    for (const Case& c : cases) {
        std::int32_t corner = -1;
        std::int32_t terrain = -1;
        c.character->GetTerrainLimits(*game, corner, terrain);
        EXPECT_EQ(corner, c.corner) << c.what;
        EXPECT_EQ(terrain, c.terrain) << c.what;
    }
    PlaceCircle(*game, 281, CSpellCircleControl::kRangeSelf, 30, 30);
    std::int32_t corner = -1;
    std::int32_t terrain = -1;
    player.GetTerrainLimits(*game, corner, terrain);
    EXPECT_EQ(terrain, 2) << "heroine under circle 281";
}

TEST_F(CharacterRecordsTest, WaterBreaksFrogsAndFireKindsAndSealsDolls)
{
    AddMonsterKind(*game, 12 * 4); // species 12
    AddMonsterKind(*game, 5 * 4).typeFlags = kKindFire;
    SMonsterKind& doll = AddMonsterKind(*game, 6 * 4);
    doll.typeFlags = kKindDoll;
    AddMonsterKind(*game, 7 * 4).abilities = kAbilityReflect; // reflects, does not split
    for (const std::int32_t kindId : {12 * 4, 5 * 4}) {
        game->reactionQueue.pending.clear();
        Monster(kindId, 3).Wet(*game, 3, 1);
        ASSERT_EQ(game->reactionQueue.pending.size(), 1u) << kindId;
        EXPECT_EQ(game->reactionQueue.pending.back().kind, kActionBreakUp);
        EXPECT_EQ(game->reactionQueue.pending.back().param2, 3);
    }
    game->reactionQueue.pending.clear();
    CCharacterControl::SMonster& sealed = Monster(6 * 4);
    sealed.attack = 30;
    sealed.defence = 9;
    sealed.Wet(*game, 0, 1);
    EXPECT_EQ(sealed.status.sealTurns, 255);
    EXPECT_EQ(sealed.attack, 20);
    EXPECT_EQ(sealed.defence, 6);

    CCharacterControl::SMonster& reflector = Monster(7 * 4);
    reflector.Wet(*game, 0, 1);
    EXPECT_EQ(reflector.status.sealTurns, 0);
    EXPECT_TRUE(game->reactionQueue.pending.empty());
}

TEST_F(CharacterRecordsTest, RustEatsDefenceByModeAndSparesIceKinds)
{
    AddMonsterKind(*game, 4);
    AddMonsterKind(*game, 8).typeFlags = kKindIce;
    struct Case
    {
        std::int32_t kindId, mode, defence;
    };
    for (const Case& c : {Case{4, 1, 8}, Case{4, 2, 5}, Case{4, 3, 3}, Case{8, 1, 10}}) {
        CCharacterControl::SMonster& m = Monster(c.kindId);
        m.defence = 10;
        EXPECT_EQ(m.ApplyRust(*game, 0, false, c.mode, false), 0);
        EXPECT_EQ(m.defence, c.defence) << c.kindId << " mode " << c.mode;
    }
    MessageRecorder messages(*game);
    game->characters.player.ApplyRust(*game, 0, true, 1, true);
    EXPECT_EQ(messages.Text(), "しかし　錆びるものを装備していなかった。");
}

TEST_F(CharacterRecordsTest, DamageWakesEndsParalysisAndTurnsShopkeepers)
{
    AddMonsterKind(*game, 4);
    CCharacterControl::SMonster& m = Monster(4);
    m.hp = 5;
    m.sleepState = 4;
    m.status.paralysisTurns = 3;
    m.inPotTurns = 2;
    EXPECT_EQ(m.TakeDamage(8, 0xFFFF, *game), -5);
    EXPECT_EQ(m.hp, 0);
    EXPECT_EQ(m.sleepState, 0);
    EXPECT_EQ(m.status.paralysisTurns, 0);
    EXPECT_EQ(m.inPotTurns, 0);
    EXPECT_EQ(game->effects.size(), 1u) << "the pot breaks";

    struct Case
    {
        std::int32_t attacker, type;
        std::uint16_t link;
    };
    for (const Case& c : {Case{0xFFFF, kCharacterHostile, 0xFFFF}, Case{5, kCharacterShopkeeper, 5}}) {
        CCharacterControl::SMonster& keeper = Monster(4, 1);
        keeper.type = kCharacterShopkeeper;
        keeper.TakeDamage(1, c.attacker, *game);
        EXPECT_EQ(keeper.type, c.type) << c.attacker;
        EXPECT_EQ(keeper.link, c.link) << c.attacker;
    }
}

TEST_F(CharacterRecordsTest, AbilitiesAreHiddenWhileSealedAndFromTheHeroine)
{
    SMonsterKind& kind = AddMonsterKind(*game, 4);
    kind.abilities = kAbilityUnmovable;
    kind.typeFlags = kKindUndead;
    CCharacterControl::SMonster& m = Monster(4);
    EXPECT_TRUE(m.HasAbility(*game, kAbilityUnmovable));
    EXPECT_TRUE(m.IsUnmovable(*game));
    EXPECT_TRUE(m.HasKindFlag(*game, kKindUndead));
    m.status.sealTurns = 1;
    EXPECT_FALSE(m.HasAbility(*game, kAbilityUnmovable));
    EXPECT_TRUE(m.HasKindFlag(*game, kKindUndead));
    m.status.sealTurns = 0;
    PlaceCircle(*game, 271, CSpellCircleControl::kRangeCell, 10, 10);
    EXPECT_FALSE(m.HasAbility(*game, kAbilityUnmovable));
    EXPECT_FALSE(game->characters.player.HasAbility(*game, 0xFFFF));
    EXPECT_FALSE(game->characters.player.HasKindFlag(*game, 0xFFFF));
}

TEST_F(CharacterRecordsTest, ShieldSealsMakeTheHeroineUnmovable)
{
    EXPECT_FALSE(game->characters.player.IsUnmovable(*game));
    EquipShieldWithSeals(*game, {70});
    EXPECT_TRUE(game->characters.player.IsUnmovable(*game));
}

TEST_F(CharacterRecordsTest, WallAndWaterDwellersAreFoundInsideTheirTerrain)
{
    AddMonsterKind(*game, 4).abilities = kAbilityWallPass;
    AddMonsterKind(*game, 8).abilities = kAbilityFish;
    game->map.GetCell(10, 10).terrain = 2;
    game->map.GetCell(11, 10).terrain = 4;
    CCharacterControl::SMonster& ghost = PlaceMonster(*game, 0, 4, 10, 10);
    CCharacterControl::SMonster& fish = PlaceMonster(*game, 1, 8, 11, 10);
    EXPECT_TRUE(ghost.IsInsideWall(*game));
    EXPECT_FALSE(ghost.IsSubmerged(*game));
    EXPECT_TRUE(fish.IsSubmerged(*game));
    fish.x = 10;
    EXPECT_FALSE(fish.IsSubmerged(*game));
    EXPECT_FALSE(fish.IsGone());
    fish.motion = 13;
    EXPECT_TRUE(fish.IsGone());
}

TEST_F(CharacterRecordsTest, SleepersWakeByTheirStatesChance)
{
    Monster(4).sleepState = 3;
    game->random.noRandom = true;
    game->characters.monsters[0].WakeUpByChance(*game);
    EXPECT_EQ(game->characters.monsters[0].sleepState, 0) << "the fixed draw 0 always wakes";
    game->random.noRandom = false;
    struct Case
    {
        std::int32_t state;
        bool wakes;
        std::function<bool(std::int32_t)> draw;
    };
    const std::vector<Case> cases = {
        {3, false, [](std::int32_t d) { return d >= 20; }},
        {3, true, [](std::int32_t d) { return d < 20; }},
        {1, false, [](std::int32_t d) { return d >= 90; }},
        {2, true, [](std::int32_t d) { return d == 74; }},
    };
    for (const Case& c : cases) {
        const auto seed = FindSeed([&](Math::CRand& r) { return c.draw(RandomBelow(r, 100)); });
        ASSERT_TRUE(seed.has_value());
        game->random.SetSeed(*seed);
        CCharacterControl::SMonster& m = game->characters.monsters[0];
        m.sleepState = c.state;
        m.WakeUpByChance(*game);
        EXPECT_EQ(m.sleepState, c.wakes ? 0 : c.state) << c.state;
    }
    CCharacterControl::SMonster& deep = Monster(4);
    deep.sleepState = 4;
    deep.WakeUpByChance(*game);
    EXPECT_EQ(deep.sleepState, 4);
}

class SetLevelTest : public CharacterRecordsTest
{
protected:
    // Species 1, ranks 0 to 3: base HP 10, attack 5, defence 3, experience 10, 40, 80, 120.
    void SetUp() override
    {
        for (std::int32_t rank = 0; rank < 4; ++rank) {
            SMonsterKind& kind = AddMonsterKind(*game, 4 + rank);
            kind.baseHp = 10;
            kind.baseAttack = 5;
            kind.baseDefence = 3;
            kind.speed = 2;
            kind.experienceBase = rank == 0 ? 10 : 40 * rank;
        }
    }
};

TEST_F(SetLevelTest, TheNumbersFollowTheKindAndTheLevel)
{
    CCharacterControl::SMonster& m = Monster(4);
    EXPECT_EQ(m.SetLevel(6, *game), 0);
    EXPECT_EQ(m.maxHp, 15);
    EXPECT_EQ(m.hp, 15);
    EXPECT_EQ(m.attack, 10);
    EXPECT_EQ(m.defence, 9);
    EXPECT_EQ(m.experience, 35);
    EXPECT_EQ(m.baseSpeed, 1);
    EXPECT_EQ(m.animSpeed, 2);
    EXPECT_EQ(m.SetLevel(6, *game), 2) << "the same level again";
}

TEST_F(SetLevelTest, PromotionTakesTheNextRankWhenExperienceExceedsItsBase)
{
    struct Case
    {
        std::int32_t kindId, level, kindAfter, levelAfter;
    };
    for (const Case& c : {Case{4, 7, 4, 7}, Case{4, 8, 5, 1}, Case{4, 150, 5, 1}, Case{7, 150, 7, 150}}) {
        CCharacterControl::SMonster& m = Monster(c.kindId);
        EXPECT_EQ(m.SetLevel(c.level, *game), 0);
        EXPECT_EQ(m.kindId, c.kindAfter) << c.kindId << " level " << c.level;
        EXPECT_EQ(m.level, c.levelAfter) << c.kindId << " level " << c.level;
    }
    CCharacterControl::SMonster& top = Monster(7);
    top.SetLevel(150, *game);
    EXPECT_EQ(top.maxHp, 159);
    EXPECT_EQ(top.attack, 154);
    EXPECT_EQ(top.defence, 153);
}

TEST_F(SetLevelTest, AnExperienceBaseFromADamagedTableStopsAtTheIntRange)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    struct Case
    {
        std::int32_t base, level, experience;
    };
    // Rank 3 takes no promotion, so the experience stays as the level gave it.
    for (const Case& c : {Case{kMax, 6, kMax}, Case{kMin, 6, kMin}, Case{40000000, 150, kMax},
                          Case{40000000, 99, 2000000000}}) {
        game->characters.monsterKinds[7].experienceBase = c.base;
        CCharacterControl::SMonster& m = Monster(7);
        EXPECT_EQ(m.SetLevel(c.level, *game), 0);
        EXPECT_EQ(m.experience, c.experience) << c.base << " level " << c.level;
    }
}

TEST_F(SetLevelTest, SpeciesZeroPillarsAndFixedLevelsStay)
{
    for (std::int32_t rank = 0; rank < 2; ++rank)
        AddMonsterKind(*game, rank).experienceBase = 1;
    CCharacterControl::SMonster& zero = Monster(0);
    EXPECT_EQ(zero.SetLevel(150, *game), 0);
    EXPECT_EQ(zero.kindId, 0);
    EXPECT_EQ(zero.level, 150);

    CCharacterControl::SMonster& pillar = Monster(4);
    pillar.type = kCharacterIcePillar;
    EXPECT_EQ(pillar.SetLevel(3, *game), 2);
    CCharacterControl::SMonster& none = Monster(0xFFFF);
    EXPECT_EQ(none.SetLevel(3, *game), 1);

    CCharacterControl::SMonster& fixed = Monster(4);
    PlaceCircle(*game, 275, CSpellCircleControl::kRangeFloor, 30, 30);
    EXPECT_EQ(fixed.SetLevel(3, *game), -1);
    EXPECT_EQ(fixed.SetLevel(3, *game, true), 0);
    EXPECT_EQ(fixed.level, 3);

    game->circles.Clear();
    CCharacterControl::SMonster& unknown = Monster(400);
    unknown.SetLevel(5, *game);
    EXPECT_EQ(unknown.maxHp, 1) << "the empty kind's base HP";
}

} // namespace
