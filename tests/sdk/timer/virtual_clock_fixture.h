#pragma once
// Timer tests run on the virtual clock, which moves only when code sleeps or the test advances it.

#include "platform/clock.h"

#include <gtest/gtest.h>

template <std::uint32_t Start> class VirtualClockFixture : public ::testing::Test
{
protected:
    void SetUp() override { platform::UseVirtualClock(Start); }
    void TearDown() override { platform::UseRealClock(); }
};
