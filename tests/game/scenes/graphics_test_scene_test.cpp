#include "game/scenes/graphics_test_scene.h"
#include "game/ui/drawing_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr std::uint32_t Bit(int n)
{
    return 1u << n;
}

// Every picture of the test says in each pixel where it came from: its tag in the top four bits, then
// x and y of the source in ten bits each. No tag makes magenta, so every pixel is drawn.
enum ETag : std::uint32_t
{
    kNone = 0,
    kBody = 1,
    kWeapons0 = 2,
    kWeapons16 = 3,
    kShields0 = 4,
    kShields16 = 5,
    kBackground = 6,
    kSwing = 7,
    kTiles = 8,
    kCursor = 9,
};
std::uint32_t Encode(std::uint32_t tag, int x, int y)
{
    return tag << 20 | std::uint32_t(x) << 10 | std::uint32_t(y);
}
struct SSource
{
    std::uint32_t tag;
    int x;
    int y;
    friend bool operator==(const SSource&, const SSource&) = default;
};
std::ostream& operator<<(std::ostream& out, const SSource& s)
{
    return out << "{tag " << s.tag << ", " << s.x << ", " << s.y << "}";
}

class GraphicsTestSceneTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        const auto tagged = [](std::uint32_t tag) {
            return [tag](int x, int y) { return Encode(tag, x, y); };
        };
        PutImage("50.bmp", 348, 288, tagged(kBody));
        PutImage("51.bmp", 576, 256, tagged(kWeapons0));
        PutImage("52.bmp", 576, 256, tagged(kWeapons16));
        PutImage("53.bmp", 192, 384, tagged(kShields0));
        PutImage("54.bmp", 192, 384, tagged(kShields16));
        // Black, so that what the swing adds shows as it is.
        PutImage("201.bmp", 320, 240, [](int, int) { return 0u; });
        PutImage("swing.bmp", 128, 512, tagged(kSwing));
        PutImage("tiles.bmp", 160, 800, tagged(kTiles));
        PutImage("99.bmp", 32, 32, [](int x, int y) {
            return x == 0 || y == 0 || x == 31 || y == 31 ? Encode(kCursor, x, y) : 0xFF00FFu;
        });
        PutList({"50.bmp,50", "51.bmp,51", "52.bmp,52", "53.bmp,53", "54.bmp,54", "201.bmp,201",
                 "swing.bmp,400", "swing.bmp,409", "swing.bmp,427", "tiles.bmp,102", "99.bmp,99"});
        scene = std::make_unique<CSceneTest>(nullptr, nullptr);
        screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    }
    void TearDown() override
    {
        screen.reset();
        scene.reset();
        DrawingTest::TearDown();
    }

    void Press(std::uint32_t keys) { scene->OnMove(&keys); }
    void Draw() { scene->OnDraw(screen.get()); }
    SSource At(int x, int y)
    {
        const std::uint32_t word = Word(*screen, x, y) & 0xFFFFFF;
        return {word >> 20, int((word >> 10) & 1023), int(word & 1023)};
    }
    // The pixels of a tag on the screen: their count and bounding box (x0, y0, x1, y1 inclusive).
    struct SBox
    {
        int count = 0, x0 = 999, y0 = 999, x1 = -1, y1 = -1;
    };
    SBox Find(std::uint32_t tag)
    {
        SBox box;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (At(x, y).tag == tag) {
                    ++box.count;
                    box.x0 = std::min(box.x0, x), box.y0 = std::min(box.y0, y);
                    box.x1 = std::max(box.x1, x), box.y1 = std::max(box.y1, y);
                }
        return box;
    }
    // The figure idle on page 1, facing `direction`, at motion frame 0.
    void Pose(std::int32_t motion, std::int32_t direction, std::int32_t frame = 0)
    {
        CSceneTest::SState& s = scene->State();
        s.motion = motion;
        s.direction = direction;
        s.motionFrame = frame;
    }

    std::unique_ptr<CSceneTest> scene;
    std::unique_ptr<Draw::CFastPlane> screen;
};

