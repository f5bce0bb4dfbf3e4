#include "game/characters/monster_special_actions.h"

#include "game/data/item_classes.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/sound_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using SMonster = CCharacterControl::SMonster;

constexpr std::uint16_t kHeroine = 0xFFFF;

constexpr std::int32_t Kind(std::int32_t species, std::int32_t rank)
{
    return species * 4 + rank;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

const SActionRecord* FindPending(const CActionQueue& queue, std::int32_t kind)
{
    for (const SActionRecord& record : queue.pending)
        if (record.kind == kind) return &record;
    return nullptr;
}

class MonsterSpecialActionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterActionHandlers();
        game->random.noRandom = true;
        game->soundEffects = &sounds;
        // Room 0 from (3, 3) to (12, 12).
        DrawFloorArt(*game, 2, 2,
                     {
                         "############",
                         "#0000000000#",
                         "#0000000000#",
                         "#0000000000#",
                         "#0000000000#",
                         "#0000000000#",
                         "#0000000000#",
                         "#0000000000#",
                         "#0000000000#",
                         "#0000000000#",
                         "#0000000000#",
                         "############",
                     });
        player().x = 8;
        player().y = 6;
        player().hp = player().maxHp = 200;
        game->items.kinds.resize(400);
        game->items.kindCount = 400;
        game->items.moveWeights.assign(400, 0);
        game->items.attackWeights.assign(400, 0);
        for (std::int32_t k = 100; k <= 103; ++k)
            game->items.kinds[std::size_t(k)].classId = kItemClassArrow;
        for (const std::int32_t k : {234, 235, 241, 242})
            game->items.kinds[std::size_t(k)].classId = kItemClassStaff;
    }

    CCharacterControl::SPlayer& player() { return game->characters.player; }

    SMonster& Place(std::uint16_t slot, std::int32_t kindId, std::int32_t x, std::int32_t y,
                    std::uint16_t target = kHeroine)
    {
        if (std::size_t(kindId) >= game->characters.monsterKinds.size() ||
            game->characters.monsterKinds[std::size_t(kindId)].name.empty())
            AddMonsterKind(*game, kindId, "テスト");
        SMonster& monster = PlaceMonster(*game, slot, kindId, x, y);
        monster.hp = monster.maxHp = 50;
        monster.link = target;
        return monster;
    }

    // Runs the kind-12 action of the slot as the queue's runner does, at most `limit` calls; the calls.
    std::int32_t Run(std::uint16_t actor, std::int32_t limit = 40)
    {
        queue = CActionQueue();
        queue.current.kind = kActionMonsterSpecial;
        queue.current.param1 = actor;
        const ActionHandler handler = GetActionHandler(kActionMonsterSpecial);
        std::int32_t calls = 0;
        while (calls < limit) {
            ++calls;
            if (handler(queue, *game) == 0) break;
            ++queue.step;
        }
        return calls;
    }

    // Runs only the first call of the action.
    std::int32_t RunStep0(std::uint16_t actor) { return Run(actor, 1); }

    bool HasSound(std::int32_t sound) const
    {
        return std::find(sounds.played.begin(), sounds.played.end(), sound) != sounds.played.end();
    }

    bool MessageHasSound(std::int32_t sound) const
    {
        for (const CMessageWindow::SLine& line : game->messageWindow.log)
            if (line.soundEffect == sound) return true;
        return false;
    }

    void FillItemTable()
    {
        for (std::uint32_t i = 0; i < CItemControl::kItemCount; ++i)
            if (game->items.GetItem(i).kind == 0xFFFF) game->items.GetItem(i).kind = 1;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    SoundRecorder sounds;
    CActionQueue queue;
};

// ---- Dispatch.

