// Each staff kind's bullet, waved from the first phase to the last, on a monster and on the heroine.
#include "game/items/staff_actions.h"

#include "game/items/use_actions_fixture.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using SCharacter = CCharacterControl::SCharacter;

constexpr std::int32_t kMonsterKind = 8 * 4 + 1; // species 8, rank 1

class StaffKindsTest : public UseActionsTest
{
protected:
    void SetUp() override
    {
        UseActionsTest::SetUp();
        FloorHall();
        for (std::int32_t rank = 0; rank < 4; ++rank)
            AddMonsterKind(*game, 8 * 4 + rank, "甲");
        game->map.monsterAppearance = {kMonsterKind};
        Heroine().level = 3;
        Heroine().experience = 250;
    }
    CCharacterControl::SMonster& Monster(std::uint16_t slot, std::int32_t x, std::int32_t y)
    {
        CCharacterControl::SMonster& monster = PlaceMonster(*game, slot, kMonsterKind, x, y);
        monster.hp = monster.maxHp = 20;
        monster.level = 5;
        return monster;
    }

public: // read by the cases' probes
    std::int32_t Living() const
    {
        std::int32_t living = 0;
        for (const CCharacterControl::SMonster& monster : game->characters.monsters)
            living += monster.type == kCharacterHostile ? 1 : 0;
        return living;
    }
    // Whether a record of that kind waits on the effect queue with the field at that value.
    bool Pending(std::int32_t kind, std::int32_t SActionRecord::*field, std::int32_t value) const
    {
        for (const SActionRecord& record : game->reactionQueue.pending)
            if (record.kind == kind && record.*field == value) return true;
        return false;
    }
    SGameResource& Game() { return *game; }
};

// The heroine waves the staff at a monster of 20 HP and level 5 five cells ahead of her, or a monster
// on (25, 20) facing left waves it at her (a temporary staff: monsters' magic is weaker on her).
TEST_F(StaffKindsTest, EachKindActsOnTheCharacterItEndsOn)
{
    enum Target
    {
        kAtMonster,
        kAtHeroine,
    };
    using Probe = std::function<std::int32_t(StaffKindsTest&, SCharacter&)>;
    const struct
    {
        std::int32_t kind;
        Target target;
        Probe probe;
        std::int32_t want;
        const char* said; // the end of the last line after the wave's own, "" when none
    } cases[] = {
        // Monsters hold a seal, a slowness and a haste for good (the haste counter stops at 254).
        {235, kAtMonster, [](auto&, SCharacter& c) { return c.status.sealTurns; }, 255, ""},
        {235, kAtHeroine, [](auto&, SCharacter& c) { return c.status.sealTurns; }, 10,
         "は　アイテムを封印された。"},
        {237, kAtMonster, [](auto&, SCharacter& c) { return c.hp; }, 5, "のダメージを与えた。"},
        {237, kAtHeroine, [](auto&, SCharacter& c) { return c.hp; }, 5, "のダメージを受けた。"},
        {240, kAtMonster, [](auto&, SCharacter& c) { return c.status.slowTurns; }, 255, ""},
        {240, kAtHeroine, [](auto&, SCharacter& c) { return c.status.slowTurns; }, 10,
         "は　足が遅くなった。"},
        {241, kAtMonster, [](auto&, SCharacter& c) { return c.status.sleepTurns; }, 5, ""},
        {241, kAtHeroine, [](auto&, SCharacter& c) { return c.status.sleepTurns; }, 5,
         "は　眠ってしまった！"},
        {242, kAtMonster, [](auto&, SCharacter& c) { return c.status.weakBodyTurns; }, 30, ""},
        {242, kAtHeroine, [](auto&, SCharacter& c) { return c.status.weakBodyTurns; }, 10,
         "は　体が弱くなってしまった。"},
        {243, kAtMonster, [](auto&, SCharacter& c) { return c.strongBodyTurns; }, 30, ""},
        {243, kAtHeroine, [](auto&, SCharacter& c) { return c.strongBodyTurns; }, 30, "は　体が強くなった！"},
        // A copy of the monster beside it; beside her a monster that draws the others as a decoy.
        {244, kAtMonster, [](auto& t, SCharacter&) { return t.Living(); }, 2, ""},
        {244, kAtHeroine,
         [](auto& t, SCharacter&) {
             return t.Living() == 2 ? t.Game().characters.monsters[1].status.decoyTurns : -1;
         },
         50, ""},
        {245, kAtMonster,
         [](auto& t, SCharacter&) { return t.Pending(kActionTrip, &SActionRecord::param2, 0); }, 1, ""},
        {245, kAtHeroine,
         [](auto& t, SCharacter&) { return t.Pending(kActionTrip, &SActionRecord::param2, 0xFFFF); }, 1, ""},
        // The blast goes off on the cell struck.
        {246, kAtMonster,
         [](auto& t, SCharacter&) { return t.Pending(kActionExplosion, &SActionRecord::param3, 25); }, 1, ""},
        {246, kAtHeroine,
         [](auto& t, SCharacter&) { return t.Pending(kActionExplosion, &SActionRecord::param3, 20); }, 1, ""},
        {248, kAtMonster, [](auto&, SCharacter& c) { return c.level * 1000 + c.kindId; }, 1000 + kMonsterKind,
         "レベルが下がった。"},
        {248, kAtHeroine, [](auto&, SCharacter& c) { return c.level; }, 2, "に下がった。"},
        {249, kAtMonster, [](auto&, SCharacter& c) { return c.hasteTurns; }, 254, ""},
        {249, kAtHeroine, [](auto&, SCharacter& c) { return c.hasteTurns; }, 10, "は　足が速くなった！"},
        {250, kAtMonster, [](auto&, SCharacter& c) { return c.invisibleTurns; }, 15, ""},
        {250, kAtHeroine, [](auto&, SCharacter& c) { return c.invisibleTurns; }, 15, "の姿が消えた！"},
        {252, kAtMonster, [](auto&, SCharacter& c) { return c.status.decoyTurns; }, 20, ""},
        // She cannot be a decoy: she is confused instead.
        {252, kAtHeroine,
         [](auto&, SCharacter& c) { return c.status.decoyTurns * 1000 + c.status.confusionTurns; }, 20, ""},
    };
    for (const auto& c : cases) {
        Fresh();
        const std::string name =
            std::to_string(c.kind) + (c.target == kAtMonster ? " at a monster" : " at her");
        CCharacterControl::SMonster& monster = Monster(0, 25, 20);
        std::uint16_t staff = 0;
        if (c.target == kAtMonster) {
            staff = New(c.kind, 3);
            Carry(*game, staff);
            Start(kActionWave, staff, 0xFFFF);
        } else {
            monster.direction = 2;
            staff = New(c.kind, 1, CItemControl::kUsedUp);
            Start(kActionWave, staff, 0);
        }
        RunToEnd(HandleWaveStaff, 0);
        SCharacter& target = c.target == kAtMonster ? static_cast<SCharacter&>(monster) : Heroine();
        EXPECT_EQ(c.probe(*this, target), c.want) << name;
        const std::vector<std::string> texts = Texts();
        const std::size_t own = c.target == kAtMonster ? 1 : 0; // her "を振った。"
        if (std::string(c.said).empty()) {
            EXPECT_EQ(texts.size(), own) << name << ": " << texts.back();
        } else {
            ASSERT_GT(texts.size(), own) << name;
            EXPECT_TRUE(texts.back().ends_with(c.said)) << name << ": " << texts.back();
        }
    }
}

