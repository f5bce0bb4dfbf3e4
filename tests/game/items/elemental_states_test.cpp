// Fire, cold, water and curses on carried items and cells; the trap under a character; announcing an
// identification and throwing a used item away.

#include "game/characters/combat.h"
#include "game/items/elemental_states.h"
#include "game/items/item_rules_fixture.h"
#include "game/support/message_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::int32_t kFood = 120;
constexpr std::int32_t kBurntFood = 125;
constexpr std::int32_t kScroll = 180;
constexpr std::int32_t kFireStone = 319;
constexpr std::int32_t kCurseGuard = 58;
constexpr std::int32_t kPot = 350;
constexpr std::int32_t kWaterJar = 358;

class ElementalStatesTest : public ItemRulesTest
{
protected:
    SGameResource& G() { return *game; }
    std::vector<std::string> Lines(const MessageRecorder& recorder) { return recorder.Lines(); }
    SMapCell& Cell(std::int32_t x, std::int32_t y)
    {
        return game->map.GetCell(std::uint32_t(x), std::uint32_t(y));
    }
    void PutFire(std::int32_t x, std::int32_t y, std::uint16_t turns)
    {
        Cell(x, y).objectKind = kObjectFire;
        Cell(x, y).objectId = turns;
    }
    std::uint16_t CarryNew(std::int32_t kind, std::int16_t value = 0, std::uint16_t flags = 0)
    {
        const std::uint16_t index = New(kind, value, flags);
        Carry(G(), index);
        return index;
    }
};

// ---- The operations every use handler shares.

TEST_F(ElementalStatesTest, AnnounceIdentificationTellsOldAndNewNameOnce)
{
    const std::uint16_t scroll = CarryNew(kScroll);
    const std::string before = Name(scroll);
    MessageRecorder recorder(G());
    AnnounceIdentification(scroll, G());
    const std::string after = Name(scroll);
    EXPECT_NE(before, after);
    EXPECT_EQ(Lines(recorder), (std::vector<std::string>{before + "は", after + "だった。"}));

    // Its kind is known now: a second announcement says nothing, and neither does 0xFFFF.
    MessageRecorder again(G());
    AnnounceIdentification(scroll, G());
    AnnounceIdentification(kNone, G());
    EXPECT_TRUE(again.Lines().empty());
}

TEST_F(ElementalStatesTest, RemoveCarriedItemFindsItInSlotOrCarriedPot)
{
    const std::uint16_t loose = CarryNew(kScroll);
    const std::uint16_t inside = New(kFood);
    const std::uint16_t pot = NewPot(kPot, 3, {inside});
    Carry(G(), pot);

    RemoveCarriedItem(G(), inside);
    EXPECT_EQ(Item(pot).slots[0], kNone);
    EXPECT_EQ(Item(inside).kind, kNone);
    EXPECT_EQ(G().inventory[1], pot);

    RemoveCarriedItem(G(), loose);
    EXPECT_EQ(G().inventory[0], pot);
    EXPECT_EQ(Item(loose).kind, kNone);

    // Not carried: nothing happens.
    const std::uint16_t stray = New(kScroll);
    RemoveCarriedItem(G(), stray);
    EXPECT_EQ(Item(stray).kind, kScroll);
}

// ---- Water on the heroine and her items.

