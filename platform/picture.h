#pragma once
// Pictures in the common compressed formats (JPEG and GIF), decoded from memory and drawn into a
// drawing context.

#include "platform/dib.h"

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

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The size in units of 0.01 mm at the screen's resolution.
    int WidthHimetric() const;
    int HeightHimetric() const;
    // Draws the picture scaled to width × height at (x, y); transparent pixels leave the target alone.
    bool Render(DeviceContext& dc, int x, int y, int width, int height) const;

private:
    Picture(int width, int height);
    friend struct PictureBuilder;

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_; // 0x00BBGGRR, top row first; bit 31 marks a transparent pixel
};

// Rounded a × b / c, as the 32-bit multiply-divide of the drawing code does it; -1 when c is 0 or the
// result does not fit.
int MulDiv(int a, int b, int c);

} // namespace platform
