#include "platform/display.h"

#include "platform/backend_chooser.h"
#include "platform/host/pixel_type.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace platform {

namespace {

std::atomic<DisplayDriverFactory> installedFactory{nullptr};

// The largest side of a surface or frame; keeps sizes and offsets far from overflowing.
constexpr std::int32_t kMaxSide = 16384;

// The frame a display mode gives: windowed XRGB8888; full screen 16, 24 or 32 bits RGB565, RGB888 or
// XRGB8888. False for another depth or a side of 0 or less (or above the largest side).
bool FrameFormatOf(bool fullScreen, std::int32_t width, std::int32_t height, std::int32_t bits,
                   std::int32_t& pixelType, std::int32_t& bytesPerPixel)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    if (!fullScreen || bits == 32) {
        pixelType = kPixelXRGB8888;
    } else if (bits == 16) {
        pixelType = kPixel565;
    } else if (bits == 24) {
        pixelType = kPixelRGB888;
    } else {
        return false;
    }
    bytesPerPixel = DisplayBytesPerPixel(pixelType);
    return true;
}

DisplayPixelFormat FormatOf(std::int32_t type)
{
    switch (type) {
    case kPixel565:
        return {16, 0xF800, 0x07E0, 0x001F};
    case kPixel555:
        return {16, 0x7C00, 0x03E0, 0x001F};
    case kPixelRGB888:
        return {24, 0xFF0000, 0x00FF00, 0x0000FF};
    case kPixelBGR888:
        return {24, 0x0000FF, 0x00FF00, 0xFF0000};
    case kPixelXRGB8888:
        return {32, 0xFF0000, 0x00FF00, 0x0000FF};
    case kPixelXBGR8888:
        return {32, 0x0000FF, 0x00FF00, 0xFF0000};
    default:
        return {0, 0, 0, 0};
    }
}

// The layout of a drawing-context bitmap's pixels: 16 bits are 5-5-5, 24 bits B, G, R, 32 bits B, G, R, 0.
std::int32_t DibPixelType(int bitsPerPixel)
{
    return bitsPerPixel == 16 ? kPixel555 : bitsPerPixel == 24 ? kPixelRGB888 : kPixelXRGB8888;
}

std::uint32_t Expand5(std::uint32_t v)
{
    return (v << 3) | (v >> 2);
}
std::uint32_t Expand6(std::uint32_t v)
{
    return (v << 2) | (v >> 4);
}

// The primary surface: the window's presentable frame. A later mode change gives the window a new
// frame, and a surface of the old one is lost.
class FrameSurface : public MemoryDisplaySurface
{
public:
    FrameSurface(HWND window, const FrameMemory& frame)
        : MemoryDisplaySurface(frame.pixels, frame.pitch, frame.width, frame.height, frame.pixelType),
          m_window(window), m_generation(frame.generation)
    {}
    bool IsLost() override { return GetBackend().GetFrame(m_window).generation != m_generation; }
    DisplayResult Lock(std::uint8_t** pixels, std::int32_t* pitch) override
    {
        return IsLost() ? kDisplaySurfaceLost : MemoryDisplaySurface::Lock(pixels, pitch);
    }
    DisplayResult GetDC(DeviceContext** dc) override
    {
        return IsLost() ? kDisplaySurfaceLost : MemoryDisplaySurface::GetDC(dc);
    }
    DisplayResult Blt(const RECT& dst, DisplaySurface* source, const RECT& src) override
    {
        return IsLost() ? kDisplaySurfaceLost : MemoryDisplaySurface::Blt(dst, source, src);
    }
    DisplayResult BltFast(std::int32_t x, std::int32_t y, DisplaySurface* source, const RECT& src) override
    {
        return IsLost() ? kDisplaySurfaceLost : MemoryDisplaySurface::BltFast(x, y, source, src);
    }
    DisplayResult ColorFill(const RECT& dst, std::uint32_t color) override
    {
        return IsLost() ? kDisplaySurfaceLost : MemoryDisplaySurface::ColorFill(dst, color);
    }
    DisplayResult Present() override
    {
        if (IsLost()) return kDisplaySurfaceLost;
        return GetBackend().PresentFrame(m_window) ? kDisplayOk : kDisplayFailed;
    }

private:
    HWND m_window;
    std::uint32_t m_generation;
};

