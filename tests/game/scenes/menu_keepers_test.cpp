// The camp shop of the two keepers and the warehouse keeper, opened through the menu's requests and
// driven by scripted keys.
#include "game/app/game_resource.h"
#include "game/items/item_names.h"
#include "game/scenes/menu_scene.h"
#include "game/support/menu_fixture.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kDecide = 1u << 0, kCancel = 1u << 1, kMulti = 1u << 4, kUp = 1u << 8,
                        kLeft = 1u << 9, kDown = 1u << 10, kRight = 1u << 11;
constexpr std::int32_t kSword = 5, kFood = 121, kSortingPot = 359;
constexpr std::int32_t kShopkeeper = 10, kShopTopics = 12, kCollector = 11, kCollectorTopics = 13,
                       kWarehouse = 9;

class MenuKeepersTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        game->flag.ResetForNewGame();
        game->gold = 100000;
    }
    void Open(std::int32_t request) { OpenMenu(request); }
    // The top window's entry chosen with the decide key.
    void Choose(std::int32_t entry)
    {
        game->selectWindow.SetCursor(entry);
        Press(kDecide);
    }
    std::vector<std::string> TopLines()
    {
        std::vector<std::string> lines;
        for (const CSelectWindow::SItem& item : game->selectWindow.windows.back().items)
            lines.push_back(Str(item.text));
        return lines;
    }
    std::int32_t Result()
    {
        std::int32_t parameter = -1;
        return control->GetFactory()->TakeSceneParameter(&parameter) ? parameter : -1;
    }
    // What the keeper said, the wrapped lines joined again.
    std::string Said()
    {
        std::string text;
        for (const auto& line : game->messageWindow.pending) {
            std::string part = Str(line.text);
            if (!text.empty() && part.rfind("　", 0) == 0) part = part.substr(std::string("　").size());
            text += part;
        }
        return text;
    }
    // Everything but `free` warehouse slots taken by stored dummies outside the list.
    void LeaveWarehouseSlots(std::int32_t free)
    {
        for (std::int32_t i = free; i < CItemControl::kItemCount; ++i)
            game->items.warehouse[std::size_t(i)].kind = 1;
    }
    std::uint16_t Store(std::int32_t kind) { return game->items.StoreInWarehouse(*game, New(kind)); }
    std::int32_t Carried()
    {
        std::int32_t n = 0;
        for (std::uint16_t id : game->inventory)
            n += id != kNone ? 1 : 0;
        return n;
    }
    // The shop's buy list of a keeper.
    void OpenBuyList(std::int32_t request)
    {
        Open(request);
        Choose(0);
    }
};

// ---- The camp shop.

TEST_F(MenuKeepersTest, StockCountersDecideWhatEachKeeperOffers)
{
    struct Case
    {
        int floors;
        bool collector;
        std::vector<std::int32_t> slots;
    };
    const Case cases[] = {
        {0, false, {0, 2, 3}},
        {3, false, {0, 1, 2, 3, 4}},
        {0, true, {10, 11, 12, 16, 17, 18}},
        {25, true, {10, 11, 12, 16, 17, 18, 23}},
    };
    for (const Case& c : cases) {
        game->flag.ResetForNewGame();
        for (int i = 0; i < c.floors; ++i)
            game->flag.OnNewFloor();
        EXPECT_EQ(OfferedShopSlots(*game, c.collector), c.slots) << c.floors;
        OpenBuyList(c.collector ? kCollector : kShopkeeper);
        ASSERT_EQ(menu->GetState(), c.collector ? 64 : 58);
        EXPECT_EQ(menu->shopSlots, c.slots) << c.floors;
        EXPECT_EQ(TopLines().size(), c.slots.size());
    }
}

