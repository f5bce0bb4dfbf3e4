#include "platform/bmp.h"

#include "support/image_bytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

using test_support::Bytes;
using test_support::MakeBmp;
using test_support::Put16;
using test_support::Put32;

Bytes Palette(std::initializer_list<std::uint32_t> colors)
{
    return test_support::PaletteOfPacked(colors, true);
}

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kBlack = 0;
constexpr std::uint32_t kUntouched = 0x123456;

// Decodes a file into a 32-bit bitmap pre-filled with kUntouched and returns its pixels, row by row.
std::vector<std::uint32_t> Draw(const Bytes& file, int width, int height, int* rows = nullptr)
{
    platform::BitmapView view;
    EXPECT_TRUE(platform::ReadBitmapFile(file.data(), file.size(), view));
    auto section = platform::DibSection::Create(width, height, 32);
    platform::DeviceContext dc;
    dc.SelectBitmap(section.get());
    dc.FillRect(0, 0, width, height, kUntouched);
    const int drawn = platform::DrawBitmap(dc, 0, 0, view);
    if (rows) *rows = drawn;
    std::vector<std::uint32_t> out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = 0;
            dc.GetPixel(x, y, c);
            out.push_back(c);
        }
    }
    return out;
}

using Pixels = std::vector<std::uint32_t>;

Bytes Masks565()
{
    Bytes masks(12);
    Put32(masks, 0, 0xF800);
    Put32(masks, 4, 0x07E0);
    Put32(masks, 8, 0x001F);
    return masks;
}

