// The per-pixel source-alpha blends shared by blits and polygon fills.

#include "sdk/draw/kernels/alpha_ops.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

class AlphaOps : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildBlendTables(); }
};

using Bytes4 = std::array<std::uint8_t, 4>;

int Channel(int a, int s, int d)
{
    return a * s / 255 + (255 - a) * d / 255;
}

TEST_F(AlphaOps, TwentyFourAndThirtyTwoBitArithmetic)
{
    // Alpha 128, colour 200, 100, 50 (memory order B, G, R for RGB888 with an ARGB8888 source).
    const Bytes4 s{50, 100, 200, 128};
    Bytes4 black{0, 0, 0, 0x77}, white{255, 255, 255, 0x77};
    AlphaBlendPixelRGB888(black.data(), s.data());
    AlphaBlendPixelRGB888(white.data(), s.data());
    EXPECT_EQ(black, (Bytes4{25, 50, 100, 0x77})); // byte 3 is not part of a 3-byte pixel
    EXPECT_EQ(white, (Bytes4{152, 177, 227, 0x77}));

    std::mt19937 rng(11);
    for (int i = 0; i < 2000; ++i) {
        Bytes4 src, dst;
        for (auto& b : src)
            b = static_cast<std::uint8_t>(rng());
        for (auto& b : dst)
            b = static_cast<std::uint8_t>(rng());
        Bytes4 x = dst, b = dst;
        AlphaBlendPixelXBGR8888(x.data(), src.data());
        AlphaBlendPixelBGR888(b.data(), src.data());
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(x[k], Channel(src[3], src[k], dst[k]));
            ASSERT_EQ(b[k], x[k]);
        }
        ASSERT_EQ(x[3], 0);
        ASSERT_EQ(b[3], dst[3]);
    }
}

TEST_F(AlphaOps, EqualColoursAreLeftAlone)
{
    // Without the test alpha 128 over equal channels of 200 would give 199.
    const Bytes4 s{200, 200, 200, 128};
    Bytes4 x{200, 200, 200, 0x5A}, r{200, 200, 200, 0x5A};
    AlphaBlendPixelXRGB8888(x.data(), s.data());
    AlphaBlendPixelRGB888(r.data(), s.data());
    EXPECT_EQ(x, (Bytes4{200, 200, 200, 0x5A}));
    EXPECT_EQ(r, (Bytes4{200, 200, 200, 0x5A}));
}

TEST_F(AlphaOps, AlphaZeroAndFull)
{
    Bytes4 x{1, 2, 3, 0x5A};
    AlphaBlendPixelXRGB8888(x.data(), Bytes4{9, 9, 9, 0}.data());
    EXPECT_EQ(x, (Bytes4{1, 2, 3, 0})); // colour kept, spare byte cleared
    AlphaBlendPixelXRGB8888(x.data(), Bytes4{7, 8, 250, 255}.data());
    EXPECT_EQ(x, (Bytes4{7, 8, 250, 0}));
}

TEST_F(AlphaOps, SixteenBitWords)
{
    // White at level 15 onto black: 240/255 of each field, truncated.
    Bytes4 d{0, 0, 0x0C, 0xDD};
    AlphaBlendPixelA565(d.data(), Bytes4{0xFF, 0xFF, 0x0F, 0}.data());
    const int w565 = d[0] | d[1] << 8;
    EXPECT_EQ(w565 >> 11, 29);
    EXPECT_EQ((w565 >> 5) & 63, 59);
    EXPECT_EQ(w565 & 31, 29);
    EXPECT_EQ(d[2], 0x0C); // the destination's alpha and fourth byte are not written
    EXPECT_EQ(d[3], 0xDD);

    Bytes4 e{0, 0, 0, 0};
    AlphaBlendPixelA555(e.data(), Bytes4{0xFF, 0x7F, 0x0F, 0}.data());
    const int w555 = e[0] | e[1] << 8;
    EXPECT_EQ(w555, (29 << 10) | (29 << 5) | 29);

    // Level 0 keeps the fields, but bit 15 of a 555 word is cleared.
    Bytes4 f{0x34, 0x92, 0, 0};
    AlphaBlendPixelA555(f.data(), Bytes4{0xFF, 0x7F, 0x00, 0}.data());
    EXPECT_EQ(f[0] | f[1] << 8, 0x1234);

    // The high nibble of the source's alpha byte is not part of the level.
    Bytes4 g1{0x21, 0x43, 0, 0}, g2 = g1;
    AlphaBlendPixelA565(g1.data(), Bytes4{0xEF, 0xBE, 0x07, 0}.data());
    AlphaBlendPixelA565(g2.data(), Bytes4{0xEF, 0xBE, 0xF7, 0}.data());
    EXPECT_EQ(g1, g2);

    Bytes4 o{0, 0, 9, 9};
    AlphaBlendPixelOpaque555(o.data(), Bytes4{0xFF, 0xFF, 0, 0}.data());
    EXPECT_EQ(o, (Bytes4{0xFF, 0x7F, 9, 9}));
    AlphaBlendPixelOpaque565(o.data(), Bytes4{0xCD, 0xAB, 0, 0}.data());
    EXPECT_EQ(o, (Bytes4{0xCD, 0xAB, 9, 9}));
}

TEST_F(AlphaOps, SixteenBitMatchesWidenedChannels)
{
    std::mt19937 rng(5);
    for (int i = 0; i < 3000; ++i) {
        const int sw = static_cast<int>(rng() & 0xFFFF), dw = static_cast<int>(rng() & 0xFFFF);
        const int level = static_cast<int>(rng() & 0xFF); // high nibble must not matter
        const int a = (level & 15) * 16;
        Bytes4 d{static_cast<std::uint8_t>(dw), static_cast<std::uint8_t>(dw >> 8), 0, 0};
        const Bytes4 s{static_cast<std::uint8_t>(sw), static_cast<std::uint8_t>(sw >> 8),
                       static_cast<std::uint8_t>(level), 0};
        AlphaBlendPixelA565(d.data(), s.data());
        const int r = Channel(a, (sw >> 11) * 8, (dw >> 11) * 8);
        const int g = Channel(a, ((sw >> 5) & 63) * 4, ((dw >> 5) & 63) * 4);
        const int b = Channel(a, (sw & 31) * 8, (dw & 31) * 8);
        ASSERT_EQ(d[0] | d[1] << 8, (r / 8) << 11 | (g / 4) << 5 | b / 8);
    }
}

} // namespace
