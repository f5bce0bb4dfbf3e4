// kBltCopy: copy with conversion between pixel types, 1:1 or stretched to the nearest source pixel.

#include "sdk/draw/kernels/blt_copy_rules.h"
#include "sdk/draw/kernels/blt_table.h"

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

// Kernels of the copy operation that serve more than one pair, named by their first pair.
constexpr BltKernel BltCopy_565_565 = kRawCopyOf<Pixel565>;
constexpr BltKernel BltCopy_A565_565 = kKernelOf<OpaqueToAlpha16Rule<PixelA565, Pixel565>>;
constexpr BltKernel BltCopy_565_XRGB8888 = kCopyOf<Pixel565, PixelXRGB8888>;
constexpr BltKernel BltCopy_555_XRGB8888 = kCopyOf<Pixel555, PixelXRGB8888>;
constexpr BltKernel BltCopy_RGB888_XRGB8888 = kCopyOf<PixelRGB888, PixelXRGB8888>;
constexpr BltKernel BltCopy_BGR888_XRGB8888 = kCopyOf<PixelBGR888, PixelXRGB8888>;
constexpr BltKernel BltCopy_XRGB8888_XRGB8888 = kRawCopyOf<PixelXRGB8888>;
constexpr BltKernel BltCopy_XBGR8888_XRGB8888 = kCopyOf<PixelXBGR8888, PixelXRGB8888>;
constexpr BltKernel BltCopy_565_XBGR8888 = kCopyOf<Pixel565, PixelXBGR8888>;
constexpr BltKernel BltCopy_555_XBGR8888 = kCopyOf<Pixel555, PixelXBGR8888>;
constexpr BltKernel BltCopy_RGB888_XBGR8888 = kCopyOf<PixelRGB888, PixelXBGR8888>;
constexpr BltKernel BltCopy_BGR888_XBGR8888 = kCopyOf<PixelBGR888, PixelXBGR8888>;
constexpr BltKernel BltCopy_XRGB8888_XBGR8888 = kCopyOf<PixelXRGB8888, PixelXBGR8888>;
constexpr BltKernel BltCopy_A565_A565 = kRawCopyOf<PixelA565>;

} // namespace

