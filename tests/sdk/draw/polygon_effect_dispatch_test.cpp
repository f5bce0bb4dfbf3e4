// The polygon blit and rectangle effect entries: result codes, locking, the prepared key and colour, and
// the surface operations that lead to them.

#include "memory_surface.h"

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_table.h"
#include "sdk/ztl/exception.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd;
using namespace zelvoranGameSDK3rd::Draw;

using CTestSurface = draw_test::CMemorySurface;

struct Square
{
    explicit Square(int size) : corners{{0, 0}, {size, 0}, {size, size}, {0, size}}
    {
        info.dstPoints = corners;
        info.srcPoints = corners;
        info.pointCount = 4;
    }
    POINT corners[4];
    PolygonBltInfo info;
};

TEST(PolygonBltDispatch, OnlyOperationsZeroOneAndTenAreServed)
{
    CTestSurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11);
    const Square sq(3);
    for (int op : {2, 3, 9, 11, 14, 17, -1, 255}) {
        EXPECT_EQ(dst.PolygonBlt(op, src.GetSurfaceInfo(), &sq.info, nullptr), 1) << op;
    }
    EXPECT_EQ(dst.locker->locks + src.locker->locks, 0); // nothing locked
    EXPECT_TRUE(dst.Untouched(0xEE));
    for (int op : {0, 1, 10})
        EXPECT_EQ(dst.PolygonBlt(op, src.GetSurfaceInfo(), &sq.info, nullptr), 0) << op;
    EXPECT_EQ(dst.Word(3, 3), 0x1111u);
}

TEST(PolygonBltDispatch, UnservedPairsAnswerTwoAfterLockingBoth)
{
    CTestSurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel555, 0x11);
    const Square sq(3);
    for (int op : {0, 1, 10})
        EXPECT_EQ(dst.PolygonBlt(op, src.GetSurfaceInfo(), &sq.info, nullptr), 2) << op;
    for (const auto* l : {dst.locker, src.locker})
        EXPECT_TRUE(l->locks == 3 && l->unlocks == 3);
    EXPECT_FALSE(dst.GetSurfaceInfo()->locked || src.GetSurfaceInfo()->locked);
    EXPECT_TRUE(dst.Untouched(0xEE));
    // Equal types without pixels: nothing to draw, and the blit reports that it ran.
    CTestSurface none(4, 4, kPixelUnused9, 0xEE), none2(4, 4, kPixelUnused9, 0x11);
    EXPECT_EQ(none.PolygonBlt(0, none2.GetSurfaceInfo(), &sq.info, nullptr), 0);
    EXPECT_TRUE(none.Untouched(0xEE));
}

TEST(PolygonBltDispatch, FailedLocksAnswerOneAndLeaveNothingLocked)
{
    const Square sq(3);
    CTestSurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11, 1);
    EXPECT_EQ(dst.PolygonBlt(0, src.GetSurfaceInfo(), &sq.info, nullptr), 1);
    EXPECT_FALSE(dst.GetSurfaceInfo()->locked || src.GetSurfaceInfo()->locked);
    EXPECT_EQ(dst.locker->unlocks, 1);
    CTestSurface refusing(4, 4, kPixel565, 0xEE, 1), fine(4, 4, kPixel565, 0x11);
    EXPECT_EQ(refusing.PolygonBlt(1, fine.GetSurfaceInfo(), &sq.info, nullptr), 1);
    EXPECT_EQ(fine.locker->locks, 0);
    EXPECT_TRUE(dst.Untouched(0xEE) && refusing.Untouched(0xEE));
    EXPECT_EQ(CSurfaceInfo::PolygonBltDispatch(dst.GetSurfaceInfo(), 0, nullptr, &sq.info), 1);
    EXPECT_EQ(CSurfaceInfo::PolygonBltDispatch(nullptr, 0, src.GetSurfaceInfo(), &sq.info), 1);
}

TEST(PolygonBltDispatch, NullOrRefusedPolygonsDrawNothingAndAnswerZero)
{
    CTestSurface dst(4, 4, kPixelXRGB8888, 0xEE), src(4, 4, kPixelXRGB8888, 0x11);
    EXPECT_EQ(dst.PolygonBlt(0, src.GetSurfaceInfo(), nullptr, nullptr), 0);
    Square two(3);
    two.info.pointCount = 2;
    EXPECT_EQ(dst.PolygonBlt(10, src.GetSurfaceInfo(), &two.info, nullptr), 0);
    two.info.pointCount = 4;
    two.info.srcPoints = nullptr;
    EXPECT_EQ(dst.PolygonBlt(1, src.GetSurfaceInfo(), &two.info, nullptr), 0);
    EXPECT_TRUE(dst.Untouched(0xEE));
    EXPECT_FALSE(dst.GetSurfaceInfo()->locked || src.GetSurfaceInfo()->locked);
}

