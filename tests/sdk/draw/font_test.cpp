// Text measuring and drawing with the headless font engine's fixed metrics: at size S a single-byte
// character is S / 2 wide and a double-byte one S, every glyph a box one pixel short of its cell.
#include "sdk/draw/font.h"

#include "platform/dib.h"
#include "platform/font.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

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

TEST_F(FontTest, DefaultsAndFaceNames)
{
    Draw::CFont font;
    EXPECT_EQ(std::tuple(font.quality, font.color, font.shadowColor, font.backColor, font.size,
                         font.lineHeight, font.weight, font.shadowOffsetX, font.shadowOffsetY),
              std::tuple(2, 0xFFFFFFu, 0x808080u, 0xFFFFFFFFu, 16, 20, 300, 2, 2));
    EXPECT_EQ(font.italic + font.underline + font.strikeOut + font.vertical, 0);
    font.face = "other";
    font.SetDefaultFace();
    EXPECT_EQ(Str(font.GetFaceName()), "ＭＳ ゴシック");
    // A vertical font takes the "@" form of its face; a face already in that form stays as it is.
    font.vertical = 1;
    EXPECT_EQ(Str(font.GetFaceName()), "@ＭＳ ゴシック");
    font.face = "@ＭＳ Ｐゴシック";
    EXPECT_EQ(Str(font.GetFaceName()), "@ＭＳ Ｐゴシック");
    font.vertical = 0;
    EXPECT_EQ(Str(font.GetFaceName()), "@ＭＳ Ｐゴシック");
}

// The width and height of the text in `font`, or (-1, -1) when measuring fails.
std::pair<int, int> Measured(Draw::CFont& font)
{
    int w = 0, h = 0;
    return font.GetTextSize(w, h) == 0 ? std::pair(w, h) : std::pair(-1, -1);
}

TEST_F(FontTest, TextSizeIsTheExtentPlusThree)
{
    Draw::CFont font;
    int w = -1, h = -1;
    EXPECT_EQ(font.GetTextSize(w, h), 1); // empty text
    EXPECT_EQ(std::pair(w, h), std::pair(0, 0));
    struct Case
    {
        const char* text;
        int width, height;
    };
    // More lines: the line height for each but the last, the last line's own height; the widest line.
    // A line feed at the end adds an empty last line of the font's height.
    for (const Case c :
         {Case{"ab霞", 8 + 8 + 16, 16}, Case{"ab\n霞野は", 48, 20 + 16}, Case{"ab\n", 16, 20 + 16}}) {
        font.text = c.text;
        EXPECT_EQ(Measured(font), std::pair(c.width + 3, c.height + 3)) << c.text;
    }
    font.size = 14;
    font.lineHeight = 14;
    font.text = "a\nb\nc";
    EXPECT_EQ(Measured(font), std::pair(7 + 3, 14 + 14 + 14 + 3));
}

TEST_F(FontTest, ItalicAddsAQuarterOfTheSizeToEveryLine)
{
    Draw::CFont font;
    font.italic = 1;
    font.text = "ab\nabcd";
    EXPECT_EQ(Measured(font).first, 32 + 4 + 3);
    font.size = 15; // 15 / 4 = 3
    font.text = "\x82\xA0";
    EXPECT_EQ(Measured(font).first, 15 + 3 + 3);
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
    EXPECT_EQ(std::pair(w, h), std::pair(0, 0));
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
    EXPECT_EQ(Measured(font).first, 255 * 8 + 3);
    // Double-byte characters only: the 255th byte would be a lead byte, so the line stops at 254.
    std::string mixed;
    for (int i = 0; i < 200; ++i)
        mixed += "\x89\xE0";
    font.text = mixed.c_str();
    EXPECT_EQ(Measured(font).first, 127 * 16 + 3);
    // The next line after a long one is measured in full.
    font.text = (std::string(400, 'a') + "\nab").c_str();
    EXPECT_EQ(Measured(font).second, 20 + 16 + 3);

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
