#pragma once
// The codes a surface's blit and effect calls take: one name for every operation the kernels serve.

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// Blit operations 0 to 17; 11 to 13 do not exist and are refused.
enum EBltOp : std::int32_t
{
    kBltCopy = 0,
    kBltCopyKey = 1,
    kBltAdd = 2,
    kBltSub = 3,
    kBltAddKey = 4,
    kBltSubKey = 5,
    kBltAddRate = 6,
    kBltSubRate = 7,
    kBltAddRateKey = 8,
    kBltSubRateKey = 9,
    kBltAlpha = 10,
    kBltAlphaRate = 14,
    kBltAlphaRateKey = 15,
    kBltBlend2 = 16,
    kBltBlend2Key = 17,
};
inline constexpr int kBltOperationCount = 18;

// Rectangle effects on one surface.
enum EEffect : std::uint32_t
{
    kEffectFill = 0,
    kEffectFade = 1,
    kEffectAddColor = 2,
    kEffectSubColor = 3,
    kEffectInvert = 4,
    kEffectMosaic = 5,
};
inline constexpr std::uint32_t kEffectCount = 6;

} // namespace zelvoranGameSDK3rd::Draw
