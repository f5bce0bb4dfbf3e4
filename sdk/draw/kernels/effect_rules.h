#pragma once
// The rectangle effects as per-pixel rules over the pixel traits, and the two walks that run them: the
// row walk (fill, fade, add and subtract colour, invert) and the block walk (mosaic). Both clip the
// rectangle by the surface first and draw nothing for a rectangle left without width or height.
//
// A row rule is a small class:
//   explicit Rule(std::uint32_t param);          // the prepared colour, the rate or nothing
//   void Pixel(std::uint8_t* p) const;           // updates one pixel in place
// and may add, for the 16-bit types, a form that updates two neighbouring pixels held in one 32-bit word:
//   void Pair(std::uint8_t* p) const;            // gives the same pixels as two calls of Pixel
// and a vector form that updates the first pixels of a run and says how many:
//   int Row(std::uint8_t* p, int w) const;       // the same pixels as Pixel on each; returns 0 to w

#include "sdk/draw/kernels/add_sub_rules.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_clip.h"
#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/effect_simd.h"
#include "sdk/draw/kernels/pixel_traits.h"

#include <cstddef>
#include <cstdint>

namespace zelvoranGameSDK3rd::Draw::Kernels {

template <class Rule>
concept HasPair = requires(const Rule& r, std::uint8_t* p)
{
    r.Pair(p);
};

template <class Rule>
concept HasEffectRow = requires(const Rule& r, std::uint8_t* p)
{
    {
        r.Row(p, 1)
        } -> std::convertible_to<int>;
};

template <class T, class Rule>
int EffectRows(const SSurfaceDesc* surface, const RECT* rect, std::uint32_t param)
{
    const RECT r = ClipRect(*surface, rect);
    if (r.left >= r.right || r.top >= r.bottom) return 0;
    const Rule rule(param);
    const int w = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* p = surface->pixels + PixelOffset(*surface, r.left, y, T::kBytes);
        int n = w;
        std::int32_t column = r.left;
        if constexpr (HasEffectRow<Rule>) {
            const int done = rule.Row(p, n);
            p += static_cast<std::ptrdiff_t>(done) * T::kBytes;
            n -= done;
            column += done;
        }
        if constexpr (HasPair<Rule>) {
            // An odd first column alone, so that the word stores start on even columns.
            if ((column & 1) != 0 && n > 0) {
                rule.Pixel(p);
                p += T::kBytes;
                --n;
            }
            for (; n >= 2; n -= 2, p += 2 * T::kBytes)
                rule.Pair(p);
        }
        for (; n > 0; --n, p += T::kBytes)
            rule.Pixel(p);
    }
    return 0;
}

// ---- Fill ------------------------------------------------------------------------------------------------

// Every pixel becomes the prepared colour; an A565/A555 pixel keeps its byte 3.
template <class T> struct FillRule
{
    explicit FillRule(std::uint32_t colour) : colour(colour) {}
    void Pixel(std::uint8_t* p) const { T::Store(p, colour); }
    std::uint32_t colour;
};

template <class T> struct FillRule16 : FillRule<T>
{
    explicit FillRule16(std::uint32_t colour) : FillRule<T>(colour), doubled((colour & 0xFFFF) * 0x10001u) {}
    void Pair(std::uint8_t* p) const { Store32(p, doubled); }
    std::uint32_t doubled;
};

// ---- Fade ------------------------------------------------------------------------------------------------

// RGB565 takes the level table row 2 x (rate >> 5): only the even rows, so even rate 255 keeps 14/15.
struct Fade565Rule
{
    explicit Fade565Rule(std::uint32_t rate) : level((rate & 0xE0) >> 4), row(Level565Table[level]) {}
    void Pixel(std::uint8_t* p) const { Store16(p, row[Load16(p)]); }
    int Row(std::uint8_t* p, int w) const { return EffectSimd::FadeWords<Pixel565>(p, w, level); }
    std::uint32_t level;
    const std::uint16_t* row;
};

// RGB555 takes the level table row rate >> 4; bit 15 comes out 0.
struct Fade555Rule
{
    explicit Fade555Rule(std::uint32_t rate) : level((rate & 0xFF) >> 4), row(Level555Table[level]) {}
    void Pixel(std::uint8_t* p) const { Store16(p, row[Load16(p)]); }
    int Row(std::uint8_t* p, int w) const { return EffectSimd::FadeWords<Pixel555>(p, w, level); }
    std::uint32_t level;
    const std::uint16_t* row;
};

// The three colour bytes scaled by rate / 255; a 4-byte pixel's spare byte becomes 0.
template <int Bytes> struct FadeBytesRule
{
    explicit FadeBytesRule(std::uint32_t rate) : rate(rate & 0xFF), row(BlendMulTable[this->rate]) {}
    void Pixel(std::uint8_t* p) const
    {
        p[0] = row[p[0]];
        p[1] = row[p[1]];
        p[2] = row[p[2]];
        if constexpr (Bytes == 4) p[3] = 0;
    }
    int Row(std::uint8_t* p, int w) const
    {
        return Bytes == 4 ? EffectSimd::FadeBytes32(p, w, rate) : EffectSimd::FadeBytes24(p, w, rate);
    }
    std::uint32_t rate;
    const std::uint8_t* row;
};

