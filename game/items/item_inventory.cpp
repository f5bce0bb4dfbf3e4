// Moving items between the inventory, pots and the floor, keeping every reference to an item index
// (equipment, pot contents, the table's mark) true, and the registered own equipment.

#include "game/app/game_resource.h"
#include "game/items/item_control.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kEquippingPot = 359; // arrows inside it stay equipped
constexpr std::int32_t kMostArrows = 10000; // a merged stack stays below it
constexpr std::uint32_t kInventorySlots = SGameResource::kInventorySize;
constexpr std::uint16_t kFloorSlot = 20; // FindInInventory's slot for the item underfoot

// A pot whose slots hold item indices (the water jar's hold water and ice).
bool HoldsItems(const CItemControl::SItem& item)
{
    return item.kind != CItemControl::kNone && item.itemClass == kItemClassPot && item.kind != kWaterJar;
}

// The slots of the pot that can hold contents.
std::int32_t PotSize(const CItemControl::SItem& pot)
{
    return std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
}

void Unreference(std::int32_t& reference, std::uint16_t index)
{
    if (reference == index) reference = CItemControl::kNone;
}

// Whether two arrow stacks may become one: the curse and, from rules version 2, the shop-goods state
// alike, and the sum below 10000.
bool CanMergeArrows(const SGameResource& game, const CItemControl::SItem& stack,
                    const CItemControl::SItem& added)
{
    if (stack.kind != added.kind || stack.itemClass != kItemClassArrow) return false;
    if ((stack.flags & CItemControl::kCursed) != (added.flags & CItemControl::kCursed)) return false;
    if (game.rulesVersion >= 2 &&
        (stack.flags & CItemControl::kShopGoods) != (added.flags & CItemControl::kShopGoods))
        return false;
    return std::int32_t(stack.value) + added.value < kMostArrows;
}

} // namespace

std::int32_t CItemControl::AddToInventory(SGameResource& game, std::uint16_t index)
{
    if (index == kNone) return -1;
    SItem& item = GetItem(index);
    if (item.itemClass == kItemClassArrow) {
        for (const std::uint16_t carried : game.inventory) {
            if (carried == kNone) break;
            SItem& stack = GetItem(carried);
            if (carried == index || !CanMergeArrows(game, stack, item)) continue;
            AddValue(stack, item.value);
            item.Clear();
            return 0;
        }
    }
    for (std::uint16_t& slot : game.inventory)
        if (slot == kNone) {
            slot = index;
            return 0;
        }
    return 1;
}

std::uint32_t CItemControl::RemoveFromInventory(SGameResource& game, std::uint32_t slot, bool deleteItem)
{
    if (slot >= kInventorySlots) return 2;
    const std::uint16_t index = game.inventory[slot];
    if (index == kNone) return 3;
    for (std::int32_t* reference : {&game.equippedWeapon, &game.equippedShield, &game.equippedArrows,
                                    &game.spareWeapon, &game.spareShield})
        Unreference(*reference, index);
    SItem& item = GetItem(index);
    if (HoldsItems(item)) {
        for (std::int32_t i = 0; i < PotSize(item); ++i) {
            const std::uint16_t content = item.slots[std::size_t(i)];
            if (content == kNone) continue;
            if (deleteItem) {
                KeepOwnEquipmentCopy(GetItem(content));
                GetItem(content).Clear();
            }
            Unreference(game.equippedArrows, content);
        }
    }
    if (deleteItem) {
        KeepOwnEquipmentCopy(item);
        item.Clear();
    }
    std::copy(game.inventory.begin() + slot + 1, game.inventory.end(), game.inventory.begin() + slot);
    game.inventory.back() = kNone;
    return 0;
}

std::uint32_t CItemControl::RemoveFromInventoryKeep(SGameResource& game, std::uint32_t slot)
{
    return RemoveFromInventory(game, slot, false);
}

std::uint32_t CItemControl::RemoveFromInventoryDelete(SGameResource& game, std::uint32_t slot)
{
    return RemoveFromInventory(game, slot, true);
}

