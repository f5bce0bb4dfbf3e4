// Operation 0: copy with conversion between pixel types, 1:1 or stretched to the nearest source pixel.

#include "sdk/draw/kernels/blt_copy_rules.h"
#include "sdk/draw/kernels/blt_table.h"

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

// Kernels of the copy operation, named by their first pair; several serve more than one pair.
constexpr BltKernel BltCopy_565_565 = kRawCopyOf<Pixel565>;
constexpr BltKernel BltCopy_555_565 = kCopyOf<Pixel555, Pixel565>;
constexpr BltKernel BltCopy_RGB888_565 = kCopyOf<PixelRGB888, Pixel565>;
constexpr BltKernel BltCopy_BGR888_565 = kCopyOf<PixelBGR888, Pixel565>;
constexpr BltKernel BltCopy_XRGB8888_565 = kCopyOf<PixelXRGB8888, Pixel565>;
constexpr BltKernel BltCopy_XBGR8888_565 = kCopyOf<PixelXBGR8888, Pixel565>;
constexpr BltKernel BltCopy_A565_565 = kKernelOf<OpaqueToAlpha16Rule<PixelA565, Pixel565>>;
constexpr BltKernel BltCopy_P8_555 = kKernelOf<PaletteIndexRule>;
constexpr BltKernel BltCopy_565_555 = kCopyOf<Pixel565, Pixel555>;
constexpr BltKernel BltCopy_RGB888_555 = kCopyOf<PixelRGB888, Pixel555>;
constexpr BltKernel BltCopy_BGR888_555 = kCopyOf<PixelBGR888, Pixel555>;
constexpr BltKernel BltCopy_XRGB8888_555 = kCopyOf<PixelXRGB8888, Pixel555>;
constexpr BltKernel BltCopy_XBGR8888_555 = kCopyOf<PixelXBGR8888, Pixel555>;
constexpr BltKernel BltCopy_565_RGB888 = kCopyOf<Pixel565, PixelRGB888>;
constexpr BltKernel BltCopy_555_RGB888 = kCopyOf<Pixel555, PixelRGB888>;
constexpr BltKernel BltCopy_RGB888_RGB888 = kRawCopyOf<PixelRGB888>;
constexpr BltKernel BltCopy_BGR888_RGB888 = kCopyOf<PixelBGR888, PixelRGB888>;
constexpr BltKernel BltCopy_XRGB8888_RGB888 = kCopyOf<PixelXRGB8888, PixelRGB888>;
constexpr BltKernel BltCopy_XBGR8888_RGB888 = kCopyOf<PixelXBGR8888, PixelRGB888>;
constexpr BltKernel BltCopy_ARGB8888_RGB888 = kCopyOf<PixelARGB8888, PixelRGB888>;
constexpr BltKernel BltCopy_565_BGR888 = kCopyOf<Pixel565, PixelBGR888>;
constexpr BltKernel BltCopy_555_BGR888 = kCopyOf<Pixel555, PixelBGR888>;
constexpr BltKernel BltCopy_RGB888_BGR888 = kCopyOf<PixelRGB888, PixelBGR888>;
constexpr BltKernel BltCopy_BGR888_BGR888 = kRawCopyOf<PixelBGR888>;
constexpr BltKernel BltCopy_XRGB8888_BGR888 = kCopyOf<PixelXRGB8888, PixelBGR888>;
constexpr BltKernel BltCopy_XBGR8888_BGR888 = kCopyOf<PixelXBGR8888, PixelBGR888>;
constexpr BltKernel BltCopy_ARGB8888_BGR888 = kCopyOf<PixelARGB8888, PixelBGR888>;
constexpr BltKernel BltCopy_ABGR8888_BGR888 = kCopyOf<PixelABGR8888, PixelBGR888>;
constexpr BltKernel BltCopy_565_XRGB8888 = kCopyOf<Pixel565, PixelXRGB8888>;
constexpr BltKernel BltCopy_555_XRGB8888 = kCopyOf<Pixel555, PixelXRGB8888>;
constexpr BltKernel BltCopy_RGB888_XRGB8888 = kCopyOf<PixelRGB888, PixelXRGB8888>;
constexpr BltKernel BltCopy_BGR888_XRGB8888 = kCopyOf<PixelBGR888, PixelXRGB8888>;
constexpr BltKernel BltCopy_XRGB8888_XRGB8888 = kRawCopyOf<PixelXRGB8888>;
constexpr BltKernel BltCopy_XBGR8888_XRGB8888 = kCopyOf<PixelXBGR8888, PixelXRGB8888>;
constexpr BltKernel BltCopy_ARGB8888_XRGB8888 = kCopyOf<PixelARGB8888, PixelXRGB8888>;
constexpr BltKernel BltCopy_565_XBGR8888 = kCopyOf<Pixel565, PixelXBGR8888>;
constexpr BltKernel BltCopy_555_XBGR8888 = kCopyOf<Pixel555, PixelXBGR8888>;
constexpr BltKernel BltCopy_RGB888_XBGR8888 = kCopyOf<PixelRGB888, PixelXBGR8888>;
constexpr BltKernel BltCopy_BGR888_XBGR8888 = kCopyOf<PixelBGR888, PixelXBGR8888>;
constexpr BltKernel BltCopy_XRGB8888_XBGR8888 = kCopyOf<PixelXRGB8888, PixelXBGR8888>;
constexpr BltKernel BltCopy_ARGB8888_XBGR8888 = kCopyOf<PixelARGB8888, PixelXBGR8888>;
constexpr BltKernel BltCopy_ABGR8888_XBGR8888 = kCopyOf<PixelABGR8888, PixelXBGR8888>;
constexpr BltKernel BltCopy_565_A565 = kCopyOf<Pixel565, PixelA565>;
constexpr BltKernel BltCopy_555_A565 = kCopyOf<Pixel555, PixelA565>;
constexpr BltKernel BltCopy_RGB888_A565 = kCopyOf<PixelRGB888, PixelA565>;
constexpr BltKernel BltCopy_BGR888_A565 = kCopyOf<PixelBGR888, PixelA565>;
constexpr BltKernel BltCopy_XRGB8888_A565 = kCopyOf<PixelXRGB8888, PixelA565>;
constexpr BltKernel BltCopy_XBGR8888_A565 = kCopyOf<PixelXBGR8888, PixelA565>;
constexpr BltKernel BltCopy_A565_A565 = kRawCopyOf<PixelA565>;
constexpr BltKernel BltCopy_A555_A565 = kCopyOf<PixelA555, PixelA565>;
constexpr BltKernel BltCopy_ARGB8888_A565 = kCopyOf<PixelARGB8888, PixelA565>;
constexpr BltKernel BltCopy_ABGR8888_A565 = kCopyOf<PixelABGR8888, PixelA565>;
constexpr BltKernel BltCopy_565_A555 = kCopyOf<Pixel565, PixelA555>;
constexpr BltKernel BltCopy_555_A555 = kCopyOf<Pixel555, PixelA555>;
constexpr BltKernel BltCopy_RGB888_A555 = kCopyOf<PixelRGB888, PixelA555>;
constexpr BltKernel BltCopy_BGR888_A555 = kCopyOf<PixelBGR888, PixelA555>;
constexpr BltKernel BltCopy_XRGB8888_A555 = kCopyOf<PixelXRGB8888, PixelA555>;
constexpr BltKernel BltCopy_XBGR8888_A555 = kCopyOf<PixelXBGR8888, PixelA555>;
constexpr BltKernel BltCopy_A565_A555 = kCopyOf<PixelA565, PixelA555>;
constexpr BltKernel BltCopy_ARGB8888_A555 = kCopyOf<PixelARGB8888, PixelA555>;
constexpr BltKernel BltCopy_ABGR8888_A555 = kCopyOf<PixelABGR8888, PixelA555>;
constexpr BltKernel BltCopy_XRGB8888_ARGB8888 = kCopyOf<PixelXRGB8888, PixelARGB8888>;
constexpr BltKernel BltCopy_A565_ARGB8888 = kCopyOf<PixelA565, PixelARGB8888>;
constexpr BltKernel BltCopy_A555_ARGB8888 = kCopyOf<PixelA555, PixelARGB8888>;
constexpr BltKernel BltCopy_ABGR8888_ARGB8888 = kCopyOf<PixelABGR8888, PixelARGB8888>;
constexpr BltKernel BltCopy_XBGR8888_ABGR8888 = kCopyOf<PixelXBGR8888, PixelABGR8888>;
constexpr BltKernel BltCopy_A565_ABGR8888 = kCopyOf<PixelA565, PixelABGR8888>;
constexpr BltKernel BltCopy_A555_ABGR8888 = kCopyOf<PixelA555, PixelABGR8888>;
constexpr BltKernel BltCopy_ARGB8888_ABGR8888 = kCopyOf<PixelARGB8888, PixelABGR8888>;

} // namespace

