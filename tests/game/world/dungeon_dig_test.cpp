#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

namespace {

class DungeonDigTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gen->step = 0;
        gen->RunStep(*game, 1, 1); // the field walled in
    }
    SMapCell& Cell(int x, int y) { return game->map.GetFieldCell(std::uint32_t(x), std::uint32_t(y)); }
    int CountTerrain(std::uint8_t terrain)
    {
        int n = 0;
        for (int x = 0; x < DungeonGen::kWindowWidth; ++x)
            for (int y = 0; y < DungeonGen::kWindowHeight; ++y)
                n += Cell(x, y).terrain == terrain ? 1 : 0;
        return n;
    }
    // The floor cells (terrain 5 and up) reached from (x, y) side by side.
    std::set<std::pair<int, int>> Reach(int x, int y)
    {
        std::set<std::pair<int, int>> seen;
        std::vector<std::pair<int, int>> pending = {{x, y}};
        while (!pending.empty()) {
            const auto [cx, cy] = pending.back();
            pending.pop_back();
            if (cx < 0 || cy < 0 || cx >= DungeonGen::kWindowWidth || cy >= DungeonGen::kWindowHeight)
                continue;
            if (Cell(cx, cy).terrain < 5 || !seen.insert({cx, cy}).second) continue;
            pending.insert(pending.end(), {{cx + 1, cy}, {cx - 1, cy}, {cx, cy + 1}, {cx, cy - 1}});
        }
        return seen;
    }
    // Whether the generator drew exactly `draws` values since `before`.
    static bool DrewExactly(Math::CRand before, const Math::CRand& after, int draws)
    {
        for (int i = 0; i < draws; ++i)
            before.Get();
        Math::CRand a = before;
        Math::CRand b = after;
        return a.Get() == b.Get();
    }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
    std::unique_ptr<DungeonGen> gen = std::make_unique<DungeonGen>();
};

TEST_F(DungeonDigTest, FillWithoutOverwriteChangesOnlyWalls)
{
    Cell(0, 0).terrain = 5;
    Cell(1, 0).terrain = 4;
    Cell(0, 0).room = 7;
    FillFieldRect(game->map, 0, 0, 3, 1, 6, false, 3);
    EXPECT_EQ(Cell(0, 0).terrain, 5);
    EXPECT_EQ(Cell(0, 0).room, 7);
    EXPECT_EQ(Cell(1, 0).terrain, 4);
    EXPECT_EQ(Cell(2, 0).terrain, 6);
    EXPECT_EQ(Cell(2, 0).room, 3);
    FillFieldRect(game->map, 0, 0, 2, 1, 6, true, -1);
    EXPECT_EQ(Cell(0, 0).terrain, 6);
    EXPECT_EQ(Cell(0, 0).room, 7); // no room given: the number stays
}

TEST_F(DungeonDigTest, ClosedRoomIsThreeByThreeAndMarksTheTreasureSpot)
{
    gen->SetRoomGrid(54, 36, 2, 2);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r)
            gen->Section(c, r).state = DungeonGen::kSectionUnused;
    gen->Section(1, 1).state = DungeonGen::kSectionClosedRoom;
    gen->DigRooms(game->map, game->random);
    EXPECT_EQ(CountTerrain(5), 9);
    const DungeonGen::SSection& room = gen->Room(1, 1);
    EXPECT_EQ(std::tuple(room.w, room.h), std::tuple(3, 3));
    EXPECT_EQ(gen->closedRoom, 1);
    EXPECT_EQ(gen->treasureSpot, (SCellPosition{room.x, room.y}));
    EXPECT_EQ(Cell(room.x + 1, room.y + 1).room, 3); // row 1 x 2 columns + column 1
}

TEST_F(DungeonDigTest, BlockOfFourRoomsIsOneRoomWithItsCorner)
{
    game->random.noRandom = true;
    gen->SetRoomGrid(54, 36, 2, 2);
    const std::uint8_t links[2][2] = {{28, 25}, {22, 19}}; // [column][row]
    for (int c = 0; c < 2; ++c) {
        for (int r = 0; r < 2; ++r) {
            gen->Section(c, r).state = DungeonGen::kSectionRoom;
            gen->Section(c, r).links = links[c][r];
        }
    }
    gen->DigRooms(game->map, game->random);
    const DungeonGen::SSection& first = gen->Room(0, 0);
    for (int c = 0; c < 2; ++c) {
        for (int r = 0; r < 2; ++r) {
            const DungeonGen::SSection& room = gen->Room(c, r);
            EXPECT_EQ(room.RoomNumber(), 0);
            EXPECT_EQ(std::tuple(room.x, room.y, room.w, room.h),
                      std::tuple(first.x, first.y, first.w, first.h));
        }
    }
    const DungeonGen::SSection& s = gen->Section(0, 0);
    for (int dx = -2; dx <= 0; ++dx)
        for (int dy = -2; dy <= 0; ++dy)
            EXPECT_EQ(Cell(s.x + s.w + dx, s.y + s.h + dy).terrain, 5) << dx << "," << dy;
    std::set<int> numbers;
    for (int x = 0; x < 54; ++x)
        for (int y = 0; y < 36; ++y)
            if (Cell(x, y).terrain == 5) numbers.insert(Cell(x, y).room);
    EXPECT_EQ(numbers, std::set<int>{0});
    EXPECT_EQ(static_cast<int>(Reach(first.x, first.y).size()), CountTerrain(5));
}

