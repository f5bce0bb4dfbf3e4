// The display device on the SDL back end under a virtual X server of the test's own: a known picture
// presented at 1× and at 2× reads back from the window unchanged, and a 16-bit full-screen frame is
// scaled to the screen.
#ifdef MAROVELLIN_HAVE_SDL

#include "x11_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

// The GL driver under SDL starts threads and keeps per-thread memory that the leak checker cannot
// always tell from ours, and on a busy machine not even by the library that made it. The leak checker is
// off in this program only; every drawing path it runs is also run, leak-checked, by the headless tests.
extern "C" const char* __lsan_default_options()
{
    return "detect_leaks=0";
}

namespace {

using namespace draw_test;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

using DisplayOnX = XDisplayTest;

TEST_F(DisplayOnX, APictureReadsBackUnchangedAtOneAndTwoTimes)
{
    for (int scale : {1, 2}) {
        const int w = 320 * scale, h = 240 * scale;
        WithSdlDevice(w, h, 0, [&](DrawApp& app, Draw::CFastDraw& device) {
            ASSERT_EQ(device.GetDisplayPixelType(), Draw::kPixelXRGB8888);
            PaintPattern(*device.GetSecondary(), 0, scale);
            SIZE size{};
            const std::vector<std::uint32_t> shown = PresentAndRead(app, device, size);
            ASSERT_EQ(size.cx, w);
            ASSERT_EQ(size.cy, h);
            int wrong = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    wrong += (shown[std::size_t(y) * w + x] & 0xFFFFFF) != Pattern(x / scale, y / scale);
            EXPECT_EQ(wrong, 0) << "at " << scale << "x";
        });
    }
}

TEST_F(DisplayOnX, A16BitFullScreenFrameIsScaledToTheScreen)
{
    WithSdlDevice(320, 240, 16, [&](DrawApp& app, Draw::CFastDraw& device) {
        ASSERT_TRUE(device.IsFullScreen());
        ASSERT_EQ(device.GetDisplayPixelType(), Draw::kPixel565);
        PaintPattern(*device.GetSecondary(), 0, 16);
        SIZE size{};
        const std::vector<std::uint32_t> shown = PresentAndRead(app, device, size);
        ASSERT_GT(size.cx, 0);
        // The frame keeps its shape: scaled by the smaller ratio, centred, bars elsewhere.
        const double s = std::min(size.cx / 320.0, size.cy / 240.0);
        const double ox = (size.cx - 320 * s) / 2, oy = (size.cy - 240 * s) / 2;
        int wrong = 0;
        for (int by = 0; by < 15; ++by)
            for (int bx = 0; bx < 20; ++bx) {
                const int x = int(ox + (bx * 16 + 8) * s), y = int(oy + (by * 16 + 8) * s);
                const std::uint32_t got = shown[std::size_t(y) * size.cx + x];
                const std::uint32_t want = Pattern(bx, by);
                for (int shift : {16, 8, 0})
                    wrong += std::abs(int(got >> shift & 0xFF) - int(want >> shift & 0xFF)) > 8;
            }
        EXPECT_EQ(wrong, 0) << "on a screen of " << size.cx << " x " << size.cy;
    });
}

} // namespace

#endif
