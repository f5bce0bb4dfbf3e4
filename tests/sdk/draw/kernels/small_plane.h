#pragma once
// The plane of the kernel tests, and helpers that run one kernel of the tables.

#include "sdk/draw/kernels/blt_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace blt_test {

// Pixel memory for kernel tests: rows `padding` bytes apart in an allocation that ends exactly at the last
// pixel, so AddressSanitizer catches any byte read or written outside the plane.
struct Plane
{
    Plane(int type, int width, int height, std::uint8_t fill = 0, int padding = 0)
    {
        const int bpp = zelvoranGameSDK3rd::Draw::BytesPerPixel(type);
        bytes = bpp > 0 ? bpp : 4; // types without pixels still get memory nobody may touch
        desc.valid = true;
        desc.pitch = width * bytes + padding;
        desc.width = width;
        desc.height = height;
        desc.type = type;
        memory.assign(static_cast<std::size_t>(height - 1) * desc.pitch +
                          static_cast<std::size_t>(width) * bytes,
                      fill);
        desc.pixels = memory.data();
    }
    Plane(int type, int width, int height, int padding, std::mt19937& rng)
        : Plane(type, width, height, 0, padding)
    {
        Randomise(rng);
    }
    Plane(const Plane& other) : memory(other.memory), desc(other.desc), bytes(other.bytes)
    {
        desc.pixels = memory.data();
    }
    Plane& operator=(const Plane&) = delete;

    int Bytes() const { return bytes; }
    std::size_t Offset(long long x, long long y) const { return y * desc.pitch + x * bytes; }
    std::uint8_t* At(long long x, long long y) { return memory.data() + Offset(x, y); }
    std::uint32_t Word(int x, int y)
    {
        std::uint32_t v = 0;
        std::memcpy(&v, At(x, y), bytes);
        return v;
    }
    void SetWord(int x, int y, std::uint32_t v) { std::memcpy(At(x, y), &v, bytes); }
    void Randomise(std::mt19937& rng)
    {
        for (auto& b : memory)
            b = static_cast<std::uint8_t>(rng());
    }

    std::vector<std::uint8_t> memory;
    zelvoranGameSDK3rd::Draw::SSurfaceDesc desc;
    int bytes;
};

inline int RunKernel(int op, Plane& dst, Plane& src, const zelvoranGameSDK3rd::Draw::SBltInfo& info,
                     const zelvoranGameSDK3rd::Draw::SBltParam& param = {})
{
    using namespace zelvoranGameSDK3rd::Draw;
    const BltKernel kernel = GetBltOpTable(op)->Find(dst.desc.type, src.desc.type);
    return kernel(&dst.desc, &src.desc, &info, param);
}

inline zelvoranGameSDK3rd::Draw::SBltParam Rate(int rate, std::uint32_t key = 0)
{
    return {key, static_cast<std::uint8_t>(rate)};
}

inline zelvoranGameSDK3rd::Draw::SBltParam Factors(int fs, int fd, std::uint32_t key = 0)
{
    return {key, 0, static_cast<std::uint8_t>(fs), static_cast<std::uint8_t>(fd)};
}

// One pixel of the given value blitted onto one pixel of the given value; the destination pixel after.
inline std::uint32_t BlitOne(int op, int dstType, int srcType, std::uint32_t dstValue, std::uint32_t srcValue,
                             const zelvoranGameSDK3rd::Draw::SBltParam& param = {})
{
    Plane src(srcType, 1, 1), dst(dstType, 1, 1);
    src.SetWord(0, 0, srcValue);
    dst.SetWord(0, 0, dstValue);
    if (RunKernel(op, dst, src, zelvoranGameSDK3rd::Draw::SBltInfo{}, param) != 0) return ~0u;
    return dst.Word(0, 0);
}

// A row of w random source pixels (every fifth one the key, every third one over a destination pixel of
// the same bytes) blitted at column x0 of a row two wider: each pixel must come out as a one-pixel blit
// gives it, whether the walk takes it alone or in a packed group with its neighbours.
inline void ExpectRowMatchesSinglePixels(int op, int dstType, int srcType,
                                         const zelvoranGameSDK3rd::Draw::SBltParam& p, int w, int x0,
                                         std::mt19937& rng)
{
    Plane src(srcType, w, 1), dst(dstType, w + 2, 1);
    src.Randomise(rng);
    dst.Randomise(rng);
    for (int i = 0; i < w; i += 3)
        std::memcpy(dst.At(x0 + i, 0), src.At(i, 0), std::min(src.Bytes(), dst.Bytes()) == 2 ? 2 : 3);
    for (int i = 1; i < w; i += 5)
        src.SetWord(i, 0, p.key);
    const std::vector<std::uint8_t> before = dst.memory;
    const zelvoranGameSDK3rd::Draw::POINT point{x0, 0};
    zelvoranGameSDK3rd::Draw::SBltInfo info;
    info.dstPoint = &point;
    ASSERT_EQ(RunKernel(op, dst, src, info, p), 0);
    for (int i = 0; i < w + 2; ++i) {
        std::uint32_t want = 0;
        std::memcpy(&want, before.data() + i * dst.Bytes(), dst.Bytes());
        if (i >= x0 && i < x0 + w) want = BlitOne(op, dstType, srcType, want, src.Word(i - x0, 0), p);
        ASSERT_EQ(dst.Word(i, 0), want) << "op " << op << " " << dstType << " <- " << srcType << " rate "
                                        << int{p.rate} << " width " << w << " at " << x0 << " pixel " << i;
    }
}

} // namespace blt_test
