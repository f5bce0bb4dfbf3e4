// The display device and its planes: on the headless back end mode changes and their fall-back,
// presenting with offsets, brightness and layers, the frames that are skipped, and planes across display
// changes; on a scripted driver the driver's statuses, 8-bit and 5-5-5 displays, a primary that cannot be
// locked, lost and refused surfaces, and the pixel type read from the channel masks.
#include "display_support.h"
#include "memory_surface.h"
#include "support/error_capture.h"
#include "support/image_bytes.h"

#include "platform/host/headless/headless.h"
#include "platform/window.h"
#include "sdk/draw/plane_factory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace draw_test;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

// Every window of these tests has a menu bar, as the game's has.
const bool menuRegistered = [] {
    platform::RegisterMenuResource("IDR_MENU");
    return true;
}();

// The pixels of the shown frame of width × height that differ from the pattern moved by (dx, dy), the
// uncovered strips taking `fill`.
int Mismatches(const std::vector<std::uint32_t>& shown, int width, int height, int dx = 0, int dy = 0,
               std::uint32_t fill = 0)
{
    if (shown.size() != std::size_t(width) * height) return -1;
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int sx = x - dx, sy = y - dy;
            const bool inside = sx >= 0 && sx < width && sy >= 0 && sy < height;
            wrong += shown[std::size_t(y) * width + x] != (inside ? Pattern(sx, sy) : fill);
        }
    return wrong;
}

TEST(FastDraw, WindowedAndEveryFullScreenDepth)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        EXPECT_EQ(Draw::GetThreadFastDraw(), &device);
        EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixelXRGB8888);
        EXPECT_EQ(device.GetDisplayBpp(), 0); // the windowed test stores the depth 0 it was given
        EXPECT_FALSE(device.IsStyleChanged());
        const std::pair<int, int> depths[] = {
            {16, Draw::kPixel565}, {24, Draw::kPixelRGB888}, {32, Draw::kPixelXRGB8888}};
        for (auto [bpp, type] : depths) {
            device.SetDisplayBpp(bpp);
            EXPECT_EQ(device.ChangeDisplay(true), 0) << bpp;
            EXPECT_TRUE(device.IsFullScreen() && device.IsStyleChanged());
            EXPECT_EQ(device.GetDisplayPixelType(), type) << bpp;
            EXPECT_EQ(device.GetSecondary()->GetPixelType(), type) << bpp;
            EXPECT_EQ(platform::GetBackend().GetFrame(app.GetHWnd()).pixelType, type);
            EXPECT_TRUE(platform::headless::IsNativeFullScreen(app.GetHWnd()));
        }
        EXPECT_EQ(device.ChangeDisplay(false), 0);
        EXPECT_FALSE(device.IsFullScreen() || platform::headless::IsNativeFullScreen(app.GetHWnd()));
        EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixelXRGB8888);
    });
}

TEST(FastDraw, RefusedFullScreenFallsBackToAWindow)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        test_support::ErrorCapture errors;
        // After a windowed change the depth is 0, which no full-screen mode has.
        EXPECT_EQ(device.ChangeDisplay(true), 0);
        EXPECT_FALSE(device.IsFullScreen() || platform::headless::IsNativeFullScreen(app.GetHWnd()));
        EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixelXRGB8888);
        // Nothing can be set at all: the change fails and says so.
        Draw::CFastPlane plane;
        ASSERT_EQ(plane.CreateSurface(8, 8, false), 0);
        platform::headless::SetRefuseDisplayModes(true);
        EXPECT_EQ(device.ChangeDisplay(false), 2);
        platform::headless::SetRefuseDisplayModes(false);
        EXPECT_TRUE(device.IsChanging());
        for (const char* said : {"CFastDraw::TestDisplayModeのSetDisplayModeに失敗",
                                 "CFastDraw::TestDisplayModeでCreatePrimaryに失敗",
                                 "CFastDraw::BeginChangeDisplay～EndChangeDisplayに失敗"})
            EXPECT_TRUE(errors.Has(said)) << said;
        EXPECT_EQ(device.GetPrimary()->GetDisplaySurface(), nullptr);
        EXPECT_EQ(device.ChangeDisplay(false), 0);
        EXPECT_FALSE(device.IsChanging());
    });
}