class WindowClipper : public DisplayClipper
{
public:
    DisplayResult SetWindow(HWND window) override { return IsWindow(window) ? kDisplayOk : kDisplayFailed; }
};

// The driver over the back end's presentable frames.
class BackendDisplayDriver : public DisplayDriver
{
public:
    ~BackendDisplayDriver() override
    {
        if (m_window != nullptr && IsWindow(m_window)) GetBackend().CloseDisplay(m_window);
    }
    DisplayResult Initialize(bool) override { return kDisplayOk; }
    DisplayResult SetCooperativeLevel(HWND window, bool exclusiveFullScreen) override
    {
        if (exclusiveFullScreen && !IsWindow(window)) return kDisplayFailed;
        m_window = window;
        m_exclusive = exclusiveFullScreen;
        return kDisplayOk;
    }
    DisplayResult SetDisplayMode(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel) override
    {
        if (!m_exclusive) return kDisplayFailed;
        std::int32_t type = 0;
        if (!SetFrameMode(m_window, true, width, height, bitsPerPixel, &type)) return kDisplayFailed;
        m_modeSet = true;
        m_displayType = type;
        return kDisplayOk;
    }
    DisplayResult RestoreDisplayMode() override
    {
        m_modeSet = false;
        return kDisplayOk;
    }
    DisplayResult CreatePrimarySurface(std::int32_t width, std::int32_t height,
                                       std::unique_ptr<DisplaySurface>* surface) override
    {
        if (!IsWindow(m_window)) return kDisplayFailed;
        if (!(m_exclusive && m_modeSet)) {
            std::int32_t type = 0;
            if (!SetFrameMode(m_window, false, width, height, 32, &type)) return kDisplayFailed;
            m_displayType = type;
        }
        const FrameMemory frame = GetBackend().GetFrame(m_window);
        if (frame.pixels == nullptr) return kDisplayFailed;
        surface->reset(new (std::nothrow) FrameSurface(m_window, frame));
        return *surface ? kDisplayOk : kDisplayFailed;
    }
    DisplayResult CreateSurface(std::int32_t width, std::int32_t height, bool,
                                std::unique_ptr<DisplaySurface>* surface) override
    {
        auto made = std::make_unique<MemoryDisplaySurface>(width, height, m_displayType);
        if (made->Width() == 0) return kDisplayFailed;
        *surface = std::move(made);
        return kDisplayOk;
    }
    DisplayResult CreateClipper(std::unique_ptr<DisplayClipper>* clipper) override
    {
        *clipper = std::make_unique<WindowClipper>();
        return kDisplayOk;
    }

private:
    HWND m_window = nullptr;
    bool m_exclusive = false;
    bool m_modeSet = false;
    std::int32_t m_displayType = kPixelXRGB8888; // the desktop's format until a mode is set
};

} // namespace

int DisplayBytesPerPixel(std::int32_t pixelType)
{
    switch (pixelType) {
    case kPixel565:
    case kPixel555:
        return 2;
    case kPixelRGB888:
    case kPixelBGR888:
        return 3;
    case kPixelXRGB8888:
    case kPixelXBGR8888:
        return 4;
    default:
        return 0;
    }
}

bool SetFrameMode(HWND window, bool fullScreen, std::int32_t width, std::int32_t height, std::int32_t bits,
                  std::int32_t* pixelType)
{
    std::int32_t type = 0, bytes = 0;
    if (!FrameFormatOf(fullScreen, width, height, bits, type, bytes)) return false;
    if (!GetBackend().MakeFrame(window, width, height, type, bytes)) return false;
    *pixelType = type;
    return true;
}

bool GetCursorClientPosition(HWND window, POINT& client)
{
    return GetBackend().GetCursorPosition(window, client);
}

std::unique_ptr<DisplayDriver> CreateDisplayDriver()
{
    if (DisplayDriverFactory factory = installedFactory.load()) return factory();
    return std::make_unique<BackendDisplayDriver>();
}

void SetDisplayDriverFactory(DisplayDriverFactory factory)
{
    installedFactory.store(factory);
}

