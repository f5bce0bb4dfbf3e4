#include "game/world/one_room_field.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>

namespace {

// One room section on a walled field, built by hand; the generator in fixed-random mode unless a test
// says otherwise.
class RoomFeatureTest : public OneRoomFieldTest
{
protected:
    void SetUp() override { WallTheField({5, 5}); } // the stairs in no section of this grid
    DungeonGen::SSection& MakeRoom(int x, int y, int w, int h) { return CutRoom(x, y, w, h); }
};

TEST_F(RoomFeatureTest, ShopMarksItsDoorsAndKeepersAndRefusesThreeDoors)
{
    DungeonGen::SSection& room = MakeRoom(2, 2, 9, 9);
    room.points[0] = {1, 6}; // a door on the left side
    room.points[1] = {6, 1}; // one on the top side
    gen->MakeShop(game->map, game->random);
    EXPECT_EQ(gen->shopRoom, 0);
    EXPECT_EQ(room.mark, DungeonGen::kFeatureShop);
    const std::set<std::pair<int, int>> marked = {{2, 5}, {2, 6}, {2, 7}, {5, 2}, {6, 2}, {7, 2}};
    EXPECT_EQ(CellsOf(18), marked);
    EXPECT_EQ(gen->shopkeeperA, (SCellPosition{2, 6}));
    EXPECT_EQ(gen->shopkeeperB, (SCellPosition{6, 2}));

    auto other = std::make_unique<DungeonGen>(*gen);
    other->shopRoom = -1;
    other->Room(0, 0).mark = 0;
    other->Room(0, 0).points[2] = {11, 6};
    other->MakeShop(game->map, game->random);
    EXPECT_EQ(other->shopRoom, -1);
    EXPECT_EQ(other->Room(0, 0).mark, 0);
}

TEST_F(RoomFeatureTest, MoatIsAWaterOutlineWithTheIslandInside)
{
    MakeRoom(3, 4, 11, 9);
    gen->MakeMoatIsland(game->map, game->random);
    // Without draws the corner is the room's top-left + (1, 1).
    std::set<std::pair<int, int>> outline;
    for (int i = 0; i < 5; ++i)
        outline.insert({{4 + i, 5}, {4, 5 + i}, {4 + i, 9}, {8, 5 + i}});
    EXPECT_EQ(CellsOf(4), outline);
    EXPECT_EQ(gen->moatCell, (SCellPosition{5, 6}));
    EXPECT_EQ(gen->moat, 1);
    EXPECT_EQ(gen->Room(0, 0).mark, DungeonGen::kFeatureMoat);
}

TEST_F(RoomFeatureTest, PillarsStandOnOddCellsOfAnOddRoom)
{
    struct SCase
    {
        int w, h;
        std::size_t pillars;
    };
    for (const SCase c : {SCase{7, 5, 6}, SCase{8, 5, 0}, SCase{5, 6, 0}}) {
        SetUp();
        gen->Room(0, 0).mark = 0;
        MakeRoom(10, 10, c.w, c.h);
        gen->MakePillarRoom(game->map, game->random);
        const auto walls = CellsOf(2).size();
        EXPECT_EQ(54u * 36u - walls, std::size_t(c.w * c.h) - c.pillars) << c.w << "x" << c.h;
        if (c.pillars) {
            EXPECT_EQ(Cell(11, 11).terrain, 2);
        }
    }
}

// Pools, drawn for real over many seeds, keep the outer ring and the second column and row from the far
// sides dry, and leave no dry cell cut off from the room's corner.
TEST_F(RoomFeatureTest, PoolsStayInsideTheirAreaAndLeaveNoDryPocket)
{
    game->random.noRandom = false;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        SetUp();
        game->random.noRandom = false;
        game->random.SetSeed(seed);
        gen->Room(0, 0).mark = 0;
        gen->waterLevel = 1;
        MakeRoom(4, 4, 12, 10);
        gen->MakePools(game->map, game->random);
        for (const auto& [x, y] : CellsOf(4)) {
            EXPECT_TRUE(x >= 5 && x <= 4 + 12 - 3 && y >= 5 && y <= 4 + 10 - 3)
                << seed << ": " << x << "," << y;
        }
        std::vector<std::uint8_t> reached(54 * 36, 0);
        DungeonGen::MarkConnectedFloor(game->map, reached, 4, 4, 0);
        for (const auto& [x, y] : CellsOf(5))
            EXPECT_TRUE(reached[std::size_t(y * 54 + x)]) << seed << ": dry pocket at " << x << "," << y;
    }
}

// Pools in every dungeon, the first one's included: without draws the first plain room whose inner area
// is 6 or more is pooled.
TEST_F(RoomFeatureTest, EveryDungeonPoolsItsRooms)
{
    for (const int dungeon : {1, 2, 7}) {
        SetUp();
        DungeonGen::SSection& room = MakeRoom(10, 10, 8, 6); // even sides: no pillars
        room.mark = 0;
        gen->AddRoomFeatures(game->random, game->map, dungeon);
        EXPECT_EQ(room.mark, DungeonGen::kFeaturePools) << dungeon;
    }
}

