#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CircleCover, EachRangeCoversItsOwn)
{
    auto game = MakeTestGame();
    // clang-format off
    DrawFloorArt(*game, 10, 10,
                 {"#####    ",
                  "#111#    ",
                  "#111.....",
                  "#111#    ",
                  "#####    "});
    // clang-format on
    AddMonsterKind(*game, 4);
    AddMonsterKind(*game, 8).typeFlags = 2;
    PlaceCircle(*game, 300, CSpellCircleControl::kRangeCell, 11, 11);
    PlaceCircle(*game, 300, CSpellCircleControl::kRangeCell, 13, 13);
    PlaceCircle(*game, 301, CSpellCircleControl::kRangeRoom, 13, 12);
    PlaceCircle(*game, 302, CSpellCircleControl::kRangeFloor, 0, 0);
    PlaceCircle(*game, 302, CSpellCircleControl::kRangeFloor, 1, 0);
    PlaceCircle(*game, 303, CSpellCircleControl::kRangeSelf, 0, 0);
    PlaceCircle(*game, 304, CSpellCircleControl::kRangeNone, 11, 11);
    struct Case
    {
        const char* what;
        std::int32_t kindId, x, y, id;
        bool stop;
        std::int32_t count;
    };
    const std::vector<Case> cases = {
        {"on one of two cell circles", 4, 11, 11, 300, false, 1},
        {"anywhere in the room", 4, 11, 13, 301, false, 1},
        {"corridor diagonal to the circle", 4, 14, 11, 301, false, 1},
        {"corridor two cells away", 4, 15, 12, 301, false, 0},
        {"a monster under two floor circles", 4, 15, 12, 302, false, 2},
        {"the same with stop", 4, 15, 12, 302, true, 1},
        {"a self circle skips monsters", 4, 11, 11, 303, false, 0},
        {"a circle of no range", 4, 11, 11, 304, false, 0},
        {"a kind of type flag 2", 8, 11, 11, 300, false, 0},
        {"off the map", 4, -1, 11, 302, false, 0},
    };
    for (const Case& c : cases) {
        CCharacterControl::SMonster& m = PlaceMonster(*game, 0, c.kindId, c.x, c.y);
        EXPECT_EQ(m.CountCircles(*game, c.id, c.stop), c.count) << c.what;
    }
    CCharacterControl::SPlayer& player = game->characters.player;
    player.x = 15;
    player.y = 12;
    EXPECT_EQ(player.CountCircles(*game, 302), 4);
    EXPECT_EQ(player.CountCircles(*game, 302, true), 2);
    EXPECT_EQ(player.CountCircles(*game, 303), 1);
}

} // namespace
