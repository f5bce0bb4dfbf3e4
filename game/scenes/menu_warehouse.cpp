// The warehouse keeper: she keeps the heroine's items and money between adventures, registers her own
// weapon and shield, and shows the catalogues of the weapons and shields found so far. Every storing,
// taking, money or registering action and every refusal ends the menu with her answer in the message
// window; the catalogues and the class filters go back to her menu.
#include "game/scenes/menu_scene.h"

#include "game/app/game_resource.h"
#include "game/core/money.h"
#include "game/items/item_names.h"
#include "game/scenes/menu_keys.h"
#include "game/ui/message_numbers.h"

#include <algorithm>
#include <string>

namespace {

using namespace MenuKeys;

constexpr std::int32_t kSoundCursor = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kSoundCancel = 3;
constexpr std::int32_t kClassPot = 10;
constexpr std::int32_t kSortingPot = 359;
constexpr std::int32_t kRowsPerPage = 10;
constexpr std::int32_t kDigits = 10;
constexpr std::int32_t kInventorySlots = std::int32_t(SGameResource::kInventorySize);
constexpr std::size_t kFirstCatalogueDungeon = 2;

constexpr const char* kWarehouseFull = "倉庫番「ごめんね、倉庫がいっぱいでもう入らないよ」";
constexpr const char* kFilledDuringDeposit = "倉庫番「倉庫がいっぱいで、全部のアイテムは入らなかったよ」";
constexpr const char* kInventoryFull = "倉庫番「持ち物がいっぱいで、これ以上持てないよ」";
constexpr const char* kWarehouseEmpty = "倉庫番「あれ？　預かっているアイテムはひとつもないよ」";
constexpr const char* kNoWeaponsFound = "見つけた武器がありません";
constexpr const char* kNoShieldsFound = "見つけた盾がありません";
// A message that waits for a key, closes and goes back to the state below.
constexpr std::int32_t kEmptyCatalogueState = 54;
constexpr const char* kDeposited = "倉庫番「確かにあずかったよ」";

std::uint32_t PowerOfTen(std::int32_t digit)
{
    std::uint32_t power = 1;
    for (std::int32_t i = 0; i < digit; ++i)
        power *= 10;
    return power;
}

std::int32_t CountCarried(const SGameResource& game)
{
    return std::int32_t(std::count_if(game.inventory.begin(), game.inventory.end(),
                                      [](std::uint16_t id) { return id != CSceneMenu::kNoItem; }));
}

// The largest amount that can move from a side holding `from` to one holding `to`.
std::uint32_t LargestMove(std::uint32_t from, std::uint32_t to)
{
    const std::uint32_t room = to >= kGoldLimit ? 0 : kGoldLimit - to;
    return std::min(from, room);
}

// The pot's used content slots among the first `value` (its capacity).
std::vector<std::uint16_t> PotContents(const CItemControl::SItem& pot)
{
    std::vector<std::uint16_t> contents;
    const std::int32_t size = std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
    for (std::int32_t i = 0; i < size; ++i)
        if (pot.slots[std::size_t(i)] != CSceneMenu::kNoItem) contents.push_back(pot.slots[std::size_t(i)]);
    return contents;
}

bool AsksPotQuestion(const CItemControl::SItem& item)
{
    if (item.kind != kSortingPot || item.itemClass != kClassPot) return false;
    return std::any_of(item.slots.begin(), item.slots.end(),
                       [](std::uint16_t slot) { return slot != CSceneMenu::kNoItem; });
}

// The warehouse entry at a position of the shown list: the class filter's, or the whole list's.
std::uint16_t ListedEntry(const CSceneMenu& menu, std::int32_t position)
{
    const CItemControl& items = menu.Game().items;
    if (position < 0) return CSceneMenu::kNoItem;
    if (!menu.warehouseFilter.empty())
        return std::size_t(position) < menu.warehouseFilter.size()
                   ? menu.warehouseFilter[std::size_t(position)]
                   : CSceneMenu::kNoItem;
    return position < std::min(items.warehouseCount, CItemControl::kItemCount)
               ? items.warehouseList[std::size_t(position)]
               : CSceneMenu::kNoItem;
}

void OpenListPrompt(CSceneMenu& menu, const char* prompt)
{
    menu.Game().selectWindow.Open(8, 16, true, 224, -1, -1, true, prompt);
    menu.OpenItemList(CSceneMenu::kNoItem);
}

} // namespace

ZTL::string BuildAmountLine(std::uint32_t amount)
{
    ZTL::string line;
    for (std::int32_t digit = kDigits - 1; digit >= 0; --digit)
        if (PowerOfTen(digit) > amount) line += "　";
    return line + FormatFullWidthUnsigned(amount) + "Ｇ";
}

