#pragma once
// Rectangle effects on one surface (EEffect): one kernel per (effect, pixel type), chosen from a constant
// table; a pair without a kernel draws nothing.

#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// kernel(surface, rectangle or null, parameter) -> 0. The parameter is the effect colour already in the
// pixel type's form (fill, add, subtract), the rate byte (fade), the block size (mosaic) or unused.
// Kernels clip the rectangle to the surface themselves and never lock.
using EffectKernel = int (*)(const SSurfaceDesc* surface, const RECT* rect, std::uint32_t param);

// The kernel of an effect for a pixel type, or null (an effect beyond kEffectMosaic, a type without a
// kernel).
EffectKernel FindEffectKernel(std::uint32_t effect, std::int32_t type);

// A packed colour 0xAARRGGBB in the pixel type's own form: 565/555 packed, A565/A555 with the alpha's
// top nibble in the third byte, 24-bit types as three bytes in memory order, XRGB8888/XBGR8888 with a
// zero top byte, ARGB8888/ABGR8888 with the colour's alpha. 0 for types without pixels.
std::uint32_t PrepareEffectColor(std::int32_t type, std::uint32_t color);

} // namespace zelvoranGameSDK3rd::Draw
