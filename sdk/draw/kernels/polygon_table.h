#pragma once
// The served (operation, destination type, source type) combinations of the polygon blit: operations
// 0 (copy), 1 (colour-keyed copy) and 10 (blend by the source's alpha), 26 type pairs each.

#include "sdk/draw/kernels/kernel_grid.h"
#include "sdk/draw/kernels/pixel_types.h"
#include "sdk/draw/kernels/polygon_scan.h"

#include <cstdint>
#include <initializer_list>

namespace zelvoranGameSDK3rd::Draw {

inline constexpr std::int32_t kPolygonOpCopy = 0;
inline constexpr std::int32_t kPolygonOpCopyKey = 1;
inline constexpr std::int32_t kPolygonOpAlpha = 10;

// Kernels by (destination type, source type).
using SPolygonOpTable = SKernelGrid<PolygonKernel, kPixelTypeCount, kPixelTypeCount>;

constexpr SPolygonOpTable MakePolygonOpTable(std::initializer_list<SKernelCell<PolygonKernel>> rows)
{
    return MakeKernelGrid<PolygonKernel, kPixelTypeCount, kPixelTypeCount>(rows);
}

// One table per operation, defined beside that operation's kernels.
extern const SPolygonOpTable kPolygonCopyTable;    // 0
extern const SPolygonOpTable kPolygonCopyKeyTable; // 1
extern const SPolygonOpTable kPolygonAlphaTable;   // 10

// The table of operation 0, 1 or 10; null for every other operation.
const SPolygonOpTable* GetPolygonOpTable(std::int32_t op);

} // namespace zelvoranGameSDK3rd::Draw
