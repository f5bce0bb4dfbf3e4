#pragma once
// Per-pixel rules of the copy operations (kBltCopy and, wrapped in Keyed, kBltCopyKey).

#include "platform/host/plane_memory.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/pixel_traits.h"

namespace zelvoranGameSDK3rd::Draw::Kernels {

// Converts the source pixel field by field into the destination type.
template <class D, class S> struct CopyRule
{
    using Dst = D;
    using Src = S;
    static constexpr bool kSourceOnly = true;
    explicit CopyRule(const SBltParam&) {}
    static std::uint32_t Convert(std::uint32_t s) { return ConvertPixel<D, S>(s); }
    void Pixel(std::uint8_t* d, std::uint32_t s) const { D::Store(d, Convert(s)); }
};

// Moves the pixel unchanged, spare bits included (bit 15 of 555, the X byte, the whole alpha byte).
// An A565/A555 pixel moves its bytes 0 to 2 only.
template <class T> struct RawCopyRule
{
    using Dst = T;
    using Src = T;
    static constexpr bool kSourceOnly = true;
    static constexpr bool kIdentity = true;
    explicit RawCopyRule(const SBltParam&) {}
    static std::uint32_t Convert(std::uint32_t s) { return s; }
    void Pixel(std::uint8_t* d, std::uint32_t s) const { T::Store(d, s); }
    void Row(std::uint8_t* d, const std::uint8_t* s, int w) const
    {
        if constexpr (T::kStoresWholePixel) {
            // Our own row copy: the C library's can fall off a cliff on some plane layouts. A plane blitted
            // onto itself may overlap, as with memmove.
            platform::MoveRow(d, s, static_cast<std::size_t>(w) * T::kBytes);
        } else {
            for (int x = 0; x < w; ++x)
                T::Store(d + x * T::kBytes, T::Load(s + x * T::kBytes));
        }
    }
};

// A 565 or 555 word into the matching alpha type: the word unchanged (bit 15 included), alpha 15.
template <class D, class S> struct OpaqueToAlpha16Rule
{
    using Dst = D;
    using Src = S;
    static constexpr bool kSourceOnly = true;
    explicit OpaqueToAlpha16Rule(const SBltParam&) {}
    static std::uint32_t Convert(std::uint32_t s) { return (s & 0xFFFF) | 0x0F0000; }
    void Pixel(std::uint8_t* d, std::uint32_t s) const { D::Store(d, Convert(s)); }
};

// A 555 colour into an 8-bit palette index through the palette-index table.
struct PaletteIndexRule
{
    using Dst = PixelP8;
    using Src = Pixel555;
    static constexpr bool kSourceOnly = true;
    explicit PaletteIndexRule(const SBltParam&) {}
    static std::uint32_t Convert(std::uint32_t s) { return PaletteIndexTable[s & 0x7FFF]; }
    void Pixel(std::uint8_t* d, std::uint32_t s) const { *d = static_cast<std::uint8_t>(Convert(s)); }
};

template <class Rule> inline constexpr BltKernel kKernelOf = &BltWalk<Rule>;

// The kernels of the converting copy from S to D and of the byte-for-byte copy of one layout, plain and
// colour-keyed.
template <class D, class S> inline constexpr BltKernel kCopyOf = kKernelOf<CopyRule<D, S>>;
template <class T> inline constexpr BltKernel kRawCopyOf = kKernelOf<RawCopyRule<T>>;
template <class D, class S> inline constexpr BltKernel kKeyedCopyOf = kKernelOf<Keyed<CopyRule<D, S>>>;
template <class T> inline constexpr BltKernel kKeyedRawCopyOf = kKernelOf<Keyed<RawCopyRule<T>>>;

} // namespace zelvoranGameSDK3rd::Draw::Kernels
