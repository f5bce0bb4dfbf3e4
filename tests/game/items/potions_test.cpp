// Drinking potions, the fire breath among them.
#include "game/items/use_actions_fixture.h"

#include "game/characters/combat.h"
#include "game/characters/status_events.h"

#include <gtest/gtest.h>

namespace {

class PotionTest : public UseActionsTest
{
protected:
    std::uint16_t Potion(std::int32_t kind, std::uint16_t flags = 0)
    {
        const std::uint16_t potion = New(kind, 0, flags);
        Carry(*game, potion);
        game->items.kindState[std::size_t(kind)] = 2; // no identification line
        return potion;
    }
    // Phases 0 and 1; the lines of phase 1 and its result.
    LogLines Drink(std::uint16_t potion, std::int32_t* result = nullptr)
    {
        Start(kActionDrink, potion);
        EXPECT_EQ(Phase(HandleDrink, 0), 1);
        Mark();
        const std::int32_t r = Phase(HandleDrink, 1);
        if (result != nullptr) *result = r;
        return Lines();
    }
};

TEST_F(PotionTest, NumbersChangeAsTheKindSaysAndOnlyRealChangesAreTold)
{
    struct SStats
    {
        std::int32_t hp, maxHp, strength, maxStrength, level, maxFullness;
    };
    struct SCase
    {
        const char* name;
        std::int32_t kind;
        SStats start;
        std::int32_t rulesVersion;
        SStats want;
        LogLines lines;
    };
    const SStats base = {20, 20, 10, 10, 5, 100000};
    const SCase cases[] = {
        {"135 at full HP",
         135,
         base,
         2,
         {21, 21, 10, 10, 5, 100000},
         {{"最大ＨＰが" + N(1) + "増えた。", 57}}},
        {"135 at max HP 999", 135, {999, 999, 10, 10, 5, 100000}, 2, {999, 999, 10, 10, 5, 100000}, {}},
        {"135 below full",
         135,
         {5, 100, 10, 10, 5, 100000},
         2,
         {55, 100, 10, 10, 5, 100000},
         {{"ＨＰが" + N(50) + "回復した。", 56}}},
        {"142 below full, first rules",
         142,
         {5, 999, 10, 10, 5, 100000},
         0,
         {205, 999, 10, 10, 5, 100000},
         {{"ＨＰが" + N(200) + "回復した。", 56}}},
        {"142 below full, later rules",
         142,
         {5, 999, 10, 10, 5, 100000},
         1,
         {405, 999, 10, 10, 5, 100000},
         {{"ＨＰが" + N(400) + "回復した。", 56}}},
        {"142 at full HP",
         142,
         base,
         2,
         {22, 22, 10, 10, 5, 100000},
         {{"最大ＨＰが" + N(2) + "増えた。", 57}}},
        {"144", 144, base, 2, {25, 25, 10, 10, 5, 100000}, {{"最大ＨＰが" + N(5) + "増えた。", 57}}},
        {"146", 146, base, 2, {20, 20, 10, 10, 5, 110000}, {{"最大満腹度が" + N(10) + "増えた。", 71}}},
        {"147",
         147,
         base,
         2,
         {20, 20, 10, 10, 5, 90000},
         {{"最大満腹度が" + N(10) + "減ってしまった。", 43}}},
        {"147 at the lowest maximum", 147, {20, 20, 10, 10, 5, 0}, 2, {20, 20, 10, 10, 5, 0}, {}},
        {"148 at full strength",
         148,
         base,
         2,
         {20, 20, 11, 11, 5, 100000},
         {{"ちからの最大値が" + N(1) + "増えた。", 71}}},
        {"148 below full strength",
         148,
         {20, 20, 3, 10, 5, 100000},
         2,
         {20, 20, 8, 10, 5, 100000},
         {{"ちからが" + N(5) + "回復した。", 56}}},
        {"152", 152, base, 2, {20, 20, 10, 12, 5, 100000}, {{"ちからの最大値が" + N(2) + "増えた。", 71}}},
        {"153 at level 99",
         153,
         {20, 20, 10, 10, 99, 100000},
         2,
         {24, 24, 10, 10, 99, 100000},
         {{"最大ＨＰが" + N(4) + "増えた。", 57}}},
        {"158", 158, base, 2, base, {{"しかし　何も起こらなかった。", -1}}},
        {"a kind outside the potions", 170, base, 2, base, {}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        game->rulesVersion = c.rulesVersion;
        CCharacterControl::SPlayer& her = Heroine();
        her.hp = c.start.hp;
        her.maxHp = c.start.maxHp;
        her.strength = c.start.strength;
        her.maxStrength = c.start.maxStrength;
        her.level = c.start.level;
        her.maxFullness = c.start.maxFullness;
        her.fullness = 0;
        std::int32_t result = -1;
        EXPECT_EQ(Drink(Potion(c.kind), &result), c.lines);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(her.hp, c.want.hp);
        EXPECT_EQ(her.maxHp, c.want.maxHp);
        EXPECT_EQ(her.strength, c.want.strength);
        EXPECT_EQ(her.maxStrength, c.want.maxStrength);
        EXPECT_EQ(her.level, c.want.level);
        EXPECT_EQ(her.maxFullness, c.want.maxFullness);
        // Every potion fills her by ten points, within her maximum.
        EXPECT_EQ(her.fullness, std::min(10000, c.want.maxFullness));
        EXPECT_EQ(game->inventory[0], kNone);
    }
}

TEST_F(PotionTest, StartsWithTheDrinkingMotionAndRefusesCursedOrFrozenOnes)
{
    const std::uint16_t potion = Potion(158);
    Start(kActionDrink, potion);
    EXPECT_EQ(Phase(HandleDrink, 0), 1);
    EXPECT_EQ(Lines(), (LogLines{{Name(potion) + "を飲んだ。", 95}}));
    EXPECT_EQ(Heroine().motion, 29);

    struct SCase
    {
        std::uint16_t flags;
        const char* reason;
        bool refusedSound;
    };
    const SCase cases[] = {
        {CItemControl::kCursed, "呪われていて　飲めなかった。", true},
        {CItemControl::kFrozen, "凍っていて　飲めなかった。", false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.reason);
        Fresh();
        const std::uint16_t refused = New(158, 0, c.flags);
        Start(kActionDrink, refused);
        EXPECT_EQ(Phase(HandleDrink, 0), 0);
        EXPECT_EQ(Texts(), (std::vector<std::string>{Name(refused) + "は", c.reason}));
        EXPECT_EQ(sounds.played,
                  c.refusedSound ? std::vector<std::int32_t>{16} : std::vector<std::int32_t>{});
        EXPECT_TRUE(LiesUnderHeroine(refused)); // through the use's end
    }
}

TEST_F(PotionTest, TheRestoringPotionClearsTheStatusesAfterTheStrengthLine)
{
    struct SCase
    {
        std::int32_t strength;
        std::vector<std::string> want;
    };
    const SCase cases[] = {
        {4, {"ちからが完全に回復した。", "体調が良くなった。"}},
        {10, {"体調が良くなった。"}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.strength);
        Fresh();
        Heroine().strength = c.strength;
        Heroine().status.confusionTurns = 5;
        Heroine().status.blindTurns = 7;
        const std::uint16_t potion = Potion(143);
        Drink(potion);
        EXPECT_EQ(Texts(), c.want);
        EXPECT_EQ(Lines()[0].second, 56);
        EXPECT_EQ(Heroine().strength, 10);
        EXPECT_EQ(Heroine().status.confusionTurns, 0);
        EXPECT_EQ(Heroine().status.blindTurns, 0);
    }
}

TEST_F(PotionTest, PoisonIsWardedOrResistedButAlwaysSlows)
{
    struct SCase
    {
        const char* name;
        bool ward;
        std::int32_t strength, wantStrength;
        Line line;
    };
    const SCase cases[] = {
        {"warded", true, 10, 10, {"しかし　毒は効かなかった。", -1}},
        {"poisoned", false, 10, 7, {"ちからが" + N(3) + "下がった。", 94}},
        {"at strength 1", false, 1, 1, {"しかし　毒は効かなかった。", -1}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        if (c.ward) EquipShieldWithSeals(*game, {31});
        Heroine().strength = c.strength;
        const LogLines lines = Drink(Potion(149));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], c.line);
        EXPECT_EQ(Heroine().strength, c.wantStrength);
        EXPECT_EQ(Heroine().status.slowTurns, 10);
    }
}

TEST_F(PotionTest, StatusPotionsCallTheirEventsInOrder)
{
    struct SCase
    {
        std::int32_t kind;
        std::int32_t level;
        void (*reference)(SGameResource&);
    };
    constexpr std::uint16_t kHer = 0xFFFF;
    const SCase cases[] = {
        {136, 5, [](SGameResource& g) { CauseConfusion(g, kHer, 15); }},
        {137, 5, [](SGameResource& g) { CauseHaste(g, kHer, 10); }},
        {139, 5, [](SGameResource& g) { CauseSleep(g, kHer, 5); }},
        {140, 5, [](SGameResource& g) { CauseHallucination(g, kHer, 50); }},
        {141, 5, [](SGameResource& g) { CauseBlindness(g, kHer, 50); }},
        {150, 5, [](SGameResource& g) { CauseWeakness(g, kHer, 30); }},
        {151, 5, [](SGameResource& g) { CauseStrongBody(g, kHer, 30); }},
        {156, 5,
         [](SGameResource& g) {
             CauseConfusion(g, kHer, 20);
             CauseSleep(g, kHer, 5);
             CauseHallucination(g, kHer, 50);
             CauseWeakness(g, kHer, 30);
             CauseBlindness(g, kHer, 50);
             CauseItemSeal(g, kHer, 30);
         }},
        {157, 99,
         [](SGameResource& g) {
             g.characters.player.AddMaxHp(12);
             g.messageWindow.AddMessage(57, 1, "最大ＨＰが" + FormatColoredNumber(12) + "増えた。");
             CauseStrongBody(g, kHer, 50);
             CauseHaste(g, kHer, 10);
         }},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.kind);
        // What the events alone make of a fresh heroine.
        Fresh();
        Heroine().level = c.level;
        Mark();
        c.reference(*game);
        const LogLines want = Lines();
        const CCharacterControl::SPlayer expected = Heroine();

        Fresh();
        Heroine().level = c.level;
        EXPECT_EQ(Drink(Potion(c.kind)), want);
        const SCharacterStatus& got = Heroine().status;
        EXPECT_EQ(got.confusionTurns, expected.status.confusionTurns);
        EXPECT_EQ(got.sleepTurns, expected.status.sleepTurns);
        EXPECT_EQ(got.hallucinationTurns, expected.status.hallucinationTurns);
        EXPECT_EQ(got.blindTurns, expected.status.blindTurns);
        EXPECT_EQ(got.weakBodyTurns, expected.status.weakBodyTurns);
        EXPECT_EQ(got.sealTurns, expected.status.sealTurns);
        EXPECT_EQ(Heroine().hasteTurns, expected.hasteTurns);
        EXPECT_EQ(Heroine().strongBodyTurns, expected.strongBodyTurns);
        EXPECT_EQ(Heroine().maxHp, expected.maxHp);
    }
}

