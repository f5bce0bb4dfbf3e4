// Fonts, text bitmaps and text planes with the headless font engine's fixed metrics: at size S a
// single-byte character is S / 2 wide and a double-byte one S, every glyph a box of (S / 2 - 1) × (S - 1)
// pixels in its cell. Also bitmaps as surfaces.
#include "memory_surface.h"

#include "sdk/draw/dib_bitmap.h"
#include "sdk/draw/font.h"
#include "sdk/draw/text_plane.h"

#include "platform/dib.h"
#include "platform/font.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <tuple>

namespace {

namespace Draw = zelvoranGameSDK3rd::Draw;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
using draw_test::ExpectWords;
using draw_test::SizeOf;
using draw_test::Word;

// Tests with the headless font engine installed.
class HeadlessFonts : public ::testing::Test
{
protected:
    void SetUp() override { previous_ = platform::SetFontEngine(nullptr); }
    void TearDown() override { platform::SetFontEngine(previous_); }
    // "a" at size 14 without a shadow.
    static void Letter(Draw::CFont& font, std::uint32_t color = 0xFFFFFF)
    {
        font.text = "a";
        font.size = 14;
        font.color = color;
        font.shadowColor = Draw::kNoColor;
    }
    std::shared_ptr<platform::FontEngine> previous_;
};
using FontTest = HeadlessFonts;

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

// Text drawn with a device context on a blue 32-bit section.
class FontDrawTest : public HeadlessFonts
{
protected:
    void SetUp() override
    {
        HeadlessFonts::SetUp();
        section_ = platform::DibSection::Create(40, 60, 32);
        dc_.SelectBitmap(section_.get());
        font_.size = 14;
        font_.lineHeight = 20;
        font_.text = "a\nb";
        font_.color = kWhite;
        font_.shadowColor = kGrey;
    }
    // Draws the font at (1, 1) on a fresh blue section and checks the pixels (COLORREF) at (x, y).
    void ExpectDrawn(std::initializer_list<std::tuple<int, int, std::uint32_t>> pixels)
    {
        dc_.FillRect(0, 0, 40, 60, kBlue);
        font_.Draw(&dc_, 1, 1);
        for (auto [x, y, want] : pixels) {
            std::uint32_t c = 0;
            dc_.GetPixel(x, y, c);
            EXPECT_EQ(c, want) << x << "," << y;
        }
    }

