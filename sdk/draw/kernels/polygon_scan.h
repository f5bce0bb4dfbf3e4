#pragma once
// The one loop every polygon kernel runs: the convex destination polygon is cut into horizontal spans,
// each edge and each span steps the source by linear interpolation of the per-vertex source points in
// 14.18 fixed point, and every covered destination pixel is handed with its source pixel to a per-pixel
// rule (the same rule classes the blit walk takes: Dst, Src, a constructor from SBltParam and
// Pixel(destination address, loaded source value)).
//
// Input the arithmetic cannot serve is refused, not drawn: fewer than three vertices, missing point
// arrays, a polygon of no height, or a source without pixels. Edges that do not go down (horizontal ones
// inside a chain, or the rising edges of a polygon that is not convex) are never walked, and a row whose
// ends cross draws nothing. All positions are 64-bit, so no coordinate overflows the fraction shift, and
// a span whose samples would leave the source has its samples clamped to the source's edge pixels.

#include "sdk/draw/kernels/blt_clip.h"
#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/pixel_traits.h"
#include "sdk/draw/kernels/polygon_info.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zelvoranGameSDK3rd::Draw {

// kernel(info, source, destination, key) -> 0 when it ran (also when nothing was visible), -1 when the
// destination or the info is missing or the polygon is refused. The key points to four bytes laid out
// as one source pixel; only the colour-keyed kernels read it.
using PolygonKernel = int (*)(const PolygonBltInfo* info, const SSurfaceDesc* src, const SSurfaceDesc* dst,
                              const void* key);

namespace Kernels {

inline constexpr int kFixShift = 18;
inline constexpr std::int64_t kFixOne = std::int64_t{1} << kFixShift;
inline constexpr std::int64_t kFixHalf = kFixOne / 2;

// Whole pixels of a fixed-point value, rounded toward minus infinity.
constexpr std::int64_t FixFloor(std::int64_t v)
{
    return v >> kFixShift;
}
constexpr std::int64_t ToFix(std::int64_t v)
{
    return v * kFixOne;
}

// One edge of a chain, start to end in walking order.
struct SPolyEdge
{
    std::int64_t x0, y0, x1, y1;
};

// What the loop hands on for one row: destination pixels first..last of row y (both inclusive, inside
// the clip), the integer source point of the row's left end, and the fixed-point source accumulators
// of the first pixel with their steps per pixel.
struct SPolySpan
{
    std::int64_t y;
    std::int64_t first, last;
    std::int64_t baseX, baseY;
    std::int64_t accX, accY;
    std::int64_t stepX, stepY;

    std::int64_t SourceX(std::int64_t i) const { return baseX + FixFloor(accX + i * stepX); }
    std::int64_t SourceY(std::int64_t i) const { return baseY + FixFloor(accY + i * stepY); }
};

// The chains of one polygon and the walk down its rows.
class CPolygonScan
{
public:
    // Settles the chains and the clip. False when the polygon is refused.
    bool Prepare(const PolygonBltInfo& info, const SSurfaceDesc& dst);

    // Calls f(const SPolySpan&) for every row that draws at least one pixel, top to bottom.
    template <class F> void ForEachSpan(F&& f) const;

private:
    struct SWalker
    {
        std::size_t next = 0;
        bool onEdge = false;
        std::int64_t x = 0, xStep = 0;
        std::int64_t sx = 0, sxStep = 0;
        std::int64_t sy = 0, syStep = 0;
    };
    struct SChain
    {
        std::vector<SPolyEdge> dst;
        std::vector<SPolyEdge> src;
    };

    void Load(const SChain& chain, std::size_t i, SWalker& w) const;
    void StartAt(const SChain& chain, std::int64_t row, SWalker& w) const;
    void Step(const SChain& chain, std::int64_t row, SWalker& w) const;

