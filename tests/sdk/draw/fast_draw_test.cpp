// The display device on the headless back end: mode changes and their fall-back, presenting with
// offsets, brightness and layers, the frames that are skipped, and planes across display changes.
#include "display_support.h"
#include "support/error_capture.h"

#include "platform/clock.h"
#include "platform/headless/headless.h"
#include "platform/window.h"
#include "sdk/draw/fast_draw.h"
#include "sdk/draw/plane_factory.h"
#include "sdk/window/app_init_param.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace draw_test;
namespace Draw = zelvoranGameSDK3rd::Draw;
namespace Window = zelvoranGameSDK3rd::Window;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

// Every window of these tests has a menu bar, as the game's has.
const bool menuRegistered = [] {
    platform::RegisterMenuResource("IDR_MENU");
    return true;
}();

// Runs the body on a headless application of that size with a windowed display device made for it;
// the virtual clock spares the wait after a change of the window's style.
void WithDevice(int width, int height, std::function<void(DrawApp&, Draw::CFastDraw&)> body)
{
    platform::UseVirtualClock();
    const bool ran = RunInDrawApp("headless", width, height, [&](DrawApp& app) {
        ZTL::smart_ptr<Draw::CFastDraw> device = Draw::CFastDraw::CreateForThread();
        ASSERT_EQ(device->ChangeDisplay(false), 0);
        body(app, *device);
        // Leave windowed, as the next test expects.
        device->ChangeDisplay(false);
    });
    platform::UseRealClock();
    EXPECT_TRUE(ran);
}

TEST(FastDraw, WindowedAndEveryFullScreenDepth)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        EXPECT_EQ(Draw::GetThreadFastDraw(), &device);
        EXPECT_EQ(device.GetDisplayWidth(), 320);
        EXPECT_EQ(device.GetDisplayHeight(), 240);
        EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixelXRGB8888);
        EXPECT_EQ(device.GetSecondary()->GetPixelType(), Draw::kPixelXRGB8888);
        // The windowed test stores the depth 0 it was given.
        EXPECT_EQ(device.GetDisplayBpp(), 0);
        EXPECT_FALSE(device.IsStyleChanged());
        EXPECT_FALSE(device.IsChanging());

        const std::pair<int, int> depths[] = {
            {16, Draw::kPixel565}, {24, Draw::kPixelRGB888}, {32, Draw::kPixelXRGB8888}};
        for (auto [bpp, type] : depths) {
            device.SetDisplayBpp(bpp);
            EXPECT_EQ(device.ChangeDisplay(true), 0) << bpp;
            EXPECT_TRUE(device.IsFullScreen());
            EXPECT_TRUE(device.IsStyleChanged());
            EXPECT_EQ(device.GetDisplayBpp(), bpp);
            EXPECT_EQ(device.GetDisplayPixelType(), type) << bpp;
            EXPECT_EQ(device.GetSecondary()->GetPixelType(), type) << bpp;
            EXPECT_EQ(platform::GetBackend().GetFrame(app.GetHWnd()).pixelType, type);
            EXPECT_TRUE(platform::headless::IsNativeFullScreen(app.GetHWnd()));
        }
        EXPECT_EQ(device.ChangeDisplay(false), 0);
        EXPECT_FALSE(device.IsFullScreen());
        EXPECT_FALSE(platform::headless::IsNativeFullScreen(app.GetHWnd()));
        EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixelXRGB8888);
    });
}

TEST(FastDraw, RefusedFullScreenFallsBackToAWindow)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        {
            // After a windowed change the depth is 0, which no full-screen mode has.
            test_support::ErrorCapture errors;
            EXPECT_EQ(device.ChangeDisplay(true), 0);
            EXPECT_FALSE(device.IsFullScreen());
            EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixelXRGB8888);
            EXPECT_NE(errors.Text().find("CFastDraw::TestDisplayModeのSetDisplayModeに失敗"),
                      std::string::npos);
            EXPECT_FALSE(platform::headless::IsNativeFullScreen(app.GetHWnd()));
        }
        {
            // Nothing can be set at all: the change fails and says so.
            Draw::CFastPlane plane;
            ASSERT_EQ(plane.CreateSurface(8, 8, false), 0);
            platform::headless::SetRefuseDisplayModes(true);
            test_support::ErrorCapture errors;
            EXPECT_EQ(device.ChangeDisplay(false), 2);
            platform::headless::SetRefuseDisplayModes(false);
            EXPECT_TRUE(device.IsChanging());
            EXPECT_NE(errors.Text().find("CFastDraw::TestDisplayModeでCreatePrimaryに失敗"),
                      std::string::npos);
            EXPECT_NE(errors.Text().find("CFastDraw::BeginChangeDisplay～EndChangeDisplayに失敗"),
                      std::string::npos);
            EXPECT_EQ(device.GetPrimary()->GetDisplaySurface(), nullptr);
            EXPECT_EQ(device.ChangeDisplay(false), 0);
            EXPECT_FALSE(device.IsChanging());
        }
    });
}

