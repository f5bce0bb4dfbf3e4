#include "platform/host/headless/headless.h"
#include "platform/input.h"
#include "sdk/input/joystick.h"
#include "sdk/input/key_base.h"
#include "sdk/input/key_input.h"
#include "support/app_runner.h"
#include "support/error_capture.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd;
using Input::CVirtualKey;

// A device whose held keys the test sets between updates.
class ScriptedDevice : public Input::IKeyBase
{
public:
    std::int32_t Update() override
    {
        Flip();
        for (int k = 0; k < 256; ++k)
            Current()[k] = held[k];
        return result;
    }
    std::uint8_t held[256] = {};
    std::int32_t result = 0;
};

TEST(VirtualKey, PressLastsAndPushIsTheFirstUpdateOnly)
{
    CVirtualKey keys;
    auto* device = new ScriptedDevice;
    keys.AddDevice(ZTL::smart_ptr<Input::IKeyBase>(device));
    keys.AddKey(3, 0, 0x10);
    device->held[0x10] = 0x80;
    bool press[3], push[3];
    for (int i = 0; i < 3; ++i) {
        keys.Update();
        press[i] = keys.IsPress(3);
        push[i] = keys.IsPush(3);
    }
    EXPECT_TRUE(press[0] && press[1] && press[2]);
    EXPECT_TRUE(push[0]);
    EXPECT_FALSE(push[1] || push[2]);
    EXPECT_EQ(keys.GetKeyState()[3], 255);
    // Let go and press again between two updates: still held, no new push.
    device->held[0x10] = 0;
    device->held[0x10] = 0x80;
    keys.Update();
    EXPECT_FALSE(keys.IsPush(3));
    device->held[0x10] = 0;
    keys.Update();
    EXPECT_FALSE(keys.IsPress(3));
}

TEST(VirtualKey, OrsItsDevicesAndTheirResults)
{
    CVirtualKey keys;
    auto* keyboard = new ScriptedDevice;
    auto* pad = new ScriptedDevice;
    keys.AddDevice(ZTL::smart_ptr<Input::IKeyBase>(keyboard));
    keys.AddDevice(ZTL::smart_ptr<Input::IKeyBase>(pad));
    keys.AddKey(0, 0, platform::DIK_UP);
    keys.AddKey(0, 1, 0);                                    // pad up
    keys.AddKey(1, 7, 0);                                    // a device that does not exist is ignored
    keys.AddKey(88, 0, platform::DIK_UP);                    // no such virtual key: nothing added
    keys.AddKey(2, ZTL::smart_ptr<CVirtualKey::CKeyInfo>()); // a null info adds nothing
    EXPECT_EQ(keys.GetKeyCount(2), 0u);

    pad->held[0] = 1;
    pad->result = 2;
    keyboard->result = 1;
    EXPECT_EQ(keys.Update(), 3);
    EXPECT_TRUE(keys.IsPress(0));
    pad->held[0] = 0;
    keyboard->held[platform::DIK_UP] = 0x80;
    keys.Update();
    EXPECT_TRUE(keys.IsPress(0));
    EXPECT_FALSE(keys.IsPush(0)); // held throughout, by one device or the other
    keyboard->held[platform::DIK_UP] = 0;
    keys.Update();
    EXPECT_FALSE(keys.IsPress(0));
    EXPECT_FALSE(keys.IsPress(1));
    EXPECT_FALSE(keys.IsPress(-1));
    EXPECT_FALSE(keys.IsPress(300));
    keys.ClearKeys();
    EXPECT_EQ(keys.GetKeyCount(0), 0u);
}

class Pads : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::SelectBackend("headless");
        platform::headless::RemoveAllJoysticks();
        platform::headless::AddJoystick(platform::JoystickCaps{0, 300, 30, 630, 6});
    }
    void TearDown() override { platform::headless::RemoveAllJoysticks(); }
    static void At(std::uint32_t x, std::uint32_t y, std::uint32_t buttons = 0)
    {
        platform::headless::SetJoystickPosition(0, platform::JoystickPosition{x, y, buttons});
    }
    // Which of the keys 0 (up), 1 (down), 2 (left), 3 (right) and 4 (the first button) are pressed
    // after an update at the given position.
    template <class Pad>
    static std::string PressedAt(Pad& pad, std::uint32_t x, std::uint32_t y, std::uint32_t buttons = 0)
    {
        At(x, y, buttons);
        pad.Update();
        std::string pressed;
        for (int k = 0; k < 5; ++k)
            pressed += pad.IsPress(k) ? '1' : '0';
        return pressed;
    }
};

TEST_F(Pads, AxesAreCutInThirdsWithStrictComparisons)
{
    Input::CWIN32JoyStick pad;
    ASSERT_EQ(pad.Select(0), 0);
    EXPECT_EQ(pad.GetXLow(), 100u);
    EXPECT_EQ(pad.GetXHigh(), 200u);
    EXPECT_EQ(pad.GetYLow(), 230u);
    EXPECT_EQ(pad.GetYHigh(), 430u);
    pad.SetButtonCount(6);
    EXPECT_EQ(PressedAt(pad, 100, 230), "00000");       // exactly at the lower thresholds: centred
    EXPECT_EQ(PressedAt(pad, 99, 229), "10100");        // up and left
    EXPECT_EQ(PressedAt(pad, 200, 430), "00000");       // exactly at the upper thresholds: centred
    EXPECT_EQ(PressedAt(pad, 201, 431, 0x21), "01011"); // down, right, buttons 0 and 5
    EXPECT_TRUE(pad.IsPress(9));
    EXPECT_FALSE(pad.IsPress(5));
    EXPECT_EQ(pad.GetKeyState()[4], 1);
}

