// Bitmaps as surfaces, and text drawn into them plainly, turned and antialiased, with the headless font
// engine: at size S a single-byte glyph is a box of (S / 2 - 1) × (S - 1) pixels in its S / 2 × S cell.
#include "memory_surface.h"

#include "sdk/draw/dib_bitmap.h"

#include "platform/font.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <tuple>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;

std::uint32_t Argb(Draw::CDIBitmap& bitmap, int x, int y)
{
    return draw_test::Word(bitmap, x, y);
}

std::pair<int, int> SizeOf(Draw::CDIBitmap& bitmap)
{
    int w = -1, h = -1;
    bitmap.GetSize(&w, &h);
    return {w, h};
}

class HeadlessFonts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previous_ = platform::SetFontEngine(nullptr);
        bitmap_.font.text = "a";
        bitmap_.font.size = 14;
        bitmap_.font.shadowColor = Draw::kNoColor;
    }
    void TearDown() override { platform::SetFontEngine(previous_); }
    std::shared_ptr<platform::FontEngine> previous_;
    Draw::CTextDIBitmap bitmap_; // "a" at size 14 without a shadow
};

TEST(DIBitmap, MadeBitmapsDescribeThemselvesAsSurfaces)
{
    Draw::CDIBitmap bitmap;
    int w = -1, h = -1;
    EXPECT_EQ(bitmap.GetDC(), nullptr);
    EXPECT_EQ(bitmap.CreateDIB(0, 5, 24, false), 1);
    EXPECT_EQ(bitmap.GetSize(&w, &h), 1);
    EXPECT_FALSE(bitmap.GetSurfaceInfo()->valid);

    ASSERT_EQ(bitmap.CreateDIB(3, 2, 24, false), 0);
    Draw::CSurfaceInfo* info = bitmap.GetSurfaceInfo();
    EXPECT_TRUE(info->valid);
    EXPECT_EQ(info->type, Draw::kPixelRGB888);
    EXPECT_EQ(info->pitch, 12);
    EXPECT_EQ(info->pixels, bitmap.GetBits());
    EXPECT_NE(bitmap.GetDC(), nullptr);
    EXPECT_EQ(bitmap.GetDC()->Bitmap(), bitmap.GetHBITMAP());
    EXPECT_EQ(SizeOf(bitmap), std::make_pair(3, 2));

    struct Case
    {
        int bits;
        bool alpha;
        int type, pitch;
    };
    for (const Case c : {Case{16, false, Draw::kPixel555, 8}, Case{32, false, Draw::kPixelXRGB8888, 12},
                         Case{24, true, Draw::kPixelARGB8888, 12}}) { // alpha always makes 32 bits
        ASSERT_EQ(bitmap.CreateDIB(3, 2, c.bits, c.alpha), 0);
        EXPECT_EQ(info->type, c.type) << c.bits;
        EXPECT_EQ(info->pitch, c.pitch) << c.bits;
    }

    EXPECT_EQ(bitmap.Release(), 0);
    EXPECT_FALSE(info->valid);
    EXPECT_EQ(bitmap.GetBits(), nullptr);
}

TEST(DIBitmap, ClearFillsWithTheFillColour)
{
    Draw::CDIBitmap bitmap;
    ASSERT_EQ(bitmap.CreateDIB(4, 2, 32, true), 0);
    bitmap.GetSurfaceInfo()->fillColor = 0x80112233;
    const Draw::RECT right{2, 0, 4, 2};
    EXPECT_EQ(bitmap.Clear(&right), 0);
    EXPECT_EQ(Argb(bitmap, 0, 0), 0u);
    EXPECT_EQ(Argb(bitmap, 3, 1), 0x80112233u);
    EXPECT_EQ(bitmap.Clear(nullptr), 0);
    EXPECT_EQ(Argb(bitmap, 0, 0), 0x80112233u);
}

TEST(DIBitmap, CreateFromDCCopiesTheRectangle)
{
    Draw::CDIBitmap source;
    ASSERT_EQ(source.CreateDIB(4, 4, 32, false), 0);
    source.GetDC()->SetPixel(2, 1, 0x0000FF);
    Draw::CDIBitmap copy;
    EXPECT_EQ(copy.CreateFromDC(source.GetDC(), nullptr, 24), 1);
    const Draw::RECT rect{1, 1, 3, 4};
    ASSERT_EQ(copy.CreateFromDC(source.GetDC(), &rect, 24), 0);
    EXPECT_EQ(SizeOf(copy), std::make_pair(2, 3));
    EXPECT_EQ(Argb(copy, 1, 0), 0xFF0000u);
    EXPECT_EQ(Argb(copy, 0, 0), 0u);
}

