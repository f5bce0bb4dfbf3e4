// The traps of a floor: which may be placed, firing, reports, removal at the end of the turn and icons.

#include "game/asset_ids.h"
#include "game/items/item_names.h"
#include "game/support/game_with_kinds.h"
#include "game/support/message_recorder.h"
#include "game/ui/drawing_fixture.h"
#include "game/world/trap_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kX = 20, kY = 20; // the heroine's cell in the test game

std::vector<std::int32_t> Kinds(std::int32_t dungeon, std::int32_t floor, bool noPits = false)
{
    CTrapControl traps;
    traps.BuildTrapKindList(dungeon, floor, noPits);
    return traps.trapKinds;
}

std::vector<std::int32_t> Ids(std::int32_t first, std::int32_t last)
{
    std::vector<std::int32_t> ids;
    for (std::int32_t id = first; id <= last; ++id)
        ids.push_back(id);
    return ids;
}

bool HasPit(const std::vector<std::int32_t>& kinds)
{
    return std::find(kinds.begin(), kinds.end(), 28) != kinds.end();
}

TEST(TrapKindList, GroupsOpenWithDepth)
{
    EXPECT_EQ(Kinds(1, 8), Ids(1, 5));
    std::vector<std::int32_t> floor9 = Ids(1, 5);
    for (const std::int32_t id : Ids(7, 14))
        floor9.push_back(id);
    EXPECT_EQ(Kinds(1, 9), floor9);
    EXPECT_EQ(Kinds(6, 28), (std::vector<std::int32_t>{18, 25, 26}));
    EXPECT_EQ(Kinds(6, 30), (std::vector<std::int32_t>{18, 25, 26}));
    // Dungeon 6 opens group 3 after floor 4 and group 4 after floor 6; others from floors 9 and 12.
    EXPECT_EQ(Kinds(6, 5).size(), 5u + 8u + 8u);
    EXPECT_EQ(Kinds(6, 7).size(), 5u + 8u + 8u + 2u);
    EXPECT_EQ(Kinds(5, 11, true).size(), 5u + 8u + 8u);
    EXPECT_EQ(Kinds(5, 12, true).size(), 5u + 8u + 8u + 2u);
}

TEST(TrapKindList, PitKeepsOffTheFloorsBeforeTurningFloors)
{
    const struct
    {
        std::int32_t dungeon;
        std::int32_t floor;
        bool pit;
    } cases[] = {{1, 8, false},  {1, 9, false},  {1, 10, false}, {1, 11, true}, {1, 17, true},
                 {1, 18, false}, {1, 19, false}, {1, 20, false}, {1, 21, true}, {3, 22, true},
                 {3, 23, false}, {3, 25, false}, {3, 26, true},  {3, 50, true}, {3, 51, false}};
    for (const auto& c : cases)
        EXPECT_EQ(HasPit(Kinds(c.dungeon, c.floor)), c.pit) << c.dungeon << " " << c.floor;
}

TEST(TrapKindList, NeverPlaced)
{
    for (std::int32_t dungeon = 0; dungeon <= 8; ++dungeon)
        for (std::int32_t floor = 1; floor <= 99; ++floor) {
            for (const bool noPits : {false, true}) {
                const std::vector<std::int32_t> kinds = Kinds(dungeon, floor, noPits);
                for (const std::int32_t gap : {0, 6, 15, 24, 27, 29})
                    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), gap), 0) << dungeon << " " << floor;
                if (noPits || dungeon == 6) {
                    EXPECT_FALSE(HasPit(kinds)) << dungeon << " " << floor;
                }
            }
        }
}

TEST(TrapRemoval, ChancesAndFixedRandomMode)
{
    Math::CRand generator;
    generator.SetSeed(7);
    std::int32_t removedFour = 0, removedOther = 0;
    for (std::int32_t i = 0; i < 400; ++i) {
        EXPECT_FALSE(RollTrapRemoval(generator, 3));
        EXPECT_TRUE(RollTrapRemoval(generator, 21));
        removedFour += RollTrapRemoval(generator, 4);
        removedOther += RollTrapRemoval(generator, 9);
    }
    EXPECT_GT(removedFour, 280);
    EXPECT_LT(removedFour, 360);
    EXPECT_GT(removedOther, 80);
    EXPECT_LT(removedOther, 160);

    // Fixed-random mode: every trap but 3 goes, and nothing is drawn.
    Math::CRand fixed, reference;
    fixed.SetSeed(3);
    reference.SetSeed(3);
    fixed.noRandom = true;
    for (std::int32_t id = 1; id <= 29; ++id)
        EXPECT_EQ(RollTrapRemoval(fixed, id), id != 3) << id;
    fixed.noRandom = false;
    EXPECT_EQ(fixed.Get(), reference.Get());
}