TEST(PolygonBltDispatch, SourceKeyIsLaidOutAsOneSourcePixel)
{
    EXPECT_EQ(PrepareColorKey(kPixel565, kPixel565, 0x00FF00FF), 0xF81Fu);
    EXPECT_EQ(PrepareColorKey(kPixel565, kPixelA565, 0xF0FF00FF) & 0xFFFFFF, 0x0FF81Fu);
    EXPECT_EQ(PrepareColorKey(kPixelARGB8888, kPixelARGB8888, 0x12FF00FF), 0xFFFF00FFu);
    EXPECT_EQ(PrepareColorKey(kPixelXRGB8888, kPixelARGB8888, 0x12FF00FF), 0x12FF00FFu);
    EXPECT_EQ(PrepareColorKey(kPixelABGR8888, kPixelXRGB8888, 0x12FF00FF), 0x00FF00FFu);

    // Through the entry: the source's own key leaves its pixels out.
    CTestSurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11);
    src.SetColorKey(0x00FF00FF);
    src.SetWord(1, 1, 0xF81F);
    src.SetWord(2, 1, 0xF81E);
    const Square sq(3);
    EXPECT_EQ(dst.PolygonBlt(1, src.GetSurfaceInfo(), &sq.info, nullptr), 0);
    EXPECT_EQ(dst.Word(1, 1), 0xEEEEu);
    EXPECT_EQ(dst.Word(2, 1), 0xF81Eu);
    EXPECT_EQ(dst.Word(0, 0), 0x1111u);
}

TEST(PolygonBltDispatch, APlaneOntoItselfRaisesAndStaysUnlocked)
{
    CTestSurface plane(4, 4, kPixel565, 0xEE);
    const Square sq(3);
    EXPECT_THROW(plane.PolygonBlt(0, plane.GetSurfaceInfo(), &sq.info, nullptr), ZTL::CRuntimeException);
    EXPECT_FALSE(plane.GetSurfaceInfo()->locked);
}

TEST(EffectDispatch, ResultCodesAndLocking)
{
    BuildBlendTables();
    CTestSurface s(8, 8, kPixelARGB8888, 0xEE);
    const std::uint32_t colour = 0x00FFFFFF;
    EXPECT_EQ(s.Effect(6, nullptr, &colour), 1);
    EXPECT_EQ(s.locker->locks, 0);
    // An empty rectangle after the clip, on every effect: done, nothing drawn.
    const RECT outside{20, 0, 30, 4};
    const RECT inverted{5, 5, 2, 7};
    for (std::uint32_t effect = 0; effect <= 5; ++effect) {
        EXPECT_EQ(s.Effect(effect, &outside, &colour), 0) << effect;
        EXPECT_EQ(s.Effect(effect, &inverted, &colour), 0) << effect;
    }
    EXPECT_TRUE(s.Untouched(0xEE));
    EXPECT_EQ(s.locker->locks, 12);
    EXPECT_EQ(s.locker->unlocks, 12);

    CTestSurface none(4, 4, kPixelUnused9, 0xEE);
    for (std::uint32_t effect = 0; effect <= 5; ++effect)
        EXPECT_EQ(none.Effect(effect, nullptr, &colour), 0);
    EXPECT_TRUE(none.Untouched(0xEE));
    EXPECT_EQ(none.locker->unlocks, 6);

    CTestSurface refusing(4, 4, kPixel565, 0xEE, 1);
    for (std::uint32_t effect = 0; effect <= 5; ++effect)
        EXPECT_EQ(refusing.Effect(effect, nullptr, &colour), 1);
    EXPECT_EQ(CSurfaceInfo::FadeDispatch(refusing.GetSurfaceInfo(), nullptr, 3), 1);
    EXPECT_EQ(CSurfaceInfo::InvertDispatch(refusing.GetSurfaceInfo(), nullptr), 1);
    EXPECT_EQ(CSurfaceInfo::MosaicDispatch(refusing.GetSurfaceInfo(), nullptr, 2), 1);
    EXPECT_TRUE(refusing.Untouched(0xEE));
    EXPECT_FALSE(refusing.GetSurfaceInfo()->locked);
}

TEST(EffectDispatch, SurfaceOperationsReachTheirEffects)
{
    BuildBlendTables();
    CTestSurface s(2, 1, kPixelA565, 0);
    s.SetFillColor(0x80FF0000);
    EXPECT_EQ(s.Clear(nullptr), 0); // the fill colour, its alpha's top nibble in byte 2
    EXPECT_EQ(s.Word(1, 0), 0x08F800u);
    EXPECT_EQ(s.InvertEffect(nullptr), 0);
    EXPECT_EQ(s.Word(0, 0), 0x0F07FFu);

    CTestSurface x(3, 1, kPixelXRGB8888, 0);
    x.FillWith(0x00808080);
    const RECT first{0, 0, 1, 1};
    const RECT second{1, 0, 2, 1};
    EXPECT_EQ(x.FadeEffect(256, &first), 0); // the rate is taken modulo 256
    EXPECT_EQ(x.Word(0, 0), 0u);
    EXPECT_EQ(x.FadeEffect(257, &second), 0);
    EXPECT_EQ(x.Word(1, 0), 0u); // 128 x 1 / 255
    EXPECT_EQ(x.AddColorEffect(0xFF102030, nullptr), 0);
    EXPECT_EQ(x.Word(2, 0), 0x0090A0B0u);
    EXPECT_EQ(x.SubColorEffect(0x00FFFFFF, nullptr), 0);
    EXPECT_EQ(x.Word(2, 0), 0u);
    x.SetWord(0, 0, 0x00ABCDEF);
    EXPECT_EQ(x.MosaicEffect(2, nullptr), 0);
    EXPECT_EQ(x.Word(1, 0), 0x00ABCDEFu);
    EXPECT_EQ(x.MosaicEffect(0, nullptr), 0);
    EXPECT_EQ(x.MosaicEffect(-5, nullptr), 0);
    EXPECT_EQ(x.Word(2, 0), 0u);
}

} // namespace
