// Scans over the heroine's carried items and the money side of shops: the price of the goods still
// lying in the shop, selling chosen carried items to a shopkeeper and chosen warehouse items at the camp.

#include "game/app/game_resource.h"
#include "game/core/money.h"
#include "game/items/item_control.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kChoiceEnd = 0;
constexpr std::int32_t kChoiceEntry = 13;
constexpr std::int32_t kChoiceList = 14;
constexpr std::int32_t kSoundRefused = 16;

using SItem = CItemControl::SItem;

bool HoldsItems(const SItem& item)
{
    return item.kind != CItemControl::kNone && item.itemClass == kItemClassPot && item.kind != kWaterJar;
}

// The contents of a pot among its first `size` slots, in slot order.
std::vector<std::uint16_t> PotContents(const SItem& pot)
{
    std::vector<std::uint16_t> contents;
    if (!HoldsItems(pot)) return contents;
    const std::int32_t size = std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
    for (std::int32_t i = 0; i < size; ++i)
        if (pot.slots[std::size_t(i)] != CItemControl::kNone) contents.push_back(pot.slots[std::size_t(i)]);
    return contents;
}

bool IsGoods(const SItem& item)
{
    return (item.flags & CItemControl::kShopGoods) != 0;
}

std::int32_t BuyPrice(CItemControl& items, const SItem& item)
{
    return items.GetItemPrice(item, 1, 0);
}

void AddGold(SGameResource& game, std::int32_t amount)
{
    const std::int64_t sum = std::int64_t(game.gold) + std::max(amount, 0);
    game.gold = std::uint32_t(std::min<std::int64_t>(sum, kGoldLimit));
}

// Takes the chosen entries off the front of the player's commands: a list (kind 14 up to the kind-0
// command that closes it) or one choice; the rest is emptied. An empty sequence chooses nothing.
// `read` gets every command taken, for the log.
std::vector<std::int32_t> TakeChoices(SGameResource& game, std::vector<SPlayerCommand>& read)
{
    std::vector<std::int32_t> chosen;
    std::deque<SPlayerCommand>& commands = game.playerCommands;
    if (commands.empty()) return chosen;
    if (commands.front().kind != kChoiceList) {
        read.push_back(commands.front());
        chosen.push_back(commands.front().arg2);
    } else {
        while (!commands.empty()) {
            const SPlayerCommand command = commands.front();
            commands.pop_front();
            read.push_back(command);
            if (command.kind == kChoiceEnd) break;
            if (command.kind == kChoiceEntry) chosen.push_back(command.arg2);
        }
    }
    commands.clear();
    return chosen;
}

} // namespace

std::int32_t CountCarriedItems(SGameResource& game)
{
    std::int32_t count = 0;
    for (const std::uint16_t index : game.inventory) {
        if (index == CItemControl::kNone) continue;
        count += 1 + std::int32_t(PotContents(game.items.GetItem(index)).size());
    }
    return count;
}

void IdentifyInventory(SGameResource& game)
{
    for (const std::uint16_t index : game.inventory) {
        if (index == CItemControl::kNone) break;
        SItem& item = game.items.GetItem(index);
        if (HoldsItems(item)) {
            const std::int32_t size =
                std::clamp<std::int32_t>(item.value, 0, std::int32_t(item.slots.size()));
            for (std::int32_t i = 0; i < size && item.slots[std::size_t(i)] != CItemControl::kNone; ++i)
                game.items.IdentifyItem(game.items.GetItem(item.slots[std::size_t(i)]), true);
        }
        game.items.IdentifyItem(item, true);
    }
}

void ClearCarriedShopGoodsFlags(SGameResource& game)
{
    for (const std::uint16_t index : game.inventory) {
        if (index == CItemControl::kNone) continue;
        SItem& item = game.items.GetItem(index);
        item.flags &= std::uint16_t(~CItemControl::kShopGoods);
        for (const std::uint16_t content : PotContents(item))
            game.items.GetItem(content).flags &= std::uint16_t(~CItemControl::kShopGoods);
    }
}

