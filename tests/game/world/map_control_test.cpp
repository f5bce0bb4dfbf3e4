#include "game/world/map_control.h"
#include "game/world/spell_circle_control.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(MapControl, ReadsOutsideTheGridGiveAFreshRockCellEveryTime)
{
    auto map = std::make_unique<CMapControl>();
    for (auto [x, y] : {std::pair<std::uint32_t, std::uint32_t>{64, 0}, {0, 44}, {0xFFFFFFFF, 5}}) {
        SMapCell& dummy = map->GetCell(x, y);
        EXPECT_EQ(dummy.terrain, 0);
        EXPECT_EQ(dummy.room, -1);
        EXPECT_EQ(dummy.redraw, 1);
        dummy.terrain = 5;
        dummy.objectKind = kObjectItem;
    }
    EXPECT_EQ(map->GetCell(64, 0).terrain, 0);
    EXPECT_EQ(map->GetCell(64, 0).objectKind, 0);

    // Column-major storage, and the field's origin at (5, 4).
    map->GetCell(58, 39).terrain = 6;
    EXPECT_EQ(map->cells[58 * 44 + 39].terrain, 6);
    EXPECT_EQ(&map->GetFieldCell(53, 35), &map->GetCell(58, 39));
    EXPECT_EQ(&map->GetFieldCell(0, 0), &map->GetCell(5, 4));
    map->GetFieldCell(54, 0).terrain = 9;
    EXPECT_EQ(map->GetFieldCell(54, 0).terrain, 0);
    EXPECT_NE(&map->GetFieldCell(54, 0), &map->GetCell(64, 0));
}

TEST(MapControl, ObjectsArePlacedByTheTerrainAndWhatLiesThere)
{
    auto map = std::make_unique<CMapControl>();
    const struct
    {
        std::uint8_t terrain;
        std::uint8_t object;
        std::int32_t kind;
        bool allowed;
    } cases[] = {
        {5, kObjectFire, kObjectItem, true},
        {5, kObjectStairs, kObjectItem, false},
        {4, 0, kObjectItem, true},
        {10, 0, kObjectTrap, true},
        {11, 0, kObjectTrap, false},
        {17, 0, kObjectTrap, false},
        {17, 0, kObjectCircle, true},
        {18, 0, kObjectCircle, false},
        {4, 0, kObjectStairs, false},
        {5, kObjectItem, kObjectFire, true},
        {5, kObjectTrap, kObjectFire, false},
        {5, 0, 7, false},
        {3, 0, kObjectItem, false},
        {12, 0, kObjectTreasureSpot, false},
    };
    for (const auto& c : cases) {
        SMapCell& cell = map->GetCell(20, 20);
        cell.terrain = c.terrain;
        cell.objectKind = c.object;
        EXPECT_EQ(map->CanPlaceObject(20, 20, c.kind), c.allowed)
            << int(c.terrain) << " " << int(c.object) << " " << c.kind;
    }
}

TEST(MapControl, StairsGoOnlyWithinTheFieldAndClearRebuildsTheFloor)
{
    auto map = std::make_unique<CMapControl>();
    map->GetCell(59, 40).objectShown = 1;
    EXPECT_EQ(map->PlaceStairs(59, 40, 1), 0);
    EXPECT_EQ(map->GetCell(59, 40).objectKind, kObjectStairs);
    EXPECT_EQ(map->GetCell(59, 40).objectId, 1);
    EXPECT_EQ(map->GetCell(59, 40).objectShown, 0);
    EXPECT_EQ(map->stairsX, 59);
    EXPECT_EQ(map->PlaceStairs(4, 10, 0), 1);
    EXPECT_EQ(map->PlaceStairs(10, 41, 0), 1);

    map->GetCell(7, 7).terrain = 12;
    EXPECT_TRUE(map->IsWetCell(7, 7));
    map->GetCell(7, 7).room = 2;
    map->specialRoom = 2;
    map->markedRoom = 2;
    map->markedRoomValue = 40;
    EXPECT_TRUE(map->IsInSpecialRoom(7, 7));
    EXPECT_EQ(map->GetMarkedRoomValue(7, 7), 40);
    map->exploredMinX = 3;
    map->candidateCells.push_back({1, 1});
    map->Clear();
    EXPECT_EQ(map->exploredMinX, -1);
    EXPECT_EQ(map->GetCell(7, 7).terrain, 0);
    EXPECT_EQ(map->GetCell(7, 7).room, -1);
    EXPECT_FALSE(map->IsInSpecialRoom(7, 7));
    EXPECT_EQ(map->GetMarkedRoomValue(7, 7), -1);
    EXPECT_TRUE(map->candidateCells.empty());
    EXPECT_EQ(map->classMasks[0], 4);
    EXPECT_EQ(map->classMasks[17], 1 << 17);
    EXPECT_EQ(map->tileRows[3], 9);
    EXPECT_EQ(map->itemTableNumber, -1);
}

TEST(SpellCircleControl, RangeNamesAndKinds)
{
    CSpellCircleControl circles;
    EXPECT_EQ(CSpellCircleControl::GetRangeKind("部屋"), 2);
    EXPECT_EQ(CSpellCircleControl::GetRangeKind("自分"), 4);
    EXPECT_EQ(CSpellCircleControl::GetRangeKind("どこか"), 0);
    EXPECT_STREQ(CSpellCircleControl::GetRangeName(3).c_str(), "フロア");
    EXPECT_TRUE(CSpellCircleControl::GetRangeName(9).empty());
    circles.circles.push_back({1, 2, 270, 1});
    circles.Clear();
    EXPECT_TRUE(circles.circles.empty());
}

} // namespace
