#include "game/app/game_resource.h"
#include "game/characters/animation_periods.h"
#include "game/characters/character_drawing.h"
#include "game/support/game_with_kinds.h"
#include "game/ui/drawing_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;

// ---- The test's own sheets: every frame one solid colour, so that a pixel tells which frame it is.

std::uint32_t HeroineColour(int column, int row)
{
    return std::uint32_t(40 + 12 * column) << 16 | std::uint32_t(40 + 20 * row) << 8 | 200;
}
std::uint32_t MonsterColour(int kind, int column, int row)
{
    return std::uint32_t(20 + 25 * column) << 16 | std::uint32_t(100 + 15 * row) << 8 |
           std::uint32_t(10 + 30 * (kind % 8));
}
// The swing overlays by stage and direction, on the additive black.
std::uint32_t SwingColour(int image, int stage, int direction)
{
    return std::uint32_t(10 * (image - 109)) << 16 | std::uint32_t(20 + 10 * stage) << 8 |
           std::uint32_t(20 + 10 * direction);
}
// Image 10 by 16-pixel cells.
std::uint32_t CommonColour(int x, int y)
{
    return std::uint32_t(30 + (x / 16) * 9) << 16 | std::uint32_t(30 + (y / 16) * 6) << 8 | 90;
}
std::uint32_t Rgb(Draw::ISurface& plane, int x, int y)
{
    return Word(plane, x, y) & 0xFFFFFF;
}

class CharacterDrawingTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        InitAnimationPeriods();
        std::vector<std::string> lines;
        auto put = [&](const std::string& name, int id, int w, int h,
                       std::function<std::uint32_t(int, int)> f) {
            PutImage(name, w, h, std::move(f));
            lines.push_back(name + "," + std::to_string(id));
        };
        put("100-heroine.bmp", 100, 404, 288,
            [](int x, int y) { return HeroineColour(x >= 364 ? 13 : x / 28, y / 36); });
        put("10-common.bmp", 10, 320, 512, CommonColour);
        put("404-shadows.bmp", 404, 32, 66, [](int, int) { return 0x202020u; });
        put("0-interface.bmp", 0, 272, 272,
            [](int x, int y) { return y >= 36 && y < 45 ? 0xE0E0E0u - std::uint32_t(x) : kMagenta; });
        for (int kind : kKinds)
            put(std::to_string(500 + kind) + "-monster.bmp", 500 + kind, 224, 256,
                [kind](int x, int y) { return MonsterColour(kind, x / 32, y / 32); });
        static constexpr int kFlameWidths[6] = {6, 12, 18, 24, 36, 48};
        static constexpr int kFlameHeights[6] = {16, 32, 48, 64, 96, 128};
        for (int s = 0; s < 6; ++s)
            put("42" + std::to_string(s) + "-flame.bmp", 420 + s, 32 * kFlameWidths[s], kFlameHeights[s],
                [](int, int) { return 0x603010u; });
        put("410-glow.bmp", 410, 160, 160, [](int, int) { return 0x404040u; });
        for (int image = 110; image <= 112; ++image)
            put(std::to_string(image) + "-swing.bmp", image, 256, 512,
                [image](int x, int y) { return SwingColour(image, x / 64, y / 64); });
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        PutFile(Exe() / "data" / "image" / "list.txt", text);

        game = MakeTestGame();
        for (int kind : kKinds)
            AddMonsterKind(*game, kind);
        game->map.GetCell(20, 20).terrain = 5;
        plane = MakePlane(Draw::kPixelXRGB8888, 320, 240);
    }
    void TearDown() override
    {
        plane.reset();
        game.reset();
        DrawingTest::TearDown();
    }

    // A monster of `kind` in `slot` on (x, y): awake, on screen, seen, at speed value 1.
    CCharacterControl::SMonster& Monster(std::uint16_t slot, int kind, int x, int y)
    {
        CCharacterControl::SMonster& m = PlaceMonster(*game, slot, kind, x, y);
        m.viewFlags[1] = 1;
        m.animSpeed = 1;
        return m;
    }
    void Draw(bool showAll = true)
    {
        plane = MakePlane(Draw::kPixelXRGB8888, 320, 240);
        DrawAllCharacters(game->characters, *plane, *game, showAll);
    }
    // The centre of the 32 x 32 sprite of a class-0 monster standing on map cell (x, y).
    std::uint32_t CellCentre(int x, int y, int dy = 0)
    {
        return Rgb(*plane, 144 + (x - 20) * 32 + 16, 104 + (y - 20) * 32 + 16 + dy);
    }

    static constexpr std::array<int, 6> kKinds = {4, 8, 20, 56, 88, 40};
    std::unique_ptr<SGameResource> game;
    std::unique_ptr<Draw::CFastPlane> plane;
};