// At 1× and at double size (640 × 480) the back plane reaches the window unchanged.
TEST(FastDraw, PresentingCopiesTheBackPlaneToTheWindow)
{
    for (int scale : {1, 2})
        WithDevice(320 * scale, 240 * scale, [scale](DrawApp& app, Draw::CFastDraw& device) {
            EXPECT_EQ(device.GetDisplayWidth(), 320 * scale);
            std::int32_t w = 0, h = 0;
            EXPECT_EQ(device.GetSecondary()->GetSize(&w, &h), 0);
            EXPECT_EQ(h, 240 * scale);
            PaintPattern(*device.GetSecondary());
            device.OnDraw(nullptr, true);
            SIZE size{};
            EXPECT_EQ(Mismatches(Presented(app.GetHWnd(), size), 320 * scale, 240 * scale), 0);
        });
    // A 16-bit full screen presents the plane's 565 pixels.
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        device.SetDisplayBpp(16);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        PaintPattern(*device.GetSecondary());
        device.OnDraw(nullptr, false);
        EXPECT_EQ(ShownAt(app.GetHWnd(), 100, 50) & 0xF8FCF8, Pattern(100, 50) & 0xF8FCF8);
    });
}

TEST(FastDraw, AnOffsetShiftsThePictureAndFillsTheStrips)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        SIZE size{};
        const auto shifted = [&](int dx, int dy, std::uint32_t fill) {
            PaintPattern(*device.GetSecondary());
            device.GetSecondary()->SetFillColor(0xFF000000 | fill);
            device.SetOffset(dx, dy);
            device.OnDraw(nullptr, true);
            EXPECT_EQ(Mismatches(Presented(app.GetHWnd(), size), 320, 240, dx, dy, fill), 0)
                << dx << "," << dy;
        };
        shifted(10, -5, 0x123456);
        shifted(-7, 12, 0x123456);
        device.SetDisplayBpp(32); // the same in full screen
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        shifted(3, 4, 0xABCDEF);

        // With a source rectangle only that part moves, and nothing is filled.
        device.SetOffset(0, 0);
        device.OnDraw(nullptr, true);
        PaintPattern(*device.GetSecondary(), 1);
        const RECT part{10, 10, 20, 20};
        device.SetOffset(-15, 0);
        device.OnDraw(&part, true);
        EXPECT_EQ(ShownAt(app.GetHWnd(), 0, 10), Pattern(16, 10)); // source column 15 lands on column 0
        EXPECT_EQ(ShownAt(app.GetHWnd(), 4, 10), Pattern(20, 10));
        EXPECT_EQ(ShownAt(app.GetHWnd(), 5, 10), Pattern(5, 10)); // beyond the part: the earlier picture
        device.SetOffset(0, 0);
    });
}

TEST(FastDraw, MenuBarRowsAreSparedInFullScreen)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        ASSERT_NE(platform::GetMenu(app.GetHWnd()), nullptr);
        const int bar = device.GetMenuBarHeight();
        ASSERT_GT(bar, 0);
        device.SetDisplayBpp(32);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        PaintPattern(*device.GetSecondary());
        device.OnDraw(nullptr, true);
        PaintPattern(*device.GetSecondary(), 1);
        platform::headless::SetCursorPosition(app.GetHWnd(), true, POINT{5, bar - 1});
        device.OnDraw(nullptr, true);
        EXPECT_EQ(ShownAt(app.GetHWnd(), 9, bar - 1), Pattern(9, bar - 1));
        EXPECT_EQ(ShownAt(app.GetHWnd(), 9, bar), Pattern(10, bar));
        // The cursor below the bar: the whole frame.
        platform::headless::SetCursorPosition(app.GetHWnd(), true, POINT{5, bar});
        device.OnDraw(nullptr, true);
        EXPECT_EQ(ShownAt(app.GetHWnd(), 9, 0), Pattern(10, 0));
        platform::headless::SetCursorPosition(app.GetHWnd(), false, POINT{0, 0});
    });
}

