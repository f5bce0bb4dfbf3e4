#include "game/scenes/map_test_scene.h"

#include "game/app/game_resource.h"
#include "game/support/game_with_kinds.h"
#include "game/ui/drawing_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <tuple>
#include <utility>

namespace {

constexpr std::uint32_t Bit(int n)
{
    return 1u << n;
}
constexpr std::uint32_t kUp = Bit(8), kLeft = Bit(9), kDown = Bit(10), kRight = Bit(11);
constexpr std::uint32_t kCancel = Bit(1);

class MapTestSceneTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        game = MakeTestGame();
        game->dungeon = 1;
        game->floor = 3;
        scene = std::make_unique<CSceneTest2>(nullptr, game.get());
        CSceneTest2::StepDelay() = 0;
    }
    void TearDown() override
    {
        scene.reset();
        game.reset();
        DrawingTest::TearDown();
    }

    void Press(std::uint32_t keys) { scene->OnMove(&keys); }
    // Cells from (x0, y0) to (x1, y1) of one terrain, without objects.
    void Paint(int x0, int y0, int x1, int y1, std::uint8_t terrain)
    {
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y) {
                SMapCell& cell = Cell(x, y);
                cell.terrain = terrain;
                cell.objectKind = 0;
                cell.objectId = 0;
            }
    }
    SMapCell& Cell(int x, int y) { return game->map.GetCell(std::uint32_t(x), std::uint32_t(y)); }
    void PutMarker(int x, int y)
    {
        game->characters.player.x = x;
        game->characters.player.y = y;
    }
    std::pair<int, int> Marker() const { return {game->characters.player.x, game->characters.player.y}; }

    std::unique_ptr<SGameResource> game;
    std::unique_ptr<CSceneTest2> scene;
};

TEST_F(MapTestSceneTest, TheFloorOfSeed101IsBuiltExploredAndLit)
{
    EXPECT_EQ(game->seed, CSceneTest2::kFloorSeed);
    EXPECT_EQ(std::tuple(game->map.dungeon, game->map.floor), std::tuple(1, 3));
    EXPECT_EQ(game->map.displayFlag, 1);
    EXPECT_EQ(std::tuple(game->map.revealed, game->map.revealedWithoutDarkness), std::tuple(1, 1));
    for (int x = 4; x <= 59; ++x)
        for (int y = 3; y <= 40; ++y)
            ASSERT_EQ(Cell(x, y).explored, 1) << x << ", " << y;
    EXPECT_GE(Cell(Marker().first, Marker().second).terrain, CSceneTest2::kFirstWalkableTerrain);
    EXPECT_EQ(scene->GetMinimapMode(), 0);

    // The game state as the program starts it, before any adventure: dungeon 0, floor 1.
    auto fresh = MakeTestGame();
    CSceneTest2 first(nullptr, fresh.get());
    EXPECT_GE(
        fresh->map
            .GetCell(std::uint32_t(fresh->characters.player.x), std::uint32_t(fresh->characters.player.y))
            .terrain,
        CSceneTest2::kFirstWalkableTerrain);

    // The same seed builds the same floor again.
    auto other = MakeTestGame();
    other->dungeon = 1;
    other->floor = 3;
    CSceneTest2 again(nullptr, other.get());
    EXPECT_EQ(other->map.cells.size(), game->map.cells.size());
    for (std::size_t i = 0; i < game->map.cells.size(); ++i)
        ASSERT_EQ(other->map.cells[i].terrain, game->map.cells[i].terrain) << i;
}

TEST_F(MapTestSceneTest, TheMarkerStaysInsideTheMapAndOffWalls)
{
    // Open floor up to the map's edges at two corners and along the left edge.
    Paint(0, 0, 3, 3, 5);
    Paint(60, 40, 63, 43, 5);
    Paint(0, 18, 2, 22, 5);
    struct SCase
    {
        int x, y;
        std::uint32_t keys;
        int toX, toY;
    };
    const SCase cases[] = {
        {0, 0, kUp | kLeft, 0, 0},  {0, 0, kUp, 0, 0},
        {1, 0, kUp | kRight, 2, 0}, {63, 43, kDown | kRight, 63, 43},
        {63, 42, kDown, 63, 43},    {0, 20, kLeft, 0, 20},
        {2, 20, kRight, 2, 20},     {3, 3, kDown | kRight, 3, 3}, // rock beyond the painted squares
    };
    for (const SCase& c : cases) {
        PutMarker(c.x, c.y);
        Press(c.keys);
        EXPECT_EQ(Marker(), std::pair(c.toX, c.toY)) << "from (" << c.x << ", " << c.y << ") keys " << c.keys;
    }

    // A long random walk over the generated floor, breaking walls and collapsing them on the way.
    PutMarker(30, 20);
    Paint(30, 20, 30, 20, 5);
    std::mt19937 draws(7);
    const std::uint32_t directions[] = {kUp,         kDown,        kLeft,         kRight,
                                        kUp | kLeft, kUp | kRight, kDown | kLeft, kDown | kRight};
    for (int frame = 0; frame < 3000; ++frame) {
        std::uint32_t keys = directions[draws() % 8] | kCancel;
        if (draws() % 50 == 0) keys |= Bit(2);
        if (frame == 2000) keys |= Bit(7);
        Press(keys);
        const auto [x, y] = Marker();
        ASSERT_TRUE(x >= 0 && x < 64 && y >= 0 && y < 44) << frame;
        ASSERT_GE(Cell(x, y).terrain, CSceneTest2::kFirstWalkableTerrain) << frame;
    }
}

