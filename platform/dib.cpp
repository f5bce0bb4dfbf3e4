#include "platform/dib.h"

#include "platform/host/media/picture.h"

#include <algorithm>
#include <climits>
#include <new>

namespace platform {

int DibSection::PitchFor(int width, int bitsPerPixel)
{
    const long long bytes = (static_cast<long long>(width) * bitsPerPixel + 7) / 8;
    const long long pitch = (bytes + 3) & ~3LL;
    return pitch > INT_MAX ? 0 : static_cast<int>(pitch);
}

DibSection::DibSection(int width, int height, int bitsPerPixel, int pitch)
    : m_width(width), m_height(height), m_bitsPerPixel(bitsPerPixel), m_pitch(pitch)
{}

std::unique_ptr<DibSection> DibSection::Create(int width, int height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0) return nullptr;
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
    const int pitch = PitchFor(width, bitsPerPixel);
    if (pitch == 0) return nullptr;
    // Sections larger than this are refused as the operating system would refuse them.
    constexpr std::size_t kMaxBytes = std::size_t{1} << 30;
    const std::size_t size = static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height);
    if (size > kMaxBytes || size / static_cast<std::size_t>(pitch) != static_cast<std::size_t>(height))
        return nullptr;
    std::unique_ptr<DibSection> section(new (std::nothrow) DibSection(width, height, bitsPerPixel, pitch));
    if (!section) return nullptr;
    try {
        section->m_pixels.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return section;
}

DibSection* DeviceContext::SelectBitmap(DibSection* bitmap)
{
    std::swap(m_bitmap, bitmap);
    return bitmap;
}

Font* DeviceContext::SelectFont(Font* font)
{
    std::swap(m_font, font);
    return font;
}

std::uint32_t DeviceContext::SetTextColor(std::uint32_t color)
{
    std::swap(m_textColor, color);
    return color;
}

std::uint32_t DeviceContext::SetBackgroundColor(std::uint32_t color)
{
    std::swap(m_backgroundColor, color);
    return color;
}

BackgroundMode DeviceContext::SetBackgroundMode(BackgroundMode mode)
{
    std::swap(m_backgroundMode, mode);
    return mode;
}

namespace {

std::uint8_t* PixelAt(DibSection* bitmap, int x, int y)
{
    if (!bitmap || x < 0 || y < 0 || x >= bitmap->Width() || y >= bitmap->Height()) return nullptr;
    auto* row = static_cast<std::uint8_t*>(bitmap->Bits()) + static_cast<std::size_t>(y) * bitmap->Pitch();
    switch (bitmap->BitsPerPixel()) {
    case 16:
        return row + x * 2;
    case 24:
        return row + x * 3;
    case 32:
        return row + x * 4;
    default:
        return nullptr; // palettised sections are not drawn into
    }
}

std::uint32_t Red(std::uint32_t c)
{
    return c & 0xFF;
}
std::uint32_t Green(std::uint32_t c)
{
    return (c >> 8) & 0xFF;
}
std::uint32_t Blue(std::uint32_t c)
{
    return (c >> 16) & 0xFF;
}

} // namespace

bool DeviceContext::GetPixel(int x, int y, std::uint32_t& color) const
{
    const std::uint8_t* p = PixelAt(m_bitmap, x, y);
    if (!p) return false;
    if (m_bitmap->BitsPerPixel() == 16) {
        const unsigned w = p[0] | (p[1] << 8);
        const unsigned r = (w >> 7) & 0xF8, g = (w >> 2) & 0xF8, b = (w << 3) & 0xF8;
        color = r | (g << 8) | (b << 16);
    } else {
        color = p[2] | (p[1] << 8) | (static_cast<std::uint32_t>(p[0]) << 16);
    }
    return true;
}

