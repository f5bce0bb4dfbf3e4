#pragma once
// Plain types every pixel kernel reads: pixel type codes, rectangles, and the locked description of a
// surface's pixel memory. Nothing here locks or allocates; the surface classes own that.

#include "platform/host/host_types.h"
#include "platform/host/pixel_type.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

// Pixel type codes of a surface: the numbering the platform's frames and display surfaces share.
using EPixelType = platform::PixelType;
using enum platform::PixelType;
using platform::kPixelTypeCount;

inline constexpr bool IsTableType(std::int32_t type)
{
    return type >= 0 && type < kPixelTypeCount;
}

// Rectangles, points and sizes in signed 32-bit pixels; right and bottom are exclusive.
using platform::POINT;
using platform::RECT;
using platform::SIZE;

// The part of a surface description that kernels read: address of pixel (0, 0), bytes from one row to
// the next, size in pixels, pixel type, colour key and fill colour (both packed 0xAARRGGBB). The order
// keeps the surface info's own field order; `valid` and `locked` belong to the surface info's protocol.
struct SSurfaceDesc
{
    bool valid = false;
    std::uint8_t* pixels = nullptr;
    std::int32_t pitch = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool locked = false;
    std::int32_t type = kPixelNone;
    std::uint32_t colorKey = 0;
    std::uint32_t fillColor = 0;
};

// Bytes one pixel occupies; 0 for the types without pixels.
constexpr int BytesPerPixel(std::int32_t type)
{
    switch (type) {
    case kPixelP8:
        return 1;
    case kPixel565:
    case kPixel555:
        return 2;
    case kPixelRGB888:
    case kPixelBGR888:
        return 3;
    case kPixelXRGB8888:
    case kPixelXBGR8888:
    case kPixelA565:
    case kPixelA555:
    case kPixelARGB8888:
    case kPixelABGR8888:
        return 4;
    default:
        return 0;
    }
}

// Colour depth asked for where a display depth is meant; the 16-bit alpha types count as 16.
constexpr int ColorDepthOf(std::int32_t type)
{
    switch (type) {
    case kPixelP8:
        return 8;
    case kPixel565:
    case kPixel555:
    case kPixelA565:
    case kPixelA555:
        return 16;
    case kPixelRGB888:
    case kPixelBGR888:
        return 24;
    case kPixelXRGB8888:
    case kPixelXBGR8888:
    case kPixelARGB8888:
    case kPixelABGR8888:
        return 32;
    default:
        return 0;
    }
}

// The off-screen type with alpha that stands for an opaque display type.
constexpr std::int32_t ToAlphaPixelType(std::int32_t type)
{
    switch (type) {
    case kPixel565:
        return kPixelA565;
    case kPixelP8:
    case kPixel555:
        return kPixelA555;
    case kPixelRGB888:
    case kPixelXRGB8888:
        return kPixelARGB8888;
    case kPixelBGR888:
    case kPixelXBGR8888:
        return kPixelABGR8888;
    default:
        return type;
    }
}

// 8-bit channels to a 16-bit pixel, keeping the top bits of each channel.
constexpr std::uint16_t PackRGB565(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return static_cast<std::uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xFF) >> 3));
}
constexpr std::uint16_t PackRGB555(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return static_cast<std::uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | ((b & 0xFF) >> 3));
}

} // namespace zelvoranGameSDK3rd::Draw
