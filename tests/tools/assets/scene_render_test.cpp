// A scene of the built pictures drawn headless through the game's own blits, at 1x and in double size
// (where pictures from 10000 on come from their companions): keys stay out of the frame, shadows
// darken, additive effects brighten, and the double-size frame is the 1x frame doubled.

#include "tools/assets/built_data.h"

#include "game/asset_ids.h"
#include "game/ui/blt_support.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using Draw::RECT;

struct SFrame
{
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

SFrame Read(Draw::CFastPlane& plane)
{
    Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
    SFrame frame{info->width, info->height, {}};
    for (int y = 0; y < info->height; ++y)
        for (int x = 0; x < info->width; ++x)
            frame.rgb.push_back(
                reinterpret_cast<const std::uint32_t*>(info->pixels + std::ptrdiff_t(y) * info->pitch)[x] &
                0xFFFFFF);
    return frame;
}

int Brightness(std::uint32_t rgb)
{
    return static_cast<int>((rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF));
}

// Draws the scene step by step, keeping the frame after each step.
std::vector<SFrame> DrawScene(bool doubleSize)
{
    g_globalData.doubleSize = doubleSize;
    const int scale = doubleSize ? 2 : 1;
    Draw::CFastPlane target;
    EXPECT_EQ(target.CreateSurfaceOfType(320 * scale, 240 * scale, Draw::kPixelXRGB8888), 0);
    std::vector<SFrame> steps;
    // The floor: room tiles of the first floors, copied.
    for (int y = 0; y < 240; y += 32)
        for (int x = 0; x < 320; x += 32) {
            const RECT floor{0, 0, 32, 32};
            CBltSupport::BltImageCopy(target, kImageTerrainMossCave, x, y, &floor);
        }
    steps.push_back(Read(target));
    // Items of every class, a trap, a magic circle, the stairs, keyed.
    for (int c = 1; c <= 11; ++c) {
        const RECT item{32, 32 * c - 32, 64, 32 * c};
        CBltSupport::BltImage(target, kImageCommon, 32 * (c % 10), c < 10 ? 32 : 96, &item);
    }
    const RECT trap{256, 32, 288, 64}, circle{0, 32, 32, 64}, stairs{96, 0, 128, 32};
    CBltSupport::BltImage(target, kImageTraps, 64, 160, &trap);
    CBltSupport::BltImage(target, kImageCircles, 128, 160, &circle);
    CBltSupport::BltImage(target, kImageCommon, 192, 160, &stairs);
    steps.push_back(Read(target));
    // A shadow blended by its alpha at full rate.
    const RECT shadow{0, 24, 24, 36};
    CBltSupport::BltImageBlend(target, kImageShadows, 260, 200, 255, &shadow);
    steps.push_back(Read(target));
    // An explosion frame, added.
    const RECT blast{96 * 3, 0, 96 * 4, 96};
    CBltSupport::BltImageAdd(target, kImageSmallExplosion, 200, 20, &blast);
    steps.push_back(Read(target));
    return steps;
}

using BuiltScene = BuiltDataTest;

TEST_F(BuiltScene, DrawsThroughTheGameBlitsAtBothSizes)
{
    const std::vector<SFrame> single = DrawScene(false);
    const std::vector<SFrame> twice = DrawScene(true);
    ASSERT_EQ(single.size(), 4u);
    ASSERT_EQ(twice.size(), 4u);

    // No key pixel reaches the frame.
    for (const SFrame& frame : {single.back(), twice.back()})
        for (std::uint32_t rgb : frame.rgb)
            ASSERT_NE(rgb, 0xFF00FFu);
    // The sprites covered some floor and left the rest as it was.
    int covered = 0, kept = 0;
    for (std::size_t i = 0; i < single[0].rgb.size(); ++i)
        (single[1].rgb[i] != single[0].rgb[i] ? covered : kept) += 1;
    EXPECT_GT(covered, 2000);
    EXPECT_GT(kept, 50000);
    // The shadow darkens the middle of its ellipse; the explosion brightens the middle of its frame.
    EXPECT_LT(Brightness(single[2].At(272, 206)), Brightness(single[1].At(272, 206)));
    EXPECT_EQ(single[2].At(262, 201), single[1].At(262, 201)); // its corner stays clear
    EXPECT_GT(Brightness(single[3].At(248, 68)), Brightness(single[2].At(248, 68)) + 60);
    // In double size every 1x pixel becomes a 2 x 2 block of the same colour (blends may round by one).
    for (std::size_t s = 0; s < single.size(); ++s)
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const std::uint32_t a = single[s].At(x, y);
                for (int k = 0; k < 4; ++k) {
                    const std::uint32_t b = twice[s].At(2 * x + k % 2, 2 * y + k / 2);
                    for (int shift : {0, 8, 16})
                        ASSERT_LE(std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)), 1)
                            << "step " << s << " at " << x << "," << y;
                }
            }
}

} // namespace
