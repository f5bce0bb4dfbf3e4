#include "game/ui/sprite_kernels.h"

#include "sdk/draw/kernels/blt_copy_rules.h"
#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/effect_rules.h"
#include "sdk/draw/kernels/kernel_grid.h"
#include "sdk/draw/kernels/pixel_traits.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace {

namespace K = Draw::Kernels;
using Draw::SBltParam;

// The one word the four 32-bit types are taken as (their colour bytes in either order: every rule treats
// the three alike, and magenta reads the same both ways), and the same word read with its alpha byte.
using Word32 = K::PixelXRGB8888;
using Alpha32 = K::PixelARGB8888;

// Magenta in a layout: the key of the colour-keyed operations.
template <class T> inline constexpr std::uint32_t kMagenta = T::Encode(K::SRgba{0xFF, 0, 0xFF, 0});

// The red, green and blue fields of a layout: shift and width.
struct SField
{
    int shift;
    int bits;
};
template <class T>
inline constexpr SField kColourFields[] = {
    {T::kRedShift, T::kRedBits}, {T::kGreenShift, T::kGreenBits}, {T::kBlueShift, T::kBlueBits}};

// What stays of a pixel shifted right by one bit, so that every channel is halved: the colour fields only,
// each without the bit that the field above it shifted in (a spare bit or byte shifts into nothing).
template <class T> constexpr std::uint32_t MakeHalfMask()
{
    std::uint32_t colour = 0;
    for (const SField& f : kColourFields<T>)
        colour |= ((1u << f.bits) - 1) << f.shift;
    std::uint32_t mask = colour >> 1;
    for (const SField& f : kColourFields<T>)
        if (f.shift > 0) mask &= ~(1u << (f.shift - 1));
    return mask;
}

template <class T> inline constexpr std::uint32_t kHalfMask = MakeHalfMask<T>();

template <class T> std::uint32_t Halve(std::uint32_t v)
{
    return (v >> 1) & kHalfMask<T>;
}

// Rows of the rules below on words of the pixel's own width, so that a vector holds as many pixels as
// fit: the half-bright and half-blended sprites of every frame go through here. `rule(source, target)`
// gives the new target word; a source word equal to `key` under `mask` leaves its pixel alone.
template <class T, class WordRule>
void WordRow(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t mask, std::uint32_t key,
             WordRule rule)
{
    using Word = std::conditional_t<T::kBytes == 2, std::uint16_t, std::uint32_t>;
    static_assert(sizeof(Word) == T::kBytes && T::kStoresWholePixel);
    const auto m = static_cast<Word>(mask), k = static_cast<Word>(key);
    for (int x = 0; x < w; ++x) {
        Word sv, dv;
        std::memcpy(&sv, s + x * sizeof(Word), sizeof(Word));
        std::memcpy(&dv, d + x * sizeof(Word), sizeof(Word));
        const Word out = (sv & m) != k ? static_cast<Word>(rule(sv, dv)) : dv;
        std::memcpy(d + x * sizeof(Word), &out, sizeof(Word));
    }
}

// A mask and key that no word matches.
inline constexpr std::uint32_t kNoMask = 0, kNoKey = 1;

// Every channel of the source halved.
template <class T> struct HalfBrightRule
{
    using Dst = T;
    using Src = T;
    static constexpr bool kSourceOnly = true;
    explicit HalfBrightRule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const { T::Store(d, Halve<T>(s)); }
    void KeyedRow(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t mask, std::uint32_t key) const
    {
        WordRow<T>(d, s, w, mask, key, [](auto sv, auto) { return Halve<T>(sv); });
    }
};

// The average of source and target, channel by channel, each halved first.
template <class T> struct AverageRule
{
    using Dst = T;
    using Src = T;
    explicit AverageRule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const { T::Store(d, Halve<T>(s) + Halve<T>(T::Load(d))); }
    void Row(std::uint8_t* d, const std::uint8_t* s, int w) const { KeyedRow(d, s, w, kNoMask, kNoKey); }
    void KeyedRow(std::uint8_t* d, const std::uint8_t* s, int w, std::uint32_t mask, std::uint32_t key) const
    {
        WordRow<T>(d, s, w, mask, key, [](auto sv, auto dv) { return Halve<T>(sv) + Halve<T>(dv); });
    }
};

