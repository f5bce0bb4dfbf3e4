// The polygon blit over arbitrary polygons: any vertices, source points, clip rectangle, sizes and pixel
// types. Nothing may be read or written outside the two planes, and nothing outside the clip rectangle
// may change.

#include "fuzz_reader.h"
#include "sdk/draw/kernels/polygon_table.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace Draw = zelvoranGameSDK3rd::Draw;
using Draw::POINT;
using Draw::RECT;

namespace {

struct Plane
{
    Plane(int type, int w, int h) : type(type), w(w), h(h), bpp(Draw::BytesPerPixel(type))
    {
        // Exactly the pixels, so the sanitizer sees the first byte past the last one.
        memory.reset(new std::uint8_t[static_cast<std::size_t>(w) * h * bpp]);
        std::memset(memory.get(), 0x5A, static_cast<std::size_t>(w) * h * bpp);
        desc.valid = true;
        desc.pixels = memory.get();
        desc.pitch = w * bpp;
        desc.width = w;
        desc.height = h;
        desc.type = type;
    }
    int type, w, h, bpp;
    std::unique_ptr<std::uint8_t[]> memory;
    Draw::SSurfaceDesc desc;
};

constexpr int kOps[] = {0, 1, 10};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_input::Reader in{data, size};
    const int op = kOps[in.Take(1) % 3];
    const int dstType = 3 + static_cast<int>(in.Take(1) % 11);
    const int srcType = 3 + static_cast<int>(in.Take(1) % 11);
    const Draw::SPolygonOpTable* table = Draw::GetPolygonOpTable(op);
    const Draw::PolygonKernel kernel = table->Find(dstType, srcType);
    if (kernel == nullptr) return 0;
    Plane dst(dstType, 1 + static_cast<int>(in.Take(1) % 24), 1 + static_cast<int>(in.Take(1) % 24));
    Plane src(srcType, 1 + static_cast<int>(in.Take(1) % 24), 1 + static_cast<int>(in.Take(1) % 24));
    const std::uint8_t flags = static_cast<std::uint8_t>(in.Take(1));
    RECT clip{in.Coordinate(), in.Coordinate(), in.Coordinate(), in.Coordinate()};
    const int count = static_cast<int>(in.Take(1) % 10);
    std::vector<POINT> dstPoints, srcPoints;
    for (int i = 0; i < count; ++i) {
        dstPoints.push_back({in.Coordinate(), in.Coordinate()});
        srcPoints.push_back({in.Coordinate(), in.Coordinate()});
    }

    Draw::PolygonBltInfo info;
    info.dstPoints = dstPoints.data();
    info.srcPoints = srcPoints.data();
    info.pointCount = count;
    info.clipRect = (flags & 1) != 0 ? &clip : nullptr;
    info.exclusiveEnd = flags & 2;
    const std::uint32_t key = in.Take(4);
    kernel(&info, &src.desc, &dst.desc, &key);

    if (info.clipRect == nullptr) return 0;
    for (int y = 0; y < dst.h; ++y)
        for (int x = 0; x < dst.w; ++x) {
            if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) continue;
            const std::uint8_t* p = dst.memory.get() + (static_cast<std::size_t>(y) * dst.w + x) * dst.bpp;
            for (int b = 0; b < dst.bpp; ++b)
                if (p[b] != 0x5A) std::abort(); // drawn outside the clip rectangle
        }
    return 0;
}
