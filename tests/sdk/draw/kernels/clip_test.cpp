#include "sdk/draw/kernels/blt_clip.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

// Where a blit lands is compared with a closed-form model over random rectangles, points, sizes, base points
// and clips by the all-combinations test; these are the cases it does not reach.

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