void CSceneMenu::EndWithKeeperLine(const ZTL::string& text)
{
    Game().messageWindow.AddWrappedMessage(0, text);
    PushState(0);
}

void CSceneMenu::OpenWarehouseMenu()
{
    Game().selectWindow.Open(
        16, 32, true, -1, -1, 0, true,
        "　道具を預ける\n　道具を引き出す\n　倉庫から道具を売る\n　お金を預ける\n"
        "　お金を引き出す\n　装備品を登録する\n　見つけた武器を閲覧\n　見つけた盾を閲覧\n");
}

void CSceneMenu::OpenMoneyWindow(bool redraw)
{
    SGameResource& game = Game();
    if (redraw) {
        CloseTopWindow();
    } else {
        const bool deposit = GetState() == 37;
        const ZTL::string text =
            ZTL::string(deposit ? "「いくら預かればいいの？」\n所持金：" : "「いくら引き出す？」\n残高：") +
            FormatFullWidthUnsigned(deposit ? game.gold : game.bankedGold) + "Ｇ";
        game.selectWindow.Open(64, 50, true, 192, -1, -1, false, text);
    }
    game.selectWindow.Open(64, 100, false, 192, -1, -1, false, BuildAmountLine(amount));
    RedrawWindows();
}

void CSceneMenu::DepositChosenItems()
{
    std::vector<std::int32_t> slots = itemList.chosenSlots;
    if (slots.empty()) slots.push_back(CursorSlot());
    for (std::int32_t slot : slots)
        if (SlotItem(slot) != kNoItem) depositQueue.push_back(SlotItem(slot));
    ContinueDeposit();
}

void CSceneMenu::ContinueDeposit()
{
    SGameResource& game = Game();
    while (!depositQueue.empty()) {
        const std::uint16_t id = depositQueue.front();
        const CItemControl::SItem& item = game.items.GetItem(id);
        if (AsksPotQuestion(item)) {
            PushState(31);
            game.selectWindow.Open(24, 64, true, -1, -1, -1, true,
                                   game.items.GetDisplayName(item) + "\nの中身を振り分ける？");
            game.selectWindow.OpenYesNo(24, 112, false);
            RedrawWindows();
            return;
        }
        if (game.items.StoreInWarehouse(game, id) == kNoItem) {
            depositQueue.clear();
            EndWithKeeperLine(kFilledDuringDeposit);
            return;
        }
        depositQueue.pop_front();
    }
    EndWithKeeperLine(kDeposited);
}

void CSceneMenu::AnswerPotQuestion(bool distribute)
{
    SGameResource& game = Game();
    const std::uint16_t pot = depositQueue.empty() ? kNoItem : depositQueue.front();
    bool stored = false;
    if (distribute) {
        const std::vector<std::uint16_t> contents = PotContents(game.items.GetItem(pot));
        if (game.items.FindFreeWarehouseSlots(1 + std::int32_t(contents.size()), nullptr)) {
            for (std::uint16_t content : contents)
                game.items.StoreInWarehouse(game, content);
            stored = game.items.StoreInWarehouse(game, pot) != kNoItem;
        }
    } else {
        stored = game.items.StoreInWarehouse(game, pot) != kNoItem;
    }
    if (!stored) {
        depositQueue.clear();
        EndWithKeeperLine(kFilledDuringDeposit);
        return;
    }
    depositQueue.pop_front();
    CloseWindowGroup();
    PopState();
    ContinueDeposit();
}

void CSceneMenu::WithdrawChosenItems()
{
    SGameResource& game = Game();
    // The entries are read before any is taken: every take shortens the warehouse list.
    std::vector<std::int32_t> positions = itemList.chosenSlots;
    if (positions.empty()) positions.push_back(secondPage * kRowsPerPage + secondRow);
    std::vector<std::uint16_t> entries;
    for (std::int32_t position : positions)
        if (ListedEntry(*this, position) != kNoItem) entries.push_back(ListedEntry(*this, position));
    PushState(0);
    const auto nextFree = [&game](std::int32_t from) {
        while (from < kInventorySlots && game.inventory[std::size_t(from)] != kNoItem)
            ++from;
        return from;
    };
    std::int32_t slot = nextFree(0);
    if (slot >= kInventorySlots) {
        game.messageWindow.AddWrappedMessage(0, kInventoryFull);
        return;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint16_t taken = game.items.TakeFromWarehouse(entries[i]);
        if (taken == kNoItem) {
            game.messageWindow.AddWrappedMessage(0, "倉庫番「ごめんね、これ以上アイテムは引き出せないよ」");
            return;
        }
        game.inventory[std::size_t(slot)] = taken;
        slot = nextFree(slot + 1);
        if (slot >= kInventorySlots && i + 1 < entries.size()) {
            game.messageWindow.AddWrappedMessage(0, "倉庫番「持ち物がいっぱいで、ぜんぶは持ちきれないよ」");
            return;
        }
    }
    game.messageWindow.AddWrappedMessage(0, "倉庫番「はい、たしかに返したよ」");
}

