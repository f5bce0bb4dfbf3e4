#pragma once
// Saturating add and subtract of pixels, and the per-pixel rules of the blit operations built on them
// (2 add, 3 subtract, 4 and 5 the same colour-keyed, 6 and 7 scaled by a rate, 8 and 9 both).
//
// Every colour field comes out as min(d + s, field maximum) or max(d - s, 0). Where the destination holds
// its colour in one word of the source's layout the packed carry-mask forms below do all fields at once
// without a branch; they also fix what happens to the spare bits (bit 15 of 555, byte 3 of the X types),
// which the per-field forms never touch. Destinations with alpha use the per-field forms.

#include "sdk/draw/kernels/add_sub_simd.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/pixel_traits.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw::Kernels {

// ---- Packed carry-mask forms ------------------------------------------------------------------------
// Each finds the fields whose sum overflows (or whose difference would go below zero), builds a mask of
// all ones in exactly those fields, and then combines without a carry or borrow crossing a field.

// 565: c has bits 15, 10 and 4 set for the overflowing fields; the mask widens them over their fields.
constexpr std::uint32_t Mask565(std::uint32_t c)
{
    const auto t = static_cast<std::int16_t>(static_cast<std::uint16_t>(c + 0x3DF0));
    return ((((static_cast<std::uint32_t>(t >> 5) & 0xFBFF) + 0x0200) ^ 0x03EF) & 0xFFFF);
}
constexpr std::uint32_t Mask565x2(std::uint32_t c)
{
    const auto t = static_cast<std::int32_t>(c + 0x3DF7BDF0);
    return ((static_cast<std::uint32_t>(t >> 5) & 0xFBFF7BFF) + 0x02004200) ^ 0x03EF7BEF;
}

constexpr std::uint32_t AddSat565(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t m = Mask565(((((s ^ d) >> 1) & 0x7BEF) + (s & d)) & 0x8410);
    return ((d - m + s) | m) & 0xFFFF;
}
constexpr std::uint32_t SubSat565(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t u = ~d & 0xFFFF;
    const std::uint32_t m = Mask565(((((u ^ s) >> 1) & 0x7BEF) + (u & s)) & 0x8410);
    return ((m | d) - (m | s)) & 0xFFFF;
}
// Two 565 pixels in one word, the first in the low half.
constexpr std::uint32_t AddSat565x2(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t m = Mask565x2(((((s ^ d) >> 1) & 0x7BEF7BEF) + (s & d)) & 0x84108410);
    return (d - m + s) | m;
}
constexpr std::uint32_t SubSat565x2(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t u = ~d;
    const std::uint32_t m = Mask565x2(((((u ^ s) >> 1) & 0x7BEF7BEF) + (u & s)) & 0x84108410);
    return (m | d) - (m | s);
}

// 555: bit 15 takes no part in the mask, so it comes out as d15 XOR s15.
constexpr std::uint32_t AddSat555(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t c = ((((d ^ s) & 0x7BDE) + 2 * (d & s)) >> 5) & 0x0421;
    const std::uint32_t m = (c + 0x3DEF) ^ 0x3DEF;
    return ((d - m + s) | m) & 0xFFFF;
}
constexpr std::uint32_t SubSat555(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t u = ~d & 0xFFFF;
    const std::uint32_t c = ((((u ^ s) & 0x7BDE) + 2 * (u & s)) >> 5) & 0x0421;
    const std::uint32_t m = (c + 0x3DEF) ^ 0x3DEF;
    return ((m | d) - (m | s)) & 0xFFFF;
}
// Two 555 pixels in one word. The spare bits are set aside first, since a carry out of the low pixel's
// bit 15 would land in the high pixel; each comes out as d15 XOR s15 as in the one-pixel form.
constexpr std::uint32_t AddSat555x2(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t spare = (d ^ s) & 0x80008000;
    d &= 0x7FFF7FFF, s &= 0x7FFF7FFF;
    const std::uint32_t c = ((((d ^ s) & 0x7BDE7BDE) + 2 * (d & s)) >> 5) & 0x04210421;
    const std::uint32_t m = (c + 0x3DEF3DEF) ^ 0x3DEF3DEF;
    return ((d - m + s) | m) | spare;
}
constexpr std::uint32_t SubSat555x2(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t spare = (d ^ s) & 0x80008000;
    d &= 0x7FFF7FFF, s &= 0x7FFF7FFF;
    const std::uint32_t u = ~d & 0x7FFF7FFF;
    const std::uint32_t c = ((((u ^ s) & 0x7BDE7BDE) + 2 * (u & s)) >> 5) & 0x04210421;
    const std::uint32_t m = (c + 0x3DEF3DEF) ^ 0x3DEF3DEF;
    return ((m | d) - (m | s)) | spare;
}

