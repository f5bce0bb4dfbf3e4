// The damage rules and the hit and critical checks.
#include "game/characters/combat.h"
#include "game/characters/panel_rules.h"
#include "game/support/game_with_kinds.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

class DamageRulesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game = MakeTestGame();
        game->random.SetSeed(1234);
    }

    CCharacterControl::SPlayer& Heroine() { return game->characters.player; }

    // A weapon of that plus carrying the seals, equipped.
    std::uint16_t EquipWeapon(std::int16_t plus, std::initializer_list<std::uint16_t> seals = {},
                              std::int32_t kind = 3)
    {
        const std::uint16_t weapon = MakeItem(*game, kind, kItemClassWeapon);
        CItemControl::SItem& item = game->items.GetItem(weapon);
        item.value = plus;
        for (const std::uint16_t seal : seals)
            item.slots[std::size_t(item.sealCount++)] = seal;
        game->equippedWeapon = weapon;
        return weapon;
    }

    // Kind 3 as a weapon kind with a weight entry.
    void MakeWeaponKind()
    {
        game->items.kinds.resize(10);
        game->items.kinds[3].classId = kItemClassWeapon;
        game->items.attackWeights.assign(10, 0);
    }

    // The low 8 bits of the generator's next draw, without taking it.
    std::int32_t PeekDraw()
    {
        Math::CRand copy = game->random;
        return std::int32_t(copy.Get() & 255);
    }

    std::unique_ptr<SGameResource> game;
};

TEST_F(DamageRulesTest, HeroineAttackFollowsLevelStrengthWeaponAndBody)
{
    struct Case
    {
        std::int32_t level, strength, weaponPlus; // -1: no weapon
        bool strong, weak;
        std::int32_t attack;
    };
    const Case cases[] = {
        {1, 10, -1, false, false, 9}, {5, 12, 10, false, false, 25}, {5, 12, 10, true, false, 37},
        {5, 12, 10, false, true, 16}, {5, 12, 10, true, true, 24},   {1, -30, -1, false, false, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.level << "/" << c.strength << "/" << c.weaponPlus);
        game->equippedWeapon = 0xFFFF;
        if (c.weaponPlus >= 0) EquipWeapon(std::int16_t(c.weaponPlus));
        Heroine().level = c.level;
        Heroine().strength = c.strength;
        Heroine().strongBodyTurns = c.strong ? 5 : 0;
        Heroine().status.weakBodyTurns = c.weak ? 5 : 0;
        EXPECT_EQ(GetAttackPower(*game, Heroine()), c.attack);
    }
}

TEST_F(DamageRulesTest, MonsterPowersAreItsFieldsAndDefenceCirclesCountAnywhere)
{
    AddMonsterKind(*game, 8);
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, 30, 30);
    monster.attack = 13;
    monster.defence = 7;
    EXPECT_EQ(GetAttackPower(*game, monster), 13);
    EXPECT_EQ(GetDefensePower(*game, monster), 7);

    EXPECT_EQ(GetDefensePower(*game, Heroine()), 0);
    PlaceCircle(*game, 273, 1, 40, 30); // a one-cell circle far from her still counts
    PlaceCircle(*game, 273, 1, 41, 30);
    EXPECT_EQ(GetDefensePower(*game, Heroine()), 30);
    EXPECT_EQ(GetDefensePower(*game, monster), 7);
}

TEST_F(DamageRulesTest, ParameterPanelShowsAttackAndDefenceOnTheirOwnLines)
{
    CGamePanelRules rules;
    game->selectWindow.OpenParameters(*game, rules);
    const auto& items = game->selectWindow.windows.back().items;
    EXPECT_EQ(std::string(items[0].text.c_str()).substr(0, 12), " 攻撃力    9");
    EXPECT_EQ(std::string(items[1].text.c_str()).substr(0, 12), " 防御力    0");
}

