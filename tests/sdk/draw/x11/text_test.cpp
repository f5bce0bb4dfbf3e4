// A Japanese line on a text plane, drawn by the windowed back end's real rasteriser with IPA Gothic,
// presented in a window on a virtual X server of the test's own: the window shows ink where the text's
// measured extent says, character by character, and nowhere else.
#ifdef MAROVELLIN_HAVE_SDL

#include "../ink.h"
#include "x11_fixture.h"

#include "sdk/draw/text_plane.h"

#include <gtest/gtest.h>

namespace {

using namespace draw_test;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

constexpr const char* kLine = "霞野は階段を降りた。";
constexpr int kCharacters = 10;
constexpr int kSize = 16;
constexpr int kLeft = 20, kTop = 30; // where the text plane goes on the screen

Ink Measure(const std::vector<std::uint32_t>& shown, int width, int fromX, int toX, int fromY, int toY)
{
    return MeasureInk(
        [&](int x, int y) { return (shown[std::size_t(y) * width + x] & 0xFFFFFF) != 0 ? 255 : 0; }, fromX,
        toX, fromY, toY);
}

using TextOnX = XDisplayTest;

TEST_F(TextOnX, JapaneseLineInkLiesWhereTheExtentSays)
{
    WithSdlDevice(320, 240, 0, [&](DrawApp& app, Draw::CFastDraw& device) {
        Draw::CTextFastPlane text;
        text.font.text = kLine;
        text.font.size = kSize;
        text.font.color = 0xFFFFFF;
        text.font.shadowColor = Draw::kNoColor;
        int w = 0, h = 0;
        ASSERT_EQ(text.font.GetTextSize(w, h), 0);
        ASSERT_EQ(w, kCharacters * kSize + 3);
        ASSERT_EQ(h, kSize + 3);
        ASSERT_EQ(text.RenderTextKind1(), 0);

        Draw::CFastPlane* back = device.GetSecondary();
        back->SetFillColor(0);
        back->Clear(nullptr);
        const Draw::POINT at{kLeft, kTop};
        Draw::SBltInfo blt;
        blt.dstPoint = &at;
        ASSERT_EQ(back->Blt(0, text.GetSurfaceInfo(), &blt, nullptr), 0);

        SIZE size{};
        const std::vector<std::uint32_t> shown = PresentAndRead(app, device, size);
        ASSERT_EQ(size.cx, 320);
        ASSERT_EQ(size.cy, 240);

        // All the ink lies inside the extent (the 3 extra pixels are the shadow's room, unused here).
        const Ink all = Measure(shown, size.cx, 0, size.cx, 0, size.cy);
        EXPECT_GE(all.left, kLeft);
        EXPECT_GE(all.top, kTop);
        EXPECT_LT(all.right, kLeft + kCharacters * kSize);
        EXPECT_LT(all.bottom, kTop + kSize);
        // Every character inks its own cell; the full stop only a little of it, low on the left, as a real
        // glyph does (a box would fill the cell).
        for (int i = 0; i < kCharacters; ++i) {
            const Ink cell =
                Measure(shown, size.cx, kLeft + i * kSize, kLeft + (i + 1) * kSize, kTop, kTop + kSize);
            EXPECT_GT(cell.count, 4) << "character " << i;
        }
        const Ink stop = Measure(shown, size.cx, kLeft + 9 * kSize, kLeft + 10 * kSize, kTop, kTop + kSize);
        EXPECT_LT(stop.count, kSize * kSize / 4);
        EXPECT_GT(stop.top, kTop + kSize / 2);
        EXPECT_LT(stop.right, kLeft + 9 * kSize + kSize / 2);
    });
}

} // namespace

#endif
