#include "game/characters/monster_specials.h"

#include "game/core/directions.h"
#include "game/core/random.h"
#include "game/data/item_classes.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/seed_search.h"
#include "game/support/sound_recorder.h"
#include "game/ui/message_numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using SMonster = CCharacterControl::SMonster;
using Special = std::int32_t (*)(SGameResource&, CActionQueue&, std::uint16_t, std::uint16_t);
using Rand = zelvoranGameSDK3rd::Math::CRand;

constexpr std::uint16_t kHeroine = 0xFFFF;

constexpr std::int32_t Kind(std::int32_t species, std::int32_t rank)
{
    return species * 4 + rank;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::size_t CountKind(const CActionQueue& queue, std::int32_t kind)
{
    return std::size_t(std::count_if(queue.pending.begin(), queue.pending.end(),
                                     [&](const SActionRecord& r) { return r.kind == kind; }));
}

class MonsterSpecialsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game->random.noRandom = true;
        game->soundEffects = &sounds;
        // Room 0 from (11, 11) to (18, 18); a corridor runs right from (19, 14) into rock.
        DrawFloorArt(*game, 10, 10,
                     {
                         "##########",
                         "#00000000#",
                         "#00000000#",
                         "#00000000#",
                         "#00000000.. ",
                         "#00000000#",
                         "#00000000#",
                         "#00000000#",
                         "#00000000#",
                         "##########",
                     });
        player().x = 14;
        player().y = 14;
    }

    CCharacterControl::SPlayer& player() { return game->characters.player; }

    SMonster& Place(std::uint16_t slot, std::int32_t kindId, std::int32_t x, std::int32_t y,
                    const char* name = "テスト")
    {
        if (std::size_t(kindId) >= game->characters.monsterKinds.size() ||
            game->characters.monsterKinds[std::size_t(kindId)].name.empty())
            AddMonsterKind(*game, kindId, name);
        SMonster& monster = PlaceMonster(*game, slot, kindId, x, y);
        monster.hp = monster.maxHp = 50;
        return monster;
    }

    // Seeds the generator so that its next draws meet the condition.
    void Seed(const std::function<bool(Rand&)>& condition)
    {
        game->random.noRandom = false;
        game->random.SetSeed(*FindSeed(condition));
    }

    // Calls the special as the action runner does until it is done; the number of calls.
    std::int32_t Run(Special special, std::uint16_t actor, std::uint16_t target, std::int32_t limit = 40)
    {
        queue.current.Reset();
        queue.current.kind = kActionMonsterSpecial;
        queue.current.param1 = actor;
        queue.step = 0;
        steps.clear();
        std::int32_t calls = 0;
        while (calls < limit) {
            ++calls;
            steps.push_back(queue.step);
            if (special(*game, queue, actor, target) == 0) break;
            ++queue.step;
        }
        return calls;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    SoundRecorder sounds;
    CActionQueue queue;
    std::vector<std::int32_t> steps;
};

// ---- Poisons.

TEST_F(MonsterSpecialsTest, PoisonsLowerTheHeroinesStrengthByKindAndRank)
{
    struct Case
    {
        StrengthPoison poison;
        std::int32_t rank;
        bool maximum;
        std::int32_t strengthLost; // a lower maximum pulls the strength down with it
        std::int32_t maximumLost;
    };
    for (const Case& c :
         {Case{StrengthPoison::Scales, 2, true, 2, 2}, Case{StrengthPoison::Scales, 2, false, 5, 0},
          Case{StrengthPoison::Needle, 1, false, 2, 0}, Case{StrengthPoison::Gas, 3, false, 3, 0}}) {
        player().strength = player().maxStrength = 10;
        MessageRecorder messages(*game);
        ApplyStrengthPoison(*game, kHeroine, c.rank, c.poison, c.maximum);
        EXPECT_EQ(player().strength, 10 - c.strengthLost);
        EXPECT_EQ(player().maxStrength, 10 - c.maximumLost);
        EXPECT_TRUE(Contains(messages.Text(), c.maximum ? "ちからの最大値が" : "ちからが"));
    }
}

