// The real rasteriser with the installed Japanese faces. Literals are CP932 here, as in the SDK.
#include "platform/host/freetype/freetype_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string kGothic = "ＭＳ ゴシック";
const std::string kPGothic = "ＭＳ Ｐゴシック";
const std::string kLine = "霞野は階段を降りた。";

class FreeTypeFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_engine = platform::CreateFreeTypeFontEngine();
        ASSERT_NE(m_engine, nullptr) << "the IPA Gothic faces are not installed";
    }

    std::unique_ptr<platform::Font> Make(int height, const std::string& face = kGothic, int quality = 2)
    {
        platform::FontDescription d;
        d.height = height;
        d.face = face;
        d.quality = quality;
        d.weight = 300;
        return m_engine->CreateFont(d);
    }
    std::unique_ptr<platform::Font> Make(const platform::FontDescription& d)
    {
        return m_engine->CreateFont(d);
    }

    struct Ink
    {
        int left = 1 << 20, top = 1 << 20, right = -(1 << 20), bottom = -(1 << 20); // inclusive
        int count = 0;
        bool grey = false;
    };
    static Ink Measure(const platform::TextMask& mask, int fromX = -(1 << 20), int toX = 1 << 20)
    {
        Ink ink;
        for (int y = 0; y < mask.height; ++y) {
            for (int x = 0; x < mask.width; ++x) {
                const int tx = x + mask.originX, ty = y + mask.originY;
                const std::uint8_t v = mask.coverage[static_cast<std::size_t>(y) * mask.width + x];
                if (!v || tx < fromX || tx >= toX) continue;
                ink.left = std::min(ink.left, tx);
                ink.right = std::max(ink.right, tx);
                ink.top = std::min(ink.top, ty);
                ink.bottom = std::max(ink.bottom, ty);
                ++ink.count;
                ink.grey |= v != 255;
            }
        }
        return ink;
    }
    static platform::TextMask Rasterise(platform::Font& font, const std::string& text)
    {
        platform::TextMask mask;
        EXPECT_TRUE(font.Rasterise(text, {-1000, -1000, 4000, 1000}, mask));
        return mask;
    }

    std::shared_ptr<platform::FontEngine> m_engine;
};

TEST_F(FreeTypeFontTest, UnknownFacesFallBackToTheFixedFace)
{
    EXPECT_NE(platform::FreeTypeFaceFile("Unknown face").find("ipag.ttf"), std::string::npos);
}

TEST_F(FreeTypeFontTest, CellHeightIsTheAskedHeightAndTheFixedFaceIsHalfAndFullWidth)
{
    for (int size : {14, 16, 28, 32}) {
        auto font = Make(size);
        ASSERT_NE(font, nullptr);
        int cx = 0, cy = 0;
        ASSERT_TRUE(font->Extent("ab", cx, cy));
        EXPECT_EQ(cy, size);
        EXPECT_EQ(cx, size) << size;
        ASSERT_TRUE(font->Extent("霞野", cx, cy));
        EXPECT_EQ(cx, 2 * size) << size;
        EXPECT_EQ(font->Ascent() + font->Descent(), size);
    }
}

TEST_F(FreeTypeFontTest, ProportionalFaceHasNarrowAndWideLetters)
{
    auto font = Make(16, kPGothic);
    int narrow = 0, wide = 0, cy = 0;
    ASSERT_TRUE(font->Extent("iii", narrow, cy));
    ASSERT_TRUE(font->Extent("WWW", wide, cy));
    EXPECT_LT(narrow, wide);
    EXPECT_EQ(cy, 16);
}

TEST_F(FreeTypeFontTest, JapaneseLineInksEveryCharacterInsideItsExtent)
{
    auto font = Make(16);
    int cx = 0, cy = 0;
    ASSERT_TRUE(font->Extent(kLine, cx, cy));
    EXPECT_EQ(cx, 10 * 16);
    const platform::TextMask mask = Rasterise(*font, kLine);
    const Ink all = Measure(mask);
    EXPECT_GE(all.left, 0);
    EXPECT_GE(all.top, 0);
    EXPECT_LT(all.right, cx);
    EXPECT_LT(all.bottom, cy);
    EXPECT_FALSE(all.grey); // proof quality draws without grey levels
    for (int i = 0; i < 10; ++i) {
        EXPECT_GT(Measure(mask, i * 16, (i + 1) * 16).count, 4) << "character " << i;
    }
    // The full stop sits low and left in its cell.
    const Ink stop = Measure(mask, 9 * 16, 10 * 16);
    EXPECT_GT(stop.top, 8);
    EXPECT_LT(stop.right, 9 * 16 + 9);
}

TEST_F(FreeTypeFontTest, AntialiasedQualityGivesGreyLevels)
{
    auto font = Make(16, kGothic, 4);
    EXPECT_TRUE(Measure(Rasterise(*font, kLine)).grey);
}

