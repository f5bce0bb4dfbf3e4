#include "game/app/game_resource.h"
#include "game/scenes/screen_panels.h"
#include "game/support/game_with_kinds.h"
#include "game/ui/drawing_fixture.h"
#include "platform/host/clock.h"
#include "platform/host/memory.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;

// The interface sheet: digit d a solid colour of its own; the gauge rows a gradient along x (so that a
// pixel tells which column of the sheet it came from), their caps and the labels of the two bar rows in
// colours of their own.
std::uint32_t DigitColour(int d)
{
    return 0x102000u + std::uint32_t(d) * 0x140008u;
}
std::uint32_t GaugeColour(int row, int x)
{
    return std::uint32_t(row) << 16 | std::uint32_t(x) << 8 | 0x40;
}
std::uint32_t Interface(int x, int y)
{
    if (y < 16) return x < 80 ? DigitColour(x / 8) : 0x808080u;
    if (y < 36) {
        if (x < 100) return GaugeColour(y, x);
        if (x == 100) return 0xA0A000;
        if (x >= 102 && x < 104) return 0x00A0A0;
        return kMagenta;
    }
    if (y >= 240 && y < 256) return 0x2060C0u + std::uint32_t(x / 8);
    if (y >= 256) return 0xC02020u + std::uint32_t(x / 8);
    return 0x606060u;
}
std::uint32_t Common(int x, int y)
{
    return std::uint32_t(40 + (x / 8)) << 16 | std::uint32_t(40 + (y / 8) / 2) << 8 | 0x30;
}
std::uint32_t Rgb(Draw::ISurface& plane, int x, int y)
{
    return Word(plane, x, y) & 0xFFFFFF;
}

class ScreenPanelsTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        PutImage("0-interface.bmp", 272, 272, Interface);
        PutImage("10-common.bmp", 320, 512, Common);
        PutImage("11-traps.bmp", 256, 192, [](int, int) { return 0x3070B0u; });
        std::vector<std::string> lines = {"0-interface.bmp,0", "10-common.bmp,10", "11-traps.bmp,11"};
        static constexpr int kWidths[4] = {6, 12, 18, 24};
        static constexpr int kHeights[4] = {16, 32, 48, 64};
        for (int s = 0; s < 4; ++s) {
            const std::string name = "42" + std::to_string(6 + s) + "-strip.bmp";
            PutImage(name, 32 * kWidths[s], kHeights[s], [s](int x, int) {
                return std::uint32_t(0x10 + 8 * (x / kWidths[s])) << 16 | 0x2000u * (s + 1);
            });
            lines.push_back(name + ",42" + std::to_string(6 + s));
        }
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        PutFile(Exe() / "data" / "image" / "list.txt", text);
        game = MakeTestGame();
        plane = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    }
    void TearDown() override
    {
        plane.reset();
        game.reset();
        DrawingTest::TearDown();
    }
    void Clear() { plane = MakePlane(Draw::kPixelXRGB8888, 320, 240); }

    std::unique_ptr<SGameResource> game;
    std::unique_ptr<Draw::CFastPlane> plane;
};

TEST_F(ScreenPanelsTest, TheNumberPainterLeavesOutLeadingZerosAndShiftsLeft)
{
    const struct
    {
        std::int32_t positions, value;
        std::vector<std::pair<int, int>> digits; // (x offset, digit)
    } cases[] = {
        {3, 123, {{0, 1}, {8, 2}, {16, 3}}}, {3, 45, {{4, 4}, {12, 5}}}, {3, 7, {{12, 7}}}, {3, 0, {{12, 0}}},
        {2, 10, {{0, 1}, {8, 0}}},
    };
    for (const auto& c : cases) {
        Clear();
        DrawNumber(*plane, 40, 50, c.positions, c.value);
        std::vector<std::pair<int, int>> found;
        for (int x = 36; x < 40 + 8 * c.positions; ++x)
            for (int d = 0; d < 10; ++d)
                if (Rgb(*plane, x, 58) == DigitColour(d) &&
                    (x == 36 || Rgb(*plane, x - 1, 58) != DigitColour(d)))
                    found.push_back({x - 40, d});
        EXPECT_EQ(found, c.digits) << c.value;
    }
}

TEST_F(ScreenPanelsTest, GaugesScaleToTwoHundredAndSplitPastTheBar)
{
    // 100 of 400 HP: 50 filled of 200.
    game->dungeon = 1;
    game->characters.player.hp = 100;
    game->characters.player.maxHp = 400;
    DrawStatusBarAt(*plane, *game, 8, 60);
    EXPECT_EQ(Rgb(*plane, 93, 21), GaugeColour(23, 0));
    EXPECT_EQ(Rgb(*plane, 142, 21), GaugeColour(23, 49));
    // The empty 150 from the rows above: 50 pixels, then 100.
    EXPECT_EQ(Rgb(*plane, 143, 21), GaugeColour(17, 0));
    EXPECT_EQ(Rgb(*plane, 192, 21), GaugeColour(17, 49));
    EXPECT_EQ(Rgb(*plane, 193, 21), GaugeColour(17, 0));
    EXPECT_EQ(Rgb(*plane, 292, 21), 0x00A0A0u); // the end cap at 92 + 200
    EXPECT_EQ(Rgb(*plane, 92, 21), 0xA0A000u);

    // A filled length of 150 is drawn as 50 + 100 pixels.
    Clear();
    DrawGauge(*plane, 100, 150, 150, 22, 6);
    EXPECT_EQ(Rgb(*plane, 93, 101), GaugeColour(23, 0));
    EXPECT_EQ(Rgb(*plane, 142, 101), GaugeColour(23, 49));
    EXPECT_EQ(Rgb(*plane, 143, 101), GaugeColour(23, 0));
    EXPECT_EQ(Rgb(*plane, 241, 101), GaugeColour(23, 98));
}