bool DeviceContext::SetPixel(int x, int y, std::uint32_t color)
{
    std::uint8_t* p = PixelAt(m_bitmap, x, y);
    if (!p) return false;
    switch (m_bitmap->BitsPerPixel()) {
    case 16: {
        const unsigned w = ((Red(color) >> 3) << 10) | ((Green(color) >> 3) << 5) | (Blue(color) >> 3);
        p[0] = static_cast<std::uint8_t>(w);
        p[1] = static_cast<std::uint8_t>(w >> 8);
        break;
    }
    case 32:
        p[3] = 0;
        [[fallthrough]];
    default:
        p[0] = static_cast<std::uint8_t>(Blue(color));
        p[1] = static_cast<std::uint8_t>(Green(color));
        p[2] = static_cast<std::uint8_t>(Red(color));
        break;
    }
    return true;
}

void DeviceContext::BlendPixel(int x, int y, std::uint32_t color, unsigned coverage)
{
    if (coverage == 0) return;
    if (coverage >= 255) {
        SetPixel(x, y, color);
        return;
    }
    std::uint32_t old;
    if (!GetPixel(x, y, old)) return;
    auto mix = [coverage](std::uint32_t from, std::uint32_t to) {
        return (from * (255 - coverage) + to * coverage + 127) / 255;
    };
    SetPixel(x, y,
             mix(Red(old), Red(color)) | (mix(Green(old), Green(color)) << 8) |
                 (mix(Blue(old), Blue(color)) << 16));
}

void DeviceContext::FillRect(int left, int top, int right, int bottom, std::uint32_t color)
{
    if (!m_bitmap) return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_bitmap->Width());
    bottom = std::min(bottom, m_bitmap->Height());
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            SetPixel(x, y, color);
    }
}

bool DeviceContext::GetTextExtent(std::string_view cp932, int& cx, int& cy) const
{
    cx = cy = 0;
    return m_font && m_font->Extent(cp932, cx, cy);
}

bool DeviceContext::TextOut(int x, int y, std::string_view cp932)
{
    if (!m_font) return false;
    int cx, cy;
    if (!m_font->Extent(cp932, cx, cy)) return false;
    // Coordinates kept within int for text placed anywhere.
    auto relative = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); };
    if (m_backgroundMode == BackgroundMode::Opaque) {
        FillRect(x, y, relative(static_cast<long long>(x) + cx), relative(static_cast<long long>(y) + cy),
                 m_backgroundColor);
    }
    if (!m_bitmap) return true;
    TextMask mask;
    const MaskWindow window{relative(-static_cast<long long>(x)), relative(-static_cast<long long>(y)),
                            relative(static_cast<long long>(m_bitmap->Width()) - x),
                            relative(static_cast<long long>(m_bitmap->Height()) - y)};
    if (!m_font->Rasterise(cp932, window, mask)) return false;
    for (int my = 0; my < mask.height; ++my) {
        const std::uint8_t* row = mask.Row(my);
        for (int mx = 0; mx < mask.width; ++mx) {
            if (row[mx]) BlendPixel(x + mask.originX + mx, y + mask.originY + my, m_textColor, row[mx]);
        }
    }
    return true;
}

bool DrawPicture(DeviceContext& dc, const Picture& picture, int x, int y, int width, int height)
{
    DibSection* target = dc.Bitmap();
    if (!target || width <= 0 || height <= 0) return false;
    // The visible part, worked out in 64 bits for pictures placed anywhere.
    const long long firstRow = std::max(0LL, -static_cast<long long>(y));
    const long long lastRow = std::min<long long>(height, target->Height() - static_cast<long long>(y));
    const long long firstColumn = std::max(0LL, -static_cast<long long>(x));
    const long long lastColumn = std::min<long long>(width, target->Width() - static_cast<long long>(x));
    for (long long r = firstRow; r < lastRow; ++r) {
        const int sy = static_cast<int>(r * picture.Height() / height);
        for (long long c = firstColumn; c < lastColumn; ++c) {
            const std::uint32_t pixel = picture.Pixel(static_cast<int>(c * picture.Width() / width), sy);
            if (!(pixel & Picture::kTransparent)) {
                dc.SetPixel(static_cast<int>(x + c), static_cast<int>(y + r), pixel);
            }
        }
    }
    return true;
}

} // namespace platform
