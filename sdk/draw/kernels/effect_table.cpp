// The rectangle-effect table: one kernel per (effect, pixel type), as rows {effect, pixel type, kernel}.

#include "sdk/draw/kernels/effect_table.h"

#include "sdk/draw/kernels/effect_rules.h"
#include "sdk/draw/kernels/kernel_grid.h"

#include <initializer_list>

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

template <class T, class Rule> inline constexpr EffectKernel kRowsOf = &EffectRows<T, Rule>;
template <class T, auto One, auto Two>
inline constexpr EffectKernel kPackedSat16Of = kRowsOf<T, PackedSat16Rule<T, One, Two>>;
template <class T, auto Op> inline constexpr EffectKernel kPackedSatOf = kRowsOf<T, PackedSatRule<T, Op>>;

constexpr EffectKernel EffectFill_16 = kRowsOf<Pixel565, FillRule16<Pixel565>>;
constexpr EffectKernel EffectFill_RGB888 = kRowsOf<PixelRGB888, FillRule<PixelRGB888>>;
constexpr EffectKernel EffectFill_BGR888 = kRowsOf<PixelBGR888, FillRule<PixelBGR888>>;
constexpr EffectKernel EffectFill_32 = kRowsOf<PixelXRGB8888, FillRule<PixelXRGB8888>>;
constexpr EffectKernel EffectFill_A16 = kRowsOf<PixelA565, FillRule<PixelA565>>;

constexpr EffectKernel EffectFade_565 = kRowsOf<Pixel565, Fade565Rule>;
constexpr EffectKernel EffectFade_555 = kRowsOf<Pixel555, Fade555Rule>;
constexpr EffectKernel EffectFade_RGB888 = kRowsOf<PixelRGB888, FadeBytesRule<3>>;
constexpr EffectKernel EffectFade_BGR888 = kRowsOf<PixelBGR888, FadeBytesRule<3>>;
constexpr EffectKernel EffectFade_XRGB8888 = kRowsOf<PixelXRGB8888, FadeBytesRule<4>>;
constexpr EffectKernel EffectFade_XBGR8888 = kRowsOf<PixelXBGR8888, FadeBytesRule<4>>;
constexpr EffectKernel EffectFade_A16 = kRowsOf<PixelA565, FadeAlpha16Rule>;
constexpr EffectKernel EffectFade_A32 = kRowsOf<PixelARGB8888, FadeAlpha32Rule>;

constexpr EffectKernel EffectAddColor_565 = kPackedSat16Of<Pixel565, AddSat565, AddSat565x2>;
constexpr EffectKernel EffectAddColor_555 = kPackedSat16Of<Pixel555, AddSat555, AddSat555x2>;
constexpr EffectKernel EffectAddColor_RGB888 = kPackedSatOf<PixelRGB888, AddSat888>;
constexpr EffectKernel EffectAddColor_BGR888 = kPackedSatOf<PixelBGR888, AddSat888>;
constexpr EffectKernel EffectAddColor_X32 = kPackedSatOf<PixelXRGB8888, AddSat888>;
constexpr EffectKernel EffectAddColor_A565 = kRowsOf<PixelA565, ColourWordSatRule<PixelAddSat_565>>;
constexpr EffectKernel EffectAddColor_A555 = kRowsOf<PixelA555, ColourWordSatRule<PixelAddSat_555>>;
constexpr EffectKernel EffectAddColor_ARGB8888 = kRowsOf<PixelARGB8888, OpaqueByteSatRule<EArith::kAdd>>;
constexpr EffectKernel EffectAddColor_ABGR8888 = kRowsOf<PixelABGR8888, OpaqueByteSatRule<EArith::kAdd>>;

