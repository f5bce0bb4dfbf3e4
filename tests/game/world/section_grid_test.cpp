#include "game/world/dungeon_gen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

namespace {

using Entries = std::array<std::uint8_t, 4>;

class SectionGridTest : public ::testing::Test
{
protected:
    // A grid of `columns` x `rows` sections of the given states, listed row by row.
    void Plan(int columns, int rows, std::vector<int> states)
    {
        gen->Reset();
        gen->SetRoomGrid(54, 36, columns, rows);
        gen->columns = columns;
        gen->rows = rows;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                gen->Section(c, r).state = states[std::size_t(r * columns + c)];
        gen->stairs = {0, 0};
    }
    std::vector<int> States()
    {
        std::vector<int> states;
        for (int r = 0; r < gen->rows; ++r)
            for (int c = 0; c < gen->columns; ++c)
                states.push_back(gen->Section(c, r).state);
        return states;
    }
    int Rooms()
    {
        const std::vector<int> states = States();
        return int(std::count(states.begin(), states.end(), DungeonGen::kSectionRoom));
    }

    std::unique_ptr<DungeonGen> gen = std::make_unique<DungeonGen>();
    Math::CRand rand;
};

constexpr int U = DungeonGen::kSectionUnused;
constexpr int F = DungeonGen::kSectionFree;
constexpr int R = DungeonGen::kSectionRoom;
constexpr int J = DungeonGen::kSectionJunction;
constexpr int C = DungeonGen::kSectionClosedRoom;

TEST_F(SectionGridTest, EqualGridReplacesCountsAndSizesOutOfRange)
{
    struct SCase
    {
        int columns, rows, width, height;
        int columnsSet, rowsSet, x0, y0, w, h;
    };
    const SCase cases[] = {{7, 3, 40, 30, 4, 3, 7, 3, 10, 10},
                           {0, 5, 0, 36, 4, 3, 0, 0, 13, 12},
                           {6, 4, 54, 36, 6, 4, 0, 0, 9, 9},
                           {2, 2, 60, 37, 2, 2, 0, 0, 27, 18}};
    for (const SCase& c : cases) {
        auto grid = std::make_unique<DungeonGen>();
        grid->SetRoomGrid(c.width, c.height, c.columns, c.rows);
        EXPECT_EQ(std::pair(grid->columns, grid->rows), std::pair(c.columnsSet, c.rowsSet)) << c.columns;
        const DungeonGen::SSection& last = grid->Section(c.columnsSet - 1, c.rowsSet - 1);
        EXPECT_EQ(last.state, DungeonGen::kSectionFree);
        EXPECT_EQ(std::tuple(last.x, last.y, last.w, last.h),
                  std::tuple(c.x0 + (c.columnsSet - 1) * c.w, c.y0 + (c.rowsSet - 1) * c.h, c.w, c.h))
            << c.columns;
    }
}

TEST_F(SectionGridTest, RemainderGridGivesTheLastColumnAndRowTheRest)
{
    ASSERT_TRUE(gen->TryRoomGridWithRemainder(4, 3, 40, 30));
    EXPECT_EQ(std::pair(gen->columns, gen->rows), std::pair(4, 3));
    const int xs[][2] = {{7, 11}, {18, 11}, {29, 11}, {40, 7}};
    const int ys[][2] = {{3, 11}, {14, 11}, {25, 8}};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 3; ++r) {
            const DungeonGen::SSection& s = gen->Section(c, r);
            EXPECT_EQ(std::tuple(s.state, s.x, s.w, s.y, s.h),
                      std::tuple(F, xs[c][0], xs[c][1], ys[r][0], ys[r][1]))
                << c << "," << r;
        }
    }
}

TEST_F(SectionGridTest, RemainderGridRefusesWithoutChangingAnything)
{
    // A last column of 5, a last row of -1, counts and sizes that cannot be divided.
    const int cases[][4] = {{6, 3, 40, 30}, {4, 4, 40, 20}, {0, 3, 40, 30}, {4, 0, 40, 30}, {4, 3, 0, 30}};
    for (const auto& c : cases) {
        auto grid = std::make_unique<DungeonGen>();
        grid->columns = 2;
        grid->Section(0, 0).x = 99;
        EXPECT_FALSE(grid->TryRoomGridWithRemainder(c[0], c[1], c[2], c[3])) << c[0] << " " << c[1];
        EXPECT_EQ(std::tuple(grid->columns, grid->rows, grid->Section(0, 0).x, grid->Section(0, 0).state),
                  std::tuple(2, 0, 99, U));
    }
}

