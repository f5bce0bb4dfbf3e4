#pragma once
// The blit-info block every blit takes, and the one clipper whose result every blit kernel walks.

#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// Where and how big a blit lands. Every pointer may be null: point (0, 0), the source rectangle's own
// size (1:1), the whole source surface, the whole destination surface.
struct SBltInfo
{
    const POINT* dstPoint = nullptr;
    const SIZE* dstSize = nullptr;
    const RECT* srcRect = nullptr;
    const RECT* clipRect = nullptr;
    // Which point of the destination rectangle dstPoint names: 0 top left ... 8 bottom right (row by
    // row, left/centre/right); any other value counts as 0.
    std::int32_t basePoint = 0;
};

// What ClipBltRect hands a kernel. The stretch fields are set for stretched blits only.
struct SBltClipResult
{
    std::uint8_t oneToOne = 0;
    RECT src{};
    RECT dst{};
    RECT clip{};
    std::int32_t xErrorStart = 0;
    std::int32_t xRemainder = 0;
    std::int32_t xDivisor = 0;
    std::int32_t xStep = 0;
    std::int32_t yErrorStart = 0;
    std::int32_t yRemainder = 0;
    std::int32_t yDivisor = 0;
    std::int32_t yStep = 0;
};

// Clips a blit of `src` onto `dst`. Returns 0 and fills `result` when at least one pixel is to be
// drawn, 1 when nothing is (then `result` must not be used). Reads only the sizes of both surfaces.
int ClipBltRect(const SSurfaceDesc* src, const SSurfaceDesc* dst, const SBltInfo* info,
                SBltClipResult* result);

// Bounds `in` (null: the whole surface) by the surface. The result may be empty or inverted
// (left >= right or top >= bottom); callers treat that as nothing to do.
RECT ClipRect(const SSurfaceDesc& surface, const RECT* in);

} // namespace zelvoranGameSDK3rd::Draw