TEST(ReduceByDefence, WearsTheAttackDownByDefence)
{
    struct Case
    {
        std::int32_t defence, attack, factor, damage;
    };
    const Case cases[] = {{0, 9, 896, 7},     {3, 9, 896, 6},     {5, 20, 1024, 17},
                          {10, 50, 1024, 41}, {20, 100, 896, 62}, {0, 1, 896, 1},
                          {0, 0, 1024, 1},    {-5, 9, 1024, 9},   {9999, 9999, 1152, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(ReduceByDefence(c.defence, c.attack, c.factor), c.damage)
            << c.defence << " " << c.attack << " " << c.factor;
}

TEST_F(DamageRulesTest, NoRandomBlowWithoutEquipmentUsesTheLowestFactor)
{
    game->random.noRandom = true;
    AddMonsterKind(*game, 8);
    PlaceMonster(*game, 0, 8, 21, 20);
    EXPECT_EQ(ComputeMeleeDamage(*game, kHeroine, 0, false), 7); // 9 * 896 >> 10
    EXPECT_EQ(ComputeMeleeDamage(*game, kHeroine, 0, true), 10);

    // A plus raises the low bound; seal 77 takes the middle of the range.
    EquipWeapon(100);
    const std::int32_t power = GetAttackPower(*game, Heroine());
    EXPECT_EQ(ComputeMeleeDamage(*game, kHeroine, 0, false), ReduceByDefence(0, power, 996));
    EquipWeapon(100, {77});
    EXPECT_EQ(ComputeMeleeDamage(*game, kHeroine, 0, false), ReduceByDefence(0, power, (1152 + 996 + 8) / 2));
}

TEST_F(DamageRulesTest, MeleeDamageRules)
{
    game->random.noRandom = true;
    SMonsterKind& kind = AddMonsterKind(*game, 8);
    kind.typeFlags = 0x02; // a beast
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, 21, 20);
    monster.defence = 40;
    const std::int32_t plain = ComputeMeleeDamage(*game, kHeroine, 0, false);

    // A beast slayer adds half the attack per matching seal; seal 19 halves the defence.
    EquipWeapon(0, {6});
    const std::int32_t attack = GetAttackPower(*game, Heroine());
    EXPECT_EQ(ComputeMeleeDamage(*game, kHeroine, 0, false), ReduceByDefence(40, attack + attack / 2, 896));
    EquipWeapon(0, {19});
    EXPECT_EQ(ComputeMeleeDamage(*game, kHeroine, 0, false), ReduceByDefence(20, attack, 896));
    EXPECT_EQ(plain, ReduceByDefence(40, attack, 896));

    // Monster against monster: a quarter of the defence.
    AddMonsterKind(*game, 12);
    PlaceMonster(*game, 1, 12, 22, 20).attack = 30;
    EXPECT_EQ(ComputeMeleeDamage(*game, 1, 0, false), ReduceByDefence(10, 30, 896));

    // A circle 289 over her stops every blow; ability 1 takes any blow down to 1.
    EXPECT_GT(ComputeMeleeDamage(*game, 1, kHeroine, false), 0);
    PlaceCircle(*game, 289, 1, 20, 20);
    EXPECT_EQ(ComputeMeleeDamage(*game, 1, kHeroine, false), 0);
    game->characters.monsterKinds[8].abilities = kAbilityInvincible;
    EXPECT_EQ(ComputeMeleeDamage(*game, kHeroine, 0, true), 1);
}

TEST_F(DamageRulesTest, ThrownItemPowersAndFixedDamage)
{
    game->random.noRandom = true;
    AddMonsterKind(*game, 8);
    CCharacterControl::SMonster& thrower = PlaceMonster(*game, 0, 8, 21, 20);
    thrower.attack = 33;
    PlaceMonster(*game, 1, 8, 22, 20);

    struct Case
    {
        std::int32_t itemClass, kind, value;
        std::uint16_t flags;
        std::int32_t damage; // on the monster in slot 1, thrown by the heroine
    };
    const Case cases[] = {
        {kItemClassGold, 0, 39, 0, 0},
        {kItemClassGold, 0, 80, 0, 2},
        {kItemClassWeapon, 3, 5, CItemControl::kCursed, 1},
        {kItemClassPotion, 120, 0, CItemControl::kCursed, 1},
        {kItemClassMagicStone, 317, 0, 0, 500},
        {kItemClassMagicStone, 328, 0, 0, 500},
        {kItemClassMagicStone, 329, 0, 0, 500},
        {kItemClassMagicStone, 310, 0, 0, 0},
        {kItemClassMagicStone, 312, 0, 0, 100},
        {kItemClassShield, 50, 4, 0, 20},
        {kItemClassFood, 90, 0, 0, 2},
        {kItemClassPotion, 120, 0, 0, 0},
        {kItemClassStaff, 200, 3, 0, 0},
    };
    for (const Case& c : cases) {
        const std::uint16_t item = MakeItem(*game, c.kind, c.itemClass);
        game->items.GetItem(item).value = std::int16_t(c.value);
        game->items.GetItem(item).flags = c.flags;
        EXPECT_EQ(ComputeThrownDamage(*game, kHeroine, item, 1, false), c.damage)
            << c.itemClass << "/" << c.kind;
    }
    EXPECT_EQ(ComputeThrownDamage(*game, kHeroine, 0xFFFF, 1, false), 0);

    // A monster throws with its attack, whatever the item; the heroine with her strength and the item.
    const std::uint16_t arrows = MakeItem(*game, 60, kItemClassArrow);
    game->items.GetItem(arrows).value = 5;
    const std::uint16_t sword = MakeItem(*game, 3, kItemClassWeapon);
    game->items.GetItem(sword).value = 2;
    EXPECT_EQ(GetThrownItemPower(*game, 0, arrows), 33);
    EXPECT_EQ(GetThrownItemPower(*game, 0, sword), 33);
    EXPECT_EQ(GetThrownItemPower(*game, kHeroine, sword), CombineAttackPower(10, 1, 10 * 10 / 10));
    EXPECT_EQ(ComputeThrownDamage(*game, 0, sword, 1, false), ReduceByDefence(0, 33, 928));
}

TEST_F(DamageRulesTest, FireColdAndTheirImmunities)
{
    SMonsterKind& fire = AddMonsterKind(*game, 8);
    fire.typeFlags = 0x20;
    SMonsterKind& ice = AddMonsterKind(*game, 12);
    ice.typeFlags = 0x40;
    CCharacterControl::SMonster& burning = PlaceMonster(*game, 0, 8, 30, 30);
    CCharacterControl::SMonster& frozen = PlaceMonster(*game, 1, 12, 32, 30);

    EXPECT_EQ(ComputeFireDamage(*game, 0, 20, false), 0);
    EXPECT_EQ(ComputeFireDamage(*game, 1, 20, false), 40);
    EXPECT_EQ(ComputeColdDamage(*game, 20, 1), 0);
    EXPECT_EQ(ComputeColdDamage(*game, 20, 0), 40);

    // Sealing, by its status or a circle 271, lifts the immunity but not the doubling.
    burning.status.sealTurns = 255;
    EXPECT_EQ(ComputeFireDamage(*game, 0, 20, false), 20);
    burning.status.sealTurns = 0;
    PlaceCircle(*game, 271, 1, 30, 30);
    EXPECT_EQ(ComputeFireDamage(*game, 0, 20, false), 20);

    // Fire on anything frozen only thaws it.
    frozen.status.frozenTurns = 5;
    EXPECT_EQ(ComputeFireDamage(*game, 1, 20, false), 0);
    EXPECT_EQ(frozen.status.frozenTurns, 0);
    Heroine().status.frozenTurns = 5;
    EXPECT_EQ(ComputeFireDamage(*game, kHeroine, 20, false), 0);
    EXPECT_EQ(Heroine().status.frozenTurns, 0);
    EXPECT_EQ(ComputeFireDamage(*game, kHeroine, 20, false), 20);
}

TEST_F(DamageRulesTest, TypedRulesOnTheHeroineAndOnMonsters)
{
    game->random.noRandom = true;
    SMonsterKind& invincible = AddMonsterKind(*game, 8);
    invincible.abilities = kAbilityInvincible;
    PlaceMonster(*game, 0, 8, 30, 30);
    AddMonsterKind(*game, 120); // species 30
    PlaceMonster(*game, 1, 120, 32, 30);
    SMonsterKind& flying = AddMonsterKind(*game, 12);
    flying.typeFlags = 0x04;
    PlaceMonster(*game, 2, 12, 34, 30);

    // Ability 1 gives 1 at once, whatever the rule and even for nothing.
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 50, true, 0), 1);
    EXPECT_EQ(ComputeFireDamage(*game, 0, 50, true), 1);
    EXPECT_EQ(ComputeColdDamage(*game, 50, 0), 1);
    EXPECT_EQ(ComputeBlastDamage(*game, 50, 0), 1);
    EXPECT_EQ(ComputeFixedDamage(*game, 0, 50, true), 1);
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, false, 1), 0);
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, false, 2), 60);
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, true, 2), 52); // 60 * 448 / 512

    // Without a shield her seals and stones do nothing against typed damage.
    const std::uint16_t stone = MakeItem(*game, 324, kItemClassMagicStone);
    Carry(*game, stone);
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, false, kHeroine), 40);
    EquipShieldWithSeals(*game, {37, 75});
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, false, kHeroine), 0); // 20 - 10 - 10
    EquipShieldWithSeals(*game, {37});
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, false, kHeroine), 10);
    game->items.GetItem(stone).flags = CItemControl::kWet;
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, false, kHeroine), 20);
    EquipShieldWithSeals(*game, {42});
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, false, kHeroine), 0);
    EXPECT_EQ(ComputeFixedDamage(*game, kHeroine, 40, false), 0);

    // A circle 289 over her makes all five rules 0, shield or not.
    game->equippedShield = 0xFFFF;
    PlaceCircle(*game, 289, 1, 20, 20);
    EXPECT_EQ(ComputeSeal37ResistedDamage(*game, 40, false, kHeroine), 0);
    EXPECT_EQ(ComputeFireDamage(*game, kHeroine, 40, false), 0);
    EXPECT_EQ(ComputeColdDamage(*game, 40, kHeroine), 0);
    EXPECT_EQ(ComputeBlastDamage(*game, 40, kHeroine), 0);
    EXPECT_EQ(ComputeFixedDamage(*game, kHeroine, 40, false), 0);
}