TEST_F(SectionGridTest, DefaultGridOfTheFirstDungeonWithoutDraws)
{
    rand.noRandom = true;
    gen->SetDefaultRoomGrid(1, 1, rand);
    EXPECT_EQ(std::pair(gen->columns, gen->rows), std::pair(3, 3));
    const int xs[][2] = {{6, 16}, {22, 16}, {38, 10}};
    const int ys[][2] = {{3, 11}, {14, 11}, {25, 8}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::pair(gen->Section(i, 0).x, gen->Section(i, 0).w), std::pair(xs[i][0], xs[i][1]));
        EXPECT_EQ(std::pair(gen->Section(0, i).y, gen->Section(0, i).h), std::pair(ys[i][0], ys[i][1]));
    }
}

TEST_F(SectionGridTest, RoomCountsAndTheShop)
{
    struct SCase
    {
        int columns, rows;
        bool noRandom;
        int rooms;
        std::uint8_t shop;
    };
    // A single section is the stairs room; without draws only section (0, 0) is ever hit; a shop needs
    // five rooms.
    const SCase cases[] = {
        {1, 1, false, 1, 0}, {3, 3, true, 1, 0}, {2, 2, false, 3, 0}, {4, 4, false, -1, 1}};
    for (const SCase& c : cases) {
        Plan(c.columns, c.rows, std::vector<int>(std::size_t(c.columns * c.rows), F));
        gen->shop = 1;
        gen->stairs = {-1, -1};
        rand.SetSeed(7);
        rand.noRandom = c.noRandom;
        gen->ChooseRoomSections(1, 5, rand);
        if (c.rooms >= 0) {
            EXPECT_EQ(Rooms(), c.rooms) << c.columns << "x" << c.rows;
        } else {
            EXPECT_GE(Rooms(), 8);
        }
        EXPECT_EQ(gen->shop, c.shop) << c.columns << "x" << c.rows;
        EXPECT_EQ(gen->Section(gen->stairs.x, gen->stairs.y).state, R);
        if (c.noRandom) {
            EXPECT_EQ(gen->stairs, (SCellPosition{0, 0}));
        }
    }
}

TEST_F(SectionGridTest, RoomChoiceEndsWhenNoFreeSectionIsLeft)
{
    // Four rooms wanted, one free section: the draws stop once it is taken.
    Plan(3, 3, {U, U, U, U, F, U, U, U, U});
    rand.SetSeed(3);
    gen->ChooseRoomSections(1, 5, rand);
    EXPECT_EQ(States(), (std::vector<int>{U, U, U, U, R, U, U, U, U}));
    EXPECT_EQ(gen->stairs, (SCellPosition{1, 1}));

    // No free section at all: the room count's draw, and no section drawn.
    Plan(2, 2, {U, U, U, U});
    rand.SetSeed(3);
    Math::CRand expected = rand;
    gen->ChooseRoomSections(1, 5, rand);
    expected.Get();
    EXPECT_EQ(rand.Get(), expected.Get());
    EXPECT_EQ(Rooms(), 0);
}

TEST_F(SectionGridTest, ChannelRooms)
{
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        // Sections 9 wide and 12 high: a vertical channel fits; the second channel never beside the first.
        Plan(6, 3, std::vector<int>(18, F));
        gen->channels[0] = {1, -1, -1, 1};
        gen->channels[1] = {1, -1, -1, 0};
        rand.SetSeed(seed);
        gen->ChooseRoomSections(1, 5, rand);
        const DungeonGen::SChannel& first = gen->channels[0];
        const DungeonGen::SChannel& second = gen->channels[1];
        ASSERT_EQ(first.flag, 1) << seed;
        EXPECT_EQ(gen->Section(first.column, first.row).state, R);
        EXPECT_NE((SCellPosition{first.column, first.row}), gen->stairs);
        if (second.flag != 0) {
            EXPECT_EQ(gen->Section(second.column, second.row).state, R);
            EXPECT_GT(std::abs(second.column - first.column) + std::abs(second.row - first.row), 1) << seed;
        } else {
            EXPECT_EQ(second.column, -1);
        }

        // Sections 6 wide: no vertical channel fits, so the flags are cleared.
        gen->Reset();
        gen->SetRoomGrid(36, 36, 6, 3);
        gen->channels[0] = {1, -1, -1, 1};
        gen->channels[1] = {1, -1, -1, 1};
        rand.SetSeed(seed);
        gen->ChooseRoomSections(1, 5, rand);
        EXPECT_EQ(gen->channels[0].flag + gen->channels[1].flag, 0) << seed;
    }
}

