// Every rectangle effect for every pixel type against the reference model, on planes whose padding and
// ends are watched, and the pinned cases of the effects (fill, fade, add, subtract, invert, mosaic).

#include "effect_model.h"
#include "small_plane.h"

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/effect_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using blt_test::Plane;

constexpr int kTypes[] = {3, 4, 5, 6, 7, 8, 10, 11, 12, 13};

// The kernel parameter as the entry hands it: the colour in the pixel type's form, or the rate byte.
std::uint32_t KernelParam(std::uint32_t effect, int type, std::uint32_t param)
{
    return effect == kEffectFade     ? param & 0xFF
           : effect == kEffectInvert ? 0
                                     : PrepareEffectColor(type, param);
}

int RunEffect(std::uint32_t effect, SSurfaceDesc& desc, const RECT* rect, std::uint32_t param)
{
    const EffectKernel kernel = FindEffectKernel(effect, desc.type);
    EXPECT_NE(kernel, nullptr);
    return kernel(&desc, rect, effect == kEffectMosaic ? param : KernelParam(effect, desc.type, param));
}

// A rectangle that may be null, reach past any edge, or be inverted.
std::optional<RECT> RandomRect(std::mt19937& rng, int w, int h)
{
    if (rng() % 6 == 0) return std::nullopt;
    const auto at = [&rng](int extent) { return static_cast<std::int32_t>(rng() % (extent + 7)) - 3; };
    return RECT{at(w), at(h), at(w), at(h)};
}

RECT Clipped(const std::optional<RECT>& r, int w, int h)
{
    RECT c = r ? *r : RECT{0, 0, w, h};
    c.left = std::max(c.left, 0), c.top = std::max(c.top, 0);
    c.right = std::min(c.right, w), c.bottom = std::min(c.bottom, h);
    return c;
}

// What mosaic should leave: every pixel of the clipped rectangle takes the top-left pixel of its block.
void MosaicModel(std::vector<std::uint8_t>& out, const Plane& plane, const RECT& c, int size)
{
    for (int y = c.top; y < c.bottom && size >= 1; ++y)
        for (int x = c.left; x < c.right; ++x) {
            const int bx = c.left + (x - c.left) / size * size, by = c.top + (y - c.top) / size * size;
            std::memcpy(out.data() + plane.Offset(x, y), plane.memory.data() + plane.Offset(bx, by),
                        effect_model::MosaicBytes(plane.desc.type));
        }
}

TEST(EffectKernels, EveryEffectAndTypeMatchesTheReferenceModel)
{
    BuildBlendTables();
    std::mt19937 rng(9);
    for (std::uint32_t effect = 0; effect < kEffectCount; ++effect)
        for (int type : kTypes)
            for (int round = 0; round < 40; ++round) {
                const int w = 1 + static_cast<int>(rng() % 19), h = 1 + static_cast<int>(rng() % 13);
                Plane plane(type, w, h, static_cast<int>(rng() % 5), rng);
                const std::optional<RECT> rect = RandomRect(rng, w, h);
                const std::uint32_t param =
                    effect == kEffectMosaic ? static_cast<std::uint32_t>(rng() % 8) - 1 : rng();
                std::vector<std::uint8_t> want = plane.memory;
                const RECT c = Clipped(rect, w, h);
                if (effect == kEffectMosaic) MosaicModel(want, plane, c, static_cast<int>(param));
                for (int y = c.top; y < c.bottom && effect != kEffectMosaic; ++y)
                    for (int x = c.left; x < c.right; ++x)
                        effect_model::Apply(static_cast<int>(effect), type, want.data() + plane.Offset(x, y),
                                            param);
                ASSERT_EQ(RunEffect(effect, plane.desc, rect ? &*rect : nullptr, param), 0);
                ASSERT_EQ(plane.memory, want)
                    << "effect " << effect << " type " << type << " param " << std::hex << param;
            }
}

