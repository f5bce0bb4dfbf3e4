#include "game/core/random.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

Math::CRand Seeded(bool noRandom = false)
{
    Math::CRand generator;
    generator.SetSeed(2024);
    generator.noRandom = noRandom;
    return generator;
}

// How many values a call took from the generator, told by where its next value stands in the
// sequence of a fresh generator.
int DrawsTaken(Math::CRand& generator)
{
    const std::uint32_t next = generator.Get();
    Math::CRand reference = Seeded();
    for (int draws = 0; draws < 4; ++draws)
        if (reference.Get() == next) return draws;
    return -1;
}

TEST(GameRandom, EachHelperDrawsAsItsRuleSaysAndNeverInFixedMode)
{
    const std::uint32_t r = Seeded().Get();
    const struct
    {
        const char* name;
        std::function<std::int64_t(Math::CRand&)> call;
        std::int64_t expected; // from the first value of the sequence
        int draws;
        std::int64_t fixed; // in fixed-random mode, which never draws
    } cases[] = {
        {"draw", [](auto& g) { return RandomDraw(g); }, r, 1, 0},
        {"mask 255", [](auto& g) { return RandomMask(g, 255); }, r & 255, 1, 0},
        {"below 7", [](auto& g) { return RandomBelow(g, 7); }, r % 7, 1, 0},
        {"below 0", [](auto& g) { return RandomBelow(g, 0); }, 0, 0, 0},
        {"below -3", [](auto& g) { return RandomBelow(g, -3); }, 0, 0, 0},
        {"range -5..-2", [](auto& g) { return RandomRange(g, -5, -2); }, -5 + int(r % 3), 1, -5},
        {"range of every int", [](auto& g) { return RandomRange(g, INT32_MIN, INT32_MAX); },
         std::int64_t{INT32_MIN} + r % 0xFFFFFFFFu, 1, INT32_MIN},
        {"range 5..5", [](auto& g) { return RandomRange(g, 5, 5); }, 5, 0, 5},
        {"range 7..3", [](auto& g) { return RandomRange(g, 7, 3); }, 0, 0, 0},
        {"chance 30 in 100", [](auto& g) { return RandomChance(g, 30, 100); }, r % 100 < 30, 1, 1},
        {"chance 0", [](auto& g) { return RandomChance(g, 0, 100); }, 0, 0, 0},
        {"chance -1", [](auto& g) { return RandomChance(g, -1, 100); }, 0, 1, 0},
        {"chance in a range of 0", [](auto& g) { return RandomChance(g, 1, 0); }, 1, 0, 1},
    };
    for (const auto& c : cases) {
        Math::CRand normal = Seeded();
        EXPECT_EQ(c.call(normal), c.expected) << c.name;
        EXPECT_EQ(DrawsTaken(normal), c.draws) << c.name;
        Math::CRand fixed = Seeded(true);
        EXPECT_EQ(c.call(fixed), c.fixed) << c.name;
        fixed.noRandom = false;
        EXPECT_EQ(DrawsTaken(fixed), 0) << c.name;
    }
}

TEST(GameRandom, WeightedPicks)
{
    const std::vector<std::int32_t> weights{0, 5, 3};
    const std::uint32_t r = Seeded().Get();
    const struct
    {
        const char* name;
        std::function<std::int32_t(Math::CRand&)> call;
        bool noRandom;
        std::int32_t expected;
        int draws;
    } cases[] = {
        {"fixed mode: the first sum above 0", [&](auto& g) { return PickWeightedIndex(weights, g); }, true, 1,
         0},
        {"drawn", [&](auto& g) { return PickWeightedIndex(weights, g); }, false, r % 8 < 5 ? 1 : 2, 1},
        {"no weights", [](auto& g) { return PickWeightedIndex({}, g); }, false, -1, 0},
        {"no weights, a total", [](auto& g) { return PickWeightedIndexWithTotal({}, 10, g); }, false, -1, 1},
        {"total 0", [&](auto& g) { return PickWeightedIndexWithTotal(weights, 0, g); }, false, 1, 0},
        {"total 0, no weight",
         [](auto& g) {
             return PickWeightedIndexWithTotal({0, 0}, 0, g);
         },
         false, -1, 0},
        {"total past the sum", [&](auto& g) { return PickWeightedIndexWithTotal(weights, 1000, g); }, false,
         r % 1000 < 5   ? 1
         : r % 1000 < 8 ? 2
                        : -1,
         1},
    };
    for (const auto& c : cases) {
        Math::CRand generator = Seeded(c.noRandom);
        EXPECT_EQ(c.call(generator), c.expected) << c.name;
        generator.noRandom = false;
        EXPECT_EQ(DrawsTaken(generator), c.draws) << c.name;
    }
}

} // namespace
