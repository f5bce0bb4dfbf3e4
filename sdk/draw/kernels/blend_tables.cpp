#include "sdk/draw/kernels/blend_tables.h"

#include <cstdlib>

namespace zelvoranGameSDK3rd::Draw {

std::uint8_t BlendMulTable[256][256];
std::uint8_t BlendInvMulTable[256][256];
std::uint16_t Level565Table[16][65536];
std::uint16_t Level555Table[16][65536];
std::uint8_t PaletteIndexTable[32768];

void BuildBlendTables()
{
    for (unsigned i = 0; i < 256; ++i) {
        for (unsigned j = 0; j < 256; ++j) {
            BlendMulTable[i][j] = static_cast<std::uint8_t>(i * j / 255);
            BlendInvMulTable[i][j] = static_cast<std::uint8_t>((255 - i) * j / 255);
        }
    }
    for (unsigned level = 0; level < 16; ++level) {
        for (unsigned r = 0; r < 32; ++r) {
            for (unsigned g = 0; g < 64; ++g) {
                for (unsigned b = 0; b < 32; ++b) {
                    Level565Table[level][(r << 11) | (g << 5) | b] = static_cast<std::uint16_t>(
                        ((r * level / 15) << 11) | ((g * level / 15) << 5) | (b * level / 15));
                }
            }
        }
        for (unsigned r = 0; r < 32; ++r) {
            for (unsigned g = 0; g < 32; ++g) {
                for (unsigned b = 0; b < 32; ++b) {
                    const unsigned p = (r << 10) | (g << 5) | b;
                    const auto v = static_cast<std::uint16_t>(((r * level / 15) << 10) |
                                                              ((g * level / 15) << 5) | (b * level / 15));
                    Level555Table[level][p] = v;
                    Level555Table[level][p + 32768] = v;
                }
            }
        }
    }
}

void CaptureSystemPalette(const SPaletteEntry* entries, int count)
{
    if (entries == nullptr || count <= 0) return;
    if (count > 256) count = 256;
    for (int r = 0; r < 32; ++r) {
        for (int g = 0; g < 32; ++g) {
            for (int b = 0; b < 32; ++b) {
                int best = 0;
                int bestDistance = 0x7FFFFFFF;
                for (int i = 0; i < count; ++i) {
                    const int distance = std::abs((r << 3) - entries[i].red) +
                                         std::abs((g << 3) - entries[i].green) +
                                         std::abs((b << 3) - entries[i].blue);
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = i;
                    }
                }
                PaletteIndexTable[(r << 10) | (g << 5) | b] = static_cast<std::uint8_t>(best);
            }
        }
    }
}

} // namespace zelvoranGameSDK3rd::Draw
