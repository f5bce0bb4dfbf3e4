// Pinned values of the per-pixel source-alpha blends shared by blits and polygon fills (the polygon tests
// compare them with the reference model on random pixels).

#include "sdk/draw/kernels/alpha_ops.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

class AlphaOps : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildBlendTables(); }
};

using Bytes4 = std::array<std::uint8_t, 4>;

// The destination bytes after one operator call.
Bytes4 After(void (*op)(std::uint8_t*, const std::uint8_t*), Bytes4 d, Bytes4 s)
{
    op(d.data(), s.data());
    return d;
}

TEST_F(AlphaOps, TwentyFourAndThirtyTwoBits)
{
    // Alpha 128, colour 200, 100, 50 (memory order B, G, R for RGB888 with an ARGB8888 source).
    const Bytes4 s{50, 100, 200, 128};
    EXPECT_EQ(After(AlphaBlendPixelRGB888, {0, 0, 0, 0x77}, s), (Bytes4{25, 50, 100, 0x77})); // byte 3 kept
    EXPECT_EQ(After(AlphaBlendPixelRGB888, {255, 255, 255, 0x77}, s), (Bytes4{152, 177, 227, 0x77}));
    EXPECT_EQ(After(AlphaBlendPixelXBGR8888, {255, 255, 255, 0x77}, s), (Bytes4{152, 177, 227, 0}));
    // Equal colours are left alone: alpha 128 over equal channels of 200 would give 199.
    const Bytes4 grey{200, 200, 200, 128};
    EXPECT_EQ(After(AlphaBlendPixelXRGB8888, {200, 200, 200, 0x5A}, grey), (Bytes4{200, 200, 200, 0x5A}));
    EXPECT_EQ(After(AlphaBlendPixelRGB888, {200, 200, 200, 0x5A}, grey), (Bytes4{200, 200, 200, 0x5A}));
    // Alpha 0 keeps the colour and clears the spare byte; alpha 255 copies.
    EXPECT_EQ(After(AlphaBlendPixelXRGB8888, {1, 2, 3, 0x5A}, {9, 9, 9, 0}), (Bytes4{1, 2, 3, 0}));
    EXPECT_EQ(After(AlphaBlendPixelXRGB8888, {1, 2, 3, 0x5A}, {7, 8, 250, 255}), (Bytes4{7, 8, 250, 0}));
}

TEST_F(AlphaOps, SixteenBitWords)
{
    // White at level 15 onto black: 240/255 of each field, truncated (29, 59, 29); the destination's alpha
    // and fourth byte are not written.
    EXPECT_EQ(After(AlphaBlendPixelA565, {0, 0, 0x0C, 0xDD}, {0xFF, 0xFF, 0x0F, 0}),
              (Bytes4{0x7D, 0xEF, 0x0C, 0xDD}));
    EXPECT_EQ(After(AlphaBlendPixelA555, {0, 0, 0, 0}, {0xFF, 0x7F, 0x0F, 0}), (Bytes4{0xBD, 0x77, 0, 0}));
    // Level 0 keeps the fields, but bit 15 of a 555 word is cleared.
    EXPECT_EQ(After(AlphaBlendPixelA555, {0x34, 0x92, 0, 0}, {0xFF, 0x7F, 0, 0}), (Bytes4{0x34, 0x12, 0, 0}));
    // The high nibble of the source's alpha byte is not part of the level.
    EXPECT_EQ(After(AlphaBlendPixelA565, {0x21, 0x43, 0, 0}, {0xEF, 0xBE, 0x07, 0}),
              After(AlphaBlendPixelA565, {0x21, 0x43, 0, 0}, {0xEF, 0xBE, 0xF7, 0}));
    EXPECT_EQ(After(AlphaBlendPixelOpaque555, {0, 0, 9, 9}, {0xFF, 0xFF, 0, 0}), (Bytes4{0xFF, 0x7F, 9, 9}));
    EXPECT_EQ(After(AlphaBlendPixelOpaque565, {0, 0, 9, 9}, {0xCD, 0xAB, 0, 0}), (Bytes4{0xCD, 0xAB, 9, 9}));
}

} // namespace