TEST_F(SectionGridTest, MergingWithoutDraws)
{
    Plan(2, 2, {R, R, R, R});
    rand.noRandom = true;
    gen->MergeRoomSections(128, rand);
    // (0,0) down to (0,1); (1,0) left to (0,0); (0,1) right to (1,1).
    EXPECT_EQ(gen->Section(0, 0).links, DungeonGen::kLinkDown | DungeonGen::kLinkRight);
    EXPECT_EQ(gen->Section(1, 0).links, DungeonGen::kLinkLeft);
    EXPECT_EQ(gen->Section(0, 1).links, DungeonGen::kLinkUp | DungeonGen::kLinkRight);
    EXPECT_EQ(gen->Section(1, 1).links, DungeonGen::kLinkLeft);
    SSectionSearch search;
    EXPECT_EQ(gen->CountSectionGroup(search, 1, 1), 4);

    // A channel room never merges.
    Plan(2, 2, {R, R, R, R});
    gen->channels[0] = {1, 0, 0, 1};
    gen->MergeRoomSections(128, rand);
    EXPECT_EQ(gen->Section(0, 0).links, 0);
    EXPECT_EQ(gen->Section(1, 0).links, DungeonGen::kLinkDown);
    EXPECT_EQ(gen->Section(1, 1).links, DungeonGen::kLinkUp | DungeonGen::kLinkLeft);
}

TEST_F(SectionGridTest, MergedGroupsStayWithinTheLargestSize)
{
    const int cases[][2] = {{0, 2}, {64, 3}, {128, 4}};
    for (const auto& c : cases) {
        for (std::uint32_t seed = 1; seed <= 10; ++seed) {
            Plan(5, 4, std::vector<int>(20, R));
            rand.SetSeed(seed);
            gen->MergeRoomSections(c[0], rand);
            SSectionSearch search;
            for (int col = 0; col < 5; ++col)
                for (int row = 0; row < 4; ++row)
                    ASSERT_LE(gen->CountSectionGroup(search, col, row), c[1]) << c[0] << " seed " << seed;
        }
    }
}

TEST_F(SectionGridTest, FourRoomsMergedIntoASquareMakeABlock)
{
    Plan(3, 2, {R, R, R, R, R, R});
    gen->Section(0, 0).links = DungeonGen::kLinkDown | DungeonGen::kLinkRight;
    gen->Section(1, 0).links = DungeonGen::kLinkLeft | DungeonGen::kLinkDown;
    gen->Section(0, 1).links = DungeonGen::kLinkUp | DungeonGen::kLinkRight;
    gen->Section(1, 1).links = DungeonGen::kLinkUp | DungeonGen::kLinkLeft;
    rand.noRandom = true;
    gen->MergeRoomSections(0, rand);
    for (auto [c, r] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}})
        EXPECT_NE(gen->Section(c, r).links & DungeonGen::kLinkBlock, 0) << c << "," << r;
    EXPECT_EQ(gen->Section(2, 0).links & DungeonGen::kLinkBlock, 0);
}

TEST_F(SectionGridTest, AddingConnections)
{
    struct SCase
    {
        int columns, rows;
        std::vector<int> states;
        DungeonGen::SChannel channel;
        std::uint8_t links00; // merge links of (0, 0) and its right neighbour
        int tries;
        std::vector<Entries> lists; // row by row
        std::vector<int> statesAfter;
    };
    const SCase cases[] = {
        // Free sections take corridors and become junctions.
        {2, 2, {F, F, F, F}, {}, 0, 1, {{8}, {4}, {8}, {}}, {J, J, J, J}},
        // Merged neighbours need no corridor.
        {2, 1, {R, R}, {}, DungeonGen::kLinkRight, 1, {{}, {}}, {R, R}},
        // A vertical channel room takes two corridors down, first to its far bank, then to the other.
        {1, 2, {R, R}, {1, 0, 0, 1}, 0, 3, {{20, 4}, {}}, {R, R}},
        // A horizontal one two to the right.
        {2, 1, {R, R}, {1, 0, 0, 0}, 0, 3, {{24, 8}, {}}, {R, R}},
        // A corridor into a channel room chooses its bank too.
        {2, 1, {R, R}, {1, 1, 0, 1}, 0, 2, {{24}, {}}, {R, R}},
    };
    rand.noRandom = true;
    for (const SCase& c : cases) {
        Plan(c.columns, c.rows, c.states);
        gen->channels[0] = c.channel;
        if (c.links00 != 0) {
            gen->Section(0, 0).links = c.links00;
            gen->Section(1, 0).links = DungeonGen::kLinkLeft;
        }
        for (int i = 0; i < c.tries; ++i)
            gen->AddSectionConnections(1, 2, rand);
        std::vector<Entries> lists;
        for (int r = 0; r < c.rows; ++r)
            for (int col = 0; col < c.columns; ++col)
                lists.push_back(gen->Section(col, r).connections);
        EXPECT_EQ(lists, c.lists) << c.columns << "x" << c.rows;
        EXPECT_EQ(States(), c.statesAfter);
    }
}

