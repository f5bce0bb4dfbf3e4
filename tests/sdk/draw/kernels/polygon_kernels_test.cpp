// Every served pair of the three polygon operations against the independent per-pixel reference model:
// a polygon that maps the source one to one onto the whole destination runs every pixel through the
// kernel's rule, on planes whose padding and ends are watched.

#include "blt_reference_model.h"
#include "polygon_alpha_model.h"
#include "small_plane.h"

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_table.h"
#include "sdk/draw/kernels/polygon_table.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

std::vector<blt_model::Pair> ServedPairs(int op)
{
    std::vector<blt_model::Pair> pairs;
    for (int d = 0; d < kPixelTypeCount; ++d)
        for (int s = 0; s < kPixelTypeCount; ++s)
            if (GetPolygonOpTable(op)->Find(d, s) != nullptr) pairs.emplace_back(d, s);
    return pairs;
}

TEST(PolygonKernels, EveryOperationServesTheSameTwentySixPairs)
{
    std::vector<blt_model::Pair> want = blt_model::Pairs26();
    std::sort(want.begin(), want.end());
    for (int op : {0, 1, 10})
        EXPECT_EQ(ServedPairs(op), want) << op;
    EXPECT_EQ(GetPolygonOpTable(2), nullptr);
    EXPECT_EQ(GetPolygonOpTable(11), nullptr);
    EXPECT_EQ(GetPolygonOpTable(-1), nullptr);
}

// Runs a one-to-one polygon over the whole destination and compares every byte with the model.
void CheckAgainstModel(int op, int dstType, int srcType, std::mt19937& rng)
{
    const int w = 7, h = 5;
    blt_test::Plane src(srcType, w, h, 3, rng), dst(dstType, w, h, 5, rng);
    // A few pixels equal to the key, and a few whose colour bytes equal the destination's.
    const std::uint32_t key = rng();
    blt_model::Params params;
    params.colourKey = key;
    const blt_model::Colour k{static_cast<int>(key >> 16 & 0xFF), static_cast<int>(key >> 8 & 0xFF),
                              static_cast<int>(key & 0xFF), 255};
    for (int i = 0; i < 6; ++i)
        blt_model::Write(srcType, src.At(rng() % w, rng() % h), k); // an X type's spare byte 0
    for (int i = 0; i < 6; ++i) {
        const int x = static_cast<int>(rng() % w), y = static_cast<int>(rng() % h);
        blt_model::Write(dstType, dst.At(x, y), blt_model::Read(srcType, src.At(x, y)));
    }

    std::vector<std::uint8_t> want = dst.memory;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* d = want.data() + dst.Offset(x, y);
            const std::uint8_t* s = src.At(x, y);
            if (op == 0) blt_model::CopyPixel(dstType, srcType, d, s, params);
            if (op == 1) blt_model::CopyKeyPixel(dstType, srcType, d, s, params);
            if (op == 10) polygon_model::AlphaPixel(dstType, srcType, d, s);
        }

    const std::vector<POINT> corners = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}};
    PolygonBltInfo info;
    info.dstPoints = corners.data();
    info.srcPoints = corners.data();
    info.pointCount = 4;
    const std::uint32_t prepared = PrepareColorKey(dstType, srcType, key);
    const PolygonKernel kernel = GetPolygonOpTable(op)->Find(dstType, srcType);
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(kernel(&info, &src.desc, &dst.desc, &prepared), 0);
    EXPECT_EQ(dst.memory, want) << "op " << op << " " << dstType << " <- " << srcType;
}

TEST(PolygonKernels, EveryServedPairMatchesTheReferenceModel)
{
    BuildBlendTables();
    std::mt19937 rng(3);
    for (int op : {0, 1, 10})
        for (const auto& [dstType, srcType] : ServedPairs(op))
            for (int round = 0; round < 20; ++round)
                CheckAgainstModel(op, dstType, srcType, rng);
}