TEST_F(PotionTest, LevelPotionsShiftHerLevel)
{
    struct SCase
    {
        std::int32_t kind, level, wantLevel;
    };
    const SCase cases[] = {{153, 5, 6}, {157, 5, 8}, {154, 5, 4}, {155, 9, 4}, {155, 3, 1}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.kind);
        Fresh();
        Heroine().level = c.level;
        Heroine().experience = game->experienceTable[std::size_t(c.level - 1)];
        Drink(Potion(c.kind));
        EXPECT_EQ(Heroine().level, c.wantLevel);
    }
}

TEST_F(PotionTest, TheWarpPotionPushesHerWarpOnTheReactionQueue)
{
    Drink(Potion(138));
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->reactionQueue.pending.back().kind, kActionWarp);
    EXPECT_EQ(game->reactionQueue.pending.back().param2, 0xFFFF);
    EXPECT_TRUE(game->commandQueue.pending.empty());
}

class FireBreathTest : public PotionTest
{
protected:
    void SetUp() override
    {
        PotionTest::SetUp();
        AddMonsterKind(*game, 8, "ゴブリン").baseHp = 500;
        game->random.noRandom = true;
        for (std::int32_t x = 0; x < 64; ++x)
            Floor(x, 20);
    }
    // The end cell the breath writes, and phase 2's result.
    std::pair<std::int32_t, std::int32_t> Breathe()
    {
        std::int32_t result = -1;
        Drink(Potion(145), &result);
        EXPECT_EQ(result, 1);
        return {queue.current.param3, queue.current.param4};
    }
};

