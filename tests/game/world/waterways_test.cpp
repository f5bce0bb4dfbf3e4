#include "game/world/one_room_field.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <utility>

namespace {

// A field of rock walls with one room section, the stairs section, cut by hand; no draws.
class WaterwayTest : public OneRoomFieldTest
{
protected:
    void SetUp() override
    {
        WallTheField({0, 0});
        CutRoom(10, 8, 11, 9);
    }
    int Count(int terrain) { return int(CellsOf(terrain).size()); }
    bool Check() { return gen->PlaceStairsAndCheck(game->random, game->map, *game); }
};

// Without draws the shuffle keeps reading order: the stairs take the room's first free cell, whatever
// floor it is (wet, or a maze's), never the marked centre or a cell holding an object.
TEST_F(WaterwayTest, StairsTakeTheFirstFreeCellOfTheRoomsShuffledCells)
{
    const struct
    {
        const char* what;
        std::function<void()> prepare;
        bool passes;
        SCellPosition stairs;
    } cases[] = {
        {"plain floor", [] {}, true, {10, 8}},
        {"all wet floor", [this] { FillFieldRect(game->map, 10, 8, 11, 9, 11, true, 0); }, true, {10, 8}},
        {"a maze's cells",
         [this] {
             for (int x = 10; x < 21; ++x)
                 for (int y = 8; y < 17; ++y)
                     Cell(x, y).room = -2;
         },
         true,
         {10, 8}},
        {"the marked centre skipped",
         [this] {
             gen->centre = 1;
             gen->centreCell = {10, 8};
         },
         true,
         {11, 8}},
        {"an object's cell skipped", [this] { Cell(10, 8).objectKind = kObjectItem; }, true, {11, 8}},
        {"no free cell", [this] { FillFieldRect(game->map, 10, 8, 11, 9, 18, true, 0); }, false, {-1, -1}},
    };
    for (const auto& c : cases) {
        game = std::make_unique<SGameResource>();
        gen = std::make_unique<DungeonGen>();
        SetUp();
        c.prepare();
        EXPECT_EQ(Check(), c.passes) << c.what;
        EXPECT_EQ(gen->restartCauses[DungeonGen::kRestartNoStairsCell], c.passes ? 0 : 1) << c.what;
        if (!c.passes) continue;
        EXPECT_EQ(gen->stairs, c.stairs) << c.what;
        EXPECT_EQ(Cell(c.stairs.x, c.stairs.y).objectKind, kObjectStairs) << c.what;
        const auto& player = game->characters.GetPlayer();
        EXPECT_GE(Cell(player.x - 5, player.y - 4).terrain, 5) << c.what;
    }
}

// Drawn for real the stairs wander over the room, not to one corner.
TEST_F(WaterwayTest, DrawnStairsStandAnywhereInTheirRoom)
{
    std::set<std::pair<int, int>> cells;
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        SetUp();
        game->random.noRandom = false;
        game->random.SetSeed(seed);
        ASSERT_TRUE(Check()) << seed;
        EXPECT_TRUE(gen->stairs.x >= 10 && gen->stairs.x < 21 && gen->stairs.y >= 8 && gen->stairs.y < 17);
        cells.insert({gen->stairs.x, gen->stairs.y});
    }
    EXPECT_GT(cells.size(), 20u);
}

// The cells inside a door become terrain 17 only when they are floor: a pool's water or a pillar of the
// room beside a door stays what it is, and the floor still passes the check.
TEST_F(WaterwayTest, DoorCellsAreMarkedOnlyOnFloor)
{
    const int cases[][2] = {{5, 17}, {11, 17}, {4, 4}, {2, 2}, {18, 18}};
    for (const auto& c : cases) {
        SetUp();
        gen->Room(0, 0).points[0] = {9, 12}; // a door outside the left side
        Cell(10, 12).terrain = std::uint8_t(c[0]);
        EXPECT_TRUE(Check()) << c[0];
        EXPECT_EQ(Cell(10, 12).terrain, c[1]) << c[0];
        EXPECT_EQ(Cell(9, 12).terrain, 2) << c[0]; // outside the room: not its cell
    }
}

