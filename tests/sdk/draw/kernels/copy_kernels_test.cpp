// Pinned values of the copy kernels, the stretched walk, and the colour keys of every keyed operation.
// Rows of every width, clips and stretches are compared with the model by the all-combinations test.

#include "small_plane.h"

#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using blt_test::BlitOne;
using blt_test::Plane;
using blt_test::RunKernel;

TEST(CopyKernels, PinnedConversions)
{
    struct Case
    {
        int dst, src;
        std::uint32_t srcValue, dstValue, want;
    };
    const Case cases[] = {
        // Widening fills the low bits with zero.
        {kPixelRGB888, kPixel565, 0xFFFF, 0, 0xF8FCF8},
        {kPixelXRGB8888, kPixel565, 0xFFFF, 0xAB000000, 0x00F8FCF8},
        {kPixelARGB8888, kPixelA565, 0x0FFFFF, 0, 0xF0F8FCF8},
        {kPixel565, kPixel555, 0x7FFF, 0, 0xFFDF},
        {kPixel555, kPixel565, 0xFFFF, 0, 0x7FFF},
        // ARGB 0x80FF8040: X cleared, R and B swapped with A kept, and packed into A565 with byte 3 kept.
        {kPixelXRGB8888, kPixelARGB8888, 0x80FF8040, 0, 0x00FF8040},
        {kPixelABGR8888, kPixelARGB8888, 0x80FF8040, 0, 0x804080FF},
        {kPixelA565, kPixelARGB8888, 0x80FF8040, 0xCD000000, 0xCD08FC08},
        {kPixelXRGB8888, kPixelXRGB8888, 0x12345678, 0, 0x12345678},
        {kPixelXBGR8888, kPixelXRGB8888, 0x12345678, 0, 0x00785634},
        {kPixelARGB8888, kPixelRGB888, 0x332211, 0, 0xFF332211},
        {kPixelBGR888, kPixelRGB888, 0x332211, 0, 0x112233},
        {kPixelA565, kPixel565, 0x1234, 0xCDEEEEEE, 0xCD0F1234},
        {kPixelA555, kPixelA565, 0xF7FFFF, 0xAA000000, 0xAA077FFF},
        {kPixelA565, kPixelA565, 0xF7FFFF, 0xAA000000, 0xAAF7FFFF},
        {kPixel555, kPixel555, 0x8001, 0, 0x8001},
        {kPixelA555, kPixel555, 0x8001, 0, 0x0F8001},
        {kPixel555, kPixelA555, 0x0F8001, 0, 0x0001},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BlitOne(0, c.dst, c.src, c.dstValue, c.srcValue), c.want) << c.dst << " <- " << c.src;
}

TEST(CopyKernels, PaletteDestinationReadsTheIndexTable)
{
    const SPaletteEntry palette[] = {{0, 0, 0}, {255, 255, 255}};
    CaptureSystemPalette(palette, 2);
    EXPECT_EQ(BlitOne(0, kPixelP8, kPixel555, 0x55, 0x7FFF), 1u);
    EXPECT_EQ(BlitOne(0, kPixelP8, kPixel555, 0x55, 0x8000), 0u);
}

TEST(BltKernels, NothingToDrawReturnsOneAndWritesNothing)
{
    for (int op : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 15, 16, 17}) {
        Plane src(kPixelXRGB8888, 4, 4, 0x11), dst(kPixelXRGB8888, 4, 4, 0xEE);
        const RECT outside{10, 10, 12, 12};
        const SIZE zero{0, 4};
        SBltInfo info, sized;
        info.srcRect = &outside;
        sized.dstSize = &zero;
        EXPECT_EQ(RunKernel(op, dst, src, info), 1) << op;
        EXPECT_EQ(RunKernel(op, dst, src, sized), 1) << op;
        EXPECT_EQ(dst.memory, std::vector<std::uint8_t>(dst.memory.size(), 0xEE)) << op;
    }
}

