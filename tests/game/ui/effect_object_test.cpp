#include "game/ui/effect_object.h"

#include "game/app/game_resource.h"
#include "game/characters/room_events.h"
#include "game/ui/drawing_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct RecordingSounds : ISoundEffectPlayer
{
    std::int32_t Play(std::int32_t number) override
    {
        played.push_back(number);
        return 0;
    }
    std::vector<std::int32_t> played;
};

// A game state with the heroine at (20, 20) on a floor whose cells (5..58, 4..39) are all open ground.
class EffectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game = std::make_unique<SGameResource>();
        game->soundEffects = &sounds;
        game->characters.player.x = 20;
        game->characters.player.y = 20;
        for (std::int32_t x = 5; x < 59; ++x)
            for (std::int32_t y = 4; y < 40; ++y)
                game->map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain = 5;
    }
    // Updates until the effect ends: the number of updates, at most `limit`.
    int RunToEnd(SEffectObject& effect, int limit = 100000)
    {
        int updates = 0;
        while (updates < limit) {
            ++updates;
            if (effect.Update(*game)) break;
        }
        return updates;
    }

    RecordingSounds sounds;
    std::unique_ptr<SGameResource> game;
};

TEST_F(EffectTest, TheViewPutsTheHeroinesCellAt144And104)
{
    auto& player = game->characters.player;
    player.offsetX = 5;
    player.offsetY = -3;
    player.viewOffsetX = 2; // the earthquake's shake
    player.viewOffsetY = 1;
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(*game, viewX, viewY);
    EXPECT_EQ(std::tuple(viewX, viewY), std::tuple(20 * 32 + 7 - 144, 20 * 32 - 2 - 104));
    SEffectObject effect;
    effect.x = 20;
    effect.y = 20;
    EXPECT_EQ(std::tuple(effect.ScreenX(viewX), effect.ScreenY(viewY)), std::tuple(144 - 7, 104 + 2));
}

TEST_F(EffectTest, AnEffectEndsWhenItsFramesRunOut)
{
    // Kind 0 has no routine and draws nothing; duration 0 ends at once.
    const std::tuple<std::int32_t, std::int32_t, int> cases[] = {{0, 1, 1}, {0, 0, 1}, {0, 5, 5}, {35, 1, 1}};
    for (const auto& [kind, duration, updates] : cases) {
        SEffectObject effect;
        effect.x = effect.y = 20;
        effect.kind = kind;
        effect.phaseModulus = duration;
        EXPECT_EQ(RunToEnd(effect), updates) << kind << " " << duration;
        EXPECT_EQ(effect.animPhase, duration);
    }
    auto target = std::make_unique<Draw::CFastPlane>();
    SEffectObject none;
    EXPECT_EQ(none.Draw(*target, 0, 0), 1);
    none.kind = kEffectSilentWait;
    EXPECT_EQ(none.Draw(*target, 0, 0), 0);
}

TEST_F(EffectTest, StartSetsTheDurationAndSoundOfItsKinds)
{
    // kind, duration, sound (-1 none), kind afterwards
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t> cases[] = {
        {16, 30, -1, 16}, {17, 65535, -1, 17}, {21, 65535, -1, 21}, {23, 32, -1, 23}, {24, 32, -1, 24},
        {25, 48, -1, 25}, {32, 48, -1, 32},    {29, 1, -1, 29},     {38, 1, -1, 38},  {34, 32, 35, 34},
        {35, 24, 34, 35}, {40, 64, -1, 40},    {41, 16, -1, 41},    {42, 32, -1, 42}, {48, 180, 99, 48},
        {30, 1, -1, 0},   {44, 1, -1, 0},      {0, 1, -1, 0},
    };
    for (const auto& [kind, duration, sound, after] : cases) {
        sounds.played.clear();
        SEffectObject effect;
        effect.Start(*game, 20, 20, kind);
        EXPECT_EQ(std::tuple(effect.kind, effect.phaseModulus), std::tuple(after, duration)) << kind;
        EXPECT_EQ(sounds.played, sound < 0 ? std::vector<std::int32_t>{} : std::vector<std::int32_t>{sound})
            << kind;
    }
    SEffectObject splash;
    splash.Start(*game, 20, 20, kEffectSplash);
    EXPECT_EQ(splash.spriteMode, 5);
}