TEST(BitmapDecode, EveryDepthAndPackingDrawsItsKnownPixels)
{
    const auto u = kUntouched;
    const auto rgb = platform::kBitmapRgb;
    const Bytes kRgbw = Palette({kBlack, kRed, kGreen, kBlue});
    struct Case
    {
        const char* what;
        Bytes file;
        int width, height;
        Pixels expected;
    };
    const Case cases[] = {
        // 3 × 2: bottom row (stored first) 1,0,1; top row 0,1,1.
        {"1 bit, bottom up, padded rows",
         MakeBmp(3, 2, 1, rgb, Palette({kBlack, kWhite}), {0b10100000, 0, 0, 0, 0b01100000, 0, 0, 0}),
         3,
         2,
         {kBlack, kWhite, kWhite, kWhite, kBlack, kWhite}},
        {"4 bits", MakeBmp(3, 1, 4, rgb, kRgbw, {0x12, 0x30, 0, 0}, 4), 3, 1, {kRed, kGreen, kBlue}},
        {"8 bits",
         MakeBmp(2, 2, 8, rgb, Palette({kBlack, kRed, kGreen}), {2, 1, 0, 0, 0, 2, 0, 0}, 3),
         2,
         2,
         {kBlack, kGreen, kGreen, kRed}},
        {"an index past the palette is black",
         MakeBmp(2, 1, 8, rgb, Palette({kWhite}), {0, 7, 0, 0}, 1),
         2,
         1,
         {kWhite, kBlack}},
        // 4 × 3, rows from the bottom: a run of two 1s, literal 2 2 3 (the 3 falls off the row), end of line;
        // delta (1, 1) to column 1 of the top row, a run of one 2, end of bitmap. The middle row and the rest
        // of the top row stay as they were.
        {"RLE8 with a delta",
         MakeBmp(4, 3, 8, platform::kBitmapRle8, kRgbw,
                 {2, 1, 0, 3, 2, 2, 3, 0, 0, 0, 0, 2, 1, 1, 1, 2, 0, 1}, 4),
         4,
         3,
         {u, kGreen, u, u, u, u, u, u, kRed, kRed, kGreen, kGreen}},
        {"RLE4 alternates nibbles",
         MakeBmp(6, 1, 4, platform::kBitmapRle4, kRgbw, {3, 0x12, 0, 3, 0x31, 0x20, 0, 1}, 4),
         6,
         1,
         {kRed, kGreen, kRed, kBlue, kRed, kGreen}},
        {"16 bits", MakeBmp(2, 1, 16, rgb, {}, {0x00, 0x7C, 0x1F, 0x00}), 2, 1, {0x0000F8, 0xF80000}},
        {"24 bits", MakeBmp(1, 2, 24, rgb, {}, {1, 2, 3, 0, 4, 5, 6, 0}), 1, 2, {0x040506, 0x010203}},
        {"32 bits", MakeBmp(1, 1, 32, rgb, {}, {9, 8, 7, 0xAA}), 1, 1, {0x090807}},
        {"5-6-5 bit fields",
         MakeBmp(1, 1, 16, platform::kBitmapBitFields, Masks565(), {0xE0, 0x07, 0, 0}),
         1,
         1,
         {0x00FC00}},
        {"a negative height is top down",
         MakeBmp(1, -2, 8, rgb, Palette({kRed, kBlue}), {0, 0, 0, 0, 1, 0, 0, 0}, 2),
         1,
         2,
         {kRed, kBlue}},
        // Claims 256 colours but holds two before the pixels.
        {"a palette cut short keeps its entries",
         MakeBmp(1, 1, 8, rgb, Palette({kRed, kBlue}), {1, 0, 0, 0}),
         1,
         1,
         {kBlue}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Draw(c.file, c.width, c.height), c.expected) << c.what;
}

TEST(BitmapDecode, TruncatedLiteralRunStopsDrawing)
{
    const Bytes rle = {0, 5, 1, 2};
    const Bytes file = MakeBmp(5, 1, 8, platform::kBitmapRle8, Palette({kBlack, kRed, kGreen}), rle, 3);
    int rows = -1;
    Draw(file, 5, 1, &rows);
    EXPECT_EQ(rows, 0);
}

TEST(BitmapDecode, DrawingIsClippedToTheTarget)
{
    const Bytes file = MakeBmp(2, 1, 8, platform::kBitmapRgb, Palette({kRed, kBlue}), {0, 1, 0, 0}, 2);
    platform::BitmapView view;
    ASSERT_TRUE(platform::ReadBitmapFile(file.data(), file.size(), view));
    auto section = platform::DibSection::Create(2, 1, 24);
    platform::DeviceContext dc;
    dc.SelectBitmap(section.get());
    EXPECT_EQ(platform::DrawBitmap(dc, 1, 0, view), 1);
    std::uint32_t c = 0;
    ASSERT_TRUE(dc.GetPixel(1, 0, c));
    EXPECT_EQ(c, kRed);
    EXPECT_EQ(platform::DrawBitmap(dc, -1, 0, view), 1);
    ASSERT_TRUE(dc.GetPixel(0, 0, c));
    EXPECT_EQ(c, kBlue);
    // Placed anywhere at all, nothing lands and nothing overflows.
    for (const auto& [x, y] : {std::pair{INT_MIN, 0}, std::pair{INT_MAX, 0}, std::pair{INT_MIN + 1, 0},
                               std::pair{INT_MIN, INT_MAX}, std::pair{INT_MAX, INT_MIN}}) {
        EXPECT_EQ(platform::DrawBitmap(dc, x, y, view), 1) << x << " " << y;
    }
    ASSERT_TRUE(dc.GetPixel(0, 0, c));
    EXPECT_EQ(c, kBlue);
}

TEST(BitmapRead, RefusesFilesThatDoNotHoldWhatTheyClaim)
{
    const Bytes good = MakeBmp(2, 2, 24, platform::kBitmapRgb, {}, Bytes(16, 0));
    platform::BitmapView view;
    ASSERT_TRUE(platform::ReadBitmapFile(good.data(), good.size(), view));
    EXPECT_EQ(view.stride, 8u);

    // Short by more than the last row's padding.
    EXPECT_FALSE(platform::ReadBitmapFile(good.data(), good.size() - 3, view));
    // The last row's padding may be missing.
    EXPECT_TRUE(platform::ReadBitmapFile(good.data(), good.size() - 2, view));

    Bytes offsetPastEnd = good;
    Put32(offsetPastEnd, 10, static_cast<std::uint32_t>(good.size() + 1));
    EXPECT_FALSE(platform::ReadBitmapFile(offsetPastEnd.data(), offsetPastEnd.size(), view));

    Bytes offsetInsideHeader = good;
    Put32(offsetInsideHeader, 10, 30);
    EXPECT_FALSE(platform::ReadBitmapFile(offsetInsideHeader.data(), offsetInsideHeader.size(), view));

    Bytes headerPastOffset = good;
    Put32(headerPastOffset, 14, 124);
    EXPECT_FALSE(platform::ReadBitmapFile(headerPastOffset.data(), headerPastOffset.size(), view));

    Bytes notBm = good;
    notBm[1] = 'A';
    EXPECT_FALSE(platform::ReadBitmapFile(notBm.data(), notBm.size(), view));

    for (int width : {0, -1, platform::kMaxBitmapSide + 1, 40000}) {
        const Bytes bad = MakeBmp(width, 1, 24, platform::kBitmapRgb, {}, Bytes(16, 0));
        EXPECT_FALSE(platform::ReadBitmapFile(bad.data(), bad.size(), view)) << width;
    }
    const Bytes zeroHeight = MakeBmp(1, 0, 24, platform::kBitmapRgb, {}, Bytes(4, 0));
    EXPECT_FALSE(platform::ReadBitmapFile(zeroHeight.data(), zeroHeight.size(), view));
    const Bytes oddDepth = MakeBmp(1, 1, 7, platform::kBitmapRgb, {}, Bytes(4, 0));
    EXPECT_FALSE(platform::ReadBitmapFile(oddDepth.data(), oddDepth.size(), view));
    const Bytes rleWrongDepth = MakeBmp(1, 1, 24, platform::kBitmapRle8, {}, Bytes(4, 0));
    EXPECT_FALSE(platform::ReadBitmapFile(rleWrongDepth.data(), rleWrongDepth.size(), view));
    const Bytes rleTopDown = MakeBmp(1, -1, 8, platform::kBitmapRle8, Palette({kRed}), {0, 1}, 1);
    EXPECT_FALSE(platform::ReadBitmapFile(rleTopDown.data(), rleTopDown.size(), view));
    // A palettised bitmap whose palette would have to lie inside the pixels.
    const Bytes noPalette = MakeBmp(1, 1, 8, platform::kBitmapRgb, {}, Bytes(4, 0));
    EXPECT_FALSE(platform::ReadBitmapFile(noPalette.data(), noPalette.size(), view));
    // Bit fields whose masks are cut off.
    const Bytes noMasks = MakeBmp(1, 1, 32, platform::kBitmapBitFields, Bytes(8, 0), Bytes(4, 0));
    EXPECT_FALSE(platform::ReadBitmapFile(noMasks.data(), noMasks.size(), view));
}

TEST(BitmapRead, OldCoreHeaderWithThreeBytePalette)
{
    Bytes file(14 + 12 + 6 + 4);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 10, 32);
    Put32(file, 14, 12);
    Put16(file, 18, 2);
    Put16(file, 20, 1);
    Put16(file, 22, 1);
    Put16(file, 24, 1);
    file[26] = 0xFF; // entry 0 blue
    file[31] = 0xFF; // entry 1 red
    file[32] = 0b01000000;
    EXPECT_EQ(Draw(file, 2, 1), (std::vector<std::uint32_t>{kBlue, kRed}));
}

TEST(BitmapRead, SeparateHeaderAndBits)
{
    const Bytes file = MakeBmp(1, 1, 24, platform::kBitmapRgb, {}, {1, 2, 3, 0});
    platform::BitmapView view;
    EXPECT_TRUE(platform::ReadBitmapInfo(file.data() + 14, 40, file.data() + 54, 4, view));
    EXPECT_FALSE(platform::ReadBitmapInfo(file.data() + 14, 39, file.data() + 54, 4, view));
    EXPECT_FALSE(platform::ReadBitmapInfo(file.data() + 14, 40, file.data() + 54, 2, view));
}

} // namespace
