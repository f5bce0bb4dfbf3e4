#pragma once
// Timer tests run on the virtual clock, which moves only when code sleeps or the test advances it.
// It is chosen in the constructor, so that timers held by a derived fixture start on it.

#include "platform/host/clock.h"

#include <gtest/gtest.h>

template <std::uint32_t Start> class VirtualClockFixture : public ::testing::Test
{
protected:
    VirtualClockFixture() { platform::UseVirtualClock(Start); }
    ~VirtualClockFixture() override { platform::UseRealClock(); }
};
