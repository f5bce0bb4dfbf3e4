// The shop and the monster house, the failed theft, relocation and the per-frame upkeep.
#include "game/characters/room_events.h"
#include "game/core/money.h"
#include "game/core/play_mode.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/turn/action_queue.h"
#include "gamebase/music.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

class RoomEventsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game = MakeTestGame();
        game->random.noRandom = true;
        game->floor = 5;
        game->floorClass = 4;
        game->experienceTable.fill(999999999); // her level stays 1 when it is settled
        game->experienceTable[0] = 0;
        AddMonsterKind(*game, 8, "スライム");
        messages = std::make_unique<MessageRecorder>(*game);
    }

    // A block of cells of that terrain and room around (x, y).
    void Floor(std::int32_t x, std::int32_t y, std::int32_t radius, std::uint8_t terrain, std::int8_t room)
    {
        for (std::int32_t i = x - radius; i <= x + radius; ++i)
            for (std::int32_t j = y - radius; j <= y + radius; ++j) {
                SMapCell& cell = game->map.GetCell(std::uint32_t(i), std::uint32_t(j));
                cell.terrain = terrain;
                cell.room = room;
            }
    }
    void Shop() // the heroine's cell in shop room 3
    {
        Floor(20, 20, 0, 5, 3);
        game->map.specialRoom = 3;
    }
    void House(std::int32_t type) // the heroine's cell in house room 6
    {
        Floor(20, 20, 0, 5, 6);
        game->map.markedRoom = 6;
        game->map.markedRoomValue = type;
    }

    std::unique_ptr<SGameResource> game;
    std::unique_ptr<MessageRecorder> messages;
};

TEST_F(RoomEventsTest, EnteringTheShopWelcomesHerOnlyWhenSeen)
{
    struct SCase
    {
        const char* name;
        std::uint8_t invisible, hiding;
        bool welcomed;
    };
    const SCase cases[] = {{"seen", 0, 0, true}, {"invisible", 5, 0, false}, {"hiding", 0, 5, false}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Shop();
        game->characters.player.invisibleTurns = c.invisible;
        game->characters.player.inPotTurns = c.hiding;
        game->items.kindState.assign(10, 0);
        const std::uint16_t carried = MakeItem(*game, 3, kItemClassWeapon);
        Carry(*game, carried);
        CheckRoomEvents(*game);
        EXPECT_EQ((game->items.GetItem(carried).flags & CItemControl::kExamined) != 0, c.welcomed)
            << "the bag is looked over on entering";
        EXPECT_EQ(messages->Text(), c.welcomed ? "「イラッシャイマセ」" : "");
        EXPECT_EQ(game->musicRequest, c.welcomed ? 10 : -1);
        EXPECT_EQ(game->shopInside, c.welcomed ? 1 : 0);
    }
}