TEST_F(GraphicsTestSceneTest, EnterTurnsThePagesOverAndPageOneKeepsTheRunningMotion)
{
    EXPECT_EQ(scene->State().page, 1);
    Press(Bit(18));
    EXPECT_EQ(scene->State().page, 2);
    Press(Bit(18));
    EXPECT_EQ(scene->State().page, 0);

    // A thrust starts on page 0; turning to page 1 keeps it but prepares everything else.
    Press(Bit(0));
    scene->State().weapon = 5;
    scene->State().direction = 3;
    Press(Bit(18));
    const CSceneTest::SState& s = scene->State();
    EXPECT_EQ(s.page, 1);
    EXPECT_EQ(s.motion, 1);
    EXPECT_EQ(std::tuple(s.direction, s.speed, s.weapon, s.shield, s.weaponMaximum),
              std::tuple(0, 3, 0, 0, 32));
    EXPECT_EQ(s.motionFrame, 2); // prepared to 0, then this frame's step
}

TEST_F(GraphicsTestSceneTest, WeaponAndShieldWrapThroughNoneAndNoneDrawsNothing)
{
    struct SCase
    {
        std::uint32_t modifier, button;
        std::int32_t from, to;
    };
    const SCase cases[] = {
        {Bit(6), Bit(1), 0, 32},  {Bit(6), Bit(0), 32, 0}, {Bit(6), Bit(0), 31, 32},
        {Bit(6), Bit(1), 32, 31}, {Bit(7), Bit(1), 0, 32}, {Bit(7), Bit(0), 32, 0},
    };
    for (const SCase& c : cases) {
        std::int32_t& value = c.modifier == Bit(6) ? scene->State().weapon : scene->State().shield;
        value = c.from;
        Press(c.modifier | c.button);
        EXPECT_EQ(value, c.to) << c.modifier << " " << c.from;
        EXPECT_EQ(scene->State().motion, 0) << "the buttons step the equipment, they start no motion";
    }

    scene->State().weapon = 32;
    scene->State().shield = 32;
    Pose(0, 0);
    Draw();
    EXPECT_GT(Find(kBody).count, 0);
    for (std::uint32_t tag : {kWeapons0, kWeapons16, kShields0, kShields16})
        EXPECT_EQ(Find(tag).count, 0) << tag;
}

TEST_F(GraphicsTestSceneTest, EquipmentComesFromItsPictureCell)
{
    // Idle facing down: the weapon stands at (-16, 3) and the shield (column 0) at (10, 11) from the
    // figure's corner (146, 110); both lie over the body.
    struct SCase
    {
        std::int32_t weapon, shield;
        int x, y;
        SSource expected;
    };
    const SCase cases[] = {
        {0, 32, 130, 113, {kWeapons0, 0, 0}},    {8, 32, 130, 113, {kWeapons0, 0, 128}},
        {9, 32, 130, 113, {kWeapons0, 72, 128}}, {16, 32, 130, 113, {kWeapons16, 0, 0}},
        {32, 0, 156, 121, {kShields0, 0, 0}},    {32, 16, 156, 121, {kShields16, 0, 0}},
        {32, 17, 156, 121, {kShields16, 0, 24}},
    };
    for (const SCase& c : cases) {
        scene->State().weapon = c.weapon;
        scene->State().shield = c.shield;
        Pose(0, 0);
        Draw();
        EXPECT_EQ(At(c.x, c.y), c.expected) << c.weapon << " " << c.shield;
    }
}

TEST_F(GraphicsTestSceneTest, IdleLayersPutTheBodyOverTheEquipmentOnlyWhenFacingUp)
{
    struct SCase
    {
        std::int32_t direction;
        int x, y;
        std::uint32_t tag;
    };
    const SCase cases[] = {
        {4, 170, 120, kBody},     // weapon at (166, 112) under the body
        {4, 150, 125, kBody},     // shield at (139, 120) under the body
        {0, 150, 115, kWeapons0}, // weapon at (130, 113) over the body
        {0, 160, 130, kShields0}, // shield at (156, 121) over the body
    };
    for (const SCase& c : cases) {
        Pose(0, c.direction);
        Draw();
        EXPECT_EQ(At(c.x, c.y).tag, c.tag) << c.direction << " (" << c.x << ", " << c.y << ")";
    }
}

