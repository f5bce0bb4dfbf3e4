#include "platform/host/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(VirtualClock, StandsStillUntilSleepOrAdvanceAndWrapsAsUnsigned32Bit)
{
    platform::UseVirtualClock(1000);
    EXPECT_TRUE(platform::IsVirtualClock());
    EXPECT_EQ(platform::GetMilliseconds(), 1000u);
    platform::SleepMilliseconds(16);
    EXPECT_EQ(platform::GetMilliseconds(), 1016u);
    platform::AdvanceVirtualClock(4);
    platform::SleepMilliseconds(0);
    EXPECT_EQ(platform::GetMilliseconds(), 1020u);

    platform::UseVirtualClock(0xFFFFFFF0u);
    platform::SleepMilliseconds(0x20);
    EXPECT_EQ(platform::GetMilliseconds(), 0x10u);
    platform::UseRealClock();
}

TEST(VirtualClock, SwitchingBackUsesTheRealClock)
{
    platform::UseVirtualClock(5);
    platform::UseRealClock();
    EXPECT_FALSE(platform::IsVirtualClock());
    const std::uint32_t a = platform::GetMilliseconds();
    platform::SleepMilliseconds(5);
    const std::uint32_t b = platform::GetMilliseconds();
    EXPECT_GE(b - a, 5u); // a sleep never ends early
    EXPECT_LT(b - a, 0x80000000u);
}

TEST(LocalTime, AFixedDateIsAnsweredUntilTheWallClockIsBack)
{
    platform::FixLocalTime({2030, 2, 3, 4, 5, 6});
    const platform::SLocalTime fixed = platform::GetLocalTime();
    EXPECT_EQ(fixed.year, 2030);
    EXPECT_EQ(fixed.month, 2);
    EXPECT_EQ(fixed.day, 3);
    EXPECT_EQ(fixed.hour, 4);
    EXPECT_EQ(fixed.minute, 5);
    EXPECT_EQ(fixed.second, 6);
    platform::UnfixLocalTime();
    EXPECT_GE(platform::GetLocalTime().year, 2024); // the wall clock again
}

} // namespace
