#include "game/support/game_with_kinds.h"
#include "game/support/scoped_handler.h"
#include "game/turn/action_queue.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the test handlers saw: the first parameter and the step of every call.
std::vector<std::string> g_calls;

std::int32_t RecordAndFinish(CActionQueue& queue, SGameResource&)
{
    g_calls.push_back("R" + std::to_string(queue.current.param1) + "@" + std::to_string(queue.step));
    return 0;
}

// Busy on steps 0 to 2, done on step 3.
std::int32_t BusyThreeTimes(CActionQueue& queue, SGameResource&)
{
    g_calls.push_back("B@" + std::to_string(queue.step));
    return queue.step < 3 ? 1 : 0;
}

// Pushes a record of kind 1 and is done.
std::int32_t PushOneAndFinish(CActionQueue& queue, SGameResource&)
{
    g_calls.push_back("P");
    PushActionMove(queue, 9);
    return 0;
}

class ActionQueueTest : public ::testing::Test
{
protected:
    void SetUp() override { g_calls.clear(); }

    std::unique_ptr<SGameResource> game = MakeTestGame();
    ScopedActionHandler first{kActionMove, RecordAndFinish};
    ScopedActionHandler second{kActionMeleeAttack, BusyThreeTimes};
    ScopedActionHandler third{kActionPierceWalls, PushOneAndFinish};
};

TEST_F(ActionQueueTest, TheRunnerTakesTheNewestRecordAndRunsInstantOnesInOneFrame)
{
    CActionQueue& queue = game->reactionQueue;
    for (std::int32_t i = 1; i <= 3; ++i)
        PushActionMove(queue, i);
    EXPECT_EQ(queue.Run(*game), 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"R3@0", "R2@0", "R1@0"}));
    EXPECT_TRUE(queue.IsIdle());
    EXPECT_EQ(game->actionFinished, 1);
}

TEST_F(ActionQueueTest, ABusyHandlerSeesItsStepRiseOnceAFrame)
{
    CActionQueue& queue = game->commandQueue;
    PushActionAttack(queue, 0xFFFF, 1, 3, 4, false);
    for (std::int32_t frame = 0; frame < 3; ++frame)
        EXPECT_EQ(queue.Run(*game), 1) << frame;
    game->actionFinished = 0;
    EXPECT_EQ(queue.Run(*game), 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"B@0", "B@1", "B@2", "B@3"}));
    EXPECT_EQ(game->actionFinished, 1);
    EXPECT_EQ(queue.step, 0);
}

TEST_F(ActionQueueTest, KindsOutsideTheTableAndKindsWithoutHandlerAreDroppedInTheSameFrame)
{
    CActionQueue& queue = game->reactionQueue;
    PushActionMove(queue, 1);
    for (const std::int32_t kind : {58, -1, std::int32_t(kActionUnused37)}) {
        SActionRecord record;
        record.kind = kind;
        queue.Push(record);
    }
    EXPECT_EQ(queue.Run(*game), 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"R1@0"}));
    EXPECT_EQ(RegisterActionHandler(58, RecordAndFinish), nullptr);
    EXPECT_EQ(GetActionHandler(58), nullptr);
}

TEST_F(ActionQueueTest, ARecordPushedByAHandlerRunsBeforeThoseAlreadyPending)
{
    CActionQueue& queue = game->reactionQueue;
    PushActionMove(queue, 1);
    PushActionPierceWalls(queue, 2, 3);
    queue.Run(*game);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"P", "R9@0", "R1@0"}));
}

TEST_F(ActionQueueTest, ABusyReactionQueueHoldsTheCommandQueue)
{
    PushActionAttack(game->reactionQueue, 0, 1, 0, 0, false);
    PushActionMove(game->commandQueue, 5);
    EXPECT_EQ(RunActionQueues(*game), 1);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"B@0"}));
    EXPECT_EQ(game->commandQueue.pending.size(), 1u);
    for (std::int32_t frame = 1; frame <= 3; ++frame)
        RunActionQueues(*game);
    EXPECT_EQ(g_calls.back(), "R5@0");
    EXPECT_TRUE(game->commandQueue.IsIdle());
}

TEST_F(ActionQueueTest, AbortCurrentDropsOnlyTheRunningRecord)
{
    CActionQueue& queue = game->reactionQueue;
    PushActionMove(queue, 1);
    PushActionAttack(queue, 0, 1, 0, 0, false);
    EXPECT_EQ(queue.Run(*game), 1);
    queue.AbortCurrent();
    EXPECT_EQ(queue.current.kind, 0);
    EXPECT_EQ(queue.step, 0);
    EXPECT_EQ(queue.pending.size(), 1u);
}

TEST(ActionRecord, CopiesCarryBothListsAndAResetEmptiesThem)
{
    SActionRecord record;
    record.kind = kActionItemsFall;
    record.values = {1, 2};
    record.itemCells = {{3, 4, 5}};
    const SActionRecord copy = record;
    EXPECT_EQ(copy.values, (std::vector<std::int32_t>{1, 2}));
    ASSERT_EQ(copy.itemCells.size(), 1u);
    EXPECT_EQ(copy.itemCells[0].itemIndex, 5);
    record.Reset();
    EXPECT_EQ(record.kind, 0);
    EXPECT_EQ(record.param1, -1);
    EXPECT_EQ(record.param4, -1);
    EXPECT_EQ(record.flag, 0);
    EXPECT_TRUE(record.values.empty());
    EXPECT_TRUE(record.itemCells.empty());
}

} // namespace
