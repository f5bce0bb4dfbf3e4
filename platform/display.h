// The display driver: the display object the SDK's display device speaks to, with its primary surface
// (the window's presentable frame), off-screen surfaces in memory, cooperative levels, display modes
// and window clippers.
//
// Surfaces are never lost by the back ends; a primary surface made before a later mode change reports
// itself lost. Test doubles replace the driver through SetDisplayDriverFactory to reach the failure and
// restore paths.
#pragma once

#include "platform/dib.h"
#include "platform/host/plane_memory.h"
#include "platform/win_types.h"
#include "platform/window.h"

#include <cstdint>
#include <memory>

namespace platform {

// Results of display calls: 0 done, anything else not.
using DisplayResult = std::int32_t;
constexpr DisplayResult kDisplayOk = 0;
constexpr DisplayResult kDisplayFailed = 1;
// The surface is busy; asking again later may succeed.
constexpr DisplayResult kDisplayStillDrawing = 2;
constexpr DisplayResult kDisplaySurfaceLost = 3;
constexpr DisplayResult kDisplayUnsupported = 4;

// Bits per pixel and the masks of the colour channels in a pixel read as a little-endian number.
struct DisplayPixelFormat
{
    std::uint32_t bitCount;
    std::uint32_t redMask;
    std::uint32_t greenMask;
    std::uint32_t blueMask;
};

// Keeps blits to a surface within one window.
class DisplayClipper
{
public:
    virtual ~DisplayClipper() = default;
    virtual DisplayResult SetWindow(HWND window) = 0;
};

class DisplaySurface
{
public:
    virtual ~DisplaySurface() = default;
    // The address of pixel (0, 0) and the bytes from one row to the next, valid until the surface goes.
    virtual DisplayResult Lock(std::uint8_t** pixels, std::int32_t* pitch) = 0;
    virtual DisplayResult Unlock() = 0;
    virtual DisplayResult GetPixelFormat(DisplayPixelFormat* format) = 0;
    virtual bool IsLost() = 0;
    // A drawing context over the surface's pixels; what is drawn reaches the surface at ReleaseDC.
    virtual DisplayResult GetDC(DeviceContext** dc) = 0;
    virtual DisplayResult ReleaseDC(DeviceContext* dc) = 0;
    // Copies `src` of `source` onto `dst` of this surface, scaled when the sizes differ; both are cut
    // to their surfaces.
    virtual DisplayResult Blt(const RECT& dst, DisplaySurface* source, const RECT& src) = 0;
    // Copies `src` of `source` with its top-left corner at (x, y), unscaled.
    virtual DisplayResult BltFast(std::int32_t x, std::int32_t y, DisplaySurface* source,
                                  const RECT& src) = 0;
    // Fills `dst` with a colour packed 0x00RRGGBB.
    virtual DisplayResult ColorFill(const RECT& dst, std::uint32_t color) = 0;
    virtual DisplayResult SetClipper(DisplayClipper* clipper) = 0;
    // The primary surface shows what was drawn on it; other surfaces answer kDisplayUnsupported.
    virtual DisplayResult Present() = 0;
};

class DisplayDriver
{
public:
    virtual ~DisplayDriver() = default;
    // Software only, or the default driver.
    virtual DisplayResult Initialize(bool emulationOnly) = 0;
    // A window shares the desktop (normal), or owns the display for full-screen modes (exclusive).
    virtual DisplayResult SetCooperativeLevel(HWND window, bool exclusiveFullScreen) = 0;
    // Exclusive level only.
    virtual DisplayResult SetDisplayMode(std::int32_t width, std::int32_t height,
                                         std::int32_t bitsPerPixel) = 0;
    virtual DisplayResult RestoreDisplayMode() = 0;
    // The window's frame: the full-screen mode's size, or windowed the size given.
    virtual DisplayResult CreatePrimarySurface(std::int32_t width, std::int32_t height,
                                               std::unique_ptr<DisplaySurface>* surface) = 0;
    // An off-screen surface in the display's pixel format.
    virtual DisplayResult CreateSurface(std::int32_t width, std::int32_t height, bool systemMemory,
                                        std::unique_ptr<DisplaySurface>* surface) = 0;
    virtual DisplayResult CreateClipper(std::unique_ptr<DisplayClipper>* clipper) = 0;
};

using DisplayDriverFactory = std::unique_ptr<DisplayDriver> (*)();

// A driver from the installed factory, or over the active back end's presentable frames.
std::unique_ptr<DisplayDriver> CreateDisplayDriver();
// Null puts the back end's driver back.
void SetDisplayDriverFactory(DisplayDriverFactory factory);

// A surface of memory in one of the pixel formats below; the back end's off-screen surfaces, and a base
// for test doubles.
class MemoryDisplaySurface : public DisplaySurface
{
public:
    // Pixel types (platform/host/pixel_type.h) 565, 555, RGB888, BGR888, XRGB8888 and XBGR8888. Empty
    // (and every call failing) for another type or a side of 0 or less.
    MemoryDisplaySurface(std::int32_t width, std::int32_t height, std::int32_t pixelType);
    // Over memory someone else owns.
    MemoryDisplaySurface(std::uint8_t* pixels, std::int32_t pitch, std::int32_t width, std::int32_t height,
                         std::int32_t pixelType);

    DisplayResult Lock(std::uint8_t** pixels, std::int32_t* pitch) override;
    DisplayResult Unlock() override;
    DisplayResult GetPixelFormat(DisplayPixelFormat* format) override;
    bool IsLost() override { return false; }
    DisplayResult GetDC(DeviceContext** dc) override;
    DisplayResult ReleaseDC(DeviceContext* dc) override;
    DisplayResult Blt(const RECT& dst, DisplaySurface* source, const RECT& src) override;
    DisplayResult BltFast(std::int32_t x, std::int32_t y, DisplaySurface* source, const RECT& src) override;
    DisplayResult ColorFill(const RECT& dst, std::uint32_t color) override;
    DisplayResult SetClipper(DisplayClipper*) override { return kDisplayOk; }
    DisplayResult Present() override { return kDisplayUnsupported; }

    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; }
    std::int32_t PixelType() const { return m_type; }

protected:
    // Rebinds the surface to other memory (the frame of a new mode).
    void Bind(std::uint8_t* pixels, std::int32_t pitch, std::int32_t width, std::int32_t height,
              std::int32_t pixelType);

private:
    std::uint32_t ReadPixel(std::int32_t x, std::int32_t y) const;
    void WritePixel(std::int32_t x, std::int32_t y, std::uint32_t rgb);

    PlaneMemory m_owned;
    std::uint8_t* m_pixels = nullptr;
    std::int32_t m_pitch = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_type = 0;
    std::unique_ptr<DibSection> m_dcBitmap;
    std::unique_ptr<DeviceContext> m_dc;
};

// Gives a window a new frame, cleared to black, for a display mode: windowed the frame is XRGB8888; full
// screen at 16, 24 or 32 bits it is RGB565, RGB888 or XRGB8888. False (and *pixelType untouched) for
// another depth, a side of 0 or less, or a window that does not exist.
bool SetFrameMode(HWND window, bool fullScreen, std::int32_t width, std::int32_t height, std::int32_t bits,
                  std::int32_t* pixelType);

// The mouse cursor in a window's client coordinates; false when it is not over the window.
bool GetCursorClientPosition(HWND window, POINT& client);

// The bytes of a pixel of the formats above (0 for any other type).
int DisplayBytesPerPixel(std::int32_t pixelType);

} // namespace platform
