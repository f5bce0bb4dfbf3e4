// The plane cache: planes from the thread's plane factory, keyed again on every hand-out, and the null
// surface for what has no plane.
#include "sdk/draw/plane_factory.h"
#include "sdk/draw/plane_loader.h"
#include "sdk/draw/surface_null_device.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
namespace Aux = zelvoranGameSDK3rd::Auxiliary;
using PlanePtr = ZTL::smart_ptr<Draw::ISurface>;

// A plane without pixels whose load fails for names beginning with "bad"; it records the key pixel asked.
class FakePlane : public Draw::CSurfaceNullDevice
{
public:
    int GetType() override { return 1; }
    int SetColorKey(std::uint32_t color) override { return ISurface::SetColorKey(color); }
    std::uint32_t GetColorKey() override { return ISurface::GetColorKey(); }
    int SetColorKeyFromPixel(std::int32_t x, std::int32_t y) override
    {
        keyPixel = std::to_string(x) + "," + std::to_string(y);
        return 0;
    }
    int Load(const ZTL::string& name) override
    {
        return std::string(name.c_str()).starts_with("bad") ? 3 : 0;
    }
    std::string keyPixel;
};

struct FakeFactory : Draw::IPlaneFactory
{
    Draw::ISurface* CreatePlane() override { return new FakePlane; }
};

void Define(Draw::CPlaneLoader& loader)
{
    const std::string text = "a.bmp,1\r\nbad.bmp,2";
    Aux::CFile file;
    file.ReadFromMemory(text.data(), std::uint32_t(text.size()));
    loader.ReadDefinition(file, true);
}

// A plane cache over "a.bmp" (1) and "bad.bmp" (2), made while the thread has the fake plane factory.
struct PlaneCache
{
    PlaneCache()
    {
        Draw::SetThreadPlaneFactory(ZTL::smart_ptr<Draw::IPlaneFactory>(new FakeFactory));
        loader = std::make_unique<Draw::CPlaneLoader>();
        Draw::EraseThreadPlaneFactory();
        Define(*loader);
    }
    PlanePtr Get(std::int32_t id)
    {
        PlanePtr plane;
        loader->Get(plane, id);
        return plane;
    }
    std::unique_ptr<Draw::CPlaneLoader> loader;
};

TEST(PlaneLoader, EveryHandOutSetsTheKeyAgain)
{
    PlaneCache cache;
    PlanePtr plane = cache.Get(1);
    EXPECT_EQ(plane->GetType(), 1);
    EXPECT_EQ(plane->GetColorKey(), 0xFF00u);
    plane->SetColorKey(0x123456u);
    EXPECT_EQ(cache.Get(1)->GetColorKey(), 0xFF00u);
    cache.loader->SetColorKey(0xFF00FF);
    EXPECT_EQ(cache.Get(1)->GetColorKey(), 0xFF00FFu);
    cache.loader->SetColorKeyFromPixel(3, 4);
    EXPECT_EQ(static_cast<FakePlane*>(cache.Get(1).get())->keyPixel, "3,4");
    EXPECT_EQ(cache.Get(1).get(), plane.get());
}

TEST(PlaneLoader, WhatHasNoPlaneHandsOutTheNullSurface)
{
    PlaneCache cache;
    EXPECT_EQ(cache.loader->Load(2), 3);
    EXPECT_EQ(cache.Get(2)->GetType(), 0);
    PlanePtr undefined = cache.Get(7);
    std::int32_t w = -1, h = -1;
    EXPECT_EQ(undefined->GetSize(&w, &h) + w + h, 0);
    EXPECT_EQ(undefined->Blt(0, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(undefined->NewPlane()->GetType(), 0);
    // A cache made on a thread without a plane factory makes nothing.
    Draw::CPlaneLoader bare;
    Define(bare);
    EXPECT_EQ(bare.Load(1), -1);
    PlanePtr plane;
    bare.Get(plane, 1);
    EXPECT_EQ(plane->GetType(), 0);
}

} // namespace