TEST_F(GraphicsTestSceneTest, TheThrustRaisesThrustsAndSwingsByFrame)
{
    // What the weapon layer shows: the pose by its column in the weapon's cell, or the swing's stage.
    const auto shown = [this]() -> std::string {
        bool raised = false, thrust = false, swing0 = false, swing1 = false;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const SSource s = At(x, y);
                if (s.tag == kWeapons0) (s.x < 40 ? raised : thrust) = true;
                if (s.tag == kSwing) (s.x < 64 ? swing0 : swing1) = true;
            }
        std::string what;
        if (raised) what += "raised ";
        if (thrust) what += "thrust ";
        if (swing0) what += "swing0 ";
        if (swing1) what += "swing1 ";
        return what;
    };
    const std::pair<std::int32_t, std::string> expected[] = {
        {0, "raised "},  {2, "raised "},  {4, "raised "},  {6, "thrust "},  {8, "swing0 "},  {10, "swing0 "},
        {12, "swing0 "}, {14, "swing0 "}, {16, "swing1 "}, {18, "swing1 "}, {20, "swing1 "}, {22, "swing1 "},
        {24, "thrust "}, {26, "thrust "}, {28, "thrust "}, {30, "thrust "},
    };
    for (std::int32_t direction : {0, 5}) {
        for (const auto& [frame, what] : expected) {
            Pose(1, direction, frame);
            Draw();
            EXPECT_EQ(shown(), what) << "direction " << direction << " frame " << frame;
        }
    }
}

TEST_F(GraphicsTestSceneTest, MotionsPlaceAndSizeTheBody)
{
    scene->State().weapon = 32;
    scene->State().shield = 32;
    struct SCase
    {
        std::int32_t motion, direction, frame;
        int left, top, width, sourceX;
    };
    const SCase cases[] = {
        {0, 0, 0, 146, 110, 28, 0},    {2, 0, 0, 146, 112, 28, 84},  // two pixels lower
        {2, 6, 0, 146, 112, 28, 84},   {6, 6, 0, 154, 110, 40, 308}, // 40 wide, 8 toward the right
        {6, 3, 0, 138, 102, 40, 308},                                // 8 toward up-left on both axes
        {1, 0, 4, 146, 110, 28, 112},  {1, 0, 6, 146, 110, 28, 140}, // the lunge begins at frame 8
        {1, 0, 8, 146, 121, 28, 140},  {1, 2, 20, 122, 110, 28, 140}, {5, 0, 14, 146, 110, 28, 168},
        {5, 0, 16, 146, 110, 28, 196}, {3, 2, 0, 146, 110, 28, 0}, // page 0's motions stand on page 1
    };
    for (const SCase& c : cases) {
        Pose(c.motion, c.direction, c.frame);
        Draw();
        const SBox body = Find(kBody);
        EXPECT_EQ(std::tuple(body.x0, body.y0, body.x1 - body.x0 + 1), std::tuple(c.left, c.top, c.width))
            << "motion " << c.motion << " direction " << c.direction << " frame " << c.frame;
        EXPECT_EQ(At(body.x0, body.y0).x, c.sourceX) << "motion " << c.motion;
    }
}

TEST_F(GraphicsTestSceneTest, TheFallenFigureLeavesTheClearedScreenAndTheCounterStill)
{
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            SetWord(*screen, x, y, 0x123456);
    Pose(13, 0);
    CSceneTest::DrawingCounter() = 5;
    Draw();
    EXPECT_EQ(CSceneTest::DrawingCounter(), 5);
    for (int y = 0; y < 240; y += 7)
        for (int x = 0; x < 320; x += 7)
            ASSERT_EQ(Word(*screen, x, y) & 0xFFFFFF, 0u) << x << ", " << y;

    Pose(0, 0);
    Draw();
    EXPECT_EQ(CSceneTest::DrawingCounter(), 6);
}