TEST_F(MenuKeepersTest, PricesDoubleForPotsAndShowTheirCapacity)
{
    game->items.kinds[26].buyPrice = 50;
    EXPECT_EQ(GetShopPrice(game->items, 8), 400) << "a pot at the shopkeeper's";
    EXPECT_EQ(GetShopPrice(game->items, 0), 200);
    EXPECT_EQ(GetShopPrice(game->items, 15), 4000) << "factor 80";
    EXPECT_EQ(GetShopPrice(game->items, 26), 0) << "an empty slot";

    game->flag.values[8] = 15;
    game->gold = 300;
    OpenBuyList(kShopkeeper);
    ASSERT_EQ(menu->shopSlots, (std::vector<std::int32_t>{0, 2, 3, 8}));
    const std::vector<std::string> lines = TopLines();
    EXPECT_EQ(lines[3], "品[５]");
    const auto& rows = game->selectWindow.windows.back().items;
    EXPECT_EQ(rows[0].enabled, 1);
    EXPECT_EQ(rows[3].enabled, 0) << "400 is above the 300 carried";
    Choose(3);
    EXPECT_EQ(menu->GetState(), 58) << "a grey row is not chosen";
    EXPECT_EQ(game->gold, 300u);
}

TEST_F(MenuKeepersTest, BuyingTakesTheFactorFromTheCounterAndTheGold)
{
    struct Case
    {
        std::int32_t row, slot, counterAfter;
    };
    for (const Case c : {Case{1, 2, 0}, Case{0, 0, 5}}) {
        game->flag.ResetForNewGame();
        game->gold = 1000;
        OpenBuyList(kShopkeeper);
        Choose(c.row);
        ASSERT_EQ(menu->GetState(), 59);
        const auto& question = *std::prev(game->selectWindow.windows.end(), 2);
        ASSERT_EQ(question.items.size(), 2u);
        EXPECT_EQ(Str(question.items[1].text), "２００Ｇになるけど　買うかい？");
        const std::int32_t before = Carried();
        Choose(0);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(Result(), 103);
        EXPECT_EQ(game->gold, 800u);
        EXPECT_EQ(Carried(), before + 1);
        EXPECT_EQ(game->flag.values[std::size_t(c.slot)], c.counterAfter) << c.slot;
    }
    EXPECT_EQ(OfferedShopSlots(*game, false).front(), 0) << "slot 0 stays on sale";
}

TEST_F(MenuKeepersTest, ABoughtPotHoldsFiveAndTheCollectorsCounterStays)
{
    game->flag.values[16] = 0;
    OpenBuyList(kCollector);
    Choose(3); // slot 16
    Choose(0);
    EXPECT_EQ(Result(), 119);
    EXPECT_EQ(game->flag.values[16], 0);
    EXPECT_EQ(Item(game->inventory[0]).value, 0);

    game->flag.values[8] = 15;
    game->inventory.fill(kNone);
    OpenBuyList(kShopkeeper);
    Choose(3); // slot 8
    Choose(0);
    EXPECT_EQ(Item(game->inventory[0]).kind, kSortingPot);
    EXPECT_EQ(Item(game->inventory[0]).value, 5);
    EXPECT_EQ(game->flag.values[8], 0);
}

TEST_F(MenuKeepersTest, AFullInventoryEndsTheVisitWithTheKeepersResult)
{
    for (int i = 0; i < 20; ++i)
        New(kFood);
    for (const auto& [request, result] : {std::pair{kShopkeeper, 104}, std::pair{kCollector, 120}}) {
        OpenBuyList(request);
        Choose(0);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(Result(), result);
    }
    EXPECT_EQ(game->gold, 100000u);
}

TEST_F(MenuKeepersTest, AFullItemTableCostsNothing)
{
    for (std::int32_t i = 0; i < CItemControl::kItemCount; ++i)
        if (Item(std::uint32_t(i)).kind == kNone) Item(std::uint32_t(i)).kind = 1;
    OpenBuyList(kShopkeeper);
    Choose(1);
    Choose(0);
    EXPECT_EQ(game->gold, 100000u);
    EXPECT_EQ(Carried(), 0);
    EXPECT_EQ(game->flag.values[2], 1);
    EXPECT_EQ(menu->GetState(), 58) << "back on the list";
}

