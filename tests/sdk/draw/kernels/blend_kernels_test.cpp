// Pinned values of the blending blits: by source alpha (10), by alpha times a rate (14, keyed 15) and by
// two factors (16, keyed 17); the packed alpha-times-rate kernel, its division by 256 and its own walk.

#include "small_plane.h"

#include "sdk/draw/kernels/blend_rules.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <utility>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using blt_test::BlitOne;
using blt_test::Factors;
using blt_test::Plane;
using blt_test::Rate;
using blt_test::RunKernel;

class BlendKernels : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildBlendTables(); }
};

// One pixel through one blend: the destination pixel after.
struct Pin
{
    int op, dst, src;
    std::uint32_t dstValue, srcValue;
    SBltParam param;
    std::uint32_t want;
};

void ExpectPins(std::initializer_list<Pin> pins)
{
    for (const Pin& c : pins)
        EXPECT_EQ(BlitOne(c.op, c.dst, c.src, c.dstValue, c.srcValue, c.param), c.want)
            << "op " << c.op << " " << c.dst << " <- " << c.src << " onto " << std::hex << c.dstValue;
}

TEST_F(BlendKernels, AlphaTimesRate)
{
    ExpectPins({
        // Rate 127: black over white gives 128 and white over black 127, on every 24- and 32-bit pair.
        {14, kPixelRGB888, kPixelRGB888, 0xFFFFFF, 0x000000, Rate(127), 0x808080},
        {14, kPixelXBGR8888, kPixelXBGR8888, 0x00000000, 0x00FFFFFF, Rate(127), 0x007F7F7F},
        {14, kPixelARGB8888, kPixelXBGR8888, 0x00FFFFFF, 0x00000000, Rate(127), 0xFF808080},
        {15, kPixelXRGB8888, kPixelXRGB8888, 0xAAFFFFFF, 0x00000000, Rate(127, 0x123456), 0x00808080},
        // On 16-bit planes of one type the rate gives level 7: the source weighs 7/15, the destination 8/15.
        {14, kPixel565, kPixel565, 0xFFFF, 0x0000, Rate(127), 0x8430},
        {14, kPixel555, kPixel555, 0x0000, 0x7FFF, Rate(127), 0x39CE},
        // Rate 0: colours stay, but a pixel that differs from its source gets its spare byte 0 or its
        // alpha 255; a pixel equal to its source is not written at all.
        {14, kPixelXRGB8888, kPixelARGB8888, 0x77123456, 0xFF654321, Rate(0), 0x00123456},
        {14, kPixelABGR8888, kPixelBGR888, 0x10123456, 0x654321, Rate(0), 0xFF123456},
        {14, kPixel555, kPixel555, 0x8123, 0x0456, Rate(0), 0x0123},
        {14, kPixelXBGR8888, kPixelXBGR8888, 0x77123456, 0x00123456, Rate(200), 0x77123456},
        {14, kPixel555, kPixel555, 0x8123, 0x8123, Rate(200), 0x8123},
        // Full rate copies.
        {14, kPixelABGR8888, kPixelXRGB8888, 0x00000000, 0x00112233, Rate(255), 0xFF332211},
        {14, kPixel565, kPixel565, 0x0000, 0xABCD, Rate(240), 0xABCD},
        {14, kPixel565, kPixel565, 0x0000, 0xABCD, Rate(15), 0x0000},
        // ARGB8888 at rate 255: the factor is the source's alpha (128: 200 over 100 gives 100 + 49).
        {14, kPixelRGB888, kPixelARGB8888, 0x646464, 0x80C8C8C8, Rate(255), 0x959595},
        {14, kPixelRGB888, kPixelARGB8888, 0x646464, 0x00C8C8C8, Rate(255), 0x646464},
        // A565 at level 15 and rate 255 copies the colour onto RGB565; at level 0 the colour stays.
        {14, kPixel565, kPixelA565, 0x0000, 0x0FABCD, Rate(255), 0xABCD},
        {14, kPixel565, kPixelA565, 0x1234, 0x00ABCD, Rate(255), 0x1234},
        // Onto an A565 destination only the colour word is written; full alpha weighs 240 (29, 59, 29).
        {14, kPixelA565, kPixelA565, 0xEE070000, 0x0FFFFF, Rate(255), 0xEE07EF7D},
        // The skip test compares colours, not bytes: between types whose red and blue lie in opposite
        // bytes, a pixel whose bytes match its source's can still differ in colour, and must be drawn.
        // RGB888 bytes 30, 20, 10 are blue 30, red 10; ABGR8888 bytes 30, 20, 10 are red 30, blue 10.
        {14, kPixelABGR8888, kPixelRGB888, 0x400A141E, 0x0A141E, Rate(255), 0xFF1E140A},
        {14, kPixelABGR8888, kPixelRGB888, 0x401E140A, 0x0A141E, Rate(255), 0x401E140A},
        {14, kPixelARGB8888, kPixelXBGR8888, 0x400A141E, 0x000A141E, Rate(255), 0xFF1E140A},
        {15, kPixelARGB8888, kPixelBGR888, 0x400A141E, 0x0A141E, Rate(255, 0xFFFFFF), 0xFF1E140A},
        {15, kPixelABGR8888, kPixelXRGB8888, 0x401E140A, 0x000A141E, Rate(255, 0xFFFFFF), 0x401E140A},
    });
}

