// Polygon kBltCopy and kBltCopyKey: every covered pixel takes its source pixel converted to the destination's
// type; the colour-keyed form leaves the pixels whose source equals the key.

#include "sdk/draw/kernels/blt_copy_rules.h"
#include "sdk/draw/kernels/polygon_table.h"

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

template <class D, class S> inline constexpr PolygonKernel kPolyCopyOf = kPolygonKernelOf<CopyRule<D, S>>;
template <class T> inline constexpr PolygonKernel kPolyRawCopyOf = kPolygonKernelOf<RawCopyRule<T>>;

// Kernels of the copy, named by their first pair; the shared ones serve pairs of one byte layout.
constexpr PolygonKernel PolyBltCopy_565_A565 = kPolyCopyOf<Pixel565, PixelA565>;
constexpr PolygonKernel PolyBltCopy_555_A555 = kPolyCopyOf<Pixel555, PixelA555>;
constexpr PolygonKernel PolyBltCopy_RGB888_ARGB8888 = kPolyCopyOf<PixelRGB888, PixelARGB8888>;
constexpr PolygonKernel PolyBltCopy_BGR888_ABGR8888 = kPolyCopyOf<PixelBGR888, PixelABGR8888>;
constexpr PolygonKernel PolyBltCopy_XRGB8888_ARGB8888 = kPolyCopyOf<PixelXRGB8888, PixelARGB8888>;
constexpr PolygonKernel PolyBltCopy_XBGR8888_ABGR8888 = kPolyCopyOf<PixelXBGR8888, PixelABGR8888>;
constexpr PolygonKernel PolyBltCopy_A16_16 = kPolygonKernelOf<OpaqueToAlpha16Rule<PixelA565, Pixel565>>;
constexpr PolygonKernel PolyBltCopy_ARGB8888_RGB888 = kPolyCopyOf<PixelARGB8888, PixelRGB888>;
constexpr PolygonKernel PolyBltCopy_ARGB8888_BGR888 = kPolyCopyOf<PixelARGB8888, PixelBGR888>;
constexpr PolygonKernel PolyBltCopy_ARGB8888_XRGB8888 = kPolyCopyOf<PixelARGB8888, PixelXRGB8888>;
constexpr PolygonKernel PolyBltCopy_ARGB8888_XBGR8888 = kPolyCopyOf<PixelARGB8888, PixelXBGR8888>;
constexpr PolygonKernel PolyBltCopy_ABGR8888_RGB888 = kPolyCopyOf<PixelABGR8888, PixelRGB888>;
constexpr PolygonKernel PolyBltCopy_ABGR8888_BGR888 = kPolyCopyOf<PixelABGR8888, PixelBGR888>;
constexpr PolygonKernel PolyBltCopy_ABGR8888_XRGB8888 = kPolyCopyOf<PixelABGR8888, PixelXRGB8888>;
constexpr PolygonKernel PolyBltCopy_ABGR8888_XBGR8888 = kPolyCopyOf<PixelABGR8888, PixelXBGR8888>;
constexpr PolygonKernel PolyBltCopy_Same16 = kPolyRawCopyOf<Pixel565>;
constexpr PolygonKernel PolyBltCopy_RGB888_RGB888 = kPolyRawCopyOf<PixelRGB888>;
constexpr PolygonKernel PolyBltCopy_BGR888_BGR888 = kPolyRawCopyOf<PixelBGR888>;
constexpr PolygonKernel PolyBltCopy_SameA16 = kPolyRawCopyOf<PixelA565>;
constexpr PolygonKernel PolyBltCopy_Same32 = kPolyRawCopyOf<PixelXRGB8888>;

// The colour-keyed kernels: the copy rule of the pair behind the key test of the source type.
template <class Rule> inline constexpr PolygonKernel kKeyedOf = kPolygonKernelOf<Keyed<Rule>>;

