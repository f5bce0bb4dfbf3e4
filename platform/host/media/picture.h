#pragma once
// Pictures in the common compressed formats (JPEG and GIF), decoded from memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class Picture
{
public:
    // Null when the bytes are neither a JPEG nor a GIF picture, or are broken.
    static std::unique_ptr<Picture> Decode(const void* data, std::size_t length);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The size in units of 0.01 mm at the screen's resolution.
    int WidthHimetric() const;
    int HeightHimetric() const;
    // The pixel at (x, y) as 0x00BBGGRR, with kTransparent set where the picture shows nothing.
    std::uint32_t Pixel(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
    static constexpr std::uint32_t kTransparent = 0x80000000u;

private:
    Picture(int width, int height);
    friend struct PictureBuilder;

    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels; // top row first
};

// The one limit on a decoded picture, whatever its format (BMP, the SDK's own image file, JPEG, GIF,
// an image plug-in's): its largest side, and its largest number of pixels. Every decoder checks it
// before it allocates anything, so a few bytes that claim a huge picture cost nothing. The game's largest
// picture is 640 × 480.
constexpr int kMaxPictureSide = 8192;
constexpr long long kMaxPicturePixels = 1LL << 24;

// Pixels per logical inch of the screen, which converts picture sizes in 0.01 mm into pixels.
int ScreenPixelsPerInchX();
int ScreenPixelsPerInchY();

// Rounded a × b / c, as the 32-bit multiply-divide of the drawing code does it; -1 when c is 0 or the
// result does not fit.
int MulDiv(int a, int b, int c);

} // namespace platform
