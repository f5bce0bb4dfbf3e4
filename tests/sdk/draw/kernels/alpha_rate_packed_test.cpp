// The packed alpha-times-rate kernel: its division by 256 and its own stretched walk.

#include "sdk/draw/kernels/blend_tables.h"

#include "blt_reference_model.h"
#include "small_plane.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using blt_test::SmallPlane;

std::uint32_t Blend(std::uint32_t d, std::uint32_t s, int rate)
{
    std::uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const int sc = (s >> (8 * i)) & 0xFF, dc = (d >> (8 * i)) & 0xFF;
        out |= static_cast<std::uint32_t>(sc * rate / 256 + dc * (255 - rate) / 256) << (8 * i);
    }
    return out;
}

TEST(AlphaRatePacked, OneToOneArithmetic)
{
    std::mt19937 rng(3);
    for (int rate : {0, 1, 127, 128, 254, 255}) {
        for (int w : {1, 2, 3, 4, 5, 7, 8, 9, 17}) {
            SmallPlane src(kPixelXRGB8888, w, 2), dst(kPixelXRGB8888, w, 2);
            for (auto& b : src.memory)
                b = static_cast<std::uint8_t>(rng());
            for (auto& b : dst.memory)
                b = static_cast<std::uint8_t>(rng());
            std::vector<std::uint32_t> before;
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < w; ++x)
                    before.push_back(dst.Word(x, y, 4));
            SBltParam p;
            p.rate = static_cast<std::uint8_t>(rate);
            const SBltInfo info;
            ASSERT_EQ(BltAlphaRate_XRGB8888_XRGB8888(&dst.desc, &src.desc, &info, p), 0);
            for (int y = 0; y < 2; ++y) {
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(dst.Word(x, y, 4), Blend(before[y * w + x], src.Word(x, y, 4), rate))
                        << rate << " " << w;
                }
            }
        }
    }
}

TEST(AlphaRatePacked, FullRateLosesOneStep)
{
    SmallPlane src(kPixelXRGB8888, 1, 1), dst(kPixelXRGB8888, 1, 1);
    src.SetWord(0, 0, 0xFFFFFFFF, 4);
    dst.SetWord(0, 0, 0xFF000000, 4);
    SBltParam p;
    p.rate = 255;
    const SBltInfo info;
    ASSERT_EQ(BltAlphaRate_XRGB8888_XRGB8888_MMX(&dst.desc, &src.desc, &info, p), 0);
    EXPECT_EQ(dst.Word(0, 0, 4), 0x00FEFEFEu);
}

// Its stretched walk takes each pixel before stepping the error terms: one step earlier than the common
// walk, so 2 -> 4 reads columns 0, 0, 0, 1.
TEST(AlphaRatePacked, StretchedWalkTakesThePixelFirst)
{
    for (int from = 1; from <= 9; ++from) {
        for (int to = 1; to <= 9; ++to) {
            if (from == to) continue;
            SmallPlane src(kPixelXRGB8888, from, from), dst(kPixelXRGB8888, to, to);
            for (int y = 0; y < from; ++y)
                for (int x = 0; x < from; ++x)
                    src.SetWord(x, y, static_cast<std::uint32_t>(y * 16 + x), 4);
            const SIZE size{to, to};
            SBltInfo info;
            info.dstSize = &size;
            SBltParam p;
            p.rate = 255; // with a black destination the colour comes out as floor(s * 255 / 256)
            ASSERT_EQ(BltAlphaRate_XRGB8888_XRGB8888(&dst.desc, &src.desc, &info, p), 0);
            for (int k = 0; k < to; ++k) {
                // Steps taken after k pixels: ceil(k * r / to) - 1 crossings of the error, none before the
                // first.
                const long long q = from / to, r = from % to;
                const long long col = k == 0 || r == 0 ? k * q : k * q + (k * r + to - 1) / to - 1;
                const std::uint32_t v = static_cast<std::uint32_t>(col * 16 + col);
                ASSERT_EQ(dst.Word(k, k, 4), Blend(0, v, 255)) << from << "->" << to << " at " << k;
            }
        }
    }
}

} // namespace
