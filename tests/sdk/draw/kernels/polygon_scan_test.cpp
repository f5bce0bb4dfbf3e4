// The polygon loop: which destination pixels a polygon covers and which source pixel each one shows.
// A source whose pixels hold their own coordinates is copied with the 32-bit same-type kernel, so every
// destination pixel tells where it was sampled.

#include "small_plane.h"

#include "sdk/draw/kernels/polygon_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd::Draw;

using Cell = std::pair<int, int>;   // x, y
using Drawn = std::map<Cell, Cell>; // destination pixel -> source pixel it shows

struct Poly
{
    std::vector<POINT> dst;
    std::vector<POINT> src;
};

constexpr std::uint32_t kMark = 0x80000000;

struct Outcome
{
    int result = 0;
    Drawn drawn;
    bool outsideTouched = false; // a padding byte between rows changed
};

Outcome Draw(const Poly& poly, int dstW, int dstH, int srcW, int srcH, const RECT* clip = nullptr,
             bool exclusive = false)
{
    blt_test::Plane src(kPixelXRGB8888, srcW, srcH, 0, 8), dst(kPixelXRGB8888, dstW, dstH, 0, 8);
    for (int y = 0; y < srcH; ++y)
        for (int x = 0; x < srcW; ++x) {
            const std::uint32_t v = kMark | static_cast<std::uint32_t>(y << 12 | x);
            std::memcpy(src.At(x, y), &v, 4);
        }
    PolygonBltInfo info;
    info.dstPoints = poly.dst.data();
    info.srcPoints = poly.src.data();
    info.pointCount = static_cast<std::int32_t>(poly.dst.size());
    info.clipRect = clip;
    info.exclusiveEnd = exclusive ? 1 : 0;
    Outcome out;
    out.result = GetPolygonOpTable(kBltCopy)->Find(kPixelXRGB8888, kPixelXRGB8888)(&info, &src.desc,
                                                                                   &dst.desc, nullptr);
    for (std::size_t i = 0; i < dst.memory.size(); ++i)
        out.outsideTouched |= i % dst.desc.pitch >= static_cast<std::size_t>(dstW) * 4 && dst.memory[i] != 0;
    for (int y = 0; y < dstH; ++y)
        for (int x = 0; x < dstW; ++x) {
            std::uint32_t v;
            std::memcpy(&v, dst.At(x, y), 4);
            if (v != 0) out.drawn[{x, y}] = {static_cast<int>(v & 0xFFF), static_cast<int>(v >> 12 & 0xFFF)};
        }
    return out;
}

Poly Square(int left, int top, int right, int bottom)
{
    const std::vector<POINT> corners = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    return {corners, corners};
}

Poly Rotated(const Poly& p, std::size_t by, bool reversed)
{
    Poly out;
    const std::size_t n = p.dst.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = reversed ? (by + n - i) % n : (by + i) % n;
        out.dst.push_back(p.dst[k]);
        out.src.push_back(p.src[k]);
    }
    return out;
}

Drawn Identity(int left, int top, int right, int bottom)
{
    Drawn d;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            d[{x, y}] = {x, y};
    return d;
}

TEST(PolygonScan, SquareCoversBothEndsOfEveryRowAndColumn)
{
    const Poly square = Square(0, 0, 10, 10);
    const Outcome cw = Draw(square, 16, 16, 16, 16);
    EXPECT_EQ(cw.result, 0);
    EXPECT_EQ(cw.drawn.size(), 121u);
    EXPECT_EQ(cw.drawn, Identity(0, 0, 10, 10)); // source points on pixels: a 1:1 copy
    for (std::size_t start = 0; start < 4; ++start)
        for (bool reversed : {false, true})
            EXPECT_EQ(Draw(Rotated(square, start, reversed), 16, 16, 16, 16).drawn, cw.drawn)
                << start << reversed;
    EXPECT_FALSE(cw.outsideTouched);
}

TEST(PolygonScan, ExclusiveEndSamplesShortOfTheOuterCorners)
{
    Poly square = Square(0, 0, 10, 10);
    square.src = {{0, 0}, {11, 0}, {11, 11}, {0, 11}};
    // An 11 x 11 source: a sample on the outer corner would be clamped and show up as column 10 twice.
    EXPECT_EQ(Draw(square, 16, 16, 11, 11, nullptr, true).drawn, Identity(0, 0, 10, 10));
}