TEST_F(MonsterSpecialsTest, StrengthAndMaximumHpMessagesStartWithWhatChanged)
{
    const auto number = [](std::int32_t n) { return std::string(FormatColoredNumber(n).c_str()); };
    const struct
    {
        const char* name;
        std::int32_t strength;  // her strength before; her maximum is 10
        std::int32_t spellDraw; // -1: the scales' poison instead of the spell of rank 2
        std::string line;
    } cases[] = {
        {"the poison's loss", 10, -1, "ちからが" + number(5) + "下がった。"},
        {"a spell at full strength", 10, 3, "ちからの最大値が" + number(1) + "増えた。"},
        {"a spell below it", 7, 3, "ちからが" + number(1) + "回復した。"},
        {"a spell on her maximum HP", 10, 5, "最大ＨＰが" + number(3) + "増えた。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        player().maxStrength = 10;
        player().strength = c.strength;
        MessageRecorder messages(*game);
        if (c.spellDraw < 0) {
            ApplyStrengthPoison(*game, kHeroine, 2, StrengthPoison::Scales, false);
        } else {
            Place(0, Kind(15, 2), 15, 14);
            const std::int32_t draw = c.spellDraw;
            Seed([draw](Rand& r) { return PickWeightedIndex({8, 7, 6, 5, 4, 3}, r) == draw; });
            Run(MonsterSpecialStrangeSpell, 0, kHeroine);
        }
        ASSERT_FALSE(messages.Lines().empty());
        EXPECT_EQ(messages.Lines().back(), c.line);
    }
}

TEST_F(MonsterSpecialsTest, ScalesTakeTheMaximumOnADrawnZeroBitAboveRankZero)
{
    Seed([](Rand& r) { return RandomMask(r, 1) == 0; });
    EXPECT_TRUE(DrawScalesMaximumVariant(*game, 2));
    Seed([](Rand& r) { return RandomMask(r, 1) == 1; });
    EXPECT_FALSE(DrawScalesMaximumVariant(*game, 2));
    EXPECT_FALSE(DrawScalesMaximumVariant(*game, 0));
}

TEST_F(MonsterSpecialsTest, PoisonIsRefusedBySeal31OrCircle279)
{
    for (const bool seal : {true, false}) {
        auto fresh = MakeTestGame();
        game.swap(fresh);
        SetUp();
        if (seal)
            EquipShieldWithSeals(*game, {31});
        else
            PlaceCircle(*game, 279, CSpellCircleControl::kRangeCell, player().x, player().y);
        MessageRecorder messages(*game);
        ApplyStrengthPoison(*game, kHeroine, 1, StrengthPoison::Needle, false);
        EXPECT_EQ(player().strength, 10);
        EXPECT_EQ(messages.Text(), "しかし　毒は効かなかった。");
    }
}

TEST_F(MonsterSpecialsTest, PoisonLowersAMonstersAttackByAShareOfItsRank)
{
    SMonster& monster = Place(1, Kind(10, 0), 15, 15);
    for (const auto& [rank, kept] :
         std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 16}, {1, 14}, {2, 10}, {3, 5}}) {
        monster.attack = 20;
        ApplyStrengthPoison(*game, 1, rank, StrengthPoison::Scales, false);
        EXPECT_EQ(monster.attack, kept) << rank;
    }
}

// ---- Drain.

TEST_F(MonsterSpecialsTest, DrainTakesMaximumHpMaximumFullnessOrFullness)
{
    struct Case
    {
        std::int32_t rank;
        std::uint32_t bit;
        std::int32_t maxHpLost, fullnessLost, maxFullnessLost;
    };
    for (const Case& c : {Case{0, 1, 0, 5000, 0}, Case{3, 1, 0, 0, 5000}, Case{2, 0, 3, 0, 0}}) {
        Place(0, Kind(23, c.rank), 15, 14);
        player().maxHp = player().hp = 20;
        player().fullness = player().maxFullness = 100000;
        Seed([&](Rand& r) { return RandomMask(r, 1) == c.bit; });
        MessageRecorder messages(*game);
        EXPECT_EQ(Run(MonsterSpecialDrainEnergy, 0, kHeroine), 2);
        EXPECT_EQ(player().maxHp, 20 - c.maxHpLost);
        EXPECT_EQ(player().fullness, 100000 - c.fullnessLost - c.maxFullnessLost);
        EXPECT_EQ(player().maxFullness, 100000 - c.maxFullnessLost);
        if (c.rank == 0) {
            EXPECT_TRUE(Contains(messages.Text(), "の満腹度が\n#3５#吸い取られた！"));
        }
    }
}

