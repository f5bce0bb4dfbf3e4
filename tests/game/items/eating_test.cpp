// Eating foods and using magic stones on items.
#include "game/items/use_actions_fixture.h"
#include "game/support/seed_search.h"

#include "game/core/random.h"

#include <gtest/gtest.h>

namespace {

class EatingTest : public UseActionsTest
{
protected:
    void SetUp() override
    {
        UseActionsTest::SetUp();
        Kind(120, 50, 3);
        Kind(122, 10, 5);
        for (std::int32_t k = 123; k <= 125; ++k)
            Kind(k, 5, 1);
    }
    void Kind(std::int32_t kind, std::int32_t base, std::int32_t maximum)
    {
        game->items.kinds[std::size_t(kind)].base = base;
        game->items.kinds[std::size_t(kind)].maximum = maximum;
    }
    std::uint16_t Food(std::int32_t kind, std::uint16_t flags = 0)
    {
        const std::uint16_t food = New(kind, 0, flags);
        Carry(*game, food);
        return food;
    }
    // Phase 0, then phase 1 with the lines of phase 1 alone.
    LogLines Eat(std::uint16_t food)
    {
        Start(kActionEat, food);
        EXPECT_EQ(Phase(HandleEat, 0), 1);
        Mark();
        EXPECT_EQ(Phase(HandleEat, 1), 0);
        return Lines();
    }
};

TEST_F(EatingTest, FullnessFollowsTheRoundedUpDisplaysAndTheMaximumGrowsByOvereating)
{
    struct SCase
    {
        const char* name;
        std::int32_t fullness, maxFullness, kind;
        bool wet;
        std::int32_t wantFullness, wantMax;
        LogLines want;
    };
    const SCase cases[] = {
        {"both displays read 100: full",
         99500,
         100000,
         120,
         false,
         103000,
         103000,
         {{"最大満腹度が" + N(3) + "％増えた。", 71}}},
        {"filled to the brim", 50000, 100000, 120, false, 100000, 100000, {{"お腹がいっぱいになった。", -1}}},
        {"partly filled", 20000, 100000, 120, false, 70000, 100000, {{"お腹がふくれた。", -1}}},
        {"wet: half", 20000, 100000, 120, true, 45000, 100000, {{"お腹がふくれた。", -1}}},
        {"wet while full: no growth", 100000, 100000, 120, true, 100000, 100000, {}},
        {"kind 122 while hungry",
         20000,
         100000,
         122,
         false,
         105000,
         105000,
         {{"お腹がふくれた。", -1}, {"最大満腹度が" + N(5) + "％増えた。", 71}}},
        {"at the highest maximum nothing grows", 200000, 200000, 120, false, 200000, 200000, {}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        Heroine().fullness = c.fullness;
        Heroine().maxFullness = c.maxFullness;
        const std::uint16_t food = Food(c.kind, c.wet ? CItemControl::kWet : 0);
        EXPECT_EQ(Eat(food), c.want);
        EXPECT_EQ(Heroine().fullness, c.wantFullness);
        EXPECT_EQ(Heroine().maxFullness, c.wantMax);
        EXPECT_EQ(game->inventory[0], kNone);
        EXPECT_EQ(Item(food).kind, kNone);
    }
}

TEST_F(EatingTest, StartsTheMealWithItsMotionAndLine)
{
    const std::uint16_t food = Food(120);
    Start(kActionEat, food);
    EXPECT_EQ(Phase(HandleEat, 0), 1);
    EXPECT_EQ(Lines(), (LogLines{{Name(food) + "を食べた。", 11}}));
    EXPECT_EQ(Heroine().motion, 28);
}

TEST_F(EatingTest, CursedAndFrozenFoodsAreRefusedAndGoBackThroughTheUseEnd)
{
    struct SCase
    {
        std::uint16_t flags;
        const char* reason;
        bool refusedSound;
    };
    const SCase cases[] = {
        {CItemControl::kCursed, "呪われていて　食べられなかった。", true},
        {CItemControl::kFrozen, "凍っていて　食べられなかった。", false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.reason);
        Fresh();
        Heroine().fullness = 10000;
        // Taken up from under her for the use: the use's end puts it back.
        const std::uint16_t food = New(120, 0, c.flags);
        Start(kActionEat, food);
        EXPECT_EQ(Phase(HandleEat, 0), 0);
        EXPECT_EQ(Texts(), (std::vector<std::string>{Name(food) + "は", c.reason}));
        EXPECT_EQ(sounds.played,
                  c.refusedSound ? std::vector<std::int32_t>{16} : std::vector<std::int32_t>{});
        EXPECT_TRUE(LiesUnderHeroine(food));
        EXPECT_EQ(Heroine().fullness, 10000);
    }
}

TEST_F(EatingTest, SpoiledFoodPoisonsUnlessWardedAndAlwaysBringsAnAilment)
{
    struct SCase
    {
        const char* name;
        bool ward;
        std::int32_t strength, wantStrength;
        LogLines poison;
    };
    const SCase cases[] = {
        {"warded by seal 31", true, 10, 10, {{"しかし　毒は効かなかった。", -1}}},
        {"poisoned", false, 10, 7, {{"ちからが" + N(3) + "下がった。", 94}}},
        {"already at the lowest strength", false, 1, 1, {{"しかし　毒は効かなかった。", -1}}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        game->random.noRandom = true;
        if (c.ward) EquipShieldWithSeals(*game, {31});
        Heroine().strength = c.strength;
        const LogLines lines = Eat(Food(123));
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[1], c.poison[0]);
        EXPECT_EQ(Heroine().strength, c.wantStrength);
        // The ailment of a draw of 0: confusion for 10 turns, with its own line after the poison's.
        EXPECT_EQ(Heroine().status.confusionTurns, 10);
        EXPECT_EQ(lines.size(), 3u);
    }
}

TEST_F(EatingTest, LuckyFoodGivesOneBlessingByTheDraw)
{
    // A draw of 0: max HP and HP rise by 5.
    game->random.noRandom = true;
    const LogLines lines = Eat(Food(124));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], Line("最大ＨＰが" + N(5) + "増えた。", 57));
    EXPECT_EQ(Heroine().maxHp, 25);
    EXPECT_EQ(Heroine().hp, 25);

