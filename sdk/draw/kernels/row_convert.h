#pragma once
// One row of pixels from a source format into a surface pixel type, for image decoders and file writers.

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// Source formats are pixel types minus 3: 0 RGB565, 1 RGB555, 2 RGB888, 3 BGR888, 4 XRGB8888,
// 5 XBGR8888, 6 none, 7 A565, 8 A555, 9 ARGB8888.
inline constexpr int kRowFormatCount = 10;

// Converts `width` pixels. Returns 0 when the pair is served (also for a width of 0 or less, when
// nothing is written), 1 when it is not (nothing is written).
int ConvertPixelRow(std::int32_t dstType, std::uint8_t* dst, std::int32_t width, const std::uint8_t* src,
                    std::int32_t srcFormat);

} // namespace zelvoranGameSDK3rd::Draw
