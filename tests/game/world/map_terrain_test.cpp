#include "game/world/ascii_floor.h"
#include "game/world/map_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

namespace {

// The entrance table counted afresh by its rule: a corridor floor cell of the field is entered once for
// each side that touches room floor, under that room's number.
void ExpectEntrancesByTheRule(CMapControl& map)
{
    using Entry = std::tuple<std::int32_t, std::int32_t, std::int32_t>;
    std::vector<Entry> expected, actual;
    for (std::int32_t y = 4; y < 40; ++y) {
        for (std::int32_t x = 5; x < 59; ++x) {
            const SMapCell& cell = map.GetCell(x, y);
            if (cell.terrain < 5 || cell.room >= 0) continue;
            for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const SMapCell& next = map.GetCell(x + dx, y + dy);
                if (next.terrain >= 5 && next.room >= 0) expected.emplace_back(next.room, x, y);
            }
        }
    }
    for (const auto& [room, at] : map.roomEntrances)
        actual.emplace_back(room, at.x, at.y);
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);
}

using Picture = std::vector<std::string>;

TEST(MapTerrain, WallsBreakOnlyWhereTheyAreThatKindOfWall)
{
    const struct
    {
        bool hard;
        std::int32_t x;
        std::uint8_t terrain;
        std::int32_t result;
        std::uint8_t after;
    } cases[] = {
        {false, 20, 2, 0, 9}, {false, 20, 3, -1, 3}, {false, 20, 0, -1, 0}, {false, 64, 2, 1, 0},
        {false, 20, 5, 2, 5}, {true, 20, 3, 0, 9},   {true, 20, 2, -1, 2},
    };
    for (const auto& c : cases) {
        auto map = std::make_unique<CMapControl>();
        map->GetCell(std::uint32_t(c.x), 20).terrain = c.terrain;
        EXPECT_EQ(c.hard ? map->BreakHardWall(c.x, 20) : map->BreakWall(c.x, 20), c.result);
        EXPECT_EQ(map->GetCell(std::uint32_t(c.x), 20).terrain, c.after);
        ExpectEntrancesByTheRule(*map);
    }
}

TEST(MapTerrain, ABrokenWallJoinsTheRoomAndTheCorridorBeyondBecomesAnEntrance)
{
    auto map = std::make_unique<CMapControl>();
    DrawFloor(*map, 10, 10,
              {" ....... ", //
               "#########", //
               "#0000000#", //
               "#0000000#", //
               "#########"});
    map->RebuildRoomEntrances();
    EXPECT_TRUE(map->roomEntrances.empty());
    map->MarkExplored(14, 12);
    for (CMapControl::SViewRecord& record : map->viewRecords)
        record.dirty = 0;
    ASSERT_EQ(map->BreakWall(14, 11), 0);
    EXPECT_EQ(FloorPicture(*map, 10, 10, 9, 3), (Picture{" ....... ", //
                                                         "####0####", //
                                                         "#0000000#"}));
    std::vector<SCellPosition> entrances;
    map->GetRoomEntrances(0, entrances);
    EXPECT_EQ(entrances, (std::vector<SCellPosition>{{14, 10}}));
    ExpectEntrancesByTheRule(*map);
    // Entering a cell again leaves one entry a side.
    map->AddEntrancesAt(14, 10);
    ExpectEntrancesByTheRule(*map);
    // The walls beside the gap now join the floor below and the new floor beside them.
    EXPECT_EQ(map->appearance[13 * 44 + 11], 0x3000 | 2 << 3 | 3 << 6 | 1 << 9);
    for (const CMapControl::SViewRecord& record : map->viewRecords)
        EXPECT_EQ(record.dirty, 1);

    // A wall between the corridor and rock: a corridor cell of its own, an entrance nowhere.
    ASSERT_EQ(map->BreakWall(10, 11), 0);
    EXPECT_EQ(map->GetCell(10, 11).room, -1);
    ExpectEntrancesByTheRule(*map);
}

