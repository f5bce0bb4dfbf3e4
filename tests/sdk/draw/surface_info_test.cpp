// The surface info's lock protocol and pixel reads, the blit dispatcher's result codes, the effect entry
// and the surface interface's inline operations, on a surface backed by plain memory.

#include "memory_surface.h"

#include "sdk/ztl/exception.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd;
using namespace zelvoranGameSDK3rd::Draw;
using draw_test::CMemorySurface;

void Disable(CMemorySurface& s)
{
    s.Info().locker = ZTL::smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker);
}

template <class F> void ExpectRaises(F f, const char* message)
{
    try {
        f();
        ADD_FAILURE() << "no exception: " << message;
    } catch (const ZTL::CRuntimeException& e) {
        EXPECT_STREQ(e.getMessage().c_str(), message);
    }
}

TEST(SurfaceInfo, LockProtocol)
{
    CSurfaceInfo info;
    EXPECT_EQ(info.Lock(), -1); // not valid yet
    EXPECT_EQ(info.Unlock(), -1);
    info.valid = true;
    ASSERT_EQ(info.Lock(), 0);
    ExpectRaises([&] { info.Lock(); }, "２重Lock(CSurfaceInfo::Lock)");
    EXPECT_TRUE(info.locked);
    ASSERT_EQ(info.Unlock(), 0);
    ExpectRaises([&] { info.Unlock(); }, "２重UnlockCSurfaceInfo::Unlock");
    EXPECT_FALSE(info.locked);
}

TEST(SurfaceInfo, ReadPixel)
{
    struct Case
    {
        int type;
        std::uint32_t stored, read;
    };
    for (const Case c :
         {Case{kPixel565, 0xFFFF, 0x00F8FCF8}, Case{kPixel555, 0x7FFF, 0x00F8F8F8},
          Case{kPixelA565, 0x0F0000, 0xF0000000}, Case{kPixelABGR8888, 0x80112233, 0x80332211}}) {
        CMemorySurface s(2, 1, c.type);
        s.SetWord(0, 0, c.stored);
        std::uint32_t out = 0x12345678;
        ASSERT_EQ(s.Info().ReadPixel(0, 0, &out), 0);
        EXPECT_EQ(out, c.read) << c.type;
        EXPECT_EQ(s.Info().ReadPixel(2, 0, &out), -1);
        EXPECT_EQ(s.Info().ReadPixel(0, -1, &out), -1);
        EXPECT_FALSE(s.Info().locked);
    }
    CMemorySurface nine(1, 1, kPixelUnused9);
    std::uint32_t out = 5;
    EXPECT_EQ(nine.Info().ReadPixel(0, 0, &out), -2);
    EXPECT_EQ(out, 0u);
}

// A surface whose memory cannot be reached reports the failed read instead of success, keeps the old
// key, and is left unlocked.
TEST(SurfaceInfo, ReadPixelReportsAFailedLock)
{
    CMemorySurface s(1, 1, kPixel565);
    s.SetWord(0, 0, 0xFFFF);
    s.SetColorKey(0x00123456);
    Disable(s);
    EXPECT_NE(s.SetColorKeyFromPixel(0, 0), 0);
    EXPECT_EQ(s.GetColorKey(), 0x00123456u);
    EXPECT_FALSE(s.Info().locked);
}

TEST(SurfaceInfo, SmallRoutines)
{
    const std::pair<int, int> alphaTypes[] = {{9, 9}, {2, 11}, {3, 10}, {7, 12}, {8, 13}};
    for (auto [type, alpha] : alphaTypes)
        EXPECT_EQ(ToAlphaPixelType(type), alpha) << type;
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
    EXPECT_EQ(s.Info().colorKey, 0x00FF00FFu);
    s.SetWord(1, 1, 0x00010203);
    EXPECT_EQ(s.SetColorKeyFromPixel(1, 1), 0);
    EXPECT_EQ(s.Info().colorKey, 0x00010203u);
    s.SetFillColor(0x80FF8040);
    EXPECT_EQ(s.Clear(nullptr), 0);
    EXPECT_EQ(s.Word(1, 1), 0x00FF8040u); // the spare byte of XRGB8888 is 0
}