void CItemControl::FindInInventory(SGameResource& game, std::uint16_t index, std::uint16_t& slot,
                                   std::uint16_t& pot, bool withFloor)
{
    slot = pot = kNone;
    if (index == kNone) return;
    std::uint16_t places[kInventorySlots + 1];
    std::copy(game.inventory.begin(), game.inventory.end(), places);
    places[kFloorSlot] = kNone;
    if (withFloor) {
        const CCharacterControl::SPlayer& player = game.characters.player;
        const SMapCell& cell = game.map.GetCell(std::uint32_t(player.x), std::uint32_t(player.y));
        if (cell.objectKind == kObjectItem) places[kFloorSlot] = cell.objectId;
    }
    for (std::uint16_t place = 0; place <= kFloorSlot; ++place) {
        const std::uint16_t carried = places[place];
        if (carried == kNone) continue;
        if (carried == index) {
            slot = place;
            return;
        }
        const SItem& item = GetItem(carried);
        if (!HoldsItems(item)) continue;
        for (std::int32_t i = 0; i < PotSize(item); ++i)
            if (item.slots[std::size_t(i)] == index) {
                pot = carried;
                slot = std::uint16_t(i);
                return;
            }
    }
}

std::int32_t CItemControl::AddToPot(SGameResource& game, std::uint16_t pot, std::uint16_t index)
{
    SItem& container = GetItem(pot);
    // Only a pot's slots may take an item index: in a weapon they are seals, in the water jar water.
    if (!HoldsItems(container) || pot == index) return 1;
    const std::int32_t size = PotSize(container);
    auto* const end = container.slots.begin() + size;
    auto* const free = std::find(container.slots.begin(), end, kNone);
    if (size < 1 || free == end) return 1;
    *free = index;
    for (std::int32_t* reference :
         {&game.equippedWeapon, &game.equippedShield, &game.spareWeapon, &game.spareShield})
        Unreference(*reference, index);
    if (container.kind != kEquippingPot) Unreference(game.equippedArrows, index);
    return 0;
}

std::uint32_t CItemControl::RemoveFromPot(SGameResource& game, std::uint16_t pot, std::int32_t n,
                                          bool deleteItem)
{
    SItem& container = GetItem(pot);
    if (container.kind == kNone || container.itemClass != kItemClassPot) return 1;
    const std::int32_t size = PotSize(container);
    if (n < 0 || n >= size) return 2;
    const std::uint16_t content = container.slots[std::size_t(n)];
    if (content == kNone) return 3;
    // The water jar's slots are water and ice, no items.
    if (HoldsItems(container)) {
        for (std::int32_t i = 0; i < size; ++i)
            if (container.slots[std::size_t(i)] != kNone)
                Unreference(game.equippedArrows, container.slots[std::size_t(i)]);
        if (deleteItem) {
            KeepOwnEquipmentCopy(GetItem(content));
            GetItem(content).Clear();
        }
    }
    std::copy(container.slots.begin() + n + 1, container.slots.begin() + size, container.slots.begin() + n);
    container.slots[std::size_t(size - 1)] = kNone;
    return 0;
}

std::uint32_t CItemControl::RemoveFromPotKeep(SGameResource& game, std::uint16_t pot, std::int32_t n)
{
    return RemoveFromPot(game, pot, n, false);
}

std::uint32_t CItemControl::RemoveFromPotDelete(SGameResource& game, std::uint16_t pot, std::int32_t n)
{
    return RemoveFromPot(game, pot, n, true);
}

void CItemControl::SortInventory(SGameResource& game)
{
    constexpr std::uint16_t spoilt = kWet | kFrozen;
    std::vector<std::uint16_t> list;
    for (const std::uint16_t index : game.inventory) {
        if (index == kNone) continue;
        SItem& item = GetItem(index);
        std::ptrdiff_t lastOfKind = -1;
        bool merged = false;
        // A wet or frozen item of the kind is another thing in the player's eyes: only a sound one
        // draws a later one of its kind to it.
        bool met = false;
        if ((item.flags & spoilt) == 0) {
            for (std::size_t i = 0; i < list.size(); ++i) {
                SItem& earlier = GetItem(list[i]);
                if (earlier.kind != item.kind) continue;
                lastOfKind = std::ptrdiff_t(i);
                if ((earlier.flags & spoilt) != 0 || merged) continue;
                met = true;
                if (item.itemClass == kItemClassArrow && CanMergeArrows(game, earlier, item)) {
                    AddValue(earlier, item.value);
                    item.Clear();
                    Unreference(game.equippedArrows, index);
                    merged = true;
                }
            }
        }
        if (merged) continue;
        if (met) {
            list.insert(list.begin() + lastOfKind + 1, index);
            continue;
        }
        const auto higher = std::find_if(list.begin(), list.end(), [&](std::uint16_t listed) {
            return GetItem(listed).itemClass > item.itemClass;
        });
        list.insert(higher, index);
    }
    game.inventory.fill(kNone);
    std::copy(list.begin(), list.end(), game.inventory.begin());
}

