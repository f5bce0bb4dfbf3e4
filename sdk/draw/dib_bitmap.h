#pragma once
// Device-independent bitmaps that are at the same time surfaces the pixel kernels understand: text and
// images are drawn into them through a drawing context, and they are copied into planes with the blit
// dispatcher. Text bitmaps draw a font plainly, turned for vertical writing, or antialiased with an alpha
// channel by drawing it two or four times larger and averaging.

#include "platform/dib.h"
#include "sdk/draw/font.h"
#include "sdk/draw/surface_info.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <memory>

namespace zelvoranGameSDK3rd::Draw {

using HBITMAP = platform::DibSection*;

class IDIBitmap
{
public:
    // Draws an image file into a new bitmap of its size: 0 done, 1 the file cannot be decoded, 2 the
    // loader gives no size, 3 the bitmap cannot be made, 4 drawing failed.
    virtual int Load(const ZTL::string& name, int bitsPerPixel) = 0;
    // A new bitmap holding a copy of the rectangle of `source`: 0 done, 1 no rectangle or no bitmap.
    virtual int CreateFromDC(HDC source, const RECT* rect, int bitsPerPixel) = 0;
    virtual int SaveBMP(const ZTL::string& name, const RECT* rect) = 0;
    // 0 done, 1 failed (a side of 0 or less, or no memory).
    virtual int CreateDIB(int width, int height, int bitsPerPixel, bool alpha) = 0;
    // Fills the rectangle (null: the whole bitmap) with the surface info's fill colour.
    virtual int Clear(const RECT* rect) = 0;
    virtual int Release() = 0;
    virtual HDC GetDC() = 0;
    virtual HBITMAP GetHBITMAP() = 0;
    // 0 and the size; 1 when there is no bitmap.
    virtual int GetSize(int* width, int* height) = 0;
    virtual void* GetBits() = 0;
    virtual CSurfaceInfo* GetSurfaceInfo() = 0;
    virtual ~IDIBitmap() = default;
};

class CDIBitmap : public IDIBitmap
{
public:
    CDIBitmap();
    ~CDIBitmap() override;
    CDIBitmap(const CDIBitmap&) = delete;
    CDIBitmap& operator=(const CDIBitmap&) = delete;

    int Load(const ZTL::string& name, int bitsPerPixel) override;
    int CreateFromDC(HDC source, const RECT* rect, int bitsPerPixel) override;
    int SaveBMP(const ZTL::string& name, const RECT* rect) override;
    int CreateDIB(int width, int height, int bitsPerPixel, bool alpha) override;
    int Clear(const RECT* rect) override;
    int Release() override;
    HDC GetDC() override { return m_memoryDC.get(); }
    HBITMAP GetHBITMAP() override { return m_bitmap.get(); }
    int GetSize(int* width, int* height) override;
    void* GetBits() override { return m_bits; }
    CSurfaceInfo* GetSurfaceInfo() override;

protected:
    void* m_bits = nullptr;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_bitsPerPixel = 0;
    std::unique_ptr<platform::DibSection> m_bitmap;
    std::unique_ptr<platform::DeviceContext> m_memoryDC;
    ZTL::smart_ptr<CSurfaceInfo> m_info;
};

class CTextDIBitmap : public CDIBitmap
{
public:
    // Results of the drawing operations: 0 done, 1 the bitmap cannot be made, 2 the work bitmap cannot be
    // made. Each makes the bitmap anew at the size of the font's text.
    int DrawText();
    int DrawTextVertical();
    int DrawTextAA2() { return DrawTextAA(2); }
    int DrawTextAA4() { return DrawTextAA(4); }
    int DrawTextAA2Vertical() { return DrawTextAAVertical(2); }
    int DrawTextAA4Vertical() { return DrawTextAAVertical(4); }
    // The horizontal form when `vertical` is 0; otherwise the vertical form with the font's own vertical
    // flag inverted for the call.
    int DrawTextAA2Oriented() { return DrawTextAAOriented(2); }
    int DrawTextAA4Oriented() { return DrawTextAAOriented(4); }

    CFont font;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::uint8_t vertical = 0;

private:
    int DrawTextAA(int factor);
    int DrawTextAAVertical(int factor);
    int DrawTextAAOriented(int factor);
    // Draws the antialiased text (and its shadow) into `target`, which is made and filled at the text's
    // size; 0 done, 2 the enlarged work bitmap cannot be made.
    int RenderAntialiased(CDIBitmap& target, int factor);
};

// Composites one ARGB8888 text pixel over its shadow pixel, in place.
void PutTextOverShadow(std::uint8_t* text, const std::uint8_t* shadow);

} // namespace zelvoranGameSDK3rd::Draw
