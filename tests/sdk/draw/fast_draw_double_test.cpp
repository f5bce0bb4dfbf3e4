// The display device and its planes on a scripted driver: the driver's statuses, 8-bit and 5-5-5
// displays, a primary that cannot be locked, lost surfaces and refused surfaces, and the pixel type
// read from the channel masks.
#include "display_support.h"
#include "support/error_capture.h"
#include "support/image_bytes.h"

#include "platform/clock.h"
#include "sdk/draw/fast_draw.h"
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

TEST(FastDrawDouble, EightBitDisplayUses555PlanesAndAPalettisedCopy)
{
    const std::string file = WriteBitmap();
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

            // A 555 display keeps the 555 plane and reloads the emulated one in the display's own type.
            Script().windowedType = Draw::kPixel555;
            ASSERT_EQ(device.ChangeDisplay(false), 0);
            EXPECT_EQ(device.GetDisplayPixelType(), Draw::kPixel555);
            EXPECT_EQ(plane.GetSurfaceInfo()->pixels, memory);
            EXPECT_FALSE(loaded.IsEmulated555());
            EXPECT_EQ(loaded.GetPixelType(), Draw::kPixel555);
            EXPECT_EQ(loaded.GetFileName(), ZTL::string(file.c_str()));
            EXPECT_EQ(PixelOf(loaded, 1, 1), 0xF8F8F8u);

            // A 565 display rebuilds both.
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
