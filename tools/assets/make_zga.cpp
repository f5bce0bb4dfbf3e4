// make_zga <in.rgba> <out.zga>: wraps the generators' raw picture (width and height as 32-bit
// little-endian, then rows of R, G, B, A bytes) in the SDK's own 32-bit image file, through the SDK's
// encoder, so that the game reads exactly what its own code writes. Both paths are host paths, taken as
// they stand, so a build tree anywhere works.

#include "platform/host/file.h"
#include "platform/host/little_endian.h"
#include "sdk/draw/surface_info.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace Draw = zelvoranGameSDK3rd::Draw;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_zga <in.rgba> <out.zga>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> raw((std::istreambuf_iterator<char>(in)), {});
    if (raw.size() < 8) {
        std::fprintf(stderr, "%s: no picture\n", argv[1]);
        return 1;
    }
    const std::uint32_t width = platform::ReadU32(raw.data()), height = platform::ReadU32(raw.data() + 4);
    if (width == 0 || height == 0 || width > 8192 || height > 8192 ||
        raw.size() != 8 + std::size_t{width} * height * 4) {
        std::fprintf(stderr, "%s: the size does not match the pixels\n", argv[1]);
        return 1;
    }
    // ARGB8888 words, little-endian: B, G, R, A in memory.
    std::vector<std::uint8_t> pixels(std::size_t{width} * height * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        const std::uint8_t* p = raw.data() + 8 + i;
        pixels[i] = p[2], pixels[i + 1] = p[1], pixels[i + 2] = p[0], pixels[i + 3] = p[3];
    }
    Draw::CSurfaceInfo info;
    info.valid = true;
    info.pixels = pixels.data();
    info.width = static_cast<std::int32_t>(width);
    info.height = static_cast<std::int32_t>(height);
    info.pitch = static_cast<std::int32_t>(width * 4);
    info.type = Draw::kPixelARGB8888;
    std::vector<std::uint8_t> image;
    if (info.EncodeZGA(image, nullptr, false) != 0 ||
        platform::WriteWholeHostFile(argv[2], image.data(), image.size()) != platform::WriteResult::Ok) {
        std::fprintf(stderr, "%s: cannot write the file\n", argv[2]);
        return 1;
    }
    return 0;
}