// One pixel through one kernel.
std::uint32_t PolyOne(int op, int dstType, int srcType, std::uint32_t srcValue, std::uint32_t dstValue,
                      std::uint32_t key = 0)
{
    blt_test::Plane src(srcType, 1, 1), dst(dstType, 1, 1);
    src.SetWord(0, 0, srcValue);
    dst.SetWord(0, 0, dstValue);
    const POINT p[3] = {{0, 0}, {0, 0}, {0, 1}}; // one pixel: row 0 of a triangle cut by the destination
    PolygonBltInfo info;
    info.dstPoints = info.srcPoints = p;
    info.pointCount = 3;
    const std::uint32_t prepared = PrepareColorKey(dstType, srcType, key);
    EXPECT_EQ(GetPolygonOpTable(op)->Find(dstType, srcType)(&info, &src.desc, &dst.desc, &prepared), 0);
    return dst.Word(0, 0) | (dst.Bytes() == 3 ? dstValue & 0xFF000000 : 0); // the byte beyond a 3-byte pixel
}

// The blend by source alpha has rules of its own (the copies share the blits' rules and are pinned there).
TEST(PolygonKernels, BlendBySourceAlpha)
{
    BuildBlendTables();
    // Level blend: a whole-word mix by the level out of 15.
    EXPECT_EQ(PolyOne(10, kPixel565, kPixelA565, 0x08FFFF, 0x0000), 0x8430u);
    EXPECT_EQ(PolyOne(10, kPixel565, kPixelA565, 0x080000, 0xFFFF), 0x73AEu);
    EXPECT_EQ(PolyOne(10, kPixel565, kPixelA565, 0x0F1234, 0xFFFF), 0x1234u);
    EXPECT_EQ(PolyOne(10, kPixel565, kPixelA565, 0x001234, 0xABCD), 0xABCDu);
    EXPECT_EQ(PolyOne(10, kPixel555, kPixelA555, 0x087FFF, 0x0000), 0x4210u);
    EXPECT_EQ(PolyOne(10, kPixel555, kPixelA555, 0x000000, 0xFFFF), 0x7FFFu);
    EXPECT_EQ(PolyOne(10, kPixel555, kPixelA555, 0x0FFC1F, 0x0000), 0x7C1Fu);
    // Byte blend at alpha 128, and the skip of a matching colour that keeps the spare byte.
    EXPECT_EQ(PolyOne(10, kPixelXRGB8888, kPixelARGB8888, 0x80FF00FF, 0x5500FF00), 0x00807F80u);
    EXPECT_EQ(PolyOne(10, kPixelXRGB8888, kPixelARGB8888, 0x80123456, 0x55123456), 0x55123456u);
    EXPECT_EQ(PolyOne(10, kPixelXRGB8888, kPixelARGB8888, 0x00123456, 0x55123457), 0x00123457u);
    EXPECT_EQ(PolyOne(10, kPixelRGB888, kPixelARGB8888, 0x80C86432, 0x000000), 0x643219u);
    EXPECT_EQ(PolyOne(10, kPixelRGB888, kPixelARGB8888, 0x80C86432, 0xFFFFFF), 0xE3B198u);
    // Opaque sources: 16-bit words always written, alpha and byte 3 of an A16 destination kept.
    EXPECT_EQ(PolyOne(10, kPixelA565, kPixel565, 0x1234, 0xAB071234), 0xAB071234u);
    EXPECT_EQ(PolyOne(10, kPixelA555, kPixel555, 0xFFFF, 0xAB070000), 0xAB077FFFu);
    EXPECT_EQ(PolyOne(10, kPixelARGB8888, kPixelRGB888, 0x112233, 0x00112233), 0x00112233u);
    EXPECT_EQ(PolyOne(10, kPixelARGB8888, kPixelRGB888, 0x112233, 0x00112234), 0xFF112233u);
    // Red and blue change places, in the write and in the equality test.
    EXPECT_EQ(PolyOne(10, kPixelARGB8888, kPixelBGR888, 0x1E140A, 0x000A141E), 0x000A141Eu);
    EXPECT_EQ(PolyOne(10, kPixelARGB8888, kPixelBGR888, 0x1E140A, 0x001E140A), 0xFF0A141Eu);
    // 16-bit alpha onto 16-bit alpha weighs the top level by 240/255.
    EXPECT_EQ(PolyOne(10, kPixelA565, kPixelA565, 0x0FFFFF, 0xAB050000), 0xAB05EF7Du);
    EXPECT_EQ(PolyOne(10, kPixel565, kPixelA565, 0x0FFFFF, 0x0000), 0xFFFFu);
}

} // namespace
