#include "ascii_floor.h"
#include "game/app/game_resource.h"
#include "game/world/map_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

class MapMarksTest : public ::testing::Test
{
protected:
    void SetUp() override { game->characters.GetPlayer().SetPosition(-1, -1); }
    SMapCell& Cell(int x, int y) { return map.GetCell(std::uint32_t(x), std::uint32_t(y)); }
    CCharacterControl::SMonster& Monster(int slot, int type, int x, int y, bool seen)
    {
        CCharacterControl::SMonster& m = game->characters.monsters[std::size_t(slot)];
        m.type = type;
        m.x = x;
        m.y = y;
        m.viewFlags[1] = seen ? 1 : 0;
        auto& count = game->characters.monsterCount;
        count = std::max<std::uint16_t>(count, std::uint16_t(slot + 1));
        return m;
    }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
    CMapControl& map = game->map;
};

TEST_F(MapMarksTest, MinimapMarks)
{
    struct SCase
    {
        int x, y;
        std::uint8_t explored, shown, kind;
        int expected;
    };
    const SCase objects[] = {
        {10, 10, 1, 1, kObjectItem, 8},    {11, 10, 1, 1, kObjectTreasureSpot, 9},
        {12, 10, 0, 1, kObjectItem, 0},    {13, 10, 1, 0, kObjectTrap, 0},
        {14, 10, 1, 1, kObjectStairs, 12},
    };
    for (const SCase& c : objects) {
        SMapCell& cell = Cell(c.x, c.y);
        cell.explored = c.explored;
        cell.objectShown = c.shown;
        cell.objectKind = c.kind;
        cell.minimapMark = 77;
    }
    Cell(30, 30).minimapMark = 77; // an old mark goes
    const int characters[][5] = {
        // slot, type, x, seen, expected mark
        {0, 3, 20, 1, 2}, {1, 4, 21, 1, 2}, {2, 6, 22, 1, 6}, {3, 7, 23, 1, 7},
        {4, 2, 24, 1, 2}, {5, 2, 25, 0, 0}, {6, 5, 10, 1, 5}, // over the item: the character wins
    };
    for (const auto& c : characters)
        Monster(c[0], c[1], c[2], 20 - (c[2] == 10 ? 10 : 0), c[3] != 0);
    Monster(7, 2, -1, 5, true);                       // off the map: no mark anywhere
    game->characters.GetPlayer().SetPosition(22, 20); // on the chest's cell

    map.UpdateMinimapMarks(*game);
    for (const SCase& c : objects)
        if (c.x != 10) {
            EXPECT_EQ(Cell(c.x, c.y).minimapMark, c.expected) << c.x;
        }
    for (const auto& c : characters)
        if (c[2] != 22) {
            EXPECT_EQ(Cell(c[2], c[2] == 10 ? 10 : 20).minimapMark, c[4]) << c[2];
        }
    EXPECT_EQ(Cell(22, 20).minimapMark, 1);
    EXPECT_EQ(Cell(30, 30).minimapMark, 0);
}

TEST_F(MapMarksTest, UsableRoomEntrances)
{
    // Room 1 with four entrances (relative to (10, 10)): (5, 1) above, (0, 3) left, (10, 3) right and
    // (3, 5) below.
    constexpr int kLeft = 10;
    constexpr int kTop = 10;
    DrawFloor(map, kLeft, kTop,
              {
                  "     .     ", // 0
                  "#####.#####", // 1
                  "#111111111#", // 2
                  ".111111111.", // 3
                  "#111111111#", // 4
                  "###.#######", // 5
                  "   .       ", // 6
              });
    map.RebuildRoomEntrances();
    std::vector<SCellPosition> all;
    map.GetRoomEntrances(1, all);
    ASSERT_EQ(all.size(), 4u);

    struct SCase
    {
        const char* what;
        int askX, askY;
        std::vector<std::array<int, 2>> occupied;
        std::vector<SCellPosition> excluded;
    };
    const std::vector<SCase> cases = {
        {"nothing in the way", 5, 3, {}, {}},
        {"beside the asker", 6, 2, {}, {{5, 1}}},
        {"held off the row and column", 7, 4, {{5, 1}}, {{5, 1}}},
        {"held on the asker's column", 5, 4, {{5, 1}}, {}},
        {"mouth below a vertical corridor held", 7, 4, {{5, 2}}, {{5, 1}}},
        {"mouth held on the asker's row", 2, 2, {{5, 2}}, {}},
        {"mouth beside a horizontal corridor held", 6, 4, {{9, 3}}, {{10, 3}}},
        {"mouth above the lower corridor held", 7, 2, {{3, 4}}, {{3, 5}}},
    };
    for (const SCase& c : cases) {
        for (auto& m : game->characters.monsters)
            m.type = 0;
        int slot = 0;
        for (const auto& o : c.occupied)
            Monster(slot++, 2, kLeft + o[0], kTop + o[1], false);
        std::vector<SCellPosition> out = {{99, 99}};
        map.GetUsableRoomEntrances(out, 1, kLeft + c.askX, kTop + c.askY, *game);
        for (const SCellPosition& e : all) {
            const SCellPosition relative = {e.x - kLeft, e.y - kTop};
            const bool excluded =
                std::find(c.excluded.begin(), c.excluded.end(), relative) != c.excluded.end();
            const bool near = std::abs(relative.x - c.askX) <= 1 && std::abs(relative.y - c.askY) <= 1;
            const bool listed = std::find(out.begin(), out.end(), e) != out.end();
            EXPECT_EQ(listed, !excluded && !near) << c.what << ": " << relative.x << "," << relative.y;
        }
        EXPECT_EQ(std::count(out.begin(), out.end(), SCellPosition{99, 99}), 0);
    }
}

TEST_F(MapMarksTest, FreezingTurnsEveryWaterCellToIce)
{
    struct SCase
    {
        int floorType;
        std::uint8_t hardWallBecomes;
    };
    for (const SCase c : {SCase{21, 9}, SCase{5, 3}}) {
        map.Clear();
        map.floorType = c.floorType;
        const std::uint8_t terrains[] = {4, 11, 12, 13, 14, 15, 3, 5};
        // Inside the field and outside it (row 1, column 62).
        for (int i = 0; i < 8; ++i) {
            Cell(10 + i, 10).terrain = terrains[i];
            Cell(62, 1 + i).terrain = terrains[i];
        }
        map.roomEntrances.insert({42, {1, 1}}); // stale: the rebuild drops it
        map.FreezeAllWater(*game);
        for (int x = 0; x < CMapControl::kWidth; ++x) {
            for (int y = 0; y < CMapControl::kHeight; ++y) {
                const std::uint8_t t = Cell(x, y).terrain;
                EXPECT_FALSE(t == 4 || (t >= 11 && t <= 15)) << x << "," << y;
            }
        }
        EXPECT_EQ(Cell(10, 10).terrain, 10);
        EXPECT_EQ(Cell(62, 6).terrain, 10);
        EXPECT_EQ(Cell(16, 10).terrain, c.hardWallBecomes);
        EXPECT_EQ(Cell(62, 7).terrain, c.hardWallBecomes);
        EXPECT_EQ(Cell(17, 10).terrain, 5);
        EXPECT_EQ(map.floorFlag, 1);
        EXPECT_EQ(map.roomEntrances.count(42), 0u);
    }
}

} // namespace
