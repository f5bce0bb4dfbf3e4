#pragma once
// Per-pixel blends of one source pixel onto one destination pixel by the source's own alpha, shared by the
// source-alpha blits and the source-alpha polygon fills. Every weight goes through the product tables:
// a channel becomes BlendMulTable[a][s] + BlendInvMulTable[a][d], which never exceeds 255. Because both
// halves truncate, blending a colour onto itself can lose one step; the 24- and 32-bit forms therefore
// leave a pixel alone whose colour already equals the source's.

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/pixel_traits.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

namespace AlphaOps {

// Blends bytes 0..2 of `s` onto `d` by source byte 3; false (nothing written) when they already match.
inline bool BlendColourBytes(std::uint8_t* d, const std::uint8_t* s)
{
    if (d[0] == s[0] && d[1] == s[1] && d[2] == s[2]) return false;
    const std::uint8_t* mul = BlendMulTable[s[3]];
    const std::uint8_t* inv = BlendInvMulTable[s[3]];
    d[0] = static_cast<std::uint8_t>(mul[s[0]] + inv[d[0]]);
    d[1] = static_cast<std::uint8_t>(mul[s[1]] + inv[d[1]]);
    d[2] = static_cast<std::uint8_t>(mul[s[2]] + inv[d[2]]);
    return true;
}

// Blends a 16-bit colour word `sw` onto the word at `d` by a table row `a` (0..255), widening each field
// with zero low bits and keeping the top bits of each blended channel. L is the word's layout traits.
template <class L> inline void BlendWord(std::uint8_t* d, std::uint32_t sw, std::uint32_t a)
{
    const Kernels::SRgba sc = L::Decode(sw);
    const Kernels::SRgba dc = L::Decode(Kernels::Load16(d));
    const std::uint8_t* mul = BlendMulTable[a];
    const std::uint8_t* inv = BlendInvMulTable[a];
    const Kernels::SRgba out{static_cast<std::uint32_t>(mul[sc.r] + inv[dc.r]),
                             static_cast<std::uint32_t>(mul[sc.g] + inv[dc.g]),
                             static_cast<std::uint32_t>(mul[sc.b] + inv[dc.b]), 0};
    Kernels::Store16(d, L::Encode(out));
}

} // namespace AlphaOps

// RGB888 destination (3 bytes) from an ARGB8888 source; exactly three bytes are read and written.
inline void AlphaBlendPixelRGB888(std::uint8_t* d, const std::uint8_t* s)
{
    AlphaOps::BlendColourBytes(d, s);
}

// BGR888 destination from an ABGR8888 source: the same arithmetic byte by byte.
inline void AlphaBlendPixelBGR888(std::uint8_t* d, const std::uint8_t* s)
{
    AlphaOps::BlendColourBytes(d, s);
}

// XRGB8888 destination from an ARGB8888 source; a drawn pixel gets 0 in its spare byte, a skipped one
// keeps it.
inline void AlphaBlendPixelXRGB8888(std::uint8_t* d, const std::uint8_t* s)
{
    if (AlphaOps::BlendColourBytes(d, s)) d[3] = 0;
}

// XBGR8888 destination from an ABGR8888 source, as XRGB8888.
inline void AlphaBlendPixelXBGR8888(std::uint8_t* d, const std::uint8_t* s)
{
    if (AlphaOps::BlendColourBytes(d, s)) d[3] = 0;
}

// Fully opaque 16-bit blends: the destination word becomes the source's colour (row 255 of the product
// table is the identity and of the inverse table all zero); RGB555 drops the spare bit 15.
inline void AlphaBlendPixelOpaque565(std::uint8_t* d, const std::uint8_t* s)
{
    Kernels::Store16(d, Kernels::Load16(s));
}
inline void AlphaBlendPixelOpaque555(std::uint8_t* d, const std::uint8_t* s)
{
    Kernels::Store16(d, Kernels::Load16(s) & 0x7FFF);
}

// The colour word at `d` (an RGB565 word, or the colour of an A565 pixel) from an A565 source, by the
// source's 4-bit alpha level times 16 (so full alpha weighs 240/255). Only the two colour bytes are
// written; the high nibble of the source's alpha byte is not part of the level.
inline void AlphaBlendPixelA565(std::uint8_t* d, const std::uint8_t* s)
{
    AlphaOps::BlendWord<Kernels::SLayout565>(d, Kernels::Load16(s), (s[2] & 0x0Fu) * 16);
}

// The same for RGB555 colour words and an A555 source; bit 15 of the written word is 0.
inline void AlphaBlendPixelA555(std::uint8_t* d, const std::uint8_t* s)
{
    AlphaOps::BlendWord<Kernels::SLayout555>(d, Kernels::Load16(s), (s[2] & 0x0Fu) * 16);
}

} // namespace zelvoranGameSDK3rd::Draw
