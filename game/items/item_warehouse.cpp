// The warehouse: a second item table with the list of what the player stored, in the order stored.
// Items move in and out whole, a pot with its contents; the registered own equipment comes back to it
// when it was lost.

#include "game/app/game_resource.h"
#include "game/items/item_control.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace {

constexpr std::int32_t kWaterJar = 358;
constexpr std::int32_t kPotContentSlots = 8;
constexpr std::uint16_t kLostOnStoring = CItemControl::kShopGoods | CItemControl::kWet |
                                         CItemControl::kFrozen | CItemControl::kClearedInWarehouse |
                                         CItemControl::kUsedUp;

bool HoldsItems(const CItemControl::SItem& item)
{
    return item.kind != CItemControl::kNone && item.itemClass == kItemClassPot && item.kind != kWaterJar;
}

std::int32_t PotSize(const CItemControl::SItem& pot)
{
    return std::clamp<std::int32_t>(pot.value, 0, std::int32_t(pot.slots.size()));
}

// The pot's filled slots below its size, in slot order.
std::vector<std::int32_t> FilledSlots(const CItemControl::SItem& pot)
{
    std::vector<std::int32_t> filled;
    if (!HoldsItems(pot)) return filled;
    for (std::int32_t i = 0; i < PotSize(pot); ++i)
        if (pot.slots[std::size_t(i)] != CItemControl::kNone) filled.push_back(i);
    return filled;
}

bool FindFree(const std::array<CItemControl::SItem, CItemControl::kItemCount>& table, std::int32_t n,
              std::vector<std::uint16_t>* list)
{
    std::int32_t found = 0;
    for (std::size_t i = 0; i < table.size() && found < n; ++i)
        if (table[i].kind == CItemControl::kNone) {
            ++found;
            if (list != nullptr) list->push_back(std::uint16_t(i));
        }
    return found >= n;
}

} // namespace

bool CItemControl::FindFreeWarehouseSlots(std::int32_t n, std::vector<std::uint16_t>* list) const
{
    return FindFree(warehouse, n, list);
}

bool CItemControl::FindFreeItemSlots(std::int32_t n, std::vector<std::uint16_t>* list) const
{
    return FindFree(items, n, list);
}

std::uint16_t CItemControl::StoreInWarehouse(SGameResource& game, std::uint16_t index)
{
    SItem& item = GetItem(index);
    if (item.kind == kNone || item.itemClass == kItemClassNone) return kNone;
    const std::vector<std::int32_t> filled = FilledSlots(item);
    std::vector<std::uint16_t> free;
    if (!FindFreeWarehouseSlots(1 + std::int32_t(filled.size()), &free)) return kNone;
    const std::uint16_t stored = free[0];
    warehouse[stored] = item;
    std::int32_t highest = stored;
    for (std::size_t i = 0; i < filled.size(); ++i) {
        const std::uint16_t place = free[i + 1];
        const std::size_t slot = std::size_t(filled[i]);
        warehouse[place] = GetItem(item.slots[slot]);
        warehouse[stored].slots[slot] = place;
        highest = std::max<std::int32_t>(highest, place);
    }

    std::uint16_t slot = kNone;
    std::uint16_t pot = kNone;
    FindInInventory(game, index, slot, pot, false);
    if (pot != kNone)
        RemoveFromPotDelete(game, pot, slot);
    else if (slot != kNone)
        RemoveFromInventoryDelete(game, slot);
    else
        DeleteItem(index);

    if (warehouseCount < kItemCount) warehouseList[std::size_t(warehouseCount++)] = stored;
    warehouseMark = std::max(warehouseMark, highest + 1);
    warehouse[stored].flags &= std::uint16_t(~kLostOnStoring);
    return stored;
}

std::uint16_t CItemControl::TakeFromWarehouse(std::uint32_t index)
{
    SItem& stored = GetWarehouseItem(index);
    if (stored.kind == kNone) return kNone;
    const std::vector<std::int32_t> filled = FilledSlots(stored);
    std::vector<std::uint16_t> free;
    if (!FindFreeItemSlots(1 + std::int32_t(filled.size()), &free)) return kNone;
    const std::uint16_t taken = free[0];
    items[taken] = stored;
    std::int32_t highest = taken;
    for (std::size_t i = 0; i < filled.size(); ++i) {
        const std::uint16_t place = free[i + 1];
        const std::size_t slot = std::size_t(filled[i]);
        SItem& content = GetWarehouseItem(stored.slots[slot]);
        items[place] = content;
        content.Clear();
        items[taken].slots[slot] = place;
        highest = std::max<std::int32_t>(highest, place);
    }
    stored.Clear();
    itemMark = std::max(itemMark, highest + 1);

    const std::int32_t count = std::clamp(warehouseCount, 0, kItemCount);
    const auto end = warehouseList.begin() + count;
    const auto at = std::find(warehouseList.begin(), end, std::uint16_t(index));
    if (at != end) {
        std::copy(at + 1, end, at);
        *(end - 1) = kNone;
        warehouseCount = count - 1;
    }
    return taken;
}

