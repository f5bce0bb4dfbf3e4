// The entries of the rectangle effects and of the polygon blit: they lock the surfaces, choose the kernel
// by effect or operation and pixel types, prepare its parameter and unlock on every way out.

#include "sdk/draw/surface.h"
#include "sdk/draw/surface_info.h"

#include "sdk/draw/kernels/blt_table.h"
#include "sdk/draw/kernels/effect_table.h"
#include "sdk/draw/kernels/polygon_table.h"

#include <cstring>

namespace zelvoranGameSDK3rd::Draw {

namespace {

// Locks the surface, runs the kernel of the effect for its pixel type and unlocks. `param` gives the
// kernel's parameter once the surface is locked. A type without a kernel, or a rectangle that the clip
// leaves without width or height, runs no kernel.
template <class Param>
int RunEffect(CSurfaceInfo* surface, std::uint32_t effect, const RECT* rect, Param param)
{
    if (surface == nullptr) return 1;
    CSurfaceLockGuard lock(surface);
    if (lock.Failed()) return 1;
    const EffectKernel kernel = FindEffectKernel(effect, surface->type);
    RECT clipped;
    surface->ClipRect(rect, &clipped);
    if (kernel == nullptr || clipped.left >= clipped.right || clipped.top >= clipped.bottom) return 0;
    kernel(surface, rect, param());
    return 0;
}

// Locks the destination, then the source, and runs the kernel of the pair with the prepared key.
int PolygonFrame(const SPolygonOpTable& table, bool keyed, CSurfaceInfo* dst, const CSurfaceInfo* src,
                 const PolygonBltInfo* info)
{
    if (dst == nullptr || src == nullptr) return 1;
    // Locking a source only marks it; its pixels are only read.
    auto* source = const_cast<CSurfaceInfo*>(src);
    CSurfaceLockGuard dstLock(dst);
    if (dstLock.Failed()) return 1;
    CSurfaceLockGuard srcLock(source);
    if (srcLock.Failed()) return 1;
    const PolygonKernel kernel = table.Find(dst->type, src->type);
    // Two equal types without a kernel have no pixels to draw.
    if (kernel == nullptr) return dst->type == src->type ? 0 : 2;
    // The key as one source pixel; the kernels that take no key get a value they never read.
    const std::uint32_t key = keyed ? PrepareColorKey(dst->type, src->type, src->colorKey) : 0;
    // A missing info or a refused polygon draws nothing; the blit still reports that it ran.
    kernel(info, src, dst, &key);
    return 0;
}

int PolyBltCopyDispatch(CSurfaceInfo* dst, const CSurfaceInfo* src, const PolygonBltInfo* info)
{
    return PolygonFrame(kPolygonCopyTable, false, dst, src, info);
}

int PolyBltAlphaDispatch(CSurfaceInfo* dst, const CSurfaceInfo* src, const PolygonBltInfo* info)
{
    return PolygonFrame(kPolygonAlphaTable, false, dst, src, info);
}

} // namespace

int CSurfaceInfo::EffectDispatch(std::uint32_t effect, const RECT* rect, const void* param,
                                 CSurfaceInfo* surface)
{
    if (effect >= kEffectCount || surface == nullptr) return 1;
    const bool needsParam = effect == kEffectFade || effect == kEffectAddColor || effect == kEffectSubColor ||
                            effect == kEffectMosaic;
    // The parameter is read before anything is locked; an effect that needs one refuses without it.
    if (needsParam && param == nullptr) return 1;
    std::uint32_t value = 0;
    if (needsParam) std::memcpy(&value, param, sizeof value);

    switch (effect) {
    case kEffectFade:
        return FadeDispatch(surface, rect, static_cast<std::uint8_t>(value));
    case kEffectInvert:
        return InvertDispatch(surface, rect);
    case kEffectMosaic:
        return MosaicDispatch(surface, rect, static_cast<std::int32_t>(value));
    case kEffectFill:
        return RunEffect(surface, effect, rect,
                         [surface] { return PrepareEffectColor(surface->type, surface->fillColor); });
    default:
        return RunEffect(surface, effect, rect,
                         [surface, value] { return PrepareEffectColor(surface->type, value); });
    }
}

int CSurfaceInfo::FadeDispatch(CSurfaceInfo* surface, const RECT* rect, std::uint8_t rate)
{
    return RunEffect(surface, kEffectFade, rect, [rate] { return std::uint32_t{rate}; });
}

int CSurfaceInfo::InvertDispatch(CSurfaceInfo* surface, const RECT* rect)
{
    return RunEffect(surface, kEffectInvert, rect, [] { return std::uint32_t{0}; });
}

int CSurfaceInfo::MosaicDispatch(CSurfaceInfo* surface, const RECT* rect, std::int32_t size)
{
    return RunEffect(surface, kEffectMosaic, rect, [size] { return static_cast<std::uint32_t>(size); });
}

int CSurfaceInfo::PolygonBltDispatch(CSurfaceInfo* dst, std::int32_t op, const CSurfaceInfo* src,
                                     const PolygonBltInfo* info)
{
    switch (op) {
    case kBltCopy:
        return PolyBltCopyDispatch(dst, src, info);
    case kBltCopyKey:
        return PolygonFrame(kPolygonCopyKeyTable, true, dst, src, info);
    case kBltAlpha:
        return PolyBltAlphaDispatch(dst, src, info);
    default:
        return 1; // nothing locked
    }
}

int ISurface::PolygonBlt(std::int32_t op, const CSurfaceInfo* source, const PolygonBltInfo* info, const void*)
{
    return CSurfaceInfo::PolygonBltDispatch(GetSurfaceInfo(), op, source, info);
}

} // namespace zelvoranGameSDK3rd::Draw