TEST(FastDraw, NothingIsPresentedWhileMinimisedOrRightAfterActivation)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        const HWND hwnd = app.GetHWnd();
        // The window's own activation at its creation is still queued: its frame is skipped.
        app.PumpMessages();
        device.OnDraw(nullptr, true);
        device.OnDraw(nullptr, true);
        const std::uint32_t first = platform::headless::GetPresentCount(hwnd);
        // Draws a frame after the event (if any): how many frames were presented since `first`.
        const auto frameAfter = [&](void (platform::EventSink::*event)(HWND)) {
            if (event != nullptr) (platform::headless::Events().*event)(hwnd);
            app.PumpMessages();
            device.OnDraw(nullptr, true);
            return platform::headless::GetPresentCount(hwnd) - first;
        };
        EXPECT_EQ(frameAfter(&platform::EventSink::Minimized), 0u);
        EXPECT_EQ(frameAfter(&platform::EventSink::Restored), 1u);
        // The activation message reaches the device through the window's hooks.
        platform::SendMessage(hwnd, platform::WM_ACTIVATEAPP, 1, 0);
        EXPECT_TRUE(device.IsActivated());
        EXPECT_EQ(frameAfter(nullptr), 1u);
        EXPECT_FALSE(device.IsActivated());
        EXPECT_EQ(frameAfter(nullptr), 2u);

        // A frame taken over by another mode: the primary is lost, and the activated frame rebuilds it.
        std::int32_t type = 0;
        ASSERT_TRUE(platform::SetFrameMode(hwnd, false, 320, 240, 32, &type));
        ASSERT_TRUE(device.GetPrimary()->GetDisplaySurface()->IsLost());
        platform::SendMessage(hwnd, platform::WM_ACTIVATEAPP, 1, 0);
        EXPECT_EQ(frameAfter(nullptr), 2u);
        EXPECT_FALSE(device.GetPrimary()->GetDisplaySurface()->IsLost());
        PaintPattern(*device.GetSecondary());
        device.OnDraw(nullptr, true);
        EXPECT_EQ(ShownAt(hwnd, 7, 75), Pattern(7, 75));
    });
}

TEST(FastDraw, BrightnessFadesTheBackPlaneBeforePresenting)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        Draw::CFastPlane* back = device.GetSecondary();
        back->SetFillColor(0x00F0F0F0);
        back->Clear(nullptr);
        device.OnDraw(nullptr, true);
        EXPECT_EQ(ShownAt(app.GetHWnd(), 0, 0), 0xF0F0F0u);
        device.SetBrightness(128);
        device.OnDraw(nullptr, true);
        const std::uint32_t faded = ShownAt(app.GetHWnd(), 0, 0);
        EXPECT_TRUE((faded & 0xFF) > 0x60 && (faded & 0xFF) < 0xA0) << faded;
        EXPECT_EQ(PixelOf(*back, 0, 0), faded);
        device.SetBrightness(256);
    });
}

class RecordingLayer : public Draw::ILayer
{
public:
    RecordingLayer(std::string name, std::string& log) : m_name(std::move(name)), m_log(log) {}
    void OnDraw(platform::DeviceContext* dc) override
    {
        m_log += m_name + "(dc) ";
        if (dc != nullptr) dc->FillRect(0, 0, 4, 4, 0x0000FF); // red as 0x00BBGGRR
    }
    void OnDraw(Draw::ISurface* plane) override
    {
        m_log += m_name + "(plane) ";
        EXPECT_EQ(plane->GetPixelType(), Draw::kPixelXRGB8888);
    }

private:
    std::string m_name;
    std::string& m_log;
};

TEST(FastDraw, LayersDrawInTheirOrderBeforePresenting)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        std::string log;
        RecordingLayer before("before", log), after("after", log), gdi("gdi", log), off("off", log);
        off.enabled = false;
        device.GetLayersAfter()->Add(&after);
        device.GetLayersBefore()->Add(&off);
        device.GetLayersBefore()->Add(&before);
        device.GetLayersGdi()->Add(&gdi);
        device.GetSecondary()->Clear(nullptr);
        device.OnDraw(nullptr, false);
        EXPECT_EQ(log, "");
        device.OnDraw(nullptr, true);
        EXPECT_EQ(log, "before(plane) gdi(dc) after(plane) ");
        EXPECT_EQ(ShownAt(app.GetHWnd(), 3, 3), 0xFF0000u);
        // Removing a layer takes every entry of it.
        device.GetLayersBefore()->Add(&before);
        device.GetLayersBefore()->Remove(&before);
        device.GetLayersAfter()->Clear();
        device.GetLayersGdi()->Remove(&gdi);
        EXPECT_TRUE(device.GetLayersAfter()->IsEmpty() && device.GetLayersGdi()->IsEmpty());
        log.clear();
        device.OnDraw(nullptr, true);
        EXPECT_EQ(log, "");
    });
}

int WidthOf(Draw::ISurface& plane)
{
    return SizeOf(plane).first;
}

long Listed(Draw::CFastDraw& device, Draw::CFastPlane* plane)
{
    return std::count(device.GetPlanes().begin(), device.GetPlanes().end(), plane);
}

