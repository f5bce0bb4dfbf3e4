#include "game/characters/character_control.h"

#include "sdk/auxiliary/serialize.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(CharacterControl, AResetMonsterIsAFreshEmptySlot)
{
    CCharacterControl::SMonster monster;
    monster.kindId = 12;
    monster.hp = 3;
    monster.status.boundTurns = 4;
    monster.queuedSteps.push_back({1, 16, 3, 4, -1});
    monster.link = 2;
    monster.Reset();
    EXPECT_EQ(monster.kindId, 0xFFFF);
    EXPECT_EQ(monster.level, 1);
    EXPECT_EQ(monster.hp, 20);
    EXPECT_EQ(monster.maxHp, 20);
    EXPECT_EQ(monster.x, -1);
    EXPECT_EQ(monster.GetType(), 0);
    EXPECT_EQ(monster.status.boundX, 255);
    EXPECT_EQ(monster.status.boundY, 255);
    EXPECT_EQ(monster.animSpeed, 1);
    EXPECT_EQ(monster.shown, 1);
    EXPECT_EQ(monster.phaseModulus, 0xFFFF);
    EXPECT_TRUE(monster.queuedSteps.empty());
    EXPECT_EQ(monster.link, 0xFFFF);
    EXPECT_EQ(monster.goalX, -1);
}

TEST(CharacterControl, TheHeroinesLastingStateIsStoredInFiftyNineBytes)
{
    auto control = std::make_unique<CCharacterControl>();
    CCharacterControl::SPlayer& player = control->player;
    player.level = 7;
    player.hpRegenFraction = 0x1234;
    player.inPotTurns = 9;
    player.status.weakBodyTurns = 3;
    Auxiliary::CSerialize stream;
    stream.Serialize(*control);
    const auto bytes = stream.GetBuffer();
    ASSERT_EQ(bytes.size(), 59u);
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(bytes[36], 0x34);
    EXPECT_EQ(bytes[44], 9);
    EXPECT_EQ(bytes[58], 3);

    auto loaded = std::make_unique<CCharacterControl>();
    stream.SetStoring(false);
    stream.Serialize(*loaded);
    EXPECT_EQ(loaded->player.level, 7);
    EXPECT_EQ(loaded->player.inPotTurns, 9);
    EXPECT_EQ(loaded->player.status.weakBodyTurns, 3);
    EXPECT_EQ(loaded->player.status.boundX, 255);
}

TEST(CharacterControl, LookupsNeverFail)
{
    auto control = std::make_unique<CCharacterControl>();
    control->GetCharacter(0xFFFF).hp = 1;
    for (std::uint16_t index : {std::uint16_t(64), std::uint16_t(0xFFFF)}) {
        EXPECT_EQ(control->GetCharacter(index).GetType(), 0);
        EXPECT_EQ(control->GetCharacter(index).hp, 20);
    }
    EXPECT_EQ(control->GetMonsterKind(-1).baseHp, 1);
    EXPECT_EQ(control->GetMonsterKind(0).interval, 1);
    EXPECT_EQ(control->GetMonsterKind(0).dropItem, -1);

    control->player.SetPosition(4, 5);
    control->monsters[3].type = 2;
    control->monsters[3].SetPosition(6, 6);
    control->monsters[5].SetPosition(7, 7); // an empty slot
    control->monsterCount = 6;
    EXPECT_EQ(control->player.prevX, -1);
    EXPECT_EQ(control->FindCharacterAt(4, 5), &control->player);
    EXPECT_EQ(control->FindCharacterAt(6, 6), &control->monsters[3]);
    EXPECT_EQ(control->FindCharacterAt(7, 7), nullptr);
    EXPECT_EQ(control->player.GetType(), 1);
    EXPECT_EQ(control->player.GetObjectKind(), 0);
}

} // namespace
