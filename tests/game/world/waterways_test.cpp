#include "game/world/one_room_field.h"

#include <gtest/gtest.h>

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

TEST_F(WaterwayTest, StairsGoOnTheRoomsFirstFloorCellAndTheHeroineOnFloor)
{
    ASSERT_TRUE(Check());
    EXPECT_EQ(gen->stairs, (SCellPosition{10, 8}));
    EXPECT_EQ(Cell(10, 8).objectKind, kObjectStairs);
    const auto& player = game->characters.GetPlayer();
    EXPECT_GE(Cell(player.x - 5, player.y - 4).terrain, 5);
}

// Only the moat island may go unreached; any other cut-off floor fails the floor and is drowned.
TEST_F(WaterwayTest, OnlyTheMoatIslandMayGoUnreached)
{
    struct SCase
    {
        bool island;
        bool passes;
    };
    for (const SCase c : {SCase{true, true}, SCase{false, false}}) {
        SetUp();
        FillFieldRect(game->map, 30, 20, 3, 3, 5, true, 1); // a walled-off 3 x 3
        gen->moat = c.island ? 1 : 0;
        gen->moatCell = c.island ? SCellPosition{30, 20} : SCellPosition{-1, -1};
        EXPECT_EQ(Check(), c.passes) << c.island;
        if (!c.passes) {
            EXPECT_EQ(Cell(31, 21).terrain, 4);
        }
        if (c.passes) {
            // The heroine is never put on the island, which nothing reaches.
            const auto& player = game->characters.GetPlayer();
            EXPECT_FALSE(player.x - 5 >= 30 && player.x - 5 < 33 && player.y - 4 >= 20 && player.y - 4 < 23);
        }
    }
}

// What the floor's flags make of its water at the check.
// Drawn for real: the island's cells are never among the heroine's candidates.
TEST_F(WaterwayTest, HeroineNeverStartsOnTheMoatIsland)
{
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
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
    }
}

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
