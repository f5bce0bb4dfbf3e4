#include "game/ui/blt_support.h"

#include "game/asset_ids.h"
#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "game/ui/sprite_kernels.h"
#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/surface_info.h"

#include <algorithm>
#include <limits>

namespace {

using Draw::RECT;
using Draw::SIZE;

bool IsDoubleSize()
{
    return g_globalData.doubleSize;
}

// Twice a coordinate, held to 32 bits.
std::int32_t Twice(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(2 * v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

int PlaneBlt(Draw::ISurface& target, Draw::EBltOp op, Draw::ISurface& source, std::int32_t x, std::int32_t y,
             const SIZE* size, const RECT* rect, std::int32_t rate = 0)
{
    const Draw::POINT point{x, y};
    Draw::SBltInfo info;
    info.dstPoint = &point;
    info.dstSize = size;
    info.srcRect = rect;
    const std::uint8_t rateByte = static_cast<std::uint8_t>(rate);
    return target.Blt(op, source.GetSurfaceInfo(), &info, &rateByte);
}

// Twice the rectangle's size, or the whole source's.
SIZE TwiceSizeOf(Draw::ISurface& source, const RECT* rect)
{
    if (rect != nullptr)
        return SIZE{Twice(std::int64_t{rect->right} - rect->left),
                    Twice(std::int64_t{rect->bottom} - rect->top)};
    std::int32_t w = 0, h = 0;
    source.GetSize(&w, &h);
    return SIZE{Twice(w), Twice(h)};
}

// The doubling kernels' way out for pairs without a sprite kernel: the plane's blit, stretched to twice
// the size at twice the position.
int StretchTwice(Draw::ISurface& target, Draw::EBltOp op, Draw::ISurface& source, std::int32_t x,
                 std::int32_t y, const RECT* rect, std::int32_t rate = 0)
{
    const SIZE size = TwiceSizeOf(source, rect);
    return PlaneBlt(target, op, source, Twice(x), Twice(y), &size, rect, rate);
}

Draw::CFastPlane& Image(std::int32_t imageId)
{
    return AccessImageList(kImageListGet, imageId);
}

// Classifies, clips, locks and runs a sprite operation at (dx, dy) of the target (already doubled at
// scale 2); a pair of pixel types without a kernel takes `fallback`.
template <class Fallback>
int RunSprite(ESpriteOp op, int scale, Draw::ISurface& target, Draw::ISurface& source, std::int64_t dx,
              std::int64_t dy, const RECT* rect, Fallback fallback)
{
    const SpriteKernel kernel = FindSpriteKernel(op, target.GetPixelType(), source.GetPixelType());
    if (kernel == nullptr) return fallback();
    Draw::CSurfaceInfo* dst = target.GetSurfaceInfo();
    Draw::CSurfaceInfo* src = source.GetSurfaceInfo();
    CBltSupport::SSoftwareClip clip;
    if (CBltSupport::ClipSoftwareBlt(*dst, *src, dx, dy, rect, scale == 2, clip) != 0) return 1;
    if (clip.width == 0 || clip.height == 0) return 0;
    Draw::CSurfaceLockGuard dstLock(dst);
    if (dstLock.Failed()) return 1;
    Draw::CSurfaceLockGuard srcLock(src);
    if (srcLock.Failed()) return 1;
    kernel(*dst, *src, SpriteArea(clip.dx, clip.dy, clip.sx, clip.sy, clip.width, clip.height, scale));
    return 0;
}

} // namespace

CBltSupport::CBltSupport()
{
    m_plane.add(new Draw::CFastPlane(nullptr));
}

// ---- Plain wrappers.

int CBltSupport::BltCopy(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                         const SIZE* size, const RECT* rect)
{
    return PlaneBlt(target, Draw::kBltCopy, source, x, y, size, rect);
}

int CBltSupport::BltColorKey(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                             const SIZE* size, const RECT* rect)
{
    return PlaneBlt(target, Draw::kBltCopyKey, source, x, y, size, rect);
}

int CBltSupport::BltAdd(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                        const SIZE* size, const RECT* rect)
{
    return PlaneBlt(target, Draw::kBltAdd, source, x, y, size, rect);
}

int CBltSupport::BltBlend(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                          std::int32_t rate, const SIZE* size, const RECT* rect)
{
    return PlaneBlt(target, Draw::kBltAlphaRate, source, x, y, size, rect, rate);
}

int CBltSupport::BltBlendColorKey(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                  std::int32_t y, std::int32_t rate, const SIZE* size, const RECT* rect)
{
    return PlaneBlt(target, Draw::kBltAlphaRateKey, source, x, y, size, rect, rate);
}

int CBltSupport::BltAddRate(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                            std::int32_t rate, const SIZE* size, const RECT* rect)
{
    return PlaneBlt(target, Draw::kBltAddRate, source, x, y, size, rect, rate);
}

// ---- Wrappers that follow the double-size flag.

int CBltSupport::BltColorKeyZoom(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                 std::int32_t y, const RECT* rect)
{
    return IsDoubleSize() ? BltColorKeyDouble(target, source, x, y, rect)
                          : BltColorKey(target, source, x, y, nullptr, rect);
}

int CBltSupport::BltCopyZoom(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                             const RECT* rect)
{
    return IsDoubleSize() ? BltCopyDouble(target, source, x, y, rect)
                          : BltCopy(target, source, x, y, nullptr, rect);
}

int CBltSupport::BltHalfBrightZoom(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                   std::int32_t y, const RECT* rect)
{
    return IsDoubleSize() ? BltColorKeyHalfBrightDouble(target, source, x, y, rect)
                          : BltColorKeyHalfBright(target, source, x, y, rect);
}

int CBltSupport::BltBlendColorKeyZoom(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                      std::int32_t y, std::int32_t rate, const RECT* rect)
{
    SIZE size;
    const SIZE* stretch = AdjustForDoubleSize(source, x, y, rect, size);
    return BltBlendColorKey(target, source, x, y, rate, stretch, rect);
}

// ---- Wrappers for pictures of the image list.

// The image wrappers that keep the picture's size: at single size `single`; in double size a paired
// picture's companion through `single` at twice the position and rectangle, any other picture through
// the doubling kernel `twice`.
int CBltSupport::BltImageSprite(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                                const RECT* rect, SpriteBlt single, SpriteBlt twice)
{
    if (!IsDoubleSize()) return single(target, Image(imageId), x, y, rect);
    if (imageId < kFirstPairedImage) return twice(target, Image(imageId), x, y, rect);
    SIZE size;
    RECT doubled;
    AdjustImageForDoubleSize(imageId, x, y, rect, doubled, size);
    return single(target, Image(imageId), x, y, rect);
}

int CBltSupport::BltImage(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                          const RECT* rect)
{
    return BltImageSprite(
        target, imageId, x, y, rect,
        [](Draw::ISurface& t, Draw::ISurface& s, std::int32_t sx, std::int32_t sy, const RECT* r) {
            return BltColorKey(t, s, sx, sy, nullptr, r);
        },
        &BltColorKeyDouble);
}

int CBltSupport::BltImageCopy(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                              const RECT* rect)
{
    return BltImageSprite(
        target, imageId, x, y, rect,
        [](Draw::ISurface& t, Draw::ISurface& s, std::int32_t sx, std::int32_t sy, const RECT* r) {
            return BltCopy(t, s, sx, sy, nullptr, r);
        },
        &BltCopyDouble);
}

int CBltSupport::BltImageHalfBright(Draw::ISurface& target, std::int32_t imageId, std::int32_t x,
                                    std::int32_t y, const RECT* rect)
{
    return BltImageSprite(target, imageId, x, y, rect, &BltColorKeyHalfBright, &BltColorKeyHalfBrightDouble);
}

int CBltSupport::BltImageAdd(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                             const RECT* rect)
{
    SIZE size;
    RECT doubled;
    const SIZE* stretch = AdjustImageForDoubleSize(imageId, x, y, rect, doubled, size);
    return BltAdd(target, Image(imageId), x, y, stretch, rect);
}

int CBltSupport::BltImageBlend(Draw::ISurface& target, std::int32_t imageId, std::int32_t x, std::int32_t y,
                               std::int32_t rate, const RECT* rect)
{
    SIZE size;
    RECT doubled;
    const SIZE* stretch = AdjustImageForDoubleSize(imageId, x, y, rect, doubled, size);
    return BltBlend(target, Image(imageId), x, y, rate, stretch, rect);
}

int CBltSupport::BltImageBlendColorKey(Draw::ISurface& target, std::int32_t imageId, std::int32_t x,
                                       std::int32_t y, std::int32_t rate, const RECT* rect)
{
    SIZE size;
    RECT doubled;
    const SIZE* stretch = AdjustImageForDoubleSize(imageId, x, y, rect, doubled, size);
    return BltBlendColorKey(target, Image(imageId), x, y, rate, stretch, rect);
}

int CBltSupport::BltImageHalfBlend(Draw::ISurface& target, std::int32_t imageId, std::int32_t x,
                                   std::int32_t y, const RECT* rect)
{
    if (IsDoubleSize()) return BltBlendColorKeyDouble(target, Image(imageId), x, y, rect);
    return BltBlendColorKey(target, Image(imageId), x, y, kHalfRate, nullptr, rect);
}

int CBltSupport::BltHalfShade(Draw::ISurface& target, std::int32_t x, std::int32_t y, const RECT* rect)
{
    if (IsDoubleSize()) return BltBlendDouble(target, Image(kImageShade), x, y, rect);
    return BltBlend(target, Image(kImageShade), x, y, kHalfRate, nullptr, rect);
}

// ---- Software kernels.

int CBltSupport::BltCopyHalfBright(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                   std::int32_t y, const RECT* rect)
{
    return RunSprite(ESpriteOp::kHalfBright, 1, target, source, x, y, rect,
                     [&] { return BltCopy(target, source, x, y, nullptr, rect); });
}

int CBltSupport::BltColorKeyHalfBright(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                       std::int32_t y, const RECT* rect)
{
    return RunSprite(ESpriteOp::kHalfBrightKey, 1, target, source, x, y, rect,
                     [&] { return BltColorKey(target, source, x, y, nullptr, rect); });
}

int CBltSupport::BltColorKeyHalfBrightDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                             std::int32_t y, const RECT* rect)
{
    return RunSprite(ESpriteOp::kHalfBrightKey, 2, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y},
                     rect, [&] { return StretchTwice(target, Draw::kBltCopyKey, source, x, y, rect); });
}

