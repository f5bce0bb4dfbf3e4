// Dealing damage and defeat, and the pushes of the trap and movement actions.
#include "game/characters/combat.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/world/trap_actions.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;
constexpr std::int32_t kNobody = -1;

class DealDamageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game = MakeTestGame();
        game->random.noRandom = true;
        AddMonsterKind(*game, 8, "スライム");
        messages = std::make_unique<MessageRecorder>(*game);
    }

    CCharacterControl::SMonster& Monster(std::uint16_t slot, std::int32_t kindId = 8, std::int32_t hp = 20)
    {
        CCharacterControl::SMonster& monster = PlaceMonster(*game, slot, kindId, 21 + slot, 20);
        monster.hp = monster.maxHp = hp;
        return monster;
    }

    std::uint16_t EquipWeapon(std::initializer_list<std::uint16_t> seals)
    {
        const std::uint16_t weapon = MakeItem(*game, 3, kItemClassWeapon);
        CItemControl::SItem& item = game->items.GetItem(weapon);
        for (const std::uint16_t seal : seals)
            item.slots[std::size_t(item.sealCount++)] = seal;
        game->equippedWeapon = weapon;
        return weapon;
    }

    std::int32_t Occupied() const
    {
        std::int32_t count = 0;
        for (const CCharacterControl::SMonster& monster : game->characters.monsters)
            count += monster.type != kCharacterEmpty ? 1 : 0;
        return count;
    }

    std::vector<SActionRecord> Queued() const
    {
        return {game->reactionQueue.pending.begin(), game->reactionQueue.pending.end()};
    }

    // The sound of the message whose last line is the log's last: it rides on the message's first line.
    std::int32_t LastSound(std::size_t lines = 1) const
    {
        auto line = game->messageWindow.log.end();
        std::advance(line, -std::ptrdiff_t(lines));
        return line->soundEffect;
    }

    std::unique_ptr<SGameResource> game;
    std::unique_ptr<MessageRecorder> messages;
};

TEST_F(DealDamageTest, IcePillarLosesOneHpAHitAndBreaksSilently)
{
    CCharacterControl::SMonster& pillar = Monster(0, 0xFFFF, 3);
    pillar.type = kCharacterIcePillar;
    for (std::int32_t hit = 1; hit <= 3; ++hit) {
        DealDamage(*game, 0, 50, kHeroine, kDamageCauseMonsterBlow, true, false);
        EXPECT_EQ(pillar.hp, 3 - hit);
    }
    EXPECT_TRUE(messages->Lines().empty());
    ASSERT_EQ(Queued().size(), 1u);
    EXPECT_EQ(Queued()[0].kind, kActionBreakUp);
    // A broken pillar waits for its defeat action and takes no second one.
    DealDamage(*game, 0, 50, kHeroine, kDamageCauseMonsterBlow, true, false);
    EXPECT_EQ(Queued().size(), 1u);
}

