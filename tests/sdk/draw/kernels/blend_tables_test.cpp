#include "sdk/draw/kernels/blend_tables.h"

#include "blt_reference_model.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

class BlendTables : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildBlendTables(); }
};

// Every entry against plain products: f * x / 255, and each 16-bit field times level / 15 (bit 15 of a 555
// word dropped, so the two halves of a pixel pair never carry into each other).
TEST_F(BlendTables, EveryEntryAgainstPlainArithmetic)
{
    for (int w = 0; w < 256; ++w)
        for (int j = 0; j < 256; ++j) {
            ASSERT_EQ(BlendMulTable[w][j], w * j / 255);
            ASSERT_EQ(BlendInvMulTable[w][j], (255 - w) * j / 255);
        }
    for (int level = 0; level < 16; ++level)
        for (int p = 0; p < 65536; ++p) {
            ASSERT_EQ(Level565Table[level][p], blt_model::ScaleWord(blt_model::T565, p, level));
            ASSERT_EQ(Level555Table[level][p], blt_model::ScaleWord(blt_model::T555, p, level));
        }
    EXPECT_EQ(BlendMulTable[128][255], 128);
    EXPECT_EQ(Level565Table[7][0xFFFF], 0x73AE);
}

// The nearest entry and ties are checked through the palette copy of the all-combinations test.
TEST(PaletteIndexTable, ADisplayWithoutAPaletteLeavesTheTable)
{
    const SPaletteEntry blackWhite[] = {{0, 0, 0}, {255, 255, 255}};
    CaptureSystemPalette(blackWhite, 2);
    EXPECT_EQ(PaletteIndexTable[0x7FFF], 1);
    CaptureSystemPalette(nullptr, 0);
    EXPECT_EQ(PaletteIndexTable[0x7FFF], 1);
    EXPECT_EQ(PaletteIndexTable[0x0000], 0);
}

TEST(CpuFeatures, WordFromTheFeatureFlags)
{
    constexpr std::uint32_t cmov = 1u << 15, mmx = 1u << 23, sse = 1u << 25, sse2 = 1u << 26;
    EXPECT_EQ(CpuFeatureWord(false, mmx), 1u);
    EXPECT_EQ(CpuFeatureWord(true, 0), 2u);
    EXPECT_EQ(CpuFeatureWord(true, cmov), 3u);
    EXPECT_EQ(CpuFeatureWord(true, mmx | cmov), 4u);
    EXPECT_EQ(CpuFeatureWord(true, mmx | sse), 12u);
    EXPECT_EQ(CpuFeatureWord(true, mmx | sse2), 20u);
    EXPECT_EQ(CpuFeatureWord(true, mmx | sse | sse2 | cmov), 28u);
}

TEST(CpuFeatures, ThePackedUnitIsReportedAndTheWordIsStable)
{
    const std::uint32_t word = GetCpuFeatures();
    EXPECT_NE(word & kCpuFeatureMmx, 0u);
    EXPECT_EQ(GetCpuFeatures(), word);
}

} // namespace
