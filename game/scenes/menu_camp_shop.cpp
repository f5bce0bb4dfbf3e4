// The camp shop of the two keepers: the shopkeeper's own goods, restocked as the floors go by, and the
// collector's pieces, which come on sale after a number of floors. Both keepers share the screens; the
// state numbers tell them apart (57 to 62 the shopkeeper, 63 to 68 the collector). Every purchase, a full
// inventory, a sale, a topic or leaving ends the menu with a result the camp turns into the keeper's line.
#include "game/scenes/menu_scene.h"

#include "game/app/game_resource.h"
#include "game/core/money.h"
#include "game/scenes/menu_keys.h"
#include "game/ui/message_numbers.h"

#include <algorithm>
#include <string>

namespace {

using namespace MenuKeys;

constexpr std::int32_t kSoundCursor = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kSoundCancel = 3;
constexpr std::int32_t kItemSheet = 10;
constexpr std::int32_t kClassPot = 10;
constexpr std::int32_t kPotCapacity = 5;
constexpr std::int32_t kRowsPerPage = 10;
constexpr std::uint16_t kEmptyKind = 0xFFFF;

// The results the camp reads: goodbye, bought, inventory full and the first topic, for each keeper.
constexpr std::int32_t kResultGoodbye[2] = {102, 118};
constexpr std::int32_t kResultBought[2] = {103, 119};
constexpr std::int32_t kResultFull[2] = {104, 120};
constexpr std::int32_t kResultTopics[2] = {106, 122};

constexpr std::array<SShopStockSlot, kShopStockSlots> kStock = {{
    {121, 0},  {143, 1},  {189, 1},        {192, 1},        {180, 4},        {202, 10},
    {203, 10}, {198, 30}, {359, 15},       {360, 30},       {10, 2},         {17, 10},
    {19, 20},  {20, 20},  {22, 30},        {26, 80},        {61, 2},         {66, 10},
    {64, 20},  {65, 30},  {73, 90},        {290, 10},       {292, 200},      {328, 10},
    {329, 20}, {330, 20}, {kEmptyKind, 0}, {kEmptyKind, 0}, {kEmptyKind, 0}, {kEmptyKind, 0},
}};

// 0 for the shopkeeper's states (57 to 62), 1 for the collector's (63 to 68).
std::int32_t Keeper(std::int32_t state)
{
    return state >= 63 ? 1 : 0;
}

bool IsPotKind(const CItemControl& items, std::int32_t kind)
{
    return items.GetItemKind(kind).classId == kClassPot;
}

// The first state of the keeper's screens, plus the screen's offset (0 menu ... 5 topics).
std::int32_t KeeperState(std::int32_t state, std::int32_t screen)
{
    return (Keeper(state) == 1 ? 63 : 57) + screen;
}

} // namespace

const std::array<SShopStockSlot, kShopStockSlots>& GetShopStock()
{
    return kStock;
}

std::vector<std::int32_t> OfferedShopSlots(const SGameResource& game, bool collector)
{
    std::vector<std::int32_t> slots;
    const auto& counters = game.flag.values;
    if (!collector) {
        for (std::int32_t slot = 0; slot < kCollectorFirstSlot; ++slot)
            if (counters[std::size_t(slot)] >= kStock[std::size_t(slot)].factor) slots.push_back(slot);
        return slots;
    }
    for (std::int32_t slot = kCollectorFirstSlot; slot < kShopStockSlots; ++slot)
        if (kStock[std::size_t(slot)].kind != kEmptyKind && counters[std::size_t(slot)] < 1)
            slots.push_back(slot);
    return slots;
}

std::int32_t GetShopPrice(const CItemControl& items, std::int32_t slot)
{
    const SShopStockSlot& stock = kStock[std::size_t(slot)];
    if (stock.kind == kEmptyKind) return 0;
    const std::int64_t buy = items.GetItemKind(stock.kind).buyPrice;
    std::int64_t price = buy * (slot < kCollectorFirstSlot ? 2 : stock.factor);
    if (IsPotKind(items, stock.kind)) price *= 2;
    return std::int32_t(std::clamp<std::int64_t>(price, 0, kGoldLimit));
}

void CSceneMenu::OpenShopMenu()
{
    Game().selectWindow.Open(16, 24, true, -1, -1, 0, true,
                             "　買い物をする\n　持ち物を売る\n　話を聞く\n　この場を去る\n");
}

