#pragma once
// What a polygon blit is asked to draw.

#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// One polygon blit: vertex i of the destination polygon shows source point i. The vertices are taken in
// polygon order, either winding. A null clip rectangle means the whole destination. A non-zero
// exclusiveEnd makes every source step divide by one more than the destination extent, so that the
// samples stop short of the source end points (for source points on the outer corners of a rectangle).
struct PolygonBltInfo
{
    const POINT* srcPoints = nullptr;
    const POINT* dstPoints = nullptr;
    const RECT* clipRect = nullptr;
    std::uint8_t exclusiveEnd = 0;
    std::int32_t pointCount = 0;
};

} // namespace zelvoranGameSDK3rd::Draw
