#include "game/app/utility.h"

#include <gtest/gtest.h>

#include "game/app/character_status.h"
#include "gamebase/sdk_names.h"
#include "platform/host/clock.h"
#include "sdk/math/rand.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

namespace {

TEST(GameUtility, DirectionsDistancesAndFixedSine)
{
    std::int32_t dx = 9, dy = 9;
    DirectionToStep(1, dx, dy);
    EXPECT_EQ(std::pair(dx, dy), std::pair(-1, 1));
    DirectionToStep(8, dx, dy);
    EXPECT_EQ(std::pair(dx, dy), std::pair(0, 0));
    EXPECT_EQ(GetTileDistance(4, 1, 2, 6), 5);

    const FixedSineTable table = MakeFixedSineTable();
    EXPECT_EQ((std::array{table[0], table[1], table[32], table[63]}), (std::array{0, 1607, 46322, 65514}));
    // At magnitude 65536 each quarter shows its table entry and sign.
    const std::array<int, 3> cases[] = {{1, 1607, 65454},    {65, 65454, -1607}, {129, -1607, -65454},
                                        {193, -65454, 1607}, {64, 65514, 0},     {256 + 64, 65514, 0}};
    for (auto [angle, sine, cosine] : cases) {
        EXPECT_EQ(FixedSin(angle, 65536), sine) << angle;
        EXPECT_EQ(FixedCos(angle, 65536), cosine) << angle;
    }
    EXPECT_EQ(FixedSin(32, 16), 46322 * 16 >> 16);
}

TEST(GameUtility, GoldLimitAndCounter)
{
    std::uint32_t gold = kGoldLimit;
    EXPECT_EQ(ClampGold(gold), 0);
    gold = kGoldLimit + 1;
    EXPECT_EQ(ClampGold(gold), 2);
    EXPECT_EQ(gold, kGoldLimit);

    const std::array<std::int64_t, 5> cases[] = {
        // low, high before; amount; low, high after
        {99999999, 0, 5, 4, 1},     {0, 0, 250000000, 0, 1}, // at most a hundred million a call
        {10, 2, -20, 99999990, 1},  {10, 0, -20, 0, 0},      // stops at zero
        {50, 3, -250000000, 50, 2},
    };
    for (auto [low, high, amount, lowAfter, highAfter] : cases) {
        SGoldCounter counter{std::uint32_t(low), std::uint32_t(high)};
        AddGoldCounter(counter, std::int32_t(amount));
        EXPECT_EQ(std::pair(counter.low, counter.high),
                  std::pair(std::uint32_t(lowAfter), std::uint32_t(highAfter)))
            << amount;
    }
}

TEST(GameUtility, RunIdMixesTheClockWithTwoDrawsUnlessFixed)
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

std::vector<std::uint32_t> g_floorSeeds;
std::int32_t g_floorType = 0;

std::int32_t ChooseFloorTypeForTest(std::int32_t, std::int32_t, std::uint32_t floorSeed)
{
    g_floorSeeds.push_back(floorSeed);
    return g_floorType;
}

TEST(GameUtility, FloorClassFromTheFloorType)
{
    for (auto [type, floorClass] : {std::pair{1, 1}, {6, 2}, {21, 3}, {22, 4}, {7, -1}}) {
        g_floorType = type;
        EXPECT_EQ(ClassifyFloor(2, 30, 30, 0xFFFFFFFF, ChooseFloorTypeForTest), floorClass) << type;
    }
    EXPECT_EQ(g_floorSeeds.back(), 29u * 0x3FF0000u - 1);
    EXPECT_EQ(ClassifyFloor(2, 31, 30, 7, ChooseFloorTypeForTest), 3); // past the last floor: no type chosen
    EXPECT_EQ(g_floorSeeds.size(), 5u);
}

struct RecordingServices : ISoundEffectPlayer, ICampServices
{
    std::int32_t Play(std::int32_t number) override
    {
        calls += "play " + std::to_string(number) + ";";
        return 7;
    }
    void RecoverOwnEquipment() override { calls += "recover;"; }
    void ResetIdentification(std::int32_t dungeon) override
    {
        calls += "reset " + std::to_string(dungeon) + ";";
    }
    void SetFlagsOfAllItems(std::uint16_t flags) override { calls += "flags " + std::to_string(flags) + ";"; }
    void ClearMessageSkip() override { calls += "skip;"; }
    std::string calls;
};

TEST(GameUtility, SilentRerunAndTheCamp)
{
    RecordingServices services;
    EXPECT_EQ(PlaySoundEffect(kPlaySilentRerun, services, 12), 0);
    EXPECT_EQ(PlaySoundEffect(kPlayReplay, services, 3), 7);

    std::uint8_t returnToCamp = 0;
    std::int32_t playMode = kPlayReplay;
    RequestReturnToCamp(returnToCamp, playMode, services);
    EXPECT_EQ(std::pair(returnToCamp, playMode), std::pair(std::uint8_t{1}, std::int32_t{kPlayNormal}));
    std::int32_t dungeon = 4, floor = 17;
    PrepareCamp(dungeon, floor, services);
    EXPECT_EQ(std::pair(dungeon, floor), std::pair(0, 1));
    EXPECT_EQ(services.calls, "play 3;recover;skip;reset 0;flags 3;");
}

TEST(GameUtility, GeneratorGrids)
{
    SSectionSearch search;
    search.group[5] = 3;
    search.reached[5] = search.reached[35] = 1;
    ClearSectionLinks(search);
    EXPECT_EQ(search.group[5], 3);
    EXPECT_EQ(std::count(std::begin(search.reached), std::end(search.reached), 0), 36);

    auto grid = std::make_unique<SMazeGrid>();
    std::fill(std::begin(grid->cells), std::end(grid->cells), 1);
    InitMazeGrid(*grid, 150, -3);
    EXPECT_EQ(std::pair(grid->width, grid->height), std::pair(100, 0));
    EXPECT_EQ(std::count(std::begin(grid->cells), std::end(grid->cells), 0), 0);
    InitMazeGrid(*grid, 3, 2);
    std::vector<int> open;
    for (int i = 0; i < SMazeGrid::kSide * SMazeGrid::kSide; ++i)
        if (grid->cells[i] == 0) open.push_back(i);
    EXPECT_EQ(open, (std::vector<int>{0, 1, 100, 101, 200, 201}));
}

TEST(CharacterStatus, ClearAndMarkedCell)
{
    SCharacterStatus status;
    std::array<std::uint8_t, 14> bytes;
    static_assert(sizeof status == bytes.size());
    bytes.fill(9);
    std::memcpy(&status, bytes.data(), sizeof status);
    ClearCharacterStatus(status);
    std::memcpy(bytes.data(), &status, sizeof status);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 14>{0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}));

    const std::array<int, 4> cases[] = {
        {0xFF, 1, 1, true}, {0, 5, 6, false}, {3, 5, 6, true}, {3, 5, 7, false}};
    for (auto [turns, x, y, at] : cases) {
        status.boundTurns = std::uint8_t(turns);
        status.boundX = std::uint8_t(x);
        status.boundY = std::uint8_t(y);
        EXPECT_EQ(IsAtMarkedCell(status, 5, 6), bool(at)) << turns << " " << x << " " << y;
    }
}

} // namespace