TEST(TrapIcons, RectanglesOfTheSheet)
{
    const struct
    {
        std::int32_t id;
        std::int32_t left;
        std::int32_t top;
    } cases[] = {{1, 0, 0},   {5, 128, 0},  {7, 0, 32},   {14, 224, 32}, {16, 0, 64}, {23, 224, 64},
                 {25, 0, 96}, {26, 32, 96}, {27, 64, 96}, {28, 64, 96},  {29, 96, 96}};
    for (const auto& c : cases) {
        const Draw::RECT rect = GetTrapIconRect(c.id);
        EXPECT_EQ(rect.left, c.left) << c.id;
        EXPECT_EQ(rect.top, c.top) << c.id;
        EXPECT_EQ(rect.right, c.left + 32) << c.id;
        EXPECT_EQ(rect.bottom, c.top + 32) << c.id;
    }
    for (const std::int32_t gap : {0, 6, 15, 24, 30}) {
        const Draw::RECT rect = GetTrapIconRect(gap);
        EXPECT_EQ(rect.right - rect.left, 0) << gap;
    }
    EXPECT_EQ(GetTrapDescriptionKind(1), 381);
    EXPECT_EQ(GetTrapDescriptionKind(29), 407);
}

// A game whose item kinds are named by their number, so that a message names the kind it came from.
class TrapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CItemControl& items = game->items;
        items.kinds.resize(410);
        items.kindCount = 410;
        for (std::size_t k = 0; k < items.kinds.size(); ++k)
            items.kinds[k].name = std::to_string(k).c_str();
        items.seen.assign(410, 0);
        items.kindState.assign(410, 0);
        game->random.noRandom = true;
        AddMonsterKind(*game, 8, "スライム");
    }

    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    void PutTrap(std::int32_t x, std::int32_t y, std::int32_t id, std::uint8_t objectKind = kObjectTrap)
    {
        Cell(x, y).terrain = 5;
        Cell(x, y).objectKind = objectKind;
        Cell(x, y).objectId = std::uint16_t(id);
    }
    CCharacterControl::SMonster& Monster(std::int32_t x, std::int32_t y)
    {
        CCharacterControl::SMonster& monster = PlaceMonster(*game, 0, 8, x, y);
        monster.hp = monster.maxHp = 40;
        return monster;
    }
    std::string Name(std::int32_t trap) { return GetColoredTrapName(game->items, trap).c_str(); }
    const std::deque<SActionRecord>& Turn() { return game->commandQueue.pending; }
    const std::deque<SActionRecord>& Reaction() { return game->reactionQueue.pending; }

    std::unique_ptr<SGameResource> game = MakeTestGame();
};

TEST_F(TrapTest, PlaceRandomTrapResults)
{
    CTrapControl& traps = game->traps;
    Cell(1, 1).terrain = 5;
    EXPECT_EQ(traps.PlaceRandomTrap(1, 1, *game), CTrapControl::kPlaceNoKinds);
    traps.BuildTrapKindList(1, 9, false);
    Cell(2, 1).terrain = 4;
    EXPECT_EQ(traps.PlaceRandomTrap(2, 1, *game), CTrapControl::kPlaceBadTerrain);
    Cell(3, 1).terrain = 11;
    EXPECT_EQ(traps.PlaceRandomTrap(3, 1, *game), CTrapControl::kPlaceBadTerrain);
    PutTrap(4, 1, 3);
    EXPECT_EQ(traps.PlaceRandomTrap(4, 1, *game), CTrapControl::kPlaceCellTaken);
    EXPECT_EQ(Cell(4, 1).objectId, 3);

    EXPECT_EQ(traps.PlaceRandomTrap(1, 1, *game), CTrapControl::kPlaced);
    EXPECT_EQ(Cell(1, 1).objectKind, kObjectTrap);
    EXPECT_EQ(Cell(1, 1).objectId, 1); // the first entry in fixed-random mode
    EXPECT_EQ(Cell(1, 1).objectShown, 0);
}

