#include "game/world/spell_circle_control.h"

#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/ui/drawing_fixture.h"
#include "game/world/ascii_floor.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Circle = CSpellCircleControl::SCircle;

constexpr std::int32_t kCircleA = 270;
constexpr std::int32_t kCircleB = 271;
constexpr std::int32_t kPlainKind = 8;  // a monster kind without flags
constexpr std::int32_t kImmuneKind = 9; // a monster kind with type flag 2

class SpellCircleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Pens 270 and 271 draw room-range and floor-range circles.
        game->items.kinds.resize(300);
        game->items.kinds[kCircleA].sealCode = CSpellCircleControl::kRangeRoom;
        game->items.kinds[kCircleB].sealCode = CSpellCircleControl::kRangeFloor;
        game->characters.monsterKinds.resize(16);
        game->characters.monsterKinds[kPlainKind].name = "a";
        game->characters.monsterKinds[kImmuneKind].name = "b";
        game->characters.monsterKinds[kImmuneKind].typeFlags = CSpellCircleControl::kImmuneKindFlag;
    }

    CSpellCircleControl& Circles() { return game->circles; }
    CMapControl& Map() { return game->map; }

    std::unique_ptr<SGameResource> game = std::make_unique<SGameResource>();
};

// Who stands where in a counting case.
enum class EWho
{
    Player,
    Monster,
    ImmuneMonster,
};

TEST_F(SpellCircleTest, CountsTheCirclesWhoseRangeCoversTheCharacter)
{
    // Room 0 spans (11..13, 11..13); a corridor leaves it eastward along row 12. The rows the circle-cover
    // tests of the records already hold are not repeated here.
    DrawFloor(Map(), 10, 10,
              {"#####    ", //
               "#000#    ", //
               "#000.....", //
               "#000#    ", //
               "#####    "});
    // A maze's cells (room -2) along row 25, columns 20..24: one room of the maze.
    for (std::uint32_t x = 20; x <= 24; ++x) {
        Map().GetCell(x, 25).terrain = 5;
        Map().GetCell(x, 25).room = -2;
    }
    const Circle cell{20, 20, kCircleA, 1}, corridor{14, 12, kCircleA, 2}, floor{30, 30, kCircleA, 3};
    const Circle maze{24, 25, kCircleA, 2};
    const Circle self{30, 30, kCircleA, 4}, odd{12, 12, kCircleA, 0xFFFF}, other{12, 12, kCircleB, 3};
    const struct
    {
        const char* what;
        std::vector<Circle> circles;
        EWho who;
        std::int32_t x, y;
        bool stop;
        std::int32_t expected;
    } cases[] = {
        {"a cell circle next door", {cell}, EWho::Player, 21, 20, false, 0},
        {"a room circle in a corridor, a room cell next", {corridor}, EWho::Player, 13, 11, false, 1},
        {"a room circle far along a corridor", {corridor}, EWho::Player, 17, 12, false, 0},
        {"a room circle across a maze", {maze}, EWho::Player, 20, 25, false, 1},
        {"a floor circle, the heroine", {floor}, EWho::Player, 12, 12, false, 2},
        {"a floor circle, a monster", {floor}, EWho::Monster, 12, 12, false, 1},
        {"stop at the first that covers", {cell, self, self}, EWho::Player, 12, 12, true, 1},
        {"a self circle, the heroine", {self}, EWho::Player, 12, 12, false, 1},
        {"an unknown range", {odd}, EWho::Player, 12, 12, false, 0},
        {"another id", {other}, EWho::Player, 12, 12, false, 0},
        {"an immune monster", {floor}, EWho::ImmuneMonster, 12, 12, false, 0},
        {"a monster off the map", {floor}, EWho::Monster, 12, -1, false, 0},
    };
    for (const auto& c : cases) {
        Circles().circles.assign(c.circles.begin(), c.circles.end());
        CCharacterControl::SCharacter* character = &game->characters.player;
        if (c.who != EWho::Player) {
            CCharacterControl::SMonster& monster = game->characters.monsters[3];
            monster.Reset();
            monster.type = 2;
            monster.kindId = c.who == EWho::ImmuneMonster ? kImmuneKind : kPlainKind;
            character = &monster;
        }
        character->x = c.x;
        character->y = c.y;
        EXPECT_EQ(Circles().CountCirclesAffecting(*character, game->characters, kCircleA, Map(), c.stop),
                  c.expected)
            << c.what;
    }
}

