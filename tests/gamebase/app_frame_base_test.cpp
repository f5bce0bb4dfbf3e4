// The display-mode operations of the application frame on the headless display.

#include "gamebase/app_frame_base.h"
#include "platform/host/headless/headless.h"
#include "support/app_runner.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace headless = platform::headless;

class CFrame : public QuorlithGameBase::CAppFrameBase
{
public:
    explicit CFrame(std::function<void(CFrame&)> body) : m_body(std::move(body)) {}
    void MainThread() override { m_body(*this); }
    std::int32_t Width() const
    {
        std::int32_t width = 0, height = 0;
        GetDisplaySize(&width, &height);
        return width;
    }
    std::int32_t Height() const
    {
        std::int32_t width = 0, height = 0;
        GetDisplaySize(&width, &height);
        return height;
    }

private:
    std::function<void(CFrame&)> m_body;
};

void RunFrame(const std::function<void(CFrame&)>& body)
{
    ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
        CFrame frame(body);
        frame.Start();
    }));
    headless::SetRefuseDisplayModes(false);
}

TEST(AppFrameBase, StartTakesTheThreadsApplicationAndItsFlag)
{
    RunFrame([](CFrame& frame) {
        ASSERT_NE(frame.GetMyApp(), nullptr);
        EXPECT_TRUE(frame.IsThreadValid());
        frame.SetAppFlag(true);
        EXPECT_TRUE(frame.GetAppFlag());
        EXPECT_TRUE(frame.GetMyApp()->IsQuitOnDestroy());
        frame.SetAppFlag(false);
        frame.Close();
        EXPECT_FALSE(frame.IsThreadValid());
    });
}

TEST(AppFrameBase, ChangeDisplayModeTakesZeroAsTheFullSizeAndClearsTheModeSetFlag)
{
    RunFrame([](CFrame& frame) {
        EXPECT_EQ(frame.ChangeDisplayMode(320, 240, false, 32), 0);
        EXPECT_EQ(frame.Width(), 320);
        EXPECT_EQ(frame.GetDraw()->GetDisplayWidth(), 320);
        EXPECT_EQ(frame.GetWindowHandle(), frame.GetMyApp()->GetHWnd());
        EXPECT_EQ(frame.ToggleFullScreen(0, 0, 0), 0);
        EXPECT_TRUE(frame.IsModeSet());
        EXPECT_EQ(frame.ChangeDisplayMode(0, 0, false, 32), 0);
        EXPECT_FALSE(frame.IsModeSet());
        EXPECT_EQ(frame.Width(), 640);
        EXPECT_EQ(frame.Height(), 480);
    });
}

TEST(AppFrameBase, ToggleWithZerosRepeatsTheStoredModeInTheOtherState)
{
    RunFrame([](CFrame& frame) {
        frame.ChangeDisplayMode(320, 240, false, 32);
        EXPECT_EQ(frame.ToggleFullScreen(0, 0, 0), 0);
        EXPECT_TRUE(frame.IsFullScreen());
        EXPECT_TRUE(frame.GetDraw()->IsFullScreen());
        EXPECT_EQ(frame.Width(), 320);
        EXPECT_EQ(frame.GetBpp(), 32);
        EXPECT_EQ(frame.ToggleFullScreen(640, 480, 0), 0);
        EXPECT_FALSE(frame.IsFullScreen());
        EXPECT_EQ(frame.Width(), 640);
    });
}

TEST(AppFrameBase, AToggleTheDisplayRefusesKeepsTheStoredMode)
{
    RunFrame([](CFrame& frame) {
        frame.ChangeDisplayMode(320, 240, false, 32);
        headless::SetRefuseDisplayModes(true);
        EXPECT_NE(frame.ToggleFullScreen(640, 480, 0), 0);
        EXPECT_FALSE(frame.IsFullScreen());
        EXPECT_EQ(frame.Width(), 320);
        EXPECT_EQ(frame.GetBpp(), 32);
        EXPECT_FALSE(frame.IsModeSet());
    });
}

TEST(AppFrameBase, ResizeInFullScreenEndsInAWindowOfTheNewSize)
{
    RunFrame([](CFrame& frame) {
        frame.ChangeDisplayMode(320, 240, true, 32);
        ASSERT_TRUE(frame.IsFullScreen());
        frame.ResizeDisplay(640, 480);
        EXPECT_FALSE(frame.IsFullScreen());
        EXPECT_EQ(frame.Width(), 640);
        EXPECT_EQ(frame.GetDraw()->GetDisplayWidth(), 640);
        EXPECT_TRUE(frame.IsModeSet());
    });
}

TEST(AppFrameBase, TheEighteenthResizeSwitchesThereAndBackAndStartsCountingAgain)
{
    RunFrame([](CFrame& frame) {
        frame.ChangeDisplayMode(320, 240, false, 32);
        for (int i = 1; i <= 17; ++i) {
            frame.ResizeDisplay(i % 2 ? 640 : 320, i % 2 ? 480 : 240);
            EXPECT_EQ(frame.GetResizeCount(), i);
        }
        frame.ResizeDisplay(320, 240);
        EXPECT_EQ(frame.GetResizeCount(), 0);
        EXPECT_FALSE(frame.IsFullScreen());
        EXPECT_EQ(frame.Width(), 320);
        // A toggle in between starts the count again.
        frame.ResizeDisplay(640, 480);
        frame.ToggleFullScreen(0, 0, 0);
        EXPECT_EQ(frame.GetResizeCount(), 0);
        frame.ToggleFullScreen(0, 0, 0);
    });
}

TEST(AppFrameBase, TheDisplayChangedFlagHoldsForOneDrawnFrameAfterASwitch)
{
    RunFrame([](CFrame& frame) {
        frame.ChangeDisplayMode(320, 240, false, 32);
        frame.DetectDisplayChange();
        EXPECT_FALSE(frame.IsDisplayChanged());
        frame.ToggleFullScreen(0, 0, 0);
        frame.DetectDisplayChange();
        EXPECT_TRUE(frame.IsDisplayChanged());
        frame.DetectDisplayChange();
        EXPECT_FALSE(frame.IsDisplayChanged());
        frame.ToggleFullScreen(0, 0, 0);
        frame.ToggleFullScreen(0, 0, 0); // there and back between two frames: nothing to see
        frame.DetectDisplayChange();
        EXPECT_FALSE(frame.IsDisplayChanged());
    });
}

} // namespace
