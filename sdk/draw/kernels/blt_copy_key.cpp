// kBltCopyKey: colour-keyed copy. Source pixels equal to the prepared key leave the destination alone;
// every other pixel is copied as kBltCopy would copy it for the pair.

#include "sdk/draw/kernels/blt_copy_rules.h"
#include "sdk/draw/kernels/blt_table.h"

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

// Kernels of the colour-keyed copy, named by their first pair.
constexpr BltKernel BltCopyKey_565_565 = kKeyedRawCopyOf<Pixel565>;
constexpr BltKernel BltCopyKey_565_A565 = kKeyedCopyOf<Pixel565, PixelA565>;
constexpr BltKernel BltCopyKey_555_A555 = kKeyedCopyOf<Pixel555, PixelA555>;
constexpr BltKernel BltCopyKey_RGB888_RGB888 = kKeyedRawCopyOf<PixelRGB888>;
constexpr BltKernel BltCopyKey_BGR888_BGR888 = kKeyedRawCopyOf<PixelBGR888>;
constexpr BltKernel BltCopyKey_RGB888_ARGB8888 = kKeyedCopyOf<PixelRGB888, PixelARGB8888>;
constexpr BltKernel BltCopyKey_BGR888_ABGR8888 = kKeyedCopyOf<PixelBGR888, PixelABGR8888>;
constexpr BltKernel BltCopyKey_XRGB8888_XRGB8888 = kKeyedRawCopyOf<PixelXRGB8888>;
constexpr BltKernel BltCopyKey_XRGB8888_ARGB8888 = kKeyedCopyOf<PixelXRGB8888, PixelARGB8888>;
constexpr BltKernel BltCopyKey_XBGR8888_ABGR8888 = kKeyedCopyOf<PixelXBGR8888, PixelABGR8888>;
constexpr BltKernel BltCopyKey_A565_565 = kKernelOf<Keyed<OpaqueToAlpha16Rule<PixelA565, Pixel565>>>;
constexpr BltKernel BltCopyKey_A565_A565 = kKeyedRawCopyOf<PixelA565>;
constexpr BltKernel BltCopyKey_ARGB8888_RGB888 = kKeyedCopyOf<PixelARGB8888, PixelRGB888>;
constexpr BltKernel BltCopyKey_ARGB8888_BGR888 = kKeyedCopyOf<PixelARGB8888, PixelBGR888>;
constexpr BltKernel BltCopyKey_ARGB8888_XRGB8888 = kKeyedCopyOf<PixelARGB8888, PixelXRGB8888>;
constexpr BltKernel BltCopyKey_ARGB8888_XBGR8888 = kKeyedCopyOf<PixelARGB8888, PixelXBGR8888>;
constexpr BltKernel BltCopyKey_ARGB8888_ARGB8888 = kKeyedRawCopyOf<PixelARGB8888>;
constexpr BltKernel BltCopyKey_ABGR8888_RGB888 = kKeyedCopyOf<PixelABGR8888, PixelRGB888>;
constexpr BltKernel BltCopyKey_ABGR8888_BGR888 = kKeyedCopyOf<PixelABGR8888, PixelBGR888>;
constexpr BltKernel BltCopyKey_ABGR8888_XRGB8888 = kKeyedCopyOf<PixelABGR8888, PixelXRGB8888>;
constexpr BltKernel BltCopyKey_ABGR8888_XBGR8888 = kKeyedCopyOf<PixelABGR8888, PixelXBGR8888>;

} // namespace

constinit const SBltOpTable kBltOpCopyKey =
    MakeBltOpTable(EBltUnserved::kSameTypeZero, EBltParam::kNone, true,
                   {
                       {kPixel565, kPixel565, BltCopyKey_565_565},
                       {kPixel555, kPixel555, BltCopyKey_565_565},
                       {kPixel565, kPixelA565, BltCopyKey_565_A565},
                       {kPixel555, kPixelA555, BltCopyKey_555_A555},
                       {kPixelRGB888, kPixelRGB888, BltCopyKey_RGB888_RGB888},
                       {kPixelBGR888, kPixelBGR888, BltCopyKey_BGR888_BGR888},
                       {kPixelRGB888, kPixelARGB8888, BltCopyKey_RGB888_ARGB8888},
                       {kPixelBGR888, kPixelABGR8888, BltCopyKey_BGR888_ABGR8888},
                       {kPixelXRGB8888, kPixelXRGB8888, BltCopyKey_XRGB8888_XRGB8888},
                       {kPixelXBGR8888, kPixelXBGR8888, BltCopyKey_XRGB8888_XRGB8888},
                       {kPixelXRGB8888, kPixelARGB8888, BltCopyKey_XRGB8888_ARGB8888},
                       {kPixelXBGR8888, kPixelABGR8888, BltCopyKey_XBGR8888_ABGR8888},
                       {kPixelA565, kPixel565, BltCopyKey_A565_565},
                       {kPixelA555, kPixel555, BltCopyKey_A565_565},
                       {kPixelA565, kPixelA565, BltCopyKey_A565_A565},
                       {kPixelA555, kPixelA555, BltCopyKey_A565_A565},
                       {kPixelARGB8888, kPixelRGB888, BltCopyKey_ARGB8888_RGB888},
                       {kPixelARGB8888, kPixelBGR888, BltCopyKey_ARGB8888_BGR888},
                       {kPixelARGB8888, kPixelXRGB8888, BltCopyKey_ARGB8888_XRGB8888},
                       {kPixelARGB8888, kPixelXBGR8888, BltCopyKey_ARGB8888_XBGR8888},
                       {kPixelARGB8888, kPixelARGB8888, BltCopyKey_ARGB8888_ARGB8888},
                       {kPixelABGR8888, kPixelABGR8888, BltCopyKey_ARGB8888_ARGB8888},
                       {kPixelABGR8888, kPixelRGB888, BltCopyKey_ABGR8888_RGB888},
                       {kPixelABGR8888, kPixelBGR888, BltCopyKey_ABGR8888_BGR888},
                       {kPixelABGR8888, kPixelXRGB8888, BltCopyKey_ABGR8888_XRGB8888},
                       {kPixelABGR8888, kPixelXBGR8888, BltCopyKey_ABGR8888_XBGR8888},
                   });

} // namespace zelvoranGameSDK3rd::Draw
