#include "game/app/game_resource.h"
#include "game/items/item_commands.h"
#include "game/scenes/menu_scene.h"
#include "game/support/menu_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr std::uint32_t kDecide = 1u << 0, kCancel = 1u << 1, kSort = 1u << 2, kMulti = 1u << 4,
                        kDiagonal = 1u << 5, kLeft = 1u << 9, kRight = 1u << 11;
constexpr std::int32_t kPotion = 140, kSword = 5, kArrow = 105, kStone = 320, kPot = 350;

class MenuItemListsTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        game->characters.player.x = 10;
        game->characters.player.y = 10;
        game->characters.player.direction = 6;
        OpenMenu(0);
    }
    void Underfoot(std::uint16_t item)
    {
        SMapCell& cell = game->map.GetCell(10, 10);
        cell.objectKind = 8;
        cell.objectId = item;
    }
    std::string Commands(std::int32_t slot)
    {
        const std::uint16_t id = menu->SlotItem(slot);
        const std::int32_t cls = id == CSceneMenu::kNoItem ? 0 : Item(id).itemClass;
        return Str(BuildItemCommandList(menu->BuildItemCommandCodes(slot), cls, false, menu->IsSealed()));
    }
    using Queued = std::tuple<int, int, int, int>;
    std::vector<Queued> Queue()
    {
        std::vector<Queued> out;
        for (const SPlayerCommand& c : game->playerCommands)
            out.emplace_back(c.kind, c.arg1, c.arg2, c.arg3);
        return out;
    }
    void OpenInventory()
    {
        menu->itemList.carriedCount = 0;
        for (std::uint16_t id : game->inventory)
            if (id != CSceneMenu::kNoItem) ++menu->itemList.carriedCount;
        menu->PushState(2);
        menu->OpenItemList(CSceneMenu::kNoItem);
    }
    // Chooses the command of that word in the open command window.
    void Choose(const char* word)
    {
        // The comparison window may stand above the command window.
        auto& windows = game->selectWindow.windows;
        for (auto window = windows.rbegin(); window != windows.rend(); ++window)
            for (std::size_t i = 0; i < window->items.size(); ++i)
                if (Str(window->items[i].text).find(word) != std::string::npos) {
                    game->selectWindow.SetCursor(std::int32_t(i));
                    menu->ExecuteItemCommand();
                    return;
                }
        ADD_FAILURE() << "no " << word;
    }
};

TEST_F(MenuItemListsTest, CommandListsFollowTheFloorTheModeAndTheSeal)
{
    New(kPotion);
    EXPECT_EQ(Commands(0), "　飲む\n　投げる\n　置く\n　命名\n　説明\n");
    Underfoot(New(kSword, false));
    EXPECT_EQ(Commands(0), "　飲む\n　投げる\n　交換\n　命名\n　説明\n");
    game->value22 = 0; // the warehouse floor
    EXPECT_EQ(Commands(0), "　飲む\n　投げる\n　交換\n　命名\n　捨てる\n　説明\n");
    game->value22 = 1;
    game->characters.player.status.sealTurns = 5;
    EXPECT_EQ(Commands(0), "#r　飲む\n　投げる\n　交換\n　命名\n　説明\n");
    game->characters.player.status.sealTurns = 0;
    game->playMode = 2;
    EXPECT_EQ(Commands(0), "　説明\n");
    New(kPot);
    EXPECT_EQ(Commands(1), "　見る\n　説明\n");
    game->playMode = 0;
    game->inventory[3] = New(kArrow, false);
    EXPECT_EQ(Commands(3).rfind("　装備\n　撃つ\n", 0), 0u);
}

TEST_F(MenuItemListsTest, SealedUseIsRefusedWithoutQueueing)
{
    // A single item's use, and a batch's discard.
    const struct
    {
        std::vector<std::int32_t> chosen;
        const char* word;
    } cases[] = {{{}, "飲む"}, {{1, 0}, "まとめて捨てる"}};
    game->value22 = 0; // the warehouse floor, where discarding is offered
    New(kPotion);
    New(kPotion);
    for (const auto& c : cases) {
        OpenMenu(0);
        game->characters.player.status.sealTurns = 5;
        OpenInventory();
        menu->itemList.chosenSlots = c.chosen;
        menu->PushState(4);
        if (c.chosen.size() > 1)
            menu->OpenBulkCommandMenu();
        else
            menu->OpenItemCommandMenu();
        Choose(c.word);
        EXPECT_EQ(menu->GetState(), 22) << c.word;
        EXPECT_EQ(Str(game->selectWindow.windows.back().items.front().text), "封印されているので使えない");
        EXPECT_TRUE(game->playerCommands.empty()) << c.word;
    }
}