TEST_F(MenuKeepersTest, TheCollectorsElevenPiecesTakeTwoPages)
{
    for (std::size_t slot = 10; slot < 30; ++slot)
        game->flag.values[slot] = slot <= 20 ? 0 : 1;
    OpenBuyList(kCollector);
    EXPECT_EQ(TopLines().size(), 10u);
    game->selectWindow.SetCursor(6);
    Press(kLeft);
    EXPECT_EQ(menu->listPage, 1);
    EXPECT_EQ(menu->listPosition, 0) << "lowered onto the only row";
    EXPECT_EQ(menu->shopSlots, (std::vector<std::int32_t>{20}));
    Press(kRight);
    EXPECT_EQ(menu->listPage, 0);
    EXPECT_EQ(TopLines().size(), 10u);

    game->flag.values[20] = 1;
    OpenBuyList(kCollector);
    Press(kLeft);
    EXPECT_EQ(menu->listPage, 0) << "one page does not turn";
}

TEST_F(MenuKeepersTest, TopicsAndGoodbyesAreTheKeepersResults)
{
    struct Case
    {
        std::int32_t request, state, topic, result;
    };
    for (const Case c : {Case{kShopTopics, 62, 3, 109}, Case{kCollectorTopics, 68, 0, 122}}) {
        Open(c.request);
        ASSERT_EQ(menu->GetState(), c.state);
        EXPECT_EQ(menu->GetStateStack().back(), c.state == 62 ? 57 : 63);
        Choose(c.topic);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(Result(), c.result);
    }
    for (const auto& [request, result] : {std::pair{kShopkeeper, 102}, std::pair{kCollector, 118}}) {
        Open(request);
        Press(kCancel);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(Result(), result);
        Open(request);
        Choose(3);
        EXPECT_EQ(Result(), result);
    }
}

TEST_F(MenuKeepersTest, TheSellListShowsWhatEachItemFetches)
{
    New(kFood);
    Open(kShopkeeper);
    Choose(1);
    ASSERT_EQ(menu->GetState(), 60);
    EXPECT_EQ(menu->prices[0], game->items.GetItemPrice(Item(game->inventory[0]), 0, 0));
    EXPECT_EQ(menu->prices[1], -1);
    const std::uint32_t gold = game->gold;
    Choose(0);
    EXPECT_EQ(menu->GetState(), 61);
    Choose(0);
    EXPECT_EQ(Result(), 105);
    EXPECT_EQ(game->gold, gold + std::uint32_t(menu->prices[0]));
    EXPECT_EQ(Carried(), 0) << "sold at once: the camp has no turn to settle it";
    EXPECT_TRUE(game->playerCommands.empty());
}

// ---- The warehouse keeper: money.

TEST_F(MenuKeepersTest, TheDepositStopsWhereTheWarehouseIsFull)
{
    game->bankedGold = 999999990;
    game->gold = 100;
    Open(kWarehouse);
    Choose(3);
    ASSERT_EQ(menu->GetState(), 37);
    EXPECT_EQ(menu->maximumAmount, 10u);
    Press(kLeft);
    Press(kLeft);
    Press(kUp);
    EXPECT_EQ(menu->amount, 10u);
    EXPECT_EQ(TopLines().front(), "　　　　　　　　１０Ｇ");
    Press(kDecide);
    EXPECT_EQ(game->bankedGold, 1000000000u);
    EXPECT_EQ(game->gold, 90u);
    EXPECT_EQ(Said(), "倉庫番「確かにあずかったよ」");
}

TEST_F(MenuKeepersTest, TheDigitCursorWrapsAndTheAmountStopsAtZero)
{
    game->bankedGold = 5000;
    game->gold = 7;
    Open(kWarehouse);
    Choose(4);
    ASSERT_EQ(menu->GetState(), 38);
    Press(kRight);
    EXPECT_EQ(menu->digitPosition, 9);
    Press(kLeft);
    EXPECT_EQ(menu->digitPosition, 0);
    Press(kDown);
    EXPECT_EQ(menu->amount, 0u);
    EXPECT_EQ(TopLines().front(), "　　　　　　　　　　０Ｇ");
    Press(kDecide);
    EXPECT_EQ(game->bankedGold, 5000u) << "0 moves nothing";
    EXPECT_EQ(game->gold, 7u);
    EXPECT_EQ(Said(), "倉庫番「はい、確かに返したよ」");
}