TEST_F(DamageRulesTest, BlastShieldWardsAndTheRandomFactor)
{
    game->random.noRandom = true;
    AddMonsterKind(*game, 8);
    PlaceMonster(*game, 0, 8, 30, 30);
    EXPECT_EQ(ComputeBlastDamage(*game, 0, 0), 1);
    EXPECT_EQ(ComputeBlastDamage(*game, -7, kHeroine), 1);
    EquipShieldWithSeals(*game, {46, 46});
    EXPECT_EQ(ComputeBlastDamage(*game, 40, kHeroine), 10);
    EXPECT_EQ(ComputeBlastDamage(*game, 1, kHeroine), 0);

    struct Case
    {
        std::int32_t damage;
        bool randomise;
        std::int32_t result;
    };
    const Case cases[] = {{100, true, 87},         {100, false, 100}, {0, true, 0},
                          {-5, false, 0},          {1, true, 1},      {20000, false, 9999},
                          {2000000000, true, 9999}};
    for (const Case& c : cases) {
        std::int32_t damage = c.damage;
        EXPECT_EQ(RandomizeDamage(*game, damage, c.randomise), c.result) << c.damage;
        EXPECT_EQ(damage, c.result);
    }
}

TEST_F(DamageRulesTest, TrapDamageGrowsWithTheFloor)
{
    const std::pair<std::int32_t, std::int32_t> floors[] = {{1, 10},   {51, 20},  {100, 29},
                                                            {101, 30}, {120, 30}, {200, 34}};
    for (const auto& [floor, damage] : floors) {
        game->floor = floor;
        EXPECT_EQ(ScaleDamageByFloor(*game, 10), damage) << floor;
    }
}

