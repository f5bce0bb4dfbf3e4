#include "sdk/draw/kernels/effect_table.h"

#include "small_plane.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using blt_test::SmallPlane;

void Fill(SmallPlane& plane, std::uint32_t colour, const RECT* rect = nullptr)
{
    const EffectKernel fill = FindEffectKernel(kEffectFill, plane.desc.type);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill(&plane.desc, rect, PrepareEffectColor(plane.desc.type, colour)), 0);
}

TEST(EffectFill, ColourInEveryPixelType)
{
    struct Case
    {
        int type;
        std::uint32_t want;
    };
    const Case cases[] = {
        {kPixel565, 0xFC08},          {kPixel555, 0x7E08},        {kPixelRGB888, 0xFF8040},
        {kPixelBGR888, 0x4080FF},     {kPixelXRGB8888, 0xFF8040}, {kPixelXBGR8888, 0x4080FF},
        {kPixelA565, 0xCD08FC08},     {kPixelA555, 0xCD087E08},   {kPixelARGB8888, 0x80FF8040},
        {kPixelABGR8888, 0x804080FF},
    };
    for (const Case& c : cases) {
        SmallPlane plane(c.type, 3, 2, 0xCD);
        Fill(plane, 0x80FF8040);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                ASSERT_EQ(plane.Word(x, y, BytesPerPixel(c.type)), c.want) << c.type;
    }
}

TEST(EffectFill, RectangleIsClippedAndOddColumnsAreExact)
{
    SmallPlane plane(kPixel565, 9, 3, 0);
    const RECT r{3, -2, 8, 1};
    Fill(plane, 0x00FFFFFF, &r);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(plane.Word(x, y, 2), (y < 1 && x >= 3 && x < 8) ? 0xFFFFu : 0u) << x << "," << y;
    const RECT past{-4, 1, 40, 40};
    Fill(plane, 0x00FFFFFF, &past);
    EXPECT_EQ(plane.Word(8, 2, 2), 0xFFFFu);
    const RECT inverted{20, 0, 30, 3};
    SmallPlane untouched(kPixelXRGB8888, 4, 2, 0x11);
    Fill(untouched, 0xFFFFFFFF, &inverted);
    for (std::uint8_t b : untouched.memory)
        ASSERT_EQ(b, 0x11);
}

TEST(EffectFill, TypesWithoutPixelsHaveNoKernel)
{
    EXPECT_EQ(FindEffectKernel(kEffectFill, kPixelUnused9), nullptr);
    EXPECT_EQ(FindEffectKernel(kEffectFill, kPixelP8), nullptr);
    EXPECT_EQ(FindEffectKernel(kEffectFill, 14), nullptr);
    EXPECT_EQ(FindEffectKernel(6, kPixel565), nullptr);
}

} // namespace