TEST_F(BlendKernels, SourceAlpha)
{
    ExpectPins({
        {10, kPixel565, kPixelA565, 0x0000, 0x08FFFF, {}, 0x8430},
        {10, kPixel565, kPixelA565, 0xFFFF, 0x08FFFF, {}, 0xF7DE},
        {10, kPixel555, kPixelA555, 0x7FFF, 0x087FFF, {}, 0x7BDE},
        {10, kPixel565, kPixelA565, 0x1234, 0x00FFFF, {}, 0x1234},
        {10, kPixel565, kPixelA565, 0x1234, 0x0FABCD, {}, 0xABCD},
        {10, kPixelRGB888, kPixelARGB8888, 0x646464, 0x80C8C8C8, {}, 0x959595},
        {10, kPixelXRGB8888, kPixelARGB8888, 0x77010101, 0x80010101, {}, 0x77010101},
        {10, kPixelXRGB8888, kPixelARGB8888, 0x77123456, 0x00FFFFFF, {}, 0x00123456},
        {10, kPixelXBGR8888, kPixelABGR8888, 0x77123456, 0xFF010203, {}, 0x00010203},
        // Alpha over alpha: 128 over 255 weighs 128 : 127 and leaves the pixel opaque.
        {10, kPixelARGB8888, kPixelARGB8888, 0xFF00FF00, 0x80FF00FF, {}, 0xFF807F80},
        {10, kPixelABGR8888, kPixelABGR8888, 0x00123456, 0x00654321, {}, 0x00123456},
        {10, kPixelARGB8888, kPixelARGB8888, 0xC8123456, 0x00654321, {}, 0xFF123456},
        // 16 bits: the composed level is written even when the colour stays.
        {10, kPixelA565, kPixelA565, 0xAA0F1234, 0x00FFFF, {}, 0xAA0E1234},
        {10, kPixelA565, kPixelA565, 0xAA0F1234, 0x0FABCD, {}, 0xAA0FABCD},
        {10, kPixelA555, kPixelA555, 0x00000000, 0x00001234, {}, 0x00000000},
        // Level 8 over level 15: level 14, colour levels 8 and 6 (red 16 + 12, green 33 + 25).
        {10, kPixelA565, kPixelA565, 0x0FFFFF, 0x08FFFF, {}, 0x0EE75C},
    });
}

TEST_F(BlendKernels, TwoFactorsWrapAndNeverClamp)
{
    ExpectPins({
        {16, kPixelXRGB8888, kPixelXRGB8888, 0x77646464, 0x00C8C8C8, Factors(255, 255), 0x002C2C2C},
        {16, kPixelRGB888, kPixelRGB888, 0xFFFFFF, 0xFFFFFF, Factors(255, 255), 0xFEFEFE},
        // Whole 16-bit words: blue 31 + 31 carries into green, and a carry out of red is lost.
        {16, kPixel565, kPixel565, 0x001F, 0x001F, Factors(255, 255), 0x003E},
        {16, kPixel565, kPixel565, 0xF800, 0xF800, Factors(255, 255), 0xF000},
        // fs = 0, fd = 255 keeps the colour; the spare byte and the alpha are still rewritten.
        {16, kPixelXBGR8888, kPixelXBGR8888, 0x77123456, 0x00654321, Factors(0, 255), 0x00123456},
        {16, kPixelARGB8888, kPixelBGR888, 0x12123456, 0x654321, Factors(0, 0), 0xFF000000},
        // An A565 destination at full alpha weighs 240: red 31 -> 29, green 63 -> 59; its alpha stays.
        {16, kPixelA565, kPixel565, 0x0FFFE0, 0x0000, Factors(0, 255), 0x0FEF60},
        // An ARGB8888 source at alpha 0 adds nothing; an ARGB8888 destination at alpha 0 keeps nothing.
        {16, kPixelXRGB8888, kPixelARGB8888, 0x55123456, 0x00FFFFFF, Factors(255, 255), 0x00123456},
        {16, kPixelARGB8888, kPixelARGB8888, 0x00123456, 0xFF654321, Factors(255, 255), 0xFF654321},
        // 565 from A565: a destination without alpha counts as 240, the source at level 0 adds nothing.
        {16, kPixel565, kPixelA565, 0xFFFF, 0x00FFFF, Factors(255, 255), 0xFFFF},
        {16, kPixel565, kPixelA565, 0x1234, 0x00FFFF, Factors(255, 255), 0x1234},
    });
}

