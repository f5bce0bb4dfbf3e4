#pragma once
// The generator's field walled all over with one room section cut by hand, for the tests of what the
// generator adds to rooms: the game state, the work area, cell access and counts.

#include "game/app/game_resource.h"
#include "game/world/dungeon_gen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <utility>

class OneRoomFieldTest : public ::testing::Test
{
protected:
    // Every field cell a wall outside any room; the generator in fixed-random mode with a 1 × 1 grid.
    void WallTheField(SCellPosition stairs)
    {
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 54; ++x) {
                Cell(x, y).terrain = 2;
                Cell(x, y).room = -1;
            }
        game->random.noRandom = true;
        gen->columns = gen->rows = 1;
        gen->stairs = stairs;
    }
    // The one section, as wide as the field, holds room 0 at (x, y), w × h, dug as room floor.
    DungeonGen::SSection& CutRoom(int x, int y, int w, int h)
    {
        DungeonGen::SSection& section = gen->Section(0, 0);
        section.state = DungeonGen::kSectionRoom;
        section.x = 0;
        section.y = 0;
        section.w = 54;
        section.h = 36;
        DungeonGen::SSection& room = gen->Room(0, 0);
        room.RoomNumber() = 0;
        room.x = x;
        room.y = y;
        room.w = w;
        room.h = h;
        FillFieldRect(game->map, x, y, w, h, 5, true, 0);
        return room;
    }
    SMapCell& Cell(int x, int y) { return game->map.GetFieldCell(std::uint32_t(x), std::uint32_t(y)); }
    std::set<std::pair<int, int>> CellsOf(int terrain)
    {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 54; ++x)
                if (Cell(x, y).terrain == terrain) out.insert({x, y});
        return out;
    }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
    std::unique_ptr<DungeonGen> gen = std::make_unique<DungeonGen>();
};
