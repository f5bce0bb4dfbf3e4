#include "game/characters/thrown_items.h"

#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/sound_recorder.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

bool Contains(const std::vector<std::int32_t>& list, std::int32_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

class ThrownItemsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterActionHandlers();
        game->soundEffects = &sounds;
        game->random.noRandom = true;
        // Room 0 from (5, 8) to (24, 12), the heroine on (10, 10) facing right.
        for (std::int32_t y = 8; y <= 12; ++y)
            DrawFloorArt(*game, 5, y, {"00000000000000000000"});
        Heroine().x = 10;
        Heroine().y = 10;
        Heroine().direction = 6;
        AddMonsterKind(*game, 8, "甲");
        AddMonsterKind(*game, 12, "乙");
        AddMonsterKind(*game, 16, "丙");
    }

    CCharacterControl::SPlayer& Heroine() { return game->characters.player; }
    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    std::uint16_t Carried(std::int32_t kind, std::int32_t itemClass)
    {
        const std::uint16_t item = MakeItem(*game, kind, itemClass);
        Carry(*game, item);
        return item;
    }
    // Runs the queue frame by frame until it is idle; the frames it took.
    std::int32_t RunQueue()
    {
        std::int32_t frames = 0;
        while (frames < 500 && queue.Run(*game) != 0)
            ++frames;
        return frames;
    }
    // Runs the current record's handler from `from` to `to` steps, as the runner would.
    std::int32_t Steps(std::int32_t from, std::int32_t to)
    {
        std::int32_t result = 0;
        for (queue.step = from; queue.step <= to; ++queue.step)
            result = GetActionHandler(queue.current.kind)(queue, *game);
        return result;
    }
    // Takes the pushed record as the current one.
    void TakePushed()
    {
        queue.current = queue.pending.back();
        queue.pending.pop_back();
    }
    std::int32_t CountEffects(std::int32_t kind) const
    {
        return std::int32_t(std::count_if(game->effects.begin(), game->effects.end(),
                                          [&](const SEffectObject& e) { return e.kind == kind; }));
    }

    SoundRecorder sounds;
    std::unique_ptr<SGameResource> game = MakeTestGame();
    CActionQueue queue;
};

TEST_F(ThrownItemsTest, ACursedEquippedWeaponStaysInHerHand)
{
    const std::uint16_t sword = Carried(1, kItemClassWeapon);
    game->items.GetItem(sword).flags = CItemControl::kCursed;
    game->equippedWeapon = sword;
    MessageRecorder log(*game);
    PushActionThrowOrShoot(queue, *game, sword, kHeroine);
    RunQueue();
    EXPECT_EQ(game->equippedWeapon, sword);
    EXPECT_EQ(game->inventory[0], sword);
    EXPECT_TRUE(Contains(sounds.played, 16));
    EXPECT_NE(log.Text().find("呪われていて　外れなかった。"), std::string::npos);
    EXPECT_EQ(CountEffects(kEffectThrownItem), 0);
}

TEST_F(ThrownItemsTest, AnItemStoppedByAWallComesDownBeforeIt)
{
    DrawFloorArt(*game, 12, 10, {"#"});
    const std::uint16_t stone = Carried(1, kItemClassMagicStone);
    PushActionThrowOrShoot(queue, *game, stone, kHeroine);
    TakePushed();
    Steps(0, 2);
    EXPECT_EQ(game->inventory[0], 0xFFFF);
    EXPECT_EQ(queue.current.param3, 12);
    ASSERT_EQ(queue.pending.size(), 1u);
    const SActionRecord& land = queue.pending.back();
    EXPECT_EQ(land.kind, kActionItemLand);
    EXPECT_EQ(land.param3, 11);
    EXPECT_EQ(land.flag, 1); // a short flight
    EXPECT_EQ(land.itemCells.at(0).x, 12);
}