MemoryDisplaySurface::MemoryDisplaySurface(std::int32_t width, std::int32_t height, std::int32_t pixelType)
{
    const int bytes = DisplayBytesPerPixel(pixelType);
    if (bytes == 0 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return;
    const std::size_t size = std::size_t(width) * std::size_t(height) * std::size_t(bytes);
    m_owned = AllocatePlaneMemory(size, true);
    if (!m_owned) return;
    Bind(m_owned.get(), width * bytes, width, height, pixelType);
}

MemoryDisplaySurface::MemoryDisplaySurface(std::uint8_t* pixels, std::int32_t pitch, std::int32_t width,
                                           std::int32_t height, std::int32_t pixelType)
{
    if (pixels == nullptr || DisplayBytesPerPixel(pixelType) == 0 || width <= 0 || height <= 0) return;
    Bind(pixels, pitch, width, height, pixelType);
}

void MemoryDisplaySurface::Bind(std::uint8_t* pixels, std::int32_t pitch, std::int32_t width,
                                std::int32_t height, std::int32_t pixelType)
{
    m_pixels = pixels;
    m_pitch = pitch;
    m_width = width;
    m_height = height;
    m_type = pixelType;
}

DisplayResult MemoryDisplaySurface::Lock(std::uint8_t** pixels, std::int32_t* pitch)
{
    if (m_pixels == nullptr) return kDisplayFailed;
    *pixels = m_pixels;
    *pitch = m_pitch;
    return kDisplayOk;
}

DisplayResult MemoryDisplaySurface::Unlock()
{
    return m_pixels == nullptr ? kDisplayFailed : kDisplayOk;
}

DisplayResult MemoryDisplaySurface::GetPixelFormat(DisplayPixelFormat* format)
{
    if (m_pixels == nullptr) return kDisplayFailed;
    *format = FormatOf(m_type);
    return kDisplayOk;
}

std::uint32_t MemoryDisplaySurface::ReadPixel(std::int32_t x, std::int32_t y) const
{
    const std::uint8_t* p =
        m_pixels + std::ptrdiff_t(y) * m_pitch + std::ptrdiff_t(x) * DisplayBytesPerPixel(m_type);
    switch (m_type) {
    case kPixel565: {
        const std::uint32_t w = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
        return (Expand5((w >> 11) & 0x1F) << 16) | (Expand6((w >> 5) & 0x3F) << 8) | Expand5(w & 0x1F);
    }
    case kPixel555: {
        const std::uint32_t w = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
        return (Expand5((w >> 10) & 0x1F) << 16) | (Expand5((w >> 5) & 0x1F) << 8) | Expand5(w & 0x1F);
    }
    case kPixelRGB888:
    case kPixelXRGB8888:
        return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    default: // BGR888 and XBGR8888
        return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
    }
}

void MemoryDisplaySurface::WritePixel(std::int32_t x, std::int32_t y, std::uint32_t rgb)
{
    std::uint8_t* p =
        m_pixels + std::ptrdiff_t(y) * m_pitch + std::ptrdiff_t(x) * DisplayBytesPerPixel(m_type);
    const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    switch (m_type) {
    case kPixel565: {
        const std::uint32_t w = ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3);
        p[0] = std::uint8_t(w);
        p[1] = std::uint8_t(w >> 8);
        break;
    }
    case kPixel555: {
        const std::uint32_t w = ((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3);
        p[0] = std::uint8_t(w);
        p[1] = std::uint8_t(w >> 8);
        break;
    }
    case kPixelRGB888:
    case kPixelXRGB8888:
        p[0] = std::uint8_t(b);
        p[1] = std::uint8_t(g);
        p[2] = std::uint8_t(r);
        if (m_type == kPixelXRGB8888) p[3] = 0;
        break;
    default:
        p[0] = std::uint8_t(r);
        p[1] = std::uint8_t(g);
        p[2] = std::uint8_t(b);
        if (m_type == kPixelXBGR8888) p[3] = 0;
        break;
    }
}

DisplayResult MemoryDisplaySurface::Blt(const RECT& dst, DisplaySurface* source, const RECT& src)
{
    auto* from = dynamic_cast<MemoryDisplaySurface*>(source);
    if (m_pixels == nullptr || from == nullptr || from->m_pixels == nullptr) return kDisplayFailed;
    const std::int64_t dw = std::int64_t(dst.right) - dst.left, dh = std::int64_t(dst.bottom) - dst.top;
    const std::int64_t sw = std::int64_t(src.right) - src.left, sh = std::int64_t(src.bottom) - src.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return kDisplayOk;
    const std::int32_t x0 = std::max<std::int32_t>(dst.left, 0),
                       x1 = std::min<std::int32_t>(dst.right, m_width);
    const std::int32_t y0 = std::max<std::int32_t>(dst.top, 0),
                       y1 = std::min<std::int32_t>(dst.bottom, m_height);
    const bool sameRows = dw == sw && dh == sh && m_type == from->m_type;
    const int bytes = DisplayBytesPerPixel(m_type);
    for (std::int32_t y = y0; y < y1; ++y) {
        const std::int64_t sy = src.top + (std::int64_t(y) - dst.top) * sh / dh;
        if (sy < 0 || sy >= from->m_height) continue;
        if (sameRows) {
            // Unscaled, same format: the visible run of the row at once.
            std::int32_t a = x0, b = x1;
            a = std::int32_t(std::max<std::int64_t>(a, std::int64_t(dst.left) - src.left));
            b = std::int32_t(std::min<std::int64_t>(b, std::int64_t(dst.left) - src.left + from->m_width));
            if (a >= b) continue;
            const std::int64_t sx = src.left + (std::int64_t(a) - dst.left);
            MoveRow(m_pixels + std::ptrdiff_t(y) * m_pitch + std::ptrdiff_t(a) * bytes,
                    from->m_pixels + std::ptrdiff_t(sy) * from->m_pitch + std::ptrdiff_t(sx) * bytes,
                    std::size_t(b - a) * bytes);
            continue;
        }
        for (std::int32_t x = x0; x < x1; ++x) {
            const std::int64_t sx = src.left + (std::int64_t(x) - dst.left) * sw / dw;
            if (sx < 0 || sx >= from->m_width) continue;
            WritePixel(x, y, from->ReadPixel(std::int32_t(sx), std::int32_t(sy)));
        }
    }
    return kDisplayOk;
}

DisplayResult MemoryDisplaySurface::BltFast(std::int32_t x, std::int32_t y, DisplaySurface* source,
                                            const RECT& src)
{
    const RECT dst{x, y, std::int32_t(std::int64_t(x) + src.right - src.left),
                   std::int32_t(std::int64_t(y) + src.bottom - src.top)};
    return Blt(dst, source, src);
}

DisplayResult MemoryDisplaySurface::ColorFill(const RECT& dst, std::uint32_t color)
{
    if (m_pixels == nullptr) return kDisplayFailed;
    const std::int32_t x0 = std::max<std::int32_t>(dst.left, 0),
                       x1 = std::min<std::int32_t>(dst.right, m_width);
    const std::int32_t y0 = std::max<std::int32_t>(dst.top, 0),
                       y1 = std::min<std::int32_t>(dst.bottom, m_height);
    for (std::int32_t y = y0; y < y1; ++y)
        for (std::int32_t x = x0; x < x1; ++x)
            WritePixel(x, y, color);
    return kDisplayOk;
}

DisplayResult MemoryDisplaySurface::GetDC(DeviceContext** dc)
{
    if (m_pixels == nullptr || m_dc) return kDisplayFailed;
    // The drawing context works on a bitmap of its own: 5-5-5 for the 16-bit formats.
    const int bits = DisplayBytesPerPixel(m_type) * 8;
    m_dcBitmap = DibSection::Create(m_width, m_height, bits);
    if (!m_dcBitmap) return kDisplayFailed;
    const std::int32_t dibType = DibPixelType(bits);
    MemoryDisplaySurface view(static_cast<std::uint8_t*>(m_dcBitmap->Bits()), m_dcBitmap->Pitch(), m_width,
                              m_height, dibType);
    const RECT all{0, 0, m_width, m_height};
    view.Blt(all, this, all);
    m_dc = std::make_unique<DeviceContext>();
    m_dc->SelectBitmap(m_dcBitmap.get());
    *dc = m_dc.get();
    return kDisplayOk;
}

DisplayResult MemoryDisplaySurface::ReleaseDC(DeviceContext* dc)
{
    if (!m_dc || dc != m_dc.get()) return kDisplayFailed;
    const std::int32_t dibType = DibPixelType(m_dcBitmap->BitsPerPixel());
    MemoryDisplaySurface view(static_cast<std::uint8_t*>(m_dcBitmap->Bits()), m_dcBitmap->Pitch(), m_width,
                              m_height, dibType);
    const RECT all{0, 0, m_width, m_height};
    Blt(all, &view, all);
    m_dc.reset();
    m_dcBitmap.reset();
    return kDisplayOk;
}

} // namespace platform