TEST_F(HeadlessFonts, PlainTextOnTheFillColour)
{
    auto& bitmap = bitmap_;
    bitmap.GetSurfaceInfo()->fillColor = 0x000000FF;
    ASSERT_EQ(bitmap.DrawText(), 0);
    EXPECT_EQ(SizeOf(bitmap), std::make_pair(7 + 3, 14 + 3));
    EXPECT_EQ(bitmap.GetSurfaceInfo()->type, Draw::kPixelXRGB8888);
    EXPECT_EQ(Argb(bitmap, 0, 0), 0x00FFFFFFu);
    EXPECT_EQ(Argb(bitmap, 6, 0), 0x000000FFu);

    bitmap.font.text = "";
    EXPECT_EQ(bitmap.DrawText(), 1);
}

TEST_F(HeadlessFonts, VerticalTextIsTurnedAQuarterClockwise)
{
    auto& bitmap = bitmap_;
    bitmap.font.shadowOffsetX = 2;
    bitmap.font.shadowOffsetY = 3;
    ASSERT_EQ(bitmap.DrawTextVertical(), 0);
    EXPECT_EQ(SizeOf(bitmap), std::make_pair(17, 10));
    EXPECT_EQ(Argb(bitmap, 16, 0) & 0xFFFFFF, 0xFFFFFFu); // work pixel (0, 0)
    EXPECT_EQ(Argb(bitmap, 4, 0) & 0xFFFFFF, 0xFFFFFFu);  // work pixel (0, 12), the glyph's last row
    EXPECT_EQ(Argb(bitmap, 3, 0) & 0xFFFFFF, 0u);         // work pixel (0, 13), below it
    EXPECT_EQ(Argb(bitmap, 16, 6) & 0xFFFFFF, 0u);        // work pixel (6, 0), the cell's empty column
    EXPECT_EQ(bitmap.font.shadowOffsetX, 2);
    EXPECT_EQ(bitmap.font.shadowOffsetY, 3);
}

