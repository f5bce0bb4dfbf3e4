#pragma once
// Per-pixel rules of the blending blits: 10 by the source's alpha, 14 by alpha times a rate, 16 by two
// factors (15 and 17 are 14 and 16 wrapped in Keyed). All scaling is a table look-up.
//
// Channels are always paired by colour, never by byte position, and a 16-bit colour is widened with zero
// low bits. The single-factor blends cannot overflow; the two-factor blend wraps a channel modulo 256 (and
// a whole 16-bit word modulo 2^16) and never clamps. Where a blend writes a pixel, the spare byte of an X
// type becomes 0 and the alpha of an ARGB8888/ABGR8888 destination 255; a 16-bit destination with alpha
// gets its colour word only. The 4-bit alpha of A565/A555 is always taken from the low nibble of its byte,
// so no value of the byte can index past the 16 levels.

#include "sdk/draw/kernels/alpha_ops.h"
#include "sdk/draw/kernels/blend_simd.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/pixel_traits.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// The table-arithmetic kernel of operation 14 for XRGB8888 onto XRGB8888, chosen when the processor lacks
// the packed-integer unit.
int BltBlendRate_Plain(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltInfo* info,
                       const SBltParam& param);

namespace Kernels {

// A565 and A555: a 16-bit colour word and a 4-bit alpha, blended channel by channel.
template <class T> inline constexpr bool kIsAlpha16 = T::kAlpha == EAlpha::kNibble;

// The 16-level table of a 16-bit colour layout.
template <class T> inline const std::uint16_t (&LevelTableOf())[16][65536]
{
    if constexpr (T::kGreenBits == 6) {
        return Level565Table;
    } else {
        return Level555Table;
    }
}

// The alpha of a pixel value on the 8-bit scale: byte 3, the low nibble of byte 2 times 16 (so full
// alpha is 240), or 255 for a type without alpha.
template <class T> inline std::uint32_t AlphaOf(std::uint32_t v)
{
    return T::Decode(v).a;
}

// f * x / 255, truncated.
inline std::uint32_t Mul(std::uint32_t f, std::uint32_t x)
{
    return BlendMulTable[f][x];
}

// Moves each of three channels from d towards s by the factor f; never above 255.
inline SRgba BlendChannels(const SRgba& d, const SRgba& s, std::uint32_t f)
{
    const std::uint8_t* mul = BlendMulTable[f];
    const std::uint8_t* inv = BlendInvMulTable[f];
    return {static_cast<std::uint32_t>(mul[s.r] + inv[d.r]), static_cast<std::uint32_t>(mul[s.g] + inv[d.g]),
            static_cast<std::uint32_t>(mul[s.b] + inv[d.b]), 0};
}

// The same on the three low bytes of two pixel values whose bytes hold the same channels.
inline std::uint32_t BlendBytes(std::uint32_t d, std::uint32_t s, std::uint32_t f)
{
    const std::uint8_t* mul = BlendMulTable[f];
    const std::uint8_t* inv = BlendInvMulTable[f];
    return static_cast<std::uint32_t>(mul[s & 0xFF] + inv[d & 0xFF]) |
           static_cast<std::uint32_t>(mul[(s >> 8) & 0xFF] + inv[(d >> 8) & 0xFF]) << 8 |
           static_cast<std::uint32_t>(mul[(s >> 16) & 0xFF] + inv[(d >> 16) & 0xFF]) << 16;
}

// Level blend of two 16-bit colours: level L of the source plus level 15 - L of the destination. Each
// field's two parts sum to at most the field's maximum, so nothing carries.
template <class T> inline std::uint32_t LevelBlend(std::uint32_t d, std::uint32_t s, std::uint32_t level)
{
    const auto& table = LevelTableOf<T>();
    return static_cast<std::uint32_t>(table[level][s & 0xFFFF] + table[15 - level][d & 0xFFFF]);
}

// Writes a blended colour: 24/32-bit destinations get their alpha byte at 255 (X types 0, by Encode);
// an A565/A555 destination gets its colour word only.
template <class D> inline void StoreBlended(std::uint8_t* d, SRgba c)
{
    if constexpr (kIsAlpha16<D>) {
        Store16(d, D::Encode(c));
    } else {
        c.a = 0xFF;
        D::Store(d, D::Encode(c));
    }
}

// Pairs with vector row forms: 4-byte colour types, and 16-bit planes of one type.
template <class D, class S>
inline constexpr bool kHasRowForm = (kIsByte32<D> && kIsByte32<S>) || (kIsWord16<D> && kIsWord16<S>);

// Finishes a row from pixel `x` on, one pixel at a time, after a vector form drew the pixels before it.
template <class Rule>
void FinishRow(const Rule& rule, std::uint8_t* d, const std::uint8_t* s, int x, int w,
               const BlendSimd::SKey& key)
{
    using D = typename Rule::Dst;
    using S = typename Rule::Src;
    for (; x < w; ++x) {
        const std::uint32_t sv = S::Load(s + x * S::kBytes);
        if (!key.keyed || (sv & key.mask) != key.key) rule.Pixel(d + x * D::kBytes, sv);
    }
}

// The row entries of a rule whose vector row form is `DrawRow(d, s, w, key)`, for pairs that have one;
// the walk calls Row, and Keyed calls KeyedRow with the compared bits and the key.
template <class Rule, class D, class S> struct SVectorRows
{
    void Row(std::uint8_t* d, const std::uint8_t* s, int w) const requires(kHasRowForm<D, S>)
    {
        static_cast<const Rule*>(this)->DrawRow(d, s, w, {});
    }
    void KeyedRow(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t mask, std::uint32_t key) const
        requires(kHasRowForm<D, S>)
    {
        static_cast<const Rule*>(this)->DrawRow(d, s, w, {true, key, mask});
    }
};

// Operation 14: the destination moves towards the source by the rate, times the source's own alpha where
// it has one (for an opaque type the factor is the rate itself: row 255 is the identity).
template <class D, class S> struct AlphaRateRule : SVectorRows<AlphaRateRule<D, S>, D, S>
{
    using Dst = D;
    using Src = S;

    explicit AlphaRateRule(const SBltParam& p) : rate(p.rate) {}

    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        if constexpr (kIsWord16<D>) {
            // Level blend. From the plane's own type the level is the rate's top four bits and an equal
            // pixel is skipped; from A565/A555 it is alpha times rate, with no skip.
            const std::uint32_t dv = Load16(d);
            std::uint32_t level;
            if constexpr (kIsAlpha16<S>) {
                level = Mul(rate, AlphaOf<S>(s)) >> 4;
            } else {
                if ((s & 0xFFFF) == dv) return;
                level = rate >> 4;
            }
            Store16(d, LevelBlend<D>(dv, s, level));
        } else if constexpr (kIsAlpha16<D>) {
            // Channel blend of the colour word, with no equal-pixel test.
            const std::uint32_t f = Mul(AlphaOf<S>(s), rate);
            Store16(d, D::Encode(BlendChannels(D::Decode(D::Load(d)), S::Decode(s), f)));
        } else {
            // 24/32-bit: the source's colour in the destination's byte order. A pixel whose colour
            // already equals the source's is left alone, byte 3 included: the truncating table halves
            // would otherwise darken it by one step.
            const std::uint32_t sc = D::Encode(S::Decode(s)) & 0xFFFFFF;
            const std::uint32_t dv = D::Load(d);
            if (((dv ^ sc) & 0xFFFFFF) == 0) return;
            std::uint32_t out = BlendBytes(dv, sc, Mul(AlphaOf<S>(s), rate));
            if constexpr (D::kAlpha == EAlpha::kByte) out |= 0xFF000000;
            D::Store(d, out);
        }
    }