TEST_F(EffectTest, ASilentRerunEndsEveryEffectInItsNextUpdateAndIsSilent)
{
    game->playMode = kPlaySilentRerun;
    std::vector<SEffectObject> started(6);
    started[0].Start(*game, 20, 20, kEffectLargeExplosion);
    started[1].Start(*game, 20, 20, kEffectFallingRock);
    started[2].StartKind29(*game, 20, 20, 23, 20);
    started[3].StartKind47(*game, 20, 20, 0xFFFF);
    started[4].StartKind31(*game, 3, 20, 20);
    started[5].Start(*game, 20, 20, kEffectScatterSweep);
    EXPECT_TRUE(sounds.played.empty());
    for (SEffectObject& effect : started) {
        EXPECT_TRUE(effect.Update(*game)) << effect.kind;
        EXPECT_EQ(effect.animPhase, effect.phaseModulus) << effect.kind;
    }
}

TEST_F(EffectTest, TheBindingSnapHidesTheCellsObjectUntilItEnds)
{
    for (const std::int32_t mode : {kPlayNormal, kPlaySilentRerun}) {
        game->playMode = mode;
        SMapCell& cell = game->map.GetCell(21, 20);
        cell.objectShown = 1;
        SEffectObject effect;
        effect.Start(*game, 21, 20, kEffectBindingSnap);
        EXPECT_EQ(cell.objectShown, 0);
        EXPECT_EQ(RunToEnd(effect), mode == kPlayNormal ? 16 : 1);
        EXPECT_EQ(cell.objectShown, 1) << mode;
    }
}

TEST_F(EffectTest, AFallingRockDropsOntoItsCellAndEnds)
{
    // kind, a character on the cell, start height
    const std::tuple<std::int32_t, bool, std::int32_t> cases[] = {{kEffectFallingRock, false, -104},
                                                                  {kEffectFallingRock, true, -120},
                                                                  {kEffectFallingIce, false, -112},
                                                                  {kEffectFallingBoulder, false, -104}};
    for (const auto& [kind, occupied, height] : cases) {
        game->characters.monsters[0].type = occupied ? 2 : 0;
        game->characters.monsterCount = 1;
        game->characters.monsters[0].x = game->characters.monsters[0].y = 21;
        SEffectObject effect;
        effect.Start(*game, 21, 21, kind);
        EXPECT_EQ(effect.offsetY, height) << kind;
        std::int32_t last = effect.offsetY;
        int updates = 0;
        while (!effect.Update(*game)) {
            ++updates;
            EXPECT_GE(effect.offsetY, last);
            last = effect.offsetY;
        }
        EXPECT_GT(last, height + 112) << kind;
        // 98 f (f + 1) / 2 / 512 first passes 112 at frame 34.
        EXPECT_EQ(updates, 34) << kind;
    }
}

TEST_F(EffectTest, EffectsOffScreenRunThroughWithinOneUpdate)
{
    SEffectObject rock;
    rock.Start(*game, 50, 5, kEffectFallingRock);
    EXPECT_EQ(RunToEnd(rock), 1);
    SEffectObject piece;
    piece.StartKind18(*game, 17, false, 64, 50, 5);
    EXPECT_EQ(RunToEnd(piece), 1);
    SEffectObject bolt; // a flight that stays far right of the screen
    bolt.StartKind14(*game, 40, 20, 50, 20);
    EXPECT_EQ(RunToEnd(bolt), 1);
    SEffectObject bullet; // starts off screen and flies in: the frames outside are skipped
    bullet.StartKind39(*game, 30, 20, 20, 20, 0);
    EXPECT_EQ(bullet.phaseModulus, 40);
    const int updates = RunToEnd(bullet);
    EXPECT_LT(updates, 40);
    EXPECT_GT(updates, 1);
}

