// Pinned values of the copy and colour-keyed copy kernels and of the stretched walk.

#include "small_plane.h"

#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using blt_test::RunKernel;
using blt_test::SmallPlane;

std::uint32_t CopyOne(int dstType, int srcType, std::uint32_t srcValue, std::uint32_t dstValue = 0)
{
    SmallPlane src(srcType, 1, 1), dst(dstType, 1, 1);
    src.SetWord(0, 0, srcValue, BytesPerPixel(srcType));
    dst.SetWord(0, 0, dstValue, BytesPerPixel(dstType));
    EXPECT_EQ(RunKernel(0, dst, src, SBltInfo{}), 0);
    return dst.Word(0, 0, BytesPerPixel(dstType));
}

TEST(CopyKernels, WideningFillsLowBitsWithZero)
{
    EXPECT_EQ(CopyOne(kPixelRGB888, kPixel565, 0xFFFF), 0xF8FCF8u);
    EXPECT_EQ(CopyOne(kPixelXRGB8888, kPixel565, 0xFFFF, 0xAB000000), 0x00F8FCF8u);
    EXPECT_EQ(CopyOne(kPixelARGB8888, kPixelA565, 0x0FFFFF), 0xF0F8FCF8u);
    EXPECT_EQ(CopyOne(kPixel565, kPixel555, 0x7FFF), 0xFFDFu);
    EXPECT_EQ(CopyOne(kPixel555, kPixel565, 0xFFFF), 0x7FFFu);
}

TEST(CopyKernels, AlphaAndSpareBytes)
{
    // ARGB 0x80FF8040: X cleared, R and B swapped with A kept, and packed into A565 with byte 3 kept.
    EXPECT_EQ(CopyOne(kPixelXRGB8888, kPixelARGB8888, 0x80FF8040), 0x00FF8040u);
    EXPECT_EQ(CopyOne(kPixelABGR8888, kPixelARGB8888, 0x80FF8040), 0x804080FFu);
    EXPECT_EQ(CopyOne(kPixelA565, kPixelARGB8888, 0x80FF8040, 0xCD000000), 0xCD08FC08u);
    EXPECT_EQ(CopyOne(kPixelXRGB8888, kPixelXRGB8888, 0x12345678), 0x12345678u);
    EXPECT_EQ(CopyOne(kPixelXBGR8888, kPixelXRGB8888, 0x12345678), 0x00785634u);
    EXPECT_EQ(CopyOne(kPixelARGB8888, kPixelRGB888, 0x332211), 0xFF332211u);
    EXPECT_EQ(CopyOne(kPixelBGR888, kPixelRGB888, 0x332211), 0x112233u);
    EXPECT_EQ(CopyOne(kPixelA565, kPixel565, 0x1234, 0xCDEEEEEE), 0xCD0F1234u);
    EXPECT_EQ(CopyOne(kPixelA555, kPixelA565, 0xF7FFFF, 0xAA000000), 0xAA077FFFu);
    EXPECT_EQ(CopyOne(kPixelA565, kPixelA565, 0xF7FFFF, 0xAA000000), 0xAAF7FFFFu);
    EXPECT_EQ(CopyOne(kPixel555, kPixel555, 0x8001), 0x8001u);
    EXPECT_EQ(CopyOne(kPixelA555, kPixel555, 0x8001), 0x0F8001u);
    EXPECT_EQ(CopyOne(kPixel555, kPixelA555, 0x0F8001), 0x0001u);
}

TEST(CopyKernels, PaletteDestinationReadsTheIndexTable)
{
    const SPaletteEntry palette[] = {{0, 0, 0}, {255, 255, 255}};
    CaptureSystemPalette(palette, 2);
    EXPECT_EQ(CopyOne(kPixelP8, kPixel555, 0x7FFF, 0x55), 1u);
    EXPECT_EQ(CopyOne(kPixelP8, kPixel555, 0x8000, 0x55), 0u);
}