TEST_F(ElementalStatesTest, WetRandomCarriedItem)
{
    // Scrolls and food but burnt food get wet; the fire stone and the shield's seals stop the water.
    const struct
    {
        const char* name;
        std::vector<std::int32_t> carried;
        std::uint16_t seal;
        std::int32_t n;
        std::int32_t wet;
        std::size_t lines;
        std::string lastLine;
    } cases[] = {
        {"up to n", {140, kScroll, kFood, kBurntFood, kScroll}, 0, 2, 2, 3, "は濡れてしまった！"},
        {"fire stone", {kScroll, kFireStone}, 0, 1, 0, 2, "しかし　焼け石に水だった！"},
        {"seal 40", {kScroll}, 40, 1, 0, 1, "に水がかかった。"},
        {"seal 69", {kScroll}, 69, 1, 0, 1, "に水がかかった。"},
    };
    for (const auto& c : cases) {
        Fresh();
        std::vector<std::uint16_t> items;
        for (const std::int32_t kind : c.carried)
            items.push_back(CarryNew(kind));
        if (c.seal != 0) EquipShieldWithSeals(G(), {c.seal});
        MessageRecorder recorder(G());
        EXPECT_EQ(WetRandomCarriedItem(G(), c.n), c.wet) << c.name;
        std::int32_t wet = 0;
        for (const std::uint16_t item : items)
            wet += (Item(item).flags & CItemControl::kWet) != 0;
        EXPECT_EQ(wet, c.wet) << c.name;
        const std::vector<std::string> lines = recorder.Lines();
        ASSERT_EQ(lines.size(), c.lines) << c.name;
        EXPECT_NE(lines.front().find("に水がかかった。"), std::string::npos) << c.name;
        EXPECT_NE(lines.back().find(c.lastLine), std::string::npos) << c.name;
    }

    // The heroine's reaction to water is this operation; fixed-random mode keeps the slot order.
    Fresh();
    G().random.noRandom = true;
    const std::uint16_t first = CarryNew(kScroll);
    const std::uint16_t second = CarryNew(kScroll);
    G().characters.player.Wet(G(), 0xFFFF, 1);
    EXPECT_NE(Item(first).flags & CItemControl::kWet, 0);
    EXPECT_EQ(Item(second).flags & CItemControl::kWet, 0);
}

// ---- Cold, fire and curses on carried items.

TEST_F(ElementalStatesTest, FreezeItemFreezesOneItemUnlessShielded)
{
    const std::uint16_t potion = CarryNew(140);
    MessageRecorder recorder(G());
    EXPECT_EQ(FreezeItem(G()), 1);
    EXPECT_NE(Item(potion).flags & CItemControl::kFrozen, 0);
    EXPECT_EQ(recorder.Text(), Name(potion) + "は凍ってしまった！");

    for (const std::uint16_t seal : {40, 69}) {
        Fresh();
        const std::uint16_t guarded = CarryNew(140);
        EquipShieldWithSeals(G(), {seal});
        MessageRecorder silent(G());
        EXPECT_EQ(FreezeItem(G()), 0) << seal;
        EXPECT_EQ(Item(guarded).flags & CItemControl::kFrozen, 0) << seal;
        EXPECT_TRUE(silent.Lines().empty()) << seal;
    }
}

TEST_F(ElementalStatesTest, MeltItemThawsAFrozenItemOrTheJarsLastIce)
{
    const std::uint16_t scroll = CarryNew(kScroll, 0, CItemControl::kFrozen);
    MessageRecorder recorder(G());
    EXPECT_EQ(MeltItem(G()), 1);
    EXPECT_EQ(Item(scroll).flags & (CItemControl::kFrozen | CItemControl::kWet), CItemControl::kWet);
    EXPECT_EQ(recorder.Text(), Name(scroll) + "の氷が溶けた。");

    Fresh();
    const std::uint16_t jar = NewPot(kWaterJar, 3, {0, 1, 1});
    Carry(G(), jar);
    EXPECT_EQ(MeltItem(G()), 1);
    EXPECT_EQ(Item(jar).slots[0], 0);
    EXPECT_EQ(Item(jar).slots[1], 1);
    EXPECT_EQ(Item(jar).slots[2], 0);

    Fresh();
    CarryNew(kScroll);
    EXPECT_EQ(MeltItem(G()), 0);
}

TEST_F(ElementalStatesTest, BurnItemAlwaysExposesCarriedFood)
{
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        Fresh();
        G().random.SetSeed(seed);
        const std::uint16_t food = CarryNew(kFood);
        std::vector<std::uint16_t> scrolls;
        for (std::int32_t i = 0; i < 10; ++i)
            scrolls.push_back(CarryNew(kScroll));
        MessageRecorder recorder(G());
        EXPECT_EQ(BurnItem(G()), 1);
        EXPECT_EQ(Item(food).kind, kBurntFood) << seed;
        EXPECT_EQ(recorder.Text(), Name(food) + "は焼けた！");
        for (const std::uint16_t scroll : scrolls)
            EXPECT_EQ(Item(scroll).kind, kScroll);
    }
}

