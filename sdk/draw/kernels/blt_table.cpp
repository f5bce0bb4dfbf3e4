#include "sdk/draw/kernels/blt_table.h"

#include <array>

namespace zelvoranGameSDK3rd::Draw {

namespace {

// The codes between kBltAlpha and kBltAlphaRate have no operation.
constinit const SBltOpTable kBltOpNone = MakeBltOpTable(EBltUnserved::kRefused, EBltParam::kNone, false, {});

constinit const std::array<const SBltOpTable*, kBltOperationCount> kBltOps = [] {
    std::array<const SBltOpTable*, kBltOperationCount> ops{};
    ops.fill(&kBltOpNone);
    ops[kBltCopy] = &kBltOpCopy;
    ops[kBltCopyKey] = &kBltOpCopyKey;
    ops[kBltAdd] = &kBltOpAdd;
    ops[kBltSub] = &kBltOpSub;
    ops[kBltAddKey] = &kBltOpAddKey;
    ops[kBltSubKey] = &kBltOpSubKey;
    ops[kBltAddRate] = &kBltOpAddRate;
    ops[kBltSubRate] = &kBltOpSubRate;
    ops[kBltAddRateKey] = &kBltOpAddRateKey;
    ops[kBltSubRateKey] = &kBltOpSubRateKey;
    ops[kBltAlpha] = &kBltOpAlpha;
    ops[kBltAlphaRate] = &kBltOpAlphaRate;
    ops[kBltAlphaRateKey] = &kBltOpAlphaRateKey;
    ops[kBltBlend2] = &kBltOpBlend2;
    ops[kBltBlend2Key] = &kBltOpBlend2Key;
    return ops;
}();

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