TEST_F(EffectTest, FlightsLastFourFramesACell)
{
    // from, to, flight length
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t> cases[] = {
        {20, 20, 20, 20, 1}, {20, 20, 21, 20, 4}, {20, 20, 17, 22, 12}, {20, 20, 20, 13, 28}};
    for (const auto& [x0, y0, x1, y1, length] : cases) {
        EXPECT_EQ(FlightLength(x0, y0, x1, y1), length);
        SEffectObject bolt;
        bolt.StartKind14(*game, x0, y0, x1, y1);
        EXPECT_EQ(std::tuple(bolt.kind, bolt.phaseModulus, bolt.prevX, bolt.prevY),
                  std::tuple(14, length, x1, y1));
    }
    SEffectObject same;
    same.StartKind15(*game, 20, 20, 20, 20);
    EXPECT_EQ(RunToEnd(same), 1);
}

TEST_F(EffectTest, TheTrailBoltRunsOutAfterItsFlight)
{
    SEffectObject trail;
    trail.StartKind29(*game, 20, 20, 23, 20);
    EXPECT_EQ(std::tuple(trail.parameter, trail.phaseModulus, trail.imageId), std::tuple(12, 44, 11112));
    // The last sprite trails the head by 21 frames and stops at the flight's end.
    trail.animPhase = 32;
    EXPECT_EQ(trail.UpdateKind29(*game), 0);
    trail.animPhase = 33;
    EXPECT_EQ(trail.UpdateKind29(*game), 1);
    // Started through the generic starter it has no flight: nothing to draw, and no division by it.
    SEffectObject empty;
    empty.parameter = 0;
    EXPECT_EQ(empty.Start(*game, 20, 20, kEffectTrailBolt), 1);
    EXPECT_TRUE(empty.Update(*game));
}

TEST_F(EffectTest, TheWallArrowFliesFromTheWallBackToItsCell)
{
    // Walls: column 23 of row 20 is rock; the heroine at (20, 20).
    game->map.GetCell(23, 20).terrain = 2;
    // direction, wall cell, duration, parameter
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t> cases[] = {
        {6, 23, 20, 12, 2}, // right: three cells to the rock
        {2, 4, 20, 64, 6},  // left: to the rock outside the field
        {4, 20, 3, 68, 0},  // up: to the rock above the field
        {5, 37, 3, 68, 1},  // up and right, past the rock, to the rock above the field
    };
    for (const auto& [direction, wallX, wallY, duration, parameter] : cases) {
        SEffectObject arrow;
        arrow.StartKind30(*game, 20, 20, direction);
        EXPECT_EQ(std::tuple(arrow.x, arrow.y, arrow.prevX, arrow.prevY, arrow.phaseModulus, arrow.parameter),
                  std::tuple(wallX, wallY, 20, 20, duration, parameter))
            << direction;
        EXPECT_EQ(arrow.imageId, 11);
    }
    // Next to the wall it flies one cell: 8 pixels a frame from the wall towards the heroine.
    SEffectObject arrow;
    arrow.StartKind30(*game, 22, 20, 6);
    EXPECT_EQ(std::tuple(arrow.x, arrow.phaseModulus), std::tuple(23, 4));
    EXPECT_EQ(std::tuple(arrow.offsetX, arrow.offsetY, arrow.sourceLeft, arrow.sourceTop),
              std::tuple(-8, -16, 64, 160));
    EXPECT_FALSE(arrow.Update(*game));
    EXPECT_EQ(arrow.offsetX, -16);
    EXPECT_EQ(RunToEnd(arrow), 3);
    // The border of the map stops the walk even over open ground.
    game->map.GetCell(0, 30).terrain = 5;
    game->map.GetCell(1, 30).terrain = 5;
    SEffectObject border;
    border.StartKind30(*game, 2, 30, 2);
    EXPECT_EQ(border.x, 0);
    // A direction without a step shoots nothing and ends at once.
    for (const std::int32_t bad : {-1, 8, 12}) {
        SEffectObject none;
        none.StartKind30(*game, 20, 20, bad);
        EXPECT_EQ(none.imageId, -1);
        EXPECT_EQ(RunToEnd(none), 1) << bad;
    }
}

