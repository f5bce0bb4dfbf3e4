// The inventory side of the menu: the item lists, their command windows, what a chosen command queues
// for the game-main scene, and the list state's keys (paging, marking, sorting, the price column).
#include "game/app/game_resource.h"
#include "game/data/player_command.h"

#include "game/asset_ids.h"
#include "game/characters/panel_rules.h"
#include "game/items/item_commands.h"
#include "game/scenes/menu_keys.h"
#include "game/scenes/menu_scene.h"

#include <algorithm>
#include <string>

namespace {

using namespace MenuKeys;

constexpr std::int32_t kSoundPage = 1;
constexpr std::int32_t kSoundDecide = 2;
constexpr std::int32_t kSoundCancel = 3;
constexpr std::int32_t kSoundSort = 26;

constexpr std::int32_t kClassWeapon = 1, kClassShield = 2, kClassArrow = 3, kClassPot = 10, kClassTrap = 12,
                       kClassCircle = 13;
constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kSealingCircle = 271;
constexpr std::int32_t kReplayViewing = 2;
constexpr std::int32_t kItemSheet = 10;

void Push(SGameResource& game, std::int32_t kind, std::int32_t a1 = -1, std::int32_t a2 = -1,
          std::int32_t a3 = -1)
{
    game.playerCommands.push_back(MakePlayerCommand(kind, a1, a2, a3));
}

// An item's class icon on the common sheet, the plated form for an item of flag bit 3.
Draw::RECT ItemIcon(const CItemControl::SItem& item)
{
    const std::int32_t sx = (item.flags & 8) != 0 ? 96 : 112;
    const std::int32_t sy = 128 + 16 * item.itemClass;
    return Draw::RECT{sx, sy, sx + 16, sy + 16};
}

// Icons stand this far into a list window: the cursor arrow, with its wobble, keeps the first 16 pixels.
constexpr std::int32_t kIconInset = 16;

std::string FullWidthNumber(std::int32_t n)
{
    static const char* const kDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    const std::string plain = std::to_string(n < 0 ? -n : n);
    std::string out = n < 0 ? "－" : "";
    for (char c : plain)
        out += kDigits[c - '0'];
    return out;
}

} // namespace

std::int32_t CSceneMenu::GetFloorClass()
{
    if (lookAndDiscard) return 0;
    SGameResource& game = Game();
    const CCharacterControl::SPlayer& p = game.characters.player;
    if (p.x < 0 || p.y < 0 || p.x >= CMapControl::kWidth || p.y >= CMapControl::kHeight) return 0;
    const SMapCell& cell = game.map.GetCell(std::uint32_t(p.x), std::uint32_t(p.y));
    switch (cell.objectKind) {
    case kObjectItem:
        return game.items.GetItem(cell.objectId).itemClass;
    case kObjectTrap:
    case kObjectTreasureSpot:
        return kClassTrap;
    case kObjectCircle:
        return kClassCircle;
    default:
        return 0;
    }
}

bool CSceneMenu::IsSealed()
{
    SGameResource& game = Game();
    CGamePanelRules rules;
    return game.characters.player.status.sealTurns != 0 ||
           rules.CountCirclesAffecting(game, kSealingCircle) > 0;
}

std::uint16_t CSceneMenu::SlotItem(std::int32_t slot)
{
    SGameResource& game = Game();
    if (slot == kFloorSlot) {
        if (GetFloorClass() == 0) return kNoItem;
        const CCharacterControl::SPlayer& p = game.characters.player;
        const SMapCell& cell = game.map.GetCell(std::uint32_t(p.x), std::uint32_t(p.y));
        return cell.objectKind == kObjectItem ? cell.objectId : kNoItem;
    }
    if (slot < 0 || std::size_t(slot) >= game.inventory.size()) return kNoItem;
    return game.inventory[std::size_t(slot)];
}

std::int32_t CSceneMenu::CursorSlot() const
{
    if (m_state == 7) return secondPage * 10 + secondRow;
    return itemList.page * 10 + itemList.row;
}

std::uint16_t CSceneMenu::CommandItem()
{
    if (itemList.openPot == kNoItem) return SlotItem(CursorSlot());
    return Game().items.GetItem(itemList.openPot).slots[std::size_t(std::clamp(potRow, 0, 9))];
}

