// Text measuring and drawing with the headless font engine's fixed metrics: at size S a single-byte
// character is S / 2 wide and a double-byte one S, every glyph a box one pixel short of its cell.
#include "sdk/draw/font.h"

#include "platform/dib.h"
#include "platform/font.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

class FontTest : public ::testing::Test
{
protected:
    void SetUp() override { previous_ = platform::SetFontEngine(nullptr); }
    void TearDown() override { platform::SetFontEngine(previous_); }

    std::shared_ptr<platform::FontEngine> previous_;
};

std::string Str(const ZTL::string& s)
{
    return std::string(s.c_str(), s.size());
}

TEST_F(FontTest, NewFontDefaults)
{
    Draw::CFont font;
    EXPECT_TRUE(font.text.empty());
    EXPECT_EQ(font.quality, 2);
    EXPECT_EQ(font.color, 0xFFFFFFu);
    EXPECT_EQ(font.shadowColor, 0x808080u);
    EXPECT_EQ(font.backColor, 0xFFFFFFFFu);
    EXPECT_EQ(font.size, 16);
    EXPECT_EQ(Str(font.face), "ＭＳ ゴシック");
    EXPECT_EQ(font.lineHeight, 20);
    EXPECT_EQ(font.weight, 300);
    EXPECT_EQ(font.italic + font.underline + font.strikeOut + font.vertical, 0);
    EXPECT_EQ(font.shadowOffsetX, 2);
    EXPECT_EQ(font.shadowOffsetY, 2);

    font.face = "other";
    font.SetDefaultFace();
    EXPECT_EQ(Str(font.face), "ＭＳ ゴシック");
}

TEST_F(FontTest, CopiesAreDeep)
{
    Draw::CFont a;
    a.text = "abc";
    a.size = 9;
    Draw::CFont b(a);
    Draw::CFont c;
    c = a;
    a.text = "x";
    a.face = "y";
    EXPECT_EQ(Str(b.text), "abc");
    EXPECT_EQ(Str(c.text), "abc");
    EXPECT_EQ(Str(c.face), "ＭＳ ゴシック");
    EXPECT_EQ(c.size, 9);
    EXPECT_EQ(Str(b.GetText()), "abc");
}

TEST_F(FontTest, FaceNameOfVerticalFonts)
{
    Draw::CFont font;
    EXPECT_EQ(Str(font.GetFaceName()), "ＭＳ ゴシック");
    font.vertical = 1;
    EXPECT_EQ(Str(font.GetFaceName()), "@ＭＳ ゴシック");
    font.face = "@ＭＳ Ｐゴシック";
    EXPECT_EQ(Str(font.GetFaceName()), "@ＭＳ Ｐゴシック");
    font.vertical = 0;
    EXPECT_EQ(Str(font.GetFaceName()), "@ＭＳ Ｐゴシック");
}

TEST_F(FontTest, TextSizeIsTheExtentPlusThree)
{
    Draw::CFont font;
    int w = -1, h = -1;
    EXPECT_EQ(font.GetTextSize(w, h), 1); // empty text
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);

    font.text = "ab霞";
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(w, 8 + 8 + 16 + 3);
    EXPECT_EQ(h, 16 + 3);

    // Two lines: the line height for the first, the second's own height; the wider line's width.
    font.text = "ab\n霞野は";
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(w, 48 + 3);
    EXPECT_EQ(h, 20 + 16 + 3);

    // A line feed at the end adds an empty last line of the font's height.
    font.text = "ab\n";
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(h, 20 + 16 + 3);

    font.size = 14;
    font.lineHeight = 14;
    font.text = "a\nb\nc";
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(w, 7 + 3);
    EXPECT_EQ(h, 14 + 14 + 14 + 3);
}

TEST_F(FontTest, ItalicAddsAQuarterOfTheSizeToEveryLine)
{
    Draw::CFont font;
    font.italic = 1;
    font.text = "ab\nabcd";
    int w = 0, h = 0;
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(w, 32 + 4 + 3);
    font.size = 15; // 15 / 4 = 3
    font.text = "\x82\xA0";
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(w, 15 + 3 + 3);
}

TEST_F(FontTest, FontThatCannotBeMadeMeasuresAsFailure)
{
    class Refusing : public platform::FontEngine
    {
    public:
        std::unique_ptr<platform::Font> CreateFont(const platform::FontDescription&) override
        {
            return nullptr;
        }
    };
    platform::SetFontEngine(std::make_shared<Refusing>());
    Draw::CFont font;
    font.text = "abc";
    int w = -1, h = -1;
    EXPECT_EQ(font.GetTextSize(w, h), 1);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    auto section = platform::DibSection::Create(8, 8, 32);
    platform::DeviceContext dc;
    dc.SelectBitmap(section.get());
    font.Draw(&dc, 0, 0); // draws nothing, and does not fail
    for (int i = 0; i < 8 * 8 * 4; ++i)
        ASSERT_EQ(static_cast<const std::uint8_t*>(section->Bits())[i], 0);
}

