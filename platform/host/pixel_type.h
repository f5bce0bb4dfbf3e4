// The numbering of pixel layouts that frames, display surfaces and the SDK's pixel kernels share.
#pragma once

#include <cstdint>

namespace platform {

// 0 and 1 never carry pixels; 9 is never produced and never served. The 16-bit alpha types keep the
// colour in the low 16 bits and a 4-bit alpha in the third byte.
enum PixelType : std::int32_t
{
    kPixelNone = 0,
    kPixelUnknown = 1,
    kPixelP8 = 2,       // 8-bit palette index
    kPixel565 = 3,      // 16-bit RGB565
    kPixel555 = 4,      // 16-bit RGB555
    kPixelRGB888 = 5,   // 24-bit, bytes blue, green, red
    kPixelBGR888 = 6,   // 24-bit, bytes red, green, blue
    kPixelXRGB8888 = 7, // 32-bit 0x00RRGGBB
    kPixelXBGR8888 = 8, // 32-bit 0x00BBGGRR
    kPixelUnused9 = 9,
    kPixelA565 = 10,     // 32-bit: RGB565 and a 4-bit alpha
    kPixelA555 = 11,     // 32-bit: RGB555 and a 4-bit alpha
    kPixelARGB8888 = 12, // 32-bit with 8-bit alpha on top
    kPixelABGR8888 = 13,
};

// Types 0 to 13 index the kernels' tables.
inline constexpr int kPixelTypeCount = 14;

} // namespace platform