std::vector<std::int32_t> CSceneMenu::BuildItemCommandCodes(std::int32_t slot)
{
    SGameResource& game = Game();
    const bool inPot = itemList.openPot != kNoItem;
    const std::int32_t floorClass = GetFloorClass();
    std::uint16_t id = SlotItem(slot);
    if (inPot) {
        const CItemControl::SItem& pot = game.items.GetItem(itemList.openPot);
        const std::size_t row = std::size_t(std::clamp(potRow, 0, 9));
        id = pot.slots[row];
    }
    std::int32_t cls = 0;
    if (slot == kFloorSlot && !inPot) cls = floorClass;
    if (id != kNoItem) cls = game.items.GetItem(id).itemClass;
    std::vector<std::int32_t> codes;
    const bool carried = slot >= 0 && slot < kFloorSlot;
    if (game.playMode == kReplayViewing || lookAndDiscard) {
        if (inPot) return codes;
        if (cls == kClassPot) codes.push_back(4);
        codes.push_back(11);
        if (lookAndDiscard) codes.push_back(12);
        return codes;
    }
    if (slot == kFloorSlot && !inPot && floorClass <= 11) codes.push_back(8);
    switch (cls) {
    case kClassWeapon:
    case kClassShield:
        if (carried && !inPot) codes.push_back(1);
        break;
    case kClassArrow:
        if (carried) codes.push_back(1);
        break;
    case kClassPot:
        if (!inPot) {
            codes.push_back(4);
            codes.push_back(3);
            const CItemControl::SItem& pot = game.items.GetItem(id);
            if (pot.kind == kWaterJar && pot.value > 0 && pot.slots[0] != kNoItem) codes.push_back(5);
        }
        break;
    case kClassTrap:
    case kClassCircle:
        if (cls == kClassTrap) codes.push_back(3);
        if (game.value22 == 0) codes.push_back(12);
        codes.push_back(11);
        return codes;
    default:
        if (cls >= 4 && cls <= 9) codes.push_back(3);
        break;
    }
    codes.push_back(2);
    if (inPot) codes.push_back(5);
    const bool itemUnderfoot = floorClass != 0 && floorClass <= 11;
    codes.push_back(!itemUnderfoot || (inPot && floorClass == kClassPot) ? 7 : 9);
    if (id != kNoItem && game.items.IsKindUnidentified(game.items.GetItem(id).kind)) codes.push_back(10);
    if (game.value22 == 0) codes.push_back(12);
    codes.push_back(11);
    return codes;
}

std::vector<std::int32_t> CSceneMenu::BuildBulkCommandCodes() const
{
    if (lookAndDiscard) return {3};
    std::vector<std::int32_t> codes;
    if (itemList.openPot != kNoItem) codes.push_back(2);
    codes.push_back(1);
    if (m_game->value22 == 0) codes.push_back(3);
    return codes;
}

ZTL::string CSceneMenu::BuildEquipmentComparison(std::uint16_t item)
{
    SGameResource& game = Game();
    if (item == kNoItem) return "？";
    const CItemControl::SItem& it = game.items.GetItem(item);
    const bool weapon = it.itemClass == kClassWeapon;
    // A weapon's or shield's strength: its kind's base and, once known, its plus.
    const auto strength = [&game](std::int32_t id) {
        if (id == kNoItem) return 0;
        const CItemControl::SItem& x = game.items.GetItem(std::uint32_t(id));
        return game.items.GetItemKind(x.kind).base + ((x.flags & 1) != 0 ? x.value : 0);
    };
    const std::int32_t equippedId = weapon ? game.equippedWeapon : game.equippedShield;
    const std::int32_t equipped = strength(equippedId);
    const bool known = (it.flags & 1) != 0;
    const std::int32_t chosen = item == equippedId ? 0 : strength(item);
    std::string text = weapon ? "攻撃力\n" : "防御力\n";
    text += "　" + FullWidthNumber(equipped) + "\n　▼\n　" + FullWidthNumber(chosen);
    if (!known) text += "？";
    return ZTL::string(text.c_str());
}

void CSceneMenu::OpenEquipmentComparison(std::uint16_t item)
{
    Game().selectWindow.Open(236, 148, false, 80, -1, -1, false, BuildEquipmentComparison(item));
}

void CSceneMenu::OpenItemCommandMenu()
{
    SGameResource& game = Game();
    const std::int32_t slot = CursorSlot();
    commandCodes = BuildItemCommandCodes(slot);
    const std::uint16_t id = CommandItem();
    const std::int32_t cls = id != kNoItem ? game.items.GetItem(id).itemClass : GetFloorClass();
    const bool equipped = id != kNoItem && (id == game.equippedWeapon || id == game.equippedShield ||
                                            id == game.equippedArrows);
    game.selectWindow.Open(236, 40, false, 80, -1, 0, true,
                           BuildItemCommandList(commandCodes, cls, equipped, IsSealed()));
    if (itemList.openPot == kNoItem && slot < kFloorSlot && (cls == kClassWeapon || cls == kClassShield))
        OpenEquipmentComparison(id);
}

void CSceneMenu::RefreshItemCommandMenu()
{
    SGameResource& game = Game();
    const auto& windows = game.selectWindow.windows;
    const std::int32_t group = windows.empty() ? 0 : windows.back().group;
    // The command window and the comparison beside it stand above the list in the list's group.
    while (!windows.empty() && windows.back().group == group &&
           windows.back().type != CSelectWindow::kTypeIconList)
        CloseTopWindow();
    if (itemList.chosenSlots.size() > 1)
        OpenBulkCommandMenu();
    else
        OpenItemCommandMenu();
}