TEST_F(ElementalStatesTest, BurnItemEdgeCases)
{
    // Burnt food is left alone, yet the fire counts.
    const std::uint16_t burnt = CarryNew(kBurntFood);
    MessageRecorder recorder(G());
    EXPECT_EQ(BurnItem(G()), 1);
    EXPECT_EQ(Item(burnt).kind, kBurntFood);
    EXPECT_TRUE(recorder.Lines().empty());

    // No food, fixed-random mode: slot 0 burns up and leaves the inventory.
    Fresh();
    G().random.noRandom = true;
    const std::uint16_t first = CarryNew(kScroll);
    const std::uint16_t second = CarryNew(kScroll);
    const std::string name = Name(first);
    MessageRecorder burning(G());
    EXPECT_EQ(BurnItem(G()), 1);
    EXPECT_EQ(burning.Text(), name + "は燃え尽きた！");
    EXPECT_EQ(Item(first).kind, kNone);
    EXPECT_EQ(G().inventory[0], second);

    // The fire-proof seals keep it off.
    for (const std::uint16_t seal : {41, 68}) {
        Fresh();
        const std::uint16_t food = CarryNew(kFood);
        EquipShieldWithSeals(G(), {seal});
        EXPECT_EQ(BurnItem(G()), 0);
        EXPECT_EQ(Item(food).kind, kFood);
    }
}

TEST_F(ElementalStatesTest, CurseItemCursesUpToNButNeverPotsOrGuards)
{
    const std::uint16_t a = CarryNew(kScroll);
    const std::uint16_t pot = NewPot(kPot, 2, {});
    Carry(G(), pot);
    const std::uint16_t b = CarryNew(kFood);
    const std::uint16_t c = CarryNew(140);
    EXPECT_EQ(CurseItem(G(), 2), 2);
    std::int32_t cursed = 0;
    for (const std::uint16_t item : {a, b, c})
        cursed += (Item(item).flags & CItemControl::kCursed) != 0;
    EXPECT_EQ(cursed, 2);
    EXPECT_EQ(Item(pot).flags & CItemControl::kCursed, 0);

    Fresh();
    CarryNew(kCurseGuard);
    CarryNew(kCurseGuard);
    EXPECT_EQ(CurseItem(G(), 2), 0);

    Fresh();
    const std::uint16_t guarded = CarryNew(kScroll);
    EquipShieldWithSeals(G(), {33});
    MessageRecorder recorder(G());
    EXPECT_EQ(CurseItem(G(), 1), 0);
    EXPECT_EQ(Item(guarded).flags & CItemControl::kCursed, 0);
    EXPECT_EQ(recorder.Text(), "しかし　平気だった。");
}

// ---- Water on cells.

TEST_F(ElementalStatesTest, PourWaterOnCell)
{
    struct Case
    {
        const char* name;
        std::uint8_t terrain;
        std::uint8_t objectKind;
        std::uint16_t objectId;
        std::uint8_t terrainAfter;
        std::uint8_t objectKindAfter;
        bool told;
    };
    const Case cases[] = {
        {"wet floor keeps its trap", 12, kObjectTrap, 1, 12, kObjectTrap, false},
        {"trap 12 stays", 5, kObjectTrap, 12, 11, kObjectTrap, false},
        {"trap breaks on plain floor", 5, kObjectTrap, 1, 11, 0, true},
        {"fire goes out", 7, kObjectFire, 30, 13, 0, false},
        {"fire on wet floor goes out", 14, kObjectFire, 30, 14, 0, false},
        {"other floors stay dry", 17, kObjectTrap, 4, 17, 0, true},
    };
    for (const Case& c : cases) {
        Fresh();
        Cell(10, 10) = SMapCell{};
        Cell(10, 10).terrain = c.terrain;
        Cell(10, 10).objectKind = c.objectKind;
        Cell(10, 10).objectId = c.objectId;
        MessageRecorder recorder(G());
        PourWaterOnCell(G(), 10, 10, true, true);
        EXPECT_EQ(Cell(10, 10).terrain, c.terrainAfter) << c.name;
        EXPECT_EQ(Cell(10, 10).objectKind, c.objectKindAfter) << c.name;
        EXPECT_EQ(recorder.Lines().size(), c.told ? 2u : 0u) << c.name;
        if (c.told) {
            EXPECT_EQ(recorder.Lines()[1], "水に濡れて　壊れた。") << c.name;
        }
    }

    // The goal floor's type keeps its floor dry; the item on a cell soaks.
    Fresh();
    G().map.floorType = 21;
    Cell(3, 3).terrain = 5;
    const std::uint16_t scroll = New(kScroll);
    Cell(3, 3).objectKind = kObjectItem;
    Cell(3, 3).objectId = scroll;
    PourWaterOnCell(G(), 3, 3, false, false);
    EXPECT_EQ(Cell(3, 3).terrain, 5);
    EXPECT_NE(Item(scroll).flags & CItemControl::kWet, 0);
}

