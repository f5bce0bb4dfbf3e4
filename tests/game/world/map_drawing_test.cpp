#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/scenes/screen_panels.h"
#include "game/ui/drawing_fixture.h"
#include "game/world/ascii_floor.h"
#include "game/world/map_control.h"
#include "game/world/minimap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;
constexpr std::int32_t kFloorType = 1;

// ---- The test's own pictures: every cell a colour of its own, so that a pixel tells where it came from.

// Terrain: each 32 x 32 block a colour by column and row, its quarters in different blues and its top and
// left edge darker, so that joins and quarters show.
std::uint32_t TerrainColour(int x, int y)
{
    const std::uint32_t column = std::uint32_t(x / 32), row = std::uint32_t(y / 32);
    const std::uint32_t quarter = std::uint32_t((x % 32) / 16 + 2 * ((y % 32) / 16));
    std::uint32_t r = 40 + 40 * column, g = 20 + 9 * row, b = 60 + 40 * quarter;
    if (x % 32 == 0 || y % 32 == 0) r /= 2, g /= 2, b /= 2;
    return r << 16 | g << 8 | b;
}
// A sheet's cell colour by its 32-pixel column and row.
std::uint32_t CellColour(int column, int row)
{
    return std::uint32_t((column * 37 + row * 11) % 180 + 60) << 16 |
           std::uint32_t((column * 53 + row * 29) % 180 + 60) << 8 |
           std::uint32_t((column * 17 + row * 71) % 180 + 60);
}
// Sprites on magenta: a diamond in the middle of every 32 x 32 cell.
std::uint32_t SpriteSheet(int x, int y)
{
    const int cx = x % 32, cy = y % 32;
    return std::abs(cx - 16) + std::abs(cy - 16) < 12 ? CellColour(x / 32, y / 32) : kMagenta;
}
// Flames: every frame of strip s filled with a colour of its own on the additive black.
std::uint32_t FlameColour(int strip, int frame)
{
    return std::uint32_t(0x10 + 4 * frame) << 16 | std::uint32_t(0x18 * strip + 0x10) << 8 | 0x30;
}
constexpr int kFlameWidths[6] = {6, 12, 18, 24, 36, 48};
constexpr int kFlameHeights[6] = {16, 32, 48, 64, 96, 128};
// The minimap fallback's symbols: symbol i a solid 4 x 4 (8 x 8 in the companion) colour.
std::uint32_t SymbolColour(int i)
{
    return 0x102030u + std::uint32_t(i) * 0x141008u;
}

// Every pixel word of a plane.
std::vector<std::uint32_t> Snapshot(Draw::ISurface& plane)
{
    std::int32_t width = 0, height = 0;
    plane.GetSize(&width, &height);
    std::vector<std::uint32_t> words;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            words.push_back(Word(plane, x, y));
    return words;
}

// The plane's pixel without the spare byte.
std::uint32_t Rgb(Draw::ISurface& plane, int x, int y)
{
    return Word(plane, x, y) & 0xFFFFFF;
}

class MapDrawingTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        PutImage("301-terrain.bmp", 160, 800, TerrainColour);
        PutImage("10-common.bmp", 320, 512, SpriteSheet);
        PutImage("11-traps.bmp", 256, 192, SpriteSheet);
        PutImage("12-circles.bmp", 128, 128, SpriteSheet);
        PutImage("400-spot.bmp", 128, 128, [](int x, int y) {
            return (x - 64) * (x - 64) + (y - 64) * (y - 64) < 48 * 48 ? kMagenta : 0u;
        });
        PutImage("402-narrow.bmp", 96, 96, [](int x, int y) {
            return (x - 48) * (x - 48) + (y - 48) * (y - 48) < 36 * 36 ? kMagenta : 0u;
        });
        PutImage("401-shade.bmp", 320, 240, [](int, int) { return 0u; });
        std::vector<std::string> lines = {
            "301-terrain.bmp,301", "10-common.bmp,10",        "11-traps.bmp,11",
            "12-circles.bmp,12",   "400-spot.bmp,400",        "402-narrow.bmp,402",
            "401-shade.bmp,401",   "11000-symbols.bmp,11000", "11001-symbols.bmp,11001"};
        for (int s = 0; s < 6; ++s) {
            const std::string name = "42" + std::to_string(s) + "-flame.bmp";
            PutImage(name, 32 * kFlameWidths[s], kFlameHeights[s],
                     [s](int x, int) { return FlameColour(s, x / kFlameWidths[s]); });
            lines.push_back(name + ",42" + std::to_string(s));
        }
        PutImage("11000-symbols.bmp", 40, 4, [](int x, int) { return SymbolColour(x / 4); });
        PutImage("11001-symbols.bmp", 80, 8, [](int x, int) { return SymbolColour(x / 8); });
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        PutFile(Exe() / "data" / "image" / "list.txt", text);
    }

    // A game whose planes take `type`, on floor type 1, the heroine at (x, y).
    void NewGame(std::int32_t type, std::int32_t x = 20, std::int32_t y = 20)
    {
        m_display.type = type;
        AccessImageList(kImageListDestroy, 0); // the pictures load again in the new type
        game = std::make_unique<SGameResource>();
        Map().floorType = kFloorType;
        game->characters.player.x = x;
        game->characters.player.y = y;
    }
    CMapControl& Map() { return game->map; }
    // The top-left pixel of the cache tile that shows map cell (x, y).
    std::pair<int, int> CacheTile(std::int32_t x, std::int32_t y)
    {
        const CMapControl::SViewRecord& origin = Map().GetViewRecord(Map().ringOriginX, Map().ringOriginY);
        const int column = (Map().ringOriginX + x - origin.mapX) % CMapControl::kRingColumns;
        const int row = (Map().ringOriginY + y - origin.mapY) % CMapControl::kRingRows;
        return {column * 32, row * 32};
    }
    std::uint32_t CachePixel(std::int32_t x, std::int32_t y, int dx = 16, int dy = 16)
    {
        const auto [px, py] = CacheTile(x, y);
        return Rgb(Map().viewCache, px + dx, py + dy);
    }

    std::unique_ptr<SGameResource> game;
};