TEST_F(RoomFeatureTest, WithoutDrawsStepEightRingsEveryRoomAndDrawsNoLines)
{
    MakeRoom(10, 10, 6, 5);
    gen->columns = gen->rows = 2; // boundaries, but no line is drawn without draws
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r) {
            gen->Section(c, r).x = c * 27;
            gen->Section(c, r).y = r * 18;
        }
    gen->ReinforceWalls(game->map, game->random);
    std::set<std::pair<int, int>> ring;
    for (int x = 9; x <= 16; ++x)
        ring.insert({{x, 9}, {x, 15}});
    for (int y = 9; y <= 15; ++y)
        ring.insert({{9, y}, {16, y}});
    EXPECT_EQ(CellsOf(1), ring);
}

TEST(MazeRoomRules, SizesThatMakeAMaze)
{
    struct SCase
    {
        int w, h;
        bool maze;
    };
    for (const SCase c : {SCase{5, 5, true}, SCase{3, 5, false}, SCase{17, 15, true}, SCase{17, 17, false},
                          SCase{6, 5, false}, SCase{5, 8, false}, SCase{7, 9, true}})
        EXPECT_EQ(DungeonGen::IsMazeRoomSize(c.w, c.h), c.maze) << c.w << "x" << c.h;
}

// The carving never steps onto the open border; its start is joined to the ring by the wall above (or
// below) it. A 5 x 5 maze carves only its centre.
TEST_F(RoomFeatureTest, DugMazeOpensItsCarvedInteriorToTheBorder)
{
    MakeRoom(10, 10, 5, 5);
    gen->BuildDugMaze(game->map, 0, 0, game->random);
    std::set<std::pair<int, int>> walls;
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i)
            if (i != 2 || (j != 2 && j != 1)) walls.insert({10 + i, 10 + j});
    std::set<std::pair<int, int>> inRoom;
    for (const auto& cell : CellsOf(2))
        if (cell.first >= 10 && cell.first < 15 && cell.second >= 10 && cell.second < 15) inRoom.insert(cell);
    EXPECT_EQ(inRoom, walls);
    EXPECT_EQ(Cell(12, 12).room, -2);
    EXPECT_EQ(Cell(12, 11).room, -2);
    EXPECT_EQ(Cell(11, 11).room, -1);

    // Drawn for real on bigger rooms, from every start corner: every open cell of the maze is reached
    // from the border ring.
    for (std::uint32_t seed = 1; seed <= 24; ++seed) {
        SetUp();
        game->random.noRandom = false;
        game->random.SetSeed(seed);
        const int w = 5 + 2 * int(seed % 5), h = 5 + 2 * int(seed % 4);
        MakeRoom(10, 10, w, h);
        gen->BuildDugMaze(game->map, 0, 0, game->random);
        std::set<std::pair<int, int>> seen;
        std::vector<std::pair<int, int>> pending = {{10, 10}};
        while (!pending.empty()) {
            const auto [x, y] = pending.back();
            pending.pop_back();
            if (x < 10 || y < 10 || x >= 10 + w || y >= 10 + h || Cell(x, y).terrain < 5) continue;
            if (!seen.insert({x, y}).second) continue;
            pending.insert(pending.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
        }
        EXPECT_EQ(seen.size(), std::size_t(w * h) - CellsOf(2).size() + (54 * 36 - std::size_t(w * h)))
            << seed << ": " << w << "x" << h;
    }
}

// Without draws every stick tries up first, and the cell above each stick is open: the bottom row of
// sticks is scanned first, then the row above it.
TEST_F(RoomFeatureTest, StickMazeWithoutDrawsScansRowsFromTheBottom)
{
    MakeRoom(10, 10, 7, 5);
    gen->BuildStickMaze(game->map, 0, 0, game->random);
    std::set<std::pair<int, int>> inRoom;
    for (const auto& c : CellsOf(2))
        if (c.first >= 10 && c.first < 17 && c.second >= 10 && c.second < 15) inRoom.insert(c);
    const std::set<std::pair<int, int>> expected = {{11, 11}, {13, 11}, {15, 11}, {11, 10},
                                                    {13, 10}, {15, 10}, {11, 13}, {13, 13},
                                                    {15, 13}, {11, 12}, {13, 12}, {15, 12}};
    EXPECT_EQ(inRoom, expected);
    EXPECT_EQ(gen->Room(0, 0).mark, 0); // the builders leave the mark to MakeMazeRoom
}

TEST_F(RoomFeatureTest, MazeWallsSpareDoorsAndTurnToWaterOnFloodedFloors)
{
    struct SCase
    {
        int waterLevel;
        int wallTerrain;
    };
    for (const SCase c : {SCase{0, 2}, SCase{2, 4}}) {
        SetUp();
        DungeonGen::SSection& room = MakeRoom(10, 10, 5, 5);
        room.mark = 0;
        room.points[0] = {12, 12}; // the four walls around it stay open
        gen->waterLevel = c.waterLevel;
        gen->BuildDugMaze(game->map, 0, 0, game->random);
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{12, 11}, {11, 12}, {13, 12}, {12, 13}})
            EXPECT_GE(Cell(x, y).terrain, 5) << x << "," << y;
        EXPECT_EQ(Cell(11, 11).terrain, c.wallTerrain);
    }
}

} // namespace