TEST_F(RoomEventsTest, LeavingTheShopWithOrWithoutPaying)
{
    struct SCase
    {
        const char* name;
        std::int32_t bill, houseState;
        const char* line;
        std::int32_t music;
        bool alarmed;
    };
    const SCase cases[] = {
        {"unpaid goods", 100, -1, "「泥棒！」", 11, true},
        {"paid", 0, -1, "", 4, false},
        {"paid, house found", 0, 0, "", 12, false},
        {"paid, variant house found", 0, 3, "", 13, false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        game->map.specialRoom = 3; // she stands outside it
        game->shopInside = 1;
        game->shopBill = c.bill;
        game->houseState = c.houseState;
        PlaceMonster(*game, 0, 8, 30, 30).type = kCharacterShopkeeper;
        CheckRoomEvents(*game);
        EXPECT_EQ(messages->Text(), c.line);
        EXPECT_EQ(game->musicRequest, c.music);
        EXPECT_EQ(game->shopInside, 0);
        EXPECT_EQ(game->shopTheftDone, c.alarmed ? 1 : 0);
        EXPECT_EQ(game->characters.monsters[0].type, c.alarmed ? kCharacterHostile : kCharacterShopkeeper);
    }
    // After a theft the shop says nothing more on this floor.
    Shop();
    game->shopTheftDone = 1;
    game->musicRequest = -1;
    CheckRoomEvents(*game);
    EXPECT_EQ(game->musicRequest, -1);
}

TEST_F(RoomEventsTest, DiscoveringTheMonsterHouse)
{
    struct SCase
    {
        const char* name;
        std::int32_t type;
        std::uint8_t wakeLock, bonusSwitch;
        const char* line;
        std::int32_t music, bonus;
        std::int32_t sleepAfter;
    };
    const SCase cases[] = {
        {"plain", 0, 0, 1, "モンスターハウスだ！", 12, 5000, 0},
        {"type 2, bonus counted five times", 2, 0, 0, "#rビーストハウス#だ！", 13, (5000 + 100000) * 5, 0},
        {"type 7 says nothing", 7, 0, 1, "", -1, 105000, 0},
        {"wake lock", 0, 1, 1, "モンスターハウスだ！", 12, 5000, 5},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        House(c.type);
        game->wakeLock = c.wakeLock;
        game->houseBonusSwitch = c.bonusSwitch;
        PlaceMonster(*game, 0, 8, 30, 30).sleepState = 5;
        CheckRoomEvents(*game);
        EXPECT_EQ(game->houseState, c.type);
        EXPECT_EQ(messages->Text(), c.line);
        EXPECT_EQ(game->musicRequest, c.music);
        EXPECT_EQ(game->pendingFloorBonus, c.bonus);
        EXPECT_EQ(game->houseDiscovered, 1);
        EXPECT_EQ(game->characters.monsters[0].sleepState, c.sleepAfter);
    }
    // Outside the house nothing is found.
    SetUp();
    game->map.markedRoom = 6;
    game->map.markedRoomValue = 0;
    CheckRoomEvents(*game);
    EXPECT_EQ(game->houseState, -1);
}

TEST_F(RoomEventsTest, FailedTheftWithoutDrawsKeepsOnlyTheEquipment)
{
    const std::uint16_t weapon = MakeItem(*game, 3, kItemClassWeapon);
    const std::uint16_t shield = MakeItem(*game, 50, kItemClassShield);
    const std::uint16_t goods = MakeItem(*game, 60, kItemClassPotion);
    const std::uint16_t own = MakeItem(*game, 61, kItemClassPotion);
    game->items.GetItem(goods).flags |= CItemControl::kShopGoods;
    for (const std::uint16_t item : {weapon, goods, shield, own})
        Carry(*game, item);
    game->equippedWeapon = weapon;
    game->equippedShield = shield;
    game->gold = 777;
    AddGoldCounter(game->goldCounter, 20000);
    SGoldCounter expected = game->goldCounter;
    AddGoldCounter(expected, -5000);

    ApplyFailedTheftPenalty(*game);
    EXPECT_EQ(game->inventory[0], weapon);
    EXPECT_EQ(game->inventory[1], shield);
    EXPECT_EQ(game->inventory[2], 0xFFFF);
    EXPECT_EQ(game->items.GetItem(own).kind, CItemControl::kNone) << "taken items are deleted";
    EXPECT_EQ(game->gold, 0u);
    EXPECT_EQ(game->goldCounter.low, expected.low);
}

TEST_F(RoomEventsTest, RelocationMovesOnlyWhoMayNotStay)
{
    Floor(20, 20, 0, 5, -1); // the heroine's own cell
    Floor(30, 30, 3, 5, 1);
    struct SCase
    {
        const char* name;
        std::uint8_t terrain;
        bool moves;
    };
    for (const SCase& c :
         {SCase{"a walker on floor stays", 5, false}, SCase{"a walker in water moves", 4, true}}) {
        SCOPED_TRACE(c.name);
        game->reactionQueue.pending.clear();
        Floor(30, 30, 0, c.terrain, 1);
        CCharacterControl::SMonster& walker = PlaceMonster(*game, 0, 8, 30, 30);
        walker.hp = 20;
        RelocateAllCharacters(*game);
        EXPECT_EQ(walker.x != 30 || walker.y != 30, c.moves);
        EXPECT_EQ(game->reactionQueue.pending.size(), c.moves ? 1u : 0u);
        EXPECT_GE(game->map.GetCell(std::uint32_t(walker.x), std::uint32_t(walker.y)).terrain, 5);
    }

    // Of two on one cell the later one moves.
    game->reactionQueue.pending.clear();
    Floor(30, 30, 0, 5, 1);
    CCharacterControl::SMonster& first = PlaceMonster(*game, 0, 8, 30, 30);
    CCharacterControl::SMonster& second = PlaceMonster(*game, 1, 8, 30, 30);
    RelocateAllCharacters(*game);
    EXPECT_EQ(first.x * 100 + first.y, 3030);
    EXPECT_NE(second.x * 100 + second.y, 3030);
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->reactionQueue.pending.back().kind, kActionSlide);

    // Water all round but one floor cell two rings out: never the water.
    Floor(30, 30, 3, 4, 1);
    Floor(32, 32, 0, 5, 1);
    PlaceMonster(*game, 0, 8, 30, 30);
    RelocateCharacter(*game, 0, 0, false);
    EXPECT_EQ(first.x * 100 + first.y, 3232);

    // Nowhere to go: one warp record, on the queue asked for.
    game->reactionQueue.pending.clear();
    Floor(30, 30, 3, 0, -1);
    PlaceMonster(*game, 0, 8, 30, 30);
    RelocateCharacter(*game, 0, 0, true);
    EXPECT_TRUE(game->reactionQueue.pending.empty());
    ASSERT_EQ(game->commandQueue.pending.size(), 1u);
    EXPECT_EQ(game->commandQueue.pending.back().kind, kActionWarp);
}

