#include "game/app/game_resource.h"
#include "game/world/ascii_floor.h"
#include "game/world/map_control.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::int32_t CountExplored(CMapControl& map)
{
    std::int32_t count = 0;
    for (const SMapCell& cell : map.cells)
        count += cell.explored;
    return count;
}

TEST(MapExplore, ACorridorCellExploresItsBlockARoomCellTheRoomWithItsWallsAndMouths)
{
    auto map = std::make_unique<CMapControl>();
    DrawFloor(*map, 10, 10,
              {"   .   ", //
               "###.###", //
               "#00000#", //
               "#00000#", //
               "#######"});
    map->MarkExplored(12, 13);
    for (std::int32_t x = 0; x < CMapControl::kWidth; ++x)
        for (std::int32_t y = 0; y < CMapControl::kHeight; ++y)
            EXPECT_EQ(map->GetCell(x, y).explored, x >= 10 && x <= 16 && y >= 11 && y <= 14 ? 1 : 0)
                << x << "," << y;
    EXPECT_EQ(map->exploredMinX, 10);
    EXPECT_EQ(map->exploredMinY, 11);
    EXPECT_EQ(map->exploredEndX, 17);
    EXPECT_EQ(map->exploredEndY, 15);

    map->Clear();
    DrawFloor(*map, 10, 10, {"......"});
    map->MarkExplored(12, 10);
    EXPECT_EQ(CountExplored(*map), 9);
    for (std::int32_t x = 11; x <= 13; ++x)
        for (std::int32_t y = 9; y <= 11; ++y)
            EXPECT_EQ(map->GetCell(x, y).explored, 1);

    map->Clear();
    DrawFloor(*map, 10, 10, {"#00#"});
    map->playerBlind = 1;
    map->MarkExplored(11, 10);
    EXPECT_EQ(CountExplored(*map), 1);
    EXPECT_EQ(map->GetCell(11, 10).explored, 1);
}

TEST(MapExplore, WallsJoinOnlyExploredFloorAround)
{
    // Neighbours as (dx, dy, explored) around a centre of the given terrain.
    struct SFloorAround
    {
        std::int32_t dx;
        std::int32_t dy;
        bool explored;
    };
    const struct
    {
        std::uint8_t terrain;
        std::vector<SFloorAround> floor;
        std::uint16_t appearance;
    } cases[] = {
        {2, {{0, -1, true}}, 0x3401},                // north: 1 in the NW quarter, 2 in the NE one
        {2, {{-1, -1, true}}, 0x3004},               // only the NW diagonal
        {4, {{0, -1, true}}, 0x2401},                // water
        {3, {{1, 1, true}}, 0x2100},                 // hard wall, SE diagonal
        {6, {{0, -1, true}}, 0x1000},                // floor carries only its class
        {2, {{0, -1, false}}, 0x3000},               // floor not yet explored
        {2, {{0, -1, true}, {-1, 0, true}}, 0x340B}, // north and west: 3 in NW, 1 in SW, 2 in NE
        {0, {{1, 0, true}, {0, 1, true}}, 0x32D0},   // rock: south and east
    };
    for (const auto& c : cases) {
        auto map = std::make_unique<CMapControl>();
        map->GetCell(20, 20).terrain = c.terrain;
        map->GetCell(20, 20).explored = 1;
        for (const SFloorAround& f : c.floor) {
            SMapCell& cell = map->GetCell(20 + f.dx, 20 + f.dy);
            cell.terrain = 5;
            cell.explored = f.explored ? 1 : 0;
        }
        map->UpdateExploredCell(20, 20);
        EXPECT_EQ(map->appearance[20 * 44 + 20], c.appearance) << std::hex << c.appearance;
    }
}

TEST(MapExplore, ExploringShowsHiddenStairsItemsAndRevealingLightsTheFloor)
{
    auto map = std::make_unique<CMapControl>();
    DrawFloor(*map, 19, 20, {"..."});
    ASSERT_EQ(map->PlaceStairs(20, 20, 0), 0);
    map->GetCell(21, 20).objectKind = kObjectItem;
    EXPECT_EQ(map->GetCell(20, 20).objectShown, 0);
    map->MarkExplored(20, 20);
    EXPECT_EQ(map->GetCell(20, 20).objectShown, 1);
    EXPECT_EQ(map->GetCell(21, 20).objectShown, 1);
    EXPECT_EQ(map->stairsKnown, 1);

    for (CMapControl::SViewRecord& record : map->viewRecords)
        record.dirty = 0;
    map->RevealFloor();
    EXPECT_EQ(map->revealed, 1);
    EXPECT_EQ(map->revealedWithoutDarkness, 1);
    EXPECT_EQ(map->exploredMinX, 4);
    EXPECT_EQ(map->exploredMinY, 3);
    EXPECT_EQ(map->exploredEndX, 60);
    EXPECT_EQ(map->exploredEndY, 41);
    EXPECT_EQ(map->GetCell(3, 3).explored, 0);
    for (const CMapControl::SViewRecord& record : map->viewRecords)
        EXPECT_EQ(record.dirty, 1);
}

