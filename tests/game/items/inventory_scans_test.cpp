#include "game/items/item_rules_fixture.h"
#include "game/support/message_recorder.h"

#include <initializer_list>

namespace {

class ShopAccounting : public ItemRulesTest
{
protected:
    void Choose(std::initializer_list<std::int32_t> items, bool asList = true)
    {
        game->playerCommands.clear();
        const auto push = [&](std::int32_t kind, std::int32_t arg2) {
            SPlayerCommand command;
            command.kind = kind;
            command.arg2 = arg2;
            game->playerCommands.push_back(command);
        };
        if (!asList) {
            push(13, *items.begin());
            return;
        }
        push(14, -1);
        for (const std::int32_t item : items)
            push(13, item);
        push(0, -1);
        push(5, 1); // a later command that the sale empties away
    }
    void Carry(std::initializer_list<std::uint16_t> items)
    {
        game->inventory.fill(kNone);
        std::size_t i = 0;
        for (const std::uint16_t item : items)
            game->inventory[i++] = item;
    }
};

TEST_F(ShopAccounting, CarriedItemsCountThePotsContentsButNotTheJarsWater)
{
    Carry({New(120), NewPot(351, 4, {New(121), New(122)}), New(123), New(124)});
    EXPECT_EQ(CountCarriedItems(*game), 6);
    game->inventory[4] = NewPot(358, 3, {0, 1, 0});
    EXPECT_EQ(CountCarriedItems(*game), 7);
}

TEST_F(ShopAccounting, GoodsLyingInTheShopSumTheirBuyPrices)
{
    game->map.specialRoom = 3;
    const auto lay = [&](std::uint16_t item, std::uint32_t x, std::int8_t room) {
        SMapCell& cell = game->map.GetCell(x, 5);
        cell.room = room;
        cell.objectKind = kObjectItem;
        cell.objectId = item;
    };
    // A goods pot of size 3 holding her own herb: 100 + two free slots at 20.
    const std::uint16_t herb = New(120);
    lay(NewPot(351, 3, {herb}), 10, 3);
    Item(game->map.GetCell(10, 5).objectId).flags = CItemControl::kShopGoods;
    // Her own pot holding goods: only the goods count.
    lay(NewPot(352, 2, {New(121, 0, CItemControl::kShopGoods)}), 11, 3);
    // Goods outside the shop do not count.
    lay(New(122, 0, CItemControl::kShopGoods), 12, 4);
    struct Case
    {
        std::int32_t rulesVersion;
        std::int32_t sum;
    };
    for (const Case& c : {Case{0, 140 - 100 + 100}, Case{2, 140 + 100}}) {
        game->rulesVersion = c.rulesVersion;
        EXPECT_EQ(SumShopGoodsPrice(*game), c.sum) << c.rulesVersion;
    }
    game->map.specialRoom = -1;
    EXPECT_EQ(SumShopGoodsPrice(*game), 0);
}

TEST_F(ShopAccounting, TheCursedEquippedWeaponIsNotSold)
{
    const std::uint16_t sword = New(3, 0, CItemControl::kCursed);
    const std::uint16_t herb = New(120);
    Carry({sword, herb});
    game->equippedWeapon = sword;
    game->gold = 10;
    Choose({sword, herb});
    MessageRecorder messages(*game);
    SettleShopTransaction(*game, false);
    EXPECT_EQ(game->gold, 10u + 40u);
    EXPECT_EQ(game->inventory[0], sword);
    EXPECT_EQ(game->inventory[1], kNone);
    EXPECT_EQ(Item(herb).kind, kNone);
    EXPECT_TRUE(game->playerCommands.empty());
    EXPECT_EQ(messages.Text(), Name(sword) + "は　呪われていて外れなかった！");
}

TEST_F(ShopAccounting, HandedBackGoodsComeOffTheBillAndGoldStopsAtItsCap)
{
    game->items.kinds[123].sellPrice = 5000;
    const std::uint16_t goods = New(120, 0, CItemControl::kShopGoods);
    const std::uint16_t inPot = New(121, 0, CItemControl::kShopGoods);
    const std::uint16_t pot = NewPot(351, 2, {inPot});
    const std::uint16_t treasure = New(123);
    Carry({goods, pot, treasure});
    game->shopBill = 300;
    game->gold = kGoldLimit - 1000;
    Choose({goods, treasure});
    SettleShopTransaction(*game, false);
    EXPECT_EQ(game->shopBill, 200);
    EXPECT_EQ(game->gold, kGoldLimit);
    EXPECT_EQ(game->inventory[0], pot);
    Choose({pot}, false);
    SettleShopTransaction(*game, false);
    EXPECT_EQ(game->shopBill, 100);
    EXPECT_EQ(Item(inPot).kind, kNone);
}

TEST_F(ShopAccounting, AnItemSoldFromAPotLeavesThePot)
{
    const std::uint16_t first = New(120);
    const std::uint16_t second = New(121);
    const std::uint16_t inside = New(122);
    const std::uint16_t pot = NewPot(351, 2, {New(123), inside});
    Carry({first, second, pot});
    Choose({inside}, false);
    SettleShopTransaction(*game, false);
    EXPECT_EQ(game->inventory[1], second) << "the inventory slot of the same number stays";
    EXPECT_EQ(Item(pot).slots[1], kNone);
    EXPECT_EQ(Item(inside).kind, kNone);
    EXPECT_EQ(game->gold, 40u);
}

TEST_F(ShopAccounting, AnEmptyCommandSequenceSellsNothing)
{
    const std::uint16_t herb = New(120);
    Carry({herb});
    game->playerCommands.clear();
    SettleShopTransaction(*game, true);
    SellSelectedWarehouseItems(*game);
    EXPECT_EQ(game->inventory[0], herb);
    EXPECT_EQ(game->gold, 0u);
    EXPECT_TRUE(game->actionLog.GetWords().empty());
}

TEST_F(ShopAccounting, ChoicesAreLoggedInNormalPlayOnly)
{
    struct Case
    {
        std::int32_t playMode;
        bool logCommands;
        bool asList;
        std::size_t words;
    };
    for (const Case& c : {Case{kPlayNormal, true, true, 4}, Case{kPlayNormal, true, false, 1},
                          Case{kPlayNormal, false, true, 0}, Case{kPlaySilentRerun, true, true, 0},
                          Case{kPlayReplay, true, false, 0}}) {
        Fresh();
        const std::uint16_t a = New(120);
        const std::uint16_t b = New(121);
        Carry({a, b});
        game->playMode = c.playMode;
        Choose({a, b}, c.asList);
        SettleShopTransaction(*game, c.logCommands);
        EXPECT_EQ(game->actionLog.GetWords().size(), c.words) << c.playMode << c.logCommands << c.asList;
    }
}

TEST_F(ShopAccounting, WarehouseItemsSellForTheirPriceAndLeave)
{
    game->inventory.fill(kNone);
    const std::uint16_t stored = game->items.StoreInWarehouse(*game, New(123));
    const std::uint16_t other = game->items.StoreInWarehouse(*game, New(124));
    Choose({stored, 6000});
    SellSelectedWarehouseItems(*game);
    EXPECT_EQ(game->gold, 40u);
    EXPECT_EQ(game->items.GetWarehouseItem(stored).kind, kNone);
    EXPECT_EQ(game->items.warehouseCount, 1);
    EXPECT_EQ(game->items.warehouseList[0], other);
    EXPECT_EQ(game->items.FindFreeItem(), 0) << "nothing left in the item table";
}

} // namespace
