// kBltAlpha and kBltAlphaRate to kBltBlend2Key: blends by the source's alpha, by alpha times a rate and
// by two factors, plain and colour-keyed. Each table is built from rows {destination, source, kernel};
// the kernel of a row is the shared walk over the operation's per-pixel rule for that pair.

#include "sdk/draw/kernels/blend_rules.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_table.h"

#include <tuple>

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

template <class D, class S> struct SPair
{
    using Dst = D;
    using Src = S;
};

// The pairs of different types that operations 14 to 17 serve.
using MixedPairs =
    std::tuple<SPair<Pixel565, PixelA565>, SPair<Pixel555, PixelA555>, SPair<PixelRGB888, PixelARGB8888>,
               SPair<PixelBGR888, PixelABGR8888>, SPair<PixelXRGB8888, PixelARGB8888>,
               SPair<PixelXBGR8888, PixelABGR8888>, SPair<PixelA565, Pixel565>, SPair<PixelA555, Pixel555>,
               SPair<PixelARGB8888, PixelRGB888>, SPair<PixelARGB8888, PixelBGR888>,
               SPair<PixelARGB8888, PixelXRGB8888>, SPair<PixelARGB8888, PixelXBGR8888>,
               SPair<PixelABGR8888, PixelRGB888>, SPair<PixelABGR8888, PixelBGR888>,
               SPair<PixelABGR8888, PixelXRGB8888>, SPair<PixelABGR8888, PixelXBGR8888>>;

// Their same-type pairs but XRGB8888, whose operation-14 kernel is chosen by the processor.
using SameTypePairs =
    std::tuple<SPair<Pixel565, Pixel565>, SPair<Pixel555, Pixel555>, SPair<PixelRGB888, PixelRGB888>,
               SPair<PixelBGR888, PixelBGR888>, SPair<PixelXBGR8888, PixelXBGR8888>,
               SPair<PixelA565, PixelA565>, SPair<PixelA555, PixelA555>, SPair<PixelARGB8888, PixelARGB8888>,
               SPair<PixelABGR8888, PixelABGR8888>>;

using XrgbPair = std::tuple<SPair<PixelXRGB8888, PixelXRGB8888>>;

// Operation 10 serves a source with alpha onto the type without alpha of the same layout, and onto its
// own type.
using AlphaPairs =
    std::tuple<SPair<Pixel565, PixelA565>, SPair<Pixel555, PixelA555>, SPair<PixelRGB888, PixelARGB8888>,
               SPair<PixelBGR888, PixelABGR8888>, SPair<PixelXRGB8888, PixelARGB8888>,
               SPair<PixelXBGR8888, PixelABGR8888>, SPair<PixelA565, PixelA565>, SPair<PixelA555, PixelA555>,
               SPair<PixelARGB8888, PixelARGB8888>, SPair<PixelABGR8888, PixelABGR8888>>;

template <template <class, class> class Rule, bool Key, class P>
constexpr BltKernel kBlendKernel = Key ? &BltWalk<Keyed<Rule<typename P::Dst, typename P::Src>>>
                                       : &BltWalk<Rule<typename P::Dst, typename P::Src>>;

template <template <class, class> class Rule, bool Key, class... P>
constexpr SBltOpTable MakeBlendTable(EBltUnserved unserved, EBltParam param, std::tuple<P...>,
                                     std::initializer_list<SBltCell> more = {})
{
    SBltOpTable t = MakeBltOpTable(unserved, param, Key,
                                   {SBltCell{P::Dst::kType, P::Src::kType, kBlendKernel<Rule, Key, P>}...});
    t.Fill(more);
    return t;
}

template <class... A, class... B> constexpr std::tuple<A..., B...> Join(std::tuple<A...>, std::tuple<B...>)
{
    return {};
}

constexpr auto kBlendPairs = Join(Join(MixedPairs{}, SameTypePairs{}), XrgbPair{});

} // namespace

int BltBlendRate_Plain(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltInfo* info,
                       const SBltParam& param)
{
    return BltWalk<AlphaRateRule<PixelXRGB8888, PixelXRGB8888>>(dst, src, info, param);
}

// Operation 10 serves only sources with alpha; every other pair, equal types included, answers 2.
constinit const SBltOpTable kBltOpAlpha =
    MakeBlendTable<AlphaRule, false>(EBltUnserved::kTwo, EBltParam::kNone, AlphaPairs{});
constinit const SBltOpTable kBltOpAlphaRate = MakeBlendTable<AlphaRateRule, false>(
    EBltUnserved::kSameTypeZero, EBltParam::kRate, Join(MixedPairs{}, SameTypePairs{}),
    {{kPixelXRGB8888, kPixelXRGB8888, &BltAlphaRate_XRGB8888_XRGB8888}});
constinit const SBltOpTable kBltOpAlphaRateKey =
    MakeBlendTable<AlphaRateRule, true>(EBltUnserved::kSameTypeZero, EBltParam::kRate, kBlendPairs);
constinit const SBltOpTable kBltOpBlend2 =
    MakeBlendTable<Blend2Rule, false>(EBltUnserved::kSameTypeZero, EBltParam::kFactors, kBlendPairs);
constinit const SBltOpTable kBltOpBlend2Key =
    MakeBlendTable<Blend2Rule, true>(EBltUnserved::kSameTypeZero, EBltParam::kFactors, kBlendPairs);

} // namespace zelvoranGameSDK3rd::Draw