void CSceneMenu::ReopenItemList()
{
    // The list's group holds its command windows too; they go with it.
    if (m_state == 2) {
        CloseWindowGroup();
        OpenItemList(kNoItem);
    } else if (m_state == 3) {
        CloseWindowGroup();
        OpenPotView();
    } else {
        return;
    }
    RedrawWindows();
}

void CSceneMenu::OpenBulkCommandMenu()
{
    static const char* const kWords[] = {"", "　まとめて置く\n", "　まとめて出す\n", "　まとめて捨てる\n"};
    commandCodes = BuildBulkCommandCodes();
    std::string text;
    for (std::int32_t code : commandCodes)
        text += kWords[code];
    Game().selectWindow.Open(200, 40, true, 120, -1, 0, false, ZTL::string(text.c_str()));
}

void CSceneMenu::QueueItemCommand(std::int32_t code, std::uint16_t openPot)
{
    SGameResource& game = Game();
    std::uint16_t id = SlotItem(CursorSlot());
    if (openPot != kNoItem) id = game.items.GetItem(openPot).slots[std::size_t(std::clamp(potRow, 0, 9))];
    Push(game, 8, game.characters.player.direction, id, code);
}

void CSceneMenu::QueueUseWithCommand(std::uint16_t second)
{
    // The target goes first and the item used second, as the use-with actions read them.
    Push(Game(), 8, SlotItem(CursorSlot()), second, 3);
}

void CSceneMenu::ExecuteItemCommand()
{
    SGameResource& game = Game();
    const std::int32_t cursor = game.selectWindow.GetCursor();
    if (cursor < 0 || std::size_t(cursor) >= commandCodes.size()) return;
    const std::int32_t code = commandCodes[std::size_t(cursor)];
    const bool bulk = itemList.chosenSlots.size() > 1;
    // A sealed heroine can neither use nor take out, nor discard a batch.
    if ((code == 3 || code == 5) && IsSealed()) {
        PushState(22);
        game.selectWindow.Open(-1, -1, true, -1, -1, -1, false, "封印されているので使えない");
        return;
    }
    if (bulk) {
        if (code == 3) {
            ConfirmDestroy();
            PushState(8);
            return;
        }
        Push(game, 14);
        for (std::int32_t slot : itemList.chosenSlots) {
            const std::uint16_t id = itemList.openPot != kNoItem
                                         ? game.items.GetItem(itemList.openPot).slots[std::size_t(slot % 10)]
                                         : SlotItem(slot);
            Push(game, 8, game.characters.player.direction, id, code == 1 ? 7 : 5);
        }
        Push(game, 0);
        PushState(0);
        return;
    }
    const std::int32_t slot = CursorSlot();
    if (slot == kFloorSlot && code == 9) {
        secondItem = SlotItem(slot);
        secondFromFloor = true;
        PushState(7);
        OpenTargetList();
        return;
    }
    const std::uint16_t id = CommandItem();
    // Inside a pot too: the use needs an item to act on, which only the target list can give.
    if (code == 3 && id != kNoItem && game.items.UseNeedsTargetItem(game.items.GetItem(id))) {
        secondItem = id;
        secondFromFloor = false;
        PushState(7);
        OpenTargetList();
        return;
    }
    switch (code) {
    case 4:
        itemList.openPot = id;
        potRow = 0;
        PushState(3);
        OpenPotView();
        return;
    case 10:
        namedItem = id;
        PushState(kNamingEntryState);
        OpenTextEntry();
        return;
    case 11:
        describedItem = id;
        describedKind = -1;
        descriptionPage = 0;
        PushState(5);
        ComposeItemDescription();
        return;
    case 12:
        ConfirmDestroy();
        PushState(8);
        return;
    default:
        QueueItemCommand(code, itemList.openPot);
        PushState(0);
        return;
    }
}

void CSceneMenu::ChooseTarget(std::int32_t cursor)
{
    SGameResource& game = Game();
    secondRow = cursor;
    if (secondFromFloor) {
        // The swap: the inventory item chosen goes down, the floor item comes up.
        Push(game, 8, game.characters.player.direction, SlotItem(CursorSlot()), 9);
    } else if (itemList.chosenSlots.size() <= 1) {
        QueueUseWithCommand(secondItem);
    } else {
        Push(game, 14);
        for (std::int32_t slot : itemList.chosenSlots)
            Push(game, 8, SlotItem(slot), secondItem, 3);
        Push(game, 0);
    }
    PushState(0);
}

void CSceneMenu::ConfirmDestroy()
{
    SGameResource& game = Game();
    const std::int32_t floorClass = GetFloorClass();
    const bool bulk = itemList.chosenSlots.size() > 1;
    const char* text = "捨てたアイテムは消えてしまいますが\nよろしいですか？";
    if (!bulk && CursorSlot() == kFloorSlot && floorClass == kClassTrap)
        text = "罠を壊して消します。\nよろしいですか？";
    if (!bulk && CursorSlot() == kFloorSlot && floorClass == kClassCircle)
        text = "魔法陣を消します。\nよろしいですか？";
    if (!bulk) game.selectWindow.DrawDirtyInactive(game, &GetDirtyRects());
    game.selectWindow.Open(32, 96, true, -1, -1, -1, false, text);
    game.selectWindow.OpenYesNo(32, 144, false);
}

