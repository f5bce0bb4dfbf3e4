// The surface info's lock protocol and pixel reads, and the entries through which blits, polygon blits
// and rectangle effects reach the kernels: result codes, locking, parameters and colour keys, on surfaces
// backed by plain memory.

#include "memory_surface.h"

#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/kernels/blt_table.h"
#include "sdk/ztl/exception.h"

#include <gtest/gtest.h>

namespace {

using namespace zelvoranGameSDK3rd;
using namespace zelvoranGameSDK3rd::Draw;
using draw_test::CMemorySurface;
using draw_test::ExpectWords;

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

TEST(SurfaceInfo, ClipRectCutsToTheSurface)
{
    CSurfaceInfo info;
    info.width = 8, info.height = 8;
    RECT out;
    const RECT in{-5, -5, 10, 10};
    EXPECT_EQ(info.ClipRect(&in, &out), &out);
    EXPECT_TRUE(out.left == 0 && out.top == 0 && out.right == 8 && out.bottom == 8);
}

TEST(Surface, ColourKeysFillColourAndAFailedKeyRead)
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
    // Memory that cannot be reached: the failed read is reported, the old key kept, nothing left locked.
    Disable(s);
    EXPECT_NE(s.SetColorKeyFromPixel(0, 0), 0);
    EXPECT_EQ(s.GetColorKey(), 0x00010203u);
    EXPECT_FALSE(s.Info().locked);
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

TEST(BltDispatch, OperationFourteenOnXrgbUsesThePackedKernel)
{
    CMemorySurface dst(2, 1, kPixelXRGB8888), src(2, 1, kPixelXRGB8888);
    dst.SetWord(0, 0, 0xAA000000), src.SetWord(0, 0, 0x00FFFFFF);
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

// A row of `width` pixels all `value`, keyed by `colorKey`.
struct Row : CMemorySurface
{
    Row(int type, int width, std::uint32_t value, std::uint32_t colorKey = 0)
        : CMemorySurface(width, 1, type, std::uint8_t(value))
    {
        FillWith(value);
        Info().colorKey = colorKey;
    }
};

class AddSubDispatch : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { BuildBlendTables(); }
    int Blt(Row& dst, Row& src, int op, const void* param = nullptr)
    {
        return CSurfaceInfo::BltDispatch(&dst.Info(), &src.Info(), &m_info, op, param);
    }
    const SBltInfo m_info{};
};

TEST_F(AddSubDispatch, RateIsTheLowByteOfTheCallersValue)
{
    for (int op : {6, 8}) {
        for (std::int32_t rate : {256, 384, 128}) {
            Row dst(kPixel555, 1, 0x0000), src(kPixel555, 1, 0x7FFF);
            ASSERT_EQ(Blt(dst, src, op, &rate), 0);
            EXPECT_EQ(dst.Word(0, 0), rate == 256 ? 0x0000u : 0x4210u) << "op " << op << " rate " << rate;
        }
    }
}

TEST_F(AddSubDispatch, TheSourcePlanesKeyIsUsed)
{
    // The destination's key is never read; the source's is prepared in the source's layout.
    Row dst(kPixelXRGB8888, 2, 0x00101010, 0x00101010), src(kPixelARGB8888, 2, 0x80FF00FF, 0x00FF00FF);
    src.SetWord(1, 0, 0xFF0000FE);
    ASSERT_EQ(Blt(dst, src, 4), 0);
    ExpectWords(dst, {{0, 0, 0x00101010}, {1, 0, 0x001010FF}}); // opaque blue added, the spare byte kept
    // A565 sources compare only the colour word, whatever the key's and the pixel's alpha.
    Row d16(kPixelA565, 2, 0x0B000000), s16(kPixelA565, 2, 0x03F81F, 0x10FF00FF);
    s16.SetWord(1, 0, 0x0F0821);
    ASSERT_EQ(Blt(d16, s16, 5), 0);
    ExpectWords(d16, {{0, 0, 0x0B000000}, {1, 0, 0x0B000000}});
    ASSERT_EQ(Blt(d16, s16, 4), 0);
    ExpectWords(d16, {{0, 0, 0x0B000000}, {1, 0, 0x0B000821}});
}

struct Square
{
    explicit Square(int size) : corners{{0, 0}, {size, 0}, {size, size}, {0, size}}
    {
        info.dstPoints = corners;
        info.srcPoints = corners;
        info.pointCount = 4;
    }
    POINT corners[4];
    PolygonBltInfo info;
};

// Operations other than 0, 1 and 10 answer 1 before locking; unserved pairs 2 after locking both; equal
// types without pixels 0 with nothing drawn.
TEST(PolygonBltDispatch, ServedOperationsAndPairs)
{
    CMemorySurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11), src555(4, 4, kPixel555);
    const Square sq(3);
    for (int op : {2, 3, 9, 11, 14, 17, -1, 255})
        EXPECT_EQ(dst.PolygonBlt(op, &src.Info(), &sq.info, nullptr), 1) << op;
    EXPECT_EQ(dst.locker->locks + src.locker->locks, 0);
    for (int op : {0, 1, 10})
        EXPECT_EQ(dst.PolygonBlt(op, &src555.Info(), &sq.info, nullptr), 2) << op;
    EXPECT_TRUE(dst.locker->locks == 3 && dst.locker->unlocks == 3 && src555.locker->locks == 3 &&
                src555.locker->unlocks == 3);
    EXPECT_FALSE(dst.Info().locked || src555.Info().locked);
    EXPECT_TRUE(dst.Untouched(0xEE));
    for (int op : {0, 1, 10})
        EXPECT_EQ(dst.PolygonBlt(op, &src.Info(), &sq.info, nullptr), 0) << op;
    EXPECT_EQ(dst.Word(3, 3), 0x1111u);
    CMemorySurface none(4, 4, kPixelUnused9, 0xEE), none2(4, 4, kPixelUnused9, 0x11);
    EXPECT_EQ(none.PolygonBlt(0, &none2.Info(), &sq.info, nullptr), 0);
    EXPECT_TRUE(none.Untouched(0xEE));
}

