// The heroine's level by her experience, and a monster's level and rank.
#include "game/characters/level_changes.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/ui/message_numbers.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

// E[L] = (L - 1) * 100.
std::int32_t E(std::int32_t level)
{
    return (level - 1) * 100;
}

class LevelChangesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game = MakeTestGame();
        for (std::int32_t level = 1; level <= 99; ++level)
            game->experienceTable[std::size_t(level - 1)] = E(level);
        game->items.kinds.resize(100);
        game->items.kinds[34].maximum = game->items.kinds[81].maximum = 99;
        Heroine().level = 1;
        Heroine().experience = 0;
        Heroine().hp = Heroine().maxHp = 15;
        messages = std::make_unique<MessageRecorder>(*game);
    }

    CCharacterControl::SPlayer& Heroine() { return game->characters.player; }
    CItemControl::SItem& Equip(std::int32_t& slot, std::int32_t kind, std::int32_t itemClass)
    {
        slot = MakeItem(*game, kind, itemClass);
        CItemControl::SItem& item = game->items.GetItem(std::uint32_t(slot));
        item.value = 5;
        return item;
    }

    std::unique_ptr<SGameResource> game;
    std::unique_ptr<MessageRecorder> messages;
};

TEST_F(LevelChangesTest, ShiftPlayerLevelSetsTheExperienceAtTheEdgesOfTheScale)
{
    struct SCase
    {
        std::int32_t level, experience, d;
        std::int32_t wantLevel, wantExperience;
    };
    const SCase cases[] = {
        {99, E(99) + 50, +1, 99, E(99)}, {1, 0, -1, 1, E(2) - 1},           {10, E(10) + 7, -2, 8, E(9) - 1},
        {10, E(10) + 7, +2, 12, E(12)},  {10, E(10) + 7, 0, 10, E(10) + 7}, // no shift keeps her experience
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.level * 1000 + c.d);
        SetUp();
        Heroine().level = c.level;
        Heroine().experience = c.experience;
        Heroine().maxHp = Heroine().hp = 200;
        ShiftPlayerLevel(*game, c.d);
        EXPECT_EQ(Heroine().level, c.wantLevel);
        EXPECT_EQ(Heroine().experience, c.wantExperience);
    }
}

TEST_F(LevelChangesTest, ThreeLevelsAtOnceGiveOneMessageAndFifteenMaxHp)
{
    AddExperience(*game, E(4));
    EXPECT_EQ(Heroine().level, 4);
    EXPECT_EQ(Heroine().maxHp, 30);
    EXPECT_EQ(Heroine().hp, 30);
    ASSERT_EQ(messages->Lines().size(), 1u);
    EXPECT_NE(
        messages->Text().find(std::string("は レベル") + FormatColoredNumber(4).c_str() + "に上がった！"),
        std::string::npos)
        << messages->Text();
    EXPECT_EQ(game->messageWindow.log.back().soundEffect, 14);
}

TEST_F(LevelChangesTest, GrowingEquipmentTakesTheLevels)
{
    CItemControl::SItem& weapon = Equip(game->equippedWeapon, 34, kItemClassWeapon);
    AddExperience(*game, E(4));
    EXPECT_EQ(weapon.value, 8) << "the weapon gains the three levels";
    EXPECT_EQ(Heroine().maxHp, 15) << "and her body nothing";
    ShiftPlayerLevel(*game, -1);
    EXPECT_EQ(weapon.value, 7);
    EXPECT_EQ(Heroine().maxHp, 10) << "a level down still costs max HP";
    EXPECT_NE(messages->Text().find("に下がった。"), std::string::npos);

    SetUp();
    const std::int32_t fullness = Heroine().maxFullness;
    CItemControl::SItem& shield = Equip(game->equippedShield, 81, kItemClassShield);
    AddExperience(*game, E(3));
    EXPECT_EQ(shield.value, 7);
    EXPECT_EQ(Heroine().maxFullness, fullness - 2 * 3 * 1000);
    EXPECT_EQ(Heroine().maxHp, 25);
}