TEST_F(ThrownItemsTest, ABouncingMonsterSendsTheItemBackOnce)
{
    AddMonsterKind(*game, 8).abilities = kAbilityBounce;
    PlaceMonster(*game, 0, 8, 13, 10);
    const std::uint16_t stone = Carried(1, kItemClassMagicStone);
    PushActionThrowOrShoot(queue, *game, stone, kHeroine);
    TakePushed();
    Steps(0, 0);
    const SActionRecord thrown = queue.current;
    Heroine().y = 12; // out of the way of the return flight
    Steps(1, 1);
    // The path charges its first cell twice when a character stops it: 10 - 3 - 1 cells are left.
    EXPECT_EQ(queue.current.values, std::vector<std::int32_t>{6});
    EXPECT_EQ(Steps(2, 2), 1);
    EXPECT_EQ(queue.current.param2, 2);
    EXPECT_EQ(queue.current.flag, 0);
    EXPECT_EQ(queue.current.param3, 7); // six cells back west

    // A second bouncer on the way back is only hit.
    PlaceMonster(*game, 1, 8, 9, 10);
    queue.current = thrown;
    game->effects.clear();
    MessageRecorder log(*game);
    Steps(1, 3);
    EXPECT_EQ(queue.current.param3, 9);
    EXPECT_EQ(CountEffects(kEffectThrownItem), 2);
    EXPECT_NE(log.Text().find("に当たった。"), std::string::npos);
    EXPECT_LT(game->characters.monsters[1].hp, 20); // the stone's own hit
    EXPECT_EQ(game->items.GetItem(stone).kind, 0xFFFF);
}

TEST_F(ThrownItemsTest, AFireMonsterBurnsWhatReachesItUnlessSealed)
{
    const struct
    {
        std::int32_t kind; // 326 never hits
        std::uint8_t sealTurns;
        bool burns;
    } cases[] = {{1, 0, true}, {326, 0, true}, {1, 5, false}};
    for (const auto& c : cases) {
        AddMonsterKind(*game, 8).typeFlags = kKindFire;
        PlaceMonster(*game, 0, 8, 13, 10).status.sealTurns = c.sealTurns;
        sounds.played.clear();
        game->effects.clear();
        MessageRecorder log(*game);
        const std::uint16_t stone = Carried(c.kind, kItemClassMagicStone);
        PushActionThrowOrShoot(queue, *game, stone, kHeroine);
        RunQueue();
        EXPECT_EQ(log.Text().find("は燃え尽きた！") != std::string::npos, c.burns) << c.kind;
        EXPECT_EQ(Contains(sounds.played, 17), c.burns) << c.kind;
        EXPECT_EQ(CountEffects(kEffectBurning), c.burns ? 1 : 0) << c.kind;
        if (c.burns) {
            EXPECT_EQ(game->effects.back().phaseModulus, 48);
        }
    }
}

TEST_F(ThrownItemsTest, ArrowsFlyOneAtATime)
{
    const std::uint16_t stack = Carried(20, kItemClassArrow);
    game->items.GetItem(stack).value = 12;
    PushActionThrowOrShoot(queue, *game, stack, kHeroine);
    const SActionRecord shot = queue.pending.back();
    EXPECT_EQ(shot.kind, kActionShoot);
    EXPECT_NE(shot.param1, stack);
    EXPECT_EQ(game->items.GetItem(std::uint16_t(shot.param1)).value, 1);
    EXPECT_EQ(game->items.GetItem(stack).value, 11);

    // A single arrow flies itself and leaves the cell it lay on; a stack there keeps its other arrows.
    const std::uint16_t single = MakeItem(*game, 20, kItemClassArrow);
    game->items.GetItem(single).value = 1;
    game->map.PlaceItemObject(10, 10, single);
    PushActionThrowOrShoot(queue, *game, single, kHeroine);
    EXPECT_EQ(queue.pending.back().param1, single);
    EXPECT_EQ(Cell(10, 10).objectKind, 0);
    game->map.PlaceItemObject(10, 10, stack);
    PushActionThrowOrShoot(queue, *game, stack, kHeroine);
    EXPECT_EQ(Cell(10, 10).objectId, stack);
    EXPECT_EQ(game->items.GetItem(stack).value, 10);

    // With the item table full no arrow can be split off: nothing flies and the stack stays whole.
    for (std::uint32_t i = 0; i < CItemControl::kItemCount; ++i)
        if (game->items.GetItem(i).kind == 0xFFFF) game->items.GetItem(i).kind = 1;
    const std::size_t pushed = queue.pending.size();
    EXPECT_EQ(PushActionThrowOrShoot(queue, *game, stack, kHeroine), 1);
    EXPECT_EQ(queue.pending.size(), pushed);
    EXPECT_EQ(game->items.GetItem(stack).value, 10);

    // The bow's twang is silent in a re-run.
    for (const std::int32_t mode : {kPlayNormal, kPlaySilentRerun}) {
        game->playMode = mode;
        sounds.played.clear();
        queue.current = shot;
        Steps(0, 1);
        EXPECT_EQ(Contains(sounds.played, 69), mode == kPlayNormal);
    }
}

