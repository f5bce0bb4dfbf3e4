// Every operation code -1 to 18 against every pair of pixel types 2 to 13 through the blit dispatcher:
// served pairs are compared pixel for pixel with the reference
// model on random planes, random rectangles, clips, base points and stretches; every other
// combination must give its result code and leave both planes untouched.

#include "kernels/blt_reference_model.h"
#include "kernels/small_plane.h"

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/surface_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

namespace {

using namespace zelvoranGameSDK3rd::Draw;
using blt_test::Plane;

std::string Edges(const blt_model::Rect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

int RandomIn(std::mt19937& rng, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// Source pixels biased to the values that break kernels: 0, all ones, the key, the key with a non-zero
// spare byte or alpha, alpha 0, 15, 128 and 255, and bit 15 set.
void FillEdgeBiased(Plane& plane, std::uint32_t key, std::mt19937& rng)
{
    const int t = plane.desc.type;
    if (t < blt_model::T565 || t > blt_model::ABGR8888 || t == blt_model::T9) return;
    const std::uint32_t keyBits = blt_model::KeyBits(t, key);
    const int n = plane.Bytes();
    for (int y = 0; y < plane.desc.height; ++y) {
        for (int x = 0; x < plane.desc.width; ++x) {
            std::uint8_t* p = plane.At(x, y);
            const int pick = RandomIn(rng, 0, 9); // 5 to 9: random bytes from the allocation
            if (pick <= 1) std::memset(p, pick == 0 ? 0 : 0xFF, n);
            const bool alpha16 = t == blt_model::A565 || t == blt_model::A555;
            if (pick == 2 || pick == 3) {
                for (int i = 0; i < std::min(n, 3); ++i)
                    p[i] = static_cast<std::uint8_t>(keyBits >> (8 * i));
                if (t == blt_model::XRGB8888 || t == blt_model::XBGR8888) p[3] = 0;
                if (alpha16) p[2] = 0x0F;
                if (t == blt_model::ARGB8888 || t == blt_model::ABGR8888) p[3] = 0xFF;
                if (RandomIn(rng, 0, 1) == 1) { // the key with something in its spare bits
                    if (n == 2) p[1] |= 0x80;
                    if (alpha16) p[2] = static_cast<std::uint8_t>(rng());
                    if (n == 4) p[3] = static_cast<std::uint8_t>(RandomIn(rng, 1, 255));
                }
            }
            if (pick == 4) {
                static const std::uint8_t alphas[] = {0, 15, 128, 255, 0x08, 0xF0};
                if (n == 4) p[alpha16 ? 2 : 3] = alphas[RandomIn(rng, 0, 5)];
                if (n == 2) p[1] |= 0x80;
            }
        }
    }
}

struct RandomBlit
{
    blt_model::BlitCase plain; // the same blit in plain numbers, for the model
    POINT point{};
    SIZE size{};
    RECT srcRect{}, clip{};
    SBltInfo info;

    RandomBlit(std::mt19937& rng, int srcW, int srcH, int dstW, int dstH)
    {
        plain.hasPoint = RandomIn(rng, 0, 3) != 0;
        // Points just off the top-left edge cut one or two columns or rows, where stretching is fragile.
        plain.x = RandomIn(rng, 0, 2) == 0 ? RandomIn(rng, -2, 1) : RandomIn(rng, -srcW - 3, dstW + 2);
        plain.y = RandomIn(rng, 0, 2) == 0 ? RandomIn(rng, -2, 1) : RandomIn(rng, -srcH - 3, dstH + 2);
        plain.hasSrcRect = RandomIn(rng, 0, 1) == 1;
        plain.srcRect.left = RandomIn(rng, -3, srcW);
        plain.srcRect.top = RandomIn(rng, -3, srcH);
        plain.srcRect.right = plain.srcRect.left + RandomIn(rng, -1, srcW + 3);
        plain.srcRect.bottom = plain.srcRect.top + RandomIn(rng, -1, srcH + 3);
        plain.hasSize = RandomIn(rng, 0, 2) != 0;
        // Extents are chosen against the source rectangle as bounded by the source surface, so that
        // blits stretched on one axis only come up often.
        const int boundedW =
            plain.hasSrcRect ? std::min<int>(plain.srcRect.right, srcW) - std::max<int>(plain.srcRect.left, 0)
                             : srcW;
        const int boundedH =
            plain.hasSrcRect ? std::min<int>(plain.srcRect.bottom, srcH) - std::max<int>(plain.srcRect.top, 0)
                             : srcH;
        const auto extent = [&](int from) {
            const int pick = RandomIn(rng, 0, 7);
            const int choices[] = {from, from * 2, from + 1, std::max(from / 2, 1), RandomIn(rng, -2, 0)};
            return pick < 5 ? choices[pick] : RandomIn(rng, 1, 2 * dstW + 4);
        };
        plain.cx = extent(std::max(boundedW, 1));
        plain.cy = extent(std::max(boundedH, 1));
        plain.hasClip = RandomIn(rng, 0, 2) == 0;
        plain.clip = {RandomIn(rng, -3, dstW), RandomIn(rng, -3, dstH), RandomIn(rng, 0, dstW + 3),
                      RandomIn(rng, 0, dstH + 3)};
        plain.basePoint = RandomIn(rng, -1, 9);

        point = {static_cast<std::int32_t>(plain.x), static_cast<std::int32_t>(plain.y)};
        size = {static_cast<std::int32_t>(plain.cx), static_cast<std::int32_t>(plain.cy)};
        const auto toRect = [](const blt_model::Rect& r) {
            return RECT{static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
                        static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom)};
        };
        srcRect = toRect(plain.srcRect);
        clip = toRect(plain.clip);
        info.dstPoint = plain.hasPoint ? &point : nullptr;
        info.dstSize = plain.hasSize ? &size : nullptr;
        info.srcRect = plain.hasSrcRect ? &srcRect : nullptr;
        info.clipRect = plain.hasClip ? &clip : nullptr;
        info.basePoint = plain.basePoint;
    }
};

const std::vector<blt_model::Colour>& TestPalette()
{
    static const std::vector<blt_model::Colour> palette = [] {
        std::vector<blt_model::Colour> p;
        std::mt19937 rng(7);
        for (int i = 0; i < 24; ++i)
            p.push_back({RandomIn(rng, 0, 255), RandomIn(rng, 0, 255), RandomIn(rng, 0, 255), 0});
        p.push_back(p[3]); // a tie: the lower index wins
        return p;
    }();
    return palette;
}

class BltAllCombinations : public ::testing::TestWithParam<int>
{
protected:
    static void SetUpTestSuite()
    {
        BuildBlendTables();
        std::vector<SPaletteEntry> entries;
        for (const auto& c : TestPalette())
            entries.push_back({static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                               static_cast<std::uint8_t>(c.b)});
        CaptureSystemPalette(entries.data(), static_cast<int>(entries.size()));
    }

    // One blit of random planes; checks the result code and every byte of both planes.
    void RunOne(int op, int dstType, int srcType, bool served, const blt_model::OpModel& model,
                std::mt19937& rng)
    {
        const int srcW = RandomIn(rng, 1, 20), srcH = RandomIn(rng, 1, 12);
        const int dstW = RandomIn(rng, 1, 24), dstH = RandomIn(rng, 1, 12);
        Plane src(srcType, srcW, srcH, RandomIn(rng, 0, 1) == 0 ? 0 : RandomIn(rng, 1, 5), rng);
        Plane dst(dstType, dstW, dstH, RandomIn(rng, 0, 5), rng);
        const std::uint32_t key = static_cast<std::uint32_t>(rng());
        FillEdgeBiased(src, key, rng);
        const RandomBlit blit(rng, srcW, srcH, dstW, dstH);

        CSurfaceInfo dstInfo, srcInfo;
        static_cast<SSurfaceDesc&>(dstInfo) = dst.desc;
        static_cast<SSurfaceDesc&>(srcInfo) = src.desc;
        srcInfo.colorKey = key;
        const std::int32_t params[2] = {RandomIn(rng, 0, 255), RandomIn(rng, 0, 255)};
        const std::vector<std::uint8_t> srcBefore = src.memory;
        std::vector<std::uint8_t> expected = dst.memory;

        int expectedResult = blt_model::UnservedResult(op, dstType, srcType);
        if (served) {
            expectedResult = 0;
            blt_model::Mapping m = blt_model::MapBlit(blit.plain, srcW, srcH, dstW, dstH);
            m.pixelFirst = std::find(model.pixelFirstWalk.begin(), model.pixelFirstWalk.end(),
                                     blt_model::Pair{dstType, srcType}) != model.pixelFirstWalk.end();
            blt_model::Params p;
            p.colourKey = key;
            p.rate = params[0];
            p.factor1 = params[0];
            p.factor2 = params[1];
            p.palette = &TestPalette();
            if (m.draws) {
                for (long long y = m.visible.top; y < m.visible.bottom; ++y) {
                    for (long long x = m.visible.left; x < m.visible.right; ++x) {
                        const long long sx = m.SourceX(x), sy = m.SourceY(y);
                        ASSERT_TRUE(sx >= m.src.left && sx < m.src.right && sy >= m.src.top &&
                                    sy < m.src.bottom);
                        model.pixel(dstType, srcType, expected.data() + dst.Offset(x, y), src.At(sx, sy), p);
                    }
                }
            }
        }

        const int result = CSurfaceInfo::BltDispatch(&dstInfo, &srcInfo, &blit.info, op, params);
        ASSERT_EQ(result, expectedResult);
        ASSERT_EQ(src.memory, srcBefore) << "the source was written";
        ASSERT_FALSE(dstInfo.locked);
        ASSERT_FALSE(srcInfo.locked);
        const std::vector<std::uint8_t> actual = dst.memory;
        const std::size_t i =
            std::mismatch(actual.begin(), actual.end(), expected.begin()).first - actual.begin();
        const blt_model::BlitCase& b = blit.plain;
        ASSERT_EQ(i, actual.size()) << "byte " << i << " (x " << (i % dst.desc.pitch) / dst.Bytes() << ", y "
                                    << i / dst.desc.pitch << ") src " << srcW << "x" << srcH << " dst "
                                    << dstW << "x" << dstH << " point " << b.hasPoint << ":" << b.x << ","
                                    << b.y << " size " << b.hasSize << ":" << b.cx << "x" << b.cy
                                    << " srcRect " << b.hasSrcRect << ":" << Edges(b.srcRect) << " clip "
                                    << b.hasClip << ":" << Edges(b.clip) << " base " << b.basePoint;
    }
};

TEST_P(BltAllCombinations, EveryPairOfPixelTypes)
{
    const int op = GetParam();
    const blt_model::OpModel model = blt_model::ModelOf(op);
    std::mt19937 rng(1000 + op);
    for (int dstType = 2; dstType <= 13; ++dstType) {
        for (int srcType = 2; srcType <= 13; ++srcType) {
            SCOPED_TRACE("op " + std::to_string(op) + " dst " + std::to_string(dstType) + " src " +
                         std::to_string(srcType));
            const bool served = std::find(model.served.begin(), model.served.end(),
                                          blt_model::Pair{dstType, srcType}) != model.served.end();
            const int trials = served ? 60 : 2;
            for (int i = 0; i < trials; ++i) {
                RunOne(op, dstType, srcType, served, model, rng);
                if (HasFatalFailure()) return;
            }
        }
    }
}

// -1 and 18 lie outside the codes, 11 to 13 have no operation.
INSTANTIATE_TEST_SUITE_P(Operations, BltAllCombinations, ::testing::Range(-1, 19));

} // namespace
