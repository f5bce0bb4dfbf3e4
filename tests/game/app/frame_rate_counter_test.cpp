// The frame-rate counter on the virtual clock.

#include "game/app/frame_rate_counter.h"
#include "platform/host/clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FrameRateCounterTest : public ::testing::Test
{
protected:
    void SetUp() override { platform::UseVirtualClock(5000); }
    void TearDown() override { platform::UseRealClock(); }
};

TEST_F(FrameRateCounterTest, CountsDrawnFramesInOneSecondWindowsThatFollowEachOther)
{
    struct Step
    {
        std::uint32_t gap; // milliseconds before the frame
        std::int32_t rate; // measured after it
    };
    CFrameRateCounter counter;
    counter.Start();
    // The first window opens at 5000 and ends at 6000; the second ends at 7000 whenever it is checked.
    const std::vector<Step> steps = {{0, 0},   {400, 0}, {599, 0}, {1, 4},   {10, 4},
                                     {980, 4}, {9, 4},   {2, 4},   {1000, 1}};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        platform::AdvanceVirtualClock(steps[i].gap);
        counter.CountFrame();
        EXPECT_EQ(counter.GetFrameRate(), steps[i].rate) << "frame " << i;
    }
}

TEST_F(FrameRateCounterTest, ASecondWithoutFramesChangesNothingUntilTheNextFrame)
{
    CFrameRateCounter counter;
    counter.Start();
    for (int i = 0; i < 30; ++i) {
        if (i > 0) platform::AdvanceVirtualClock(35);
        counter.CountFrame();
    }
    EXPECT_EQ(counter.GetFrameRate(), 30); // the 30th frame at 1015 closed the first window
    platform::AdvanceVirtualClock(3000);
    EXPECT_EQ(counter.GetFrameRate(), 30);
    // The windows follow each other from where they ended, so the missed seconds are closed one a frame.
    for (int i = 0; i < 3; ++i) {
        counter.CountFrame();
        EXPECT_EQ(counter.GetFrameRate(), 1);
    }
    counter.CountFrame();
    EXPECT_EQ(counter.GetFrameRate(), 1);
    platform::AdvanceVirtualClock(985);
    counter.CountFrame();
    EXPECT_EQ(counter.GetFrameRate(), 2);
    counter.Start();
    EXPECT_EQ(counter.GetFrameRate(), 0);
}

} // namespace
