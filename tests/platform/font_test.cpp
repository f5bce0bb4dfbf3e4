#include "platform/dib.h"
#include "platform/font.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

namespace {

// "霞野" and the ideographic space, as CP932 bytes.
const std::string kKasumino = "\x89\xE0\x96\xEC";
const std::string kWideSpace = "\x81\x40";

std::unique_ptr<platform::Font> Headless(int height, bool underline = false)
{
    platform::FontDescription d;
    d.height = height;
    d.underline = underline;
    d.face = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"; // the fixed-pitch system face
    return platform::CreateHeadlessFontEngine()->CreateFont(d);
}

TEST(HeadlessFont, FixedMetricsBySize)
{
    struct Case
    {
        int height;
        std::string text;
        int cx, cy;
    };
    const Case cases[] = {
        {14, "ab", 14, 14},
        {14, kKasumino + "a", 14 * 2 + 7, 14},
        {14, "", 0, 14},
        {14, "a\x89", 14, 14}, // a lead byte at the end counts as one single-byte character
        {16, "abc", 24, 16},
        {-20, "a", 10, 20},                        // a negative height is the character height
        {0, "a", 8, 16},                           // 0 takes the default
        {1 << 30, "ab", 2 * (0x7FFF / 2), 0x7FFF}, // heights beyond any screen are cut to 32767
    };
    for (const Case& c : cases) {
        int cx = -1, cy = -1;
        ASSERT_TRUE(Headless(c.height)->Extent(c.text, cx, cy)) << c.height;
        EXPECT_EQ(cx, c.cx) << c.height << " " << c.text;
        EXPECT_EQ(cy, c.cy) << c.height << " " << c.text;
    }
}

TEST(HeadlessFont, BoxGlyphsLeaveTheLastColumnAndRowAndSpacesEmpty)
{
    auto font = Headless(14);
    platform::TextMask mask;
    const std::string text = "a " + kWideSpace + kKasumino.substr(0, 2);
    ASSERT_TRUE(font->Rasterise(text, {-100, -100, 100, 100}, mask));
    ASSERT_EQ(mask.width, 7 + 7 + 14 + 14);
    ASSERT_EQ(mask.height, 14);
    auto at = [&](int x, int y) { return mask.Row(y - mask.originY)[x - mask.originX]; };
    EXPECT_EQ(at(0, 0), 255);
    EXPECT_EQ(at(5, 12), 255);
    EXPECT_EQ(at(6, 0), 0);  // last column of the cell
    EXPECT_EQ(at(0, 13), 0); // last row
    for (int x = 7; x < 28; ++x)
        EXPECT_EQ(at(x, 3), 0) << x; // both spaces
    EXPECT_EQ(at(28, 0), 255);
    EXPECT_EQ(at(40, 12), 255);
    EXPECT_EQ(at(41, 12), 0);
}

TEST(HeadlessFont, UnderlineCoversTheWholeLineIncludingSpaces)
{
    auto font = Headless(14, true);
    platform::TextMask mask;
    ASSERT_TRUE(font->Rasterise("a b", {-100, -100, 100, 100}, mask));
    for (int x = 0; x < 21; ++x)
        EXPECT_EQ(mask.Row(13 - mask.originY)[x - mask.originX], 255) << x;
}

TEST(HeadlessFont, RasterisingKeepsOnlyTheWindow)
{
    auto font = Headless(14);
    platform::TextMask mask;
    ASSERT_TRUE(font->Rasterise("abcdef", {10, 2, 12, 5}, mask));
    EXPECT_EQ(mask.originX, 10);
    EXPECT_EQ(mask.originY, 2);
    EXPECT_EQ(mask.width, 2);
    EXPECT_EQ(mask.height, 3);
    ASSERT_TRUE(font->Rasterise("abcdef", {500, 500, 600, 600}, mask));
    EXPECT_EQ(mask.width, 0);
    EXPECT_TRUE(mask.coverage.empty());
}

class TextOutTest : public ::testing::TestWithParam<int>
{};

TEST_P(TextOutTest, DrawsTheTextColourAndPaintsTheBackgroundOnlyWhenOpaque)
{
    auto section = platform::DibSection::Create(30, 16, GetParam());
    ASSERT_NE(section, nullptr);
    platform::DeviceContext dc;
    dc.SelectBitmap(section.get());
    dc.FillRect(0, 0, 30, 16, 0x0000FF);
    auto font = Headless(14);
    dc.SelectFont(font.get());
    dc.SetTextColor(0xFFFFFF);
    dc.SetBackgroundMode(platform::BackgroundMode::Transparent);
    ASSERT_TRUE(dc.TextOut(1, 1, "a"));
    std::uint32_t c = 0;
    dc.GetPixel(1, 1, c);
    EXPECT_EQ(c, GetParam() == 16 ? 0xF8F8F8u : 0xFFFFFFu);
    dc.GetPixel(7, 1, c); // the glyph's empty last column keeps the old pixel
    EXPECT_EQ(c, GetParam() == 16 ? 0x0000F8u : 0x0000FFu);

    dc.SetBackgroundMode(platform::BackgroundMode::Opaque);
    dc.SetBackgroundColor(0x00FF00);
    ASSERT_TRUE(dc.TextOut(10, 1, "a"));
    dc.GetPixel(16, 1, c);
    EXPECT_EQ(c, GetParam() == 16 ? 0x00F800u : 0x00FF00u);
    dc.GetPixel(17, 1, c); // outside the extent
    EXPECT_EQ(c, GetParam() == 16 ? 0x0000F8u : 0x0000FFu);
    // Text partly off the bitmap is cut, not wrapped.
    EXPECT_TRUE(dc.TextOut(-3, 10, "ab"));
    EXPECT_TRUE(dc.TextOut(1000, 1000, "ab"));
    EXPECT_TRUE(dc.TextOut(INT_MIN, INT_MAX, "ab"));
    EXPECT_TRUE(dc.TextOut(INT_MAX, INT_MIN, "ab"));
}

INSTANTIATE_TEST_SUITE_P(Depths, TextOutTest, ::testing::Values(16, 24, 32));

TEST(DibSection, LayoutAndRefusals)
{
    auto section = platform::DibSection::Create(3, 2, 24);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->Pitch(), 12);
    EXPECT_EQ(platform::DibSection::Create(3, 2, 16)->Pitch(), 8);
    EXPECT_EQ(platform::DibSection::Create(3, 2, 32)->Pitch(), 12);
    EXPECT_EQ(platform::DibSection::Create(0, 5, 24), nullptr);
    EXPECT_EQ(platform::DibSection::Create(5, -1, 24), nullptr);
    EXPECT_EQ(platform::DibSection::Create(5, 5, 15), nullptr);
    EXPECT_EQ(platform::DibSection::Create(1 << 20, 1 << 20, 32), nullptr);

    platform::DeviceContext dc;
    dc.SelectBitmap(section.get());
    EXPECT_TRUE(dc.SetPixel(2, 1, 0x332211));
    const auto* bytes = static_cast<const std::uint8_t*>(section->Bits());
    EXPECT_EQ(bytes[12 + 6], 0x33);
    EXPECT_EQ(bytes[12 + 8], 0x11);
    EXPECT_FALSE(dc.SetPixel(3, 1, 0));
    EXPECT_FALSE(dc.SetPixel(-1, 0, 0));
}

} // namespace