TEST_F(Pads, SelectionResultsAndAFailedRead)
{
    Input::CWIN32JoyStick pad;
    EXPECT_EQ(pad.Update(), 1); // not selected
    EXPECT_EQ(pad.Select(1), 1);
    EXPECT_EQ(pad.Select(-1), 1);
    platform::headless::SetJoystickReadFails(0, true);
    EXPECT_EQ(pad.Select(0), 4);
    EXPECT_FALSE(pad.IsAvailable());
    platform::headless::SetJoystickReadFails(0, false);
    ASSERT_EQ(pad.Select(0), 0);
    At(0, 330);
    pad.Update(); // left
    At(150, 330);
    pad.Update(); // centred
    platform::headless::SetJoystickReadFails(0, true);
    EXPECT_EQ(pad.Update(), 2);
    EXPECT_TRUE(pad.IsPress(2)); // the buffer of two updates before
}

TEST_F(Pads, AButtonCountBeyondTheStateIsCut)
{
    Input::CWIN32JoyStick pad;
    ASSERT_EQ(pad.Select(0), 0);
    EXPECT_EQ(pad.SetButtonCount(1000), 0);
    EXPECT_EQ(pad.GetButtonCount(), 252); // 4 directions + 252 buttons fill the 256 bytes
    At(150, 330, 0xFFFFFFFFu);
    EXPECT_EQ(pad.Update(), 0); // writes stay inside the state
    EXPECT_TRUE(pad.IsPress(4 + 31));
    EXPECT_FALSE(pad.IsPress(4 + 32)); // a pad reports 32 buttons at most
    EXPECT_FALSE(pad.IsPress(255));
}

TEST_F(Pads, TheGamesPadForwardsOrReadsNothing)
{
    Input::CJoyStick pad;
    EXPECT_TRUE(pad.IsAvailable()); // the null device
    EXPECT_EQ(pad.Select(-1), 1);
    EXPECT_EQ(pad.Update(), 0);
    EXPECT_FALSE(pad.IsPress(0));
    EXPECT_EQ(pad.Select(3), 1); // no such pad: the unselected device stays
    EXPECT_FALSE(pad.IsAvailable());
    EXPECT_EQ(pad.Update(), 1);
    ASSERT_EQ(pad.Select(0), 0);
    EXPECT_EQ(pad.SetButtonCount(20), 0);
    EXPECT_EQ(pad.GetButtonCount(), 20);
    At(0, 330, 1u << 19);
    EXPECT_EQ(pad.Update(), 0);
    EXPECT_TRUE(pad.IsPush(2));
    EXPECT_TRUE(pad.IsPress(4 + 19));
}

TEST(KeyInput, WithoutAnApplicationWindowTheCooperativeLevelIsRefused)
{
    platform::SelectBackend("headless");
    test_support::ErrorCapture errors;
    Input::CKeyInput keys;
    EXPECT_EQ(keys.GetStatus(), 8);
    EXPECT_EQ(keys.Update(), 1);
    EXPECT_EQ(errors.Text(), "CKeyInput::CKeyInputでDirectInputの初期化SetCooperativeLevelに失敗");
}

TEST(KeyInput, WithoutTheInputSystemNothingWorks)
{
    test_support::ErrorCapture errors;
    Input::CDirectInput::SetCreator(nullptr);
    {
        Input::CKeyInput keys;
        EXPECT_EQ(keys.GetStatus(), 3);
        EXPECT_EQ(keys.Update(), 1);
        EXPECT_FALSE(keys.IsPress(platform::DIK_UP));
    }
    Input::CDirectInput::SetCreator(&Input::CDirectInput::CreateBuiltIn);
    EXPECT_EQ(errors.Text(), "CDirectInput::CDirectInputでLoadLibraryに失敗");
}

TEST(KeyInput, ReadsTheFocusedApplicationWindowAndNothingInTheBackground)
{
    platform::headless::ReleaseAllKeys();
    std::int32_t status = -1;
    std::vector<std::int32_t> results;
    std::vector<bool> press, push;
    test_support::RunInApplication([&](test_support::BodyApp& app) {
        Input::CKeyInput keys;
        status = keys.GetStatus();
        platform::headless::SetKey(platform::DIK_UP, true);
        for (int i = 0; i < 3; ++i) {
            results.push_back(keys.Update());
            press.push_back(keys.IsPress(platform::DIK_UP));
            push.push_back(keys.IsPush(platform::DIK_UP));
        }
        platform::headless::Events().Focus(app.GetHWnd(), false);
        results.push_back(keys.Update()); // input lost, cannot re-acquire
        press.push_back(keys.IsPress(platform::DIK_UP));
        results.push_back(keys.Update()); // cannot acquire in the background
        press.push_back(keys.IsPress(platform::DIK_UP));
        platform::SetFocus(app.GetHWnd());
        results.push_back(keys.Update());
        press.push_back(keys.IsPress(platform::DIK_UP));
        push.push_back(keys.IsPush(platform::DIK_UP));
    });
    platform::headless::ReleaseAllKeys();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(results, (std::vector<std::int32_t>{0, 0, 0, -1, 1, 0}));
    EXPECT_EQ(press, (std::vector<bool>{true, true, true, false, false, true}));
    EXPECT_EQ(push, (std::vector<bool>{true, false, false, true}));
}

} // namespace