void CSceneMenu::ConfirmDestroyChosen()
{
    SGameResource& game = Game();
    if (itemList.chosenSlots.size() <= 1) {
        QueueItemCommand(12, itemList.openPot);
    } else {
        Push(game, 14);
        for (std::int32_t slot : itemList.chosenSlots)
            Push(game, 8, game.characters.player.direction, SlotItem(slot), 12);
        Push(game, 0);
    }
    PushState(0);
}

void CSceneMenu::OpenStairsPrompt()
{
    SGameResource& game = Game();
    const CCharacterControl::SPlayer& p = game.characters.player;
    ZTL::string text = "　降りる\n　そのまま\n";
    std::int32_t width = 80;
    if (game.floor > game.lastFloor) {
        const SMapCell& cell = game.map.GetCell(std::uint32_t(p.x), std::uint32_t(p.y));
        text = cell.objectId == 0 ? "　更に先へ進む\n　そのまま\n" : "　ダンジョンから脱出する\n　そのまま\n";
        width = 168;
    } else if (game.value22 == 0) {
        text = "　倉庫から出る\n　そのまま\n";
        width = 108;
    }
    CloseWindowGroup();
    game.selectWindow.Open(32, 32, true, width, -1, 0, false, text);
}

void CSceneMenu::OpenFootItem()
{
    SGameResource& game = Game();
    if (GetFloorClass() == 0) {
        game.selectWindow.Open(32, 32, true, -1, -1, -1, false, "何も落ちていない");
        return;
    }
    itemList.page = 2;
    itemList.row = 0;
    OpenItemList(kNoItem);
    OpenItemCommandMenu();
}

void CSceneMenu::OpenItemList(std::uint16_t openPot)
{
    SGameResource& game = Game();
    const std::int32_t state = m_state;
    std::vector<std::uint16_t> ids;
    const bool warehouse = openPot == kNoItem && (state == 33 || state == 35);
    if (openPot != kNoItem) {
        const CItemControl::SItem& pot = game.items.GetItem(openPot);
        for (std::int32_t i = 0; i < std::max<std::int32_t>(1, pot.value) && i < 10; ++i)
            ids.push_back(pot.slots[std::size_t(i)]);
    } else if (state == 33 || state == 35) {
        const std::int32_t count = std::clamp(game.items.warehouseCount, 0, CItemControl::kItemCount);
        for (std::int32_t i = 0; i < 10; ++i) {
            const std::size_t at = std::size_t(secondPage * 10 + i);
            if (!warehouseFilter.empty())
                ids.push_back(at < warehouseFilter.size() ? warehouseFilter[at] : kNoItem);
            else
                ids.push_back(std::int32_t(at) < count ? game.items.warehouseList[at] : kNoItem);
        }
    } else {
        const std::int32_t page = state == 7 ? secondPage : itemList.page;
        if (page == 2) {
            ids.push_back(SlotItem(kFloorSlot));
        } else {
            for (std::int32_t i = 0; i < 10; ++i)
                ids.push_back(SlotItem(page * 10 + i));
        }
    }
    std::string text;
    bool any = false;
    // The icons join the window once it is open: (line, source).
    std::vector<std::pair<std::int32_t, Draw::RECT>> icons;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::uint16_t id = ids[i];
        const std::int32_t y = std::int32_t(i);
        if (openPot != kNoItem && game.items.GetItem(openPot).kind == kWaterJar) {
            if (id > 1) continue;
            any = true;
            text += id == 0 ? "水\n" : "氷\n";
            icons.push_back({y, Draw::RECT{96, 176 + 16 * id, 112, 192 + 16 * id}});
            continue;
        }
        // Warehouse indices of 5000 and above stand for nothing.
        if (id == kNoItem || (warehouse && id >= CItemControl::kItemCount)) {
            text += "\n";
            continue;
        }
        any = true;
        const CItemControl::SItem& it = warehouse ? game.items.GetWarehouseItem(id) : game.items.GetItem(id);
        text += std::string(warehouse ? BuildRecordLineText(game.items, it).c_str()
                                      : BuildItemLineText(game, id, false, state).c_str()) +
                "\n";
        icons.push_back({y, ItemIcon(it)});
    }
    if (!any) text = openPot != kNoItem ? "何も入っていない" : "何も持っていない";
    const bool wide = state == 24 || state == 35 || state == 58 || state == 60 || state == 64 || state == 66;
    const bool joins = state == 7 || openPot != kNoItem || state == 24 || state == 30 || state == 33 ||
                       state == 35 || state == 39 || state == 60 || state == 66;
    std::int32_t cursor = (state == 7 || warehouse) ? secondRow : openPot != kNoItem ? potRow : itemList.row;
    if (openPot != kNoItem && game.items.GetItem(openPot).kind != 359) cursor = -1;
    FillPriceColumn();
    const std::int32_t x = state == 7 ? 44 : 16, top = openPot != kNoItem ? 48 : 40;
    game.selectWindow.OpenIconList(x, top, !joins, wide ? 288 : 224, -1, cursor, ZTL::string(text.c_str()));
    if (any)
        for (const auto& [line, source] : icons)
            game.selectWindow.AddImage(kItemSheet, x + kIconInset, top + 8 + 18 * line, source);
}

