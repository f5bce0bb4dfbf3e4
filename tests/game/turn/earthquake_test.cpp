#include "game/app/game_resource.h"
#include "game/support/game_main_fixture.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/support/sound_recorder.h"
#include "game/turn/turn_phases.h"
#include "game/ui/effect_object.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

class EarthquakeTest : public GameMainTest
{
protected:
    // Starts the stage as its trigger does and calls the step until the stage ends; the number of calls.
    std::int32_t RunStage(std::int32_t mode)
    {
        scene.quakeMode = mode;
        scene.quakeFrame = 0;
        std::int32_t calls = 0;
        while (scene.quakeMode == mode && calls < 1000) {
            scene.UpdateQuake();
            ++calls;
        }
        return calls;
    }
};

TEST_F(EarthquakeTest, EachStageLastsItsCallsAndEndsWithItsMessageAndSteadyView)
{
    const struct
    {
        std::int32_t mode, calls, sound;
        const char* message;
    } cases[] = {
        {0, 152, 76, "揺れは収まった。"},
        {1, 212, 77, "このフロアは　もう長くは持ちそうにない。"},
    };
    for (const auto& c : cases) {
        sounds.played.clear();
        MessageRecorder messages(*game);
        EXPECT_EQ(RunStage(c.mode), c.calls) << c.mode;
        EXPECT_EQ(messages.Lines(), std::vector<std::string>{c.message}) << c.mode;
        EXPECT_EQ(std::pair(Player().viewOffsetX, Player().viewOffsetY), std::pair(0, 0));
        // The stage's sound plays on its first call only.
        EXPECT_EQ(sounds.played, std::vector<std::int32_t>{c.sound}) << c.mode;
    }
}

TEST_F(EarthquakeTest, TheViewShakesSidewaysByTheStageTables)
{
    // (mode, frame n before the call, horizontal, vertical)
    const struct
    {
        std::int32_t mode, n, x, y;
    } cases[] = {
        {0, 0, -1, 0}, {0, 29, 1, 0},  {0, 33, 0, 0},   {0, 89, 1, 0},   {1, 1, -1, 0},
        {1, 59, 0, 0}, {1, 62, -1, 0}, {1, 66, 1, 0},   {1, 118, -1, 0}, {2, 0, -1, 0},
        {2, 1, -1, 1}, {2, 2, 0, 0},   {2, 31, -1, -1}, {2, 95, -2, -1}, {2, 89, -1, 0},
    };
    for (const auto& c : cases) {
        scene.quakeMode = c.mode;
        scene.quakeFrame = c.n;
        scene.UpdateQuake();
        EXPECT_EQ(std::pair(Player().viewOffsetX, Player().viewOffsetY), std::pair(c.x, c.y))
            << c.mode << " n " << c.n;
    }
}

TEST_F(EarthquakeTest, TheCollapseDropsTwentyThreeRocksWithTwoDrawsEachAndEndsInOneCollapseAction)
{
    Player().x = 30;
    Player().y = 20;
    game->random.SetSeed(1234);
    Math::CRand expected = game->random;
    std::vector<std::int32_t> rockFrames;
    std::int32_t landings = 0;
    scene.quakeMode = 2;
    scene.quakeFrame = 0;
    std::int32_t calls = 0;
    while (scene.quakeMode == 2) {
        const std::size_t before = scene.fallingRocks.size();
        sounds.played.clear();
        scene.UpdateQuake();
        ++calls;
        if (scene.fallingRocks.size() > before) rockFrames.push_back(calls);
        for (const std::int32_t sound : sounds.played)
            if (sound == 47 || sound == 48 || sound == 18) ++landings;
    }
    EXPECT_EQ(calls, 402);
    ASSERT_EQ(rockFrames.size(), 23u);
    EXPECT_EQ(rockFrames.front(), 32);
    EXPECT_EQ(rockFrames.back(), 384);
    // Each rock lands 39 frames after it appeared; those still falling at the end never land.
    EXPECT_EQ(landings, 21);
    EXPECT_EQ(scene.fallingRocks.size(), 2u);

    for (int i = 0; i < 46; ++i)
        expected.Get();
    EXPECT_EQ(game->random.Get(), expected.Get());

    ASSERT_EQ(game->reactionQueue.pending.size(), 1u);
    EXPECT_EQ(game->reactionQueue.pending.front().kind, 52);
    EXPECT_EQ(std::pair(Player().viewOffsetX, Player().viewOffsetY), std::pair(0, 0));
}

TEST_F(EarthquakeTest, WithoutRandomDrawsEveryRockFallsLeftOfAndAboveTheHeroine)
{
    Player().x = 30;
    Player().y = 20;
    game->random.noRandom = true;
    scene.quakeMode = 2;
    scene.quakeFrame = 0;
    std::vector<std::pair<std::int32_t, std::int32_t>> cells;
    while (scene.quakeMode == 2) {
        const std::size_t before = game->effects.size();
        scene.UpdateQuake();
        for (std::size_t i = before; i < game->effects.size(); ++i)
            if (game->effects[i].kind == kEffectFallingRock || game->effects[i].kind == kEffectFallingBoulder)
                cells.emplace_back(game->effects[i].x, game->effects[i].y);
    }
    ASSERT_EQ(cells.size(), 23u);
    for (const auto& cell : cells)
        EXPECT_EQ(cell, std::pair(25, 16));
}

TEST_F(EarthquakeTest, ARockLandsAsPiecesOfItsLookWithItsSound)
{
    // (ice flag, column, falling look, piece kind, landing sound)
    const struct
    {
        std::uint8_t ice;
        std::int32_t column, look, piece, sound;
    } cases[] = {
        {0, 30, kEffectFallingRock, kEffectRockPiece, 47},
        {0, 31, kEffectFallingBoulder, kEffectBoulderPiece, 48},
        {1, 30, kEffectFallingIce, kEffectIcePiece, 18},
    };
    for (const auto& c : cases) {
        game->map.floorFlag = c.ice;
        game->effects.clear();
        scene.fallingRocks = {{1, (12 << 16) + c.column}};
        scene.quakeMode = 2;
        scene.quakeFrame = 100;
        sounds.played.clear();
        scene.UpdateQuake();
        EXPECT_TRUE(scene.fallingRocks.empty());
        ASSERT_EQ(game->effects.size(), 4u);
        for (const SEffectObject& piece : game->effects)
            EXPECT_EQ(std::tuple(piece.kind, piece.x, piece.y), std::tuple(c.piece, c.column, 12));
        EXPECT_EQ(sounds.played, std::vector<std::int32_t>{c.sound});
    }
}

TEST_F(EarthquakeTest, ASilentReRunNeverRunsTheQuakeStep)
{
    game->playMode = 1;
    game->messageWindow.logOnly = 1;
    const Math::CRand before = game->random;
    scene.quakeMode = 2;
    scene.quakeFrame = 47; // the next call would drop a rock
    std::uint32_t keys = 0;
    scene.OnMove(&keys);
    EXPECT_EQ(scene.quakeFrame, 47);
    EXPECT_TRUE(scene.fallingRocks.empty());
    Math::CRand copy = before;
    EXPECT_EQ(game->random.Get(), copy.Get());
}

} // namespace