// A refused lock of either surface, or an invalid one, answers 1 through both entries, draws nothing,
// leaves both unlocked and locks the source only after the destination.
TEST(Dispatch, FailedLocksAnswerOneAndLeaveNothingLocked)
{
    const Square sq(3);
    const SBltInfo info;
    for (bool polygon : {false, true}) {
        SCOPED_TRACE(polygon ? "polygon" : "blit");
        const auto blt = [&](CMemorySurface& d, CMemorySurface& s, int op) {
            return polygon ? d.PolygonBlt(op, &s.Info(), &sq.info, nullptr)
                           : d.Blt(op, &s.Info(), &info, nullptr);
        };
        CMemorySurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11, 1);
        EXPECT_EQ(blt(dst, src, 0), 1);
        EXPECT_EQ(dst.locker->unlocks, 1);
        CMemorySurface refusing(4, 4, kPixel565, 0xEE, 1), fine(4, 4, kPixel565, 0x11),
            other(4, 4, kPixel555);
        EXPECT_EQ(blt(refusing, fine, 1), 1);
        EXPECT_EQ(blt(refusing, other, 2), 1); // the lock answers before the pair
        EXPECT_EQ(fine.locker->locks + other.locker->locks, 0);
        CMemorySurface invalid(4, 4, kPixel565);
        invalid.Info().valid = false;
        EXPECT_EQ(blt(invalid, fine, 0), 1);
        EXPECT_EQ(blt(fine, invalid, 0), 1);
        for (CMemorySurface* s : {&dst, &src, &refusing, &fine, &other})
            EXPECT_FALSE(s->Info().locked);
        EXPECT_TRUE(dst.Untouched(0xEE) && refusing.Untouched(0xEE) && fine.Untouched(0x11));
    }
    CMemorySurface dst(4, 4, kPixel565), src(4, 4, kPixel565);
    EXPECT_EQ(CSurfaceInfo::PolygonBltDispatch(&dst.Info(), 0, nullptr, &sq.info), 1);
    EXPECT_EQ(CSurfaceInfo::PolygonBltDispatch(nullptr, 0, &src.Info(), &sq.info), 1);
    EXPECT_EQ(CSurfaceInfo::BltDispatch(&dst.Info(), nullptr, &info, 0, nullptr), 1);
    EXPECT_EQ(CSurfaceInfo::BltDispatch(&dst.Info(), &src.Info(), nullptr, 0, nullptr), 1);
}

