// Reading scrolls: refusals, the effects of the kinds, the monster sets and the seal choice.
#include "game/items/scrolls.h"
#include "game/items/use_actions_fixture.h"

#include <gtest/gtest.h>

#include "game/core/random.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

class ScrollTest : public UseActionsTest
{
protected:
    std::uint16_t Scroll(std::int32_t kind, std::uint16_t flags = 0)
    {
        const std::uint16_t scroll = New(kind, 0, flags);
        Carry(*game, scroll);
        return scroll;
    }
    bool Carried(std::uint16_t item) const
    {
        return std::find(game->inventory.begin(), game->inventory.end(), item) != game->inventory.end();
    }
    // Every phase of the read; the lines it logged.
    LogLines Read(std::uint16_t scroll, std::uint16_t target = kNone)
    {
        Start(kActionRead, scroll, target);
        RunToEnd(HandleReadScroll);
        return Lines();
    }
    // The message window keeps a message line by line; the sound goes with its first line.
    bool Said(const std::string& text, std::int32_t sound = -1) const
    {
        std::vector<std::string> parts;
        for (std::size_t from = 0;;) {
            const std::size_t at = text.find('\n', from);
            parts.push_back(text.substr(from, at - from));
            if (at == std::string::npos) break;
            from = at + 1;
        }
        const LogLines lines = Lines();
        for (std::size_t i = 0; i + parts.size() <= lines.size(); ++i) {
            bool match = lines[i].second == sound;
            for (std::size_t k = 0; k < parts.size() && match; ++k)
                match = lines[i + k].first == parts[k];
            if (match) return true;
        }
        return false;
    }
    // Cells (x0..x1, y0..y1) floor of the room (-1 a corridor).
    void Area(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int8_t room)
    {
        for (std::int32_t x = x0; x <= x1; ++x)
            for (std::int32_t y = y0; y <= y1; ++y) {
                SMapCell& cell = game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
                cell.terrain = 5;
                cell.room = room;
            }
    }
    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    CCharacterControl::SMonster& Monster(std::uint16_t slot, std::int32_t x, std::int32_t y,
                                         std::uint16_t abilities = 0)
    {
        AddMonsterKind(*game, 4).abilities = abilities;
        return PlaceMonster(*game, slot, 4, x, y);
    }
};

TEST_F(ScrollTest, AnUnreadableScrollIsRefusedInOrderAndStaysUnidentified)
{
    const struct
    {
        std::uint16_t flags;
        bool blind;
        std::string tail; // after the scroll's name; whole line when blind
        std::vector<std::int32_t> sounds;
    } cases[] = {
        {CItemControl::kCursed, true, "字が見えなくて　読めなかった。", {}},
        {CItemControl::kCursed | CItemControl::kFrozen, false, "は\n呪われていて　読めなかった。", {16}},
        {CItemControl::kFrozen | CItemControl::kWet, false, "は\n凍っていて　読めなかった。", {}},
        {CItemControl::kWet, false, "は\n字がにじんでいて　読めなかった。", {}},
    };
    for (const auto& c : cases) {
        Fresh();
        const std::uint16_t scroll = Scroll(189, c.flags);
        Heroine().status.blindTurns = c.blind ? 5 : 0;
        const std::string name = Name(scroll);
        Start(kActionRead, scroll);
        EXPECT_EQ(Phase(HandleReadScroll, 0), 0);
        EXPECT_TRUE(Said(c.blind ? c.tail : name + c.tail));
        EXPECT_EQ(Lines().size(), c.blind ? 1u : 2u);
        EXPECT_EQ(sounds.played, c.sounds);
        EXPECT_TRUE(Carried(scroll));
        EXPECT_EQ(game->items.kindState[189], 0);
    }
}

