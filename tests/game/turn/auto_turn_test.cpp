// The automatic turn at the end of a turn: the option chosen decides when the heroine turns towards the
// monster that last engaged her.
#include "game/support/floor_art.h"
#include "game/support/game_main_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class AutoTurnTest : public GameMainRoomTest
{
protected:
    void SetUp() override
    {
        GameMainRoomTest::SetUp();
        AddMonsterKind(*game, 8);
    }
};

TEST_F(AutoTurnTest, TheOptionDecidesWhenSheTurnsTowardsHerOpponent)
{
    // She stands on (14, 12) facing right. Monsters: 'O' the opponent, 'm' another, by offset from her.
    struct Placed
    {
        std::int32_t dx, dy;
        bool opponent;
    };
    const struct
    {
        const char* name;
        std::int32_t option;
        std::vector<Placed> monsters;
        bool blind;
        std::int32_t direction; // afterwards
    } cases[] = {
        {"off", 0, {{-1, -1, true}}, false, 6},
        {"ahead is free", 1, {{-1, -1, true}}, false, 3},
        {"ahead is free, another beside", 1, {{-1, -1, true}, {-1, 1, false}}, false, 3},
        {"a monster ahead", 1, {{-1, -1, true}, {1, 0, false}}, false, 6},
        {"a far opponent, ahead is free", 1, {{3, 2, true}}, false, 7},
        {"alone beside her", 2, {{-1, -1, true}}, false, 3},
        {"two beside her", 2, {{-1, -1, true}, {-1, 1, false}}, false, 6},
        {"one ahead, the opponent far", 2, {{3, 2, true}, {1, 0, false}}, false, 7},
        {"blind", 1, {{-1, -1, true}}, true, 6},
    };
    for (const auto& c : cases) {
        for (CCharacterControl::SMonster& monster : game->characters.monsters)
            monster.Reset();
        game->characters.monsterCount = 0;
        Player().x = 14;
        Player().y = 12;
        Player().direction = 6;
        game->autoTurn = c.option;
        std::uint16_t slot = 0;
        for (const Placed& m : c.monsters) {
            PlaceMonster(*game, slot, 8, 14 + m.dx, 12 + m.dy).hp = 20;
            if (m.opponent) game->lastEngaged = slot;
            ++slot;
        }
        Player().status.blindTurns = c.blind ? 5 : 0;
        scene.phaseStep = 0;
        EXPECT_TRUE(scene.PhaseEndTurn()) << c.name;
        EXPECT_EQ(Player().direction, c.direction) << c.name;
        EXPECT_EQ(game->lastEngaged, 0xFFFF) << c.name;
    }
}

TEST_F(AutoTurnTest, AnOpponentNoLongerThereTurnsHerToAMonsterBesideHer)
{
    Player().x = 14;
    Player().y = 12;
    Player().direction = 6;
    game->autoTurn = 1;
    PlaceMonster(*game, 1, 8, 14, 13).hp = 20; // below her
    game->lastEngaged = 0;                     // an empty slot
    EXPECT_TRUE(scene.PhaseEndTurn());
    EXPECT_EQ(Player().direction, 0);
    EXPECT_EQ(game->lastEngaged, 0xFFFF);
}

} // namespace