// Source columns a stretched row reads: a source row holding its own column numbers in XRGB8888.
std::vector<std::uint32_t> StretchedColumns(int from, int to, const RECT* clip = nullptr)
{
    Plane src(kPixelXRGB8888, from, 1), dst(kPixelXRGB8888, to, 1, 0xEE);
    for (int i = 0; i < from; ++i)
        src.SetWord(i, 0, static_cast<std::uint32_t>(i));
    const SIZE size{to, 1};
    SBltInfo info;
    info.dstSize = &size;
    info.clipRect = clip;
    RunKernel(0, dst, src, info);
    std::vector<std::uint32_t> columns;
    for (int i = 0; i < to; ++i)
        columns.push_back(dst.Word(i, 0));
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

// A blit stretched in height only, one column cut on the left: the visible part must show the same
// columns as the unclipped blit, not the image shifted by one.
TEST(StretchedWalk, OneColumnCutOnAnUnstretchedAxisStaysInPlace)
{
    Plane src(kPixelXRGB8888, 4, 2), dst(kPixelXRGB8888, 4, 4, 0xEE);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            src.SetWord(x, y, static_cast<std::uint32_t>(y * 16 + x));
    const SIZE size{4, 4};
    const POINT point{-1, -1};
    SBltInfo info;
    info.dstSize = &size;
    info.dstPoint = &point;
    ASSERT_EQ(RunKernel(0, dst, src, info), 0);
    // Unclipped, destination row k shows source row k / 2 and column k shows column k.
    EXPECT_EQ(dst.Word(0, 0), 0x01u);
    EXPECT_EQ(dst.Word(2, 0), 0x03u);
    EXPECT_EQ(dst.Word(0, 1), 0x11u);
    EXPECT_EQ(dst.Word(3, 0), 0xEEEEEEEEu);
}

// A plane blitted onto itself, stretched or moved one pixel right: the vector forms and the stretched rows
// drawn from a copy of the source row run only where destination and source cannot overlap, so here every
// pixel still reads the source as the pixels drawn before it left it, one pixel at a time.
TEST(BltWalk, APlaneBlittedOntoItselfReadsWhatEarlierPixelsDrew)
{
    BuildBlendTables();
    std::mt19937 rng(4);
    const RECT from{1, 1, 6, 5}, all{0, 0, 40, 7};
    const SIZE size{40, 7};
    const POINT right{1, 0};
    for (bool stretched : {true, false})
        for (int op : {1, 2, 15}) {
            for (int type : {kPixelXRGB8888, kPixel565}) {
                // These 1:1 rows always read a group (a vector, a pair of 16-bit pixels) before drawing it.
                if (!stretched && (op == 15 || (op == 2 && type == kPixel565))) continue;
                Plane plane(type, 40, 7, 0, rng);
                for (int i = 0; i < 40 * 7; i += 4)
                    plane.SetWord(i % 40, i / 40, PrepareColorKey(type, type, 0x00FF00FF));
                Plane want = plane;
                const SBltParam param{PrepareColorKey(type, type, 0x00FF00FF), 100};
                SBltInfo info;
                info.srcRect = stretched ? &from : &all;
                info.dstSize = stretched ? &size : nullptr;
                info.dstPoint = stretched ? nullptr : &right;
                ASSERT_EQ(RunKernel(op, plane, plane, info, param), 0);
                // The same blit one destination pixel at a time, in the walk's order.
                for (int y = 0; y < 7; ++y)
                    for (int x = 0; x < 40; ++x) {
                        const RECT one{x, y, x + 1, y + 1};
                        info.clipRect = &one;
                        RunKernel(op, want, want, info, param);
                    }
                EXPECT_EQ(plane.memory, want.memory) << "op " << op << " type " << type << " " << stretched;
            }
        }
}

// Keyed copies, adds, subtracts and blends: which source bits take part in the key test, and that a
// keyed pixel leaves every destination byte. Rate 255, factors 255 and 0.
TEST(ColourKeys, WhichBitsAreCompared)
{
    BuildBlendTables();
    struct Case
    {
        int op, dst, src;
        std::uint32_t key, dstValue, srcValue, want;
    };
    const Case cases[] = {
        // 16-bit sources with alpha: the colour word alone, whatever the alpha.
        {1, kPixel565, kPixelA565, 0xFF00FF, 0x7777, 0x00F81F, 0x7777},
        {1, kPixel565, kPixelA565, 0xFF00FF, 0x7777, 0x0AF81F, 0x7777},
        {1, kPixel565, kPixelA565, 0xFF00FF, 0x7777, 0x0F1234, 0x1234},
        {15, kPixel565, kPixelA565, 0xFF00FF, 0x1234, 0x0FF81F, 0x1234},
        {17, kPixel565, kPixelA565, 0xFF00FF, 0x1234, 0x03F81F, 0x1234},
        {8, kPixelA565, kPixelA565, 0xFF00FF, 0x0B0000, 0x07F81F, 0x0B0000},
        // An X source differing from the key in its spare byte is drawn (opaque onto ARGB).
        {1, kPixelARGB8888, kPixelXRGB8888, 0xFF00FF, 0x55555555, 0x00FF00FF, 0x55555555},
        {1, kPixelARGB8888, kPixelXRGB8888, 0xFF00FF, 0x55555555, 0x01FF00FF, 0xFFFF00FF},
        {4, kPixelXRGB8888, kPixelXRGB8888, 0xFF00FF, 0x00000001, 0x01FF00FF, 0x01FF00FF},
        {4, kPixelXRGB8888, kPixelXRGB8888, 0xFF00FF, 0x00000001, 0x00FF00FF, 0x00000001},
        {17, kPixelARGB8888, kPixelXRGB8888, 0xFF00FF, 0, 0x01FF00FF, 0xFFFF00FF},
        {15, kPixelARGB8888, kPixelXRGB8888, 0xFF00FF, 0, 0x00FF00FF, 0},
        // An ARGB source differing from the key only in alpha is keyed out; black is drawn, alpha 255.
        {4, kPixelARGB8888, kPixelARGB8888, 0xFF00FF, 0x40404040, 0x12FF00FF, 0x40404040},
        {5, kPixelARGB8888, kPixelARGB8888, 0xFF00FF, 0x40404040, 0x12FF00FF, 0x40404040},
        {8, kPixelARGB8888, kPixelARGB8888, 0xFF00FF, 0x40404040, 0x12FF00FF, 0x40404040},
        {9, kPixelARGB8888, kPixelARGB8888, 0xFF00FF, 0x40404040, 0x12FF00FF, 0x40404040},
        {4, kPixelARGB8888, kPixelARGB8888, 0xFF00FF, 0x40404040, 0xFF000000, 0xFF404040},
        {5, kPixelARGB8888, kPixelARGB8888, 0xFF00FF, 0x40404040, 0xFF000000, 0xFF404040},
        {8, kPixelARGB8888, kPixelARGB8888, 0xFF00FF, 0x40404040, 0xFF000000, 0xFF404040},
        {9, kPixelARGB8888, kPixelARGB8888, 0xFF00FF, 0x40404040, 0xFF000000, 0xFF404040},
        {15, kPixelXRGB8888, kPixelARGB8888, 0xFF00FF, 0x77123456, 0x12FF00FF, 0x77123456},
        {17, kPixelXRGB8888, kPixelARGB8888, 0xFF00FF, 0x77123456, 0x12FF00FF, 0x77123456},
        // 16-bit keys compare the packed colour: keys differing only in dropped bits select the same
        // pixels, and a 555 pixel with bit 15 set never matches.
        {5, kPixel565, kPixel565, 0xFA03FC, 0xFFFF, 0xF81F, 0xFFFF},
        {5, kPixel565, kPixel565, 0xFF00FF, 0xFFFF, 0xF81E, 0x07E1},
        {15, kPixel565, kPixel565, 0xF8FCF8, 0x1234, 0xFFFF, 0x1234},
        {15, kPixel565, kPixel565, 0xFFFFFF, 0x1234, 0xFFFF, 0x1234},
        {15, kPixel555, kPixel555, 0xFF00FF, 0, 0xFC1F, 0x7C1F},
    };
    for (const Case& c : cases) {
        const SBltParam p{PrepareColorKey(c.dst, c.src, c.key), 255, 255, 0};
        EXPECT_EQ(BlitOne(c.op, c.dst, c.src, c.dstValue, c.srcValue, p), c.want)
            << "op " << c.op << " " << c.dst << " <- " << c.src << " src " << std::hex << c.srcValue;
    }
}

} // namespace