TEST_F(DealDamageTest, MessagesByAttackerTargetAndQuiet)
{
    struct Case
    {
        std::uint16_t target;
        std::int32_t attacker, damage;
        bool quiet;
        std::vector<std::string> lines;
        std::int32_t sound;
    };
    const Case cases[] = {
        {kHeroine, kNobody, 5, false, {"#1霞野#は", "#3５#のダメージを受けた。"}, 4},
        {kHeroine, kNobody, 5, true, {"#3５#のダメージを受けた。"}, 4},
        {kHeroine, 1, 5, false, {"#4スライム#から", "#3５#のダメージを受けた。"}, 4},
        {kHeroine, 1, 0, false, {"#4スライム#から", "ダメージを受けなかった。"}, 10},
        {0, kHeroine, 7, false, {"#1霞野#は　#4スライム#に", "#3７#のダメージを与えた。"}, 4},
        {0, kHeroine, 0, false, {"#1霞野#は　#4スライム#に", "ダメージを与えられなかった。"}, 10},
        {0, kNobody, 7, false, {"#4スライム#は", "#3７#のダメージを受けた。"}, 4},
        {0, 1, 7, true, {"#3７#のダメージを与えた。"}, 4},
        {0, 5, 7, true, {"#3７#のダメージを受けた。"}, 4}, // slot 5 has no kind: nobody
    };
    for (const Case& c : cases) {
        CCharacterControl::SMonster& target = Monster(0);
        Monster(1);
        game->characters.player.hp = game->characters.player.maxHp = 20;
        game->characters.player.motion = 0;
        MessageRecorder recorder(*game);
        DealDamage(*game, c.target, c.damage, c.attacker, 0, false, c.quiet);
        EXPECT_EQ(recorder.Lines(), c.lines);
        EXPECT_EQ(LastSound(c.lines.size()), c.sound);
        const CCharacterControl::SCharacter& hit = game->characters.GetCharacterOrPlayer(c.target);
        EXPECT_EQ(hit.hp, 20 - c.damage);
        EXPECT_EQ(hit.motion, c.damage > 0 ? 10 : 0);
        (void)target;
    }
}

TEST_F(DealDamageTest, LongNamesBreakBeforeTheTarget)
{
    AddMonsterKind(*game, 12, "とてもとても長い名前のモンスター");
    Monster(0, 12);
    Monster(1, 12);
    DealDamage(*game, 0, 3, 1, 0, false, false);
    EXPECT_EQ(messages->Lines(), (std::vector<std::string>{"#4とてもとても長い名前のモンスター#は　",
                                                           "#4とてもとても長い名前のモンスター#に",
                                                           "#3３#のダメージを与えた。"}));
}

TEST_F(DealDamageTest, AHitWakesFreesAndRevealsOnlyWhenItHurts)
{
    for (const std::int32_t damage : {0, 4}) {
        CCharacterControl::SMonster& monster = Monster(0);
        monster.status.paralysisTurns = 9;
        monster.inPotTurns = 9;
        monster.sleepState = 4;
        game->effects.clear();
        DealDamage(*game, 0, damage, kHeroine, 0, false, true);
        const bool hurt = damage > 0;
        EXPECT_EQ(monster.status.paralysisTurns, hurt ? 0 : 9);
        EXPECT_EQ(monster.inPotTurns, hurt ? 0 : 9);
        EXPECT_EQ(monster.sleepState, hurt ? 0 : 4);
        EXPECT_EQ(game->effects.size(), hurt ? 1u : 0u);
    }
}

TEST_F(DealDamageTest, ChestsAndTheGoneTakeNothing)
{
    CCharacterControl::SMonster& chest = Monster(0);
    chest.type = kCharacterChest;
    DealDamage(*game, 0, 5, kHeroine, 0, true, false);
    EXPECT_EQ(chest.hp, 20);
    CCharacterControl::SMonster& dying = Monster(1);
    dying.motion = 13;
    DealDamage(*game, 1, 5, kHeroine, 0, true, false);
    EXPECT_EQ(dying.hp, 20);
    EXPECT_TRUE(messages->Lines().empty());
}

TEST_F(DealDamageTest, HeroineRecordsTheCauseAndTheMonsterBehindABlow)
{
    Monster(1).level = 7;
    DealDamage(*game, kHeroine, 2, 1, kDamageCauseMonsterBlow, true, false);
    EXPECT_EQ(game->deathCause, 3);
    EXPECT_EQ(game->killerKind, 8);
    EXPECT_EQ(game->killerLevel, 7);
    DealDamage(*game, kHeroine, 2, kNobody, 11, false, false);
    EXPECT_EQ(game->deathCause, 11);
    EXPECT_EQ(game->killerKind, 8);
}