void CSceneMenu::FillPriceColumn()
{
    SGameResource& game = Game();
    prices.fill(-1);
    priceColours.fill(0);
    // A buyer's list shows what each item would fetch, whatever the price mode.
    const bool shop = m_state == 24 || m_state == 60 || m_state == 66;
    const std::int32_t mode = shop ? 1 : priceMode;
    if (mode == 0 || itemList.openPot != kNoItem || m_state == 7 || m_state == 33 || m_state == 35 ||
        itemList.page > 1)
        return;
    for (std::int32_t line = 0; line < 10; ++line) {
        const std::uint16_t id = SlotItem(itemList.page * 10 + line);
        if (id == kNoItem) continue;
        prices[std::size_t(line)] = game.items.GetItemPrice(game.items.GetItem(id), mode == 2 ? 1 : 0, 0);
    }
}

void CSceneMenu::OpenPotView()
{
    SGameResource& game = Game();
    game.selectWindow.OpenIconList(8, 24, true, 224, -1, -1,
                                   BuildItemLineText(game, itemList.openPot, false, 3));
    game.selectWindow.AddImage(kItemSheet, 8 + kIconInset, 24 + 8,
                               ItemIcon(game.items.GetItem(itemList.openPot)));
    OpenItemList(itemList.openPot);
}

void CSceneMenu::OpenTargetList()
{
    SGameResource& game = Game();
    game.selectWindow.OpenIconList(44, 16, true, -1, -1, -1, BuildItemLineText(game, secondItem, false, 7));
    // As wide as the name, and the icon before it.
    CSelectWindow::SWindow& named = game.selectWindow.windows.back();
    named.width = std::min(named.width + kIconInset + 8, 312 - named.x);
    game.selectWindow.AddImage(kItemSheet, 44 + kIconInset, 16 + 8, ItemIcon(game.items.GetItem(secondItem)));
    game.selectWindow.Open(0, 40, false, 44, -1, -1, false, secondFromFloor ? "交換" : "選択");
    secondPage = 0;
    secondRow = 0;
    OpenItemList(kNoItem);
}

std::vector<std::int32_t> SmallNumberSprites(std::int32_t first, std::int32_t second, std::int32_t x)
{
    std::vector<std::int32_t> xs;
    if (second == 0 || second == 1) return xs;
    std::int32_t at = x - 12;
    const auto number = [&](std::int32_t n) {
        if (n >= 100) {
            xs.push_back(at);
            at += 5;
        }
        if (n >= 10) {
            xs.push_back(at);
            at += 5;
        }
        xs.push_back(at);
        at += 5;
    };
    number(first);
    xs.push_back(at);
    at += 5;
    number(second);
    return xs;
}

std::uint32_t EnabledItemPages(CSceneMenu& menu, std::int32_t state)
{
    std::uint32_t pages = 1;
    if (menu.itemList.carriedCount > 10) pages |= 2;
    const std::int32_t floorClass = menu.GetFloorClass();
    bool third = floorClass != 0;
    if (state == 7) third = floorClass <= 11 && floorClass != 0 && !menu.secondFromFloor;
    if (state == 24 || state == 30 || state == 39) third = false;
    if (third) pages |= 4;
    return pages;
}

