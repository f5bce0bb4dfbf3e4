// The surface info's lock protocol and pixel reads, the blit dispatcher's result codes, the effect entry
// and the surface interface's inline operations, on a surface backed by plain memory.

#include "sdk/draw/surface.h"
#include "sdk/draw/surface_info.h"
#include "sdk/ztl/exception.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace zelvoranGameSDK3rd;
using namespace zelvoranGameSDK3rd::Draw;

// A surface over a vector of pixels.
class CMemorySurface : public ISurface
{
public:
    CMemorySurface(int width, int height, int type, std::uint8_t fill = 0)
    {
        Create(width, height, type, fill);
    }

    int GetType() override { return 1; }
    int GetSize(std::int32_t* width, std::int32_t* height) override
    {
        *width = GetSurfaceInfo()->width;
        *height = GetSurfaceInfo()->height;
        return GetSurfaceInfo()->valid ? 0 : 1;
    }
    int Resize(std::int32_t width, std::int32_t height) override
    {
        std::int32_t w, h;
        GetSize(&w, &h);
        return w == width && h == height ? 0 : CreateSurfaceOfType(width, height, GetPixelType());
    }
    int CreateSurfaceOfType(std::int32_t width, std::int32_t height, std::int32_t type) override
    {
        Create(width, height, type, 0);
        return 0;
    }
    ZTL::smart_ptr<ISurface> NewPlane() override
    {
        return ZTL::smart_ptr<ISurface>(new CMemorySurface(1, 1, 3));
    }

    std::uint32_t Word(int x, int y)
    {
        std::uint32_t v = 0;
        CSurfaceInfo* info = GetSurfaceInfo();
        std::memcpy(&v, info->pixels + y * info->pitch + x * info->GetBytesPerPixel(),
                    info->GetBytesPerPixel());
        return v;
    }
    void SetWord(int x, int y, std::uint32_t v)
    {
        CSurfaceInfo* info = GetSurfaceInfo();
        std::memcpy(info->pixels + y * info->pitch + x * info->GetBytesPerPixel(), &v,
                    info->GetBytesPerPixel());
    }
    std::vector<std::uint8_t> memory;

private:
    void Create(int width, int height, int type, std::uint8_t fill)
    {
        const int bpp = BytesPerPixel(type) != 0 ? BytesPerPixel(type) : 4;
        memory.assign(static_cast<std::size_t>(width) * height * bpp, fill);
        CSurfaceInfo* info = GetSurfaceInfo();
        info->valid = true;
        info->pixels = memory.data();
        info->pitch = width * bpp;
        info->width = width;
        info->height = height;
        info->type = type;
    }
};

std::string MessageOf(const ZTL::CException& e)
{
    return e.getMessage().c_str();
}

TEST(SurfaceInfo, LockProtocol)
{
    CSurfaceInfo info;
    EXPECT_EQ(info.Lock(), -1); // not valid yet
    EXPECT_EQ(info.Unlock(), -1);
    info.valid = true;
    ASSERT_EQ(info.Lock(), 0);
    try {
        info.Lock();
        FAIL() << "a second Lock must raise";
    } catch (const ZTL::CRuntimeException& e) {
        EXPECT_EQ(MessageOf(e), "２重Lock(CSurfaceInfo::Lock)");
    }
    EXPECT_TRUE(info.locked);
    ASSERT_EQ(info.Unlock(), 0);
    try {
        info.Unlock();
        FAIL() << "an Unlock without Lock must raise";
    } catch (const ZTL::CRuntimeException& e) {
        EXPECT_EQ(MessageOf(e), "２重UnlockCSurfaceInfo::Unlock");
    }
    EXPECT_FALSE(info.locked);
}

TEST(SurfaceInfo, ReadPixel)
{
    CMemorySurface s565(2, 1, kPixel565), s555(1, 1, kPixel555), a565(1, 1, kPixelA565),
        argb(1, 1, kPixelABGR8888);
    s565.SetWord(0, 0, 0xFFFF);
    s555.SetWord(0, 0, 0x7FFF);
    a565.SetWord(0, 0, 0x0F0000);
    argb.SetWord(0, 0, 0x80112233);
    std::uint32_t out = 0x12345678;
    ASSERT_EQ(s565.GetSurfaceInfo()->ReadPixel(0, 0, &out), 0);
    EXPECT_EQ(out, 0x00F8FCF8u);
    ASSERT_EQ(s555.GetSurfaceInfo()->ReadPixel(0, 0, &out), 0);
    EXPECT_EQ(out, 0x00F8F8F8u);
    ASSERT_EQ(a565.GetSurfaceInfo()->ReadPixel(0, 0, &out), 0);
    EXPECT_EQ(out, 0xF0000000u);
    ASSERT_EQ(argb.GetSurfaceInfo()->ReadPixel(0, 0, &out), 0);
    EXPECT_EQ(out, 0x80332211u);
    EXPECT_EQ(s565.GetSurfaceInfo()->ReadPixel(2, 0, &out), -1);
    EXPECT_EQ(s565.GetSurfaceInfo()->ReadPixel(0, -1, &out), -1);
    CMemorySurface nine(1, 1, kPixelUnused9);
    out = 5;
    EXPECT_EQ(nine.GetSurfaceInfo()->ReadPixel(0, 0, &out), -2);
    EXPECT_EQ(out, 0u);
    EXPECT_FALSE(s565.GetSurfaceInfo()->locked);
}