TEST_F(TrapTest, RemoveAtLeavesCirclesAlone)
{
    PlaceCircle(*game, 280, 1, 5, 5);
    EXPECT_EQ(game->traps.RemoveAt(5, 5, *game), 1);
    EXPECT_EQ(Cell(5, 5).objectKind, kObjectCircle);
    PutTrap(6, 5, 9);
    Cell(6, 5).objectShown = 1;
    EXPECT_EQ(game->traps.RemoveAt(6, 5, *game), 0);
    EXPECT_EQ(Cell(6, 5).objectKind, 0);
    EXPECT_EQ(Cell(6, 5).objectShown, 0);
}

TEST_F(TrapTest, TriggerMessagesByWhoStandsThere)
{
    const struct
    {
        const char* name;
        std::int32_t trap;
        std::uint8_t objectKind;
        bool heroine;
        bool monster;
        std::string line;
    } cases[] = {
        {"heroine bound", 3, kObjectTrap, true, false, "#6383#にかかった！"},
        {"heroine steps", 13, kObjectTrap, true, false, "#6395#を踏んだ！"},
        {"treasure spot as trap 2", 0, kObjectTreasureSpot, true, false, "#6382#を踏んだ！"},
        {"monster", 3, kObjectTrap, false, true, "#6383#が作動した！"},
        {"nobody", 13, kObjectTrap, false, false, "#6395#が作動した！"},
    };
    for (const auto& c : cases) {
        game = MakeTestGame();
        SetUp();
        const std::int32_t x = c.heroine ? kX : 30, y = c.heroine ? kY : 30;
        PutTrap(x, y, c.trap, c.objectKind);
        if (c.monster) Monster(x, y);
        SoundRecorder sounds;
        game->soundEffects = &sounds;
        MessageRecorder recorder(*game);
        game->traps.Trigger(x, y, *game);
        EXPECT_EQ(recorder.Lines(), std::vector<std::string>{c.line}) << c.name;
        EXPECT_EQ(Cell(x, y).objectShown, 1) << c.name;
        ASSERT_FALSE(sounds.played.empty()) << c.name;
        EXPECT_EQ(sounds.played[0], 42) << c.name;

        // The same trap again this turn: nothing, not a word.
        const std::size_t pushed = Turn().size();
        MessageRecorder again(*game);
        game->traps.Trigger(x, y, *game);
        EXPECT_TRUE(again.Lines().empty()) << c.name;
        EXPECT_EQ(Turn().size(), pushed) << c.name;
    }
}

TEST_F(TrapTest, TriggerPushesTheEffectRecords)
{
    const struct
    {
        std::int32_t trap;
        bool reaction;
        std::int32_t kind;
        std::int32_t param1;
        std::int32_t param2;
        std::int32_t flag;
    } cases[] = {
        {1, false, 40, -1, -1, 0},  {3, false, 38, -1, -1, 1},  {5, false, 50, -1, -1, 0},
        {9, false, 41, -1, -1, 0},  {10, false, 45, 1, -1, 0},  {11, false, 45, 2, -1, 0},
        {12, false, 44, -1, -1, 0}, {13, false, 46, -1, -1, 0}, {16, false, 48, -1, -1, 0},
        {17, false, 49, -1, -1, 0}, {18, false, 54, -1, -1, 0}, {19, false, 42, -1, -1, 0},
        {20, false, 43, -1, -1, 0}, {21, true, 51, -1, -1, 0},  {25, false, 54, -1, -2, 1},
        {26, false, 47, -1, -1, 0}, {28, false, 39, -1, -1, 0},
    };
    for (const auto& c : cases) {
        game = MakeTestGame();
        SetUp();
        PutTrap(30, 31, c.trap);
        game->traps.Trigger(30, 31, *game);
        const std::deque<SActionRecord>& queue = c.reaction ? Reaction() : Turn();
        EXPECT_TRUE((c.reaction ? Turn() : Reaction()).empty()) << c.trap;
        ASSERT_EQ(queue.size(), 1u) << c.trap;
        const SActionRecord& record = queue.front();
        EXPECT_EQ(record.kind, c.kind) << c.trap;
        EXPECT_EQ(record.param1, c.param1) << c.trap;
        EXPECT_EQ(record.param2, c.param2) << c.trap;
        EXPECT_EQ(record.param3, 30) << c.trap;
        EXPECT_EQ(record.param4, 31) << c.trap;
        EXPECT_EQ(record.flag, c.flag) << c.trap;
    }
}