TEST_F(ScrollTest, AScrollWithoutEffectIsIdentifiedAndUsedUpWithItsKindsFailure)
{
    const struct
    {
        std::int32_t kind;
        std::int32_t weaponKind; // -1 none
        const char* failure;
    } cases[] = {
        {197, -1, "しかし　読んでも効果は無いようだ。"},
        {210, -1, "しかし　読んでも効果は無いようだ。"},
        {202, 34, "しかし　装備しているものがなかった。"},
        {189, -1, "しかし　何も起こらなかった。"}, // nothing cursed
    };
    for (const auto& c : cases) {
        Fresh();
        if (c.weaponKind >= 0) game->equippedWeapon = New(c.weaponKind);
        const std::uint16_t scroll = Scroll(c.kind);
        Read(scroll);
        EXPECT_TRUE(Said(c.failure)) << c.kind;
        EXPECT_FALSE(Carried(scroll));
        EXPECT_NE(game->items.kindState[std::size_t(c.kind)], 0);
        EXPECT_TRUE(game->effects.empty());
    }
}

TEST_F(ScrollTest, TheBlankScrollIsReadButNeitherIdentifiedNorUsedUp)
{
    const std::uint16_t scroll = Scroll(211);
    Start(kActionRead, scroll);
    EXPECT_EQ(Phase(HandleReadScroll, 0), 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{Name(scroll) + "を読んだ。"});
    EXPECT_TRUE(Carried(scroll));
    EXPECT_EQ(game->items.kindState[211], 0);
}

TEST_F(ScrollTest, GoldPlatingWithOnlyAShieldPlatesItAndLiftsItsCurseLast)
{
    const std::uint16_t shield = New(60, 0, CItemControl::kCursed);
    game->equippedShield = shield;
    const std::uint16_t scroll = Scroll(208);
    game->items.kindState[208] = 2;
    Start(kActionRead, scroll);
    EXPECT_EQ(RunToEnd(HandleReadScroll), 5);
    EXPECT_NE(Item(shield).flags & CItemControl::kPlated, 0);
    EXPECT_EQ(Item(shield).flags & CItemControl::kCursed, 0);
    const LogLines lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], Line("装備品が　金でメッキされた！", -1));
    EXPECT_EQ(lines.back(), Line("呪いが解けた。", 65));
    EXPECT_FALSE(Carried(scroll));
}

TEST_F(ScrollTest, IdentifyingNamesTheTargetBeforeAndAfter)
{
    const std::uint16_t potion = New(140);
    Carry(*game, potion);
    const std::uint16_t scroll = Scroll(180);
    game->items.kindState[180] = 2;
    const std::string before = Name(potion);
    Read(scroll, potion);
    EXPECT_TRUE(Said(before + "は\n" + Name(potion) + "だった。", 62));
    EXPECT_NE(before, Name(potion));
}

TEST_F(ScrollTest, TrapsAreAddedRoundHerInACorridorAndClearedFromTheWholeFloor)
{
    game->random.noRandom = true;
    game->traps.trapKinds = {3};
    Area(19, 19, 21, 21, -1);
    Area(22, 20, 22, 20, -1); // beyond the square
    Read(Scroll(181));
    for (std::int32_t x = 19; x <= 21; ++x)
        for (std::int32_t y = 19; y <= 21; ++y)
            EXPECT_EQ(Cell(x, y).objectKind, kObjectTrap) << x << "," << y;
    EXPECT_EQ(Cell(22, 20).objectKind, 0);
    EXPECT_TRUE(Said("罠が増えてしまった！"));

    Cell(58, 39).objectKind = kObjectTrap;
    Cell(30, 30).objectKind = kObjectItem;
    Read(Scroll(184));
    EXPECT_EQ(Cell(20, 20).objectKind, 0);
    EXPECT_EQ(Cell(58, 39).objectKind, 0);
    EXPECT_EQ(Cell(30, 30).objectKind, kObjectItem);
    EXPECT_TRUE(Said("フロアの罠がすべて消えた！"));
}