TEST_F(DealDamageTest, ShopkeepersTurnOnTheHeroineAndLinkToMonsters)
{
    CCharacterControl::SMonster& keeper = Monster(0);
    keeper.type = kCharacterShopkeeper;
    Monster(1);
    DealDamage(*game, 0, 1, 1, 0, false, false);
    EXPECT_EQ(keeper.type, kCharacterShopkeeper);
    EXPECT_EQ(keeper.link, 1);
    DealDamage(*game, 0, 1, kHeroine, 0, false, false);
    EXPECT_EQ(keeper.type, kCharacterHostile);
}

TEST_F(DealDamageTest, NoRandomStrikeSealsAllActAndIceBreaks)
{
    CCharacterControl::SMonster& monster = Monster(0, 8, 100);
    monster.defence = 16;
    monster.status.frozenTurns = 5;
    EquipWeapon({62, 63, 64, 65, 66, 70, 71});
    DealDamage(*game, 0, 5, kHeroine, kDamageCauseMonsterBlow, true, false);
    const SCharacterStatus& status = monster.status;
    EXPECT_EQ(status.frozenTurns, 0);
    EXPECT_NE(status.sleepTurns, 0);
    EXPECT_NE(status.confusionTurns, 0);
    EXPECT_NE(status.hallucinationTurns, 0);
    EXPECT_NE(status.blindTurns, 0);
    EXPECT_NE(status.sealTurns, 0);
    EXPECT_NE(status.slowTurns, 0);
    EXPECT_EQ(monster.defence, 12);
    EXPECT_EQ(messages->Lines().back(), "#4スライム#の氷が割れた！");
    EXPECT_EQ(LastSound(), 36);

    // Not a blow, or not her blow: no seal acts.
    CCharacterControl::SMonster& other = Monster(1, 8, 100);
    DealDamage(*game, 1, 5, kHeroine, 0, false, false);
    EXPECT_EQ(other.status.sleepTurns, 0);
    EXPECT_EQ(other.defence, 0);
}

TEST_F(DealDamageTest, HealingFullnessAndExperienceFromSeals)
{
    Monster(0, 8, 10);
    EquipWeapon({60, 60});
    DealDamage(*game, 0, 30, kHeroine, 0, true, false); // drains at most the 10 HP it had
    EXPECT_EQ(game->pendingHealing, 2 * 10 * 15 / 100);

    game->pendingHealing = 0;
    Monster(1);
    game->floor = 5;
    game->experienceTable.fill(1000000); // the experience gained raises no level
    game->experienceTable[0] = 0;
    game->characters.player.hp = game->characters.player.maxHp = 999;
    game->characters.player.fullness = 50000;
    EquipShieldWithSeals(*game, {60, 71, 74, 76});
    DealDamage(*game, kHeroine, 80, 1, kDamageCauseMonsterBlow, true, false);
    EXPECT_EQ(game->pendingHealing, 5);
    EXPECT_EQ(game->characters.player.hp, 999 - 70); // 80 * 7 / 8
    EXPECT_EQ(game->characters.player.fullness, 50000 + (70 + 20) * 50);
    EXPECT_EQ(game->characters.player.experience, (5 + 10) * 70 / 10);
}

TEST_F(DealDamageTest, GoldCounterFollowsTheDamageAndTheDefeat)
{
    game->floor = 3;
    Monster(0, 8, 200000);
    DealDamage(*game, 0, 150000, kHeroine, 0, false, false);
    EXPECT_EQ(game->goldCounter.low, 3u * 99999u);
    DealDamage(*game, 0, 10, kHeroine, 0, false, false);
    EXPECT_EQ(game->goldCounter.low, 3u * 99999u + 30u);
    Monster(1, 8, 4);
    DealDamage(*game, 1, 10, kHeroine, 0, false, false);
    EXPECT_EQ(game->goldCounter.low, 3u * 99999u + 30u + 30u + 30u);
    DealDamage(*game, kHeroine, 7, 0, 0, false, false);
    EXPECT_EQ(game->goldCounter.low, 3u * 99999u + 90u - 21u);
}

