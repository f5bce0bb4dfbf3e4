#include "sdk/draw/dib_bitmap.h"

#include "platform/font.h"

#include "sdk/auxiliary/file.h"
#include "sdk/draw/graphic_loader.h"
#include "sdk/ztl/exception.h"

#include <algorithm>
#include <cstring>

namespace zelvoranGameSDK3rd::Draw {
namespace {

// The pixel type of a bitmap's surface info by its depth.
std::int32_t PixelTypeOfDepth(int bitsPerPixel, bool alpha)
{
    switch (bitsPerPixel) {
    case 15:
    case 16:
        return kPixel555;
    case 24:
        return kPixelRGB888;
    case 32:
        return alpha ? kPixelARGB8888 : kPixelXRGB8888;
    case 8:
        return kPixelUnknown; // no kernel serves palettised bitmaps
    default:
        return kPixelNone;
    }
}

std::uint8_t* PixelAt(CSurfaceInfo& info, int x, int y)
{
    return info.pixels + static_cast<std::ptrdiff_t>(y) * info.pitch + static_cast<std::ptrdiff_t>(x) * 4;
}

// Turns the 32-bit `from` (w × h) a quarter turn clockwise into the 32-bit `to` (h × w): pixel (x, y)
// lands on (h - 1 - y, x).
void TurnClockwise(CSurfaceInfo& from, CSurfaceInfo& to)
{
    const int w = std::min(from.width, to.height), h = std::min(from.height, to.width);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            std::memcpy(PixelAt(to, to.width - 1 - y, x), PixelAt(from, x, y), 4);
    }
}

// The channels of a 0x00BBGGRR colour as ARGB8888 bytes (blue, green, red) with the given alpha.
void StoreColor(std::uint8_t* p, COLORREF color, unsigned alpha)
{
    p[0] = static_cast<std::uint8_t>(color >> 16);
    p[1] = static_cast<std::uint8_t>(color >> 8);
    p[2] = static_cast<std::uint8_t>(color);
    p[3] = static_cast<std::uint8_t>(alpha);
}

// Makes `text`'s bitmap turned (the text's height wide, its width high), lets `draw` draw the text
// unturned into a work bitmap of the text's size and fill colour, and turns that a quarter to the right
// into the text's bitmap. Drawn unturned and then turned, the shadow must be offset a quarter to the left
// meanwhile, so that it falls right and down on the finished image. Results as the drawing operations.
template <class Draw> int DrawTurned(CTextDIBitmap& text, bool alpha, Draw&& draw)
{
    int w = 0, h = 0;
    text.font.GetTextSize(w, h);
    if (text.CreateDIB(h, w, 32, alpha) != 0) return 1;
    text.Clear(nullptr);
    CFont& font = text.font;
    const std::int32_t dx = font.shadowOffsetX, dy = font.shadowOffsetY;
    font.shadowOffsetX = dy;
    font.shadowOffsetY = SaturateToInt(-static_cast<long long>(dx));
    int result = 2;
    CDIBitmap work;
    if (work.CreateDIB(w, h, 32, alpha) == 0) {
        work.GetSurfaceInfo()->fillColor = text.GetSurfaceInfo()->fillColor;
        work.Clear(nullptr);
        result = draw(work);
        if (result == 0) TurnClockwise(*work.GetSurfaceInfo(), *text.GetSurfaceInfo());
    }
    font.shadowOffsetX = dx;
    font.shadowOffsetY = dy;
    return result;
}

} // namespace

CDIBitmap::CDIBitmap() : info(new CSurfaceInfo)
{}

CDIBitmap::~CDIBitmap()
{
    Release();
}

int CDIBitmap::CreateDIB(int w, int h, int bpp, bool alpha)
{
    Release();
    if (w <= 0 || h <= 0) return 1;
    if (alpha) bpp = 32;
    std::unique_ptr<platform::DibSection> section = platform::DibSection::Create(w, h, bpp == 15 ? 16 : bpp);
    if (!section) return 1;
    bitmap = std::move(section);
    bits = bitmap->Bits();
    width = w;
    height = h;
    bitsPerPixel = bpp;
    memoryDC = std::make_unique<platform::DeviceContext>();
    memoryDC->SelectBitmap(bitmap.get());

    CSurfaceInfo* surface = GetSurfaceInfo();
    surface->type = PixelTypeOfDepth(bpp, alpha);
    const int bytes = BytesPerPixel(surface->type);
    surface->pixels = static_cast<std::uint8_t*>(bits);
    surface->pitch = surface->type == kPixelUnknown ? bitmap->Pitch() : (bytes * w + 3) & ~3;
    surface->width = w;
    surface->height = h;
    surface->valid = true;
    return 0;
}

int CDIBitmap::Release()
{
    memoryDC.reset();
    bitmap.reset();
    bits = nullptr;
    if (info) info->valid = false;
    return 0;
}

int CDIBitmap::GetSize(int* w, int* h)
{
    if (!bitmap) return 1;
    *w = width;
    *h = height;
    return 0;
}

CSurfaceInfo* CDIBitmap::GetSurfaceInfo()
{
    if (!info) throw ZTL::CNullPointerException();
    return info.get();
}

int CDIBitmap::Clear(const RECT* rect)
{
    return CSurfaceInfo::EffectDispatch(0, rect, nullptr, GetSurfaceInfo());
}

int CDIBitmap::SaveBMP(const ZTL::string& name, const RECT* rect)
{
    return GetSurfaceInfo()->SaveBMP(name, rect);
}

