#pragma once
// What the display tests share: the application that runs the test body (on the back end and with the
// window size the test asks for), and a scripted display driver that can refuse, report lost
// surfaces and show an 8-bit or 5-5-5 display.

#include "support/app_runner.h"

#include "platform/display.h"
#include "platform/host/clock.h"
#include "sdk/draw/fast_draw.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace draw_test {

namespace sdk = zelvoranGameSDK3rd;
using platform::HWND;
using platform::POINT;
using platform::RECT;
using platform::SIZE;

using DrawApp = test_support::BodyApp;

// Runs `body` as the main routine of an application with a window of that client size on the named back
// end. False when the back end cannot be chosen.
inline bool RunInDrawApp(const char* backend, int width, int height, std::function<void(DrawApp&)> body)
{
    return test_support::RunInApplication(std::move(body), backend, width, height);
}

// Runs the body on a headless application of that size with a display device made for it (and changed
// to a window first, unless told not to); the virtual clock spares the wait after a change of the
// window's style. The device is left windowed, as the next test expects.
inline void WithDevice(int width, int height, std::function<void(DrawApp&, sdk::Draw::CFastDraw&)> body,
                       bool windowed = true)
{
    platform::UseVirtualClock();
    const bool ran = RunInDrawApp("headless", width, height, [&](DrawApp& app) {
        sdk::ZTL::smart_ptr<sdk::Draw::CFastDraw> device = sdk::Draw::CFastDraw::CreateForThread();
        if (windowed) {
            ASSERT_EQ(device->ChangeDisplay(false), 0);
        }
        body(app, *device);
        device->ChangeDisplay(false);
    });
    platform::UseRealClock();
    EXPECT_TRUE(ran);
}

// ---- The scripted driver.

struct DoubleScript
{
    bool nullDriver = false;
    bool failEmulationOnly = false;
    bool failDefaultDriver = false;
    // Pixel type of the primary in a window, and per full-screen depth (a depth not listed is refused).
    std::int32_t windowedType = 7;
    std::map<std::int32_t, std::int32_t> fullScreenTypes{{16, 3}, {24, 5}, {32, 7}};
    int primaryStillDrawing = 0; // Lock answers "still drawing" this often first
    bool primaryLockFails = false;
    bool failCreateSurface = false;
    int primaryLocks = 0;
    int presents = 0;
};

inline DoubleScript& Script()
{
    static DoubleScript script;
    return script;
}

// Pixel types 3 to 8 keep real pixels; an 8-bit surface keeps bytes and copies nothing.
class DoubleSurface : public platform::MemoryDisplaySurface
{
public:
    DoubleSurface(std::int32_t w, std::int32_t h, std::int32_t type, bool primary)
        : MemoryDisplaySurface(w, h, type == 2 ? 7 : type), m_type(type), m_primary(primary)
    {
        if (type == 2) m_bytes.assign(std::size_t(w) * std::size_t(h), 0);
    }
    platform::DisplayResult Lock(std::uint8_t** pixels, std::int32_t* pitch) override
    {
        if (m_primary) {
            ++Script().primaryLocks;
            if (Script().primaryStillDrawing > 0) {
                --Script().primaryStillDrawing;
                return platform::kDisplayStillDrawing;
            }
            if (Script().primaryLockFails) return platform::kDisplayFailed;
        }
        if (m_type == 2) {
            *pixels = m_bytes.data();
            *pitch = Width();
            return platform::kDisplayOk;
        }
        return MemoryDisplaySurface::Lock(pixels, pitch);
    }
    platform::DisplayResult GetPixelFormat(platform::DisplayPixelFormat* format) override
    {
        if (!m_format && m_type != 2) return MemoryDisplaySurface::GetPixelFormat(format);
        *format = m_format.value_or(platform::DisplayPixelFormat{8, 0, 0, 0});
        return platform::kDisplayOk;
    }
    bool IsLost() override { return lost; }
    platform::DisplayResult Blt(const RECT& d, DisplaySurface* s, const RECT& r) override
    {
        return m_type == 2 ? platform::kDisplayOk : MemoryDisplaySurface::Blt(d, s, r);
    }
    platform::DisplayResult ColorFill(const RECT& d, std::uint32_t c) override
    {
        return m_type == 2 ? platform::kDisplayOk : MemoryDisplaySurface::ColorFill(d, c);
    }
    platform::DisplayResult Present() override
    {
        ++Script().presents;
        return platform::kDisplayOk;
    }
    void OverrideFormat(const platform::DisplayPixelFormat& format) { m_format = format; }

    bool lost = false;

private:
    std::int32_t m_type;
    bool m_primary;
    std::vector<std::uint8_t> m_bytes;
    std::optional<platform::DisplayPixelFormat> m_format;
};

class DoubleClipper : public platform::DisplayClipper
{
public:
    platform::DisplayResult SetWindow(HWND) override { return platform::kDisplayOk; }
};