void CItemControl::KeepOnlyCarriedItems(SGameResource& game)
{
    std::vector<bool> carried(kItemCount, false);
    for (const std::uint16_t index : game.inventory) {
        if (index == kNone) break;
        if (index >= kItemCount) continue;
        carried[index] = true;
        const SItem& item = items[index];
        if (!HoldsItems(item)) continue;
        for (std::int32_t i = 0; i < PotSize(item); ++i) {
            const std::uint16_t content = item.slots[std::size_t(i)];
            if (content == kNone) break;
            if (content < kItemCount) carried[content] = true;
        }
    }
    std::vector<std::uint16_t> renumber(kItemCount, kNone);
    std::uint16_t next = 0;
    for (std::int32_t i = 0; i < kItemCount; ++i) {
        SItem& item = items[std::size_t(i)];
        if (!carried[std::size_t(i)]) {
            KeepOwnEquipmentCopy(item);
            item.Clear();
            continue;
        }
        item.flags &= std::uint16_t(~kShopGoods);
        renumber[std::size_t(i)] = next;
        if (next != i) {
            items[next] = item;
            item.Clear();
        }
        ++next;
    }
    itemMark = next;

    const auto map = [&](std::uint32_t index) -> std::uint16_t {
        return index < std::uint32_t(kItemCount) ? renumber[index] : kNone;
    };
    for (std::uint16_t& index : game.inventory) {
        if (index == kNone) continue;
        index = map(index);
        if (index == kNone) continue;
        SItem& item = items[index];
        if (!HoldsItems(item)) continue;
        for (std::int32_t i = 0; i < PotSize(item); ++i)
            if (item.slots[std::size_t(i)] != kNone)
                item.slots[std::size_t(i)] = map(item.slots[std::size_t(i)]);
    }
    // The spare weapon and shield follow too: left behind, they would name whatever item took their index.
    for (std::int32_t* reference : {&game.equippedWeapon, &game.equippedShield, &game.equippedArrows,
                                    &game.spareWeapon, &game.spareShield})
        if (*reference != kNone) *reference = map(std::uint32_t(*reference));
}

void CItemControl::MarkStolenGoods(SGameResource& game)
{
    KeepOnlyCarriedItems(game);
    const auto mark = [&](SItem& item) {
        if ((item.flags & kUnpaid) == 0) return;
        item.flags = std::uint16_t((item.flags & ~kUnpaid) | kShopGoods);
        game.thief = 1;
    };
    for (const std::uint16_t index : game.inventory) {
        if (index == kNone) continue;
        SItem& item = GetItem(index);
        mark(item);
        if (!HoldsItems(item)) continue;
        for (std::int32_t i = 0; i < PotSize(item); ++i)
            if (item.slots[std::size_t(i)] != kNone) mark(GetItem(item.slots[std::size_t(i)]));
    }
    if (game.thief == 0) return;
    game.messageWindow.AddMessage(-1, 1, "泥棒！");
    game.characters.AlarmShopkeepers();
}

std::uint32_t CItemControl::RegisterOwnEquipment(SItem& item)
{
    if (item.kind == kNone || !IsEquipmentClass(item.itemClass)) return 1;
    for (std::int32_t i = 0; i < itemMark && i < kItemCount; ++i)
        if (items[std::size_t(i)].itemClass == item.itemClass)
            items[std::size_t(i)].flags &= std::uint16_t(~kOwnEquipment);
    for (std::int32_t i = 0; i < warehouseMark && i < kItemCount; ++i)
        if (warehouse[std::size_t(i)].itemClass == item.itemClass)
            warehouse[std::size_t(i)].flags &= std::uint16_t(~kOwnEquipment);
    item.flags |= kOwnEquipment;
    (item.itemClass == kItemClassWeapon ? keptWeapon : keptShield) = item;
    return 0;
}