TEST_F(MenuKeepersTest, MoneyRefusalsEndTheVisit)
{
    struct Case
    {
        std::uint32_t gold, banked;
        std::int32_t entry;
        const char* said;
    };
    const Case cases[] = {
        {0, 10, 3, "倉庫番「あれ？　どうやらお金を持っていないみたいだね」"},
        {10, 1000000000, 3, "倉庫番「ごめんね、これ以上お金はあずかれないよ」"},
        {10, 0, 4, "倉庫番「あれ？　あなたからは、１ゴールドもあずかっていないよ」"},
        {1000000000, 10, 4, "倉庫番「お金はもう持ちきれないよ」"},
    };
    for (const Case& c : cases) {
        game->gold = c.gold;
        game->bankedGold = c.banked;
        game->messageWindow.pending.clear();
        Open(kWarehouse);
        Choose(c.entry);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(Said(), c.said);
    }
}

TEST_F(MenuKeepersTest, OnlyLeavingTheKeepersMenuEndsHerTalk)
{
    game->gold = 0;
    game->bankedGold = 10;
    Open(kWarehouse);
    Choose(3); // a refusal ends the visit; the talk asks for the menu again
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_EQ(game->menuAnswer, 0);
    Open(kWarehouse);
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_EQ(game->menuAnswer, 1);
}

// ---- The warehouse keeper: items in and out.

TEST_F(MenuKeepersTest, ASortingPotsContentsGoInOneByOneOrNotAtAll)
{
    for (const std::int32_t free : {3, 2}) {
        Fresh();
        game->soundEffects = &sounds;
        const std::uint16_t pot = New(kSortingPot);
        Item(pot).value = 5;
        const std::uint16_t a = New(kFood, false), b = New(kSword, false);
        Item(pot).slots[0] = a;
        Item(pot).slots[1] = b;
        LeaveWarehouseSlots(free);
        Open(kWarehouse);
        Choose(0);
        ASSERT_EQ(menu->GetState(), 30);
        Choose(0);
        ASSERT_EQ(menu->GetState(), 31) << "the question";
        Choose(0);
        EXPECT_EQ(menu->GetState(), 0);
        if (free == 3) {
            EXPECT_EQ(game->items.warehouseCount, 3);
            EXPECT_EQ(game->items.GetWarehouseItem(game->items.warehouseList[0]).kind, kFood);
            EXPECT_EQ(game->items.GetWarehouseItem(game->items.warehouseList[1]).kind, kSword);
            const CItemControl::SItem& stored = game->items.GetWarehouseItem(game->items.warehouseList[2]);
            EXPECT_EQ(stored.kind, kSortingPot);
            EXPECT_EQ(stored.slots[0], kNone) << "stored empty";
            EXPECT_EQ(Carried(), 0);
            EXPECT_EQ(Said(), "倉庫番「確かにあずかったよ」");
        } else {
            EXPECT_EQ(game->items.warehouseCount, 0);
            EXPECT_EQ(game->inventory[0], pot);
            EXPECT_EQ(Item(pot).slots[1], b);
            EXPECT_EQ(Said(), "倉庫番「倉庫がいっぱいで、全部のアイテムは入らなかったよ」");
        }
    }
}

TEST_F(MenuKeepersTest, DepositsGoInQueueOrderAndAnEmptySortingPotAsksNothing)
{
    const std::uint16_t pot = New(kSortingPot);
    Item(pot).value = 5;
    New(kFood);
    New(kSword);
    Open(kWarehouse);
    Choose(0);
    game->selectWindow.SetCursor(2);
    Press(kMulti);
    game->selectWindow.SetCursor(0);
    Press(kMulti);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 0);
    ASSERT_EQ(game->items.warehouseCount, 2);
    EXPECT_EQ(game->items.GetWarehouseItem(game->items.warehouseList[0]).kind, kSword);
    EXPECT_EQ(game->items.GetWarehouseItem(game->items.warehouseList[1]).kind, kSortingPot);
    EXPECT_EQ(Item(game->inventory[0]).kind, kFood);
}