class DoubleDriver : public platform::DisplayDriver
{
public:
    platform::DisplayResult Initialize(bool emulationOnly) override
    {
        const bool fail = emulationOnly ? Script().failEmulationOnly : Script().failDefaultDriver;
        return fail ? platform::kDisplayFailed : platform::kDisplayOk;
    }
    platform::DisplayResult SetCooperativeLevel(HWND, bool exclusive) override
    {
        m_exclusive = exclusive;
        m_modeSet = false;
        return platform::kDisplayOk;
    }
    platform::DisplayResult SetDisplayMode(std::int32_t w, std::int32_t h, std::int32_t bpp) override
    {
        auto it = Script().fullScreenTypes.find(bpp);
        if (!m_exclusive || it == Script().fullScreenTypes.end()) return platform::kDisplayFailed;
        m_modeSet = true;
        m_modeType = it->second;
        m_modeWidth = w;
        m_modeHeight = h;
        return platform::kDisplayOk;
    }
    platform::DisplayResult RestoreDisplayMode() override
    {
        m_modeSet = false;
        return platform::kDisplayOk;
    }
    platform::DisplayResult CreatePrimarySurface(std::int32_t w, std::int32_t h,
                                                 std::unique_ptr<platform::DisplaySurface>* surface) override
    {
        const bool full = m_exclusive && m_modeSet;
        m_displayType = full ? m_modeType : Script().windowedType;
        *surface = std::make_unique<DoubleSurface>(full ? m_modeWidth : w, full ? m_modeHeight : h,
                                                   m_displayType, true);
        return platform::kDisplayOk;
    }
    platform::DisplayResult CreateSurface(std::int32_t w, std::int32_t h, bool,
                                          std::unique_ptr<platform::DisplaySurface>* surface) override
    {
        if (Script().failCreateSurface) return platform::kDisplayFailed;
        *surface = std::make_unique<DoubleSurface>(w, h, m_displayType, false);
        return platform::kDisplayOk;
    }
    platform::DisplayResult CreateClipper(std::unique_ptr<platform::DisplayClipper>* clipper) override
    {
        *clipper = std::make_unique<DoubleClipper>();
        return platform::kDisplayOk;
    }

private:
    bool m_exclusive = false;
    bool m_modeSet = false;
    std::int32_t m_modeType = 0;
    std::int32_t m_modeWidth = 0;
    std::int32_t m_modeHeight = 0;
    std::int32_t m_displayType = 7;
};

inline std::unique_ptr<platform::DisplayDriver> MakeDoubleDriver()
{
    if (Script().nullDriver) return nullptr;
    return std::make_unique<DoubleDriver>();
}

// Installs the scripted driver with a fresh script while it lives.
class UseDoubleDriver
{
public:
    UseDoubleDriver()
    {
        Script() = DoubleScript();
        platform::SetDisplayDriverFactory(&MakeDoubleDriver);
    }
    ~UseDoubleDriver() { platform::SetDisplayDriverFactory(nullptr); }
};

} // namespace draw_test

#include "sdk/draw/surface.h"

namespace draw_test {

// A picture that differs in every pixel of a 320 × 240 plane (0x00RRGGBB).
inline std::uint32_t Pattern(int x, int y)
{
    return (std::uint32_t((x * 7) & 0xFF) << 16) | (std::uint32_t((y * 5) & 0xFF) << 8) |
           std::uint32_t(((x >> 2) ^ y) & 0xFF);
}

// Paints the pattern (shifted by `seed`, each pattern pixel a scale × scale block) on a plane of
// XRGB8888 or RGB565 pixels.
inline void PaintPattern(sdk::Draw::ISurface& plane, int seed = 0, int scale = 1)
{
    sdk::Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
    const int bytes = info->GetBytesPerPixel();
    for (int y = 0; y < info->height; ++y)
        for (int x = 0; x < info->width; ++x) {
            const std::uint32_t p = Pattern(x / scale + seed, y / scale);
            const std::uint32_t v =
                bytes == 2 ? sdk::Draw::PackRGB565(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF) : p;
            std::memcpy(info->pixels + std::ptrdiff_t(y) * info->pitch + std::ptrdiff_t(x) * bytes, &v,
                        bytes);
        }
}

inline std::uint32_t PixelOf(sdk::Draw::ISurface& plane, int x, int y)
{
    std::uint32_t value = 0xDEADBEEF;
    plane.GetSurfaceInfo()->ReadPixel(x, y, &value);
    return value;
}

// What the window shows now (headless: the last presented frame), and one pixel of it.
inline std::vector<std::uint32_t> Presented(HWND window, SIZE& size)
{
    std::vector<std::uint32_t> pixels;
    size = SIZE{0, 0};
    platform::GetBackend().ReadPresentedFrame(window, pixels, size);
    return pixels;
}

inline std::uint32_t ShownAt(HWND window, int x, int y)
{
    SIZE size{};
    const std::vector<std::uint32_t> shown = Presented(window, size);
    return x < size.cx && y < size.cy ? shown[std::size_t(y) * size.cx + x] : 0xDEADBEEF;
}

} // namespace draw_test