TEST_F(SpellCircleTest, PlacesOnPlainFloorsOnlyAndOnlyOnAFreeCell)
{
    const struct
    {
        std::uint8_t terrain;
        std::uint8_t object;
        std::int32_t expected;
    } cases[] = {
        {5, 0, 0},           {10, 0, 0},
        {17, 0, 0},          {4, 0, 1},
        {11, 0, 1},          {15, 0, 1},
        {16, 0, 1},          {18, 0, 1},
        {2, 0, 1},           {3, 0, 1},
        {0, 0, 1},           {5, kObjectTrap, 2},
        {6, kObjectItem, 2}, {7, kObjectCircle, 2},
        {4, kObjectItem, 1},
    };
    for (const auto& c : cases) {
        Circles().Clear();
        SMapCell& cell = Map().GetCell(20, 20);
        cell = SMapCell();
        cell.terrain = c.terrain;
        cell.objectKind = c.object;
        cell.objectId = 5;
        cell.redraw = 0;
        const SMapCell before = cell;
        ASSERT_EQ(Circles().Place(kCircleB, 20, 20, *game), c.expected)
            << int(c.terrain) << " " << int(c.object);
        if (c.expected != CSpellCircleControl::kPlaced) {
            EXPECT_TRUE(Circles().circles.empty());
            EXPECT_EQ(std::tuple(cell.objectKind, cell.objectId, cell.objectShown, cell.redraw),
                      std::tuple(before.objectKind, before.objectId, before.objectShown, before.redraw));
            continue;
        }
        EXPECT_EQ(std::tuple(cell.objectKind, cell.objectId, cell.objectShown, cell.redraw),
                  std::tuple(std::uint8_t(kObjectCircle), std::uint16_t(kCircleB), std::uint8_t(1),
                             std::uint8_t(1)));
        ASSERT_EQ(Circles().circles.size(), 1u);
        const Circle& entry = Circles().circles.front();
        EXPECT_EQ(std::tuple(entry.x, entry.y, entry.id, entry.range),
                  std::tuple(20, 20, kCircleB, std::int32_t(CSpellCircleControl::kRangeFloor)));
    }
    // Off the grid nothing takes a circle.
    EXPECT_EQ(Circles().Place(kCircleA, 64, 0, *game), CSpellCircleControl::kPlaceBadTerrain);
    EXPECT_EQ(Circles().Place(kCircleA, -1, 5, *game), CSpellCircleControl::kPlaceBadTerrain);
    // Circles go to the back of the list, in the order drawn.
    Circles().Clear();
    Map().GetCell(21, 20).terrain = 6;
    Map().GetCell(22, 20).terrain = 6;
    ASSERT_EQ(Circles().Place(kCircleB, 22, 20, *game), 0);
    ASSERT_EQ(Circles().Place(kCircleA, 21, 20, *game), 0);
    EXPECT_EQ(Circles().circles.back().x, 21);
    EXPECT_EQ(Circles().circles.back().range, CSpellCircleControl::kRangeRoom);
}