// The table blend of XRGB8888 onto XRGB8888 and the packed kernel the processor check picks instead.
TEST_F(BlendKernels, PlainAndPackedXrgbKernels)
{
    Plane src(kPixelXRGB8888, 2, 1), dst(kPixelXRGB8888, 2, 1);
    src.SetWord(0, 0, 0x00FFFFFF);
    src.SetWord(1, 0, 0x00102030);
    dst.SetWord(0, 0, 0x55000000);
    dst.SetWord(1, 0, 0x55102030);
    const SBltInfo info;
    ASSERT_EQ(BltBlendRate_Plain(&dst.desc, &src.desc, &info, Rate(255)), 0);
    EXPECT_EQ(dst.Word(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(dst.Word(1, 0), 0x55102030u); // equal colour: untouched

    dst.SetWord(0, 0, 0x55000000);
    ASSERT_EQ(RunKernel(14, dst, src, info, Rate(255)), 0);
    ASSERT_NE(GetCpuFeatures() & kCpuFeatureMmx, 0u);
    EXPECT_EQ(dst.Word(0, 0), 0x00FEFEFEu); // divides by 256
    EXPECT_EQ(dst.Word(1, 0), 0x000F1F2Fu); // and has no equal-pixel test
}

// The 4-bit alpha is the low nibble of byte 2; a byte above 15 must give what its nibble gives (and must
// not reach past the 16 levels of the tables).
TEST_F(BlendKernels, AlphaByteAboveFifteenCountsItsNibble)
{
    struct Case
    {
        int op, dst, src;
        SBltParam param;
    };
    const Case cases[] = {
        {10, kPixel565, kPixelA565, {}},
        {10, kPixel555, kPixelA555, {}},
        {10, kPixelA565, kPixelA565, {}},
        {10, kPixelA555, kPixelA555, {}},
        {14, kPixel565, kPixelA565, Rate(255)},
        {14, kPixelA565, kPixelA565, Rate(200)},
        {15, kPixel555, kPixelA555, Rate(255)},
        {16, kPixel565, kPixelA565, Factors(255, 255)},
        {16, kPixelA555, kPixelA555, Factors(200, 100)},
        {17, kPixel555, kPixelA555, Factors(255, 128)},
    };
    for (const Case& c : cases) {
        for (std::uint32_t high : {0x10u, 0x80u, 0xF0u}) {
            const std::uint32_t dstValue = 0x00091234, srcValue = 0x000B6789;
            const std::uint32_t clean = BlitOne(c.op, c.dst, c.src, dstValue, srcValue, c.param);
            // Dirty alpha bytes on both sides; the destination's high nibble may survive only where the
            // operation leaves the destination's alpha byte alone.
            const std::uint32_t dirty =
                BlitOne(c.op, c.dst, c.src, dstValue | (high << 16), srcValue | (high << 16), c.param);
            const std::uint32_t colourAndLevel = BytesPerPixel(c.dst) == 2 ? 0xFFFF : 0x0FFFFF;
            EXPECT_EQ(dirty & colourAndLevel, clean & colourAndLevel) << "op " << c.op << " dst " << c.dst;
        }
    }
}

// The vector row forms give what the per-pixel rule gives, at every rate and factor, keyed or not, on
// rows whose widths leave every remainder; equal and key-coloured pixels are mixed in.
TEST_F(BlendKernels, RowFormsMatchPixelForms)
{
    using P = std::pair<int, int>;
    const P rated[] = {{kPixelXRGB8888, kPixelXRGB8888}, {kPixel565, kPixel565},
                       {kPixel555, kPixel555},           {kPixelXBGR8888, kPixelXBGR8888},
                       {kPixelXRGB8888, kPixelARGB8888}, {kPixelARGB8888, kPixelXBGR8888},
                       {kPixelABGR8888, kPixelABGR8888}};
    const P factored[] = {{kPixel565, kPixel565},           {kPixel555, kPixel555},
                          {kPixelXRGB8888, kPixelXRGB8888}, {kPixelXBGR8888, kPixelABGR8888},
                          {kPixelABGR8888, kPixelXRGB8888}, {kPixelARGB8888, kPixelARGB8888}};
    std::mt19937 rng(17);
    const auto row = [&rng](int op, P pair, int rate, int fd) {
        const std::uint32_t key = PrepareColorKey(pair.first, pair.second, rng());
        const SBltParam p{key, static_cast<std::uint8_t>(rate), static_cast<std::uint8_t>(rate),
                          static_cast<std::uint8_t>(fd)};
        blt_test::ExpectRowMatchesSinglePixels(op, pair.first, pair.second, p, 37, rate % 2, rng);
    };
    for (int rate = 0; rate < 256; ++rate) {
        for (const P& pair : rated)
            for (int op : {14, 15})
                row(op, pair, rate, 0);
        const int fd = rate % 3 == 0 ? 255 - rate : static_cast<int>(rng() & 0xFF);
        for (const P& pair : factored)
            for (int op : {16, 17})
                row(op, pair, rate, fd);
        if (HasFatalFailure()) return;
    }
    row(10, {kPixelXRGB8888, kPixelARGB8888}, 0, 0);
    row(10, {kPixelXBGR8888, kPixelABGR8888}, 0, 0);
}

const SBltInfo kWhole{};

// The packed kernel: one to one it divides by 256 at every rate and width.
TEST(AlphaRatePacked, OneToOneArithmetic)
{
    const auto blend = [](std::uint32_t d, std::uint32_t s, int rate) {
        std::uint32_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const int sc = (s >> (8 * i)) & 0xFF, dc = (d >> (8 * i)) & 0xFF;
            out |= static_cast<std::uint32_t>(sc * rate / 256 + dc * (255 - rate) / 256) << (8 * i);
        }
        return out;
    };
    std::mt19937 rng(3);
    for (int rate : {0, 1, 127, 128, 254, 255}) {
        for (int w : {1, 2, 3, 4, 5, 7, 8, 9, 17}) {
            Plane src(kPixelXRGB8888, w, 2), dst(kPixelXRGB8888, w, 2);
            src.Randomise(rng);
            dst.Randomise(rng);
            Plane want = dst;
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < w; ++x)
                    want.SetWord(x, y, blend(dst.Word(x, y), src.Word(x, y), rate));
            ASSERT_EQ(BltAlphaRate_XRGB8888_XRGB8888(&dst.desc, &src.desc, &kWhole, Rate(rate)), 0);
            ASSERT_EQ(dst.memory, want.memory) << rate << " " << w;
        }
    }
}

