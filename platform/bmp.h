#pragma once
// Device-independent bitmap data (the contents of BMP files): reading the headers with every offset,
// length and palette checked against the bytes at hand, and drawing the pixels into a drawing context.

#include "platform/dib.h"
#include "platform/host/little_endian.h"
#include "platform/host/media/picture.h"

#include <cstddef>
#include <cstdint>

namespace platform {

// Where the fields of a BMP file lie: the file header ("BM", the file's size, the offset of the pixels),
// then an information header of 40 bytes or more, or the old 12-byte core header. Integers are
// little-endian.
inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpFileSizeField = 2;
inline constexpr std::size_t kBmpBitsOffsetField = 10;
inline constexpr std::size_t kBmpCoreHeaderSize = 12;
inline constexpr std::size_t kBmpInfoHeaderSize = 40;
// Fields of the information header, from its start (the first is the header's own size).
inline constexpr std::size_t kBmpInfoWidth = 4;
inline constexpr std::size_t kBmpInfoHeight = 8;
inline constexpr std::size_t kBmpInfoPlanes = 12;
inline constexpr std::size_t kBmpInfoBitCount = 14;
inline constexpr std::size_t kBmpInfoCompression = 16;
inline constexpr std::size_t kBmpInfoImageSize = 20;
inline constexpr std::size_t kBmpInfoXPixelsPerMeter = 24;
inline constexpr std::size_t kBmpInfoYPixelsPerMeter = 28;
inline constexpr std::size_t kBmpInfoColorsUsed = 32;
// Fields of the core header.
inline constexpr std::size_t kBmpCoreWidth = 4;
inline constexpr std::size_t kBmpCoreHeight = 6;
inline constexpr std::size_t kBmpCoreBitCount = 10;
// The screen's 96 pixels per inch, in pixels per metre, as written into new files.
inline constexpr std::uint32_t kBmpScreenPixelsPerMeter = 3780;

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

// Largest side accepted, and the largest number of pixels: the one limit on every decoded picture.
constexpr int kMaxBitmapSide = kMaxPictureSide;
constexpr long long kMaxBitmapPixels = kMaxPicturePixels;

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