TEST(MapTerrain, RoomsJoinedThroughABrokenWallTakeOneNumber)
{
    const struct
    {
        std::int32_t special;
        std::int32_t marked;
        char joined;
        std::int32_t markedAfter;
    } cases[] = {
        {-1, -1, '1', -1}, // the first room in reading order
        {2, -1, '2', -1},  // the special room keeps its number
        {2, 1, '2', 2},    // and the marked room follows it
        {-1, 2, '2', 2},   // the marked room before the others
    };
    for (const auto& c : cases) {
        auto map = std::make_unique<CMapControl>();
        DrawFloor(*map, 10, 10,
                  {"###########", //
                   "#111#22222#", //
                   "#111#22222#", //
                   "#111#22222#", //
                   "#####22222#", //
                   "#####.#####", //
                   "     .     "});
        map->specialRoom = c.special;
        map->markedRoom = c.marked;
        ASSERT_EQ(map->BreakWall(14, 12), 0);
        const std::string row(3, c.joined), wide(5, c.joined);
        EXPECT_EQ(FloorPicture(*map, 10, 11, 11, 4), (Picture{"#" + row + "#" + wide + "#", //
                                                              "#" + row + c.joined + wide + "#",
                                                              "#" + row + "#" + wide + "#", //
                                                              "#####" + wide + "#"}))
            << c.special << " " << c.marked;
        EXPECT_EQ(map->markedRoom, c.markedAfter);
        ExpectEntrancesByTheRule(*map);
    }
}

TEST(MapTerrain, FiresKeepTheLongerBurnAndGoOutAtTheEndOfTheirLastTurn)
{
    const struct
    {
        std::uint8_t terrain;
        std::uint8_t object;
        std::uint16_t id;
        std::int32_t source;
        std::int32_t result;
        std::uint16_t idAfter;
    } cases[] = {
        {5, kObjectFire, 40, 3, 0, 40},
        {5, kObjectFire, 10, 3, 0, 30},
        {9, kObjectFire, 0x100 | 40, 3, 0, 40},
        {17, 0, 0, 0xFFFF, 0, 0x100 | 30},
        {4, 0, 0, 0xFFFF, 1, 0},
        {10, 0, 0, 3, 1, 0},
        {18, 0, 0, 3, 1, 0},
        {5, kObjectItem, 12, 3, 2, 12},
        {6, kObjectCircle, 270, 3, 2, 270},
    };
    for (const auto& c : cases) {
        auto map = std::make_unique<CMapControl>();
        SMapCell& cell = map->GetCell(20, 20);
        cell.terrain = c.terrain;
        cell.objectKind = c.object;
        cell.objectId = c.id;
        cell.redraw = 0;
        EXPECT_EQ(map->PlaceFire(20, 20, c.source), c.result) << int(c.terrain) << " " << c.id;
        EXPECT_EQ(cell.objectId, c.idAfter) << int(c.terrain) << " " << c.id;
        if (c.result == 0) {
            EXPECT_EQ(cell.objectKind, kObjectFire);
            EXPECT_EQ(cell.objectShown, 1);
            EXPECT_EQ(cell.redraw, 1);
        }
    }
    EXPECT_EQ(std::make_unique<CMapControl>()->PlaceFire(64, 0, 3), 1);

    auto map = std::make_unique<CMapControl>();
    map->GetCell(20, 20) = {5, -1, 1, 0, 1, kObjectFire, 0x100 | 1, 13, 0};
    map->GetCell(21, 20) = {5, -1, 1, 0, 1, kObjectFire, 0x100 | 2, 13, 0};
    map->TickFires();
    EXPECT_EQ(map->GetCell(20, 20).objectKind, 0);
    EXPECT_EQ(map->GetCell(20, 20).objectShown, 0);
    EXPECT_EQ(map->GetCell(20, 20).minimapMark, 0);
    EXPECT_EQ(map->GetCell(20, 20).redraw, 1);
    EXPECT_EQ(map->GetCell(21, 20).objectId, 0x100 | 1);
    map->TickFires();
    EXPECT_EQ(map->GetCell(21, 20).objectKind, 0);
}

TEST(MapTerrain, CollapsingTheWallsMakesOneRoomUpToRockInARow)
{
    auto map = std::make_unique<CMapControl>();
    DrawFloor(*map, 10, 10,
              {"#####   ", //
               "#000#...", //
               "#000# H ", //
               "##### ~.", //
               "  2 ....", //
               "   ~    "});
    map->GetCell(10, 14).terrain = 12;
    map->specialRoom = 3;
    map->markedRoom = -1;
    map->CollapseAllWalls();
    // The box of all floor is columns 10 to 17, rows 11 to 14; rock ends a row's walk, so that the hard
    // wall, the water and the corridors right of it stay.
    EXPECT_EQ(FloorPicture(*map, 10, 10, 8, 6), (Picture{"#####   ", //
                                                         "00000000", //
                                                         "00000 H ", //
                                                         "00000 ~.", //
                                                         "0 2 ....", //
                                                         "   ~    "}));
    EXPECT_EQ(map->GetCell(15, 11).terrain, 6); // floors keep their terrain
    EXPECT_EQ(map->GetCell(10, 14).terrain, 5); // a wet floor does not
    EXPECT_EQ(map->specialRoom, 0);
    EXPECT_EQ(map->markedRoom, -1);
    EXPECT_EQ(map->GetCell(4, 3).explored, 1);
    EXPECT_EQ(map->GetCell(59, 40).explored, 1);
    ExpectEntrancesByTheRule(*map);
}