// Unserved codes and pairs, and refused locks and parameter blocks: the result code, nothing drawn and
// nothing left locked.
TEST(BltDispatch, ResultCodes)
{
    const SBltInfo info;
    const std::int32_t rate[2] = {128, 0};
    struct Case
    {
        int op, dst, src, result;
        const void* param;
    };
    for (const Case c :
         {Case{18, kPixel565, kPixel565, 1, nullptr}, Case{-1, kPixel565, kPixel565, 1, nullptr},
          Case{12, kPixel565, kPixel565, 1, nullptr}, Case{2, kPixel565, kPixel555, 2, nullptr},
          Case{8, kPixelRGB888, kPixelRGB888, 0, rate}, Case{0, kPixel565, kPixelUnused9, 0, nullptr},
          Case{0, kPixelARGB8888, kPixel565, 2, nullptr}, Case{10, kPixelARGB8888, kPixel565, 2, nullptr}}) {
        CMemorySurface dst(4, 4, c.dst, 0xEE), src(4, 4, c.src, 0x11);
        EXPECT_EQ(dst.Blt(c.op, &src.Info(), &info, c.param), c.result)
            << c.op << " " << c.dst << " " << c.src;
        EXPECT_TRUE(dst.Untouched(0xEE));
    }
    CMemorySurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11);
    EXPECT_EQ(dst.Blt(0, &src.Info(), &info, nullptr), 0);
    EXPECT_EQ(dst.Word(3, 3), 0x1111u);
    EXPECT_EQ(CSurfaceInfo::BltDispatch(&dst.Info(), nullptr, &info, 0, nullptr), 1);
    EXPECT_EQ(CSurfaceInfo::BltDispatch(&dst.Info(), &src.Info(), nullptr, 0, nullptr), 1);
}

// An operation that reads its parameter block refuses a null one instead of reading through it.
TEST(BltDispatch, NullParameterBlockIsRefused)
{
    CMemorySurface dst(4, 4, kPixelXRGB8888, 0xEE), src(4, 4, kPixelXRGB8888, 0x11);
    const SBltInfo info;
    for (int op : {6, 7, 8, 9, 14, 15, 16, 17})
        EXPECT_EQ(dst.Blt(op, &src.Info(), &info, nullptr), 1) << op;
    EXPECT_TRUE(dst.Untouched(0xEE));
    EXPECT_FALSE(dst.Info().locked);
    EXPECT_EQ(dst.Blt(1, &src.Info(), &info, nullptr), 0); // the key operations need no block
}

TEST(BltDispatch, FailedLocksAnswerOneAndLeaveBothUnlocked)
{
    CMemorySurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11);
    const SBltInfo info;
    Disable(src);
    EXPECT_EQ(dst.Blt(0, &src.Info(), &info, nullptr), 1);
    EXPECT_FALSE(dst.Info().locked || src.Info().locked);
    Disable(dst);
    src.Info().locker = ZTL::smart_ptr<ISurfaceLocker>(new INullSurfaceLocker);
    EXPECT_EQ(dst.Blt(2, &src.Info(), &info, nullptr), 1); // the lock answers before the pair
    EXPECT_FALSE(dst.Info().locked);
    CMemorySurface invalid(4, 4, kPixel565);
    invalid.Info().valid = false;
    EXPECT_EQ(invalid.Blt(0, &src.Info(), &info, nullptr), 1);
    EXPECT_EQ(src.Blt(0, &invalid.Info(), &info, nullptr), 1);
    EXPECT_FALSE(src.Info().locked);
    EXPECT_TRUE(dst.Untouched(0xEE));
}

TEST(BltDispatch, OperationFourteenOnXrgbUsesThePackedKernel)
{
    CMemorySurface dst(2, 1, kPixelXRGB8888), src(2, 1, kPixelXRGB8888);
    dst.SetWord(0, 0, 0xAA000000);
    src.SetWord(0, 0, 0x00FFFFFF);
    const SBltInfo info;
    const std::uint8_t rate[4] = {255, 0, 0, 0};
    EXPECT_EQ(dst.Blt(14, &src.Info(), &info, rate), 0);
    EXPECT_EQ(dst.Word(0, 0), 0x00FEFEFEu);
}

// (The entry's codes and locking are the polygon and effect dispatch tests'.)
TEST(EffectDispatch, FillTakesTheRectangleAndAddColourNeedsItsColour)
{
    CMemorySurface s(4, 4, kPixelARGB8888, 0xEE);
    s.SetFillColor(0x80112233);
    EXPECT_EQ(s.Effect(2, nullptr, nullptr), 1);
    EXPECT_TRUE(s.Untouched(0xEE));
    const RECT r{1, 1, 3, 2};
    EXPECT_EQ(s.Effect(0, &r, nullptr), 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(s.Word(x, 1), x == 1 || x == 2 ? 0x80112233u : 0xEEEEEEEEu) << x;
}

} // namespace