    static constexpr std::uint32_t kBlue = 0xFF0000, kWhite = 0xFFFFFF, kGrey = 0x808080, kRed = 0x0000FF;
    std::unique_ptr<platform::DibSection> section_;
    platform::DeviceContext dc_;
    Draw::CFont font_;
};

TEST_F(FontDrawTest, ShadowFirstThenTextOnEveryLine)
{
    // Text of line 1 (box 6 × 13 at (1, 1)), its shadow beyond the box, line 2 one line height lower,
    // and a transparent background.
    ExpectDrawn(
        {{1, 1, kWhite}, {8, 14, kGrey}, {1, 21, kWhite}, {8, 34, kGrey}, {0, 0, kBlue}, {10, 10, kBlue}});
    // No shadow colour draws no shadow; no text colour only the shadow.
    font_.shadowColor = Draw::kNoColor;
    ExpectDrawn({{8, 14, kBlue}, {1, 1, kWhite}});
    font_.shadowColor = kGrey;
    font_.color = Draw::kNoColor;
    ExpectDrawn({{1, 1, kBlue}, {3, 3, kGrey}});
}

TEST_F(FontDrawTest, OpaqueBackgroundIsPaintedBehindTheShadowOnly)
{
    font_.backColor = kRed;
    font_.text = "a";
    // The shadow's cell (3..9) × (3..16) is painted red where the glyph box leaves it empty, while the
    // text's own cell is not painted: its empty last column keeps what was there.
    ExpectDrawn({{9, 10, kRed}, {5, 16, kRed}, {7, 1, kBlue}});
    // Without a shadow the text's background is painted.
    font_.shadowColor = Draw::kNoColor;
    ExpectDrawn({{7, 1, kRed}});
}

// With the text bitmap of "a" at size 14 without a shadow.
class TextBitmapTest : public HeadlessFonts
{
protected:
    void SetUp() override
    {
        HeadlessFonts::SetUp();
        Letter(bitmap.font);
    }
    Draw::CTextDIBitmap bitmap;
};

TEST(DIBitmap, MadeBitmapsDescribeThemselvesAsSurfaces)
{
    Draw::CDIBitmap bitmap;
    EXPECT_EQ(bitmap.CreateDIB(0, 5, 24, false), 1);
    EXPECT_EQ(SizeOf(bitmap), std::pair(-1, -1));
    EXPECT_TRUE(!bitmap.GetSurfaceInfo()->valid && bitmap.GetDC() == nullptr);

    ASSERT_EQ(bitmap.CreateDIB(3, 2, 24, false), 0);
    Draw::CSurfaceInfo* info = bitmap.GetSurfaceInfo();
    EXPECT_TRUE(info->valid && info->pixels == bitmap.GetBits() && bitmap.GetDC() != nullptr);
    EXPECT_EQ(std::tuple(info->type, info->pitch), std::tuple(Draw::kPixelRGB888, 12));
    EXPECT_EQ(SizeOf(bitmap), std::pair(3, 2));

    struct Case
    {
        int bits;
        bool alpha;
        int type, pitch;
    };
    for (const Case c : {Case{16, false, Draw::kPixel555, 8}, Case{32, false, Draw::kPixelXRGB8888, 12},
                         Case{24, true, Draw::kPixelARGB8888, 12}}) { // alpha always makes 32 bits
        ASSERT_EQ(bitmap.CreateDIB(3, 2, c.bits, c.alpha), 0);
        EXPECT_EQ(std::tuple(info->type, info->pitch), std::tuple(c.type, c.pitch)) << c.bits;
    }

    EXPECT_EQ(bitmap.Release(), 0);
    EXPECT_FALSE(info->valid);
    EXPECT_EQ(bitmap.GetBits(), nullptr);
}

TEST(DIBitmap, ClearFillsWithTheFillColour)
{
    Draw::CDIBitmap bitmap;
    ASSERT_EQ(bitmap.CreateDIB(4, 2, 32, true), 0);
    bitmap.GetSurfaceInfo()->fillColor = 0x80112233;
    const Draw::RECT right{2, 0, 4, 2};
    EXPECT_EQ(bitmap.Clear(&right), 0);
    ExpectWords(bitmap, {{0, 0, 0}, {3, 1, 0x80112233}});
    EXPECT_EQ(bitmap.Clear(nullptr), 0);
    EXPECT_EQ(Word(bitmap, 0, 0), 0x80112233u);
}

TEST(DIBitmap, CreateFromDCCopiesTheRectangle)
{
    Draw::CDIBitmap source;
    ASSERT_EQ(source.CreateDIB(4, 4, 32, false), 0);
    source.GetDC()->SetPixel(2, 1, 0x0000FF);
    Draw::CDIBitmap copy;
    EXPECT_EQ(copy.CreateFromDC(source.GetDC(), nullptr, 24), 1);
    const Draw::RECT rect{1, 1, 3, 4};
    ASSERT_EQ(copy.CreateFromDC(source.GetDC(), &rect, 24), 0);
    EXPECT_EQ(SizeOf(copy), std::make_pair(2, 3));
    ExpectWords(copy, {{1, 0, 0xFF0000}, {0, 0, 0}});
}

TEST_F(TextBitmapTest, VerticalTextIsTurnedAQuarterClockwise)
{
    bitmap.font.shadowOffsetX = 2;
    bitmap.font.shadowOffsetY = 3;
    ASSERT_EQ(bitmap.DrawTextVertical(), 0);
    EXPECT_EQ(SizeOf(bitmap), std::make_pair(17, 10));
    // Work pixels (0, 0), (0, 12) the glyph's last row, (0, 13) below it and (6, 0) the cell's empty column.
    ExpectWords(bitmap, {{16, 0, 0xFFFFFF}, {4, 0, 0xFFFFFF}, {3, 0, 0}, {16, 6, 0}}, 0xFFFFFF);
    EXPECT_EQ(std::pair(bitmap.font.shadowOffsetX, bitmap.font.shadowOffsetY), std::pair(2, 3));
}

TEST_F(TextBitmapTest, VerticalShadowFallsRightAndDownOnTheFinishedImage)
{
    bitmap.font.color = Draw::kNoColor; // the shadow alone
    bitmap.font.shadowColor = 0x0000FF;
    bitmap.font.shadowOffsetX = 1;
    bitmap.font.shadowOffsetY = 2;
    ASSERT_EQ(bitmap.DrawTextVertical(), 0);
    // Unshifted, the glyph's upper-left corner would be (16, 0); the shadow's lies 1 right, 2 down, off the
    // right edge, so its first column on the image starts at (16, 2) from glyph column 1.
    ExpectWords(bitmap, {{16, 2, 0xFF0000}, {16, 1, 0}}, 0xFFFFFF);
}

TEST_F(TextBitmapTest, AntialiasedCoverageIsTheAverageOfTheEnlargedGlyph)
{
    bitmap.font.color = 0x00336699; // red 0x99, green 0x66, blue 0x33
    ASSERT_EQ(bitmap.DrawTextAA2(), 0);
    EXPECT_EQ(bitmap.GetSurfaceInfo()->type, Draw::kPixelARGB8888);
    // At double size the box is 13 × 27 in a 14 × 28 cell: blocks inside are full, the last column and
    // row of blocks half covered, the corner block a quarter.
    // Outside the averaged area (the work bitmap is 17 × 31: 8 × 15 blocks) the fill stays.
    ExpectWords(bitmap, {{0, 0, 0xFF996633},
                         {5, 12, 0xFF996633},
                         {6, 0, 0x7F996633},
                         {0, 13, 0x7F996633},
                         {6, 13, 0x3F996633},
                         {7, 0, 0x00996633},
                         {8, 0, 0},
                         {0, 15, 0}});

    ASSERT_EQ(bitmap.DrawTextAA4(), 0);
    ExpectWords(bitmap, {{0, 0, 0xFF000000}, {6, 0, (255u * 12 / 16) << 24}}, 0xFF000000); // 3 of 4 columns
    EXPECT_EQ(std::tuple(bitmap.font.quality, bitmap.font.size, bitmap.font.color),
              std::tuple(2, 14, 0x00336699u));
}

TEST_F(TextBitmapTest, AntialiasedTextGoesOverItsShadow)
{
    bitmap.font.color = 0xFFFFFF;
    bitmap.font.shadowColor = 0x0000FF; // red shadow
    bitmap.font.shadowOffsetX = 2;
    bitmap.font.shadowOffsetY = 2;
    ASSERT_EQ(bitmap.DrawTextAA2(), 0);
    // Full text over anything stays; no text over a full shadow: the shadow.
    ExpectWords(bitmap, {{0, 0, 0xFFFFFFFF}, {7, 5, 0xFFFF0000}});
    EXPECT_EQ(Word(bitmap, 1, 1) >> 24, 255u);
    EXPECT_EQ(bitmap.font.shadowColor, 0x0000FFu);
}

TEST(TextOverShadow, CompositingExamples)
{
    using Pixel = std::array<std::uint8_t, 4>;
    const auto over = [](Pixel text, Pixel shadow) {
        Draw::PutTextOverShadow(text.data(), shadow.data());
        return text;
    };
    EXPECT_EQ(over({10, 20, 30, 255}, {200, 100, 50, 255}), (Pixel{10, 20, 30, 255}));
    EXPECT_EQ(over({10, 20, 30, 0}, {200, 100, 50, 200}), (Pixel{200, 100, 50, 200}));
    EXPECT_EQ(over({10, 20, 30, 128}, {200, 100, 50, 255}),
              (Pixel{(200 * 127 + 10 * 128) / 255, (100 * 127 + 20 * 128) / 255, (50 * 127 + 30 * 128) / 255,
                     255}));
    EXPECT_EQ(over({1, 2, 3, 0}, {9, 9, 9, 0}), (Pixel{1, 2, 3, 0}));
}

// An engine whose fonts of 20 pixels and more measure too large for any bitmap.
class HugeWhenEnlarged : public platform::FontEngine
{
public:
    class Font : public platform::Font
    {
    public:
        explicit Font(int cell) : cell_(cell) {}
        bool Extent(std::string_view, int& cx, int& cy) override
        {
            cx = cy = cell_ >= 20 ? 40000 : cell_;
            return true;
        }
        bool Rasterise(std::string_view, const platform::MaskWindow&, platform::TextMask& mask) override
        {
            mask = {};
            return true;
        }
        int Ascent() const override { return cell_; }
        int Descent() const override { return 0; }
        int cell_;
    };
    std::unique_ptr<platform::Font> CreateFont(const platform::FontDescription& d) override
    {
        return std::make_unique<Font>(platform::FontCellHeight(d));
    }
};

TEST_F(TextBitmapTest, WorkBitmapThatCannotBeMadeLeavesTheFontAsItWas)
{
    auto engine = std::make_shared<HugeWhenEnlarged>();
    platform::SetFontEngine(engine);
    for (bool turned : {false, true}) {
        Draw::CTextDIBitmap bitmap;
        bitmap.font.text = "abc";
        bitmap.font.size = 14;
        bitmap.font.lineHeight = 15;
        bitmap.font.color = 0x123456;
        bitmap.font.shadowColor = 0x654321;
        bitmap.font.quality = 1;
        bitmap.font.shadowOffsetX = 3;
        bitmap.font.shadowOffsetY = 4;
        const auto fields = [](const Draw::CFont& f) {
            return std::tuple(f.size, f.lineHeight, f.color, f.shadowColor, f.quality, f.shadowOffsetX,
                              f.shadowOffsetY);
        };
        const auto before = fields(bitmap.font);
        EXPECT_EQ(turned ? bitmap.DrawTextAA2Vertical() : bitmap.DrawTextAA4(), 2);
        EXPECT_EQ(fields(bitmap.font), before);
    }
}

TEST_F(TextBitmapTest, FontFieldsAtTheEndsOfTheirRangeDoNotOverflow)
{
    struct Case
    {
        const char* text;
        int size, lineHeight, shadowX, shadowY, offsetX, offsetY;
    };
    const Case cases[] = {
        {"a", INT_MIN, 20, 2, 2, 0, 0},        {"a\nb\nc", 14, INT_MAX, 2, 2, 0, 0},
        {"a", 14, INT_MAX, 2, 2, 0, 0},        {"a\nb", 14, INT_MIN, 2, 2, 0, 0},
        {"a", 14, 20, INT_MIN, INT_MAX, 0, 0}, {"a", 14, 20, INT_MAX, INT_MIN, 0, 0},
        {"a", 14, 20, 2, 2, INT_MAX, INT_MIN}, {"a", 14, 20, 2, 2, INT_MIN, INT_MAX},
    };
    const std::function<int(Draw::CTextDIBitmap&)> forms[] = {
        &Draw::CTextDIBitmap::DrawText, &Draw::CTextDIBitmap::DrawTextVertical,
        &Draw::CTextDIBitmap::DrawTextAA2, &Draw::CTextDIBitmap::DrawTextAA4Vertical};
    for (const Case& c : cases) {
        for (const auto& form : forms) {
            Draw::CTextDIBitmap text;
            Letter(text.font);
            text.font.text = c.text;
            text.font.shadowColor = 0x808080;
            std::tie(text.font.size, text.font.lineHeight, text.font.shadowOffsetX, text.font.shadowOffsetY) =
                std::tie(c.size, c.lineHeight, c.shadowX, c.shadowY);
            std::tie(text.offsetX, text.offsetY) = std::tie(c.offsetX, c.offsetY);
            // Drawn, or refused as too large to make; the sanitizer build checks the arithmetic.
            EXPECT_LE(form(text), 2) << c.text << " " << c.size << " " << c.lineHeight;
        }
    }
    Draw::CFont font;
    font.text = "a\nb\nc";
    font.lineHeight = INT_MAX;
    EXPECT_EQ(Measured(font).second, INT_MAX);
}

TEST_F(TextBitmapTest, AntialiasedVerticalTextIsTurnedAndOriented)
{
    bitmap.vertical = 1;
    ASSERT_EQ(bitmap.DrawTextAA2Oriented(), 0);
    EXPECT_EQ(bitmap.font.vertical, 0);
    EXPECT_EQ(SizeOf(bitmap), std::make_pair(17, 10));
    ExpectWords(bitmap, {{16, 0, 0xFF000000}, {16, 6, 0x7F000000}, {0, 0, 0}}, 0xFF000000);
}

class Display : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return type; }
    void AddPlane(Draw::CFastPlane*) override { ++planes; }
    void RemovePlane(Draw::CFastPlane*) override { --planes; }
    std::int32_t type = Draw::kPixelXRGB8888;
    int planes = 0;
};

