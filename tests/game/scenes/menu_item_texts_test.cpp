#include "game/app/game_resource.h"
#include "game/scenes/menu_scene.h"
#include "game/support/menu_fixture.h"
#include "game/ui/message_numbers.h"
#include "game/world/spell_circle_control.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

class MenuItemTextsTest : public MenuTest
{
protected:
    static constexpr std::int32_t kAllKinds = 410;
    void SetUp() override
    {
        MenuTest::SetUp();
        // The trap descriptions stand past the items.
        CItemControl& items = game->items;
        items.kinds.resize(kAllKinds);
        for (std::int32_t k = kKinds; k < kAllKinds; ++k) {
            items.kinds[std::size_t(k)].number = k;
            items.kinds[std::size_t(k)].classId = 11;
            items.kinds[std::size_t(k)].token = ZTL::string(std::to_string(k).c_str());
        }
        items.kindCount = kAllKinds;
        items.seen.assign(kAllKinds, 0);
        items.kindState.assign(kAllKinds, 0);
        items.seals.resize(10);
        items.seals[5].name = "封";
        items.seals[5].size = 1;
        items.seals[6].name = "双";
        items.seals[6].size = 3;
        game->characters.player.x = 10;
        game->characters.player.y = 10;
        OpenMenu(0);
    }
    SItemKind& Kind(std::int32_t k) { return game->items.kinds[std::size_t(k)]; }
    std::string Describe(std::uint16_t item, std::int32_t page = 0)
    {
        return Str(BuildItemDescription(*game, item, -1, page).text);
    }
    SMapCell& Feet() { return game->map.GetCell(10, 10); }
};

TEST_F(MenuItemTextsTest, SpoiltScrollsAndTheHintScrollReplaceTheDescription)
{
    const std::uint16_t frozen = New(211, true, CItemControl::kFrozen);
    Item(frozen).extra[0] = 21;
    EXPECT_EQ(Describe(frozen).rfind("凍ってしまった巻物。", 0), 0u);

    const std::uint16_t hint = New(211);
    Item(hint).extra[0] = 26;
    EXPECT_EQ(Describe(hint), "この巻物には、何も書かれていない");
    Item(hint).extra[0] = 21;
    EXPECT_EQ(Describe(hint),
              "この巻物には、こう書かれている。\n　\n#g三の力を極めたとき、八の力を手にするという\n");
    Item(hint).extra[0] = std::uint8_t(-3);
    const std::string verse = Describe(hint);
    std::size_t green = 0;
    for (std::size_t at = verse.find("#g"); at != std::string::npos; at = verse.find("#g", at + 1))
        ++green;
    EXPECT_EQ(green, 6u);
}

TEST_F(MenuItemTextsTest, BaseValueIsInFullWidthDigits)
{
    const std::uint16_t sword = New(5);
    for (const auto& [base, digits] :
         std::vector<std::pair<int, std::string>>{{5, "５"}, {0, "０"}, {120, "１２０"}}) {
        Kind(5).base = base;
        EXPECT_NE(Describe(sword).find("#y基本攻撃力：" + digits + "\n"), std::string::npos) << base;
    }
}

TEST_F(MenuItemTextsTest, AnUnidentifiedStaffShowsOnlyItsClassLine)
{
    Kind(240).description = "秘密";
    EXPECT_EQ(Describe(New(240)),
              "識別されていないので効果はわからない。\n振ると魔法球が飛び\n当たると特別な効果を与える。\n");
}

TEST_F(MenuItemTextsTest, OwnAbilityNeedingSeveralSlotsAddsTheSynthesisNote)
{
    const std::uint16_t sword = New(5);
    Kind(5).sealCode = 6;
    EXPECT_NE(Describe(sword).find("#g能力の空きが３必要となる。\n"), std::string::npos);
    Kind(5).sealCode = 5;
    EXPECT_EQ(Describe(sword).find("能力の空き"), std::string::npos);
}

TEST_F(MenuItemTextsTest, FloorObjectsAreDescribedThroughTheirKinds)
{
    struct Case
    {
        std::uint8_t object;
        std::uint16_t id;
        std::int32_t kind;
    };
    for (const Case c : std::vector<Case>{{kObjectTrap, 5, 385},
                                          {kObjectTrap, 6, 388},
                                          {kObjectTrap, 15, 396},
                                          {kObjectTreasureSpot, 0, 382}}) {
        Feet().objectKind = c.object;
        Feet().objectId = c.id;
        const std::string text = Describe(CSceneMenu::kNoItem);
        EXPECT_EQ(text.rfind("[" + std::to_string(c.kind) + "]\n【踏むと作動する】\n", 0), 0u) << c.kind;
    }

    Feet().objectKind = kObjectCircle;
    Feet().objectId = 280;
    Kind(280).token = "あかいぺんのぺん";
    Kind(280).sealCode = 1;
    const std::string range = Str(CSpellCircleControl::GetRangeName(1));
    ASSERT_FALSE(range.empty());
    EXPECT_EQ(Describe(CSceneMenu::kNoItem), "識別されていないので効果はわからない。\n#y効果範囲：" + range);
    game->items.kindState[280] = 2;
    EXPECT_EQ(Describe(CSceneMenu::kNoItem).rfind("[あかいまほうじんのぺん]\n#y効果範囲：" + range + "\n", 0),
              0u);

    Feet().objectKind = 0;
    EXPECT_FALSE(BuildItemDescription(*game, CSceneMenu::kNoItem, -1, 0).shown);
}

TEST_F(MenuItemTextsTest, AbilityPageListsTheSlots)
{
    const std::uint16_t sword = New(5);
    EXPECT_EQ(Describe(sword, 1), "能力はついていない");
    Item(sword).slots[0] = 5;
    Item(sword).slots[1] = 0;
    EXPECT_EQ(Describe(sword, 1), "　　封\n#n　\n");
}

