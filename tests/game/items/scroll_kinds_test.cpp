// Scroll kinds read from the first phase to the last: identifying what she carries, the flood, the
// spells on the monsters of her room, and the escape.
#include "game/items/scrolls.h"

#include "game/core/random.h"
#include "game/items/use_actions_fixture.h"
#include "game/support/seed_search.h"
#include "game/world/spell_circle_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Rand = zelvoranGameSDK3rd::Math::CRand;

constexpr std::int32_t kMonsterKind = 8;

class ScrollKindsTest : public UseActionsTest
{
protected:
    void SetUp() override
    {
        UseActionsTest::SetUp();
        // Room 0 from (15, 15) to (25, 25), the heroine on its edge at (25, 20); a corridor from (26, 20) on.
        for (std::int32_t x = 15; x <= 40; ++x)
            for (std::int32_t y = 15; y <= 25; ++y) {
                SMapCell& cell = Cell(x, y);
                if (x > 25 && y != 20) continue;
                cell.terrain = 5;
                cell.room = x <= 25 ? 0 : -1;
            }
        AddMonsterKind(*game, kMonsterKind);
        game->dungeon = 1;
        Heroine().x = 25;
    }
    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    CCharacterControl::SMonster& Monster(std::uint16_t slot, std::int32_t x, std::int32_t y,
                                         std::int32_t hp = 20)
    {
        CCharacterControl::SMonster& monster = PlaceMonster(*game, slot, kMonsterKind, x, y);
        monster.hp = monster.maxHp = hp;
        monster.level = 5;
        return monster;
    }
    std::uint16_t Scroll(std::int32_t kind)
    {
        const std::uint16_t scroll = New(kind);
        Carry(*game, scroll);
        return scroll;
    }
    bool Carried(std::uint16_t item) const
    {
        return std::find(game->inventory.begin(), game->inventory.end(), item) != game->inventory.end();
    }
    // Every phase of the read; the number of phases it ran.
    std::int32_t Read(std::uint16_t scroll)
    {
        Start(kActionRead, scroll);
        return RunToEnd(HandleReadScroll);
    }
};

constexpr const char* kNothing = "しかし　何も起こらなかった。";

// The monsters of her room and those on the eight cells round her are the targets; a monster down the
// corridor is not. Each row: the scroll, the monsters, what the one in her room, the one beside her
// and the far one show afterwards, and the lines logged after her own.
TEST_F(ScrollKindsTest, SpellsOnTheMonstersOfHerRoom)
{
    using Probe = std::int32_t (*)(const CCharacterControl::SMonster&);
    const Probe level = [](const CCharacterControl::SMonster& m) { return std::int32_t(m.level); };
    const Probe blind = [](const CCharacterControl::SMonster& m) {
        return std::int32_t(m.status.blindTurns);
    };
    const Probe hp = [](const CCharacterControl::SMonster& m) { return m.hp; };
    const struct
    {
        const char* name;
        std::int32_t kind;
        bool monsters;  // a monster in her room, one in the corridor beside her, one far down it
        bool circle275; // a level-fixing circle under her
        Probe probe;
        std::int32_t near, beside, far;
        LogLines last;
    } cases[] = {
        {"level up", 194, true, false, level, 6, 6, 5, {{"モンスターのレベルが上がってしまった！", 66}}},
        {"level up under the circle", 194, true, true, level, 5, 5, 5, {{kNothing, -1}}},
        {"level up with nobody", 194, false, false, level, 0, 0, 0, {{kNothing, -1}}},
        {"blindness", 199, true, false, blind, 30, 30, 0, {}},
        {"blindness with nobody", 199, false, false, blind, 0, 0, 0, {{kNothing, -1}}},
        {"drain", 204, true, false, hp, 10, 4, 20, {{"モンスターの体力を吸収した！", 81}}},
        {"drain with nobody", 204, false, false, hp, 0, 0, 0, {{kNothing, -1}}},
    };
    for (const auto& c : cases) {
        Fresh();
        if (c.circle275) PlaceCircle(*game, 275, CSpellCircleControl::kRangeCell, 25, 20);
        if (c.monsters) {
            Monster(0, 16, 24);
            Monster(1, 26, 20, 7); // beside her, outside the room
            Monster(2, 35, 20);
        }
        Heroine().hp = 5;
        const std::uint16_t scroll = Scroll(c.kind);
        Read(scroll);
        EXPECT_FALSE(Carried(scroll)) << c.name;
        const auto& monsters = game->characters.monsters;
        if (c.monsters) {
            EXPECT_EQ(c.probe(monsters[0]), c.near) << c.name;
            EXPECT_EQ(c.probe(monsters[1]), c.beside) << c.name;
            EXPECT_EQ(c.probe(monsters[2]), c.far) << c.name;
        }
        const LogLines lines = Lines();
        // Her own three lines: the read, and the two that tell what the scroll was.
        ASSERT_GE(lines.size(), 3u) << c.name;
        EXPECT_EQ(LogLines(lines.begin() + 3, lines.end()), c.last) << c.name;
        if (c.kind == 199 && c.monsters) {
            EXPECT_NE(std::find(sounds.played.begin(), sounds.played.end(), 79), sounds.played.end());
        }
        // The drain hands her what it took: 10 and 3 from 20 and 7 HP.
        if (c.kind == 204) {
            EXPECT_EQ(Heroine().hp, c.monsters ? 18 : 5) << c.name;
        }
    }
}