TEST(FastPlane, SizesAndKindsOfSurface)
{
    WithDevice(320, 240, [](DrawApp&, Draw::CFastDraw& device) {
        Draw::CFastPlane plane;
        EXPECT_EQ(plane.CreateSurface(0, 10, false), 1);
        EXPECT_EQ(WidthOf(plane), -1);
        EXPECT_EQ(plane.CreateSurface(-4, 10, false), 1);
        // Memory planes refuse sizes that overflow instead of allocating too little.
        EXPECT_EQ(plane.CreateSurfaceOfType(0x40000000, 0x40000000, Draw::kPixelARGB8888), 1);
        EXPECT_EQ(plane.CreateSurfaceOfType(65536, 65536, Draw::kPixelXRGB8888), 1);
        EXPECT_EQ(plane.CreateSurfaceOfType(10, -1, Draw::kPixel565), 1);
        EXPECT_EQ(plane.CreateSurfaceOfType(10, 10, Draw::kPixelUnused9), 1);
        EXPECT_FALSE(plane.GetSurfaceInfo()->valid);

        // A plane that fits the screen is a driver surface; a wider one a memory plane of the display type.
        EXPECT_EQ(plane.CreateSurface(20, 10, false), 0);
        EXPECT_NE(plane.GetDisplaySurface(), nullptr);
        Draw::CFastPlane wide;
        EXPECT_EQ(wide.CreateSurface(321, 10, false), 0);
        EXPECT_TRUE(wide.GetDisplaySurface() == nullptr && wide.OwnsMemory());
        EXPECT_EQ(wide.GetPixelType(), Draw::kPixelXRGB8888);

        // Alpha planes: the display's alpha type, in memory, pitch 4 bytes a pixel.
        device.SetDisplayBpp(16);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        Draw::CFastPlane alpha;
        EXPECT_EQ(alpha.CreateSurface(10, 3, true), 0);
        EXPECT_EQ(alpha.GetPixelType(), Draw::kPixelA565);
        EXPECT_EQ(alpha.GetSurfaceInfo()->pitch, 40);

        // A 24-bit display asks for an even width; the plane keeps the width asked for.
        device.SetDisplayBpp(24);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        Draw::CFastPlane odd;
        EXPECT_EQ(odd.CreateSurface(7, 3, false), 0);
        EXPECT_EQ(WidthOf(odd), 7);
        EXPECT_EQ(odd.GetSurfaceInfo()->pitch, 8 * 3);

        Draw::CFastPlane none;
        EXPECT_EQ(none.Load("#notdefined#"), 0);
        EXPECT_EQ(WidthOf(none), -1);
    });
}

TEST(FastPlane, PaintingNeedsItsEnd)
{
    WithDevice(320, 240, [](DrawApp&, Draw::CFastDraw&) {
        Draw::CFastPlane plane;
        ASSERT_EQ(plane.CreateSurface(16, 16, false), 0);
        Draw::HDC dc = plane.BeginPaint();
        ASSERT_NE(dc, nullptr);
        dc->FillRect(0, 0, 2, 2, 0x00FF00);
        test_support::ErrorCapture errors;
        EXPECT_EQ(plane.BeginPaint(), nullptr);
        plane.EndPaint();
        EXPECT_EQ(PixelOf(plane, 1, 1), 0x00FF00u);
        plane.EndPaint();
        for (const char* said : {"CFastPlane::EndPaintが呼び出されていないのにBeginPaintが呼び出された",
                                 "CFastPlane::BeginPaintが呼び出されていないのにEndPaintが呼び出された"})
            EXPECT_TRUE(errors.Has(said)) << said;
    });
}

