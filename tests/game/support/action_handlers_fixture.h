#pragma once
// The action handlers' tests: the test game with every handler registered, in the fixed random mode, a
// queue for the records the handlers push, and a record run alone from its first step to its last.

#include "game/support/game_with_kinds.h"
#include "game/turn/action_queue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

class ActionHandlersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterActionHandlers();
        game->random.noRandom = true;
    }

    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    // Room floor (terrain 5) on the cells from (x0, y0) up to, not including, (x1, y1).
    void RoomFloor(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1)
    {
        for (std::int32_t y = y0; y < y1; ++y)
            for (std::int32_t x = x0; x < x1; ++x)
                Cell(x, y).terrain = 5;
    }
    // Runs the record alone, frame by frame, until its handler is done or `limit` frames have run; the
    // frames it took.
    std::int32_t RunAlone(const SActionRecord& record,
                          std::int32_t limit = std::numeric_limits<std::int32_t>::max())
    {
        CActionQueue alone;
        alone.current = record;
        std::int32_t frames = 1;
        while (GetActionHandler(record.kind)(alone, *game) != 0 && frames < limit) {
            ++alone.step;
            ++frames;
        }
        return frames;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    CActionQueue queue;
};
