#include "game/items/item_rules_fixture.h"
#include "game/support/message_recorder.h"

#include <algorithm>
#include <vector>

namespace {

using Inventory = ItemRulesTest;
constexpr std::uint16_t kShopGoods = CItemControl::kShopGoods;
constexpr std::uint16_t kCursed = CItemControl::kCursed;

TEST_F(Inventory, ArrowsMergeOnlyWithTheSameCurseAndShopStateBelowTenThousand)
{
    struct Case
    {
        std::int16_t carried;
        std::uint16_t carriedFlags;
        std::int16_t added;
        std::uint16_t addedFlags;
        std::int32_t rulesVersion;
        bool merges;
    };
    for (const Case& c :
         {Case{9990, 0, 10, 0, 2, false}, Case{9989, 0, 10, 0, 2, true}, Case{5, kCursed, 5, 0, 2, false},
          Case{5, kShopGoods, 5, 0, 2, false}, Case{5, kShopGoods, 5, 0, 1, true}}) {
        Fresh();
        game->inventory.fill(kNone);
        game->rulesVersion = c.rulesVersion;
        const std::uint16_t stack = New(100, c.carried, c.carriedFlags);
        ASSERT_EQ(game->items.AddToInventory(*game, stack), 0);
        const std::uint16_t added = New(100, c.added, c.addedFlags);
        EXPECT_EQ(game->items.AddToInventory(*game, added), 0);
        if (c.merges) {
            EXPECT_EQ(Item(stack).value, c.carried + c.added) << c.carried;
            EXPECT_EQ(Item(added).kind, kNone);
            EXPECT_EQ(game->inventory[1], kNone);
        } else {
            EXPECT_EQ(Item(stack).value, c.carried) << c.carried;
            EXPECT_EQ(game->inventory[1], added);
        }
    }
}

TEST_F(Inventory, RemovingASlotShiftsTheRestAndAnswersBadSlots)
{
    game->inventory.fill(kNone);
    for (std::size_t i = 0; i < game->inventory.size(); ++i)
        game->inventory[i] = New(120);
    const std::uint16_t last = game->inventory[19];
    const std::uint16_t second = game->inventory[1];
    struct Case
    {
        std::uint32_t slot;
        std::uint32_t result;
    };
    for (const Case& c : {Case{19, 0}, Case{20, 2}, Case{19, 3}, Case{0, 0}})
        EXPECT_EQ(game->items.RemoveFromInventoryKeep(*game, c.slot), c.result) << c.slot;
    EXPECT_EQ(game->inventory[0], second);
    EXPECT_EQ(game->inventory[18], kNone);
    EXPECT_EQ(Item(last).kind, 120) << "kept, not deleted";
}

TEST_F(Inventory, DeletingACarriedPotEmptiesItAndItsContentsAndUnequipsThem)
{
    game->inventory.fill(kNone);
    const std::uint16_t arrows = New(100, 20);
    const std::uint16_t pot = NewPot(359, 3, {arrows});
    const std::uint16_t sword = New(3);
    game->inventory[0] = sword;
    game->inventory[1] = pot;
    game->equippedWeapon = game->spareWeapon = sword;
    game->equippedArrows = arrows;
    EXPECT_EQ(game->items.RemoveFromInventoryDelete(*game, 1), 0u);
    EXPECT_EQ(Item(pot).kind, kNone);
    EXPECT_EQ(Item(arrows).kind, kNone);
    EXPECT_EQ(game->equippedArrows, kNone);
    EXPECT_EQ(game->equippedWeapon, sword);
    EXPECT_EQ(game->items.RemoveFromInventoryKeep(*game, 0), 0u);
    EXPECT_EQ(game->equippedWeapon, kNone);
    EXPECT_EQ(game->spareWeapon, kNone);
}

TEST_F(Inventory, EquippedArrowsStayEquippedOnlyInPot359)
{
    struct Case
    {
        std::int32_t potKind;
        bool staysEquipped;
    };
    for (const Case& c : {Case{359, true}, Case{351, false}}) {
        Fresh();
        const std::uint16_t arrows = New(100, 10);
        const std::uint16_t pot = NewPot(c.potKind, 2, {});
        game->equippedArrows = arrows;
        EXPECT_EQ(game->items.AddToPot(*game, pot, arrows), 0);
        EXPECT_EQ(Item(pot).slots[0], arrows);
        EXPECT_EQ(game->equippedArrows == arrows, c.staysEquipped) << c.potKind;
    }
}

TEST_F(Inventory, APotTakesItemsOnlyBelowItsSize)
{
    const std::uint16_t herb = New(120);
    const std::uint16_t full = NewPot(351, 1, {New(120)});
    const std::uint16_t broken = NewPot(351, 0, {});
    const std::uint16_t jar = NewPot(358, 3, {});
    const std::uint16_t sword = New(3);
    for (const std::uint16_t pot : {full, broken, jar, sword})
        EXPECT_EQ(game->items.AddToPot(*game, pot, herb), 1) << pot;
    EXPECT_EQ(Item(jar).slots[0], kNone);
    EXPECT_EQ(Item(sword).slots[0], kNone);
}

TEST_F(Inventory, RemovingFromAPotClosesTheGap)
{
    const std::uint16_t a = New(120);
    const std::uint16_t b = New(121);
    const std::uint16_t c = New(122);
    const std::uint16_t pot = NewPot(351, 3, {a, b, c});
    const std::uint16_t herb = New(120);
    struct Case
    {
        std::uint16_t pot;
        std::int32_t n;
        std::uint32_t result;
    };
    for (const Case& k :
         {Case{herb, 0, 1}, Case{pot, -1, 2}, Case{pot, 3, 2}, Case{pot, 0, 0}, Case{pot, 2, 3}})
        EXPECT_EQ(game->items.RemoveFromPotDelete(*game, k.pot, k.n), k.result) << k.n;
    EXPECT_EQ(Item(pot).slots[0], b);
    EXPECT_EQ(Item(pot).slots[1], c);
    EXPECT_EQ(Item(pot).slots[2], kNone);
    EXPECT_EQ(Item(a).kind, kNone);

    // The water jar's slots hold water and ice: taking one out deletes no item of that number.
    ASSERT_EQ(New(125), 0);
    const std::uint16_t jar = NewPot(358, 2, {0, 1});
    EXPECT_EQ(game->items.RemoveFromPotDelete(*game, jar, 0), 0u);
    EXPECT_EQ(Item(jar).slots[0], 1);
    EXPECT_EQ(Item(0).kind, 125);
}

TEST_F(Inventory, FindsItemsInSlotsPotsAndUnderfoot)
{
    game->inventory.fill(kNone);
    const std::uint16_t herb = New(120);
    const std::uint16_t inside = New(121);
    const std::uint16_t pot = NewPot(351, 3, {New(122), inside});
    const std::uint16_t underfoot = New(123);
    const std::uint16_t nowhere = New(124);
    game->inventory[0] = herb;
    game->inventory[1] = pot;
    SMapCell& cell = game->map.GetCell(20, 20);
    cell.objectKind = kObjectItem;
    cell.objectId = underfoot;
    struct Case
    {
        std::uint16_t item;
        bool withFloor;
        std::uint16_t slot;
        std::uint16_t pot;
    };
    for (const Case& c : {Case{herb, false, 0, kNone}, Case{inside, false, 1, pot},
                          Case{underfoot, true, 20, kNone}, Case{underfoot, false, kNone, kNone},
                          Case{nowhere, true, kNone, kNone}, Case{kNone, true, kNone, kNone}}) {
        std::uint16_t slot = 7;
        std::uint16_t inPot = 7;
        game->items.FindInInventory(*game, c.item, slot, inPot, c.withFloor);
        EXPECT_EQ(slot, c.slot) << c.item;
        EXPECT_EQ(inPot, c.pot) << c.item;
    }
}

TEST_F(Inventory, KeepingOnlyCarriedItemsRenumbersEveryReference)
{
    game->inventory.fill(kNone);
    for (std::int32_t i = 0; i < 12; ++i)
        New(120);
    // The bag holds the sword at 3 and the pot at 7, which holds the item at 9.
    Item(3) = Item(New(3));
    Item(7) = Item(NewPot(351, 3, {9}));
    Item(9).flags = kShopGoods;
    for (std::uint32_t i = 12; i < 14; ++i)
        Item(i).Clear();
    game->inventory[0] = 3;
    game->inventory[1] = 7;
    game->equippedWeapon = 3;
    game->equippedShield = 5; // lying on the floor: lost
    game->spareWeapon = 3;
    game->items.KeepOnlyCarriedItems(*game);
    EXPECT_EQ(game->inventory[0], 0);
    EXPECT_EQ(game->inventory[1], 1);
    EXPECT_EQ(Item(1).slots[0], 2);
    EXPECT_EQ(game->equippedWeapon, 0);
    EXPECT_EQ(game->equippedShield, kNone);
    EXPECT_EQ(game->spareWeapon, 0);
    EXPECT_EQ(game->items.itemMark, 3);
    EXPECT_EQ(Item(2).flags & kShopGoods, 0);
    for (std::uint32_t i = 3; i < 12; ++i)
        EXPECT_EQ(Item(i).kind, kNone) << i;
}

TEST_F(Inventory, SortingMergesArrowsAndKeepsAKindTogether)
{
    game->inventory.fill(kNone);
    const std::uint16_t sword = New(3);
    const std::uint16_t arrowsA = New(100, 30);
    const std::uint16_t herb = New(120);
    const std::uint16_t arrowsB = New(100, 20);
    const std::uint16_t big = New(100, 9980);
    const std::uint16_t herb2 = New(120);
    const std::uint16_t shield = New(50);
    game->inventory = {herb,  arrowsA, sword, herb2, arrowsB, big,   shield, kNone, kNone, kNone,
                       kNone, kNone,   kNone, kNone, kNone,   kNone, kNone,  kNone, kNone, kNone};
    game->equippedArrows = arrowsB;
    game->items.SortInventory(*game);
    const std::vector<std::uint16_t> expected = {sword, shield, arrowsA, big, herb, herb2};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), game->inventory.begin()));
    EXPECT_EQ(game->inventory[6], kNone);
    EXPECT_EQ(Item(arrowsA).value, 50);
    EXPECT_EQ(Item(arrowsB).kind, kNone);
    EXPECT_EQ(game->equippedArrows, kNone);
}

