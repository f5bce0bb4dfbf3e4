#include "game/characters/character_control.h"
#include "game/support/game_with_kinds.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Apply = std::function<bool(CCharacterControl::SCharacter&, SGameResource&)>;

class CharacterStatsTest : public ::testing::Test
{
protected:
    CCharacterControl::SPlayer& Player() { return game->characters.player; }
    CCharacterControl::SMonster& Monster(std::uint16_t slot = 0)
    {
        AddMonsterKind(*game, 4);
        return PlaceMonster(*game, slot, 4, 10, 10);
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(CharacterStatsTest, NumbersAreClampedAndAnswerTheChangeMade)
{
    CCharacterControl::SPlayer& p = Player();
    p.hp = 3;
    EXPECT_EQ(p.AddHp(-5), -3);
    p.hp = p.maxHp = 20;
    EXPECT_EQ(p.AddMaxHp(5), 5);
    EXPECT_EQ(p.hp, 25);
    EXPECT_EQ(p.AddMaxHp(-10), -10);
    EXPECT_EQ(p.maxHp, 15);
    EXPECT_EQ(p.hp, 15);
    EXPECT_EQ(p.AddMaxHp(-100), -14);
    EXPECT_EQ(p.AddMaxFullness(150), 100);
    EXPECT_EQ(p.GetMaxFullnessDisplay(), 200);
    p.fullness = 1;
    EXPECT_EQ(p.GetFullnessDisplay(), 1);
    EXPECT_EQ(p.AddFullness(-5), -1);
    EXPECT_EQ(p.AddMaxStrength(100), 89);
    EXPECT_EQ(p.AddStrength(-50), -9);
    EXPECT_EQ(p.strength, 1);
    EXPECT_EQ(p.AddMaxStrength(-200), -98);
}

TEST_F(CharacterStatsTest, HasteAndSlowCancelEachOther)
{
    CCharacterControl::SPlayer& p = Player();
    EXPECT_TRUE(p.ApplySlowStatus(*game, 10));
    EXPECT_FALSE(p.ApplySlowStatus(*game, 10)) << "already slow";
    EXPECT_EQ(p.GetCharacterSpeed(*game), -1);
    EXPECT_TRUE(p.ApplyHasteStatus(*game, 10));
    EXPECT_EQ(p.status.slowTurns, 0);
    EXPECT_EQ(p.hasteTurns, 0) << "the haste only lifted the slow";
    EXPECT_TRUE(p.ApplyHasteStatus(*game, 250));
    EXPECT_TRUE(p.ApplyHasteStatus(*game, 10));
    EXPECT_EQ(p.hasteLevel, 2);
    EXPECT_EQ(p.hasteTurns, 254);
    EXPECT_EQ(p.GetCharacterSpeed(*game), 2);
    EXPECT_TRUE(p.ApplySlowStatus(*game, 10));
    EXPECT_EQ(p.hasteLevel, 1);
    EXPECT_TRUE(p.ApplySlowStatus(*game, 10));
    EXPECT_EQ(p.hasteTurns, 0);
    EXPECT_EQ(p.status.slowTurns, 0);

    CCharacterControl::SMonster& m = Monster();
    EXPECT_TRUE(m.ApplyHasteStatus(*game, 3));
    EXPECT_EQ(m.hasteTurns, 254);
}

TEST_F(CharacterStatsTest, SpeedIsClampedSealedOrFixedByACircle)
{
    CCharacterControl::SMonster& m = Monster();
    m.baseSpeed = 2;
    m.hasteTurns = 5;
    m.hasteLevel = 3;
    EXPECT_EQ(m.GetCharacterSpeed(*game), 3);
    m.status.sealTurns = 1;
    EXPECT_EQ(m.GetCharacterSpeed(*game), 3) << "sealed: base 0, haste 3";
    m.hasteTurns = 0;
    EXPECT_EQ(m.GetCharacterSpeed(*game), 0);
    m.status.sealTurns = 0;
    PlaceCircle(*game, 270, CSpellCircleControl::kRangeFloor, 1, 1);
    EXPECT_EQ(m.GetCharacterSpeed(*game), 0);
}

TEST_F(CharacterStatsTest, StatusesAreRefusedByTheirProtections)
{
    struct Status
    {
        const char* name;
        Apply apply;
        std::uint16_t ownSeal; // 0 none
    };
    const std::vector<Status> statuses = {
        {"weak body", [](auto& c, auto& g) { return c.ApplyWeakBodyStatus(g, 5); }, 0},
        {"frozen", [](auto& c, auto& g) { return c.ApplyFrozenStatus(g, 5); }, 69},
        {"hallucination", [](auto& c, auto& g) { return c.ApplyHallucinationStatus(g, 5); }, 64},
        {"blind", [](auto& c, auto& g) { return c.ApplyBlindStatus(g, 5); }, 65},
        {"paralysis", [](auto& c, auto& g) { return c.ApplyParalysisStatus(g, 5); }, 0},
        {"sleep", [](auto& c, auto& g) { return c.ApplySleepStatus(g, 5); }, 62},
        {"confusion", [](auto& c, auto& g) { return c.ApplyConfusionStatus(g, 5); }, 63},
        {"seal", [](auto& c, auto& g) { return c.ApplySealStatus(g, 5); }, 66},
    };
    struct Guard
    {
        const char* name;
        std::function<void(SGameResource&)> set;
    };
    const std::vector<Guard> guards = {
        {"circle 284", [](SGameResource& g) { PlaceCircle(g, 284, CSpellCircleControl::kRangeSelf, 1, 1); }},
        {"status guard", [](SGameResource& g) { g.statusGuard = 1; }},
        {"seal 43", [](SGameResource& g) { EquipShieldWithSeals(g, {43}); }},
    };
    for (const Status& s : statuses) {
        for (const Guard& guard : guards) {
            auto fresh = MakeTestGame();
            guard.set(*fresh);
            EXPECT_FALSE(s.apply(fresh->characters.player, *fresh)) << s.name << " under " << guard.name;
        }
        if (s.ownSeal != 0) {
            auto fresh = MakeTestGame();
            EquipShieldWithSeals(*fresh, {s.ownSeal});
            EXPECT_FALSE(s.apply(fresh->characters.player, *fresh)) << s.name << " under its seal";
        }
        auto fresh = MakeTestGame();
        EXPECT_TRUE(s.apply(fresh->characters.player, *fresh)) << s.name;
        EXPECT_FALSE(s.apply(fresh->characters.player, *fresh)) << s.name << " twice";
        CCharacterControl::SMonster& chest = PlaceMonster(*fresh, 0, 4, 3, 3);
        chest.type = kCharacterChest;
        EXPECT_FALSE(s.apply(chest, *fresh)) << s.name << " on a chest";
        CCharacterControl::SMonster& pillar = PlaceMonster(*fresh, 1, 4, 3, 4);
        pillar.type = kCharacterIcePillar;
        EXPECT_FALSE(s.apply(pillar, *fresh)) << s.name << " on an ice pillar";
    }
}

TEST_F(CharacterStatsTest, MonstersTakePermanentStatusesAndIceKindsDoNotFreeze)
{
    CCharacterControl::SMonster& m = Monster();
    EXPECT_TRUE(m.ApplySealStatus(*game, 3));
    EXPECT_EQ(m.status.sealTurns, 255);
    EXPECT_TRUE(m.ApplyHallucinationStatus(*game, 3));
    EXPECT_EQ(m.status.hallucinationTurns, 255);
    EXPECT_TRUE(m.ApplyHideStatus(*game, 3));
    EXPECT_EQ(m.inPotTurns, 255);
    AddMonsterKind(*game, 8).typeFlags = kKindIce;
    EXPECT_FALSE(PlaceMonster(*game, 1, 8, 5, 5).ApplyFrozenStatus(*game, 3));
    game->map.floorType = 21;
    EXPECT_FALSE(Player().ApplyFrozenStatus(*game, 3));
}

TEST_F(CharacterStatsTest, StrongAndWeakBodyCancelEachOther)
{
    CCharacterControl::SPlayer& p = Player();
    EXPECT_TRUE(p.ApplyStrongBodyStatus(*game, 250));
    EXPECT_TRUE(p.ApplyStrongBodyStatus(*game, 10));
    EXPECT_EQ(p.strongBodyTurns, 254);
    EXPECT_TRUE(p.ApplyWeakBodyStatus(*game, 5));
    EXPECT_EQ(p.strongBodyTurns, 0);
    EXPECT_EQ(p.status.weakBodyTurns, 0);
    EXPECT_TRUE(p.ApplyWeakBodyStatus(*game, 5));
    EXPECT_EQ(p.status.weakBodyTurns, 5);
    EXPECT_TRUE(p.ApplyStrongBodyStatus(*game, 5));
    EXPECT_EQ(p.status.weakBodyTurns, 0);
    EXPECT_EQ(p.strongBodyTurns, 0);
    EXPECT_TRUE(p.ApplyInvisibleStatus(*game));
    EXPECT_EQ(p.invisibleTurns, 15);
}

TEST_F(CharacterStatsTest, BindingMarksTheCell)
{
    CCharacterControl::SPlayer& p = Player();
    EXPECT_TRUE(p.ApplyImmobileStatus(*game, 300));
    EXPECT_EQ(p.status.boundTurns, 254);
    EXPECT_EQ(p.status.boundX, 20);
    EXPECT_FALSE(p.ApplyImmobileStatus(*game, 5)) << "bound on this cell";
    p.x = 21;
    EXPECT_TRUE(p.ApplyImmobileStatus(*game, 255));
    EXPECT_EQ(p.status.boundTurns, 255);
    EXPECT_FALSE(p.ApplyPermanentBind(*game, 3));

    CCharacterControl::SMonster& m = Monster();
    EXPECT_FALSE(m.ApplyPermanentBind(*game, 256));
    EXPECT_TRUE(m.ApplyPermanentBind(*game, 7));
    EXPECT_EQ(m.status.boundTurns, 255);
    EXPECT_EQ(m.status.boundX, 7);

    AddMonsterKind(*game, 8).typeFlags = kKindFlying;
    CCharacterControl::SMonster& walker = PlaceMonster(*game, 1, 4, 30, 30);
    CCharacterControl::SMonster& flyer = PlaceMonster(*game, 2, 8, 30, 30);
    game->characters.BindMonstersAt(*game, 30, 30);
    EXPECT_EQ(walker.status.boundTurns, 100);
    EXPECT_EQ(flyer.status.boundTurns, 0);
}

TEST_F(CharacterStatsTest, ADecoyConfusesTheHeroineAndIsOneMonsterAtATime)
{
    EXPECT_TRUE(Player().ApplyDecoyStatus(4, *game));
    EXPECT_EQ(Player().status.confusionTurns, 4);
    EXPECT_EQ(Player().status.decoyTurns, 0);
    CCharacterControl::SMonster& first = Monster(0);
    CCharacterControl::SMonster& second = Monster(1);
    EXPECT_TRUE(first.ApplyDecoyStatus(6, *game));
    EXPECT_TRUE(second.ApplyDecoyStatus(7, *game));
    EXPECT_EQ(first.status.decoyTurns, 0);
    EXPECT_EQ(second.status.decoyTurns, 7);
    EXPECT_FALSE(second.ApplyDecoyStatus(7, *game));
}

TEST_F(CharacterStatsTest, InvisibleMonstersAreSeenUnderTheSeeInvisibleFlag)
{
    AddMonsterKind(*game, 8).abilities = kAbilityInvisible;
    CCharacterControl::SMonster& ghost = PlaceMonster(*game, 0, 8, 5, 5);
    CCharacterControl::SMonster& plain = Monster(1);
    EXPECT_TRUE(ghost.IsCharacterInvisible(*game));
    EXPECT_FALSE(plain.IsCharacterInvisible(*game));
    plain.invisibleTurns = 3;
    EXPECT_TRUE(plain.IsCharacterInvisible(*game));
    game->seeInvisible = 1;
    EXPECT_FALSE(ghost.IsCharacterInvisible(*game));
    EXPECT_FALSE(plain.IsCharacterInvisible(*game));
    Player().invisibleTurns = 2;
    EXPECT_TRUE(Player().IsCharacterInvisible(*game)) << "the flag only reveals monsters";
    EXPECT_TRUE(Player().ApplyHideStatus(*game, 4));
    EXPECT_TRUE(Player().ApplyHideStatus(*game, 2));
    EXPECT_EQ(Player().inPotTurns, 4) << "hiding keeps the longer count";
}

TEST_F(CharacterStatsTest, StrengthBonusCountsFloorCirclesAndShieldSeals)
{
    PlaceCircle(*game, 272, CSpellCircleControl::kRangeCell, 1, 1);
    PlaceCircle(*game, 272, CSpellCircleControl::kRangeCell, 2, 2);
    EquipShieldWithSeals(*game, {36});
    EXPECT_EQ(Player().GetStrengthBonus(*game), 50);
    EXPECT_EQ(Player().GetStrengthWithBonus(*game), 60);
    Player().strength = 1;
    Player().maxStrength = 1;
    EXPECT_EQ(Player().GetMaxStrengthWithBonus(*game), 51);
}

TEST_F(CharacterStatsTest, HealingIsAQuarterHpATurnAtMaxHp20)
{
    CCharacterControl::SPlayer& p = Player();
    struct Case
    {
        std::int32_t stones, fraction;
    };
    for (const Case& c : {Case{0, 16384}, Case{1, 18204}}) {
        auto fresh = MakeTestGame();
        CCharacterControl::SPlayer& q = fresh->characters.player;
        q.hp = 10;
        for (std::int32_t i = 0; i < c.stones; ++i)
            Carry(*fresh, MakeItem(*fresh, 321, kItemClassMagicStone));
        RegenerateHp(q, *fresh);
        EXPECT_EQ(q.hp, 10);
        EXPECT_EQ(q.hpRegenFraction, c.fraction) << c.stones;
    }
    p.hp = 10;
    for (std::int32_t turn = 0; turn < 4; ++turn)
        RegenerateHp(p, *game);
    EXPECT_EQ(p.hp, 11);
    EXPECT_EQ(p.hpRegenFraction, 0);
    p.hp = 20;
    p.hpRegenFraction = 100;
    RegenerateHp(p, *game);
    EXPECT_EQ(p.hp, 20);
    EXPECT_EQ(p.hpRegenFraction, 0) << "capped at max HP";
    p.fullness = 0;
    RegenerateHp(p, *game);
    EXPECT_EQ(p.hp, 19);
    EXPECT_EQ(game->deathCause, 10);
}

TEST_F(CharacterStatsTest, HungerFollowsCirclesSealsAndStones)
{
    struct Case
    {
        const char* what;
        std::function<void(SGameResource&)> set;
        std::int32_t hunger;
    };
    const std::vector<Case> cases = {
        {"plain", [](SGameResource&) {}, 100},
        {"seals 35 and 38, a 327 stone",
         [](SGameResource& g) {
             EquipShieldWithSeals(g, {35, 38});
             Carry(g, MakeItem(g, 327, kItemClassMagicStone));
         },
         126},
        {"two doubling circles",
         [](SGameResource& g) {
             PlaceCircle(g, 286, CSpellCircleControl::kRangeSelf, 1, 1);
             PlaceCircle(g, 286, CSpellCircleControl::kRangeSelf, 2, 2);
         },
         400},
        {"a stopping circle",
         [](SGameResource& g) { PlaceCircle(g, 287, CSpellCircleControl::kRangeSelf, 1, 1); }, 0},
        {"no hunger", [](SGameResource& g) { g.noHunger = 1; }, 0},
        {"in a pot", [](SGameResource& g) { g.characters.player.inPotTurns = 3; }, 0},
        {"at least 10",
         [](SGameResource& g) {
             EquipShieldWithSeals(g, {38, 38, 38, 38, 38, 38, 38});
         },
         10},
    };
    for (const Case& c : cases) {
        auto fresh = MakeTestGame();
        c.set(*fresh);
        DigestFullness(fresh->characters.player, *fresh);
        EXPECT_EQ(100000 - fresh->characters.player.fullness, c.hunger) << c.what;
    }
}

TEST_F(CharacterStatsTest, EquipmentSpritesFollowTheEquippedKinds)
{
    CCharacterControl::SPlayer& p = Player();
    RefreshEquipmentSprites(p, *game);
    EXPECT_EQ(p.weaponSprite, 0xFFFFu);
    EXPECT_EQ(p.weaponVariant, 2);
    EXPECT_EQ(p.shieldSprite, 0xFFFFu);
    game->equippedWeapon = MakeItem(*game, 20, kItemClassWeapon);
    game->equippedShield = MakeItem(*game, 55, kItemClassShield);
    RefreshEquipmentSprites(p, *game);
    EXPECT_EQ(p.weaponSprite, 17u);
    EXPECT_EQ(p.weaponVariant, 1);
    EXPECT_EQ(p.shieldSprite, 5u);
}

} // namespace
