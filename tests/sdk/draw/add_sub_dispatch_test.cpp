// The add and subtract blits through the dispatcher: how the rate is read from the caller's parameter and
// whose colour key is used (what unserved pairs answer is checked for every pair by the all-combinations
// test).

#include "memory_surface.h"

#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using draw_test::CMemorySurface;

// A row of `width` pixels all `value`, keyed by `colorKey`.
struct Row : CMemorySurface
{
    Row(int type, int width, std::uint32_t value, std::uint32_t colorKey = 0)
        : CMemorySurface(width, 1, type, std::uint8_t(value))
    {
        FillWith(value);
        Info().colorKey = colorKey;
    }
};

class AddSubDispatch : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildBlendTables(); }
    int Blt(Row& dst, Row& src, int op, const void* param = nullptr)
    {
        return CSurfaceInfo::BltDispatch(&dst.Info(), &src.Info(), &info_, op, param);
    }
    const SBltInfo info_{};
};

TEST_F(AddSubDispatch, RateIsTheLowByteOfTheCallersValue)
{
    for (int op : {6, 8}) {
        for (std::int32_t rate : {256, 384, 128}) {
            Row dst(kPixel555, 1, 0x0000), src(kPixel555, 1, 0x7FFF);
            ASSERT_EQ(Blt(dst, src, op, &rate), 0);
            EXPECT_EQ(dst.Word(0, 0), rate == 256 ? 0x0000u : 0x4210u) << "op " << op << " rate " << rate;
        }
    }
}

TEST_F(AddSubDispatch, TheSourcePlanesKeyIsUsed)
{
    // The destination's key is never read; the source's is prepared in the source's layout.
    Row dst(kPixelXRGB8888, 2, 0x00101010, 0x00101010), src(kPixelARGB8888, 2, 0x80FF00FF, 0x00FF00FF);
    src.SetWord(1, 0, 0xFF0000FE);
    ASSERT_EQ(Blt(dst, src, 4), 0);
    EXPECT_EQ(dst.Word(0, 0), 0x00101010u);
    EXPECT_EQ(dst.Word(1, 0), 0x001010FFu); // opaque blue added with saturation, the spare byte kept
    // A565 sources compare only the colour word, whatever the key's and the pixel's alpha.
    Row d16(kPixelA565, 2, 0x0B000000), s16(kPixelA565, 2, 0x03F81F, 0x10FF00FF);
    s16.SetWord(1, 0, 0x0F0821);
    ASSERT_EQ(Blt(d16, s16, 5), 0);
    EXPECT_EQ(d16.Word(0, 0), 0x0B000000u);
    EXPECT_EQ(d16.Word(1, 0), 0x0B000000u);
    ASSERT_EQ(Blt(d16, s16, 4), 0);
    EXPECT_EQ(d16.Word(0, 0), 0x0B000000u);
    EXPECT_EQ(d16.Word(1, 0), 0x0B000821u);
}

} // namespace