TEST_F(ScrollTest, CursesParalysisAndDefenceActOnWhatTheKindNames)
{
    const std::uint16_t cursed = New(5, 0, CItemControl::kCursed);
    Carry(*game, cursed);
    Read(Scroll(189));
    EXPECT_EQ(Item(cursed).flags & CItemControl::kCursed, 0);
    EXPECT_TRUE(Said("持っているアイテムの呪いが解けた！"));

    Area(15, 15, 25, 25, 1);
    Monster(0, 21, 21).defence = 9;
    Monster(1, 24, 20).defence = 9;
    AddMonsterKind(*game, 8).abilities = kAbilityMagicProof;
    PlaceMonster(*game, 2, 8, 19, 20).defence = 9;
    Read(Scroll(190));
    EXPECT_EQ(game->characters.monsters[0].status.paralysisTurns, 50);
    EXPECT_EQ(game->characters.monsters[1].status.paralysisTurns, 0);
    EXPECT_EQ(game->characters.monsters[2].status.paralysisTurns, 0);
    EXPECT_TRUE(Said("モンスターを金縛りにした！", 85));

    Read(Scroll(195));
    EXPECT_EQ(game->characters.monsters[0].defence, 4);
    EXPECT_EQ(game->characters.monsters[1].defence, 4);
    EXPECT_EQ(game->characters.monsters[2].defence, 9);
}

TEST_F(ScrollTest, ChangingKeepsTheOnlyKindOfTheTableAfterSixteenDrawsAndMakesItAnew)
{
    CMapControl::SItemAppearance& table = game->map.itemAppearance[3];
    table.kinds = {7};
    table.weights = {5};
    table.total = 5;
    const std::uint16_t sword = New(7, 12);
    Carry(*game, sword);
    game->equippedWeapon = sword;
    game->random.SetSeed(3);
    Math::CRand expected = game->random;
    const std::uint16_t scroll = Scroll(193);
    game->items.kindState[193] = 2;
    const std::string before = Name(sword);
    Read(scroll, sword);
    EXPECT_EQ(Item(sword).kind, 7);
    EXPECT_NE(Item(sword).value, 12);
    EXPECT_EQ(game->equippedWeapon, 0xFFFF);
    EXPECT_TRUE(Said(before + "は\n" + Name(sword) + "に変わってしまった。"));
    for (int i = 0; i < 16; ++i)
        PickWeightedIndexWithTotal(table.weights, table.total, expected);
    CItemControl::SItem fresh;
    game->items.InitItem(fresh, expected, 7, game->dungeon);
    EXPECT_EQ(fresh.value, Item(sword).value);
    EXPECT_EQ(RandomDraw(game->random), RandomDraw(expected));

    table.kinds.clear();
    table.weights.clear();
    table.total = 0;
    Read(Scroll(193), sword);
    EXPECT_TRUE(Said("しかし　何も起こらなかった。"));
}

TEST_F(ScrollTest, ChargesAreAddedUpToTheCapAndAnEmptyPotGivesNothing)
{
    for (const auto& [charges, added] : {std::pair{97, 2}, std::pair{99, 0}}) {
        Fresh();
        const std::uint16_t staff = New(240, std::int16_t(charges));
        Carry(*game, staff);
        const std::uint16_t scroll = Scroll(205);
        game->items.kindState[205] = 2;
        Read(scroll, staff);
        EXPECT_EQ(Item(staff).value, charges + added);
        const bool told = added > 0 ? Said(Name(staff) + "の\n使用回数が" + N(added) + "増えた。", 97)
                                    : Said("しかし　何も起こらなかった。");
        EXPECT_TRUE(told);
    }
    const std::uint16_t pot = NewPot(350, 3, {});
    Carry(*game, pot);
    Read(Scroll(206), pot);
    EXPECT_TRUE(Said("しかし　中身は吸い出せなかった。"));
}

TEST_F(ScrollTest, EnhancingDrawsOneTwoOrThreeFromATenthOfTheDraw)
{
    std::array<int, 4> seen{};
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        Fresh();
        const std::uint16_t sword = New(7, 0);
        game->equippedWeapon = sword;
        const std::uint16_t scroll = Scroll(202);
        game->items.kindState[202] = 2;
        game->random.SetSeed(seed);
        Start(kActionRead, scroll);
        for (std::int32_t step = 0; step < 3; ++step)
            Phase(HandleReadScroll, step);
        Math::CRand copy = game->random;
        const std::int32_t want = std::max(1, std::int32_t(RandomDraw(copy) % 10) / 3);
        EXPECT_EQ(Phase(HandleReadScroll, 3), 0);
        EXPECT_EQ(Item(sword).value, want) << seed;
        ++seen[std::size_t(want)];
    }
    EXPECT_GT(seen[1], seen[2]);
    EXPECT_GT(seen[3], 0);

    Fresh();
    game->random.noRandom = true;
    const std::uint16_t shield = New(60, 0, CItemControl::kCursed);
    game->equippedShield = shield;
    Read(Scroll(203));
    EXPECT_EQ(Item(shield).value, 1);
    EXPECT_TRUE(Said("呪いが解けた。", 65));
}

