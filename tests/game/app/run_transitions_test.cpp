#include "game/app/run_transitions.h"

#include <gtest/gtest.h>

#include "game/core/play_mode.h"
#include "gamebase/sdk_names.h"
#include "platform/host/clock.h"
#include "sdk/math/rand.h"

#include <string>
#include <utility>

namespace {

TEST(RunTransitions, RunIdMixesTheClockWithTwoDrawsUnlessFixed)
{
    platform::UseVirtualClock(0x12345);
    for (bool noRandom : {true, false}) {
        std::uint32_t id32 = 0;
        std::uint16_t id16 = 0;
        platform::SLocalTime before, now;
        do { // a second that turns during the call changes the date sum
            before = platform::GetLocalTime();
            MakeRunId(id32, id16, noRandom, 1000);
            now = platform::GetLocalTime();
        } while (before.second != now.second);
        std::uint32_t expected32 =
            (0x12345u << 16) + now.second + now.minute + now.hour + now.day + now.month + now.year;
        std::uint32_t expected16 = 0x12345u + 99u * 1000u;
        if (!noRandom) { // a generator seeded with the clock read again
            Math::CRand local;
            local.SetSeed(0x12345);
            expected32 += local.Get();
            expected16 += local.Get() % 0xFFFF;
        }
        EXPECT_EQ(id32, expected32) << noRandom;
        EXPECT_EQ(id16, expected16 & 0xFFFF) << noRandom;
    }
    platform::UseRealClock();
}

struct RecordingServices : ICampServices
{
    void RecoverOwnEquipment() override { calls += "recover;"; }
    void ResetIdentification(std::int32_t dungeon) override
    {
        calls += "reset " + std::to_string(dungeon) + ";";
    }
    void SetFlagsOfAllItems(std::uint16_t flags) override { calls += "flags " + std::to_string(flags) + ";"; }
    void ClearMessageSkip() override { calls += "skip;"; }
    std::string calls;
};

TEST(RunTransitions, TheCamp)
{
    RecordingServices services;
    std::uint8_t returnToCamp = 0;
    std::int32_t playMode = kPlayReplay;
    RequestReturnToCamp(returnToCamp, playMode, services);
    EXPECT_EQ(std::pair(returnToCamp, playMode), std::pair(std::uint8_t{1}, std::int32_t{kPlayNormal}));
    std::int32_t dungeon = 4, floor = 17;
    PrepareCamp(dungeon, floor, services);
    EXPECT_EQ(std::pair(dungeon, floor), std::pair(0, 1));
    EXPECT_EQ(services.calls, "recover;skip;reset 0;flags 3;");
}

} // namespace
