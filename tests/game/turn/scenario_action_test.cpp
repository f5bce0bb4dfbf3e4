#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/turn/actions.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

class ScenarioActionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game->characters.player.x = 19;
        game->characters.player.y = 21;
    }
    // Scene 0 holds the lines given; scene 1 is a lone "end".
    void Script(std::initializer_list<const char*> lines)
    {
        game->scriptStarts = {0};
        for (const char* line : lines)
            game->scenarioLines.push_back(line);
        game->scriptStarts.push_back(std::int32_t(game->scenarioLines.size()));
        game->scenarioLines.push_back("end");
    }
    void PushScene(std::int32_t scene)
    {
        SActionRecord record;
        record.kind = kActionGoalScenarioD1;
        record.flag = scene;
        game->reactionQueue.Push(record);
    }
    // What Run answered, frame by frame, until the queue went idle (at most 20 frames).
    std::vector<std::int32_t> RunToEnd()
    {
        std::vector<std::int32_t> results;
        for (std::int32_t frame = 0; frame < 20; ++frame) {
            results.push_back(game->reactionQueue.Run(*game));
            if (results.back() == 0) break;
        }
        return results;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(ScenarioActionTest, TheHeroineStepsUpAndTheSceneEndsOnTheFrameOfItsEnd)
{
    Script({"「ここが出口ね。」", "update", "end"});
    MessageRecorder messages(*game);
    PushScene(0);
    EXPECT_EQ(game->reactionQueue.Run(*game), 1); // a frame of pause
    EXPECT_EQ(game->characters.player.y, 21);
    EXPECT_EQ(game->reactionQueue.Run(*game), 1);
    EXPECT_EQ(game->characters.player.x, 19);
    EXPECT_EQ(game->characters.player.y, 20);
    EXPECT_EQ(game->characters.player.prevY, 21);
    EXPECT_EQ(game->characters.player.motion, 1);
    EXPECT_EQ(game->messageWindow.visibleLines, 3);
    EXPECT_EQ(RunToEnd(), (std::vector<std::int32_t>{1, 1, 0}));
    EXPECT_EQ(messages.Text(), "「ここが出口ね。」");
    EXPECT_EQ(game->messageWindow.visibleLines, 2);
}

TEST_F(ScenarioActionTest, CommandLinesRunOnInTheSameFrame)
{
    Script({"left 霞野通常", "right 宗真", "sound 5", "end"});
    PushScene(0);
    EXPECT_EQ(RunToEnd(), (std::vector<std::int32_t>{1, 1, 0}));
    // The scene's end fades out what it showed.
    EXPECT_EQ(game->portraits[0].level, -255);
    EXPECT_EQ(game->portraits[2].level, -255);
    EXPECT_EQ(game->portraits[1].picture, -1);
}

TEST_F(ScenarioActionTest, ASceneWithoutEndOrAMissingSceneEndsTheAction)
{
    struct Case
    {
        const char* what;
        std::int32_t scene;
    };
    for (const Case& c : {Case{"no end before the text's end", 1}, Case{"no such scene", 7}}) {
        game->scenarioLines = {"left 霞野通常", "「……」"};
        game->scriptStarts = {0, 1};
        PushScene(c.scene);
        const std::vector<std::int32_t> results = RunToEnd();
        EXPECT_EQ(results.back(), 0) << c.what;
        EXPECT_LE(results.size(), 4u) << c.what;
        EXPECT_TRUE(game->reactionQueue.IsIdle()) << c.what;
    }
}

} // namespace
