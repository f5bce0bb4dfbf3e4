// kBltAdd to kBltSubRateKey: saturating add and subtract, plain, colour-keyed and scaled by a rate.
// Each table lists its served pairs as rows {destination, source, kernel}; the rows come with the kernels.

#include "sdk/draw/kernels/add_sub_rules.h"
#include "sdk/draw/kernels/blt_table.h"

namespace zelvoranGameSDK3rd::Draw {

using namespace Kernels;

namespace {

template <template <class, class> class Rule, class D, class S> constexpr SBltCell Row()
{
    return {D::kType, S::kType, &BltWalk<Rule<D, S>>};
}

// kBltAdd to kBltSubRate serve the same 26 pairs: every type with itself, a source with alpha towards the
// plain type of its own layout, and destinations with alpha from the plain types of their colour width.
// RGB565 never meets RGB555, and ARGB8888 never meets ABGR8888.
template <template <class, class> class Rule>
constexpr SBltOpTable MakeAddSubTable(EBltParam param, bool keyed)
{
    return MakeBltOpTable(
        EBltUnserved::kSameTypeZero, param, keyed,
        {
            Row<Rule, Pixel565, Pixel565>(),           Row<Rule, Pixel555, Pixel555>(),
            Row<Rule, PixelRGB888, PixelRGB888>(),     Row<Rule, PixelBGR888, PixelBGR888>(),
            Row<Rule, PixelXRGB8888, PixelXRGB8888>(), Row<Rule, PixelXBGR8888, PixelXBGR8888>(),
            Row<Rule, PixelA565, PixelA565>(),         Row<Rule, PixelA555, PixelA555>(),
            Row<Rule, PixelARGB8888, PixelARGB8888>(), Row<Rule, PixelABGR8888, PixelABGR8888>(),
            Row<Rule, Pixel565, PixelA565>(),          Row<Rule, Pixel555, PixelA555>(),
            Row<Rule, PixelRGB888, PixelARGB8888>(),   Row<Rule, PixelBGR888, PixelABGR8888>(),
            Row<Rule, PixelXRGB8888, PixelARGB8888>(), Row<Rule, PixelXBGR8888, PixelABGR8888>(),
            Row<Rule, PixelA565, Pixel565>(),          Row<Rule, PixelA555, Pixel555>(),
            Row<Rule, PixelARGB8888, PixelRGB888>(),   Row<Rule, PixelARGB8888, PixelBGR888>(),
            Row<Rule, PixelARGB8888, PixelXRGB8888>(), Row<Rule, PixelARGB8888, PixelXBGR8888>(),
            Row<Rule, PixelABGR8888, PixelRGB888>(),   Row<Rule, PixelABGR8888, PixelBGR888>(),
            Row<Rule, PixelABGR8888, PixelXRGB8888>(), Row<Rule, PixelABGR8888, PixelXBGR8888>(),
        });
}

// Operations 8 and 9 serve planes of one type only, and no RGB888 planes: those answer 0 like every
// unserved equal pair.
template <template <class, class> class Rule> constexpr SBltOpTable MakeRateKeyTable()
{
    return MakeBltOpTable(EBltUnserved::kSameTypeZero, EBltParam::kRate, true,
                          {
                              Row<Rule, Pixel565, Pixel565>(),
                              Row<Rule, Pixel555, Pixel555>(),
                              Row<Rule, PixelBGR888, PixelBGR888>(),
                              Row<Rule, PixelXRGB8888, PixelXRGB8888>(),
                              Row<Rule, PixelXBGR8888, PixelXBGR8888>(),
                              Row<Rule, PixelA565, PixelA565>(),
                              Row<Rule, PixelA555, PixelA555>(),
                              Row<Rule, PixelARGB8888, PixelARGB8888>(),
                              Row<Rule, PixelABGR8888, PixelABGR8888>(),
                          });
}

} // namespace

constinit const SBltOpTable kBltOpAdd = MakeAddSubTable<AddRule>(EBltParam::kNone, false);
constinit const SBltOpTable kBltOpSub = MakeAddSubTable<SubRule>(EBltParam::kNone, false);
constinit const SBltOpTable kBltOpAddKey = MakeAddSubTable<AddKeyRule>(EBltParam::kNone, true);
constinit const SBltOpTable kBltOpSubKey = MakeAddSubTable<SubKeyRule>(EBltParam::kNone, true);
constinit const SBltOpTable kBltOpAddRate = MakeAddSubTable<AddRateRule>(EBltParam::kRate, false);
constinit const SBltOpTable kBltOpSubRate = MakeAddSubTable<SubRateRule>(EBltParam::kRate, false);
constinit const SBltOpTable kBltOpAddRateKey = MakeRateKeyTable<AddRateKeyRule>();
constinit const SBltOpTable kBltOpSubRateKey = MakeRateKeyTable<SubRateKeyRule>();

} // namespace zelvoranGameSDK3rd::Draw