TEST_F(MenuItemListsTest, NamingOpensTheTextEntryOnTheChosenItem)
{
    const std::uint16_t potion = New(kPotion);
    OpenInventory();
    menu->PushState(4);
    menu->OpenItemCommandMenu();
    Choose("命名");
    EXPECT_EQ(menu->GetState(), CSceneMenu::kNamingEntryState);
    EXPECT_EQ(menu->namedItem, potion);
}

TEST_F(MenuItemListsTest, WeaponComparisonShowsTheKindBaseWhileUnidentified)
{
    game->items.kinds[kSword].base = 12;
    const std::uint16_t worn = New(1, true, 1);
    game->items.kinds[1].base = 9;
    game->equippedWeapon = worn;
    EXPECT_EQ(Str(menu->BuildEquipmentComparison(New(kSword))), "攻撃力\n　９\n　▼\n　１２？");
}

TEST_F(MenuItemListsTest, CommandsQueueWhatTheGameMainScenePerforms)
{
    const std::uint16_t a = New(kPotion), b = New(kPotion);
    OpenInventory();
    menu->itemList.chosenSlots = {1, 0};
    menu->PushState(4);
    menu->OpenBulkCommandMenu();
    Choose("まとめて置く");
    EXPECT_EQ(Queue(), (std::vector<Queued>{{14, -1, -1, -1}, {8, 6, b, 7}, {8, 6, a, 7}, {0, -1, -1, -1}}));
    EXPECT_EQ(menu->GetState(), 0);

    // The swap from the floor: the inventory line chosen goes down.
    game->playerCommands.clear();
    Underfoot(New(kSword, false));
    menu->itemList.chosenSlots.clear();
    menu->itemList.page = 2;
    menu->itemList.row = 0;
    menu->PushState(4);
    menu->OpenItemCommandMenu();
    Choose("交換");
    ASSERT_EQ(menu->GetState(), 7);
    menu->secondPage = 0;
    menu->ChooseTarget(1);
    EXPECT_EQ(Queue(), (std::vector<Queued>{{8, 6, b, 9}}));
}

TEST_F(MenuItemListsTest, UseWithQueuesTheTargetFirst)
{
    const std::uint16_t weapon = New(kSword), stone = New(kStone);
    menu->secondItem = stone;
    menu->PushState(7);
    menu->secondPage = 0;
    menu->ChooseTarget(0);
    EXPECT_EQ(Queue(), (std::vector<Queued>{{8, weapon, stone, 3}}));

    game->playerCommands.clear();
    const std::uint16_t pot = New(kPot);
    menu->secondItem = pot;
    menu->itemList.chosenSlots = {0, 1};
    menu->PushState(7);
    menu->ChooseTarget(0);
    EXPECT_EQ(Queue(), (std::vector<Queued>{
                           {14, -1, -1, -1}, {8, weapon, pot, 3}, {8, stone, pot, 3}, {0, -1, -1, -1}}));
}

TEST_F(MenuItemListsTest, StairsPromptByFloorAndItsFirstEntryDescends)
{
    SMapCell& cell = game->map.GetCell(10, 10);
    cell.objectKind = 12;
    cell.objectId = 1;
    menu->PushState(10);
    menu->OpenStairsPrompt();
    EXPECT_EQ(Str(game->selectWindow.windows.back().items.front().text), "　降りる");
    game->floor = game->lastFloor + 1;
    menu->OpenStairsPrompt();
    EXPECT_EQ(Str(game->selectWindow.windows.back().items.front().text), "　ダンジョンから脱出する");
    game->selectWindow.SetCursor(0);
    for (const std::uint32_t mask : {0u, kDecide})
        menu->OnMove(&mask);
    EXPECT_EQ(Queue(), (std::vector<Queued>{{8, 6, 0xFFFF, 3}}));
    EXPECT_EQ(menu->GetState(), 0);
}

