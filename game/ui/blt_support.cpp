#include "game/ui/blt_support.h"

#include "game/asset_ids.h"
#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "sdk/draw/kernels/operation_codes.h"
#include "sdk/draw/surface_info.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

using Draw::RECT;
using Draw::SIZE;

constexpr std::uint16_t kKey565 = 0xF81F;
constexpr std::uint16_t kKey555 = 0x7C1F;
constexpr std::uint32_t kKey32 = 0xFF00FF;
// What stays of a pixel shifted right by one: every channel's top bit cleared.
constexpr std::uint16_t kHalfMask565 = 0x7BEF;
// The spare top bit of RGB555 is cleared too: shifted down it would land in red's top bit.
constexpr std::uint16_t kHalfMask555 = 0x3DEF;
constexpr std::uint32_t kHalfMask32 = 0x7F7F7F;

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

// The doubling kernels' way out for pairs without a software path: the plane's blit, stretched to twice
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

template <class P> P LoadPixel(const std::uint8_t* p)
{
    P v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class P> void StorePixel(std::uint8_t* p, P v)
{
    std::memcpy(p, &v, sizeof v);
}

// Per-pixel rules. A rule that does not read the target writes one value per source pixel (a 2 x 2
// block when doubling); it answers false for a pixel it leaves out.
template <class P, bool Key, bool Half> struct SCopyRule
{
    static constexpr bool kReadsTarget = false;
    P key;
    P halfMask;
    bool operator()(P s, P& out) const
    {
        if constexpr (Key) {
            if (s == key) return false;
        }
        out = Half ? static_cast<P>((s >> 1) & halfMask) : s;
        return true;
    }
};

// The average of source and target.
template <class P, bool Key> struct SAverageRule
{
    static constexpr bool kReadsTarget = true;
    P key;
    P halfMask;
    bool operator()(P s, P d, P& out) const
    {
        if constexpr (Key) {
            if (s == key) return false;
        }
        out = static_cast<P>(((s >> 1) & halfMask) + ((d >> 1) & halfMask));
        return true;
    }
};

// An 8-bit alpha source blended by half its alpha; the result's top byte is clear.
template <bool Key> struct SHalfAlphaRule
{
    static constexpr bool kReadsTarget = true;
    std::uint32_t key;
    bool operator()(std::uint32_t s, std::uint32_t d, std::uint32_t& out) const
    {
        if constexpr (Key) {
            if (s == key) return false;
        }
        const std::uint32_t a = (s >> 24) >> 1;
        out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
            out |= (((sc * a) >> 8) + ((dc * (255 - a)) >> 8)) << shift;
        }
        return true;
    }
};

// Walks the clipped rectangle row by row; with Scale 2 every source pixel covers a 2 x 2 block, two
// 16-bit pixels written as one 32-bit word.
template <class P, int Scale, class Rule>
void Walk(const Draw::SSurfaceDesc& dst, const Draw::SSurfaceDesc& src, const CBltSupport::SSoftwareClip& c,
          const Rule& rule)
{
    constexpr std::ptrdiff_t kBytes = sizeof(P);
    for (std::int32_t y = 0; y < c.height; ++y) {
        const std::uint8_t* s = src.pixels + (std::ptrdiff_t{c.sy} + y) * src.pitch + c.sx * kBytes;
        for (int row = 0; row < Scale; ++row) {
            std::uint8_t* d = dst.pixels +
                              (std::ptrdiff_t{c.dy} + std::ptrdiff_t{y} * Scale + row) * dst.pitch +
                              c.dx * kBytes;
            for (std::int32_t x = 0; x < c.width; ++x, d += Scale * kBytes) {
                const P sv = LoadPixel<P>(s + x * kBytes);
                P out;
                if constexpr (Rule::kReadsTarget) {
                    for (int k = 0; k < Scale; ++k)
                        if (rule(sv, LoadPixel<P>(d + k * kBytes), out)) StorePixel(d + k * kBytes, out);
                } else {
                    if (!rule(sv, out)) continue;
                    if constexpr (Scale == 2 && kBytes == 2) {
                        StorePixel<std::uint32_t>(d, out | (std::uint32_t{out} << 16));
                    } else {
                        for (int k = 0; k < Scale; ++k)
                            StorePixel(d + k * kBytes, out);
                    }
                }
            }
        }
    }
}