// Only the moat island may go unreached; any other cut-off floor fails the floor and is drowned. The
// fill steps diagonally past water but not past a wall or terrain 3: the floor cell (21, 17) touches the
// room only at its corner (20, 16), between the rock cells (21, 16) and (20, 17).
TEST_F(WaterwayTest, OnlyTheMoatIslandMayGoUnreached)
{
    const auto corner = [this](int right, int below) {
        Cell(21, 17).terrain = 5;
        Cell(21, 16).terrain = std::uint8_t(right);
        Cell(20, 17).terrain = std::uint8_t(below);
    };
    const struct
    {
        const char* what;
        std::function<void()> prepare;
        bool passes;
        SCellPosition cutOff;
    } cases[] = {
        {"a walled-off 3 x 3 that is the moat island",
         [this] {
             FillFieldRect(game->map, 30, 20, 3, 3, 5, true, 1);
             gen->moat = 1;
             gen->moatCell = {30, 20};
         },
         true,
         {31, 21}},
        {"a walled-off 3 x 3 without a moat",
         [this] { FillFieldRect(game->map, 30, 20, 3, 3, 5, true, 1); },
         false,
         {31, 21}},
        {"a diagonal between two water cells", [corner] { corner(4, 4); }, true, {21, 17}},
        {"a diagonal between water and a wall", [corner] { corner(4, 2); }, false, {21, 17}},
        {"a diagonal between a wall and water", [corner] { corner(2, 4); }, false, {21, 17}},
        {"a diagonal between water and terrain 3", [corner] { corner(4, 3); }, false, {21, 17}},
        {"a diagonal between terrain 3 and water", [corner] { corner(3, 4); }, false, {21, 17}},
    };
    for (const auto& c : cases) {
        game = std::make_unique<SGameResource>();
        gen = std::make_unique<DungeonGen>();
        SetUp();
        c.prepare();
        EXPECT_EQ(Check(), c.passes) << c.what;
        if (!c.passes) EXPECT_EQ(Cell(c.cutOff.x, c.cutOff.y).terrain, 4) << c.what;
        if (c.passes) EXPECT_GE(Cell(c.cutOff.x, c.cutOff.y).terrain, 5) << c.what;
    }
}

// Drawn for real: the island's cells are among the free cells the floor's contents go to, but the
// heroine, placed again when she lands there, never starts on it.
TEST_F(WaterwayTest, HeroineNeverStartsOnTheMoatIsland)
{
    for (std::uint32_t seed = 1; seed <= 100; ++seed) {
        SetUp();
        game->random.noRandom = false;
        game->random.SetSeed(seed);
        FillFieldRect(game->map, 30, 20, 3, 3, 5, true, 1);
        gen->moat = 1;
        gen->moatCell = {30, 20};
        ASSERT_TRUE(Check()) << seed;
        const auto& player = game->characters.GetPlayer();
        EXPECT_FALSE(player.x - 5 >= 30 && player.x - 5 < 33 && player.y - 4 >= 20 && player.y - 4 < 23)
            << seed;
        int islandCells = 0;
        for (const SCellPosition& at : game->map.candidateCells)
            islandCells += at.x - 5 >= 30 && at.x - 5 < 33 && at.y - 4 >= 20 && at.y - 4 < 23 ? 1 : 0;
        EXPECT_EQ(islandCells, 9) << seed;
        EXPECT_EQ(game->map.candidateCells.size(), 99u + 9u) << seed;
    }
}