TEST(FastDraw, PresentingCopiesTheBackPlaneToTheWindow)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        PaintPattern(*device.GetSecondary());
        device.OnDraw(nullptr, true);
        SIZE size{};
        std::vector<std::uint32_t> shown = Presented(app.GetHWnd(), size);
        ASSERT_EQ(size.cx, 320);
        ASSERT_EQ(size.cy, 240);
        int wrong = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                wrong += shown[std::size_t(y) * 320 + x] != Pattern(x, y);
        EXPECT_EQ(wrong, 0);

        // A 16-bit full screen presents the plane's 565 pixels.
        device.SetDisplayBpp(16);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        Draw::CSurfaceInfo* back = device.GetSecondary()->GetSurfaceInfo();
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const std::uint32_t p = Pattern(x, y);
                const std::uint16_t w = Draw::PackRGB565(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
                std::memcpy(back->pixels + std::ptrdiff_t(y) * back->pitch + 2 * x, &w, 2);
            }
        device.OnDraw(nullptr, false);
        shown = Presented(app.GetHWnd(), size);
        const std::uint32_t p = Pattern(100, 50);
        const std::uint32_t q = shown[50 * 320 + 100];
        EXPECT_EQ(q >> 16 & 0xF8, p >> 16 & 0xF8);
        EXPECT_EQ(q >> 8 & 0xFC, p >> 8 & 0xFC);
        EXPECT_EQ(q & 0xF8, p & 0xF8);
    });
}

TEST(FastDraw, DoubleSizeShowsA640By480Frame)
{
    WithDevice(640, 480, [](DrawApp& app, Draw::CFastDraw& device) {
        EXPECT_EQ(device.GetDisplayWidth(), 640);
        EXPECT_EQ(device.GetDisplayHeight(), 480);
        std::int32_t w = 0, h = 0;
        EXPECT_EQ(device.GetSecondary()->GetSize(&w, &h), 0);
        EXPECT_EQ(w, 640);
        EXPECT_EQ(h, 480);
        PaintPattern(*device.GetSecondary());
        device.OnDraw(nullptr, true);
        SIZE size{};
        const std::vector<std::uint32_t> shown = Presented(app.GetHWnd(), size);
        EXPECT_EQ(size.cx, 640);
        EXPECT_EQ(size.cy, 480);
        ASSERT_EQ(shown.size(), 640u * 480u);
        EXPECT_EQ(shown[479 * 640 + 639], Pattern(639, 479));
    });
}

// Where the picture lands with an offset: the strips it uncovers take the back plane's fill colour.
void ExpectShifted(const std::vector<std::uint32_t>& shown, int dx, int dy, std::uint32_t fill)
{
    int wrong = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const int sx = x - dx, sy = y - dy;
            const bool inside = sx >= 0 && sx < 320 && sy >= 0 && sy < 240;
            const std::uint32_t want = inside ? Pattern(sx, sy) : fill;
            wrong += shown[std::size_t(y) * 320 + x] != want;
        }
    EXPECT_EQ(wrong, 0) << dx << "," << dy;
}

