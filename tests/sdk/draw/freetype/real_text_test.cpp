// Text drawn with the real rasteriser and the installed Japanese faces: the ink lies where the measured
// extent says, character by character.
#include "../ink.h"

#include "platform/font.h"
#include "platform/host/freetype/freetype_font.h"
#include "sdk/draw/dib_bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;

constexpr const char* kLine = "霞野は階段を降りた。";
constexpr int kCharacters = 10;

class RealTextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto engine = platform::CreateFreeTypeFontEngine();
        if (!engine) GTEST_SKIP() << "the IPA Gothic faces are not installed";
        m_previous = platform::SetFontEngine(engine);
        m_installed = true;
        bitmap.font.text = kLine;
        bitmap.font.size = 16;
    }
    void TearDown() override
    {
        if (m_installed) platform::SetFontEngine(m_previous);
    }

    // The ink of a 32-bit bitmap: colour channels for opaque bitmaps, alpha for those with alpha.
    static draw_test::Ink Measure(Draw::CDIBitmap& bitmap, int fromX, int toX, int fromY, int toY)
    {
        Draw::CSurfaceInfo* info = bitmap.GetSurfaceInfo();
        const int channel = info->type == Draw::kPixelARGB8888 ? 3 : 0;
        return draw_test::MeasureInk(
            [&](int x, int y) { return info->pixels[y * info->pitch + x * 4 + channel]; }, std::max(0, fromX),
            std::min(info->width, toX), std::max(0, fromY), std::min(info->height, toY));
    }

    std::shared_ptr<platform::FontEngine> m_previous;
    bool m_installed = false;
    Draw::CTextDIBitmap bitmap; // the line at size 16
};

// Plainly drawn, the line has no grey levels; antialiased it has, and with its shadow (2 to the right)
// it still stays inside the extent. Either way every character inks its own cell.
TEST_F(RealTextTest, JapaneseLineInksEveryCharacterCellInsideTheExtent)
{
    int w = 0, h = 0;
    ASSERT_EQ(bitmap.font.GetTextSize(w, h), 0);
    EXPECT_EQ(std::pair(w, h), std::pair(kCharacters * 16 + 3, 16 + 3));
    for (bool antialiased : {false, true}) {
        bitmap.font.shadowColor = antialiased ? 0x808080 : Draw::kNoColor;
        ASSERT_EQ(antialiased ? bitmap.DrawTextAA2() : bitmap.DrawText(), 0);
        const draw_test::Ink all = Measure(bitmap, 0, w, 0, h);
        EXPECT_EQ(all.partial > 0, antialiased);
        EXPECT_LT(all.right, antialiased ? w : w - 3);
        EXPECT_LT(all.bottom, antialiased ? h : h - 3);
        for (int i = 0; i < kCharacters; ++i)
            EXPECT_GT(Measure(bitmap, i * 16, (i + 1) * 16, 0, 16).count, 4) << i;
    }
}

TEST_F(RealTextTest, VerticalLineRunsDownTheBitmap)
{
    bitmap.font.shadowColor = Draw::kNoColor;
    bitmap.font.vertical = 1; // the face's vertical form
    ASSERT_EQ(bitmap.DrawTextVertical(), 0);
    int w = 0, h = 0;
    bitmap.GetSize(&w, &h);
    EXPECT_EQ(std::pair(w, h), std::pair(16 + 3, kCharacters * 16 + 3));
    // The turned line fills the right-hand 16 columns, one character under the other.
    for (int i = 0; i < kCharacters; ++i) {
        const draw_test::Ink cell = Measure(bitmap, 0, w, i * 16, (i + 1) * 16);
        EXPECT_GT(cell.count, 4) << i;
        EXPECT_GE(cell.left, 3) << i;
    }
}

} // namespace
