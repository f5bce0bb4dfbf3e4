// The drawing fixture compares golden pictures, which these tests do not use.
#define GAME_UI_GOLDEN_FOLDER ""
#include "game/ui/drawing_fixture.h"

#include "game/items/item_control.h"

namespace {

// Column and row of the 32 x 32 cell in the colour, magenta at each cell's top-left pixel.
std::uint32_t Cells(int x, int y)
{
    if (x % 32 == 0 && y % 32 == 0) return 0xFF00FF;
    return std::uint32_t(x / 32) << 16 | std::uint32_t(y / 32) << 8 | 0x40;
}

class ItemIconTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        PutImage("common.bmp", 128, 352, Cells);
        PutList({"common.bmp,10"});
    }
    std::unique_ptr<CItemControl> m_items = std::make_unique<CItemControl>();
};

TEST_F(ItemIconTest, TheClassRowOfTheFloorOrWaterColumn)
{
    const struct
    {
        const char* name;
        std::int32_t n;
        std::uint32_t flags;
        std::uint32_t corner, inside; // at (0, 0) and (5, 5)
    } cases[] = {
        {"copied", 3, 0, 0xFF00FF, 0x010240},
        {"keyed", 3, CItemControl::kIconKeyed, 0x123456, 0x010240},
        {"in water", 1, CItemControl::kIconInWater | CItemControl::kIconKeyed, 0x123456, 0x020040},
        {"the last class", 11, CItemControl::kIconKeyed, 0x123456, 0x010A40},
        {"no icon 0", 0, 0, 0x123456, 0x123456},
        {"no icon 12", 12, 0, 0x123456, 0x123456},
    };
    for (const auto& c : cases) {
        auto plane = MakePlane(Draw::kPixelXRGB8888, 64, 64, 0x123456);
        m_items->DrawItemIcon(c.n, *plane, 0, 0, c.flags);
        EXPECT_EQ(Word(*plane, 0, 0) & 0xFFFFFF, c.corner) << c.name;
        EXPECT_EQ(Word(*plane, 5, 5) & 0xFFFFFF, c.inside) << c.name;
        EXPECT_EQ(Word(*plane, 40, 40) & 0xFFFFFF, 0x123456u) << c.name;
    }
    // Blended, the icon only tints the plane.
    auto plane = MakePlane(Draw::kPixelXRGB8888, 64, 64, 0x123456);
    m_items->DrawItemIcon(3, *plane, 0, 0, CItemControl::kIconBlended);
    EXPECT_NE(Word(*plane, 5, 5) & 0xFFFFFF, 0x123456u);
    EXPECT_NE(Word(*plane, 5, 5) & 0xFFFFFF, 0x010240u);
    EXPECT_EQ(Word(*plane, 0, 0) & 0xFFFFFF, 0x123456u);
}

TEST_F(ItemIconTest, DoubleSizeEnlargesOnlyWhenAsked)
{
    g_globalData.doubleSize = true;
    for (std::uint32_t zoom : {0u, std::uint32_t(CItemControl::kIconFollowZoom)}) {
        auto plane = MakePlane(Draw::kPixelXRGB8888, 64, 64, 0x123456);
        m_items->DrawItemIcon(3, *plane, 0, 0, CItemControl::kIconKeyed | zoom);
        EXPECT_EQ(Word(*plane, 40, 40) & 0xFFFFFF, zoom != 0 ? 0x010240u : 0x123456u) << zoom;
    }
}

} // namespace