constexpr PolygonKernel PolyBltCopyKey_565_A565 = kKeyedOf<CopyRule<Pixel565, PixelA565>>;
constexpr PolygonKernel PolyBltCopyKey_555_A555 = kKeyedOf<CopyRule<Pixel555, PixelA555>>;
constexpr PolygonKernel PolyBltCopyKey_RGB888_ARGB8888 = kKeyedOf<CopyRule<PixelRGB888, PixelARGB8888>>;
constexpr PolygonKernel PolyBltCopyKey_BGR888_ABGR8888 = kKeyedOf<CopyRule<PixelBGR888, PixelABGR8888>>;
constexpr PolygonKernel PolyBltCopyKey_XRGB8888_ARGB8888 = kKeyedOf<CopyRule<PixelXRGB8888, PixelARGB8888>>;
constexpr PolygonKernel PolyBltCopyKey_XBGR8888_ABGR8888 = kKeyedOf<CopyRule<PixelXBGR8888, PixelABGR8888>>;
constexpr PolygonKernel PolyBltCopyKey_A16_16 = kKeyedOf<OpaqueToAlpha16Rule<PixelA565, Pixel565>>;
constexpr PolygonKernel PolyBltCopyKey_ARGB8888_RGB888 = kKeyedOf<CopyRule<PixelARGB8888, PixelRGB888>>;
constexpr PolygonKernel PolyBltCopyKey_ARGB8888_BGR888 = kKeyedOf<CopyRule<PixelARGB8888, PixelBGR888>>;
constexpr PolygonKernel PolyBltCopyKey_ARGB8888_XRGB8888 = kKeyedOf<CopyRule<PixelARGB8888, PixelXRGB8888>>;
constexpr PolygonKernel PolyBltCopyKey_ARGB8888_XBGR8888 = kKeyedOf<CopyRule<PixelARGB8888, PixelXBGR8888>>;
constexpr PolygonKernel PolyBltCopyKey_ABGR8888_RGB888 = kKeyedOf<CopyRule<PixelABGR8888, PixelRGB888>>;
constexpr PolygonKernel PolyBltCopyKey_ABGR8888_BGR888 = kKeyedOf<CopyRule<PixelABGR8888, PixelBGR888>>;
constexpr PolygonKernel PolyBltCopyKey_ABGR8888_XRGB8888 = kKeyedOf<CopyRule<PixelABGR8888, PixelXRGB8888>>;
constexpr PolygonKernel PolyBltCopyKey_ABGR8888_XBGR8888 = kKeyedOf<CopyRule<PixelABGR8888, PixelXBGR8888>>;
constexpr PolygonKernel PolyBltCopyKey_Same16 = kKeyedOf<RawCopyRule<Pixel565>>;
constexpr PolygonKernel PolyBltCopyKey_RGB888_RGB888 = kKeyedOf<RawCopyRule<PixelRGB888>>;
constexpr PolygonKernel PolyBltCopyKey_BGR888_BGR888 = kKeyedOf<RawCopyRule<PixelBGR888>>;
constexpr PolygonKernel PolyBltCopyKey_Same32 = kKeyedOf<RawCopyRule<PixelXRGB8888>>;
constexpr PolygonKernel PolyBltCopyKey_SameA16 = kKeyedOf<RawCopyRule<PixelA565>>;
constexpr PolygonKernel PolyBltCopyKey_SameA32 = kKeyedOf<RawCopyRule<PixelARGB8888>>;

} // namespace

constinit const SPolygonOpTable kPolygonCopyTable = MakePolygonOpTable({
    {kPixel565, kPixelA565, PolyBltCopy_565_A565},
    {kPixel555, kPixelA555, PolyBltCopy_555_A555},
    {kPixelRGB888, kPixelARGB8888, PolyBltCopy_RGB888_ARGB8888},
    {kPixelBGR888, kPixelABGR8888, PolyBltCopy_BGR888_ABGR8888},
    {kPixelXRGB8888, kPixelARGB8888, PolyBltCopy_XRGB8888_ARGB8888},
    {kPixelXBGR8888, kPixelABGR8888, PolyBltCopy_XBGR8888_ABGR8888},
    {kPixelA565, kPixel565, PolyBltCopy_A16_16},
    {kPixelA555, kPixel555, PolyBltCopy_A16_16},
    {kPixelARGB8888, kPixelRGB888, PolyBltCopy_ARGB8888_RGB888},
    {kPixelARGB8888, kPixelBGR888, PolyBltCopy_ARGB8888_BGR888},
    {kPixelARGB8888, kPixelXRGB8888, PolyBltCopy_ARGB8888_XRGB8888},
    {kPixelARGB8888, kPixelXBGR8888, PolyBltCopy_ARGB8888_XBGR8888},
    {kPixelABGR8888, kPixelRGB888, PolyBltCopy_ABGR8888_RGB888},
    {kPixelABGR8888, kPixelBGR888, PolyBltCopy_ABGR8888_BGR888},
    {kPixelABGR8888, kPixelXRGB8888, PolyBltCopy_ABGR8888_XRGB8888},
    {kPixelABGR8888, kPixelXBGR8888, PolyBltCopy_ABGR8888_XBGR8888},
    {kPixel565, kPixel565, PolyBltCopy_Same16},
    {kPixel555, kPixel555, PolyBltCopy_Same16},
    {kPixelRGB888, kPixelRGB888, PolyBltCopy_RGB888_RGB888},
    {kPixelBGR888, kPixelBGR888, PolyBltCopy_BGR888_BGR888},
    {kPixelXRGB8888, kPixelXRGB8888, PolyBltCopy_Same32},
    {kPixelXBGR8888, kPixelXBGR8888, PolyBltCopy_Same32},
    {kPixelA565, kPixelA565, PolyBltCopy_SameA16},
    {kPixelA555, kPixelA555, PolyBltCopy_SameA16},
    {kPixelARGB8888, kPixelARGB8888, PolyBltCopy_Same32},
    {kPixelABGR8888, kPixelABGR8888, PolyBltCopy_Same32},
});