// A source with 8-bit alpha over the target by half its alpha; the result's top byte is 0.
struct HalfAlphaRule
{
    using Dst = Word32;
    using Src = Alpha32;
    explicit HalfAlphaRule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        const std::uint32_t a = (s >> Src::kAlphaShift) >> 1, dv = Dst::Load(d);
        std::uint32_t out = 0;
        for (const SField& f : kColourFields<Dst>) {
            const std::uint32_t sc = (s >> f.shift) & 0xFF, dc = (dv >> f.shift) & 0xFF;
            out |= (((sc * a) >> 8) + ((dc * (255 - a)) >> 8)) << f.shift;
        }
        Dst::Store(d, out);
    }
};

// A565 or A555 over the same type: each colour field by the source's 4-bit alpha, the target's alpha
// raised by the source's.
template <class T> struct AlphaOnto16Rule
{
    using Dst = T;
    using Src = T;
    explicit AlphaOnto16Rule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        const std::uint32_t dv = T::Load(d);
        const std::uint32_t a = (s >> T::kAlphaShift) & 0xF, da = (dv >> T::kAlphaShift) & 0xF;
        std::uint32_t out = 0;
        for (const SField& f : kColourFields<T>) {
            const std::uint32_t mask = (1u << f.bits) - 1;
            const std::uint32_t sc = (s >> f.shift) & mask, dc = (dv >> f.shift) & mask;
            out |= ((sc * a + dc * (15 - a)) / 15) << f.shift;
        }
        out |= (a + (da * (15 - a)) / 15) << T::kAlphaShift;
        // The whole word, its byte 3 cleared as the game's alpha planes have always had it.
        K::Store32(d, out);
    }
};

// ARGB or ABGR over ARGB or ABGR, byte by byte: the colour bytes by the source's alpha, the target's
// alpha raised by the source's.
struct AlphaOnto8Rule
{
    using Dst = Alpha32;
    using Src = Alpha32;
    explicit AlphaOnto8Rule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        const std::uint32_t dv = Dst::Load(d);
        const std::uint32_t a = s >> Dst::kAlphaShift, da = dv >> Dst::kAlphaShift;
        std::uint32_t out = 0;
        for (const SField& f : kColourFields<Dst>) {
            const std::uint32_t sc = (s >> f.shift) & 0xFF, dc = (dv >> f.shift) & 0xFF;
            out |= ((sc * a + dc * (255 - a)) >> 8) << f.shift;
        }
        Dst::Store(d, out | (a + ((da * (255 - a)) >> 8)) << Dst::kAlphaShift);
    }
};

// A rule that leaves out source pixels equal to magenta, compared over the target layout's whole word.
template <class Rule> using KeyedRule = K::Keyed<Rule, Rule::Dst::kKeyMask>;

template <class Rule>
void Kernel(const Draw::SSurfaceDesc& target, const Draw::SSurfaceDesc& source,
            const Draw::SBltClipResult& area)
{
    SBltParam param;
    param.key = kMagenta<typename Rule::Dst>;
    K::BltWalkClipped<Rule>(&target, &source, area, param);
}

// The kernels of one operation: for an RGB565 target, an RGB555 target (any 16-bit source), and a
// 32-bit target from a 32-bit source without and with alpha.
struct SPathKernels
{
    SpriteKernel on565;
    SpriteKernel on555;
    SpriteKernel on32;
    SpriteKernel on32FromAlpha;
};

template <template <class> class Rule>
constexpr SPathKernels kSamePath = {&Kernel<Rule<K::Pixel565>>, &Kernel<Rule<K::Pixel555>>,
                                    &Kernel<Rule<Word32>>, &Kernel<Rule<Word32>>};
template <template <class> class Rule>
constexpr SPathKernels kSamePathKeyed = {&Kernel<KeyedRule<Rule<K::Pixel565>>>,
                                         &Kernel<KeyedRule<Rule<K::Pixel555>>>,
                                         &Kernel<KeyedRule<Rule<Word32>>>, &Kernel<KeyedRule<Rule<Word32>>>};

constexpr std::int32_t kTypes16[] = {Draw::kPixel565, Draw::kPixel555};
constexpr std::int32_t kTypes32[] = {Draw::kPixelXRGB8888, Draw::kPixelXBGR8888, Draw::kPixelARGB8888,
                                     Draw::kPixelABGR8888};
constexpr std::int32_t kAlphaTypes32[] = {Draw::kPixelARGB8888, Draw::kPixelABGR8888};

using SpriteGrid = Draw::SKernelGrid<SpriteKernel, Draw::kPixelTypeCount, Draw::kPixelTypeCount>;