void CSceneMenu::RegisterChosenItem()
{
    SGameResource& game = Game();
    const std::uint16_t id = SlotItem(CursorSlot());
    if (id == kNoItem) return;
    game.items.RegisterOwnEquipment(game.items.GetItem(id));
    EndWithKeeperLine(ZTL::string("倉庫番「") + GetColoredItemNameByIndex(game.items, id) + "を登録したよ」");
}

std::vector<std::pair<std::int32_t, bool>> CSceneMenu::CatalogueKinds()
{
    SGameResource& game = Game();
    std::vector<std::int32_t> kinds;
    game.items.ListKindsOfClass(m_state == 41 ? 2 : 1, kinds);
    const bool everything =
        game.dungeonSlots[kFirstCatalogueDungeon].values[SGameResource::SDungeonSlot::kClears] > 0;
    std::vector<std::pair<std::int32_t, bool>> listed;
    for (std::int32_t kind : kinds) {
        const bool found = game.items.IsKindSeen(kind) != 0;
        if (found || everything) listed.emplace_back(kind, found);
    }
    return listed;
}

void CSceneMenu::OpenCatalogue(bool redraw)
{
    SGameResource& game = Game();
    if (redraw) CloseTopWindow();
    const std::vector<std::pair<std::int32_t, bool>> kinds = CatalogueKinds();
    std::string text;
    const std::size_t first = std::size_t(listPage) * kRowsPerPage;
    for (std::size_t i = first; i < kinds.size() && i < first + kRowsPerPage; ++i)
        text += kinds[i].second
                    ? std::string("　") + game.items.GetItemKind(kinds[i].first).name.c_str() + "\n"
                    : std::string("#n　未入手\n");
    game.selectWindow.Open(24, 24, true, 240, -1, listPosition, true, ZTL::string(text.c_str()));
    RedrawWindows();
}

bool HandleWarehouseMenu(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        // The keeper's talk asks for her menu again until an answer is left: only leaving it on purpose
        // ends the talk, or the menu could never be left.
        game.menuAnswer = 1;
        menu.PopState();
        return true;
    }
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if (!menu.DecidesOnEnabledLine(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    CSceneMenu::SItemListData& list = menu.itemList;
    list.page = 0;
    list.row = 0;
    list.chosenSlots.clear();
    list.openPot = CSceneMenu::kNoItem;
    list.carriedCount = CountCarried(game);
    switch (cursor) {
    case 0:
        if (!game.items.FindFreeWarehouseSlots(1, nullptr)) {
            menu.EndWithKeeperLine(kWarehouseFull);
            break;
        }
        menu.depositQueue.clear();
        menu.PushState(30);
        OpenListPrompt(menu, "「どれを預かろうか？」");
        break;
    case 1:
    case 2:
        if (cursor == 1 && list.carriedCount >= kInventorySlots) {
            menu.EndWithKeeperLine(kInventoryFull);
            break;
        }
        if (game.selectWindow.OpenWarehouseClassFilter(game.items) != 0) {
            menu.EndWithKeeperLine(kWarehouseEmpty);
            break;
        }
        menu.PushState(cursor == 1 ? 32 : 34);
        break;
    case 3:
        if (game.gold == 0) {
            menu.EndWithKeeperLine("倉庫番「あれ？　どうやらお金を持っていないみたいだね」");
        } else if (game.bankedGold >= kGoldLimit) {
            menu.EndWithKeeperLine("倉庫番「ごめんね、これ以上お金はあずかれないよ」");
        } else {
            menu.digitPosition = 0;
            menu.amount = 0;
            menu.maximumAmount = LargestMove(game.gold, game.bankedGold);
            menu.PushState(37);
            menu.OpenMoneyWindow(false);
        }
        break;
    case 4:
        if (game.bankedGold == 0) {
            menu.EndWithKeeperLine("倉庫番「あれ？　あなたからは、１ゴールドもあずかっていないよ」");
        } else if (game.gold >= kGoldLimit) {
            menu.EndWithKeeperLine("倉庫番「お金はもう持ちきれないよ」");
        } else {
            menu.digitPosition = 0;
            menu.amount = 0;
            menu.maximumAmount = LargestMove(game.bankedGold, game.gold);
            menu.PushState(38);
            menu.OpenMoneyWindow(false);
        }
        break;
    case 5:
        menu.PushState(39);
        OpenListPrompt(menu, "「どれを登録するの？」");
        break;
    default:
        menu.listPosition = 0;
        menu.listPage = 0;
        menu.PushState(cursor == 6 ? 40 : 41);
        if (menu.CatalogueKinds().empty()) {
            // Nothing found yet: a message that waits for a key, then her menu again, as the other
            // empty lists of the camp behave.
            menu.PopState();
            game.selectWindow.Open(32, 100, true, -1, -1, -1, true,
                                   cursor == 6 ? kNoWeaponsFound : kNoShieldsFound);
            menu.PushState(kEmptyCatalogueState);
            menu.RedrawWindows();
            break;
        }
        menu.OpenCatalogue(false);
        break;
    }
    return true;
}

bool HandleWarehouseClassFilter(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.PopState();
        menu.CloseTopWindow();
        return true;
    }
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if (!menu.DecidesOnEnabledLine(keyMask)) return false;
    menu.PlaySound(kSoundDecide);
    // The first class is everything: the whole warehouse list stands for it.
    menu.warehouseFilter.clear();
    if (cursor > 0) game.items.ListWarehouseItemsOfClass(cursor, menu.warehouseFilter);
    menu.secondPage = 0;
    menu.secondRow = 0;
    menu.itemList.chosenSlots.clear();
    const bool withdraw = menu.GetState() == 32;
    menu.PushState(withdraw ? 33 : 35);
    OpenListPrompt(menu, withdraw ? "「どれを引き出すの？」" : "「どれを売ればいいの？」");
    return true;
}

