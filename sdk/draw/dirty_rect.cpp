#include "sdk/draw/dirty_rect.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::Draw {
namespace {

// 32-bit arithmetic that wraps instead of overflowing, as the stored areas always have.
std::int32_t Sub(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::int32_t Area(const RECT& r)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Sub(r.right, r.left)) *
                                     static_cast<std::uint32_t>(Sub(r.bottom, r.top)));
}

RECT Union(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

} // namespace

void CDirtyRect::AddRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    const int i = m_count;
    m_rects[i] = RECT{left, top, right, bottom};
    m_areas[i] = Area(m_rects[i]);
    if (i < kMaxRects) {
        m_count = i + 1;
        return;
    }
    // Six are held: merge the pair whose bounding box adds the least area (the first such pair).
    std::int32_t best = 0x7FFFFFFF;
    int bestA = 0, bestB = 1;
    RECT bestUnion = Union(m_rects[0], m_rects[1]);
    for (int a = 0; a < kMaxRects; ++a) {
        for (int b = a + 1; b <= kMaxRects; ++b) {
            const RECT u = Union(m_rects[a], m_rects[b]);
            const std::int32_t cost = Sub(Sub(Area(u), m_areas[a]), m_areas[b]);
            if (cost < best) {
                best = cost;
                bestA = a;
                bestB = b;
                bestUnion = u;
            }
        }
    }
    m_rects[bestA] = bestUnion;
    m_areas[bestA] = Area(bestUnion);
    if (bestB != kMaxRects) {
        m_rects[bestB] = m_rects[kMaxRects];
        m_areas[bestB] = m_areas[kMaxRects];
    }
}

int CDirtyRect::Optimize()
{
    int n = m_count;
    if (n - 1 < 1) return n - 1;
    for (int a = 0; a < n - 1; ++a) {
        int b = a + 1;
        while (b < n) {
            const RECT u = Union(m_rects[a], m_rects[b]);
            if (Sub(Sub(Area(u), m_areas[a]), m_areas[b]) < 1) {
                m_rects[a] = u;
                m_areas[a] = Area(u);
                if (b != n - 1) {
                    m_rects[b] = m_rects[n - 1];
                    m_areas[b] = m_areas[n - 1];
                }
                --n;
            } else {
                ++b;
            }
        }
    }
    m_count = n;
    return n - 1;
}

} // namespace zelvoranGameSDK3rd::Draw
