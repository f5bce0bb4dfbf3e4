#pragma once
// The served (operation, destination type, source type) combinations of the polygon blit: copy,
// colour-keyed copy and blend by the source's alpha (kBltCopy, kBltCopyKey, kBltAlpha), 26 type pairs each.

#include "sdk/draw/kernels/kernel_grid.h"
#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/kernels/pixel_types.h"
#include "sdk/draw/kernels/polygon_scan.h"

#include <cstdint>
#include <initializer_list>

namespace zelvoranGameSDK3rd::Draw {

// Kernels by (destination type, source type).
using SPolygonOpTable = SKernelGrid<PolygonKernel, kPixelTypeCount, kPixelTypeCount>;

constexpr SPolygonOpTable MakePolygonOpTable(std::initializer_list<SKernelCell<PolygonKernel>> cells)
{
    return MakeKernelGrid<PolygonKernel, kPixelTypeCount, kPixelTypeCount>(cells);
}

// One table per operation, defined beside that operation's kernels.
extern const SPolygonOpTable kPolygonCopyTable;
extern const SPolygonOpTable kPolygonCopyKeyTable;
extern const SPolygonOpTable kPolygonAlphaTable;

// The table of kBltCopy, kBltCopyKey or kBltAlpha; null for every other operation.
const SPolygonOpTable* GetPolygonOpTable(std::int32_t op);

} // namespace zelvoranGameSDK3rd::Draw