// The vector forms of fade, add and subtract colour take groups of up to 16 pixels: on rows long enough to
// hold several, from every start column modulo 4 and with any kernel parameter (spare bits of a colour
// included), every pixel comes out as the same kernel gives it on a plane of that one pixel.
TEST(EffectKernels, LongRowsMatchOnePixelAtATime)
{
    BuildBlendTables();
    std::mt19937 rng(21);
    for (std::uint32_t effect : {kEffectFade, kEffectAddColor, kEffectSubColor})
        for (int type : kTypes)
            for (int w : {33, 64, 79}) {
                const std::uint32_t param = rng() | (rng() % 4 == 0 ? 0xFF : 0);
                const int left = static_cast<int>(rng() % 4);
                Plane plane(type, w + 4, 2, 0, rng);
                const std::vector<std::uint8_t> before = plane.memory;
                const RECT r{left, 1, left + w, 2};
                const EffectKernel kernel = FindEffectKernel(effect, type);
                ASSERT_EQ(kernel(&plane.desc, &r, param), 0);
                for (int x = 0; x < w + 4; ++x) {
                    Plane one(type, 1, 1);
                    std::memcpy(one.memory.data(), before.data() + plane.Offset(x, 1), plane.Bytes());
                    if (x >= left && x < left + w) {
                        ASSERT_EQ(kernel(&one.desc, nullptr, param), 0);
                    }
                    ASSERT_EQ(plane.Word(x, 1), one.Word(0, 0))
                        << "effect " << effect << " type " << type << " width " << w << " pixel " << x;
                }
                ASSERT_TRUE(
                    std::equal(before.begin(), before.begin() + plane.desc.pitch, plane.memory.begin()));
            }
}

std::uint32_t EffectOne(std::uint32_t effect, int type, std::uint32_t pixel, std::uint32_t param)
{
    Plane plane(type, 1, 1);
    plane.SetWord(0, 0, pixel);
    EXPECT_EQ(RunEffect(effect, plane.desc, nullptr, param), 0);
    return plane.Word(0, 0);
}