constexpr EffectKernel EffectSubColor_565 = kPackedSat16Of<Pixel565, SubSat565, SubSat565x2>;
constexpr EffectKernel EffectSubColor_555 = kPackedSat16Of<Pixel555, SubSat555, SubSat555x2>;
constexpr EffectKernel EffectSubColor_RGB888 = kPackedSatOf<PixelRGB888, SubSat888>;
constexpr EffectKernel EffectSubColor_BGR888 = kPackedSatOf<PixelBGR888, SubSat888>;
constexpr EffectKernel EffectSubColor_X32 = kPackedSatOf<PixelXRGB8888, SubSat888>;
constexpr EffectKernel EffectSubColor_A565 = kRowsOf<PixelA565, ColourWordSatRule<PixelSubSat_565>>;
constexpr EffectKernel EffectSubColor_A555 = kRowsOf<PixelA555, ColourWordSatRule<PixelSubSat_555>>;
constexpr EffectKernel EffectSubColor_ARGB8888 = kRowsOf<PixelARGB8888, OpaqueByteSatRule<EArith::kSub>>;
constexpr EffectKernel EffectSubColor_ABGR8888 = kRowsOf<PixelABGR8888, OpaqueByteSatRule<EArith::kSub>>;

constexpr EffectKernel EffectInvert_565 = kRowsOf<Pixel565, InvertRule<Pixel565, 0xFFFF>>;
constexpr EffectKernel EffectInvert_555 = kRowsOf<Pixel555, InvertRule<Pixel555, 0x7FFF>>;
constexpr EffectKernel EffectInvert_RGB888 = kRowsOf<PixelRGB888, InvertRule<PixelRGB888, 0xFFFFFF>>;
constexpr EffectKernel EffectInvert_BGR888 = kRowsOf<PixelBGR888, InvertRule<PixelBGR888, 0xFFFFFF>>;
constexpr EffectKernel EffectInvert_X32 = kRowsOf<PixelXRGB8888, InvertRule<PixelXRGB8888, 0xFFFFFF>>;
// The 16-bit types with alpha become fully opaque; the 32-bit ones fully transparent.
constexpr EffectKernel EffectInvert_A16 =
    kRowsOf<PixelA565, InvertRule<PixelA565, 0xFFFF, 0xFF0000, 0x0F0000>>;
constexpr EffectKernel EffectInvert_A32 =
    kRowsOf<PixelARGB8888, InvertRule<PixelARGB8888, 0xFFFFFF, 0xFF000000>>;

constexpr EffectKernel EffectMosaic_16 = &EffectMosaic<Pixel565>;
constexpr EffectKernel EffectMosaic_RGB888 = &EffectMosaic<PixelRGB888>;
constexpr EffectKernel EffectMosaic_BGR888 = &EffectMosaic<PixelBGR888>;
constexpr EffectKernel EffectMosaic_32 = &EffectMosaic<PixelXRGB8888>;
constexpr EffectKernel EffectMosaic_A16 = &EffectMosaic<PixelA565>;

// Kernels by (effect, pixel type).
using SEffectTable = SKernelGrid<EffectKernel, kEffectCount, kPixelTypeCount>;