void CItemControl::ListWarehouseItemsOfClass(std::int32_t itemClass, std::vector<std::uint16_t>& list)
{
    list.clear();
    for (std::int32_t i = 0; i < warehouseCount && i < kItemCount; ++i) {
        const std::uint16_t entry = warehouseList[std::size_t(i)];
        if (entry == kNone) break;
        const SItem& item = GetWarehouseItem(entry);
        if (item.kind == kNone) continue;
        if (item.itemClass == itemClass || (itemClass == kItemClassGold && item.itemClass > kItemClassGold))
            list.push_back(entry);
    }
}

void CItemControl::SortWarehouseIndicesByKind(std::vector<std::uint16_t>* list)
{
    const auto isEmpty = [&](std::uint16_t entry) {
        return entry == kNone || GetWarehouseItem(entry).kind == kNone;
    };
    if (list != nullptr) {
        list->erase(std::remove_if(list->begin(), list->end(), isEmpty), list->end());
        std::stable_sort(list->begin(), list->end(), [&](std::uint16_t a, std::uint16_t b) {
            return GetWarehouseItem(a).kind < GetWarehouseItem(b).kind;
        });
        return;
    }
    const std::int32_t count = std::clamp(warehouseCount, 0, kItemCount);
    std::vector<std::uint16_t> entries(warehouseList.begin(), warehouseList.begin() + count);
    entries.erase(std::remove_if(entries.begin(), entries.end(), isEmpty), entries.end());
    std::stable_sort(entries.begin(), entries.end(), [&](std::uint16_t a, std::uint16_t b) {
        return GetItemKind(GetWarehouseItem(a).kind).number < GetItemKind(GetWarehouseItem(b).kind).number;
    });
    warehouseList.fill(kNone);
    std::copy(entries.begin(), entries.end(), warehouseList.begin());
    warehouseCount = std::int32_t(entries.size());
}

void CItemControl::CompactWarehouse()
{
    std::map<std::uint16_t, std::uint16_t> moved;
    std::int32_t low = 0;
    std::int32_t high = kItemCount - 1;
    const auto used = [&](std::int32_t i) { return warehouse[std::size_t(i)].kind != kNone; };
    for (;;) {
        while (low < kItemCount && used(low))
            ++low;
        while (high >= 0 && !used(high))
            --high;
        if (low >= high) break;
        warehouse[std::size_t(low)] = warehouse[std::size_t(high)];
        warehouse[std::size_t(high)].Clear();
        moved[std::uint16_t(high)] = std::uint16_t(low);
    }
    const auto follow = [&](std::uint16_t& index) {
        const auto found = moved.find(index);
        if (found != moved.end()) index = found->second;
    };

    const std::int32_t count = std::clamp(warehouseCount, 0, kItemCount);
    std::set<std::uint16_t> met;
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint16_t& entry = warehouseList[std::size_t(i)];
        if (entry == kNone) continue;
        follow(entry);
        if (!met.insert(entry).second) entry = kNone;
    }
    for (auto& column : floorItemGrid)
        for (std::uint16_t& index : column)
            if (index != kNone) follow(index);
    for (SItem& item : warehouse) {
        if (!HoldsItems(item)) continue;
        for (std::int32_t i = 0; i < kPotContentSlots; ++i)
            if (item.slots[std::size_t(i)] != kNone) follow(item.slots[std::size_t(i)]);
    }

    warehouseMark = high + 1;
    std::vector<std::uint16_t> entries;
    for (std::int32_t i = 0; i < count; ++i)
        if (warehouseList[std::size_t(i)] != kNone) entries.push_back(warehouseList[std::size_t(i)]);
    warehouseList.fill(kNone);
    std::copy(entries.begin(), entries.end(), warehouseList.begin());
    warehouseCount = std::int32_t(entries.size());
}

std::uint32_t CItemControl::RecoverOwnEquipment()
{
    const bool keepsWeapon = keptWeapon.kind != kNone;
    const bool keepsShield = keptShield.kind != kNone;
    if (!keepsWeapon && !keepsShield) return 1;
    bool weaponFound = false;
    bool shieldFound = false;
    for (const auto* table : {&items, &warehouse})
        for (const SItem& item : *table) {
            if (item.kind == kNone || (item.flags & kOwnEquipment) == 0) continue;
            if (item.itemClass == kItemClassWeapon) {
                keptWeapon = item;
                weaponFound = true;
            } else if (item.itemClass == kItemClassShield) {
                keptShield = item;
                shieldFound = true;
            }
            if ((weaponFound || !keepsWeapon) && (shieldFound || !keepsShield)) return 1;
        }
    for (const auto& [kept, found] :
         {std::pair{&keptWeapon, weaponFound}, std::pair{&keptShield, shieldFound}}) {
        if (kept->kind == kNone || found) continue;
        const std::uint16_t slot = FindFreeWarehouseItem();
        if (slot == kNone) return 2;
        warehouse[slot] = *kept;
        if (warehouseCount < kItemCount) warehouseList[std::size_t(warehouseCount++)] = slot;
        warehouseMark = std::max<std::int32_t>(warehouseMark, slot + 1);
    }
    return 0;
}