// ---- Counters, palettes and the cursor.

TEST(MapAnimation, ThePulseClimbsFrom128To384InStepsOf4AndTheCountersWrap)
{
    auto map = std::make_unique<CMapControl>();
    std::vector<std::int32_t> pulses, expected;
    for (int i = 0; i < 70; ++i) {
        map->AdvanceAnimation();
        pulses.push_back(map->guidePulse);
        expected.push_back(i <= 64 ? 128 + 4 * i : 128 + 4 * (i - 65));
    }
    EXPECT_EQ(pulses, expected);
    for (int i = 70; i < 300; ++i)
        map->AdvanceAnimation();
    EXPECT_EQ(map->circleFrame, 300 % 64);
    EXPECT_EQ(map->waterFrame, 300 % 256);
    EXPECT_EQ(map->minimapFrame, 300 % 32);
}

TEST(MapAnimation, AFrameAfterTheDisplayChangedAsksForTheWholeViewAgain)
{
    auto map = std::make_unique<CMapControl>();
    map->AdvanceAnimation(); // no application
    EXPECT_EQ(map->redrawRequest, 0);
    CApp app;
    g_app = &app;
    map->AdvanceAnimation();
    EXPECT_EQ(map->redrawRequest, 0);
    app.SetDisplayChanged(true); // a switch to or from full screen, or a restored display
    map->AdvanceAnimation();
    EXPECT_EQ(map->redrawRequest, 1);
    g_app = nullptr;
}

TEST(MapAnimation, PalettesHoldTheirColoursAndDarkenToAQuarter)
{
    auto map = std::make_unique<CMapControl>();
    const struct
    {
        std::int32_t type;
        std::size_t index;
        std::uint32_t colour;
        std::uint32_t darkened;
    } cases[] = {
        {Draw::kPixel565, 1, 0xFFFF, 0x39E8},          {Draw::kPixel565, 0, 0xD69A, 0x31A0},
        {Draw::kPixel555, 1, 0x7FFF, 0x1CE7},          {Draw::kPixel555, 4, 0x7C00, 0x1C00},
        {Draw::kPixelXRGB8888, 1, 0xFFFFFF, 0x3F3F3F}, // a quarter of every byte, so that
        {Draw::kPixelXRGB8888, 3, 0x00C000, 0x003000}, // 0xC0 does not turn to nothing
        {Draw::kPixelXBGR8888, 4, 0x0000FF, 0x00003F}, {Draw::kPixelXBGR8888, 2, 0x00A0A0, 0x002828},
    };
    for (const auto& c : cases) {
        CMapControl::SSimplePalette* palette = map->GetMinimapPalette(c.type);
        ASSERT_NE(palette, nullptr);
        EXPECT_EQ(palette->colors[c.index], c.colour) << c.type << " " << c.index;
        palette->Darken();
        EXPECT_EQ(palette->colors[c.index], c.darkened) << c.type << " " << c.index;
        map = std::make_unique<CMapControl>();
    }
    EXPECT_EQ(map->GetMinimapPalette(Draw::kPixelARGB8888), nullptr);
    EXPECT_EQ(map->GetMinimapPalette(Draw::kPixelRGB888), nullptr);
}

TEST(MapAnimation, TheMinimapCursorCentresTheExploredBoxAndStaysOnTheField)
{
    const struct
    {
        std::int32_t minX, minY, endX, endY;
        bool wholeField;
        std::int32_t x, y, cursorX, cursorY;
    } cases[] = {
        {10, 8, 30, 20, false, 20, 15, 27, 19}, {10, 8, 31, 21, false, 20, 15, 27, 19},
        {10, 8, 30, 20, false, -20, 40, 0, 35}, {10, 8, 30, 20, false, 60, -30, 53, 0},
        {0, 0, 0, 0, true, 5, 4, 0, 0},         {0, 0, 0, 0, true, 58, 39, 53, 35},
    };
    for (const auto& c : cases) {
        auto map = std::make_unique<CMapControl>();
        map->exploredMinX = c.minX, map->exploredMinY = c.minY;
        map->exploredEndX = c.endX, map->exploredEndY = c.endY;
        map->wholeField = c.wholeField ? 1 : 0;
        map->SetMinimapCursor(c.x, c.y);
        EXPECT_EQ(map->minimapCursorX, c.cursorX) << c.x << "," << c.y;
        EXPECT_EQ(map->minimapCursorY, c.cursorY) << c.x << "," << c.y;
    }
    auto map = std::make_unique<CMapControl>();
    map->MoveMinimapCursor(-1, -1);
    EXPECT_EQ(std::pair(map->minimapCursorX, map->minimapCursorY), std::pair(0, 0));
    map->MoveMinimapCursor(100, 100);
    EXPECT_EQ(std::pair(map->minimapCursorX, map->minimapCursorY), std::pair(53, 35));
    map->MoveMinimapCursor(-3, -5);
    EXPECT_EQ(std::pair(map->minimapCursorX, map->minimapCursorY), std::pair(50, 30));
}

// ---- Guide lines.

TEST_F(MapDrawingTest, TheGuideGreyRunsWithThePulse)
{
    NewGame(Draw::kPixelXRGB8888);
    Map().wholeField = 1;
    const struct
    {
        std::int32_t pulse;
        std::uint32_t grey;
    } cases[] = {{128, 64}, {252, 126}, {254, 127}, {256, 127}, {384, 63}, {511, 0}};
    for (const auto& c : cases) {
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        Map().guidePulse = c.pulse;
        Map().DrawMinimapCrossLines(*screen, true);
        EXPECT_EQ(Rgb(*screen, 56, 36), c.grey * 0x010101u) << c.pulse;
    }
}