TEST(FastDraw, AnOffsetShiftsThePictureAndFillsTheStrips)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        PaintPattern(*device.GetSecondary());
        device.GetSecondary()->SetFillColor(0xFF123456);
        SIZE size{};
        const std::pair<int, int> offsets[] = {{10, -5}, {-7, 12}};
        for (auto [dx, dy] : offsets) {
            device.SetOffset(dx, dy);
            device.OnDraw(nullptr, true);
            ExpectShifted(Presented(app.GetHWnd(), size), dx, dy, 0x123456);
        }
        // The same in full screen.
        device.SetDisplayBpp(32);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        PaintPattern(*device.GetSecondary());
        device.GetSecondary()->SetFillColor(0x00ABCDEF);
        device.SetOffset(3, 4);
        device.OnDraw(nullptr, true);
        ExpectShifted(Presented(app.GetHWnd(), size), 3, 4, 0xABCDEF);

        // With a source rectangle only that part moves, and nothing is filled.
        device.SetOffset(0, 0);
        device.OnDraw(nullptr, true);
        PaintPattern(*device.GetSecondary(), 1);
        const RECT part{10, 10, 20, 20};
        device.SetOffset(-15, 0);
        device.OnDraw(&part, true);
        const std::vector<std::uint32_t> shown = Presented(app.GetHWnd(), size);
        EXPECT_EQ(shown[10 * 320 + 0], Pattern(16, 10)); // source column 15 lands on column 0
        EXPECT_EQ(shown[10 * 320 + 4], Pattern(20, 10));
        EXPECT_EQ(shown[10 * 320 + 5], Pattern(5, 10)); // beyond the part: the earlier picture
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
        SIZE size{};
        std::vector<std::uint32_t> shown = Presented(app.GetHWnd(), size);
        EXPECT_EQ(shown[std::size_t(bar - 1) * 320 + 9], Pattern(9, bar - 1));
        EXPECT_EQ(shown[std::size_t(bar) * 320 + 9], Pattern(10, bar));
        // The cursor below the bar: the whole frame.
        platform::headless::SetCursorPosition(app.GetHWnd(), true, POINT{5, bar});
        device.OnDraw(nullptr, true);
        shown = Presented(app.GetHWnd(), size);
        EXPECT_EQ(shown[9], Pattern(10, 0));
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

        platform::events::Minimized(hwnd);
        app.PumpMessages();
        device.OnDraw(nullptr, true);
        EXPECT_EQ(platform::headless::GetPresentCount(hwnd), first);
        platform::events::Restored(hwnd);
        app.PumpMessages();
        device.OnDraw(nullptr, true);
        EXPECT_EQ(platform::headless::GetPresentCount(hwnd), first + 1);

        // The activation message reaches the device through the window's hooks.
        platform::SendMessage(hwnd, platform::WM_ACTIVATEAPP, 1, 0);
        EXPECT_TRUE(device.IsActivated());
        device.OnDraw(nullptr, true);
        EXPECT_FALSE(device.IsActivated());
        EXPECT_EQ(platform::headless::GetPresentCount(hwnd), first + 1);
        device.OnDraw(nullptr, true);
        EXPECT_EQ(platform::headless::GetPresentCount(hwnd), first + 2);

        // A frame taken over by another mode: the primary is lost, and the activated frame rebuilds it.
        PaintPattern(*device.GetSecondary());
        std::int32_t type = 0;
        ASSERT_TRUE(platform::GetBackend().SetDisplayMode(hwnd, false, 320, 240, 32, &type));
        ASSERT_TRUE(device.GetPrimary()->GetDisplaySurface()->IsLost());
        platform::SendMessage(hwnd, platform::WM_ACTIVATEAPP, 1, 0);
        device.OnDraw(nullptr, true);
        EXPECT_FALSE(device.GetPrimary()->GetDisplaySurface()->IsLost());
        EXPECT_EQ(platform::headless::GetPresentCount(hwnd), first + 2);
        PaintPattern(*device.GetSecondary());
        device.OnDraw(nullptr, true);
        SIZE size{};
        EXPECT_EQ(Presented(hwnd, size)[75 * 320 + 7], Pattern(7, 75));
    });
}

TEST(FastDraw, BrightnessFadesTheBackPlaneBeforePresenting)
{
    WithDevice(320, 240, [](DrawApp& app, Draw::CFastDraw& device) {
        Draw::CFastPlane* back = device.GetSecondary();
        back->SetFillColor(0x00F0F0F0);
        back->Clear(nullptr);
        device.OnDraw(nullptr, true);
        SIZE size{};
        EXPECT_EQ(Presented(app.GetHWnd(), size)[0], 0xF0F0F0u);
        device.SetBrightness(128);
        device.OnDraw(nullptr, true);
        const std::uint32_t faded = Presented(app.GetHWnd(), size)[0];
        EXPECT_LT(faded & 0xFF, 0xA0u);
        EXPECT_GT(faded & 0xFF, 0x60u);
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
        SIZE size{};
        EXPECT_EQ(Presented(app.GetHWnd(), size)[3 * 320 + 3], 0xFF0000u);
        device.GetLayersBefore()->Clear();
        device.GetLayersAfter()->Remove(&after);
        device.GetLayersGdi()->Remove(&gdi);
        EXPECT_TRUE(device.GetLayersGdi()->IsEmpty());
    });
}

