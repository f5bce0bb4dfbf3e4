#include "cell_actions_fixture.h"

#include "game/characters/display_name.h"
#include "game/support/message_recorder.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

std::uint32_t LowByte(Math::CRand& r)
{
    return r.Get() & 255;
}

bool Played(const std::vector<std::int32_t>& sounds, std::int32_t n)
{
    return std::find(sounds.begin(), sounds.end(), n) != sounds.end();
}

using MeleeTest = CellActionsTest;

TEST_F(MeleeTest, ThreeInstantKillSealsKillBelowByte192WithoutCriticalOrDamage)
{
    EquipWeapon({18, 18, 18, 11});
    CCharacterControl::SMonster& monster = Monster(0, 8, 20, 21);
    for (const std::uint32_t byte : {191u, 192u}) {
        // Asleep, it is hit without a draw: the first draw decides the kill.
        monster.sleepState = 1;
        monster.hp = 500;
        monster.motion = 0;
        sounds.played.clear();
        Seed(LowByte, byte);
        MessageRecorder messages(*game);
        PushActionAttack(queue, kHeroine, 0, 20, 21, false);
        EXPECT_EQ(Run(Take(queue)), 2);
        const bool killed = byte == 191;
        EXPECT_EQ(monster.hp == 0, killed) << byte;
        EXPECT_EQ(Played(sounds.played, 93), killed) << byte;
        if (killed) EXPECT_EQ(messages.Text().find("会心の一撃！"), std::string::npos);
        EXPECT_EQ(messages.Text().find("ダメージ") != std::string::npos, !killed) << byte;
    }
}

TEST_F(MeleeTest, PillarsLoseOneHpWithoutAHitTestAndChestsTakeNothing)
{
    CCharacterControl::SMonster& pillar = PlaceMonster(*game, 2, 0xFFFF, 20, 21);
    pillar.TurnIntoIcePillar();
    game->random.noRandom = false;
    game->random.SetSeed(5);
    Math::CRand untouched = game->random;
    for (const std::int32_t hp : {2, 1}) {
        pillar.hp = hp;
        MessageRecorder messages(*game);
        PushActionAttack(queue, kHeroine, 2, 20, 21, false);
        Run(Take(queue));
        EXPECT_EQ(messages.Text(), "氷の柱を叩いた。");
        EXPECT_EQ(LastLine().soundEffect, 18);
        EXPECT_EQ(pillar.hp, hp - 1);
        EXPECT_EQ(game->reactionQueue.pending.size(), hp == 1 ? 1u : 0u);
    }
    const SActionRecord& shatter = game->reactionQueue.pending.back();
    EXPECT_EQ(shatter.kind, kActionBreakUp);
    EXPECT_EQ(shatter.param2, 2);
    EXPECT_EQ(shatter.flag, 1);
    EXPECT_EQ(game->random.Get(), untouched.Get());

    CCharacterControl::SMonster& chest = Monster(3, 40, 21, 21);
    chest.type = kCharacterChest;
    MessageRecorder messages(*game);
    PushActionAttack(queue, kHeroine, 3, 21, 21, false);
    EXPECT_EQ(Run(Take(queue)), 2);
    EXPECT_EQ(chest.hp, 500);
    EXPECT_EQ(messages.Text(), "");
    EXPECT_EQ(game->reactionQueue.pending.size(), 1u);
}

TEST_F(MeleeTest, MissesNameTheDodgingHeroineOrTheMissingAttacker)
{
    Monster(0, 8, 20, 21);
    struct Case
    {
        std::int32_t attacker;
        std::uint16_t target;
        const char* suffix;
    };
    for (const Case c : {Case{0, kHeroine, "は　攻撃をかわした。"}, Case{kHeroine, 0, "の攻撃は外れた。"}}) {
        Seed(LowByte, 250);
        game->lastEngaged = 0xFFFF;
        MessageRecorder messages(*game);
        PushActionAttack(queue, c.attacker, c.target, 0, 0, false);
        Run(Take(queue));
        EXPECT_EQ(messages.Text(), std::string(GetDisplayName(*game, kHeroine).c_str()) + c.suffix);
        EXPECT_EQ(LastLine().soundEffect, 10);
        // A monster that struck at her is her last opponent, hit or miss.
        EXPECT_EQ(game->lastEngaged, c.target == kHeroine ? 0 : 0xFFFF);
    }
}

TEST_F(MeleeTest, CriticalsAreCalledByWhoStrikes)
{
    EquipWeapon({11});
    Monster(0, 8, 20, 21);
    Monster(1, 32 * 4, 21, 20).link = kHeroine;
    game->characters.monsterKinds[32 * 4].specialChance = 10;
    struct Case
    {
        std::int32_t attacker;
        std::uint16_t target;
        const char* call;
    };
    for (const Case c : {Case{kHeroine, 0, "会心の一撃！"}, Case{1, kHeroine, "痛恨の一撃！"}}) {
        MessageRecorder messages(*game);
        PushActionAttack(queue, c.attacker, c.target, 0, 0, false);
        Run(Take(queue));
        ASSERT_FALSE(messages.Lines().empty());
        EXPECT_EQ(messages.Lines().front(), c.call);
        auto call = game->messageWindow.log.end();
        std::advance(call, -std::ptrdiff_t(messages.Lines().size()));
        EXPECT_EQ(call->soundEffect, 33);
    }
    EXPECT_EQ(game->lastEngaged, 1);
    EXPECT_LT(game->characters.player.hp, 999);
}

} // namespace
