#pragma once
// Device-independent bitmap data (the contents of BMP files): reading the headers with every offset,
// length and palette checked against the bytes at hand, and drawing the pixels into a drawing context.

#include "platform/dib.h"

#include <cstddef>
#include <cstdint>

namespace platform {

enum BitmapCompression : std::uint32_t
{
    kBitmapRgb = 0,
    kBitmapRle8 = 1,
    kBitmapRle4 = 2,
    kBitmapBitFields = 3,
    kBitmapAlphaBitFields = 6,
};

// A checked description of bitmap pixels. Every pointer lies inside the bytes it was read from.
struct BitmapView
{
    int width = 0;
    int height = 0;       // rows, always positive
    bool topDown = false; // the stored height was negative
    int bitCount = 0;
    std::uint32_t compression = kBitmapRgb;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha for 16 and 32 bits
    const std::uint8_t* palette = nullptr;
    int paletteEntries = 0;
    int paletteEntrySize = 4; // 3 for the old 12-byte header
    const std::uint8_t* bits = nullptr;
    std::size_t bitsLength = 0;
    std::size_t stride = 0; // bytes per stored row of an uncompressed bitmap
};

// The one limit on a decoded picture, whatever its format (BMP, the SDK's own image file, JPEG, GIF,
// an image plug-in's): its largest side, and its largest number of pixels. Every decoder checks it
// before it allocates anything, so a few bytes that claim a huge picture cost nothing. The game's largest
// picture is 640 × 480.
constexpr int kMaxBitmapSide = 8192;
constexpr long long kMaxBitmapPixels = 1LL << 24;

// A whole BMP file: "BM", the file header, an information header, masks and palette, and the pixels at
// the offset of bytes 10 to 13. False for anything that is not such a file or does not fit in `length`.
bool ReadBitmapFile(const void* file, std::size_t length, BitmapView& view);
// An information header followed by its masks and palette (`info`, `infoLength` bytes), with the pixels
// elsewhere (`bits`, `bitsLength` bytes).
bool ReadBitmapInfo(const void* info, std::size_t infoLength, const void* bits, std::size_t bitsLength,
                    BitmapView& view);

// Blocks made by trusted code in this process (an image plug-in): an information header with its masks
// and palette, and the pixels, whose lengths the header itself states (run-length pixels by their image
// size field).
bool ReadBitmapBlocks(const void* info, const void* bits, BitmapView& view);

// Draws the bitmap upright with its upper-left corner at (x, y), clipped to the context's bitmap; pixels
// that a run-length bitmap skips are left as they were. Returns the number of rows drawn (the height),
// or 0 when the data turn out to be broken part way (what was drawn stays drawn).
int DrawBitmap(DeviceContext& dc, int x, int y, const BitmapView& view);

} // namespace platform