TEST_F(ThrownItemsTest, APiercingThrowHitsTheLineNearestFirstThenVanishes)
{
    PlaceCircle(*game, 274, 4, 5, 12);
    PlaceMonster(*game, 0, 16, 18, 10);
    PlaceMonster(*game, 1, 8, 12, 10);
    PlaceMonster(*game, 2, 12, 15, 10);
    const std::uint16_t stone = Carried(1, kItemClassMagicStone);
    MessageRecorder log(*game);
    PushActionThrowOrShoot(queue, *game, stone, kHeroine);
    RunQueue();
    const std::string text = log.Text();
    const std::size_t first = text.find("甲");
    const std::size_t second = text.find("乙");
    const std::size_t third = text.find("丙");
    const std::size_t gone = text.find("どこかに消えてしまった……。");
    ASSERT_NE(gone, std::string::npos);
    EXPECT_TRUE(first < second && second < third && third < gone) << text;
    EXPECT_EQ(game->items.GetItem(stone).kind, 0xFFFF);
}

TEST_F(ThrownItemsTest, WhereALandingItemComesToRest)
{
    const struct
    {
        const char* name;
        char terrain;
        std::uint8_t object; // on (14, 10)
        bool guard;          // circle 278 under the heroine
        bool lies;
        bool flies; // becomes the flying item
        bool triggers;
        const char* message;
    } cases[] = {
        {"floor", '0', 0, false, true, false, false, "は地面に落ちた。"},
        {"puddle", 'w', 0, false, true, false, false, "は水溜りに落ちた。"},
        {"fire", '0', kObjectFire, false, false, false, false, "は 燃え尽きた！"},
        {"water", '~', 0, false, false, true, false, ""},
        {"spot", '0', kObjectTreasureSpot, true, false, true, true, ""},
        {"trap", '0', kObjectTrap, false, false, true, true, ""},
        {"guarded trap", '0', kObjectTrap, true, false, true, false, ""},
    };
    for (const auto& c : cases) {
        game = MakeTestGame();
        game->soundEffects = &sounds;
        DrawFloorArt(*game, 5, 10, {"000000000000"});
        DrawFloorArt(*game, 14, 10, {std::string_view(&c.terrain, 1)});
        Cell(14, 10).objectKind = c.object;
        Cell(14, 10).objectId = c.object == kObjectTrap ? 1 : 30;
        if (c.guard) PlaceCircle(*game, 278, 4, 5, 10);
        const std::uint16_t item = MakeItem(*game, 1, kItemClassMagicStone);
        MessageRecorder log(*game);
        PushActionItemLand(queue, item, 1, 14, 10, 1, 10, 10);
        TakePushed();
        game->actionFinished = 1;
        EXPECT_EQ(Steps(0, 1), c.flies ? 1 : 0) << c.name;
        EXPECT_EQ(game->actionFinished, 0) << c.name;
        EXPECT_EQ(Cell(14, 10).objectKind == kObjectItem && Cell(14, 10).objectId == item, c.lies) << c.name;
        EXPECT_NE(log.Text().find(c.message), std::string::npos) << c.name;
        EXPECT_EQ(game->throwItem.itemIndex, c.flies ? item : 0xFFFF) << c.name;
        if (!c.flies) continue;
        EXPECT_EQ(game->traps.triggered.count(CTrapControl::PositionKey(14, 10)), c.triggers ? 1u : 0u)
            << c.name;
        // The fall was pushed first: the trap's actions run before it.
        CActionQueue& second = game->commandQueue;
        ASSERT_FALSE(second.pending.empty()) << c.name;
        EXPECT_EQ(second.pending.front().kind, kActionFlyingItemFall) << c.name;
        if (c.object == kObjectTrap) {
            EXPECT_EQ(second.pending.size(), c.triggers ? 2u : 1u) << c.name;
        }
        second.current = second.pending.front();
        EXPECT_EQ(HandleFlyingItemFall(second, *game), 0);
        const SActionRecord& fall = game->reactionQueue.pending.back();
        EXPECT_EQ(fall.kind, kActionItemsFall) << c.name;
        EXPECT_EQ(fall.itemCells.at(0).itemIndex, item) << c.name;
        EXPECT_EQ(fall.param3, 14) << c.name;
        EXPECT_EQ(game->throwItem.itemIndex, 0xFFFF) << c.name;
        EXPECT_EQ(game->throwItem.x, -1) << c.name;
    }
}

