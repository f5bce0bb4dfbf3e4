// A scene of the built pictures drawn headless through the game's own blits, at 1x and in double size
// (where pictures from 10000 on come from their companions): keys stay out of the frame, shadows
// darken, additive effects brighten, and the double-size frame is the 1x frame doubled. Every piece is
// taken by its cell's name in the asset table, and a piece that lies outside its picture fails the test:
// a blit from off the sheet draws nothing and would pass unseen.

#include "tools/assets/built_data.h"

#include "game/asset_ids.h"
#include "game/ui/blt_support.h"

#include <gtest/gtest-spi.h>

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

// The rectangle of repeat `index` of a named cell on picture `imageId`; a repeat the cell does not have,
// or a rectangle that does not lie wholly inside the picture, is a failure of the calling test.
RECT SceneCell(std::int32_t imageId, const assets::SCell& cell, std::int32_t index = 0)
{
    const RECT rect = CellRect(cell, index);
    if (index < 0 || index >= cell.count) {
        ADD_FAILURE() << "cell " << cell.label << " of picture " << imageId << " has no repeat " << index;
        return rect;
    }
    const assets::SImage* image = nullptr;
    for (const assets::SImage& candidate : assets::kImages)
        if (candidate.id == imageId) image = &candidate;
    if (image == nullptr) {
        ADD_FAILURE() << "picture " << imageId << " is not in the asset table";
        return rect;
    }
    if (rect.left < 0 || rect.top < 0 || rect.right > image->width || rect.bottom > image->height ||
        rect.right <= rect.left || rect.bottom <= rect.top)
        ADD_FAILURE() << "cell " << cell.label << " repeat " << index << " (" << rect.left << ", " << rect.top
                      << ")-(" << rect.right << ", " << rect.bottom << ") lies outside picture " << imageId
                      << " (" << image->width << " x " << image->height << ")";
    return rect;
}

int Brightness(std::uint32_t rgb)
{
    return static_cast<int>((rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF));
}

constexpr int kTrapX = 64, kTrapY = 160;

// Draws the scene step by step, keeping the frame after each step.
std::vector<SFrame> DrawScene(bool doubleSize)
{
    g_globalData.doubleSize = doubleSize;
    const int scale = doubleSize ? 2 : 1;
    Draw::CFastPlane target;
    EXPECT_EQ(target.CreateSurfaceOfType(320 * scale, 240 * scale, Draw::kPixelXRGB8888), 0);
    std::vector<SFrame> steps;
    // The floor: room tiles of the first floors, copied.
    const RECT floor = SceneCell(kImageTerrainMossCave, assets::kCellTerrainMossCaveRoomFloor);
    for (int y = 0; y < 240; y += 32)
        for (int x = 0; x < 320; x += 32)
            CBltSupport::BltImageCopy(target, kImageTerrainMossCave, x, y, &floor);
    steps.push_back(Read(target));
    // Items of every class, the poison-gas trap (trap 9, the third of the row of traps 7-14), a magic
    // circle, the stairs, keyed.
    for (int c = 1; c <= 11; ++c) {
        const RECT item = SceneCell(kImageCommon, assets::kCellCommonItemFloor, c - 1);
        CBltSupport::BltImage(target, kImageCommon, 32 * (c % 10), c < 10 ? 32 : 96, &item);
    }
    const RECT trap = SceneCell(kImageTraps, assets::kCellTrapsTrap714, 9 - 7);
    const RECT circle = SceneCell(kImageCircles, assets::kCellCirclesCircleRoom);
    const RECT stairs = SceneCell(kImageCommon, assets::kCellCommonStairsDown);
    CBltSupport::BltImage(target, kImageTraps, kTrapX, kTrapY, &trap);
    CBltSupport::BltImage(target, kImageCircles, 128, 160, &circle);
    CBltSupport::BltImage(target, kImageCommon, 192, 160, &stairs);
    steps.push_back(Read(target));
    // A shadow blended by its alpha at full rate.
    const RECT shadow = SceneCell(kImageShadows, assets::kCellShadowsShadow3);
    CBltSupport::BltImageBlend(target, kImageShadows, 260, 200, 255, &shadow);
    steps.push_back(Read(target));
    // An explosion frame, added.
    const RECT blast = SceneCell(kImageSmallExplosion, assets::kCellSmallExplosionFrame, 3);
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
    // The trap itself reached the frame: most of its cell differs from the floor beneath.
    int trapCovered = 0;
    for (int y = kTrapY; y < kTrapY + 32; ++y)
        for (int x = kTrapX; x < kTrapX + 32; ++x)
            trapCovered += single[1].At(x, y) != single[0].At(x, y) ? 1 : 0;
    EXPECT_GT(trapCovered, 32 * 32 / 2);
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

TEST(SceneCells, ACellOffItsPictureFailsTheTest)
{
    // The traps sheet is 256 wide: the repeat at x 256 lies wholly beyond it; repeat 8 of the row of eight
    // does not exist; a cell overhanging the bottom edge by one row is off the sheet too.
    constexpr assets::SCell kBeyondRight{
        "beyond-right", 256, 32, 32, 32, 'K', assets::ECheck::kCheckSprite, 1, 0, 0};
    constexpr assets::SCell kOverhang{"overhang", 0, 161, 32, 32, 'K', assets::ECheck::kCheckSprite, 1, 0, 0};
    EXPECT_NONFATAL_FAILURE(SceneCell(kImageTraps, kBeyondRight), "lies outside picture 11");
    EXPECT_NONFATAL_FAILURE(SceneCell(kImageTraps, assets::kCellTrapsTrap714, 8), "has no repeat 8");
    EXPECT_NONFATAL_FAILURE(SceneCell(kImageTraps, kOverhang), "lies outside picture 11");
    EXPECT_NONFATAL_FAILURE(SceneCell(12345, assets::kCellTrapsTrap714), "not in the asset table");
    // Every cell of every picture of the table passes.
    for (const assets::SImage& image : assets::kImages)
        for (std::int32_t c = 0; c < image.cellCount; ++c) {
            const assets::SCell& cell = assets::kCells[static_cast<std::size_t>(image.firstCell + c)];
            for (std::int32_t i = 0; i < cell.count; ++i)
                SceneCell(image.id, cell, i);
        }
}

} // namespace
