#include "game/items/item_rules_fixture.h"

#include <vector>

namespace {

using Warehouse = ItemRulesTest;

// Fills the warehouse but for `free` slots at its end.
void FillWarehouse(CItemControl& items, std::int32_t free)
{
    for (std::int32_t i = 0; i < CItemControl::kItemCount - free; ++i) {
        items.warehouse[std::size_t(i)].kind = 120;
        items.warehouse[std::size_t(i)].itemClass = kItemClassFood;
    }
    items.warehouseMark = CItemControl::kItemCount - free;
}

TEST_F(Warehouse, APotGoesInWithItsContentsOrNotAtAll)
{
    game->inventory.fill(kNone);
    const std::uint16_t a = New(120);
    const std::uint16_t b = New(121, 0, CItemControl::kWet);
    const std::uint16_t c = New(122);
    const std::uint16_t pot = NewPot(351, 4, {a, b, c});
    Item(pot).flags = CItemControl::kShopGoods | CItemControl::kUsedUp | CItemControl::kIdentified;
    game->inventory[0] = pot;
    FillWarehouse(game->items, 3);
    EXPECT_EQ(game->items.StoreInWarehouse(*game, pot), kNone);
    EXPECT_EQ(game->inventory[0], pot);

    game->items.warehouse[0].Clear();
    const std::uint16_t stored = game->items.StoreInWarehouse(*game, pot);
    ASSERT_EQ(stored, 0);
    const CItemControl::SItem& inWarehouse = game->items.warehouse[0];
    EXPECT_EQ(inWarehouse.flags, CItemControl::kIdentified);
    EXPECT_EQ(inWarehouse.slots[0], 4997);
    EXPECT_EQ(inWarehouse.slots[1], 4998);
    EXPECT_EQ(inWarehouse.slots[2], 4999);
    EXPECT_EQ(game->items.warehouse[4998].kind, 121);
    EXPECT_EQ(game->items.warehouseMark, 5000);
    EXPECT_EQ(game->items.warehouseCount, 1);
    EXPECT_EQ(game->items.warehouseList[0], 0);
    EXPECT_EQ(game->inventory[0], kNone);
    for (const std::uint16_t index : {a, b, c, pot})
        EXPECT_EQ(Item(index).kind, kNone) << index;

    EXPECT_EQ(game->items.StoreInWarehouse(*game, New(120)), kNone) << "full";
    EXPECT_EQ(game->items.StoreInWarehouse(*game, 4999), kNone) << "an empty item";
}

TEST_F(Warehouse, TakingAPotBackReindexesItsContents)
{
    game->inventory.fill(kNone);
    const std::uint16_t a = New(120);
    const std::uint16_t b = New(121);
    const std::uint16_t pot = NewPot(351, 3, {a, b});
    const std::uint16_t herb = New(123);
    game->items.StoreInWarehouse(*game, herb);
    game->items.StoreInWarehouse(*game, pot);
    ASSERT_EQ(game->items.warehouseCount, 2);
    const std::uint16_t stored = game->items.warehouseList[1];
    for (std::int32_t i = 0; i < 3; ++i)
        New(130); // the table's first slots taken
    const std::uint16_t taken = game->items.TakeFromWarehouse(stored);
    ASSERT_EQ(taken, 3);
    EXPECT_EQ(Item(taken).kind, 351);
    EXPECT_EQ(Item(Item(taken).slots[0]).kind, 120);
    EXPECT_EQ(Item(Item(taken).slots[1]).kind, 121);
    EXPECT_EQ(Item(taken).slots[2], kNone);
    EXPECT_EQ(game->items.itemMark, 6);
    EXPECT_EQ(game->items.warehouseCount, 1);
    EXPECT_EQ(game->items.warehouseList[1], kNone);
    EXPECT_EQ(game->items.GetWarehouseItem(stored).kind, kNone);
    EXPECT_EQ(game->items.TakeFromWarehouse(stored), kNone);
}

TEST_F(Warehouse, CompactingMovesTheHighestItemsDown)
{
    CItemControl& items = game->items;
    for (const std::uint16_t slot : {0, 2, 7}) {
        items.warehouse[slot].kind = std::uint16_t(120 + slot);
        items.warehouse[slot].itemClass = kItemClassFood;
    }
    items.warehouse[2].kind = 351;
    items.warehouse[2].itemClass = kItemClassPot;
    items.warehouse[2].value = 2;
    items.warehouse[2].slots[0] = 7;
    items.warehouseMark = 8;
    items.warehouseCount = 4;
    items.warehouseList[0] = 7;
    items.warehouseList[1] = 0;
    items.warehouseList[2] = 7;
    items.warehouseList[3] = 2;
    items.floorItemGrid[1][2] = 7;
    items.CompactWarehouse();
    EXPECT_EQ(items.warehouse[1].kind, 127);
    EXPECT_EQ(items.warehouse[2].kind, 351);
    EXPECT_EQ(items.warehouse[7].kind, kNone);
    EXPECT_EQ(items.warehouse[2].slots[0], 1);
    EXPECT_EQ(items.warehouseMark, 3);
    EXPECT_EQ(items.warehouseCount, 3);
    EXPECT_EQ(std::vector<std::uint16_t>(items.warehouseList.begin(), items.warehouseList.begin() + 4),
              (std::vector<std::uint16_t>{1, 0, 2, kNone}));
    EXPECT_EQ(items.floorItemGrid[1][2], 1);
}

TEST_F(Warehouse, LostOwnEquipmentComesBack)
{
    CItemControl& items = game->items;
    EXPECT_EQ(items.RecoverOwnEquipment(), 1u) << "nothing registered";
    const std::uint16_t sword = New(6, 4);
    const std::uint16_t shield = New(51);
    items.RegisterOwnEquipment(Item(sword));
    items.RegisterOwnEquipment(Item(shield));
    EXPECT_EQ(items.RecoverOwnEquipment(), 1u) << "both still there";

    items.DeleteItem(sword);
    EXPECT_EQ(items.RecoverOwnEquipment(), 0u);
    ASSERT_EQ(items.warehouseCount, 1);
    const CItemControl::SItem& back = items.warehouse[items.warehouseList[0]];
    EXPECT_EQ(back.kind, 6);
    EXPECT_EQ(back.value, 4);
    EXPECT_EQ(items.warehouseMark, 1);
    EXPECT_EQ(items.RecoverOwnEquipment(), 1u) << "found in the warehouse now";

    items.DeleteItem(shield);
    FillWarehouse(items, 0);
    EXPECT_EQ(items.RecoverOwnEquipment(), 2u);
}

TEST_F(Warehouse, ClassListsAndSorting)
{
    CItemControl& items = game->items;
    const std::int32_t kinds[] = {350, 120, 3, 0, 121, 120};
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        items.warehouse[i].kind = std::uint16_t(kinds[i]);
        items.warehouse[i].itemClass = std::int8_t(items.kinds[std::size_t(kinds[i])].classId);
        items.warehouseList[i] = std::uint16_t(i);
    }
    items.warehouse[6].kind = 400; // a class above gold
    items.warehouse[6].itemClass = 12;
    items.warehouseList[6] = 6;
    items.warehouseCount = 7;
    std::vector<std::uint16_t> list;
    items.ListWarehouseItemsOfClass(kItemClassGold, list);
    EXPECT_EQ(list, (std::vector<std::uint16_t>{3, 6}));
    items.ListWarehouseItemsOfClass(kItemClassFood, list);
    EXPECT_EQ(list, (std::vector<std::uint16_t>{1, 4, 5}));

    // The number column orders the list; here it runs against the kind ids for the food.
    items.kinds[120].number = 500;
    items.kinds[121].number = 100;
    items.warehouse[6].Clear();
    items.SortWarehouseIndicesByKind(nullptr);
    EXPECT_EQ(items.warehouseCount, 6);
    EXPECT_EQ(std::vector<std::uint16_t>(items.warehouseList.begin(), items.warehouseList.begin() + 7),
              (std::vector<std::uint16_t>{3, 2, 4, 0, 1, 5, kNone}));

    std::vector<std::uint16_t> chosen = {5, kNone, 4, 1, 6, 2};
    items.SortWarehouseIndicesByKind(&chosen);
    EXPECT_EQ(chosen, (std::vector<std::uint16_t>{2, 5, 1, 4}));
}

} // namespace
