#pragma once
// Pixel memory for kernel tests: rows with padding between them and an allocation that ends exactly at
// the last pixel, so AddressSanitizer catches any byte read or written outside the planes.

#include "sdk/draw/kernels/pixel_types.h"

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace blt_test {

struct GuardedPlane
{
    GuardedPlane(int type, int width, int height, int padding, std::mt19937& rng)
        : type(type), width(width), height(height)
    {
        bytesPerPixel = zelvoranGameSDK3rd::Draw::BytesPerPixel(type);
        if (bytesPerPixel == 0) bytesPerPixel = 4; // types without pixels still get memory nobody may touch
        pitch = width * bytesPerPixel + padding;
        size = static_cast<std::size_t>(height - 1) * pitch + static_cast<std::size_t>(width) * bytesPerPixel;
        memory.reset(new std::uint8_t[size]);
        for (std::size_t i = 0; i < size; ++i)
            memory[i] = static_cast<std::uint8_t>(rng());
    }

    std::uint8_t* At(long long x, long long y) { return memory.get() + y * pitch + x * bytesPerPixel; }
    std::vector<std::uint8_t> Bytes() const { return {memory.get(), memory.get() + size}; }

    void Describe(zelvoranGameSDK3rd::Draw::SSurfaceDesc& d) const
    {
        d.valid = true;
        d.pixels = memory.get();
        d.pitch = pitch;
        d.width = width;
        d.height = height;
        d.type = type;
    }

    int type, width, height, bytesPerPixel, pitch;
    std::size_t size;
    std::unique_ptr<std::uint8_t[]> memory;
};

} // namespace blt_test