bool HandleItemList(CSceneMenu& menu, std::uint32_t keyMask)
{
    SGameResource& game = menu.Game();
    CSceneMenu::SItemListData& list = menu.itemList;
    const std::int32_t state = menu.GetState();
    if ((keyMask & kKeyMulti) == 0) menu.toggledThisHold.clear();
    const std::int32_t cursor = game.selectWindow.GetCursor();
    const bool selectable = cursor >= 0 && game.selectWindow.IsSelectionEnabled();

    if ((keyMask & (kKeyDecide | kKeyMenu)) != 0 && selectable) {
        menu.PlaySound(kSoundDecide);
        switch (state) {
        case 7:
            menu.ChooseTarget(cursor);
            break;
        case 24:
        case 60:
        case 66:
            list.row = cursor;
            menu.OpenSellOffer();
            break;
        case 35:
            menu.secondRow = cursor;
            menu.OpenSellOffer();
            break;
        case 30:
            list.row = cursor;
            menu.DepositChosenItems();
            break;
        case 33:
            menu.secondRow = cursor;
            menu.WithdrawChosenItems();
            break;
        case 39:
            list.row = cursor;
            menu.RegisterChosenItem();
            break;
        default:
            (list.openPot != CSceneMenu::kNoItem ? menu.potRow : list.row) = cursor;
            menu.PushState(4);
            if (list.chosenSlots.size() <= 1)
                menu.OpenItemCommandMenu();
            else
                menu.OpenBulkCommandMenu();
            break;
        }
        return true;
    }

    if ((keyMask & (kKeyLeft | kKeyRight)) != 0) {
        std::int32_t& pageField = (state == 7 || state == 33 || state == 35) ? menu.secondPage : list.page;
        std::int32_t page = pageField;
        if (state == 33 || state == 35) {
            const std::size_t n = menu.warehouseFilter.empty()
                                      ? std::size_t(std::max(game.items.warehouseCount, 0))
                                      : menu.warehouseFilter.size();
            const std::int32_t count = std::int32_t((n + 9) / 10);
            // With no page at all there is nothing to turn to.
            if (count == 0) return false;
            page = (keyMask & kKeyLeft) != 0 ? (page + count - 1) % count : (page + 1) % count;
        } else if (list.openPot == CSceneMenu::kNoItem || state == 7) {
            const std::uint32_t pages = EnabledItemPages(menu, state);
            const std::int32_t step = (keyMask & kKeyLeft) != 0 ? 2 : 1;
            for (std::int32_t i = 0; i < 3; ++i) {
                page = (page + step) % 3;
                if ((pages & (1u << page)) != 0) break;
            }
        }
        if (page == pageField) return false;
        pageField = page;
        if (&pageField == &menu.secondPage)
            menu.secondRow = 0;
        else
            list.row = 0;
        menu.PlaySound(kSoundPage);
        menu.CloseTopWindow();
        menu.OpenItemList(list.openPot);
        return true;
    }

    if ((keyMask & kKeySort) != 0 && list.openPot == CSceneMenu::kNoItem && game.playMode != 2) {
        if (state == 33) {
            menu.PlaySound(kSoundSort);
            game.items.SortWarehouseIndicesByKind(menu.warehouseFilter.empty() ? nullptr
                                                                               : &menu.warehouseFilter);
            list.chosenSlots.clear();
            menu.CloseTopWindow();
            menu.OpenItemList(CSceneMenu::kNoItem);
            return true;
        }
        if (state == 2 && cursor >= 0 && list.page != 2) {
            menu.PlaySound(kSoundSort);
            if (!menu.sortedThisVisit) {
                menu.sortedThisVisit = true;
                game.items.SortInventory(game);
                SPlayerCommand command;
                command.kind = 3;
                game.playerCommands.push_back(command);
            }
            list.carriedCount =
                std::int32_t(std::count_if(game.inventory.begin(), game.inventory.end(),
                                           [](std::uint16_t id) { return id != CSceneMenu::kNoItem; }));
            if (list.page == 1 && list.carriedCount <= 10) list.page = 0;
            list.chosenSlots.clear();
            menu.CloseTopWindow();
            menu.OpenItemList(CSceneMenu::kNoItem);
            return true;
        }
    }

    if ((keyMask & kKeyMulti) != 0 && game.playMode != 2 && cursor >= 0 && state != 39 &&
        (state != 7 || (menu.secondItem != CSceneMenu::kNoItem &&
                        game.items.GetItem(menu.secondItem).itemClass == kClassPot))) {
        const bool second = state == 7 || state == 33 || state == 35;
        const std::int32_t slot = (second ? menu.secondPage : list.page) * 10 + cursor;
        auto& held = menu.toggledThisHold;
        if (std::find(held.begin(), held.end(), slot) == held.end()) {
            held.push_back(slot);
            auto& chosen = list.chosenSlots;
            const auto at = std::find(chosen.begin(), chosen.end(), slot);
            if (at != chosen.end())
                chosen.erase(at);
            else
                chosen.push_back(slot);
            menu.PlaySound(kSoundPage);
        }
    }

    if ((keyMask & kKeyDiagonal) != 0 && state != 24 && state != 35 && state != 60 && state != 66) {
        menu.PlaySound(kSoundDecide);
        menu.priceMode = (menu.priceMode + 1) % 3;
        menu.FillPriceColumn();
    }

    if ((keyMask & kKeyCancel) != 0) {
        menu.PlaySound(kSoundCancel);
        switch (state) {
        case 3: {
            // Back to the pot's own command window, on the line it was opened from.
            list.openPot = CSceneMenu::kNoItem;
            menu.CloseWindowGroup();
            const auto& windows = menu.Game().selectWindow.windows;
            const std::int32_t commandLine = windows.empty() ? 0 : std::max(windows.back().cursor, 0);
            menu.CloseTopWindow();
            menu.PopState();
            menu.OpenItemCommandMenu();
            menu.Game().selectWindow.SetCursor(commandLine);
            break;
        }
        case 7:
            menu.CloseWindowGroup();
            menu.PopState();
            break;
        case 24:
            menu.PushState(0);
            break;
        case 30:
        case 33:
        case 35:
        case 39:
        case 60:
        case 66:
            menu.PopState();
            menu.CloseWindowGroup();
            break;
        default:
            menu.CloseTopWindow();
            menu.PopState();
            list.row = std::max(cursor, 0);
            break;
        }
        list.chosenSlots.clear();
        menu.secondPage = 0xFFFF;
        menu.secondRow = 0xFFFF;
        // The list below (the inventory behind a pot or a target list) shows its own prices again.
        menu.FillPriceColumn();
        return true;
    }
    return false;
}