TEST_F(ScrollKindsTest, TheAppraisalScrollIdentifiesWhatSheCarriesAndWhatHerPotsHold)
{
    const std::uint16_t scroll = Scroll(182);
    const std::uint16_t potion = New(136);
    const std::uint16_t sword = New(3, 2);
    const std::uint16_t inside = New(137);
    const std::uint16_t pot = NewPot(357, 3, {inside});
    for (const std::uint16_t item : {potion, sword, pot})
        Carry(*game, item);
    Read(scroll);
    EXPECT_FALSE(Carried(scroll));
    EXPECT_EQ(Lines().back(), Line("持っているアイテムの値段がわかった！", 62));
    // Prices known: equipment is known outright, the others' kinds are tried.
    EXPECT_EQ(Item(sword).flags & 0x0003, 0x0003);
    EXPECT_EQ(game->items.kindState[3], 2);
    for (const std::uint16_t tried : {potion, inside, pot}) {
        EXPECT_EQ(Item(tried).flags & 0x0003, 0x0002) << tried;
        EXPECT_EQ(game->items.kindState[Item(tried).kind], 1) << tried;
    }

    // With nothing else carried the scroll is spent for nothing.
    Fresh();
    const std::uint16_t alone = Scroll(182);
    Read(alone);
    EXPECT_FALSE(Carried(alone));
    EXPECT_EQ(Lines().back(), Line(kNothing, -1));
}

TEST_F(ScrollKindsTest, TheFloodWetsEachFloorCellUnlessItsDrawIsThree)
{
    // Floor only on (30..33, 20) and under her own cell, which is water and takes no draw; the cells take
    // one draw each, (30, 20) first.
    for (SMapCell& cell : game->map.cells)
        cell.terrain = 0;
    Floor(Heroine().x, Heroine().y, 4);
    for (std::int32_t x = 30; x <= 33; ++x)
        Floor(x, 20, 7);
    const auto masks = [](Rand& generator) {
        std::vector<std::uint32_t> low;
        for (std::int32_t i = 0; i < 4; ++i)
            low.push_back(generator.Get() & 3);
        return low;
    };
    game->random.noRandom = false;
    const std::uint32_t seed = *FindSeed([&](Rand& g) {
        return masks(g) == std::vector<std::uint32_t>{3, 0, 2, 3};
    });
    game->random.SetSeed(seed);
    Read(Scroll(187));
    EXPECT_EQ(Cell(30, 20).terrain, 7);
    EXPECT_EQ(Cell(31, 20).terrain, 13);
    EXPECT_EQ(Cell(32, 20).terrain, 13);
    EXPECT_EQ(Cell(33, 20).terrain, 7);
    EXPECT_EQ(Cell(25, 20).terrain, 4);
    // Four draws taken, no more.
    Rand expected;
    expected.SetSeed(seed);
    masks(expected);
    EXPECT_EQ(game->random.Get(), expected.Get());

    // Without draws every floor cell is wet.
    Fresh();
    game->random.noRandom = true;
    Read(Scroll(187));
    EXPECT_EQ(Cell(15, 15).terrain, 11);
    EXPECT_EQ(Cell(40, 20).terrain, 11);
    EXPECT_EQ(Cell(40, 21).terrain, 0);
}

TEST_F(ScrollKindsTest, TheEscapeEndsTheRunOutsideTheCampOnly)
{
    for (const std::int32_t dungeon : {1, 0}) {
        Fresh();
        game->dungeon = dungeon;
        game->portraits[0].picture = 13001;
        const std::uint16_t scroll = Scroll(198);
        Start(kActionRead, scroll);
        Phase(HandleReadScroll, 0);
        if (dungeon == 0) {
            EXPECT_EQ(Phase(HandleReadScroll, 1), 0);
            EXPECT_EQ(Lines().back(), Line(kNothing, -1));
            EXPECT_FALSE(Carried(scroll));
            EXPECT_EQ(game->runEnded, 0);
            continue;
        }
        // First stage: her motion, the portrait over the old one, the sound.
        EXPECT_EQ(Phase(HandleReadScroll, 1), 1);
        EXPECT_EQ(game->portraits[0].picture, 13004);
        EXPECT_EQ(game->portraits[0].previousPicture, 13001);
        EXPECT_NE(std::find(sounds.played.begin(), sounds.played.end(), 96), sounds.played.end());
        EXPECT_TRUE(Carried(scroll));
        EXPECT_EQ(game->runEnded, 0);
        // Second stage: the scroll is spent and the run ends as an escape.
        EXPECT_EQ(Phase(HandleReadScroll, 2), 1);
        EXPECT_EQ(Phase(HandleReadScroll, 3), 1);
        EXPECT_FALSE(Carried(scroll));
        EXPECT_EQ(game->escapeMark, 1);
        EXPECT_EQ(game->runEnded, 1);
    }
}

} // namespace