TEST_F(MenuItemListsTest, PagingFollowsTheCarriedItemsAndTheFloor)
{
    for (int i = 0; i < 10; ++i)
        New(kPotion);
    OpenInventory();
    EXPECT_FALSE(HandleItemList(*menu, kRight));
    EXPECT_FALSE(HandleItemList(*menu, kLeft));
    New(kPotion);
    OpenInventory();
    EXPECT_TRUE(HandleItemList(*menu, kRight));
    EXPECT_EQ(menu->itemList.page, 1);
    Underfoot(New(kSword, false));
    EXPECT_TRUE(HandleItemList(*menu, kRight));
    EXPECT_EQ(menu->itemList.page, 2);
    EXPECT_EQ(EnabledItemPages(*menu, 24), 3u);
}

TEST_F(MenuItemListsTest, EmptyWarehouseListDoesNotPage)
{
    menu->PushState(33);
    menu->secondPage = 0;
    EXPECT_FALSE(HandleItemList(*menu, kRight));
    EXPECT_FALSE(HandleItemList(*menu, kLeft));
    EXPECT_EQ(menu->secondPage, 0);
}

TEST_F(MenuItemListsTest, SortingMarkingPriceModeAndCancel)
{
    New(kPotion);
    New(kSword);
    OpenInventory();
    game->selectWindow.SetCursor(0);
    HandleItemList(*menu, kSort);
    HandleItemList(*menu, kSort);
    ASSERT_EQ(game->playerCommands.size(), 1u);
    EXPECT_EQ(game->playerCommands.front().kind, 3);

    game->selectWindow.SetCursor(1);
    HandleItemList(*menu, kMulti);
    HandleItemList(*menu, kMulti);
    EXPECT_EQ(menu->itemList.chosenSlots, std::vector<std::int32_t>{1});
    HandleItemList(*menu, 0);
    HandleItemList(*menu, kMulti);
    EXPECT_TRUE(menu->itemList.chosenSlots.empty());

    for (const int expected : {1, 2, 0}) {
        HandleItemList(*menu, kDiagonal);
        EXPECT_EQ(menu->priceMode, expected);
    }
    menu->PushState(24);
    HandleItemList(*menu, kDiagonal);
    EXPECT_EQ(menu->priceMode, 0);
    EXPECT_TRUE(HandleItemList(*menu, kCancel));
    EXPECT_EQ(menu->GetState(), 0);
}

TEST_F(MenuItemListsTest, SmallNumbersDrawBothNumbersOrNothing)
{
    EXPECT_EQ(SmallNumberSprites(12, 3, 100), (std::vector<std::int32_t>{88, 93, 98, 103}));
    EXPECT_TRUE(SmallNumberSprites(12, 1, 100).empty());
    EXPECT_TRUE(SmallNumberSprites(12, 0, 100).empty());
}

} // namespace

namespace {

TEST(MenuItemListDrawing, PricesAreRightAlignedOnTheirLine)
{
    std::vector<std::tuple<int, int, int>> got;
    for (const SPriceDigit& d : PriceDigits(1234, 2, 2))
        got.emplace_back(d.x, d.y, d.digit);
    EXPECT_EQ(got, (std::vector<std::tuple<int, int, int>>{
                       {224, 83, 4}, {216, 83, 3}, {208, 83, 2}, {200, 83, 1}}));
    EXPECT_EQ(PriceDigits(5, 0, 24).front().x, 222);
    EXPECT_TRUE(PriceDigits(-1, 0, 2).empty());
}

} // namespace

TEST_F(MenuItemListsTest, ChosenLinesOfTheShownPageAreBrightened)
{
    for (int i = 0; i < 12; ++i)
        New(kPotion);
    OpenInventory();
    menu->itemList.chosenSlots = {2, 11};
    const std::vector<Draw::RECT> rects = menu->HighlightRects();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].top, 40 + 8 + 36);

    Draw::CFastPlane plane;
    plane.CreateSurface(320, 240, false);
    menu->DrawItemListDecorations(plane, false);
}

