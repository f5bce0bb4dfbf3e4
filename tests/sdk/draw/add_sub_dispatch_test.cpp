// The add and subtract blits through the dispatcher: how the rate is read from the caller's parameter,
// whose colour key is used, and what unserved pairs answer.

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/surface_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

struct Plane
{
    Plane(int type, int width, std::uint32_t value, std::uint32_t colorKey = 0)
        : bytes(BytesPerPixel(type)), memory(static_cast<std::size_t>(width) * bytes)
    {
        info.valid = true;
        info.pixels = memory.data();
        info.pitch = width * bytes;
        info.width = width;
        info.height = 1;
        info.type = type;
        info.colorKey = colorKey;
        for (int x = 0; x < width && bytes > 0; ++x) // a type without pixels has no memory
            Set(x, value);
    }
    void Set(int x, std::uint32_t v) { std::memcpy(memory.data() + x * bytes, &v, bytes); }
    std::uint32_t Get(int x) const
    {
        std::uint32_t v = 0;
        std::memcpy(&v, memory.data() + x * bytes, bytes);
        return v;
    }
    int bytes;
    std::vector<std::uint8_t> memory;
    CSurfaceInfo info;
};

class AddSubDispatch : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildBlendTables(); }
    const SBltInfo info_{};
};

TEST_F(AddSubDispatch, RateIsTheLowByteOfTheCallersValue)
{
    for (int op : {6, 8}) {
        for (std::int32_t rate : {256, 384, 128}) {
            Plane dst(kPixel555, 1, 0x0000), src(kPixel555, 1, 0x7FFF);
            ASSERT_EQ(CSurfaceInfo::BltDispatch(&dst.info, &src.info, &info_, op, &rate), 0);
            EXPECT_EQ(dst.Get(0), rate == 256 ? 0x0000u : 0x4210u) << "op " << op << " rate " << rate;
        }
    }
}

TEST_F(AddSubDispatch, TheSourcePlanesKeyIsUsed)
{
    // The destination's key is never read; the source's is prepared in the source's layout.
    Plane dst(kPixelXRGB8888, 2, 0x00101010, 0x00101010), src(kPixelARGB8888, 2, 0x80FF00FF, 0x00FF00FF);
    src.Set(1, 0xFF0000FE);
    ASSERT_EQ(CSurfaceInfo::BltDispatch(&dst.info, &src.info, &info_, 4, nullptr), 0);
    EXPECT_EQ(dst.Get(0), 0x00101010u);
    EXPECT_EQ(dst.Get(1), 0x001010FFu); // opaque blue added with saturation, the spare byte kept
    // A565 sources compare only the colour word, whatever the key's and the pixel's alpha.
    Plane d16(kPixelA565, 2, 0x0B000000), s16(kPixelA565, 2, 0x03F81F, 0x10FF00FF);
    s16.Set(1, 0x0F0821);
    ASSERT_EQ(CSurfaceInfo::BltDispatch(&d16.info, &s16.info, &info_, 5, nullptr), 0);
    EXPECT_EQ(d16.Get(0), 0x0B000000u);
    EXPECT_EQ(d16.Get(1), 0x0B000000u);
    ASSERT_EQ(CSurfaceInfo::BltDispatch(&d16.info, &s16.info, &info_, 4, nullptr), 0);
    EXPECT_EQ(d16.Get(0), 0x0B000000u);
    EXPECT_EQ(d16.Get(1), 0x0B000821u);
}

TEST_F(AddSubDispatch, UnservedPairsDrawNothing)
{
    const std::int32_t rate = 255;
    struct Case
    {
        int op, dst, src, result;
    };
    for (const Case c : {Case{2, kPixel565, kPixel555, 2}, Case{3, kPixelARGB8888, kPixelABGR8888, 2},
                         Case{5, kPixelRGB888, kPixelXRGB8888, 2}, Case{7, kPixelA565, kPixelA555, 2},
                         Case{8, kPixelRGB888, kPixelRGB888, 0}, Case{9, kPixelXRGB8888, kPixelARGB8888, 2},
                         Case{2, kPixelUnused9, kPixelUnused9, 0}, Case{6, kPixelP8, kPixel555, 2}}) {
        Plane dst(c.dst, 3, 0x5A5A5A5A), src(c.src, 3, 0x12345678);
        EXPECT_EQ(CSurfaceInfo::BltDispatch(&dst.info, &src.info, &info_, c.op, &rate), c.result)
            << "op " << c.op << " dst " << c.dst << " src " << c.src;
        for (std::uint8_t b : dst.memory)
            ASSERT_EQ(b, 0x5A);
    }
}

} // namespace
