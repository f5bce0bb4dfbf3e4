#pragma once
// Tests on the SDL back end under a virtual X server of their own. The server starts before each test
// (the test is skipped, saying why, when none can start); SDL draws in software, which reads back the
// window's whole picture even where the server, having no window manager, leaves the native window at
// its old size.

#include "../display_support.h"
#include "support/virtual_display.h"
#include "support/wait.h"

#include "platform/window.h"
#include "sdk/draw/fast_draw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace draw_test {

class XDisplayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        if (!m_display.Start(why)) GTEST_SKIP() << "skipped: " << why;
        setenv("SDL_RENDER_DRIVER", "software", 1);
    }

private:
    test_support::VirtualDisplay m_display;
};

// Runs the body on the SDL back end with a display device in a window of that size, or in full screen
// at that depth when one is given.
inline void WithSdlDevice(int width, int height, int fullScreenBpp,
                          std::function<void(DrawApp&, sdk::Draw::CFastDraw&)> body)
{
    const bool ran = RunInDrawApp("sdl", width, height, [&](DrawApp& app) {
        sdk::ZTL::smart_ptr<sdk::Draw::CFastDraw> device = sdk::Draw::CFastDraw::CreateForThread();
        if (fullScreenBpp != 0) device->SetDisplayBpp(fullScreenBpp);
        ASSERT_EQ(device->ChangeDisplay(fullScreenBpp != 0), 0);
        body(app, *device);
        if (fullScreenBpp != 0) device->ChangeDisplay(false);
    });
    ASSERT_TRUE(ran) << "the SDL back end cannot open the virtual display";
}

// Presents frames until the window has settled, and returns what it shows: the picture read back has the
// window's client size and is the same as the one read the time before, so no resize or repaint was
// still on its way.
inline std::vector<std::uint32_t> PresentAndRead(DrawApp& app, sdk::Draw::CFastDraw& device, SIZE& size)
{
    std::vector<std::uint32_t> shown, before;
    SIZE sizeBefore{};
    test_support::WaitUntil(
        [&] {
            before.swap(shown);
            sizeBefore = size;
            app.PumpMessages();
            device.OnDraw(nullptr, true);
            shown = Presented(app.GetHWnd(), size);
            RECT client{};
            platform::GetClientRect(app.GetHWnd(), &client);
            return !shown.empty() && size.cx == client.right - client.left &&
                   size.cy == client.bottom - client.top && size.cx == sizeBefore.cx &&
                   size.cy == sizeBefore.cy && shown == before;
        },
        "the window to settle");
    return shown;
}

} // namespace draw_test
