#pragma once
// One row of pixels from a source format into a surface pixel type, for image decoders and file writers.

#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// A row's source format is the pixel type of its layout counted from kPixel565: RowFormatOf(kPixel565)
// is 0 and RowFormatOf(kPixelARGB8888) is 9; the format of kPixelUnused9 reads nothing.
inline constexpr int kRowFormatCount = 10;
constexpr std::int32_t RowFormatOf(std::int32_t pixelType)
{
    return pixelType - kPixel565;
}

// Converts `width` pixels. Returns 0 when the pair is served (also for a width of 0 or less, when
// nothing is written), 1 when it is not (nothing is written).
int ConvertPixelRow(std::int32_t dstType, std::uint8_t* dst, std::int32_t width, const std::uint8_t* src,
                    std::int32_t srcFormat);

} // namespace zelvoranGameSDK3rd::Draw