TEST_F(MonsterSpecialActionsTest, Species0BorrowsASpecialByCellParity)
{
    struct Case
    {
        std::int32_t rank, x, y;
        const char* message; // nullptr: the arrow
    };
    for (const Case c : {Case{2, 4, 6, nullptr}, Case{2, 4, 7, "吐いた！"}, Case{3, 4, 6, nullptr},
                         Case{3, 5, 6, "爆弾を投げた！"}}) {
        SetUp();
        game->reactionQueue = CActionQueue();
        game->effects.clear();
        Place(0, Kind(0, c.rank), c.x, c.y);
        MessageRecorder messages(*game);
        Run(0);
        if (c.message != nullptr) {
            EXPECT_TRUE(Contains(messages.Text(), c.message)) << c.x << "," << c.y;
        } else if (c.rank == 2) {
            const SActionRecord* shot = FindPending(game->reactionQueue, kActionShoot);
            if (shot == nullptr) shot = FindPending(game->reactionQueue, kActionThrow);
            ASSERT_NE(shot, nullptr);
            const CItemControl::SItem& arrow = game->items.GetItem(std::uint32_t(shot->param1));
            EXPECT_EQ(arrow.kind, 102);
            EXPECT_EQ(arrow.value, 1);
            EXPECT_NE(arrow.flags & 0x400, 0);
        } else {
            // The strike: 30 damage to the heroine.
            EXPECT_EQ(player().hp, 200 - 30);
        }
    }
}

TEST_F(MonsterSpecialActionsTest, Seal44BlocksOnlyAMonsterNextToTheHeroine)
{
    EquipShieldWithSeals(*game, {44});
    Place(0, Kind(21, 0), player().x + 1, player().y + 1, kHeroine);
    MessageRecorder messages(*game);
    EXPECT_EQ(Run(0), 1);
    EXPECT_TRUE(Contains(messages.Text(), "しかし　"));
    EXPECT_TRUE(Contains(messages.Text(), "は\n能力を使えなかった。"));
    EXPECT_TRUE(MessageHasSound(54));
    EXPECT_EQ(game->monsterUsedSpecial, 0);

    Place(1, Kind(21, 0), player().x + 2, player().y, kHeroine);
    MessageRecorder far(*game);
    Run(1);
    EXPECT_TRUE(Contains(far.Text(), "は　呪いをかけた！"));
    EXPECT_EQ(game->lastEngaged, 1);
}

TEST_F(MonsterSpecialActionsTest, AnIcePillarTargetEndsAfterTheTurn)
{
    SMonster& pillar = Place(1, Kind(30, 0), 4, 8);
    pillar.type = kCharacterIcePillar;
    SMonster& actor = Place(0, Kind(30, 0), 4, 4, 1);
    actor.direction = 4;
    EXPECT_EQ(Run(0), 1);
    EXPECT_EQ(actor.direction, 0); // down toward the pillar
    EXPECT_TRUE(game->effects.empty());
}

TEST_F(MonsterSpecialActionsTest, SpeciesWithoutASpecialEndAtOnceAndOnly39LeavesTheFlagClear)
{
    struct Case
    {
        std::int32_t kindId;
        std::uint8_t flag;
    };
    for (const Case c :
         {Case{Kind(12, 0), 1}, Case{Kind(34, 1), 1}, Case{Kind(0, 1), 1}, Case{Kind(39, 0), 0}}) {
        game->monsterUsedSpecial = 0;
        Place(0, c.kindId, 4, 4);
        MessageRecorder messages(*game);
        const std::int32_t calls = Run(0);
        EXPECT_EQ(game->monsterUsedSpecial, c.flag) << c.kindId;
        if (c.kindId / 4 != 39) {
            EXPECT_EQ(calls, 1) << c.kindId;
            EXPECT_TRUE(messages.Lines().empty()) << c.kindId;
        }
    }
}

TEST_F(MonsterSpecialActionsTest, EverySpecialRunsToItsEnd)
{
    for (std::int32_t species = 3; species <= 39; ++species) {
        for (std::int32_t rank = 0; rank < 4; ++rank) {
            auto fresh = MakeTestGame();
            game.swap(fresh);
            SetUp();
            Place(1, Kind(3, 0), 6, 6);
            Place(0, Kind(species, rank), 7, 6, kHeroine);
            EXPECT_LT(Run(0), 40) << species << "/" << rank;
        }
    }
}

// ---- Specials.

TEST_F(MonsterSpecialActionsTest, BombPowerByActorAndSteps)
{
    // Species 0 of rank 3 throws from a cell whose column and row differ in parity.
    for (const auto& [kindId, power] : {std::pair{Kind(0, 3), 50}, std::pair{Kind(28, 3), 25}}) {
        game->reactionQueue = CActionQueue();
        Place(0, kindId, 5, 6);
        EXPECT_EQ(RunStep0(0), 1);
        EXPECT_EQ(FindPending(game->reactionQueue, kActionExplosion), nullptr);
        EXPECT_EQ(Run(0), 3);
        const SActionRecord* blast = FindPending(game->reactionQueue, kActionExplosion);
        ASSERT_NE(blast, nullptr);
        EXPECT_EQ(blast->param2, power) << kindId;
        EXPECT_EQ(blast->param3, player().x);
        EXPECT_EQ(blast->param4, player().y);
    }
}

