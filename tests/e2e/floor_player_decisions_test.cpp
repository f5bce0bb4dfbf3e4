// What the floor player presses for a given floor, and where its menu walks end, on the adventure test
// game: an explored room of floor from (10, 10) to (30, 30) with the heroine at (20, 20), facing down.

#include "e2e/floor_player.h"

#include "game/support/menu_fixture.h"
#include "game/turn/turn_phases.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using e2e::CFloorPlayer;

constexpr std::uint32_t Bit(std::int32_t key)
{
    return 1u << key;
}
constexpr std::uint32_t kWait = Bit(CFloorPlayer::kKeyAct) | Bit(CFloorPlayer::kKeyCancel);
constexpr std::uint8_t kFloor = 5;
constexpr std::int32_t kScrollKind = 180;

class FloorPlayerDecisionsTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        Room();
        scene = std::make_unique<CSceneGameMain>(*game);
    }
    void TearDown() override
    {
        scene.reset();
        MenuTest::TearDown();
    }

public:
    // The table's set-ups reach these.
    using MenuTest::game;
    void Room()
    {
        for (std::int32_t x = 10; x <= 30; ++x)
            for (std::int32_t y = 10; y <= 30; ++y) {
                SMapCell& cell = Cell(x, y);
                cell.terrain = kFloor;
                cell.explored = 1;
            }
        game->characters.player.direction = 0;
        game->dungeon = 1;
    }
    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    CCharacterControl::SMonster& Monster(std::int32_t x, std::int32_t y,
                                         std::int32_t type = kCharacterHostile)
    {
        AddMonsterKind(*game, 8);
        auto& monster = PlaceMonster(*game, 0, 8, x, y);
        monster.type = type;
        return monster;
    }
    void SeenItem(std::int32_t x, std::int32_t y, std::uint16_t flags = 0)
    {
        SMapCell& cell = Cell(x, y);
        cell.objectKind = kObjectItem;
        cell.objectShown = 1;
        cell.objectId = New(150, false, flags);
    }
    std::uint32_t FloorKeys() { return player.FloorKeys(*scene, *game); }

    // Opens the game menu and lets the player press until the menu closes; the states it went through.
    std::vector<std::int32_t> WalkMenu()
    {
        OpenMenu(0);
        std::vector<std::int32_t> states;
        for (std::int32_t press = 0; press < 40 && menu->GetState() != 0; ++press) {
            if (states.empty() || states.back() != menu->GetState()) states.push_back(menu->GetState());
            Press(player.MenuKeys(*menu, *game));
        }
        return states;
    }

    std::unique_ptr<CSceneGameMain> scene;
    CFloorPlayer player;
};