TEST(PolygonScan, AxisAlignedSquaresMappedOneToOneAreCopies)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 50; ++i) {
        const int w = static_cast<int>(rng() % 12), h = static_cast<int>(1 + rng() % 12);
        const int x = static_cast<int>(rng() % 8), y = static_cast<int>(rng() % 8);
        const int sx = static_cast<int>(rng() % 8), sy = static_cast<int>(rng() % 8);
        Poly p = Square(x, y, x + w, y + h);
        p.src = {{sx, sy}, {sx + w, sy}, {sx + w, sy + h}, {sx, sy + h}};
        Drawn want;
        for (int r = 0; r <= h; ++r)
            for (int c = 0; c <= w; ++c)
                want[{x + c, y + r}] = {sx + c, sy + r};
        EXPECT_EQ(Draw(p, 24, 24, 24, 24).drawn, want) << w << "x" << h << " at " << x << "," << y;
    }
}

TEST(PolygonScan, TriangleSpansStartAndEndOnTheirVertices)
{
    const Poly down = {{{0, 0}, {10, 0}, {5, 10}}, {{0, 0}, {10, 0}, {5, 10}}};
    const Drawn d = Draw(down, 16, 16, 16, 16).drawn;
    for (int x = 0; x <= 10; ++x)
        EXPECT_TRUE(d.count({x, 0})) << x;
    EXPECT_TRUE(d.count({5, 10}));
    EXPECT_FALSE(d.count({4, 10}));
    EXPECT_FALSE(d.count({6, 10}));
    EXPECT_FALSE(d.count({5, 11}));

    const Poly up = {{{5, 0}, {10, 10}, {0, 10}}, {{5, 0}, {10, 10}, {0, 10}}};
    const Drawn u = Draw(up, 16, 16, 16, 16).drawn;
    for (int x = 0; x <= 10; ++x)
        EXPECT_TRUE(u.count({x, 10})) << x;
    EXPECT_TRUE(u.count({5, 0}));
    EXPECT_EQ(std::count_if(u.begin(), u.end(), [](const auto& e) { return e.first.second == 0; }), 1);
}

TEST(PolygonScan, PolygonOutsideTheClipDrawsNothing)
{
    const RECT clip{0, 0, 16, 5};
    const Outcome below = Draw(Square(2, 6, 8, 12), 16, 16, 16, 16, &clip);
    EXPECT_EQ(below.result, 0);
    EXPECT_TRUE(below.drawn.empty());
    const RECT lower{0, 8, 16, 16};
    EXPECT_TRUE(Draw(Square(2, 1, 8, 7), 16, 16, 16, 16, &lower).drawn.empty());
    const RECT empty{4, 4, 4, 12};
    EXPECT_TRUE(Draw(Square(0, 0, 10, 10), 16, 16, 16, 16, &empty).drawn.empty());
}

// A quadrilateral with sloped edges and a scaled, sheared mapping.
const Poly kTilted = {{{3, 1}, {14, 4}, {11, 15}, {0, 12}}, {{0, 0}, {13, 2}, {9, 9}, {1, 7}}};

// Moving the clip's top only chooses which of the unclipped polygon's rows are drawn, and a clip's right
// edge ends every span.
TEST(PolygonScan, ClipTopAndRightOnlyChoosePixels)
{
    const Drawn whole = Draw(kTilted, 16, 16, 16, 16).drawn;
    ASSERT_FALSE(whole.empty());
    std::vector<RECT> clips = {RECT{0, 0, 7, 16}};
    for (int top = 0; top <= 16; ++top)
        clips.push_back(RECT{0, top, 16, 16});
    for (const RECT& clip : clips) {
        Drawn want;
        for (const auto& [cell, from] : whole)
            if (cell.second >= clip.top && cell.first < clip.right) want[cell] = from;
        EXPECT_EQ(Draw(kTilted, 16, 16, 16, 16, &clip).drawn, want) << clip.top << " " << clip.right;
    }
}

POINT RandomPoint(std::mt19937& rng, int range, int offset)
{
    return {static_cast<std::int32_t>(rng() % range) - offset,
            static_cast<std::int32_t>(rng() % range) - offset};
}

// Nothing outside the clip or between the rows is written, and every sample lies in the source.
void ExpectInside(const Outcome& out, const RECT& clip, int srcW, int srcH)
{
    EXPECT_FALSE(out.outsideTouched);
    for (const auto& [cell, from] : out.drawn) {
        EXPECT_TRUE(cell.first >= clip.left && cell.first < clip.right && cell.second >= clip.top &&
                    cell.second < clip.bottom);
        EXPECT_TRUE(from.first >= 0 && from.first < srcW && from.second >= 0 && from.second < srcH);
    }
}