constinit const SBltOpTable kBltOpCopy =
    MakeBltOpTable(EBltUnserved::kSourceNoPixelsZero, EBltParam::kNone, false,
                   {
                       {kPixel565, kPixel565, BltCopy_565_565},
                       {kPixel555, kPixel555, BltCopy_565_565},
                       {kPixel555, kPixel565, kCopyOf<Pixel555, Pixel565>},
                       {kPixelRGB888, kPixel565, kCopyOf<PixelRGB888, Pixel565>},
                       {kPixelBGR888, kPixel565, kCopyOf<PixelBGR888, Pixel565>},
                       {kPixelXRGB8888, kPixel565, kCopyOf<PixelXRGB8888, Pixel565>},
                       {kPixelXBGR8888, kPixel565, kCopyOf<PixelXBGR8888, Pixel565>},
                       {kPixelA565, kPixel565, BltCopy_A565_565},
                       {kPixelA555, kPixel555, BltCopy_A565_565},
                       {kPixelP8, kPixel555, kKernelOf<PaletteIndexRule>},
                       {kPixel565, kPixel555, kCopyOf<Pixel565, Pixel555>},
                       {kPixelRGB888, kPixel555, kCopyOf<PixelRGB888, Pixel555>},
                       {kPixelBGR888, kPixel555, kCopyOf<PixelBGR888, Pixel555>},
                       {kPixelXRGB8888, kPixel555, kCopyOf<PixelXRGB8888, Pixel555>},
                       {kPixelXBGR8888, kPixel555, kCopyOf<PixelXBGR8888, Pixel555>},
                       {kPixel565, kPixelRGB888, kCopyOf<Pixel565, PixelRGB888>},
                       {kPixel555, kPixelRGB888, kCopyOf<Pixel555, PixelRGB888>},
                       {kPixelRGB888, kPixelRGB888, kRawCopyOf<PixelRGB888>},
                       {kPixelBGR888, kPixelRGB888, kCopyOf<PixelBGR888, PixelRGB888>},
                       {kPixelXRGB8888, kPixelRGB888, kCopyOf<PixelXRGB8888, PixelRGB888>},
                       {kPixelXBGR8888, kPixelRGB888, kCopyOf<PixelXBGR8888, PixelRGB888>},
                       {kPixelARGB8888, kPixelRGB888, kCopyOf<PixelARGB8888, PixelRGB888>},
                       {kPixel565, kPixelBGR888, kCopyOf<Pixel565, PixelBGR888>},
                       {kPixel555, kPixelBGR888, kCopyOf<Pixel555, PixelBGR888>},
                       {kPixelRGB888, kPixelBGR888, kCopyOf<PixelRGB888, PixelBGR888>},
                       {kPixelBGR888, kPixelBGR888, kRawCopyOf<PixelBGR888>},
                       {kPixelXRGB8888, kPixelBGR888, kCopyOf<PixelXRGB8888, PixelBGR888>},
                       {kPixelXBGR8888, kPixelBGR888, kCopyOf<PixelXBGR8888, PixelBGR888>},
                       {kPixelARGB8888, kPixelBGR888, kCopyOf<PixelARGB8888, PixelBGR888>},
                       {kPixelABGR8888, kPixelBGR888, kCopyOf<PixelABGR8888, PixelBGR888>},
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
                       {kPixelARGB8888, kPixelXRGB8888, kCopyOf<PixelARGB8888, PixelXRGB8888>},
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
                       {kPixelARGB8888, kPixelXBGR8888, kCopyOf<PixelARGB8888, PixelXBGR8888>},
                       {kPixelABGR8888, kPixelXBGR8888, kCopyOf<PixelABGR8888, PixelXBGR8888>},
                       {kPixel565, kPixelA565, kCopyOf<Pixel565, PixelA565>},
                       {kPixel555, kPixelA565, kCopyOf<Pixel555, PixelA565>},
                       {kPixelRGB888, kPixelA565, kCopyOf<PixelRGB888, PixelA565>},
                       {kPixelBGR888, kPixelA565, kCopyOf<PixelBGR888, PixelA565>},
                       {kPixelXRGB8888, kPixelA565, kCopyOf<PixelXRGB8888, PixelA565>},
                       {kPixelXBGR8888, kPixelA565, kCopyOf<PixelXBGR8888, PixelA565>},
                       {kPixelA565, kPixelA565, BltCopy_A565_A565},
                       {kPixelA555, kPixelA555, BltCopy_A565_A565},
                       {kPixelA555, kPixelA565, kCopyOf<PixelA555, PixelA565>},
                       {kPixelARGB8888, kPixelA565, kCopyOf<PixelARGB8888, PixelA565>},
                       {kPixelABGR8888, kPixelA565, kCopyOf<PixelABGR8888, PixelA565>},
                       {kPixel565, kPixelA555, kCopyOf<Pixel565, PixelA555>},
                       {kPixel555, kPixelA555, kCopyOf<Pixel555, PixelA555>},
                       {kPixelRGB888, kPixelA555, kCopyOf<PixelRGB888, PixelA555>},
                       {kPixelBGR888, kPixelA555, kCopyOf<PixelBGR888, PixelA555>},
                       {kPixelXRGB8888, kPixelA555, kCopyOf<PixelXRGB8888, PixelA555>},
                       {kPixelXBGR8888, kPixelA555, kCopyOf<PixelXBGR8888, PixelA555>},
                       {kPixelA565, kPixelA555, kCopyOf<PixelA565, PixelA555>},
                       {kPixelARGB8888, kPixelA555, kCopyOf<PixelARGB8888, PixelA555>},
                       {kPixelABGR8888, kPixelA555, kCopyOf<PixelABGR8888, PixelA555>},
                       {kPixelXRGB8888, kPixelARGB8888, kCopyOf<PixelXRGB8888, PixelARGB8888>},
                       {kPixelA565, kPixelARGB8888, kCopyOf<PixelA565, PixelARGB8888>},
                       {kPixelA555, kPixelARGB8888, kCopyOf<PixelA555, PixelARGB8888>},
                       {kPixelABGR8888, kPixelARGB8888, kCopyOf<PixelABGR8888, PixelARGB8888>},
                       {kPixelXBGR8888, kPixelABGR8888, kCopyOf<PixelXBGR8888, PixelABGR8888>},
                       {kPixelA565, kPixelABGR8888, kCopyOf<PixelA565, PixelABGR8888>},
                       {kPixelA555, kPixelABGR8888, kCopyOf<PixelA555, PixelABGR8888>},
                       {kPixelARGB8888, kPixelABGR8888, kCopyOf<PixelARGB8888, PixelABGR8888>},
                   });

} // namespace zelvoranGameSDK3rd::Draw