TEST_F(DealDamageTest, WarpingAndSplitting)
{
    struct Case
    {
        std::int32_t kindId;
        std::int32_t rulesVersion;
        bool sealed;
        bool melee;
        const char* message; // nullptr: neither
    };
    const Case cases[] = {
        {16 * 4 + 1, 2, false, false, "はワープした！"},
        {16 * 4 + 1, 2, true, false, nullptr},
        {16 * 4 + 1, 1, true, false, "はワープした！"},
        {34 * 4, 2, false, true, "は分裂した！"},
        {34 * 4, 2, false, false, nullptr},
        {34 * 4, 2, true, true, nullptr},
        {8, 2, false, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kindId);
        AddMonsterKind(*game, c.kindId, "ワープ").specialChance = 4;
        CCharacterControl::SMonster& monster = Monster(0, c.kindId, 100);
        monster.status.sealTurns = c.sealed ? 255 : 0;
        game->rulesVersion = c.rulesVersion;
        game->reactionQueue.pending.clear();
        MessageRecorder recorder(*game);
        const std::int32_t before = Occupied();
        DealDamage(*game, 0, 5, kHeroine, kDamageCauseMonsterBlow, c.melee, true);
        const std::vector<std::string> lines = recorder.Lines();
        if (c.message == nullptr) {
            EXPECT_EQ(lines.size(), 1u);
            EXPECT_TRUE(Queued().empty());
            continue;
        }
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[1], std::string("#4ワープ#") + c.message);
        const bool warps = std::string(c.message) == "はワープした！";
        EXPECT_EQ(Occupied(), before + (warps ? 0 : 1)); // a split makes its copy beside it
        // A warp, or the copy moved off the cell it shares (a warp too on this floor without cells).
        ASSERT_EQ(Queued().size(), 1u);
        EXPECT_EQ(Queued()[0].kind, kActionWarp);
        EXPECT_EQ(Queued()[0].param2, warps ? 0 : 1);
    }
}

TEST_F(DealDamageTest, WarpSealsAndTheLinkWarper)
{
    Monster(0, 8, 100);
    EquipWeapon({72});
    DealDamage(*game, 0, 1, kHeroine, 0, false, true);
    EXPECT_TRUE(Queued().empty());
    DealDamage(*game, 0, 1, kHeroine, 0, true, true);
    EXPECT_EQ(Queued().size(), 1u);

    game->reactionQueue.pending.clear();
    AddMonsterKind(*game, 17 * 4);
    CCharacterControl::SMonster& linked = Monster(2, 17 * 4, 100);
    DealDamage(*game, 2, 1, kNobody, 0, false, true);
    EXPECT_TRUE(Queued().empty());
    linked.link = 2;
    DealDamage(*game, 2, 1, kNobody, 0, false, true);
    EXPECT_EQ(Queued().size(), 1u);
}

TEST_F(DealDamageTest, DefeatQueuesOneBreakUpAndCreditsTheWinner)
{
    struct Case
    {
        std::int32_t attacker;
        std::int32_t rulesVersion;
        std::string message;
        std::int32_t flag;
    };
    const Case cases[] = {
        {kHeroine, 2, "#4スライム#を倒した。", 1},
        {kHeroine, 1, "#4スライム#を倒した。", 0},
        {1, 2, "#4スライム#は#4スライム#を倒した。", 1},
        {kNobody, 2, "#4スライム#は力尽きた。", 1},
    };
    for (const Case& c : cases) {
        CCharacterControl::SMonster& victim = Monster(0, 8, 5);
        victim.experience = 40;
        CCharacterControl::SMonster& winner = Monster(1);
        game->rulesVersion = c.rulesVersion;
        game->pendingExperience = 0;
        game->reactionQueue.pending.clear();
        MessageRecorder recorder(*game);
        DealDamage(*game, 0, 9, c.attacker, 0, false, true);
        // A monster that wins also gains a level, which it announces after the defeat.
        const std::vector<std::string> lines = recorder.Lines();
        EXPECT_EQ(lines.end()[c.attacker == 1 ? -3 : -1], c.message);
        const std::vector<SActionRecord> queued = Queued();
        ASSERT_EQ(queued.size(), 1u);
        const SActionRecord& record = queued[0];
        EXPECT_EQ(record.kind, kActionBreakUp);
        EXPECT_EQ(record.param1, c.attacker);
        EXPECT_EQ(record.param2, 0);
        EXPECT_EQ(record.flag, c.flag);
        EXPECT_EQ(game->pendingExperience, c.attacker == kHeroine ? 40 : 0);
        EXPECT_EQ(winner.level, c.attacker == 1 ? 2 : 1);
    }
    // Only a live table character can be defeated.
    Monster(2);
    EXPECT_FALSE(DefeatCharacter(*game, 2, true, kHeroine));
}

