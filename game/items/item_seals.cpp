#include "game/app/game_resource.h"
#include "game/items/item_control.h"
#include <algorithm>

namespace {

constexpr std::int32_t kWaterJar = 358;

bool IsPotWithContents(const CItemControl::SItem& item)
{
    return item.itemClass == kItemClassPot && item.kind != kWaterJar && item.value >= 1;
}

} // namespace

std::uint32_t CItemControl::CountSeal(const SItem& item, std::uint16_t code) const
{
    // A free slot holds 0xFFFF, which is no seal.
    if (code == kNone || !IsEquipmentClass(item.itemClass)) return 0;
    std::uint32_t count = GetItemKind(item.kind).sealCode == code ? 1 : 0;
    const std::int32_t used = std::min<std::int32_t>(item.sealCount, std::int32_t(item.slots.size()));
    for (std::int32_t i = 0; i < used; ++i)
        if (item.slots[std::size_t(i)] == code) ++count;
    return count;
}

std::int32_t CItemControl::KeepOwnEquipmentCopy(const SItem& item)
{
    if ((item.flags & kOwnEquipment) == 0) return 0;
    if (item.itemClass == kItemClassWeapon)
        keptWeapon = item;
    else if (item.itemClass == kItemClassShield)
        keptShield = item;
    return 0;
}

std::int32_t CItemControl::DeleteItem(std::uint32_t index)
{
    SItem& item = GetItem(index);
    if (IsPotWithContents(item)) {
        const std::int32_t size = std::min<std::int32_t>(item.value, std::int32_t(item.slots.size()));
        for (std::int32_t i = 0; i < size; ++i) {
            const std::uint16_t content = item.slots[std::size_t(i)];
            if (content == kNone) continue;
            SItem& inside = GetItem(content);
            KeepOwnEquipmentCopy(inside);
            inside.Clear();
        }
    }
    KeepOwnEquipmentCopy(item);
    item.Clear();
    return 0;
}

std::int32_t CountInventoryKind(SGameResource& game, std::int32_t kind)
{
    std::int32_t count = 0;
    for (const std::uint16_t index : game.inventory) {
        if (index == CItemControl::kNone) continue;
        const CItemControl::SItem& item = game.items.GetItem(index);
        constexpr std::uint16_t spoilt = CItemControl::kCursed | CItemControl::kWet | CItemControl::kFrozen;
        if (item.kind == kind && (item.flags & spoilt) == 0) ++count;
    }
    return count;
}
