// Where blits land: the clipper over surfaces of any claimed size with any points, sizes, source and clip
// rectangles and base points, and the blit dispatcher over small real planes of every pixel type with
// the same extremes. What the clipper hands on lies inside both surfaces; a dispatched blit reads and
// writes nothing outside its planes and changes nothing outside the clip rectangle.

#include "fuzz_reader.h"
#include "sdk/draw/surface_info.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace Draw = zelvoranGameSDK3rd::Draw;
using Draw::POINT;
using Draw::RECT;
using Draw::SIZE;

namespace {

using fuzz_input::Reader;

RECT Rect(Reader& in)
{
    return RECT{in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate()};
}

// Where a blit may point: nothing, or a value from the input.
struct SBltSetup
{
    POINT point;
    SIZE size;
    RECT srcRect;
    RECT clip;
    Draw::SBltInfo info;

    explicit SBltSetup(Reader& in)
    {
        const std::uint32_t present = in.Take(1);
        point = {in.Coordinate(), in.Coordinate()};
        size = {in.Coordinate(), in.Coordinate()};
        srcRect = Rect(in);
        clip = Rect(in);
        info.dstPoint = (present & 1) != 0 ? &point : nullptr;
        info.dstSize = (present & 2) != 0 ? &size : nullptr;
        info.srcRect = (present & 4) != 0 ? &srcRect : nullptr;
        info.clipRect = (present & 8) != 0 ? &clip : nullptr;
        info.basePoint = static_cast<std::int32_t>(in.Take(1) % 10);
    }
};

bool Inside(const RECT& r, std::int64_t width, std::int64_t height)
{
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= width &&
           r.bottom <= height;
}

// A plane of exactly its pixels, so the sanitizer sees the first byte past the last one.
struct Plane
{
    Plane(std::int32_t type, int w, int h)
        : bytes(static_cast<std::size_t>(w) * h * Draw::BytesPerPixel(type))
    {
        memory.reset(new std::uint8_t[bytes]);
        std::memset(memory.get(), 0x5A, bytes);
        info.valid = true;
        info.pixels = memory.get();
        info.pitch = w * Draw::BytesPerPixel(type);
        info.width = w;
        info.height = h;
        info.type = type;
    }
    std::size_t bytes;
    std::unique_ptr<std::uint8_t[]> memory;
    Draw::CSurfaceInfo info;
};

std::int32_t PixelType(Reader& in)
{
    const std::int32_t type = 2 + static_cast<std::int32_t>(in.Take(1) % 12);
    return type == Draw::kPixelUnused9 ? Draw::kPixelXRGB8888 : type;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in{data, size};

    // The clipper reads only the sizes, which may claim anything.
    Draw::SSurfaceDesc src, dst;
    src.width = in.Coordinate();
    src.height = in.Coordinate();
    dst.width = in.Coordinate();
    dst.height = in.Coordinate();
    SBltSetup clipped(in);
    Draw::SBltClipResult result;
    if (Draw::ClipBltRect(&src, &dst, &clipped.info, &result) == 0 &&
        (!Inside(result.src, src.width, src.height) || !Inside(result.dst, dst.width, dst.height))) {
        std::abort();
    }

    // The dispatcher over real planes.
    const std::int32_t op = static_cast<std::int32_t>(in.Take(1) % 20);
    const std::int32_t dstType = PixelType(in), srcType = PixelType(in);
    Plane target(dstType, 1 + static_cast<int>(in.Take(1) % 24), 1 + static_cast<int>(in.Take(1) % 24));
    Plane source(srcType, 1 + static_cast<int>(in.Take(1) % 24), 1 + static_cast<int>(in.Take(1) % 24));
    source.info.colorKey = in.Take(4);
    for (std::size_t i = 0; i < source.bytes; ++i)
        source.memory[i] = static_cast<std::uint8_t>(in.Take(1));
    SBltSetup blit(in);
    const std::uint32_t param[2] = {in.Take(4), in.Take(4)};
    if (Draw::CSurfaceInfo::BltDispatch(&target.info, &source.info, &blit.info, op, param) > 2) std::abort();

    if (blit.info.clipRect == nullptr) return 0;
    const RECT& clip = blit.clip;
    const int bpp = Draw::BytesPerPixel(dstType);
    for (int y = 0; y < target.info.height; ++y) {
        for (int x = 0; x < target.info.width; ++x) {
            if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) continue;
            const std::uint8_t* p =
                target.memory.get() + (static_cast<std::size_t>(y) * target.info.width + x) * bpp;
            for (int b = 0; b < bpp; ++b)
                if (p[b] != 0x5A) std::abort(); // drawn outside the clip rectangle
        }
    }
    return 0;
}