TEST(MenuItemListDrawing, AbilitySlotIconsByCode)
{
    const std::array<std::uint16_t, 10> slots = {5, 0, 0xFFFF, 61, 0, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    const auto at = [&](int slot, bool dimmed) {
        const Draw::RECT r = AbilitySlotIconSource(slots, slot, dimmed);
        return std::pair<int, int>(r.left, r.top);
    };
    EXPECT_EQ(at(0, false), (std::pair<int, int>(0, 0)));
    EXPECT_EQ(at(1, false), (std::pair<int, int>(16, 0)));
    EXPECT_EQ(at(2, false), (std::pair<int, int>(32, 0)));
    EXPECT_EQ(at(3, false), (std::pair<int, int>(0, 16)));
    EXPECT_EQ(at(4, true), (std::pair<int, int>(64, 16)));
}

// Back on the line the view was chosen from: the first for a carried pot, the second for the pot under
// the heroine (拾う comes first).
TEST_F(MenuItemListsTest, PotViewCancelReturnsToThePotsCommands)
{
    for (const bool underfoot : {false, true}) {
        game->inventory.fill(kNone);
        game->map.GetCell(10, 10).objectKind = 0;
        New(kPotion);
        const std::uint16_t pot = New(kPot, !underfoot);
        Item(pot).value = 2;
        if (underfoot) Underfoot(pot);
        menu->itemList.page = underfoot ? 2 : 0;
        OpenInventory();
        game->selectWindow.SetCursor(underfoot ? 0 : 1);
        HandleItemList(*menu, kDecide);
        ASSERT_EQ(menu->GetState(), 4) << underfoot;
        const std::size_t commandWindows = game->selectWindow.windows.size();
        Choose("見る");
        ASSERT_EQ(menu->GetState(), 3) << underfoot;
        EXPECT_EQ(Str(game->selectWindow.windows.back().items.front().text), "何も入っていない");
        HandleItemList(*menu, kCancel);
        EXPECT_EQ(menu->GetState(), 4) << underfoot;
        EXPECT_EQ(menu->itemList.openPot, CSceneMenu::kNoItem);
        ASSERT_EQ(game->selectWindow.windows.size(), commandWindows) << underfoot;
        const CSelectWindow::SWindow& commands = game->selectWindow.windows.back();
        ASSERT_GE(commands.cursor, 0) << underfoot;
        EXPECT_EQ(Str(commands.items[std::size_t(commands.cursor)].text), "　見る") << underfoot;
        EXPECT_EQ(commands.cursor, underfoot ? 1 : 0);
        while (menu->GetState() != 0)
            menu->PopState();
        game->selectWindow.Reset();
    }
}

TEST_F(MenuItemListsTest, NamingReturnsToTheListShowingTheNickname)
{
    // From the inventory, and from inside a pot, where the content is named and not the pot.
    constexpr std::int32_t kOpenPot = 359;
    for (const bool inPot : {false, true}) {
        game->inventory.fill(kNone);
        const std::uint16_t potion = New(kPotion, !inPot);
        if (inPot) {
            const std::uint16_t pot = New(kOpenPot);
            Item(pot).value = 2;
            Item(pot).slots[0] = potion;
        }
        OpenInventory();
        if (inPot) {
            menu->PushState(4);
            menu->OpenItemCommandMenu();
            Choose("見る");
            ASSERT_EQ(menu->GetState(), 3);
            game->selectWindow.SetCursor(0);
        }
        const std::size_t listWindows = game->selectWindow.windows.size();
        HandleItemList(*menu, kDecide);
        ASSERT_EQ(menu->GetState(), 4);
        Choose("命名");
        ASSERT_EQ(menu->namedItem, potion) << inPot;
        const char* name = inPot ? "たま" : "ぽち";
        menu->FinishTextEntry(name);
        EXPECT_EQ(menu->GetState(), inPot ? 3 : 2);
        // The list stands again as it stood, without the command window it was named from.
        const auto& windows = game->selectWindow.windows;
        EXPECT_EQ(windows.size(), listWindows) << inPot;
        ASSERT_EQ(windows.back().type, CSelectWindow::kTypeIconList);
        EXPECT_NE(Str(windows.back().items.front().text).find(name), std::string::npos) << inPot;
    }
}

TEST_F(MenuItemListsTest, ARebuiltWindowSurfaceReopensTheCommandWindowForTheListCursor)
{
    New(kSword);
    New(kPotion);
    OpenInventory();
    Frame(0);
    HandleItemList(*menu, kDecide);
    ASSERT_EQ(menu->GetState(), 4);
    const std::size_t withComparison = game->selectWindow.windows.size();
    menu->itemList.row = 1;
    // Another menu takes the double size first, so that this one sees the change only in its windows.
    g_globalData.doubleSize = true;
    {
        const std::unique_ptr<SGameResource> other = MakeTestGame();
        CSceneMenu elsewhere(nullptr, other.get());
        std::uint32_t none = 0;
        elsewhere.OnMove(&none);
    }
    Frame(0);
    EXPECT_EQ(menu->GetState(), 4);
    EXPECT_EQ(game->selectWindow.windows.size(), withComparison - 1); // a potion has no comparison
    EXPECT_EQ(Str(game->selectWindow.windows.back().items.front().text), "　飲む");
}

// The column follows the page shown: the second page's first line is slot 10.
TEST_F(MenuItemListsTest, AFullRebuildFillsThePriceColumnForTheItemsShown)
{
    game->items.kinds[kPotion].sellPrice = 11;
    game->items.kinds[kSword].sellPrice = 77;
    for (const std::int32_t page : {0, 1}) {
        SCOPED_TRACE(page);
        game->inventory.fill(kNone);
        for (std::int32_t i = 0; i <= page * 10; ++i)
            New(kPotion);
        OpenMenu(0);
        menu->itemList.page = page;
        OpenInventory();
        menu->priceMode = 1;
        const std::size_t shown = std::size_t(page * 10);
        game->inventory[shown] = New(kSword, false);
        menu->RequestFullRebuild();
        Frame(0);
        EXPECT_EQ(menu->itemList.page, page);
        EXPECT_EQ(menu->prices[0], game->items.GetItemPrice(Item(game->inventory[shown]), 0, 0));
        EXPECT_EQ(menu->prices[1], -1);
    }
}

TEST_F(MenuItemListsTest, TheAbilityListOffersEachAbilityOfTheSealRemovalsItem)
{
    game->items.seals.resize(10);
    game->items.seals[5].name = "封";
    game->items.seals[6].name = "双";
    const std::uint16_t sword = New(kSword);
    Item(sword).slots = {5, 6, 0, 0, kNone, kNone, kNone, kNone, kNone, kNone};
    const auto open = [&](std::uint16_t item) {
        game->chosenAbility = item;
        OpenMenu(5);
        Frame(0);
    };
    open(sword);
    ASSERT_EQ(menu->GetState(), 26);
    const CSelectWindow::SWindow* list = nullptr;
    for (const CSelectWindow::SWindow& w : game->selectWindow.windows)
        if (w.type == CSelectWindow::kTypeIconList) list = &w;
    ASSERT_NE(list, nullptr);
    std::vector<std::pair<std::string, int>> lines;
    for (const CSelectWindow::SItem& item : list->items)
        lines.emplace_back(Str(item.text), item.enabled);
    EXPECT_EQ(lines,
              (std::vector<std::pair<std::string, int>>{{"　　封", 1}, {"　　双", 1}, {"　", 0}, {"　", 0}}));
    EXPECT_EQ(list->images.size(), 4u);

    // A continuation line cannot be chosen; the second ability can, and its icon stands in the question.
    game->selectWindow.SetCursor(2);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 26);
    game->selectWindow.SetCursor(1);
    Press(kDecide);
    ASSERT_EQ(menu->GetState(), 27);
    EXPECT_EQ(game->chosenAbility, 1);
    const auto& question = *std::next(game->selectWindow.windows.rbegin());
    ASSERT_EQ(question.images.size(), 1u);
    std::array<std::uint16_t, 10> second{};
    second.fill(kNone);
    second[0] = 6;
    EXPECT_EQ(question.images[0].left, AbilitySlotIconSource(second, 0, false).left);
    EXPECT_EQ(question.images[0].top, AbilitySlotIconSource(second, 0, false).top);
    game->selectWindow.SetCursor(0);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_EQ(game->chosenAbility, 1);

    // Cancel asks whether the scroll may go for nothing; yes leaves no choice.
    open(sword);
    Press(kCancel);
    ASSERT_EQ(menu->GetState(), 28);
    game->selectWindow.SetCursor(0);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_EQ(game->chosenAbility, kNone);

    // An item without abilities offers nothing to choose; a missing item ends the menu with no choice.
    Item(sword).slots.fill(kNone);
    open(sword);
    Press(kDecide);
    EXPECT_EQ(menu->GetState(), 26);
    open(kNone);
    EXPECT_EQ(menu->GetState(), 0);
    EXPECT_EQ(game->chosenAbility, kNone);
}