TEST_F(MapDrawingTest, TheGuideLinesCrossOnTheMinimapBlockOfTheCursorCell)
{
    NewGame(Draw::kPixelXRGB8888);
    const struct
    {
        std::int32_t minX, minY, endX, endY;
        bool wholeField;
        bool twice;
    } cases[] = {
        {10, 8, 30, 20, false, false}, {10, 8, 31, 21, false, false}, {10, 8, 30, 21, false, false},
        {10, 8, 31, 20, false, true},  {0, 0, 0, 0, true, false},     {0, 0, 0, 0, true, true},
    };
    for (const auto& c : cases) {
        g_globalData.doubleSize = c.twice;
        const int scale = c.twice ? 2 : 1;
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320 * scale, 240 * scale);
        Map().exploredMinX = c.minX, Map().exploredMinY = c.minY;
        Map().exploredEndX = c.endX, Map().exploredEndY = c.endY;
        Map().wholeField = c.wholeField ? 1 : 0;
        Map().guidePulse = 128;
        Map().SetMinimapCursor(20, 15);
        Map().DrawMinimapCrossLines(*screen, false);
        SMinimapBox box;
        ASSERT_TRUE(GetMinimapBox(Map(), box));
        // Where the minimap puts the block of cell (20, 15).
        const int bx = scale * ((320 - 4 * box.width) / 2 + 4 + 4 * (20 - box.x0));
        const int by = scale * (2 * (52 - box.height) + 4 + 4 * (15 - box.y0));
        const int cell = 4 * scale, away = 2 * cell;
        const std::uint32_t grey = 0x404040;
        ExpectWords(*screen,
                    {{bx - 1, by - away, 0},
                     {bx, by - away, grey},
                     {bx + cell - 1, by - away, grey},
                     {bx + cell, by - away, 0},
                     {bx - away, by - 1, 0},
                     {bx - away, by, grey},
                     {bx - away, by + cell - 1, grey},
                     {bx - away, by + cell, 0}},
                    0xFFFFFF);
        // Without `full` the line stops 10 cells from the cursor.
        EXPECT_EQ(Rgb(*screen, bx - 10 * cell, by), grey);
        EXPECT_EQ(Rgb(*screen, bx - 11 * cell, by), 0u);
    }
}

TEST_F(MapDrawingTest, TheDiagonalsRunThroughTheCursorToTheFieldsEdges)
{
    NewGame(Draw::kPixelXRGB8888);
    Map().wholeField = 1;
    Map().guidePulse = 128;
    Map().minimapCursorX = 2;
    Map().minimapCursorY = 3;
    auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    Map().DrawMinimapDiagonals(*screen, true);
    const auto cell = [&](int c, int r) { return Rgb(*screen, 56 + 4 * c + 1, 36 + 4 * r + 1); };
    EXPECT_EQ(cell(2, 3), 0x404040u);
    EXPECT_EQ(cell(0, 1), 0x404040u);
    EXPECT_EQ(cell(34, 35), 0x404040u);
    EXPECT_EQ(cell(5, 0), 0x404040u);
    EXPECT_EQ(cell(3, 3), 0u);
    EXPECT_EQ(cell(2, 4), 0u);
}

// ---- The field view.

// The view's shake moves the map with the characters and effects, which place themselves by it too.
TEST_F(MapDrawingTest, TheHeroinesTileShowsAt144And104WhereverTheRingStands)
{
    const struct
    {
        std::int32_t x, y, offsetX, offsetY, shakeX, shakeY;
        bool twice;
    } cases[] = {{20, 20, 0, 0, 0, 0, false},  {27, 23, 0, 0, 0, 0, false},  {33, 29, 8, -12, 0, 0, false},
                 {12, 9, 0, 0, 0, 0, false},   {41, 33, -4, 20, 0, 0, true}, {20, 20, 0, 0, 0, 0, true},
                 {25, 22, 0, 0, 3, -2, false}, {25, 22, 4, 0, -3, 2, true}};
    for (const auto& c : cases) {
        NewGame(Draw::kPixelXRGB8888, 20, 20);
        g_globalData.doubleSize = c.twice;
        for (std::int32_t y = 4; y < 40; ++y)
            for (std::int32_t x = 5; x < 59; ++x)
                Map().GetCell(x, y).terrain = 6;
        Map().revealed = Map().revealedWithoutDarkness = 1;
        const int scale = c.twice ? 2 : 1;
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320 * scale, 240 * scale);
        Map().DrawMap(*game, *screen); // the ring placed at (20, 20)
        // Walk there one step at a time, so the ring scrolls and its origin moves round the cache.
        while (game->characters.player.x != c.x || game->characters.player.y != c.y) {
            auto& player = game->characters.player;
            player.x += player.x < c.x ? 1 : player.x > c.x ? -1 : 0;
            player.y += player.y < c.y ? 1 : player.y > c.y ? -1 : 0;
            Map().DrawMap(*game, *screen);
        }
        ASSERT_EQ(Map().PlaceStairs(c.x, c.y, 0), 0);
        Map().GetCell(c.x, c.y).objectShown = 1;
        Map().GetCell(c.x, c.y).explored = 1;
        game->characters.player.offsetX = c.offsetX;
        game->characters.player.offsetY = c.offsetY;
        game->characters.player.viewOffsetX = c.shakeX;
        game->characters.player.viewOffsetY = c.shakeY;
        Map().DrawMap(*game, *screen);
        // The middle of the stairs' diamond, and a corridor pixel beside the tile.
        const int px = 144 - c.offsetX - c.shakeX, py = 104 - c.offsetY - c.shakeY;
        EXPECT_EQ(Rgb(*screen, scale * (px + 16), scale * (py + 16)), CellColour(3, 0)) << c.x << "," << c.y;
        EXPECT_EQ(Rgb(*screen, scale * (px + 1) + scale - 1, scale * (py + 1)), TerrainColour(33, 1))
            << c.x << "," << c.y;
        EXPECT_EQ(Rgb(*screen, scale * (px - 31), scale * (py + 1)), TerrainColour(33, 1));
    }
}