int CBltSupport::BltCopyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                               const RECT* rect)
{
    return RunSprite(ESpriteOp::kCopy, 2, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y}, rect,
                     [&] { return StretchTwice(target, Draw::kBltCopy, source, x, y, rect); });
}

int CBltSupport::BltColorKeyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                   std::int32_t y, const RECT* rect)
{
    return RunSprite(ESpriteOp::kCopyKey, 2, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y}, rect,
                     [&] { return StretchTwice(target, Draw::kBltCopyKey, source, x, y, rect); });
}

int CBltSupport::BltBlendDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                std::int32_t y, const RECT* rect)
{
    return RunSprite(
        ESpriteOp::kHalfBlend, 2, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y}, rect,
        [&] { return StretchTwice(target, Draw::kBltAlphaRateKey, source, x, y, rect, kHalfRate); });
}

int CBltSupport::BltBlendColorKeyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                        std::int32_t y, const RECT* rect)
{
    return RunSprite(
        ESpriteOp::kHalfBlendKey, 2, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y}, rect,
        [&] { return StretchTwice(target, Draw::kBltAlphaRateKey, source, x, y, rect, kHalfRate); });
}

int CBltSupport::BltAlphaOntoAlpha(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                   std::int32_t y, const RECT* rect)
{
    return RunSprite(ESpriteOp::kAlphaOntoAlpha, 1, target, source, x, y, rect,
                     [&] { return PlaneBlt(target, Draw::kBltAlphaRate, source, x, y, nullptr, rect, 255); });
}