class TextPlaneTest : public HeadlessFonts
{
protected:
    void SetUp() override
    {
        HeadlessFonts::SetUp();
        Draw::SetThreadPlaneOwner(&display_);
    }
    void TearDown() override
    {
        Draw::SetThreadPlaneOwner(nullptr);
        HeadlessFonts::TearDown();
    }

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
    // The glyph's empty column takes the fill colour; the second line starts 20 lower.
    ExpectWords(plane, {{0, 0, 0xFFFFFF}, {6, 0, 0x0000FF}, {0, 20, 0xFFFFFF}}, 0xFFFFFF);
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

TEST_F(TextPlaneTest, AntialiasedPlanesCarryCoverageInAlpha)
{
    Draw::CTextFastPlane plane;
    Letter(plane.font, 0x00FF0000); // blue
    ASSERT_EQ(plane.RenderTextKind2(), 0);
    EXPECT_EQ(plane.kind, 2);
    EXPECT_TRUE(plane.HasAlpha() && plane.GetPixelType() == Draw::kPixelARGB8888);
    // Outside the averaged area: transparent black.
    ExpectWords(plane, {{0, 0, 0xFF0000FF}, {6, 0, 0x7F0000FF}, {9, 16, 0}});

    ASSERT_EQ(plane.RenderTextKind3(), 0);
    EXPECT_EQ(plane.kind, 3);
    EXPECT_EQ(Word(plane, 6, 0) >> 24, 191u);
    // Rebuilding renders again in the recorded kind.
    std::memset(plane.GetSurfaceInfo()->pixels, 0, 4);
    EXPECT_EQ(plane.OnRecreate(), 0);
    EXPECT_EQ(Word(plane, 0, 0), 0xFF0000FFu);
}

TEST_F(TextPlaneTest, AntialiasedPlaneOnASixteenBitDisplayHasFourBitAlpha)
{
    display_.type = Draw::kPixel565;
    Draw::CTextFastPlane plane;
    Letter(plane.font);
    ASSERT_EQ(plane.RenderTextKind2(), 0);
    EXPECT_EQ(plane.GetPixelType(), Draw::kPixelA565);
    EXPECT_EQ(Word(plane, 0, 0) & 0xFFFFFF, 0x0FFFFFu);
    EXPECT_EQ(Word(plane, 6, 0) >> 16 & 0xFF, 0x7u);
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
