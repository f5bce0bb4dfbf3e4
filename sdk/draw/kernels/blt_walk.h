#pragma once
// The one walk every blit kernel runs: clip, then either the 1:1 loop or the stretched loop with the
// clipper's integer error terms, handing each (destination pixel, source pixel) to a per-pixel rule.
//
// A rule is a small class:
//   using Dst = <destination traits>; using Src = <source traits>;
//   explicit Rule(const SBltParam&);               // takes the prepared key, rate or factors
//   void Pixel(std::uint8_t* d, std::uint32_t s) const;   // s is Src::Load of the source pixel
// and may add, for speed only, a row form that gives the same pixels:
//   void Row(std::uint8_t* d, const std::uint8_t* s, int w) const;
// Rules whose result depends only on the source value may expose
//   static std::uint32_t Convert(std::uint32_t s);   // the destination value to store
// which lets wrappers such as Keyed select whole words in the 1:1 loop, and rules that overwrite the
// destination pixel from the source alone declare
//   static constexpr bool kSourceOnly = true;
// which lets the stretched loop repeat a row drawn from the same source row.

#include "platform/host/plane_memory.h"
#include "sdk/draw/kernels/blend_simd.h"
#include "sdk/draw/kernels/blt_clip.h"
#include "sdk/draw/kernels/pixel_traits.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zelvoranGameSDK3rd::Draw {

// An operation's prepared parameter, passed by value to every kernel: the colour key in the source's
// layout, the rate, and the two factors. Operations read only what they take.
struct SBltParam
{
    std::uint32_t key = 0;
    std::uint8_t rate = 0;
    std::uint8_t factor1 = 0;
    std::uint8_t factor2 = 0;
};

// Every kernel: 0 when it walked the clipped rectangle, 1 when the clipper left nothing to draw.
using BltKernel = int (*)(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltInfo* info,
                          const SBltParam& param);