// Source columns a stretched row reads: a source row holding its own column numbers in XRGB8888.
std::vector<std::uint32_t> StretchedColumns(int from, int to, const RECT* clip = nullptr, int x = 0)
{
    SmallPlane src(kPixelXRGB8888, from, 1), dst(kPixelXRGB8888, to, 1, 0xEE);
    for (int i = 0; i < from; ++i)
        src.SetWord(i, 0, static_cast<std::uint32_t>(i), 4);
    const SIZE size{to, 1};
    const POINT point{x, 0};
    SBltInfo info;
    info.dstSize = &size;
    info.dstPoint = &point;
    info.clipRect = clip;
    RunKernel(0, dst, src, info);
    std::vector<std::uint32_t> columns;
    for (int i = 0; i < to; ++i)
        columns.push_back(dst.Word(i, 0, 4));
    return columns;
}

TEST(StretchedWalk, NearestSourceColumns)
{
    using V = std::vector<std::uint32_t>;
    EXPECT_EQ(StretchedColumns(2, 4), (V{0, 0, 1, 1}));
    EXPECT_EQ(StretchedColumns(3, 5), (V{0, 1, 1, 2, 2}));
    EXPECT_EQ(StretchedColumns(4, 2), (V{0, 2}));
    EXPECT_EQ(StretchedColumns(5, 3), (V{0, 2, 3}));
    EXPECT_EQ(StretchedColumns(1, 3), (V{0, 0, 0}));
    EXPECT_EQ(StretchedColumns(3, 1), (V{0}));
    const V half = StretchedColumns(640, 320);
    for (int i = 0; i < 320; ++i)
        ASSERT_EQ(half[i], static_cast<std::uint32_t>(2 * i));
}

TEST(StretchedWalk, ClippedStretchEqualsTheSameWindowOfTheUnclipped)
{
    for (int from = 1; from <= 12; ++from) {
        for (int to = 1; to <= 12; ++to) {
            const std::vector<std::uint32_t> whole = StretchedColumns(from, to);
            for (int cut = 1; cut < to; ++cut) {
                const RECT clip{cut, 0, to, 1};
                const std::vector<std::uint32_t> clipped = StretchedColumns(from, to, &clip);
                for (int i = cut; i < to; ++i)
                    ASSERT_EQ(clipped[i], whole[i]) << from << "->" << to << " cut " << cut;
                for (int i = 0; i < cut; ++i)
                    ASSERT_EQ(clipped[i], 0xEEEEEEEEu);
            }
        }
    }
}

// A blit stretched in height only, one column cut on the left: the visible part must show the same
// columns as the unclipped blit, not the image shifted by one.
TEST(StretchedWalk, OneColumnCutOnAnUnstretchedAxisStaysInPlace)
{
    SmallPlane src(kPixelXRGB8888, 4, 2), dst(kPixelXRGB8888, 4, 4, 0xEE);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            src.SetWord(x, y, static_cast<std::uint32_t>(y * 16 + x), 4);
    const SIZE size{4, 4};
    const POINT point{-1, -1};
    SBltInfo info;
    info.dstSize = &size;
    info.dstPoint = &point;
    ASSERT_EQ(RunKernel(0, dst, src, info), 0);
    // Unclipped, destination row k shows source row k / 2 and column k shows column k.
    EXPECT_EQ(dst.Word(0, 0, 4), 0x01u);
    EXPECT_EQ(dst.Word(2, 0, 4), 0x03u);
    EXPECT_EQ(dst.Word(0, 1, 4), 0x11u);
    EXPECT_EQ(dst.Word(3, 0, 4), 0xEEEEEEEEu);
}

TEST(CopyKeyKernels, KeyComparesOnlyTheColourBits)
{
    SmallPlane src(kPixelA565, 3, 1), dst(kPixel565, 3, 1, 0x77);
    src.SetWord(0, 0, 0x00F81F, 4); // the key
    src.SetWord(1, 0, 0x0AF81F, 4); // the key with another alpha: still keyed out
    src.SetWord(2, 0, 0x0F1234, 4);
    SBltParam p;
    p.key = PrepareColorKey(kPixel565, kPixelA565, 0x00FF00FF);
    ASSERT_EQ(RunKernel(1, dst, src, SBltInfo{}, p), 0);
    EXPECT_EQ(dst.Word(0, 0, 2), 0x7777u);
    EXPECT_EQ(dst.Word(1, 0, 2), 0x7777u);
    EXPECT_EQ(dst.Word(2, 0, 2), 0x1234u);
}