TEST(MenuItemListDrawing, PageArrowsOnlyForSeveralPages)
{
    EXPECT_TRUE(PageArrowPositions(200, 0, 1).empty());
    EXPECT_EQ(PageArrowPositions(200, 0, 2), (std::vector<std::int32_t>{200, 216}));
    EXPECT_EQ(PageArrowPositions(200, 2, 3), (std::vector<std::int32_t>{200, 228}));
}

TEST_F(MenuItemListsTest, UsingFromInsideAPotAsksForTheTarget)
{
    constexpr std::int32_t kOpenPot = 359, kTargetScroll = 180;
    for (const auto& [kind, word] :
         {std::pair<std::int32_t, const char*>{kStone, "使う"}, {kTargetScroll, "読む"}}) {
        OpenMenu(0);
        game->inventory.fill(kNone);
        game->playerCommands.clear();
        const std::uint16_t sword = New(kSword);
        const std::uint16_t inside = New(kind, false);
        const std::uint16_t pot = New(kOpenPot);
        Item(pot).value = 2;
        Item(pot).slots[0] = inside;
        OpenInventory();
        game->selectWindow.SetCursor(1);
        Press(kDecide);
        Choose("見る");
        ASSERT_EQ(menu->GetState(), 3);
        game->selectWindow.SetCursor(0);
        Press(kDecide);
        Choose(word);
        ASSERT_EQ(menu->GetState(), 7) << word;
        game->selectWindow.SetCursor(0);
        Press(kDecide);
        // The sword is the target, not the item table's entry of the facing direction.
        EXPECT_EQ(Queue(), (std::vector<Queued>{{8, sword, inside, 3}})) << word;
    }
}

