#include "sdk/draw/kernels/blend_tables.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

TEST(BlendTables, PinnedEntries)
{
    BuildBlendTables();
    EXPECT_EQ(BlendMulTable[128][255], 128);
    EXPECT_EQ(BlendInvMulTable[255][200], 0);
    EXPECT_EQ(Level565Table[7][0xFFFF], 0x73AE);
    EXPECT_EQ(Level555Table[15][0x7FFF], 0x7FFF);
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
