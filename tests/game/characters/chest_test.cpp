#include "cell_actions_fixture.h"

#include "game/data/action_log.h"
#include "game/support/message_recorder.h"

#include <span>
#include <string>
#include <vector>

namespace {

// Answers every question with the answer it holds and counts the questions.
class ScriptedAnswer final : public IYesNoQuestion
{
public:
    void AskYesNo(SGameResource& game) override
    {
        ++asked;
        game.chestAnswer = answer;
    }
    std::uint8_t answer = 1;
    std::int32_t asked = 0;
};

// An action file of user 1, floor 1 with the words as one chunk.
std::vector<std::uint8_t> ActFile(const std::vector<std::uint32_t>& words)
{
    std::vector<std::uint8_t> bytes = {'q', 'r', 'l', 's', 1, 0, 0, 0, 1, 0, 0, 0};
    const auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(std::uint8_t(value >> (8 * i)));
    };
    put(std::uint32_t(words.size()), 2);
    std::uint32_t sum = 0;
    for (const std::uint32_t word : words) {
        put(word, 4);
        sum = (sum + (word & 0xFF) + (word >> 8 & 0xFF) + (word >> 16 & 0xFF) + (word >> 24)) & 0xFFFF;
    }
    put(sum, 2);
    return bytes;
}

class ChestTest : public CellActionsTest
{
protected:
    void SetUp() override
    {
        CellActionsTest::SetUp();
        game->yesNoQuestion = &asker;
        Monster(5, 40, 20, 21).type = kCharacterChest;
    }
    // Runs the opening of the chest in slot 5 to its end; the frames it took.
    std::int32_t Open()
    {
        PushActionOpenChest(queue, 5, 20, 21);
        return Run(Take(queue));
    }
    std::uint16_t CarryKey(std::int32_t kind)
    {
        const std::uint16_t key = MakeItem(*game, kind, kItemClassPen);
        Carry(*game, key);
        return key;
    }

    ScriptedAnswer asker;
};

TEST_F(ChestTest, TheKeptKeyIsOfferedFirstAndAYesIsLoggedAndOpensTheChest)
{
    const std::uint16_t usedUp = CarryKey(290);
    const std::uint16_t kept = CarryKey(292);
    MessageRecorder messages(*game);
    EXPECT_EQ(Open(), 2);
    EXPECT_EQ(asker.asked, 1);
    EXPECT_NE(messages.Text().find("宝箱には"), std::string::npos);
    EXPECT_NE(messages.Text().find("を使いますか？"), std::string::npos);
    EXPECT_EQ(game->actionLog.GetWords(), std::vector<std::uint32_t>{12 | 1 << 8});
    EXPECT_EQ(sounds.played, std::vector<std::int32_t>{80});
    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->reactionQueue.pending.back().kind, kActionBreakUp);
    EXPECT_EQ(game->reactionQueue.pending.back().param2, 5);
    EXPECT_EQ(game->inventory[0], usedUp);
    EXPECT_EQ(game->inventory[1], kept);
    EXPECT_EQ(runner.current.flag, 0xFFFF);
}

TEST_F(ChestTest, TheUsedUpKeyGoesEvenFromInsideAPotAndNoOpensNothing)
{
    const std::uint16_t pot = MakeItem(*game, 350, kItemClassPot);
    game->items.GetItem(pot).value = 3;
    Carry(*game, pot);
    const std::uint16_t key = MakeItem(*game, 290, kItemClassPen);
    game->items.AddToPot(*game, pot, key);

    asker.answer = 0;
    Open();
    EXPECT_TRUE(game->reactionQueue.pending.empty());
    EXPECT_EQ(game->items.GetItem(pot).slots[0], key);

    asker.answer = 1;
    Open();
    EXPECT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->items.GetItem(pot).slots[0], 0xFFFF);
    EXPECT_EQ(game->items.GetItem(key).kind, 0xFFFF);
}

TEST_F(ChestTest, AReplayReadsTheLoggedAnswerWithoutAsking)
{
    CarryKey(290);
    game->playMode = kPlayReplay;
    const std::vector<std::uint8_t> file = ActFile({12 | 1 << 8});
    ASSERT_EQ(ReadActionFile(game->actionLog, 1, 1, std::span(file.data(), file.size())), kActionFileRead);
    Open();
    EXPECT_EQ(asker.asked, 0);
    EXPECT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_TRUE(game->actionLog.GetWords().empty());
}

TEST_F(ChestTest, WithoutAKeyOnlyTheLockIsTold)
{
    MessageRecorder messages(*game);
    EXPECT_EQ(Open(), 1);
    EXPECT_EQ(asker.asked, 0);
    EXPECT_EQ(messages.Text().find("を使いますか？"), std::string::npos);
}

} // namespace