int CBltSupport::DarkenRect(Draw::ISurface& target, std::int32_t x, std::int32_t y, std::int32_t width,
                            std::int32_t height, CBltSupport& scratch)
{
    std::int64_t left = x, top = y, w = width, h = height;
    if (IsDoubleSize()) left *= 2, top *= 2, w *= 2, h *= 2;
    Draw::CSurfaceInfo* info = target.GetSurfaceInfo();
    if (left < 0) w += left, left = 0;
    if (top < 0) h += top, top = 0;
    w = std::min<std::int64_t>(w, info->width - left);
    h = std::min<std::int64_t>(h, info->height - top);
    if (w < 0 || h < 0) return 1;
    if (w == 0 || h == 0) return 0;
    const RECT r{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                 static_cast<std::int32_t>(left + w), static_cast<std::int32_t>(top + h)};
    const std::int32_t type = target.GetPixelType();
    const Draw::EffectKernel darken = FindDarkenKernel(type);
    if (darken == nullptr) {
        Draw::CFastPlane& plane = scratch.GetPlane();
        std::int32_t sw = 0, sh = 0;
        plane.GetSize(&sw, &sh);
        const std::int32_t rw = r.right - r.left, rh = r.bottom - r.top;
        if (sw < rw || sh < rh) plane.Resize(std::max(sw, rw), std::max(sh, rh));
        const RECT part{0, 0, rw, rh};
        PlaneBlt(target, Draw::kBltAlphaRate, plane, r.left, r.top, nullptr, &part, 0);
        return 0;
    }
    Draw::CSurfaceLockGuard lock(info);
    if (lock.Failed()) return 1;
    darken(info, &r, 0);
    return 0;
}