TEST_F(LevelChangesTest, ExperienceStaysWithinItsScaleAndTheCircleFreezesTheLevel)
{
    Heroine().experience = 50;
    AddExperience(*game, -500);
    EXPECT_EQ(Heroine().experience, 0);

    PlaceCircle(*game, 275, CSpellCircleControl::kRangeFloor, 20, 20);
    AddExperience(*game, E(5));
    EXPECT_EQ(Heroine().experience, E(5)) << "the experience still grows";
    EXPECT_EQ(Heroine().level, 1);
    ShiftPlayerLevel(*game, 3);
    EXPECT_EQ(Heroine().experience, E(5));
    EXPECT_TRUE(messages->Lines().empty());
}

class RankChangesTest : public LevelChangesTest
{
protected:
    void SetUp() override
    {
        LevelChangesTest::SetUp();
        AddMonsterKind(*game, 20, "ゴブリン").experienceBase = 2;
        AddMonsterKind(*game, 21, "ゴブリン長").experienceBase = 10;
        PlaceMonster(*game, 0, 20, 22, 20).SetLevel(1, *game, true);
    }
    CCharacterControl::SMonster& Monster() { return game->characters.monsters[0]; }
};

TEST_F(RankChangesTest, RisesAndFallsSayWhatChanged)
{
    struct SCase
    {
        const char* name;
        std::int32_t kindId, level, delta;
        std::int32_t wantKind, wantLevel;
        const char* line; // "" for none
        std::int32_t sound;
    };
    const SCase cases[] = {
        {"a level", 20, 1, 1, 20, 2, "#4ゴブリン#は\nレベルが上がった。", 66},
        {"a rank", 20, 8, 2, 21, 1, "ランクが上がって\n#4ゴブリン長#になった。", 66},
        {"a level down", 20, 5, -2, 20, 3, "#4ゴブリンLv５#は\nレベルが下がった。", 15},
        {"as far as level 1", 20, 5, -65535, 20, 1, "#4ゴブリンLv５#は\nレベルが下がった。", 15},
        {"a rank down", 21, 1, -1, 20, 1, "ランクが下がって\n#4ゴブリン#になった。", 15},
        {"no rank to fall to", 20, 1, -1, 20, 1, "", 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Monster().kindId = c.kindId;
        Monster().SetLevel(c.level, *game, true);
        ChangeCharacterRank(*game, 0, c.delta);
        EXPECT_EQ(Monster().kindId, c.wantKind);
        EXPECT_EQ(Monster().level, c.wantLevel);
        EXPECT_EQ(messages->Text(), std::string(c.line));
        if (*c.line != '\0') {
            // The sound rides on the message's first line.
            EXPECT_EQ(std::prev(game->messageWindow.log.end(), 2)->soundEffect, c.sound);
        }
    }
}

TEST_F(RankChangesTest, AFallKeepsTheRankWhenItsExperiencePassesTheNextRanks)
{
    // Level 7 of this kind is worth more experience than the next rank's threshold; a fall to it is
    // still a fall.
    AddMonsterKind(*game, 22, "ゴブリン王").experienceBase = 30;
    Monster().kindId = 21;
    Monster().level = 8;
    ChangeCharacterRank(*game, 0, -1);
    EXPECT_EQ(Monster().kindId, 21);
    EXPECT_EQ(Monster().level, 7);
    EXPECT_EQ(messages->Text(), "#4ゴブリン長Lv８#は\nレベルが下がった。");
}

TEST_F(RankChangesTest, CircleAndTheHeroineAreLeftAlone)
{
    PlaceCircle(*game, 275, CSpellCircleControl::kRangeFloor, 22, 20);
    ChangeCharacterRank(*game, 0, 5);
    EXPECT_EQ(Monster().level, 1);
    ChangeCharacterRank(*game, kHeroine, 5);
    EXPECT_EQ(Heroine().level, 1);
    EXPECT_TRUE(messages->Lines().empty());
}

} // namespace
