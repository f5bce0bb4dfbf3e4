#include "game/items/projectile_path.h"

#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"

#include <gtest/gtest.h>

namespace {

TEST(ProjectilePathTest, WhereFlightsEnd)
{
    // A row of floor from (12, 14) to (23, 14), rock beyond.
    const struct
    {
        const char* name;
        std::int32_t range;
        std::uint16_t abilities; // of a monster on (16, 14); 0xFFFF none
        bool sealed;
        bool item; // an item on (18, 14)
        bool stopAtObjects;
        std::int32_t endX;
        std::int32_t rangeLeft;
    } cases[] = {
        {"open", 0xFFFF, 0xFFFF, false, false, false, 24, 0xFFFF - 14},
        {"range", 3, 0xFFFF, false, false, false, 14, 0},
        {"monster", 0xFFFF, 0, false, false, false, 16, 0xFFFF - 6},
        {"passes through", 0xFFFF, kAbilityPassThrough, false, false, false, 24, 0xFFFF - 14},
        {"sealed", 0xFFFF, kAbilityPassThrough, true, false, false, 16, 0xFFFF - 6},
        {"item passed", 0xFFFF, 0xFFFF, false, true, false, 24, 0xFFFF - 14},
        {"item stops", 0xFFFF, 0xFFFF, false, true, true, 18, 0xFFFF - 8},
    };
    for (const auto& c : cases) {
        auto game = MakeTestGame();
        DrawFloorArt(*game, 11, 14, {" 000000000..."});
        game->characters.player.y = 30;
        if (c.abilities != 0xFFFF) {
            AddMonsterKind(*game, 8).abilities = c.abilities;
            PlaceMonster(*game, 0, 8, 16, 14).status.sealTurns = c.sealed ? 5 : 0;
        }
        if (c.item) game->map.PlaceItemObject(18, 14, MakeItem(*game, 1, 1));
        std::int32_t range = c.range;
        const SCellPosition end = TraceProjectilePath(11, 14, 6, *game, range, c.stopAtObjects, false);
        EXPECT_EQ(end.x, c.endX) << c.name;
        EXPECT_EQ(end.y, 14) << c.name;
        EXPECT_EQ(range, c.rangeLeft) << c.name;
    }
}

} // namespace
