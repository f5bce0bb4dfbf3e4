#include "game/app/game_resource.h"
#include "game/scenes/portraits.h"
#include "game/ui/drawing_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class PortraitDrawingTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        PutImage("heroine.bmp", 128, 200, [](int, int) { return 0xFFFFFFu; });
        PutList({"heroine.bmp,14000"});
        game = std::make_unique<SGameResource>();
    }

    std::unique_ptr<SGameResource> game;
};

TEST_F(PortraitDrawingTest, ACentrePictureStandsInTheMiddleOfTheScreen)
{
    SetPortrait(*game, 1, 14000);
    FinishPortraitFades(*game);
    auto target = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    DrawPortraits(*game, *target, false);
    EXPECT_NE(Word(*target, 96, 20), 0u);
    EXPECT_NE(Word(*target, 223, 219), 0u);
    EXPECT_EQ(Word(*target, 95, 20), 0u);
    EXPECT_EQ(Word(*target, 96, 19), 0u);
    EXPECT_EQ(Word(*target, 224, 219), 0u);
    EXPECT_EQ(Word(*target, 223, 220), 0u);
}

TEST_F(PortraitDrawingTest, AFadingPictureIsDimmerAndMarksTheWholeScreen)
{
    SetPortrait(*game, 0, 14000);
    for (int i = 0; i < 15; ++i)
        UpdatePortraitFades(*game);
    auto target = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    DrawPortraits(*game, *target, false);
    const std::uint32_t dim = Word(*target, 20, 20) & 0xFF;
    EXPECT_GT(dim, 0x60u);
    EXPECT_LT(dim, 0x90u);

    Draw::CDirtyRect dirty;
    AddPortraitDirtyRects(*game, dirty);
    ASSERT_GE(dirty.GetCount(), 1);
    bool wholeScreen = false;
    for (int i = 0; i < dirty.GetCount(); ++i) {
        const Draw::RECT& r = dirty.GetRects()[i];
        wholeScreen = wholeScreen || (r.left == 0 && r.top == 0 && r.right == 320 && r.bottom == 240);
    }
    EXPECT_TRUE(wholeScreen);
}

} // namespace