TEST_F(GraphicsTestSceneTest, EntryTwentySevenRunsThroughFourCellsFourDrawingsEach)
{
    scene->State().weapon = 27;
    scene->State().shield = 27;
    Pose(0, 0);
    CSceneTest::DrawingCounter() = 15;
    std::vector<int> weaponCells, shieldRows;
    for (int i = 0; i < 16; ++i) {
        Draw();
        weaponCells.push_back(27 + (At(130, 113).x - 216) / 72);
        shieldRows.push_back(27 + (At(156, 121).y - 24 * 11) / 24);
    }
    const std::vector<int> expected = {27, 27, 27, 27, 28, 28, 28, 28, 29, 29, 29, 29, 30, 30, 30, 30};
    EXPECT_EQ(weaponCells, expected);
    EXPECT_EQ(shieldRows, expected);
    EXPECT_EQ(At(130, 113).tag, kWeapons16);
}

TEST_F(GraphicsTestSceneTest, PageZeroStepsSpeedAndSetsAndWalksByThePeriod)
{
    Press(Bit(18));
    Press(Bit(18));
    ASSERT_EQ(scene->State().page, 0);
    // Speed 3 up to 5, round to 1, and down from 1 round to 5.
    std::vector<std::int32_t> speeds;
    for (std::uint32_t button : {Bit(0), Bit(0), Bit(0), Bit(1), Bit(1)}) {
        Press(Bit(4) | button);
        speeds.push_back(scene->State().speed);
    }
    EXPECT_EQ(speeds, (std::vector<std::int32_t>{4, 5, 1, 5, 4}));
    EXPECT_EQ(scene->State().motion, 0);

    // Key 6 steps the set once per press however long it is held; key 7 the frame, within the set.
    scene->State().imageSet = 10;
    Press(Bit(6));
    Press(Bit(6));
    EXPECT_EQ(scene->State().imageSet, 0);
    Press(0);
    Press(Bit(6));
    EXPECT_EQ(scene->State().imageSet, 1);
    scene->State().imageSet = 4; // two characters
    for (int i = 0; i < 3; ++i) {
        Press(Bit(7));
        Press(0);
    }
    EXPECT_EQ(scene->State().imageFrame, 1);

    // The walking cycle at speed 1 (period 18): a new step every 54 frames, cycling 0, 1, 0, 2.
    scene->State().speed = 1;
    std::vector<std::int32_t> cycle;
    for (std::int32_t frame : {0, 52, 54, 108, 162, 216})
        cycle.push_back((scene->State().motionFrame = frame, scene->GetWalkingFrame()));
    EXPECT_EQ(cycle, (std::vector<std::int32_t>{0, 0, 1, 0, 2, 0}));
}

TEST_F(GraphicsTestSceneTest, TilePartsFollowTheNeighboursOfTheSameValue)
{
    Press(Bit(18));
    ASSERT_EQ(scene->State().page, 2);
    auto& grid = scene->State().grid;
    grid[5][4] = 1; // alone
    for (int c = 8; c <= 10; ++c)
        for (int r = 3; r <= 5; ++r)
            grid[std::size_t(c)][std::size_t(r)] = 1;
    grid[3][6] = 5;
    grid[4][6] = 5; // a pair side by side
    using Columns = std::array<std::int32_t, 4>;
    EXPECT_EQ(scene->GetTileColumns(5, 4), (Columns{0, 0, 0, 0}));
    EXPECT_EQ(scene->GetTileColumns(9, 4), (Columns{4, 4, 4, 4}));
    // The block's top-left corner: joined right and below only.
    EXPECT_EQ(scene->GetTileColumns(8, 3), (Columns{0, 2, 4, 1}));
    EXPECT_EQ(scene->GetTileColumns(3, 6), (Columns{0, 0, 2, 1}));
    // A 1 beside the border's 1s joins them.
    grid[1][1] = 1;
    EXPECT_EQ(scene->GetTileColumns(1, 1), (Columns{4, 1, 0, 2}));

    scene->State().frameCounter = 40;
    EXPECT_EQ(scene->GetTileRow(5), 7);
    EXPECT_EQ(scene->GetTileRow(3), 3);
    scene->State().frameCounter = 255;
    EXPECT_EQ(scene->GetTileRow(5), 20);
}