TEST_F(HeadlessFonts, VerticalShadowFallsRightAndDownOnTheFinishedImage)
{
    auto& bitmap = bitmap_;
    bitmap.font.color = Draw::kNoColor; // the shadow alone
    bitmap.font.shadowColor = 0x0000FF;
    bitmap.font.shadowOffsetX = 1;
    bitmap.font.shadowOffsetY = 2;
    ASSERT_EQ(bitmap.DrawTextVertical(), 0);
    // Unshifted, the glyph's upper-left corner would be (16, 0); the shadow's lies 1 right, 2 down, off the
    // right edge, so its first column on the image starts at (16, 2) from glyph column 1.
    EXPECT_EQ(Argb(bitmap, 16, 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Argb(bitmap, 16, 1) & 0xFFFFFF, 0u);
}

TEST_F(HeadlessFonts, AntialiasedCoverageIsTheAverageOfTheEnlargedGlyph)
{
    auto& bitmap = bitmap_;
    bitmap.font.color = 0x00336699; // red 0x99, green 0x66, blue 0x33
    ASSERT_EQ(bitmap.DrawTextAA2(), 0);
    EXPECT_EQ(bitmap.GetSurfaceInfo()->type, Draw::kPixelARGB8888);
    // At double size the box is 13 × 27 in a 14 × 28 cell: blocks inside are full, the last column and
    // row of blocks half covered, the corner block a quarter.
    EXPECT_EQ(Argb(bitmap, 0, 0), 0xFF996633u);
    EXPECT_EQ(Argb(bitmap, 5, 12), 0xFF996633u);
    EXPECT_EQ(Argb(bitmap, 6, 0), 0x7F996633u);
    EXPECT_EQ(Argb(bitmap, 0, 13), 0x7F996633u);
    EXPECT_EQ(Argb(bitmap, 6, 13), 0x3F996633u);
    EXPECT_EQ(Argb(bitmap, 7, 0), 0x00996633u);
    // Outside the averaged area (the work bitmap is 17 × 31: 8 × 15 blocks) the fill stays.
    EXPECT_EQ(Argb(bitmap, 8, 0), 0u);
    EXPECT_EQ(Argb(bitmap, 0, 15), 0u);

    ASSERT_EQ(bitmap.DrawTextAA4(), 0);
    EXPECT_EQ(Argb(bitmap, 0, 0) >> 24, 255u);
    EXPECT_EQ(Argb(bitmap, 6, 0) >> 24, 255u * 12 / 16); // 3 of 4 columns of each row
    EXPECT_EQ(bitmap.font.quality, 2);
    EXPECT_EQ(bitmap.font.size, 14);
    EXPECT_EQ(bitmap.font.color, 0x00336699u);
}

TEST_F(HeadlessFonts, AntialiasedTextGoesOverItsShadow)
{
    auto& bitmap = bitmap_;
    bitmap.font.color = 0xFFFFFF;
    bitmap.font.shadowColor = 0x0000FF; // red shadow
    bitmap.font.shadowOffsetX = 2;
    bitmap.font.shadowOffsetY = 2;
    ASSERT_EQ(bitmap.DrawTextAA2(), 0);
    EXPECT_EQ(Argb(bitmap, 0, 0), 0xFFFFFFFFu); // full text over anything stays
    EXPECT_EQ(Argb(bitmap, 7, 5), 0xFFFF0000u); // no text, full shadow: the shadow
    EXPECT_EQ(Argb(bitmap, 1, 1) >> 24, 255u);
    EXPECT_EQ(bitmap.font.shadowColor, 0x0000FFu);
}

TEST(TextOverShadow, CompositingExamples)
{
    using Pixel = std::array<std::uint8_t, 4>;
    const auto over = [](Pixel text, Pixel shadow) {
        Draw::PutTextOverShadow(text.data(), shadow.data());
        return text;
    };
    EXPECT_EQ(over({10, 20, 30, 255}, {200, 100, 50, 255}), (Pixel{10, 20, 30, 255}));
    EXPECT_EQ(over({10, 20, 30, 0}, {200, 100, 50, 200}), (Pixel{200, 100, 50, 200}));
    EXPECT_EQ(over({10, 20, 30, 128}, {200, 100, 50, 255}),
              (Pixel{(200 * 127 + 10 * 128) / 255, (100 * 127 + 20 * 128) / 255, (50 * 127 + 30 * 128) / 255,
                     255}));
    EXPECT_EQ(over({1, 2, 3, 0}, {9, 9, 9, 0}), (Pixel{1, 2, 3, 0}));
}

// An engine whose fonts of 20 pixels and more measure too large for any bitmap.
class HugeWhenEnlarged : public platform::FontEngine
{
public:
    class Font : public platform::Font
    {
    public:
        explicit Font(int cell) : cell_(cell) {}
        bool Extent(std::string_view, int& cx, int& cy) override
        {
            cx = cy = cell_ >= 20 ? 40000 : cell_;
            return true;
        }
        bool Rasterise(std::string_view, const platform::MaskWindow&, platform::TextMask& mask) override
        {
            mask = {};
            return true;
        }
        int Ascent() const override { return cell_; }
        int Descent() const override { return 0; }
        int cell_;
    };
    std::unique_ptr<platform::Font> CreateFont(const platform::FontDescription& d) override
    {
        return std::make_unique<Font>(platform::FontCellHeight(d));
    }
};

TEST_F(HeadlessFonts, WorkBitmapThatCannotBeMadeLeavesTheFontAsItWas)
{
    auto engine = std::make_shared<HugeWhenEnlarged>();
    platform::SetFontEngine(engine);
    for (bool turned : {false, true}) {
        Draw::CTextDIBitmap bitmap;
        bitmap.font.text = "abc";
        bitmap.font.size = 14;
        bitmap.font.lineHeight = 15;
        bitmap.font.color = 0x123456;
        bitmap.font.shadowColor = 0x654321;
        bitmap.font.quality = 1;
        bitmap.font.shadowOffsetX = 3;
        bitmap.font.shadowOffsetY = 4;
        const auto fields = [](const Draw::CFont& f) {
            return std::tuple(f.size, f.lineHeight, f.color, f.shadowColor, f.quality, f.shadowOffsetX,
                              f.shadowOffsetY);
        };
        const auto before = fields(bitmap.font);
        EXPECT_EQ(turned ? bitmap.DrawTextAA2Vertical() : bitmap.DrawTextAA4(), 2);
        EXPECT_EQ(fields(bitmap.font), before);
    }
}

TEST_F(HeadlessFonts, AntialiasedVerticalTextIsTurnedAndOriented)
{
    auto& bitmap = bitmap_;
    bitmap.vertical = 1;
    ASSERT_EQ(bitmap.DrawTextAA2Oriented(), 0);
    EXPECT_EQ(bitmap.font.vertical, 0);
    EXPECT_EQ(SizeOf(bitmap), std::make_pair(17, 10));
    EXPECT_EQ(Argb(bitmap, 16, 0) >> 24, 255u);
    EXPECT_EQ(Argb(bitmap, 16, 6) >> 24, 127u);
    EXPECT_EQ(Argb(bitmap, 0, 0) >> 24, 0u);
}

} // namespace
