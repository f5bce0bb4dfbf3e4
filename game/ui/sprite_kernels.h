#pragma once
// The game's own pixel operations on sprites: plain and colour-keyed copies, half brightness, half
// blending and alpha onto alpha, and darkening a rectangle in place. They are rules over the SDK's pixel
// traits, run by the SDK's blit walk and effect walk, and served for the pairs of pixel types in one
// table; the sprite wrappers (CBltSupport) clip, lock and choose the size.
//
// The operations move pixel words without converting them: on the 16-bit path (RGB565 and RGB555 in any
// pairing) a source word is read in the target's layout, and the four 32-bit types (XRGB, XBGR, ARGB,
// ABGR in any pairing) share one word for them. Magenta in the target's layout is the colour key; a
// 32-bit pixel is magenta only as a whole word, top byte 0.

#include "gamebase/sdk_names.h"
#include "sdk/draw/kernels/blt_clip.h"
#include "sdk/draw/kernels/effect_table.h"
#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>

enum class ESpriteOp : std::int32_t
{
    kCopy,
    kCopyKey,
    // Every channel halved.
    kHalfBright,
    kHalfBrightKey,
    // The average of source and target; on the 32-bit path a source with alpha blends by half its alpha
    // instead. Keyed on the 16-bit path only.
    kHalfBlend,
    // The same, keyed on both paths.
    kHalfBlendKey,
    // A565 onto A565, A555 onto A555, ARGB or ABGR onto ARGB or ABGR: the source's alpha over the
    // target's, the target's alpha kept meaningful.
    kAlphaOntoAlpha,
};
inline constexpr int kSpriteOpCount = 7;

// A kernel walks a rectangle already clipped to both surfaces (both locked).
using SpriteKernel = void (*)(const Draw::SSurfaceDesc& target, const Draw::SSurfaceDesc& source,
                              const Draw::SBltClipResult& area);

// The kernel of an operation for a target and a source pixel type, or null when the pair is not served.
SpriteKernel FindSpriteKernel(ESpriteOp op, std::int32_t targetType, std::int32_t sourceType);

// Magenta in a target type's layout, the key of the keyed operations; 0 for a type without sprite
// operations.
std::uint32_t SpriteColorKey(std::int32_t targetType);

// The walk of a sprite drawing: `width` x `height` source pixels from (sx, sy), each drawn as a `scale` x
// `scale` block (scale 1 or 2) from (dx, dy) of the target. The caller has clipped it to both surfaces.
Draw::SBltClipResult SpriteArea(std::int32_t dx, std::int32_t dy, std::int32_t sx, std::int32_t sy,
                                std::int32_t width, std::int32_t height, int scale);

// The kernel that halves every channel of a rectangle in place (the SDK's effect kernel form; the
// parameter is unused), or null for a type without one: RGB565, RGB555 and the 32-bit types.
Draw::EffectKernel FindDarkenKernel(std::int32_t type);
