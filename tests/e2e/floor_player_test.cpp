// The floor player on the real application, headless, on the built data: the dungeon started as the
// command line's "--dungeon 1 --seed S" starts it, one frame at a time, the player's keys pressed on
// one frame and released on the next.

#include "e2e/floor_player.h"

#include "game/app/program_entry.h"
#include "game/dataset/built_app.h"
#include "platform/host/headless/headless.h"
#include "support/app_runner.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

namespace headless = platform::headless;

// What one run left behind.
struct SRunResult
{
    std::vector<std::uint32_t> keys; // every press, in order
    std::int32_t floor = 0;
    std::int32_t frames = 0;
    std::int32_t turns = 0;
    bool floorsMatched = true; // the game-main scene or a menu over it showed on every frame
};

class FloorPlayerRunTest : public BuiltAppTest
{
protected:
    // Dungeon 1 from the seed, played until the floor is reached or the frames run out.
    static SRunResult Play(std::uint32_t seed, std::int32_t targetFloor, std::int32_t frameCap)
    {
        SRunResult result;
        EXPECT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
            CBodyApp app([&](CBodyApp& a) {
                SDungeonSwitch request;
                request.dungeon = 1;
                request.seed = seed;
                request.seedGiven = true;
                StartSwitchedAdventure(*a.GetGameResource(), request, 0);
                a.GetSceneControl()->RequestJump(kSceneGameMain);
                e2e::CFloorPlayer player;
                e2e::CKeyboard keyboard;
                keyboard.ReadBindings(*g_keyObject);
                const SGameResource& game = *a.GetGameResource();
                for (; result.frames < frameCap && game.floor < targetFloor; ++result.frames) {
                    std::uint32_t keys = 0;
                    if (result.frames % 2 == 1) {
                        keys = player.NextKeys(game);
                        if (keys != 0) result.keys.push_back(keys);
                    }
                    keyboard.Hold(keys);
                    if (!a.RunFrame()) break;
                    const std::int32_t scene = a.GetSceneControl()->GetCurrentNumber();
                    if (result.frames > 0 && scene != kSceneGameMain && scene != kSceneMenu)
                        result.floorsMatched = false;
                }
                result.floor = game.floor;
                result.turns = player.GetTurns(game);
                headless::ReleaseAllKeys();
            });
            app.Start();
        }));
        return result;
    }
};

TEST_F(FloorPlayerRunTest, ReachesTheSecondFloorOfTheFirstDungeonTheSameWayTwice)
{
    constexpr std::int32_t kFrameCap = 40000;
    const SRunResult first = Play(1234, 2, kFrameCap);
    EXPECT_EQ(first.floor, 2) << "after " << first.frames << " frames and " << first.turns << " turns";
    EXPECT_TRUE(first.floorsMatched);
    EXPECT_TRUE(headless::GetShownMessageBoxes().empty());
    const SRunResult second = Play(1234, 2, kFrameCap);
    EXPECT_EQ(second.frames, first.frames);
    EXPECT_EQ(second.keys, first.keys);
}

} // namespace