TEST_F(MonsterSpecialsTest, DrainOfAMonsterMovesHalfItsHpLessOneAndNothingWhenThatIsZero)
{
    SMonster& actor = Place(0, Kind(23, 0), 15, 14);
    SMonster& victim = Place(1, Kind(10, 0), 16, 14);
    for (const auto& [hp, moved] : std::vector<std::pair<std::int32_t, std::int32_t>>{{20, 9}, {1, 0}}) {
        actor.hp = 30;
        victim.hp = hp;
        Run(MonsterSpecialDrainEnergy, 0, 1);
        EXPECT_EQ(victim.hp, hp - moved);
        EXPECT_EQ(actor.hp, 30 + moved);
    }
}

// ---- Thefts.

TEST_F(MonsterSpecialsTest, ItemThiefBelowRank3NeverTakesEquipmentAndRank3May)
{
    const std::uint16_t sword = MakeItem(*game, 1, kItemClassWeapon);
    Carry(*game, sword);
    game->equippedWeapon = sword;
    for (const std::int32_t rank : {0, 1, 2, 3}) {
        Place(0, Kind(17, rank), 15, 14);
        MessageRecorder messages(*game);
        Run(MonsterSpecialStealItem, 0, kHeroine);
        if (rank < 3) {
            EXPECT_EQ(messages.Text(), "しかし　何も盗まれなかった。") << rank;
            EXPECT_EQ(game->inventory[0], sword);
        } else {
            EXPECT_EQ(game->inventory[0], 0xFFFF);
            EXPECT_EQ(game->characters.monsters[0].heldItem, sword);
        }
    }
}

TEST_F(MonsterSpecialsTest, AThiefDropsNothingItHeldBeforeIntoTheTable)
{
    for (const bool fromHeroine : {true, false}) {
        SCOPED_TRACE(fromHeroine ? "from her" : "from a monster");
        const std::uint16_t loot = MakeItem(*game, 130, kItemClassFood);
        if (fromHeroine) {
            Carry(*game, loot);
        } else {
            Place(1, Kind(10, 0), 16, 14).heldItem = loot;
        }
        SMonster& thief = Place(0, Kind(17, 0), 15, 14);
        const std::uint16_t earlier = MakeItem(*game, 131, kItemClassFood);
        thief.heldItem = earlier;
        Run(MonsterSpecialStealItem, 0, fromHeroine ? kHeroine : 1);
        EXPECT_EQ(thief.heldItem, loot);
        EXPECT_EQ(game->items.GetItem(earlier).kind, 0xFFFF) << "the earlier item is held by nobody";
        if (!fromHeroine)
            EXPECT_EQ(game->characters.monsters[1].heldItem, 0xFFFF) << "the robbed holds nothing";
    }
}

TEST_F(MonsterSpecialsTest, ShieldSeal30StopsTheItemThief)
{
    Carry(*game, MakeItem(*game, 130, kItemClassFood));
    EquipShieldWithSeals(*game, {30});
    Place(0, Kind(17, 3), 15, 14);
    MessageRecorder messages(*game);
    EXPECT_EQ(Run(MonsterSpecialStealItem, 0, kHeroine), 1);
    EXPECT_EQ(messages.Text(), "しかし　何も盗まれなかった。");
}

TEST_F(MonsterSpecialsTest, ThiefChangesSpeedByRankAndWarpsAway)
{
    for (const std::int32_t rank : {0, 3}) {
        Carry(*game, MakeItem(*game, 130, kItemClassFood));
        SMonster& thief = Place(0, Kind(17, rank), 15, 14);
        queue.pending.clear();
        EXPECT_EQ(Run(MonsterSpecialStealItem, 0, kHeroine), 2);
        EXPECT_EQ(thief.link, 0);
        EXPECT_EQ(CountKind(queue, kActionWarp), 1u);
        if (rank == 0) {
            EXPECT_EQ(thief.status.slowTurns, 255);
        }
        if (rank == 3) {
            EXPECT_EQ(thief.hasteLevel, 2);
        }
    }
}