    // The vector row form, for speed only.
    void DrawRow(std::uint8_t* d, const std::uint8_t* s, int w, const BlendSimd::SKey& key) const
    {
        int x;
        if constexpr (kIsWord16<D>) {
            x = BlendSimd::LevelRow16<D>(d, s, w, rate >> 4, 15 - (rate >> 4), true, key);
        } else {
            x = BlendSimd::AlphaRateRow32<D, S>(d, s, w, rate, key);
        }
        FinishRow(*this, d, s, x, w, key);
    }

    std::uint32_t rate;
};

// Operation 10: blends by the source pixel's own alpha.
template <class D, class S> struct AlphaRule
{
    using Dst = D;
    using Src = S;

    explicit AlphaRule(const SBltParam&) {}

    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        if constexpr (kIsWord16<D>) {
            // Level blend from the source's 4-bit alpha; every pixel is rewritten.
            const std::uint32_t level = (s >> 16) & 0x0F;
            Store16(d, LevelBlend<D>(Load16(d), s, level));
        } else if constexpr (kIsAlpha16<D>) {
            AlphaOver16(d, s);
        } else if constexpr (D::kAlpha == EAlpha::kByte) {
            AlphaOver32(d, s);
        } else {
            std::uint8_t sb[4];
            Store32(sb, s);
            if constexpr (D::kType == kPixelRGB888) {
                AlphaBlendPixelRGB888(d, sb);
            } else if constexpr (D::kType == kPixelBGR888) {
                AlphaBlendPixelBGR888(d, sb);
            } else if constexpr (D::kType == kPixelXRGB8888) {
                AlphaBlendPixelXRGB8888(d, sb);
            } else {
                AlphaBlendPixelXBGR8888(d, sb);
            }
        }
    }

    // Row form, for speed only, of the 32-bit destinations without alpha: the alpha-times-rate blend at
    // rate 255, whose factor is the source's alpha.
    void Row(std::uint8_t* d, const std::uint8_t* s, int w) const
        requires(kIsByte32<D>&& D::kAlpha == EAlpha::kNone)
    {
        int x = BlendSimd::AlphaRateRow32<D, S, true>(d, s, w, 255, {});
        for (; x < w; ++x)
            Pixel(d + x * 4, Load32(s + x * 4));
    }

    // Source over a destination that has alpha of its own: the colours weigh the source alpha and the
    // destination alpha left showing under it, normalised by their sum. Both alphas 0 leave the pixel
    // untouched; otherwise the pixel becomes opaque.
    static void AlphaOver32(std::uint8_t* d, std::uint32_t s)
    {
        const std::uint32_t as = s >> 24;
        const std::uint32_t k = Mul(d[3], 255 - as);
        const std::uint32_t sum = as + k;
        if (sum == 0) return;
        const std::uint8_t* ws = BlendMulTable[as * 255 / sum];
        const std::uint8_t* wd = BlendMulTable[k * 255 / sum];
        d[0] = static_cast<std::uint8_t>(ws[s & 0xFF] + wd[d[0]]);
        d[1] = static_cast<std::uint8_t>(ws[(s >> 8) & 0xFF] + wd[d[1]]);
        d[2] = static_cast<std::uint8_t>(ws[(s >> 16) & 0xFF] + wd[d[2]]);
        d[3] = 0xFF;
    }

    // The 4-bit form: alphas count as level times 16 with 240 as full opacity, the composed level is
    // written first (also when the colour stays), and the colours weigh by 16 levels.
    static void AlphaOver16(std::uint8_t* d, std::uint32_t s)
    {
        const std::uint32_t sa = ((s >> 16) & 0x0F) * 16;
        const std::uint32_t da = (d[2] & 0x0Fu) * 16;
        const std::uint32_t k = Mul(da, 240 - sa);
        const std::uint32_t sum = sa + k;
        d[2] = static_cast<std::uint8_t>(sum >> 4);
        if (sum == 0) return;
        const auto& table = LevelTableOf<D>();
        Store16(d, table[15 * sa / sum][s & 0xFFFF] + table[15 * k / sum][Load16(d)]);
    }
};