TEST(EffectKernels, PinnedPixels)
{
    BuildBlendTables();
    struct Case
    {
        std::uint32_t effect;
        int type;
        std::uint32_t pixel, param, want;
    };
    const Case cases[] = {
        // ARGB 0x80FF8040 filled into every type; byte 3 of a 16-bit type with alpha stays.
        {kEffectFill, kPixel565, 0xCDCD, 0x80FF8040, 0xFC08},
        {kEffectFill, kPixel555, 0xCDCD, 0x80FF8040, 0x7E08},
        {kEffectFill, kPixelRGB888, 0xCDCDCD, 0x80FF8040, 0xFF8040},
        {kEffectFill, kPixelBGR888, 0xCDCDCD, 0x80FF8040, 0x4080FF},
        {kEffectFill, kPixelXRGB8888, 0xCDCDCDCD, 0x80FF8040, 0xFF8040},
        {kEffectFill, kPixelXBGR8888, 0xCDCDCDCD, 0x80FF8040, 0x4080FF},
        {kEffectFill, kPixelA565, 0xCDCDCDCD, 0x80FF8040, 0xCD08FC08},
        {kEffectFill, kPixelA555, 0xCDCDCDCD, 0x80FF8040, 0xCD087E08},
        {kEffectFill, kPixelARGB8888, 0xCDCDCDCD, 0x80FF8040, 0x80FF8040},
        {kEffectFill, kPixelABGR8888, 0xCDCDCDCD, 0x80FF8040, 0x804080FF},
        // Fade: 565 takes only even levels (255 -> 14, 31 -> 0, 128 -> 8).
        {kEffectFade, kPixel565, 0xFFFF, 255, 0xE75C},
        {kEffectFade, kPixel565, 0xFFFF, 31, 0x0000},
        {kEffectFade, kPixel565, 0xFFFF, 0x80, 0x8430},
        {kEffectFade, kPixel555, 0xFFFF, 255, 0x7FFF},
        {kEffectFade, kPixel555, 0x7FFF, 0x80, 0x4210},
        {kEffectFade, kPixelXRGB8888, 0xAB123456, 255, 0x00123456},
        {kEffectFade, kPixelXBGR8888, 0xAB123456, 0, 0},
        {kEffectFade, kPixelA565, 0xAB0FFFFF, 128, 0xAB07FFFF},
        {kEffectFade, kPixelA555, 0xAB0F1234, 0, 0xAB001234},
        {kEffectFade, kPixelARGB8888, 0xFF123456, 0, 0x00123456},
        // Add and subtract: bit 15 of 555 survives, no borrow between fields, alpha types become opaque.
        {kEffectAddColor, kPixel555, 0x8000, 0x00FFFFFF, 0xFFFF},
        {kEffectAddColor, kPixelXRGB8888, 0xAB000000, 0x00FFFFFF, 0xABFFFFFF},
        {kEffectSubColor, kPixel565, 0x0820, 0x00000408, 0x0800},
        {kEffectAddColor, kPixel565, 0xF812, 0x00080000, 0xF812},
        {kEffectAddColor, kPixelA555, 0xAB07FFFF, 0, 0xAB077FFF},
        {kEffectAddColor, kPixelA565, 0xAB07F81F, 0xFF000000, 0xAB07F81F},
        {kEffectSubColor, kPixelARGB8888, 0x10203040, 0x80000000, 0xFF203040},
        {kEffectAddColor, kPixelABGR8888, 0x10F02010, 0x00201020, 0xFFFF3030},
        {kEffectInvert, kPixel555, 0x8000, 0, 0xFFFF},
        {kEffectInvert, kPixel565, 0x0000, 0, 0xFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EffectOne(c.effect, c.type, c.pixel, c.param), c.want) << c.effect << " " << c.type;
}

TEST(EffectKernels, MosaicBlocksStartAtTheClippedCorner)
{
    // A 10 x 10 rectangle at (3, 5) in blocks of 4: blocks start at columns 3, 7, 11 and rows 5, 9, 13.
    Plane plane(kPixelXRGB8888, 16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            plane.SetWord(x, y, static_cast<std::uint32_t>(y * 16 + x));
    const RECT r{3, 5, 13, 15};
    RunEffect(kEffectMosaic, plane.desc, &r, 4);
    EXPECT_EQ(plane.Word(12, 14), 13u * 16 + 11); // the 2 x 2 block at (11, 13)
    EXPECT_EQ(plane.Word(10, 8), 5u * 16 + 7);
    EXPECT_EQ(plane.Word(3, 9), 9u * 16 + 3);
    EXPECT_EQ(plane.Word(13, 14), 14u * 16 + 13); // outside the rectangle
    // Cut by the surface's edge: blocks start at the cut corner (0, 0), not at (-3, -3).
    const RECT past{-3, -3, 2, 2};
    RunEffect(kEffectMosaic, plane.desc, &past, 4);
    EXPECT_EQ(plane.Word(1, 1), 0u);
    // A block larger than the rectangle fills it with its top-left pixel; a size of 1, 0 or less changes
    // nothing.
    const std::vector<std::uint8_t> before = plane.memory;
    for (std::uint32_t size : {1u, 0u, 0xFFFFFFFFu, 0x80000000u}) {
        RunEffect(kEffectMosaic, plane.desc, nullptr, size);
        EXPECT_EQ(plane.memory, before) << size;
    }
    const RECT small{4, 4, 7, 6};
    RunEffect(kEffectMosaic, plane.desc, &small, 0x7FFFFFFF);
    EXPECT_EQ(plane.Word(6, 5), 4u * 16 + 4);
}

TEST(EffectKernels, TypesWithoutPixelsHaveNoKernel)
{
    for (std::uint32_t effect = 0; effect < kEffectCount; ++effect) {
        EXPECT_EQ(FindEffectKernel(effect, kPixelUnused9), nullptr);
        EXPECT_EQ(FindEffectKernel(effect, kPixelP8), nullptr);
        EXPECT_EQ(FindEffectKernel(effect, kPixelNone), nullptr);
        EXPECT_EQ(FindEffectKernel(effect, 14), nullptr);
        for (int type : kTypes)
            EXPECT_NE(FindEffectKernel(effect, type), nullptr);
    }
    EXPECT_EQ(FindEffectKernel(6, kPixel565), nullptr);
}

} // namespace