TEST(PolygonBltDispatch, NullOrRefusedPolygonsDrawNothingAndAnswerZero)
{
    CMemorySurface dst(4, 4, kPixelXRGB8888, 0xEE), src(4, 4, kPixelXRGB8888, 0x11);
    EXPECT_EQ(dst.PolygonBlt(0, src.GetSurfaceInfo(), nullptr, nullptr), 0);
    Square two(3);
    two.info.pointCount = 2;
    EXPECT_EQ(dst.PolygonBlt(10, src.GetSurfaceInfo(), &two.info, nullptr), 0);
    two.info.pointCount = 4;
    two.info.srcPoints = nullptr;
    EXPECT_EQ(dst.PolygonBlt(1, src.GetSurfaceInfo(), &two.info, nullptr), 0);
    EXPECT_TRUE(dst.Untouched(0xEE));
    EXPECT_FALSE(dst.GetSurfaceInfo()->locked || src.GetSurfaceInfo()->locked);
}

TEST(PolygonBltDispatch, SourceKeyIsLaidOutAsOneSourcePixel)
{
    EXPECT_EQ(PrepareColorKey(kPixel565, kPixel565, 0x00FF00FF), 0xF81Fu);
    EXPECT_EQ(PrepareColorKey(kPixel565, kPixelA565, 0xF0FF00FF) & 0xFFFFFF, 0x0FF81Fu);
    EXPECT_EQ(PrepareColorKey(kPixelARGB8888, kPixelARGB8888, 0x12FF00FF), 0xFFFF00FFu);
    EXPECT_EQ(PrepareColorKey(kPixelXRGB8888, kPixelARGB8888, 0x12FF00FF), 0x12FF00FFu);
    EXPECT_EQ(PrepareColorKey(kPixelABGR8888, kPixelXRGB8888, 0x12FF00FF), 0x00FF00FFu);

    // Through the entry: the source's own key leaves its pixels out.
    CMemorySurface dst(4, 4, kPixel565, 0xEE), src(4, 4, kPixel565, 0x11);
    src.SetColorKey(0x00FF00FF);
    src.SetWord(1, 1, 0xF81F), src.SetWord(2, 1, 0xF81E);
    const Square sq(3);
    EXPECT_EQ(dst.PolygonBlt(1, src.GetSurfaceInfo(), &sq.info, nullptr), 0);
    ExpectWords(dst, {{1, 1, 0xEEEE}, {2, 1, 0xF81E}, {0, 0, 0x1111}});
}

TEST(PolygonBltDispatch, APlaneOntoItselfRaisesAndStaysUnlocked)
{
    CMemorySurface plane(4, 4, kPixel565, 0xEE);
    const Square sq(3);
    EXPECT_THROW(plane.PolygonBlt(0, plane.GetSurfaceInfo(), &sq.info, nullptr), ZTL::CRuntimeException);
    EXPECT_FALSE(plane.GetSurfaceInfo()->locked);
}