TEST_F(RoomEventsTest, UpkeepPlaysTheRequestedMusicAndAgesTimedEntries)
{
    QuorlithGameBase::CMusic* music = QuorlithGameBase::CMusic::GetInstance();
    music->PlayNow(5);
    game->musicRequest = 0xFFFF;
    UpdateDungeonFrame(*game);
    EXPECT_EQ(music->GetFadeCounter(), 60);
    EXPECT_EQ(game->musicRequest, -1);

    music->PlayNow(5);
    game->musicRequest = 12;
    UpdateDungeonFrame(*game);
    EXPECT_EQ(music->GetFadeCounter(), 16);
    EXPECT_EQ(music->GetQueued(), 12);
    music->FadeOut(1);

    game->vanishingObjects.resize(2);
    game->vanishingObjects[0].life = 2;
    game->vanishingObjects[1].life = 1;
    UpdateDungeonFrame(*game);
    ASSERT_EQ(game->vanishingObjects.size(), 1u);
    EXPECT_EQ(game->vanishingObjects[0].life, 1);

    game->playMode = kPlaySilentRerun;
    game->musicRequest = 12;
    UpdateDungeonFrame(*game);
    EXPECT_TRUE(game->vanishingObjects.empty()) << "a silent re-run ends them at once";
    EXPECT_EQ(game->musicRequest, 12) << "and starts no music";
}

TEST_F(RoomEventsTest, WaitingMotionsDoNotHoldTheWorld)
{
    CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, 30, 30);
    struct SCase
    {
        const char* name;
        std::int32_t heroineMotion, monsterMotion;
        bool effect, animating;
    };
    const SCase cases[] = {
        {"still", 0, -1, false, false},           {"her motion 8", 8, -1, false, false},
        {"her step", 1, -1, false, true},         {"a monster's motion 41", -1, 41, false, false},
        {"a monster's step", -1, 1, false, true}, {"an effect", -1, -1, true, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        game->characters.player.motion = c.heroineMotion;
        game->characters.player.motionLength = c.heroineMotion > 0 ? 4 : 0;
        monster.motion = c.monsterMotion;
        monster.motionLength = c.monsterMotion > 0 ? 4 : 0;
        game->effects.resize(c.effect ? 1 : 0);
        EXPECT_EQ(IsWorldAnimating(*game), c.animating);
    }
}

// The world is asked every pass whether anything still moves; a step in any slot up to the highest in
// use holds it, and a slot removed or emptied holds it no longer.
TEST_F(RoomEventsTest, AStepInAnySlotInUseHoldsTheWorldUntilTheSlotIsFreed)
{
    for (const std::uint16_t slot : {std::uint16_t(0), std::uint16_t(5), std::uint16_t(61)}) {
        SCOPED_TRACE(slot);
        CCharacterControl::SMonster& monster = PlaceMonster(*game, slot, 8, 30, 30);
        monster.motion = 1;
        monster.motionLength = 4;
        EXPECT_TRUE(IsWorldAnimating(*game));
        game->characters.RemoveMonster(slot, nullptr);
        EXPECT_FALSE(IsWorldAnimating(*game));
        // A lower slot still in use keeps the count above a freed higher one.
        PlaceMonster(*game, 1, 8, 31, 30);
        CCharacterControl::SMonster& high = PlaceMonster(*game, slot + 2, 8, 32, 30);
        high.motion = 1;
        high.motionLength = 4;
        EXPECT_TRUE(IsWorldAnimating(*game));
        high.Reset();
        EXPECT_FALSE(IsWorldAnimating(*game));
        game->characters.RemoveMonster(1, nullptr);
        game->characters.RemoveMonster(slot + 2, nullptr);
    }
}