TEST_F(FreeTypeFontTest, StylesChangeInkAndAdvance)
{
    platform::FontDescription plain;
    plain.height = 32;
    plain.face = kGothic;
    plain.weight = 400;
    auto regular = Make(plain);
    const Ink upright = Measure(Rasterise(*regular, "l"));

    platform::FontDescription slanted = plain;
    slanted.italic = true;
    const Ink italic = Measure(Rasterise(*Make(slanted), "l"));
    EXPECT_GT(italic.right, upright.right);
    int cx = 0, cy = 0;
    Make(slanted)->Extent("ll", cx, cy);
    EXPECT_EQ(cx, 32); // slanting does not widen the advance

    platform::FontDescription heavy = plain;
    heavy.weight = 700;
    auto bold = Make(heavy);
    bold->Extent("ll", cx, cy);
    EXPECT_EQ(cx, 34);
    EXPECT_GT(Measure(Rasterise(*bold, "l")).count, upright.count);

    platform::FontDescription lined = plain;
    lined.underline = true;
    const platform::TextMask underlined = Rasterise(*Make(lined), "  ");
    const Ink line = Measure(underlined);
    EXPECT_EQ(line.left, 0);
    EXPECT_EQ(line.right, 31);
    EXPECT_GT(line.top, regular->Ascent());
    EXPECT_LT(line.bottom, 32);

    platform::FontDescription struck = plain;
    struck.strikeOut = true;
    const Ink strike = Measure(Rasterise(*Make(struck), "  "));
    EXPECT_EQ(strike.right, 31);
    EXPECT_LT(strike.bottom, regular->Ascent());
    EXPECT_GT(strike.top, 4);
}

TEST_F(FreeTypeFontTest, VerticalFaceTurnsDoubleByteCharactersAQuarterLeft)
{
    // "一" is a horizontal bar upright; turned a quarter it becomes a vertical bar.
    auto upright = Make(32);
    auto turned = Make(32, "@" + kGothic);
    const Ink flat = Measure(Rasterise(*upright, "一"));
    const Ink tall = Measure(Rasterise(*turned, "一"));
    EXPECT_GT(flat.right - flat.left, 3 * (flat.bottom - flat.top));
    EXPECT_GT(tall.bottom - tall.top, 3 * (tall.right - tall.left));
    EXPECT_GE(tall.left, 0);
    EXPECT_LT(tall.right, 32);
    // Single-byte characters stay as they are, and keep their advance.
    int cx = 0, cy = 0;
    turned->Extent("a一", cx, cy);
    EXPECT_EQ(cx, 16 + 32);
    const Ink dash = Measure(Rasterise(*turned, "-"));
    EXPECT_GT(dash.right - dash.left, dash.bottom - dash.top);
}

TEST_F(FreeTypeFontTest, VerticalFaceUsesTheUprightFormsOfPunctuation)
{
    // Upright in a vertical line the full stop sits at the top right of its cell: turned a quarter to the
    // left, at the top left. The horizontal form would land at the bottom right.
    const Ink stop = Measure(Rasterise(*Make(32, "@" + kGothic), "。"));
    EXPECT_LT(stop.right, 16);
    EXPECT_LT(stop.bottom, 16);
    const Ink flat = Measure(Rasterise(*Make(32), "。"));
    EXPECT_LT(flat.right, 16);
    EXPECT_GT(flat.top, 16);
}

TEST_F(FreeTypeFontTest, VerticalFaceLaysBracketsWithoutAnUprightFormAlongTheLine)
{
    // IPA Gothic has upright forms of 「 but none of （ and 【: those are drawn as in a horizontal line, and
    // end up on their side when the line is turned. Ideographs stand upright (turned a quarter left here).
    auto turned = Make(24, "@" + kGothic);
    auto flat = Make(24);
    for (const char* lying : {"（", "【"}) {
        EXPECT_EQ(Rasterise(*turned, lying).coverage, Rasterise(*flat, lying).coverage) << lying;
    }
    EXPECT_NE(Rasterise(*turned, "「").coverage, Rasterise(*flat, "「").coverage);
    EXPECT_NE(Rasterise(*turned, "霞").coverage, Rasterise(*flat, "霞").coverage);
}

TEST_F(FreeTypeFontTest, BytesWithoutACharacterStillAdvance)
{
    auto font = Make(16);
    int cx = 0, cy = 0;
    ASSERT_TRUE(font->Extent("\x85\x40"
                             "a\xFF",
                             cx, cy));
    EXPECT_GT(cx, 8);
    platform::TextMask mask;
    EXPECT_TRUE(font->Rasterise("\x85\x40"
                                "a\xFF",
                                {0, 0, 100, 16}, mask));
}

// Glyphs are kept once drawn: a font of one size and style never gets the glyphs of another, however
// the fonts before it drew the same characters.
TEST_F(FreeTypeFontTest, KeptGlyphsBelongToTheirOwnSizeAndStyle)
{
    std::vector<platform::FontDescription> kinds;
    for (const std::string& face : {kGothic, kPGothic, std::string("@") + kGothic})
        for (int height : {14, 28})
            for (int quality : {2, 4})
                for (int weight : {300, 700})
                    for (bool italic : {false, true}) {
                        platform::FontDescription d;
                        d.face = face, d.height = height, d.quality = quality, d.weight = weight,
                        d.italic = italic;
                        kinds.push_back(d);
                    }
    const std::string text = "霞野は Level 3、「迷宮」へ。";
    for (const platform::FontDescription& d : kinds) {
        auto shared = m_engine->CreateFont(d);
        ASSERT_NE(shared, nullptr);
        const platform::TextMask kept = Rasterise(*shared, text);
        int keptCx = 0, cy = 0;
        shared->Extent(text, keptCx, cy);
        // The same font from an engine of its own, which has kept nothing.
        auto fresh = platform::CreateFreeTypeFontEngine()->CreateFont(d);
        const platform::TextMask drawn = Rasterise(*fresh, text);
        int cx = 0;
        fresh->Extent(text, cx, cy);
        EXPECT_EQ(std::tie(kept.originX, kept.originY, kept.width, kept.height, kept.coverage, keptCx),
                  std::tie(drawn.originX, drawn.originY, drawn.width, drawn.height, drawn.coverage, cx))
            << d.face.size() << " " << d.height << " " << d.quality << " " << d.weight << " " << d.italic;
    }
}

} // namespace