// A floor of one free cell beside the 3 x 3 island, so that nine placements in ten land on the island:
// the heroine is placed eight times before the floor is refused and built again.
TEST_F(WaterwayTest, TheHeroineHasEightPlacementsToLandOffTheMoatIsland)
{
    const struct
    {
        std::uint32_t seed;
        bool passes;
    } cases[] = {
        {5, true},  // the eighth placement is the first off the island
        {1, false}, // all eight land on the island; a ninth would not
    };
    for (const auto& c : cases) {
        game = std::make_unique<SGameResource>();
        gen = std::make_unique<DungeonGen>();
        WallTheField({0, 0});
        CutRoom(10, 8, 1, 1);
        game->random.noRandom = false;
        game->random.SetSeed(c.seed);
        FillFieldRect(game->map, 30, 20, 3, 3, 5, true, 1);
        gen->moat = 1;
        gen->moatCell = {30, 20};
        EXPECT_EQ(Check(), c.passes) << c.seed;
        EXPECT_EQ(gen->restartCauses[DungeonGen::kRestartHeroine], c.passes ? 0 : 1) << c.seed;
        const auto& player = game->characters.GetPlayer();
        if (c.passes) EXPECT_EQ(std::make_pair(player.x - 5, player.y - 4), std::make_pair(10, 8)) << c.seed;
    }
}

// What the floor's flags make of its water at the check.
TEST_F(WaterwayTest, WaterBecomesWhatTheFloorTypeAndIceFlagsSay)
{
    struct SCase
    {
        int floorType;
        bool ice;
        bool shop;
        int waterBecomes;
    };
    for (const SCase c : {SCase{22, false, false, 3}, SCase{1, true, false, 10}, SCase{1, true, true, 4},
                          SCase{1, false, false, 4}}) {
        SetUp();
        Cell(40, 30).terrain = 4; // water in the rock
        Cell(12, 12).terrain = 4; // and in the room
        gen->floorType = c.floorType;
        gen->iceFlag = c.ice ? 1 : 0;
        gen->shop = c.shop ? 1 : 0;
        ASSERT_TRUE(Check()) << c.floorType;
        EXPECT_EQ(Cell(40, 30).terrain, c.waterBecomes)
            << c.floorType << " ice " << c.ice << " shop " << c.shop;
        EXPECT_EQ(Cell(12, 12).terrain, c.waterBecomes);
        EXPECT_EQ(Count(4), c.waterBecomes == 4 ? 2 : 0);
    }
}

TEST_F(WaterwayTest, CorridorCellsWithThreeFloorNeighboursBecomeJunctions)
{
    // A T of corridor cells joined to the room: the middle of the T has three floor neighbours.
    FillFieldRect(game->map, 21, 12, 6, 1, 6, true, -1); // from the room's right side
    FillFieldRect(game->map, 26, 9, 1, 7, 6, true, -1);  // a crossing line
    ASSERT_TRUE(Check());
    EXPECT_EQ(Cell(26, 12).terrain, 17);
    EXPECT_EQ(Cell(24, 12).terrain, 6);
    EXPECT_EQ(Cell(26, 10).terrain, 6);
}

TEST_F(WaterwayTest, SmallestLakeCoversAllButItsTopCorners)
{
    // Without draws: one lake, rx = ry = 2, at (0, 0).
    const std::vector<SCellPosition> cells = gen->MakeLakes(game->map, game->random);
    std::set<std::pair<int, int>> lake;
    for (const SCellPosition& c : cells)
        lake.insert({c.x, c.y});
    std::set<std::pair<int, int>> expected;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if (y != 0 || (x != 0 && x != 3)) expected.insert({x, y});
    EXPECT_EQ(lake, expected);
    EXPECT_EQ(Count(4), 14);
}

// A vertical channel room gets its water line from the top side to the bottom side, one line right of
// the middle (the end search starts one line off it).
TEST_F(WaterwayTest, ChannelCrossesItsRoom)
{
    gen->channels[0] = {1, 0, 0, 1};
    gen->AddWaterways(game->map, game->random);
    for (int y = 8; y < 17; ++y)
        EXPECT_EQ(Cell(16, y).terrain, 4) << y;
    EXPECT_EQ(Count(4), 9);
}

} // namespace