TEST_F(ScrollTest, FloorScrollsFadeToWhiteThenChangeTheFloorAndFadeBack)
{
    const struct
    {
        std::int32_t kind;
        const char* message;
        std::int32_t sound;
    } cases[] = {
        {186, "フロアの水がすべて凍った！", 18},
        {188, "フロアの状態が判明した！", -1},
        {200, "フロアの水がすべて蒸発した！", -1},
        {207, "フロアの壁がすべて崩れた！", 24},
    };
    for (const auto& c : cases) {
        Fresh();
        Area(10, 10, 30, 30, 0);
        Cell(12, 12).terrain = 4;
        const std::uint16_t potion = New(140);
        Carry(*game, potion);
        const std::uint16_t scroll = Scroll(c.kind);
        game->items.kindState[std::size_t(c.kind)] = 2;
        Start(kActionRead, scroll);
        Phase(HandleReadScroll, 0);
        EXPECT_EQ(Phase(HandleReadScroll, 1), 1);
        EXPECT_EQ(game->fadeOutToWhite, 64);
        EXPECT_EQ(sounds.played.back(), 92);
        EXPECT_EQ(game->fadeInFromWhite, 0);
        EXPECT_EQ(Phase(HandleReadScroll, 2), 1);
        EXPECT_EQ(Phase(HandleReadScroll, 3), 0);
        EXPECT_EQ(game->fadeInFromWhite, 32);
        EXPECT_EQ(Lines().back(), Line(c.message, c.sound));
        EXPECT_FALSE(Carried(scroll));
        if (c.kind == 186) {
            EXPECT_NE(Cell(12, 12).terrain, 4);
            EXPECT_NE(Item(potion).flags & CItemControl::kFrozen, 0);
        }
        if (c.kind == 200) {
            EXPECT_NE(Cell(12, 12).terrain, 4);
        }
    }
}

TEST_F(ScrollTest, CleaningInACorridorTouchesOnlyTheSquareRoundHer)
{
    Area(15, 20, 25, 20, -1);
    const std::uint16_t near = New(5);
    const std::uint16_t far = New(6);
    Cell(21, 20).objectKind = kObjectItem;
    Cell(21, 20).objectId = near;
    Cell(23, 20).objectKind = kObjectItem;
    Cell(23, 20).objectId = far;
    Cell(19, 20).objectKind = kObjectTrap;
    Cell(19, 21).objectKind = kObjectStairs;
    Monster(0, 21, 20);
    Monster(1, 23, 20);
    const std::uint16_t scroll = Scroll(209);
    Start(kActionRead, scroll);
    RunToEnd(HandleReadScroll);
    EXPECT_EQ(Cell(21, 20).objectKind, 0);
    EXPECT_EQ(Item(near).kind, kNone);
    EXPECT_EQ(Cell(23, 20).objectKind, kObjectItem);
    EXPECT_EQ(Cell(19, 20).objectKind, 0);
    EXPECT_EQ(Cell(19, 21).objectKind, kObjectStairs);
    EXPECT_EQ(game->characters.monsters[0].type, 0);
    EXPECT_EQ(game->characters.monsters[1].type, kCharacterHostile);
    EXPECT_TRUE(Said("周りがキレイになった！"));
}

TEST_F(ScrollTest, GatheringMovesMonstersNearHer)
{
    Area(10, 10, 30, 30, 0);
    Monster(0, 29, 29).sleepState = 4;
    Read(Scroll(185));
    const CCharacterControl::SMonster& m = game->characters.monsters[0];
    EXPECT_LE(std::abs(m.x - 20), 8);
    EXPECT_LE(std::abs(m.y - 20), 7);
    EXPECT_EQ(m.sleepState, 0);
    EXPECT_TRUE(Said("モンスターが集まってきた！", 49));
}