TEST_F(DealDamageTest, ExperienceSealAddsAFifthPerSeal)
{
    EquipWeapon({76, 76});
    CCharacterControl::SMonster& victim = Monster(0);
    victim.experience = 50;
    victim.hp = 0;
    EXPECT_TRUE(DefeatCharacter(*game, 0, true, kHeroine));
    EXPECT_EQ(game->pendingExperience, 50 + 50 * 2 / 5);
    victim.hp = 0;
    game->pendingExperience = 0;
    EXPECT_TRUE(DefeatCharacter(*game, 0, false, kHeroine));
    EXPECT_EQ(game->pendingExperience, 50);
}

TEST_F(DealDamageTest, HeroineFelledBySpeciesZeroGoesOn)
{
    AddMonsterKind(*game, 2, "案内人");
    Monster(1, 2);
    Monster(2, 8);
    DealDamage(*game, kHeroine, 30, 2, kDamageCauseMonsterBlow, true, false);
    EXPECT_EQ(game->speciesZeroDefeat, 0);
    game->characters.player.hp = 20;
    DealDamage(*game, kHeroine, 30, 1, kDamageCauseMonsterBlow, true, false);
    EXPECT_EQ(game->characters.player.hp, 0);
    EXPECT_EQ(game->speciesZeroDefeat, 1);
    EXPECT_FALSE(DefeatCharacter(*game, kHeroine, true, 1));
    EXPECT_TRUE(Queued().empty());
}

TEST(TrapActionPushes, KnockbackKeepsItsListOnlyWhenAsked)
{
    CActionQueue queue;
    PushKnockbackAction(queue, 3, 6, 10, 9, false);
    PushKnockbackAction(queue, 3, 6, 10, 9, true);
    const SActionRecord& plain = queue.pending.front();
    EXPECT_EQ(std::vector<std::int32_t>({plain.kind, plain.param1, plain.param2, plain.param3, plain.param4}),
              std::vector<std::int32_t>({18, 9, 3, 10, 6}));
    EXPECT_TRUE(plain.values.empty());
    EXPECT_FALSE(queue.pending.back().values.empty());
}

TEST(TrapActionPushes, RelocationMovesAtOnceAndSlidesHome)
{
    auto game = MakeTestGame();
    AddMonsterKind(*game, 8);
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 4, 8, 10, 12);
    EXPECT_EQ(PushRelocateAction(*game, 4, 13, 11, true), 0);
    EXPECT_EQ(std::vector<std::int32_t>(
                  {monster.x, monster.y, monster.prevX, monster.prevY, monster.offsetX, monster.offsetY}),
              std::vector<std::int32_t>({13, 11, 10, 12, -96, 32}));
    const SActionRecord& record = game->reactionQueue.pending.back();
    EXPECT_EQ(std::vector<std::int32_t>({record.kind, record.param2, record.flag}),
              std::vector<std::int32_t>({14, 4, 1}));
    PushRelocateAction(*game, 0xFFFF, 21, 20, false);
    EXPECT_EQ(game->characters.player.x, 21);
    EXPECT_EQ(game->reactionQueue.pending.back().flag, 0);
}

} // namespace