class MapViewTest : public ::testing::Test
{
protected:
    void PlacePlayer(std::int32_t x, std::int32_t y, std::int32_t offsetX = 0, std::int32_t offsetY = 0)
    {
        m_game->characters.player.x = x;
        m_game->characters.player.y = y;
        m_game->characters.player.offsetX = offsetX;
        m_game->characters.player.offsetY = offsetY;
    }
    // The map cell the record at origin-relative ring column c, row r shows.
    SCellPosition Shown(std::int32_t c, std::int32_t r)
    {
        const CMapControl::SViewRecord& record =
            Map().GetViewRecord(Map().ringOriginX + c, Map().ringOriginY + r);
        return {record.mapX, record.mapY};
    }
    // Every record shows the cell of its place in the ring from (left, top).
    void ExpectRingFrom(std::int32_t left, std::int32_t top)
    {
        for (std::int32_t c = 0; c < CMapControl::kRingColumns; ++c)
            for (std::int32_t r = 0; r < CMapControl::kRingRows; ++r)
                ASSERT_EQ(Shown(c, r), (SCellPosition{left + c, top + r})) << c << "," << r;
    }
    CMapControl& Map() { return m_game->map; }
    void CleanRecords()
    {
        for (CMapControl::SViewRecord& record : Map().viewRecords)
            record.dirty = 0;
    }
    std::int32_t CountDirty()
    {
        std::int32_t count = 0;
        for (const CMapControl::SViewRecord& record : Map().viewRecords)
            count += record.dirty;
        return count;
    }

    std::unique_ptr<SGameResource> m_game = std::make_unique<SGameResource>();
};

TEST_F(MapViewTest, TheRingCentresThePlayerAndStopsAtTheMapEdges)
{
    PlacePlayer(30, 20);
    Map().ResetViewRing(*m_game);
    ExpectRingFrom(25, 16); // one column and one row off
    Map().ScrollViewRing(*m_game);
    ExpectRingFrom(24, 15); // the player at column 6, row 5
    EXPECT_EQ(Shown(6, 5), (SCellPosition{30, 20}));

    // One step east: only the column that comes into view is redrawn.
    CleanRecords();
    PlacePlayer(31, 20);
    Map().ScrollViewRing(*m_game);
    ExpectRingFrom(25, 15);
    EXPECT_EQ(CountDirty(), CMapControl::kRingRows);
    for (std::int32_t r = 0; r < CMapControl::kRingRows; ++r)
        EXPECT_EQ(Map().GetViewRecord(Map().ringOriginX + 12, Map().ringOriginY + r).dirty, 1);

    // A walk west to column 2 leaves the ring at the left edge; a walk down-right stops at the other.
    for (std::int32_t x = 30; x >= 2; --x) {
        PlacePlayer(x, 20, -16);
        Map().ScrollViewRing(*m_game);
    }
    ExpectRingFrom(0, 15);
    PlacePlayer(62, 42);
    Map().ScrollViewRing(*m_game);
    ExpectRingFrom(51, 33);
}

TEST_F(MapViewTest, ACorridorIsLitInABoxAroundThePlayer)
{
    const struct
    {
        std::uint8_t narrow;
        std::uint8_t blind;
        std::int32_t minX;
    } cases[] = {{0, 0, 18}, {1, 0, 19}, {0, 1, 255}};
    for (const auto& c : cases) {
        PlacePlayer(20, 20, 8, 0);
        Map().narrowSight = c.narrow;
        Map().playerBlind = c.blind;
        Map().ResetViewRing(*m_game);
        Map().ScrollViewRing(*m_game);
        Map().UpdateLighting(*m_game);
        EXPECT_EQ(Map().playerInRoom, 0);
        for (const CMapControl::SViewRecord& record : Map().viewRecords) {
            const bool lit = c.blind == 0 && record.mapX >= c.minX && record.mapX <= 22 &&
                             record.mapY >= 17 && record.mapY <= 22;
            EXPECT_EQ(record.dark, lit ? 0 : 1) << record.mapX << "," << record.mapY;
        }
        EXPECT_EQ(Map().litMinX, c.minX);
        EXPECT_EQ(Map().litMinY, c.blind ? 255 : 17);
        EXPECT_EQ(Map().litMaxX, c.blind ? 0 : 22);
        EXPECT_EQ(Map().litMaxY, c.blind ? 0 : 22);
    }
}