// The two halves of every software kernel: a rule for the 16-bit path and one for the 32-bit path. The
// source type decides between the 32-bit rules of the half blends.
enum class EKernel
{
    kCopy,
    kKey,
    kCopyHalfBright,
    kKeyHalfBright,
    kBlend,    // key on the 16-bit path only
    kBlendKey, // key on both paths
};

template <int Scale>
void RunKernel(EKernel kernel, const Draw::SSurfaceDesc& dst, const Draw::SSurfaceDesc& src,
               const CBltSupport::SSoftwareClip& clip, const CBltSupport::SPixelPair& pair)
{
    if (pair.path == CBltSupport::kPath16) {
        const auto key = static_cast<std::uint16_t>(pair.colorKey);
        const std::uint16_t half = dst.type == Draw::kPixel565 ? kHalfMask565 : kHalfMask555;
        switch (kernel) {
        case EKernel::kCopy:
            return Walk<std::uint16_t, Scale>(dst, src, clip,
                                              SCopyRule<std::uint16_t, false, false>{key, half});
        case EKernel::kKey:
            return Walk<std::uint16_t, Scale>(dst, src, clip,
                                              SCopyRule<std::uint16_t, true, false>{key, half});
        case EKernel::kCopyHalfBright:
            return Walk<std::uint16_t, Scale>(dst, src, clip,
                                              SCopyRule<std::uint16_t, false, true>{key, half});
        case EKernel::kKeyHalfBright:
            return Walk<std::uint16_t, Scale>(dst, src, clip,
                                              SCopyRule<std::uint16_t, true, true>{key, half});
        case EKernel::kBlend:
        case EKernel::kBlendKey:
            return Walk<std::uint16_t, Scale>(dst, src, clip, SAverageRule<std::uint16_t, true>{key, half});
        }
        return;
    }
    const std::uint32_t key = pair.colorKey;
    const bool alphaSource = src.type == Draw::kPixelARGB8888 || src.type == Draw::kPixelABGR8888;
    switch (kernel) {
    case EKernel::kCopy:
        return Walk<std::uint32_t, Scale>(dst, src, clip,
                                          SCopyRule<std::uint32_t, false, false>{key, kHalfMask32});
    case EKernel::kKey:
        return Walk<std::uint32_t, Scale>(dst, src, clip,
                                          SCopyRule<std::uint32_t, true, false>{key, kHalfMask32});
    case EKernel::kCopyHalfBright:
        return Walk<std::uint32_t, Scale>(dst, src, clip,
                                          SCopyRule<std::uint32_t, false, true>{key, kHalfMask32});
    case EKernel::kKeyHalfBright:
        return Walk<std::uint32_t, Scale>(dst, src, clip,
                                          SCopyRule<std::uint32_t, true, true>{key, kHalfMask32});
    case EKernel::kBlend:
        if (alphaSource) return Walk<std::uint32_t, Scale>(dst, src, clip, SHalfAlphaRule<false>{key});
        return Walk<std::uint32_t, Scale>(dst, src, clip,
                                          SAverageRule<std::uint32_t, false>{key, kHalfMask32});
    case EKernel::kBlendKey:
        if (alphaSource) return Walk<std::uint32_t, Scale>(dst, src, clip, SHalfAlphaRule<true>{key});
        return Walk<std::uint32_t, Scale>(dst, src, clip,
                                          SAverageRule<std::uint32_t, true>{key, kHalfMask32});
    }
}

