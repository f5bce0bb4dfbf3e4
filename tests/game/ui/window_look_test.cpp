#include "game/ui/window_look.h"

#include "game/app/game_resource.h"
#include "game/ui/drawing_fixture.h"

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::string Str(const ZTL::string& s)
{
    return std::string(s.c_str(), s.size());
}

class WindowLookTest : public DrawingTest
{
protected:
    // Image 0 whose every pixel tells where it lies on the sheet: x << 12 | y.
    void PutCoordinateSheet()
    {
        PutImage("sheet.bmp", 96, 112, [](int x, int y) { return Sheet(x, y); });
        PutList({"sheet.bmp,0"});
    }
    static std::uint32_t Sheet(int x, int y) { return std::uint32_t(x) << 12 | std::uint32_t(y); }
};

TEST_F(WindowLookTest, BackgroundShadesEachPixelTypeFromTheTop)
{
    struct Case
    {
        std::int32_t type;
        bool dimmed;
        std::uint32_t top, bottom; // rows 0 and 7 of an 8-row background
    };
    const Case cases[] = {
        {Draw::kPixel565, false, 9, 2},
        {Draw::kPixel555, true, 9, 2},
        {Draw::kPixelXRGB8888, true, 64, 8},
        {Draw::kPixelXBGR8888, false, 64 << 16, 8 << 16},
        {Draw::kPixelA565, false, 0x90008, 0x90001},
        {Draw::kPixelA555, true, 0x70008, 0x70001},
        {Draw::kPixelARGB8888, false, 0x9F000040, 0x9F000008},
        {Draw::kPixelABGR8888, true, 0x90400000, 0x90080000},
        {Draw::kPixelRGB888, false, 0, 0},
    };
    for (const Case& c : cases) {
        auto plane = MakePlane(c.type, 3, 8, 0x5555);
        ASSERT_EQ(DrawWindowBackground(*plane, 0, 0, 2, 8, c.dimmed), 0) << c.type;
        ExpectWords(*plane, {{0, 0, c.top}, {1, 0, c.top}, {1, 7, c.bottom}, {2, 0, 0x5555}});
    }
    // One row gets the top value only; the shading runs over the clipped height.
    auto plane = MakePlane(Draw::kPixel565, 2, 8, 0x5555);
    ASSERT_EQ(DrawWindowBackground(*plane, 0, 3, 2, 1, false), 0);
    ExpectWords(*plane, {{0, 3, 9}, {0, 2, 0x5555}, {0, 4, 0x5555}});
    ASSERT_EQ(DrawWindowBackground(*plane, -2, 6, 5, 10, false), 0);
    ExpectWords(*plane, {{0, 6, 9}, {1, 7, 5}});
    // Wholly outside: nothing.
    plane = MakePlane(Draw::kPixelARGB8888, 2, 8, 0x5555);
    EXPECT_EQ(DrawWindowBackground(*plane, 2, 0, 4, 4, false), 1);
    EXPECT_EQ(DrawWindowBackground(*plane, 0, -4, 4, 4, false), 1);
    ExpectWords(*plane, {{0, 0, 0x5555}, {1, 7, 0x5555}});
}

TEST_F(WindowLookTest, TranslucentClearPerPixelType)
{
    const std::tuple<std::int32_t, std::uint32_t> cases[] = {
        {Draw::kPixelA565, 0x30000},        {Draw::kPixelA555, 0x30000}, {Draw::kPixelARGB8888, 0x3F000000},
        {Draw::kPixelABGR8888, 0x3F000000}, {Draw::kPixelXRGB8888, 0},   {Draw::kPixel565, 0},
    };
    for (const auto& [type, empty] : cases) {
        auto plane = MakePlane(type, 4, 4, 0x5555);
        ASSERT_EQ(ClearToTranslucent(*plane, -1, 1, 3, 9), 0);
        ExpectWords(*plane, {{0, 1, empty}, {1, 3, empty}, {2, 1, 0x5555}, {0, 0, 0x5555}});
        EXPECT_EQ(ClearToTranslucent(*plane, 4, 0, 1, 1), 1);
    }
}

TEST_F(WindowLookTest, FrameTilesComeFromTheirPlacesOnTheSheet)
{
    PutCoordinateSheet();
    constexpr std::uint32_t kUntouched = 0xABCDEF;
    // 20 x 20: four corners overlapping by 12 pixels, drawn top-left, top-right, bottom-left,
    // bottom-right.
    auto plane = MakePlane(Draw::kPixelXRGB8888, 40, 40, kUntouched);
    ASSERT_EQ(DrawWindowFrame(*plane, 2, 3, 20, 20, kFrameNormal, false), 0);
    ExpectWords(*plane, {{2, 3, Sheet(0, 48)},
                         {6, 3, Sheet(16, 48)},
                         {21, 3, Sheet(31, 48)},
                         {2, 7, Sheet(0, 64)},
                         {2, 22, Sheet(0, 79)},
                         {6, 7, Sheet(16, 64)},
                         {21, 22, Sheet(31, 79)},
                         {22, 3, kUntouched},
                         {1, 3, kUntouched}});
    // 16 x 16: the top-left tile only.
    plane = MakePlane(Draw::kPixelXRGB8888, 40, 40, kUntouched);
    DrawWindowFrame(*plane, 2, 3, 16, 16, kFrameNormal, false);
    ExpectWords(*plane, {{2, 3, Sheet(0, 48)}, {17, 18, Sheet(15, 63)}, {18, 3, kUntouched}});
    // In double size the caller's doubled rectangle is halved and every tile drawn at twice its size.
    g_globalData.doubleSize = true;
    plane = MakePlane(Draw::kPixelXRGB8888, 60, 60, kUntouched);
    DrawWindowFrame(*plane, 4, 6, 40, 40, kFrameLowHealth, false);
    ExpectWords(*plane, {{4, 6, Sheet(32, 48)},
                         {5, 7, Sheet(32, 48)},
                         {12, 6, Sheet(48, 48)},
                         {43, 45, Sheet(63, 79)},
                         {44, 45, kUntouched}});
}