// Three colour bytes in bytes 0..2. Byte 3 takes no part in the mask: in a 32-bit word it becomes
// (d3 + s3) or (d3 - s3) modulo 256.
constexpr std::uint32_t AddSat888(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t c = ((((s ^ d) & 0x00FEFEFE) + 2 * (s & d)) >> 8) & 0x00010101;
    const std::uint32_t m = (c + 0x007F7F7F) ^ 0x007F7F7F;
    return (s - m + d) | m;
}
constexpr std::uint32_t SubSat888(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t u = ~d;
    const std::uint32_t c = ((((u ^ s) & 0x00FEFEFE) + 2 * (u & s)) >> 8) & 0x00010101;
    const std::uint32_t m = (c + 0x007F7F7F) ^ 0x007F7F7F;
    return (m | d) - (m | s);
}

// ---- Per-field forms ----------------------------------------------------------------------------------
// 16-bit colour words widened to 8-bit channels with zero low bits, combined with a clamp and narrowed;
// a 555 result has bit 15 clear whatever either input held there.

enum class EArith
{
    kAdd,
    kSub,
};

template <EArith Op> constexpr std::uint32_t SatByte(std::uint32_t d, std::uint32_t s)
{
    if constexpr (Op == EArith::kAdd) {
        const std::uint32_t v = d + s;
        return v > 255 ? 255 : v;
    } else {
        const std::uint32_t v = (d - s) & 0xFFFF;
        return v > 255 ? 0 : v;
    }
}