TEST(PolygonScan, StartAndWindingDoNotMatter)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        // A convex hull of random points, without collinear vertices.
        std::vector<POINT> pts;
        for (int i = 0; i < 8; ++i)
            pts.push_back(RandomPoint(rng, 30, 5));
        std::sort(pts.begin(), pts.end(),
                  [](POINT a, POINT b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
        pts.erase(
            std::unique(pts.begin(), pts.end(), [](POINT a, POINT b) { return a.x == b.x && a.y == b.y; }),
            pts.end());
        const auto cross = [](POINT o, POINT a, POINT b) {
            return static_cast<long long>(a.x - o.x) * (b.y - o.y) -
                   static_cast<long long>(a.y - o.y) * (b.x - o.x);
        };
        std::vector<POINT> hull;
        for (int pass = 0; pass < 2; ++pass) {
            const std::size_t base = hull.size();
            for (const POINT& p : pts) {
                while (hull.size() >= base + 2 && cross(hull[hull.size() - 2], hull.back(), p) <= 0)
                    hull.pop_back();
                hull.push_back(p);
            }
            hull.pop_back();
            std::reverse(pts.begin(), pts.end());
        }
        if (hull.size() < 3) continue;
        Poly p;
        p.dst = hull;
        for (std::size_t i = 0; i < hull.size(); ++i)
            p.src.push_back(RandomPoint(rng, 24, 2));
        const RECT clip{static_cast<std::int32_t>(rng() % 6), static_cast<std::int32_t>(rng() % 6), 18, 17};
        const bool exclusive = round % 2 == 1;
        const Outcome first = Draw(p, 20, 20, 20, 20, &clip, exclusive);
        ExpectInside(first, clip, 20, 20); // samples off the source are pinned to its edge
        for (std::size_t start = 0; start < hull.size(); ++start)
            for (bool reversed : {false, true})
                ASSERT_EQ(Draw(Rotated(p, start, reversed), 20, 20, 20, 20, &clip, exclusive).drawn,
                          first.drawn)
                    << round << " " << start << reversed;
    }
}

TEST(PolygonScan, ClippedLeftEndLosesTheHalfPixel)
{
    // Row 0 runs from the centre of x = 4 to x = 24 over 25 source columns: 1.25 columns a pixel.
    Poly p = Square(4, 0, 24, 1);
    p.src = {{0, 0}, {25, 0}, {25, 1}, {0, 1}};
    const Drawn whole = Draw(p, 32, 4, 32, 4).drawn;
    EXPECT_EQ(whole.at({10, 0}).first, 8); // 0.5 + 6 x 1.25
    EXPECT_EQ(whole.at({11, 0}).first, 9); // 0.5 + 7 x 1.25
    const RECT clip{10, 0, 32, 4};
    const Drawn clipped = Draw(p, 32, 4, 32, 4, &clip).drawn;
    EXPECT_EQ(clipped.at({10, 0}).first, 7); // 6 x 1.25
    EXPECT_EQ(clipped.at({11, 0}).first, 8); // 7 x 1.25
    EXPECT_FALSE(clipped.count({9, 0}));
}

TEST(PolygonScan, ClipRectangleIsBoundedByTheDestination)
{
    const RECT clip{-50, -50, 500, 500};
    const Outcome out = Draw(Square(-20, -20, 40, 40), 12, 9, 4, 4, &clip);
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.drawn.size(), 12u * 9u);
    EXPECT_FALSE(out.outsideTouched);
}

TEST(PolygonScan, SamplesOutsideTheSourceArePinnedToItsEdge)
{
    // Destination (0..9) shows source (-5..4): the first five columns and rows repeat source edge pixels.
    Poly p = Square(0, 0, 9, 9);
    p.src = {{-5, -5}, {4, -5}, {4, 4}, {-5, 4}};
    const Drawn d = Draw(p, 12, 12, 5, 5).drawn;
    ASSERT_EQ(d.size(), 100u);
    for (const auto& [cell, from] : d) {
        EXPECT_EQ(from.first, std::max(cell.first - 5, 0));
        EXPECT_EQ(from.second, std::max(cell.second - 5, 0));
    }
    // Far outside on every side: the whole polygon shows the nearest corner pixels.
    Poly far = Square(0, 0, 5, 5);
    far.src = {{100, -100}, {200, -100}, {200, -50}, {100, -50}};
    for (const auto& [cell, from] : Draw(far, 8, 8, 5, 5).drawn)
        EXPECT_EQ(from, Cell(4, 0));
}