// Her own staff's bullet that a reflecting monster sends back is not a monster's one-wave magic: it
// lands on her with the full count.
TEST_F(StaffKindsTest, HerOwnBulletSentBackActsOnHerInFull)
{
    const struct
    {
        std::int32_t kind;
        std::uint8_t SCharacterStatus::*turns;
        std::int32_t want;
    } cases[] = {
        {234, &SCharacterStatus::paralysisTurns, 50},
        {235, &SCharacterStatus::sealTurns, 30},
        {242, &SCharacterStatus::weakBodyTurns, 30},
    };
    for (const auto& c : cases) {
        Fresh();
        game->characters.monsterKinds[std::size_t(kMonsterKind)].abilities = kAbilityReflect;
        Monster(0, 25, 20);
        const std::uint16_t staff = New(c.kind, 3);
        Carry(*game, staff);
        Start(kActionWave, staff, 0xFFFF);
        RunToEnd(HandleWaveStaff, 0);
        EXPECT_EQ(Heroine().status.*c.turns, c.want) << c.kind;
        EXPECT_EQ(game->characters.monsters[0].status.*c.turns, 0) << c.kind;
    }
}

TEST_F(StaffKindsTest, TheSwapStaffTradesCellsWithTheWielder)
{
    // Her staff on a monster five cells ahead; a monster's staff on her; nothing for a treasure chest.
    const struct
    {
        std::int32_t wielder; // 0xFFFF she waves it
        std::int32_t type;
        bool swapped;
    } cases[] = {
        {0xFFFF, kCharacterHostile, true},
        {0, kCharacterHostile, true},
        {0xFFFF, kCharacterChest, false},
    };
    for (const auto& c : cases) {
        Fresh();
        CCharacterControl::SMonster& monster = Monster(0, 25, 20);
        monster.type = c.type;
        monster.direction = 2;
        const std::uint16_t staff = c.wielder == 0xFFFF ? New(231, 3) : New(231, 1, CItemControl::kUsedUp);
        if (c.wielder == 0xFFFF) Carry(*game, staff);
        Start(kActionWave, staff, std::uint16_t(c.wielder));
        RunToEnd(HandleWaveStaff, 0);
        EXPECT_EQ(Heroine().x, c.swapped ? 25 : 20) << c.wielder << " " << c.type;
        EXPECT_EQ(monster.x, c.swapped ? 20 : 25) << c.wielder << " " << c.type;
        EXPECT_EQ(Heroine().y, 20);
        EXPECT_EQ(monster.y, 20);
    }
}

TEST_F(StaffKindsTest, TheBlastStaffAtAWallGoesOffBeforeIt)
{
    // Nobody on the bullet's way: it stops on the wall at (30, 20) and the blast is one cell short of it.
    Floor(30, 20, 2);
    const std::uint16_t staff = New(246, 3);
    Carry(*game, staff);
    Start(kActionWave, staff, 0xFFFF);
    RunToEnd(HandleWaveStaff, 0);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    const SActionRecord& blast = game->reactionQueue.pending.back();
    EXPECT_EQ(blast.kind, kActionExplosion);
    EXPECT_EQ(blast.param3, 29);
    EXPECT_EQ(blast.param4, 20);
}

} // namespace