TEST(FastPlane, SizesAndKindsOfSurface)
{
    WithDevice(320, 240, [](DrawApp&, Draw::CFastDraw& device) {
        Draw::CFastPlane plane;
        EXPECT_EQ(plane.CreateSurface(0, 10, false), 1);
        std::int32_t w = -1, h = -1;
        EXPECT_EQ(plane.GetSize(&w, &h), 1);
        EXPECT_EQ(w, 0);
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
        EXPECT_EQ(plane.GetPixelType(), Draw::kPixelXRGB8888);
        Draw::CFastPlane wide;
        EXPECT_EQ(wide.CreateSurface(321, 10, false), 0);
        EXPECT_EQ(wide.GetDisplaySurface(), nullptr);
        EXPECT_TRUE(wide.OwnsMemory());
        EXPECT_EQ(wide.GetPixelType(), Draw::kPixelXRGB8888);

        // Alpha planes: the display's alpha type, in memory, pitch 4 bytes a pixel.
        device.SetDisplayBpp(16);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        Draw::CFastPlane alpha;
        EXPECT_EQ(alpha.CreateSurface(10, 3, true), 0);
        EXPECT_EQ(alpha.GetPixelType(), Draw::kPixelA565);
        EXPECT_EQ(alpha.GetSurfaceInfo()->pitch, 40);
        EXPECT_TRUE(alpha.HasAlpha());

        // A 24-bit display asks for an even width; the plane keeps the width asked for.
        device.SetDisplayBpp(24);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        Draw::CFastPlane odd;
        EXPECT_EQ(odd.CreateSurface(7, 3, false), 0);
        EXPECT_EQ(odd.GetSize(&w, &h), 0);
        EXPECT_EQ(w, 7);
        EXPECT_EQ(odd.GetSurfaceInfo()->pitch, 8 * 3);

        Draw::CFastPlane none;
        EXPECT_EQ(none.Load("#notdefined#"), 0);
        EXPECT_EQ(none.GetSize(&w, &h), 1);
        EXPECT_EQ(w, 0);
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
        EXPECT_NE(errors.Text().find("CFastPlane::EndPaintが呼び出されていないのにBeginPaintが呼び出された"),
                  std::string::npos);
        plane.EndPaint();
        EXPECT_EQ(PixelOf(plane, 1, 1), 0x00FF00u);
        plane.EndPaint();
        EXPECT_NE(errors.Text().find("CFastPlane::BeginPaintが呼び出されていないのにEndPaintが呼び出された"),
                  std::string::npos);
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
        const auto listed = [&](Draw::CFastPlane* p) {
            return std::count(device.GetPlanes().begin(), device.GetPlanes().end(), p);
        };
        EXPECT_EQ(listed(plane), 1);
        EXPECT_EQ(listed(device.GetSecondary()), 1);
        EXPECT_EQ(listed(device.GetPrimary()), 0);

        device.SetDisplayBpp(16);
        ASSERT_EQ(device.ChangeDisplay(true), 0);
        EXPECT_EQ(plane->GetPixelType(), Draw::kPixel565);
        EXPECT_EQ(alpha.GetPixelType(), Draw::kPixelA565);
        EXPECT_EQ(listed(plane), 1);
        EXPECT_EQ(device.GetSecondary()->GetPixelType(), Draw::kPixel565);

        // Back to 32 bits and a plane made on the way is dropped from the list when destroyed.
        ASSERT_EQ(device.ChangeDisplay(false), 0);
        EXPECT_EQ(plane->GetPixelType(), Draw::kPixelXRGB8888);
        delete plane;
        EXPECT_EQ(listed(plane), 0);
        std::size_t before = device.GetPlanes().size();
        {
            Draw::CFastPlane shortLived;
            shortLived.CreateSurface(4, 4, false);
            EXPECT_EQ(device.GetPlanes().size(), before + 1);
        }
        EXPECT_EQ(device.GetPlanes().size(), before);
    });
}

