#pragma once
// Image files made byte by byte for the decoders' tests: BMP files of any depth and compression, JPEG
// and GIF pictures made with the system's own encoders.

#include "platform/host/little_endian.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>

namespace test_support {

using Bytes = std::vector<std::uint8_t>;

struct Rgb
{
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
};

inline void Put16(Bytes& b, std::size_t at, std::uint32_t v)
{
    platform::WriteU16(b.data() + at, static_cast<std::uint16_t>(v));
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    platform::WriteU32(b.data() + at, v);
}
inline std::uint32_t Get32(const Bytes& b, std::size_t at)
{
    return platform::ReadU32(b.data() + at);
}

// A BMP file with a 40-byte header, then `table` (palette or masks) and the pixel bytes.
inline Bytes MakeBmp(int width, int height, int bitCount, std::uint32_t compression, const Bytes& table,
                     const Bytes& bits, std::uint32_t colorsUsed = 0)
{
    Bytes file(54 + table.size());
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<std::uint32_t>(file.size() + bits.size()));
    Put32(file, 10, static_cast<std::uint32_t>(file.size()));
    Put32(file, 14, 40);
    Put32(file, 18, static_cast<std::uint32_t>(width));
    Put32(file, 22, static_cast<std::uint32_t>(height));
    Put16(file, 26, 1);
    Put16(file, 28, static_cast<std::uint32_t>(bitCount));
    Put32(file, 30, compression);
    Put32(file, 46, colorsUsed);
    std::copy(table.begin(), table.end(), file.begin() + 54);
    file.insert(file.end(), bits.begin(), bits.end());
    return file;
}

// A BMP colour table: blue, green, red and a zero byte per entry.
inline Bytes Palette(std::initializer_list<Rgb> colors)
{
    Bytes out;
    for (const Rgb& c : colors)
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    return out;
}

// The same from packed values: COLORREF 0x00BBGGRR as drawing contexts read colours, or 0x00RRGGBB as
// 32-bit surfaces hold them.
inline Bytes PaletteOfPacked(std::initializer_list<std::uint32_t> colors, bool colorref)
{
    Bytes out;
    for (std::uint32_t c : colors) {
        const auto low = static_cast<std::uint8_t>(c), high = static_cast<std::uint8_t>(c >> 16);
        out.insert(out.end(),
                   {colorref ? high : low, static_cast<std::uint8_t>(c >> 8), colorref ? low : high, 0});
    }
    return out;
}

// A JPEG at the best quality: the left half one colour, the right half another.
inline Bytes MakeJpeg(int width, int height, Rgb left, Rgb right)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        const Rgb& c = x < width / 2 ? left : right;
        row[3 * x] = c.r;
        row[3 * x + 1] = c.g;
        row[3 * x + 2] = c.b;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

struct GifImage
{
    int screenWidth;
    int screenHeight;
    int left;
    int top;
    int width;
    int height;
    std::vector<Rgb> colors;           // a power of two entries
    std::vector<std::uint8_t> indexes; // width × height, rows from the top
    int transparent = -1;
    bool interlace = false;
};

inline int WriteGifBytes(GifFileType* file, const GifByteType* data, int count)
{
    auto* out = static_cast<Bytes*>(file->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

// A GIF of one image on its logical screen.
inline Bytes MakeGif(const GifImage& image)
{
    Bytes out;
    int error = 0;
    GifFileType* file = EGifOpen(&out, WriteGifBytes, &error);
    std::vector<GifColorType> colors;
    for (const Rgb& c : image.colors)
        colors.push_back({c.r, c.g, c.b});
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(colors.size()), colors.data());
    EGifSetGifVersion(file, true);
    EGifPutScreenDesc(file, image.screenWidth, image.screenHeight, 8, 0, map);
    if (image.transparent >= 0) {
        GraphicsControlBlock gcb{0, false, 0, image.transparent};
        GifByteType extension[4];
        EGifGCBToExtension(&gcb, extension);
        EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    }
    EGifPutImageDesc(file, image.left, image.top, image.width, image.height, image.interlace, nullptr);
    std::vector<GifPixelType> line(image.width);
    auto put = [&](int y) {
        std::memcpy(line.data(), image.indexes.data() + static_cast<std::size_t>(y) * image.width,
                    image.width);
        EGifPutLine(file, line.data(), image.width);
    };
    if (image.interlace) { // the rows go in the order of the four passes
        const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int y = start[pass]; y < image.height; y += step[pass])
                put(y);
        }
    } else {
        for (int y = 0; y < image.height; ++y)
            put(y);
    }
    EGifCloseFile(file, &error);
    GifFreeMapObject(map);
    return out;
}

} // namespace test_support