void CSceneMenu::OpenShopTopics()
{
    static constexpr const char* kTopics[2] = {
        "　ダンジョンの歩き方？\n　倒されたらどうなる？\n　満腹度？\n　斜め移動？\n　ターン？\n"
        "　アイテムの使い道？\n　状態異常？\n　ダンジョンの地形？\n　マップの見方？\n　モンスター？\n"
        "　ダンジョンのお店？\n",
        "　アイテムの特別な使い道？\n　正体不明のアイテム？\n　アイテムの状態？\n　罠？\n"
        "　モンスターハウス？\n　倒されにくくなるには？\n　合成？\n　泥棒？\n　宝箱？\n　倉庫の活用法？\n",
    };
    const std::int32_t keeper = Keeper(GetState());
    PushState(KeeperState(GetState(), 5));
    Game().selectWindow.Open(32, 16, true, -1, -1, 0, true, kTopics[keeper]);
}

void CSceneMenu::OpenBuyList(bool redraw)
{
    SGameResource& game = Game();
    const std::int32_t keeper = Keeper(GetState());
    if (!redraw) {
        game.selectWindow.Open(8, 16, true, 224, -1, -1, true,
                               keeper == 0 ? "「何か必要なものはあるかい？」" : "「何が欲しいんだ？」");
    } else {
        CloseTopWindow();
    }
    const std::vector<std::int32_t> offered = OfferedShopSlots(game, keeper == 1);
    const std::size_t first = keeper == 1 ? std::size_t(listPage) * kRowsPerPage : 0;
    const std::size_t end = keeper == 1 ? std::min(offered.size(), first + kRowsPerPage) : offered.size();
    shopSlots.clear();
    shopPrices.clear();
    for (std::size_t i = first; i < end; ++i) {
        shopSlots.push_back(offered[i]);
        shopPrices.push_back(GetShopPrice(game.items, offered[i]));
    }
    std::string text;
    for (std::size_t row = 0; row < shopSlots.size(); ++row) {
        const std::int32_t kind = kStock[std::size_t(shopSlots[row])].kind;
        if (std::uint32_t(shopPrices[row]) > game.gold) text += "#n";
        text += game.items.GetItemKind(kind).name.c_str();
        if (IsPotKind(game.items, kind)) text += "[５]";
        text += "\n";
    }
    if (shopSlots.empty()) text = "なし";
    game.selectWindow.OpenIconList(24, 40, false, 288, kRowsPerPage, listPosition, ZTL::string(text.c_str()));
    for (std::size_t row = 0; row < shopSlots.size(); ++row) {
        const std::int32_t itemClass =
            game.items.GetItemKind(kStock[std::size_t(shopSlots[row])].kind).classId;
        const std::int32_t top = 16 * (itemClass + 8);
        game.selectWindow.AddImage(kItemSheet, 40, 48 + 18 * std::int32_t(row),
                                   Draw::RECT{112, top, 128, top + 16});
    }
    RedrawWindows();
}

void CSceneMenu::DrawBuyListArrows(Draw::ISurface& plane)
{
    if (GetState() != 64) return;
    const std::int32_t offered = std::int32_t(OfferedShopSlots(Game(), true).size());
    if (offered > kRowsPerPage) DrawPageArrows(plane, 24 + 288 - 40, 40 - 8, listPage, 2);
}

void CSceneMenu::OpenBuyConfirmation()
{
    SGameResource& game = Game();
    const std::int32_t keeper = Keeper(GetState());
    const std::size_t row = std::size_t(listPosition);
    const std::int32_t kind = kStock[std::size_t(shopSlots[row])].kind;
    ZTL::string text = game.items.GetItemKind(kind).name;
    if (IsPotKind(game.items, kind)) text += "[5]";
    text += ZTL::string("\n") + FormatFullWidthNumber(shopPrices[row]) +
            (keeper == 0 ? "Ｇになるけど　買うかい？" : "Ｇだが　買うのか？");
    PushState(KeeperState(GetState(), 2));
    game.selectWindow.Open(32, 78, true, -1, -1, -1, true, text);
    game.selectWindow.OpenYesNo(32, 144, false);
    RedrawWindows();
}

