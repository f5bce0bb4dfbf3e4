// Polygon kBltAlpha: every covered pixel is blended with its source pixel by the source's alpha. A
// source without alpha counts as opaque: its colour replaces the destination's.

#include "sdk/draw/kernels/alpha_ops.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/polygon_table.h"

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

using PixelOperator = void (*)(std::uint8_t* d, const std::uint8_t* s);

// Hands the pixel to one of the shared per-pixel blend operators, which read the source from memory.
template <class D, class S, PixelOperator Op> struct OperatorRule
{
    using Dst = D;
    using Src = S;
    explicit OperatorRule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        std::uint8_t bytes[4];
        std::memcpy(bytes, &s, sizeof bytes);
        Op(d, bytes);
    }
};

// A 16-bit colour word weighed against a 16-bit source with a 4-bit level: two whole-word lookups, one
// addition. The level tables are built so that the two halves never carry into the next field. A level
// byte above 15 is taken by its low four bits, as the 16-bit alpha-onto-alpha blend takes it.
template <class D, class S> struct LevelBlendRule
{
    using Dst = D;
    using Src = S;
    explicit LevelBlendRule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        const auto& table = D::kGreenBits == 6 ? Level565Table : Level555Table;
        const std::uint32_t level = (s >> 16) & 0x0F;
        Store16(d, table[level ^ 0x0F][Load16(d)] + table[level][s & 0xFFFF]);
    }
};

// Byte blend onto a destination with its own alpha: the blended pixel becomes opaque, a pixel whose
// colour already matches keeps everything.
template <class T> struct AlphaOverAlphaRule
{
    using Dst = T;
    using Src = T;
    explicit AlphaOverAlphaRule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        std::uint8_t bytes[4];
        std::memcpy(bytes, &s, sizeof bytes);
        if (AlphaOps::BlendColourBytes(d, bytes)) d[3] = 0xFF;
    }
};

// A 24- or 32-bit source without alpha over a 24- or 32-bit destination: the colour in the destination's
// channel order, spare byte 0 or alpha 0xFF; a pixel whose colour already matches is left as it is.
template <class D, class S> struct OpaqueOverRule
{
    using Dst = D;
    using Src = S;
    explicit OpaqueOverRule(const SBltParam&) {}
    void Pixel(std::uint8_t* d, std::uint32_t s) const
    {
        const std::uint32_t c = ConvertPixel<D, S>(s);
        if (((D::Load(d) ^ c) & 0xFFFFFF) != 0) D::Store(d, c);
    }
};

template <class D, class S>
inline constexpr PolygonKernel kOpaqueOverOf = kPolygonKernelOf<OpaqueOverRule<D, S>>;
template <class D, class S, PixelOperator Op>
inline constexpr PolygonKernel kOperatorOf = kPolygonKernelOf<OperatorRule<D, S, Op>>;

constexpr PolygonKernel PolyBltAlpha_565_565 = kOperatorOf<Pixel565, Pixel565, &AlphaBlendPixelOpaque565>;
constexpr PolygonKernel PolyBltAlpha_565_A565 = kPolygonKernelOf<LevelBlendRule<Pixel565, PixelA565>>;
constexpr PolygonKernel PolyBltAlpha_555_555 = kOperatorOf<Pixel555, Pixel555, &AlphaBlendPixelOpaque555>;
constexpr PolygonKernel PolyBltAlpha_555_A555 = kPolygonKernelOf<LevelBlendRule<Pixel555, PixelA555>>;
constexpr PolygonKernel PolyBltAlpha_RGB888_RGB888 = kOpaqueOverOf<PixelRGB888, PixelRGB888>;
constexpr PolygonKernel PolyBltAlpha_RGB888_ARGB8888 =
    kOperatorOf<PixelRGB888, PixelARGB8888, &AlphaBlendPixelRGB888>;
constexpr PolygonKernel PolyBltAlpha_BGR888_BGR888 = kOpaqueOverOf<PixelBGR888, PixelBGR888>;
constexpr PolygonKernel PolyBltAlpha_BGR888_ABGR8888 =
    kOperatorOf<PixelBGR888, PixelABGR8888, &AlphaBlendPixelBGR888>;
constexpr PolygonKernel PolyBltAlpha_XRGB8888_XRGB8888 = kOpaqueOverOf<PixelXRGB8888, PixelXRGB8888>;
constexpr PolygonKernel PolyBltAlpha_XRGB8888_ARGB8888 =
    kOperatorOf<PixelXRGB8888, PixelARGB8888, &AlphaBlendPixelXRGB8888>;
constexpr PolygonKernel PolyBltAlpha_XBGR8888_XBGR8888 = kOpaqueOverOf<PixelXBGR8888, PixelXBGR8888>;
constexpr PolygonKernel PolyBltAlpha_XBGR8888_ABGR8888 =
    kOperatorOf<PixelXBGR8888, PixelABGR8888, &AlphaBlendPixelXBGR8888>;