// ---- Order and what is seen.

TEST_F(CharacterDrawingTest, LowerMonstersAreDrawnOverHigherOnesAndEqualTopsKeepTableOrder)
{
    Monster(0, 8, 21, 21).offsetY = -16; // lower on the screen, first in the table
    Monster(1, 4, 21, 20);
    Draw();
    EXPECT_EQ(Rgb(*plane, 192, 125), MonsterColour(8, 0, 0));

    Monster(0, 8, 21, 20);
    Monster(1, 4, 21, 20);
    Draw();
    EXPECT_EQ(CellCentre(21, 20), MonsterColour(4, 0, 0));
}

TEST_F(CharacterDrawingTest, AnEffectOfKind40IsDrawnOverEveryCharacter)
{
    Monster(0, 4, 20, 19);
    SEffectObject glow;
    glow.Start(*game, 20, 19, kEffectReadingGlow);
    glow.animPhase = 16;
    glow.RunFrameRoutine(*game);
    game->effects.push_back(glow);
    Draw();
    const std::uint32_t plain = MonsterColour(4, 0, 0);
    const std::uint32_t drawn = CellCentre(20, 19);
    EXPECT_NE(drawn, plain);
    EXPECT_GT(drawn & 0xFF, plain & 0xFF); // added over it
}

TEST_F(CharacterDrawingTest, BlindnessHidesMonstersAndFiresAndHallucinationShowsHerFigure)
{
    Monster(0, 4, 22, 20);
    SMapCell& fire = game->map.GetCell(18, 20);
    fire.objectKind = kObjectFire;
    fire.objectId = 20;
    fire.objectShown = 1;
    const std::uint32_t fireSpot = 0;
    Draw();
    EXPECT_EQ(CellCentre(22, 20), MonsterColour(4, 0, 0));
    std::uint32_t fireSum = 0;
    for (int y = 64; y < 136; ++y)
        for (int x = 80; x < 112; ++x)
            fireSum |= Rgb(*plane, x, y);
    EXPECT_NE(fireSum, fireSpot);

    game->characters.player.status.blindTurns = 5;
    Draw();
    EXPECT_EQ(CellCentre(22, 20), 0u);
    fireSum = 0;
    for (int y = 64; y < 136; ++y)
        for (int x = 80; x < 112; ++x)
            fireSum |= Rgb(*plane, x, y);
    EXPECT_EQ(fireSum, fireSpot);

    game->characters.player.status.blindTurns = 0;
    game->characters.player.status.hallucinationTurns = 5;
    game->characters.monsters[0].direction = 2;
    Draw();
    // Her figure stands 2 right of the cell and 15 above it; the walking frame at counter 0.
    EXPECT_EQ(Rgb(*plane, 208 + 2 + 14, 104 - 15 + 20), HeroineColour(0, 2));
    fireSum = 0;
    for (int y = 64; y < 136; ++y)
        for (int x = 80; x < 112; ++x)
            fireSum |= Rgb(*plane, x, y);
    EXPECT_EQ(fireSum, fireSpot);
}

TEST_F(CharacterDrawingTest, OnlySeenMonstersAreDrawnUnlessAllAreShown)
{
    Monster(0, 4, 21, 20).viewFlags[1] = 0;
    Draw(false);
    EXPECT_EQ(CellCentre(21, 20), 0u);
    Draw(true);
    EXPECT_EQ(CellCentre(21, 20), MonsterColour(4, 0, 0));
}

