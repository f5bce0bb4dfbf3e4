// Operations 10 and 14 to 17: blends by the source's alpha, by alpha times a rate and by two factors,
// plain and colour-keyed. Each table lists its served pairs as rows {destination, source, kernel}.

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_table.h"

namespace zelvoranGameSDK3rd::Draw {

// Operation 10 serves only sources with alpha; every other pair, equal types included, answers 2.
constinit const SBltOpTable kBltOpAlpha = MakeBltOpTable(EBltUnserved::kTwo, EBltParam::kNone, false, {});
constinit const SBltOpTable kBltOpAlphaRate =
    MakeBltOpTable(EBltUnserved::kSameTypeZero, EBltParam::kRate, false,
                   {
                       {kPixelXRGB8888, kPixelXRGB8888, &BltAlphaRate_XRGB8888_XRGB8888},
                   });
constinit const SBltOpTable kBltOpAlphaRateKey =
    MakeBltOpTable(EBltUnserved::kSameTypeZero, EBltParam::kRate, true, {});
constinit const SBltOpTable kBltOpBlend2 =
    MakeBltOpTable(EBltUnserved::kSameTypeZero, EBltParam::kFactors, false, {});
constinit const SBltOpTable kBltOpBlend2Key =
    MakeBltOpTable(EBltUnserved::kSameTypeZero, EBltParam::kFactors, true, {});

} // namespace zelvoranGameSDK3rd::Draw
