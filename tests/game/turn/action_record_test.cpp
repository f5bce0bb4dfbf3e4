#include "game/turn/action_queue.h"

#include "game/support/game_with_kinds.h"
#include "game/support/scoped_handler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The lists every call of the test handler found on its record.
struct SSeen
{
    std::int32_t param1;
    std::vector<std::int32_t> values;
    std::vector<std::uint16_t> items;
};
std::vector<SSeen> g_seen;

std::int32_t RecordLists(CActionQueue& queue, SGameResource&)
{
    SSeen seen{queue.current.param1, queue.current.values, {}};
    for (const SActionItemCell& cell : queue.current.itemCells)
        seen.items.push_back(cell.itemIndex);
    g_seen.push_back(seen);
    return 0;
}

SActionRecord MakeRecord(std::int32_t kind, std::int32_t param1)
{
    SActionRecord record;
    record.kind = kind;
    record.param1 = param1;
    record.values = {param1, param1 * 10};
    record.itemCells = {{1, 2, std::uint16_t(param1)}};
    return record;
}

TEST(ActionRecord, PushedRecordsRunNewestFirstWithTheListsTheyWerePushedWith)
{
    g_seen.clear();
    auto game = MakeTestGame();
    ScopedActionHandler handler{kActionItemsFall, RecordLists};
    CActionQueue& queue = game->reactionQueue;
    for (std::int32_t i = 1; i <= 3; ++i) {
        SActionRecord record = MakeRecord(kActionItemsFall, i);
        queue.Push(record);
        // What the pusher does with its own record afterwards does not reach the queue.
        record.values.clear();
        record.itemCells.clear();
        // Kinds beyond the table are dropped on the way, without stopping the frame.
        if (i == 2) {
            queue.Push(MakeRecord(58, 58));
            queue.Push(MakeRecord(-1, -1));
        }
    }
    EXPECT_EQ(queue.Run(*game), 0);
    ASSERT_EQ(g_seen.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::int32_t expected = 3 - std::int32_t(i);
        EXPECT_EQ(g_seen[i].param1, expected);
        EXPECT_EQ(g_seen[i].values, (std::vector<std::int32_t>{expected, expected * 10}));
        EXPECT_EQ(g_seen[i].items, (std::vector<std::uint16_t>{std::uint16_t(expected)}));
    }
    EXPECT_TRUE(queue.IsIdle());
}

} // namespace