TEST_F(SpellCircleTest, RemovingACircleLeavesAFadingIconAndErasesTheFirstEntryThere)
{
    SMapCell& cell = Map().GetCell(20, 20);
    cell.terrain = 5;
    cell.objectKind = kObjectCircle;
    cell.objectId = kCircleA;
    cell.objectShown = 1;
    cell.minimapMark = 3;
    cell.redraw = 0;
    Circles().circles = {{20, 20, kCircleA, 2}, {21, 20, kCircleA, 1}, {20, 20, kCircleB, 3}};
    Circles().RemoveAt(20, 20, *game);

    EXPECT_EQ(
        std::tuple(cell.objectKind, cell.objectId, cell.objectShown, cell.minimapMark, cell.redraw),
        std::tuple(std::uint8_t(0), std::uint16_t(0), std::uint8_t(0), std::uint8_t(0), std::uint8_t(1)));
    ASSERT_EQ(Circles().circles.size(), 2u);
    EXPECT_EQ(Circles().circles.front().x, 21);
    EXPECT_EQ(Circles().circles.back().id, kCircleB);
    ASSERT_EQ(game->vanishingObjects.size(), 1u);
    const SGameResource::SVanishingObject& fading = game->vanishingObjects.front();
    // The room range's icon: column 0, the second row.
    EXPECT_EQ(std::tuple(fading.x, fading.y, fading.kind, fading.left, fading.top, fading.right,
                         fading.bottom, fading.life),
              std::tuple(20, 20, 12, 0, 32, 32, 64, 64));

    // A trap, or a cell that holds nothing, is left alone.
    SMapCell& trap = Map().GetCell(25, 20);
    trap.objectKind = kObjectTrap;
    trap.objectId = 4;
    trap.redraw = 0;
    Circles().circles.push_back({25, 20, kCircleA, 1});
    Circles().RemoveAt(25, 20, *game);
    Circles().RemoveAt(30, 30, *game);
    EXPECT_EQ(std::tuple(trap.objectKind, trap.objectId, trap.redraw),
              std::tuple(std::uint8_t(kObjectTrap), std::uint16_t(4), std::uint8_t(0)));
    EXPECT_EQ(Circles().circles.size(), 3u);
    EXPECT_EQ(game->vanishingObjects.size(), 1u);

    // A circle cell the list does not know is wiped with nothing to fade.
    SMapCell& stray = Map().GetCell(26, 20);
    stray.objectKind = kObjectCircle;
    Circles().RemoveAt(26, 20, *game);
    EXPECT_EQ(stray.objectKind, 0);
    EXPECT_EQ(Circles().circles.size(), 3u);
    EXPECT_EQ(game->vanishingObjects.size(), 1u);
}

class SpellCircleDrawingTest : public DrawingTest
{
protected:
    // Every icon cell filled with a colour telling its column and row, its first pixel column magenta.
    static std::uint32_t Sheet(int x, int y)
    {
        if (x % 32 == 0) return 0xFF00FF;
        return std::uint32_t(0x20 * (x / 32 + 1)) << 16 | std::uint32_t(0x20 * (y / 32 + 1)) << 8 | 0x40;
    }
};

TEST_F(SpellCircleDrawingTest, IconsComeFromTheFrameColumnAndTheRangeRow)
{
    PutImage("circles.bmp", 128, 128, Sheet);
    PutList({"circles.bmp," + std::to_string(kImageCircles)});
    const struct
    {
        std::int32_t frame, range;
        bool dim;
    } cases[] = {{0, 1, false}, {2, 3, false}, {3, 4, true}, {1, 2, true}};
    for (const auto& c : cases) {
        auto target = MakePlane(Draw::kPixelXRGB8888, 40, 40, 0x010203);
        ASSERT_EQ(CSpellCircleControl::DrawCircleIcon(c.frame, c.range, *target, 4, 4, c.dim), 0);
        std::uint32_t colour = Sheet(c.frame * 32 + 1, (c.range - 1) * 32);
        if (c.dim) colour = (colour >> 1) & 0x7F7F7F;
        ExpectWords(*target, {{4, 4, 0x010203}, {5, 4, colour}, {35, 35, colour}, {36, 36, 0x010203}});
    }
}

} // namespace
