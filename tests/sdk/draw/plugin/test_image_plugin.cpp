// A small image plug-in for the loader's tests. Its format: "TSTIMAGE", width and height as one byte
// each, then width × height pixels of red, green, blue, rows from the top.
#include "platform/host/little_endian.h"
#include "sdk/draw/image_plugin.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kMagic[8] = {'T', 'S', 'T', 'I', 'M', 'A', 'G', 'E'};

bool Valid(const char* buffer, std::intptr_t length)
{
    if (!buffer || length < 10 || std::memcmp(buffer, kMagic, 8) != 0) return false;
    const int w = static_cast<unsigned char>(buffer[8]), h = static_cast<unsigned char>(buffer[9]);
    return w > 0 && h > 0 && length >= 10 + w * h * 3;
}

void Put32(unsigned char* p, std::uint32_t v)
{
    platform::WriteU32(p, v);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int IsSupported(const char* fileName, const void* head)
{
    return fileName == nullptr && head != nullptr && std::memcmp(head, kMagic, 8) == 0;
}

__attribute__((visibility("default"))) int GetPictureInfo(const char* buffer, std::intptr_t length,
                                                          unsigned flag, SImagePluginInfo* info)
{
    if (flag != 1 || !Valid(buffer, length)) return 2;
    std::memset(info, 0, sizeof *info);
    info->width = static_cast<unsigned char>(buffer[8]);
    info->height = static_cast<unsigned char>(buffer[9]);
    info->colorDepth = 24;
    return 0;
}

__attribute__((visibility("default"))) int GetPicture(const char* buffer, std::intptr_t length, unsigned flag,
                                                      void** bitmapInfo, void** bits, ImagePluginProgress,
                                                      std::intptr_t)
{
    if (flag != 1 || !Valid(buffer, length)) return 2;
    const int w = static_cast<unsigned char>(buffer[8]), h = static_cast<unsigned char>(buffer[9]);
    const int stride = (w * 3 + 3) & ~3;
    auto* header = static_cast<unsigned char*>(std::calloc(40, 1));
    auto* pixels = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(stride) * h, 1));
    Put32(header, 40);
    Put32(header + 4, static_cast<std::uint32_t>(w));
    Put32(header + 8, static_cast<std::uint32_t>(h));
    header[12] = 1;
    header[14] = 24;
    const auto* rgb = reinterpret_cast<const unsigned char*>(buffer + 10);
    for (int y = 0; y < h; ++y) {
        unsigned char* row = pixels + static_cast<std::size_t>(h - 1 - y) * stride; // bottom-up
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = rgb + (y * w + x) * 3;
            row[3 * x] = p[2];
            row[3 * x + 1] = p[1];
            row[3 * x + 2] = p[0];
        }
    }
    *bitmapInfo = header;
    *bits = pixels;
    return 0;
}
}