TEST(FastPlane, PlanesFollowTheDisplayAndLeaveTheListWhenDestroyed)
{
    WithDevice(320, 240, [](DrawApp&, Draw::CFastDraw& device) {
        auto* plane = new Draw::CFastPlane;
        ASSERT_EQ(plane->CreateSurface(8, 8, false), 0);
        Draw::CFastPlane alpha;
        ASSERT_EQ(alpha.CreateSurface(8, 8, true), 0);
        EXPECT_EQ(alpha.GetPixelType(), Draw::kPixelARGB8888);
        EXPECT_EQ(Listed(device, plane), 1);
        EXPECT_EQ(Listed(device, device.GetSecondary()), 1);
        EXPECT_EQ(Listed(device, device.GetPrimary()), 0);

        device.SetDisplayBpp(16);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        EXPECT_EQ(plane->GetPixelType(), Draw::kPixel565);
        EXPECT_EQ(alpha.GetPixelType(), Draw::kPixelA565);
        EXPECT_EQ(device.GetSecondary()->GetPixelType(), Draw::kPixel565);

        // Back to 32 bits; a destroyed plane leaves the list.
        ASSERT_EQ(device.ChangeDisplay(false), 0);
        EXPECT_EQ(plane->GetPixelType(), Draw::kPixelXRGB8888);
        delete plane;
        EXPECT_EQ(Listed(device, plane), 0);

        // Making a surface again frees the old pixels (the leak checker would see them) and the plane
        // stays listed once.
        Draw::CFastPlane again;
        ASSERT_EQ(again.CreateSurfaceOfType(8, 8, Draw::kPixelARGB8888), 0);
        ASSERT_EQ(again.CreateSurfaceOfType(4, 2, Draw::kPixel565), 0);
        EXPECT_EQ(WidthOf(again), 4);
        EXPECT_EQ(again.GetSurfaceInfo()->pitch, 8);
        EXPECT_FALSE(again.HasAlpha());
        ASSERT_EQ(again.CreateSurface(6, 6, false), 0);
        EXPECT_EQ(Listed(device, &again), 1);
    });
}

// Planes come from the thread's device; once the device is gone the thread forgets it and its
// factory, and a plane made before can still be released.
TEST(PlaneFactory, PlanesComeFromTheThreadsDeviceWhileItLives)
{
    platform::UseVirtualClock();
    const bool ran = RunInDrawApp("headless", 320, 240, [](DrawApp&) {
        auto survivor = std::make_unique<Draw::CFastPlane>();
        {
            ZTL::smart_ptr<Draw::CFastDraw> device = Draw::CFastDraw::CreateForThread();
            ASSERT_EQ(device->ChangeDisplay(false), 0);
            ASSERT_EQ(survivor->CreateSurface(8, 8, false), 0);
            Draw::CPlane plane;
            auto* fast = dynamic_cast<Draw::CFastPlane*>(plane.get());
            ASSERT_NE(fast, nullptr);
            EXPECT_EQ(fast->GetOwner(), device.get());
            EXPECT_EQ(WidthOf(*fast), -1);
            ZTL::smart_ptr<Draw::ISurface> another = plane->NewPlane();
            EXPECT_EQ(dynamic_cast<Draw::CFastPlane*>(another.get())->GetOwner(), device.get());
        }
        EXPECT_EQ(Draw::GetThreadFastDraw(), nullptr);
        EXPECT_TRUE(Draw::GetThreadPlaneFactory().isNull());
        try {
            Draw::CPlane plane;
            ADD_FAILURE() << "no factory, yet a plane";
        } catch (const ZTL::CRuntimeException& e) {
            EXPECT_EQ(e.getMessage(), ZTL::string("CPlane::CreateInstanceでfactoryがNULL"));
        }
        survivor.reset();
    });
    platform::UseRealClock();
    EXPECT_TRUE(ran);
}

// ---- On the scripted driver.

// Runs the body with the scripted driver and a device that has not changed its display yet.
void WithDoubleDevice(
    std::function<void(DrawApp&, Draw::CFastDraw&)> body, std::function<void()> script = [] {})
{
    UseDoubleDriver driver;
    script();
    WithDevice(320, 240, body, false);
}

DoubleSurface* SurfaceOf(Draw::CFastPlane& plane)
{
    return dynamic_cast<DoubleSurface*>(plane.GetDisplaySurface());
}

// A 2 × 2 24-bit picture: red, green / blue, white.
std::string WriteBitmap()
{
    const std::string name = "/tmp/marovellin_h7_plane_" + std::to_string(getpid()) + ".bmp";
    const test_support::Bytes file = test_support::MakeBmp(
        2, 2, 24, 0, {}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0});
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    return name;
}

class CountingPlane : public Draw::CFastPlane
{
public:
    int OnRecreate() override
    {
        ++recreated;
        return 0;
    }
    int recreated = 0;
};