TEST(PolygonScan, HorizontalEdgesInsideAChainAreSkipped)
{
    const Drawn square = Draw(Square(0, 0, 10, 10), 16, 16, 16, 16).drawn;
    const std::vector<POINT> topMid = {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}};
    const std::vector<POINT> bottomMid = {{0, 0}, {10, 0}, {10, 10}, {5, 10}, {0, 10}};
    EXPECT_EQ(Draw({topMid, topMid}, 16, 16, 16, 16).drawn, square);
    EXPECT_EQ(Draw({bottomMid, bottomMid}, 16, 16, 16, 16).drawn, square);
}

TEST(PolygonScan, RefusedPolygonsDrawNothing)
{
    const std::vector<POINT> two = {{0, 0}, {5, 5}};
    EXPECT_EQ(Draw({two, two}, 8, 8, 8, 8).result, -1);
    const std::vector<POINT> flat = {{0, 3}, {7, 3}, {4, 3}};
    const Outcome f = Draw({flat, flat}, 8, 8, 8, 8);
    EXPECT_EQ(f.result, -1);
    EXPECT_TRUE(f.drawn.empty());

    blt_test::Plane plane(kPixelXRGB8888, 1, 1);
    SSurfaceDesc& desc = plane.desc;
    const PolygonKernel kernel = GetPolygonOpTable(kBltCopy)->Find(kPixelXRGB8888, kPixelXRGB8888);
    const POINT pts[3] = {{0, 0}, {1, 0}, {0, 1}};
    PolygonBltInfo info;
    info.pointCount = 3;
    info.dstPoints = pts;
    EXPECT_EQ(kernel(&info, &desc, &desc, nullptr), -1); // no source points
    info.srcPoints = pts;
    info.dstPoints = nullptr;
    EXPECT_EQ(kernel(&info, &desc, &desc, nullptr), -1);
    info.dstPoints = pts;
    EXPECT_EQ(kernel(nullptr, &desc, &desc, nullptr), -1);
    EXPECT_EQ(kernel(&info, &desc, nullptr, nullptr), -1);
    EXPECT_EQ(plane.Word(0, 0), 0u);
}

TEST(PolygonScan, RowsWhoseEndsCrossDrawNothing)
{
    // A self-crossing outline: from row 6 on the left chain lies right of the right chain, on row 6 by
    // exactly one pixel, where a step over one more than the width would divide by zero.
    const std::vector<POINT> z = {{0, 0}, {11, 0}, {0, 11}, {11, 11}};
    for (bool exclusive : {false, true}) {
        const Outcome out = Draw({z, z}, 16, 16, 16, 16, nullptr, exclusive);
        EXPECT_EQ(out.result, 0);
        for (int y = 0; y <= 5; ++y)
            EXPECT_TRUE(out.drawn.count({y, y}) && out.drawn.count({11 - y, y})) << y;
        for (const auto& [cell, from] : out.drawn)
            EXPECT_LE(cell.second, 5);
    }
}

TEST(PolygonScan, IllFormedPolygonsStayInsideBothSurfaces)
{
    // Self-crossing, non-convex and rising chains, huge coordinates: nothing may divide by zero,
    // overflow or reach outside either surface (the sanitizers watch), and nothing outside the clip.
    const std::vector<POINT> bowTie = {{0, 0}, {10, 10}, {10, 0}, {0, 10}};
    for (bool exclusive : {false, true})
        EXPECT_EQ(Draw({bowTie, bowTie}, 12, 12, 12, 12, nullptr, exclusive).result, 0);
    const std::vector<POINT> huge = {{-2000000000, -2000000000},
                                     {2000000000, -2000000000},
                                     {2000000000, 2000000000},
                                     {-2000000000, 2000000000}};
    const std::vector<POINT> hugeSrc = {{0, 0}, {2000000000, 0}, {2000000000, 2000000000}, {0, 2000000000}};
    const Outcome h = Draw({huge, hugeSrc}, 10, 10, 6, 6);
    EXPECT_EQ(h.result, 0);
    EXPECT_EQ(h.drawn.size(), 100u);

    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        Poly p;
        const int n = 3 + static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i) {
            p.dst.push_back(RandomPoint(rng, 24, 4));
            p.src.push_back(RandomPoint(rng, 40, 10));
        }
        const RECT clip{2, 1, 15, 14};
        ExpectInside(Draw(p, 16, 16, 9, 7, &clip, round % 2 == 1), clip, 9, 7);
    }
}

} // namespace