TEST_F(DungeonDigTest, RoomsThatFillTheirSectionAndJunctionsTooSmallDrawNoOffset)
{
    // A 3 x 3 room section: only the two size draws; a 5 x 5 junction: no draw, its middle cell.
    gen->SetRoomGrid(54, 36, 1, 1);
    DungeonGen::SSection& s = gen->Section(0, 0);
    s = DungeonGen::SSection{};
    s.state = DungeonGen::kSectionRoom;
    s.x = 10;
    s.y = 10;
    s.w = 3;
    s.h = 3;
    Math::CRand before = game->random;
    gen->DigRooms(game->map, game->random);
    EXPECT_TRUE(DrewExactly(before, game->random, 2));
    EXPECT_EQ(std::tuple(gen->Room(0, 0).x, gen->Room(0, 0).y), std::tuple(10, 10));

    s.state = DungeonGen::kSectionJunction;
    s.w = 5;
    s.h = 5;
    before = game->random;
    gen->ConnectSections(game->map, game->random);
    EXPECT_TRUE(DrewExactly(before, game->random, 0));
    EXPECT_EQ(Cell(12, 12).terrain, 6);
    EXPECT_EQ(std::tuple(gen->Room(0, 0).x, gen->Room(0, 0).y), std::tuple(12, 12));
}

// A room's size against real draws: width first (section width - 6 + a draw modulo 9), then height
// (section height - 4 + a draw modulo 7), each cut to the section.
TEST_F(DungeonDigTest, RoomSizeDrawsWidthThenHeight)
{
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        SetUp();
        gen->SetRoomGrid(30, 20, 1, 1);
        gen->Section(0, 0).state = DungeonGen::kSectionRoom;
        game->random.SetSeed(seed);
        Math::CRand peek = game->random;
        const int w = std::min<int>(24 + int(peek.Get() % 9), 30);
        const int h = std::min<int>(16 + int(peek.Get() % 7), 20);
        gen->DigRooms(game->map, game->random);
        EXPECT_EQ(std::tuple(gen->Room(0, 0).w, gen->Room(0, 0).h), std::tuple(w, h)) << seed;
    }
}

// The generator's walls and waterways bend on the k-th cell of their first line (k = 2 without draws),
// a corridor one cell further on.
TEST_F(DungeonDigTest, BentLinesBendOnTheLastCellOfTheirFirstLeg)
{
    struct SCase
    {
        bool vertical;
        int x1, y1, x2, y2;
        std::vector<std::pair<int, int>> on, off;
    };
    const SCase cases[] = {
        {true, 10, 10, 15, 20, {{10, 10}, {10, 11}, {13, 11}, {15, 11}, {15, 20}}, {{10, 12}, {15, 10}}},
        {false, 10, 10, 20, 15, {{11, 10}, {11, 13}, {11, 15}, {20, 15}}, {{12, 10}, {10, 11}}},
        // Backwards, a river to the top edge: the same shape from its start.
        {true, 10, 20, 15, 10, {{10, 20}, {10, 19}, {15, 19}, {15, 10}}, {{10, 18}, {15, 20}}},
    };
    game->random.noRandom = true;
    for (const SCase& c : cases) {
        SetUp();
        LayBentLine(game->map, c.vertical, c.x1, c.y1, c.x2, c.y2, 4, false, game->random);
        for (const auto& [x, y] : c.on)
            EXPECT_EQ(Cell(x, y).terrain, 4) << c.x2 << "," << c.y2 << ": " << x << "," << y;
        for (const auto& [x, y] : c.off)
            EXPECT_EQ(Cell(x, y).terrain, 2) << c.x2 << "," << c.y2 << ": " << x << "," << y;
    }
}

TEST_F(DungeonDigTest, BentCorridorBendsTwoCellsOutOnShortRuns)
{
    struct SCase
    {
        int x2, y2;
        std::uint8_t flags;
        int draws;
        std::vector<std::pair<int, int>> cells; // cells that must be corridor
    };
    const SCase cases[] = {
        // Horizontal first over a run of 3: the bend at x 12, past nothing drawn.
        {13, 15, 8, 0, {{10, 10}, {12, 10}, {12, 13}, {12, 15}, {13, 15}}},
        // A run of exactly 4: the bend at 2, no draw.
        {14, 15, 8, 0, {{12, 10}, {12, 15}, {14, 15}}},
        // Vertical first over a run of 2: the bend at y 12.
        {15, 12, 4, 0, {{10, 11}, {10, 12}, {15, 12}}},
        // A run of 9 draws the bend.
        {19, 15, 8, 1, {{10, 10}, {19, 15}}},
    };
    for (const SCase& c : cases) {
        SetUp();
        const Math::CRand before = game->random;
        LayBentCorridor(game->map, c.flags, 10, 10, c.x2, c.y2, 6, false, game->random);
        EXPECT_TRUE(DrewExactly(before, game->random, c.draws)) << c.x2;
        for (const auto& [x, y] : c.cells)
            EXPECT_EQ(Cell(x, y).terrain, 6) << c.x2 << ": " << x << "," << y;
        EXPECT_EQ(Reach(10, 10).count({c.x2, c.y2}), 1u) << c.x2;
    }
}