TEST(DirectDraw, SoftwareFirstThenTheDefaultDriver)
{
    UseDoubleDriver driver;
    struct Case
    {
        bool* refuse; // what the driver refuses from now on
        int status;
        const char* said;
    };
    const Case cases[] = {
        {nullptr, Draw::CDirectDraw::kEmulationOnly, ""},
        {&Script().failEmulationOnly, Draw::CDirectDraw::kHardware,
         "CDirectDraw::CDirectDrawでEmulationOnlyに出来なかった"},
        {&Script().failDefaultDriver, Draw::CDirectDraw::kNeither,
         "CDirectDraw::CDirectDrawでHAL初期化に失敗"},
        {&Script().nullDriver, Draw::CDirectDraw::kNoInterface,
         "CDirectDraw::CDirectDrawでDirectDrawInterfaceが得られない"},
    };
    for (const Case& c : cases) {
        if (c.refuse != nullptr) *c.refuse = true;
        test_support::ErrorCapture errors;
        Draw::CDirectDraw dd;
        EXPECT_EQ(dd.GetStatus(), c.status);
        EXPECT_EQ(dd.Get() != nullptr,
                  c.status == Draw::CDirectDraw::kEmulationOnly || c.status == Draw::CDirectDraw::kHardware);
        EXPECT_TRUE(errors.Has(c.said)) << c.said;
    }
}

TEST(FastDrawDouble, WithoutADriverNothingChangesAndNothingIsDrawn)
{
    WithDoubleDevice(
        [](DrawApp&, Draw::CFastDraw& device) {
            EXPECT_EQ(device.GetDirectDraw(), nullptr);
            EXPECT_EQ(device.ChangeDisplay(false), 1);
            EXPECT_EQ(device.ChangeDisplay(true), 1);
            device.OnDraw(nullptr, true);
            EXPECT_EQ(Script().presents, 0);
            Draw::CFastPlane plane;
            EXPECT_EQ(plane.CreateSurface(8, 8, false), 1);
        },
        [] { Script().nullDriver = true; });
}

TEST(FastDrawDouble, StyleChangesWaitAndWindowToWindowDoesNot)
{
    WithDoubleDevice([](DrawApp&, Draw::CFastDraw& device) {
        std::uint32_t t = platform::GetMilliseconds();
        ASSERT_EQ(device.ChangeDisplay(false), 0);
        EXPECT_FALSE(device.IsStyleChanged());
        EXPECT_EQ(platform::GetMilliseconds() - t, 0u);
        device.SetDisplayBpp(32);
        t = platform::GetMilliseconds();
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        EXPECT_TRUE(device.IsStyleChanged());
        EXPECT_EQ(platform::GetMilliseconds() - t, 500u);
        // Leaving full screen is a change of style too.
        ASSERT_EQ(device.ChangeDisplay(false), 0);
        EXPECT_TRUE(device.IsStyleChanged());
    });
}

TEST(FastDrawDouble, EightBitDisplayDrawsOnA555SectionAndPresentsAPalettisedCopy)
{
    WithDoubleDevice(
        [&](DrawApp&, Draw::CFastDraw& device) {
            ASSERT_EQ(device.ChangeDisplay(false), 0);
            EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixelP8);
            EXPECT_TRUE(device.GetPrimary()->IsAllowPalettised());
            // The back plane is a 555 drawing section; the palettised plane is a driver surface.
            Draw::CFastPlane* back = device.GetSecondary();
            EXPECT_EQ(back->GetPixelType(), Draw::kPixel555);
            EXPECT_EQ(back->GetDisplaySurface(), nullptr);
            EXPECT_NE(back->BeginPaint(), nullptr);
            back->EndPaint();
            EXPECT_EQ(device.GetPalettisedPlane()->GetPixelType(), Draw::kPixelP8);
            EXPECT_NE(device.GetPalettisedPlane()->GetDisplaySurface(), nullptr);
            device.OnDraw(nullptr, true);
            EXPECT_EQ(Script().presents, 1);
        },
        [] { Script().windowedType = Draw::kPixelP8; });
}