// Its stretched walk takes each pixel before stepping the error terms: one step earlier than the common
// walk, so 2 -> 4 reads columns 0, 0, 0, 1.
TEST(AlphaRatePacked, StretchedWalkTakesThePixelFirst)
{
    for (int from = 1; from <= 9; ++from) {
        for (int to = 1; to <= 9; ++to) {
            if (from == to) continue;
            Plane src(kPixelXRGB8888, from, from), dst(kPixelXRGB8888, to, to);
            for (int y = 0; y < from; ++y)
                for (int x = 0; x < from; ++x)
                    src.SetWord(x, y, static_cast<std::uint32_t>(y * 16 + x));
            const SIZE size{to, to};
            SBltInfo info;
            info.dstSize = &size;
            // Rate 255 onto black: blue comes out as floor(s * 255 / 256), that is s - 1 for s > 0.
            ASSERT_EQ(BltAlphaRate_XRGB8888_XRGB8888(&dst.desc, &src.desc, &info, Rate(255)), 0);
            for (int k = 0; k < to; ++k) {
                // Steps taken after k pixels: ceil(k * r / to) - 1 crossings of the error, none before the
                // first.
                const int q = from / to, r = from % to;
                const int col = k == 0 || r == 0 ? k * q : k * q + (k * r + to - 1) / to - 1;
                ASSERT_EQ(dst.Word(k, k), col == 0 ? 0u : static_cast<std::uint32_t>(col * 17 - 1))
                    << from << "->" << to << " at " << k;
            }
        }
    }
}

} // namespace