TEST_F(MonsterSpecialsTest, GoldThiefTakesWhatSheHasOrFails)
{
    Place(0, Kind(13, 1), 15, 14).direction = 2; // facing her
    game->gold = 500;
    EXPECT_EQ(Run(MonsterSpecialStealGold, 0, kHeroine), 1);
    EXPECT_EQ(game->gold, 0u);
    ASSERT_EQ(queue.pending.size(), 1u);
    const SActionRecord& land = queue.pending.back();
    EXPECT_EQ(land.kind, kActionItemLand);
    EXPECT_EQ(land.param2, 0); // no message
    EXPECT_EQ(land.flag, 1);   // a short flight
    EXPECT_EQ(game->items.GetItem(std::uint16_t(land.param1)).GetValue(), 500);

    MessageRecorder messages(*game);
    Run(MonsterSpecialStealGold, 0, kHeroine);
    EXPECT_EQ(messages.Text(), "しかし　お金は盗まれなかった。");
}

TEST_F(MonsterSpecialsTest, GoldThiefOnGoldThrowsIt)
{
    SMonster& thief = Place(0, Kind(13, 0), 15, 14);
    const std::uint16_t gold = game->items.CreateGold(game->random, 1, 100);
    game->map.PlaceItemObject(thief.x, thief.y, gold);
    game->gold = 500;
    Run(MonsterSpecialStealGold, 0, kHeroine);
    EXPECT_EQ(game->gold, 500u);
    ASSERT_EQ(game->commandQueue.pending.size(), 1u);
    EXPECT_EQ(game->commandQueue.pending.back().param1, gold);
    EXPECT_EQ(game->map.GetCell(15, 14).objectKind, 0); // it left the cell
}

// ---- Fire, dance and pull.

TEST_F(MonsterSpecialsTest, RaiseFireBurnsOnlyANeighbouringCircle)
{
    SMonster& actor = Place(0, Kind(24, 3), 15, 15);
    PlaceCircle(*game, 270, CSpellCircleControl::kRangeCell, 16, 16);
    EXPECT_EQ(Run(MonsterSpecialRaiseFire, 0, kHeroine, 1), 1);
    ASSERT_EQ(queue.pending.size(), 1u);
    EXPECT_EQ(queue.pending.back().kind, kActionSetFire);
    EXPECT_EQ(queue.pending.back().param3, 16);
    EXPECT_EQ(queue.pending.back().param4, 16);
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(actor.direction, dx, dy);
    EXPECT_EQ(actor.x + dx, 16);
    EXPECT_EQ(actor.y + dy, 16);
}

TEST_F(MonsterSpecialsTest, RaiseFireCoversTheTargetAtRank3AndALineAtRank2)
{
    Place(0, Kind(24, 3), 15, 15);
    Run(MonsterSpecialRaiseFire, 0, kHeroine, 1);
    EXPECT_EQ(CountKind(queue, kActionSetFire), 9u);

    queue.pending.clear();
    SMonster& actor = Place(0, Kind(24, 2), 15, 14);
    actor.direction = 6; // right, along the corridor's row
    std::int32_t dx = 0, dy = 0;
    DirectionToStep(6, dx, dy);
    ASSERT_EQ(dx, 1);
    game->map.GetCell(19, 14).terrain = 2; // the corridor closed: (16..18, 14) lie before the wall
    Run(MonsterSpecialRaiseFire, 0, kHeroine, 1);
    ASSERT_EQ(queue.pending.size(), 3u);
    EXPECT_EQ(queue.pending.front().param3, 18); // the farthest first
    EXPECT_EQ(queue.pending.back().param3, 16);
}

