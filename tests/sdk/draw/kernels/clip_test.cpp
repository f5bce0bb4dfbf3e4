#include "sdk/draw/kernels/blt_clip.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
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
    SBltClipResult r;
    // Small planes, and descriptions of planes near the 32-bit limit, whose stretched cuts need more than
    // 64 bits; clipped by the planes alone, and by a rectangle at their far end.
    const RECT farEnd{INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX};
    for (const auto& [src, dst] : {std::pair{Surface(10, 10), Surface(20, 20)},
                                   std::pair{Surface(INT_MAX - 1, INT_MAX - 1), Surface(INT_MAX, INT_MAX)}}) {
        for (const RECT* clip : {static_cast<const RECT*>(nullptr), &farEnd}) {
            for (const POINT at : {POINT{INT_MIN, INT_MIN}, POINT{INT_MAX, INT_MAX}, POINT{INT_MIN, 0}}) {
                for (const SIZE size : {SIZE{INT_MAX, INT_MAX}, SIZE{10, 10}, SIZE{3, INT_MAX}}) {
                    for (int base : {0, 4, 8}) {
                        SBltInfo info;
                        info.dstPoint = &at;
                        info.dstSize = &size;
                        info.clipRect = clip;
                        info.basePoint = base;
                        if (ClipBltRect(&src, &dst, &info, &r) != 0) continue;
                        EXPECT_GE(r.dst.left, 0);
                        EXPECT_LE(r.dst.right, dst.width);
                        EXPECT_GE(r.src.left, 0);
                        EXPECT_LE(r.src.right, src.width);
                    }
                }
            }
        }
    }
    const SSurfaceDesc src = Surface(10, 10), dst = Surface(20, 20);
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
