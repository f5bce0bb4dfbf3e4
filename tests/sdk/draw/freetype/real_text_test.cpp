// Text drawn with the real rasteriser and the installed Japanese faces: the ink lies where the measured
// extent says, character by character.
#include "platform/font.h"
#include "platform/freetype/freetype_font.h"
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
        previous_ = platform::SetFontEngine(engine);
        installed_ = true;
    }
    void TearDown() override
    {
        if (installed_) platform::SetFontEngine(previous_);
    }

    // The inked pixels of a 32-bit bitmap: colour channels for opaque bitmaps, alpha for those with alpha.
    struct Ink
    {
        int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
        int count = 0;
        int partial = 0;
    };
    static Ink Measure(Draw::CDIBitmap& bitmap, int fromX, int toX, int fromY, int toY)
    {
        Draw::CSurfaceInfo* info = bitmap.GetSurfaceInfo();
        const bool alpha = info->type == Draw::kPixelARGB8888;
        Ink ink;
        for (int y = std::max(0, fromY); y < std::min(info->height, toY); ++y) {
            for (int x = std::max(0, fromX); x < std::min(info->width, toX); ++x) {
                const std::uint8_t* p = info->pixels + y * info->pitch + x * 4;
                const unsigned level = alpha ? p[3] : p[0];
                if (!level) continue;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ++ink.count;
                ink.partial += level != 255;
            }
        }
        return ink;
    }

    std::shared_ptr<platform::FontEngine> previous_;
    bool installed_ = false;
};

TEST_F(RealTextTest, JapaneseLineInksEveryCharacterCellInsideTheExtent)
{
    Draw::CTextDIBitmap bitmap;
    bitmap.font.text = kLine;
    bitmap.font.size = 16;
    bitmap.font.shadowColor = Draw::kNoColor;
    int w = 0, h = 0;
    ASSERT_EQ(bitmap.font.GetTextSize(w, h), 0);
    EXPECT_EQ(w, kCharacters * 16 + 3);
    EXPECT_EQ(h, 16 + 3);
    ASSERT_EQ(bitmap.DrawText(), 0);
    const Ink all = Measure(bitmap, 0, w, 0, h);
    EXPECT_GE(all.left, 0);
    EXPECT_LT(all.right, w - 3);
    EXPECT_LT(all.bottom, h - 3);
    EXPECT_EQ(all.partial, 0); // plain text is drawn without grey levels
    for (int i = 0; i < kCharacters; ++i)
        EXPECT_GT(Measure(bitmap, i * 16, (i + 1) * 16, 0, 16).count, 4) << i;
}

TEST_F(RealTextTest, AntialiasedLineHasGreyEdgesAndStaysInsideTheExtent)
{
    Draw::CTextDIBitmap bitmap;
    bitmap.font.text = kLine;
    bitmap.font.size = 16;
    ASSERT_EQ(bitmap.DrawTextAA2(), 0);
    int w = 0, h = 0;
    bitmap.GetSize(&w, &h);
    const Ink all = Measure(bitmap, 0, w, 0, h);
    EXPECT_GT(all.partial, 0);
    EXPECT_LE(all.right, kCharacters * 16 + 2); // with the shadow, 2 to the right
    for (int i = 0; i < kCharacters; ++i)
        EXPECT_GT(Measure(bitmap, i * 16, (i + 1) * 16, 0, 16).count, 4) << i;
}

TEST_F(RealTextTest, VerticalLineRunsDownTheBitmap)
{
    Draw::CTextDIBitmap bitmap;
    bitmap.font.text = kLine;
    bitmap.font.size = 16;
    bitmap.font.shadowColor = Draw::kNoColor;
    bitmap.font.vertical = 1; // the face's vertical form
    ASSERT_EQ(bitmap.DrawTextVertical(), 0);
    int w = 0, h = 0;
    bitmap.GetSize(&w, &h);
    EXPECT_EQ(w, 16 + 3);
    EXPECT_EQ(h, kCharacters * 16 + 3);
    // The turned line fills the right-hand 16 columns, one character under the other.
    for (int i = 0; i < kCharacters; ++i) {
        const Ink cell = Measure(bitmap, 0, w, i * 16, (i + 1) * 16);
        EXPECT_GT(cell.count, 4) << i;
        EXPECT_GE(cell.left, 3) << i;
    }
}

} // namespace