// The corridor chance against real draws: 160 - D (D = 18 on dungeon 2 floor 10) out of 256, half of it
// out of a corridor junction; the draw is the section's first. The seeds reach the draws on both sides of
// each threshold's edge, so a threshold one off shows.
TEST_F(SectionGridTest, ConnectionChanceAgainstRealDraws)
{
    const int cases[][2] = {{R, 142}, {J, 71}};
    for (const auto& c : cases) {
        int taken = 0;
        std::set<int> edges;
        for (std::uint32_t seed = 1; seed <= 2000; ++seed) {
            Plan(2, 1, {c[0], R});
            rand.SetSeed(seed);
            Math::CRand peek = rand;
            const int draw = int(peek.Get() & 255);
            const bool below = draw < c[1];
            if (draw == c[1] - 1 || draw == c[1]) edges.insert(draw);
            gen->AddSectionConnections(10, 2, rand);
            EXPECT_EQ(gen->Section(0, 0).connections[0], below ? DungeonGen::kConnectRight : 0)
                << "state " << c[0] << " seed " << seed;
            taken += below ? 1 : 0;
        }
        EXPECT_GT(taken, 0);
        EXPECT_LT(taken, 2000);
        EXPECT_EQ(edges, (std::set<int>{c[1] - 1, c[1]})) << "state " << c[0];
    }
}

TEST_F(SectionGridTest, ChannelBanksMustBothBeReached)
{
    // (1, 0) is split by a vertical channel; the stairs room reaches its near bank from the left.
    Plan(2, 2, {R, R, R, R});
    gen->channels[0] = {1, 1, 0, 1};
    gen->Section(0, 0).connections = {8, 4};
    gen->Section(0, 1).connections = {8};
    gen->Section(1, 0).connections = {4}; // down to (1, 1) from the near bank
    EXPECT_FALSE(gen->CheckConnections(false));
    gen->Section(1, 0).connections = {4 | 16}; // from the far bank
    EXPECT_TRUE(gen->CheckConnections(false));

    // The walk never crosses the channel: a room beyond the far side is not reached from the near bank.
    Plan(3, 1, {R, R, R});
    gen->channels[0] = {1, 1, 0, 1};
    gen->Section(0, 0).connections = {8};
    gen->Section(1, 0).connections = {8};
    EXPECT_FALSE(gen->CheckConnections(true));
}

TEST_F(SectionGridTest, UnreachedRoomsAndJunctions)
{
    // The moat lets one room go unreached, and that room is closed.
    Plan(3, 1, {R, R, R});
    gen->Section(0, 0).connections = {8};
    EXPECT_FALSE(gen->CheckConnections(false));
    gen->moat = 1;
    EXPECT_TRUE(gen->CheckConnections(false));
    EXPECT_EQ(States(), (std::vector<int>{R, R, C}));

    // An unreached junction fails the check; forcing frees it and clears its corridors.
    Plan(3, 2, {R, R, F, J, J, F});
    gen->Section(0, 0).connections = {8};
    gen->Section(0, 1).connections = {8};
    EXPECT_FALSE(gen->CheckConnections(false));
    EXPECT_EQ(States(), (std::vector<int>{R, R, F, J, J, F}));
    EXPECT_TRUE(gen->CheckConnections(true));
    EXPECT_EQ(States(), (std::vector<int>{R, R, F, F, F, F}));
    EXPECT_EQ(gen->Section(0, 1).connections, (Entries{}));

    // Forcing never excuses an unreached room.
    Plan(2, 1, {R, R});
    gen->moat = 0;
    EXPECT_FALSE(gen->CheckConnections(true));
}

} // namespace