TEST_F(WindowLookTest, ColourCodesSplitALineIntoSegments)
{
    using Segments = std::vector<std::pair<std::string, std::uint32_t>>;
    const std::pair<std::string, Segments> cases[] = {
        {"#r言葉#のあと", {{"言葉", 0x8080FF}, {"のあと", 0xFFFFFF}}},
        {"plain", {{"plain", 0xFFFFFF}}},
        {"", {}},
        {"a#1b#c#nd#", {{"a", 0xFFFFFF}, {"b", 0xA0A0FF}, {"c", 0xFFFFFF}, {"d", 0xA0A0A0}}},
        {"#7#x", {{"x", 0xFFFFFF}}},
    };
    for (const auto& [line, want] : cases) {
        ZTL::smart_ptr<Draw::CTextFastPlane> segments;
        ASSERT_EQ(RenderColouredText(segments, line.c_str(), false), 0) << line;
        Segments got;
        for (std::uint32_t i = 0; i < segments.getElementCount(); ++i) {
            got.emplace_back(Str(segments[i].font.text), segments[i].font.color);
            EXPECT_EQ(segments[i].font.shadowColor, (segments[i].font.color >> 1) & 0x7F7F7F);
        }
        EXPECT_EQ(got, want) << line;
    }

    // A "#" before anything but a code fails and leaves the segments as they were.
    ZTL::smart_ptr<Draw::CTextFastPlane> segments;
    segments.resetArray(3);
    for (const char* bad : {"#zbad", "end#", "ok#r##q"}) {
        EXPECT_EQ(RenderColouredText(segments, bad, false), 1) << bad;
        EXPECT_EQ(segments.getElementCount(), 3u);
    }
}

TEST_F(WindowLookTest, SegmentsUseTheWindowFontAtEitherSize)
{
    ZTL::smart_ptr<Draw::CTextFastPlane> segments;
    for (const bool doubled : {false, true}) {
        g_globalData.doubleSize = doubled;
        ASSERT_EQ(RenderColouredText(segments, "#gab", doubled), 0);
        const Draw::CFont& font = segments[0].font;
        const int scale = doubled ? 2 : 1;
        EXPECT_EQ(Str(font.face), "ＭＳ Ｐゴシック");
        EXPECT_EQ(std::tuple(font.size, font.lineHeight, font.shadowOffsetX, font.shadowOffsetY),
                  std::tuple(14 * scale, 16 * scale, scale, scale));
        // With alpha when asked for, else keyed.
        EXPECT_EQ(std::tuple(segments[0].kind, segments[0].HasAlpha()), std::tuple(doubled ? 2 : 1, doubled));
    }
}

TEST(WindowFrameState, LowHealthIsBelowAFifth)
{
    auto game = std::make_unique<SGameResource>();
    const std::tuple<std::int32_t, std::int32_t, bool> cases[] = {
        {19, 100, true}, {20, 100, false}, {0, 10, true}, {1, 5, false}, {5, 0, false}, {9999, 9999, false},
    };
    for (const auto& [hp, maxHp, low] : cases) {
        game->characters.player.hp = hp;
        game->characters.player.maxHp = maxHp;
        EXPECT_EQ(IsPlayerHpLow(*game), low) << hp << "/" << maxHp;
    }
}

TEST_F(WindowLookTest, AWindowLooksAsItAlwaysHas)
{
    PutImage("sheet.bmp", 96, 112, WindowSheet);
    PutList({"sheet.bmp,0"});
    auto plane = MakePlane(Draw::kPixelXRGB8888, 128, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 128; ++x)
            SetWord(*plane, x, y, ((x / 8 + y / 8) % 2) != 0 ? 0x405030 : 0x304020);
    DrawWindowBackground(*plane, 4, 4, 72, 48, false);
    DrawWindowFrame(*plane, 4, 4, 72, 48, kFrameNormal, false);
    DrawWindowBackground(*plane, 56, 28, 64, 44, true);
    DrawWindowFrame(*plane, 56, 28, 64, 44, kFrameLowHealth, true);
    DrawWindowBackground(*plane, 92, 6, 30, 18, false);
    DrawWindowFrame(*plane, 92, 6, 30, 18, kFrameNoHealth, false);
    ExpectGolden(*plane, "window.bmp");
}

} // namespace