    // Draws of 3 to 5 set the run's flags.
    struct SCase
    {
        std::int32_t draw;
        std::uint8_t SGameResource::*flag;
        Line line;
    };
    const SCase cases[] = {
        {3, &SGameResource::quietSteps, {"モンスターを起こさなくなった！", -1}},
        {4, &SGameResource::noHunger, {"お腹が減らなくなった！", -1}},
        {5, &SGameResource::statusGuard, {"状態異常に強くなった！", 54}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.draw);
        Fresh();
        const auto seed = FindSeed([&](Math::CRand& g) { return RandomBelow(g, 6) == c.draw; });
        ASSERT_TRUE(seed);
        game->random.SetSeed(*seed);
        const LogLines blessing = Eat(Food(124));
        ASSERT_EQ(blessing.size(), 2u);
        EXPECT_EQ(blessing[1], c.line);
        EXPECT_EQ((*game).*c.flag, 1);
    }
}

TEST_F(EatingTest, RoastedFoodHealsFiftyWithTheHalfWidthWord)
{
    Heroine().maxHp = 100;
    Heroine().hp = 10;
    const LogLines lines = Eat(Food(125));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], Line("HPが" + N(50) + "回復した。", 56));
    EXPECT_EQ(Heroine().hp, 60);

    // At full HP nothing is said.
    Fresh();
    EXPECT_EQ(Eat(Food(125)).size(), 1u);
}

class MagicStoneTest : public UseActionsTest
{
protected:
    std::uint16_t Stone(std::int32_t kind, std::uint16_t flags = 0)
    {
        const std::uint16_t stone = New(kind, 0, flags);
        Carry(*game, stone);
        game->items.kindState[std::size_t(kind)] = 2; // no identification line
        return stone;
    }
};

