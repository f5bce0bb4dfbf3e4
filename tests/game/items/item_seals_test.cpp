#include "game/support/game_with_kinds.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ItemSeals, CountSealCountsTheKindsSealAndTheUsedSlots)
{
    auto game = MakeTestGame();
    game->items.kinds.resize(60);
    game->items.kinds[52].sealCode = 35;
    const std::uint16_t shield = MakeItem(*game, 52, kItemClassShield);
    CItemControl::SItem& item = game->items.GetItem(shield);
    item.slots = {35, 35, 7, 35, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    item.sealCount = 3;
    struct Case
    {
        std::uint16_t code;
        std::uint32_t count;
    };
    for (const Case& c : {Case{35, 3}, Case{7, 1}, Case{8, 0}, Case{0xFFFF, 0}})
        EXPECT_EQ(game->items.CountSeal(item, c.code), c.count) << c.code;
    item.itemClass = kItemClassFood;
    EXPECT_EQ(game->items.CountSeal(item, 35), 0u);
}

TEST(ItemSeals, DeletingAPotEmptiesItsContentsAndKeepsOwnEquipment)
{
    auto game = MakeTestGame();
    const std::uint16_t pot = MakeItem(*game, 351, kItemClassPot);
    const std::uint16_t sword = MakeItem(*game, 20, kItemClassWeapon);
    const std::uint16_t herb = MakeItem(*game, 200, kItemClassFood);
    game->items.GetItem(sword).flags = CItemControl::kOwnEquipment;
    game->items.GetItem(sword).value = 3;
    CItemControl::SItem& potItem = game->items.GetItem(pot);
    potItem.value = 2;
    potItem.slots[0] = sword;
    potItem.slots[1] = herb;
    EXPECT_EQ(game->items.DeleteItem(pot), 0);
    for (const std::uint16_t index : {pot, sword, herb})
        EXPECT_EQ(game->items.GetItem(index).kind, 0xFFFF) << index;
    EXPECT_EQ(game->items.keptWeapon.kind, 20);
    EXPECT_EQ(game->items.keptWeapon.value, 3);
}

TEST(ItemSeals, CarriedKindsCountOnlySoundItems)
{
    auto game = MakeTestGame();
    for (const std::uint16_t flags :
         std::vector<std::uint16_t>{0, 0, CItemControl::kCursed, CItemControl::kWet, CItemControl::kFrozen}) {
        const std::uint16_t stone = MakeItem(*game, 321, kItemClassMagicStone);
        game->items.GetItem(stone).flags = flags;
        Carry(*game, stone);
    }
    EXPECT_EQ(CountInventoryKind(*game, 321), 2);
    EXPECT_EQ(CountInventoryKind(*game, 322), 0);
}

} // namespace