TEST_F(TrapTest, CharacterTrapsPushForTheCharacterAndActOnNobodyElse)
{
    const struct
    {
        std::int32_t trap;
        std::int32_t kind; // 0: nothing is pushed
    } cases[] = {{2, 13}, {4, 16}, {8, 17}, {14, 0}, {22, 0}, {23, 0}};
    for (const auto& c : cases) {
        // The heroine on it: the record names her.
        game = MakeTestGame();
        SetUp();
        PutTrap(kX, kY, c.trap);
        game->traps.Trigger(kX, kY, *game);
        if (c.kind != 0) {
            ASSERT_EQ(Turn().size(), 1u) << c.trap;
            EXPECT_EQ(Turn().front().kind, c.kind) << c.trap;
            EXPECT_EQ(Turn().front().param2, 0xFFFF) << c.trap;
        }

        // Nobody on it: no record, and the heroine elsewhere is untouched.
        game = MakeTestGame();
        SetUp();
        const CCharacterControl::SPlayer before = game->characters.player;
        PutTrap(30, 30, c.trap);
        MessageRecorder recorder(*game);
        game->traps.Trigger(30, 30, *game);
        EXPECT_TRUE(Turn().empty()) << c.trap;
        EXPECT_EQ(recorder.Lines().size(), 1u) << c.trap;
        const CCharacterControl::SPlayer& after = game->characters.player;
        EXPECT_EQ(after.fullness, before.fullness) << c.trap;
        EXPECT_EQ(after.status.slowTurns, before.status.slowTurns) << c.trap;
        EXPECT_EQ(after.motion, before.motion) << c.trap;
    }
}

TEST_F(TrapTest, AlarmWakesEverybody)
{
    game->characters.player.status.sleepTurns = 5;
    CCharacterControl::SMonster& sleeper = Monster(40, 40);
    sleeper.sleepState = 4;
    sleeper.status.sleepTurns = 9;
    PutTrap(30, 30, 7);
    SoundRecorder sounds;
    game->soundEffects = &sounds;
    game->traps.Trigger(30, 30, *game);
    EXPECT_EQ(game->characters.player.status.sleepTurns, 0);
    EXPECT_EQ(sleeper.sleepState, 0);
    EXPECT_EQ(sleeper.status.sleepTurns, 0);
    EXPECT_EQ(sounds.played, (std::vector<std::int32_t>{42, 41}));
}

TEST_F(TrapTest, HungerTrap)
{
    CCharacterControl::SPlayer& heroine = game->characters.player;
    heroine.fullness = 50000;
    PutTrap(kX, kY, 22);
    MessageRecorder recorder(*game);
    game->traps.Trigger(kX, kY, *game);
    EXPECT_EQ(heroine.fullness, 40000);
    EXPECT_EQ(heroine.motion, 10);
    EXPECT_EQ(recorder.Lines().back(), "お腹が少し減ってしまった。");

    CCharacterControl::SMonster& monster = Monster(30, 30);
    monster.hp = 41;
    PutTrap(30, 30, 22);
    game->traps.Trigger(30, 30, *game);
    EXPECT_EQ(monster.hp, 21);

    // A body only dying on the trap is nobody: the heroine elsewhere keeps her fullness.
    monster.hp = 0;
    game->traps.triggered.clear();
    game->traps.Trigger(30, 30, *game);
    EXPECT_EQ(heroine.fullness, 40000);
}