TEST_F(ScrollTest, TheSetsTakeHerRoomAndTheSquareRoundHerButNeverChestsPillarsOrMagicProof)
{
    Area(10, 10, 19, 30, 1); // her room ends beside her corridor cell
    Area(20, 20, 25, 20, -1);
    Monster(0, 19, 21);          // the room next door, within the square
    Monster(1, 10, 10);          // that room, far off
    Monster(2, 21, 20).type = 6; // a chest
    Monster(3, 21, 19).type = 7; // an ice pillar
    AddMonsterKind(*game, 8).abilities = kAbilityMagicProof;
    PlaceMonster(*game, 4, 8, 19, 19);
    MonsterSet set;
    CollectMonstersInPlayersRoom(*game, set);
    EXPECT_TRUE(set.empty());
    CollectMonstersAroundPlayer(*game, set);
    EXPECT_EQ(set, MonsterSet{0});

    Heroine().x = 15; // now inside the room
    CollectMonstersInPlayersRoom(*game, set);
    EXPECT_EQ(set, (MonsterSet{0, 1}));
}

TEST_F(ScrollTest, FireStrikeAndBoltPushOneRecordPerMonsterTheyCanReach)
{
    const struct
    {
        std::int32_t kind;
        std::int32_t pushed;
        std::vector<std::int32_t> monsters; // the slots named, in push order
    } cases[] = {
        {183, kActionSetFire, {0}},
        {201, kActionScrollStrike, {0}},
        {191, kActionScrollBolt, {0, 1}},
    };
    for (const auto& c : cases) {
        Fresh();
        Area(15, 15, 25, 25, 1);
        Monster(0, 22, 22);
        Monster(1, 18, 18);
        Cell(18, 18).terrain = 4;    // water
        Monster(2, 24, 24).type = 3; // a shopkeeper
        Monster(3, 30, 30);          // outside her room
        const std::uint16_t scroll = Scroll(c.kind);
        game->items.kindState[std::size_t(c.kind)] = 2;
        Read(scroll);
        std::vector<std::int32_t> named;
        for (const SActionRecord& record : game->commandQueue.pending) {
            EXPECT_EQ(record.kind, c.pushed);
            if (record.kind == kActionSetFire) {
                named.push_back(game->characters.FindMonsterIndexAt(record.param3, record.param4));
            } else {
                ASSERT_EQ(record.values.size(), 1u);
                named.push_back(record.values[0]);
            }
        }
        EXPECT_EQ(named, c.monsters) << c.kind;
    }
}

TEST_F(ScrollTest, ScatteringSendsTheItemsOfTheFloorToFreeCells)
{
    Area(10, 10, 30, 30, 0);
    for (std::int32_t x = 10; x <= 30; ++x)
        for (std::int32_t y = 10; y <= 30; ++y)
            game->map.candidateCells.push_back({x, y});
    const std::uint16_t loose = New(5);
    const std::uint16_t goods = New(6, 0, CItemControl::kShopGoods);
    game->map.PlaceItemObject(21, 20, loose);
    game->map.PlaceItemObject(12, 12, goods);
    const std::uint16_t scroll = Scroll(196);
    Start(kActionRead, scroll);
    Phase(HandleReadScroll, 0);
    EXPECT_EQ(Phase(HandleReadScroll, 1), 1);
    EXPECT_EQ(Cell(21, 20).objectShown, 0);
    EXPECT_EQ(Phase(HandleReadScroll, 3), 0);
    std::int32_t found = 0;
    for (const SMapCell& cell : game->map.cells)
        if (cell.objectKind == kObjectItem && cell.objectId == loose) ++found;
    EXPECT_EQ(found + std::int32_t(game->reactionQueue.pending.size()), 1);
    EXPECT_EQ(Cell(12, 12).objectId, goods);
    EXPECT_EQ(Cell(12, 12).objectShown, 1);
}

TEST_F(ScrollTest, AStrikeFarOffDealsDamageWithoutShowingIt)
{
    CCharacterControl::SMonster& far = Monster(0, 60, 40);
    far.hp = far.maxHp = 200;
    PushScrollStrikeAction(queue, MonsterSet{0});
    queue.current = queue.pending.back();
    EXPECT_EQ(Phase(HandleScrollStrike, 0), 1);
    EXPECT_TRUE(game->effects.empty());
    EXPECT_EQ(sounds.played, std::vector<std::int32_t>{19});
    EXPECT_EQ(Phase(HandleScrollStrike, 1), 0);
    EXPECT_LT(game->characters.monsters[0].hp, 200);
}