TEST_F(EffectTest, ItemFlightsTakeTheirItemsClassAndLength)
{
    auto& item = game->items.GetItem(7);
    item.itemClass = 3;
    SEffectObject arrow;
    arrow.StartKind44(*game, 20, 20, 24, 21, 7, 2, 5);
    EXPECT_EQ(std::tuple(arrow.parameter, arrow.itemId, arrow.phaseModulus, arrow.animPhase),
              std::tuple(3, 7, 12, 5));
    EXPECT_EQ(std::tuple(arrow.sourceLeft, arrow.sourceTop, arrow.sourceRight, arrow.sourceBottom),
              std::tuple(224, 224, 256, 256));
    // A flight no longer than the start frame starts at frame 0.
    SEffectObject shortFlight;
    shortFlight.StartKind44(*game, 20, 20, 21, 20, 7, 2, 3);
    EXPECT_EQ(std::tuple(shortFlight.phaseModulus, shortFlight.animPhase), std::tuple(3, 0));
    SEffectObject drop;
    drop.StartKind43(*game, 20, 20, 20, 21, 7, true);
    EXPECT_EQ(drop.phaseModulus, 8);
    drop.StartKind43(*game, 20, 20, 20, 21, 7, false);
    EXPECT_EQ(drop.phaseModulus, 16);
    SEffectObject hop;
    hop.StartKind46(*game, 20, 20, 22, 20, 7);
    EXPECT_EQ(hop.phaseModulus, 8);
    SEffectObject slide;
    slide.StartKind45(*game, 7, 20, 20, 21, 21);
    EXPECT_EQ(RunToEnd(slide), 8);
    EXPECT_EQ(std::tuple(slide.offsetX, slide.offsetY), std::tuple(32, 32));
}

TEST_F(EffectTest, AnItemFlyingAwayEndsAsSoonAsItLeavesTheScreen)
{
    SEffectObject away;
    away.StartKind47(*game, 20, 20, 0xFFFF);
    std::int32_t viewX = 0, viewY = 0;
    GetViewOrigin(*game, viewX, viewY);
    int updates = 0;
    while (!away.Update(*game)) {
        ++updates;
        EXPECT_LT(away.ScreenX(viewX), 320);
        EXPECT_GT(away.ScreenY(viewY), -32);
    }
    EXPECT_LT(updates, 179);
    EXPECT_EQ(away.animPhase, 180);
}

TEST_F(EffectTest, PiecesFlyAtTheirAngleAndFall)
{
    SEffectObject piece;
    piece.StartKind18(*game, kEffectFallingBoulder, true, 64, 20, 20);
    EXPECT_EQ(std::tuple(piece.kind, piece.phaseModulus, piece.parameter, piece.spriteMode),
              std::tuple(22, 16, 64, -8));
    // Angle 64 is a quarter turn: sideways at 1024 / 512 pixels a frame.
    EXPECT_EQ(piece.offsetX, FixedSin(64, 1024) / 512 + 8);
    piece.Update(*game);
    EXPECT_EQ(piece.offsetX, 2 * FixedSin(64, 1024) / 512 + 8);
    SEffectObject other;
    other.StartKind18(*game, 19, false, 300, 20, 20);
    EXPECT_EQ(std::tuple(other.kind, other.parameter, other.spriteMode), std::tuple(20, 0, 8));
}