TEST_F(MagicStoneTest, IsUsedWithItsMotionLineAndSparkles)
{
    const std::uint16_t stone = Stone(312);
    const std::uint16_t sword = New(10);
    Carry(*game, sword);
    Start(kActionUseOn, stone, sword);
    EXPECT_EQ(Phase(HandleUseOn, 0), 1);
    EXPECT_EQ(Lines(), (LogLines{{Name(stone) + "を", 97}, {Name(sword) + "に使った。", -1}}));
    EXPECT_EQ(Heroine().motion, 32);
    ASSERT_EQ(game->effects.size(), 1u);
    EXPECT_EQ(game->effects[0].kind, kEffectSparkles);

    EXPECT_EQ(Phase(HandleUseOn, 1), 0);
    EXPECT_EQ(game->inventory[0], sword); // the stone is used up
    EXPECT_EQ(Item(stone).kind, kNone);
}

TEST_F(MagicStoneTest, RefusalsAndFailuresEndAsTheyShould)
{
    constexpr std::uint16_t kEmptyItem = 4999;
    struct SCase
    {
        const char* name;
        std::int32_t kind;
        std::uint16_t flags;
        std::int32_t target; // -1 the stone itself, else the kind of a new item, 0xFFFF an empty item
        bool wantSecondPhase, wantRefusedSound, wantStoneKept;
        std::vector<std::string> want; // the last phase's lines; {} for the cursed stone's (named)
    };
    const SCase cases[] = {
        {"on itself", 312, 0, -1, false, false, true, {"しかし　同じ魔法石には使えない。"}},
        {"cursed", 312, CItemControl::kCursed, 120, false, true, true, {}},
        {"no effect: used up", 312, 0, 120, true, false, false, {"しかし　効果はなかった。"}},
        {"the copying stone fails silently", 330, 0, 0xFFFF, true, false, true, {}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        // A stone kept lies apart from her, so that only the use's end brings it under her.
        const std::uint16_t stone = New(c.kind, 0, c.flags);
        if (!c.wantStoneKept) Carry(*game, stone);
        game->items.kindState[std::size_t(c.kind)] = 2;
        const std::uint16_t target = c.target < 0 ? stone : c.target == 0xFFFF ? kEmptyItem : New(c.target);
        Start(kActionUseOn, stone, target);
        const bool again = Phase(HandleUseOn, 0) != 0;
        EXPECT_EQ(again, c.wantSecondPhase);
        if (again) {
            Mark();
            EXPECT_EQ(Phase(HandleUseOn, 1), 0);
        }
        if (c.flags == CItemControl::kCursed)
            EXPECT_EQ(Texts(),
                      (std::vector<std::string>{Name(stone) + "は", "呪われていて　使えなかった。"}));
        else
            EXPECT_EQ(Texts(), c.want);
        EXPECT_EQ(sounds.played,
                  c.wantRefusedSound ? std::vector<std::int32_t>{16} : std::vector<std::int32_t>{});
        EXPECT_EQ(LiesUnderHeroine(stone), c.wantStoneKept);
        EXPECT_EQ(Item(stone).kind != kNone, c.wantStoneKept);
        EXPECT_EQ(game->inventory[0], kNone);
    }
}

TEST_F(MagicStoneTest, WithoutATargetNothingHappensAndAStoneFromTheFloorGoesBack)
{
    const std::uint16_t carried = Stone(312);
    Start(kActionUseOn, carried, 0xFFFF);
    EXPECT_EQ(Phase(HandleUseOn, 0), 0);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(game->inventory[0], carried);

    // Taken up from under her for the use: back under her rather than lost.
    const std::uint16_t loose = New(312);
    Start(kActionUseOn, loose, 0xFFFF);
    EXPECT_EQ(Phase(HandleUseOn, 0), 0);
    EXPECT_TRUE(LiesUnderHeroine(loose));
}

TEST_F(MagicStoneTest, FromRulesVersionTwoTheTargetsKindIsMet)
{
    for (const std::int32_t version : {0, 1, 2, 3}) {
        SCOPED_TRACE(version);
        Fresh();
        game->rulesVersion = version;
        const std::uint16_t stone = Stone(312);
        const std::uint16_t sword = New(10);
        Start(kActionUseOn, stone, sword);
        RunToEnd(HandleUseOn);
        EXPECT_EQ(game->items.IsKindSeen(10), version >= 2 ? 1 : 0);
    }
}

} // namespace