TEST_F(MenuKeepersTest, WithdrawingStopsWhenTheInventoryFills)
{
    struct Case
    {
        std::int32_t chosen;
        const char* said;
        std::int32_t leftInWarehouse;
    };
    const Case cases[] = {
        {2, "倉庫番「はい、たしかに返したよ」", 1},
        {3, "倉庫番「持ち物がいっぱいで、ぜんぶは持ちきれないよ」", 1},
    };
    for (const Case& c : cases) {
        Fresh();
        game->soundEffects = &sounds;
        for (int i = 0; i < 3; ++i)
            Store(kFood);
        for (int i = 0; i < 18; ++i)
            New(kSword);
        Open(kWarehouse);
        Choose(1);
        ASSERT_EQ(menu->GetState(), 32);
        Choose(0); // everything
        ASSERT_EQ(menu->GetState(), 33);
        for (std::int32_t row = 0; row < c.chosen; ++row) {
            game->selectWindow.SetCursor(row);
            Press(kMulti);
        }
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(Carried(), 20);
        EXPECT_EQ(Item(game->inventory[19]).kind, kFood);
        EXPECT_EQ(game->items.warehouseCount, c.leftInWarehouse);
        EXPECT_EQ(Said(), c.said);
    }
}

TEST_F(MenuKeepersTest, ItemRefusalsEndTheVisitBeforeAnyList)
{
    struct Case
    {
        std::int32_t stored, carried, freeSlots, entry;
        const char* said;
    };
    const Case cases[] = {
        {0, 0, CItemControl::kItemCount, 2, "倉庫番「あれ？　預かっているアイテムはひとつもないよ」"},
        {1, 20, CItemControl::kItemCount, 1, "倉庫番「持ち物がいっぱいで、これ以上持てないよ」"},
        {0, 1, 0, 0, "倉庫番「ごめんね、倉庫がいっぱいでもう入らないよ」"},
    };
    for (const Case& c : cases) {
        Fresh();
        game->soundEffects = &sounds;
        for (std::int32_t i = 0; i < c.stored; ++i)
            Store(kFood);
        for (std::int32_t i = 0; i < c.carried; ++i)
            New(kSword);
        if (c.freeSlots < CItemControl::kItemCount) LeaveWarehouseSlots(c.freeSlots);
        Open(kWarehouse);
        Choose(c.entry);
        EXPECT_EQ(menu->GetState(), 0);
        EXPECT_EQ(Said(), c.said);
    }
}

TEST_F(MenuKeepersTest, TheClassFilterListsOnlyItsClass)
{
    Store(kFood);
    Store(kSword);
    Store(kFood);
    Open(kWarehouse);
    Choose(1);
    Choose(1); // weapons
    ASSERT_EQ(menu->GetState(), 33);
    ASSERT_EQ(menu->warehouseFilter.size(), 1u);
    EXPECT_EQ(game->items.GetWarehouseItem(menu->warehouseFilter[0]).kind, kSword);
    EXPECT_EQ(TopLines(), std::vector<std::string>{"品"});
    Press(kDecide);
    EXPECT_EQ(Item(game->inventory[0]).kind, kSword);
    EXPECT_EQ(game->items.warehouseCount, 2);
}

TEST_F(MenuKeepersTest, TheWarehouseListTurnsItsPagesAndChoosesOnTheShownPage)
{
    for (int i = 0; i < 11; ++i)
        Store(kFood);
    const std::uint16_t last = Store(kSword);
    Open(kWarehouse);
    Choose(1);
    Choose(0);
    EXPECT_EQ(TopLines().size(), 10u);
    Press(kRight);
    EXPECT_EQ(menu->secondPage, 1);
    EXPECT_EQ(TopLines().size(), 2u);
    game->selectWindow.SetCursor(1);
    Press(kMulti);
    EXPECT_EQ(menu->itemList.chosenSlots, std::vector<std::int32_t>{11});
    Press(kDecide);
    EXPECT_EQ(Item(game->inventory[0]).kind, kSword);
    EXPECT_EQ(game->items.GetWarehouseItem(last).kind, kNone);
    EXPECT_EQ(game->items.warehouseCount, 11);
}