TEST_F(DamageRulesTest, MeleeHitRulesBeforeTheChance)
{
    game->random.noRandom = true;
    AddMonsterKind(*game, 8);
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, 21, 20);
    MakeWeaponKind();
    game->items.attackWeights[3] = 58;

    EXPECT_TRUE(IsMeleeHit(*game, 0, kHeroine)); // 226 > 0
    EXPECT_TRUE(IsMeleeHit(*game, kHeroine, 0)); // 232
    EquipWeapon(0);
    EXPECT_FALSE(IsMeleeHit(*game, kHeroine, 0)); // (58 - 58) * 4
    game->items.attackWeights[3] = 57;
    EXPECT_TRUE(IsMeleeHit(*game, kHeroine, 0));
    game->items.attackWeights[3] = 70;
    EXPECT_FALSE(IsMeleeHit(*game, kHeroine, 0));

    // Rules 1 to 5 still land her blows.
    EquipWeapon(0, {12});
    EXPECT_TRUE(IsMeleeHit(*game, kHeroine, 0));
    EquipWeapon(0);
    monster.sleepState = 4;
    EXPECT_TRUE(IsMeleeHit(*game, kHeroine, 0));
    monster.sleepState = 0;
    Heroine().invisibleTurns = 3;
    EXPECT_TRUE(IsMeleeHit(*game, kHeroine, 0));
    Heroine().invisibleTurns = 0;
    PlaceCircle(*game, 276, 1, 20, 20);
    EXPECT_TRUE(IsMeleeHit(*game, kHeroine, 0));
}