class SealChoiceTest : public ScrollTest
{
protected:
    std::uint16_t Target()
    {
        const std::uint16_t sword = New(7);
        Item(sword).slots = {21, 22, 23, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
        Item(sword).sealCount = 3;
        return sword;
    }
    void StartErase(std::uint16_t target)
    {
        PushEraseSealAction(queue, 0, target);
        queue.current = queue.pending.back();
        queue.pending.pop_back();
    }
    std::array<std::uint16_t, 3> Seals(std::uint16_t item)
    {
        return {Item(item).slots[0], Item(item).slots[1], Item(item).slots[2]};
    }
    static std::uint32_t Word(std::uint32_t slot) { return slot << 8 | 11; }
    void LoadLog(const std::vector<std::uint32_t>& words)
    {
        std::vector<std::uint8_t> bytes = {'q', 'r', 'l', 's', 1, 0, 0, 0, 1, 0, 0, 0};
        std::uint32_t sum = 0;
        bytes.push_back(std::uint8_t(words.size()));
        bytes.push_back(0);
        for (const std::uint32_t word : words)
            for (int i = 0; i < 4; ++i) {
                bytes.push_back(std::uint8_t(word >> (8 * i)));
                sum = (sum + (word >> (8 * i) & 0xFF)) & 0xFFFF;
            }
        bytes.push_back(std::uint8_t(sum));
        bytes.push_back(std::uint8_t(sum >> 8));
        ASSERT_EQ(ReadActionFile(game->actionLog, 1, 1, bytes), kActionFileRead);
    }
};

TEST_F(SealChoiceTest, InNormalPlayTheChoiceOpensTheWindowAndEveryAnswerIsLogged)
{
    game->dungeon = 1;
    const struct
    {
        std::uint16_t choice;
        std::array<std::uint16_t, 3> seals;
    } cases[] = {{1, {21, 23, kNone}}, {0xFFFF, {21, 22, 23}}, {3, {21, 22, 23}}};
    for (const auto& c : cases) {
        const std::uint16_t sword = Target();
        StartErase(sword);
        EXPECT_EQ(Phase(HandleEraseSeal, 0), 1);
        EXPECT_EQ(game->chosenAbility, sword);
        EXPECT_EQ(game->endOfRunRequest.requested, 1);
        EXPECT_EQ(game->endOfRunRequest.fade, 1);
        EXPECT_EQ(game->endOfRunRequest.mode, 5);
        game->chosenAbility = c.choice; // as the window writes it
        EXPECT_EQ(Phase(HandleEraseSeal, 1), 0);
        EXPECT_EQ(Seals(sword), c.seals);
        EXPECT_EQ(game->actionLog.GetWords().back(), Word(c.choice));
        EXPECT_EQ(game->chosenAbility, 0xFFFF);
    }
}

TEST_F(SealChoiceTest, AReplayTakesTheLoggedChoiceAndACancelStillConsumesItsCommand)
{
    game->playMode = kPlayReplay;
    LoadLog({Word(0xFFFF), Word(2), 1 << 8 | 5});
    const std::uint16_t sword = Target();
    for (const std::array<std::uint16_t, 3> seals :
         {std::array<std::uint16_t, 3>{21, 22, 23}, {21, 22, kNone}}) {
        StartErase(sword);
        EXPECT_EQ(Phase(HandleEraseSeal, 0), 1);
        EXPECT_EQ(Phase(HandleEraseSeal, 1), 0);
        EXPECT_EQ(Seals(sword), seals);
    }
    EXPECT_TRUE(game->actionLog.GetWords().empty());
    // The next command is not a seal choice: the action ends with nothing removed.
    StartErase(sword);
    EXPECT_EQ(Phase(HandleEraseSeal, 0), 0);
    EXPECT_EQ(game->actionLog.GetReadIndex(), 3);
}

} // namespace