TEST_F(MonsterSpecialsTest, SwordDanceOfRank0SlashesTwiceAndEndsOnStep3)
{
    Place(0, Kind(29, 0), 15, 14);
    EXPECT_EQ(Run(MonsterSpecialSwordDance, 0, kHeroine), 4);
    EXPECT_EQ(steps.back(), 3);
    EXPECT_EQ(CountKind(game->reactionQueue, kActionMeleeAttack), 2u);
    EXPECT_EQ(game->reactionQueue.pending.back().param2, kHeroine);

    EquipShieldWithSeals(*game, {32});
    MessageRecorder messages(*game);
    EXPECT_EQ(Run(MonsterSpecialSwordDance, 0, kHeroine), 1);
    EXPECT_TRUE(Contains(messages.Text(), "しかし　失敗した。"));
}

TEST_F(MonsterSpecialsTest, PullRefusals)
{
    // An unmovable target.
    Place(0, Kind(6, 0), 12, 12);
    AddMonsterKind(*game, Kind(10, 0)).abilities = kAbilityUnmovable;
    Place(1, Kind(10, 0), 17, 17);
    MessageRecorder messages(*game);
    Run(MonsterSpecialPull, 0, 1);
    EXPECT_EQ(messages.Text(), "しかし　引き寄せられなかった。");
    EXPECT_EQ(game->characters.monsters[1].x, 17);
    // Another puller beside the heroine.
    Place(2, Kind(6, 1), 15, 15);
    Run(MonsterSpecialPull, 0, kHeroine);
    EXPECT_EQ(player().x, 14);
}

TEST_F(MonsterSpecialsTest, PulledMonsterIsBoundToThePuller)
{
    SMonster& actor = Place(3, Kind(6, 0), 12, 12);
    actor.direction = 7; // down-right, toward the victim
    SMonster& victim = Place(1, Kind(10, 0), 17, 17);
    EXPECT_EQ(Run(MonsterSpecialPull, 3, 1), 2);
    EXPECT_LE(std::abs(victim.x - actor.x), 1);
    EXPECT_LE(std::abs(victim.y - actor.y), 1);
    EXPECT_EQ(victim.status.boundTurns, 255);
    EXPECT_EQ(victim.status.boundX, 3);
}

TEST_F(MonsterSpecialsTest, HeroineWithSeal43IsPulledButNotBound)
{
    EquipShieldWithSeals(*game, {43});
    Place(0, Kind(6, 0), 11, 11);
    MessageRecorder messages(*game);
    Run(MonsterSpecialPull, 0, kHeroine);
    EXPECT_LE(std::max(std::abs(player().x - 11), std::abs(player().y - 11)), 1);
    EXPECT_EQ(player().status.boundTurns, 0);
    EXPECT_TRUE(Contains(messages.Text(), "は　引き寄せられた！"));
}

TEST_F(MonsterSpecialsTest, GroupWarpBringsTheActorAndItsNeighboursAroundTheTarget)
{
    Place(0, Kind(5, 0), 11, 11, "ワープ");
    Place(1, Kind(10, 0), 12, 11);
    Place(2, Kind(10, 0), 11, 12);
    MessageRecorder messages(*game);
    EXPECT_EQ(Run(MonsterSpecialWarp, 0, kHeroine), 2);
    for (std::uint16_t slot : {0, 1, 2}) {
        const SMonster& m = game->characters.monsters[slot];
        EXPECT_LE(std::max(std::abs(m.x - 14), std::abs(m.y - 14)), 1) << slot;
    }
    const std::vector<std::string> lines = messages.Lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return Contains(l, "は　ワープした！"); }),
              3);
}

TEST_F(MonsterSpecialsTest, GroupWarpWithNowhereToGoLeavesTheActorOnItsCell)
{
    // The heroine stands in rock, where no neighbour is free.
    player().x = 30;
    player().y = 30;
    SMonster& actor = Place(0, Kind(5, 0), 11, 11);
    Run(MonsterSpecialWarp, 0, kHeroine);
    EXPECT_EQ(actor.x, 11);
    EXPECT_EQ(actor.y, 11);
}

// ---- Breath.

TEST_F(MonsterSpecialsTest, BreathTypeByRankAndDraw)
{
    struct Case
    {
        std::int32_t rank;
        bool frozen;
        std::int32_t seedMod3;
        const char* words;
    };
    for (const Case& c : {Case{1, false, -1, "冷気を吐いた！"}, Case{2, false, 0, "冷気を吐いた！"},
                          Case{3, true, -1, "冷気を吐いた！"}, Case{0, true, -1, "炎を吐いた！"}}) {
        Place(0, Kind(33, c.rank), 16, 14).direction = 2;
        player().status.frozenTurns = c.frozen ? 3 : 0;
        MessageRecorder messages(*game);
        Run(MonsterSpecialBreath, 0, kHeroine, 1);
        EXPECT_TRUE(Contains(messages.Text(), c.words)) << c.rank;
    }
}