void CSceneMenu::BuyChosenItem()
{
    SGameResource& game = Game();
    const std::int32_t keeper = Keeper(GetState());
    const auto backToList = [this] {
        CloseWindowGroup();
        PopState();
    };
    if (listPosition < 0 || std::size_t(listPosition) >= shopSlots.size()) {
        backToList();
        return;
    }
    const std::int32_t slot = shopSlots[std::size_t(listPosition)];
    const std::uint32_t price = std::uint32_t(shopPrices[std::size_t(listPosition)]);
    // The row was offered only when the gold covers it; the purse never runs below zero.
    if (price > game.gold) {
        backToList();
        return;
    }
    Math::CRand generator = ConstructSeededRand();
    const std::int32_t kind = kStock[std::size_t(slot)].kind;
    const std::uint16_t item = game.items.CreateItem(kind, generator, game.dungeon);
    // The item is made and carried before the gold goes, so that a full item table costs nothing.
    if (item == kNoItem) {
        backToList();
        return;
    }
    CItemControl::SItem& made = game.items.GetItem(item);
    made.value = std::int16_t(made.itemClass == kClassPot ? kPotCapacity : 0);
    if (game.items.AddToInventory(game, item) != 0) {
        game.items.DeleteItem(item);
        backToList();
        return;
    }
    game.gold -= price;
    ClampGold(game.gold);
    if (keeper == 0) game.flag.values[std::size_t(slot)] -= kStock[std::size_t(slot)].factor;
    SetSceneParameter(kResultBought[keeper]);
    PushState(0);
}

void CSceneMenu::OpenShopSellPrompt()
{
    SGameResource& game = Game();
    itemList.page = 0;
    itemList.row = 0;
    itemList.chosenSlots.clear();
    itemList.openPot = kNoItem;
    const std::int32_t keeper = Keeper(GetState());
    PushState(KeeperState(GetState(), 3));
    game.selectWindow.Open(16, 16, true, -1, -1, -1, false,
                           keeper == 0 ? "「どれを買い取ろうか？」" : "「どれを売りたいんだ？」");
    OpenItemList(kNoItem);
}

bool HandleShopMenu(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    const std::int32_t keeper = Keeper(menu.GetState());
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.SetSceneParameter(kResultGoodbye[keeper]);
        menu.CloseTopWindow();
        menu.PopState();
        return true;
    }
    if (!menu.DecidesOnEnabledLine(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    switch (game.selectWindow.GetCursor()) {
    case 0:
        menu.listPosition = 0;
        menu.listPage = 0;
        menu.PushState(KeeperState(menu.GetState(), 1));
        menu.OpenBuyList(false);
        break;
    case 1:
        menu.listPosition = 0;
        menu.listPage = 0;
        menu.OpenShopSellPrompt();
        break;
    case 2:
        menu.OpenShopTopics();
        break;
    default:
        menu.SetSceneParameter(kResultGoodbye[keeper]);
        menu.PushState(0);
        break;
    }
    return true;
}

bool HandleShopTopics(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.CloseTopWindow();
        menu.PopState();
        return true;
    }
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if (!menu.DecidesOnEnabledLine(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    menu.SetSceneParameter(kResultTopics[Keeper(menu.GetState())] + cursor);
    menu.PushState(0);
    return true;
}

bool HandleShopBuyList(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    const std::int32_t keeper = Keeper(menu.GetState());
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.CloseWindowGroup();
        menu.PopState();
        return true;
    }
    const std::int32_t offered = std::int32_t(OfferedShopSlots(game, keeper == 1).size());
    if (keeper == 1 && offered > kRowsPerPage && (keyMask & (kKeyLeft | kKeyRight)) != 0) {
        // Two pages at most: the collector's stock holds at most twenty pieces.
        menu.listPage = menu.listPage == 0 ? 1 : 0;
        const std::int32_t rows = std::min(kRowsPerPage, offered - menu.listPage * kRowsPerPage);
        menu.listPosition = std::clamp(game.selectWindow.GetCursor(), 0, rows - 1);
        menu.PlaySound(kSoundCursor);
        menu.OpenBuyList(true);
        return true;
    }
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if (!menu.DecidesOnEnabledLine(keyMask) || std::size_t(cursor) >= menu.shopSlots.size()) return false;
    menu.PlaySound(kSoundDecide);
    menu.listPosition = cursor;
    if (menu.itemList.carriedCount >= std::int32_t(SGameResource::kInventorySize)) {
        menu.SetSceneParameter(kResultFull[keeper]);
        menu.PushState(0);
        return true;
    }
    menu.OpenBuyConfirmation();
    return true;
}

bool HandleShopBuyConfirmation(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.CloseWindowGroup();
        menu.PopState();
        return true;
    }
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if ((keyMask & (kKeyDecide | kKeyMenu)) == 0 || cursor < 0) return false;
    menu.PlaySound(kSoundDecide);
    if (cursor == 0) {
        menu.BuyChosenItem();
    } else {
        menu.CloseWindowGroup();
        menu.PopState();
    }
    return true;
}