std::int32_t SumShopGoodsPrice(SGameResource& game)
{
    const std::int32_t shopRoom = game.map.specialRoom;
    // A floor without a shop has no goods; its corridors carry no room number to match.
    if (shopRoom < 0) return 0;
    std::int64_t sum = 0;
    for (std::int32_t y = 0; y < CMapControl::kHeight; ++y)
        for (std::int32_t x = 0; x < CMapControl::kWidth; ++x) {
            const SMapCell& cell = game.map.GetCell(std::uint32_t(x), std::uint32_t(y));
            if (cell.room != shopRoom || cell.objectKind != kObjectItem) continue;
            const SItem& item = game.items.GetItem(cell.objectId);
            if (IsGoods(item)) {
                sum += BuyPrice(game.items, item);
                // Older rules took the heroine's own items inside a goods pot off once more.
                if (game.rulesVersion == 0)
                    for (const std::uint16_t content : PotContents(item))
                        if (!IsGoods(game.items.GetItem(content)))
                            sum -= BuyPrice(game.items, game.items.GetItem(content));
            } else {
                for (const std::uint16_t content : PotContents(item))
                    if (IsGoods(game.items.GetItem(content)))
                        sum += BuyPrice(game.items, game.items.GetItem(content));
            }
        }
    return std::int32_t(std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX));
}

void SettleShopTransaction(SGameResource& game, bool logCommands)
{
    std::vector<SPlayerCommand> read;
    const std::vector<std::int32_t> choices = TakeChoices(game, read);
    if (logCommands && game.playMode == kPlayNormal && !read.empty()) {
        for (const SPlayerCommand& command : read)
            game.actionLog.WriteCommand(command);
        game.actionLog.AppendToFile();
    }

    std::vector<std::uint16_t> sold;
    for (const std::int32_t choice : choices) {
        const std::uint16_t index = std::uint16_t(choice);
        const SItem& item = game.items.GetItem(std::uint32_t(choice));
        const bool equipped = game.equippedWeapon == choice || game.equippedShield == choice;
        if (equipped && (item.flags & CItemControl::kCursed) != 0) {
            game.messageWindow.AddMessage(kSoundRefused, 1,
                                          GetColoredItemNameByIndex(game.items, index) +
                                              "は　呪われていて外れなかった！");
            continue;
        }
        sold.push_back(index);
    }

    for (const std::uint16_t index : sold) {
        SItem& item = game.items.GetItem(index);
        if (item.kind == CItemControl::kNone) continue;
        if (IsGoods(item)) {
            item.flags &= std::uint16_t(~CItemControl::kShopGoods);
            game.shopBill -= BuyPrice(game.items, item);
            item.flags |= CItemControl::kShopGoods;
        }
        for (const std::uint16_t content : PotContents(item))
            if (IsGoods(game.items.GetItem(content)))
                game.shopBill -= BuyPrice(game.items, game.items.GetItem(content));
        AddGold(game, game.items.GetItemPrice(item, 0, 0));

        std::uint16_t slot = CItemControl::kNone;
        std::uint16_t pot = CItemControl::kNone;
        game.items.FindInInventory(game, index, slot, pot, false);
        // An item inside a carried pot leaves the pot, not the inventory slot of the same number.
        if (pot != CItemControl::kNone)
            game.items.RemoveFromPotDelete(game, pot, slot);
        else if (slot != CItemControl::kNone)
            game.items.RemoveFromInventoryDelete(game, slot);
    }
}

void SellSelectedWarehouseItems(SGameResource& game)
{
    std::vector<SPlayerCommand> read;
    for (const std::int32_t choice : TakeChoices(game, read)) {
        const std::uint32_t index = std::uint32_t(choice);
        AddGold(game, game.items.GetItemPrice(game.items.GetWarehouseItem(index), 0, 1));
        const std::uint16_t taken = game.items.TakeFromWarehouse(index);
        if (taken != CItemControl::kNone) game.items.DeleteItem(taken);
    }
}