constinit const SBltOpTable kBltOpCopy =
    MakeBltOpTable(EBltUnserved::kSourceNoPixelsZero, EBltParam::kNone, false,
                   {
                       {kPixel565, kPixel565, BltCopy_565_565},
                       {kPixel555, kPixel555, BltCopy_565_565},
                       {kPixel555, kPixel565, BltCopy_555_565},
                       {kPixelRGB888, kPixel565, BltCopy_RGB888_565},
                       {kPixelBGR888, kPixel565, BltCopy_BGR888_565},
                       {kPixelXRGB8888, kPixel565, BltCopy_XRGB8888_565},
                       {kPixelXBGR8888, kPixel565, BltCopy_XBGR8888_565},
                       {kPixelA565, kPixel565, BltCopy_A565_565},
                       {kPixelA555, kPixel555, BltCopy_A565_565},
                       {kPixelP8, kPixel555, BltCopy_P8_555},
                       {kPixel565, kPixel555, BltCopy_565_555},
                       {kPixelRGB888, kPixel555, BltCopy_RGB888_555},
                       {kPixelBGR888, kPixel555, BltCopy_BGR888_555},
                       {kPixelXRGB8888, kPixel555, BltCopy_XRGB8888_555},
                       {kPixelXBGR8888, kPixel555, BltCopy_XBGR8888_555},
                       {kPixel565, kPixelRGB888, BltCopy_565_RGB888},
                       {kPixel555, kPixelRGB888, BltCopy_555_RGB888},
                       {kPixelRGB888, kPixelRGB888, BltCopy_RGB888_RGB888},
                       {kPixelBGR888, kPixelRGB888, BltCopy_BGR888_RGB888},
                       {kPixelXRGB8888, kPixelRGB888, BltCopy_XRGB8888_RGB888},
                       {kPixelXBGR8888, kPixelRGB888, BltCopy_XBGR8888_RGB888},
                       {kPixelARGB8888, kPixelRGB888, BltCopy_ARGB8888_RGB888},
                       {kPixel565, kPixelBGR888, BltCopy_565_BGR888},
                       {kPixel555, kPixelBGR888, BltCopy_555_BGR888},
                       {kPixelRGB888, kPixelBGR888, BltCopy_RGB888_BGR888},
                       {kPixelBGR888, kPixelBGR888, BltCopy_BGR888_BGR888},
                       {kPixelXRGB8888, kPixelBGR888, BltCopy_XRGB8888_BGR888},
                       {kPixelXBGR8888, kPixelBGR888, BltCopy_XBGR8888_BGR888},
                       {kPixelARGB8888, kPixelBGR888, BltCopy_ARGB8888_BGR888},
                       {kPixelABGR8888, kPixelBGR888, BltCopy_ABGR8888_BGR888},
                       {kPixel565, kPixelXRGB8888, BltCopy_565_XRGB8888},
                       {kPixel565, kPixelARGB8888, BltCopy_565_XRGB8888},
                       {kPixel555, kPixelXRGB8888, BltCopy_555_XRGB8888},
                       {kPixel555, kPixelARGB8888, BltCopy_555_XRGB8888},
                       {kPixelRGB888, kPixelXRGB8888, BltCopy_RGB888_XRGB8888},
                       {kPixelRGB888, kPixelARGB8888, BltCopy_RGB888_XRGB8888},
                       {kPixelBGR888, kPixelXRGB8888, BltCopy_BGR888_XRGB8888},
                       {kPixelBGR888, kPixelARGB8888, BltCopy_BGR888_XRGB8888},
                       {kPixelXRGB8888, kPixelXRGB8888, BltCopy_XRGB8888_XRGB8888},
                       {kPixelXBGR8888, kPixelXBGR8888, BltCopy_XRGB8888_XRGB8888},
                       {kPixelARGB8888, kPixelARGB8888, BltCopy_XRGB8888_XRGB8888},
                       {kPixelABGR8888, kPixelABGR8888, BltCopy_XRGB8888_XRGB8888},
                       {kPixelXBGR8888, kPixelXRGB8888, BltCopy_XBGR8888_XRGB8888},
                       {kPixelXBGR8888, kPixelARGB8888, BltCopy_XBGR8888_XRGB8888},
                       {kPixelARGB8888, kPixelXRGB8888, BltCopy_ARGB8888_XRGB8888},
                       {kPixel565, kPixelXBGR8888, BltCopy_565_XBGR8888},
                       {kPixel565, kPixelABGR8888, BltCopy_565_XBGR8888},
                       {kPixel555, kPixelXBGR8888, BltCopy_555_XBGR8888},
                       {kPixel555, kPixelABGR8888, BltCopy_555_XBGR8888},
                       {kPixelRGB888, kPixelXBGR8888, BltCopy_RGB888_XBGR8888},
                       {kPixelRGB888, kPixelABGR8888, BltCopy_RGB888_XBGR8888},
                       {kPixelBGR888, kPixelXBGR8888, BltCopy_BGR888_XBGR8888},
                       {kPixelBGR888, kPixelABGR8888, BltCopy_BGR888_XBGR8888},
                       {kPixelXRGB8888, kPixelXBGR8888, BltCopy_XRGB8888_XBGR8888},
                       {kPixelXRGB8888, kPixelABGR8888, BltCopy_XRGB8888_XBGR8888},
                       {kPixelARGB8888, kPixelXBGR8888, BltCopy_ARGB8888_XBGR8888},
                       {kPixelABGR8888, kPixelXBGR8888, BltCopy_ABGR8888_XBGR8888},
                       {kPixel565, kPixelA565, BltCopy_565_A565},
                       {kPixel555, kPixelA565, BltCopy_555_A565},
                       {kPixelRGB888, kPixelA565, BltCopy_RGB888_A565},
                       {kPixelBGR888, kPixelA565, BltCopy_BGR888_A565},
                       {kPixelXRGB8888, kPixelA565, BltCopy_XRGB8888_A565},
                       {kPixelXBGR8888, kPixelA565, BltCopy_XBGR8888_A565},
                       {kPixelA565, kPixelA565, BltCopy_A565_A565},
                       {kPixelA555, kPixelA555, BltCopy_A565_A565},
                       {kPixelA555, kPixelA565, BltCopy_A555_A565},
                       {kPixelARGB8888, kPixelA565, BltCopy_ARGB8888_A565},
                       {kPixelABGR8888, kPixelA565, BltCopy_ABGR8888_A565},
                       {kPixel565, kPixelA555, BltCopy_565_A555},
                       {kPixel555, kPixelA555, BltCopy_555_A555},
                       {kPixelRGB888, kPixelA555, BltCopy_RGB888_A555},
                       {kPixelBGR888, kPixelA555, BltCopy_BGR888_A555},
                       {kPixelXRGB8888, kPixelA555, BltCopy_XRGB8888_A555},
                       {kPixelXBGR8888, kPixelA555, BltCopy_XBGR8888_A555},
                       {kPixelA565, kPixelA555, BltCopy_A565_A555},
                       {kPixelARGB8888, kPixelA555, BltCopy_ARGB8888_A555},
                       {kPixelABGR8888, kPixelA555, BltCopy_ABGR8888_A555},
                       {kPixelXRGB8888, kPixelARGB8888, BltCopy_XRGB8888_ARGB8888},
                       {kPixelA565, kPixelARGB8888, BltCopy_A565_ARGB8888},
                       {kPixelA555, kPixelARGB8888, BltCopy_A555_ARGB8888},
                       {kPixelABGR8888, kPixelARGB8888, BltCopy_ABGR8888_ARGB8888},
                       {kPixelXBGR8888, kPixelABGR8888, BltCopy_XBGR8888_ABGR8888},
                       {kPixelA565, kPixelABGR8888, BltCopy_A565_ABGR8888},
                       {kPixelA555, kPixelABGR8888, BltCopy_A555_ABGR8888},
                       {kPixelARGB8888, kPixelABGR8888, BltCopy_ARGB8888_ABGR8888},
                   });

} // namespace zelvoranGameSDK3rd::Draw