TEST_F(GraphicsTestSceneTest, TheTileEditorWritesAtTheWrappingCursor)
{
    Press(Bit(18));
    struct SCase
    {
        std::uint32_t keys;
        std::int32_t column, row, value;
    };
    // From (1, 1): left wraps to column 11, up to row 8.
    const SCase cases[] = {
        {Bit(9), 11, 1, 0},          {Bit(8), 11, 8, 0}, {Bit(0), 11, 8, 1}, {Bit(11), 1, 8, 0},
        {Bit(10) | Bit(3), 1, 1, 5}, {Bit(1), 1, 1, 3},  {Bit(2), 1, 1, 2},  {Bit(4), 1, 1, 4},
        {Bit(5), 1, 1, 6},           {Bit(5), 1, 1, 0},
    };
    for (const SCase& c : cases) {
        scene->State().dirty = 0;
        Press(c.keys);
        const CSceneTest::SState& s = scene->State();
        EXPECT_EQ(std::tuple(s.cursorColumn, s.cursorRow), std::tuple(c.column, c.row)) << c.keys;
        EXPECT_EQ(s.grid[std::size_t(c.column)][std::size_t(c.row)], c.value) << c.keys;
    }
    scene->State().dirty = 0;
    Press(Bit(6));
    EXPECT_EQ(scene->State().selection, 0);
    EXPECT_EQ(scene->State().dirty, 1) << "another tile picture redraws every cell";
}

TEST_F(GraphicsTestSceneTest, EmptyTablesAreNeverTakenModulo)
{
    scene->State().periods = {0, 0, 0, 0, 0, 0};
    scene->State().motionFrame = 100;
    EXPECT_EQ(scene->GetWalkingFrame(), 0);
    Draw();
    Press(Bit(18));
    scene->State().selectionCount = 0;
    Press(Bit(6));
    EXPECT_EQ(scene->State().selection, 0);
}

TEST_F(GraphicsTestSceneTest, PageTwoDrawsTheRenderedTilesAndTheCursor)
{
    Press(Bit(18));
    auto& grid = scene->State().grid;
    grid[2][2] = 6;
    grid[3][2] = 3;
    scene->State().frameCounter = 39; // the next frame's counter is 40
    grid[5][3] = 5;
    Press(0);
    Draw();
    // Cell (c, r) shows at ((c - 1) * 32, (r - 1) * 32); the tiles come from picture 102.
    EXPECT_EQ(At(32 + 5, 32 + 5), (SSource{kTiles, 32 + 5, 5}));         // value 6
    EXPECT_EQ(At(64 + 5, 32 + 5), (SSource{kTiles, 5, 3 * 32 + 5}));     // 3 alone, its top-left part
    EXPECT_EQ(At(64 + 20, 32 + 20), (SSource{kTiles, 20, 3 * 32 + 20})); // its bottom-right part
    EXPECT_EQ(At(128 + 5, 64 + 5), (SSource{kTiles, 5, 7 * 32 + 5}));    // 5 at counter 40: row 7
    EXPECT_EQ(At(96 + 5, 96 + 5), (SSource{kTiles, 5, 5}));              // value 0
    EXPECT_EQ(At(0, 0).tag, kCursor);

    // Value 5 goes on moving without a write.
    for (int i = 0; i < 16; ++i)
        Press(0);
    Draw();
    EXPECT_EQ(At(128 + 5, 64 + 5), (SSource{kTiles, 5, 8 * 32 + 5}));
}