TEST_F(TrapTest, PitOpensAndFadesAtTheEndOfTheTurn)
{
    PutTrap(30, 30, 28);
    game->random.noRandom = false;
    game->traps.Trigger(30, 30, *game);
    EXPECT_EQ(Cell(30, 30).objectId, 29);
    EXPECT_EQ(game->traps.removals.count(CTrapControl::PositionKey(30, 30)), 1u);

    game->traps.RemoveMarkedTraps(*game);
    EXPECT_EQ(Cell(30, 30).objectKind, 0);
    EXPECT_TRUE(game->traps.triggered.empty());
    EXPECT_TRUE(game->traps.removals.empty());
    ASSERT_EQ(game->vanishingObjects.size(), 1u);
    const SGameResource::SVanishingObject& fade = game->vanishingObjects[0];
    EXPECT_EQ(fade.x, 30);
    EXPECT_EQ(fade.y, 30);
    EXPECT_EQ(fade.kind, 11);
    EXPECT_EQ(fade.left, 96);
    EXPECT_EQ(fade.top, 96);
    EXPECT_EQ(fade.life, 64);

    // A trap taken away before the end of the turn leaves no fade; a binding trap stays.
    PutTrap(31, 30, 21);
    PutTrap(32, 30, 3);
    game->traps.Trigger(31, 30, *game);
    game->traps.Trigger(32, 30, *game);
    game->traps.RemoveAt(31, 30, *game);
    game->traps.RemoveMarkedTraps(*game);
    EXPECT_EQ(game->vanishingObjects.size(), 1u);
    EXPECT_EQ(Cell(32, 30).objectKind, kObjectTrap);
}

TEST_F(TrapTest, ReportNotTriggered)
{
    const struct
    {
        std::int32_t trap;
        std::uint8_t objectKind;
        std::vector<std::string> lines;
    } cases[] = {
        {28, kObjectTrap, {"#6407#を踏んだ！", "しかし　落ちずに済んだ。"}},
        {3, kObjectTrap, {"#6383#にかかった！", "しかし　罠にはかからなかった。"}},
        {0, kObjectTreasureSpot, {"#6382#を踏んだ！", "しかし　罠にはかからなかった。"}},
    };
    for (const auto& c : cases) {
        game = MakeTestGame();
        SetUp();
        PutTrap(kX, kY, c.trap, c.objectKind);
        MessageRecorder recorder(*game);
        game->traps.ReportNotTriggered(kX, kY, *game);
        EXPECT_EQ(recorder.Lines(), c.lines) << c.trap;
        EXPECT_EQ(game->waitCounter, 8) << c.trap;
    }

    // No trap: nothing, and an icy cell is no trap.
    game = MakeTestGame();
    SetUp();
    Cell(kX, kY).terrain = 10;
    MessageRecorder recorder(*game);
    game->traps.ReportNotTriggered(kX, kY, *game);
    EXPECT_TRUE(recorder.Lines().empty());
    EXPECT_EQ(game->waitCounter, 0);
}

// Every icon cell of the sheet a grey telling its row, its first pixel column magenta.
class TrapDrawingTest : public DrawingTest
{
protected:
    static std::uint32_t Sheet(int x, int y)
    {
        return x % 32 == 0 ? 0xFF00FF : 0x404040u * std::uint32_t(y / 32 + 1);
    }
};

TEST_F(TrapDrawingTest, IconPlainDimAndGhost)
{
    PutImage("traps.bmp", 128, 128, Sheet);
    PutList({"traps.bmp," + std::to_string(kImageTraps)});
    CTrapControl traps;
    const std::uint32_t under = 0x102030, icon = Sheet(1, 64); // trap 16: row 2
    const struct
    {
        bool dim, ghost;
        std::uint32_t drawn;
    } cases[] = {{false, false, icon}, {true, false, (icon >> 1) & 0x7F7F7F}, {false, true, 0}};
    for (const auto& c : cases) {
        auto target = MakePlane(Draw::kPixelXRGB8888, 40, 40, under);
        ASSERT_EQ(traps.DrawTrapIcon(16, *target, 4, 4, c.dim, c.ghost), 0);
        // The keyed column keeps what lay under it.
        EXPECT_EQ(Word(*target, 4, 10) & 0xFFFFFF, under);
        const std::uint32_t got = Word(*target, 20, 20) & 0xFFFFFF;
        if (!c.ghost) {
            EXPECT_EQ(got, c.drawn);
            continue;
        }
        // The ghost adds a faint share of the icon's light to what lies under it.
        for (const int shift : {0, 8, 16}) {
            const std::uint32_t before = (under >> shift) & 0xFF, after = (got >> shift) & 0xFF;
            EXPECT_GT(after, before) << shift;
            EXPECT_LT(after, before + ((icon >> shift) & 0xFF) / 2) << shift;
        }
    }
    auto target = MakePlane(Draw::kPixelXRGB8888, 40, 40, under);
    EXPECT_EQ(traps.DrawTrapIcon(15, *target, 4, 4, false, false), 1);
    EXPECT_EQ(Word(*target, 20, 20) & 0xFFFFFF, under);
}

} // namespace