constexpr SpriteGrid PathGrid(const SPathKernels& k)
{
    SpriteGrid grid;
    for (std::int32_t t : kTypes16)
        for (std::int32_t s : kTypes16)
            grid.kernels[t][s] = t == Draw::kPixel565 ? k.on565 : k.on555;
    for (std::int32_t t : kTypes32)
        for (std::int32_t s : kTypes32)
            grid.kernels[t][s] = k.on32;
    for (std::int32_t t : kTypes32)
        for (std::int32_t s : kAlphaTypes32)
            grid.kernels[t][s] = k.on32FromAlpha;
    return grid;
}

constexpr SpriteGrid AlphaOntoAlphaGrid()
{
    SpriteGrid grid;
    grid.kernels[Draw::kPixelA565][Draw::kPixelA565] = &Kernel<AlphaOnto16Rule<K::PixelA565>>;
    grid.kernels[Draw::kPixelA555][Draw::kPixelA555] = &Kernel<AlphaOnto16Rule<K::PixelA555>>;
    for (std::int32_t t : kAlphaTypes32)
        for (std::int32_t s : kAlphaTypes32)
            grid.kernels[t][s] = &Kernel<AlphaOnto8Rule>;
    return grid;
}

// By ESpriteOp.
constinit const SpriteGrid kSpriteOps[kSpriteOpCount] = {
    PathGrid(kSamePath<K::RawCopyRule>),
    PathGrid(kSamePathKeyed<K::RawCopyRule>),
    PathGrid(kSamePath<HalfBrightRule>),
    PathGrid(kSamePathKeyed<HalfBrightRule>),
    PathGrid({&Kernel<KeyedRule<AverageRule<K::Pixel565>>>, &Kernel<KeyedRule<AverageRule<K::Pixel555>>>,
              &Kernel<AverageRule<Word32>>, &Kernel<HalfAlphaRule>}),
    PathGrid({&Kernel<KeyedRule<AverageRule<K::Pixel565>>>, &Kernel<KeyedRule<AverageRule<K::Pixel555>>>,
              &Kernel<KeyedRule<AverageRule<Word32>>>, &Kernel<KeyedRule<HalfAlphaRule>>}),
    AlphaOntoAlphaGrid(),
};

// Every channel of a pixel halved in place.
template <class T> struct HalveRule
{
    explicit HalveRule(std::uint32_t) {}
    void Pixel(std::uint8_t* p) const { T::Store(p, Halve<T>(T::Load(p))); }
};

} // namespace

SpriteKernel FindSpriteKernel(ESpriteOp op, std::int32_t targetType, std::int32_t sourceType)
{
    const auto index = static_cast<std::int32_t>(op);
    if (index < 0 || index >= kSpriteOpCount) return nullptr;
    return kSpriteOps[index].Find(targetType, sourceType);
}

std::uint32_t SpriteColorKey(std::int32_t targetType)
{
    switch (targetType) {
    case Draw::kPixel565:
        return kMagenta<K::Pixel565>;
    case Draw::kPixel555:
        return kMagenta<K::Pixel555>;
    case Draw::kPixelXRGB8888:
    case Draw::kPixelXBGR8888:
    case Draw::kPixelARGB8888:
    case Draw::kPixelABGR8888:
        return kMagenta<Word32>;
    default:
        return 0;
    }
}

Draw::SBltClipResult SpriteArea(std::int32_t dx, std::int32_t dy, std::int32_t sx, std::int32_t sy,
                                std::int32_t width, std::int32_t height, int scale)
{
    Draw::SBltClipResult area;
    area.src = Draw::RECT{sx, sy, sx + width, sy + height};
    area.dst = Draw::RECT{dx, dy, dx + scale * width, dy + scale * height};
    area.clip = area.dst;
    if (scale == 1) {
        area.oneToOne = 1;
        return area;
    }
    // The stretched walk's error terms for a source pixel every `scale` target pixels: the error starts
    // `scale` + 1 below zero and steps by one, so the source moves on before target pixel scale, 2 scale...
    area.xStep = area.yStep = 0;
    area.xRemainder = area.yRemainder = 1;
    area.xDivisor = area.yDivisor = scale;
    area.xErrorStart = area.yErrorStart = -scale - 1;
    return area;
}

Draw::EffectKernel FindDarkenKernel(std::int32_t type)
{
    switch (type) {
    case Draw::kPixel565:
        return &K::EffectRows<K::Pixel565, HalveRule<K::Pixel565>>;
    case Draw::kPixel555:
        return &K::EffectRows<K::Pixel555, HalveRule<K::Pixel555>>;
    case Draw::kPixelXRGB8888:
    case Draw::kPixelXBGR8888:
    case Draw::kPixelARGB8888:
    case Draw::kPixelABGR8888:
        return &K::EffectRows<Word32, HalveRule<Word32>>;
    default:
        return nullptr;
    }
}