constinit const SPolygonOpTable kPolygonCopyKeyTable = MakePolygonOpTable({
    {kPixel565, kPixelA565, PolyBltCopyKey_565_A565},
    {kPixel555, kPixelA555, PolyBltCopyKey_555_A555},
    {kPixelRGB888, kPixelARGB8888, PolyBltCopyKey_RGB888_ARGB8888},
    {kPixelBGR888, kPixelABGR8888, PolyBltCopyKey_BGR888_ABGR8888},
    {kPixelXRGB8888, kPixelARGB8888, PolyBltCopyKey_XRGB8888_ARGB8888},
    {kPixelXBGR8888, kPixelABGR8888, PolyBltCopyKey_XBGR8888_ABGR8888},
    {kPixelA565, kPixel565, PolyBltCopyKey_A16_16},
    {kPixelA555, kPixel555, PolyBltCopyKey_A16_16},
    {kPixelARGB8888, kPixelRGB888, PolyBltCopyKey_ARGB8888_RGB888},
    {kPixelARGB8888, kPixelBGR888, PolyBltCopyKey_ARGB8888_BGR888},
    {kPixelARGB8888, kPixelXRGB8888, PolyBltCopyKey_ARGB8888_XRGB8888},
    {kPixelARGB8888, kPixelXBGR8888, PolyBltCopyKey_ARGB8888_XBGR8888},
    {kPixelABGR8888, kPixelRGB888, PolyBltCopyKey_ABGR8888_RGB888},
    {kPixelABGR8888, kPixelBGR888, PolyBltCopyKey_ABGR8888_BGR888},
    {kPixelABGR8888, kPixelXRGB8888, PolyBltCopyKey_ABGR8888_XRGB8888},
    {kPixelABGR8888, kPixelXBGR8888, PolyBltCopyKey_ABGR8888_XBGR8888},
    {kPixel565, kPixel565, PolyBltCopyKey_Same16},
    {kPixel555, kPixel555, PolyBltCopyKey_Same16},
    {kPixelRGB888, kPixelRGB888, PolyBltCopyKey_RGB888_RGB888},
    {kPixelBGR888, kPixelBGR888, PolyBltCopyKey_BGR888_BGR888},
    {kPixelXRGB8888, kPixelXRGB8888, PolyBltCopyKey_Same32},
    {kPixelXBGR8888, kPixelXBGR8888, PolyBltCopyKey_Same32},
    {kPixelA565, kPixelA565, PolyBltCopyKey_SameA16},
    {kPixelA555, kPixelA555, PolyBltCopyKey_SameA16},
    {kPixelARGB8888, kPixelARGB8888, PolyBltCopyKey_SameA32},
    {kPixelABGR8888, kPixelABGR8888, PolyBltCopyKey_SameA32},
});

const SPolygonOpTable* GetPolygonOpTable(std::int32_t op)
{
    switch (op) {
    case kBltCopy:
        return &kPolygonCopyTable;
    case kBltCopyKey:
        return &kPolygonCopyKeyTable;
    case kBltAlpha:
        return &kPolygonAlphaTable;
    default:
        return nullptr;
    }
}

} // namespace zelvoranGameSDK3rd::Draw
