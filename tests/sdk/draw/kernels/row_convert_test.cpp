#include "sdk/draw/kernels/row_convert.h"

#include "blt_reference_model.h"

#include "sdk/draw/kernels/pixel_types.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

// The served pairs, as (source format, destination type).
std::set<std::pair<int, int>> ServedRowPairs()
{
    std::set<std::pair<int, int>> pairs;
    for (int format : {0, 3, 4, 5, 7, 8}) {
        pairs.insert({format, kPixelRGB888});
        pairs.insert({format, kPixelARGB8888});
    }
    for (int format : {1, 2, 9})
        for (int t : {3, 4, 5, 6, 7, 8, 10, 11, 12, 13})
            pairs.insert({format, t});
    return pairs;
}

TEST(ConvertPixelRow, EveryPairAgainstTheModel)
{
    const auto served = ServedRowPairs();
    ASSERT_EQ(served.size(), 42u);
    std::mt19937 rng(5);
    for (int format = -1; format <= 10; ++format) {
        for (int dstType = -1; dstType <= 14; ++dstType) {
            const int srcType = format + 3;
            const bool isServed = served.count({format, dstType}) != 0;
            const int width = 13;
            std::vector<std::uint8_t> src(width * 4), dst(width * 4 + 4);
            for (auto& b : src)
                b = static_cast<std::uint8_t>(rng());
            for (auto& b : dst)
                b = static_cast<std::uint8_t>(rng());
            std::vector<std::uint8_t> expected = dst;
            if (isServed) {
                const int sb = blt_model::Bytes(srcType), db = blt_model::Bytes(dstType);
                for (int x = 0; x < width; ++x) {
                    // Equal layouts move the pixel unchanged, as the blit copy does; the rest convert.
                    blt_model::CopyPixel(dstType, srcType, expected.data() + x * db, src.data() + x * sb, {});
                }
            }
            ASSERT_EQ(ConvertPixelRow(dstType, dst.data(), width, src.data(), format), isServed ? 0 : 1)
                << format << " -> " << dstType;
            ASSERT_EQ(dst, expected) << format << " -> " << dstType;
        }
    }
}

TEST(ConvertPixelRow, EmptyRowsAndRefusedPairsWriteNothing)
{
    std::uint8_t out[4] = {1, 2, 3, 4};
    const std::uint8_t in[4] = {};
    EXPECT_EQ(ConvertPixelRow(kPixelRGB888, out, 0, in, 2), 0);
    EXPECT_EQ(ConvertPixelRow(kPixelRGB888, out, -3, in, 2), 0);
    EXPECT_EQ(ConvertPixelRow(kPixel555, out, 1, in, 0), 1);
    EXPECT_EQ(ConvertPixelRow(kPixel565, out, 1, in, 4), 1);
    EXPECT_EQ(ConvertPixelRow(kPixelUnused9, out, 1, in, 9), 1);
    EXPECT_EQ(ConvertPixelRow(kPixelRGB888, out, 1, in, 6), 1);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[3], 4);
}

} // namespace