// Pictures to look at for the golden renders: a figure, blades, round shields and an arc of light on
// a floor of flagstones, keyed on magenta where they are not drawn.
namespace art {

constexpr std::uint32_t kKey = 0xFF00FF;

// A head over a tunic whose colours tell the pose and the direction.
std::uint32_t Body(int x, int y)
{
    const int width = x >= 308 ? 40 : 28, fx = x >= 308 ? x - 308 : x % 28, fy = y % 36;
    const int hx = fx - width / 2, hy = fy - 7;
    if (hx * hx + hy * hy <= 30) return 0xF0C8A0;
    if (fy < 13 || fy > 33 || std::abs(hx) > 7) return kKey;
    return std::uint32_t(0x8020 + 0x0C * (x / 28)) << 8 | std::uint32_t(0x60 + 0x14 * (y / 36));
}

// A blade along the pose's frame (diagonal, upright, level) with a brown hilt.
std::uint32_t Weapon(int x, int y)
{
    const int cx = x % 72, cy = y % 128;
    const int off = cx < 24 ? std::abs(cx - cy % 24) : cx < 40 ? std::abs(cx - 32) : std::abs(cy % 16 - 8);
    const bool hilt = cx < 24 ? cy % 24 > 17 : cx < 40 ? cy % 32 > 24 : cx < 48;
    if (off <= 1) return 0xD0D8E8;
    return hilt && off <= 2 ? 0x804020 : kKey;
}

// A round shield with a golden rim.
std::uint32_t Shield(int x, int y)
{
    const int fx = x % 24 - 12, fy = y % 24 - 12, r = fx * fx + fy * fy;
    return r > 100 ? kKey : r > 64 ? 0xE0B040 : 0x2040A0u + std::uint32_t(y / 24) * 0x0C0000u;
}

// Flagstones under a wall.
std::uint32_t Floor(int x, int y)
{
    if (y < 60) return (x / 32 + y / 16) % 2 == 0 ? 0x403848 : 0x383040;
    if (x % 16 == 0 || y % 16 == 12) return 0x282420;
    return (x / 16 + y / 16) % 2 == 0 ? 0x706858 : 0x605848;
}

// The tiles: a colour a value, lighter by column, each 16 x 16 part outlined.
std::uint32_t Tile(int x, int y)
{
    static constexpr std::uint32_t kBase[6] = {0x304028, 0x806040, 0x406080, 0x8080A0, 0x608030, 0x2060C0};
    if (x % 16 == 0 || y % 16 == 0) return 0x181818;
    const int row = std::min(y / 32, 5);
    return kBase[row] + std::uint32_t((x / 32) * 0x0C) * 0x010101u + std::uint32_t(y / 32 - row) * 0x000808u;
}

std::uint32_t Cursor(int x, int y)
{
    return x < 2 || y < 2 || x > 29 || y > 29 ? 0xF0E040 : kKey;
}

} // namespace art

TEST_F(GraphicsTestSceneTest, GoldenPagesOneAndTwo)
{
    PutImage("50.bmp", 348, 288, art::Body);
    PutImage("51.bmp", 576, 256, art::Weapon);
    PutImage("52.bmp", 576, 256, art::Weapon);
    PutImage("53.bmp", 192, 384, art::Shield);
    PutImage("54.bmp", 192, 384, art::Shield);
    PutImage("201.bmp", 320, 240, art::Floor);
    PutImage("tiles.bmp", 160, 800, art::Tile);
    PutImage("99.bmp", 32, 32, art::Cursor);
    AccessImageList(kImageListDestroy, 0);

    // Page 1: the lower-left thrust with weapon 9 and shield 16, raised: the weapon under the body and
    // the shield over it.
    scene->State().weapon = 9;
    scene->State().shield = 16;
    Pose(1, 1, 4);
    Draw();
    ExpectGolden(*screen, "graphics_test_page1.bmp");

    Press(Bit(18));
    auto& grid = scene->State().grid;
    for (int c = 3; c <= 6; ++c)
        for (int r = 2; r <= 4; ++r)
            grid[std::size_t(c)][std::size_t(r)] = 2;
    grid[8][5] = grid[9][5] = grid[9][6] = 5;
    grid[4][6] = 6;
    grid[2][7] = 4;
    scene->State().cursorColumn = 5;
    scene->State().cursorRow = 3;
    Draw();
    ExpectGolden(*screen, "graphics_test_page2.bmp");
}

} // namespace
