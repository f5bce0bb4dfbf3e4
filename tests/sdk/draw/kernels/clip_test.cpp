#include "sdk/draw/kernels/blt_clip.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

SSurfaceDesc Surface(int w, int h)
{
    SSurfaceDesc d;
    d.width = w;
    d.height = h;
    return d;
}

std::vector<int> Edges(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}
using E = std::vector<int>;

TEST(ClipBltRect, SourceRectangleOutsideTheSourceDrawsNothing)
{
    const SSurfaceDesc src = Surface(8, 8), dst = Surface(8, 8);
    const RECT outside{8, 0, 12, 4};
    SBltInfo info;
    info.srcRect = &outside;
    SBltClipResult r;
    EXPECT_EQ(ClipBltRect(&src, &dst, &info, &r), 1);
}

TEST(ClipBltRect, BasePointCentre)
{
    const SSurfaceDesc dst = Surface(40, 40);
    const POINT at{5, 5};
    SBltInfo info;
    info.dstPoint = &at;
    info.basePoint = 4;
    SBltClipResult r;
    const SSurfaceDesc ten = Surface(10, 10);
    ASSERT_EQ(ClipBltRect(&ten, &dst, &info, &r), 0);
    EXPECT_EQ(Edges(r.dst), (E{0, 0, 10, 10}));
    const SSurfaceDesc eleven = Surface(11, 11);
    ASSERT_EQ(ClipBltRect(&eleven, &dst, &info, &r), 0);
    EXPECT_EQ(Edges(r.dst), (E{0, 0, 11, 11}));
    // Base point 8 puts the bottom-right corner on the point; codes outside 0..8 count as 0.
    const POINT corner{20, 30};
    info.dstPoint = &corner;
    info.basePoint = 8;
    ASSERT_EQ(ClipBltRect(&ten, &dst, &info, &r), 0);
    EXPECT_EQ(Edges(r.dst), (E{10, 20, 20, 30}));
    info.basePoint = 9;
    ASSERT_EQ(ClipBltRect(&ten, &dst, &info, &r), 0);
    EXPECT_EQ(Edges(r.dst), (E{20, 30, 30, 40}));
}

TEST(ClipBltRect, OneToOneOverhangMovesTheSource)
{
    const SSurfaceDesc src = Surface(10, 10), dst = Surface(20, 20);
    const POINT at{-4, 15};
    SBltInfo info;
    info.dstPoint = &at;
    SBltClipResult r;
    ASSERT_EQ(ClipBltRect(&src, &dst, &info, &r), 0);
    EXPECT_EQ(r.oneToOne, 1);
    EXPECT_EQ(Edges(r.dst), (E{0, 15, 6, 20}));
    EXPECT_EQ(Edges(r.src), (E{4, 0, 10, 5}));
}

TEST(ClipBltRect, ZeroAndNegativeDestinationSizesDrawNothing)
{
    const SSurfaceDesc src = Surface(10, 10), dst = Surface(20, 20);
    SBltClipResult r;
    for (const SIZE size : {SIZE{0, 5}, SIZE{5, 0}, SIZE{-5, 5}, SIZE{5, -1}, SIZE{INT_MIN, INT_MIN}}) {
        SBltInfo info;
        info.dstSize = &size;
        EXPECT_EQ(ClipBltRect(&src, &dst, &info, &r), 1) << size.cx << "x" << size.cy;
    }
}

TEST(ClipBltRect, StretchTermsOfAnUnclippedBlit)
{
    const SSurfaceDesc src = Surface(3, 2), dst = Surface(20, 20);
    const SIZE size{5, 2};
    SBltInfo info;
    info.dstSize = &size;
    SBltClipResult r;
    ASSERT_EQ(ClipBltRect(&src, &dst, &info, &r), 0);
    EXPECT_EQ(r.oneToOne, 0);
    EXPECT_EQ((E{r.xErrorStart, r.xRemainder, r.xDivisor, r.xStep}), (E{-6, 3, 5, 0}));
    EXPECT_EQ((E{r.yErrorStart, r.yRemainder, r.yDivisor, r.yStep}), (E{-3, 0, 2, 1}));
}

TEST(ClipBltRect, ExtremeCoordinatesDoNotOverflow)
{
    const SSurfaceDesc src = Surface(10, 10), dst = Surface(20, 20);
    SBltClipResult r;
    for (const POINT at : {POINT{INT_MIN, INT_MIN}, POINT{INT_MAX, INT_MAX}, POINT{INT_MIN, 0}}) {
        for (const SIZE size : {SIZE{INT_MAX, INT_MAX}, SIZE{10, 10}, SIZE{3, INT_MAX}}) {
            for (int base : {0, 4, 8}) {
                SBltInfo info;
                info.dstPoint = &at;
                info.dstSize = &size;
                info.basePoint = base;
                const int result = ClipBltRect(&src, &dst, &info, &r);
                if (result == 0) {
                    EXPECT_GE(r.dst.left, 0);
                    EXPECT_LE(r.dst.right, 20);
                    EXPECT_GE(r.src.left, 0);
                    EXPECT_LE(r.src.right, 10);
                }
            }
        }
    }
    const RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    SBltInfo info;
    info.srcRect = &huge;
    info.clipRect = &huge;
    ASSERT_EQ(ClipBltRect(&src, &dst, &info, &r), 0);
    EXPECT_EQ(r.src.right, 10);
    EXPECT_EQ(r.clip.right, 20);
}

TEST(ClipRect, BoundsButDoesNotOrder)
{
    const SSurfaceDesc s = Surface(8, 8);
    EXPECT_EQ(Edges(ClipRect(s, nullptr)), (E{0, 0, 8, 8}));
    const RECT big{-5, -5, 10, 10}, right{20, 0, 30, 4};
    EXPECT_EQ(Edges(ClipRect(s, &big)), (E{0, 0, 8, 8}));
    EXPECT_EQ(Edges(ClipRect(s, &right)), (E{20, 0, 8, 4}));
}

} // namespace