TEST_F(ElementalStatesTest, SplashWaterOnTheHeroineWetsHerItemsAndShowsTheSplash)
{
    const std::uint16_t scroll = CarryNew(kScroll);
    const std::int32_t x = G().characters.player.x, y = G().characters.player.y;
    Cell(x, y).terrain = 5;
    SplashWaterAt(G(), x, y, true, true);
    EXPECT_NE(Item(scroll).flags & CItemControl::kWet, 0);
    EXPECT_EQ(Cell(x, y).terrain, 11);
    ASSERT_EQ(G().effects.size(), 1u);
    EXPECT_EQ(G().effects[0].GetObjectKind(), kEffectSplash);

    // Far from her: no splash is shown.
    SplashWaterAt(G(), x + 6, y, false, false);
    EXPECT_EQ(G().effects.size(), 1u);
}

// ---- Fire on cells.

class CellFireTest : public ElementalStatesTest
{
protected:
    void SetUp() override
    {
        ElementalStatesTest::SetUp();
        AddMonsterKind(G(), 8, "トカゲ").baseHp = 100;
    }
    CCharacterControl::SMonster& Monster(std::int32_t hp)
    {
        CCharacterControl::SMonster& monster = PlaceMonster(G(), 1, 8, 12, 12);
        monster.hp = monster.maxHp = hp;
        return monster;
    }
};

TEST_F(CellFireTest, FireActsOncePerCellAndTurn)
{
    CCharacterControl::SMonster& monster = Monster(500);
    PutFire(12, 12, 30);
    EXPECT_TRUE(ApplyCellFire(G(), 12, 12, true));
    const std::int32_t after = monster.hp;
    EXPECT_LT(after, 500);
    EXPECT_FALSE(ApplyCellFire(G(), 12, 12, true));
    EXPECT_EQ(monster.hp, after);
    G().burntCells.clear();
    EXPECT_TRUE(ApplyCellFire(G(), 12, 12, true));

    // Nobody there, or no fire: nothing.
    PutFire(13, 12, 30);
    EXPECT_FALSE(ApplyCellFire(G(), 13, 12, true));
    Cell(12, 12).objectKind = 0;
    G().burntCells.clear();
    EXPECT_FALSE(ApplyCellFire(G(), 12, 12, true));

    // A body that is only dying on the fire burns nobody, least of all the heroine elsewhere.
    monster.hp = 0;
    PutFire(12, 12, 30);
    const std::int32_t heroineHp = G().characters.player.hp;
    EXPECT_FALSE(ApplyCellFire(G(), 12, 12, true));
    EXPECT_EQ(G().characters.player.hp, heroineHp);
}

TEST_F(CellFireTest, StrengthIsTheFiresTurnsUpToTwenty)
{
    for (const auto& [turns, strength] : {std::pair{30, 20}, std::pair{7, 7}, std::pair{20, 20}}) {
        Fresh();
        CellFireTest::SetUp();
        CCharacterControl::SMonster& monster = Monster(500);
        const std::int32_t expected = ComputeFireDamage(G(), 1, strength, false);
        PutFire(12, 12, std::uint16_t(turns));
        ASSERT_TRUE(ApplyCellFire(G(), 12, 12, true));
        EXPECT_EQ(500 - monster.hp, expected) << turns;
    }
}

TEST_F(CellFireTest, FireKilledMonsterFeedsTheFire)
{
    for (const auto& [turns, after] : {std::pair{30, 50}, std::pair{250, 255}, std::pair{0x0110, 0x0124}}) {
        Fresh();
        CellFireTest::SetUp();
        Monster(1);
        PutFire(12, 12, std::uint16_t(turns));
        MessageRecorder recorder(G());
        ASSERT_TRUE(ApplyCellFire(G(), 12, 12, true));
        EXPECT_EQ(Cell(12, 12).objectId, after) << turns;
        EXPECT_NE(recorder.Text().find("炎は少し強くなった。"), std::string::npos);
    }
}