// A surface whose memory cannot be reached reports the failed read instead of success, keeps the old
// key, and is left unlocked.
TEST(SurfaceInfo, ReadPixelReportsAFailedLock)
{
    CMemorySurface s(1, 1, kPixel565);
    s.SetWord(0, 0, 0xFFFF);
    s.SetColorKey(0x00123456);
    s.GetSurfaceInfo()->locker = ZTL::smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker);
    EXPECT_NE(s.SetColorKeyFromPixel(0, 0), 0);
    EXPECT_EQ(s.GetColorKey(), 0x00123456u);
    EXPECT_FALSE(s.GetSurfaceInfo()->locked);
}

TEST(SurfaceInfo, SmallRoutines)
{
    EXPECT_EQ(ToAlphaPixelType(9), 9);
    EXPECT_EQ(ToAlphaPixelType(2), 11);
    EXPECT_EQ(ToAlphaPixelType(3), 10);
    EXPECT_EQ(ToAlphaPixelType(7), 12);
    EXPECT_EQ(ToAlphaPixelType(8), 13);
    EXPECT_EQ(ColorDepthOf(kPixelA565), 16);
    EXPECT_EQ(PackRGB565(0xFF, 0xFF, 0xFF), 0xFFFF);
    EXPECT_EQ(PackRGB555(0xFF, 0xFF, 0xFF), 0x7FFF);
    CSurfaceInfo info;
    info.width = 8, info.height = 8;
    RECT out;
    const RECT in{-5, -5, 10, 10};
    EXPECT_EQ(info.ClipRect(&in, &out), &out);
    EXPECT_EQ(out.left, 0);
    EXPECT_EQ(out.right, 8);
}

TEST(Surface, ColourKeysAndFillColour)
{
    CMemorySurface s(2, 2, kPixelXRGB8888);
    EXPECT_EQ(s.SetColorKey(255, 0, 255), 0);
    EXPECT_EQ(s.GetColorKey(), 0x00FF00FFu);
    EXPECT_EQ(s.GetSurfaceInfo()->colorKey, 0x00FF00FFu);
    s.SetWord(1, 1, 0x00010203);
    EXPECT_EQ(s.SetColorKeyFromPixel(1, 1), 0);
    EXPECT_EQ(s.GetSurfaceInfo()->colorKey, 0x00010203u);
    s.SetFillColor(0x80FF8040);
    EXPECT_EQ(s.GetFillColor(), 0x80FF8040u);
    EXPECT_EQ(s.Clear(nullptr), 0);
    EXPECT_EQ(s.Word(0, 0), 0x00FF8040u); // the spare byte of XRGB8888 is 0
    EXPECT_EQ(s.Resize(2, 2), 0);
    EXPECT_EQ(s.Word(1, 1), 0x00FF8040u);
}

TEST(Surface, BltOperationOutsideTheCodesTouchesNothing)
{
    CMemorySurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11);
    const SBltInfo info;
    EXPECT_EQ(dst.Blt(18, src.GetSurfaceInfo(), &info, nullptr), 1);
    EXPECT_EQ(dst.Blt(-1, src.GetSurfaceInfo(), &info, nullptr), 1);
    EXPECT_EQ(dst.Blt(12, src.GetSurfaceInfo(), &info, nullptr), 1);
    for (std::uint8_t b : dst.memory)
        ASSERT_EQ(b, 0xEE);
    EXPECT_EQ(dst.Blt(0, src.GetSurfaceInfo(), &info, nullptr), 0);
    EXPECT_EQ(dst.Word(3, 3), 0x1111u);
}

TEST(BltDispatch, ResultCodes)
{
    CMemorySurface d565(4, 4, kPixel565, 0xEE), s555(4, 4, kPixel555, 0x11), argb(4, 4, kPixelARGB8888, 0xEE);
    CMemorySurface rgb(4, 4, kPixelRGB888, 0xEE), rgbSrc(4, 4, kPixelRGB888, 0x11), nine(4, 4, kPixelUnused9);
    const SBltInfo info;
    const std::int32_t rate[2] = {128, 0};
    EXPECT_EQ(d565.Blt(2, s555.GetSurfaceInfo(), &info, nullptr), 2);
    EXPECT_EQ(rgb.Blt(8, rgbSrc.GetSurfaceInfo(), &info, rate), 0);
    EXPECT_EQ(d565.Blt(0, nine.GetSurfaceInfo(), &info, nullptr), 0);
    CMemorySurface s565(4, 4, kPixel565, 0x11);
    EXPECT_EQ(argb.Blt(0, s565.GetSurfaceInfo(), &info, nullptr), 2);
    EXPECT_EQ(argb.Blt(10, argb.NewPlane()->GetSurfaceInfo(), &info, nullptr), 2);
    for (std::uint8_t b : d565.memory)
        ASSERT_EQ(b, 0xEE);
    for (std::uint8_t b : rgb.memory)
        ASSERT_EQ(b, 0xEE);
    for (std::uint8_t b : argb.memory)
        ASSERT_EQ(b, 0xEE);
}

