#include "sdk/draw/kernels/blt_clip.h"

#include <algorithm>
#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

namespace {

// One axis of a stretched blit cut on its leading side. All arithmetic is 64-bit: the point, the
// sizes and the clip edge are caller values and their sums may leave the 32-bit range.
struct SStretchAxis
{
    std::int64_t srcStart;
    std::int64_t dstStart;
    std::int64_t error;
};

SStretchAxis CutLeadingEdge(std::int64_t srcStart, std::int64_t dstStart, std::int64_t clipStart,
                            std::int64_t srcExtent, std::int64_t dstExtent)
{
    SStretchAxis axis{srcStart, dstStart, -dstExtent};
    if (clipStart > dstStart) {
        // The cut (up to 2^33) times a source extent (up to 2^31) needs more than 64 bits.
        using Wide = __int128;
        const Wide error = -dstExtent + Wide{clipStart - dstStart} * srcExtent;
        axis.error = static_cast<std::int64_t>(error);
        // An error of exactly 0 moves the source too: with an unchanged extent, a cut of one pixel
        // would otherwise show the image one pixel off from the unclipped blit.
        if (error >= 0) {
            const Wide n = error / dstExtent + 1;
            // A start past INT64_MAX is past every source's end just the same.
            axis.srcStart = static_cast<std::int64_t>(std::min<Wide>(srcStart + n, INT64_MAX));
            axis.error = static_cast<std::int64_t>(error - n * dstExtent);
        }
        axis.dstStart = clipStart;
    }
    return axis;
}

} // namespace

int ClipBltRect(const SSurfaceDesc* src, const SSurfaceDesc* dst, const SBltInfo* info,
                SBltClipResult* result)
{
    // Source rectangle, bounded by the source surface.
    std::int64_t sl = 0, st = 0, sr = src->width, sb = src->height;
    if (info->srcRect != nullptr) {
        sl = std::max<std::int64_t>(info->srcRect->left, 0);
        st = std::max<std::int64_t>(info->srcRect->top, 0);
        sr = std::min<std::int64_t>(info->srcRect->right, src->width);
        sb = std::min<std::int64_t>(info->srcRect->bottom, src->height);
        if (sl >= sr || st >= sb) return 1;
    }
    const std::int64_t sw = sr - sl;
    const std::int64_t sh = sb - st;

    std::int64_t x = 0, y = 0;
    if (info->dstPoint != nullptr) {
        x = info->dstPoint->x;
        y = info->dstPoint->y;
    }
    std::int64_t dw = sw, dh = sh;
    if (info->dstSize != nullptr) {
        dw = info->dstSize->cx;
        dh = info->dstSize->cy;
    }

    // Base point; halves by arithmetic shift, rounding toward minus infinity.
    switch (info->basePoint) {
    case 1:
        x -= dw >> 1;
        break;
    case 2:
        x -= dw;
        break;
    case 3:
        y -= dh >> 1;
        break;
    case 4:
        x -= dw >> 1;
        y -= dh >> 1;
        break;
    case 5:
        x -= dw;
        y -= dh >> 1;
        break;
    case 6:
        y -= dh;
        break;
    case 7:
        x -= dw >> 1;
        y -= dh;
        break;
    case 8:
        x -= dw;
        y -= dh;
        break;
    default:
        break;
    }

    RECT k{0, 0, dst->width, dst->height};
    if (info->clipRect != nullptr) k = *info->clipRect;
    k.left = std::max(k.left, 0);
    k.top = std::max(k.top, 0);
    k.right = std::min(k.right, dst->width);
    k.bottom = std::min(k.bottom, dst->height);

    std::int64_t dl, dt, dr, db;
    if (dw == sw && dh == sh) {
        result->oneToOne = 1;
        dl = x, dt = y, dr = x + sw, db = y + sh;
        if (k.left > dl) sl += k.left - dl, dl = k.left;
        if (k.top > dt) st += k.top - dt, dt = k.top;
        if (dr > k.right) sr -= dr - k.right, dr = k.right;
        if (db > k.bottom) sb -= db - k.bottom, db = k.bottom;
        if (sl >= sr || st >= sb) return 1;
    } else {
        result->oneToOne = 0;
        // Zero and negative sizes draw nothing (there is no mirroring); refused before any division.
        if (dw <= 0 || dh <= 0) return 1;
        const SStretchAxis ax = CutLeadingEdge(sl, x, k.left, sw, dw);
        const SStretchAxis ay = CutLeadingEdge(st, y, k.top, sh, dh);
        sl = ax.srcStart, dl = ax.dstStart;
        st = ay.srcStart, dt = ay.dstStart;
        dr = std::min<std::int64_t>(x + dw, k.right);
        db = std::min<std::int64_t>(y + dh, k.bottom);
        if (sl >= sr || st >= sb || dl >= dr || dt >= db) return 1;
        result->xStep = static_cast<std::int32_t>(sw / dw);
        result->xRemainder = static_cast<std::int32_t>(sw - sw / dw * dw);
        result->xDivisor = static_cast<std::int32_t>(dw);
        result->xErrorStart = static_cast<std::int32_t>(ax.error - 1);
        result->yStep = static_cast<std::int32_t>(sh / dh);
        result->yRemainder = static_cast<std::int32_t>(sh - sh / dh * dh);
        result->yDivisor = static_cast<std::int32_t>(dh);
        result->yErrorStart = static_cast<std::int32_t>(ay.error - 1);
    }
    // Whatever survives lies inside both surfaces, so every value fits 32 bits again.
    result->src = {static_cast<std::int32_t>(sl), static_cast<std::int32_t>(st),
                   static_cast<std::int32_t>(sr), static_cast<std::int32_t>(sb)};
    result->dst = {static_cast<std::int32_t>(dl), static_cast<std::int32_t>(dt),
                   static_cast<std::int32_t>(dr), static_cast<std::int32_t>(db)};
    result->clip = k;
    return 0;
}

RECT ClipRect(const SSurfaceDesc& surface, const RECT* in)
{
    RECT out = in != nullptr ? *in : RECT{0, 0, surface.width, surface.height};
    if (out.left < 0) out.left = 0;
    if (out.right > surface.width) out.right = surface.width;
    if (out.top < 0) out.top = 0;
    if (out.bottom > surface.height) out.bottom = surface.height;
    return out;
}

} // namespace zelvoranGameSDK3rd::Draw