TEST_F(MonsterSpecialActionsTest, FlashBlindsAndFlashesOnlyWhileTheHeroineSees)
{
    for (const std::uint8_t blind : {std::uint8_t(0), std::uint8_t(5)}) {
        game->screenFlash = {0, 0};
        player().status.blindTurns = blind;
        SMonster& victim = Place(1, Kind(3, 0), 4, 4);
        Place(0, Kind(8, 1), 5, 4, 1);
        EXPECT_EQ(Run(0), 2);
        EXPECT_EQ(victim.status.blindTurns, 10);
        EXPECT_EQ(game->screenFlash[0], blind == 0 ? 16 : 0);
        EXPECT_EQ(game->screenFlash[1], blind == 0 ? 16 : 0);
    }
}

TEST_F(MonsterSpecialActionsTest, KnockbackTripsThenDrivesAndTheActorKeepsItsGoal)
{
    SMonster& actor = Place(0, Kind(3, 1), 7, 6);
    EXPECT_EQ(RunStep0(0), 1);
    ASSERT_EQ(game->reactionQueue.pending.size(), 2u);
    EXPECT_EQ(game->reactionQueue.pending[0].kind, kActionTrip);
    const SActionRecord& push = game->reactionQueue.pending[1];
    EXPECT_EQ(push.kind, kActionKnockback);
    EXPECT_EQ(push.param3, 3);
    EXPECT_EQ(push.param4, actor.direction);
    EXPECT_EQ(player().direction, actor.direction);
    queue.step = 1;
    player().x = 10;
    GetActionHandler(kActionMonsterSpecial)(queue, *game);
    EXPECT_EQ(actor.goalX, 10);
    EXPECT_EQ(actor.goalY, 6);
}

TEST_F(MonsterSpecialActionsTest, LeapLandsOnTheTargetThenMovesOffAndStrikes)
{
    SMonster& actor = Place(0, Kind(7, 0), 5, 6);
    EXPECT_EQ(RunStep0(0), 1);
    EXPECT_EQ(actor.x, player().x);
    queue.step = 1;
    GetActionHandler(kActionMonsterSpecial)(queue, *game);
    EXPECT_FALSE(actor.x == player().x && actor.y == player().y);
    ASSERT_NE(FindPending(game->commandQueue, kActionMeleeAttack), nullptr);
    EXPECT_EQ(Run(0), 4);
}

TEST_F(MonsterSpecialActionsTest, CursesOnTheHeroine)
{
    struct Case
    {
        std::int32_t species;
        bool seal, circle;
        const char* refusal;
    };
    for (const Case c : {Case{21, true, false, "しかし　呪いは効かなかった。"},
                         Case{21, false, false, "しかし　平気だった。"},
                         Case{22, false, true, "しかし　レベルは下がらなかった。"},
                         Case{22, true, false, "しかし　呪いは効かなかった。"}}) {
        auto fresh = MakeTestGame();
        game.swap(fresh);
        SetUp();
        if (c.seal) EquipShieldWithSeals(*game, {33});
        if (c.circle) PlaceCircle(*game, 279, CSpellCircleControl::kRangeCell, player().x, player().y);
        Place(0, Kind(c.species, 0), 7, 6);
        MessageRecorder messages(*game);
        Run(0);
        EXPECT_EQ(messages.Lines().back(), c.refusal) << c.species;
    }
}

TEST_F(MonsterSpecialActionsTest, CursesOnAMonster)
{
    SMonster& victim = Place(1, Kind(3, 0), 4, 4);
    Place(0, Kind(21, 0), 5, 4, 1);
    Run(0);
    EXPECT_EQ(victim.status.blindTurns, 50);

    victim.level = 5;
    Place(0, Kind(22, 0), 5, 4, 1);
    MessageRecorder messages(*game);
    Run(0);
    EXPECT_EQ(victim.level, 1);
    EXPECT_TRUE(Contains(messages.Text(), "レベルが下がった"));
}