constinit const SEffectTable kEffectTable = MakeKernelGrid<EffectKernel, kEffectCount, kPixelTypeCount>({
    {kEffectFill, kPixel565, EffectFill_16},
    {kEffectFill, kPixel555, EffectFill_16},
    {kEffectFill, kPixelRGB888, EffectFill_RGB888},
    {kEffectFill, kPixelBGR888, EffectFill_BGR888},
    {kEffectFill, kPixelXRGB8888, EffectFill_32},
    {kEffectFill, kPixelXBGR8888, EffectFill_32},
    {kEffectFill, kPixelA565, EffectFill_A16},
    {kEffectFill, kPixelA555, EffectFill_A16},
    {kEffectFill, kPixelARGB8888, EffectFill_32},
    {kEffectFill, kPixelABGR8888, EffectFill_32},
    {kEffectFade, kPixel565, EffectFade_565},
    {kEffectFade, kPixel555, EffectFade_555},
    {kEffectFade, kPixelRGB888, EffectFade_RGB888},
    {kEffectFade, kPixelBGR888, EffectFade_BGR888},
    {kEffectFade, kPixelXRGB8888, EffectFade_XRGB8888},
    {kEffectFade, kPixelXBGR8888, EffectFade_XBGR8888},
    {kEffectFade, kPixelA565, EffectFade_A16},
    {kEffectFade, kPixelA555, EffectFade_A16},
    {kEffectFade, kPixelARGB8888, EffectFade_A32},
    {kEffectFade, kPixelABGR8888, EffectFade_A32},
    {kEffectAddColor, kPixel565, EffectAddColor_565},
    {kEffectAddColor, kPixel555, EffectAddColor_555},
    {kEffectAddColor, kPixelRGB888, EffectAddColor_RGB888},
    {kEffectAddColor, kPixelBGR888, EffectAddColor_BGR888},
    {kEffectAddColor, kPixelXRGB8888, EffectAddColor_X32},
    {kEffectAddColor, kPixelXBGR8888, EffectAddColor_X32},
    {kEffectAddColor, kPixelA565, EffectAddColor_A565},
    {kEffectAddColor, kPixelA555, EffectAddColor_A555},
    {kEffectAddColor, kPixelARGB8888, EffectAddColor_ARGB8888},
    {kEffectAddColor, kPixelABGR8888, EffectAddColor_ABGR8888},
    {kEffectSubColor, kPixel565, EffectSubColor_565},
    {kEffectSubColor, kPixel555, EffectSubColor_555},
    {kEffectSubColor, kPixelRGB888, EffectSubColor_RGB888},
    {kEffectSubColor, kPixelBGR888, EffectSubColor_BGR888},
    {kEffectSubColor, kPixelXRGB8888, EffectSubColor_X32},
    {kEffectSubColor, kPixelXBGR8888, EffectSubColor_X32},
    {kEffectSubColor, kPixelA565, EffectSubColor_A565},
    {kEffectSubColor, kPixelA555, EffectSubColor_A555},
    {kEffectSubColor, kPixelARGB8888, EffectSubColor_ARGB8888},
    {kEffectSubColor, kPixelABGR8888, EffectSubColor_ABGR8888},
    {kEffectInvert, kPixel565, EffectInvert_565},
    {kEffectInvert, kPixel555, EffectInvert_555},
    {kEffectInvert, kPixelRGB888, EffectInvert_RGB888},
    {kEffectInvert, kPixelBGR888, EffectInvert_BGR888},
    {kEffectInvert, kPixelXRGB8888, EffectInvert_X32},
    {kEffectInvert, kPixelXBGR8888, EffectInvert_X32},
    {kEffectInvert, kPixelA565, EffectInvert_A16},
    {kEffectInvert, kPixelA555, EffectInvert_A16},
    {kEffectInvert, kPixelARGB8888, EffectInvert_A32},
    {kEffectInvert, kPixelABGR8888, EffectInvert_A32},
    {kEffectMosaic, kPixel565, EffectMosaic_16},
    {kEffectMosaic, kPixel555, EffectMosaic_16},
    {kEffectMosaic, kPixelRGB888, EffectMosaic_RGB888},
    {kEffectMosaic, kPixelBGR888, EffectMosaic_BGR888},
    {kEffectMosaic, kPixelXRGB8888, EffectMosaic_32},
    {kEffectMosaic, kPixelXBGR8888, EffectMosaic_32},
    {kEffectMosaic, kPixelA565, EffectMosaic_A16},
    {kEffectMosaic, kPixelA555, EffectMosaic_A16},
    {kEffectMosaic, kPixelARGB8888, EffectMosaic_32},
    {kEffectMosaic, kPixelABGR8888, EffectMosaic_32},
});

} // namespace

EffectKernel FindEffectKernel(std::uint32_t effect, std::int32_t type)
{
    return kEffectTable.Find(effect, type);
}

std::uint32_t PrepareEffectColor(std::int32_t type, std::uint32_t color)
{
    const SRgba c{(color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF, color >> 24};
    std::uint32_t prepared = 0;
    WithPixelTraits(type, [&]<class T>() { prepared = T::Encode(c); });
    return prepared;
}

} // namespace zelvoranGameSDK3rd::Draw