// ---- Register, catalogue and sale.

TEST_F(MenuKeepersTest, RegisteringNamesTheItemInColour)
{
    New(kFood);
    const std::uint16_t sword = New(kSword);
    Open(kWarehouse);
    Choose(5);
    ASSERT_EQ(menu->GetState(), 39);
    Choose(0);
    EXPECT_EQ(menu->GetState(), 39) << "food cannot be registered";
    Choose(1);
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_NE(Item(sword).flags & CItemControl::kOwnEquipment, 0);
    EXPECT_EQ(Said(), "倉庫番「" + Str(GetColoredItemNameByIndex(game->items, sword)) + "を登録したよ」");
}

TEST_F(MenuKeepersTest, TheCatalogueShowsFoundKindsUntilTheSecondDungeonIsCleared)
{
    std::vector<std::int32_t> weapons;
    game->items.ListKindsOfClass(1, weapons);
    ASSERT_GT(weapons.size(), 12u);
    game->items.MarkKindSeen(weapons[1]);
    game->items.MarkKindSeen(weapons[4]);
    Open(kWarehouse);
    Choose(6);
    ASSERT_EQ(menu->GetState(), 40);
    EXPECT_EQ(TopLines(), (std::vector<std::string>{"　品", "　品"}));
    Press(kCancel);
    EXPECT_EQ(menu->GetState(), 29);

    game->dungeonSlots[2].values[SGameResource::SDungeonSlot::kClears] = 1;
    Choose(6);
    const std::vector<std::string> lines = TopLines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "　未入手");
    EXPECT_EQ(lines[1], "　品");
    EXPECT_EQ(game->selectWindow.windows.back().items[0].enabled, 0);
    game->selectWindow.SetCursor(0);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 40) << "an unfound kind has no description";
    game->selectWindow.SetCursor(4);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 42);
    EXPECT_EQ(menu->describedKind, weapons[4]);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 40);
    Press(kLeft);
    EXPECT_EQ(menu->listPage, std::int32_t((weapons.size() + 9) / 10) - 1) << "left wraps to the last page";
}

TEST_F(MenuKeepersTest, AnEmptyCatalogueSaysSoAndGoesBackToHerMenu)
{
    struct Case
    {
        std::int32_t entry;
        const char* line;
    };
    for (const Case c : {Case{6, "見つけた武器がありません"}, Case{7, "見つけた盾がありません"}}) {
        Open(kWarehouse);
        Choose(c.entry);
        EXPECT_EQ(TopLines(), std::vector<std::string>{c.line});
        EXPECT_EQ(game->selectWindow.GetCursor(), -1);
        Press(kDecide);
        EXPECT_EQ(menu->GetState(), 29) << c.line;
        EXPECT_EQ(TopLines().size(), 8u) << "her menu is on top again";
    }
}

TEST_F(MenuKeepersTest, ASaleFromTheWarehouseIsSettledAndTheKeeperAnswers)
{
    const std::uint16_t entry = Store(kSword);
    const std::int32_t price = game->items.GetItemPrice(game->items.GetWarehouseItem(entry), 0, 1);
    ASSERT_GT(price, 0);
    game->gold = 10;
    Open(kWarehouse);
    Choose(2);
    ASSERT_EQ(menu->GetState(), 34);
    Choose(0);
    ASSERT_EQ(menu->GetState(), 35);
    Choose(0);
    ASSERT_EQ(menu->GetState(), 36);
    Choose(0);
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_TRUE(game->playerCommands.empty()) << "the queued sale was read";
    EXPECT_EQ(game->gold, std::uint32_t(10 + price));
    EXPECT_EQ(game->items.warehouseCount, 0);
    EXPECT_EQ(Said(), "倉庫番「じゃあ、確かに売っておくよ」");
}

} // namespace