constexpr PolygonKernel PolyBltAlpha_A565_565 = kOperatorOf<PixelA565, Pixel565, &AlphaBlendPixelOpaque565>;
constexpr PolygonKernel PolyBltAlpha_A565_A565 = kOperatorOf<PixelA565, PixelA565, &AlphaBlendPixelA565>;
constexpr PolygonKernel PolyBltAlpha_A555_555 = kOperatorOf<PixelA555, Pixel555, &AlphaBlendPixelOpaque555>;
constexpr PolygonKernel PolyBltAlpha_A555_A555 = kOperatorOf<PixelA555, PixelA555, &AlphaBlendPixelA555>;
constexpr PolygonKernel PolyBltAlpha_ARGB8888_RGB888 = kOpaqueOverOf<PixelARGB8888, PixelRGB888>;
constexpr PolygonKernel PolyBltAlpha_ARGB8888_BGR888 = kOpaqueOverOf<PixelARGB8888, PixelBGR888>;
constexpr PolygonKernel PolyBltAlpha_ARGB8888_XRGB8888 = kOpaqueOverOf<PixelARGB8888, PixelXRGB8888>;
constexpr PolygonKernel PolyBltAlpha_ARGB8888_XBGR8888 = kOpaqueOverOf<PixelARGB8888, PixelXBGR8888>;
constexpr PolygonKernel PolyBltAlpha_ARGB8888_ARGB8888 = kPolygonKernelOf<AlphaOverAlphaRule<PixelARGB8888>>;
constexpr PolygonKernel PolyBltAlpha_ABGR8888_RGB888 = kOpaqueOverOf<PixelABGR8888, PixelRGB888>;
constexpr PolygonKernel PolyBltAlpha_ABGR8888_BGR888 = kOpaqueOverOf<PixelABGR8888, PixelBGR888>;
constexpr PolygonKernel PolyBltAlpha_ABGR8888_XRGB8888 = kOpaqueOverOf<PixelABGR8888, PixelXRGB8888>;
constexpr PolygonKernel PolyBltAlpha_ABGR8888_XBGR8888 = kOpaqueOverOf<PixelABGR8888, PixelXBGR8888>;
constexpr PolygonKernel PolyBltAlpha_ABGR8888_ABGR8888 = kPolygonKernelOf<AlphaOverAlphaRule<PixelABGR8888>>;

} // namespace

constinit const SPolygonOpTable kPolygonAlphaTable = MakePolygonOpTable({
    {kPixel565, kPixel565, PolyBltAlpha_565_565},
    {kPixel565, kPixelA565, PolyBltAlpha_565_A565},
    {kPixel555, kPixel555, PolyBltAlpha_555_555},
    {kPixel555, kPixelA555, PolyBltAlpha_555_A555},
    {kPixelRGB888, kPixelRGB888, PolyBltAlpha_RGB888_RGB888},
    {kPixelRGB888, kPixelARGB8888, PolyBltAlpha_RGB888_ARGB8888},
    {kPixelBGR888, kPixelBGR888, PolyBltAlpha_BGR888_BGR888},
    {kPixelBGR888, kPixelABGR8888, PolyBltAlpha_BGR888_ABGR8888},
    {kPixelXRGB8888, kPixelXRGB8888, PolyBltAlpha_XRGB8888_XRGB8888},
    {kPixelXRGB8888, kPixelARGB8888, PolyBltAlpha_XRGB8888_ARGB8888},
    {kPixelXBGR8888, kPixelXBGR8888, PolyBltAlpha_XBGR8888_XBGR8888},
    {kPixelXBGR8888, kPixelABGR8888, PolyBltAlpha_XBGR8888_ABGR8888},
    {kPixelA565, kPixel565, PolyBltAlpha_A565_565},
    {kPixelA565, kPixelA565, PolyBltAlpha_A565_A565},
    {kPixelA555, kPixel555, PolyBltAlpha_A555_555},
    {kPixelA555, kPixelA555, PolyBltAlpha_A555_A555},
    {kPixelARGB8888, kPixelRGB888, PolyBltAlpha_ARGB8888_RGB888},
    {kPixelARGB8888, kPixelBGR888, PolyBltAlpha_ARGB8888_BGR888},
    {kPixelARGB8888, kPixelXRGB8888, PolyBltAlpha_ARGB8888_XRGB8888},
    {kPixelARGB8888, kPixelXBGR8888, PolyBltAlpha_ARGB8888_XBGR8888},
    {kPixelARGB8888, kPixelARGB8888, PolyBltAlpha_ARGB8888_ARGB8888},
    {kPixelABGR8888, kPixelRGB888, PolyBltAlpha_ABGR8888_RGB888},
    {kPixelABGR8888, kPixelBGR888, PolyBltAlpha_ABGR8888_BGR888},
    {kPixelABGR8888, kPixelXRGB8888, PolyBltAlpha_ABGR8888_XRGB8888},
    {kPixelABGR8888, kPixelXBGR8888, PolyBltAlpha_ABGR8888_XBGR8888},
    {kPixelABGR8888, kPixelABGR8888, PolyBltAlpha_ABGR8888_ABGR8888},
});

} // namespace zelvoranGameSDK3rd::Draw