    SChain m_left, m_right;
    RECT m_clip{};
    std::int64_t m_topY = 0, m_bottomY = 0;
    std::int64_t m_exclusive = 0;
};

// An edge is walked only when it goes down; everything else (horizontal, rising) would divide by a
// height of zero or less.
inline bool Descends(const SPolyEdge& e)
{
    return e.y1 > e.y0;
}

inline void CPolygonScan::Load(const SChain& chain, std::size_t i, SWalker& w) const
{
    const SPolyEdge& d = chain.dst[i];
    const SPolyEdge& s = chain.src[i];
    const std::int64_t h = d.y1 - d.y0;
    w.onEdge = true;
    w.x = ToFix(d.x0) + kFixHalf;
    w.xStep = ToFix(d.x1 - d.x0) / h;
    w.sx = ToFix(s.x0) + kFixHalf;
    w.sy = ToFix(s.y0) + kFixHalf;
    w.sxStep = ToFix(s.x1 - s.x0) / (h + m_exclusive);
    w.syStep = ToFix(s.y1 - s.y0) / (h + m_exclusive);
}

// Places a walker on row `row` of the first edge that spans it (the last descending edge when none
// does), as if it had walked there from the edge's start.
inline void CPolygonScan::StartAt(const SChain& chain, std::int64_t row, SWalker& w) const
{
    std::size_t edge = chain.dst.size();
    for (std::size_t i = 0; i < chain.dst.size(); ++i) {
        const SPolyEdge& e = chain.dst[i];
        if (Descends(e) && e.y0 <= row && row < e.y1) {
            edge = i;
            break;
        }
    }
    if (edge == chain.dst.size()) {
        for (std::size_t i = chain.dst.size(); i-- > 0;) {
            if (Descends(chain.dst[i])) {
                edge = i;
                break;
            }
        }
    }
    if (edge == chain.dst.size()) return; // no edge to walk: the walker stays off
    Load(chain, edge, w);
    const std::int64_t k = row - chain.dst[edge].y0;
    w.x += k * w.xStep;
    w.sx += k * w.sxStep;
    w.sy += k * w.syStep;
    w.next = edge + 1;
}

// Moves a walker onto row `row`: onto the next edge when that edge starts there, else one row down.
inline void CPolygonScan::Step(const SChain& chain, std::int64_t row, SWalker& w) const
{
    while (w.next < chain.dst.size() && chain.dst[w.next].y0 == row && !Descends(chain.dst[w.next]))
        ++w.next;
    if (w.next < chain.dst.size() && chain.dst[w.next].y0 == row) {
        Load(chain, w.next, w);
        ++w.next;
        return;
    }
    w.x += w.xStep;
    w.sx += w.sxStep;
    w.sy += w.syStep;
}

template <class F> void CPolygonScan::ForEachSpan(F&& f) const
{
    const std::int64_t clipLeft = m_clip.left, clipTop = m_clip.top;
    const std::int64_t clipRight = m_clip.right, clipBottom = m_clip.bottom;
    if (clipBottom - 1 < m_topY || m_bottomY < clipTop) return;
    const std::int64_t firstRow = clipTop > m_topY ? clipTop : m_topY;
    const std::int64_t lastRow = m_bottomY < clipBottom - 1 ? m_bottomY : clipBottom - 1;
    if (firstRow > lastRow) return;

    SWalker l, r;
    if (clipTop > m_topY) {
        StartAt(m_left, clipTop - 1, l);
        StartAt(m_right, clipTop - 1, r);
    }
    const std::int64_t leftLimit = ToFix(clipLeft) + kFixHalf;
    const std::int64_t rightLimit = ToFix(clipRight) - kFixHalf;

    for (std::int64_t y = firstRow; y <= lastRow; ++y) {
        Step(m_left, y, l);
        Step(m_right, y, r);
        if (!l.onEdge || !r.onEdge) continue;

        const std::int64_t xl = FixFloor(l.x), xr = FixFloor(r.x);
        if (xr < xl) continue; // the ends cross: no span, and no division by a width of zero or less
        SPolySpan span{};
        span.y = y;
        span.baseX = FixFloor(l.sx);
        span.baseY = FixFloor(l.sy);
        if (xr != xl) {
            const std::int64_t n = xr - xl + m_exclusive;
            span.stepX = ToFix(FixFloor(r.sx) - span.baseX) / n;
            span.stepY = ToFix(FixFloor(r.sy) - span.baseY) / n;
        }
        span.accX = kFixHalf;
        span.accY = kFixHalf;

        if (rightLimit < l.x || r.x < leftLimit) continue;
        if (leftLimit > l.x) {
            // A clipped left end starts from the whole pixels it skipped, without the half pixel.
            const std::int64_t k = FixFloor(leftLimit - l.x);
            span.accX = k * span.stepX;
            span.accY = k * span.stepY;
            span.first = clipLeft;
        } else {
            span.first = xl;
        }
        span.last = r.x > rightLimit ? clipRight - 1 : xr;
        if (span.first > span.last) continue;
        f(span);
    }
}

inline bool CPolygonScan::Prepare(const PolygonBltInfo& info, const SSurfaceDesc& dst)
{
    const std::int32_t n = info.pointCount;
    if (n < 3 || info.dstPoints == nullptr || info.srcPoints == nullptr) return false;
    const POINT* v = info.dstPoints;
    const POINT* s = info.srcPoints;
    m_exclusive = info.exclusiveEnd != 0 ? 1 : 0;
    // The clip rectangle is bounded by the destination like every other rectangle of a surface.
    m_clip = ClipRect(dst, info.clipRect);

    std::int32_t top = 0, bottom = 0;
    for (std::int32_t i = 1; i < n; ++i) {
        if (v[i].y < v[top].y || (v[i].y == v[top].y && v[i].x < v[top].x)) top = i;
        if (v[i].y > v[bottom].y || (v[i].y == v[bottom].y && v[i].x > v[bottom].x)) bottom = i;
    }
    m_topY = v[top].y;
    m_bottomY = v[bottom].y;
    if (m_topY == m_bottomY) return false;

    const auto wrap = [n](std::int64_t i) { return static_cast<std::int32_t>(((i % n) + n) % n); };
    const POINT& t = v[top];
    const POINT& prev = v[wrap(top - 1)];
    const POINT& next = v[wrap(top + 1)];
    // Differences of 32-bit coordinates take 33 bits, so their products are formed in 128 bits.
    using Wide = __int128;
    const Wide cross = Wide{std::int64_t{next.y} - t.y} * (std::int64_t{prev.x} - t.x) -
                       Wide{std::int64_t{prev.y} - t.y} * (std::int64_t{next.x} - t.x);
    const std::int32_t leftDir = cross <= 0 ? -1 : 1;
    const std::int32_t rightDir = -leftDir;

    // Each chain leaves out one horizontal edge: the right chain at the top, the left at the bottom.
    std::int32_t rightStart = top;
    if (v[wrap(top + rightDir)].y == t.y) rightStart = wrap(top + rightDir);
    std::int32_t leftEnd = bottom;
    if (v[wrap(bottom - leftDir)].y == v[bottom].y) leftEnd = wrap(bottom - leftDir);

    const auto build = [&](SChain& chain, std::int32_t from, std::int32_t to, std::int32_t dir) {
        chain.dst.clear();
        chain.src.clear();
        for (std::int32_t a = from, steps = 0; a != to && steps < n; ++steps) {
            const std::int32_t b = wrap(a + dir);
            chain.dst.push_back({v[a].x, v[a].y, v[b].x, v[b].y});
            chain.src.push_back({s[a].x, s[a].y, s[b].x, s[b].y});
            a = b;
        }
    };
    build(m_left, top, leftEnd, leftDir);
    build(m_right, rightStart, bottom, rightDir);
    return !m_left.dst.empty() && !m_right.dst.empty();
}

// Runs one span through a rule. Clamped spans pin every sample to the source's edge pixels; the others
// run without any test but the loop bound.
template <class Rule, bool Clamped>
void PolygonSpan(const Rule& rule, const SPolySpan& span, const SSurfaceDesc& src, std::uint8_t* d)
{
    using D = typename Rule::Dst;
    using S = typename Rule::Src;
    const std::int64_t count = span.last - span.first + 1;
    std::int64_t ax = span.accX, ay = span.accY;
    for (std::int64_t i = 0; i < count; ++i) {
        std::int64_t sx = span.baseX + FixFloor(ax);
        std::int64_t sy = span.baseY + FixFloor(ay);
        if constexpr (Clamped) {
            sx = sx < 0 ? 0 : sx >= src.width ? src.width - 1 : sx;
            sy = sy < 0 ? 0 : sy >= src.height ? src.height - 1 : sy;
        }
        const std::uint8_t* sp = src.pixels + static_cast<std::ptrdiff_t>(sy) * src.pitch +
                                 static_cast<std::ptrdiff_t>(sx) * S::kBytes;
        rule.Pixel(d, S::Load(sp));
        d += D::kBytes;
        ax += span.stepX;
        ay += span.stepY;
    }
}

// Runs the loop with one rule. A source address is only formed once the sample is known to lie inside
// the source.
template <class Rule>
int PolygonWalk(const PolygonBltInfo* info, const SSurfaceDesc* src, const SSurfaceDesc* dst, const void* key)
{
    using D = typename Rule::Dst;
    if (dst == nullptr || info == nullptr) return -1;
    if (src == nullptr || src->pixels == nullptr || src->width <= 0 || src->height <= 0) return -1;
    CPolygonScan scan;
    if (!scan.Prepare(*info, *dst)) return -1;

    SBltParam param;
    if (key != nullptr) std::memcpy(&param.key, key, sizeof param.key);
    const Rule rule(param);
    const auto inside = [src](std::int64_t x, std::int64_t y) {
        return x >= 0 && x < src->width && y >= 0 && y < src->height;
    };
    scan.ForEachSpan([&](const SPolySpan& span) {
        std::uint8_t* d = dst->pixels + static_cast<std::ptrdiff_t>(span.y) * dst->pitch +
                          static_cast<std::ptrdiff_t>(span.first) * D::kBytes;
        // Samples move monotonically along a span, so its two ends bound all of them.
        const std::int64_t lastIndex = span.last - span.first;
        if (inside(span.SourceX(0), span.SourceY(0)) &&
            inside(span.SourceX(lastIndex), span.SourceY(lastIndex))) {
            PolygonSpan<Rule, false>(rule, span, *src, d);
        } else {
            PolygonSpan<Rule, true>(rule, span, *src, d);
        }
    });
    return 0;
}

template <class Rule> inline constexpr PolygonKernel kPolygonKernelOf = &PolygonWalk<Rule>;

} // namespace Kernels
} // namespace zelvoranGameSDK3rd::Draw
