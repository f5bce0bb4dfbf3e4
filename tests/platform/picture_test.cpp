#include "platform/dib.h"
#include "platform/host/media/picture.h"

#include "support/image_bytes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using test_support::Bytes;

constexpr test_support::Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

Bytes MakeJpeg(int width, int height)
{
    return test_support::MakeJpeg(width, height, kRed, kBlue);
}

// A 4 × 2 GIF on a 5 × 3 screen at (1, 1): indexes 0 red, 1 green, 2 transparent.
Bytes MakeGif(bool interlace)
{
    return test_support::MakeGif(
        {5, 3, 1, 1, 4, 2, {kRed, kGreen, {0, 0, 0}, {0, 0, 0}}, {0, 1, 2, 0, 1, 1, 0, 2}, 2, interlace});
}

TEST(Picture, JpegDecodesToItsSizeAndColours)
{
    const Bytes jpeg = MakeJpeg(16, 8);
    auto picture = platform::Picture::Decode(jpeg.data(), jpeg.size());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 16);
    EXPECT_EQ(picture->Height(), 8);
    auto section = platform::DibSection::Create(16, 8, 24);
    platform::DeviceContext dc;
    dc.SelectBitmap(section.get());
    ASSERT_TRUE(platform::DrawPicture(dc, *picture, 0, 0, 16, 8));
    std::uint32_t c = 0;
    dc.GetPixel(1, 1, c);
    EXPECT_GT(c & 0xFF, 0xE0u);
    EXPECT_LT((c >> 16) & 0xFF, 0x20u);
    dc.GetPixel(14, 6, c);
    EXPECT_LT(c & 0xFF, 0x20u);
    EXPECT_GT((c >> 16) & 0xFF, 0xE0u);
}

TEST(Picture, GifDrawsItsFirstImageOnTheScreenAndSkipsTransparentPixels)
{
    for (bool interlace : {false, true}) {
        const Bytes gif = MakeGif(interlace);
        auto picture = platform::Picture::Decode(gif.data(), gif.size());
        ASSERT_NE(picture, nullptr) << interlace;
        EXPECT_EQ(picture->Width(), 5);
        EXPECT_EQ(picture->Height(), 3);
        auto section = platform::DibSection::Create(5, 3, 32);
        platform::DeviceContext dc;
        dc.SelectBitmap(section.get());
        dc.FillRect(0, 0, 5, 3, 0x777777);
        ASSERT_TRUE(platform::DrawPicture(dc, *picture, 0, 0, 5, 3));
        const std::uint32_t k = 0x777777, r = 0x0000FF, g = 0x00FF00;
        const std::uint32_t expected[3][5] = {{k, k, k, k, k}, {k, r, g, k, r}, {k, g, g, r, k}};
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                std::uint32_t c = 0;
                dc.GetPixel(x, y, c);
                EXPECT_EQ(c, expected[y][x]) << x << "," << y << " interlace " << interlace;
            }
        }
    }
}

TEST(Picture, RenderScalesToTheAskedSize)
{
    const Bytes gif = MakeGif(false);
    auto picture = platform::Picture::Decode(gif.data(), gif.size());
    ASSERT_NE(picture, nullptr);
    auto section = platform::DibSection::Create(10, 6, 24);
    platform::DeviceContext dc;
    dc.SelectBitmap(section.get());
    ASSERT_TRUE(platform::DrawPicture(dc, *picture, 0, 0, 10, 6));
    std::uint32_t c = 0;
    dc.GetPixel(2, 2, c);
    EXPECT_EQ(c, 0x0000FFu);
    dc.GetPixel(3, 3, c);
    EXPECT_EQ(c, 0x0000FFu);
    dc.GetPixel(4, 4, c);
    EXPECT_EQ(c, 0x00FF00u);
    EXPECT_TRUE(platform::DrawPicture(dc, *picture, INT_MIN, INT_MAX, 10, 6));
    EXPECT_TRUE(platform::DrawPicture(dc, *picture, INT_MAX, INT_MIN, 10, 6));
    EXPECT_FALSE(platform::DrawPicture(dc, *picture, 0, 0, 0, 6));
}

TEST(Picture, BrokenAndForeignBytesAreRefused)
{
    Bytes jpeg = MakeJpeg(16, 8);
    for (std::size_t cut : {std::size_t{3}, std::size_t{20}, jpeg.size() / 2}) {
        EXPECT_EQ(platform::Picture::Decode(jpeg.data(), cut), nullptr) << cut;
    }
    Bytes gif = MakeGif(false);
    EXPECT_EQ(platform::Picture::Decode(gif.data(), 20), nullptr);
    const char text[] = "not a picture at all";
    EXPECT_EQ(platform::Picture::Decode(text, sizeof text), nullptr);
    EXPECT_EQ(platform::Picture::Decode(nullptr, 0), nullptr);
}

TEST(Picture, SizeInHimetricAndBack)
{
    EXPECT_EQ(platform::MulDiv(2540, 96, 2540), 96);
    EXPECT_EQ(platform::MulDiv(5, 3, 2), 8); // 7.5 rounds away from zero
    EXPECT_EQ(platform::MulDiv(-5, 3, 2), -8);
    EXPECT_EQ(platform::MulDiv(1, 1, 0), -1);
    EXPECT_EQ(platform::MulDiv(0x7FFFFFFF, 4, 1), -1);
    const Bytes jpeg = MakeJpeg(37, 5);
    auto picture = platform::Picture::Decode(jpeg.data(), jpeg.size());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->WidthHimetric(), platform::MulDiv(37, 2540, 96));
    EXPECT_EQ(platform::MulDiv(picture->WidthHimetric(), platform::ScreenPixelsPerInchX(), 2540), 37);
    EXPECT_EQ(platform::MulDiv(picture->HeightHimetric(), platform::ScreenPixelsPerInchY(), 2540), 5);
}

} // namespace
