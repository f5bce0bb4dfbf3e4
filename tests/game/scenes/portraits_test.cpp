#include "game/scenes/portraits.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class PortraitsTest : public ::testing::Test
{
protected:
    SGameResource::SPortraitLayer& Slot(std::size_t i) { return game->portraits[i]; }
    // Update calls until nothing fades (at most 100).
    std::int32_t CallsUntilStill()
    {
        std::int32_t calls = 0;
        while (UpdatePortraitFades(*game) != 0 && calls < 100)
            ++calls;
        return calls;
    }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(PortraitsTest, AFadeInAndAFadeOutEachTake32Calls)
{
    SetPortrait(*game, 0, 14000);
    EXPECT_TRUE(IsPortraitFading(*game));
    EXPECT_EQ(CallsUntilStill(), 32);
    EXPECT_EQ(Slot(0).level, 255);
    EXPECT_FALSE(IsPortraitFading(*game));
    SetPortrait(*game, 0, -1);
    EXPECT_EQ(Slot(0).level, -255);
    EXPECT_EQ(UpdatePortraitFades(*game), 1);
    EXPECT_EQ(CallsUntilStill(), 31);
    EXPECT_EQ(Slot(0).picture, -1);
    EXPECT_EQ(Slot(0).level, 0);
}

TEST_F(PortraitsTest, ANewPictureInAUsedSlotCrossFades)
{
    SetPortrait(*game, 1, 14000);
    FinishPortraitFades(*game);
    SetPortrait(*game, 1, 14100);
    EXPECT_EQ(Slot(1).picture, 14100);
    EXPECT_EQ(Slot(1).level, 1);
    EXPECT_EQ(Slot(1).previousPicture, 14000);
    EXPECT_EQ(Slot(1).previousLevel, -255);
    EXPECT_EQ(CallsUntilStill(), 32);
    EXPECT_EQ(Slot(1).previousPicture, -1);
}

TEST_F(PortraitsTest, NullIntoAnEmptySlotAndSlotsOutOfRangeChangeNothing)
{
    SetPortrait(*game, 2, -1);
    SetPortrait(*game, 3, 14000);
    SetPortrait(*game, -1, 14000);
    for (const SGameResource::SPortraitLayer& layer : game->portraits) {
        EXPECT_EQ(layer.picture, -1);
        EXPECT_EQ(layer.level, 0);
    }
    EXPECT_EQ(UpdatePortraitFades(*game), 0);
}

TEST_F(PortraitsTest, APictureFadingOutIsDroppedWhenTheSlotIsSetAgain)
{
    SetPortrait(*game, 0, 14000);
    FinishPortraitFades(*game);
    SetPortrait(*game, 0, -1);
    SetPortrait(*game, 0, 14002);
    EXPECT_EQ(Slot(0).picture, 14002);
    EXPECT_EQ(Slot(0).previousPicture, -1);
    FinishPortraitFades(*game);
    EXPECT_EQ(Slot(0).level, 255);
    ResetPortraitLayers(*game);
    EXPECT_EQ(Slot(0).picture, -1);
}

TEST(PortraitPosition, PicturesAreCentredInTheirSlotAndKeptOnTheScreen)
{
    struct Case
    {
        std::int32_t slot, width, height, x, y;
    };
    for (const Case& c : {Case{1, 128, 200, 96, 20}, Case{0, 160, 240, 0, 0}, Case{2, 100, 100, 190, 70},
                          Case{2, 200, 260, 120, 0}, Case{0, 200, 100, 0, 70}}) {
        std::int32_t x = -9;
        std::int32_t y = -9;
        GetPortraitPosition(c.slot, c.width, c.height, x, y);
        EXPECT_EQ(x, c.x) << c.slot << " " << c.width;
        EXPECT_EQ(y, c.y) << c.slot << " " << c.height;
    }
}

TEST_F(PortraitsTest, EachLineGivesItsResult)
{
    game->scenarioLines = {"「はじめまして。」",
                           "#1霞野#は剣を抜いた。",
                           "left 霞野通常",
                           "center 宗真",
                           "right ルゥナ",
                           "left null",
                           "update",
                           "sound 12",
                           "check 2",
                           "end",
                           "bogus",
                           "left 誰か",
                           "",
                           "end"};
    game->scriptStarts = {0, 12};
    SoundRecorder sounds;
    game->soundEffects = &sounds;
    MessageRecorder messages(*game);
    const std::vector<std::int32_t> expected = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, -4, -5};
    for (std::int32_t i = 0; i < std::int32_t(expected.size()); ++i) {
        std::int32_t line = i;
        EXPECT_EQ(RunScenario(0, *game, line), expected[std::size_t(i)]) << i;
        EXPECT_EQ(line, i);
    }
    EXPECT_EQ(messages.Lines().size(), 2u);
    EXPECT_EQ(sounds.played, (std::vector<std::int32_t>{12}));
    EXPECT_EQ(Slot(0).level, -255);
    EXPECT_EQ(Slot(1).picture, 14100);
    EXPECT_EQ(Slot(2).picture, 14104);

    std::int32_t line = 0;
    EXPECT_EQ(RunScenario(1, *game, line), -4) << "an empty line is no command";
    line = 2;
    EXPECT_EQ(RunScenario(1, *game, line), -2);
    line = 0;
    EXPECT_EQ(RunScenario(2, *game, line), -1);
    EXPECT_EQ(RunScenario(-1, *game, line), -1);
}

TEST_F(PortraitsTest, CheckSkipsTheNextLineOnlyWhileItsFlagIsSet)
{
    game->scenarioLines = {"check 1", "check 2", "check 3"};
    game->scriptStarts = {0};
    game->scenarioFlags = {1, 0};
    struct Case
    {
        std::int32_t line, after;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 1}, Case{2, 2}}) {
        std::int32_t line = c.line;
        EXPECT_EQ(RunScenario(0, *game, line), 8);
        EXPECT_EQ(line, c.after) << c.line;
    }
}

} // namespace