bool HandlePotQuestion(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.AnswerPotQuestion(false);
        return true;
    }
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if ((keyMask & (kKeyDecide | kKeyMenu)) == 0 || cursor < 0) return false;
    menu.PlaySound(kSoundDecide);
    menu.AnswerPotQuestion(cursor == 0);
    return true;
}

bool HandleMoneyAmount(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.CloseWindowGroup();
        menu.PopState();
        return true;
    }
    if ((keyMask & (kKeyDecide | kKeyMenu)) != 0) {
        menu.PlaySound(kSoundDecide);
        const std::uint32_t amount = std::min(menu.amount, menu.maximumAmount);
        if (menu.GetState() == 37) {
            game.gold -= std::min(amount, game.gold);
            game.bankedGold += amount;
            menu.EndWithKeeperLine(kDeposited);
        } else {
            game.bankedGold -= std::min(amount, game.bankedGold);
            game.gold += amount;
            menu.EndWithKeeperLine("倉庫番「はい、確かに返したよ」");
        }
        return true;
    }
    const std::uint32_t step = PowerOfTen(menu.digitPosition);
    if ((keyMask & kKeyUp) != 0) {
        menu.amount =
            std::uint32_t(std::min<std::uint64_t>(std::uint64_t(menu.amount) + step, menu.maximumAmount));
    } else if ((keyMask & kKeyDown) != 0) {
        menu.amount = menu.amount > step ? menu.amount - step : 0;
    } else if ((keyMask & kKeyLeft) != 0) {
        menu.digitPosition = (menu.digitPosition + 1) % kDigits;
    } else if ((keyMask & kKeyRight) != 0) {
        menu.digitPosition = (menu.digitPosition + kDigits - 1) % kDigits;
    } else {
        return false;
    }
    menu.PlaySound(kSoundCursor);
    menu.OpenMoneyWindow(true);
    return true;
}

bool HandleCatalogue(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        menu.CloseTopWindow();
        menu.PopState();
        return true;
    }
    const std::vector<std::pair<std::int32_t, bool>> kinds = menu.CatalogueKinds();
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if ((keyMask & (kKeyLeft | kKeyRight)) != 0) {
        const std::int32_t pages =
            std::max<std::int32_t>(1, (std::int32_t(kinds.size()) + kRowsPerPage - 1) / kRowsPerPage);
        menu.listPage =
            (keyMask & kKeyLeft) != 0 ? (menu.listPage + pages - 1) % pages : (menu.listPage + 1) % pages;
        // The row is kept, within the rows the new page has.
        const std::int32_t rows =
            std::min(kRowsPerPage, std::int32_t(kinds.size()) - menu.listPage * kRowsPerPage);
        menu.listPosition = std::clamp(cursor, 0, std::max(rows - 1, 0));
        menu.PlaySound(kSoundCursor);
        menu.OpenCatalogue(true);
        return true;
    }
    if (!menu.DecidesOnEnabledLine(keyMask)) return false;
    const std::size_t index = std::size_t(menu.listPage * kRowsPerPage + cursor);
    if (index >= kinds.size()) return false;
    menu.PlaySound(kSoundDecide);
    menu.listPosition = cursor;
    menu.describedItem = CSceneMenu::kNoItem;
    menu.describedKind = kinds[index].first;
    menu.descriptionPage = 0;
    menu.PushState(42);
    menu.ComposeItemDescription();
    return true;
}