// Operation 16: source times its factor plus destination times its factor, each factor first scaled by
// its own pixel's alpha where the type has one.
template <class D, class S> struct Blend2Rule : SVectorRows<Blend2Rule<D, S>, D, S>
{
    using Dst = D;
    using Src = S;

    explicit Blend2Rule(const SBltParam& p)
        : fs(p.factor1), fd(p.factor2), sourceLevel(p.factor1 >> 4),
          destLevel(kIsAlpha16<S> ? Mul(p.factor2, 240) >> 4 : p.factor2 >> 4)
    {}

    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        if constexpr (kIsWord16<D>) {
            // Whole-word sum of two level-scaled colours: an overflowing field carries into the one above
            // and a carry out of the top is lost. A destination without alpha counts as alpha 240 when
            // the source has one.
            const auto& table = LevelTableOf<D>();
            std::uint32_t ls = sourceLevel;
            if constexpr (kIsAlpha16<S>) ls = Mul(fs, AlphaOf<S>(s)) >> 4;
            Store16(d, table[ls][s & 0xFFFF] + table[destLevel][Load16(d)]);
        } else {
            const SRgba sc = S::Decode(s);
            const SRgba dc = D::Decode(D::Load(d));
            const std::uint8_t* ms = BlendMulTable[Mul(sc.a, fs)];
            const std::uint8_t* md = BlendMulTable[Mul(dc.a, fd)];
            StoreBlended<D>(d, SRgba{(ms[sc.r] + md[dc.r]) & 0xFFu, (ms[sc.g] + md[dc.g]) & 0xFFu,
                                     (ms[sc.b] + md[dc.b]) & 0xFFu, 0});
        }
    }

    // The vector row form, for speed only.
    void DrawRow(std::uint8_t* d, const std::uint8_t* s, int w, const BlendSimd::SKey& key) const
    {
        int x;
        if constexpr (kIsWord16<D>) {
            x = BlendSimd::LevelRow16<D>(d, s, w, sourceLevel, destLevel, false, key);
        } else {
            x = BlendSimd::Blend2Row32<D, S>(d, s, w, fs, fd, key);
        }
        FinishRow(*this, d, s, x, w, key);
    }

    std::uint32_t fs, fd, sourceLevel, destLevel;
};

} // namespace Kernels
} // namespace zelvoranGameSDK3rd::Draw
