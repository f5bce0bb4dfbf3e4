#pragma once
// A small plane in a vector for pinned-value tests, and a helper that runs one kernel of the tables.

#include "sdk/draw/kernels/blt_table.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace blt_test {

struct SmallPlane
{
    SmallPlane(int type, int width, int height, std::uint8_t fill = 0)
    {
        const int bpp = zelvoranGameSDK3rd::Draw::BytesPerPixel(type);
        memory.assign(static_cast<std::size_t>(width) * height * bpp, fill);
        desc.valid = true;
        desc.pixels = memory.data();
        desc.pitch = width * bpp;
        desc.width = width;
        desc.height = height;
        desc.type = type;
    }
    std::uint8_t* At(int x, int y) { return desc.pixels + y * desc.pitch + x * (desc.pitch / desc.width); }
    std::uint32_t Word(int x, int y, int bytes)
    {
        std::uint32_t v = 0;
        std::memcpy(&v, At(x, y), bytes);
        return v;
    }
    void SetWord(int x, int y, std::uint32_t v, int bytes) { std::memcpy(At(x, y), &v, bytes); }

    std::vector<std::uint8_t> memory;
    zelvoranGameSDK3rd::Draw::SSurfaceDesc desc;
};

inline int RunKernel(int op, SmallPlane& dst, SmallPlane& src, const zelvoranGameSDK3rd::Draw::SBltInfo& info,
                     const zelvoranGameSDK3rd::Draw::SBltParam& param = {})
{
    using namespace zelvoranGameSDK3rd::Draw;
    const BltKernel kernel = GetBltOpTable(op)->Find(dst.desc.type, src.desc.type);
    return kernel(&dst.desc, &src.desc, &info, param);
}

// One pixel of the given value blitted onto one pixel of the given value; the destination pixel after.
inline std::uint32_t BlitOne(int op, int dstType, int srcType, std::uint32_t dstValue, std::uint32_t srcValue,
                             const zelvoranGameSDK3rd::Draw::SBltParam& param = {})
{
    using zelvoranGameSDK3rd::Draw::BytesPerPixel;
    SmallPlane src(srcType, 1, 1), dst(dstType, 1, 1);
    src.SetWord(0, 0, srcValue, BytesPerPixel(srcType));
    dst.SetWord(0, 0, dstValue, BytesPerPixel(dstType));
    if (RunKernel(op, dst, src, zelvoranGameSDK3rd::Draw::SBltInfo{}, param) != 0) return ~0u;
    return dst.Word(0, 0, BytesPerPixel(dstType));
}

} // namespace blt_test