TEST_F(MenuItemTextsTest, HealingPotionTextFollowsTheRulesVersion)
{
    const std::uint16_t potion = New(142);
    game->items.kindState[142] = 2;
    Kind(142).name = "いやしの薬";
    Kind(142).description = "ＨＰを４００回復する。";
    EXPECT_NE(Describe(potion).find("４００"), std::string::npos);
    game->rulesVersion = 0;
    EXPECT_NE(Describe(potion).find("ＨＰを２００回復する。"), std::string::npos);
}

TEST_F(MenuItemTextsTest, DescriptionOpensTheTextAndTitleWindows)
{
    menu->describedItem = New(5);
    menu->ComposeItemDescription();
    std::vector<int> places;
    for (const CSelectWindow::SWindow& window : game->selectWindow.windows)
        places.insert(places.end(), {window.x, window.y});
    ASSERT_GE(places.size(), 4u);
    EXPECT_EQ(std::vector<int>(places.end() - 4, places.end()), std::vector<int>({15, 40, 60, 16}));
}

TEST_F(MenuItemTextsTest, TurningToTheSecondPageOfAWeaponShowsItsAbilities)
{
    menu->describedItem = New(5);
    Item(menu->describedItem).slots[0] = 5;
    menu->PushState(5);
    menu->ComposeItemDescription();
    ASSERT_EQ(menu->lastDescriptionPage, 1);
    const std::uint32_t right = 1u << 11;
    menu->OnMove(&right);
    EXPECT_EQ(menu->descriptionPage, 1);
    const CSelectWindow::SWindow& page = *std::prev(game->selectWindow.windows.end(), 2);
    EXPECT_EQ(page.type, CSelectWindow::kTypeIconList);
    EXPECT_EQ(Str(page.items.front().text), "　　封");
}

TEST_F(MenuItemTextsTest, OneItemOfferedInTheDungeonShop)
{
    const std::uint16_t sword = New(5);
    menu->SetState(24);
    const std::string price = Str(FormatFullWidthNumber(game->items.GetItemPrice(Item(sword), 0, 0)));
    EXPECT_EQ(Str(menu->OpenSellOffer()), Str(BuildItemLineText(*game, sword, true, 24)) + "\n" + price +
                                              "Ｇニナリマスガ\nヨロシイデスカ？");
    EXPECT_EQ(menu->GetState(), 25);
    EXPECT_EQ(menu->GetStateStack().back(), 24);
}

TEST_F(MenuItemTextsTest, WarehouseOffersCountMarkedItemsAndPriceHighIdsAsEmpty)
{
    CItemControl& items = game->items;
    for (std::uint16_t i = 0; i < 3; ++i) {
        items.warehouse[i] = Item(New(5, false));
        items.warehouseList[i] = i;
    }
    menu->itemList.chosenSlots = {0, 1, 2};
    menu->SetState(35);
    const std::string text = Str(menu->OpenSellOffer());
    EXPECT_EQ(text.rfind("３個のアイテムで\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - std::string("Ｇになるけど\n売ってもいいの？").size()),
              "Ｇになるけど\n売ってもいいの？");

    menu->itemList.chosenSlots.clear();
    menu->warehouseFilter = {6000};
    menu->SetState(35);
    const std::string empty = Str(FormatFullWidthNumber(items.GetItemPrice(items.GetEmptyItem(), 0, 1)));
    EXPECT_NE(Str(menu->OpenSellOffer()).find("\n" + empty + "Ｇになるけど"), std::string::npos);
    // A cursor past the filtered list offers the empty item too.
    menu->secondRow = 5;
    menu->SetState(35);
    EXPECT_NE(Str(menu->OpenSellOffer()).find("\n" + empty + "Ｇになるけど"), std::string::npos);
}

TEST_F(MenuItemTextsTest, SellCommandsPassOverShopGoods)
{
    const std::uint16_t a = New(5), b = New(6, true, CItemControl::kShopGoods), c = New(7);
    const auto kinds = [this] {
        std::vector<int> list;
        for (const SPlayerCommand& command : game->playerCommands)
            list.push_back(command.kind);
        game->playerCommands.clear();
        return list;
    };
    menu->SetState(25);
    menu->itemList.row = 0;
    menu->QueueSellCommands();
    ASSERT_EQ(game->playerCommands.size(), 1u);
    const SPlayerCommand& one = game->playerCommands.front();
    EXPECT_EQ(std::vector<int>({one.kind, one.arg1, one.arg2, one.arg3}), std::vector<int>({13, a, a, -1}));
    kinds();

    menu->itemList.chosenSlots = {0, 1, 2};
    menu->QueueSellCommands();
    EXPECT_EQ(game->playerCommands[2].arg1, c);
    EXPECT_NE(game->playerCommands[1].arg1, b);
    EXPECT_EQ(kinds(), std::vector<int>({14, 13, 13, 0}));

    // "はい" in the confirmation queues the sale and ends the menu.
    menu->itemList.chosenSlots.clear();
    menu->SetState(24);
    menu->OpenSellOffer();
    game->selectWindow.SetCursor(0);
    for (const std::uint32_t mask : {0u, 1u})
        menu->OnMove(&mask);
    EXPECT_EQ(kinds(), std::vector<int>({13}));
    EXPECT_EQ(menu->GetState(), 0);

    menu->SetState(1);
    const std::size_t stack = menu->GetStateStack().size();
    EXPECT_FALSE(menu->OpenSellOffer().empty());
    EXPECT_EQ(menu->GetState(), 1);
    EXPECT_EQ(menu->GetStateStack().size(), stack);
}

} // namespace