namespace Kernels {

template <class Rule>
concept HasRow = requires(const Rule& r, std::uint8_t* d, const std::uint8_t* s)
{
    r.Row(d, s, 1);
};

// Rules that may also take all rows of a 1:1 blit in one call (the same pixels as Row on each row):
//   void Rows(std::uint8_t* d, std::ptrdiff_t dPitch, const std::uint8_t* s, std::ptrdiff_t sPitch, int w,
//             int h) const;
template <class Rule>
concept HasRows = requires(const Rule& r, std::uint8_t* d, const std::uint8_t* s)
{
    r.Rows(d, std::ptrdiff_t{0}, s, std::ptrdiff_t{0}, 1, 1);
};

template <class Rule>
concept HasConvert = requires(std::uint32_t s)
{
    {
        Rule::Convert(s)
        } -> std::convertible_to<std::uint32_t>;
};

// Rules whose row form can also leave keyed-out pixels alone (the blends' vector rows).
template <class Rule>
concept HasKeyedRow = requires(const Rule& r, std::uint8_t* d, const std::uint8_t* s)
{
    r.KeyedRow(d, s, 1, 0u, 0u);
};

// Rules whose destination pixel depends on the source pixel alone (copies, not blends or keyed copies).
template <class Rule>
concept SourceOnlyRule = Rule::kSourceOnly;

// Rules that store the source pixel unchanged into a destination of the same type.
template <class Rule>
concept IdentityRule = Rule::kIdentity && std::same_as<typename Rule::Dst, typename Rule::Src>;

// Widest stretched row whose column offsets are walked once per blit (on the stack); wider rows walk
// their columns on every row.
inline constexpr int kColumnTableSize = 2048;

// Offsets instead of pointers, so that stepping past the last row or pixel never forms an address
// outside the buffer.
inline std::ptrdiff_t PixelOffset(const SSurfaceDesc& s, std::int32_t x, std::int32_t y, int bytes)
{
    return static_cast<std::ptrdiff_t>(y) * s.pitch + static_cast<std::ptrdiff_t>(x) * bytes;
}

// Whether the pixel memory of two surfaces may share a byte (a surface blitted onto itself or onto a
// view of its own memory), counted over whole rows of either pitch sign.
inline bool MayOverlap(const SSurfaceDesc& a, int aBytes, const SSurfaceDesc& b, int bBytes)
{
    const auto span = [](const SSurfaceDesc& s, int bytes, std::uintptr_t& low, std::uintptr_t& high) {
        const std::ptrdiff_t rows = static_cast<std::ptrdiff_t>(s.height > 0 ? s.height - 1 : 0) * s.pitch;
        const auto base = reinterpret_cast<std::uintptr_t>(s.pixels);
        low = rows < 0 ? base + rows : base;
        high =
            (rows < 0 ? base : base + rows) + static_cast<std::uintptr_t>(s.width > 0 ? s.width : 0) * bytes;
    };
    std::uintptr_t aLow, aHigh, bLow, bHigh;
    span(a, aBytes, aLow, aHigh);
    span(b, bBytes, bLow, bHigh);
    return aLow < bHigh && bLow < aHigh;
}

// Walks a rectangle already clipped to both surfaces (what ClipBltRect gives, or a caller's own clip in
// the same form) and hands every pixel to a rule made from `param`. Answers 0.
template <class Rule>
int BltWalkClipped(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltClipResult& c,
                   const SBltParam& param)
{
    using D = typename Rule::Dst;
    using S = typename Rule::Src;
    const Rule rule(param);
    const int w = c.dst.right - c.dst.left;
    const int h = c.dst.bottom - c.dst.top;
    std::uint8_t* const dBase = dst->pixels;
    const std::uint8_t* const sBase = src->pixels;
    std::ptrdiff_t dRow = PixelOffset(*dst, c.dst.left, c.dst.top, D::kBytes);
    std::ptrdiff_t sRow = PixelOffset(*src, c.src.left, c.src.top, S::kBytes);

    if (c.oneToOne) {
        if constexpr (HasRows<Rule>) {
            rule.Rows(dBase + dRow, dst->pitch, sBase + sRow, src->pitch, w, h);
            return 0;
        }
        for (int y = 0; y < h; ++y) {
            if constexpr (HasRow<Rule>) {
                rule.Row(dBase + dRow, sBase + sRow, w);
            } else {
                std::uint8_t* d = dBase + dRow;
                const std::uint8_t* s = sBase + sRow;
                for (int x = 0; x < w; ++x)
                    rule.Pixel(d + x * D::kBytes, S::Load(s + x * S::kBytes));
            }
            dRow += dst->pitch;
            sRow += src->pitch;
        }
        return 0;
    }

    // Stretched: the row error runs on over all rows and is stepped before each row, the first one
    // included; the column error restarts on every row and is stepped before each pixel.
    const std::ptrdiff_t xStepBytes = static_cast<std::ptrdiff_t>(c.xStep) * S::kBytes;
    const std::ptrdiff_t yStepBytes = static_cast<std::ptrdiff_t>(c.yStep) * src->pitch;
    std::int32_t ey = c.yErrorStart;
    if (w <= kColumnTableSize) {
        // Every row takes the same columns, so the column walk runs once per blit.
        std::ptrdiff_t columns[kColumnTableSize];
        std::int32_t ex = c.xErrorStart;
        std::ptrdiff_t s = 0;
        for (int x = 0; x < w; ++x) {
            ex += c.xRemainder;
            if (ex >= 0) {
                s += S::kBytes;
                ex -= c.xDivisor;
            }
            columns[x] = s;
            s += xStepBytes;
        }
        const std::uint8_t* previousSrc = nullptr;
        const std::uint8_t* previousDst = nullptr;
        if constexpr (HasRow<Rule> && !(SourceOnlyRule<Rule> && D::kStoresWholePixel)) {
            // A rule with a row form (the colour-keyed copies' branch-free select, the blends' vector
            // rows) takes each source row stretched into a buffer once, and runs that row form on it:
            // the same pixels as the per-pixel loop, which stays for planes whose memory may overlap
            // (what is read there can depend on what was just written).
            if (!MayOverlap(*dst, D::kBytes, *src, S::kBytes)) {
                alignas(16) std::uint8_t expanded[kColumnTableSize * S::kBytes];
                // An unclipped stretch to twice the width reads every source pixel twice in a row: the
                // row is then widened whole vectors at a time.
                bool doubled = true;
                for (int x = 0; x < w && doubled; ++x)
                    doubled = columns[x] == static_cast<std::ptrdiff_t>(x / 2) * S::kBytes;
                for (int y = 0; y < h; ++y) {
                    ey += c.yRemainder;
                    if (ey >= 0) {
                        sRow += src->pitch;
                        ey -= c.yDivisor;
                    }
                    const std::uint8_t* sr = sBase + sRow;
                    if (sr != previousSrc) {
                        if (doubled) {
                            BlendSimd::ExpandDoubled<S::kBytes>(expanded, sr, w);
                        } else {
                            for (int x = 0; x < w; ++x)
                                std::memcpy(expanded + x * S::kBytes, sr + columns[x], S::kBytes);
                        }
                        previousSrc = sr;
                    }
                    rule.Row(dBase + dRow, expanded, w);
                    sRow += yStepBytes;
                    dRow += dst->pitch;
                }
                return 0;
            }
        }
        for (int y = 0; y < h; ++y) {
            ey += c.yRemainder;
            if (ey >= 0) {
                sRow += src->pitch;
                ey -= c.yDivisor;
            }
            const std::uint8_t* sr = sBase + sRow;
            std::uint8_t* d = dBase + dRow;
            if constexpr (SourceOnlyRule<Rule> && D::kStoresWholePixel) {
                // A row drawn from the same source row as the one before comes out the same.
                if (sr == previousSrc) {
                    platform::CopyRow(d, previousDst, static_cast<std::size_t>(w) * D::kBytes);
                } else {
                    for (int x = 0; x < w; ++x)
                        rule.Pixel(d + x * D::kBytes, S::Load(sr + columns[x]));
                }
                previousSrc = sr;
                previousDst = d;
            } else {
                for (int x = 0; x < w; ++x)
                    rule.Pixel(d + x * D::kBytes, S::Load(sr + columns[x]));
            }
            sRow += yStepBytes;
            dRow += dst->pitch;
        }
        return 0;
    }
    for (int y = 0; y < h; ++y) {
        ey += c.yRemainder;
        if (ey >= 0) {
            sRow += src->pitch;
            ey -= c.yDivisor;
        }
        std::int32_t ex = c.xErrorStart;
        std::ptrdiff_t s = sRow;
        std::uint8_t* d = dBase + dRow;
        for (int x = 0; x < w; ++x) {
            ex += c.xRemainder;
            if (ex >= 0) {
                s += S::kBytes;
                ex -= c.xDivisor;
            }
            rule.Pixel(d, S::Load(sBase + s));
            s += xStepBytes;
            d += D::kBytes;
        }
        sRow += yStepBytes;
        dRow += dst->pitch;
    }
    return 0;
}

template <class Rule>
int BltWalk(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltInfo* info, const SBltParam& param)
{
    SBltClipResult c;
    if (ClipBltRect(src, dst, info, &c) != 0) return 1;
    return BltWalkClipped<Rule>(dst, src, c, param);
}

// Wraps a rule so that source pixels equal to the prepared key (on the bits Mask selects) leave the
// destination pixel untouched. Every colour-keyed operation is its plain rule wrapped in this.
template <class Inner, std::uint32_t Mask = Inner::Src::kKeyMask> struct Keyed
{
    using Dst = typename Inner::Dst;
    using Src = typename Inner::Src;

    explicit Keyed(const SBltParam& p) : inner(p), key(p.key & Mask) {}

    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        if ((s & Mask) != key) inner.Pixel(d, s);
    }

