#include "sdk/draw/kernels/row_convert.h"

#include "sdk/draw/kernels/kernel_grid.h"

#include "sdk/draw/kernels/blt_copy_rules.h"
#include "sdk/draw/kernels/pixel_types.h"

#include <initializer_list>

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

using RowConverter = void (*)(std::uint8_t* dst, int width, const std::uint8_t* src);

template <class Rule> void ConvertRow(std::uint8_t* dst, int width, const std::uint8_t* src)
{
    using D = typename Rule::Dst;
    using S = typename Rule::Src;
    const Rule rule{SBltParam{}};
    for (int x = 0; x < width; ++x)
        rule.Pixel(dst + x * D::kBytes, S::Load(src + x * S::kBytes));
}

template <class D, class S> constexpr RowConverter kConvert = &ConvertRow<CopyRule<D, S>>;

// Cells: source format, destination pixel type, converter.
using SRowTable = SKernelGrid<RowConverter, kRowFormatCount, kPixelTypeCount>;

constinit const SRowTable kRowTable = MakeKernelGrid<RowConverter, kRowFormatCount, kPixelTypeCount>({
    {RowFormatOf(kPixel565), kPixelRGB888, kConvert<PixelRGB888, Pixel565>},
    {RowFormatOf(kPixel565), kPixelARGB8888, kConvert<PixelARGB8888, Pixel565>},

    {RowFormatOf(kPixel555), kPixel565, kConvert<Pixel565, Pixel555>},
    {RowFormatOf(kPixel555), kPixel555, &ConvertRow<RawCopyRule<Pixel555>>},
    {RowFormatOf(kPixel555), kPixelRGB888, kConvert<PixelRGB888, Pixel555>},
    {RowFormatOf(kPixel555), kPixelBGR888, kConvert<PixelBGR888, Pixel555>},
    {RowFormatOf(kPixel555), kPixelXRGB8888, kConvert<PixelXRGB8888, Pixel555>},
    {RowFormatOf(kPixel555), kPixelXBGR8888, kConvert<PixelXBGR8888, Pixel555>},
    {RowFormatOf(kPixel555), kPixelA565, kConvert<PixelA565, Pixel555>},
    {RowFormatOf(kPixel555), kPixelA555, &ConvertRow<OpaqueToAlpha16Rule<PixelA555, Pixel555>>},
    {RowFormatOf(kPixel555), kPixelARGB8888, kConvert<PixelARGB8888, Pixel555>},
    {RowFormatOf(kPixel555), kPixelABGR8888, kConvert<PixelABGR8888, Pixel555>},

    {RowFormatOf(kPixelRGB888), kPixel565, kConvert<Pixel565, PixelRGB888>},
    {RowFormatOf(kPixelRGB888), kPixel555, kConvert<Pixel555, PixelRGB888>},
    {RowFormatOf(kPixelRGB888), kPixelRGB888, &ConvertRow<RawCopyRule<PixelRGB888>>},
    {RowFormatOf(kPixelRGB888), kPixelBGR888, kConvert<PixelBGR888, PixelRGB888>},
    {RowFormatOf(kPixelRGB888), kPixelXRGB8888, kConvert<PixelXRGB8888, PixelRGB888>},
    {RowFormatOf(kPixelRGB888), kPixelXBGR8888, kConvert<PixelXBGR8888, PixelRGB888>},
    {RowFormatOf(kPixelRGB888), kPixelA565, kConvert<PixelA565, PixelRGB888>},
    {RowFormatOf(kPixelRGB888), kPixelA555, kConvert<PixelA555, PixelRGB888>},
    {RowFormatOf(kPixelRGB888), kPixelARGB8888, kConvert<PixelARGB8888, PixelRGB888>},
    {RowFormatOf(kPixelRGB888), kPixelABGR8888, kConvert<PixelABGR8888, PixelRGB888>},

    {RowFormatOf(kPixelBGR888), kPixelRGB888, kConvert<PixelRGB888, PixelBGR888>},
    {RowFormatOf(kPixelBGR888), kPixelARGB8888, kConvert<PixelARGB8888, PixelBGR888>},
    {RowFormatOf(kPixelXRGB8888), kPixelRGB888, kConvert<PixelRGB888, PixelXRGB8888>},
    {RowFormatOf(kPixelXRGB8888), kPixelARGB8888, kConvert<PixelARGB8888, PixelXRGB8888>},
    {RowFormatOf(kPixelXBGR8888), kPixelRGB888, kConvert<PixelRGB888, PixelXBGR8888>},
    {RowFormatOf(kPixelXBGR8888), kPixelARGB8888, kConvert<PixelARGB8888, PixelXBGR8888>},
    {RowFormatOf(kPixelA565), kPixelRGB888, kConvert<PixelRGB888, PixelA565>},
    {RowFormatOf(kPixelA565), kPixelARGB8888, kConvert<PixelARGB8888, PixelA565>},
    {RowFormatOf(kPixelA555), kPixelRGB888, kConvert<PixelRGB888, PixelA555>},
    {RowFormatOf(kPixelA555), kPixelARGB8888, kConvert<PixelARGB8888, PixelA555>},

    {RowFormatOf(kPixelARGB8888), kPixel565, kConvert<Pixel565, PixelARGB8888>},
    {RowFormatOf(kPixelARGB8888), kPixel555, kConvert<Pixel555, PixelARGB8888>},
    {RowFormatOf(kPixelARGB8888), kPixelRGB888, kConvert<PixelRGB888, PixelARGB8888>},
    {RowFormatOf(kPixelARGB8888), kPixelBGR888, kConvert<PixelBGR888, PixelARGB8888>},
    {RowFormatOf(kPixelARGB8888), kPixelXRGB8888, kConvert<PixelXRGB8888, PixelARGB8888>},
    {RowFormatOf(kPixelARGB8888), kPixelXBGR8888, kConvert<PixelXBGR8888, PixelARGB8888>},
    {RowFormatOf(kPixelARGB8888), kPixelA565, kConvert<PixelA565, PixelARGB8888>},
    {RowFormatOf(kPixelARGB8888), kPixelA555, kConvert<PixelA555, PixelARGB8888>},
    {RowFormatOf(kPixelARGB8888), kPixelARGB8888, &ConvertRow<RawCopyRule<PixelARGB8888>>},
    {RowFormatOf(kPixelARGB8888), kPixelABGR8888, kConvert<PixelABGR8888, PixelARGB8888>},
});

} // namespace

int ConvertPixelRow(std::int32_t dstType, std::uint8_t* dst, std::int32_t width, const std::uint8_t* src,
                    std::int32_t srcFormat)
{
    if (srcFormat < 0 || srcFormat >= kRowFormatCount || !IsTableType(dstType)) return 1;
    const RowConverter convert = kRowTable.Find(srcFormat, dstType);
    if (convert == nullptr) return 1;
    if (width > 0) convert(dst, width, src);
    return 0;
}

} // namespace zelvoranGameSDK3rd::Draw