// ---- Chests and pillars.

TEST_F(CharacterDrawingTest, ADyingChestBlinksEverySecondPairOfFrames)
{
    CCharacterControl::SMonster& chest = Monster(0, 4, 21, 20);
    chest.type = kCharacterChest;
    chest.kindId = 0xFFFF;
    for (int frame = 0; frame < 8; ++frame) {
        chest.motion = 13;
        chest.motionFrame = frame;
        Draw();
        const bool shown = frame == 2 || frame == 3 || frame == 6 || frame == 7;
        EXPECT_EQ(CellCentre(21, 20), shown ? CommonColour(96 + 16, 96 + 16) : 0u) << frame;
    }
    chest.motion = 0;
    Draw();
    EXPECT_EQ(CellCentre(21, 20), CommonColour(96 + 16, 64 + 16));
}

TEST_F(CharacterDrawingTest, AnIcePillarCracksByItsHpAndStandsAQuarterHigher)
{
    CCharacterControl::SMonster& pillar = Monster(0, 4, 21, 20);
    pillar.type = kCharacterIcePillar;
    pillar.kindId = 0xFFFF;
    for (const auto& [hp, column] : {std::pair{3, 0}, {2, 32}, {1, 64}}) {
        pillar.hp = hp;
        Draw();
        EXPECT_EQ(CellCentre(21, 20, -8), CommonColour(column + 16, 352 + 16)) << hp;
    }
}

// ---- Frame rules.

TEST_F(CharacterDrawingTest, ShadowSizesFollowClassFlightAndSpecies)
{
    const struct
    {
        int kind;
        std::uint16_t typeFlags;
        std::int32_t sizeClass;
        std::int32_t size;
    } cases[] = {
        {4, 0, 0, 2},           // class 0
        {4, kKindFlying, 0, 1}, // flying, class 0
        {4, 0, 1, 0},           // class 1
        {4, 0, 2, 4},           // class 2
        {20, 0, 0, 0},          // species 5
        {56, 0, 0, 3},          // species 14
        {88, 0, 0, -1},         // species 22
        {40, 0, 0, 2},          // species 10
    };
    for (const auto& c : cases) {
        SMonsterKind& kind = AddMonsterKind(*game, c.kind);
        kind.typeFlags = c.typeFlags;
        CCharacterControl::SMonster& m = Monster(0, c.kind, 21, 20);
        m.spriteMode = c.sizeClass;
        EXPECT_EQ(GetMonsterShadowSize(m, *game), c.size) << c.kind << " " << c.sizeClass;
        kind.typeFlags = 0;
    }
    // Species 8 glows without a shadow until its abilities are sealed.
    AddMonsterKind(*game, 32);
    CCharacterControl::SMonster& glowing = Monster(0, 32, 21, 20);
    EXPECT_EQ(GetMonsterShadowSize(glowing, *game), -1);
    glowing.status.sealTurns = 3;
    EXPECT_EQ(GetMonsterShadowSize(glowing, *game), 2);
}