int CDIBitmap::Load(const ZTL::string& name, int bpp)
{
    Auxiliary::CFile file;
    file.Read(name);
    ZTL::smart_ptr<IGraphicLoader> loader = CreateGraphicLoader();
    if (!loader || loader->Load(file) != 0) return 1;
    int w = 0, h = 0;
    if (loader->GetSize(w, h) != 0) return 2;
    if (CreateDIB(w, h, bpp, false) != 0) return 3;
    if (loader->Render(GetDC()) != 0) return 4;
    return 0;
}

int CDIBitmap::CreateFromDC(HDC source, const RECT* rect, int bpp)
{
    if (!rect || !source) return 1;
    if (CreateDIB(rect->right - rect->left, rect->bottom - rect->top, bpp, false) != 0) return 1;
    for (int y = rect->top; y < rect->bottom; ++y) {
        for (int x = rect->left; x < rect->right; ++x) {
            std::uint32_t color = 0;
            // Points outside the source read as black, as a failed read gives no colour.
            if (!source->GetPixel(x, y, color)) color = 0;
            memoryDC->SetPixel(x - rect->left, y - rect->top, color);
        }
    }
    return 0;
}

void PutTextOverShadow(std::uint8_t* text, const std::uint8_t* shadow)
{
    const unsigned at = text[3], as = shadow[3];
    const unsigned a = as * (255 - at) / 255;
    const unsigned total = at + a;
    if (total == 0 || a == 0) return;
    for (int i = 0; i < 3; ++i)
        text[i] = static_cast<std::uint8_t>((shadow[i] * a + text[i] * at) / total);
    text[3] = static_cast<std::uint8_t>(total);
}

int CTextDIBitmap::DrawText()
{
    int w = 0, h = 0;
    font.GetTextSize(w, h);
    if (CreateDIB(w, h, 32, false) != 0) return 1;
    Clear(nullptr);
    font.Draw(GetDC(), offsetX, offsetY);
    return 0;
}

int CTextDIBitmap::DrawTextVertical()
{
    return DrawTurned(*this, false, [this](CDIBitmap& work) {
        font.Draw(work.GetDC(), offsetX, offsetY);
        return 0;
    });
}

int CTextDIBitmap::RenderAntialiased(CDIBitmap& target, int factor)
{
    CSurfaceInfo& out = *target.GetSurfaceInfo();
    const int w = out.width, h = out.height;
    const COLORREF color = font.color, shadowColor = font.shadowColor;
    const std::int32_t quality = font.quality, size = font.size, lineHeight = font.lineHeight;
    auto restore = [&] {
        font.color = color;
        font.shadowColor = shadowColor;
        font.quality = quality;
        font.size = size;
        font.lineHeight = lineHeight;
    };

    // White glyphs without smoothing, enlarged: the blue channel of the work bitmap is the coverage.
    font.color = 0xFFFFFF;
    font.shadowColor = kNoColor;
    font.quality = static_cast<std::int32_t>(platform::FontQuality::NonAntialiased);
    font.size = SaturateToInt(static_cast<long long>(size) * factor);
    font.lineHeight = SaturateToInt(static_cast<long long>(lineHeight) * factor);
    int w2 = 0, h2 = 0;
    font.GetTextSize(w2, h2);
    if (w2 == 0 || h2 == 0) w2 = h2 = 1;
    CDIBitmap work;
    if (work.CreateDIB(w2, h2, 32, true) != 0) {
        restore();
        return 2;
    }
    CSurfaceInfo& big = *work.GetSurfaceInfo();
    big.fillColor = out.fillColor;
    CSurfaceInfo::EffectDispatch(0, nullptr, nullptr, &big);
    font.Draw(work.GetDC(), SaturateToInt(static_cast<long long>(factor) * offsetX),
              SaturateToInt(static_cast<long long>(factor) * offsetY));

    const int usedW = std::min(w, w2 / factor), usedH = std::min(h, h2 / factor);
    const int shift = factor == 2 ? 2 : 4;
    for (int y = 0; y < usedH; ++y) {
        for (int x = 0; x < usedW; ++x) {
            unsigned sum = 0;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i)
                    sum += PixelAt(big, factor * x + i, factor * y + j)[0];
            }
            StoreColor(PixelAt(out, x, y), color, sum >> shift);
        }
    }
    font.size = size;
    font.lineHeight = lineHeight;

    if (shadowColor != kNoColor) {
        CTextDIBitmap shadow;
        shadow.font = font;
        shadow.font.color = shadowColor;
        shadow.font.shadowColor = kNoColor;
        shadow.offsetX = font.shadowOffsetX;
        shadow.offsetY = font.shadowOffsetY;
        shadow.vertical = 0;
        shadow.DrawTextAAOriented(factor);
        int sw = 0, sh = 0;
        if (shadow.GetSize(&sw, &sh) == 0) {
            CSurfaceInfo& under = *shadow.GetSurfaceInfo();
            for (int y = 0; y < std::min(usedH, sh); ++y) {
                for (int x = 0; x < std::min(usedW, sw); ++x)
                    PutTextOverShadow(PixelAt(out, x, y), PixelAt(under, x, y));
            }
        }
    }
    restore();
    return 0;
}

int CTextDIBitmap::DrawTextAA(int factor)
{
    int w = 0, h = 0;
    font.GetTextSize(w, h);
    if (CreateDIB(w, h, 32, true) != 0) return 1;
    Clear(nullptr);
    return RenderAntialiased(*this, factor);
}

int CTextDIBitmap::DrawTextAAVertical(int factor)
{
    return DrawTurned(*this, true,
                      [this, factor](CDIBitmap& work) { return RenderAntialiased(work, factor); });
}

int CTextDIBitmap::DrawTextAAOriented(int factor)
{
    if (!vertical) return DrawTextAA(factor);
    font.vertical = !font.vertical;
    const int result = DrawTextAAVertical(factor);
    font.vertical = !font.vertical;
    return result;
}

} // namespace zelvoranGameSDK3rd::Draw