TEST_F(DungeonDigTest, FloorPatches)
{
    struct SCase
    {
        std::uint8_t before;
        int count;
        std::array<int, 4> bounds;
        bool with; // PaintFloorPatchWith into 8
        std::uint8_t after;
    };
    const SCase cases[] = {
        {5, 0, {0, 0, 54, 36}, false, 5},   // count 0: nothing
        {5, 5, {20, 20, 21, 21}, false, 7}, // a single cell: that cell
        {11, 5, {20, 20, 21, 21}, false, 13}, {9, 5, {20, 20, 21, 21}, false, 9},
        {5, 5, {20, 20, 21, 21}, true, 8},    {11, 5, {20, 20, 21, 21}, true, 11},
    };
    for (const SCase& c : cases) {
        SetUp();
        for (int x = 19; x <= 21; ++x)
            for (int y = 19; y <= 21; ++y)
                Cell(x, y).terrain = c.before;
        if (c.with)
            PaintFloorPatchWith(game->map, c.bounds, 20, 20, c.count, 8, game->random);
        else
            PaintFloorPatch(game->map, c.bounds, 20, 20, c.count, game->random);
        EXPECT_EQ(Cell(20, 20).terrain, c.after) << int(c.before) << " " << c.count;
        EXPECT_EQ(Cell(21, 20).terrain, c.before); // nothing outside the bounds or beyond the count
        EXPECT_EQ(Cell(19, 19).terrain, c.before);
    }
    // A walk ends once no cell inside its bounds is left to change: none there, no draw; a 3 x 3 of
    // floor asked for 20 turns its nine cells and stops well before its 1024 steps.
    const struct
    {
        std::uint8_t fill;
        int draws;
        bool allTurned;
    } spent[] = {{10, 0, false}, {5, -1, true}};
    for (const auto& c : spent) {
        SetUp();
        FillFieldRect(game->map, 20, 20, 3, 3, c.fill, true, 0);
        game->random.SetSeed(5);
        Math::CRand before = game->random;
        PaintFloorPatch(game->map, {20, 20, 23, 23}, 21, 21, 20, game->random);
        int draws = 0;
        for (; draws < 1100 && !DrewExactly(before, game->random, 0); ++draws)
            before.Get();
        if (c.draws >= 0) {
            EXPECT_EQ(draws, c.draws) << int(c.fill);
        } else {
            EXPECT_LT(draws, 1000) << int(c.fill);
        }
        EXPECT_EQ(CountTerrain(7), c.allTurned ? 9 : 0) << int(c.fill);
    }

    // A wide walk turns no more cells than its count.
    SetUp();
    FillFieldRect(game->map, 0, 0, 54, 36, 5, true, 0);
    PaintFloorPatch(game->map, {0, 0, 54, 36}, 27, 18, 12, game->random);
    EXPECT_LE(CountTerrain(7), 12);
    EXPECT_GE(CountTerrain(7), 1);
}

TEST_F(DungeonDigTest, CorridorsJoinTheRoomsAndRecordTheirDoors)
{
    struct SCase
    {
        int columns, rows;
        std::uint8_t entry;
        int junctionColumn; // -1 none
    };
    const SCase cases[] = {{2, 1, 8, -1}, {1, 2, 4, -1}, {2, 1, 8, 1}, {3, 1, 8, 1}};
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        for (const SCase& c : cases) {
            SetUp();
            game->random.SetSeed(seed);
            gen->SetRoomGrid(54, 36, c.columns, c.rows);
            for (int i = 0; i < c.columns * c.rows; ++i) {
                DungeonGen::SSection& s = gen->Section(c.rows == 1 ? i : 0, c.rows == 1 ? 0 : i);
                s.state = i == c.junctionColumn ? DungeonGen::kSectionJunction : DungeonGen::kSectionRoom;
                if (i + 1 < c.columns * c.rows) s.connections[0] = c.entry;
            }
            gen->DigRooms(game->map, game->random);
            gen->ConnectSections(game->map, game->random);
            const DungeonGen::SSection& first = gen->Room(0, 0);
            const auto reached = Reach(first.x, first.y);
            const int lastColumn = c.rows == 1 ? c.columns - 1 : 0;
            const int lastRow = c.rows == 1 ? 0 : c.rows - 1;
            const DungeonGen::SSection& last = gen->Room(lastColumn, lastRow);
            EXPECT_EQ(reached.count({last.x, last.y}), 1u) << seed << " " << c.columns << "x" << c.rows;
            EXPECT_NE(first.points[0], (SCellPosition{-1, -1}));
            EXPECT_EQ(Cell(first.points[0].x, first.points[0].y).terrain, 6);
        }
    }
}

} // namespace
