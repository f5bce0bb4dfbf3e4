#pragma once
// Device-independent bitmaps in memory and the drawing context that draws text and images into them.
// Colours are 0x00BBGGRR values, as the SDK hands them to its drawing calls.

#include "platform/host/glyphs.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

class Picture;

// A top-down bitmap of 8, 16 (5-5-5), 24 (B, G, R) or 32 (B, G, R, unused) bits per pixel. Rows are
// (bytes per pixel × width + 3) rounded down to a multiple of 4 bytes apart. New pixels are zero.
class DibSection
{
public:
    // Null when a side is 0 or less, the depth is not one of the four, or the memory cannot be had.
    static std::unique_ptr<DibSection> Create(int width, int height, int bitsPerPixel);

    void* Bits() { return m_pixels.data(); }
    const void* Bits() const { return m_pixels.data(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    int Pitch() const { return m_pitch; }

    // Row pitch of a bitmap of that width and depth; 0 when it would not fit in an int.
    static int PitchFor(int width, int bitsPerPixel);

private:
    DibSection(int width, int height, int bitsPerPixel, int pitch);

    std::vector<std::uint8_t> m_pixels;
    int m_width;
    int m_height;
    int m_bitsPerPixel;
    int m_pitch;
};

enum class BackgroundMode
{
    Transparent = 1,
    Opaque = 2,
};

// A memory drawing context: one bitmap selected into it, one font, the text and background colours.
// A context without a bitmap draws nothing.
class DeviceContext
{
public:
    DibSection* SelectBitmap(DibSection* bitmap);
    DibSection* Bitmap() const { return m_bitmap; }
    Font* SelectFont(Font* font);
    Font* CurrentFont() const { return m_font; }

    std::uint32_t SetTextColor(std::uint32_t color);
    std::uint32_t TextColor() const { return m_textColor; }
    std::uint32_t SetBackgroundColor(std::uint32_t color);
    std::uint32_t BackgroundColor() const { return m_backgroundColor; }
    BackgroundMode SetBackgroundMode(BackgroundMode mode);
    BackgroundMode GetBackgroundMode() const { return m_backgroundMode; }

    // False outside the bitmap (or without one).
    bool GetPixel(int x, int y, std::uint32_t& color) const;
    bool SetPixel(int x, int y, std::uint32_t color);
    // Mixes `color` into the pixel by coverage/255.
    void BlendPixel(int x, int y, std::uint32_t color, unsigned coverage);
    // Fills [left, right) × [top, bottom), clipped to the bitmap.
    void FillRect(int left, int top, int right, int bottom, std::uint32_t color);

    // The selected font's extent of one CP932 line; false without a font or when it cannot measure.
    bool GetTextExtent(std::string_view cp932, int& cx, int& cy) const;
    // Draws one CP932 line with its upper-left corner at (x, y) in the text colour; in opaque mode the
    // text's extent is painted with the background colour first.
    bool TextOut(int x, int y, std::string_view cp932);

private:
    DibSection* m_bitmap = nullptr;
    Font* m_font = nullptr;
    std::uint32_t m_textColor = 0;
    std::uint32_t m_backgroundColor = 0xFFFFFF;
    BackgroundMode m_backgroundMode = BackgroundMode::Opaque;
};

// Draws a decoded picture scaled to width × height at (x, y); transparent pixels leave the target alone.
// False without a bitmap or for an empty target size.
bool DrawPicture(DeviceContext& dc, const Picture& picture, int x, int y, int width, int height);

} // namespace platform