TEST_F(MonsterSpecialsTest, GasBreathRunsSteps30And31)
{
    Place(0, Kind(33, 2), 16, 14).direction = 2;
    // Not cold (draw mod 3 not 0), then gas (a zero bit).
    Seed([](Rand& r) { return RandomBelow(r, 3) != 0 && RandomMask(r, 1) == 0; });
    player().strength = 10;
    player().hp = player().maxHp = 50;
    EXPECT_EQ(Run(MonsterSpecialBreath, 0, kHeroine), 3);
    EXPECT_EQ(steps, (std::vector<std::int32_t>{0, 30, 31}));
    EXPECT_EQ(player().strength, 7);
    EXPECT_EQ(player().status.slowTurns, 10);
}

TEST_F(MonsterSpecialsTest, BreathDamageOfRank1)
{
    SMonster& victim = Place(1, Kind(10, 0), 13, 14);
    victim.hp = victim.maxHp = 100;
    // Fire: a set bit; cold: a zero bit.
    for (const std::uint32_t bit : {1u, 0u}) {
        victim.hp = 100;
        victim.status.frozenTurns = 0;
        Place(0, Kind(33, 1), 16, 14).direction = 2;
        player().x = 30; // out of the way
        Seed([&](Rand& r) { return RandomMask(r, 1) == bit; });
        Run(MonsterSpecialBreath, 0, 1);
        EXPECT_EQ(victim.hp, bit == 1 ? 70 : 80);
        EXPECT_EQ(victim.status.frozenTurns, bit == 1 ? 0 : 2);
    }
}

// ---- Spells.

TEST_F(MonsterSpecialsTest, StrangeSpellRefusalsAndReflection)
{
    Place(0, Kind(15, 1), 15, 14);
    AddMonsterKind(*game, Kind(10, 0)).abilities = kAbilityReflect;
    AddMonsterKind(*game, Kind(10, 1)).abilities = kAbilityMagicProof;
    Place(1, Kind(10, 0), 16, 14);
    Run(MonsterSpecialStrangeSpell, 0, 1);
    EXPECT_NE(std::find(sounds.played.begin(), sounds.played.end(), 73), sounds.played.end());
    EXPECT_NE(game->characters.monsters[0].status.slowTurns, 0); // turned back on the caster
    EXPECT_EQ(game->characters.monsters[1].status.slowTurns, 0);

    Place(1, Kind(10, 1), 16, 14);
    MessageRecorder immune(*game);
    EXPECT_EQ(Run(MonsterSpecialStrangeSpell, 0, 1), 2);
    EXPECT_EQ(immune.Lines().back(), "しかし　魔法は効かなかった。");

    EquipShieldWithSeals(*game, {39});
    MessageRecorder sealed(*game);
    EXPECT_EQ(Run(MonsterSpecialStrangeSpell, 0, kHeroine), 2);
    EXPECT_EQ(sealed.Lines().back(), "しかし　魔法は効かなかった。");
}

TEST_F(MonsterSpecialsTest, StrangeSpellFirstEffectByRank)
{
    for (const std::int32_t rank : {0, 1, 2, 3}) {
        ClearCharacterStatus(player().status);
        player().status.confusionTurns = 5;
        Place(0, Kind(15, rank), 15, 14);
        MessageRecorder messages(*game);
        EXPECT_EQ(Run(MonsterSpecialStrangeSpell, 0, kHeroine), 3);
        const SCharacterStatus& s = player().status;
        EXPECT_EQ(s.confusionTurns, rank == 0 ? 0 : 5) << rank;
        EXPECT_EQ(s.slowTurns, rank == 1 ? 10 : 0) << rank;
        EXPECT_EQ(s.sleepTurns, rank == 2 ? 5 : 0) << rank;
        if (rank == 0) {
            EXPECT_TRUE(Contains(messages.Text(), "の体調が良くなった。"));
        }
    }
}

