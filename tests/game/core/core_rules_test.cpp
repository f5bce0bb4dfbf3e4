#include "game/core/character_status.h"
#include "game/core/directions.h"
#include "game/core/fixed_sine.h"
#include "game/core/money.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>

namespace {

TEST(GameCore, DirectionsDistancesAndFixedSine)
{
    std::int32_t dx = 9, dy = 9;
    DirectionToStep(1, dx, dy);
    EXPECT_EQ(std::pair(dx, dy), std::pair(-1, 1));
    DirectionToStep(8, dx, dy);
    EXPECT_EQ(std::pair(dx, dy), std::pair(0, 0));
    EXPECT_EQ(GetTileDistance(4, 1, 2, 6), 5);
    // A step from (10, 10) in each direction, clockwise from below; an unknown one stays.
    const std::array<std::pair<std::int32_t, std::int32_t>, 10> steps = {
        {{10, 11}, {9, 11}, {9, 10}, {9, 9}, {10, 9}, {11, 9}, {11, 10}, {11, 11}, {10, 10}, {10, 10}}};
    for (std::int32_t direction = 0; direction < 10; ++direction) {
        std::int32_t x = 10, y = 10;
        StepInDirection(direction == 9 ? -1 : direction, y, x);
        EXPECT_EQ(std::pair(x, y), steps[std::size_t(direction)]) << direction;
    }

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

TEST(GameCore, GoldLimitAndCounter)
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

TEST(CharacterStatus, Clear)
{
    SCharacterStatus status;
    std::array<std::uint8_t, 14> bytes;
    static_assert(sizeof status == bytes.size());
    bytes.fill(9);
    std::memcpy(&status, bytes.data(), sizeof status);
    ClearCharacterStatus(status);
    std::memcpy(bytes.data(), &status, sizeof status);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 14>{0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}));
}

} // namespace
