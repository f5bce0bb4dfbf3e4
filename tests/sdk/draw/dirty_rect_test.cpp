// Dirty rectangles: at most five held, the cheapest pair merged, and the merge pass.
#include "sdk/draw/dirty_rect.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
using platform::RECT;

void ExpectRects(Draw::CDirtyRect& dirty, const std::vector<RECT>& want)
{
    ASSERT_EQ(dirty.GetCount(), int(want.size()));
    for (int i = 0; i < int(want.size()); ++i) {
        const RECT &got = dirty.GetRects()[i], &r = want[i];
        EXPECT_TRUE(got.left == r.left && got.top == r.top && got.right == r.right && got.bottom == r.bottom)
            << "rect " << i << ": " << got.left << "," << got.top << "," << got.right << "," << got.bottom;
        EXPECT_EQ(dirty.GetArea(i), (r.right - r.left) * (r.bottom - r.top)) << i;
    }
}

struct Case
{
    const char* what;
    std::vector<RECT> added, held;
};

TEST(DirtyRect, FiveAreHeldAndASixthMergesTheCheapestPair)
{
    const Case cases[] = {
        {"five as given",
         {{0, 0, 10, 10}, {100, 0, 110, 10}, {200, 5, 210, 25}, {300, 0, 310, 10}, {400, 0, 410, 10}},
         {{0, 0, 10, 10}, {100, 0, 110, 10}, {200, 5, 210, 25}, {300, 0, 310, 10}, {400, 0, 410, 10}}},
        {"the sixth lies next to the first: they merge into place 0",
         {{0, 0, 10, 10},
          {100, 0, 110, 10},
          {200, 0, 210, 10},
          {300, 0, 310, 10},
          {400, 0, 410, 10},
          {11, 0, 21, 10}},
         {{0, 0, 21, 10}, {100, 0, 110, 10}, {200, 0, 210, 10}, {300, 0, 310, 10}, {400, 0, 410, 10}}},
        {"two held ones touch: they merge and the sixth moves into the freed place",
         {{0, 0, 10, 10},
          {100, 0, 110, 10},
          {110, 0, 120, 10},
          {300, 0, 310, 10},
          {400, 0, 410, 10},
          {500, 500, 510, 510}},
         {{0, 0, 10, 10}, {100, 0, 120, 10}, {500, 500, 510, 510}, {300, 0, 310, 10}, {400, 0, 410, 10}}},
        {"equal costs: the first pair in order wins",
         {{0, 0, 10, 10},
          {10, 0, 20, 10},
          {100, 0, 110, 10},
          {110, 0, 120, 10},
          {300, 300, 310, 310},
          {500, 500, 510, 510}},
         {{0, 0, 20, 10}, {500, 500, 510, 510}, {100, 0, 110, 10}, {110, 0, 120, 10}, {300, 300, 310, 310}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Draw::CDirtyRect dirty;
        for (const RECT& r : c.added)
            dirty.AddRect(r);
        ExpectRects(dirty, c.held);
    }
}

TEST(DirtyRect, ManyMoreNeverHoldMoreThanFiveAndClearEmpties)
{
    Draw::CDirtyRect dirty;
    for (int i = 0; i < 50; ++i)
        dirty.AddRect(i * 7, i * 3, i * 7 + 5, i * 3 + 5);
    EXPECT_EQ(dirty.GetCount(), 5);
    dirty.Clear();
    EXPECT_EQ(dirty.GetCount(), 0);
}

TEST(DirtyRect, AddRectSizeTakesWidthAndHeight)
{
    Draw::CDirtyRect sized;
    sized.AddRectSize(200, 5, 10, 20);
    ExpectRects(sized, {{200, 5, 210, 25}});
}

TEST(DirtyRect, OptimizeMergesOnlyWhatAddsNoArea)
{
    struct Merge
    {
        Case c;
        int result;
    };
    const Merge merges[] = {
        {{"inside", {{0, 0, 10, 10}, {2, 2, 5, 5}}, {{0, 0, 10, 10}}}, 0},
        {{"flush", {{0, 0, 10, 10}, {10, 0, 20, 10}}, {{0, 0, 20, 10}}}, 0},
        {{"apart", {{0, 0, 10, 10}, {20, 20, 30, 30}}, {{0, 0, 10, 10}, {20, 20, 30, 30}}}, 1},
        // The last entry moves into the merged place and is tested there.
        {{"chain",
          {{0, 0, 10, 10}, {50, 50, 60, 60}, {1, 1, 2, 2}, {3, 3, 4, 4}},
          {{0, 0, 10, 10}, {50, 50, 60, 60}}},
         1},
        {{"none", {}, {}}, -1},
        {{"one", {{1, 2, 3, 4}}, {{1, 2, 3, 4}}}, 0},
    };
    for (const Merge& m : merges) {
        SCOPED_TRACE(m.c.what);
        Draw::CDirtyRect dirty;
        for (const RECT& r : m.c.added)
            dirty.AddRect(r);
        EXPECT_EQ(dirty.Optimize(), m.result);
        ExpectRects(dirty, m.c.held);
    }
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