std::vector<SPriceDigit> PriceDigits(std::int32_t price, std::int32_t line, std::int32_t state)
{
    std::vector<SPriceDigit> digits;
    if (price < 0) return digits;
    std::int32_t x = 224 - (state == 24 ? 2 : 0);
    const std::int32_t y = 48 + 18 * line - 1;
    do {
        digits.push_back({x, y, price % 10});
        price /= 10;
        x -= 8;
    } while (price > 0);
    return digits;
}

std::vector<Draw::RECT> CSceneMenu::HighlightRects() const
{
    std::vector<Draw::RECT> rects;
    const auto& windows = m_game->selectWindow.windows;
    const auto list = std::find_if(windows.rbegin(), windows.rend(), [](const CSelectWindow::SWindow& w) {
        return w.type == CSelectWindow::kTypeIconList;
    });
    if (list == windows.rend()) return rects;
    const std::int32_t page = (m_state == 7 || m_state == 33 || m_state == 35) ? secondPage : itemList.page;
    for (std::int32_t slot : itemList.chosenSlots) {
        if (slot / 10 != page) continue;
        const std::int32_t top = list->y + 8 + 18 * (slot % 10);
        rects.push_back(Draw::RECT{list->x + 8, top, list->x + list->width - 8, top + 18});
    }
    return rects;
}

void CSceneMenu::DrawSmallNumbers(Draw::ISurface& plane, std::int32_t first, std::int32_t second,
                                  std::int32_t x, std::int32_t y)
{
    const std::vector<std::int32_t> xs = SmallNumberSprites(first, second, x);
    if (xs.empty()) return;
    // The sprites in drawing order: first number, separator (10), second number.
    std::vector<std::int32_t> glyphs;
    const auto digits = [&glyphs](std::int32_t n) {
        if (n >= 100) glyphs.push_back(n / 100 % 10);
        if (n >= 10) glyphs.push_back(n / 10 % 10);
        glyphs.push_back(n % 10);
    };
    digits(first);
    glyphs.push_back(10);
    digits(second);
    for (std::size_t i = 0; i < xs.size() && i < glyphs.size(); ++i) {
        const std::int32_t sx = glyphs[i] == 10 ? 58 : 5 * glyphs[i];
        const Draw::RECT rect = {sx, 36, sx + 5, 45};
        BltImage(plane, kImageInterface, xs[i], y, &rect);
    }
}

void CSceneMenu::DrawItemMarks(Draw::ISurface& plane, std::uint16_t item, std::int32_t x, std::int32_t y)
{
    SGameResource& game = Game();
    if (item == kNoItem) return;
    const CItemControl::SItem& it = game.items.GetItem(item);
    const auto mark = [&](std::int32_t left, std::int32_t top) {
        const Draw::RECT rect = {left, top, left + 8, top + 8};
        BltImage(plane, kImageInterface, x, y, &rect);
    };
    if (item == game.equippedWeapon || item == game.equippedShield || item == game.equippedArrows)
        mark(112, 128);
    else if (item == game.spareWeapon || item == game.spareShield)
        mark(96, 128);
    if ((it.flags & 8) != 0) mark(112, 136);
    const bool equipment = it.itemClass == kClassWeapon || it.itemClass == kClassShield;
    if ((it.flags & 4) != 0 &&
        (!equipment || ((it.flags & 1) != 0 && !game.items.IsKindUnidentified(it.kind))))
        mark(120, 136);
}