TEST_F(MenuItemListsTest, ListIconsStandClearOfTheArrowAndNameWindowsShowTheirItemsIcon)
{
    constexpr std::int32_t kOpenPot = 359;
    const std::uint16_t pot = New(kOpenPot, true, 8); // plated: the plated icon of its class
    Item(pot).value = 2;
    Item(pot).slots[0] = New(kPotion, false);
    const std::uint16_t stone = New(kStone);
    // The pot view's name window at (8, 24) and the target list's at (44, 16).
    const struct
    {
        std::int32_t line;
        const char* word;
        std::int32_t state, x, y;
        std::uint16_t item;
        std::pair<int, int> icon;
    } cases[] = {{0, "見る", 3, 8, 24, pot, {96, 128 + 16 * 10}},
                 {1, "使う", 7, 44, 16, stone, {112, 128 + 16 * 9}}};
    for (const auto& c : cases) {
        OpenMenu(0);
        OpenInventory();
        game->selectWindow.SetCursor(c.line);
        Press(kDecide);
        Choose(c.word);
        ASSERT_EQ(menu->GetState(), c.state);
        const std::string name = Str(BuildItemLineText(*game, c.item, false, c.state)).substr(2);
        std::vector<std::pair<int, int>> named;
        for (const CSelectWindow::SWindow& w : game->selectWindow.windows) {
            if (w.x == c.x && w.y == c.y && !w.items.empty() && Str(w.items.front().text) == name)
                for (const CSelectWindow::SImage& image : w.images)
                    named.emplace_back(image.left, image.top);
            if (w.type != CSelectWindow::kTypeIconList) continue;
            // The arrow wobbles over x + 5 to x + 15; the text begins at x + 32.
            for (const CSelectWindow::SImage& image : w.images) {
                EXPECT_GE(image.x, w.x + 16) << c.word;
                EXPECT_LE(image.x + (image.right - image.left), w.x + 32) << c.word;
            }
        }
        EXPECT_EQ(named, (std::vector<std::pair<int, int>>{c.icon})) << c.word;
    }
}

