// The whole game from the title, played by the road player: a run of the first dungeon suspended and
// resumed, its end, the ranking and the replay.

#include "e2e/road_player.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(AdventureTest, Explore)
{
    e2e::CTempHome home;
    e2e::CRoadPlayer player;
    e2e::SRunOptions options;
    options.frameCap = std::getenv("E2E_CAP") ? std::strtoull(std::getenv("E2E_CAP"), nullptr, 10) : 20000;
    const e2e::SRunResult result = e2e::RunGame(player, options);
    EXPECT_TRUE(result.finished) << result.failure;
}

} // namespace
