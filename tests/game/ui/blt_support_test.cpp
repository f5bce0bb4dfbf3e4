#include "game/ui/blt_support.h"

#include "game/ui/drawing_fixture.h"
#include "game/ui/effect_object.h"

#include <optional>
#include <tuple>
#include <vector>

namespace {

using Draw::RECT;
using Draw::SIZE;

class BltTest : public DrawingTest
{
protected:
    // Picture 10002 is 16 x 16, its companion 10003 the 40 x 40 picture of another pattern; picture 11 is
    // 4 x 4 with a magenta pixel at (1, 1). Every pixel tells where it lies: 0xPPXXYY.
    void PutPictures()
    {
        PutImage("small.bmp", 16, 16, [](int x, int y) { return Where(0x11, x, y); });
        PutImage("big.bmp", 40, 40, [](int x, int y) { return Where(0x22, x, y); });
        PutImage("eleven.bmp", 4, 4,
                 [](int x, int y) { return x == 1 && y == 1 ? 0xFF00FFu : Where(0x33, x, y); });
        PutList({"small.bmp,10002", "big.bmp,10003", "eleven.bmp,11"});
    }
    static std::uint32_t Where(std::uint32_t picture, int x, int y)
    {
        return picture << 16 | std::uint32_t(x) << 8 | std::uint32_t(y);
    }
};

TEST_F(BltTest, PairedPicturesUseTheirCompanionInDoubleSize)
{
    PutPictures();
    const RECT quarter{0, 0, 16, 16};
    auto target = MakePlane(Draw::kPixelXRGB8888, 64, 64);
    ASSERT_EQ(CBltSupport::BltImage(*target, 10002, 5, 7, &quarter), 0);
    ExpectWords(*target, {{5, 7, Where(0x11, 0, 0)}, {20, 22, Where(0x11, 15, 15)}, {21, 22, 0}});

    g_globalData.doubleSize = true;
    target = MakePlane(Draw::kPixelXRGB8888, 64, 64);
    ASSERT_EQ(CBltSupport::BltImage(*target, 10002, 5, 7, &quarter), 0);
    ExpectWords(*target,
                {{10, 14, Where(0x22, 0, 0)}, {41, 45, Where(0x22, 31, 31)}, {42, 45, 0}, {9, 14, 0}});
    target = MakePlane(Draw::kPixelXRGB8888, 64, 64);
    ASSERT_EQ(CBltSupport::BltImage(*target, 10002, 5, 7), 0);
    ExpectWords(*target, {{10, 14, Where(0x22, 0, 0)}, {49, 53, Where(0x22, 39, 39)}, {50, 53, 0}});
}

TEST_F(BltTest, OtherPicturesAreDrawnInTwoByTwoBlocksInDoubleSize)
{
    PutPictures();
    g_globalData.doubleSize = true;
    auto target = MakePlane(Draw::kPixelXRGB8888, 16, 16, 0x123456);
    ASSERT_EQ(CBltSupport::BltImage(*target, 11, 3, 2), 0);
    // The magenta pixel (1, 1) leaves its block alone.
    ExpectWords(*target, {{6, 4, Where(0x33, 0, 0)},
                          {7, 5, Where(0x33, 0, 0)},
                          {9, 5, Where(0x33, 1, 0)},
                          {9, 7, 0x123456},
                          {13, 11, Where(0x33, 3, 3)},
                          {14, 11, 0x123456}});
}

TEST_F(BltTest, PairsWithoutASoftwarePathTakeThePlaneBlitAtTheRightPlace)
{
    // On a 24-bit display the companion is drawn once, at twice the logical position, not stretched
    // again; a picture below 10000 is stretched by the plane's blit.
    m_display.type = Draw::kPixelRGB888;
    PutPictures();
    g_globalData.doubleSize = true;
    const RECT quarter{0, 0, 16, 16};
    auto target = MakePlane(Draw::kPixelRGB888, 64, 64);
    ASSERT_EQ(CBltSupport::BltImageHalfBright(*target, 10002, 5, 7, &quarter), 0);
    ExpectWords(*target, {{10, 14, Where(0x22, 0, 0)}, {41, 45, Where(0x22, 31, 31)}, {42, 46, 0}});
    target = MakePlane(Draw::kPixelRGB888, 16, 16);
    ASSERT_EQ(CBltSupport::BltImage(*target, 11, 3, 2), 0);
    ExpectWords(*target, {{6, 4, Where(0x33, 0, 0)}, {7, 5, Where(0x33, 0, 0)}, {13, 11, Where(0x33, 3, 3)}});
}

TEST(SoftwareClip, PixelPairsOfOneWidthShareAPathKeyedInTheTargetsFormat)
{
    using Pair = std::tuple<std::int32_t, std::int32_t, CBltSupport::EPixelPath, std::uint32_t>;
    const Pair cases[] = {
        {Draw::kPixel565, Draw::kPixel555, CBltSupport::kPath16, 0xF81F},
        {Draw::kPixel555, Draw::kPixel565, CBltSupport::kPath16, 0x7C1F},
        {Draw::kPixelXBGR8888, Draw::kPixelARGB8888, CBltSupport::kPath32, 0xFF00FF},
        {Draw::kPixelA565, Draw::kPixelA565, CBltSupport::kPathNone, 0},
        {Draw::kPixelRGB888, Draw::kPixelRGB888, CBltSupport::kPathNone, 0},
        {Draw::kPixel565, Draw::kPixelXRGB8888, CBltSupport::kPathNone, 0},
    };
    for (const auto& [target, source, path, key] : cases) {
        const CBltSupport::SPixelPair pair = CBltSupport::ClassifyPixelPair(target, source);
        EXPECT_EQ(std::tuple(pair.path, pair.colorKey), std::tuple(path, key)) << target << " " << source;
    }
}

TEST(SoftwareClip, EveryEdgeCutsAsItShould)
{
    Draw::SSurfaceDesc target, source;
    target.width = 100, target.height = 80;
    source.width = 32, source.height = 16;
    struct Case
    {
        std::int64_t dx, dy;
        std::optional<RECT> rect;
        bool doubled;
        int result;
        CBltSupport::SSoftwareClip clip;
    };
    const Case cases[] = {
        // Off the top left at twice the size: half of the pixels off the edge are lost.
        {-21, -3, std::nullopt, true, 0, {0, 0, 10, 1, 22, 15}},
        // A source origin outside the source shortens the size and keeps the destination.
        {10, 5, RECT{-4, -2, 16, 16}, false, 0, {10, 5, 0, 0, 16, 16}},
        {80, 70, std::nullopt, true, 0, {80, 70, 0, 0, 10, 5}},
        // Nothing left: a size of 0 reports 0, a negative one 1.
        {100, 0, std::nullopt, false, 0, {0, 0, 0, 0, 0, 0}},
        {101, 0, std::nullopt, false, 1, {}},
        {0, 0, RECT{40, 0, 50, 16}, false, 1, {}},
        {0, 0, RECT{8, 0, 4, 16}, false, 1, {}},
    };
    for (const Case& c : cases) {
        CBltSupport::SSoftwareClip clip;
        const int result = CBltSupport::ClipSoftwareBlt(target, source, c.dx, c.dy,
                                                        c.rect ? &*c.rect : nullptr, c.doubled, clip);
        EXPECT_EQ(result, c.result) << c.dx << "," << c.dy;
        if (result != 0) continue;
        EXPECT_EQ(std::tie(clip.dx, clip.dy, clip.sx, clip.sy, clip.width, clip.height),
                  std::tie(c.clip.dx, c.clip.dy, c.clip.sx, c.clip.sy, c.clip.width, c.clip.height))
            << c.dx << "," << c.dy;
    }
}

TEST_F(BltTest, AHalfBrightSpriteOffTheLeftEdgeStartsAtItsEleventhColumn)
{
    // Column c is red 4c.
    auto sprite = MakePlane(Draw::kPixelXRGB8888, 32, 2);
    for (int x = 0; x < 32; ++x)
        SetWord(*sprite, x, 0, std::uint32_t(4 * x) << 16),
            SetWord(*sprite, x, 1, std::uint32_t(4 * x) << 16);
    auto target = MakePlane(Draw::kPixelXRGB8888, 64, 4, 0x0000FF);
    ASSERT_EQ(CBltSupport::BltColorKeyHalfBright(*target, *sprite, -10, 0), 0);
    ExpectWords(*target, {{0, 0, 20u << 16}, {21, 1, 62u << 16}, {22, 0, 0xFF}});

    target = MakePlane(Draw::kPixelXRGB8888, 64, 4, 0x0000FF);
    ASSERT_EQ(CBltSupport::BltColorKeyHalfBrightDouble(*target, *sprite, -10, 0), 0);
    ExpectWords(*target, {{0, 0, 20u << 16}, {1, 3, 20u << 16}, {43, 0, 62u << 16}, {44, 0, 0xFF}});
}

TEST_F(BltTest, HalfBrightMasksAndKeysPerPixelType)
{
    struct Case
    {
        std::int32_t type;
        std::uint32_t source;
        std::uint32_t keyed;  // what the keyed kernels leave
        std::uint32_t copied; // what the plain one leaves
    };
    constexpr std::uint32_t kOld = 0x1234;
    const Case cases[] = {
        {Draw::kPixel565, 0xFFFF, 0x7BEF, 0x7BEF},
        {Draw::kPixel565, 0xF81F, kOld, 0x780F},
        {Draw::kPixel565, 0x7C1F, 0x3A0F, 0x3A0F}, // the other format's magenta is a colour here
        {Draw::kPixel555, 0x7FFF, 0x3DEF, 0x3DEF},
        {Draw::kPixel555, 0x7C1F, kOld, 0x3C0F},
        {Draw::kPixel555, 0xFFFF, 0x3DEF, 0x3DEF}, // a set spare bit stays out of red
        {Draw::kPixelXRGB8888, 0xFFFFFF, 0x7F7F7F, 0x7F7F7F},
        {Draw::kPixelXRGB8888, 0xFF00FF, kOld, 0x7F007F},
        // Magenta only counts with a clear top byte; halving clears it.
        {Draw::kPixelARGB8888, 0x80FF00FF, 0x7F007F, 0x7F007F},
        {Draw::kPixelARGB8888, 0x00FF00FF, kOld, 0x7F007F},
    };
    for (const Case& c : cases) {
        auto source = MakePlane(c.type, 1, 1, c.source);
        auto target = MakePlane(c.type, 2, 2, kOld);
        ASSERT_EQ(CBltSupport::BltColorKeyHalfBright(*target, *source, 0, 0), 0);
        EXPECT_EQ(Word(*target, 0, 0), c.keyed) << c.type << " " << std::hex << c.source;
        EXPECT_EQ(Word(*target, 1, 0), kOld);
        target = MakePlane(c.type, 2, 2, kOld);
        ASSERT_EQ(CBltSupport::BltColorKeyHalfBrightDouble(*target, *source, 0, 0), 0);
        EXPECT_EQ(Word(*target, 1, 1), c.keyed) << c.type << " " << std::hex << c.source;
        target = MakePlane(c.type, 2, 2, kOld);
        ASSERT_EQ(CBltSupport::BltCopyHalfBright(*target, *source, 0, 0), 0);
        EXPECT_EQ(Word(*target, 0, 0), c.copied) << c.type << " " << std::hex << c.source;
    }
}

TEST_F(BltTest, HalfBlendsAtTwiceTheSize)
{
    struct Case
    {
        std::int32_t targetType, sourceType;
        std::uint32_t target, source;
        std::uint32_t blended, blendedKeyed;
    };
    const Case cases[] = {
        {Draw::kPixel565, Draw::kPixel565, 0x0000, 0xFFFF, 0x7BEF, 0x7BEF},
        {Draw::kPixel565, Draw::kPixel565, 0x0000, 0xF81F, 0x0000, 0x0000}, // keyed on both at 16 bits
        {Draw::kPixel555, Draw::kPixel555, 0x7FFF, 0x0000, 0x3DEF, 0x3DEF},
        {Draw::kPixel555, Draw::kPixel555, 0x8000, 0xFFFF, 0x3DEF, 0x3DEF}, // spare bits add nothing
        {Draw::kPixelXRGB8888, Draw::kPixelXRGB8888, 0x000000, 0xFF00FF, 0x7F007F, 0x000000},
        // A source with alpha blends by half of it: alpha 254 counts 127.
        {Draw::kPixelXRGB8888, Draw::kPixelARGB8888, 0x000000, 0xFEFFFFFF, 0x7E7E7E, 0x7E7E7E},
        {Draw::kPixelARGB8888, Draw::kPixelARGB8888, 0xFFFFFFFF, 0x00000000, 0xFEFEFE, 0xFEFEFE},
    };
    for (const Case& c : cases) {
        auto source = MakePlane(c.sourceType, 1, 1, c.source);
        auto target = MakePlane(c.targetType, 3, 3, c.target);
        ASSERT_EQ(CBltSupport::BltBlendDouble(*target, *source, 0, 0), 0);
        ExpectWords(*target, {{0, 0, c.blended}, {1, 1, c.blended}, {2, 2, c.target}});
        target = MakePlane(c.targetType, 3, 3, c.target);
        ASSERT_EQ(CBltSupport::BltBlendColorKeyDouble(*target, *source, 0, 0), 0);
        ExpectWords(*target, {{0, 1, c.blendedKeyed}, {1, 0, c.blendedKeyed}});
    }
}

TEST_F(BltTest, AlphaOntoAlphaKeepsTheTargetsAlpha)
{
    struct Case
    {
        std::int32_t targetType, sourceType;
        std::uint32_t target, source, result;
    };
    const Case cases[] = {
        // Red 31 at alpha 5 onto blue 31 at alpha 9: red 10, blue 20, alpha 5 + 9 * 10 / 15.
        {Draw::kPixelA565, Draw::kPixelA565, 0x9001F, 0x5F800, 0xB0000 | 10 << 11 | 20},
        // Red 31 at alpha 3 onto green 31 at alpha 0: red 6, green 24, alpha 3.
        {Draw::kPixelA555, Draw::kPixelA555, 0x003E0, 0x37C00, 0x30000 | 6 << 10 | 24 << 5},
        {Draw::kPixelABGR8888, Draw::kPixelARGB8888, 0xFF0000FF, 0x80FF0000, 0xFE7F007E},
        // Any other pair blends by alpha at full rate.
        {Draw::kPixelXRGB8888, Draw::kPixelARGB8888, 0x000000, 0xFF112233, 0x112233},
    };
    for (const Case& c : cases) {
        auto source = MakePlane(c.sourceType, 1, 1, c.source);
        auto target = MakePlane(c.targetType, 2, 1, c.target);
        ASSERT_EQ(CBltSupport::BltAlphaOntoAlpha(*target, *source, 0, 0), 0);
        EXPECT_EQ(Word(*target, 0, 0), c.result) << c.targetType << " " << c.sourceType;
        EXPECT_EQ(Word(*target, 1, 0), c.target);
    }
}

TEST_F(BltTest, DarkeningARectangle)
{
    CBltSupport scratch;
    auto target = MakePlane(Draw::kPixel565, 8, 8, 0xFFFF);
    EXPECT_EQ(CBltSupport::DarkenRect(*target, 2, 3, 4, 2, scratch), 0);
    ExpectWords(*target, {{2, 3, 0x7BEF}, {5, 4, 0x7BEF}, {6, 3, 0xFFFF}, {2, 5, 0xFFFF}, {1, 3, 0xFFFF}});
    EXPECT_EQ(CBltSupport::DarkenRect(*target, -7, 7, 8, 4, scratch), 0);
    ExpectWords(*target, {{0, 7, 0x7BEF}, {1, 7, 0xFFFF}});
    EXPECT_EQ(CBltSupport::DarkenRect(*target, 10, 0, 2, 2, scratch), 1);

    g_globalData.doubleSize = true;
    target = MakePlane(Draw::kPixelXRGB8888, 8, 8, 0xFFFFFF);
    EXPECT_EQ(CBltSupport::DarkenRect(*target, 1, 1, 2, 1, scratch), 0);
    ExpectWords(*target, {{2, 2, 0x7F7F7F}, {5, 3, 0x7F7F7F}, {6, 2, 0xFFFFFF}, {2, 4, 0xFFFFFF}});
    EXPECT_EQ(draw_test::SizeOf(scratch.GetPlane()), std::pair(-1, -1));

    // Without a software path the scratch plane grows to the rectangle.
    g_globalData.doubleSize = false;
    m_display.type = Draw::kPixelRGB888;
    target = MakePlane(Draw::kPixelRGB888, 8, 8);
    EXPECT_EQ(CBltSupport::DarkenRect(*target, 1, 1, 4, 2, scratch), 0);
    EXPECT_EQ(draw_test::SizeOf(scratch.GetPlane()), std::pair(4, 2));
    EXPECT_EQ(CBltSupport::DarkenRect(*target, 0, 0, 2, 6, scratch), 0);
    EXPECT_EQ(draw_test::SizeOf(scratch.GetPlane()), std::pair(4, 6));
}

TEST_F(BltTest, CopiesShareThePlaneAndResetsKeepIt)
{
    SEffectObject effect;
    ASSERT_EQ(effect.GetPlane().CreateSurfaceOfType(2, 2, Draw::kPixelXRGB8888), 0);
    effect.x = 3;
    effect.phaseModulus = 9;
    std::vector<SEffectObject> effects;
    for (int i = 0; i < 5; ++i)
        effects.push_back(effect);
    EXPECT_EQ(&effects[0].GetPlane(), &effect.GetPlane());
    effects[4].Reset();
    EXPECT_EQ(std::tuple(effects[4].x, effects[4].phaseModulus), std::tuple(-1, 1));
    EXPECT_TRUE(effects[4].GetPlane().GetSurfaceInfo()->valid);
}

} // namespace