TEST_F(EffectTest, SparklesKeepANegativeSpreadNearTheirCell)
{
    SEffectObject sparkles;
    sparkles.StartKind38(*game, 20, 20, 1, -16, 0, -16);
    EXPECT_EQ(std::tuple(sparkles.kind, sparkles.phaseModulus, sparkles.SparkleSpread()),
              std::tuple(38, 32, -16));
    EXPECT_EQ(RunToEnd(sparkles), 32);
    // Far off the screen every frame runs through.
    SEffectObject far;
    far.StartKind38(*game, 40, 20, 0, 32, 0, 0);
    EXPECT_EQ(RunToEnd(far), 1);
}

TEST_F(EffectTest, TheFrameUpkeepDropsEndedEffectsAndOnlyTheMainListHoldsTheWorld)
{
    SEffectObject shortOne, longOne;
    shortOne.Start(*game, 20, 20, kEffectStrike);
    shortOne.phaseModulus = 2;
    longOne.Start(*game, 20, 20, kEffectSmallExplosion);
    game->effects = {shortOne, longOne, shortOne};
    game->overlayEffects = {shortOne};
    EXPECT_TRUE(IsWorldAnimating(*game));
    UpdateDungeonFrame(*game);
    EXPECT_EQ(game->effects.size(), 3u);
    UpdateDungeonFrame(*game);
    ASSERT_EQ(game->effects.size(), 1u);
    EXPECT_EQ(game->effects[0].kind, kEffectSmallExplosion);
    EXPECT_TRUE(game->overlayEffects.empty());
    game->effects.clear();
    game->overlayEffects = {longOne};
    EXPECT_FALSE(IsWorldAnimating(*game));
    UpdateDungeonFrame(*game);
    EXPECT_EQ(game->overlayEffects.size(), 1u) << "still drawn while the turn goes on";
}

TEST_F(EffectTest, OnlyEffectsNearTheHeroineJoinTheMainList)
{
    const std::tuple<std::int32_t, std::int32_t, bool> cases[] = {
        {25, 24, true}, {15, 16, true}, {26, 20, false}, {20, 25, false}, {14, 20, false}, {20, 15, false}};
    for (const auto& [x, y, added] : cases) {
        game->effects.clear();
        SEffectObject effect;
        effect.x = x;
        effect.y = y;
        AddEffectNearPlayer(*game, effect);
        EXPECT_EQ(game->effects.size(), added ? 1u : 0u) << x << "," << y;
    }
}

TEST(ObjectScreenTop, SortsByTheMiddleOfTheSpriteInsideTheBand)
{
    // size class, screen x, screen y, lift, result, depth
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t>
        cases[] = {
            {0, 0, 0, 0, 0, -16},  {5, 10, 100, 4, 0, 72}, {0, 319, 271, 0, 0, 255}, {0, 320, 0, 0, 1, 0},
            {0, 0, 272, 0, 1, 0},  {0, -32, 0, 0, 1, 0},   {5, 0, -64, 0, 1, 0},     {5, 0, -63, 0, 0, -95},
            {-8, 0, 0, 0, 0, -16}, {9, 0, 0, 0, 0, -16},
        };
    for (const auto& [sizeClass, sx, sy, lift, result, depth] : cases) {
        SEffectObject object;
        object.x = 2;
        object.y = 3;
        object.offsetX = sx;
        object.offsetY = sy;
        object.spriteMode = sizeClass;
        object.lift = lift;
        std::int32_t got = 7;
        EXPECT_EQ(object.GetScreenTop(64, 96, got), result) << sizeClass << " " << sx << " " << sy;
        EXPECT_EQ(got, result == 0 ? depth : 7) << sizeClass << " " << sx << " " << sy;
    }
}

// ---- Drawings with pictures made for the test.

// A sheet of round blobs, one 8 x 8 cell each, coloured by the cell; `back` between them.
std::uint32_t Blobs(int x, int y, std::uint32_t back)
{
    const int cx = x % 8, cy = y % 8;
    if ((cx - 3) * (cx - 3) + (cy - 3) * (cy - 3) > 10) return back;
    const std::uint32_t cell = std::uint32_t(x / 8 * 7 + y / 8 * 13);
    return 0x404040 | ((cell * 0x35) & 0xC0) << 16 | ((cell * 0x59) & 0xC0) << 8 | ((cell * 0x7B) & 0xC0);
}

class EffectDrawingTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        game = std::make_unique<SGameResource>();
        game->soundEffects = &sounds;
        game->characters.player.x = 20;
        game->characters.player.y = 20;
        const auto keyed = [](int x, int y) { return Blobs(x, y, 0xFF00FF); };
        const auto additive = [](int x, int y) { return Blobs(x, y, 0x000000); };
        // The common sheet's additive parts (splashes, bullets, comets and strikes) lie on black.
        const auto common = [](int x, int y) {
            const bool black = (y < 96 && x >= 128 && x < 256) ||
                               (x >= 176 && x < 192 && y >= 160 && y < 288) || (y >= 384 && x < 192);
            return Blobs(x, y, black ? 0x000000 : 0xFF00FF);
        };
        PutImage("common.bmp", 320, 512, common);
        PutImage("traps.bmp", 256, 192, keyed);
        PutImage("shadows.bmp", 32, 66, [](int, int y) { return y >= 14 && y < 24 ? 0x202020u : 0xFF00FFu; });
        PutImage("glow.bmp", 160, 160, additive);
        PutImage("gas.bmp", 512, 32, additive);
        PutImage("explosion.bmp", 768, 96, additive);
        PutImage("sweep.bmp", 96, 272, additive);
        PutImage("sweep2.bmp", 192, 544, additive);
        std::vector<std::string> list = {"common.bmp,10",   "traps.bmp,11",    "shadows.bmp,404",
                                         "glow.bmp,410",    "gas.bmp,11112",   "explosion.bmp,11104",
                                         "sweep.bmp,11200", "sweep2.bmp,11201"};
        static constexpr int kFlames[6][2] = {{6, 16}, {12, 32}, {18, 48}, {24, 64}, {36, 96}, {48, 128}};
        for (int i = 0; i < 6; ++i) {
            const std::string name = "flame" + std::to_string(i) + ".bmp";
            PutImage(name, 32 * kFlames[i][0], kFlames[i][1], additive);
            list.push_back(name + "," + std::to_string(420 + i));
        }
        std::string text;
        for (const std::string& line : list)
            text += line + "\r\n";
        PutFile(Exe() / "data" / "image" / "list.txt", text);
        screen = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                SetWord(*screen, x, y, ((x / 16 + y / 16) % 2) != 0 ? 0x203028 : 0x182420);
    }
    void DrawAt(SEffectObject& effect, std::int32_t frame)
    {
        while (effect.animPhase < frame && !effect.Update(*game)) {
        }
        std::int32_t viewX = 0, viewY = 0;
        GetViewOrigin(*game, viewX, viewY);
        effect.Draw(*screen, viewX, viewY);
    }
    // Whether the effect at this frame leaves a plane wider than the screen as it was.
    bool Unchanged(const SEffectObject& effect, std::int32_t frame)
    {
        constexpr int kWidth = 1024;
        auto before = MakePlane(Draw::kPixelXRGB8888, kWidth, 240, 0x102030);
        SEffectObject copy = effect;
        copy.animPhase = frame;
        std::int32_t viewX = 0, viewY = 0;
        GetViewOrigin(*game, viewX, viewY);
        copy.Draw(*before, viewX, viewY);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (Word(*before, x, y) != 0x102030) return false;
        return true;
    }

    RecordingSounds sounds;
    std::unique_ptr<SGameResource> game;
    std::unique_ptr<Draw::CFastPlane> screen;
};

TEST_F(EffectDrawingTest, TheSweepDrawsOnlyInTheFirst17FramesOfEvery40)
{
    SEffectObject sweep;
    sweep.Start(*game, 20, 20, kEffectScatterSweep);
    for (const std::int32_t frame : {0, 16, 40, 56, 160, 176})
        EXPECT_FALSE(Unchanged(sweep, frame)) << frame;
    for (const std::int32_t frame : {17, 39, 57, 79, 177, 179})
        EXPECT_TRUE(Unchanged(sweep, frame)) << frame;
}

