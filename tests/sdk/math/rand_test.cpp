#include "sdk/math/rand.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Math = zelvoranGameSDK3rd::Math;

namespace {

TEST(MathRand, MatchesTheReferenceSequences)
{
    Math::CRand r;
    r.SetSeed(4357);
    EXPECT_EQ(r.Get(), 0xAAE64AC3u);
    EXPECT_EQ(r.Get(), 0x5E7C47DAu);
    EXPECT_EQ(r.Get(), 0xB98E8121u);
    for (int i = 4; i < 1000; ++i)
        r.Get();
    EXPECT_EQ(r.Get(), 1030650439u); // the 1000th output

    Math::CRand one;
    one.SetSeed(1);
    EXPECT_EQ(one.Get(), 0xD3F6B9E5u);
    EXPECT_EQ(one.Get(), 0xEF284157u);
}

TEST(MathRand, UnseededEqualsSeed4357AndReseedingRestarts)
{
    Math::CRand unseeded, seeded;
    seeded.SetSeed(4357);
    for (int i = 0; i < 2000; ++i) // across a regeneration of the state
        ASSERT_EQ(unseeded.Get(), seeded.Get()) << i;
    seeded.SetSeed(4357);
    EXPECT_EQ(seeded.Get(), 0xAAE64AC3u);
}

TEST(MathShuffle, DrawsOncePerEntryUnlessFixed)
{
    Math::CRand r, reference;
    std::vector<std::uint32_t> empty;
    Math::ShuffleWithRand(empty, r);
    EXPECT_EQ(r.Get(), reference.Get()); // nothing drawn for an empty list

    std::vector<std::uint32_t> one{7};
    Math::ShuffleWithRand(one, r);
    reference.Get();
    EXPECT_EQ(one, std::vector<std::uint32_t>{7});
    EXPECT_EQ(r.Get(), reference.Get()); // one value drawn, modulo 1

    std::vector<std::uint32_t> v{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::vector<std::uint32_t> expected = v;
    for (std::size_t i = 0; i < expected.size(); ++i)
        std::swap(expected[i], expected[i + reference.Get() % (expected.size() - i)]);
    Math::ShuffleWithRand(v, r);
    EXPECT_EQ(v, expected);
    EXPECT_TRUE(std::is_permutation(v.begin(), v.end(),
                                    std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}.begin()));

    std::vector<std::uint32_t> fixed{3, 1, 2};
    r.noRandom = true;
    Math::ShuffleWithRand(fixed, r);
    r.noRandom = false;
    EXPECT_EQ(fixed, (std::vector<std::uint32_t>{3, 1, 2}));
    EXPECT_EQ(r.Get(), reference.Get()); // the fixed mode draws nothing
}

// The values a counter shows after each of `count` steps.
std::vector<int> Steps(Math::CRootCounter& c, int count)
{
    std::vector<int> seen;
    for (int i = 0; i < count; ++i) {
        c.Inc();
        seen.push_back(c.GetValue());
    }
    return seen;
}

TEST(MathRootCounter, StepsWrapToTheNearBound)
{
    Math::CRootCounter c;
    EXPECT_EQ(c.m_end, 0x7FFFFFFF);
    c.m_end = 10;
    c.m_step = 3;
    EXPECT_EQ(Steps(c, 5), (std::vector<int>{3, 6, 9, 0, 3}));

    Math::CRootCounter down; // start above end: Inc moves down
    down.m_start = 5;
    down.m_end = 1;
    down.SetValue(5);
    EXPECT_TRUE(down.IsBegin());
    EXPECT_EQ(Steps(down, 5), (std::vector<int>{4, 3, 2, 1, 5}));
    down.SetValue(1);
    EXPECT_TRUE(down.IsEnd());
    down.Dec();
    EXPECT_EQ(down.GetValue(), 2);

    Math::CRootCounter slow;
    slow.m_end = 3;
    slow.m_step = -2;
    EXPECT_EQ(Steps(slow, 8), (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 0}));
    slow.SetValue(0);
    slow.m_subStep = 0;
    slow.Dec();
    EXPECT_EQ(slow.GetValue(), 0);
    slow.Dec();
    EXPECT_EQ(slow.GetValue(), 3); // below the start: round to the end

    Math::CRootCounter zero; // a step of 0 moves every call
    zero.m_end = 2;
    zero.m_step = 0;
    EXPECT_EQ(Steps(zero, 1), std::vector<int>{1});

    Math::CRootCounter top; // the default end does not overflow
    top.SetValue(0x7FFFFFFF);
    EXPECT_EQ(Steps(top, 1), std::vector<int>{0});
}

TEST(MathRootCounter, ASubStepLoadedAtEitherEndOfTheRangeMovesTheValue)
{
    Math::CRootCounter c;
    c.m_end = 10;
    c.SetValue(5);
    c.m_step = -3;
    c.m_subStep = INT32_MAX;
    c.Inc();
    EXPECT_EQ(std::pair(c.GetValue(), c.m_subStep), std::pair(6, 0));
    c.m_subStep = INT32_MIN;
    c.Dec();
    EXPECT_EQ(std::pair(c.GetValue(), c.m_subStep), std::pair(5, 0));
}

TEST(MathTables, HoldTheFixedPointValues)
{
    EXPECT_EQ(Math::FillMathTables(), Math::g_cosTable);
    EXPECT_EQ(Math::g_cosTable[0], 65536);
    EXPECT_EQ(Math::g_cosTable[128], 0);
    EXPECT_EQ(Math::g_cosTable[256], -65536);
    EXPECT_EQ(Math::g_cosTable[384], 0);
    EXPECT_EQ(Math::g_atanTable[0], 0);
    EXPECT_EQ(Math::g_atanTable[255], 8171);
}

} // namespace