// Classifies, clips, locks and runs a software kernel at (dx, dy) of the target (already doubled for the
// doubling kernels); a pair without a software path takes `fallback`.
template <int Scale, class Fallback>
int RunSoftware(EKernel kernel, Draw::ISurface& target, Draw::ISurface& source, std::int64_t dx,
                std::int64_t dy, const RECT* rect, Fallback fallback)
{
    const CBltSupport::SPixelPair pair =
        CBltSupport::ClassifyPixelPair(target.GetPixelType(), source.GetPixelType());
    if (pair.path == CBltSupport::kPathNone) return fallback();
    Draw::CSurfaceInfo* dst = target.GetSurfaceInfo();
    Draw::CSurfaceInfo* src = source.GetSurfaceInfo();
    CBltSupport::SSoftwareClip clip;
    if (CBltSupport::ClipSoftwareBlt(*dst, *src, dx, dy, rect, Scale == 2, clip) != 0) return 1;
    if (clip.width == 0 || clip.height == 0) return 0;
    Draw::CSurfaceLockGuard dstLock(dst);
    if (dstLock.Failed()) return 1;
    Draw::CSurfaceLockGuard srcLock(src);
    if (srcLock.Failed()) return 1;
    RunKernel<Scale>(kernel, *dst, *src, clip, pair);
    return 0;
}

// The colour fields of the 16-bit types with alpha: shift and width of red, green and blue.
struct SField
{
    int shift;
    int bits;
};
constexpr SField kFields565[] = {{11, 5}, {5, 6}, {0, 5}};
constexpr SField kFields555[] = {{10, 5}, {5, 5}, {0, 5}};

std::uint32_t AlphaOnto4(std::uint32_t s, std::uint32_t d, const SField (&fields)[3])
{
    const std::uint32_t a = (s >> 16) & 0xF, da = (d >> 16) & 0xF;
    std::uint32_t out = 0;
    for (const SField& f : fields) {
        const std::uint32_t mask = (1u << f.bits) - 1;
        const std::uint32_t sc = (s >> f.shift) & mask, dc = (d >> f.shift) & mask;
        out |= ((sc * a + dc * (15 - a)) / 15) << f.shift;
    }
    return out | (a + (da * (15 - a)) / 15) << 16;
}

std::uint32_t AlphaOnto8(std::uint32_t s, std::uint32_t d)
{
    const std::uint32_t a = s >> 24, da = d >> 24;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        out |= ((sc * a + dc * (255 - a)) >> 8) << shift;
    }
    return out | (a + ((da * (255 - a)) >> 8)) << 24;
}

template <class Compose> struct SComposeRule
{
    static constexpr bool kReadsTarget = true;
    Compose compose;
    bool operator()(std::uint32_t s, std::uint32_t d, std::uint32_t& out) const
    {
        out = compose(s, d);
        return true;
    }
};
template <class Compose> SComposeRule(Compose) -> SComposeRule<Compose>;

bool IsAlpha8(std::int32_t type)
{
    return type == Draw::kPixelARGB8888 || type == Draw::kPixelABGR8888;
}

// Halves every pixel of the rectangle in place.
template <class P> void HalveRect(const Draw::SSurfaceDesc& d, const RECT& r, P mask)
{
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        std::uint8_t* p =
            d.pixels + std::ptrdiff_t{y} * d.pitch + std::ptrdiff_t{r.left} * std::ptrdiff_t{sizeof(P)};
        for (std::int32_t x = r.left; x < r.right; ++x, p += sizeof(P))
            StorePixel<P>(p, static_cast<P>((LoadPixel<P>(p) >> 1) & mask));
    }
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
    return RunSoftware<1>(EKernel::kCopyHalfBright, target, source, x, y, rect,
                          [&] { return BltCopy(target, source, x, y, nullptr, rect); });
}

int CBltSupport::BltColorKeyHalfBright(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                       std::int32_t y, const RECT* rect)
{
    return RunSoftware<1>(EKernel::kKeyHalfBright, target, source, x, y, rect,
                          [&] { return BltColorKey(target, source, x, y, nullptr, rect); });
}

int CBltSupport::BltColorKeyHalfBrightDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                             std::int32_t y, const RECT* rect)
{
    return RunSoftware<2>(EKernel::kKeyHalfBright, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y},
                          rect, [&] { return StretchTwice(target, Draw::kBltCopyKey, source, x, y, rect); });
}

