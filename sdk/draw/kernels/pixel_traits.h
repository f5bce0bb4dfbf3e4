#pragma once
// Compile-time description of each pixel type: its size, how to load and store exactly its bytes, where
// its channels lie, what kind of alpha it carries and which bits a colour key compares. Per-pixel rules
// are written once against these traits and instantiated only for the pairs the tables serve.

#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>
#include <cstring>

namespace zelvoranGameSDK3rd::Draw::Kernels {

// A colour on the 8-bit scale: narrower fields are shifted up with zero low bits (5 bits << 3,
// 6 bits << 2, a 4-bit alpha << 4), and an opaque type reports alpha 0xFF.
struct SRgba
{
    std::uint32_t r, g, b, a;
};

enum class EAlpha
{
    kNone,   // no alpha: reads as opaque
    kNibble, // 4-bit alpha in the low nibble of byte 2 (A565, A555)
    kByte,   // 8-bit alpha in byte 3 (ARGB8888, ABGR8888)
};

inline std::uint32_t Load16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline void Store16(std::uint8_t* p, std::uint32_t v)
{
    const auto w = static_cast<std::uint16_t>(v);
    std::memcpy(p, &w, 2);
}
inline std::uint32_t Load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void Store32(std::uint8_t* p, std::uint32_t v)
{
    std::memcpy(p, &v, 4);
}

// Field layout within the pixel value as Load returns it (little-endian, byte 0 lowest). A field of
// 0 bits is absent.
template <int RShift, int RBits, int GShift, int GBits, int BShift, int BBits, EAlpha Alpha> struct SLayout
{
    static constexpr int kRedShift = RShift, kRedBits = RBits;
    static constexpr int kGreenShift = GShift, kGreenBits = GBits;
    static constexpr int kBlueShift = BShift, kBlueBits = BBits;
    static constexpr EAlpha kAlpha = Alpha;
    static constexpr int kAlphaShift = Alpha == EAlpha::kNibble ? 16 : Alpha == EAlpha::kByte ? 24 : 0;
    static constexpr int kAlphaBits = Alpha == EAlpha::kNibble ? 4 : Alpha == EAlpha::kByte ? 8 : 0;

    static constexpr std::uint32_t Field(std::uint32_t v, int shift, int bits)
    {
        return ((v >> shift) & ((1u << bits) - 1)) << (8 - bits);
    }
    static constexpr std::uint32_t Place(std::uint32_t c, int shift, int bits)
    {
        return ((c & 0xFF) >> (8 - bits)) << shift;
    }
    static constexpr SRgba Decode(std::uint32_t v)
    {
        return {Field(v, RShift, RBits), Field(v, GShift, GBits), Field(v, BShift, BBits),
                kAlphaBits == 0 ? 0xFFu : Field(v, kAlphaShift, kAlphaBits)};
    }
    // Spare bits (bit 15 of 555, the X byte, the high nibble of an A16 alpha byte) come out 0.
    static constexpr std::uint32_t Encode(SRgba c)
    {
        std::uint32_t v = Place(c.r, RShift, RBits) | Place(c.g, GShift, GBits) | Place(c.b, BShift, BBits);
        if constexpr (kAlphaBits != 0) v |= Place(c.a, kAlphaShift, kAlphaBits);
        return v;
    }
};

// 16-bit word pixels.
template <int Type, class Layout> struct SWord16Pixel : Layout
{
    static constexpr int kType = Type;
    static constexpr int kBytes = 2;
    static constexpr bool kStoresWholePixel = true;
    static constexpr std::uint32_t kKeyMask = 0xFFFF;
    static std::uint32_t Load(const std::uint8_t* p) { return Load16(p); }
    static void Store(std::uint8_t* p, std::uint32_t v) { Store16(p, v); }
};

// 3-byte pixels, read and written byte by byte so that the last pixel of a buffer is never overrun.
template <int Type, class Layout> struct SByte24Pixel : Layout
{
    static constexpr int kType = Type;
    static constexpr int kBytes = 3;
    static constexpr bool kStoresWholePixel = true;
    static constexpr std::uint32_t kKeyMask = 0xFFFFFF;
    static std::uint32_t Load(const std::uint8_t* p)
    {
        return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    }
    static void Store(std::uint8_t* p, std::uint32_t v)
    {
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    }
};

// 4-byte pixels. X types compare the whole word with a key (its top byte is 0, so a pixel with a
// non-zero spare byte is never keyed out); alpha types compare the colour bytes only.
template <int Type, class Layout, std::uint32_t KeyMask> struct SWord32Pixel : Layout
{
    static constexpr int kType = Type;
    static constexpr int kBytes = 4;
    static constexpr bool kStoresWholePixel = true;
    static constexpr std::uint32_t kKeyMask = KeyMask;
    static std::uint32_t Load(const std::uint8_t* p) { return Load32(p); }
    static void Store(std::uint8_t* p, std::uint32_t v) { Store32(p, v); }
};

// 4-byte pixels holding a 16-bit colour and a 4-bit alpha in byte 2. Byte 3 belongs to nobody: it is
// read along with the pixel but never written.
template <int Type, class Layout> struct SAlpha16Pixel : Layout
{
    static constexpr int kType = Type;
    static constexpr int kBytes = 4;
    static constexpr bool kStoresWholePixel = false;
    static constexpr std::uint32_t kKeyMask = 0xFFFF;
    static std::uint32_t Load(const std::uint8_t* p) { return Load32(p); }
    static void Store(std::uint8_t* p, std::uint32_t v)
    {
        Store16(p, v);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    }
};

using SLayout565 = SLayout<11, 5, 5, 6, 0, 5, EAlpha::kNone>;
using SLayout555 = SLayout<10, 5, 5, 5, 0, 5, EAlpha::kNone>;

struct Pixel565 : SWord16Pixel<kPixel565, SLayout565>
{};
struct Pixel555 : SWord16Pixel<kPixel555, SLayout555>
{};
struct PixelRGB888 : SByte24Pixel<kPixelRGB888, SLayout<16, 8, 8, 8, 0, 8, EAlpha::kNone>>
{};
struct PixelBGR888 : SByte24Pixel<kPixelBGR888, SLayout<0, 8, 8, 8, 16, 8, EAlpha::kNone>>
{};
struct PixelXRGB8888 : SWord32Pixel<kPixelXRGB8888, SLayout<16, 8, 8, 8, 0, 8, EAlpha::kNone>, 0xFFFFFFFF>
{};
struct PixelXBGR8888 : SWord32Pixel<kPixelXBGR8888, SLayout<0, 8, 8, 8, 16, 8, EAlpha::kNone>, 0xFFFFFFFF>
{};
struct PixelA565 : SAlpha16Pixel<kPixelA565, SLayout<11, 5, 5, 6, 0, 5, EAlpha::kNibble>>
{};
struct PixelA555 : SAlpha16Pixel<kPixelA555, SLayout<10, 5, 5, 5, 0, 5, EAlpha::kNibble>>
{};
struct PixelARGB8888 : SWord32Pixel<kPixelARGB8888, SLayout<16, 8, 8, 8, 0, 8, EAlpha::kByte>, 0xFFFFFF>
{};
struct PixelABGR8888 : SWord32Pixel<kPixelABGR8888, SLayout<0, 8, 8, 8, 16, 8, EAlpha::kByte>, 0xFFFFFF>
{};

// The 8-bit palette index type: a destination only, written through the palette-index table.
struct PixelP8
{
    static constexpr int kType = kPixelP8;
    static constexpr int kBytes = 1;
    static constexpr bool kStoresWholePixel = true;
    static std::uint32_t Load(const std::uint8_t* p) { return *p; }
    static void Store(std::uint8_t* p, std::uint32_t v) { *p = static_cast<std::uint8_t>(v); }
};

// Converts a pixel value of one type to another by the channel rules: each field to the field of the
// same name, widened with zero low bits or narrowed keeping its high bits; opaque sources give full
// alpha; spare bits of the destination are 0.
template <class D, class S> constexpr std::uint32_t ConvertPixel(std::uint32_t s)
{
    return D::Encode(S::Decode(s));
}

// Calls `f.template operator()<Traits>()` with the traits of a run-time pixel type; false when the type
// has no traits (0, 1, 2, 9 and anything outside 0..13).
template <class F> bool WithPixelTraits(std::int32_t type, F&& f)
{
    switch (type) {
    case kPixel565:
        f.template operator()<Pixel565>();
        return true;
    case kPixel555:
        f.template operator()<Pixel555>();
        return true;
    case kPixelRGB888:
        f.template operator()<PixelRGB888>();
        return true;
    case kPixelBGR888:
        f.template operator()<PixelBGR888>();
        return true;
    case kPixelXRGB8888:
        f.template operator()<PixelXRGB8888>();
        return true;
    case kPixelXBGR8888:
        f.template operator()<PixelXBGR8888>();
        return true;
    case kPixelA565:
        f.template operator()<PixelA565>();
        return true;
    case kPixelA555:
        f.template operator()<PixelA555>();
        return true;
    case kPixelARGB8888:
        f.template operator()<PixelARGB8888>();
        return true;
    case kPixelABGR8888:
        f.template operator()<PixelABGR8888>();
        return true;
    default:
        return false;
    }
}

} // namespace zelvoranGameSDK3rd::Draw::Kernels