// ---- The parts.

const SIZE* CBltSupport::AdjustForDoubleSize(Draw::ISurface& source, std::int32_t& x, std::int32_t& y,
                                             const RECT* rect, SIZE& size)
{
    if (!IsDoubleSize()) return nullptr;
    x = Twice(x);
    y = Twice(y);
    size = TwiceSizeOf(source, rect);
    return &size;
}

const SIZE* CBltSupport::AdjustImageForDoubleSize(std::int32_t& imageId, std::int32_t& x, std::int32_t& y,
                                                  const RECT*& rect, RECT& doubledRect, SIZE& size)
{
    if (!IsDoubleSize()) return nullptr;
    if (imageId < kFirstPairedImage) return AdjustForDoubleSize(Image(imageId), x, y, rect, size);
    ++imageId;
    x = Twice(x);
    y = Twice(y);
    if (rect != nullptr) {
        doubledRect = RECT{Twice(rect->left), Twice(rect->top), Twice(rect->right), Twice(rect->bottom)};
        rect = &doubledRect;
    }
    return nullptr;
}

CBltSupport::SPixelPair CBltSupport::ClassifyPixelPair(std::int32_t targetType, std::int32_t sourceType)
{
    if (FindSpriteKernel(ESpriteOp::kCopy, targetType, sourceType) == nullptr) return SPixelPair{};
    return SPixelPair{Draw::BytesPerPixel(targetType) == 2 ? kPath16 : kPath32, SpriteColorKey(targetType)};
}

int CBltSupport::ClipSoftwareBlt(const Draw::SSurfaceDesc& target, const Draw::SSurfaceDesc& source,
                                 std::int64_t dx, std::int64_t dy, const RECT* rect, bool doubled,
                                 SSoftwareClip& clip)
{
    std::int64_t sx = 0, sy = 0, w = source.width, h = source.height;
    if (rect != nullptr) {
        sx = rect->left;
        sy = rect->top;
        w = std::int64_t{rect->right} - rect->left;
        h = std::int64_t{rect->bottom} - rect->top;
    }
    // A source origin above or left of the source shortens the size; the destination stays.
    if (sx < 0) w += sx, sx = 0;
    if (sy < 0) h += sy, sy = 0;
    w = std::min<std::int64_t>(w, source.width - sx);
    h = std::min<std::int64_t>(h, source.height - sy);
    w = std::min<std::int64_t>(w, target.width - dx);
    h = std::min<std::int64_t>(h, target.height - dy);
    // Off the left or top edge the source loses what would lie there: half as many pixels at twice the
    // size.
    if (dx < 0) {
        const std::int64_t cut = doubled ? (-dx) >> 1 : -dx;
        sx += cut;
        w -= cut;
        dx = 0;
    }
    if (dy < 0) {
        const std::int64_t cut = doubled ? (-dy) >> 1 : -dy;
        sy += cut;
        h -= cut;
        dy = 0;
    }
    if (doubled) {
        if (dx + 2 * w > target.width) w = (target.width - dx) >> 1;
        if (dy + 2 * h > target.height) h = (target.height - dy) >> 1;
    }
    if (w < 0 || h < 0) return 1;
    clip = SSoftwareClip{};
    if (w == 0 || h == 0) return 0;
    clip = SSoftwareClip{static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy),
                         static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy),
                         static_cast<std::int32_t>(w),  static_cast<std::int32_t>(h)};
    return 0;
}