TEST_F(MonsterSpecialsTest, SupportSpellChoosesItsFellowByRank)
{
    // Rank 0 passes over a fellow at full HP and heals the next one.
    player().x = 30;
    Place(0, Kind(39, 0), 15, 15);
    SMonster& full = Place(1, Kind(10, 0), 14, 14);
    SMonster& hurt = Place(2, Kind(10, 0), 16, 16);
    hurt.hp = 10;
    MessageRecorder messages(*game);
    Run(MonsterSpecialSupportSpell, 0, kHeroine);
    EXPECT_EQ(full.hp, 50);
    EXPECT_EQ(hurt.hp, 50);
    EXPECT_TRUE(Contains(messages.Text(), "のＨＰが\n#3４０#回復した。"));

    // An undead fellow is hurt instead.
    AddMonsterKind(*game, Kind(11, 0)).typeFlags = kKindUndead;
    SMonster& undead = Place(1, Kind(11, 0), 14, 14);
    undead.hp = 40;
    Run(MonsterSpecialSupportSpell, 0, kHeroine);
    EXPECT_EQ(undead.hp, 10);

    // Rank 2 passes over a fellow that already has strong body.
    Place(0, Kind(39, 2), 15, 15);
    Place(1, Kind(10, 0), 14, 14).strongBodyTurns = 5;
    SMonster& weak = Place(2, Kind(10, 0), 16, 16);
    Run(MonsterSpecialSupportSpell, 0, kHeroine);
    EXPECT_EQ(game->characters.monsters[1].strongBodyTurns, 5);
    EXPECT_EQ(weak.strongBodyTurns, 50);
}

// ---- Dance and hurl.