int CBltSupport::BltCopyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x, std::int32_t y,
                               const RECT* rect)
{
    return RunSoftware<2>(EKernel::kCopy, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y}, rect,
                          [&] { return StretchTwice(target, Draw::kBltCopy, source, x, y, rect); });
}

int CBltSupport::BltColorKeyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                   std::int32_t y, const RECT* rect)
{
    return RunSoftware<2>(EKernel::kKey, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y}, rect,
                          [&] { return StretchTwice(target, Draw::kBltCopyKey, source, x, y, rect); });
}

int CBltSupport::BltBlendDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                std::int32_t y, const RECT* rect)
{
    return RunSoftware<2>(
        EKernel::kBlend, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y}, rect,
        [&] { return StretchTwice(target, Draw::kBltAlphaRateKey, source, x, y, rect, kHalfRate); });
}

int CBltSupport::BltBlendColorKeyDouble(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                        std::int32_t y, const RECT* rect)
{
    return RunSoftware<2>(
        EKernel::kBlendKey, target, source, 2 * std::int64_t{x}, 2 * std::int64_t{y}, rect,
        [&] { return StretchTwice(target, Draw::kBltAlphaRateKey, source, x, y, rect, kHalfRate); });
}

int CBltSupport::BltAlphaOntoAlpha(Draw::ISurface& target, Draw::ISurface& source, std::int32_t x,
                                   std::int32_t y, const RECT* rect)
{
    const std::int32_t dt = target.GetPixelType(), st = source.GetPixelType();
    const bool same4 = dt == st && (dt == Draw::kPixelA565 || dt == Draw::kPixelA555);
    if (!same4 && !(IsAlpha8(dt) && IsAlpha8(st)))
        return PlaneBlt(target, Draw::kBltAlphaRate, source, x, y, nullptr, rect, 255);
    Draw::CSurfaceInfo* dst = target.GetSurfaceInfo();
    Draw::CSurfaceInfo* src = source.GetSurfaceInfo();
    SSoftwareClip clip;
    if (ClipSoftwareBlt(*dst, *src, x, y, rect, false, clip) != 0) return 1;
    if (clip.width == 0 || clip.height == 0) return 0;
    Draw::CSurfaceLockGuard dstLock(dst);
    if (dstLock.Failed()) return 1;
    Draw::CSurfaceLockGuard srcLock(src);
    if (srcLock.Failed()) return 1;
    if (!same4) {
        Walk<std::uint32_t, 1>(*dst, *src, clip, SComposeRule{&AlphaOnto8});
    } else if (dt == Draw::kPixelA565) {
        Walk<std::uint32_t, 1>(*dst, *src, clip, SComposeRule{[](std::uint32_t s, std::uint32_t d) {
            return AlphaOnto4(s, d, kFields565);
        }});
    } else {
        Walk<std::uint32_t, 1>(*dst, *src, clip, SComposeRule{[](std::uint32_t s, std::uint32_t d) {
            return AlphaOnto4(s, d, kFields555);
        }});
    }
    return 0;
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
    const SPixelPair pair = ClassifyPixelPair(type, type);
    if (pair.path == kPathNone) {
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
    if (pair.path == kPath16) {
        HalveRect<std::uint16_t>(*info, r, type == Draw::kPixel565 ? kHalfMask565 : kHalfMask555);
    } else {
        HalveRect<std::uint32_t>(*info, r, kHalfMask32);
    }
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
    const auto width = [](std::int32_t type) {
        switch (type) {
        case Draw::kPixel565:
        case Draw::kPixel555:
            return 16;
        case Draw::kPixelXRGB8888:
        case Draw::kPixelXBGR8888:
        case Draw::kPixelARGB8888:
        case Draw::kPixelABGR8888:
            return 32;
        default:
            return 0;
        }
    };
    const int t = width(targetType), s = width(sourceType);
    if (t == 0 || t != s) return SPixelPair{};
    if (t == 32) return SPixelPair{kPath32, kKey32};
    return SPixelPair{kPath16, targetType == Draw::kPixel565 ? kKey565 : kKey555};
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