TEST_F(RoomEventsTest, NamesForMessages)
{
    game->items.kindState.assign(300, 0);
    game->items.kindState[270] = 2;
    EXPECT_EQ(std::string(GetSpellCircleDisplayName(*game, 270).c_str()).substr(0, 2), "#5");
    EXPECT_EQ(std::string(GetSpellCircleDisplayName(*game, 271).c_str()).substr(0, 2), "#y");
    EXPECT_EQ(std::string(GetCharacterNameByIndex(*game, kHeroine).c_str()), "");

    game->items.kinds.resize(100);
    game->items.kinds[3].classId = kItemClassWeapon;
    game->items.seen.assign(100, 0);
    const std::uint16_t goods = MakeItem(*game, 3, kItemClassWeapon);
    game->items.GetItem(goods).flags |= CItemControl::kShopGoods;
    IdentifyItemKind(*game, goods);
    EXPECT_EQ(game->items.IsKindSeen(3), 0) << "a weapon on sale is not met yet";
    game->items.GetItem(goods).flags = 0;
    IdentifyItemKind(*game, goods);
    EXPECT_EQ(game->items.IsKindSeen(3), 1);
}

TEST_F(RoomEventsTest, LastEngagedIsOnlyWhomSheSees)
{
    CCharacterControl::SMonster& seen = PlaceMonster(*game, 0, 8, 30, 30);
    CCharacterControl::SMonster& unseen = PlaceMonster(*game, 1, 8, 31, 30);
    seen.hp = unseen.hp = 20;
    unseen.invisibleTurns = 9;
    SetLastEngagedCharacter(*game, 0);
    SetLastEngagedCharacter(*game, 1);
    SetLastEngagedCharacter(*game, kHeroine);
    EXPECT_EQ(game->lastEngaged, 0);
}

TEST_F(RoomEventsTest, FloorResetClearsTheFloorsEventsAndRevivesHer)
{
    game->shopInside = game->shopTheftDone = game->wakeLock = game->houseBonusSwitch = 1;
    game->houseState = 2;
    game->speciesZeroDefeat = 1;
    game->effects.resize(2);
    game->characters.player.hp = 0;
    game->characters.player.motionLength = 5;
    PlaceMonster(*game, 0, 8, 30, 30);
    game->lastEngaged = 0;
    Floor(30, 30, 1, 5, 2);
    game->messageWindow.SetVisibleLines(3);
    game->messageWindow.visible = 1;
    ResetFloorState(*game);
    EXPECT_EQ(game->shopInside + game->shopTheftDone + game->wakeLock + game->houseBonusSwitch, 0);
    EXPECT_EQ(game->houseState, -1);
    EXPECT_EQ(game->speciesZeroDefeat, 0);
    EXPECT_TRUE(game->effects.empty());
    EXPECT_EQ(game->characters.player.hp, 1);
    EXPECT_EQ(game->characters.player.motionLength, 0);
    EXPECT_EQ(game->characters.monsterCount, 0);
    EXPECT_EQ(game->lastEngaged, 0xFFFF);
    EXPECT_EQ(game->map.GetCell(30, 30).terrain, 0);
    EXPECT_EQ(game->messageWindow.visibleLines, 2);
    // The box fades out on its next idle frame.
    EXPECT_EQ(game->messageWindow.GetOpacity(), 0);
}

TEST_F(RoomEventsTest, FloorResetKeepsOnlyCarriedItemsAndTurnsUnpaidOnesIntoStolenGoods)
{
    MakeItem(*game, 10, 1); // lies on the floor left behind
    const std::uint16_t unpaid = MakeItem(*game, 11, 1);
    const std::uint16_t paid = MakeItem(*game, 12, 1);
    game->items.GetItem(unpaid).flags = CItemControl::kUnpaid;
    Carry(*game, unpaid);
    Carry(*game, paid);
    ResetFloorState(*game);
    // The carried two move to the front of the table, in table order.
    EXPECT_EQ(game->items.itemMark, 2);
    EXPECT_EQ(game->items.GetItem(0).kind, 11);
    EXPECT_EQ(game->items.GetItem(0).flags & (CItemControl::kUnpaid | CItemControl::kShopGoods),
              CItemControl::kShopGoods);
    EXPECT_EQ(game->items.GetItem(1).kind, 12);
    EXPECT_EQ(game->inventory[0], 0);
    EXPECT_EQ(game->inventory[1], 1);
    EXPECT_EQ(game->thief, 1);
    EXPECT_EQ(messages->Text(), "泥棒！");

    // A floor left with nothing unpaid makes no thief.
    game->thief = 0;
    MessageRecorder later(*game);
    ResetFloorState(*game);
    EXPECT_EQ(game->thief, 0);
    EXPECT_EQ(later.Text(), "");
}

} // namespace