TEST_F(CharacterDrawingTest, LungeSpinAndWalkingFrames)
{
    EXPECT_EQ(MonsterLungeDistance(2), 16);
    EXPECT_EQ(MonsterLungeDistance(9), 24);
    const struct
    {
        int direction, dx, dy;
    } lunges[] = {{0, 0, 16}, {2, -16, 0}, {4, 0, -16}, {6, 16, 0}, {1, -11, 11}, {3, -11, -11}, {7, 11, 11}};
    for (const auto& c : lunges) {
        std::int32_t dx = 0, dy = 0;
        LungeOffset(c.direction, MonsterLungeDistance(2), dx, dy);
        EXPECT_EQ(dx, c.dx) << c.direction;
        EXPECT_EQ(dy, c.dy) << c.direction;
    }
    EXPECT_EQ(SpinRow(20, 0), 2);
    EXPECT_EQ(SpinRow(5, 6), 3);
    EXPECT_EQ(SpinRow(40, 1), 3);
    EXPECT_EQ(SpinRow(60, 5), 5);
    EXPECT_EQ(WalkingColumn(27, 2), 2);
    EXPECT_EQ(WalkingColumn(9, 2), 1);
    EXPECT_EQ(WalkingColumn(36, 0), 1);

    CCharacterControl::SMonster& m = Monster(0, 4, 21, 20);
    m.motion = 15;
    m.motionFrame = 20;
    EXPECT_EQ(GetMonsterFrame(m, *game, 0).row, 2);
    m.motion = 5;
    m.motionFrame = 2;
    m.direction = 3;
    const SMonsterFrame attack = GetMonsterFrame(m, *game, 0);
    EXPECT_EQ(attack.column, 5);
    EXPECT_EQ(attack.dx, -11);
    EXPECT_EQ(attack.dy, -11);
    m.motion = 0;
    m.animSpeed = 2;
    EXPECT_EQ(GetMonsterFrame(m, *game, 27).column, 2);
    m.status.paralysisTurns = 2;
    EXPECT_EQ(GetMonsterFrame(m, *game, 27).column, 0);
}

TEST_F(CharacterDrawingTest, SpecialAttacksUseThePoseOrTheLungeOfTheirSpecies)
{
    const struct
    {
        int kind;
        std::int32_t chance;
        std::int32_t column;
        std::int32_t dy; // facing down at frame 1
    } cases[] = {
        {40, 30, 4, 0},  // species 10: its own pose
        {4, 0, 0, 0},    // no special chance: standing
        {0, 30, 5, 13},  // species 0: the attack lunge
        {24, 30, 5, 23}, // species 6: the lunge run backwards
        {8, 30, 0, 0},   // species 2: none of its own
    };
    for (const auto& c : cases) {
        AddMonsterKind(*game, c.kind).specialChance = c.chance;
        CCharacterControl::SMonster& m = Monster(0, c.kind, 21, 20);
        m.motion = 11;
        m.motionFrame = 1;
        const SMonsterFrame frame = GetMonsterFrame(m, *game, 0);
        EXPECT_EQ(frame.column, c.column) << c.kind;
        EXPECT_EQ(frame.dy, c.dy) << c.kind;
    }
}

TEST_F(CharacterDrawingTest, TheHeroinesSpecialFramesAndSwing)
{
    CCharacterControl::SPlayer& p = game->characters.player;
    p.direction = 5;
    const struct
    {
        std::int32_t motion, frame, sheetX, sheetY;
    } cases[] = {
        {28, 0, 280, 0},   {28, 8, 280, 36},  {29, 3, 280, 72},  {30, 9, 280, 180}, {39, 0, 280, 216},
        {20, 0, 308, 0},   {34, 8, 308, 108}, {38, 0, 308, 144}, {26, 0, 252, 0},   {27, 0, 252, 36},
        {23, 0, 364, 180}, {18, 0, 168, 180}, {10, 0, 84, 180},  {31, 0, 224, 180}, {21, 0, 336, 180},
    };
    for (const auto& c : cases) {
        p.motionFrame = c.frame;
        const SPlayerFrame frame = GetPlayerFrame(p, c.motion, 0);
        EXPECT_EQ(frame.sheetX, c.sheetX) << c.motion;
        EXPECT_EQ(frame.sheetY, c.sheetY) << c.motion;
    }
    p.motionFrame = 1;
    const SPlayerFrame swing = GetPlayerFrame(p, 5, 0);
    EXPECT_TRUE(swing.swing);
    EXPECT_EQ(swing.lunge, 17);
    EXPECT_EQ(GetPlayerFrame(p, 6, 0).lunge, 4); // a blocked swing lunges a quarter
    EXPECT_EQ(GetPlayerFrame(p, 23, 0).width, 40);

    std::int32_t dx = 0, dy = 0;
    SwingOverlayOffset(3, dx, dy);
    EXPECT_EQ(dx, -30);
    EXPECT_EQ(dy, -22);
    EXPECT_EQ(SwingStage(0, 0, 10), 0);
    EXPECT_EQ(SwingStage(0, 9, 10), 3);
    EXPECT_EQ(SwingStage(2, 7, 10), 2);
}