TEST_F(MenuItemListsTest, CancelFillsThePriceColumnOfTheListBelowAgain)
{
    constexpr std::int32_t kOpenPot = 359;
    const std::uint16_t pot = New(kOpenPot);
    Item(pot).value = 2;
    New(kStone);
    const std::array<std::int32_t, 2> expected = {game->items.GetItemPrice(Item(pot), 0, 0),
                                                  game->items.GetItemPrice(Item(game->inventory[1]), 0, 0)};
    // From a pot's contents and from a target list, back over the inventory's command window.
    const struct
    {
        std::int32_t line;
        const char* word;
        std::int32_t state;
    } cases[] = {{0, "見る", 3}, {1, "使う", 7}};
    for (const auto& c : cases) {
        OpenMenu(0);
        menu->priceMode = 1;
        OpenInventory();
        game->selectWindow.SetCursor(c.line);
        Press(kDecide);
        Choose(c.word);
        ASSERT_EQ(menu->GetState(), c.state);
        ASSERT_EQ(menu->prices[0], -1) << c.word; // nothing of the inventory is shown there
        Press(kCancel);
        ASSERT_EQ(menu->GetState(), 4) << c.word;
        EXPECT_EQ(menu->prices[0], expected[0]) << c.word;
        EXPECT_EQ(menu->prices[1], expected[1]) << c.word;
        EXPECT_EQ(menu->prices[2], -1) << c.word;
    }
}

TEST_F(MenuItemListsTest, ListDecorationsAreDrawnInTheListStatesOnly)
{
    const struct
    {
        std::int32_t state;
        std::vector<std::int32_t> chosen;
        bool drawn;
    } cases[] = {
        {2, {0}, true},  {4, {0}, true},  {4, {0, 1}, false}, {9, {20}, true},
        {58, {0}, true}, {64, {0}, true}, {39, {0}, false},   {1, {0}, false},
    };
    New(kPotion);
    New(kPotion);
    game->config.menuBackgroundMoves = true; // every frame drawn whole
    Draw::CFastPlane plane;
    ASSERT_EQ(plane.CreateSurface(320, 240, false), 0);
    for (const auto& c : cases) {
        OpenMenu(0);
        OpenInventory();
        menu->SetState(c.state);
        menu->itemList.page = c.chosen.front() / 10;
        const CSelectWindow::SWindow& list = game->selectWindow.windows.back();
        const int x = list.x + 100, y = list.y + 8 + 9;
        // The windows are blended over what the plane held: each frame starts from the same picture.
        const auto draw = [&] {
            for (int py = 0; py < 240; ++py)
                for (int px = 0; px < 320; ++px)
                    SetWord(plane, px, py, 0);
            menu->OnDraw(&plane);
            return Word(plane, x, y);
        };
        const std::uint32_t plain = draw();
        menu->itemList.chosenSlots = c.chosen;
        EXPECT_EQ(draw() != plain, c.drawn) << c.state << " with " << c.chosen.size();
    }
}

TEST_F(MenuItemListsTest, MarksStandOnTheCarriedAndFloorLinesButNotOnTheShopsStock)
{
    // The equipped and plated marks of the interface sheet in white.
    PutInterfaceSheet(136, 144, [](int x, int y) -> std::uint32_t {
        return x >= 112 && x < 120 && y >= 128 && y < 144 ? 0xFFFFFF : 0xFF00FF;
    });
    game->equippedWeapon = New(kSword);
    Underfoot(New(kSword, false, 8));
    const struct
    {
        std::int32_t state, page;
        bool marked;
    } cases[] = {{2, 0, true}, {9, 2, true}, {58, 0, false}, {64, 0, false}};
    Draw::CFastPlane plane;
    ASSERT_EQ(plane.CreateSurfaceOfType(320, 240, Draw::kPixelXRGB8888), 0);
    for (const auto& c : cases) {
        OpenMenu(0);
        OpenInventory();
        menu->SetState(c.state);
        menu->itemList.page = c.page;
        const CSelectWindow::SWindow& list = game->selectWindow.windows.back();
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                SetWord(plane, x, y, 0);
        menu->OnDraw(&plane);
        // The first line's icon corner.
        EXPECT_EQ(Word(plane, list.x + 20, list.y + 12) & 0xFFFFFF, c.marked ? 0xFFFFFFu : 0u) << c.state;
    }
}