TEST_F(FireBreathTest, TheFlameEndsOnTheFirstWallMonsterOrCellOffTheMap)
{
    struct SCase
    {
        const char* name;
        std::int32_t herX, direction, wallX, monsterX;
        std::int32_t wantX, wantY;
    };
    const SCase cases[] = {
        {"a wall next to her", 20, 6, 21, -1, 21, 20},
        {"a monster three cells away", 20, 6, -1, 23, 23, 20},
        {"off the map", 60, 6, -1, -1, 64, 20},
        {"off the map to the left", 2, 2, -1, -1, -1, 20},
        {"a monster beyond a wall is not reached", 20, 6, 22, 25, 22, 20},
        // A facing of no direction would never leave her; the flame ends on her own cell.
        {"no direction", 20, 9, -1, -1, 20, 20},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        Heroine().x = c.herX;
        Heroine().direction = c.direction;
        if (c.wallX >= 0) Floor(c.wallX, 20, 2);
        if (c.monsterX >= 0) PlaceMonster(*game, 0, 8, c.monsterX, 20).hp = 500;
        EXPECT_EQ(Breathe(), std::make_pair(c.wantX, c.wantY));
        ASSERT_EQ(game->effects.size(), 1u);
        EXPECT_EQ(game->effects[0].kind, kEffectMagicBolt);
    }
}

