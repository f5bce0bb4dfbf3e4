#include "sdk/draw/kernels/blt_table.h"

namespace zelvoranGameSDK3rd::Draw {

namespace {

// Operations 11 to 13 do not exist.
constinit const SBltOpTable kBltOpNone = MakeBltOpTable(EBltUnserved::kRefused, EBltParam::kNone, false, {});

constinit const SBltOpTable* const kBltOps[kBltOperationCount] = {
    &kBltOpCopy,    &kBltOpCopyKey, &kBltOpAdd,        &kBltOpSub,          &kBltOpAddKey, &kBltOpSubKey,
    &kBltOpAddRate, &kBltOpSubRate, &kBltOpAddRateKey, &kBltOpSubRateKey,   &kBltOpAlpha,  &kBltOpNone,
    &kBltOpNone,    &kBltOpNone,    &kBltOpAlphaRate,  &kBltOpAlphaRateKey, &kBltOpBlend2, &kBltOpBlend2Key,
};

} // namespace

const SBltOpTable* GetBltOpTable(std::int32_t op)
{
    return op >= 0 && op < kBltOperationCount ? kBltOps[op] : nullptr;
}

std::uint32_t PrepareColorKey(std::int32_t dstType, std::int32_t srcType, std::uint32_t key)
{
    Kernels::SRgba c{(key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF, key >> 24};
    if (dstType == srcType) c.a = 0xFF; // only the 8-bit alpha types keep a key alpha at all
    std::uint32_t prepared = 0;
    Kernels::WithPixelTraits(srcType, [&]<class S>() {
        prepared = S::Encode(c);
        if constexpr (S::kAlpha == Kernels::EAlpha::kNibble) {
            prepared = (prepared & 0xFFFF) | (((key >> 24) >> 4) << 16);
        }
    });
    return prepared;
}

} // namespace zelvoranGameSDK3rd::Draw