template <EArith Op> constexpr std::uint32_t FieldSat565(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t r = SatByte<Op>((d >> 8) & 0xF8, (s >> 8) & 0xF8);
    const std::uint32_t g = SatByte<Op>((d >> 3) & 0xFC, (s >> 3) & 0xFC);
    const std::uint32_t b = SatByte<Op>((d << 3) & 0xFF, (s << 3) & 0xFF);
    return ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
}
template <EArith Op> constexpr std::uint32_t FieldSat555(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t r = SatByte<Op>((d >> 7) & 0xF8, (s >> 7) & 0xF8);
    const std::uint32_t g = SatByte<Op>((d >> 2) & 0xF8, (s >> 2) & 0xF8);
    const std::uint32_t b = SatByte<Op>((d << 3) & 0xFF, (s << 3) & 0xFF);
    return ((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3);
}

// Bytes 0..2 of d with the source byte of the same colour; Exchange pairs byte 0 with source byte 2 and
// byte 2 with source byte 0 (red-first against blue-first). Byte 3 becomes 255.
template <EArith Op, bool Exchange> constexpr std::uint32_t ByteSatOpaque(std::uint32_t d, std::uint32_t s)
{
    const std::uint32_t s0 = Exchange ? (s >> 16) & 0xFF : s & 0xFF;
    const std::uint32_t s2 = Exchange ? s & 0xFF : (s >> 16) & 0xFF;
    return SatByte<Op>(d & 0xFF, s0) | (SatByte<Op>((d >> 8) & 0xFF, (s >> 8) & 0xFF) << 8) |
           (SatByte<Op>((d >> 16) & 0xFF, s2) << 16) | 0xFF000000u;
}

// ---- The operators that other rules use on one pixel in memory -----------------------------------------
// They read the 16-bit colour word at s and rewrite only the 16-bit colour word at d, so an A565 or A555
// pixel keeps its alpha byte and byte 3 (the add-colour and subtract-colour rectangle effects rely on it).

inline void PixelAddSat_565(std::uint8_t* d, const std::uint8_t* s)
{
    Store16(d, FieldSat565<EArith::kAdd>(Load16(d), Load16(s)));
}
inline void PixelAddSat_555(std::uint8_t* d, const std::uint8_t* s)
{
    Store16(d, FieldSat555<EArith::kAdd>(Load16(d), Load16(s)));
}
inline void PixelSubSat_565(std::uint8_t* d, const std::uint8_t* s)
{
    Store16(d, FieldSat565<EArith::kSub>(Load16(d), Load16(s)));
}
inline void PixelSubSat_555(std::uint8_t* d, const std::uint8_t* s)
{
    Store16(d, FieldSat555<EArith::kSub>(Load16(d), Load16(s)));
}

// ---- Rules of operations 2 to 9 ------------------------------------------------------------------------

// How an operation weighs the source: not at all (2 to 5, where only a source's own alpha scales it
// towards a destination without alpha), by a rate (6, 7) or by a rate on planes of one type (8, 9).
enum class EWeight
{
    kNone,
    kRate,
    kRateSameType,
};

template <class T> inline constexpr bool kIs565Colour = T::kGreenBits == 6;
template <class T> inline constexpr bool kHasAlpha = T::kAlpha != EAlpha::kNone;

// One rule for every served pair of operations 2 to 9; the pair's traits pick the combination and the
// scaling. `Combine` maps the destination and source values to the new destination value.
template <EArith Op, EWeight Weight, class D, class S> class AddSubRule
{
    static constexpr bool kSameType = D::kType == S::kType;
    static constexpr bool kDst16 = D::kGreenBits != 8;
    // A source with alpha is weighed by it only towards the plain type of its own layout.
    static constexpr bool kOwnAlpha = kHasAlpha<S> && !kHasAlpha<D>;
    // Rate scaling applies to pairs without alpha on the destination side, and to the plain-to-alpha
    // pairs of 6 and 7; planes of one type with alpha add or subtract unscaled.
    static constexpr bool kRated = Weight != EWeight::kNone && !(kSameType && kHasAlpha<D>);
    static constexpr bool kScaleByRateAndAlpha = kRated && kOwnAlpha;
    static constexpr bool kScaleByRateLevel = kRated && !kOwnAlpha && kDst16;
    static constexpr bool kScaleByRateBytes = kRated && !kOwnAlpha && !kDst16;
    static constexpr bool kPairs16 = kSameType && D::kBytes == 2;

public:
    using Dst = D;
    using Src = S;

    // Planes of one type without alpha, unscaled (2 to 5): whole vectors of pixels at 1:1
    // (add_sub_simd.h), the same pixels as Pixel.
    static constexpr bool kVectorRow =
        kSameType && !kHasAlpha<D> && !kRated && (D::kBytes == 2 || D::kBytes == 4);

    explicit AddSubRule(const SBltParam& p)
    {
        const std::uint32_t rate = p.rate;
        if constexpr (kScaleByRateLevel) {
            // 565 planes of one type under 6 and 7 take all sixteen levels, as 555 does; everywhere else a
            // 565 colour takes only the even levels of the rate's top three bits, so 255 gives 14.
            const bool allLevels = !kIs565Colour<S> || (Weight == EWeight::kRate && !kHasAlpha<D>);
            const std::uint32_t level = allLevels ? rate >> 4 : (rate >> 5) * 2;
            m_level = kIs565Colour<S> ? Level565Table[level] : Level555Table[level];
        }
        if constexpr (kScaleByRateBytes || kScaleByRateAndAlpha) m_rateRow = BlendMulTable[rate];
    }

    std::uint32_t Combine(std::uint32_t d, std::uint32_t s) const { return Apply(d, Scale(s)); }

    void Pixel(std::uint8_t* d, std::uint32_t s) const { D::Store(d, Combine(D::Load(d), s)); }

    // The 1:1 row: the vector form where there is one, then 16-bit planes of one type two pixels per 32-bit
    // word and the others pixel by pixel; every pixel gets the value that Pixel gives it.
    void Row(std::uint8_t* d, const std::uint8_t* s, int w) const requires(kPairs16 || kVectorRow)
    {
        int x = 0;
        if constexpr (kVectorRow) x = VectorRow<false>(d, s, w, 0);
        if constexpr (!kPairs16) {
            for (; x < w; ++x)
                Pixel(d + D::kBytes * x, D::Load(s + D::kBytes * x));
            return;
        }
        for (; x + 2 <= w; x += 2) {
            const std::uint32_t sv = Load32(s + 2 * x);
            const std::uint32_t scaled = Scale(sv & 0xFFFF) | (Scale(sv >> 16) << 16);
            const std::uint32_t dv = Load32(d + 2 * x);
            if constexpr (kIs565Colour<D>) {
                Store32(d + 2 * x, Op == EArith::kAdd ? AddSat565x2(dv, scaled) : SubSat565x2(dv, scaled));
            } else {
                Store32(d + 2 * x, Op == EArith::kAdd ? AddSat555x2(dv, scaled) : SubSat555x2(dv, scaled));
            }
        }
        if (x < w) Pixel(d + 2 * x, Load16(s + 2 * x));
    }

    // The vector form: returns the pixels it drew; with Keyed, a source pixel equal to `key` (the whole
    // pixel) leaves its destination pixel as it was.
    template <bool Keyed>
    int VectorRow(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t key) const
    {
        return AddSubSimd::SatRow<Op == EArith::kAdd, D::kBytes, kIs565Colour<D>, Keyed>(d, s, w, key);
    }

private:
    // The source value as it is combined: scaled values keep only their colour (bit 15 and byte 3 clear).
    std::uint32_t Scale(std::uint32_t s) const
    {
        if constexpr (kScaleByRateAndAlpha) {
            if constexpr (S::kAlpha == EAlpha::kNibble) {
                const std::uint32_t level = m_rateRow[16 * ((s >> 16) & 0x0F)] >> 4;
                return LevelScale(level, s);
            } else {
                return ScaleBytes(BlendMulTable[m_rateRow[s >> 24]], s);
            }
        } else if constexpr (kOwnAlpha) {
            if constexpr (S::kAlpha == EAlpha::kNibble) {
                return LevelScale((s >> 16) & 0x0F, s);
            } else {
                return ScaleBytes(BlendMulTable[s >> 24], s);
            }
        } else if constexpr (kScaleByRateLevel) {
            return m_level[s & 0xFFFF];
        } else if constexpr (kScaleByRateBytes) {
            return ScaleBytes(m_rateRow, s);
        } else {
            return s;
        }
    }

    // A 565 colour scaled by a source alpha takes only its even levels: level 15 scales by 14 / 15.
    static std::uint32_t LevelScale(std::uint32_t level, std::uint32_t s)
    {
        if constexpr (kIs565Colour<S>)
            return Level565Table[level & 0x0E][s & 0xFFFF];
        else
            return Level555Table[level][s & 0xFFFF];
    }

    static std::uint32_t ScaleBytes(const std::uint8_t* row, std::uint32_t s)
    {
        return std::uint32_t{row[s & 0xFF]} | (std::uint32_t{row[(s >> 8) & 0xFF]} << 8) |
               (std::uint32_t{row[(s >> 16) & 0xFF]} << 16);
    }

    static std::uint32_t Apply(std::uint32_t d, std::uint32_t s)
    {
        constexpr bool kAdd = Op == EArith::kAdd;
        if constexpr (D::kAlpha == EAlpha::kNibble) {
            // Only the colour word changes; the alpha byte is stored back as it was.
            const std::uint32_t word = kIs565Colour<D> ? FieldSat565<Op>(d, s) : FieldSat555<Op>(d, s);
            return (d & 0xFFFF0000) | word;
        } else if constexpr (D::kAlpha == EAlpha::kByte) {
            return ByteSatOpaque<Op, D::kRedShift != S::kRedShift>(d, s);
        } else if constexpr (D::kBytes == 2) {
            if constexpr (kIs565Colour<D>)
                return kAdd ? AddSat565(d, s) : SubSat565(d, s);
            else
                return kAdd ? AddSat555(d, s) : SubSat555(d, s);
        } else {
            return kAdd ? AddSat888(d, s) : SubSat888(d, s);
        }
    }

    const std::uint16_t* m_level = nullptr;
    const std::uint8_t* m_rateRow = nullptr;
};

// The colour-keyed form: source pixels equal to the key leave their destination pixel as it was. At 1:1
// a destination of whole words is rewritten with its own value under a keyed pixel, keeping the loop free
// of branches; the value of every pixel is the same as Pixel gives.
template <class Inner> struct KeyedAddSub : Keyed<Inner>
{
    using Keyed<Inner>::Keyed;
    using Dst = typename Inner::Dst;
    using Src = typename Inner::Src;

    void Row(std::uint8_t* d, const std::uint8_t* s, int w) const
        requires(Dst::kStoresWholePixel&& Dst::kBytes != 3)
    {
        int x = 0;
        if constexpr (Inner::kVectorRow) {
            static_assert(Src::kKeyMask == (Dst::kBytes == 2 ? 0xFFFFu : 0xFFFFFFFFu));
            x = this->inner.template VectorRow<true>(d, s, w, this->key);
        }
        for (; x < w; ++x) {
            const std::uint32_t sv = Src::Load(s + x * Src::kBytes);
            const std::uint32_t dv = Dst::Load(d + x * Dst::kBytes);
            Dst::Store(d + x * Dst::kBytes,
                       (sv & Src::kKeyMask) != this->key ? this->inner.Combine(dv, sv) : dv);
        }
    }
};

template <class D, class S> using AddRule = AddSubRule<EArith::kAdd, EWeight::kNone, D, S>;
template <class D, class S> using SubRule = AddSubRule<EArith::kSub, EWeight::kNone, D, S>;
template <class D, class S> using AddKeyRule = KeyedAddSub<AddRule<D, S>>;
template <class D, class S> using SubKeyRule = KeyedAddSub<SubRule<D, S>>;
template <class D, class S> using AddRateRule = AddSubRule<EArith::kAdd, EWeight::kRate, D, S>;
template <class D, class S> using SubRateRule = AddSubRule<EArith::kSub, EWeight::kRate, D, S>;
template <class D, class S>
using AddRateKeyRule = KeyedAddSub<AddSubRule<EArith::kAdd, EWeight::kRateSameType, D, S>>;
template <class D, class S>
using SubRateKeyRule = KeyedAddSub<AddSubRule<EArith::kSub, EWeight::kRateSameType, D, S>>;

} // namespace zelvoranGameSDK3rd::Draw::Kernels