// The types with alpha keep their colour and scale the alpha: the 4-bit level through the byte table on
// the 8-bit scale, the alpha byte directly.
struct FadeAlpha16Rule
{
    explicit FadeAlpha16Rule(std::uint32_t rate) : row(BlendMulTable[rate & 0xFF]) {}
    void Pixel(std::uint8_t* p) const { p[2] = static_cast<std::uint8_t>(row[(p[2] * 16) & 0xFF] >> 4); }
    const std::uint8_t* row;
};

struct FadeAlpha32Rule
{
    explicit FadeAlpha32Rule(std::uint32_t rate) : rate(rate & 0xFF), row(BlendMulTable[this->rate]) {}
    void Pixel(std::uint8_t* p) const { p[3] = row[p[3]]; }
    int Row(std::uint8_t* p, int w) const { return EffectSimd::FadeAlpha32(p, w, rate); }
    std::uint32_t rate;
    const std::uint8_t* row;
};

// ---- Add and subtract colour
// -------------------------------------------------------------------------------

// A pixel whose whole colour lies in one word of the colour's layout: the packed saturating forms, one
// pixel or (16-bit) two pixels at once. Spare bits keep their value, since the colour has 0 there.
template <class T, std::uint32_t (*One)(std::uint32_t, std::uint32_t)> struct PackedSatRule
{
    // The add forms take 0 + 1 to 1, the subtract forms 0 - 1 to 0.
    static constexpr bool kAdd = One(0, 1) != 0;

    explicit PackedSatRule(std::uint32_t colour) : colour(colour) {}
    void Pixel(std::uint8_t* p) const { T::Store(p, One(T::Load(p), colour)); }
    int Row(std::uint8_t* p, int w) const
    {
        if constexpr (T::kBytes == 2) {
            return EffectSimd::SatColour16<kAdd, T>(p, w, colour);
        } else if constexpr (T::kBytes == 3) {
            return EffectSimd::SatColour24<kAdd>(p, w, colour);
        } else {
            return EffectSimd::SatColour32<kAdd, false>(p, w, colour);
        }
    }
    std::uint32_t colour;
};

template <class T, std::uint32_t (*One)(std::uint32_t, std::uint32_t),
          std::uint32_t (*Two)(std::uint32_t, std::uint32_t)>
struct PackedSat16Rule : PackedSatRule<T, One>
{
    explicit PackedSat16Rule(std::uint32_t colour)
        : PackedSatRule<T, One>(colour), doubled((colour & 0xFFFF) * 0x10001u)
    {}
    void Pair(std::uint8_t* p) const { Store32(p, Two(Load32(p), doubled)); }
    std::uint32_t doubled;
};

// The 16-bit types with alpha: the colour word alone through the per-field operators, which leave the
// alpha byte and byte 3 as they are.
template <void (*Op)(std::uint8_t*, const std::uint8_t*)> struct ColourWordSatRule
{
    explicit ColourWordSatRule(std::uint32_t colour)
        : word{static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8)}
    {}
    void Pixel(std::uint8_t* p) const { Op(p, word); }
    std::uint8_t word[2];
};

// The 32-bit types with alpha: byte k with colour byte k, clamped, and the pixel made opaque.
template <EArith Op> struct OpaqueByteSatRule
{
    explicit OpaqueByteSatRule(std::uint32_t colour) : colour(colour) {}
    void Pixel(std::uint8_t* p) const { Store32(p, ByteSatOpaque<Op, false>(Load32(p), colour)); }
    int Row(std::uint8_t* p, int w) const
    {
        return EffectSimd::SatColour32<Op == EArith::kAdd, true>(p, w, colour);
    }
    std::uint32_t colour;
};

// ---- Invert ----------------------------------------------------------------------------------------------

// value := ((value XOR Flip) AND NOT Clear) OR Set, stored with the type's own width (an A565/A555 pixel
// never writes its byte 3).
template <class T, std::uint32_t Flip, std::uint32_t Clear = 0, std::uint32_t Set = 0> struct InvertRule
{
    explicit InvertRule(std::uint32_t) {}
    void Pixel(std::uint8_t* p) const { T::Store(p, ((T::Load(p) ^ Flip) & ~Clear) | Set); }
};

// ---- Mosaic ----------------------------------------------------------------------------------------------

// Square blocks of `size` pixels tile the clipped rectangle from its top-left corner (the last column and
// row of blocks may be narrower); each block takes the value of its own top-left pixel, which no earlier
// block has written. A size below 1 cannot advance the walk and draws nothing.
template <class T> int EffectMosaic(const SSurfaceDesc* surface, const RECT* rect, std::uint32_t param)
{
    const auto size = static_cast<std::int32_t>(param);
    const RECT r = ClipRect(*surface, rect);
    if (size < 1 || r.left >= r.right || r.top >= r.bottom) return 0;
    for (std::int64_t y = r.top; y < r.bottom; y += size) {
        const std::int64_t h = r.bottom - y < size ? r.bottom - y : size;
        for (std::int64_t x = r.left; x < r.right; x += size) {
            const std::int64_t w = r.right - x < size ? r.right - x : size;
            std::uint8_t* corner = surface->pixels + static_cast<std::ptrdiff_t>(y) * surface->pitch +
                                   static_cast<std::ptrdiff_t>(x) * T::kBytes;
            const std::uint32_t value = T::Load(corner);
            for (std::int64_t row = 0; row < h; ++row) {
                std::uint8_t* p = corner + static_cast<std::ptrdiff_t>(row) * surface->pitch;
                for (std::int64_t i = 0; i < w; ++i, p += T::kBytes)
                    T::Store(p, value);
            }
        }
    }
    return 0;
}

} // namespace zelvoranGameSDK3rd::Draw::Kernels