TEST(EffectDispatch, ResultCodesAndLocking)
{
    BuildBlendTables();
    CMemorySurface s(8, 8, kPixelARGB8888, 0xEE);
    const std::uint32_t colour = 0x00FFFFFF;
    EXPECT_EQ(s.Effect(6, nullptr, &colour), 1);
    EXPECT_EQ(s.locker->locks, 0);
    // An empty rectangle after the clip, on every effect: done, nothing drawn.
    const RECT outside{20, 0, 30, 4};
    const RECT inverted{5, 5, 2, 7};
    for (std::uint32_t effect = 0; effect <= 5; ++effect) {
        EXPECT_EQ(s.Effect(effect, &outside, &colour), 0) << effect;
        EXPECT_EQ(s.Effect(effect, &inverted, &colour), 0) << effect;
    }
    EXPECT_TRUE(s.Untouched(0xEE));
    EXPECT_EQ(s.locker->locks, 12);
    EXPECT_EQ(s.locker->unlocks, 12);

    CMemorySurface none(4, 4, kPixelUnused9, 0xEE);
    for (std::uint32_t effect = 0; effect <= 5; ++effect)
        EXPECT_EQ(none.Effect(effect, nullptr, &colour), 0);
    EXPECT_TRUE(none.Untouched(0xEE));
    EXPECT_EQ(none.locker->unlocks, 6);

    CMemorySurface refusing(4, 4, kPixel565, 0xEE, 1);
    for (std::uint32_t effect = 0; effect <= 5; ++effect)
        EXPECT_EQ(refusing.Effect(effect, nullptr, &colour), 1);
    EXPECT_EQ(CSurfaceInfo::FadeDispatch(refusing.GetSurfaceInfo(), nullptr, 3), 1);
    EXPECT_EQ(CSurfaceInfo::InvertDispatch(refusing.GetSurfaceInfo(), nullptr), 1);
    EXPECT_EQ(CSurfaceInfo::MosaicDispatch(refusing.GetSurfaceInfo(), nullptr, 2), 1);
    EXPECT_TRUE(refusing.Untouched(0xEE));
    EXPECT_FALSE(refusing.GetSurfaceInfo()->locked);
}

TEST(EffectDispatch, SurfaceOperationsReachTheirEffects)
{
    BuildBlendTables();
    CMemorySurface s(2, 1, kPixelA565, 0);
    s.SetFillColor(0x80FF0000);
    EXPECT_EQ(s.Clear(nullptr), 0); // the fill colour, its alpha's top nibble in byte 2
    EXPECT_EQ(s.Word(1, 0), 0x08F800u);
    EXPECT_EQ(s.InvertEffect(nullptr), 0);
    EXPECT_EQ(s.Word(0, 0), 0x0F07FFu);

    CMemorySurface x(3, 1, kPixelXRGB8888, 0);
    x.FillWith(0x00808080);
    const RECT first{0, 0, 1, 1};
    const RECT second{1, 0, 2, 1};
    EXPECT_EQ(x.FadeEffect(256, &first), 0); // the rate is taken modulo 256
    EXPECT_EQ(x.Word(0, 0), 0u);
    EXPECT_EQ(x.FadeEffect(257, &second), 0);
    EXPECT_EQ(x.Word(1, 0), 0u); // 128 x 1 / 255
    EXPECT_EQ(x.AddColorEffect(0xFF102030, nullptr), 0);
    EXPECT_EQ(x.Word(2, 0), 0x0090A0B0u);
    EXPECT_EQ(x.SubColorEffect(0x00FFFFFF, nullptr), 0);
    EXPECT_EQ(x.Word(2, 0), 0u);
    x.SetWord(0, 0, 0x00ABCDEF);
    EXPECT_EQ(x.MosaicEffect(2, nullptr), 0);
    EXPECT_EQ(x.Word(1, 0), 0x00ABCDEFu);
    EXPECT_EQ(x.MosaicEffect(0, nullptr), 0);
    EXPECT_EQ(x.MosaicEffect(-5, nullptr), 0);
    EXPECT_EQ(x.Word(2, 0), 0u);
}

} // namespace