TEST(CopyKeyKernels, SpareByteOfAnXSourceIsCompared)
{
    SmallPlane src(kPixelXRGB8888, 2, 1), dst(kPixelARGB8888, 2, 1, 0x55);
    src.SetWord(0, 0, 0x00FF00FF, 4);
    src.SetWord(1, 0, 0x01FF00FF, 4);
    SBltParam p;
    p.key = PrepareColorKey(kPixelARGB8888, kPixelXRGB8888, 0x00FF00FF);
    ASSERT_EQ(RunKernel(1, dst, src, SBltInfo{}, p), 0);
    EXPECT_EQ(dst.Word(0, 0, 4), 0x55555555u);
    EXPECT_EQ(dst.Word(1, 0, 4), 0xFFFF00FFu); // drawn, with opaque alpha
}

TEST(CopyKeyKernels, PreparedKeysFollowTheSourceLayout)
{
    EXPECT_EQ(PrepareColorKey(kPixel565, kPixel565, 0x00FF00FF), 0xF81Fu);
    EXPECT_EQ(PrepareColorKey(kPixel555, kPixel555, 0x00FF00FF), 0x7C1Fu);
    EXPECT_EQ(PrepareColorKey(kPixel565, kPixelA565, 0x80FF00FF), 0x08F81Fu);
    EXPECT_EQ(PrepareColorKey(kPixelRGB888, kPixelRGB888, 0x00112233), 0x112233u);
    EXPECT_EQ(PrepareColorKey(kPixelBGR888, kPixelBGR888, 0x00112233), 0x332211u);
    EXPECT_EQ(PrepareColorKey(kPixelXBGR8888, kPixelXBGR8888, 0x80112233), 0x00332211u);
    EXPECT_EQ(PrepareColorKey(kPixelARGB8888, kPixelARGB8888, 0x80112233), 0xFF112233u);
    EXPECT_EQ(PrepareColorKey(kPixelXRGB8888, kPixelARGB8888, 0x80112233), 0x80112233u);
}

TEST(CopyKernels, RowsOfEveryRemainderAreCopiedCompletely)
{
    for (int w : {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 16}) {
        for (int x0 : {0, 1}) {
            SmallPlane src(kPixel565, w, 1), dst(kPixel565, w + 2, 1, 0xEE);
            for (int i = 0; i < w; ++i)
                src.SetWord(i, 0, static_cast<std::uint32_t>(0x100 + i), 2);
            const POINT point{x0, 0};
            SBltInfo info;
            info.dstPoint = &point;
            ASSERT_EQ(RunKernel(0, dst, src, info), 0);
            for (int i = 0; i < w + 2; ++i) {
                const std::uint32_t want = i >= x0 && i < x0 + w ? 0x100u + (i - x0) : 0xEEEEu;
                ASSERT_EQ(dst.Word(i, 0, 2), want) << "width " << w << " at " << x0;
            }
        }
    }
}

TEST(CopyKernels, NothingToDrawReturnsOne)
{
    SmallPlane src(kPixel565, 4, 4), dst(kPixel565, 4, 4, 0xEE);
    const RECT outside{10, 10, 12, 12};
    SBltInfo info;
    info.srcRect = &outside;
    EXPECT_EQ(RunKernel(0, dst, src, info), 1);
    const SIZE zero{0, 4};
    SBltInfo sized;
    sized.dstSize = &zero;
    EXPECT_EQ(RunKernel(0, dst, src, sized), 1);
    for (std::uint8_t b : dst.memory)
        ASSERT_EQ(b, 0xEE);
}

} // namespace