TEST_F(DamageRulesTest, HitChancesFollowWeightAndSeal73)
{
    AddMonsterKind(*game, 8);
    PlaceMonster(*game, 0, 8, 21, 20);
    MakeWeaponKind();
    game->items.attackWeights[3] = 18; // (58 - 18) * 4 = 160
    struct Case
    {
        std::initializer_list<std::uint16_t> weaponSeals;
        std::initializer_list<std::uint16_t> shieldSeals;
        bool heroineAttacks;
        std::int32_t chance;
    };
    const Case cases[] = {
        {{}, {}, true, 160},  {{73}, {}, true, 120},  {{73, 73}, {}, true, 90},
        {{}, {}, false, 226}, {{}, {73}, false, 181}, {{}, {73, 73}, false, 145},
    };
    for (const Case& c : cases) {
        EquipWeapon(0, c.weaponSeals);
        EquipShieldWithSeals(*game, c.shieldSeals);
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            game->random.SetSeed(seed);
            const bool expected = PeekDraw() < c.chance;
            const bool hit =
                c.heroineAttacks ? IsMeleeHit(*game, kHeroine, 0) : IsMeleeHit(*game, 0, kHeroine);
            ASSERT_EQ(hit, expected) << c.chance << " seed " << seed;
        }
    }
}

TEST_F(DamageRulesTest, ProjectileHits)
{
    game->random.noRandom = true;
    AddMonsterKind(*game, 8);
    CCharacterControl::SMonster& talker = PlaceMonster(*game, 0, 8, 21, 20);
    talker.type = kCharacterPeaceful;
    talker.status.sleepTurns = 5;
    PlaceMonster(*game, 1, 8, 22, 20);
    const std::uint16_t miss = MakeItem(*game, 326, kItemClassMagicStone);
    const std::uint16_t sure = MakeItem(*game, 197, kItemClassStaff);

    EXPECT_FALSE(IsProjectileHit(0, kHeroine, *game, sure)); // a talking character, asleep or not
    EXPECT_FALSE(IsProjectileHit(1, kHeroine, *game, miss));
    EXPECT_TRUE(IsProjectileHit(1, kHeroine, *game, sure));
    game->items.GetItem(miss).flags = CItemControl::kCursed;
    EXPECT_TRUE(IsProjectileHit(1, kHeroine, *game, miss)); // cursed: the chance of 224 decides

    game->random.noRandom = false;
    const std::uint16_t arrow = MakeItem(*game, 60, kItemClassArrow);
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        game->random.SetSeed(seed);
        const bool expected = PeekDraw() < 224;
        ASSERT_EQ(IsProjectileHit(1, kHeroine, *game, arrow), expected) << seed;
    }
}

TEST_F(DamageRulesTest, CriticalChances)
{
    SMonsterKind& critical = AddMonsterKind(*game, 128); // species 32
    critical.specialChance = 70;
    SMonsterKind& other = AddMonsterKind(*game, 8);
    other.specialChance = 200;
    CCharacterControl::SMonster& striker = PlaceMonster(*game, 0, 128, 21, 20);
    PlaceMonster(*game, 1, 8, 19, 20);

    struct Case
    {
        const char* what;
        std::function<void()> setUp;
        std::int32_t attacker;
        std::uint16_t target;
        std::int32_t chance;
    };
    const Case cases[] = {
        {"heroine bare", [] {}, kHeroine, 0, 0},
        {"seal 11 twice",
         [&] {
             EquipWeapon(0, {11, 11});
         },
         kHeroine, 0, 128},
        {"circle 282 on the cell", [&] { PlaceCircle(*game, 282, 1, 20, 20); }, kHeroine, 0, 224},
        {"species 32", [] {}, 0, kHeroine, 70},
        {"other species", [] {}, 1, kHeroine, 0},
        {"seal 44", [&] { EquipShieldWithSeals(*game, {44}); }, 0, kHeroine, 0},
        {"sealed", [&] { game->equippedShield = 0xFFFF, striker.status.sealTurns = 9; }, 0, kHeroine, 0},
        {"circle 283", [&] { PlaceCircle(*game, 283, 1, 19, 20); }, 1, kHeroine, 96},
    };
    for (const Case& c : cases) {
        c.setUp();
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            game->random.SetSeed(seed);
            const bool expected = PeekDraw() < c.chance;
            ASSERT_EQ(IsCriticalHit(c.target, *game, c.attacker), expected) << c.what << " seed " << seed;
            // Every test takes one draw, whatever the chance.
            Math::CRand after = game->random;
            game->random.SetSeed(seed);
            game->random.Get();
            EXPECT_EQ(after.Get(), game->random.Get()) << c.what;
        }
    }
}

} // namespace