// Planes made on an 8-bit display are 555; a later 555 display keeps them (an emulated one reloads in
// the display's own type), a 565 display rebuilds them.
TEST(FastDrawDouble, PlanesOfAnEightBitDisplayFollowTheNextDisplay)
{
    const std::string file = WriteBitmap();
    WithDoubleDevice(
        [&](DrawApp&, Draw::CFastDraw& device) {
            ASSERT_EQ(device.ChangeDisplay(false), 0);
            Draw::CFastPlane plane;
            ASSERT_EQ(plane.CreateSurface(8, 8, false), 0);
            EXPECT_EQ(plane.GetPixelType(), Draw::kPixel555);
            EXPECT_TRUE(plane.OwnsMemory());
            const std::uint8_t* memory = plane.GetSurfaceInfo()->pixels;
            Draw::CFastPlane loaded;
            ASSERT_EQ(loaded.Load(file.c_str()), 0);
            EXPECT_TRUE(loaded.IsEmulated555());
            EXPECT_EQ(loaded.GetPixelType(), Draw::kPixel555);
            EXPECT_EQ(PixelOf(loaded, 0, 0), 0xF80000u);

            Script().windowedType = Draw::kPixel555;
            ASSERT_EQ(device.ChangeDisplay(false), 0);
            EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixel555);
            EXPECT_EQ(plane.GetSurfaceInfo()->pixels, memory);
            EXPECT_FALSE(loaded.IsEmulated555());
            EXPECT_EQ(loaded.GetPixelType(), Draw::kPixel555);
            EXPECT_EQ(loaded.GetFileName(), ZTL::string(file.c_str()));
            EXPECT_EQ(PixelOf(loaded, 1, 1), 0xF8F8F8u);

            Script().windowedType = Draw::kPixel565;
            ASSERT_EQ(device.ChangeDisplay(false), 0);
            EXPECT_EQ(plane.GetPixelType(), Draw::kPixel565);
            EXPECT_EQ(loaded.GetPixelType(), Draw::kPixel565);
            EXPECT_EQ(PixelOf(loaded, 1, 0), 0x00FC00u);
        },
        [] { Script().windowedType = Draw::kPixelP8; });
    std::remove(file.c_str());
}

TEST(FastDrawDouble, PrimaryLocksAreRetriedAndAnUnreachablePrimaryRefusesDrawing)
{
    WithDoubleDevice(
        [](DrawApp&, Draw::CFastDraw& device) {
            ASSERT_EQ(device.ChangeDisplay(false), 0);
            EXPECT_EQ(Script().primaryLocks, 4);
            EXPECT_NE(device.GetPrimary()->GetSurfaceInfo()->pixels, nullptr);

            Script().primaryStillDrawing = 0;
            Script().primaryLockFails = true;
            ASSERT_EQ(device.ChangeDisplay(false), 0);
            Draw::CFastPlane* primary = device.GetPrimary();
            EXPECT_TRUE(primary->GetSurfaceInfo()->valid);
            EXPECT_EQ(primary->GetSurfaceInfo()->pixels, nullptr);
            Draw::SBltInfo whole;
            EXPECT_NE(primary->Blt(0, device.GetSecondary()->GetSurfaceInfo(), &whole, nullptr), 0);
            EXPECT_NE(primary->Clear(nullptr), 0);
            EXPECT_FALSE(primary->GetSurfaceInfo()->locked);
            // It is still presented to.
            const int presents = Script().presents;
            device.OnDraw(nullptr, true);
            EXPECT_EQ(Script().presents, presents + 1);

            // Once it can be locked again, pixel operations work again.
            Script().primaryLockFails = false;
            ASSERT_EQ(device.ChangeDisplay(false), 0);
            EXPECT_EQ(device.GetPrimary()->Clear(nullptr), 0);
        },
        [] { Script().primaryStillDrawing = 3; });
}

TEST(FastDrawDouble, LostSurfacesAreRebuilt)
{
    const std::string file = WriteBitmap();
    WithDoubleDevice([&](DrawApp&, Draw::CFastDraw& device) {
        ASSERT_EQ(device.ChangeDisplay(false), 0);
        // The back plane keeps its picture through a copy.
        Draw::CFastPlane* back = device.GetSecondary();
        PaintPattern(*back);
        DoubleSurface* old = SurfaceOf(*back);
        ASSERT_NE(old, nullptr);
        old->lost = true;
        const std::size_t listed = device.GetPlanes().size();
        EXPECT_EQ(back->OnChangeDisplay(), 0);
        EXPECT_NE(SurfaceOf(*back), nullptr);
        EXPECT_FALSE(SurfaceOf(*back)->lost);
        EXPECT_EQ(PixelOf(*back, 123, 45), Pattern(123, 45));
        EXPECT_EQ(device.GetPlanes().size(), listed); // the temporary plane came and went

        // A plain plane is made anew at its size, its key taken again from its (cleared) top-left pixel.
        CountingPlane plain;
        ASSERT_EQ(plain.CreateSurface(6, 5, false), 0);
        plain.GetSurfaceInfo()->pixels[0] = 0x55;
        plain.SetColorKeyFromPixel(0, 0);
        EXPECT_EQ(plain.GetColorKey(), 0x000055u);
        SurfaceOf(plain)->lost = true;
        EXPECT_EQ(plain.OnChangeDisplay(), 0);
        std::int32_t w = 0, h = 0;
        EXPECT_EQ(plain.GetSize(&w, &h), 0);
        EXPECT_EQ(w, 6);
        EXPECT_EQ(h, 5);
        EXPECT_EQ(plain.recreated, 1);
        EXPECT_EQ(plain.GetColorKey(), 0u);
        EXPECT_EQ(std::count(device.GetPlanes().begin(), device.GetPlanes().end(), &plain), 1);

        // A plane from a file (a memory plane) is loaded again when the display's type changes, and told so.
        CountingPlane loaded;
        ASSERT_EQ(loaded.Load(file.c_str()), 0);
        EXPECT_EQ(loaded.GetDisplaySurface(), nullptr);
        EXPECT_EQ(loaded.GetPixelType(), Draw::kPixelXRGB8888);
        Script().windowedType = Draw::kPixel565;
        ASSERT_EQ(device.ChangeDisplay(false), 0);
        EXPECT_EQ(loaded.recreated, 1);
        EXPECT_EQ(loaded.GetPixelType(), Draw::kPixel565);
        EXPECT_EQ(PixelOf(loaded, 0, 1), 0x0000F8u);
        EXPECT_EQ(loaded.GetFileName(), ZTL::string(file.c_str()));
    });
    std::remove(file.c_str());
}