TEST_F(MapTestSceneTest, IceCarriesTheMarkerTwoCellsAFrame)
{
    // An item on the ice does not stop the slide; it holds the marker where the slide ends.
    const struct
    {
        int item; // x of an item on the row, 0 for none
        std::vector<int> xs;
    } cases[] = {
        // 11 is plain floor; 12 is ice, so 13 follows; then 15, 17, 19; 20 is plain floor again.
        {0, {11, 13, 15, 17, 19, 20, 21}},
        {14, {11, 13, 15, 15, 15, 15, 15}},
    };
    for (const auto& c : cases) {
        Paint(10, 20, 40, 20, 5);
        Paint(12, 20, 19, 20, CSceneTest2::kSlidingTerrain);
        if (c.item != 0) Cell(c.item, 20).objectKind = kObjectItem;
        PutMarker(10, 20);
        CSceneTest2::StepDelay() = 0;
        std::vector<int> xs;
        for (int frame = 0; frame < 7; ++frame) {
            Press(kRight);
            xs.push_back(Marker().first);
        }
        EXPECT_EQ(xs, c.xs) << "item at " << c.item;
    }
}

TEST_F(MapTestSceneTest, AnItemHoldsTheMarkerForEightFramesUnlessCancelled)
{
    for (const bool cancel : {false, true}) {
        Paint(10, 20, 30, 20, 5);
        Cell(12, 20).objectKind = kObjectItem;
        PutMarker(11, 20);
        CSceneTest2::StepDelay() = 0;
        Press(kRight);
        ASSERT_EQ(Marker().first, 12);
        int held = 0;
        while (Marker().first == 12 && held < 20) {
            Press(kRight | (cancel ? kCancel : 0));
            ++held;
        }
        // The frame that cancels still counts the delay down; the next one steps.
        EXPECT_EQ(held, cancel ? 2 : 9) << "cancel " << cancel;
        EXPECT_EQ(Marker().first, 13);
    }
}

TEST_F(MapTestSceneTest, KeyTwoBreaksTheWallTheMarkerFaces)
{
    struct SCase
    {
        std::uint8_t wall;
        std::uint8_t after;
    };
    const SCase cases[] = {{2, 9}, {3, 3}, {0, 0}};
    for (const SCase& c : cases) {
        Paint(10, 10, 12, 12, 5);
        Paint(10, 12, 12, 12, c.wall);
        PutMarker(11, 11);
        Press(kDown); // into the wall: undone, but facing it
        ASSERT_EQ(Marker(), std::pair(11, 11));
        EXPECT_EQ(game->characters.player.direction, 0);
        Press(Bit(2));
        EXPECT_EQ(Cell(11, 12).terrain, c.after) << int(c.wall);
        EXPECT_EQ(Cell(10, 12).terrain, c.wall) << "only the cell ahead";
    }
}

TEST_F(MapTestSceneTest, ReseedKeysRaiseTheCounterAndSeedFromIt)
{
    for (const int key : {20, 18}) {
        const std::uint32_t before = CSceneTest2::SeedCounter();
        Press(Bit(key));
        const std::uint32_t seed = before + 1;
        EXPECT_EQ(CSceneTest2::SeedCounter(), seed) << key;
        EXPECT_EQ(game->seed, seed) << key;
        EXPECT_EQ(game->random.seed, seed) << key;
        Math::CRand expected;
        expected.SetSeed(seed);
        // The per-frame updates after the reseed drew nothing from the generator.
        EXPECT_EQ(game->random.Get(), expected.Get()) << key;
    }
    const std::uint32_t before = CSceneTest2::SeedCounter();
    Press(Bit(18) | Bit(20));
    EXPECT_EQ(CSceneTest2::SeedCounter(), before + 2);
}

TEST_F(MapTestSceneTest, TheMapKeyMovesTheMinimapCursorInsteadOfTheMarker)
{
    Paint(20, 20, 24, 24, 5);
    PutMarker(22, 22);
    Press(Bit(6));
    EXPECT_EQ(scene->GetMinimapMode(), 1);
    const int cursorX = game->map.minimapCursorX, cursorY = game->map.minimapCursorY;
    Press(kRight);
    Press(kDown);
    EXPECT_EQ(Marker(), std::pair(22, 22));
    EXPECT_EQ(std::pair(game->map.minimapCursorX, game->map.minimapCursorY),
              std::pair(cursorX + 1, cursorY + 1));
    Press(Bit(6));
    EXPECT_EQ(scene->GetMinimapMode(), 0);
    Press(kRight);
    EXPECT_EQ(Marker(), std::pair(23, 22));
}

TEST_F(MapTestSceneTest, FireAndCollapseChangeTheFloor)
{
    Paint(20, 20, 24, 24, 5);
    PutMarker(22, 22);
    Press(Bit(4));
    EXPECT_EQ(Cell(22, 22).objectKind, kObjectFire);
    EXPECT_NE(Cell(22, 22).objectId & CMapControl::kFireByPlayer, 0);
    const auto walls = [this] {
        int count = 0;
        for (const SMapCell& cell : game->map.cells)
            count += cell.terrain == 2 ? 1 : 0;
        return count;
    };
    const int before = walls();
    Press(Bit(7));
    EXPECT_LT(walls(), before);
    EXPECT_EQ(Cell(22, 22).room, 0);
}

TEST_F(MapTestSceneTest, BothModesDrawTheMinimap)
{
    for (const bool cursorMode : {false, true}) {
        if (cursorMode) Press(Bit(6));
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        scene->OnDraw(screen.get());
        int lit = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if ((Word(*screen, x, y) & 0xFFFFFF) != 0) ++lit;
        EXPECT_GT(lit, 500) << "cursor mode " << cursorMode;
    }
}

} // namespace
