#pragma once
// The fill effect: every pixel of the clipped rectangle becomes the prepared colour.

#include "sdk/draw/kernels/blt_clip.h"
#include "sdk/draw/kernels/blt_walk.h"
#include "sdk/draw/kernels/pixel_traits.h"

namespace zelvoranGameSDK3rd::Draw::Kernels {

template <class T> int EffectFillRect(const SSurfaceDesc* surface, const RECT* rect, std::uint32_t color)
{
    const RECT r = ClipRect(*surface, rect);
    // An inverted rectangle (wholly outside, or given right of its right edge) draws nothing.
    if (r.left >= r.right || r.top >= r.bottom) return 0;
    const int w = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* p = surface->pixels + PixelOffset(*surface, r.left, y, T::kBytes);
        for (int x = 0; x < w; ++x)
            T::Store(p + x * T::kBytes, color);
    }
    return 0;
}

} // namespace zelvoranGameSDK3rd::Draw::Kernels