TEST(FastDrawDouble, RefusedSurfacesAreReported)
{
    WithDoubleDevice([](DrawApp&, Draw::CFastDraw& device) {
        ASSERT_EQ(device.ChangeDisplay(false), 0);
        Script().failCreateSurface = true;
        test_support::ErrorCapture errors;
        Draw::CFastPlane plane;
        EXPECT_EQ(plane.CreateSurface(8, 8, false), 2);
        EXPECT_TRUE(errors.Has("CFastPlane::InnerCreateSurfaceのCreateSurfaceに失敗"));
        EXPECT_EQ(device.ChangeDisplay(false), 2);
        EXPECT_TRUE(errors.Has("CFastPlane::CreateSecondaryに失敗"));
        EXPECT_TRUE(errors.Has("CFastDraw::TestDisplayModeでCreateSecondaryに失敗"));
    });
}

TEST(SurfaceManager, PixelTypeFromTheChannelMasks)
{
    struct Case
    {
        platform::DisplayPixelFormat format;
        std::int32_t type;
    };
    const Case cases[] = {
        {{8, 0, 0, 0}, Draw::kPixelP8},
        {{16, 0xF800, 0x07E0, 0x001F}, Draw::kPixel565},
        {{16, 0x7C00, 0x03E0, 0x001F}, Draw::kPixel555},
        {{24, 0xFF0000, 0x00FF00, 0x0000FF}, Draw::kPixelRGB888},
        {{24, 0x0000FF, 0x00FF00, 0xFF0000}, Draw::kPixelBGR888},
        {{32, 0xFF0000, 0x00FF00, 0x0000FF}, Draw::kPixelXRGB8888},
        {{32, 0x0000FF, 0x00FF00, 0xFF0000}, Draw::kPixelXBGR8888},
    };
    DoubleSurface surface(4, 4, 7, false);
    for (const Case& c : cases) {
        surface.OverrideFormat(c.format);
        EXPECT_EQ(Draw::CDirectDrawSurfaceManager::GetSurfaceType(&surface), c.type) << c.format.bitCount;
    }
    const std::pair<platform::DisplayPixelFormat, const char*> unknown[] = {
        {{15, 0x7C00, 0x03E0, 0x001F},
         "CDirectDrawSurfaceManager::bpp不明のピクセルフォーマット検出nBpp=15 BMask=0x7c00 BMask=0x3e0 "
         "BMask=0x1f"},
        {{16, 0xF000, 0x0F00, 0x00F0},
         "CDirectDrawSurfaceManager::16bppの不明ピクセルフォーマット検出BMask=0xf000 BMask=0xf00 BMask=0xf0"},
        {{32, 0xFF000000, 0x00FF00, 0x0000FF},
         "CDirectDrawSurfaceManager::32bppの不明ピクセルフォーマット検出"},
    };
    for (const auto& [format, said] : unknown) {
        test_support::ErrorCapture errors;
        surface.OverrideFormat(format);
        EXPECT_EQ(Draw::CDirectDrawSurfaceManager::GetSurfaceType(&surface), Draw::kPixelUnknown);
        EXPECT_TRUE(errors.Has(said)) << errors.Text();
    }
}

} // namespace