TEST_F(ScreenPanelsTest, TheStatusBarBlinksWhenStarvingAndWidensFloorsFrom1000)
{
    game->dungeon = 2;
    game->floor = 12;
    game->characters.player.fullness = 0;
    DrawStatusBarAt(*plane, *game, 7, 60);
    EXPECT_EQ(Rgb(*plane, 33, 1), 0xC02020u); // the floor label from row 256
    Clear();
    DrawStatusBarAt(*plane, *game, 8, 60);
    EXPECT_EQ(Rgb(*plane, 33, 1), 0x2060C0u);

    game->floor = 1000;
    Clear();
    DrawStatusBarAt(*plane, *game, 8, 60);
    EXPECT_EQ(Rgb(*plane, 0, 8), DigitColour(1));
    EXPECT_EQ(Rgb(*plane, 24, 8), DigitColour(0));
    game->floor = 999;
    Clear();
    DrawStatusBarAt(*plane, *game, 8, 60);
    EXPECT_EQ(Rgb(*plane, 0, 8), 0u);
    EXPECT_EQ(Rgb(*plane, 8, 8), DigitColour(9));
}

TEST_F(ScreenPanelsTest, TheStatusBarMatchesItsGoldenPicture)
{
    game->dungeon = 3;
    game->floor = 27;
    game->gold = 123456;
    game->trainingRun = true;
    CCharacterControl::SPlayer& p = game->characters.player;
    p.level = 15;
    p.hp = 37;
    p.maxHp = 52;
    p.fullness = 64500;
    p.direction = 3;
    DrawStatusBarAt(*plane, *game, 3, 59);
    DrawDirectionArrow(*plane, *game);
    DrawDiagonalGuide(*plane, *game);
    ExpectGolden(*plane, "status_bar.bmp");
}

TEST_F(ScreenPanelsTest, SizedAnimationsTakeTheirFrameFromTheStripOfTheirKindAndSize)
{
    // Kind 1, size 2 at counter 20: frame 2 of picture 428, 18 x 48, from (x - 8, y - 35).
    DrawSizedAnimationFrame(1, 100, 100, 2, 20 / 8, *plane);
    const std::uint32_t frame2 = std::uint32_t(0x10 + 8 * 2) << 16 | 0x6000u;
    EXPECT_EQ(Rgb(*plane, 92, 65), frame2);
    EXPECT_EQ(Rgb(*plane, 109, 112), frame2);
    EXPECT_EQ(Rgb(*plane, 91, 65), 0u);
    EXPECT_EQ(Rgb(*plane, 92, 64), 0u);
    EXPECT_EQ(Rgb(*plane, 110, 112), 0u);
}

TEST_F(ScreenPanelsTest, VanishingObjectsFadeByLevelAndTheListEmptiesEitherWay)
{
    CCharacterControl::SPlayer& p = game->characters.player; // at (20, 20): the view from (496, 536)
    const struct
    {
        std::int32_t life;
        bool blind;
        bool drawn;
    } cases[] = {{70, false, true}, {0, false, false}, {70, true, false}};
    for (const auto& c : cases) {
        Clear();
        p.status.blindTurns = c.blind ? 3 : 0;
        game->vanishingObjects.push_back({21, 20, 11, 0, 0, 32, 32, c.life});
        DrawVanishingObjects(*plane, *game);
        EXPECT_EQ(Rgb(*plane, 176 + 16, 104 + 16), c.drawn ? 0x3070B0u : 0u) << c.life;
        EXPECT_TRUE(game->vanishingObjects.empty());
    }
}

TEST_F(ScreenPanelsTest, TheFlyingItemIsItsClassIconFromColumnOne)
{
    game->throwItem.itemIndex = MakeItem(*game, 110, 4);
    game->throwItem.x = 21;
    game->throwItem.y = 20;
    game->throwItem.offsetY = 4;
    DrawFlyingItem(*plane, *game);
    EXPECT_EQ(Rgb(*plane, 176, 108), Common(32, 96));
    EXPECT_EQ(Rgb(*plane, 176 + 31, 108 + 31), Common(63, 127));
    game->throwItem.itemIndex = 0xFFFF;
    Clear();
    DrawFlyingItem(*plane, *game);
    EXPECT_EQ(Rgb(*plane, 176, 108), 0u);
}

TEST_F(ScreenPanelsTest, TheClockSeedJoinsMemoryAndMilliseconds)
{
    platform::FixAvailablePhysicalMemory(0x1234);
    platform::UseVirtualClock(0x56789);
    SeedGameRandomFromClock(*game);
    platform::UseRealClock();
    platform::UnfixAvailablePhysicalMemory();
    EXPECT_EQ(game->random.seed, 0x12346789u);
    Math::CRand expected;
    expected.SetSeed(0x12346789u);
    EXPECT_EQ(game->random.Get(), expected.Get());

    SeedGameRandom(*game, 77);
    EXPECT_EQ(game->random.seed, 77u);
    expected.SetSeed(77);
    EXPECT_EQ(game->random.Get(), expected.Get());
}

} // namespace