TEST_F(EffectDrawingTest, TheReadingGlowFadesOutByFrame64)
{
    SEffectObject glow;
    glow.Start(*game, 20, 20, kEffectReadingGlow);
    EXPECT_FALSE(Unchanged(glow, 30));
    EXPECT_FALSE(Unchanged(glow, 63));
    EXPECT_TRUE(Unchanged(glow, 64));
}

TEST_F(EffectDrawingTest, EffectsInPlaceLookAsTheyAlwaysHave)
{
    game->characters.player.y = 21; // the strike's column reaches up the screen
    std::vector<SEffectObject> effects(9);
    effects[0].Start(*game, 16, 20, kEffectStrike);
    DrawAt(effects[0], 4);
    effects[1].Start(*game, 18, 22, kEffectSmallExplosion);
    DrawAt(effects[1], 9);
    effects[2].StartKind36(*game, 22, 18);
    DrawAt(effects[2], 6);
    effects[3].StartKind38(*game, 24, 20, 1, 32, 0, 0);
    DrawAt(effects[3], 10);
    effects[4].Start(*game, 18, 18, kEffectReadingGlow);
    DrawAt(effects[4], 20);
    effects[5].Start(*game, 23, 23, kEffectScales);
    DrawAt(effects[5], 13);
    effects[6].Start(*game, 21, 21, kEffectFallingBoulder);
    DrawAt(effects[6], 20);
    effects[7].StartKind31(*game, 5, 16, 23);
    DrawAt(effects[7], 7);
    effects[8].Start(*game, 24, 23, kEffectPoisonGas);
    DrawAt(effects[8], 20);
    ExpectGolden(*screen, "effects_in_place.bmp");
}

TEST_F(EffectDrawingTest, FlightsLookAsTheyAlwaysHave)
{
    auto& arrowItem = game->items.GetItem(3);
    arrowItem.itemClass = 3;
    auto& staff = game->items.GetItem(4);
    staff.itemClass = 7;
    std::vector<SEffectObject> effects(8);
    effects[0].StartKind14(*game, 16, 17, 24, 17);
    DrawAt(effects[0], 20);
    effects[1].StartKind15(*game, 16, 18, 24, 19);
    DrawAt(effects[1], 18);
    effects[2].StartKind29(*game, 16, 19, 24, 19);
    DrawAt(effects[2], 24);
    effects[3].StartKind39(*game, 16, 20, 23, 20, 2);
    DrawAt(effects[3], 12);
    effects[4].StartKind37(*game, 16, 22, 20, 22);
    DrawAt(effects[4], 12);
    effects[5].StartKind44(*game, 17, 23, 23, 23, 3, 6, 0);
    DrawAt(effects[5], 6);
    effects[6].StartKind46(*game, 20, 23, 22, 23, 4);
    DrawAt(effects[6], 3);
    effects[7].StartKind30(*game, 20, 24, 6);
    DrawAt(effects[7], 2);
    ExpectGolden(*screen, "effects_flying.bmp");
}

TEST_F(EffectDrawingTest, DoubleSizeDrawsAtTwiceThePosition)
{
    g_globalData.doubleSize = true;
    game->characters.player.x = 24;
    game->characters.player.y = 23;
    std::vector<SEffectObject> effects(4);
    effects[0].StartKind14(*game, 20, 20, 23, 20);
    DrawAt(effects[0], 9);
    effects[1].Start(*game, 21, 21, kEffectReadingGlow);
    DrawAt(effects[1], 12);
    effects[2].StartKind38(*game, 20, 22, 2, 32, 0, 0);
    DrawAt(effects[2], 12);
    effects[3].Start(*game, 20, 20, kEffectScatterSweep);
    DrawAt(effects[3], 6);
    ExpectGolden(*screen, "effects_double.bmp");
}

} // namespace