TEST_F(MapDrawingTest, JoinedTilesTakeEachQuarterFromItsNeighbours)
{
    NewGame(Draw::kPixelXRGB8888);
    // The wall at (20, 20) with walls to its north, north-east and east, on floor: its top-right quarter
    // joins all round (column 4), the top-left one vertically only (1), the bottom-right one sideways
    // only (2) and the bottom-left one is alone (0). The wet floors 11 and 13 join each other.
    for (std::int32_t x = 17; x <= 27; ++x)
        for (std::int32_t y = 17; y <= 23; ++y)
            Map().GetCell(x, y).terrain = 5;
    for (const auto& [x, y] : {std::pair(20, 20), std::pair(20, 19), std::pair(21, 19), std::pair(21, 20)})
        Map().GetCell(x, y).terrain = 2;
    Map().GetCell(24, 20).terrain = 11;
    Map().GetCell(25, 20).terrain = 13;
    Map().revealed = Map().revealedWithoutDarkness = 1;
    auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    Map().DrawMap(*game, *screen);
    const struct
    {
        std::int32_t x, y;
        int dx, dy;      // the quarter
        int column, row; // where it comes from
    } cases[] = {
        {20, 20, 0, 0, 1, 1},  {20, 20, 16, 0, 4, 1}, {20, 20, 0, 16, 0, 1}, {20, 20, 16, 16, 2, 1},
        {24, 20, 16, 0, 2, 3}, {24, 20, 0, 0, 0, 3},  {25, 20, 0, 16, 2, 5}, {25, 20, 16, 16, 0, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CachePixel(c.x, c.y, c.dx + 4, c.dy + 4),
                  TerrainColour(32 * c.column + c.dx + 4, 32 * c.row + c.dy + 4))
            << c.x << "," << c.y << " quarter " << c.dx << "," << c.dy;
}

TEST_F(MapDrawingTest, WaterIsRedrawnOnceEvery16FramesAndPlainFloorNever)
{
    NewGame(Draw::kPixelXRGB8888);
    DrawFloor(Map(), 19, 19, {"0000", "00~0", "0000"});
    Map().MarkExplored(20, 20);
    auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    Map().DrawMap(*game, *screen);
    int waterRedraws = 0, floorRedraws = 0;
    std::vector<std::uint32_t> waterRows;
    for (int frame = 1; frame <= 64; ++frame) {
        const auto [wx, wy] = CacheTile(21, 20);
        const auto [fx, fy] = CacheTile(20, 20);
        SetWord(Map().viewCache, wx + 8, wy + 8, 0x123456);
        SetWord(Map().viewCache, fx + 8, fy + 8, 0x123456);
        Map().AdvanceAnimation();
        Map().DrawMap(*game, *screen);
        waterRedraws += Rgb(Map().viewCache, wx + 8, wy + 8) != 0x123456 ? 1 : 0;
        floorRedraws += Rgb(Map().viewCache, fx + 8, fy + 8) != 0x123456 ? 1 : 0;
        if (frame % 16 == 0) waterRows.push_back(Rgb(Map().viewCache, wx + 20, wy + 20));
    }
    EXPECT_EQ(waterRedraws, 4);
    EXPECT_EQ(floorRedraws, 0);
    // Frames 1 to 4 of the water: rows 10 to 13 of the sheet (the water alone: column 0).
    const std::vector<std::uint32_t> expected = {TerrainColour(20, 320 + 20), TerrainColour(20, 352 + 20),
                                                 TerrainColour(20, 384 + 20), TerrainColour(20, 416 + 20)};
    EXPECT_EQ(waterRows, expected);
}

TEST_F(MapDrawingTest, ObjectsShowByKindAndNotWhileBlind)
{
    const struct
    {
        std::uint8_t kind;
        std::uint16_t id;
        std::uint8_t terrain;
        bool blind;
        bool hallucinating;
        std::uint32_t colour; // at the middle of the tile
    } cases[] = {
        {kObjectStairs, 0, 5, false, false, CellColour(3, 0)},
        {kObjectStairs, 1, 5, false, false, CellColour(3, 1)},
        {kObjectItem, 7, 5, false, false, CellColour(1, 2)},  // item 7 of class 3: row 2
        {kObjectItem, 7, 4, false, false, CellColour(2, 2)},  // in water: the next column
        {kObjectTrap, 9, 5, false, false, CellColour(2, 1)},  // trap 9: the second row
        {kObjectTrap, 27, 5, false, false, CellColour(2, 3)}, // a pit
        {kObjectCircle, 40, 5, false, false, CellColour(0, 1)},
        {kObjectTreasureSpot, 0, 5, false, false, CellColour(8, 1)},
        {kObjectItem, 7, 5, false, true, CellColour(8, 0)}, // the swirl
        {kObjectStairs, 1, 5, false, true, CellColour(8, 0)},
        {kObjectItem, 7, 5, true, false, (TerrainColour(16, 16) >> 1) & 0x7F7F7F}, // blind: all dark
        {kObjectStairs, 0, 5, true, false, (TerrainColour(16, 16) >> 1) & 0x7F7F7F},
        {kObjectTrap, 6, 5, false, false, TerrainColour(16, 16)}, // no icon
        {kObjectFire, 30, 5, false, false, TerrainColour(16, 16)},
    };
    for (const auto& c : cases) {
        NewGame(Draw::kPixelXRGB8888);
        game->items.GetItem(7).itemClass = 3;
        game->items.kinds.resize(41);
        game->items.kinds[40].sealCode = 2; // the circle's range: 部屋
        game->characters.player.status.hallucinationTurns = c.hallucinating ? 5 : 0;
        DrawFloor(Map(), 19, 19, {"000", "000", "000"});
        Map().GetCell(21, 20).terrain = c.terrain;
        SMapCell& cell = Map().GetCell(21, 20);
        cell.objectKind = c.kind;
        cell.objectId = c.id;
        cell.objectShown = 1;
        Map().MarkExplored(20, 20);
        Map().playerBlind = c.blind ? 1 : 0;
        Map().revealed = 1;
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        Map().DrawMap(*game, *screen);
        EXPECT_EQ(CachePixel(21, 20), c.colour) << int(c.kind) << " " << c.id;
    }
}

TEST_F(MapDrawingTest, UnlitRecordsAreKeptHalfBrightUnlessTheFloorIsRevealed)
{
    const struct
    {
        bool revealed;
        bool blind;
        bool halved;
    } cases[] = {{false, false, true}, {true, false, false}, {true, true, true}};
    for (const auto& c : cases) {
        NewGame(Draw::kPixelXRGB8888);
        DrawFloor(Map(), 19, 19, {"000#.."});
        Map().MarkExplored(20, 19);
        Map().revealed = c.revealed ? 1 : 0;
        Map().playerBlind = c.blind ? 1 : 0;
        game->characters.player.y = 19;
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        Map().DrawMap(*game, *screen);
        const std::uint32_t corridor = TerrainColour(32 + 8, 8);
        EXPECT_EQ(CachePixel(24, 19, 8, 8), c.halved ? (corridor >> 1) & 0x7F7F7F : corridor);
    }
}

TEST_F(MapDrawingTest, DarknessIsNotDrawnOnARevealedFloorWhileBlindOrWithoutALitBox)
{
    const struct
    {
        bool inRoom;
        bool revealed;
        bool blind;
        bool emptyLitBox;
        std::int32_t result;
        bool drawn;
    } cases[] = {
        {false, false, false, false, 0, true}, {true, false, false, false, 0, true},
        {false, true, false, false, 0, false}, {true, true, false, false, 0, false},
        {false, false, true, false, 0, false}, {true, false, true, false, 0, false},
        {false, false, false, true, 1, false},
    };
    for (const auto& c : cases) {
        NewGame(Draw::kPixelXRGB8888);
        DrawFloor(Map(), 15, 20, {"#000#.........."});
        game->characters.player.x = c.inRoom ? 17 : 25;
        Map().MarkExplored(game->characters.player.x, 20);
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        Map().DrawMap(*game, *screen);
        Map().revealedWithoutDarkness = c.revealed ? 1 : 0;
        Map().playerBlind = c.blind ? 1 : 0;
        if (c.emptyLitBox) Map().litMinX = Map().litMinY = 255, Map().litMaxX = Map().litMaxY = 0;
        const std::vector<std::uint32_t> before = Snapshot(*screen);
        EXPECT_EQ(Map().DrawDarkness(*game, *screen), c.result);
        EXPECT_EQ(Snapshot(*screen) != before, c.drawn) << c.inRoom << c.revealed << c.blind << c.emptyLitBox;
    }
}

// ---- Flames.

TEST_F(MapDrawingTest, SizedAnimationsTakeTheirStripAndPlaceByTheFramesWidestPart)
{
    const struct
    {
        std::int32_t size;
        bool twice;
        std::int32_t frame;
        int strip;
        int left, top;
    } cases[] = {
        {0, false, 5, 0, 98, 89},  {1, false, 0, 1, 95, 77},  {3, false, 31, 3, 89, 53},
        {0, true, 2, 1, 196, 178}, {1, true, 7, 3, 190, 154}, {2, true, 0, 4, 184, 130},
        {3, true, 9, 5, 178, 106},
    };
    for (const auto& c : cases) {
        NewGame(Draw::kPixelXRGB8888);
        g_globalData.doubleSize = c.twice;
        auto screen = MakePlane(Draw::kPixelXRGB8888, c.twice ? 640 : 320, c.twice ? 480 : 240);
        DrawSizedAnimationFrame(0, 100, 100, c.size, c.frame, *screen);
        const int w = kFlameWidths[c.strip], h = kFlameHeights[c.strip];
        const std::uint32_t colour = FlameColour(c.strip, c.frame);
        ExpectWords(*screen,
                    {{c.left, c.top, colour},
                     {c.left + w - 1, c.top + h - 1, colour},
                     {c.left - 1, c.top, 0},
                     {c.left, c.top - 1, 0},
                     {c.left + w, c.top + h - 1, 0},
                     {c.left + w - 1, c.top + h, 0}},
                    0xFFFFFF);
    }
    // No application: the game's frame counter reads 0.
    auto screen = MakePlane(Draw::kPixelXRGB8888, 640, 480);
    g_globalData.doubleSize = false;
    DrawSizedAnimation(0, 100, 100, 0, *screen);
    EXPECT_EQ(Rgb(*screen, 98, 89), FlameColour(0, 0));
}

TEST_F(MapDrawingTest, FlamesGrowWithTheTurnsAFireHasLeft)
{
    const struct
    {
        std::uint16_t turns;
        std::uint8_t shown;
        int strip;   // -1 none
        int sampleX; // a pixel of the left flame alone, from the cell's left
    } cases[] = {{1, 1, 1, 4},  {4, 1, 1, 4},   {5, 1, 2, 1},
                 {9, 1, 2, 1},  {10, 1, 3, -2}, {30 | CMapControl::kFireByPlayer, 1, 3, -2},
                 {30, 0, -1, 4}};
    for (const auto& c : cases) {
        NewGame(Draw::kPixelXRGB8888);
        SMapCell& cell = Map().GetCell(10, 10);
        cell.objectKind = kObjectFire;
        cell.objectId = c.turns;
        cell.objectShown = c.shown;
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        Map().DrawFire(*screen, 10, 10, 320 - 100, 320 - 100); // the cell at (100, 100)
        EXPECT_EQ(Rgb(*screen, 100 + c.sampleX, 100 + 22), c.strip < 0 ? 0 : FlameColour(c.strip, 0))
            << c.turns;
    }
}

// ---- The whole picture.

// A hand-built floor: a lit room with water, a wet patch, ice, a trap, a circle, an item, a fire and the
// stairs; a corridor from its east door; the heroine in the room or in the corridor. Each picture is kept
// beside the tests as an LZSS-packed zga file.
class MapPictureTest : public MapDrawingTest
{
protected:
    void BuildFloor(std::int32_t type, bool twice)
    {
        NewGame(type, 19, 18);
        g_globalData.doubleSize = twice;
        game->items.GetItem(7).itemClass = 3;
        game->items.kinds.resize(41);
        game->items.kinds[40].sealCode = 2;
        DrawFloor(Map(), 13, 13,
                  {"############     ", //
                   "#0000000000#     ", //
                   "#0000000000#     ", //
                   "#0000~~0000#     ", //
                   "#0000~~0000......", //
                   "#0000000000#    .", //
                   "#0000000000#    .", //
                   "#0000000000#    .", //
                   "############    .", //
                   "                ."});
        Map().GetCell(15, 20).terrain = 11;
        Map().GetCell(16, 20).terrain = 13;
        Map().GetCell(22, 20).terrain = 10;
        for (SMapCell& cell : Map().cells)
            cell.mark = cell.room == 0 ? 1 : 0;
        const auto put = [&](std::int32_t x, std::int32_t y, std::uint8_t kind, std::uint16_t id) {
            SMapCell& cell = Map().GetCell(x, y);
            cell.objectKind = kind;
            cell.objectId = id;
            cell.objectShown = 1;
        };
        put(15, 15, kObjectTrap, 9);
        put(22, 15, kObjectCircle, 40);
        put(16, 19, kObjectItem, 7);
        put(20, 15, kObjectFire, 12);
        ASSERT_EQ(Map().PlaceStairs(21, 19, 0), 0);
        Map().MarkExplored(19, 18);
        for (std::int32_t x = 25; x <= 29; ++x)
            Map().MarkExplored(x, 17);
        for (std::int32_t y = 17; y <= 20; ++y)
            Map().MarkExplored(29, y);
        for (SMapCell& cell : Map().cells)
            if (cell.explored != 0 && cell.objectShown != 0) cell.minimapMark = cell.objectKind;
        Map().GetCell(17, 18).minimapMark = 2;
        for (int i = 0; i < 20; ++i)
            Map().AdvanceAnimation(); // water, circles and the pulse a little way on
    }
    // The field: the map, the fire among the characters, then darkness.
    std::unique_ptr<Draw::CFastPlane> DrawField(std::int32_t type, bool twice)
    {
        auto screen = MakePlane(type, twice ? 640 : 320, twice ? 480 : 240);
        Map().DrawMap(*game, *screen);
        std::int32_t viewX = 0, viewY = 0;
        GetViewOrigin(*game, viewX, viewY);
        Map().DrawFire(*screen, 20, 15, viewX, viewY);
        Map().DrawDarkness(*game, *screen);
        return screen;
    }
    // Compares the plane, saved as a packed zga file, with the golden picture of that name; a picture
    // that differs is left in the temporary folder, with a BMP file of it to look at.
    void ExpectPackedGolden(Draw::CFastPlane& plane, const std::string& name)
    {
        ASSERT_EQ(plane.GetSurfaceInfo()->SaveZGA(name.c_str(), nullptr, true), 0);
        const std::string drawn = GetFile(Exe() / name);
        const std::string golden = GetFile(std::filesystem::path(GAME_UI_GOLDEN_FOLDER) / name);
        if (drawn == golden) return;
        const std::filesystem::path kept = std::filesystem::temp_directory_path() / ("drawn_" + name);
        std::filesystem::copy_file(Exe() / name, kept, std::filesystem::copy_options::overwrite_existing);
        plane.SaveBMP((kept.string() + ".bmp").c_str());
        ADD_FAILURE() << name << " differs from the golden picture; this run drew " << kept;
    }
};

TEST_F(MapPictureTest, TheFloorLooksAsItAlwaysHas)
{
    const struct
    {
        std::int32_t type;
        const char* name;
    } formats[] = {{Draw::kPixel565, "565"}, {Draw::kPixelXRGB8888, "8888"}};
    for (const auto& format : formats) {
        for (const bool twice : {false, true}) {
            const std::string suffix = std::string(format.name) + (twice ? "_x2" : "_x1") + ".zga";
            // The field in the room, with the minimap over it.
            BuildFloor(format.type, twice);
            auto field = DrawField(format.type, twice);
            EXPECT_EQ(Map().DrawMinimapCells(*field, false), 0);
            EXPECT_EQ(DrawMinimap(*field, Map(), false, 0), 0);
            ExpectPackedGolden(*field, "map_room_" + suffix);
            // The whole map: cleared, full colours, marks and the guide lines through the heroine.
            auto view = MakePlane(format.type, twice ? 640 : 320, twice ? 480 : 240, 0);
            view->Clear(nullptr);
            EXPECT_EQ(Map().DrawMinimapCells(*view, true), 0);
            EXPECT_EQ(DrawMinimap(*view, Map(), false, 0), 0);
            Map().SetMinimapCursor(19, 18);
            Map().DrawMinimapCrossLines(*view, true);
            ExpectPackedGolden(*view, "map_full_" + suffix);
            // The field from the corridor: the spotlight.
            game->characters.player.x = 28;
            game->characters.player.y = 17;
            game->characters.player.offsetX = 8;
            Map().MarkExplored(28, 17);
            auto corridor = DrawField(format.type, twice);
            ExpectPackedGolden(*corridor, "map_corridor_" + suffix);
        }
    }
}

// ---- The minimap.

class MinimapTest : public MapDrawingTest
{
protected:
    // One explored cell (10, 10) with this appearance code, the box around it alone.
    void OneCell(std::uint16_t appearance, std::uint8_t mark = 0, std::uint8_t minimapMark = 0)
    {
        Map().appearance[10 * 44 + 10] = appearance;
        Map().GetCell(10, 10).mark = mark;
        Map().GetCell(10, 10).minimapMark = minimapMark;
        Map().exploredMinX = Map().exploredMinY = 10;
        Map().exploredEndX = Map().exploredEndY = 11;
    }
    // The block of (10, 10) in a one-cell box: at ((row length - 4) / 2 + 4, 2 x 51 + 4).
    static constexpr int kBlockX = 162, kBlockY = 106;
    // The block's 4 x 4 pixels as rows of '#' (the colour) and '.' (untouched, 0).
    void ExpectBlock(Draw::ISurface& plane, int x, int y, int scale, const std::vector<std::string>& rows,
                     std::uint32_t colour)
    {
        for (int py = 0; py < 4 * scale; ++py)
            for (int px = 0; px < 4 * scale; ++px) {
                const bool set = rows[std::size_t(py * int(rows.size()) / (4 * scale))]
                                     [std::size_t(px * int(rows.size()) / (4 * scale))] == '#';
                EXPECT_EQ(Word(plane, x + px, y + py), set ? colour : 0u) << px << "," << py;
            }
    }
};

TEST_F(MinimapTest, CellColoursFollowTheFloorTypeOnlyInTheOverlay)
{
    const struct
    {
        std::int32_t type;
        std::int32_t floorType;
        bool fullView;
        std::uint8_t mark;
        std::uint32_t pixel;
    } cases[] = {
        {Draw::kPixel565, 20, false, 1, 0x2800},        {Draw::kPixel555, 20, false, 1, 0x1400},
        {Draw::kPixel565, 20, false, 0, 0x2902},        {Draw::kPixel565, 21, false, 0, 0x11E7},
        {Draw::kPixel565, 21, false, 1, 0x0107},        {Draw::kPixel565, 3, false, 1, 0x0005},
        {Draw::kPixel565, 0, true, 1, 0x0016},          {Draw::kPixel565, 20, true, 1, 0x0016},
        {Draw::kPixel565, 21, true, 1, 0x0016},         {Draw::kPixel565, 21, true, 0, 0x4416},
        {Draw::kPixelXRGB8888, 21, true, 1, 0x0000B0},  {Draw::kPixelXBGR8888, 21, true, 1, 0xB00000},
        {Draw::kPixelXRGB8888, 20, false, 1, 0x2C0000},
    };
    for (const auto& c : cases) {
        NewGame(c.type);
        Map().floorType = c.floorType;
        OneCell(CMapControl::kAppearanceFloor, c.mark);
        auto screen = MakePlane(c.type, 320, 240);
        EXPECT_EQ(Map().DrawMinimapCells(*screen, c.fullView), 0);
        ExpectBlock(*screen, kBlockX, kBlockY, 1, {"####", "####", "####", "####"}, c.pixel);
    }
}

TEST_F(MinimapTest, WaterAndWallsShowThePartsThatFaceExploredFloor)
{
    const struct
    {
        std::uint16_t appearance;
        std::vector<std::string> rows;
        std::uint32_t colour;
    } cases[] = {
        {0x2000, {"....", ".##.", ".##.", "...."}, 0x0005}, // water among water: the inner dots
        {0x2401, {"####", "####", ".##.", "...."}, 0x0005}, // water with floor to the north
        {0x3401, {"####", "....", "....", "...."}, 0x39E7}, // a wall under floor: a grey line
        {0x340B, {"####", "#...", "#...", "#..."}, 0x39E7}, // floor north and west
        {0x3004, {"#...", "....", "....", "...."}, 0x39E7}, // only the north-west corner
        {0x3000, {"....", "....", "....", "...."}, 0x39E7}, // no floor beside it
        {0x4000, {"....", "....", "....", "...."}, 0},
    };
    for (const auto& c : cases) {
        NewGame(Draw::kPixel565);
        OneCell(c.appearance, 1);
        auto screen = MakePlane(Draw::kPixel565, 320, 240);
        Map().DrawMinimapCells(*screen, false);
        ExpectBlock(*screen, kBlockX, kBlockY, 1, c.rows, c.colour);
    }
    // The overlay keeps three quarters of what lies under it.
    NewGame(Draw::kPixel565);
    OneCell(CMapControl::kAppearanceFloor, 1);
    auto screen = MakePlane(Draw::kPixel565, 320, 240, 0xFFFF);
    Map().DrawMinimapCells(*screen, false);
    EXPECT_EQ(Word(*screen, kBlockX, kBlockY), 0x7BEFu + 0x39E7u + 0x0005u);
}

TEST_F(MinimapTest, EachMarkHasItsShapeAndPaletteColour)
{
    const struct
    {
        std::uint8_t mark;
        bool alternative;
        bool twice;
        std::vector<std::string> rows;
        std::uint32_t colour;
    } cases[] = {
        {9, false, false, {"#..#", ".##.", ".##.", "#..#"}, 0xD69A},
        {11, false, false, {".##.", "#..#", "####", "...."}, 0xFC00},
        {13, false, false, {".#..", "###.", "###.", "###."}, 0xFC00},
        {2, false, false, {".##.", "####", "####", ".##."}, 0xF800},
        {8, false, false, {".##.", "####", "####", ".##."}, 0x07FF},
        {1, false, false, {".##.", "####", "####", ".##."}, 0xA500},
        {1, true, false, {"####", "####", "####", "####"}, 0xFFE0},
        {6, false, false, {"####", "####", "####", "####"}, 0x0500},
        {7, false, false, {".##.", "####", "####", ".##."}, 0xFFFF},
        {10, false, false, {"....", "....", "....", "...."}, 0},
        {12, false, false, {"....", "....", "....", "...."}, 0},
        {5, false, false, {"....", "....", "....", "...."}, 0},
        {9, false, true, {"#..#", ".##.", ".##.", "#..#"}, 0xD69A},
        {1,
         false,
         true,
         {"...##...", ".######.", ".######.", "########", "########", ".######.", ".######.", "...##..."},
         0xA500},
        {1,
         true,
         true,
         {".######.", "########", "########", "########", "########", "########", "########", ".######."},
         0xFFE0},
        {6,
         false,
         true,
         {"########", "########", "##....##", "##....##", "##....##", "##....##", "########", "########"},
         0x0500},
        {7,
         false,
         true,
         {"...##...", ".##..##.", "##....##", "#......#", "#......#", "##....##", ".##..##.", "...##..."},
         0xFFFF},
    };
    for (const auto& c : cases) {
        NewGame(Draw::kPixel565);
        g_globalData.doubleSize = c.twice;
        OneCell(CMapControl::kAppearanceFloor, 0, c.mark);
        const int scale = c.twice ? 2 : 1;
        auto screen = MakePlane(Draw::kPixel565, 320 * scale, 240 * scale);
        EXPECT_EQ(DrawMinimap(*screen, Map(), false, c.alternative ? kFlagAlternativePlayerMark : 0), 0);
        const int x = c.twice ? (640 - 8) / 2 + 8 : kBlockX, y = scale * kBlockY;
        ExpectBlock(*screen, x, y, scale, c.rows, c.colour);
    }
}

TEST_F(MinimapTest, TheStairsOutlineIsDrawnOnceKnownUnlessSkipped)
{
    const struct
    {
        std::uint8_t known;
        bool skip;
        bool drawn;
    } cases[] = {{1, false, true}, {1, true, false}, {0, false, false}};
    for (const auto& c : cases) {
        NewGame(Draw::kPixelXRGB8888);
        OneCell(CMapControl::kAppearanceFloor);
        Map().stairsX = Map().stairsY = 10;
        Map().stairsKnown = c.known;
        auto screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        DrawMinimap(*screen, Map(), c.skip, 0);
        ExpectBlock(*screen, kBlockX, kBlockY, 1,
                    c.drawn ? std::vector<std::string>{"####", "#..#", "#..#", "####"}
                            : std::vector<std::string>{"....", "....", "....", "...."},
                    0x00FFFF);
    }
}

TEST_F(MinimapTest, OtherPixelTypesDrawThroughTheFallbackPlacedForTheSmallScreen)
{
    for (const bool twice : {false, true}) {
        NewGame(Draw::kPixelARGB8888);
        g_globalData.doubleSize = twice;
        const int scale = twice ? 2 : 1;
        // A box of 10 x 1 cells: the fallback's left edge (80 - 10) x 4 / 2 + 4 = 144 on any plane.
        for (std::int32_t x = 10; x < 20; ++x)
            Map().appearance[std::size_t(x * 44 + 10)] = CMapControl::kAppearanceFloor;
        Map().exploredMinX = Map().exploredMinY = 10;
        Map().exploredEndX = 20;
        Map().exploredEndY = 11;
        Map().GetCell(10, 10).minimapMark = kObjectItem;
        Map().GetCell(11, 10).minimapMark = 1;
        Map().GetCell(12, 10).minimapMark = 10;
        auto screen = MakePlane(Draw::kPixelARGB8888, 640 * scale, 240 * scale);
        EXPECT_EQ(Map().DrawMinimapCells(*screen, false), 0);
        EXPECT_NE(Rgb(*screen, scale * 150, scale * 106), 0u);
        EXPECT_EQ(Rgb(*screen, scale * 143, scale * 106), 0u);
        EXPECT_EQ(DrawMinimap(*screen, Map(), false, 0), 0);
        const int left = scale * 144, top = scale * 106;
        EXPECT_EQ(Rgb(*screen, left, top), SymbolColour(3));
        EXPECT_EQ(Rgb(*screen, left + 4 * scale + 1, top + 1), SymbolColour(0));
        EXPECT_NE(Rgb(*screen, left + 8 * scale + 1, top + 1), SymbolColour(4)); // mark 10 is never drawn
        EXPECT_EQ(Rgb(*screen, left - 1, top), 0u);
    }
}

TEST_F(MinimapTest, NothingExploredDrawsNothingAndBlocksOffThePlaneAreLeftOut)
{
    NewGame(Draw::kPixel565);
    auto screen = MakePlane(Draw::kPixel565, 320, 240);
    EXPECT_EQ(Map().DrawMinimapCells(*screen, true), 0);
    EXPECT_EQ(DrawMinimap(*screen, Map(), false, 0), 0);
    // A box wider than a small plane: the blocks that would cross its edges are not drawn.
    for (std::int32_t x = 0; x < 64; ++x) {
        Map().appearance[std::size_t(x * 44 + 20)] = CMapControl::kAppearanceFloor;
        Map().GetCell(x, 20).minimapMark = 8;
    }
    Map().exploredMinX = 0, Map().exploredEndX = 64;
    Map().exploredMinY = 20, Map().exploredEndY = 21;
    auto small = MakePlane(Draw::kPixel565, 100, 240);
    EXPECT_EQ(Map().DrawMinimapCells(*small, true), 0);
    EXPECT_EQ(DrawMinimap(*small, Map(), false, 0), 0);
    EXPECT_EQ(Word(*small, 0, 2 * (52 - 1) + 4), 0u); // (100 - 256) / 2 + 4: the first block is off the plane
}

} // namespace