TEST_F(ThrownItemsTest, AKnockedItemThatMissesLiesOnItsEndCell)
{
    PlaceMonster(*game, 0, 8, 14, 10);
    const std::uint16_t dud = MakeItem(*game, 326, kItemClassMagicStone);
    game->map.PlaceItemObject(12, 10, dud);
    EXPECT_EQ(PushActionThrow(queue, *game, 12, 10, 6, 3), 0);
    RunQueue();
    EXPECT_EQ(Cell(12, 10).objectKind, 0);
    EXPECT_EQ(Cell(14, 10).objectKind, kObjectItem);
    EXPECT_EQ(Cell(14, 10).objectId, dud);
    EXPECT_EQ(CountEffects(kEffectHoppingItem), 1);
}

TEST_F(ThrownItemsTest, ADyingBodyWhereTheRangeRunsOutIsNobody)
{
    PlaceMonster(*game, 0, 8, 20, 10).motion = 13;
    const std::uint16_t stone = Carried(1, kItemClassMagicStone);
    MessageRecorder log(*game);
    PushActionThrowOrShoot(queue, *game, stone, kHeroine);
    RunQueue();
    EXPECT_EQ(log.Text().find("に当たった"), std::string::npos);
    EXPECT_EQ(Heroine().hp, 20);
    EXPECT_EQ(Cell(20, 10).objectId, stone);
}

TEST_F(ThrownItemsTest, ABlastingStoneExplodesBeforeTheWall)
{
    DrawFloorArt(*game, 14, 10, {"#"});
    const std::uint16_t stone = Carried(107, kItemClassMagicStone);
    PushActionThrowOrShoot(queue, *game, stone, kHeroine);
    RunQueue();
    EXPECT_EQ(game->items.GetItem(stone).kind, 0xFFFF);
    const SActionRecord& blast = game->reactionQueue.pending.back();
    EXPECT_EQ(blast.kind, kActionExplosion);
    EXPECT_EQ(blast.param2, (10 + 20) / 2 / 4);
    EXPECT_EQ(blast.param3, 13);
    EXPECT_EQ(blast.param1, kHeroine);
}

TEST_F(ThrownItemsTest, PotsThatHitACharacter)
{
    const struct
    {
        const char* name;
        std::int32_t kind;
        bool cursed;
        bool atHeroine;
    } cases[] = {
        {"capture", 356, false, false},
        {"capture her", 356, false, true},
        {"hide", 354, false, false},
        {"cursed", 356, true, false},
    };
    for (const auto& c : cases) {
        PlaceMonster(*game, 0, 8, 14, 10);
        game->map.candidateCells = {{20, 8}};
        game->reactionQueue.pending.clear();
        Heroine().x = 10;
        const std::uint16_t pot = MakeItem(*game, c.kind, kItemClassPot);
        game->items.GetItem(pot).value = 3;
        if (c.cursed) game->items.GetItem(pot).flags = CItemControl::kCursed;
        MessageRecorder log(*game);
        HitCharacterWithPot(*game, pot, c.atHeroine ? kHeroine : 0);
        const CCharacterControl::SMonster& monster = game->characters.monsters[0];
        if (c.cursed) {
            EXPECT_NE(log.Text().find("は割れた！"), std::string::npos);
            EXPECT_EQ(game->items.GetItem(pot).kind, 0xFFFF);
        } else if (c.kind == 354) {
            EXPECT_EQ(monster.inPotTurns, 255);
            EXPECT_EQ(game->items.GetItem(pot).kind, 0xFFFF);
        } else {
            EXPECT_EQ(monster.type, c.atHeroine ? kCharacterHostile : kCharacterEmpty) << c.name;
            EXPECT_EQ(Heroine().x, c.atHeroine ? 20 : 10) << c.name;
            const SActionRecord& land = game->reactionQueue.pending.back();
            EXPECT_EQ(land.kind, kActionItemLand) << c.name;
            EXPECT_EQ(land.param3, c.atHeroine ? 10 : 14) << c.name;
            EXPECT_EQ(game->items.GetItem(pot).value, 2) << c.name;
        }
    }
}