TEST_F(MonsterSpecialActionsTest, SummonAndSplitWithAFullTable)
{
    for (std::uint16_t slot = 0; slot < CCharacterControl::kSlots; ++slot)
        Place(slot, Kind(3, 0), 3 + slot % 10, 3 + slot / 10 % 10);
    Place(0, Kind(26, 2), 7, 6);
    MessageRecorder messages(*game);
    Run(0);
    EXPECT_EQ(messages.Lines().back(), "しかし　何も起こらなかった。");

    Place(0, Kind(34, 2), 7, 6);
    MessageRecorder split(*game);
    Run(0);
    EXPECT_TRUE(split.Lines().empty());
}

TEST_F(MonsterSpecialActionsTest, SplitMakesACopyBeside)
{
    Place(0, Kind(34, 3), 5, 5);
    MessageRecorder messages(*game);
    Run(0);
    EXPECT_TRUE(Contains(messages.Text(), "は　分裂した！"));
    EXPECT_TRUE(MessageHasSound(74));
}

TEST_F(MonsterSpecialActionsTest, StrikeDeals20AtRank1FromTheActor)
{
    SMonster& victim = Place(1, Kind(3, 0), 4, 4);
    Place(0, Kind(30, 1), 5, 4, 1);
    EXPECT_EQ(Run(0), 3);
    EXPECT_EQ(victim.hp, 30);
}

TEST_F(MonsterSpecialActionsTest, FreezeHoldsTheHeroineAndFreezesHerItems)
{
    const std::uint16_t potion = MakeItem(*game, 60, kItemClassPotion);
    Carry(*game, potion);
    Place(0, Kind(36, 0), 7, 6);
    Run(0);
    EXPECT_EQ(player().status.frozenTurns, 2);
    EXPECT_NE(game->items.GetItem(potion).flags & CItemControl::kFrozen, 0);
}

TEST_F(MonsterSpecialActionsTest, SpitWaterFillsTheFirstShuffledPot)
{
    struct Case
    {
        std::int32_t kind;
        bool said;
    };
    for (const Case c : {Case{358, true}, Case{352, false}, Case{350, true}}) {
        auto fresh = MakeTestGame();
        game.swap(fresh);
        SetUp();
        const std::uint16_t pot = MakeItem(*game, c.kind, kItemClassPot);
        const std::uint16_t scroll = MakeItem(*game, 200, kItemClassScroll);
        CItemControl::SItem& item = game->items.GetItem(pot);
        item.value = 2;
        item.slots[0] = c.kind == 358 ? 5 : scroll;
        Carry(*game, pot);
        Place(0, Kind(38, 2), 7, 6);
        MessageRecorder messages(*game);
        Run(0);
        EXPECT_EQ(Contains(messages.Text(), "の中に\n水を入れられてしまった！"), c.said) << c.kind;
        if (c.kind == 358) {
            EXPECT_EQ(item.slots[0], 0);
        }
        if (c.kind == 352) {
            EXPECT_EQ(item.slots[0], scroll);
        }
        EXPECT_EQ((game->items.GetItem(scroll).flags & CItemControl::kWet) != 0, c.kind == 350) << c.kind;
    }
}

TEST_F(MonsterSpecialActionsTest, StaffOfRank1AndAFullItemTable)
{
    Place(0, Kind(20, 1), 7, 6);
    MessageRecorder messages(*game);
    Run(0);
    const SActionRecord* wave = FindPending(game->reactionQueue, kActionWave);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->items.GetItem(std::uint32_t(wave->param1)).kind, 235);
    EXPECT_TRUE(Contains(messages.Text(), "は\n#7封印の杖#を振った！"));

    FillItemTable();
    MessageRecorder full(*game);
    Run(0);
    EXPECT_EQ(full.Text(), "しかし　何も起こらなかった。");
}

TEST_F(MonsterSpecialActionsTest, OwnSoundsAreSilentInARerun)
{
    struct Case
    {
        std::int32_t species, sound;
    };
    for (const Case c : {Case{3, 256}, Case{7, 255}, Case{30, 19}}) {
        for (const std::int32_t mode : {kPlayNormal, kPlaySilentRerun}) {
            game->playMode = mode;
            sounds.played.clear();
            Place(0, Kind(c.species, 0), 7, 6);
            RunStep0(0);
            EXPECT_EQ(HasSound(c.sound), mode == kPlayNormal) << c.species;
        }
    }
}

} // namespace