void CSceneMenu::DrawItemListDecorations(Draw::ISurface& plane, bool doubled)
{
    static constexpr std::array<std::int32_t, 12> kListStates = {2, 3, 7, 9, 24, 30, 33, 35, 58, 60, 64, 66};
    // Over a batch's command window the list stands without its highlights.
    const bool overCommands = m_state == 4 && itemList.chosenSlots.size() <= 1;
    if (std::find(kListStates.begin(), kListStates.end(), m_state) == kListStates.end() && !overCommands)
        return;
    const std::int32_t s = doubled ? 2 : 1;
    for (const Draw::RECT& r : HighlightRects()) {
        const Draw::RECT scaled = {r.left * s, r.top * s, r.right * s, r.bottom * s};
        plane.AddColorEffect(0x404040, &scaled);
        if (m_liveWorld && !Game().config.menuBackgroundMoves)
            m_dirty.AddRect(r.left, r.top, r.right, r.bottom);
    }
    const auto& windows = Game().selectWindow.windows;
    const auto list = std::find_if(windows.rbegin(), windows.rend(), [](const CSelectWindow::SWindow& w) {
        return w.type == CSelectWindow::kTypeIconList;
    });
    const bool secondList = m_state == 7 || m_state == 33 || m_state == 35;
    const std::int32_t page = secondList ? secondPage : itemList.page;
    // The buy lists' lines are the shop's stock: no carried item's marks belong on them.
    const bool stock = m_state == 58 || m_state == 64;
    if (list != windows.rend() && itemList.openPot == kNoItem && !secondList && !stock && page == 2) {
        // The floor page's one line: the item underfoot, marked like a carried one.
        DrawItemMarks(plane, SlotItem(kFloorSlot), list->x + kIconInset, list->y + 8);
    } else if (list != windows.rend() && itemList.openPot == kNoItem && !secondList && !stock && page < 2) {
        // The marks stand on the icons' corners.
        for (std::int32_t line = 0; line < 10; ++line)
            DrawItemMarks(plane, SlotItem(page * 10 + line), list->x + kIconInset, list->y + 8 + 18 * line);
        std::int32_t pages = 1;
        if (itemList.carriedCount > 10) ++pages;
        if (GetFloorClass() != 0) ++pages;
        DrawPageArrows(plane, list->x + list->width - 40, list->y - 8, page, pages);
    } else if (list != windows.rend() && (m_state == 33 || m_state == 35)) {
        const std::size_t shown = warehouseFilter.empty()
                                      ? std::size_t(std::max(Game().items.warehouseCount, 0))
                                      : warehouseFilter.size();
        DrawPageArrows(plane, list->x + list->width - 40, list->y - 8, page, std::int32_t((shown + 9) / 10));
    }
    for (std::int32_t line = 0; line < 10; ++line) {
        for (const SPriceDigit& d : PriceDigits(prices[std::size_t(line)], line, m_state)) {
            const std::int32_t row = 176 + 16 * priceColours[std::size_t(line)];
            const Draw::RECT rect = {8 * d.digit, row, 8 * d.digit + 8, row + 16};
            BltImage(plane, kImageInterface, d.x, d.y, &rect);
        }
    }
}

Draw::RECT AbilitySlotIconSource(const std::array<std::uint16_t, 10>& slots, std::int32_t slot, bool dimmed)
{
    std::int32_t column = 0;
    std::uint16_t code = slots[std::size_t(slot)];
    if (code == CSceneMenu::kNoItem) {
        column = 32;
    } else if (code == 0) {
        column = 16;
        // The continuation takes the row of the ability it continues.
        for (std::int32_t i = slot - 1; i >= 0 && code == 0; --i)
            if (slots[std::size_t(i)] != CSceneMenu::kNoItem) code = slots[std::size_t(i)];
    }
    const std::int32_t row = code != CSceneMenu::kNoItem && code > 59 ? 16 : 0;
    if (dimmed) column += 48;
    return Draw::RECT{column, row, column + 16, row + 16};
}

void CSceneMenu::DrawAbilitySlotIcon(Draw::ISurface& plane, const std::array<std::uint16_t, 10>& slots,
                                     std::int32_t slot, std::int32_t x, std::int32_t y, bool dimmed)
{
    const Draw::RECT source = AbilitySlotIconSource(slots, slot, dimmed);
    BltImage(plane, kImageAbilitySlots, x, y, &source);
}

void CSceneMenu::ConfirmScrollCancel()
{
    SGameResource& game = Game();
    game.selectWindow.Open(32, 78, true, -1, -1, -1, false,
                           "キャンセルしても\n巻物は消費してしまいますが\nよろしいですか？");
    game.selectWindow.OpenYesNo(32, 144, false);
}

void CSceneMenu::ConfirmAbilityRemoval(std::uint16_t ability)
{
    SGameResource& game = Game();
    game.selectWindow.Open(32, 96, true, -1, -1, -1, false, "能力　　を消してもいいですか？");
    std::array<std::uint16_t, 10> one{};
    one.fill(kNoItem);
    one[0] = ability;
    game.selectWindow.AddImage(kImageAbilitySlots, 70, 102, AbilitySlotIconSource(one, 0, false));
    game.selectWindow.OpenYesNo(32, 126, false);
}

std::vector<std::int32_t> PageArrowPositions(std::int32_t x, std::int32_t page, std::int32_t pages)
{
    if (pages <= 1) return {};
    // The arrows stand further apart the further the list is turned.
    return {x, x + 16 + 6 * page};
}

void CSceneMenu::DrawPageArrows(Draw::ISurface& plane, std::int32_t x, std::int32_t y, std::int32_t page,
                                std::int32_t pages)
{
    const std::vector<std::int32_t> xs = PageArrowPositions(x, page, pages);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const std::int32_t left = i == 0 ? 144 : 160;
        const Draw::RECT rect = {left, 16, left + 16, 32};
        BltImage(plane, kImageInterface, xs[i], y, &rect);
    }
}