// She carries one food. Without draws the rank-0 dance makes her step; drawn rows set the pick draw
// (after the one of the one-slot shuffle) modulo the four weights' sum, 21 at rank 2 (4, 4, 12, 1), so
// each weight's bounds show: step below 4, strike below 8, use below 20, throw at 20.
TEST_F(MonsterSpecialsTest, StrangeDanceForcesACommandByItsRankOrIsRefused)
{
    constexpr std::int32_t kNoDraws = -1;
    const struct
    {
        const char* what;
        std::int32_t rank, pick;
        std::function<void()> prepare;
        std::int32_t kind, way; // kind -1: refused; way -1: no item
        const char* message;
    } cases[] = {
        {"a step", 0, kNoDraws, [] {}, 5, -1, ""},
        {"a step she cannot take", 0, kNoDraws, [this] { EquipShieldWithSeals(*game, {35}); }, 2, -1, ""},
        {"circle 284", 0, kNoDraws,
         [this] { PlaceCircle(*game, 284, CSpellCircleControl::kRangeCell, player().x, player().y); }, -1, -1,
         "しかし　操られなかった。"},
        {"rank 2, last step", 2, 3, [] {}, 5, -1, ""},
        {"rank 2, first strike", 2, 4, [] {}, 7, -1, ""},
        {"rank 2, last strike", 2, 7, [] {}, 7, -1, ""},
        {"rank 2, first use", 2, 8, [] {}, 8, 3, ""},
        {"rank 2, last use", 2, 19, [] {}, 8, 3, ""},
        {"rank 2, the throw", 2, 20, [] {}, 8, 2, ""},
        {"rank 2, a use while her abilities are sealed", 2, 8, [this] { player().status.sealTurns = 5; }, 7,
         -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game = MakeTestGame();
        SetUp();
        const std::uint16_t food = MakeItem(*game, 130, kItemClassFood);
        Carry(*game, food);
        Place(0, Kind(31, c.rank), 15, 14);
        c.prepare();
        std::int32_t direction = 0;
        if (c.pick != kNoDraws) {
            Seed([&](Rand& g) { return (g.Get(), g.Get() % 21 == std::uint32_t(c.pick)); });
            Rand peek(game->random);
            peek.Get();
            peek.Get();
            direction = std::int32_t(peek.Get() % 8);
        }
        MessageRecorder messages(*game);
        Run(MonsterSpecialStrangeDance, 0, kHeroine);
        EXPECT_TRUE(game->playerCommands.empty()) << "the dance forces the command; it queues nothing";
        EXPECT_EQ(game->forcedCommand.kind, c.kind);
        if (*c.message) EXPECT_EQ(messages.Lines().back(), c.message);
        if (c.kind == -1) continue;
        EXPECT_EQ(game->forcedCommand.arg3, c.way);
        EXPECT_EQ(game->forcedCommand.arg2, c.way == -1 ? -1 : food);
        // A step, a strike and a throw go in a drawn direction; a use has none.
        EXPECT_EQ(game->forcedCommand.arg1, c.way == 3 ? -1 : direction);
    }
}

TEST_F(MonsterSpecialsTest, TheDancesUseOfAnItemNamesItAsItsOwnTargetWhenItNeedsOne)
{
    const struct
    {
        std::int32_t kind, itemClass;
        bool onItself;
    } cases[] = {
        {180, kItemClassScroll, true},     {206, kItemClassScroll, true}, {181, kItemClassScroll, false},
        {315, kItemClassMagicStone, true}, {351, kItemClassPot, true},    {275, kItemClassPen, false},
        {140, kItemClassPotion, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        game = MakeTestGame();
        SetUp();
        game->items.kindState.assign(400, 0);
        const std::uint16_t item = MakeItem(*game, c.kind, c.itemClass);
        Carry(*game, item);
        Place(0, Kind(31, 2), 15, 14);
        // Seeds until the dance forces the use of an item.
        for (std::uint32_t seed = 1; seed < 500 && game->forcedCommand.arg3 != 3; ++seed) {
            game->forcedCommand.Reset();
            game->random.noRandom = false;
            game->random.SetSeed(seed);
            Run(MonsterSpecialStrangeDance, 0, kHeroine);
        }
        ASSERT_EQ(game->forcedCommand.kind, 8);
        ASSERT_EQ(game->forcedCommand.arg3, 3);
        EXPECT_EQ(game->forcedCommand.arg2, item);
        EXPECT_EQ(game->forcedCommand.arg1, c.onItself ? item : -1);
    }
}

TEST_F(MonsterSpecialsTest, HurlRefusesAnUnmovableTarget)
{
    EquipShieldWithSeals(*game, {35});
    Place(0, Kind(25, 0), 15, 14);
    MessageRecorder messages(*game);
    EXPECT_EQ(Run(MonsterSpecialHurl, 0, kHeroine), 1);
    EXPECT_EQ(messages.Lines().back(), "しかし　投げられなかった。");
}

TEST_F(MonsterSpecialsTest, HurlPrefersFireAndTrapCellsToMonsters)
{
    Place(0, Kind(25, 1), 15, 14);
    Place(1, Kind(10, 0), 12, 12);
    SMapCell& fire = game->map.GetCell(17, 17);
    fire.objectKind = kObjectFire;
    fire.objectId = 30;
    EXPECT_EQ(Run(MonsterSpecialHurl, 0, kHeroine, 2), 2);
    EXPECT_EQ(player().x, 17);
    EXPECT_EQ(player().y, 17);
}

TEST_F(MonsterSpecialsTest, HurlLandingDamage)
{
    // On a monster, rank 1: 10 to both.
    Place(0, Kind(25, 1), 15, 14);
    SMonster& struck = Place(1, Kind(10, 0), 12, 12);
    player().hp = player().maxHp = 50;
    Run(MonsterSpecialHurl, 0, kHeroine);
    EXPECT_EQ(struck.hp, 40);
    EXPECT_EQ(player().hp, 40);
    EXPECT_FALSE(player().x == 12 && player().y == 12);

    // Into a wall from the corridor: 20.
    game->characters.RemoveMonster(1, nullptr);
    SMonster& actor = Place(0, Kind(25, 1), 20, 14);
    actor.direction = 4; // up, into the wall
    SMonster& thrown = Place(2, Kind(10, 0), 19, 14);
    Run(MonsterSpecialHurl, 0, 2);
    EXPECT_EQ(thrown.hp, 30);
    EXPECT_GT(game->map.GetCell(std::uint32_t(thrown.x), std::uint32_t(thrown.y)).terrain, 2); // moved out
}

} // namespace