TEST_F(ThrownItemsTest, TheHomingStoneSeeksTheNearestMonsterInFront)
{
    const struct
    {
        const char* name;
        bool corridor;
        struct
        {
            std::int32_t dx, dy;
            bool fish;
        } monsters[3];
        std::int32_t target; // the slot struck
    } cases[] = {
        {"nearest, ties in table order", false, {{3, 0, false}, {2, 2, false}, {2, -2, false}}, 1},
        {"not behind, not under water", false, {{-1, 0, false}, {1, 0, true}, {4, 1, false}}, 2},
        {"corridor: the 3 x 3 around her", true, {{-1, 1, false}, {1, -1, false}, {5, 0, false}}, 1},
    };
    for (const auto& c : cases) {
        game->effects.clear();
        for (std::uint16_t slot = 0; slot < 3; ++slot) {
            const auto& m = c.monsters[slot];
            AddMonsterKind(*game, 20 + slot).abilities = m.fish ? kAbilityFish : 0;
            PlaceMonster(*game, slot, 20 + slot, 10 + m.dx, 10 + m.dy);
            Cell(10 + m.dx, 10 + m.dy).terrain = m.fish ? 4 : 5;
            Cell(10 + m.dx, 10 + m.dy).room = c.corridor ? -1 : 0;
        }
        Cell(10, 10).room = c.corridor ? -1 : 0;
        const std::uint16_t stone = Carried(105, kItemClassMagicStone);
        PushActionThrowOrShoot(queue, *game, stone, kHeroine);
        TakePushed();
        EXPECT_EQ(Steps(0, 1), 0) << c.name;
        TakePushed();
        EXPECT_EQ(queue.current.kind, kActionHomingStrike);
        Steps(0, 0);
        const CCharacterControl::SMonster& target = game->characters.monsters[std::size_t(c.target)];
        EXPECT_EQ(queue.current.param3, target.x) << c.name;
        EXPECT_EQ(queue.current.param4, target.y) << c.name;
        EXPECT_EQ(Steps(1, 2), 0);
        EXPECT_EQ(CountEffects(kEffectBurning), 1) << c.name;
        EXPECT_LT(target.hp, 20) << c.name;
        EXPECT_EQ(game->items.GetItem(stone).kind, 0xFFFF) << c.name;
    }
}

TEST_F(ThrownItemsTest, TheTripleStoneFliesThreeWaysAndPutsOutFire)
{
    DrawFloorArt(*game, 15, 10, {"#"});
    Cell(12, 12).objectKind = kObjectFire;
    Cell(12, 12).objectId = 30;
    PlaceMonster(*game, 0, 8, 12, 8);
    const std::uint16_t stone = Carried(106, kItemClassMagicStone);
    PushActionThrowOrShoot(queue, *game, stone, kHeroine);
    TakePushed();
    EXPECT_EQ(Steps(0, 1), 0);
    TakePushed();
    ASSERT_EQ(queue.current.kind, kActionTripleStrike);
    Steps(0, 0);
    const struct
    {
        std::int32_t x, y;
    } ends[] = {
        {12, 8}, {15, 10}, {12, 12}}; // up-right at a monster, right at the wall, down-right at the fire
    ASSERT_EQ(queue.current.itemCells.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(queue.current.itemCells[i].x, ends[i].x) << i;
        EXPECT_EQ(queue.current.itemCells[i].y, ends[i].y) << i;
    }
    ASSERT_EQ(CountEffects(kEffectComet), 3);
    EXPECT_EQ(game->effects.at(1).phaseModulus, 20); // five cells
    Steps(1, 1);
    EXPECT_EQ(Cell(12, 12).objectKind, 0);
    EXPECT_EQ(CountEffects(kEffectBurning), 1); // the monster struck
    EXPECT_LT(game->characters.monsters[0].hp, 20);
    EXPECT_EQ(Steps(2, 2), 0);
    EXPECT_EQ(game->items.GetItem(stone).kind, 0xFFFF);
}

} // namespace