TEST_F(FloorPlayerDecisionsTest, OnAnIdleFloorEachSightGivesItsKey)
{
    struct Case
    {
        const char* name;
        std::function<void(FloorPlayerDecisionsTest&)> setUp;
        std::uint32_t keys;
    };
    using T = FloorPlayerDecisionsTest;
    // The stairs underfoot on floor 2, held for 50 turns, after `turns` turns there.
    const auto stairsOnHeldFloor = [](std::int32_t turns) {
        return [turns](T& t) {
            t.Cell(20, 20).objectKind = kObjectStairs;
            t.game->floor = 2;
            t.game->floorTime = 6 * turns;
            t.player.HoldOnFloor(2, 50);
        };
    };
    const Case cases[] = {
        {"a monster to the right is faced first", [](T& t) { t.Monster(21, 20); }, Bit(11)},
        {"and struck once faced",
         [](T& t) {
             t.Monster(21, 20);
             t.game->characters.player.direction = 6;
         },
         Bit(CFloorPlayer::kKeyAct)},
        {"a diagonal monster behind a wall corner is left alone",
         [](T& t) {
             t.Monster(21, 21);
             t.Cell(21, 20).terrain = 2;
         },
         kWait},
        {"a peaceful neighbour is not struck", [](T& t) { t.Monster(21, 20, kCharacterPeaceful); }, kWait},
        {"a seen item two cells up is walked to", [](T& t) { t.SeenItem(20, 18); }, Bit(8)},
        {"shop goods are not", [](T& t) { t.SeenItem(20, 18, CItemControl::kShopGoods); }, kWait},
        {"known stairs down-left are walked to",
         [](T& t) {
             t.game->map.stairsKnown = 1;
             t.game->map.stairsX = 17;
             t.game->map.stairsY = 23;
         },
         Bit(14)},
        {"a known trap on the way is walked round",
         [](T& t) {
             t.game->map.stairsKnown = 1;
             t.game->map.stairsX = 20;
             t.game->map.stairsY = 17;
             t.Cell(20, 19).objectKind = kObjectTrap;
             t.Cell(20, 19).objectShown = 1;
         },
         Bit(12)},
        {"unexplored floor beside her is stepped onto", [](T& t) { t.Cell(21, 20).explored = 0; }, Bit(11)},
        {"unexplored rock is not", [](T& t) { t.Cell(9, 20).explored = 0; }, kWait},
        {"the stairs underfoot open the game menu", [](T& t) { t.Cell(20, 20).objectKind = kObjectStairs; },
         Bit(CFloorPlayer::kKeyMenu)},
        {"but wait on a held floor until its turns are spent", stairsOnHeldFloor(49), kWait},
        {"and are taken once they are", stairsOnHeldFloor(50), Bit(CFloorPlayer::kKeyMenu)},
        {"a message that waits for a key is passed",
         [](T& t) {
             t.Monster(21, 20);
             t.game->messageWindow.waitCounter = -1;
         },
         Bit(CFloorPlayer::kKeySkip)},
        {"nothing is pressed while a turn runs",
         [](T& t) {
             t.Monster(21, 20);
             t.scene->turnState = 3;
         },
         0},
        {"after the last turn the game menu opens to give up",
         [](T& t) {
             t.Monster(21, 20);
             t.game->floorTime = 6 * CFloorPlayer::kGiveUpTurns;
         },
         Bit(CFloorPlayer::kKeyMenu)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scene.reset();
        Fresh();
        Room();
        scene = std::make_unique<CSceneGameMain>(*game);
        player = CFloorPlayer();
        c.setUp(*this);
        EXPECT_EQ(FloorKeys(), c.keys);
    }
}

TEST_F(FloorPlayerDecisionsTest, PressesThatPassNoTurnEndInATurnWaited)
{
    // The heroine never turns to the monster: after 16 presses the player waits a turn instead.
    Monster(21, 20);
    for (int press = 0; press < 16; ++press)
        ASSERT_EQ(FloorKeys(), Bit(11)) << press;
    EXPECT_EQ(FloorKeys(), kWait);
    EXPECT_EQ(FloorKeys(), Bit(11));
}

TEST_F(FloorPlayerDecisionsTest, AMonsterItsBlowsDoNotHarmIsLeftForTheWayRound)
{
    Monster(21, 20);
    game->characters.player.direction = 6;
    std::int32_t blows = 0;
    for (; blows < 30; ++blows) {
        game->floorTime += 6;
        if (FloorKeys() != Bit(CFloorPlayer::kKeyAct)) break;
    }
    EXPECT_EQ(blows, 21);
}

TEST_F(FloorPlayerDecisionsTest, OnTheStairsTheMenuWalkQueuesTheDescent)
{
    Cell(20, 20).objectKind = kObjectStairs;
    ASSERT_EQ(FloorKeys(), Bit(CFloorPlayer::kKeyMenu));
    EXPECT_EQ(WalkMenu(), (std::vector<std::int32_t>{1, 10}));
    ASSERT_EQ(game->playerCommands.size(), 1u);
    EXPECT_EQ(game->playerCommands.front().kind, 8);
    EXPECT_EQ(game->playerCommands.front().arg3, 3);
}

TEST_F(FloorPlayerDecisionsTest, TheFirstScrollIsReadOnceAFloorFromTheSecondPageOnTheFirstItemListed)
{
    for (std::int32_t i = 0; i < 12; ++i)
        New(150);
    const std::uint16_t scroll = New(kScrollKind);
    New(kScrollKind);
    ASSERT_EQ(FloorKeys(), Bit(CFloorPlayer::kKeyMenu));
    // The test game's scroll works on another item: the target list follows the command menu.
    EXPECT_EQ(WalkMenu(), (std::vector<std::int32_t>{1, 2, 4, 7}));
    ASSERT_EQ(game->playerCommands.size(), 1u);
    EXPECT_EQ(game->playerCommands.front().arg1, game->inventory[0]);
    EXPECT_EQ(game->playerCommands.front().arg2, scroll);
    EXPECT_EQ(game->playerCommands.front().arg3, 3);

    game->playerCommands.clear();
    EXPECT_EQ(FloorKeys(), kWait);
    game->floor = 2;
    EXPECT_EQ(FloorKeys(), Bit(CFloorPlayer::kKeyMenu));
}

TEST_F(FloorPlayerDecisionsTest, AfterTheLastTurnTheMenuWalkGivesTheAdventureUp)
{
    game->floorTime = 6 * CFloorPlayer::kGiveUpTurns;
    ASSERT_EQ(FloorKeys(), Bit(CFloorPlayer::kKeyMenu));
    EXPECT_EQ(WalkMenu(), (std::vector<std::int32_t>{1, 13, 20}));
    EXPECT_TRUE(player.HasGivenUp());
    EXPECT_EQ(game->characters.player.hp, 0);
    EXPECT_EQ(game->deathCause, 2);
}

} // namespace