    // A whole-word destination is rewritten with itself where the key hides the source, which keeps
    // the loop free of branches; the pixel's value is the same as with Pixel. A copy that moves the
    // pixel unchanged selects whole vectors of pixels first.
    void Row(std::uint8_t* d, const std::uint8_t* s, int w) const
        requires(HasConvert<Inner>&& Dst::kStoresWholePixel && (Dst::kBytes == 2 || Dst::kBytes == 4))
    {
        if constexpr (IdentityRule<Inner>) {
            BlendSimd::KeyedSelectRows<Dst::kBytes>(d, 0, s, 0, w, 1, Mask, key);
            return;
        }
        for (int x = 0; x < w; ++x) {
            const std::uint32_t sv = Src::Load(s + x * Src::kBytes);
            const std::uint32_t dv = Dst::Load(d + x * Dst::kBytes);
            Dst::Store(d + x * Dst::kBytes, (sv & Mask) != key ? Inner::Convert(sv) : dv);
        }
    }

    // The keyed copy that moves pixels unchanged takes all rows of a 1:1 blit at once, so that the choice
    // of vector width is made once per blit.
    void Rows(std::uint8_t* d, std::ptrdiff_t dPitch, const std::uint8_t* s, std::ptrdiff_t sPitch, int w,
              int h) const
        requires(IdentityRule<Inner>&& Dst::kStoresWholePixel && (Dst::kBytes == 2 || Dst::kBytes == 4))
    {
        BlendSimd::KeyedSelectRows<Dst::kBytes>(d, dPitch, s, sPitch, w, h, Mask, key);
    }

    // A rule with a keyed row form is handed the compared bits and the key.
    void Row(std::uint8_t* d, const std::uint8_t* s, int w) const
        requires(HasKeyedRow<Inner> && !HasConvert<Inner>)
    {
        inner.KeyedRow(d, s, w, Mask, key);
    }

    Inner inner;
    std::uint32_t key;
};

} // namespace Kernels
} // namespace zelvoranGameSDK3rd::Draw