TEST_F(FireBreathTest, ThePhaseAfterBurnsTheMonsterAtTheEnd)
{
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, 23, 20);
    monster.hp = monster.maxHp = 500;
    const std::int32_t damage = ComputeFireDamage(*game, 0, 70, true);
    ASSERT_GT(damage, 0);
    Breathe();
    game->effects.clear();
    EXPECT_EQ(Phase(HandleDrink, 2), 0);
    EXPECT_EQ(monster.hp, 500 - damage);
    ASSERT_EQ(game->effects.size(), 1u);
    EXPECT_EQ(game->effects[0].kind, kEffectBurning);
    EXPECT_EQ(game->effects[0].phaseModulus, 48);

    // Facing a wall: nobody to burn.
    Fresh();
    Floor(21, 20, 2);
    EXPECT_EQ(Breathe(), std::make_pair(21, 20));
    game->effects.clear();
    EXPECT_EQ(Phase(HandleDrink, 2), 0);
    EXPECT_TRUE(game->effects.empty());
}

TEST(UseActionHandlers, AreInTheActionTable)
{
    RegisterActionHandlers();
    EXPECT_EQ(GetActionHandler(kActionEat), &HandleEat);
    EXPECT_EQ(GetActionHandler(kActionDrink), &HandleDrink);
    EXPECT_EQ(GetActionHandler(kActionDrawCircle), &HandleDrawCircle);
    EXPECT_EQ(GetActionHandler(kActionUseOn), &HandleUseOn);
}

} // namespace
