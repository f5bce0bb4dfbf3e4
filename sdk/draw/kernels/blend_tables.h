#pragma once
// Process-wide lookup tables that let kernels blend and darken without per-pixel multiplication or
// division, and the palette-index table of 8-bit displays. All are zero until built.

#include "sdk/draw/kernels/blt_walk.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// [i][j] = floor(i * j / 255) and floor((255 - i) * j / 255): a byte s blended over d with weight w is
// BlendMulTable[w][s] + BlendInvMulTable[w][d], never above 255.
extern std::uint8_t BlendMulTable[256][256];
extern std::uint8_t BlendInvMulTable[256][256];
// [L][p] = the 16-bit pixel p with each field scaled by L / 15, fraction dropped; level 15 is the
// identity and level 0 black. The 555 table ignores bit 15 of p and leaves it 0.
extern std::uint16_t Level565Table[16][65536];
extern std::uint16_t Level555Table[16][65536];
// [r << 10 | g << 5 | b] for 5-bit channels = index of the nearest system palette entry.
extern std::uint8_t PaletteIndexTable[32768];

// Fills the product and level tables; calling it again rebuilds the same values.
void BuildBlendTables();

struct SPaletteEntry
{
    std::uint8_t red, green, blue;
};

// Maps every 15-bit colour to the entry with the least sum of absolute channel differences (the lower
// index on a tie). With no entries (a display without a palette) the table keeps what it held.
void CaptureSystemPalette(const SPaletteEntry* entries, int count);

// Processor feature word: 1 no identification instruction, 2 without the packed-integer unit (3 with
// conditional moves), 4 with it, plus 8 for the first and 16 for the second streaming extension.
inline constexpr std::uint32_t kCpuFeatureMmx = 4;
inline constexpr std::uint32_t kCpuFeatureSse = 8;
inline constexpr std::uint32_t kCpuFeatureSse2 = 16;

// The feature word for the feature flags (EDX of identification leaf 1): bit 23 the packed-integer unit,
// bit 25 and 26 the streaming extensions, bit 15 conditional moves (reported only without the unit).
std::uint32_t CpuFeatureWord(bool hasCpuid, std::uint32_t edx);

// The feature word, probed on the first call and kept for the process.
std::uint32_t GetCpuFeatures();

// Operation 14 for XRGB8888 onto XRGB8888 with the packed-integer arithmetic: every colour byte becomes
// floor(s * rate / 256) + floor(d * (255 - rate) / 256), the spare byte 0. Its stretched walk takes the
// pixel before stepping the error terms, one step earlier than the common walk.
int BltAlphaRate_XRGB8888_XRGB8888_MMX(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltInfo* info,
                                       const SBltParam& param);

// The operation-14 kernel of that pair: the packed kernel when the feature word reports the
// packed-integer unit. Its arithmetic is portable here and the word reports it on every machine, so
// every machine draws the same frame.
int BltAlphaRate_XRGB8888_XRGB8888(const SSurfaceDesc* dst, const SSurfaceDesc* src, const SBltInfo* info,
                                   const SBltParam& param);

} // namespace zelvoranGameSDK3rd::Draw