TEST_F(CharacterDrawingTest, LevelMarksShowEveryDigitOfTheLevel)
{
    const struct
    {
        std::int32_t level;
        std::vector<std::int32_t> digits;
    } cases[] = {{1, {}}, {0, {}}, {2, {2}}, {10, {1, 0}}, {99, {9, 9}}, {150, {1, 5, 0}}};
    for (const auto& c : cases) {
        std::array<std::int32_t, 3> digits{};
        const std::int32_t count = LevelMarkDigits(c.level, digits);
        EXPECT_EQ(std::vector<std::int32_t>(digits.begin(), digits.begin() + count), c.digits) << c.level;
    }
}

TEST_F(CharacterDrawingTest, TintsMixTheirColourInAndSlownessHalvesTheBrightness)
{
    const struct
    {
        bool strong, weak;
        std::int32_t speedValue;
        std::uint32_t expected;
    } cases[] = {
        {false, false, 1, MonsterColour(4, 0, 0)},
        {true, false, 1, 0x4E5B69},  // (3 x (20, 100, 130) + (255, 64, 32)) / 4
        {false, true, 1, 0x276BA1},  // ... + (96, 128, 255)
        {false, false, 0, 0x0A3241}, // each channel halved
        {true, false, -1, 0x272D34},
    };
    for (const auto& c : cases) {
        CCharacterControl::SMonster& m = Monster(0, 4, 21, 20);
        m.strongBodyTurns = c.strong ? 4 : 0;
        m.status.weakBodyTurns = c.weak ? 4 : 0;
        m.animSpeed = c.speedValue;
        Draw();
        EXPECT_EQ(CellCentre(21, 20), c.expected) << c.strong << c.weak << c.speedValue;
    }
}

TEST_F(CharacterDrawingTest, TheSwingOverlayFollowsHerSwingOnceAndClearsItsFlag)
{
    CCharacterControl::SPlayer& p = game->characters.player;
    p.direction = 3;
    p.motion = 5;
    p.motionFrame = 0;
    p.motionLength = 10;
    Draw();
    // Her sprite stands at (146, 89); the overlay of direction 3 at (-30, -22) from it plus her lunge of
    // 11 pixels (7 on each axis), from the bare hand's picture at stage 0.
    EXPECT_EQ(Rgb(*plane, 109 + 32, 60 + 8), SwingColour(112, 0, 3));
    EXPECT_EQ(Rgb(*plane, 108, 60 + 8), 0u);
    // Walking again: no swing.
    p.motion = 0;
    Draw();
    EXPECT_EQ(Rgb(*plane, 109 + 32, 60 + 8), 0u);
}

// ---- One scene as a whole.

TEST_F(CharacterDrawingTest, ASmallSceneMatchesItsGoldenPicture)
{
    CCharacterControl::SPlayer& p = game->characters.player;
    p.direction = 6;
    p.status.confusionTurns = 3;
    Monster(0, 4, 21, 19).level = 12;
    CCharacterControl::SMonster& sleeper = Monster(1, 8, 19, 21);
    sleeper.status.sleepTurns = 4;
    sleeper.direction = 2;
    CCharacterControl::SMonster& strong = Monster(2, 56, 22, 21);
    strong.strongBodyTurns = 5;
    strong.level = 150;
    strong.motion = 5;
    strong.motionFrame = 3;
    strong.direction = 6;
    CCharacterControl::SMonster& chest = Monster(3, 4, 18, 19);
    chest.type = kCharacterChest;
    chest.kindId = 0xFFFF;
    CCharacterControl::SMonster& pillar = Monster(4, 4, 23, 19);
    pillar.type = kCharacterIcePillar;
    pillar.kindId = 0xFFFF;
    pillar.hp = 1;
    SMapCell& fire = game->map.GetCell(20, 22);
    fire.objectKind = kObjectFire;
    fire.objectId = 12;
    fire.objectShown = 1;
    Draw();
    ExpectGolden(*plane, "character_scene.bmp");
}

} // namespace