TEST_F(CellFireTest, IcePillarMeltsWithoutDamage)
{
    CCharacterControl::SMonster& pillar = Monster(3);
    pillar.TurnIntoIcePillar();
    PutFire(12, 12, 30);
    EXPECT_FALSE(ApplyCellFire(G(), 12, 12, true));
    EXPECT_EQ(pillar.type, kCharacterEmpty);
}

TEST_F(CellFireTest, HeroineIsBurntAndHerFoodRoasts)
{
    G().random.noRandom = true;
    CCharacterControl::SPlayer& heroine = G().characters.player;
    heroine.hp = heroine.maxHp = 200;
    const std::uint16_t food = CarryNew(kFood);
    PutFire(heroine.x, heroine.y, 30);
    EXPECT_TRUE(ApplyCellFire(G(), heroine.x, heroine.y, true));
    EXPECT_LT(heroine.hp, 200);
    EXPECT_EQ(Item(food).kind, kBurntFood);
}

// ---- The trap under a character.

TEST_F(CellFireTest, TriggerTrapUnderCharacter)
{
    struct Case
    {
        const char* name;
        std::uint16_t typeFlags;
        std::uint16_t abilities;
        bool circle;
        bool force;
        bool fires;
    };
    const Case cases[] = {
        {"walker", 0, 0, false, false, true},
        {"flier floats over", 0x04, 0, false, false, false},
        {"wall passer floats over", 0, 0x0008, false, false, false},
        {"flier forced", 0x04, 0, false, true, true},
        {"circle stops it", 0, 0, true, false, false},
        {"circle stops it even forced", 0, 0, true, true, false},
    };
    for (const Case& c : cases) {
        Fresh();
        CellFireTest::SetUp();
        SMonsterKind& kind = G().characters.monsterKinds[8];
        kind.typeFlags = c.typeFlags;
        kind.abilities = c.abilities;
        Monster(50);
        Cell(12, 12).terrain = 5;
        Cell(12, 12).objectKind = kObjectTrap;
        Cell(12, 12).objectId = 13;
        if (c.circle) PlaceCircle(G(), 278, 3, 30, 30);
        EXPECT_EQ(TriggerTrapUnderCharacter(1, G(), c.force), 0);
        EXPECT_EQ(Cell(12, 12).objectShown, c.fires ? 1 : 0) << c.name;
        EXPECT_EQ(G().traps.triggered.count(CTrapControl::PositionKey(12, 12)), c.fires ? 1u : 0u) << c.name;
    }
}

} // namespace

namespace {

// The turn's end soaks each item lying in water or on a wet floor, and only those. Its scan skips the
// columns an earlier scan found no item in, so an item put down after such a scan must be noted.
TEST_F(ElementalStatesTest, TheTurnsEndSoaksItemsInWaterAlsoWhereAnEarlierScanFoundNone)
{
    const struct
    {
        const char* name;
        std::uint8_t terrain;
        std::int32_t x;
        bool wet;
    } cases[] = {
        {"water", 4, 20, true},
        {"wet floor", 13, 5, true},
        {"the last column", 11, 63, true},
        {"dry floor", 5, 30, false},
    };
    for (const auto& c : cases) {
        Fresh();
        SoakItemsLyingInWater(G()); // finds no item anywhere
        Cell(c.x, 10).terrain = c.terrain;
        const std::uint16_t scroll = New(kScroll);
        G().map.PlaceItemObject(c.x, 10, scroll);
        SoakItemsLyingInWater(G());
        EXPECT_EQ((Item(scroll).flags & CItemControl::kWet) != 0, c.wet) << c.name;
    }

    // An item written straight into a freshly cleared map is found too.
    Fresh();
    G().map.Clear();
    Cell(7, 7).terrain = 4;
    const std::uint16_t food = New(kFood);
    Cell(7, 7).objectKind = kObjectItem;
    Cell(7, 7).objectId = food;
    SoakItemsLyingInWater(G());
    EXPECT_NE(Item(food).flags & CItemControl::kWet, 0);
}

} // namespace