TEST_F(FontTest, FormattedTextIsKeptAsData)
{
    Draw::CFont font;
    font.SetTextFormatted("%d:%s", 12, "100%d %s %n");
    EXPECT_EQ(Str(font.text), "12:100%d %s %n");
    // Cut to the 512-byte buffer.
    const std::string longText(2000, 'x');
    font.SetTextFormatted("%s", longText.c_str());
    EXPECT_EQ(font.text.size(), 511u);
}

TEST_F(FontTest, LinesLongerThanTheBufferAreCutOnACharacterBoundary)
{
    Draw::CFont font;
    // 300 single bytes: measured as the 255 that a line holds.
    font.text = std::string(300, 'a').c_str();
    int w = 0, h = 0;
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(w, 255 * 8 + 3);
    // Double-byte characters only: the 255th byte would be a lead byte, so the line stops at 254.
    std::string mixed;
    for (int i = 0; i < 200; ++i)
        mixed += "\x89\xE0";
    font.text = mixed.c_str();
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(w, 127 * 16 + 3);
    // The next line after a long one is measured in full.
    font.text = (std::string(400, 'a') + "\nab").c_str();
    ASSERT_EQ(font.GetTextSize(w, h), 0);
    EXPECT_EQ(h, 20 + 16 + 3);

    auto section = platform::DibSection::Create(64, 64, 32);
    platform::DeviceContext dc;
    dc.SelectBitmap(section.get());
    font.Draw(&dc, 0, 0);
}

// Reads the 32-bit bitmap pixel as COLORREF.
std::uint32_t Pixel(platform::DeviceContext& dc, int x, int y)
{
    std::uint32_t c = 0;
    dc.GetPixel(x, y, c);
    return c;
}

class FontDrawTest : public FontTest
{
protected:
    void SetUp() override
    {
        FontTest::SetUp();
        section_ = platform::DibSection::Create(40, 60, 32);
        dc_.SelectBitmap(section_.get());
        dc_.FillRect(0, 0, 40, 60, kBlue);
        font_.size = 14;
        font_.lineHeight = 20;
        font_.text = "a\nb";
        font_.color = kWhite;
        font_.shadowColor = kGrey;
    }

    static constexpr std::uint32_t kBlue = 0xFF0000, kWhite = 0xFFFFFF, kGrey = 0x808080, kRed = 0x0000FF;
    std::unique_ptr<platform::DibSection> section_;
    platform::DeviceContext dc_;
    Draw::CFont font_;
};

TEST_F(FontDrawTest, ShadowFirstThenTextOnEveryLine)
{
    font_.Draw(&dc_, 1, 1);
    EXPECT_EQ(Pixel(dc_, 1, 1), kWhite);  // text of line 1 (box 6 × 13 at (1, 1))
    EXPECT_EQ(Pixel(dc_, 8, 14), kGrey);  // shadow beyond the text's box
    EXPECT_EQ(Pixel(dc_, 1, 21), kWhite); // line 2 one line height lower
    EXPECT_EQ(Pixel(dc_, 8, 34), kGrey);  // its shadow
    EXPECT_EQ(Pixel(dc_, 0, 0), kBlue);
    EXPECT_EQ(Pixel(dc_, 10, 10), kBlue); // transparent background
}

TEST_F(FontDrawTest, NoShadowColourDrawsNoShadowAndNoTextColourOnlyTheShadow)
{
    font_.shadowColor = Draw::kNoColor;
    font_.Draw(&dc_, 1, 1);
    EXPECT_EQ(Pixel(dc_, 8, 14), kBlue);
    EXPECT_EQ(Pixel(dc_, 1, 1), kWhite);

    dc_.FillRect(0, 0, 40, 60, kBlue);
    font_.shadowColor = kGrey;
    font_.color = Draw::kNoColor;
    font_.Draw(&dc_, 1, 1);
    EXPECT_EQ(Pixel(dc_, 1, 1), kBlue);
    EXPECT_EQ(Pixel(dc_, 3, 3), kGrey);
}

TEST_F(FontDrawTest, OpaqueBackgroundIsPaintedBehindTheShadowOnly)
{
    font_.backColor = kRed;
    font_.text = "a";
    font_.Draw(&dc_, 1, 1);
    // The shadow's cell (3..9) × (3..16) is painted red where the glyph box leaves it empty...
    EXPECT_EQ(Pixel(dc_, 9, 10), kRed);
    EXPECT_EQ(Pixel(dc_, 5, 16), kRed);
    // ...while the text's own cell is not painted: its empty last column keeps what was there.
    EXPECT_EQ(Pixel(dc_, 7, 1), kBlue);
    // Without a shadow the text's background is painted.
    dc_.FillRect(0, 0, 40, 60, kBlue);
    font_.shadowColor = Draw::kNoColor;
    font_.Draw(&dc_, 1, 1);
    EXPECT_EQ(Pixel(dc_, 7, 1), kRed);
}

} // namespace
