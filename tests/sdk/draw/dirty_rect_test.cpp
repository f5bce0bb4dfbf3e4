// Dirty rectangles: at most five held, the cheapest pair merged, and the merge pass.
#include "sdk/draw/dirty_rect.h"

#include <gtest/gtest.h>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
using platform::RECT;

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void ExpectRects(Draw::CDirtyRect& dirty, std::initializer_list<RECT> want)
{
    ASSERT_EQ(dirty.GetCount(), int(want.size()));
    int i = 0;
    for (const RECT& r : want) {
        const RECT& got = dirty.GetRects()[i];
        EXPECT_TRUE(Same(got, r)) << "rect " << i << ": " << got.left << "," << got.top << "," << got.right
                                  << "," << got.bottom;
        EXPECT_EQ(dirty.GetArea(i), (r.right - r.left) * (r.bottom - r.top)) << i;
        ++i;
    }
}

TEST(DirtyRect, FiveAreHeldAsGiven)
{
    Draw::CDirtyRect dirty;
    EXPECT_EQ(dirty.GetCount(), 0);
    dirty.AddRect(0, 0, 10, 10);
    dirty.AddRect(RECT{100, 0, 110, 10});
    dirty.AddRectSize(200, 5, 10, 20);
    dirty.AddRect(300, 0, 310, 10);
    dirty.AddRect(400, 0, 410, 10);
    ExpectRects(dirty,
                {{0, 0, 10, 10}, {100, 0, 110, 10}, {200, 5, 210, 25}, {300, 0, 310, 10}, {400, 0, 410, 10}});
    dirty.Clear();
    EXPECT_EQ(dirty.GetCount(), 0);
}

TEST(DirtyRect, ASixthMergesTheCheapestPair)
{
    // The sixth lies next to the first: they merge into place 0.
    Draw::CDirtyRect dirty;
    for (int i = 0; i < 5; ++i)
        dirty.AddRect(i * 100, 0, i * 100 + 10, 10);
    dirty.AddRect(11, 0, 21, 10);
    ExpectRects(dirty,
                {{0, 0, 21, 10}, {100, 0, 110, 10}, {200, 0, 210, 10}, {300, 0, 310, 10}, {400, 0, 410, 10}});

    // Two held ones touch: they merge and the sixth moves into the freed place.
    Draw::CDirtyRect touching;
    touching.AddRect(0, 0, 10, 10);
    touching.AddRect(100, 0, 110, 10);
    touching.AddRect(110, 0, 120, 10);
    touching.AddRect(300, 0, 310, 10);
    touching.AddRect(400, 0, 410, 10);
    touching.AddRect(500, 500, 510, 510);
    ExpectRects(
        touching,
        {{0, 0, 10, 10}, {100, 0, 120, 10}, {500, 500, 510, 510}, {300, 0, 310, 10}, {400, 0, 410, 10}});

    // Equal costs: the first pair in order wins.
    Draw::CDirtyRect tie;
    tie.AddRect(0, 0, 10, 10);
    tie.AddRect(10, 0, 20, 10);
    tie.AddRect(100, 0, 110, 10);
    tie.AddRect(110, 0, 120, 10);
    tie.AddRect(300, 300, 310, 310);
    tie.AddRect(500, 500, 510, 510);
    ExpectRects(
        tie,
        {{0, 0, 20, 10}, {500, 500, 510, 510}, {100, 0, 110, 10}, {110, 0, 120, 10}, {300, 300, 310, 310}});
    // Many more never hold more than five.
    for (int i = 0; i < 50; ++i)
        tie.AddRect(i * 7, i * 3, i * 7 + 5, i * 3 + 5);
    EXPECT_EQ(tie.GetCount(), 5);
}

TEST(DirtyRect, OptimizeMergesOnlyWhatAddsNoArea)
{
    Draw::CDirtyRect inside;
    inside.AddRect(0, 0, 10, 10);
    inside.AddRect(2, 2, 5, 5);
    EXPECT_EQ(inside.Optimize(), 0);
    ExpectRects(inside, {{0, 0, 10, 10}});

    Draw::CDirtyRect flush;
    flush.AddRect(0, 0, 10, 10);
    flush.AddRect(10, 0, 20, 10);
    EXPECT_EQ(flush.Optimize(), 0);
    ExpectRects(flush, {{0, 0, 20, 10}});

    Draw::CDirtyRect apart;
    apart.AddRect(0, 0, 10, 10);
    apart.AddRect(20, 20, 30, 30);
    EXPECT_EQ(apart.Optimize(), 1);
    ExpectRects(apart, {{0, 0, 10, 10}, {20, 20, 30, 30}});

    // The last entry moves into the merged place and is tested there.
    Draw::CDirtyRect chain;
    chain.AddRect(0, 0, 10, 10);
    chain.AddRect(50, 50, 60, 60);
    chain.AddRect(1, 1, 2, 2);
    chain.AddRect(3, 3, 4, 4);
    EXPECT_EQ(chain.Optimize(), 1);
    ExpectRects(chain, {{0, 0, 10, 10}, {50, 50, 60, 60}});

    Draw::CDirtyRect empty;
    EXPECT_EQ(empty.Optimize(), -1);
    EXPECT_EQ(empty.GetCount(), 0);
    Draw::CDirtyRect one;
    one.AddRect(1, 2, 3, 4);
    EXPECT_EQ(one.Optimize(), 0);
    ExpectRects(one, {{1, 2, 3, 4}});
}

TEST(DirtyRect, HugeRectanglesWrapInsteadOfOverflowing)
{
    Draw::CDirtyRect dirty;
    dirty.AddRect(-2000000000, -2000000000, 2000000000, 2000000000);
    dirty.AddRect(0, 0, 1, 1);
    dirty.Optimize();
    EXPECT_GE(dirty.GetCount(), 1);
}

} // namespace
