// The homing stone seeks only monsters in front of the heroine, in each of her eight facings.
#include "game/characters/thrown_items.h"

#include "game/core/directions.h"
#include "game/data/item_classes.h"
#include "game/support/action_handlers_fixture.h"
#include "game/support/floor_art.h"
#include "game/support/game_with_kinds.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr std::uint16_t kHeroine = 0xFFFF;

class HomingStrikeTest : public ActionHandlersTest
{
protected:
    void SetUp() override
    {
        ActionHandlersTest::SetUp();
        // Room 0 from (4, 4) to (16, 16), the heroine in its middle on (10, 10).
        for (std::int32_t y = 4; y <= 16; ++y)
            DrawFloorArt(*game, 4, y, {"0000000000000"});
        game->characters.player.x = 10;
        game->characters.player.y = 10;
        AddMonsterKind(*game, 8);
    }
};

// For each facing: slot 0 stands right behind her, slot 1 on the line through her that bounds the
// half-plane ahead, slot 2 two steps ahead. The two nearer ones come first in the table and by
// distance, so only the in-front test leaves slot 2 as the target.
TEST_F(HomingStrikeTest, OnlyAMonsterBeyondTheLineThroughHerIsSought)
{
    for (std::int32_t direction = 0; direction < 8; ++direction) {
        game = MakeTestGame();
        queue = CActionQueue();
        SetUp();
        std::int32_t sx = 0, sy = 0;
        DirectionToStep(direction, sx, sy);
        // The bounding line runs across the facing: a quarter turn from it.
        std::int32_t bx = 0, by = 0;
        DirectionToStep((direction + 2) & 7, bx, by);
        const std::int32_t cells[3][2] = {{-sx, -sy}, {bx, by}, {2 * sx, 2 * sy}};
        for (std::uint16_t slot = 0; slot < 3; ++slot)
            PlaceMonster(*game, slot, 8, 10 + cells[slot][0], 10 + cells[slot][1]).hp = 20;
        game->characters.player.direction = direction;
        const std::uint16_t stone = MakeItem(*game, 105, kItemClassMagicStone);
        Carry(*game, stone);
        PushActionThrowOrShoot(queue, *game, stone, kHeroine);
        // The throw hands over to the homing strike, whose first step picks the target.
        for (std::int32_t frame = 0; frame < 20 && !queue.pending.empty(); ++frame) {
            queue.current = queue.pending.back();
            queue.pending.pop_back();
            if (queue.current.kind == kActionHomingStrike) break;
            for (queue.step = 0; queue.step < 4; ++queue.step)
                if (GetActionHandler(queue.current.kind)(queue, *game) == 0) break;
        }
        ASSERT_EQ(queue.current.kind, kActionHomingStrike) << direction;
        queue.step = 0;
        HandleHomingStrike(queue, *game);
        EXPECT_EQ(queue.current.param3, 10 + 2 * sx) << "facing " << direction;
        EXPECT_EQ(queue.current.param4, 10 + 2 * sy) << "facing " << direction;
    }
}

} // namespace