TEST(MapTerrain, WaterEvaporatesAndDriesByRegion)
{
    const struct
    {
        std::uint8_t terrain;
        std::uint8_t after;
    } evaporated[] = {{4, 9}, {10, 9}, {11, 5}, {13, 7}, {15, 9}, {3, 3}, {16, 16}, {5, 5}};
    auto map = std::make_unique<CMapControl>();
    for (std::size_t i = 0; i < std::size(evaporated); ++i)
        map->GetCell(20 + std::int32_t(i) * 2, 20).terrain = evaporated[i].terrain;
    map->floorFlag = 1;
    map->EvaporateAllWater();
    for (std::size_t i = 0; i < std::size(evaporated); ++i)
        EXPECT_EQ(map->GetCell(20 + std::int32_t(i) * 2, 20).terrain, evaporated[i].after) << i;
    EXPECT_EQ(map->floorFlag, 0);
    ExpectEntrancesByTheRule(*map);

    map = std::make_unique<CMapControl>();
    DrawFloor(*map, 10, 10,
              {"#######", //
               "#0~~~0#", //
               "#00~00#", //
               "#~000~#", //
               "###.###"});
    map->DryWaterRegion(12, 11);
    EXPECT_EQ(FloorPicture(*map, 10, 10, 7, 5), (Picture{"#######", //
                                                         "#0...0#", //
                                                         "#00.00#", //
                                                         "#~000~#", //
                                                         "###.###"}));
    EXPECT_EQ(map->GetCell(12, 11).terrain, 9);
    ExpectEntrancesByTheRule(*map);
    map->DryWaterRegion(11, 12); // not water: nothing
    EXPECT_EQ(map->GetCell(11, 13).terrain, 4);
}

TEST(MapTerrain, CellsAroundAreCollectedRingByRingThroughOpenNeighbours)
{
    auto map = std::make_unique<CMapControl>();
    DrawFloor(*map, 18, 18,
              {"00000", //
               "00000", //
               "00000", //
               "00000", //
               "00000"});
    std::vector<SCellPosition> cells;
    map->CollectCellsAround(cells, 20, 20, 5, 2);
    ASSERT_EQ(cells.size(), 25u);
    EXPECT_EQ(cells[0], (SCellPosition{20, 20}));
    EXPECT_EQ(cells[1], (SCellPosition{20, 19}));
    EXPECT_EQ(cells[2], (SCellPosition{21, 19}));
    EXPECT_EQ(cells[9], (SCellPosition{20, 18}));
    EXPECT_EQ(cells[24], (SCellPosition{19, 18}));
    map->CollectCellsAround(cells, 20, 20, 5, 1);
    EXPECT_EQ(cells.size(), 9u);
    map->CollectCellsAround(cells, 20, 20, 5, 0);
    EXPECT_EQ(cells.size(), 1u);

    // A wall east of the centre: it and the three cells behind it drop out; water is open but not
    // wanted, a hard wall is open too.
    map->GetCell(21, 20).terrain = 2;
    map->GetCell(19, 20).terrain = 4;
    map->GetCell(20, 21).terrain = 3;
    map->CollectCellsAround(cells, 20, 20, 5, 2);
    EXPECT_EQ(cells.size(), 25u - 3u - 3u);
    for (const SCellPosition& at : {SCellPosition{22, 20}, {22, 19}, {22, 21}, {21, 20}})
        EXPECT_EQ(std::count(cells.begin(), cells.end(), at), 0) << at.x << "," << at.y;
    EXPECT_EQ(std::count(cells.begin(), cells.end(), SCellPosition{18, 20}), 1);
    EXPECT_EQ(std::count(cells.begin(), cells.end(), SCellPosition{20, 22}), 1);
    map->CollectCellsAround(cells, 20, 20, 3, 2);
    EXPECT_EQ(cells.size(), 25u - 1u - 3u);
}

} // namespace
