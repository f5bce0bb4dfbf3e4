#include "platform/bmp.h"

#include <algorithm>
#include <bit>
#include <climits>

namespace platform {
namespace {

std::uint32_t U16(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;

bool ValidDepthAndCompression(int bitCount, std::uint32_t compression)
{
    switch (compression) {
    case kBitmapRgb:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
               bitCount == 32;
    case kBitmapRle8:
        return bitCount == 8;
    case kBitmapRle4:
        return bitCount == 4;
    case kBitmapBitFields:
    case kBitmapAlphaBitFields:
        return bitCount == 16 || bitCount == 32;
    default:
        return false; // embedded JPEG or PNG, and anything unknown
    }
}

// Reads the information header, masks and palette; `info` holds `infoLength` bytes.
bool ReadHeader(const std::uint8_t* info, std::size_t infoLength, BitmapView& view)
{
    if (infoLength < 4) return false;
    const std::uint32_t headerSize = U32(info);
    if (headerSize > infoLength) return false;
    long long width, height;
    std::uint32_t colorsUsed = 0;
    if (headerSize == kCoreHeaderSize) {
        width = U16(info + 4);
        height = U16(info + 6);
        view.bitCount = static_cast<int>(U16(info + 10));
        view.compression = kBitmapRgb;
        view.paletteEntrySize = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        width = static_cast<std::int32_t>(U32(info + 4));
        height = static_cast<std::int32_t>(U32(info + 8));
        view.bitCount = static_cast<int>(U16(info + 14));
        view.compression = U32(info + 16);
        colorsUsed = U32(info + 32);
        view.paletteEntrySize = 4;
    } else {
        return false;
    }
    view.topDown = height < 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels) {
        return false;
    }
    view.width = static_cast<int>(width);
    view.height = static_cast<int>(height);
    if (!ValidDepthAndCompression(view.bitCount, view.compression)) return false;
    // Run-length data always run bottom-up.
    if (view.topDown && (view.compression == kBitmapRle8 || view.compression == kBitmapRle4)) return false;

    std::size_t position = headerSize;
    if (view.compression == kBitmapBitFields || view.compression == kBitmapAlphaBitFields) {
        const int count = view.compression == kBitmapAlphaBitFields ? 4 : 3;
        if (headerSize >= kInfoHeaderSize + 12) {
            // The masks are part of the larger headers.
            for (int i = 0; i < 3; ++i)
                view.masks[i] = U32(info + kInfoHeaderSize + 4 * i);
            if (headerSize >= kInfoHeaderSize + 16) view.masks[3] = U32(info + kInfoHeaderSize + 12);
        } else {
            if (infoLength - position < static_cast<std::size_t>(4 * count)) return false;
            for (int i = 0; i < count; ++i)
                view.masks[i] = U32(info + position + 4 * i);
            position += 4 * count;
        }
    } else if (view.bitCount == 16) {
        view.masks[0] = 0x7C00;
        view.masks[1] = 0x03E0;
        view.masks[2] = 0x001F;
    } else if (view.bitCount == 32) {
        view.masks[0] = 0xFF0000;
        view.masks[1] = 0x00FF00;
        view.masks[2] = 0x0000FF;
    }

    if (view.bitCount <= 8) {
        const std::uint32_t full = 1u << view.bitCount;
        std::uint32_t entries = colorsUsed != 0 && colorsUsed < full ? colorsUsed : full;
        const std::size_t available = (infoLength - position) / view.paletteEntrySize;
        // A palette cut short by the pixel data keeps the entries that are there; indexes past it are black.
        entries = static_cast<std::uint32_t>(std::min<std::size_t>(entries, available));
        if (entries == 0) return false;
        view.palette = info + position;
        view.paletteEntries = static_cast<int>(entries);
    }
    return true;
}

bool AttachBits(const std::uint8_t* bits, std::size_t bitsLength, BitmapView& view)
{
    view.bits = bits;
    view.bitsLength = bitsLength;
    if (view.compression == kBitmapRle8 || view.compression == kBitmapRle4) {
        view.stride = 0;
        return bitsLength >= 2;
    }
    const std::size_t rowBits = static_cast<std::size_t>(view.width) * view.bitCount;
    view.stride = (rowBits + 31) / 32 * 4;
    // The last row may go without its padding.
    const std::size_t needed = view.stride * (view.height - 1) + (rowBits + 7) / 8;
    return bitsLength >= needed;
}

std::uint32_t FromPalette(const BitmapView& view, unsigned index)
{
    if (index >= static_cast<unsigned>(view.paletteEntries)) return 0;
    const std::uint8_t* entry = view.palette + static_cast<std::size_t>(index) * view.paletteEntrySize;
    return entry[2] | (entry[1] << 8) | (static_cast<std::uint32_t>(entry[0]) << 16);
}

// One channel of a bit-field pixel, widened to 8 bits by shifting, as the 5-bit channels always were.
unsigned Channel(std::uint32_t value, std::uint32_t mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    std::uint32_t bits = (value & mask) >> shift;
    const int width = std::bit_width(mask >> shift);
    if (width >= 8) return (bits >> (width - 8)) & 0xFF;
    return (bits << (8 - width)) & 0xFF;
}

std::uint32_t FromFields(const BitmapView& view, std::uint32_t value)
{
    return Channel(value, view.masks[0]) | (Channel(value, view.masks[1]) << 8) |
           (Channel(value, view.masks[2]) << 16);
}

std::uint32_t ReadPixel(const BitmapView& view, const std::uint8_t* row, int x)
{
    switch (view.bitCount) {
    case 1:
        return FromPalette(view, (row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4:
        return FromPalette(view, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case 8:
        return FromPalette(view, row[x]);
    case 16:
        return FromFields(view, U16(row + 2 * x));
    case 24: {
        const std::uint8_t* p = row + 3 * x;
        return p[2] | (p[1] << 8) | (static_cast<std::uint32_t>(p[0]) << 16);
    }
    default:
        return FromFields(view, U32(row + 4 * x));
    }
}

int DrawUncompressed(DeviceContext& dc, int x, int y, const BitmapView& view, int targetWidth,
                     int targetHeight)
{
    // The visible columns, worked out in 64 bits for bitmaps placed anywhere: -x of INT_MIN does not fit.
    const long long firstColumn = std::max(0LL, -static_cast<long long>(x));
    const long long lastColumn = std::min<long long>(view.width, targetWidth - static_cast<long long>(x));
    for (int r = 0; r < view.height; ++r) {
        const long long ty = static_cast<long long>(y) + r;
        if (ty < 0 || ty >= targetHeight) continue;
        const int stored = view.topDown ? r : view.height - 1 - r;
        const std::uint8_t* row = view.bits + view.stride * stored;
        for (long long c = firstColumn; c < lastColumn; ++c)
            dc.SetPixel(static_cast<int>(x + c), static_cast<int>(ty),
                        ReadPixel(view, row, static_cast<int>(c)));
    }
    return view.height;
}

int DrawRunLength(DeviceContext& dc, int x, int y, const BitmapView& view)
{
    const bool four = view.compression == kBitmapRle4;
    const std::uint8_t* data = view.bits;
    const std::size_t length = view.bitsLength;
    std::size_t pos = 0;
    long long column = 0;
    long long row = 0; // counted from the bottom
    auto put = [&](unsigned index) {
        if (column < view.width && row < view.height) {
            dc.SetPixel(static_cast<int>(x + column), static_cast<int>(y + (view.height - 1 - row)),
                        FromPalette(view, index));
        }
        ++column;
    };
    while (pos + 2 <= length && row < view.height) {
        const unsigned count = data[pos];
        const unsigned value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && column < view.width; ++i) {
                put(four ? ((i & 1) ? value & 0xF : value >> 4) : value);
            }
            continue;
        }
        if (value == 0) { // end of line
            column = 0;
            ++row;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // move right and up
            if (length - pos < 2) return 0;
            column += data[pos];
            row += data[pos + 1];
            pos += 2;
        } else { // a literal run of `value` pixels, padded to an even number of bytes
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::size_t padded = (bytes + 1) & ~std::size_t{1};
            if (length - pos < bytes) return 0;
            for (unsigned i = 0; i < value; ++i) {
                put(four ? ((i & 1) ? data[pos + i / 2] & 0xF : data[pos + i / 2] >> 4) : data[pos + i]);
            }
            pos += std::min(padded, length - pos);
        }
    }
    return view.height;
}

} // namespace

bool ReadBitmapInfo(const void* info, std::size_t infoLength, const void* bits, std::size_t bitsLength,
                    BitmapView& view)
{
    view = BitmapView{};
    if (!info || !bits) return false;
    if (!ReadHeader(static_cast<const std::uint8_t*>(info), infoLength, view)) return false;
    return AttachBits(static_cast<const std::uint8_t*>(bits), bitsLength, view);
}

bool ReadBitmapFile(const void* file, std::size_t length, BitmapView& view)
{
    view = BitmapView{};
    const auto* bytes = static_cast<const std::uint8_t*>(file);
    if (!bytes || length < kFileHeaderSize + kCoreHeaderSize) return false;
    if (bytes[0] != 'B' || bytes[1] != 'M') return false;
    const std::uint32_t offset = U32(bytes + 10);
    if (offset > length || offset < kFileHeaderSize + 4) return false;
    const std::size_t headerSize = U32(bytes + kFileHeaderSize);
    // The headers, masks and palette lie between the file header and the pixels.
    if (headerSize > offset - kFileHeaderSize) return false;
    if (!ReadHeader(bytes + kFileHeaderSize, offset - kFileHeaderSize, view)) return false;
    return AttachBits(bytes + offset, length - offset, view);
}

bool ReadBitmapBlocks(const void* info, const void* bits, BitmapView& view)
{
    view = BitmapView{};
    if (!info || !bits) return false;
    const auto* header = static_cast<const std::uint8_t*>(info);
    const std::size_t headerSize = U32(header);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize) return false;
    // Room for the largest masks and palette the header can ask for; only what it asks for is read.
    if (!ReadHeader(header, headerSize + 16 + 256 * 4, view)) return false;
    std::size_t bitsLength;
    if (view.compression == kBitmapRle8 || view.compression == kBitmapRle4) {
        bitsLength = headerSize >= kInfoHeaderSize ? U32(header + 20) : 0;
    } else {
        const std::size_t stride = (static_cast<std::size_t>(view.width) * view.bitCount + 31) / 32 * 4;
        bitsLength = stride * view.height;
    }
    return AttachBits(static_cast<const std::uint8_t*>(bits), bitsLength, view);
}

int DrawBitmap(DeviceContext& dc, int x, int y, const BitmapView& view)
{
    DibSection* target = dc.Bitmap();
    if (!target || !view.bits || view.width <= 0 || view.height <= 0) return 0;
    if (view.compression == kBitmapRle8 || view.compression == kBitmapRle4)
        return DrawRunLength(dc, x, y, view);
    return DrawUncompressed(dc, x, y, view, target->Width(), target->Height());
}

} // namespace platform