// An operation that reads its parameter block refuses a null one instead of reading through it.
TEST(BltDispatch, NullParameterBlockIsRefused)
{
    CMemorySurface dst(4, 4, kPixelXRGB8888, 0xEE), src(4, 4, kPixelXRGB8888, 0x11);
    const SBltInfo info;
    for (int op : {6, 7, 8, 9, 14, 15, 16, 17})
        EXPECT_EQ(dst.Blt(op, src.GetSurfaceInfo(), &info, nullptr), 1) << op;
    for (std::uint8_t b : dst.memory)
        ASSERT_EQ(b, 0xEE);
    EXPECT_FALSE(dst.GetSurfaceInfo()->locked);
    EXPECT_EQ(dst.Blt(1, src.GetSurfaceInfo(), &info, nullptr), 0); // the key operations need no block
}

TEST(BltDispatch, FailedLocksAnswerOneAndLeaveBothUnlocked)
{
    CMemorySurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11);
    const SBltInfo info;
    src.GetSurfaceInfo()->locker = ZTL::smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker);
    EXPECT_EQ(dst.Blt(0, src.GetSurfaceInfo(), &info, nullptr), 1);
    EXPECT_FALSE(dst.GetSurfaceInfo()->locked);
    EXPECT_FALSE(src.GetSurfaceInfo()->locked);
    dst.GetSurfaceInfo()->locker = ZTL::smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker);
    src.GetSurfaceInfo()->locker = ZTL::smart_ptr<ISurfaceLocker>(new INullSurfaceLocker);
    EXPECT_EQ(dst.Blt(2, src.GetSurfaceInfo(), &info, nullptr), 1); // the lock answers before the pair
    EXPECT_FALSE(dst.GetSurfaceInfo()->locked);
    CMemorySurface invalid(4, 4, kPixel565);
    invalid.GetSurfaceInfo()->valid = false;
    EXPECT_EQ(invalid.Blt(0, src.GetSurfaceInfo(), &info, nullptr), 1);
    EXPECT_EQ(src.Blt(0, invalid.GetSurfaceInfo(), &info, nullptr), 1);
    EXPECT_FALSE(src.GetSurfaceInfo()->locked);
    for (std::uint8_t b : dst.memory)
        ASSERT_EQ(b, 0xEE);
    EXPECT_EQ(CSurfaceInfo::BltDispatch(dst.GetSurfaceInfo(), nullptr, &info, 0, nullptr), 1);
    EXPECT_EQ(CSurfaceInfo::BltDispatch(dst.GetSurfaceInfo(), src.GetSurfaceInfo(), nullptr, 0, nullptr), 1);
}

TEST(BltDispatch, OperationFourteenOnXrgbUsesThePackedKernel)
{
    CMemorySurface dst(2, 1, kPixelXRGB8888), src(2, 1, kPixelXRGB8888);
    dst.SetWord(0, 0, 0xAA000000);
    src.SetWord(0, 0, 0x00FFFFFF);
    const SBltInfo info;
    const std::uint8_t rate[4] = {255, 0, 0, 0};
    EXPECT_EQ(dst.Blt(14, src.GetSurfaceInfo(), &info, rate), 0);
    EXPECT_EQ(dst.Word(0, 0), 0x00FEFEFEu);
}

TEST(EffectDispatch, ResultCodes)
{
    CMemorySurface s(4, 4, kPixelARGB8888, 0xEE);
    s.SetFillColor(0x80112233);
    EXPECT_EQ(s.Effect(6, nullptr, nullptr), 1);
    for (std::uint8_t b : s.memory)
        ASSERT_EQ(b, 0xEE);
    const RECT r{1, 1, 3, 2};
    EXPECT_EQ(s.Effect(0, &r, nullptr), 0);
    EXPECT_EQ(s.Word(1, 1), 0x80112233u);
    EXPECT_EQ(s.Word(0, 1), 0xEEEEEEEEu);
    EXPECT_EQ(s.Word(3, 1), 0xEEEEEEEEu);
    EXPECT_EQ(s.Effect(2, nullptr, nullptr), 1); // add colour needs its colour
    CMemorySurface nine(2, 2, kPixelUnused9, 0x33);
    EXPECT_EQ(nine.Clear(nullptr), 0);
    for (std::uint8_t b : nine.memory)
        ASSERT_EQ(b, 0x33);
    s.GetSurfaceInfo()->locker = ZTL::smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker);
    EXPECT_EQ(s.Clear(nullptr), 1);
    EXPECT_FALSE(s.GetSurfaceInfo()->locked);
    EXPECT_EQ(s.Word(0, 0), 0xEEEEEEEEu);
}

} // namespace