TEST_F(Inventory, OnlyASoundItemOfTheKindDrawsALaterOneToIt)
{
    constexpr std::uint16_t kWet = CItemControl::kWet;
    constexpr std::uint16_t kFrozen = CItemControl::kFrozen;
    struct SCase
    {
        const char* name;
        std::vector<std::pair<std::int32_t, std::uint16_t>> carried; // kind and flags, in slot order
        std::vector<std::size_t> sorted;                             // positions in the carried list
    };
    const SCase cases[] = {
        {"after a wet one, by class", {{181, kWet}, {182, 0}, {181, 0}}, {0, 1, 2}},
        {"after a frozen one, by class", {{181, kFrozen}, {182, 0}, {181, 0}}, {0, 1, 2}},
        {"after a sound one, beside it", {{181, 0}, {182, 0}, {181, 0}}, {0, 2, 1}},
        {"a wet one goes by class", {{181, 0}, {182, 0}, {181, kWet}}, {0, 1, 2}},
        {"after the kind's last", {{181, 0}, {181, kWet}, {182, 0}, {181, 0}}, {0, 1, 3, 2}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        game->inventory.fill(kNone);
        std::vector<std::uint16_t> made;
        for (const auto& [kind, flags] : c.carried) {
            made.push_back(New(kind, 0, flags));
            game->inventory[made.size() - 1] = made.back();
        }
        game->items.SortInventory(*game);
        for (std::size_t i = 0; i < c.sorted.size(); ++i)
            EXPECT_EQ(game->inventory[i], made[c.sorted[i]]) << i;
    }
}

TEST_F(Inventory, UnpaidGoodsLeavingTheFloorMakeAThief)
{
    game->inventory.fill(kNone);
    const std::uint16_t herb = New(120, 0, CItemControl::kUnpaid);
    const std::uint16_t stolen = New(121, 0, CItemControl::kUnpaid);
    const std::uint16_t pot = NewPot(351, 2, {stolen});
    game->inventory[0] = herb;
    game->inventory[1] = pot;
    PlaceMonster(*game, 0, 0, 5, 5).type = kCharacterShopkeeper;
    MessageRecorder messages(*game);
    game->items.MarkStolenGoods(*game);
    EXPECT_EQ(game->thief, 1);
    EXPECT_EQ(game->characters.monsters[0].type, kCharacterHostile);
    EXPECT_EQ(Item(game->inventory[0]).flags, kShopGoods);
    EXPECT_EQ(Item(Item(game->inventory[1]).slots[0]).flags, kShopGoods);
    EXPECT_EQ(messages.Text(), "泥棒！");

    game->thief = 0;
    Item(game->inventory[0]).flags = 0;
    MessageRecorder quiet(*game);
    game->items.MarkStolenGoods(*game);
    EXPECT_EQ(game->thief, 0);
    EXPECT_EQ(quiet.Text(), "");
}

} // namespace
