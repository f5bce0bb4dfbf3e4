// Text planes on a 32-bit and a 16-bit display, with the headless font engine's fixed metrics.
#include "memory_surface.h"

#include "sdk/draw/text_plane.h"

#include "platform/font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

class Display : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return type; }
    void AddPlane(Draw::CFastPlane*) override { ++planes; }
    void RemovePlane(Draw::CFastPlane*) override { --planes; }
    std::int32_t type = Draw::kPixelXRGB8888;
    int planes = 0;
};

class TextPlaneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previous_ = platform::SetFontEngine(nullptr);
        Draw::SetThreadPlaneOwner(&display_);
    }
    void TearDown() override
    {
        Draw::SetThreadPlaneOwner(nullptr);
        platform::SetFontEngine(previous_);
    }

    static std::uint32_t Pixel32(Draw::ISurface& plane, int x, int y) { return draw_test::Word(plane, x, y); }
    static std::pair<int, int> SizeOf(Draw::ISurface& plane)
    {
        std::int32_t w = -1, h = -1;
        return plane.GetSize(&w, &h) == 0 ? std::pair(w, h) : std::pair(-1, -1);
    }
    // "a" at size 14 without a shadow.
    static void Letter(Draw::CTextFastPlane& plane, std::uint32_t color = 0xFFFFFF)
    {
        plane.font.text = "a";
        plane.font.size = 14;
        plane.font.color = color;
        plane.font.shadowColor = Draw::kNoColor;
    }

    std::shared_ptr<platform::FontEngine> previous_;
    Display display_;
};

TEST_F(TextPlaneTest, PlainTextPlaneIsTheTextSizeOnTheFillColour)
{
    Draw::CTextFastPlane plane;
    EXPECT_EQ(plane.kind, 0);
    EXPECT_EQ(plane.OnRecreate(), 0);      // never rendered
    EXPECT_EQ(plane.RenderTextKind1(), 1); // empty text: no plane
    EXPECT_FALSE(plane.GetSurfaceInfo()->valid);

    plane.font.text = "ab\nc";
    plane.font.size = 14;
    plane.font.shadowColor = Draw::kNoColor;
    plane.SetFillColor(0x000000FF);
    ASSERT_EQ(plane.RenderTextKind1(), 0);
    EXPECT_EQ(plane.kind, 1);
    EXPECT_EQ(SizeOf(plane), std::pair(14 + 3, 20 + 14 + 3));
    EXPECT_EQ(plane.GetPixelType(), Draw::kPixelXRGB8888);
    EXPECT_EQ(Pixel32(plane, 0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel32(plane, 6, 0) & 0xFFFFFF, 0x0000FFu);  // the glyph's empty column: fill colour
    EXPECT_EQ(Pixel32(plane, 0, 20) & 0xFFFFFF, 0xFFFFFFu); // second line
    // The key is read from the top-left pixel when the plane is made, before the text is drawn: the fill
    // colour, so that the background is what a keyed blit leaves out.
    EXPECT_EQ(plane.GetColorKey() & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(display_.planes, 1);

    // A new text needs a new render; the plane is made anew at the new size.
    plane.font.text = "abcd";
    ASSERT_EQ(plane.RenderTextKind1(), 0);
    EXPECT_EQ(SizeOf(plane).first, 28 + 3);
    EXPECT_EQ(display_.planes, 1);
}

TEST_F(TextPlaneTest, VerticalPlaneIsTurned)
{
    Draw::CTextFastPlane plane;
    plane.font.text = "abc";
    plane.font.size = 14;
    plane.vertical = 1;
    ASSERT_EQ(plane.RenderTextKind1(), 0);
    EXPECT_EQ(SizeOf(plane), std::pair(14 + 3, 21 + 3));
    EXPECT_EQ(plane.font.vertical, 0); // the font's own flag is put back
    EXPECT_EQ(Pixel32(plane, 16, 0) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(TextPlaneTest, AntialiasedPlanesCarryCoverageInAlpha)
{
    Draw::CTextFastPlane plane;
    Letter(plane, 0x00FF0000); // blue
    ASSERT_EQ(plane.RenderTextKind2(), 0);
    EXPECT_EQ(plane.kind, 2);
    EXPECT_TRUE(plane.HasAlpha());
    EXPECT_EQ(plane.GetPixelType(), Draw::kPixelARGB8888);
    EXPECT_EQ(Pixel32(plane, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel32(plane, 6, 0), 0x7F0000FFu);
    EXPECT_EQ(Pixel32(plane, 9, 16), 0u); // outside the averaged area: transparent black

    ASSERT_EQ(plane.RenderTextKind3(), 0);
    EXPECT_EQ(plane.kind, 3);
    EXPECT_EQ(Pixel32(plane, 6, 0) >> 24, 191u);
    // Rebuilding renders again in the recorded kind.
    std::memset(plane.GetSurfaceInfo()->pixels, 0, 4);
    EXPECT_EQ(plane.OnRecreate(), 0);
    EXPECT_EQ(Pixel32(plane, 0, 0), 0xFF0000FFu);
}

TEST_F(TextPlaneTest, AntialiasedPlaneOnASixteenBitDisplayHasFourBitAlpha)
{
    display_.type = Draw::kPixel565;
    Draw::CTextFastPlane plane;
    Letter(plane);
    ASSERT_EQ(plane.RenderTextKind2(), 0);
    EXPECT_EQ(plane.GetPixelType(), Draw::kPixelA565);
    EXPECT_EQ(Pixel32(plane, 0, 0) & 0xFFFFFF, 0x0FFFFFu);
    EXPECT_EQ(Pixel32(plane, 6, 0) >> 16 & 0xFF, 0x7u);
    ASSERT_EQ(plane.RenderTextKind1(), 0);
    EXPECT_EQ(plane.GetPixelType(), Draw::kPixel565);
}

TEST_F(TextPlaneTest, WithoutADisplayNothingCanBeMade)
{
    Draw::SetThreadPlaneOwner(nullptr);
    Draw::CTextFastPlane plane;
    plane.font.text = "a";
    EXPECT_EQ(plane.RenderTextKind1(), 1);
    EXPECT_EQ(plane.kind, 0);
}

TEST_F(TextPlaneTest, CountedArraysOfTextPlanes)
{
    ZTL::smart_ptr<Draw::CTextFastPlane> planes;
    planes.addArray(new Draw::CTextFastPlane[3], 3);
    planes[1].font.text = "x";
    ASSERT_EQ(planes[1].RenderTextKind1(), 0);
    EXPECT_EQ(display_.planes, 1);
    planes.release();
    EXPECT_EQ(display_.planes, 0);
}

} // namespace
