#pragma once
// A game state with item and monster kinds made in code, item lists for the floor, the shop and the
// chests, and helpers to cut a room and count what a floor holds: for the tests of the floor's contents
// and the fixed floors.

#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/items/pre_identified.h"
#include "game/support/game_with_kinds.h"
#include "game/world/dungeon_gen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

class PopulationTest : public ::testing::Test
{
protected:
    static constexpr std::int32_t kKinds = 400;

    void SetUp() override
    {
        InitPreIdentifiedClassSets();
        CItemControl& items = game->items;
        items.kinds.resize(kKinds);
        items.kindCount = kKinds;
        const struct
        {
            std::int32_t first, last, itemClass;
        } ranges[] = {{0, 0, 11},    {3, 35, 1},    {50, 82, 2},   {100, 101, 3},
                      {120, 130, 4}, {135, 139, 5}, {180, 211, 6}, {230, 232, 7},
                      {270, 290, 8}, {310, 330, 9}, {350, 361, 10}};
        for (const auto& range : ranges)
            for (std::int32_t k = range.first; k <= range.last; ++k) {
                SItemKind& kind = items.kinds[std::size_t(k)];
                kind.number = k;
                kind.classId = range.itemClass;
                kind.name = "品";
                kind.maximum = 9;
            }
        items.firstKindOfClass = {-1, 3, 50, 100, 120, 135, 180, 230, 270, 310, 350, 380};
        items.seen.assign(kKinds, 0);
        items.kindState.assign(kKinds, 0);
        g_itemControl = &items;

        SetList(0, {120, 135, 180});
        SetList(1, {3, 50, 310});
        SetList(2, {3});
        AddMonsterKind(*game, 0, "店主");
        for (std::int32_t species = 1; species <= 6; ++species)
            AddMonsterKind(*game, 4 * species, "魔物").typeFlags = std::uint16_t(1u << (species - 1));
        AddMonsterKind(*game, 164, "倉庫番");
        game->map.monsterAppearance = {4, 8, 12};
        game->dungeon = 2;
        game->floor = 5;
    }
    void TearDown() override { g_itemControl = nullptr; }
    // A new game state and work area, set up as at the start of a test.
    void Fresh()
    {
        game = MakeTestGame();
        gen = std::make_unique<DungeonGen>();
        SetUp();
    }

    void SetList(std::size_t list, const std::vector<std::int32_t>& kinds)
    {
        CMapControl::SItemAppearance& table = game->map.itemAppearance[list];
        table.kinds = kinds;
        table.weights.assign(kinds.size(), 1);
        table.total = std::int32_t(kinds.size());
    }

    // Every field cell rock outside any room, then room 0 cut as floor at window (x, y), w x h, recorded in
    // section (0, 0) with the mark; the heroine stands far off unless moved.
    DungeonGen::SSection& CutRoom(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                                  std::int32_t mark = 0)
    {
        for (std::int32_t fy = 0; fy < 36; ++fy)
            for (std::int32_t fx = 0; fx < 54; ++fx) {
                SMapCell& cell = game->map.GetFieldCell(std::uint32_t(fx), std::uint32_t(fy));
                cell.terrain = 2;
                cell.room = -1;
            }
        gen->columns = gen->rows = 1;
        DungeonGen::SSection& room = gen->Room(0, 0);
        room.RoomNumber() = 0;
        room.x = x;
        room.y = y;
        room.w = w;
        room.h = h;
        room.mark = mark;
        FillFieldRect(game->map, x, y, w, h, 5, true, 0);
        game->characters.player.x = 1;
        game->characters.player.y = 1;
        return room;
    }

    SMapCell& Map(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }

    std::int32_t CountObjects(std::uint8_t kind)
    {
        std::int32_t n = 0;
        for (const SMapCell& cell : game->map.cells)
            n += cell.objectKind == kind ? 1 : 0;
        return n;
    }
    std::int32_t CountCharacters(std::int32_t type)
    {
        std::int32_t n = 0;
        for (const CCharacterControl::SMonster& m : game->characters.monsters)
            n += m.type == type ? 1 : 0;
        return n;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    std::unique_ptr<DungeonGen> gen = std::make_unique<DungeonGen>();
};