TEST_F(MapViewTest, ARoomIsLitWithItsWallRingAndTheRecordsTurnDirtyOnlyWhenTheLightChanges)
{
    DrawFloor(Map(), 18, 18,
              {"#####  ", //
               "#333#  ", //
               "#333#..", //
               "#333#  ", //
               "#####  "});
    PlacePlayer(20, 20);
    Map().ResetViewRing(*m_game);
    Map().ScrollViewRing(*m_game);
    CleanRecords();
    Map().UpdateLighting(*m_game);
    EXPECT_EQ(Map().playerInRoom, 1);
    const auto record = [&](std::int32_t x, std::int32_t y) -> CMapControl::SViewRecord& {
        return Map().GetViewRecord(Map().ringOriginX + x - 14, Map().ringOriginY + y - 15);
    };
    const struct
    {
        std::int32_t x;
        std::int32_t y;
        std::uint8_t dark;
        std::uint8_t edge;
    } cases[] = {
        {20, 20, 0, 0},           {19, 19, 0, 0}, // the room
        {18, 18, 0, 32},                          // top-left corner: the room to its south-east
        {20, 18, 0, 8 | 16 | 32},                 // top wall: south-west, south, south-east
        {22, 20, 0, 2 | 4 | 8},                   // right wall: north-west, west, south-west
        {23, 20, 1, 0},           {17, 17, 1, 0}, // beyond the ring of walls
    };
    for (const auto& c : cases) {
        EXPECT_EQ(record(c.x, c.y).dark, c.dark) << c.x << "," << c.y;
        EXPECT_EQ(record(c.x, c.y).roomEdge, c.edge) << c.x << "," << c.y;
    }
    EXPECT_EQ(record(20, 20).dirty, 0);
    EXPECT_EQ(record(23, 20).dirty, 1);
    CleanRecords();
    Map().UpdateLighting(*m_game);
    EXPECT_EQ(CountDirty(), 0);
}

TEST_F(MapViewTest, RecordsFollowTheirCellsAndAnimatedTilesOncePerPhase)
{
    PlacePlayer(30, 20);
    Map().ResetViewRing(*m_game);
    Map().ScrollViewRing(*m_game);
    Map().RefreshViewRecords();
    CleanRecords();
    Map().RefreshViewRecords();
    EXPECT_EQ(CountDirty(), 0);

    Map().PlaceItemObject(31, 21, 7);
    Map().RefreshViewRecords();
    EXPECT_EQ(CountDirty(), 1);
    EXPECT_EQ(Map().GetCell(31, 21).redraw, 0);
    EXPECT_TRUE(Map().IsViewTileShown(31, 21));
    EXPECT_FALSE(Map().IsViewTileShown(30, 21));
    // A cell beyond the ring has no record: not shown, dark.
    Map().PlaceItemObject(31 + 13, 21, 8);
    EXPECT_FALSE(Map().IsViewTileShown(31 + 13, 21));
    EXPECT_EQ(Map().GetViewTileState(31 + 13, 21), 1);
    EXPECT_EQ(Map().GetViewTileState(-100, 21), 1);

    Map().GetCell(28, 18).terrain = 4;
    Map().GetCell(29, 18).objectKind = kObjectCircle;
    std::int32_t waterDirty = 0, circleDirty = 0;
    for (std::int32_t frame = 0; frame < 64; ++frame) {
        CleanRecords();
        Map().waterFrame = frame % 256;
        Map().circleFrame = frame % 64;
        Map().RefreshWaterTiles();
        Map().RefreshCircleTiles();
        waterDirty += Map().GetViewRecord(Map().ringOriginX + 4, Map().ringOriginY + 3).dirty;
        circleDirty += Map().GetViewRecord(Map().ringOriginX + 5, Map().ringOriginY + 3).dirty;
        EXPECT_LE(CountDirty(), 2);
    }
    EXPECT_EQ(waterDirty, 4);
    EXPECT_EQ(circleDirty, 4);
}

class CPlaneOwner : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return Draw::kPixel565; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
};

TEST(MapControl, EachFloorGetsAFreshViewCacheAndRing)
{
    CPlaneOwner display;
    Draw::SetThreadPlaneOwner(&display);
    auto map = std::make_unique<CMapControl>();
    std::int32_t width = 0, height = 0;
    EXPECT_EQ(map->viewCache.GetSize(&width, &height), 0);
    EXPECT_EQ(width, 416);
    EXPECT_EQ(height, 352);
    map->ringReset = 0;
    DrawFloor(*map, 10, 10, {"#0.~H"});
    map->MarkExplored(11, 10);
    map->Clear();
    EXPECT_EQ(map->ringReset, 1);
    EXPECT_EQ(map->exploredMinX, -1);
    for (const SMapCell& cell : map->cells) {
        EXPECT_EQ(cell.terrain, 0);
        EXPECT_EQ(cell.room, -1);
        EXPECT_EQ(cell.explored, 0);
    }
    EXPECT_EQ(map->viewCache.GetPixelType(), Draw::kPixel565);
    Draw::SetThreadPlaneOwner(nullptr);
}

} // namespace