TEST(PlaneFactory, PlanesComeFromTheThreadsDevice)
{
    // This thread has no factory.
    EXPECT_EQ(Draw::GetThreadFastDraw(), nullptr);
    try {
        Draw::CPlane plane;
        ADD_FAILURE() << "no factory, yet a plane";
    } catch (const ZTL::CRuntimeException& e) {
        EXPECT_EQ(e.getMessage(), ZTL::string("CPlane::CreateInstanceでfactoryがNULL"));
    }
    WithDevice(320, 240, [](DrawApp&, Draw::CFastDraw& device) {
        Draw::CPlane plane;
        auto* fast = dynamic_cast<Draw::CFastPlane*>(plane.get());
        ASSERT_NE(fast, nullptr);
        EXPECT_EQ(fast->GetOwner(), &device);
        std::int32_t w = 0, h = 0;
        EXPECT_EQ(fast->GetSize(&w, &h), 1);
        ZTL::smart_ptr<Draw::ISurface> another = plane->NewPlane();
        EXPECT_EQ(dynamic_cast<Draw::CFastPlane*>(another.get())->GetOwner(), &device);
    });
}

} // namespace

namespace {

TEST(FastPlane, MakingASurfaceAgainReplacesTheOldOne)
{
    WithDevice(320, 240, [](DrawApp&, Draw::CFastDraw& device) {
        Draw::CFastPlane plane;
        ASSERT_EQ(plane.CreateSurfaceOfType(8, 8, Draw::kPixelARGB8888), 0);
        // The old pixels are freed (the leak checker would see them) and the plane is listed once.
        ASSERT_EQ(plane.CreateSurfaceOfType(4, 2, Draw::kPixel565), 0);
        std::int32_t w = 0, h = 0;
        EXPECT_EQ(plane.GetSize(&w, &h), 0);
        EXPECT_EQ(w, 4);
        EXPECT_EQ(plane.GetSurfaceInfo()->pitch, 8);
        EXPECT_FALSE(plane.HasAlpha());
        EXPECT_EQ(std::count(device.GetPlanes().begin(), device.GetPlanes().end(), &plane), 1);
        ASSERT_EQ(plane.CreateSurface(6, 6, false), 0);
        EXPECT_EQ(std::count(device.GetPlanes().begin(), device.GetPlanes().end(), &plane), 1);
    });
}

TEST(FastDraw, PlanesAndTheThreadOutliveTheDeviceSafely)
{
    platform::UseVirtualClock();
    const bool ran = RunInDrawApp("headless", 320, 240, [](DrawApp&) {
        auto survivor = std::make_unique<Draw::CFastPlane>();
        {
            ZTL::smart_ptr<Draw::CFastDraw> device = Draw::CFastDraw::CreateForThread();
            ASSERT_EQ(device->ChangeDisplay(false), 0);
            ASSERT_EQ(survivor->CreateSurface(8, 8, false), 0);
            EXPECT_FALSE(Draw::GetThreadPlaneFactory().isNull());
        }
        // The thread forgets the device and its factory; the plane can still be released.
        EXPECT_EQ(Draw::GetThreadFastDraw(), nullptr);
        EXPECT_TRUE(Draw::GetThreadPlaneFactory().isNull());
        EXPECT_THROW(Draw::CPlane(), ZTL::CRuntimeException);
        survivor.reset();
    });
    platform::UseRealClock();
    EXPECT_TRUE(ran);
}

TEST(LayerList, RemoveTakesEveryEntryOfTheLayer)
{
    std::string log;
    RecordingLayer a("a", log), b("b", log);
    Draw::CLayerList list;
    EXPECT_TRUE(list.IsEmpty());
    list.Add(&a);
    list.Add(&b);
    list.Add(&a);
    list.OnDraw(static_cast<platform::DeviceContext*>(nullptr));
    EXPECT_EQ(log, "a(dc) b(dc) a(dc) ");
    list.Remove(&a);
    log.clear();
    list.OnDraw(static_cast<platform::DeviceContext*>(nullptr));
    EXPECT_EQ(log, "b(dc) ");
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
}

} // namespace
